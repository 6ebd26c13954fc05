// The file system layer on Windows: CP932 paths through the wide API, the
// rewrite through a temporary file, files read by position and the
// extractor's temporary writer.
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>
#undef DeleteFile

using namespace tervan;
namespace sfs = std::filesystem;
using test::ReadAll;
using test::TempDir;

TEST(FileSystemWin, JapaneseNamesAreUtf16OnDiskAndCp932InMemory)
{
    TempDir dir;
    // 表 ends in 0x5C, the code of "\".
    const std::string folder = dir.path() + "\\" + SJ("表") + "\\Data";
    fs::CreateDirs(folder);
    EXPECT_TRUE(sfs::is_directory(dir.native() / L"表" / L"Data"));
    EXPECT_TRUE(fs::DirExists(dir.path() + "/" + SJ("表") + "/data/"));  // letter case is Windows' business

    const std::string name = SJ("2006年05月28日東京.jvRA");
    fs::RewriteFile(fs::Join(folder, name), "old");
    fs::RewriteFile(fs::Join(folder, name), "RA\r\n");
    EXPECT_EQ(ReadAll(dir.native() / L"表" / L"Data" / L"2006年05月28日東京.jvRA"), "RA\r\n");
    EXPECT_EQ(fs::ListFiles(folder, "*.JVRA"), std::vector<std::string> {name});
    std::string contents;
    EXPECT_TRUE(fs::ReadFile(fs::Join(folder, name), contents));
    EXPECT_EQ(contents, "RA\r\n");
    EXPECT_TRUE(fs::FileExists(fs::Join(folder, name)));
    EXPECT_FALSE(fs::FileExists(folder));

    // A failed rewrite leaves the old file whole and no temporary file.
    fs::SetRewriteHook([](std::string_view) { throw fs::FileError("stop"); });
    EXPECT_THROW(fs::RewriteFile(fs::Join(folder, name), "new"), fs::FileError);
    fs::SetRewriteHook({});
    EXPECT_EQ(ReadAll(dir.native() / L"表" / L"Data" / L"2006年05月28日東京.jvRA"), "RA\r\n");
    EXPECT_EQ(fs::ListFiles(folder), std::vector<std::string> {name});

    fs::DeleteFile(fs::Join(folder, name));
    fs::DeleteFile(fs::Join(folder, name));  // missing: not an error
    EXPECT_FALSE(fs::ReadFile(fs::Join(folder, name), contents));
    EXPECT_TRUE(fs::ListFiles(dir.path() + "\\missing").empty());

    // Failures carry the system's text and the file's name.
    try {
        fs::RewriteFile(dir.path() + "\\missing\\x.txt", "x");
        ADD_FAILURE() << "no error";
    } catch (const fs::FileError& e) {
        EXPECT_NE(std::string(e.what()).find("x.txt"), std::string::npos);
        EXPECT_GT(std::string(e.what()).size(), 60u);
    }
}

TEST(FileSystemWin, FilesReadByPositionAndWrittenUnderATemporaryName)
{
    TempDir dir;
    test::WriteAll(dir.native() / L"東京.txt", "0123456789");
    fs::InputFile in;
    ASSERT_EQ(in.Open(fs::ToNative(dir.path() + "/" + SJ("東京.txt"))), fs::OpenStatus::Opened);
    std::uint64_t size = 0;
    ASSERT_TRUE(in.Size(size));
    EXPECT_EQ(size, 10u);
    char buffer[8];
    std::size_t got = 0;
    ASSERT_TRUE(in.ReadAt(6, buffer, sizeof buffer, got));
    EXPECT_EQ(std::string(buffer, got), "6789");
    in.Close();
    EXPECT_EQ(in.Open(dir.native() / L"none.txt"), fs::OpenStatus::Missing);
    EXPECT_EQ(in.Open(dir.native() / L"none" / L"x.txt"), fs::OpenStatus::Missing);
    EXPECT_EQ(in.Open(dir.native()), fs::OpenStatus::Failed);  // a folder
    EXPECT_FALSE(fs::SystemErrorText(in.Error()).empty());

    // Committed over a read-only file of the name, with its time and mark.
    const sfs::path target = dir.native() / L"表.txt";
    test::WriteAll(target, "old");
    ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
    {
        fs::TempFileWriter out;
        ASSERT_TRUE(out.Create(target));
        ASSERT_TRUE(out.Write("new", 3));
        out.SetModifiedTime(1136073600);  // 2006-01-01 00:00:00 UTC
        out.SetReadOnly();
        ASSERT_TRUE(out.Commit());
    }
    EXPECT_EQ(ReadAll(target), "new");
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(::GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &data));
    EXPECT_TRUE(data.dwFileAttributes & FILE_ATTRIBUTE_READONLY);
    const std::uint64_t ticks = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    EXPECT_EQ(ticks / 10000000ULL - 11644473600ULL, 1136073600ULL);
    ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);

    // Not committed: nothing is left behind.
    {
        fs::TempFileWriter out;
        ASSERT_TRUE(out.Create(dir.native() / L"half.txt"));
        ASSERT_TRUE(out.Write("half", 4));
    }
    EXPECT_EQ(fs::ListFiles(dir.path()), (std::vector<std::string> {SJ("東京.txt"), SJ("表.txt")}));  // by CP932 bytes

    EXPECT_EQ(fs::ExecutableStem(), "test_win_FileSystemWinTest");
    EXPECT_TRUE(fs::DirExists(fs::ExecutableDir()));
}
