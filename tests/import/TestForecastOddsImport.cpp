#include "import/ForecastOddsImport.h"
#include "archive/LzhBuilder.h"

#include "platform/FileSystem.h"
#include "reference/FixedRecord.h"
#include "reference/ShiftJis.h"
#include "sample/LhaWriter.h"
#include "sample/OddsArchives.h"
#include "sample/SampleFeed.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

using namespace tervan;
using tervan::test::PutAt;
using tervan::test::ReadAll;
using tervan::test::TempDir;
using tervan::test::WriteAll;

namespace {

// A KOL source line: every odds field "-" unless set afterwards.
std::string KolLine(std::string_view course, std::string_view race, std::string_view ymd, int runners)
{
    std::string line(kKolSourceLineLength, ' ');
    PutAt(line, 1, course);
    PutAt(line, 7, "01");
    PutAt(line, 9, "08");
    PutAt(line, 11, race);
    PutAt(line, 13, ymd);
    PutAt(line, 110, PadLeft(std::to_string(runners), 2));
    for (size_t h = 0; h < 18; ++h)
        PutAt(line, 162 + 5 * h, "    -");
    for (size_t b = 0; b < 36; ++b)
        PutAt(line, 252 + 5 * b, "    -");
    for (size_t p = 0; p < 153; ++p)
        PutAt(line, 432 + 7 * p, "      -");
    return line;
}

// A JRDB source line with recognisable odds texts.
std::string JrdbLine(std::string_view course, std::string_view head)
{
    std::string line(kJrdbSourceLineLength, ' ');
    PutAt(line, 1, course);
    PutAt(line, 3, head); // year, meeting, day, race, runners
    for (size_t h = 0; h < 18; ++h) {
        PutAt(line, 11 + 5 * h, PadLeft(std::to_string(h + 1) + ".5", 5));
        PutAt(line, 101 + 5 * h, PadLeft(std::to_string(h + 1) + ".1", 5));
    }
    for (size_t p = 0; p < 153; ++p)
        PutAt(line, 191 + 5 * p, PadLeft(std::to_string(p + 1) + ".0", 5));
    return line;
}

std::string_view Quinella(std::string_view line, int pair) // 1..153
{
    return Mid(line, 236 + 8 * static_cast<size_t>(pair - 1), 8);
}

std::string_view Win(std::string_view line, int horse) // 1..18
{
    return Mid(line, 20 + 6 * static_cast<size_t>(horse - 1), 6);
}

std::string Archive(const std::string& member, const std::string& data, int level = 1)
{
    return sample::WriteStoredLha({{member, data, DateTime {2005, 1, 5, 9, 30, 0}}}, level);
}

// A base folder with its data folder and an archive folder beside it.
struct ImportFixture {
    TempDir dir;
    std::filesystem::path base = dir.native() / "base";
    std::filesystem::path lzh = dir.native() / "yLZH";
    ImportFixture()
    {
        std::filesystem::create_directories(base / "DATA");
        std::filesystem::create_directories(lzh);
    }
    ForecastImportResult Import(const std::string& archiveName, const std::string& bytes, bool since2005 = true)
    {
        WriteAll(lzh / archiveName, bytes);
        return ImportForecastOdds(fs::FromNative(base), fs::FromNative(lzh / archiveName), since2005);
    }
    std::filesystem::path Yoz(const std::string& utf8Name) const { return base / "DATA" / test::U8Path(utf8Name); }
};

std::vector<std::string> Records(const std::string& file)
{
    std::vector<std::string> out;
    for (size_t pos = 0; pos + 1461 <= file.size(); pos += 1461)
        out.push_back(file.substr(pos, 1461));
    return out;
}

} // namespace

