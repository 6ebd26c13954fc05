// Helpers shared by the tests: temporary folders, CP932 literals, files.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tervan::test {

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& native() const { return m_path; }
    // The folder as the program keeps paths: CP932 text.
    std::string path() const;

private:
    std::filesystem::path m_path;
};

// Writes `text` over a fixed-width record from 1-based byte `pos` on.
inline void PutAt(std::string& record, size_t pos, std::string_view text)
{
    record.replace(pos - 1, text.size(), text);
}

// Whole-file helpers on native paths.
std::string ReadAll(const std::filesystem::path& path);
void WriteAll(const std::filesystem::path& path, std::string_view contents);

// Runs tervan-tool with the arguments; returns its exit code and fills its
// standard output (and standard error, when asked).
int RunTool(const std::vector<std::string>& args, std::string& out, std::string* err = nullptr);

// Folder of committed test files (tests/data) and of the shared material.
std::filesystem::path TestData(std::string_view relative);
std::filesystem::path SharedDir();

} // namespace tervan::test

namespace tervan::test {

// A native file or folder name from UTF-8 text, such as a Japanese literal in
// a test. On Windows a narrow std::filesystem::path is read in the system's
// code page, not as UTF-8, so names are built from char8_t on both systems.
inline std::filesystem::path U8Path(std::string_view utf8)
{
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

// A native path as UTF-8 text with '/' between its names on both systems.
inline std::string U8Text(const std::filesystem::path& path)
{
    const std::u8string text = path.generic_u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

} // namespace tervan::test
