#include "platform/File.h"

#include "reference/ShiftJis.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tervan::fs {

std::string SystemErrorText(int error)
{
    return Utf8ToCp932(std::strerror(error));
}

OpenStatus InputFile::Open(const NativeChar* native)
{
    Close();
    const int fd = ::open(native, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        m_error = errno;
        return m_error == ENOENT || m_error == ENOTDIR ? OpenStatus::Missing : OpenStatus::Failed;
    }
    struct stat st;
    const bool statted = ::fstat(fd, &st) == 0;
    if (!statted || !S_ISREG(st.st_mode)) {
        m_error = !statted ? errno : S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return OpenStatus::Failed;
    }
    m_handle = fd;
    m_size = static_cast<std::uint64_t>(st.st_size);
    m_error = 0;
    return OpenStatus::Opened;
}

bool InputFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t len, std::size_t& got)
{
    got = 0;
    char* out = static_cast<char*>(buffer);
    while (got < len) {
        const ssize_t n = ::pread(static_cast<int>(m_handle), out + got, len - got, static_cast<off_t>(offset + got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_error = errno;
            return false;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

void InputFile::Close()
{
    if (m_handle != kClosed)
        ::close(static_cast<int>(m_handle));
    m_handle = kClosed;
}

TempFileWriter::~TempFileWriter()
{
    if (m_handle >= 0)
        ::close(static_cast<int>(m_handle));
    if (!m_temp.empty())
        ::unlink(m_temp.c_str());
}

bool TempFileWriter::Create(const std::filesystem::path& destination)
{
    static std::atomic<unsigned> counter {0};
    m_destination = destination;
    const std::filesystem::path folder = destination.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::filesystem::path temp = folder
            / (".tervan-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp");
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_handle = fd;
            m_temp = temp;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool TempFileWriter::Write(const void* data, std::size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(static_cast<int>(m_handle), p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void TempFileWriter::SetModifiedTime(std::int64_t unixTime)
{
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_NOW;
    times[1].tv_sec = static_cast<time_t>(unixTime);
    times[1].tv_nsec = 0;
    ::futimens(static_cast<int>(m_handle), times);
}

void TempFileWriter::SetReadOnly()
{
    struct stat st;
    if (::fstat(static_cast<int>(m_handle), &st) == 0)
        ::fchmod(static_cast<int>(m_handle), st.st_mode & 07555);
}

bool TempFileWriter::Close()
{
    const int fd = static_cast<int>(m_handle);
    m_handle = -1;
    return ::close(fd) == 0;
}

bool TempFileWriter::Commit()
{
    if (m_handle >= 0 && !Close())
        return false;
    if (::rename(m_temp.c_str(), m_destination.c_str()) != 0)
        return false;
    m_temp.clear();
    return true;
}

} // namespace tervan::fs
