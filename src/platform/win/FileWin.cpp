#include "platform/File.h"

#include "platform/win/WinText.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <windows.h>

namespace tervan::fs {
namespace {

HANDLE H(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

std::intptr_t I(HANDLE handle)
{
    return handle == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<std::intptr_t>(handle);
}

} // namespace

std::string SystemErrorText(int error)
{
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = n > 0 && text ? std::wstring(text, n) : L"error " + std::to_wstring(error);
    if (text)
        ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ' || message.back() == L'.'))
        message.pop_back();
    return win::WideToCp932(message);
}

OpenStatus InputFile::Open(const NativeChar* native)
{
    Close();
    const HANDLE h = ::CreateFileW(native, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        m_error = static_cast<int>(::GetLastError());
        if (m_error == ERROR_FILE_NOT_FOUND || m_error == ERROR_PATH_NOT_FOUND || m_error == ERROR_INVALID_NAME)
            return OpenStatus::Missing;
        return OpenStatus::Failed;
    }
    LARGE_INTEGER li;
    int error = 0;
    if (::GetFileType(h) != FILE_TYPE_DISK)
        error = ERROR_INVALID_FUNCTION;
    else if (!::GetFileSizeEx(h, &li))
        error = static_cast<int>(::GetLastError());
    if (error != 0) {
        m_error = error;
        ::CloseHandle(h);
        return OpenStatus::Failed;
    }
    m_handle = I(h);
    m_size = static_cast<std::uint64_t>(li.QuadPart);
    m_error = 0;
    return OpenStatus::Opened;
}

bool InputFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t len, std::size_t& got)
{
    got = 0;
    char* out = static_cast<char*>(buffer);
    while (got < len) {
        OVERLAPPED at {};
        const std::uint64_t pos = offset + got;
        at.Offset = static_cast<DWORD>(pos);
        at.OffsetHigh = static_cast<DWORD>(pos >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(len - got, 1u << 30));
        DWORD n = 0;
        if (!::ReadFile(H(m_handle), out + got, chunk, &n, &at)) {
            const DWORD err = ::GetLastError();
            if (err == ERROR_HANDLE_EOF)
                break;
            m_error = static_cast<int>(err);
            return false;
        }
        if (n == 0)
            break;
        got += n;
    }
    return true;
}

void InputFile::Close()
{
    if (m_handle != kClosed)
        ::CloseHandle(H(m_handle));
    m_handle = kClosed;
}

TempFileWriter::~TempFileWriter()
{
    if (m_handle != -1)
        ::CloseHandle(H(m_handle));
    if (!m_temp.empty()) {
        ::SetFileAttributesW(m_temp.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(m_temp.c_str());
    }
}

bool TempFileWriter::Create(const std::filesystem::path& destination)
{
    static std::atomic<unsigned> counter {0};
    m_destination = destination;
    const std::filesystem::path folder = destination.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring name = L".tervan-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) + L".tmp";
        const std::filesystem::path temp = folder / name;
        const HANDLE h = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            m_handle = I(h);
            m_temp = temp;
            return true;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

bool TempFileWriter::Write(const void* data, std::size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD n = 0;
        if (!::WriteFile(H(m_handle), p, chunk, &n, nullptr) || n == 0)
            return false;
        p += n;
        size -= n;
    }
    return true;
}

void TempFileWriter::SetModifiedTime(std::int64_t unixTime)
{
    // FILETIME counts 100 ns steps from 1601-01-01.
    const std::uint64_t ticks = static_cast<std::uint64_t>(unixTime + 11644473600LL) * 10000000ULL;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    ::SetFileTime(H(m_handle), nullptr, nullptr, &ft);
}

void TempFileWriter::SetReadOnly()
{
    m_readOnly = true;
}

bool TempFileWriter::Close()
{
    const HANDLE h = H(m_handle);
    m_handle = -1;
    if (!::CloseHandle(h))
        return false;
    if (m_readOnly)
        ::SetFileAttributesW(m_temp.c_str(), FILE_ATTRIBUTE_READONLY);
    return true;
}

bool TempFileWriter::Commit()
{
    if (m_handle != -1 && !Close())
        return false;
    if (!::MoveFileExW(m_temp.c_str(), m_destination.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        // A read-only file of the name is replaced as on POSIX.
        if (::GetLastError() != ERROR_ACCESS_DENIED)
            return false;
        ::SetFileAttributesW(m_destination.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!::MoveFileExW(m_temp.c_str(), m_destination.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return false;
    }
    m_temp.clear();
    return true;
}

} // namespace tervan::fs