TEST(KolOdds, FieldsInTenths)
{
    EXPECT_EQ(KolWinOdds("00123"), "  12.3");
    EXPECT_EQ(KolWinOdds("  123"), "  12.3");
    EXPECT_EQ(KolWinOdds("    *"), "  50.0");
    EXPECT_EQ(KolWinOdds("  -  "), "      ");
    EXPECT_EQ(KolWinOdds("99999"), "9999.9");
    EXPECT_EQ(KolWinOdds("     "), "   0.0"); // no digits reads as 0
    EXPECT_EQ(KolQuinellaOdds("0012345"), "  1234.5");
    EXPECT_EQ(KolQuinellaOdds("      *"), "  1000.0");
    EXPECT_EQ(KolQuinellaOdds("-      "), "        ");
    EXPECT_EQ(KolQuinellaOdds("9999999"), "999999.9");
    EXPECT_EQ(KolBracketOdds("    *"), "   100.0");
    EXPECT_EQ(KolBracketOdds("00456"), "    45.6");
    EXPECT_EQ(KolBracketOdds("    -"), "        ");
}

TEST(KolConversion, LineLayoutSince2005)
{
    std::string src = KolLine("04", "11", "20050105", 16);
    PutAt(src, 162, "00123");
    PutAt(src, 162 + 5, "    *");
    PutAt(src, 432, "0012345");
    PutAt(src, 432 + 7, "      *");
    const ForecastConversion conv = ConvertKolOdds(src + "\r\n", true);
    ASSERT_EQ(conv.lines.size(), 1u);
    EXPECT_EQ(conv.skipped, 0);
    const std::string& line = conv.lines[0];
    ASSERT_EQ(line.size(), 1459u);
    EXPECT_EQ(line.substr(0, 19), "20050105040108" "11" "K16");
    EXPECT_EQ(Win(line, 1), "  12.3");
    EXPECT_EQ(Win(line, 2), "  50.0");
    EXPECT_EQ(Win(line, 3), "      ");
    EXPECT_EQ(line.substr(127, 108), std::string(108, ' ')); // no place odds
    EXPECT_EQ(Quinella(line, 1), "  1234.5");
    EXPECT_EQ(Quinella(line, 2), "  1000.0");
    EXPECT_EQ(Quinella(line, 153), "        ");
}

TEST(KolConversion, SmallFieldBeforeTwoThousandFiveTakesBracketOdds)
{
    std::string src = KolLine("05", "03", "20040328", 8);
    PutAt(src, 252 + 5 * 1, "    *");  // bracket " 1- 2" (index 2)
    PutAt(src, 252 + 5 * 2, "00345");  // bracket " 1- 3"
    PutAt(src, 252 + 5 * 0, "00999");  // " 1- 1" never used: horses have a bracket each
    PutAt(src, 252 + 5 * 34, "01234"); // bracket " 7- 8" (index 35)
    PutAt(src, 432, "0000777");        // quinella " 1- 2"
    for (size_t p = 0; p < 153; ++p)
        if (p != 0)
            PutAt(src, 432 + 7 * p, "0000500");

    const ForecastConversion before = ConvertKolOdds(src, false);
    ASSERT_EQ(before.lines.size(), 1u);
    const std::string& b = before.lines[0];
    ASSERT_EQ(b.size(), 1459u);
    EXPECT_EQ(Quinella(b, 1), "   100.0"); // " 1- 2"
    EXPECT_EQ(Quinella(b, 2), "    34.5"); // " 1- 3"
    EXPECT_EQ(Quinella(b, 88), "   123.4"); // " 7- 8"
    EXPECT_EQ(Quinella(b, 3), "        "); // " 1- 4": bracket field "-"
    for (int p : {8, 17, 33, 109, 153}) // " 1- 9", " 1-18", " 2-18", " 9-10", "17-18"
        EXPECT_EQ(Quinella(b, p), "        ") << p;

    // The same race with a 2005-or-later day selected takes its quinella fields.
    const std::string s = ConvertKolOdds(src, true).lines.at(0);
    EXPECT_EQ(Quinella(s, 1), "    77.7");
    EXPECT_EQ(Quinella(s, 2), "    50.0");
    EXPECT_EQ(Quinella(s, 153), "    50.0");

    // Nine runners: quinella fields whatever the day.
    PutAt(src, 110, " 9");
    EXPECT_EQ(Quinella(ConvertKolOdds(src, false).lines.at(0), 1), "    77.7");
}

