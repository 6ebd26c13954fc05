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
namespace sfs = std::filesystem;

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

TEST(FileSystem, RewriteKeepsModeFollowsLinksAndClearsStaleTemporaries)
{
    TempDir dir;
    sfs::create_directories(dir.native() / "a");
    sfs::create_directories(dir.native() / "b");
    WriteAll(dir.native() / "a" / "mode.txt", "old");
    ::chmod((dir.native() / "a" / "mode.txt").c_str(), 0640);
    WriteAll(dir.native() / "a" / "left.txt.tmp~", "half written by a killed rewrite");
    fs::RewriteFile(fs::Join(dir.path(), "A/mode.txt"), "new");
    EXPECT_EQ(ReadAll(dir.native() / "a" / "mode.txt"), "new");
    EXPECT_EQ(sfs::status(dir.native() / "a" / "mode.txt").permissions() & sfs::perms::all,
              sfs::perms::owner_read | sfs::perms::owner_write | sfs::perms::group_read);
    EXPECT_FALSE(sfs::exists(dir.native() / "a" / "left.txt.tmp~"));

    // A stored path that is a symbolic link: the target is rewritten, the
    // link stays; a relative link is taken from the link's folder.
    WriteAll(dir.native() / "b" / "target.txt", "old");
    sfs::create_symlink("../b/target.txt", dir.native() / "a" / "link.txt");
    fs::RewriteFile(fs::Join(dir.path(), "a/link.txt"), "through the link");
    EXPECT_TRUE(sfs::is_symlink(dir.native() / "a" / "link.txt"));
    EXPECT_EQ(ReadAll(dir.native() / "b" / "target.txt"), "through the link");
}

TEST(FileSystem, FolderNameTakenByADanglingLinkOrAFileCannotBeCreated)
{
    TempDir dir;
    sfs::create_symlink(dir.native() / "nowhere", dir.native() / "base");
    WriteAll(dir.native() / "file", "x");
    EXPECT_THROW(fs::CreateDir(fs::Join(dir.path(), "base")), fs::FileError);
    EXPECT_THROW(fs::CreateDirs(fs::Join(dir.path(), "BASE")), fs::FileError);
    EXPECT_THROW(fs::CreateDir(fs::Join(dir.path(), "file")), fs::FileError);
    EXPECT_FALSE(fs::DirExists(fs::Join(dir.path(), "base")));
    // A link to a folder is a folder.
    sfs::create_directory(dir.native() / "real");
    sfs::create_directory_symlink(dir.native() / "real", dir.native() / "linked");
    EXPECT_NO_THROW(fs::CreateDir(fs::Join(dir.path(), "linked")));
}

TEST(FileSystem, NameIndexFollowsChangesFromOutside)
{
    TempDir dir;
    const std::string d = fs::Join(dir.path(), "made");
    fs::CreateDir(d); // made here: known empty
    std::string contents;
    EXPECT_FALSE(fs::ReadFile(fs::Join(d, "Member.TXT"), contents));
    // Made by a writer of its own (as an archive extractor does), under the
    // name that was just looked for.
    WriteAll(dir.native() / "made" / "Member.TXT", "m");
    EXPECT_TRUE(fs::ReadFile(fs::Join(d, "member.txt"), contents));
    EXPECT_EQ(contents, "m");
    // Made by another hand under another name: the folder's time changed.
    WriteAll(dir.native() / "made" / "Other.Txt", "o");
    const auto later = sfs::last_write_time(dir.native() / "made") + std::chrono::seconds(5);
    sfs::last_write_time(dir.native() / "made", later);
    EXPECT_TRUE(fs::ReadFile(fs::Join(d, "OTHER.TXT"), contents));
    EXPECT_EQ(contents, "o");
    // Removed by another hand, then written again in other case: one file.
    sfs::remove(dir.native() / "made" / "Other.Txt");
    EXPECT_FALSE(fs::ReadFile(fs::Join(d, "other.txt"), contents));
    fs::RewriteFile(fs::Join(d, "other.txt"), "again");
    fs::RewriteFile(fs::Join(d, "OTHER.txt"), "again and again");
    EXPECT_EQ(ReadAll(dir.native() / "made" / "other.txt"), "again and again");
    fs::DeleteFile(fs::Join(d, "Other.TXT"));
    EXPECT_EQ(fs::ListFiles(d), std::vector<std::string> {"Member.TXT"});

    // A name looked for appears together with others made by another hand:
    // the folder is read again whole, and a name in other case is found
    // rather than made a second time beside it.
    EXPECT_FALSE(fs::ReadFile(fs::Join(d, "Third.txt"), contents));
    WriteAll(dir.native() / "made" / "Third.txt", "3");
    WriteAll(dir.native() / "made" / "FOURTH.TXT", "4");
    sfs::last_write_time(dir.native() / "made", later + std::chrono::seconds(5));
    EXPECT_TRUE(fs::ReadFile(fs::Join(d, "third.txt"), contents));
    fs::RewriteFile(fs::Join(d, "fourth.txt"), "four");
    EXPECT_EQ(ReadAll(dir.native() / "made" / "FOURTH.TXT"), "four");
    EXPECT_FALSE(sfs::exists(dir.native() / "made" / "fourth.txt"));
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
