// Reading the entry headers of an LHA archive.
//
// An archive is a run of entries, each a header followed by its packed data,
// ended by a zero byte (or by the end of the file). Four header levels are
// in use:
//   level 0/1: byte 0 is the header size less 2; the name is stored in the
//              header (up to a NUL byte: a comment may follow it); level 1
//              adds extended headers that are counted in the packed size;
//   level 2:   bytes 0-1 are the whole header size, extended headers included
//              (the OS-9/68k archiver, OS id 'K', writes it two bytes short);
//              the name is in an extended header;
//   level 3:   level 2 with 4-byte sizes: bytes 0-1 hold 4, bytes 24-27 the
//              whole header size, extended headers end with a 4-byte size.
// Extended headers are taken by type: 1 the file name, 2 the folder name
// (0xFF separated), 0x40 the MS-DOS attribute, 0x42 the 64-bit packed and
// original sizes, 0x54 a Unix time stamp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tervan::lha {

// Random access to the bytes of an archive.
class Source {
public:
    virtual ~Source() = default;
    virtual std::uint64_t Size() const = 0;
    // Reads up to size bytes at offset; returns how many were read (fewer at
    // the end of the archive or on a read error).
    virtual std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size) = 0;
};

// An archive held in memory (tests, fuzzing).
class MemorySource : public Source {
public:
    explicit MemorySource(std::string_view bytes)
        : m_bytes(bytes)
    {
    }
    std::uint64_t Size() const override { return m_bytes.size(); }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size) override;

private:
    std::string_view m_bytes;
};

struct Entry {
    std::uint64_t headerOffset = 0;
    std::uint64_t dataOffset = 0;   // first byte of the packed data
    std::uint64_t packedSize = 0;   // bytes of packed data (extended headers excluded)
    std::uint64_t originalSize = 0;
    std::uint64_t nextOffset = 0;   // where the next header starts
    std::string method;             // the 5-byte method id, e.g. "-lh5-"
    int level = 0;
    std::uint8_t attribute = 0;     // MS-DOS attributes
    std::uint32_t time = 0;         // see unixTime
    bool unixTime = false;          // time is Unix seconds (UTC), else an MS-DOS local date and time
    bool hasCrc = false;
    std::uint16_t crc = 0;          // CRC-16 of the original bytes
    std::string name;               // stored name, CP932, folders separated by "\"

    // The method character (byte 5 of the header), e.g. '5' for -lh5-.
    char MethodChar() const { return method.size() == 5 ? method[3] : '\0'; }
    // The method id is framed by hyphens as "-xxx-".
    bool MethodFramed() const { return method.size() == 5 && method[0] == '-' && method[4] == '-'; }
    bool IsDirectory() const { return MethodChar() == 'd'; }
};

enum class HeaderStatus {
    Entry, // an entry was read
    End,   // the end mark or the end of the archive
    Bad,   // a damaged header: the listing cannot go on
    Skip,  // a header of an unknown level: entry.nextOffset says where to go on
};

// Reads the header that starts at offset.
HeaderStatus ReadHeader(Source& source, std::uint64_t offset, Entry& entry);

// The stored folder of a directory-name extended header: Shift-JIS aware,
// "/", "\" and 0xFF become "\", spaces trimmed, a trailing "\" added.
std::string StoredFolderName(std::string_view bytes);

// Every entry from offset 0 on whose method is one this extractor knows
// (-lh0- to -lh7-, -lhd-, or an id not framed by hyphens with such a method
// character, which extraction then refuses). badHeader is set when the
// listing ended at a damaged header. Entries of other methods go to
// `skipped` when it is given.
std::vector<Entry> ListEntries(Source& source, bool& badHeader, std::vector<Entry>* skipped = nullptr);

// True for a method that ListEntries keeps.
bool IsListedMethod(const Entry& entry);

} // namespace tervan::lha
