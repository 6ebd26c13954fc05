// TUnLha: what lands in the output folder, what Extract counts and what it
// reports, for the archives the odds services send and for broken and
// hostile ones; and tervan-tool unlha.
#include "archive/UnLha.h"

#include "archive/LzhBuilder.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <sys/stat.h>

using namespace tervan;
using tervan::test::LzhEntry01;
using tervan::test::LzhEntry2;
using tervan::test::Member;
using tervan::test::TempDir;

namespace {

namespace stdfs = std::filesystem;

struct Reported {
    std::string name;
    int number;
    std::string text;
};

// A TUnLha set up as the forecast import sets it, recording its reports.
struct Extraction {
    TUnLha unlha;
    std::vector<Reported> errors;

    Extraction(const stdfs::path& archive, const TempDir& out)
    {
        unlha.ArchiveFile = fs::FromNative(archive);
        unlha.FileSpec.clear();
        unlha.FileSpec.push_back("*.*");
        unlha.ExtractDir = out.path();
        unlha.OnError = [this](const std::string& name, int number, const std::string& text) {
            errors.push_back({name, number, text});
        };
    }

    std::vector<int> Numbers() const
    {
        std::vector<int> n;
        for (const Reported& r : errors)
            n.push_back(r.number);
        return n;
    }
};

stdfs::path Fixture(const char* name) { return test::TestData("archive") / name; }

// Names of everything below a folder, "/" separated, sorted.
std::vector<std::string> Tree(const stdfs::path& root)
{
    std::vector<std::string> names;
    for (const auto& e : stdfs::recursive_directory_iterator(root))
        names.push_back(test::U8Text(stdfs::relative(e.path(), root)));
    std::sort(names.begin(), names.end());
    return names;
}

stdfs::path WriteArchive(const TempDir& dir, const std::string& bytes, const char* name = "test.lzh")
{
    const stdfs::path path = dir.native() / name;
    test::WriteAll(path, bytes);
    return path;
}

} // namespace