TEST(JrdbConversion, FieldsCopiedAndDayFromTheArchiveName)
{
    // Course 06, "year" 99 (ignored), meeting 1, day "a", race 12, 16 runners.
    const std::string src = JrdbLine("06", "991a1216");
    const ForecastConversion conv = ConvertJrdbOdds(src + "\r\n" + src + "\r\n", "050105");
    ASSERT_EQ(conv.lines.size(), 2u);
    const std::string& line = conv.lines[0];
    ASSERT_EQ(line.size(), 1459u);
    EXPECT_EQ(line.substr(0, 19), "20050105" "06" "01" "0a" "12" "J16");
    EXPECT_EQ(Win(line, 1), "   1.5");
    EXPECT_EQ(Win(line, 18), "  18.5");
    EXPECT_EQ(Mid(line, 128, 6), "   1.1");
    EXPECT_EQ(Quinella(line, 1), "     1.0");
    EXPECT_EQ(Quinella(line, 153), "   153.0");
}

TEST(ForecastSource, ShortLinesSkippedAndCountedBlankLinesIgnored)
{
    const std::string good = JrdbLine("05", "05111201");
    const std::string text = good + "\r\n" + good.substr(0, 954) + "\r\n\r\n   \n" + good + "\n" + "short\r" + "\x1a";
    const ForecastConversion conv = ConvertJrdbOdds(text, "050105");
    EXPECT_EQ(conv.lines.size(), 2u);
    EXPECT_EQ(conv.skipped, 2);
    for (const std::string& l : conv.lines)
        EXPECT_EQ(l.size(), 1459u);

    const ForecastConversion kol = ConvertKolOdds(KolLine("4", " 1", "20240526", 12).substr(0, 1501), true);
    EXPECT_TRUE(kol.lines.empty());
    EXPECT_EQ(kol.skipped, 1);
}

TEST(ForecastImport, JrdbArchiveNamesTheDayWhateverTheLinesSay)
{
    ImportFixture fx;
    // Member stored in upper case, as some archivers do.
    const std::string text = JrdbLine("06", "991a0116") + "\r\n" + JrdbLine("06", "991a0216") + "\r\n";
    const ForecastImportResult r = fx.Import("OZ050105.lzh", Archive("OZ050105.TXT", text));
    EXPECT_EQ(Cp932ToUtf8(r.message),
              "JRDB基準オッズデータを解凍し、2005年01月05日のデータを保存しました。データを再読込すると反映されます。");
    EXPECT_FALSE(r.beep);
    const std::string file = ReadAll(fx.Yoz("2005年01月05日.yoz"));
    ASSERT_EQ(file.size(), 2u * 1461u);
    for (const std::string& rec : Records(file)) {
        EXPECT_EQ(rec.substr(0, 8), "20050105");
        EXPECT_EQ(rec.substr(1459), "\r\n");
        EXPECT_EQ(rec.find_first_of("\r\n"), 1459u);
    }
    EXPECT_EQ(fs::ToNative(r.wroteFile), fx.Yoz("2005年01月05日.yoz"));
    EXPECT_FALSE(std::filesystem::exists(fx.lzh / "OZ050105.TXT")); // extracted text removed
    EXPECT_TRUE(std::filesystem::exists(fx.lzh / "OZ050105.lzh"));
}

TEST(ForecastImport, KolAfterJrdbForTheSameDayLeavesOnlyKolLines)
{
    ImportFixture fx;
    fx.Import("OZ240526.lzh", Archive("Oz240526.txt", JrdbLine("05", "242811" "01" "16") + "\r\n"));
    ASSERT_EQ(ReadAll(fx.Yoz("2024年05月26日.yoz")).size(), 1461u);

    std::string kol;
    for (int race = 1; race <= 3; ++race)
        kol += KolLine("4", PadLeft(std::to_string(race), 2), "20240526", 14) + "\r\n";
    // An extra file of the archive is kept, the odds text is removed.
    const std::string archive = sample::WriteStoredLha(
        {{"kol_ods.kd2", kol, DateTime {2024, 5, 25}}, {"yosoodds.dat", "x\r\n", DateTime {2024, 5, 25}}}, 2);
    const ForecastImportResult r = fx.Import("j240526.lzh", archive);
    EXPECT_EQ(Cp932ToUtf8(r.message),
              "KOL予想オッズデータを解凍し、2024年05月26日のデータを保存しました。データを再読込すると反映されます。");
    const std::vector<std::string> recs = Records(ReadAll(fx.Yoz("2024年05月26日.yoz")));
    ASSERT_EQ(recs.size(), 3u);
    for (const std::string& rec : recs)
        EXPECT_EQ(rec[16], 'K');
    EXPECT_FALSE(std::filesystem::exists(fx.lzh / "kol_ods.kd2"));
    EXPECT_TRUE(std::filesystem::exists(fx.lzh / "yosoodds.dat"));
}

