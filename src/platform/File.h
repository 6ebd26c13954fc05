// Open files by their native path: a file read by position, and a file
// written under a temporary name and put in place only when complete.
//
// Error codes are the system's own (errno on POSIX, GetLastError on
// Windows); SystemErrorText turns one into the system's text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace tervan::fs {

using NativeChar = std::filesystem::path::value_type;

// The system's text (CP932) for one of its error codes.
std::string SystemErrorText(int error);

enum class OpenStatus {
    Opened,
    Missing, // the file, or a folder on its way, does not exist
    Failed, // anything else, a folder in the file's place included
};

// A plain file opened for reading, read at any position.
class InputFile {
public:
    InputFile() = default;
    ~InputFile() { Close(); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    OpenStatus Open(const NativeChar* native);
    OpenStatus Open(const std::filesystem::path& native) { return Open(native.c_str()); }
    bool IsOpen() const { return m_handle != kClosed; }
    // The size of the open file, as it was when opened (nothing writes a
    // stored file while it is read).
    bool Size(std::uint64_t& size) const
    {
        size = m_size;
        return IsOpen();
    }
    // Reads up to len bytes at offset, fewer only where the file ends; `got`
    // says how many. False on a read error.
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t len, std::size_t& got);
    void Close();
    // The error code of the last failure; 0 when none.
    int Error() const { return m_error; }

private:
    static constexpr std::intptr_t kClosed = -1;
    std::intptr_t m_handle = kClosed; // a descriptor or a HANDLE
    std::uint64_t m_size = 0;
    int m_error = 0;
};

// A file written under a temporary name in its destination's folder and
// renamed over the destination by Commit, so that an old file of the name is
// never left half written. What is not committed is removed.
class TempFileWriter {
public:
    TempFileWriter() = default;
    ~TempFileWriter();
    TempFileWriter(const TempFileWriter&) = delete;
    TempFileWriter& operator=(const TempFileWriter&) = delete;

    bool Create(const std::filesystem::path& destination);
    bool Write(const void* data, std::size_t size);
    // Best effort: the modification time (seconds since 1970 UTC) and the
    // read-only mark of the finished file.
    void SetModifiedTime(std::int64_t unixTime);
    void SetReadOnly();
    bool Close();
    // Closes the file when open and renames it over the destination.
    bool Commit();

private:
    std::filesystem::path m_destination;
    std::filesystem::path m_temp;
    std::intptr_t m_handle = -1;
    bool m_readOnly = false;
};

} // namespace tervan::fs