TEST(UnLha, ExtractsAnLh5FileAndReplacesTheOldOneWithItsStoredDate)
{
    TempDir out;
    test::WriteAll(out.native() / "oz.txt", "old contents");
    Extraction x(Fixture("oz-lh5.lzh"), out);
    EXPECT_EQ(x.unlha.Extract(), 1);
    EXPECT_TRUE(x.errors.empty());
    const std::string text = test::ReadAll(out.native() / "oz.txt");
    EXPECT_EQ(text.size(), 7320u);
    EXPECT_EQ(test::Crc16(text), 0x6138);
    EXPECT_EQ(Tree(out.native()), (std::vector<std::string> {"oz.txt"})); // no temporary file left
    // Level 2 keeps a Unix time stamp; it becomes the file's.
    const std::string archive = test::ReadAll(Fixture("oz-lh5.lzh"));
    const std::uint32_t stored = static_cast<unsigned char>(archive[15]) | static_cast<unsigned char>(archive[16]) << 8
        | static_cast<unsigned char>(archive[17]) << 16 | static_cast<std::uint32_t>(static_cast<unsigned char>(archive[18])) << 24;
    struct stat st;
    ASSERT_EQ(::stat((out.native() / "oz.txt").string().c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, static_cast<time_t>(stored));

    // Every method at every header level, and names with a double-byte
    // character whose second byte is "\".
    for (const char* name : {"methods-l0.lzh", "methods-l1.lzh", "methods-l2.lzh", "lh1-amiga.lzh", "far-lh7.lzh", "sjis-name.lzh"}) {
        TempDir each;
        Extraction y(Fixture(name), each);
        EXPECT_GE(y.unlha.Extract(), 1) << name;
        EXPECT_TRUE(y.errors.empty()) << name;
    }
    TempDir sjis;
    Extraction z(Fixture("sjis-name.lzh"), sjis);
    z.unlha.Extract();
    EXPECT_EQ(Tree(sjis.native()), (std::vector<std::string> {"表.txt"}));
}

// Tree() in ASCII lower case: archivers of some systems store upper-case
// names that others list in lower case.
std::vector<std::string> LowerTree(const stdfs::path& root)
{
    std::vector<std::string> names;
    for (const std::string& name : Tree(root))
        names.push_back(test::ManifestName(name));
    std::sort(names.begin(), names.end());
    return names;
}

// The file of the folder whose name is `name` apart from ASCII letter case.
stdfs::path FindNoCase(const stdfs::path& folder, const std::string& name)
{
    for (const auto& e : stdfs::directory_iterator(folder))
        if (test::ManifestName(test::U8Text(e.path().filename())) == test::ManifestName(name))
            return e.path();
    return folder / test::U8Path(name);
}

// Members outside stored folders are written with their manifest's size and
// CRC; members in stored folders stay unwritten while the folders do not
// exist, and are the only ones reported.
void CheckExtractionAgainstManifest(const stdfs::path& folder)
{
    for (const auto& [archive, rows] : test::ReadLhaManifest(folder / "MANIFEST.tsv")) {
        SCOPED_TRACE(archive);
        TempDir out;
        Extraction x(folder / archive, out);
        std::map<std::string, const test::ManifestRow*> last; // a later member of a name replaces an earlier one
        int files = 0, inFolders = 0;
        for (const test::ManifestRow& row : rows) {
            if (row.crc == "-")
                continue;
            if (row.name.find('/') != std::string::npos) {
                ++inFolders;
                continue;
            }
            ++files;
            last[row.name] = &row;
        }
        EXPECT_EQ(x.unlha.Extract(), files);
        EXPECT_EQ(x.Numbers(), std::vector<int>(static_cast<std::size_t>(inFolders), 25235));
        for (const auto& [name, row] : last) {
            const std::string bytes = test::ReadAll(FindNoCase(out.native(), name));
            EXPECT_EQ(bytes.size(), row->size) << name;
            char crc[8];
            std::snprintf(crc, sizeof crc, "%04x", test::Crc16(bytes));
            EXPECT_EQ(crc, row->crc) << name;
        }
        std::vector<std::string> expected;
        for (const auto& [name, row] : last)
            expected.push_back(test::ManifestName(name));
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(LowerTree(out.native()), expected);
    }
}

TEST(UnLha, EverySampleMemberOutsideStoredFoldersIsExtractedIntact)
{
    CheckExtractionAgainstManifest(test::TestData("archive"));
    for (const char* shared : {"lha-samples", "lha-samples-odd"})
        if (stdfs::exists(test::SharedDir() / shared / "MANIFEST.tsv"))
            CheckExtractionAgainstManifest(test::SharedDir() / shared);
}

// Headers as other systems' archivers write them: an OS-9/68k level-2 header
// two bytes longer than its size field says, a comment after a NUL in the
// name (Amiga, MorphOS), level 3 (OS/2), and the 64-bit size extension.
TEST(UnLha, HeadersOfOtherSystems)
{
    const std::string text = "the odds of the day\r\n";
    std::string os9 = LzhEntry2(Member("os9.txt", text));
    os9[23] = 'K';
    const unsigned short9 = static_cast<unsigned char>(os9[0]) + 256u * static_cast<unsigned char>(os9[1]) - 2;
    os9.replace(0, 2, test::Le16(short9));
    // The 32-bit size fields hold cut sizes; the extension the true ones.
    const std::string sizes = test::Le32(static_cast<std::uint32_t>(text.size())) + test::Le32(0);
    auto cut = [&](std::string entry) { return entry.replace(7, 8, test::Le32(1) + test::Le32(1)); };
    const std::string archive = os9 + LzhEntry01(Member(std::string("amiga0.txt\0comment", 18), text), 0)
        + LzhEntry01(Member(std::string("amiga1.txt\0a file comment", 25), text), 1)
        + test::LzhEntry3(Member("os2.txt", text))
        + cut(LzhEntry2(test::WithExtension(Member("big2.txt", text), 0x42, sizes + sizes)))
        + cut(test::LzhEntry3(test::WithExtension(Member("big3.txt", text), 0x42, sizes + sizes)))
        + LzhEntry01(Member("after.txt", text), 1) + std::string(1, '\0');
    TempDir dir, out;
    Extraction x(WriteArchive(dir, archive), out);
    EXPECT_EQ(x.unlha.Extract(), 7);
    EXPECT_TRUE(x.errors.empty());
    const std::vector<std::string> names {"after.txt", "amiga0.txt", "amiga1.txt", "big2.txt", "big3.txt", "os2.txt", "os9.txt"};
    EXPECT_EQ(Tree(out.native()), names);
    for (const std::string& name : names)
        EXPECT_EQ(test::ReadAll(out.native() / name), text) << name;

    // An extension too short to hold both sizes: the member is refused, never
    // taken at its cut size.
    TempDir out2;
    Extraction y(WriteArchive(dir, cut(LzhEntry2(test::WithExtension(Member("big.txt", text), 0x42, sizes))), "short.lzh"), out2);
    EXPECT_EQ(y.unlha.Extract(), 0);
    EXPECT_EQ(y.Numbers(), (std::vector<int> {25114}));
    EXPECT_TRUE(Tree(out2.native()).empty());
}

// A member whose output would be the archive being read, by its own name or
// through a hard or symbolic link, is refused and not counted.
TEST(UnLha, NeverWritesOverTheArchiveItReads)
{
    TempDir dir;
    const std::string archive = LzhEntry01(Member("j050105.lzh", "not an archive"), 0) + LzhEntry01(Member("hard.lzh", "x"), 1)
        + LzhEntry2(Member("soft.lzh", "y")) + LzhEntry01(Member("kol_ods.kd2", "odds"), 0);
    const stdfs::path path = WriteArchive(dir, archive, "j050105.lzh");
    stdfs::create_hard_link(path, dir.native() / "hard.lzh");
    std::error_code noSymlinks; // Windows may not let a test make symbolic links
    stdfs::create_symlink(path, dir.native() / "soft.lzh", noSymlinks);
    TUnLha unlha;
    unlha.ArchiveFile = fs::FromNative(path); // no ExtractDir: the archive's own folder
    unlha.FileSpec = {"*.*"};
    std::vector<std::string> refused;
    unlha.OnError = [&](const std::string& name, int number, const std::string&) {
        if (number == 25235)
            refused.push_back(name);
    };
    if (noSymlinks) {
        EXPECT_EQ(unlha.Extract(), 2);
        EXPECT_EQ(refused, (std::vector<std::string> {"j050105.lzh", "hard.lzh"}));
    } else {
        EXPECT_EQ(unlha.Extract(), 1);
        EXPECT_EQ(refused, (std::vector<std::string> {"j050105.lzh", "hard.lzh", "soft.lzh"}));
    }
    EXPECT_EQ(test::ReadAll(path), archive);
    EXPECT_EQ(stdfs::is_symlink(dir.native() / "soft.lzh"), !noSymlinks);
    EXPECT_EQ(test::ReadAll(dir.native() / "kol_ods.kd2"), "odds");
}

TEST(UnLha, UnsupportedMethodsLeaveAnEmptyFileAndStopOrAreSkipped)
{
    {
        TempDir out;
        Extraction x(Fixture("lh2-only.lzh"), out);
        EXPECT_EQ(x.unlha.Extract(), 1);
        EXPECT_EQ(test::ReadAll(out.native() / "a.txt"), "");
        ASSERT_EQ(x.errors.size(), 1u);
        EXPECT_EQ(x.errors[0].number, 25326);
        EXPECT_EQ(x.errors[0].text, "Unsupported compression method");
        EXPECT_EQ(x.errors[0].name, "a.txt");
    }
    {
        // -lh5-, -lh3-, -lh5-: the first is written, the second left empty,
        // the third never reached.
        TempDir out;
        Extraction x(Fixture("three-lh3.lzh"), out);
        EXPECT_EQ(x.unlha.Extract(), 2);
        EXPECT_EQ(test::ReadAll(out.native() / "a.txt").size(), 3050u);
        EXPECT_EQ(test::ReadAll(out.native() / "b.txt"), "");
        EXPECT_FALSE(stdfs::exists(out.native() / "c.txt"));
        EXPECT_EQ(x.Numbers(), (std::vector<int> {25326}));
    }
    {
        // -lzs- and -lz5- belong to another archiver: not written, not
        // counted, not reported.
        TempDir out;
        Extraction x(Fixture("lzs.lzh"), out);
        EXPECT_EQ(x.unlha.Extract(), 1);
        EXPECT_EQ(Tree(out.native()), (std::vector<std::string> {"c.txt"}));
        EXPECT_TRUE(x.errors.empty());
    }
    {
        // A method id not framed by hyphens: reported, empty file, next entry.
        TempDir dir, out;
        const auto archive = WriteArchive(dir, LzhEntry01(Member("odd.txt", "x", "Xlh0X", "x"), 0) + LzhEntry01(Member("ok.txt", "fine"), 0));
        Extraction x(archive, out);
        EXPECT_EQ(x.unlha.Extract(), 2);
        EXPECT_EQ(test::ReadAll(out.native() / "odd.txt"), "");
        EXPECT_EQ(test::ReadAll(out.native() / "ok.txt"), "fine");
        EXPECT_EQ(x.Numbers(), (std::vector<int> {25326}));
    }
}

TEST(UnLha, ADamagedEntryIsWrittenCountedAndReported)
{
    TempDir dir, out;
    std::string bytes = test::ReadAll(Fixture("oz-lh5.lzh"));
    bytes[bytes.size() - 200] ^= 0x40;
    Extraction x(WriteArchive(dir, bytes), out);
    EXPECT_EQ(x.unlha.Extract(), 1);
    EXPECT_TRUE(stdfs::exists(out.native() / "oz.txt"));
    ASSERT_EQ(x.Numbers(), (std::vector<int> {25151}));
    EXPECT_EQ(x.errors[0].text, "File fails CRC check");

    // Cut short: what was decoded is kept, and reported the same way.
    TempDir out2;
    bytes = test::ReadAll(Fixture("oz-lh5.lzh")).substr(0, 1500);
    Extraction y(WriteArchive(dir, bytes, "cut.lzh"), out2);
    EXPECT_EQ(y.unlha.Extract(), 1);
    EXPECT_LT(test::ReadAll(out2.native() / "oz.txt").size(), 7320u);
    EXPECT_EQ(y.Numbers(), (std::vector<int> {25151}));
}

TEST(UnLha, StoredFoldersAreUsedOnlyWhenTheyExistOrMayBeCreated)
{
    {
        TempDir out;
        Extraction x(Fixture("jlha-dir.lzh"), out);
        EXPECT_EQ(x.unlha.Extract(), 1);
        EXPECT_EQ(Tree(out.native()), (std::vector<std::string> {"a.txt"}));
        ASSERT_EQ(x.Numbers(), (std::vector<int> {25235}));
        EXPECT_EQ(x.errors[0].name, "odds\\kol.txt");
    }
    {
        // The folder exists, in other letter case.
        TempDir out;
        stdfs::create_directory(out.native() / "ODDS");
        Extraction x(Fixture("jlha-dir.lzh"), out);
        EXPECT_EQ(x.unlha.Extract(), 2);
        EXPECT_EQ(test::ReadAll(out.native() / "ODDS" / "kol.txt").size(), 700u);
    }
    {
        TempDir out;
        Extraction x(Fixture("subdir-level2.lzh"), out);
        x.unlha.CreateStoredDirs = true;
        EXPECT_EQ(x.unlha.Extract(), 1); // folder entries are not files
        EXPECT_EQ(test::ReadAll(out.native() / "subdir" / "subdir2" / "hello.txt").size(), 12u);
        EXPECT_TRUE(x.errors.empty());
    }
    {
        TempDir out;
        Extraction x(Fixture("jlha-dir.lzh"), out);
        x.unlha.UseStoredDirs = false;
        EXPECT_EQ(x.unlha.Extract(), 2);
        EXPECT_EQ(Tree(out.native()), (std::vector<std::string> {"a.txt", "kol.txt"}));
    }
}

TEST(UnLha, NoNameLeadsOutsideTheExtractFolder)
{
    TempDir dir;
    const stdfs::path out = dir.native() / "out";
    stdfs::create_directories(out / "sub");
    std::string archive;
    // Refused: they still climb or are absolute after the clean-up (the
    // server name becomes a folder that does not exist).
    for (const char* name : {"..\\..\\evil1.txt", "sub\\..\\..\\evil3.txt", "C:\\..\\evil4.txt", "\\\\server\\evil5.txt",
                             "sub/../../evil6.txt", "sub\\..", "sub\\"})
        archive += LzhEntry01(Member(name, "evil"), 0);
    // Level-2 folder headers get the same treatment.
    test::LzhMember viaFolder = Member("evil7.txt", "evil");
    viaFolder.folder = "..\xFF..\xFF";
    archive += LzhEntry2(viaFolder);
    // Cleaned up and kept below the folder.
    for (const char* name : {"../ok0.txt", ".\\ok1.txt", "...\\ok2.txt", "/ok3.txt", "C:\\ok4.txt", "c:ok5.txt", "sub\\ok6.txt", "sub\\.\\ok7.txt"})
        archive += LzhEntry01(Member(name, "ok"), 0);
    archive += std::string(1, '\0');

    const stdfs::path path = dir.native() / "evil.lzh";
    test::WriteAll(path, archive);
    TUnLha unlha;
    unlha.ArchiveFile = fs::FromNative(path);
    unlha.FileSpec = {"*.*"};
    unlha.ExtractDir = fs::FromNative(out);
    int refused = 0;
    unlha.OnError = [&](const std::string&, int number, const std::string&) { refused += number == 25235; };
    EXPECT_EQ(unlha.Extract(), 8);
    EXPECT_EQ(refused, 8);
    EXPECT_EQ(Tree(dir.native()), (std::vector<std::string> {"evil.lzh", "out", "out/ok0.txt", "out/ok1.txt", "out/ok2.txt", "out/ok3.txt", "out/ok4.txt",
                                                             "out/ok5.txt", "out/sub", "out/sub/ok6.txt", "out/sub/ok7.txt"}));
}

TEST(UnLha, OverwriteRules)
{
    TempDir out;
    const stdfs::path target = out.native() / "oz.txt";
    {
        test::WriteAll(target, "mine");
        Extraction x(Fixture("oz-lh5.lzh"), out);
        x.unlha.OverwriteMode = omSkip;
        EXPECT_EQ(x.unlha.Extract(), 0);
        EXPECT_EQ(test::ReadAll(target), "mine");
    }
    {
        Extraction x(Fixture("oz-lh5.lzh"), out);
        x.unlha.ConfirmOverwrites = true;
        EXPECT_EQ(x.unlha.Extract(), 0);
        EXPECT_EQ(x.Numbers(), (std::vector<int> {25276}));
        EXPECT_EQ(test::ReadAll(target), "mine");
    }
    {
        Extraction x(Fixture("oz-lh5.lzh"), out);
        x.unlha.ConfirmOverwrites = true;
        std::vector<std::string> asked;
        x.unlha.OnFileExists = [&](const std::string& path) {
            asked.push_back(path);
            return asked.size() > 1;
        };
        EXPECT_EQ(x.unlha.Extract(), 0);
        EXPECT_EQ(test::ReadAll(target), "mine");
        EXPECT_EQ(x.unlha.Extract(), 1);
        EXPECT_EQ(test::ReadAll(target).size(), 7320u);
        ASSERT_EQ(asked.size(), 2u);
        EXPECT_EQ(fs::ToNative(asked[0]), target);
    }
    {
        // A folder of the file's name cannot be replaced.
        TempDir out2;
        stdfs::create_directory(out2.native() / "oz.txt");
        Extraction x(Fixture("oz-lh5.lzh"), out2);
        EXPECT_EQ(x.unlha.Extract(), 0);
        EXPECT_EQ(x.Numbers(), (std::vector<int> {25235}));
    }
}

TEST(UnLha, NamePatternsChooseTheMembers)
{
    TempDir dir;
    std::string archive;
    for (const char* name : {"OZ240101.TXT", "kol_ods.kd2", "README", "odds\\j0101.txt", "odds\\deep\\x.txt"})
        archive += LzhEntry01(Member(name, name), 0);
    const auto path = WriteArchive(dir, archive);
    auto run = [&](std::vector<std::string> masks, std::vector<std::string> exclude, bool recurse) {
        TempDir out;
        stdfs::create_directories(out.native() / "odds" / "deep");
        Extraction x(path, out);
        x.unlha.FileSpec = masks;
        x.unlha.ExcludeSpec = exclude;
        x.unlha.RecurseDirs = recurse;
        x.unlha.Extract();
        std::vector<std::string> files;
        for (const std::string& f : Tree(out.native()))
            if (stdfs::is_regular_file(out.native() / test::U8Path(f)))
                files.push_back(f);
        return files;
    };
    EXPECT_EQ(run({"*.*"}, {}, true), (std::vector<std::string> {"OZ240101.TXT", "README", "kol_ods.kd2", "odds/deep/x.txt", "odds/j0101.txt"}));
    EXPECT_EQ(run({"*.txt"}, {}, true), (std::vector<std::string> {"OZ240101.TXT", "odds/deep/x.txt", "odds/j0101.txt"}));
    EXPECT_EQ(run({"oz??????.*", "readme"}, {}, true), (std::vector<std::string> {"OZ240101.TXT", "README"}));
    EXPECT_EQ(run({"*.*"}, {"*.txt", ""}, true), (std::vector<std::string> {"README", "kol_ods.kd2"}));
    EXPECT_EQ(run({"*.txt"}, {}, false), (std::vector<std::string> {"OZ240101.TXT"}));
    EXPECT_EQ(run({"odds\\*.txt"}, {}, false), (std::vector<std::string> {"odds/j0101.txt"}));
    EXPECT_EQ(run({""}, {}, true), (std::vector<std::string> {}));
}

TEST(UnLha, ReadOnlyAttributeIsRestoredWhenAsked)
{
    TempDir dir;
    test::LzhMember m = Member("ro.txt", "read only");
    m.attribute = 0x21;
    const auto path = WriteArchive(dir, LzhEntry01(m, 1));
    for (bool restore : {true, false}) {
        TempDir out;
        Extraction x(path, out);
        x.unlha.RestoreFileAttr = restore;
        EXPECT_EQ(x.unlha.Extract(), 1);
        struct stat st;
        ASSERT_EQ(::stat((out.native() / "ro.txt").string().c_str(), &st), 0);
        EXPECT_EQ((st.st_mode & 0222) == 0, restore);
        // A read-only file from an earlier run is replaced all the same.
        EXPECT_EQ(x.unlha.Extract(), 1);
    }
}

TEST(UnLha, CancellingKeepsTheOldFileAndStops)
{
    TempDir out;
    test::WriteAll(out.native() / "a.txt", "old a");
    Extraction x(Fixture("methods-l2.lzh"), out); // c, a, b, c, a, b
    int begun = 0;
    x.unlha.OnBegin = [&](const std::string&) {
        if (++begun == 2)
            x.unlha.Cancel();
    };
    EXPECT_EQ(x.unlha.Extract(), 1);
    EXPECT_EQ(x.Numbers(), (std::vector<int> {25443}));
    EXPECT_EQ(x.errors[0].text, "User canceled");
    EXPECT_EQ(test::ReadAll(out.native() / "a.txt"), "old a");
    EXPECT_EQ(Tree(out.native()), (std::vector<std::string> {"a.txt", "c.txt"}));
    // The next Extract starts afresh.
    x.errors.clear();
    x.unlha.OnBegin = nullptr;
    EXPECT_EQ(x.unlha.Extract(), 6);
    EXPECT_TRUE(x.errors.empty());
}

TEST(UnLha, ArchiveAndFolderProblems)
{
    TempDir dir, out;
    {
        Extraction x(dir.native() / "missing.lzh", out);
        EXPECT_EQ(x.unlha.Extract(), 0);
        EXPECT_EQ(x.Numbers(), (std::vector<int> {25192}));
        x.unlha.ArchiveFile.clear();
        EXPECT_EQ(x.unlha.Extract(), 0);
        x.unlha.ArchiveFile = out.path();
        EXPECT_EQ(x.unlha.Extract(), 0);
        EXPECT_EQ(x.Numbers(), (std::vector<int> {25192, 25192, 25235}));
    }
    {
        // First byte 0, and an empty file: no entries, nothing reported.
        for (const std::string& bytes : {std::string("\0\0\0", 3), std::string()}) {
            Extraction x(WriteArchive(dir, bytes, "empty.lzh"), out);
            EXPECT_EQ(x.unlha.Extract(), 0);
            EXPECT_TRUE(x.errors.empty());
        }
    }
    {
        // A damaged header after a good entry: the good one is extracted.
        const std::string good = LzhEntry01(Member("first.txt", "1"), 0);
        Extraction x(WriteArchive(dir, good + std::string("\x10junk-junk-junk-junk-junk"), "bad.lzh"), out);
        EXPECT_EQ(x.unlha.Extract(), 1);
        EXPECT_EQ(x.Numbers(), (std::vector<int> {25114}));
    }
    {
        // A missing output folder is created; a file in its place is
        // neither deleted nor used.
        const stdfs::path made = dir.native() / "new" / "deeper";
        Extraction x(Fixture("oz-lh5.lzh"), out);
        x.unlha.ExtractDir = fs::FromNative(made);
        EXPECT_EQ(x.unlha.Extract(), 1);
        EXPECT_TRUE(stdfs::exists(made / "oz.txt"));
        test::WriteAll(dir.native() / "plain", "keep me");
        x.unlha.ExtractDir = fs::FromNative(dir.native() / "plain");
        EXPECT_EQ(x.unlha.Extract(), 0);
        EXPECT_EQ(x.Numbers(), (std::vector<int> {25150}));
        EXPECT_EQ(test::ReadAll(dir.native() / "plain"), "keep me");
    }
    {
        // No ExtractDir: the archive's own folder.
        TempDir own;
        stdfs::copy_file(Fixture("oz-lh5.lzh"), own.native() / "oz.lzh");
        TUnLha unlha;
        unlha.ArchiveFile = fs::FromNative(own.native() / "oz.lzh");
        unlha.FileSpec = {"*.*"};
        EXPECT_EQ(unlha.Extract(), 1);
        EXPECT_TRUE(stdfs::exists(own.native() / "oz.txt"));
    }
}

TEST(UnLhaTool, PrintsEachProblemAndTheCountLast)
{
    TempDir out;
    std::string stdoutText;
    EXPECT_EQ(test::RunTool({"unlha", Fixture("three-lh3.lzh").string(), out.native().string()}, stdoutText), 1);
    EXPECT_EQ(stdoutText, "error 25326 Unsupported compression method: b.txt\nextracted 2\n");
    EXPECT_EQ(test::RunTool({"unlha", Fixture("sjis-name.lzh").string(), out.native().string()}, stdoutText), 0);
    EXPECT_EQ(stdoutText, "extracted 1\n");
    EXPECT_TRUE(stdfs::exists(out.native() / test::U8Path("表.txt")));
    EXPECT_EQ(test::RunTool({"unlha", Fixture("jlha-dir.lzh").string(), out.native().string()}, stdoutText), 1);
    EXPECT_EQ(stdoutText, "error 25235 Error opening file: odds\\kol.txt\nextracted 1\n");

    // Members of another archiver's method are listed; control bytes of
    // names never reach the terminal raw.
    EXPECT_EQ(test::RunTool({"unlha", Fixture("lzs.lzh").string(), out.native().string()}, stdoutText), 0);
    EXPECT_EQ(stdoutText, "skipped -lzs- a.txt\nskipped -lz5- b.txt\nextracted 1\n");
    TempDir dir;
    const auto hostile = WriteArchive(dir, LzhEntry01(Member("x\x1b]0;title\x07.txt", "", "-lz5-", "zz"), 0)
                                          + LzhEntry01(Member("none\\\x1b[2J\x7f.txt", "q"), 0));
    EXPECT_EQ(test::RunTool({"unlha", hostile.string(), out.native().string()}, stdoutText), 1);
    EXPECT_EQ(stdoutText, "skipped -lz5- x\\x1b]0;title\\x07.txt\n"
                          "error 25235 Error opening file: none\\\\x1b[2J\\x7f.txt\nextracted 0\n");
}
