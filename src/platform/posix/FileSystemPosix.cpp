#include "platform/FileSystem.h"

#include "platform/FileSystemShared.h"
#include "platform/posix/FolderIndex.h"
#include "reference/ShiftJis.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace tervan::fs {
namespace {

[[noreturn]] void Fail(const char* what, std::string_view path, int err)
{
    detail::FailFileOperation(what, path, static_cast<int>(err));
}

bool Exists(const std::filesystem::path& p)
{
    struct stat st;
    return ::stat(p.c_str(), &st) == 0;
}

// The native (UTF-8) form of one CP932 name; ASCII is the same in both.
std::string NativeName(const std::string& part)
{
    for (char c : part)
        if (static_cast<unsigned char>(c) >= 0x80)
            return Cp932ToUtf8(part);
    return part;
}

// A rewrite's contents go to the file's name with this ending first.
constexpr char kTempSuffix[] = ".tmp~";

std::string FolderOf(const std::filesystem::path& p)
{
    const std::filesystem::path parent = p.parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// The file a path names once its symbolic links are followed: a stored path
// that is a link has its target rewritten, and the link stays.
std::filesystem::path FinalTarget(const std::filesystem::path& native, std::string_view path)
{
    std::filesystem::path p = native;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return p;
        std::error_code ec;
        std::filesystem::path target = std::filesystem::read_symlink(p, ec);
        if (ec)
            Fail("readlink", path, ec.value());
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    Fail("readlink", path, ELOOP);
}

// Temporary files that a rewrite killed part way left behind: removed once
// per folder, before the first rewrite of this run into it.
// Returns whether it looked (and may have changed the folder).
bool RemoveStaleTemps(const std::string& dir)
{
    static std::unordered_set<std::string> done;
    if (!done.insert(dir).second)
        return false;
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr)
        return true;
    std::vector<std::string> stale;
    const size_t suffix = sizeof kTempSuffix - 1;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() > suffix && name.compare(name.size() - suffix, suffix, kTempSuffix) == 0)
            stale.push_back(name);
    }
    ::closedir(d);
    for (const std::string& name : stale) {
        const std::string full = dir + "/" + name;
        struct stat st;
        if (::lstat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        const detail::FolderStamp before = detail::StampOf(dir);
        if (::unlink(full.c_str()) == 0)
            detail::NoteFolderChange(dir, name, false, before);
    }
    return true;
}

} // namespace

namespace {

// The native form of a path as written, without looking at the disk.
std::filesystem::path AsWritten(std::string_view path, std::vector<std::string>& parts, bool& absolute)
{
    parts = SplitPath(path, absolute);
    std::filesystem::path native = absolute ? std::filesystem::path("/") : std::filesystem::path();
    for (const std::string& part : parts)
        native /= NativeName(part);
    if (native.empty())
        native = ".";
    return native;
}

// The native path of a name that does not exist as written (`native`): the
// name in other letter case where there is one. `seen` gets the stamp of the
// folder looked in when only the last name was missing.
std::filesystem::path ResolveMissing(const std::filesystem::path& native, const std::vector<std::string>& parts,
                                     bool absolute, detail::FolderStamp* seen)
{
    // Most often only the last name is missing, in a folder that exists as
    // written: its index tells the name in other case, if there is one.
    const std::string last = native.filename().string();
    const std::filesystem::path parent = native.parent_path();
    if (!parent.empty() && last != "." && last != "..") {
        detail::FolderStamp stamp;
        const std::string found = detail::FindNameInFolder(parent.string(), last, &stamp);
        if (stamp.valid) {
            if (seen)
                *seen = stamp;
            return found.empty() ? native : parent / found;
        }
    }

    // Resolve part by part: a name missing as written may exist in other
    // case, which the folder's name index tells without reading the folder.
    std::filesystem::path resolved = absolute ? std::filesystem::path("/") : std::filesystem::path();
    bool parentExists = true;
    for (const std::string& part : parts) {
        std::string name = NativeName(part);
        std::filesystem::path candidate = resolved / name;
        if (parentExists && !Exists(candidate) && name != "." && name != "..") {
            const std::string dir = resolved.empty() ? std::string(".") : resolved.string();
            std::string found = detail::FindNameInFolder(dir, name);
            if (!found.empty())
                candidate = resolved / found;
        }
        parentExists = parentExists && Exists(candidate);
        resolved = candidate;
    }
    return resolved;
}

} // namespace

