#include "archive/LhaHeader.h"

#include <algorithm>
#include <cstring>

namespace tervan::lha {
namespace {

// Fixed part of every header: size, checksum or size high byte, method id,
// packed size, original size, time, attribute, level.
constexpr std::size_t kFixedSize = 22;
// Level 2 adds the CRC, the OS id and the size of the first extended header.
constexpr std::size_t kLevel2BaseSize = 26;
// Level 3 is level 2 with 4-byte sizes: the CRC, the OS id, the whole header
// size and the size of the first extended header.
constexpr std::size_t kLevel3BaseSize = 32;
// A level-3 header larger than this is taken for a damaged one.
constexpr std::size_t kMaxHeaderSize = 1 << 20;
// The OS-9/68k archiver writes a level-2 header size two bytes short.
constexpr std::uint8_t kOsId9 = 'K';

// Extended header types that the extractor uses.
constexpr std::uint8_t kExtFileName = 0x01;
constexpr std::uint8_t kExtFolderName = 0x02;
constexpr std::uint8_t kExtAttribute = 0x40;
constexpr std::uint8_t kExtUnixTime = 0x54;
constexpr std::uint8_t kExtLargeSize = 0x42; // 64-bit packed and original sizes

std::uint16_t Get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t Get32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) | (static_cast<std::uint32_t>(p[2]) << 16)
        | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool ReadExactly(Source& source, std::uint64_t offset, std::uint8_t* buffer, std::size_t size)
{
    return source.ReadAt(offset, buffer, size) == size;
}

std::uint64_t Get64(const std::uint8_t* p) { return Get32(p) | (static_cast<std::uint64_t>(Get32(p + 4)) << 32); }

// A stored file name: "/" separates folders as "\" does. The name ends at a
// NUL byte; Amiga and MorphOS archivers keep the file comment after it.
std::string StoredFileName(const std::uint8_t* p, std::size_t size)
{
    const std::uint8_t* nul = static_cast<const std::uint8_t*>(std::memchr(p, 0, size));
    if (nul)
        size = static_cast<std::size_t>(nul - p);
    std::string name(reinterpret_cast<const char*>(p), size);
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

// What the extended headers of one entry tell.
struct Extensions {
    bool hasName = false;
    std::string name;
    std::string folder;
    bool hasAttribute = false;
    std::uint8_t attribute = 0;
    bool hasUnixTime = false;
    std::uint32_t unixTime = 0;
    bool hasLargeSize = false;
    bool badLargeSize = false;
    std::uint64_t packedSize = 0;
    std::uint64_t originalSize = 0;
};

// One extended header: type byte, data, size of the next one.
void TakeExtension(std::uint8_t type, const std::uint8_t* data, std::size_t size, Extensions& ext)
{
    switch (type) {
    case kExtFileName:
        ext.hasName = true;
        ext.name = StoredFileName(data, size);
        break;
    case kExtFolderName:
        ext.folder = StoredFolderName(std::string_view(reinterpret_cast<const char*>(data), size));
        break;
    case kExtAttribute:
        if (size >= 1) {
            ext.hasAttribute = true;
            ext.attribute = data[0];
        }
        break;
    case kExtUnixTime:
        if (size >= 4) {
            ext.hasUnixTime = true;
            ext.unixTime = Get32(data);
        }
        break;
    case kExtLargeSize:
        // The sizes that the 32-bit fields could not hold; a member whose
        // true sizes cannot be read is refused rather than taken cut short.
        if (size >= 16) {
            ext.hasLargeSize = true;
            ext.packedSize = Get64(data);
            ext.originalSize = Get64(data + 8);
        } else {
            ext.badLargeSize = true;
        }
        break;
    default:
        break;
    }
}

// The extended headers of a level-2 or level-3 header, all inside its bytes:
// each is a type byte, its data and the size of the next one (sizeWidth
// bytes: 2 at level 2, 4 at level 3); the chain starts with the size just
// before `start` and must end inside the header.
bool ParseInHeaderExtensions(const std::vector<std::uint8_t>& header, std::size_t start, std::size_t sizeWidth,
                             Extensions& ext)
{
    auto sizeAt = [&](std::size_t pos) -> std::uint64_t { return sizeWidth == 2 ? Get16(&header[pos]) : Get32(&header[pos]); };
    std::size_t pos = start;
    std::uint64_t next = sizeAt(start - sizeWidth);
    while (next != 0) {
        if (next < 1 + sizeWidth || next > header.size() - pos)
            return false;
        const std::size_t size = static_cast<std::size_t>(next);
        TakeExtension(header[pos], &header[pos + 1], size - 1 - sizeWidth, ext);
        pos += size;
        next = sizeAt(pos - sizeWidth);
    }
    return true;
}

// The extended headers of a level-1 header, which lie between the base
// header and the packed data and are counted in the packed size. Returns the
// bytes they take, or false when the chain is damaged.
bool ParseLevel1Extensions(Source& source, std::uint64_t offset, std::size_t first, std::uint64_t packedSize, Extensions& ext,
                           std::uint64_t& total)
{
    total = 0;
    std::size_t next = first;
    std::vector<std::uint8_t> buffer;
    while (next != 0) {
        if (next < 3 || next > packedSize - total)
            return false;
        buffer.resize(next);
        if (!ReadExactly(source, offset + total, buffer.data(), next))
            return false;
        TakeExtension(buffer[0], buffer.data() + 1, next - 3, ext);
        total += next;
        next = Get16(&buffer[next - 2]);
    }
    return true;
}

// Is this a level-2 header whose size happens to have a zero low byte (a
// header of 256, 512, ... bytes), rather than the end mark?
bool LooksLikeLevel2(const std::uint8_t* fixed)
{
    return fixed[20] == 2 && fixed[2] == '-' && fixed[6] == '-' && Get16(fixed) >= kLevel2BaseSize;
}

} // namespace

std::size_t MemorySource::ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size)
{
    if (offset >= m_bytes.size())
        return 0;
    std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, m_bytes.size() - offset));
    std::memcpy(buffer, m_bytes.data() + offset, n);
    return n;
}

