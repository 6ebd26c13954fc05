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

std::string FoldAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

[[noreturn]] void Fail(const char* what, std::string_view path, int err)
{
    std::string msg = SJ("ファイル操作に失敗しました") + " (" + what + "): " + std::string(path);
    if (err != 0)
        msg += " - " + Utf8ToCp932(std::strerror(err));
    throw FileError(msg);
}

// Splits a CP932 path into its parts at "\" and "/". A CP932 second byte can
// be 0x5C ("\"), so double-byte characters are stepped over whole.
std::vector<std::string> SplitPath(std::string_view path, bool& absolute)
{
    std::vector<std::string> parts;
    absolute = !path.empty() && (path[0] == '/' || path[0] == '\\');
    std::string cur;
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsSjisLeadByte(c) && i + 1 < path.size()) {
            cur += path[i];
            cur += path[i + 1];
            ++i;
        } else if (c == '\\' || c == '/') {
            if (!cur.empty())
                parts.push_back(std::move(cur));
            cur.clear();
        } else {
            cur += path[i];
        }
    }
    if (!cur.empty())
        parts.push_back(std::move(cur));
    return parts;
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

std::string Join(std::string_view base, std::string_view name)
{
    std::string out(base);
    while (!name.empty() && (name.front() == '/' || name.front() == '\\'))
        name.remove_prefix(1);
    if (!out.empty() && out.back() != '/' && out.back() != '\\')
        out += '/';
    out += name;
    return out;
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

bool MatchesMask(std::string_view name, std::string_view mask)
{
    // Iterative glob with one back-tracking point, by characters.
    auto charLen = [](std::string_view s, size_t i) {
        return IsSjisLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2u : 1u;
    };
    auto sameChar = [](std::string_view a, size_t i, std::string_view b, size_t j, size_t len) {
        for (size_t k = 0; k < len; ++k) {
            char x = a[i + k], y = b[j + k];
            if (len == 1) {
                if (x >= 'A' && x <= 'Z')
                    x = static_cast<char>(x - 'A' + 'a');
                if (y >= 'A' && y <= 'Z')
                    y = static_cast<char>(y - 'A' + 'a');
            }
            if (x != y)
                return false;
        }
        return true;
    };
    size_t n = 0, m = 0, starM = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starM = ++m;
            starN = n;
            continue;
        }
        if (m < mask.size()) {
            size_t ml = charLen(mask, m), nl = charLen(name, n);
            if (mask[m] == '?' ) {
                m += 1;
                n += nl;
                continue;
            }
            if (ml == nl && sameChar(name, n, mask, m, nl)) {
                m += ml;
                n += nl;
                continue;
            }
        }
        if (starM == std::string_view::npos)
            return false;
        m = starM;
        starN += charLen(name, starN);
        n = starN;
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
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
