// The letter-case index of folders, for the POSIX file system layer.
//
// A name that does not exist as written may exist in other letter case. To
// find it without reading its whole folder every time, each folder looked in
// keeps an index of its names by their ASCII-folded form. The index is built
// on first use, kept current by the layer's own creates, renames and deletes,
// and built again when the folder's modification time changes from outside.
// A folder the program made itself starts as an empty index, with no scan.
//
// Paths and names here are native (UTF-8) text.
#pragma once

#include <string>

namespace tervan::fs::detail {

// What identifies a folder's state: its device, inode and modification time.
struct FolderStamp {
    unsigned long long dev = 0, ino = 0;
    long long sec = 0, nsec = 0;
    bool valid = false;
    bool operator==(const FolderStamp&) const = default;
};

FolderStamp StampOf(const std::string& dir);

// The existing name in `dir` equal to `name` without regard to ASCII letter
// case; empty when there is none (or the folder cannot be read). `seen`, if
// given, gets the folder's stamp the answer is true for (not valid when the
// folder cannot be read).
std::string FindNameInFolder(const std::string& dir, const std::string& name, FolderStamp* seen = nullptr);

// What the index of `dir` knows of `name` (in any letter case) without a
// look at the disk: Unknown when the folder has no index yet or changed
// since it was taken. `seen` gets the folder's stamp for a known answer.
enum class NameKnown { Unknown, Absent, Present };
NameKnown KnownName(const std::string& dir, const std::string& name, FolderStamp* seen = nullptr);

// The layer changed `dir` itself: `name` was added (added) or removed.
// `before` is the folder's stamp taken before the change: an index that was
// not current then is dropped rather than trusted.
void NoteFolderChange(const std::string& dir, const std::string& name, bool added, const FolderStamp& before);

// The layer made `dir`: it is empty, so its index needs no scan.
void NoteFolderMade(const std::string& dir);

} // namespace tervan::fs::detail