TEST(ForecastImport, NothingExtractedBeepsAndWritesNothing)
{
    ImportFixture fx;
    for (const std::string& bytes : {std::string(1, '\0'), std::string("not an archive at all")}) {
        const ForecastImportResult r = fx.Import("OZ050105.lzh", bytes);
        EXPECT_EQ(Cp932ToUtf8(r.message), "データが解凍できませんでした。");
        EXPECT_TRUE(r.beep);
        EXPECT_TRUE(r.wroteFile.empty());
    }
    const ForecastImportResult missing = ImportForecastOdds(fs::FromNative(fx.base), fs::FromNative(fx.lzh / "OZ990101.lzh"), true);
    EXPECT_EQ(Cp932ToUtf8(missing.message), "データが解凍できませんでした。");
    EXPECT_TRUE(std::filesystem::is_empty(fx.base / "DATA"));
}

TEST(ForecastImport, EarlierExtractedFilesAreNotTakenForThisImport)
{
    ImportFixture fx;
    // Left over from earlier imports, in any letter case.
    WriteAll(fx.lzh / "oz050105.TXT", JrdbLine("06", "99110116") + "\r\n");
    WriteAll(fx.lzh / "KOL_ODS.KD2", KolLine("4", " 1", "20050105", 10) + "\r\n");
    WriteAll(fx.lzh / "YosoOdds.dat", "old");
    WriteAll(fx.lzh / "keep.txt", "mine");
    // This archive holds neither odds text.
    const ForecastImportResult r = fx.Import("OZ050105.lzh", Archive("readme.txt", "hello"));
    EXPECT_TRUE(r.beep);
    EXPECT_TRUE(r.wroteFile.empty());
    EXPECT_EQ(Cp932ToUtf8(r.message),
              "アーカイブの中に予想オッズのデータ(Oz年月日.txt または kol_ods.kd2)がありませんでした。");
    EXPECT_FALSE(std::filesystem::exists(fx.lzh / "oz050105.TXT"));
    EXPECT_FALSE(std::filesystem::exists(fx.lzh / "KOL_ODS.KD2"));
    EXPECT_FALSE(std::filesystem::exists(fx.lzh / "YosoOdds.dat"));
    EXPECT_TRUE(std::filesystem::exists(fx.lzh / "keep.txt"));
    EXPECT_TRUE(std::filesystem::is_empty(fx.base / "DATA"));
}

TEST(ForecastImport, EmptyOrUnusableSourcesWriteNothingAndSaySo)
{
    ImportFixture fx;
    ForecastImportResult r = fx.Import("j050105.lzh", Archive("kol_ods.kd2", ""));
    EXPECT_EQ(Cp932ToUtf8(r.message), "データがありませんでした。");
    EXPECT_TRUE(r.beep);

    const std::string shortLine = KolLine("4", " 1", "20050105", 10).substr(0, 1400) + "\r\n";
    r = fx.Import("j050105.lzh", Archive("kol_ods.kd2", shortLine + shortLine));
    EXPECT_EQ(Cp932ToUtf8(r.message),
              "行の長さが足りないため、データを保存できませんでした。\n長さが足りない行が2行あったため、読み飛ばしました。");
    EXPECT_EQ(r.linesSkipped, 2);

    r = fx.Import("j050105.lzh", Archive("kol_ods.kd2", KolLine("4", " 1", "2005/1/5", 10) + "\r\n"));
    EXPECT_EQ(Cp932ToUtf8(r.message), "レースの日付が正しくないため、データを保存できませんでした。");

    r = fx.Import("OZ0501.lzh", Archive("Oz0501.l.txt", JrdbLine("06", "99110116") + "\r\n"));
    EXPECT_TRUE(r.wroteFile.empty());
    EXPECT_TRUE(r.beep);
    EXPECT_TRUE(std::filesystem::is_empty(fx.base / "DATA"));

    // Complete lines are kept; the message counts the rest.
    r = fx.Import("j050105.lzh", Archive("kol_ods.kd2", KolLine("4", " 1", "20050105", 10) + "\r\n" + shortLine));
    EXPECT_EQ(r.linesWritten, 1);
    EXPECT_TRUE(r.beep);
    EXPECT_NE(Cp932ToUtf8(r.message).find("長さが足りない行が1行あったため、読み飛ばしました。"), std::string::npos);
    EXPECT_EQ(ReadAll(fx.Yoz("2005年01月05日.yoz")).size(), 1461u);
}

