// The file system on Windows: CP932 paths go to the wide API as UTF-16.
// Windows ignores the letter case of names itself, so a path is converted
// as it is written.
#include "platform/FileSystem.h"

#include "platform/File.h"
#include "platform/FileSystemShared.h"
#include "platform/win/WinText.h"
#include "reference/ShiftJis.h"

#include <algorithm>
#include <mutex>
#include <unordered_set>
#include <windows.h>
#undef DeleteFile

namespace tervan::fs {
namespace {

[[noreturn]] void Fail(const char* what, std::string_view path, DWORD err)
{
    detail::FailFileOperation(what, path, static_cast<int>(err));
}

DWORD Attributes(std::string_view path)
{
    return ::GetFileAttributesW(ToNative(path).c_str());
}

bool IsMissing(DWORD err)
{
    return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
}

// Closes a handle when it goes out of scope.
struct HandleCloser {
    HANDLE h;
    ~HandleCloser()
    {
        if (h != INVALID_HANDLE_VALUE)
            ::CloseHandle(h);
    }
};

// Temporary files that a rewrite killed part way left behind: removed once
// per folder, before the first rewrite of this run into it.
void RemoveStaleTemps(const std::wstring& native)
{
    static std::mutex lock;
    static std::unordered_set<std::wstring> done;
    const std::size_t slash = native.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? std::wstring(L".") : native.substr(0, slash);
    {
        const std::lock_guard<std::mutex> guard(lock);
        if (!done.insert(folder).second)
            return;
    }
    WIN32_FIND_DATAW data;
    const HANDLE find = ::FindFirstFileExW((folder + L"\\*.tmp~").c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
            ::DeleteFileW((folder + L"\\" + data.cFileName).c_str());
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
}

std::wstring ModulePath()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace

std::filesystem::path ToNative(std::string_view path)
{
    std::wstring wide = win::Cp932ToWide(path);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    if (wide.empty())
        wide = L".";
    return std::filesystem::path(std::move(wide));
}

std::string FromNative(const std::filesystem::path& path)
{
    return win::WideToCp932(path.native());
}

bool FileExists(std::string_view path)
{
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(std::string_view path)
{
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void CreateDir(std::string_view path)
{
    const DWORD a = Attributes(path);
    if (a != INVALID_FILE_ATTRIBUTES) {
        if (a & FILE_ATTRIBUTE_DIRECTORY)
            return;
        Fail("mkdir", path, ERROR_ALREADY_EXISTS);
    }
    if (!::CreateDirectoryW(ToNative(path).c_str(), nullptr)) {
        const DWORD err = ::GetLastError();
        if (err != ERROR_ALREADY_EXISTS || !DirExists(path))
            Fail("mkdir", path, err);
    }
}

void CreateDirs(std::string_view path)
{
    // Each folder from the top down; a drive ("C:") or a share
    // ("\\server\share") at the start is taken as it is.
    bool absolute = false;
    const std::vector<std::string> parts = SplitPath(path, absolute);
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    std::string cur;
    std::size_t first = 0;
    if (path.size() >= 2 && separator(path[0]) && separator(path[1])) {
        if (parts.size() < 2)
            return;
        cur = "\\\\" + parts[0] + "\\" + parts[1];
        first = 2;
    } else if (!parts.empty() && parts[0].size() == 2 && parts[0][1] == ':') {
        cur = parts[0] + "\\";
        first = 1;
    } else if (absolute) {
        cur = "\\";
    }
    for (std::size_t i = first; i < parts.size(); ++i) {
        cur = cur.empty() ? parts[i] : Join(cur, parts[i]);
        CreateDir(cur);
    }
}

bool ReadFile(std::string_view path, std::string& contents)
{
    contents.clear();
    InputFile file;
    switch (file.Open(ToNative(path))) {
    case OpenStatus::Missing:
        return false;
    case OpenStatus::Failed:
        Fail("open", path, static_cast<DWORD>(file.Error()));
    case OpenStatus::Opened:
        break;
    }
    std::uint64_t size = 0;
    std::size_t got = 0;
    if (!file.Size(size))
        Fail("read", path, static_cast<DWORD>(file.Error()));
    contents.resize(static_cast<std::size_t>(size));
    if (!file.ReadAt(0, contents.data(), contents.size(), got))
        Fail("read", path, static_cast<DWORD>(file.Error()));
    contents.resize(got);
    return true;
}

void RewriteFile(std::string_view path, std::string_view contents)
{
    const std::wstring native = ToNative(path).native();
    const std::wstring temp = native + L".tmp~";
    RemoveStaleTemps(native);
    {
        HandleCloser file {::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)};
        if (file.h == INVALID_HANDLE_VALUE)
            Fail("create", path, ::GetLastError());
        const char* p = contents.data();
        std::size_t left = contents.size();
        while (left > 0) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(left, 1u << 30));
            DWORD written = 0;
            if (!::WriteFile(file.h, p, chunk, &written, nullptr) || written == 0) {
                const DWORD err = ::GetLastError();
                ::CloseHandle(file.h);
                file.h = INVALID_HANDLE_VALUE;
                ::DeleteFileW(temp.c_str());
                Fail("write", path, err);
            }
            p += written;
            left -= written;
        }
        const HANDLE h = file.h;
        file.h = INVALID_HANDLE_VALUE;
        if (!::CloseHandle(h)) {
            const DWORD err = ::GetLastError();
            ::DeleteFileW(temp.c_str());
            Fail("close", path, err);
        }
    }
    if (detail::RewriteHook()) {
        try {
            detail::RewriteHook()(path);
        } catch (...) {
            ::DeleteFileW(temp.c_str());
            throw;
        }
    }
    if (!::MoveFileExW(temp.c_str(), native.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD err = ::GetLastError();
        ::DeleteFileW(temp.c_str());
        Fail("rename", path, err);
    }
}

void DeleteFile(std::string_view path)
{
    if (!::DeleteFileW(ToNative(path).c_str())) {
        const DWORD err = ::GetLastError();
        if (!IsMissing(err))
            Fail("delete", path, err);
    }
}

std::vector<std::string> ListFiles(std::string_view dir, std::string_view mask)
{
    std::vector<std::string> names;
    const std::wstring pattern = ToNative(dir).native() + L"\\*";
    WIN32_FIND_DATAW data;
    const HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        // A name CP932 cannot hold could not be opened again by its CP932
        // text: it is not listed.
        bool lossy = false;
        std::string name = win::WideToCp932(data.cFileName, &lossy);
        if (!lossy && MatchesMask(name, mask))
            names.push_back(std::move(name));
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::string ExecutableDir()
{
    return FromNative(std::filesystem::path(ModulePath()).parent_path());
}

std::string ExecutableStem()
{
    return FromNative(std::filesystem::path(ModulePath()).stem());
}

} // namespace tervan::fs