std::string StoredFolderName(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + 1);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if ((c >= 0x80 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFD)) {
            // A double-byte character: its second byte may be 0x5C ("\")
            // and is copied as it is.
            out += static_cast<char>(c);
            if (i + 1 < bytes.size())
                out += bytes[++i];
        } else if (c == '/' || c == '\\' || c == 0xFF) {
            out += '\\';
        } else {
            out += static_cast<char>(c);
        }
    }
    std::size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    std::size_t last = out.find_last_not_of(' ');
    out = out.substr(first, last - first + 1);
    // A trailing "\" made from a lone separator byte, not the second byte of
    // a double-byte character, ends the folder already.
    bool endsWithSeparator = false;
    for (std::size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        bool lead = (c >= 0x80 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFD);
        if (lead && i + 1 < out.size()) {
            ++i;
            endsWithSeparator = false;
        } else {
            endsWithSeparator = c == '\\';
        }
    }
    if (!endsWithSeparator)
        out += '\\';
    return out;
}

HeaderStatus ReadHeader(Source& source, std::uint64_t offset, Entry& entry)
{
    entry = Entry();
    entry.headerOffset = offset;

    // The fixed part; what lies beyond the end of the archive reads as zero,
    // so the end of the file is taken for the end mark.
    std::uint8_t fixed[kFixedSize] = {};
    source.ReadAt(offset, fixed, kFixedSize);
    if (fixed[0] == 0 && !LooksLikeLevel2(fixed))
        return HeaderStatus::End;

    entry.method.assign(reinterpret_cast<const char*>(fixed + 2), 5);
    entry.packedSize = Get32(fixed + 7);
    entry.originalSize = Get32(fixed + 11);
    entry.time = Get32(fixed + 15);
    entry.attribute = fixed[19];
    entry.level = fixed[20];

    Extensions ext;
    if (entry.level == 0 || entry.level == 1) {
        const std::size_t headerSize = static_cast<std::size_t>(fixed[0]) + 2; // the whole base header
        if (fixed[0] < kFixedSize)
            return HeaderStatus::Bad;
        std::uint8_t header[257];
        if (!ReadExactly(source, offset, header, headerSize))
            return HeaderStatus::Bad;
        const std::size_t nameSize = header[21];
        // Level 0 needs room for the name; level 1 also for the CRC, the
        // OS id and the size of the first extended header.
        const std::size_t tail = entry.level == 1 ? 5 : 0;
        if (kFixedSize + nameSize + tail > headerSize)
            return HeaderStatus::Bad;
        entry.name = StoredFileName(header + kFixedSize, nameSize);
        const std::size_t afterName = kFixedSize + nameSize;
        if (afterName + 2 <= headerSize) {
            entry.hasCrc = true;
            entry.crc = Get16(header + afterName);
        }
        std::uint64_t extTotal = 0;
        if (entry.level == 1) {
            std::size_t first = Get16(header + headerSize - 2);
            if (!ParseLevel1Extensions(source, offset + headerSize, first, entry.packedSize, ext, extTotal))
                return HeaderStatus::Bad;
        }
        entry.dataOffset = offset + headerSize + extTotal;
        if (ext.hasLargeSize) {
            // The true packed size excludes the extended headers.
            entry.packedSize = ext.packedSize;
            entry.originalSize = ext.originalSize;
            entry.nextOffset = entry.dataOffset + entry.packedSize;
        } else {
            entry.nextOffset = offset + headerSize + entry.packedSize;
            entry.packedSize -= extTotal;
        }
        entry.unixTime = false;
    } else if (entry.level == 2 || entry.level == 3) {
        const bool level3 = entry.level == 3;
        const std::size_t baseSize = level3 ? kLevel3BaseSize : kLevel2BaseSize;
        std::uint8_t base[kLevel3BaseSize] = {};
        if (!ReadExactly(source, offset, base, baseSize))
            return HeaderStatus::Bad;
        std::size_t headerSize = 0;
        if (level3) {
            // Bytes 0-1 hold the size of a size field (4) instead of a size.
            const std::uint32_t whole = Get32(base + 24);
            if (Get16(base) != 4 || whole < kLevel3BaseSize || whole > kMaxHeaderSize)
                return HeaderStatus::Bad;
            headerSize = whole;
        } else {
            headerSize = Get16(base);
            if (base[23] == kOsId9)
                headerSize += 2;
        }
        if (headerSize < baseSize)
            return HeaderStatus::Bad;
        std::vector<std::uint8_t> header(headerSize);
        if (!ReadExactly(source, offset, header.data(), headerSize))
            return HeaderStatus::Bad;
        entry.hasCrc = true;
        entry.crc = Get16(&header[21]);
        if (!ParseInHeaderExtensions(header, baseSize, level3 ? 4 : 2, ext))
            return HeaderStatus::Bad;
        entry.dataOffset = offset + headerSize;
        if (ext.hasLargeSize) {
            entry.packedSize = ext.packedSize;
            entry.originalSize = ext.originalSize;
        }
        entry.nextOffset = entry.dataOffset + entry.packedSize;
        entry.unixTime = true;
    } else {
        // An unknown level: stepped over by its size byte.
        if (fixed[0] < kFixedSize)
            return HeaderStatus::Bad;
        entry.nextOffset = offset + fixed[0];
        return HeaderStatus::Skip;
    }

    if (ext.badLargeSize)
        return HeaderStatus::Bad;
    if (entry.nextOffset < entry.dataOffset)
        return HeaderStatus::Bad; // sizes that wrap around
    if (ext.hasName)
        entry.name = ext.name;
    if (!ext.folder.empty())
        entry.name = ext.folder + entry.name;
    if (ext.hasAttribute)
        entry.attribute = ext.attribute;
    if (ext.hasUnixTime) {
        entry.unixTime = true;
        entry.time = ext.unixTime;
    }
    return HeaderStatus::Entry;
}

bool IsListedMethod(const Entry& entry)
{
    const char c = entry.MethodChar();
    if (!((c >= '0' && c <= '7') || c == 'd'))
        return false;
    // Framed ids must be the -lh?- family: -lz5-, -pm0- and the like are
    // other formats' methods that share a character with ours.
    return !entry.MethodFramed() || (entry.method[1] == 'l' && entry.method[2] == 'h');
}

std::vector<Entry> ListEntries(Source& source, bool& badHeader, std::vector<Entry>* skipped)
{
    std::vector<Entry> entries;
    badHeader = false;
    std::uint64_t offset = 0;
    const std::uint64_t size = source.Size();
    while (offset < size) {
        Entry entry;
        HeaderStatus status = ReadHeader(source, offset, entry);
        if (status == HeaderStatus::End)
            break;
        if (status == HeaderStatus::Bad) {
            badHeader = true;
            break;
        }
        offset = entry.nextOffset;
        if (status == HeaderStatus::Entry && IsListedMethod(entry))
            entries.push_back(std::move(entry));
        else if (status == HeaderStatus::Entry && skipped)
            skipped->push_back(std::move(entry));
    }
    return entries;
}

} // namespace tervan::lha