TEST(ForecastImport, DamagedOddsTextIsNotConverted)
{
    ImportFixture fx;
    std::string archive = Archive("kol_ods.kd2", KolLine("4", " 1", "20050105", 10) + "\r\n");
    archive[archive.size() - 100] ^= 0x01; // a byte of the member's data
    const ForecastImportResult r = fx.Import("j050105.lzh", archive);
    EXPECT_TRUE(r.beep);
    EXPECT_TRUE(r.wroteFile.empty());
    EXPECT_NE(Cp932ToUtf8(r.message).find("CRC"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(fx.base / "DATA"));
}

// A refused odds text (CRC mismatch, over the size limit) is deleted as an
// accepted one is; a member named as the archive never replaces it.
TEST(ForecastImport, RefusedMembersAreDeletedAndTheArchiveIsKept)
{
    ImportFixture fx;
    std::string damaged = Archive("kol_ods.kd2", KolLine("4", " 1", "20050105", 10) + "\r\n");
    damaged[damaged.size() - 100] ^= 0x01;
    EXPECT_TRUE(fx.Import("j050105.lzh", damaged).wroteFile.empty());
    EXPECT_FALSE(std::filesystem::exists(fx.lzh / "kol_ods.kd2"));

    // 17 MB of one byte, as -lh5- blocks of one code each.
    test::BitWriter w;
    test::PutSingleSymbolBlock(w, 1, 'x', 0);
    test::PutSingleSymbolBlock(w, 65535, 509, 0); // each a copy of 256 bytes at distance 1
    test::PutSingleSymbolBlock(w, 1000, 509, 0);
    const std::string big(1 + 66535u * 256u, 'x');
    test::LzhMember m = test::Member("kol_ods.kd2", "", "-lh5-", w.Bytes());
    m.crc = test::Crc16(big);
    std::string archive = test::LzhEntry2(m);
    archive.replace(11, 4, test::Le32(static_cast<std::uint32_t>(big.size())));
    ForecastImportResult r = fx.Import("j050105.lzh", archive);
    EXPECT_NE(Cp932ToUtf8(r.message).find("大きすぎる"), std::string::npos) << Cp932ToUtf8(r.message);
    EXPECT_FALSE(std::filesystem::exists(fx.lzh / "kol_ods.kd2"));

    const std::string self = sample::WriteStoredLha({{"J050105.LZH", "not odds", DateTime {2005, 1, 5}},
                                                     {"j050105.lzh", "not odds", DateTime {2005, 1, 5}},
                                                     {"kol_ods.kd2", KolLine("4", " 1", "20050105", 10) + "\r\n", DateTime {2005, 1, 5}}},
                                                    2);
    r = fx.Import("j050105.lzh", self);
    EXPECT_FALSE(r.wroteFile.empty()) << Cp932ToUtf8(r.message);
    EXPECT_EQ(ReadAll(fx.lzh / "j050105.lzh"), self);
}

TEST(ForecastImport, WriteFailureKeepsTheOldFileAndReportsIt)
{
    ImportFixture fx;
    WriteAll(fx.Yoz("2005年01月05日.yoz"), "old");
    fs::SetRewriteHook([](std::string_view) { throw fs::FileError(SJ("書き込めません")); });
    const ForecastImportResult r = fx.Import("j050105.lzh", Archive("kol_ods.kd2", KolLine("4", " 1", "20050105", 10)));
    fs::SetRewriteHook(nullptr);
    EXPECT_TRUE(r.beep);
    EXPECT_TRUE(r.wroteFile.empty());
    EXPECT_EQ(Cp932ToUtf8(r.message), "書き込めません");
    EXPECT_EQ(ReadAll(fx.Yoz("2005年01月05日.yoz")), "old");
}

TEST(ForecastImport, ArchiveMadeByAnLhaProgram)
{
    // -lh5- archive written by Debian's lha; its member name is upper case.
    ImportFixture fx;
    std::filesystem::copy_file(test::TestData("import/OZ050105.lzh"), fx.lzh / "OZ050105.lzh");
    const ForecastImportResult r = ImportForecastOdds(fs::FromNative(fx.base), fs::FromNative(fx.lzh / "OZ050105.lzh"), true);
    EXPECT_FALSE(r.beep) << Cp932ToUtf8(r.message);
    const std::vector<std::string> recs = Records(ReadAll(fx.Yoz("2005年01月05日.yoz")));
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[0].substr(0, 19), "20050105" "06" "01" "01" "01" "J16");
    EXPECT_EQ(recs[1].substr(0, 19), "20050105" "06" "01" "01" "02" "J16");
}

