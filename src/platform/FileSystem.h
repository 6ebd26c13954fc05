// The file system as the program sees it.
//
// Paths in memory are CP932 text built the way the program always built them,
// by appending pieces such as "\Data\" to the base folder; both "\" and "/"
// separate folders. On a Linux disk names are UTF-8, so each path is
// converted at this edge, and folder names are matched without regard to
// letter case ("\Data\", "\data\" and "\DATA" are the one folder DATA).
// On Windows names go to the wide API as UTF-16, and the system itself
// ignores letter case (FileSystemWin.cpp).
//
// Failures are thrown as FileError with a Japanese message naming the file;
// the operation that raised it ends and its caller shows the message.
#pragma once

#include "platform/PathText.h"

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tervan::fs {

class FileError : public std::runtime_error {
public:
    // message: CP932 text shown to the user as it is.
    explicit FileError(const std::string& message)
        : std::runtime_error(message)
    {
    }
};

// The native path of a CP932 path. Each folder or file name that does not
// exist as written but exists with other letter case resolves to the existing
// one; what does not exist stays as written.
std::filesystem::path ToNative(std::string_view path);

// The CP932 text of a native path or name (UTF-8 on this system).
std::string FromNative(const std::filesystem::path& path);

bool FileExists(std::string_view path);
bool DirExists(std::string_view path);

// Creates one folder; does nothing when it exists (in any letter case).
void CreateDir(std::string_view path);
// Creates a folder and its missing parents.
void CreateDirs(std::string_view path);

// Reads a whole file. Returns false when it does not exist; throws FileError
// when it exists but cannot be read.
bool ReadFile(std::string_view path, std::string& contents);

// Rewrites a whole file so that it is never seen half written: the contents go
// to a temporary file in the same folder, which is then renamed over the old
// one. On any failure the old file is left as it was and FileError is thrown.
void RewriteFile(std::string_view path, std::string_view contents);

// Deletes a file; a missing file is not an error.
void DeleteFile(std::string_view path);

// The names (CP932, no folder) of the plain files in a folder whose names
// match a mask of "*" and "?" (letter case ignored, as on Windows), sorted by
// their CP932 bytes. A missing folder lists nothing.
std::vector<std::string> ListFiles(std::string_view dir, std::string_view mask = "*");

// Tests only: called by RewriteFile after the temporary file is written and
// before it replaces the file; a hook that throws makes the rewrite fail there.
void SetRewriteHook(std::function<void(std::string_view path)> hook);

// The folder that holds the running executable (CP932).
std::string ExecutableDir();
// The running executable's file name without its folder and extension.
std::string ExecutableStem();

} // namespace tervan::fs