std::filesystem::path ToNative(std::string_view path)
{
    bool absolute = false;
    std::vector<std::string> parts;
    const std::filesystem::path native = AsWritten(path, parts, absolute);
    if (Exists(native))
        return native;
    return ResolveMissing(native, parts, absolute, nullptr);
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
    const std::string parent = FolderOf(native);
    const detail::FolderStamp before = detail::StampOf(parent);
    if (::mkdir(native.c_str(), 0777) != 0) {
        const int err = errno;
        // Made meanwhile by another hand is fine; a name taken by what is not
        // a folder (a dangling symbolic link among others) is not.
        if (err == EEXIST && ::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            return;
        Fail("mkdir", path, err);
    }
    detail::NoteFolderChange(parent, native.filename().string(), true, before);
    detail::NoteFolderMade(native.string());
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
    // Opened as written first: a name in other letter case is looked for
    // only when that fails.
    bool absolute = false;
    std::vector<std::string> parts;
    const std::filesystem::path written = AsWritten(path, parts, absolute);
    // A current index of the folder tells a missing file without a lookup
    // in the folder (an import asks for thousands of files it has yet to make).
    if (written.has_parent_path()
        && detail::KnownName(written.parent_path().string(), written.filename().string()) == detail::NameKnown::Absent)
        return false;
    int fd = ::open(written.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && (errno == ENOENT || errno == ENOTDIR)) {
        const std::filesystem::path native = ResolveMissing(written, parts, absolute, nullptr);
        if (native == written)
            return false;
        fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    }
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
    // The name as written, else in other letter case; a name found in
    // neither is made as written. The folder's stamp from the lookup serves
    // as its stamp before the change.
    bool absolute = false;
    std::vector<std::string> parts;
    std::filesystem::path native = AsWritten(path, parts, absolute);
    struct stat old;
    detail::FolderStamp before;
    // A name the folder's current index does not hold is made as written.
    const bool absent = native.has_parent_path()
        && detail::KnownName(native.parent_path().string(), native.filename().string(), &before)
            == detail::NameKnown::Absent;
    bool replacing = !absent && ::lstat(native.c_str(), &old) == 0;
    if (!replacing && !absent) {
        const std::filesystem::path resolved = ResolveMissing(native, parts, absolute, &before);
        if (resolved != native) {
            native = resolved;
            replacing = ::lstat(native.c_str(), &old) == 0;
        }
    }
    if (replacing && S_ISLNK(old.st_mode)) {
        native = FinalTarget(native, path);
        replacing = ::stat(native.c_str(), &old) == 0;
        before = {};
    }
    const std::string dir = FolderOf(native);
    if (RemoveStaleTemps(dir) || !before.valid)
        before = detail::StampOf(dir);
    std::filesystem::path temp = native;
    temp += kTempSuffix;
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        Fail("create", path, errno);
    auto drop = [&](const char* what, int err) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temp.c_str());
        Fail(what, path, err);
    };
    const char* p = contents.data();
    size_t left = contents.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            drop("write", errno);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    // The new file keeps the permission bits of the one it replaces.
    if (replacing && S_ISREG(old.st_mode) && ::fchmod(fd, old.st_mode & 07777) != 0)
        drop("chmod", errno);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0)
        drop("close", errno);
    if (detail::RewriteHook()) {
        try {
            detail::RewriteHook()(path);
        } catch (...) {
            ::unlink(temp.c_str());
            throw;
        }
    }
    if (::rename(temp.c_str(), native.c_str()) != 0)
        drop("rename", errno);
    detail::NoteFolderChange(dir, native.filename().string(), true, before);
}

void DeleteFile(std::string_view path)
{
    std::filesystem::path native = ToNative(path);
    const std::string dir = FolderOf(native);
    const detail::FolderStamp before = detail::StampOf(dir);
    if (::unlink(native.c_str()) != 0) {
        if (errno != ENOENT)
            Fail("delete", path, errno);
        return;
    }
    detail::NoteFolderChange(dir, native.filename().string(), false, before);
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