TEST(ForecastImportTool, PrintsTheMessageAndCreatesTheFolders)
{
    TempDir dir;
    const auto archive = dir.native() / "j050105.lzh";
    WriteAll(archive, Archive("kol_ods.kd2", KolLine("4", " 1", "20050105", 8) + "\r\n"));
    const auto base = dir.native() / "newbase";
    std::filesystem::create_directories(base);
    std::string out;
    EXPECT_EQ(test::RunTool({"import-odds", base.string(), archive.string(), "--before2005"}, out), 0);
    EXPECT_EQ(out, "KOL予想オッズデータを解凍し、2005年01月05日のデータを保存しました。データを再読込すると反映されます。\n");
    for (const char* folder : {"DATA", "SEI", "SEIR", "yLZH"})
        EXPECT_TRUE(std::filesystem::is_directory(base / folder)) << folder;
    EXPECT_EQ(ReadAll(base / "DATA" / test::U8Path("2005年01月05日.yoz")).size(), 1461u);

    // A base folder that does not exist yet is made, as import-jv makes it.
    const auto fresh = dir.native() / "fresh" / "base";
    EXPECT_EQ(test::RunTool({"import-odds", fresh.string(), archive.string()}, out), 0) << out;
    for (const char* folder : {"DATA", "SEI", "SEIR", "yLZH"})
        EXPECT_TRUE(std::filesystem::is_directory(fresh / folder)) << folder;
    EXPECT_EQ(ReadAll(fresh / "DATA" / test::U8Path("2005年01月05日.yoz")).size(), 1461u);

    EXPECT_EQ(test::RunTool({"import-odds", base.string(), (dir.native() / "none.lzh").string()}, out), 1);
    EXPECT_EQ(out, "データが解凍できませんでした。\n");
    EXPECT_EQ(test::RunTool({"import-odds", base.string(), archive.string(), "--since2005", "--before2005"}, out), 2);
}

namespace {

std::vector<std::vector<std::string>> CardRows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> cells;
        size_t start = 0;
        for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            cells.push_back(line.substr(start, tab - start));
        cells.push_back(line.substr(start));
        rows.push_back(std::move(cells));
    }
    return rows;
}

} // namespace

