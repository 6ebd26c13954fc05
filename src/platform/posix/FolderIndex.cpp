#include "platform/posix/FolderIndex.h"

#include "platform/PathText.h"

#include <dirent.h>
#include <mutex>
#include <sys/stat.h>
#include <algorithm>
#include <iterator>
#include <unordered_map>
#include <vector>

namespace tervan::fs::detail {
namespace {

struct Index {
    FolderStamp stamp;
    std::unordered_map<std::string, std::string> names; // folded -> as on disk
    unsigned long long lastUse = 0;
};

// The indexes kept: a long import meets the horse and result folders of
// decades, so the indexes of folders not used lately are let go (built again
// from the folder when next needed) once they hold more names than this, and
// memory stays the same however many years are read.
constexpr std::size_t kKeptNames = 100000;
constexpr std::size_t kKeptFolders = 2000;

std::mutex& Lock()
{
    static std::mutex m;
    return m;
}

std::unordered_map<std::string, Index>& Indexes()
{
    static std::unordered_map<std::string, Index> map;
    return map;
}

unsigned long long& Uses()
{
    static unsigned long long uses = 0;
    return uses;
}

// The index of `dir`, made empty (not current) when new; the older half of
// the indexes is let go first when too many names are kept. Called with the
// lock held.
Index& IndexOf(const std::string& dir)
{
    auto& map = Indexes();
    auto found = map.find(dir);
    if (found == map.end()) {
        std::size_t names = 0;
        for (const auto& [path, index] : map)
            names += index.names.size();
        if (names > kKeptNames || map.size() >= kKeptFolders) {
            std::vector<unsigned long long> uses;
            uses.reserve(map.size());
            for (const auto& [path, index] : map)
                uses.push_back(index.lastUse);
            std::nth_element(uses.begin(), uses.begin() + static_cast<std::ptrdiff_t>(uses.size() / 2), uses.end());
            const unsigned long long median = uses[uses.size() / 2];
            for (auto it = map.begin(); it != map.end();)
                it = it->second.lastUse < median ? map.erase(it) : std::next(it);
        }
        found = map.emplace(dir, Index {}).first;
    }
    found->second.lastUse = ++Uses();
    return found->second;
}

bool ExistsAsWritten(const std::string& dir, const std::string& name)
{
    struct stat st;
    return ::lstat((dir + "/" + name).c_str(), &st) == 0;
}

void Build(const std::string& dir, Index& index, const FolderStamp& stamp)
{
    index.names.clear();
    index.stamp = stamp;
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) {
        index.stamp = FolderStamp {};
        return;
    }
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        index.names.emplace(FoldAscii(name), name); // the first of several variants wins
    }
    ::closedir(d);
}

} // namespace

FolderStamp StampOf(const std::string& dir)
{
    struct stat st;
    FolderStamp s;
    if (::stat(dir.c_str(), &st) != 0)
        return s;
    s.dev = static_cast<unsigned long long>(st.st_dev);
    s.ino = static_cast<unsigned long long>(st.st_ino);
    s.sec = static_cast<long long>(st.st_mtim.tv_sec);
    s.nsec = static_cast<long long>(st.st_mtim.tv_nsec);
    s.valid = true;
    return s;
}

std::string FindNameInFolder(const std::string& dir, const std::string& name, FolderStamp* seen)
{
    if (seen)
        *seen = FolderStamp {};
    const FolderStamp now = StampOf(dir);
    if (!now.valid)
        return {};
    std::lock_guard<std::mutex> guard(Lock());
    Index& index = IndexOf(dir);
    // A folder whose time changed by another hand is read again whole: what
    // changed in it is not known, and a name taken in alone would leave out
    // every other name made or removed at the same time.
    if (!(index.stamp == now))
        Build(dir, index, now);
    const std::string folded = FoldAscii(name);
    auto it = index.names.find(folded);
    if (it != index.names.end()) {
        // A name that went away by another hand is looked for again.
        if (ExistsAsWritten(dir, it->second)) {
            if (seen)
                *seen = index.stamp;
            return it->second;
        }
        Build(dir, index, StampOf(dir));
        if (seen)
            *seen = index.stamp;
        it = index.names.find(folded);
        return it != index.names.end() ? it->second : std::string();
    }
    if (seen)
        *seen = index.stamp;
    return {};
}

NameKnown KnownName(const std::string& dir, const std::string& name, FolderStamp* seen)
{
    std::lock_guard<std::mutex> guard(Lock());
    auto found = Indexes().find(dir);
    if (found == Indexes().end() || !found->second.stamp.valid)
        return NameKnown::Unknown;
    const FolderStamp now = StampOf(dir);
    if (!(found->second.stamp == now))
        return NameKnown::Unknown;
    found->second.lastUse = ++Uses();
    if (seen)
        *seen = now;
    return found->second.names.count(FoldAscii(name)) ? NameKnown::Present : NameKnown::Absent;
}

void NoteFolderChange(const std::string& dir, const std::string& name, bool added, const FolderStamp& before)
{
    std::lock_guard<std::mutex> guard(Lock());
    auto found = Indexes().find(dir);
    if (found == Indexes().end())
        return;
    Index& index = found->second;
    if (!before.valid || !(index.stamp == before)) {
        // Changed from outside since it was read: read it again when next used.
        Indexes().erase(found);
        return;
    }
    const std::string folded = FoldAscii(name);
    if (added) {
        index.names.emplace(folded, name);
    } else {
        auto it = index.names.find(folded);
        if (it != index.names.end() && it->second == name)
            index.names.erase(it);
    }
    index.stamp = StampOf(dir);
}

void NoteFolderMade(const std::string& dir)
{
    const FolderStamp now = StampOf(dir);
    std::lock_guard<std::mutex> guard(Lock());
    Index& index = IndexOf(dir);
    index.names.clear();
    index.stamp = now;
}

} // namespace tervan::fs::detail
