#include "platform/FileSystem.h"

#include "reference/ShiftJis.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tervan::fs {
namespace {

std::function<void(std::string_view)>& RewriteHook()
{
    static std::function<void(std::string_view)> hook;
    return hook;
}

[[noreturn]] void Fail(const char* what, std::string_view path, int err)
{
    std::string msg = SJ("ファイル操作に失敗しました") + " (" + what + "): " + std::string(path);
    if (err != 0)
        msg += " - " + Utf8ToCp932(std::strerror(err));
    throw FileError(msg);
}

bool Exists(const std::filesystem::path& p)
{
    struct stat st;
    return ::stat(p.c_str(), &st) == 0;
}

} // namespace

std::filesystem::path ToNative(std::string_view path)
{
    bool absolute = false;
    std::vector<std::string> parts = SplitPath(path, absolute);
    std::filesystem::path native = absolute ? std::filesystem::path("/") : std::filesystem::path();
    for (const std::string& part : parts)
        native /= Cp932ToUtf8(part);
    if (native.empty())
        native = ".";
    if (Exists(native))
        return native;

    // Resolve part by part: a name missing as written may exist in other case.
    std::filesystem::path resolved = absolute ? std::filesystem::path("/") : std::filesystem::path();
    bool parentExists = true;
    for (const std::string& part : parts) {
        std::string name = Cp932ToUtf8(part);
        std::filesystem::path candidate = resolved / name;
        if (parentExists && !Exists(candidate) && name != "." && name != "..") {
            std::string folded = FoldAscii(name);
            std::error_code ec;
            std::filesystem::path dir = resolved.empty() ? std::filesystem::path(".") : resolved;
            for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
                std::string entry = it->path().filename().string();
                if (FoldAscii(entry) == folded) {
                    candidate = resolved / entry;
                    break;
                }
            }
        }
        parentExists = parentExists && Exists(candidate);
        resolved = candidate;
    }
    return resolved;
}

std::string FromNative(const std::filesystem::path& path)
{
    return Utf8ToCp932(path.string());
}

bool FileExists(std::string_view path)
{
    struct stat st;
    return ::stat(ToNative(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirExists(std::string_view path)
{
    struct stat st;
    return ::stat(ToNative(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void CreateDir(std::string_view path)
{
    std::filesystem::path native = ToNative(path);
    struct stat st;
    if (::stat(native.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return;
        Fail("mkdir", path, EEXIST);
    }
    if (::mkdir(native.c_str(), 0777) != 0 && errno != EEXIST)
        Fail("mkdir", path, errno);
}

void CreateDirs(std::string_view path)
{
    bool absolute = false;
    std::vector<std::string> parts = SplitPath(path, absolute);
    std::string cur = absolute ? "/" : "";
    for (const std::string& part : parts) {
        cur = cur.empty() ? part : Join(cur, part);
        CreateDir(cur);
    }
}

bool ReadFile(std::string_view path, std::string& contents)
{
    contents.clear();
    std::filesystem::path native = ToNative(path);
    int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return false;
        Fail("open", path, errno);
    }
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        contents.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int err = errno;
            ::close(fd);
            Fail("read", path, err);
        }
        if (n == 0)
            break;
        contents.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

void RewriteFile(std::string_view path, std::string_view contents)
{
    std::filesystem::path native = ToNative(path);
    std::filesystem::path temp = native;
    temp += ".tmp~";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        Fail("create", path, errno);
    const char* p = contents.data();
    size_t left = contents.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int err = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            Fail("write", path, err);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        Fail("close", path, err);
    }
    if (RewriteHook()) {
        try {
            RewriteHook()(path);
        } catch (...) {
            ::unlink(temp.c_str());
            throw;
        }
    }
    if (::rename(temp.c_str(), native.c_str()) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        Fail("rename", path, err);
    }
}

void DeleteFile(std::string_view path)
{
    std::filesystem::path native = ToNative(path);
    if (::unlink(native.c_str()) != 0 && errno != ENOENT)
        Fail("delete", path, errno);
}

std::vector<std::string> ListFiles(std::string_view dir, std::string_view mask)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(ToNative(dir), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (!it->is_regular_file(typeEc))
            continue;
        std::string name = FromNative(it->path().filename());
        if (MatchesMask(name, mask))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

void SetRewriteHook(std::function<void(std::string_view path)> hook)
{
    RewriteHook() = std::move(hook);
}

std::string ExecutableDir()
{
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return FromNative(std::filesystem::current_path());
    return FromNative(exe.parent_path());
}

std::string ExecutableStem()
{
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return "tervan";
    return FromNative(exe.stem());
}

} // namespace tervan::fs