TEST(ForecastImportSample, SampleArchivesFillTheForecastColumnsAfterReload)
{
    TempDir dir;
    const DateTime now = Now();
    sample::SampleOptions options;
    options.today = DateTime {now.year, now.month, now.day};
    options.days = 1; // a small sample keeps the import quick
    options.courses = 1;
    const sample::SampleWorld world = sample::BuildSampleWorld(options);
    std::vector<std::string> archives;
    for (const sample::OddsArchive& a : sample::BuildOddsArchives(world))
        archives.push_back(a.name);
    ASSERT_EQ(archives.size(), 2u);

    // make-sample-feed writes the same world and its archives beside the feed.
    const auto feed = dir.native() / "feed";
    char todayText[16];
    std::snprintf(todayText, sizeof todayText, "%04d%02d%02d", now.year, now.month, now.day);
    std::string made;
    ASSERT_EQ(test::RunTool({"make-sample-feed", feed.string(), "--today", todayText, "--days", "1", "--courses", "1"}, made), 0);
    for (const std::string& name : archives) {
        EXPECT_NE(made.find("forecast odds archive: " + name), std::string::npos) << made;
        ASSERT_TRUE(std::filesystem::exists(feed / name));
    }
    const auto base = dir.native() / "base";
    std::filesystem::create_directories(base);
    std::string out;
    ASSERT_EQ(test::RunTool({"import-jv", base.string(), feed.string()}, out), 0) << out;

    const sample::SampleDay& today = world.days.back();
    char stem[32];
    std::snprintf(stem, sizeof stem, "%04d年%02d月%02d日", today.year, today.month, today.dayOfMonth);
    ASSERT_EQ(test::RunTool({"days", base.string()}, out), 0);
    const std::string day = out.substr(0, out.find('\n'));
    ASSERT_EQ(day.rfind(stem, 0), 0u) << day;

    // Before the import the forecast columns are empty.
    ASSERT_EQ(test::RunTool({"card", base.string(), day, "1"}, out), 0);
    std::vector<std::vector<std::string>> rows = CardRows(out);
    ASSERT_GT(rows.size(), 3u);
    EXPECT_EQ(rows[2].at(11), "");

    // One day only: the JRDB archive is for the same day as the KOL one.
    const auto imported = [&](size_t which) {
        EXPECT_EQ(test::RunTool({"import-odds", base.string(), (feed / archives[which]).string()}, out), 0) << out;
        EXPECT_NE(out.find(std::string(stem) + "のデータを保存しました。"), std::string::npos) << out;
        EXPECT_EQ(test::RunTool({"card", base.string(), day, "1"}, out), 0);
        return CardRows(out);
    };
    const std::vector<sample::SampleRunner>& runners = today.courses.front().races.front().runners;
    rows = imported(0); // JRDB: the forecast odds as they are
    ASSERT_EQ(rows.size(), runners.size() + 2);
    for (const sample::SampleRunner& r : runners) {
        char odds[16];
        std::snprintf(odds, sizeof odds, "%6.1f", r.forecastOddsTenths / 10.0);
        EXPECT_EQ(rows[static_cast<size_t>(r.horseNumber) + 1].at(11), odds) << r.horseNumber;
    }
    rows = imported(1); // KOL: 50.0 and above read as 50.0
    for (const sample::SampleRunner& r : runners) {
        char odds[16];
        std::snprintf(odds, sizeof odds, "%6.1f", std::min(r.forecastOddsTenths, 500) / 10.0);
        EXPECT_EQ(rows[static_cast<size_t>(r.horseNumber) + 1].at(11), odds) << r.horseNumber;
    }

    // Every race of every course of the day: each runner has forecast odds
    // and the ranks run 1..n.
    ASSERT_EQ(test::RunTool({"days", base.string()}, out), 0);
    std::istringstream entries(out);
    int cards = 0;
    for (std::string entry; std::getline(entries, entry);) {
        if (entry.rfind(stem, 0) != 0)
            continue;
        for (int race = 1; race <= 12; ++race) {
            ASSERT_EQ(test::RunTool({"card", base.string(), entry, std::to_string(race)}, out), 0);
            rows = CardRows(out);
            std::vector<int> ranks;
            for (size_t r = 2; r < rows.size(); ++r) {
                if (rows[r].size() < 13)
                    continue;
                EXPECT_FALSE(rows[r][11].empty()) << entry << " " << race;
                ranks.push_back(std::atoi(rows[r][12].c_str()));
            }
            std::sort(ranks.begin(), ranks.end());
            for (size_t k = 0; k < ranks.size(); ++k)
                EXPECT_EQ(ranks[k], static_cast<int>(k + 1)) << entry << " " << race;
            ++cards;
        }
    }
    EXPECT_EQ(cards, 12 * static_cast<int>(today.courses.size()));
}
