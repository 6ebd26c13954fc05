#include "views/CsvExport.h"

#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tervan;
using tervan::test::ReadAll;
using tervan::test::TempDir;
using CsvRows = std::vector<std::vector<std::string>>;

TEST(CsvExport, CellQuoting)
{
    // The result cell holds spaces: quoted. A bare name is written bare.
    EXPECT_EQ(CsvCell(SJ(" 1着   3人     5.2")), "\"" + SJ(" 1着   3人     5.2") + "\"");
    EXPECT_EQ(CsvCell(SJ("ディープインパクト")), SJ("ディープインパクト"));
    EXPECT_EQ(CsvCell("    "), "\"    \"");
    EXPECT_EQ(CsvCell(""), "");
    EXPECT_EQ(CsvCell("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvCell("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvCell("a\tb"), "\"a\tb\"");
    // A full-width space is one double-byte character, not a space.
    EXPECT_EQ(CsvCell(SJ("別定　")), SJ("別定　"));
    // Second bytes of double-byte characters are stepped over: "@" (0x40)
    // after a lead byte is the full-width space, "\" (0x5C) in 表.
    const std::string table = SJ("表");
    ASSERT_EQ(table[1], '\\');
    EXPECT_EQ(CsvCell(table), table);
    // A lead byte at the very end is a byte of its own.
    EXPECT_EQ(CsvCell(std::string("\x81")), std::string("\x81"));
}

TEST(CsvExport, TextHasHeadingRowsAndCrLf)
{
    const std::vector<std::vector<std::string>> rows = {{SJ("枠"), SJ("馬"), SJ("結果")}, {"1", "01", SJ(" 1着")}, {"", "", ""}};
    EXPECT_EQ(CsvText(SJ("見出し"), rows), SJ("見出し") + "\r\n" + SJ("枠,馬,結果") + "\r\n1,01,\"" + SJ(" 1着") + "\"\r\n,,\r\n");
}

TEST(CsvExport, FileNames)
{
    const std::string line = SJ("2005年 1月 5日中山 1回 2日");
    EXPECT_EQ(CardExportHeading(line, 1), line + " 1R");
    EXPECT_EQ(CardCsvFilePath("/base", line, 1), "/base\\CSV\\" + line + " 1R.CSV");
    EXPECT_EQ(CardCsvFilePath("/base\\", "  " + line + " ", 11), "/base\\CSV\\" + line + "11R.CSV");
    EXPECT_EQ(ListCsvFilePath("/base", SJ("2006年05月28日東京")), "/base\\CSV\\" + SJ("2006年05月28日東京") + ".CSV");
    // Nothing in the text can leave the CSV folder or name a folder.
    EXPECT_EQ(ListCsvFilePath("/b", "..\\x/y:z"), "/b\\CSV\\.._x_y_z.CSV");
    EXPECT_EQ(ListCsvFilePath("/b", ".."), "/b\\CSV\\__.CSV");
    // A "\" second byte inside a double-byte character stays.
    EXPECT_EQ(ListCsvFilePath("/b", SJ("表")), "/b\\CSV\\" + SJ("表") + ".CSV");
}

TEST(CsvExport, WritesCreatesFolderAndOverwrites)
{
    TempDir dir;
    const std::string line = SJ("2005年 1月 5日中山 1回 2日");
    const std::string path = CardCsvFilePath(dir.path(), line, 1);
    WriteCsvFile(dir.path(), path, CardExportHeading(line, 1), {{"a", "b c"}, {"1", "2"}, {"3", "4"}});
    const auto native = dir.native() / "CSV" / test::U8Path("2005年 1月 5日中山 1回 2日 1R.CSV");
    ASSERT_TRUE(std::filesystem::exists(native));
    const std::string first = ReadAll(native);
    EXPECT_EQ(first, line + " 1R\r\na,\"b c\"\r\n1,2\r\n3,4\r\n");
    EXPECT_NE(first.substr(0, 3), "\xEF\xBB\xBF");

    WriteCsvFile(dir.path(), path, "x", {{"y"}});
    EXPECT_EQ(ReadAll(native), "x\r\ny\r\n");

    // An existing folder in other letter case is used as it is.
    TempDir other;
    std::filesystem::create_directory(other.native() / "csv");
    WriteCsvFile(other.path(), ListCsvFilePath(other.path(), "day"), "day", CsvRows{});
    EXPECT_EQ(ReadAll(other.native() / "csv" / "day.CSV"), "day\r\n");
}

TEST(CsvExport, FailureIsReportedAndKeepsTheEarlierFile)
{
    TempDir dir;
    const std::string path = ListCsvFilePath(dir.path(), "day");
    WriteCsvFile(dir.path(), path, "old", CsvRows{});
    fs::SetRewriteHook([](std::string_view) { throw fs::FileError("disk full"); });
    try {
        WriteCsvFile(dir.path(), path, "new", {{"1"}});
        fs::SetRewriteHook({});
        FAIL() << "no error";
    } catch (const fs::FileError& e) {
        fs::SetRewriteHook({});
        EXPECT_EQ(std::string(e.what()).rfind(SJ("ＣＳＶファイルを書き込めませんでした。"), 0), 0u);
    }
    EXPECT_EQ(ReadAll(dir.native() / "CSV" / "day.CSV"), "old\r\n");

    // A file where the CSV folder should be.
    TempDir blocked;
    test::WriteAll(blocked.native() / "CSV", "not a folder");
    EXPECT_THROW(WriteCsvFile(blocked.path(), ListCsvFilePath(blocked.path(), "day"), "h", CsvRows{}), fs::FileError);
}

// ---- tervan-tool csv ----

#include "app/StoredDayBuilder.h"

namespace {

// One race of three runners on 28 May 2006 at 東京; horse 1 rested 70 days
// (牡1戦目), horse 2 finished first.
std::string MakeDay(const test::TempDir& dir)
{
    const std::string base = dir.path();
    test::WriteOneRaceDay(base, 3, "テストホースアイウ"); // 18 bytes: no trailing spaces
    test::WriteHistory(base, "2002100001", {test::KeyOn("20060319", 5)});
    return base;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        out.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text does not end with CR LF";
    return out;
}

} // namespace

TEST(CsvTool, WritesTheRaceCardAndOverwrites)
{
    TempDir dir;
    const std::string base = MakeDay(dir);
    const auto native = dir.native() / "CSV" / test::U8Path("2006年 5月28日東京 2回 8日 1R.CSV");
    std::filesystem::create_directory(dir.native() / "CSV");
    test::WriteAll(native, "an older export that is longer than the new one\r\n" + std::string(4000, 'x'));

    std::string out, err;
    ASSERT_EQ(test::RunTool({"csv", Cp932ToUtf8(base), "2006年05月28日東京", "1"}, out, &err), 0) << err;
    EXPECT_EQ(test::U8Text(test::U8Path(out)), test::U8Text(native) + "\n"); // the path as UTF-8, "/" between names
    const std::vector<std::string> lines = Lines(ReadAll(native));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], SJ("2006年 5月28日東京 2回 8日 1R"));
    EXPECT_EQ(lines[1], SJ("枠,馬,格言該当,馬名,騎手,調教師,前1走,前2走,前3走,前4走,前5走,予想配当,予配順位,結果"));
    // Horse 1: its maxim and name bare, its rest days quoted, the empty
    // result cell of an unrun horse quoted (it holds spaces).
    EXPECT_EQ(lines[2].substr(0, lines[2].find(SJ("騎手名"))),
              "1,01," + SJ("牡1戦目") + "," + SJ("テストホースアイウ") + ",");
    EXPECT_NE(lines[2].find(",\"  70\","), std::string::npos) << Cp932ToUtf8(lines[2]);
    EXPECT_NE(lines[2].find(",\"    \","), std::string::npos);
    EXPECT_EQ(lines[3].substr(lines[3].rfind(',') + 1), "\"" + SJ(" 1着   3人     5.2") + "\"");
}

TEST(CsvTool, WritesTheMatchingList)
{
    TempDir dir;
    const std::string base = MakeDay(dir);
    std::string out, err;
    ASSERT_EQ(test::RunTool({"csv", Cp932ToUtf8(base), "2006年05月28日東京"}, out, &err), 0) << err;
    const auto native = dir.native() / "CSV" / test::U8Path("2006年05月28日東京.CSV");
    EXPECT_EQ(test::U8Text(test::U8Path(out)), test::U8Text(native) + "\n"); // the path as UTF-8, "/" between names
    const std::vector<std::string> lines = Lines(ReadAll(native));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], SJ("2006年05月28日東京"));
    EXPECT_EQ(lines[1].substr(0, lines[1].find(',')), SJ("該当レース"));
    EXPECT_EQ(lines[2].substr(0, lines[2].find(',', lines[2].find(']'))), "\"" + SJ("東京 01R [15:40]") + "\"");

    EXPECT_EQ(test::RunTool({"csv", Cp932ToUtf8(base), "2006年05月28日東京", "x"}, out, &err), 2);
    EXPECT_NE(test::RunTool({"csv", Cp932ToUtf8(base), "2006年05月28日東京", "4"}, out, &err), 0);
}
