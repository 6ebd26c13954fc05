#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tervan;
using tervan::test::ReadAll;
using tervan::test::TempDir;
using tervan::test::WriteAll;

TEST(FileSystem, FolderNamesMatchWithoutRegardToCase)
{
    TempDir dir;
    fs::CreateDir(fs::Join(dir.path(), "DATA"));
    fs::CreateDir(dir.path() + "\\data");  // exists already in other case
    EXPECT_TRUE(fs::DirExists(dir.path() + "\\Data\\"));
    fs::RewriteFile(dir.path() + "\\Data\\x.txt", "abc");
    EXPECT_EQ(ReadAll(dir.native() / "DATA" / "x.txt"), "abc");
    EXPECT_FALSE(std::filesystem::exists(dir.native() / "Data"));
    EXPECT_EQ(fs::ListFiles(dir.path() + "/data", "*.TXT"), std::vector<std::string> {"x.txt"});
}

TEST(FileSystem, JapaneseNamesAreUtf8OnDiskAndCp932InMemory)
{
    TempDir dir;
    const std::string name = SJ("2006年05月28日東京.jvRA");
    fs::CreateDir(fs::Join(dir.path(), "DATA"));
    fs::RewriteFile(fs::Join(dir.path(), "DATA\\" + name), "x");
    EXPECT_TRUE(std::filesystem::exists(dir.native() / "DATA" / "2006年05月28日東京.jvRA"));
    auto names = fs::ListFiles(fs::Join(dir.path(), "Data"), "*.jvRA");
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], name);
    EXPECT_EQ(names[0].substr(0, 18), SJ("2006年05月28日東京"));
}

TEST(FileSystem, RewriteThatFailsLeavesTheOldFileWhole)
{
    TempDir dir;
    const std::string path = fs::Join(dir.path(), "race.txt");
    fs::RewriteFile(path, "old contents\r\n");
    fs::SetRewriteHook([](std::string_view) { throw fs::FileError("injected"); });
    EXPECT_THROW(fs::RewriteFile(path, "new contents that never land\r\n"), fs::FileError);
    fs::SetRewriteHook(nullptr);
    EXPECT_EQ(ReadAll(dir.native() / "race.txt"), "old contents\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.native()), {}), 1);  // no temporary left

    if (::geteuid() != 0) {  // root writes anywhere, so only a normal user can test this
        ::chmod(dir.native().c_str(), 0555);
        EXPECT_THROW(fs::RewriteFile(path, "x"), fs::FileError);
        ::chmod(dir.native().c_str(), 0755);
        EXPECT_EQ(ReadAll(dir.native() / "race.txt"), "old contents\r\n");
    }
}

TEST(FileSystem, RewriteIntoMissingFolderFailsWithJapaneseMessage)
{
    TempDir dir;
    try {
        fs::RewriteFile(fs::Join(dir.path(), "nope/x.txt"), "x");
        FAIL();
    } catch (const fs::FileError& e) {
        EXPECT_NE(std::string(e.what()).find(SJ("ファイル")), std::string::npos);
    }
    std::string contents;
    EXPECT_FALSE(fs::ReadFile(fs::Join(dir.path(), "nope/x.txt"), contents));
}

TEST(FileSystem, MaskMatching)
{
    EXPECT_TRUE(fs::MatchesMask("OZ050105.TXT", "oz*.txt"));
    EXPECT_TRUE(fs::MatchesMask("a.b.c", "*.*"));
    EXPECT_TRUE(fs::MatchesMask(SJ("東京.x"), "??.x"));  // a double-byte character is one "?"
    EXPECT_FALSE(fs::MatchesMask("abc", "a?"));
    EXPECT_TRUE(fs::MatchesMask("", "*"));
}

TEST(Clock, CompactAndSlashedForms)
{
    auto t = ParseCompact("20050105093000");
    ASSERT_TRUE(t);
    EXPECT_EQ(FormatSlashed(*t), "2005/01/05 09:30:00");
    EXPECT_EQ(FormatCompact(AddDays(*t, -8)), "20041228093000");
    EXPECT_FALSE(ParseCompact("20050230000000"));
    EXPECT_FALSE(ParseSlashed("2005-01-05 09:30:00"));
    EXPECT_TRUE(IsCalendarDate(2004, 2, 29));
    EXPECT_FALSE(IsCalendarDate(2005, 2, 29));
}
