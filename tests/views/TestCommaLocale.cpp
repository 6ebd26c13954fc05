// Numbers do not follow the process locale: a day with forecast odds gives
// the same card texts, ranks, painted texts, clipboard text and CSV bytes
// under a locale that writes decimals with a comma as under "C".
#include "app/RaceDay.h"
#include "import/ForecastOddsFile.h"
#include "reference/FixedRecord.h"
#include "views/CsvExport.h"
#include "views/PaintRules.h"
#include "views/RaceCardText.h"

#include "app/StoredDayBuilder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <memory>

using namespace tervan;

namespace {

// One race of four runners with forecast odds "3.55", "3.5", "12.3" and
// "3.6"; horse 2 finished first at 5.2.
std::string MakeDay(const test::TempDir& dir)
{
    const std::string base = dir.path();
    test::WriteOneRaceDay(base, 4);
    fs::RewriteFile(base + "/DATA/" + SJ("2006年05月28日.yoz"),
                    test::ForecastLine("20060528", "05", 1, 'J', {"3.55", "3.5", "12.3", "3.6"}));
    return base;
}

// Everything the views make of the day's first race, as bytes.
std::string Snapshot()
{
    test::TempDir dir;
    const std::string base = MakeDay(dir);
    auto day = std::make_unique<RaceDay>();
    const DayLoadResult result = LoadRaceDay(*day, base, SJ("2006年05月28日東京"));
    EXPECT_EQ(result.status, DayLoadResult::Loaded) << Cp932ToUtf8(result.message);
    const RaceSlot& slot = day->slots[0];
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const RunnerSummary& r = slot.summary.runners[static_cast<size_t>(i)];
        text += std::to_string(r.forecastRank) + "|" + ForecastOddsCellText(r.forecastOdds) + "|";
        for (int col : {11, 12, 13})
            for (const auto& run : CardCellPaint(*day, 0, r.horseNumber, col, false).runs)
                text += run.text + "|";
        text += "\n";
    }
    const TextGrid card = DisplayedRaceCard(slot);
    text += CsvText(RaceCardHeading(slot.summary), card.Rows());
    text += RaceCardCopyText(slot);
    return text;
}

// Makes a German locale with localedef in the build tree and switches the
// process to it; false (with the reason) when the machine cannot.
bool UseCommaLocale(std::string& why)
{
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        why = "cannot find the test executable's folder";
        return false;
    }
    const std::filesystem::path folder = exe.parent_path().parent_path() / "test-locales";
    const std::filesystem::path locale = folder / "de_DE.UTF-8";
    if (!std::filesystem::exists(locale / "LC_NUMERIC")) {
        std::filesystem::create_directories(folder, ec);
        const std::string command = "localedef -i de_DE -f UTF-8 '" + locale.string() + "' >/dev/null 2>&1";
        std::system(command.c_str()); // localedef warns (status 1) yet writes the locale
        if (!std::filesystem::exists(locale / "LC_NUMERIC")) {
            why = "localedef could not make de_DE.UTF-8 (install the Debian package 'locales')";
            return false;
        }
    }
    ::setenv("LOCPATH", folder.c_str(), 1);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        why = "the process cannot switch to the de_DE.UTF-8 locale made in " + folder.string();
        return false;
    }
    if (std::string(std::localeconv()->decimal_point) != ",") {
        std::setlocale(LC_ALL, "C");
        why = "de_DE.UTF-8 does not write decimals with a comma here";
        return false;
    }
    return true;
}

} // namespace

// Under "C": "3.55" shows as the 3.6 it ranks as, ties go by horse number.
TEST(CommaLocale, OddsRankAsTheyShow)
{
    test::TempDir dir;
    const std::string base = MakeDay(dir);
    auto day = std::make_unique<RaceDay>();
    ASSERT_EQ(LoadRaceDay(*day, base, SJ("2006年05月28日東京")).status, DayLoadResult::Loaded);
    const auto& runners = day->slots[0].summary.runners;
    EXPECT_EQ(ForecastOddsCellText(runners[0].forecastOdds), "   3.6");
    EXPECT_EQ(ForecastOddsCellText(runners[2].forecastOdds), "  12.3");
    EXPECT_EQ(runners[1].forecastRank, 1); // 3.5
    EXPECT_EQ(runners[0].forecastRank, 2); // 3.55 shown as 3.6
    EXPECT_EQ(runners[3].forecastRank, 3); // 3.6
    EXPECT_EQ(runners[2].forecastRank, 4); // 12.3
    EXPECT_EQ(ResultCellText(1, 3, runners[1].winOdds), SJ(" 1着   3人     5.2"));
    EXPECT_EQ(FormatOdds(1000.5), "1000.5");
    EXPECT_EQ(FormatOdds(99999.9), "99999.9");
}

TEST(CommaLocale, SameBytesAsUnderC)
{
    std::setlocale(LC_ALL, "C");
    const std::string underC = Snapshot();
    std::string why;
    if (!UseCommaLocale(why))
        GTEST_SKIP() << why;
    double odds = 0;
    EXPECT_TRUE(ParseOddsText("  12.3", odds));
    EXPECT_EQ(odds, 12.3);
    const std::string underComma = Snapshot();
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(underComma, underC);
}
