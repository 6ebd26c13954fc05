#include "app/BaseFolder.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace tervan;
using tervan::test::TempDir;

namespace {

std::vector<std::string> Entries(const std::filesystem::path& dir)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string() + (e.is_directory() ? "/" : ""));
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(BaseFolder, EmptyBaseGetsTheFourFolders)
{
    TempDir dir;
    EnsureBaseFolders(dir.path());
    EXPECT_EQ(Entries(dir.native()), (std::vector<std::string> {"DATA/", "SEI/", "SEIR/", "yLZH/"}));
    EnsureBaseFolders(dir.path());  // a second start changes nothing
    EXPECT_EQ(Entries(dir.native()), (std::vector<std::string> {"DATA/", "SEI/", "SEIR/", "yLZH/"}));

    // Paths built the old way find the same folders.
    EXPECT_TRUE(fs::DirExists(dir.path() + "\\Data\\"));
    EXPECT_TRUE(fs::DirExists(dir.path() + "\\data"));
    EXPECT_TRUE(fs::DirExists(dir.path() + "\\ylzh"));
}

TEST(BaseFolder, ExistingFoldersInOtherCaseAreKept)
{
    TempDir dir;
    std::filesystem::create_directory(dir.native() / "data");
    std::filesystem::create_directory(dir.native() / "Seir");
    std::filesystem::create_directory(dir.native() / "YLZH");
    test::WriteAll(dir.native() / "data" / "keep.txt", "x");
    EnsureBaseFolders(dir.path());
    EXPECT_EQ(Entries(dir.native()), (std::vector<std::string> {"SEI/", "Seir/", "YLZH/", "data/"}));
    EXPECT_EQ(test::ReadAll(dir.native() / "data" / "keep.txt"), "x");
}

TEST(BaseFolder, FolderThatCannotBeMadeIsReported)
{
    TempDir dir;
    test::WriteAll(dir.native() / "sei", "a file in the way");
    try {
        EnsureBaseFolders(dir.path());
        FAIL() << "no error";
    } catch (const fs::FileError& e) {
        const std::string message = e.what();
        EXPECT_EQ(message.rfind(SJ("フォルダを作成できません"), 0), 0u);
        EXPECT_NE(message.find("SEI"), std::string::npos);
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir.native() / "DATA"));  // made before the failure
    EXPECT_EQ(test::ReadAll(dir.native() / "sei"), "a file in the way");

    TempDir missing;
    EXPECT_THROW(EnsureBaseFolders(missing.path() + "/not-there"), fs::FileError);

    if (::geteuid() != 0) {  // root writes anywhere
        TempDir locked;
        ::chmod(locked.native().c_str(), 0555);
        EXPECT_THROW(EnsureBaseFolders(locked.path()), fs::FileError);
        ::chmod(locked.native().c_str(), 0755);
    }
}
