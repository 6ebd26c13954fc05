// Forecast odds file: names, line keys and the matching of lines to races.
#include "import/ForecastOddsFile.h"

#include "app/StoredDayBuilder.h"

#include <gtest/gtest.h>

#include <memory>

namespace tervan {
namespace {

using test::KeyOn;

TEST(ForecastOddsFile, NamesAndKeys)
{
    EXPECT_EQ(ForecastOddsFileName(2005, 1, 5), SJ("2005年01月05日.yoz"));
    EXPECT_EQ(ForecastOddsFilePath("/b", SJ("2006年05月28日東京")), "/b/DATA/" + SJ("2006年05月28日.yoz"));
    const std::string ra = test::RaLine(KeyOn("20060528", 11, "05"), 16).Text();
    EXPECT_EQ(RaceLineForecastKey(ra), "20060528" + SJ("東京") + "11");
    EXPECT_EQ(ForecastLineKey(test::ForecastLine("20060528", "05", 11, 'J', {})), RaceLineForecastKey(ra));
    EXPECT_EQ(ForecastLineKey(test::ForecastLine("20060528", " 4", 11, 'K', {})), RaceLineForecastKey(ra));
    EXPECT_EQ(ForecastLineKey(test::ForecastLine("20060528", "4 ", 11, 'K', {})), RaceLineForecastKey(ra));
    // K course 8 is 札幌 (racecourse 01); 12 is "ｿﾉ他" and matches nothing.
    EXPECT_EQ(ForecastLineKey(test::ForecastLine("20060528", "8", 1, 'K', {})),
              RaceLineForecastKey(test::RaLine(KeyOn("20060528", 1, "01"), 1).Text()));
    EXPECT_EQ(ForecastLineKey(test::ForecastLine("20060528", "12", 1, 'K', {})).substr(8, 4), SJ("ｿﾉ他"));
    EXPECT_EQ(test::ForecastLine("20060528", "05", 11, 'J', {}).size(), kForecastLineLength + 2);

    double odds = 0;
    EXPECT_TRUE(ParseOddsText("  12.3", odds));
    EXPECT_DOUBLE_EQ(odds, 12.3);
    EXPECT_TRUE(ParseOddsText("7", odds));
    EXPECT_FALSE(ParseOddsText("      ", odds));
    EXPECT_FALSE(ParseOddsText(" 1.2.3", odds));
    EXPECT_FALSE(ParseOddsText("  -1.0", odds));
    EXPECT_FALSE(ParseOddsText("   .  ", odds));
}

TEST(ForecastOddsFile, AttachesLinesToRaces)
{
    auto day = std::make_unique<RaceDay>();
    day->slots[0].raceLine = test::RaLine(KeyOn("20060528", 1), 16).Text();
    day->slots[1].raceLine = test::RaLine(KeyOn("20060528", 11), 16).Text();
    std::string file = test::ForecastLine("20060528", "4", 11, 'K', {"2.5"})  // race 11 by K
        + test::ForecastLine("20060527", "05", 1, 'J', {"9.9"})                // another day
        + test::ForecastLine("20060528", "06", 1, 'J', {"9.9"})                // another course
        + test::ForecastLine("20060528", "05", 1, 'J', {"3.1"});               // race 1 by J
    bool damaged = true;
    EXPECT_EQ(AttachForecastLines(*day, file, damaged), 2);
    EXPECT_FALSE(damaged);
    EXPECT_TRUE(day->slots[0].summary.forecastPresent);
    EXPECT_TRUE(day->slots[1].summary.forecastPresent);
    EXPECT_FALSE(day->slots[2].summary.forecastPresent);
    double odds = 0;
    ASSERT_TRUE(ReadForecastWinOdds(day->slots[1].forecastLine, 0, odds));
    EXPECT_DOUBLE_EQ(odds, 2.5);
    ASSERT_TRUE(ReadForecastWinOdds(day->slots[0].forecastLine, 0, odds));
    EXPECT_DOUBLE_EQ(odds, 3.1);
    EXPECT_FALSE(ReadForecastWinOdds(day->slots[0].forecastLine, 18, odds));
}

TEST(ForecastOddsFile, ReadsAtMost36LinesAndSurvivesShortLines)
{
    auto day = std::make_unique<RaceDay>();
    day->slots[0].raceLine = test::RaLine(KeyOn("20060528", 1), 16).Text();
    std::string file;
    for (int i = 0; i < 36; ++i)
        file += test::ForecastLine("20060101", "05", 1, 'J', {});
    file += test::ForecastLine("20060528", "05", 1, 'J', {"4.0"}); // line 37
    bool damaged = false;
    EXPECT_EQ(AttachForecastLines(*day, file, damaged), 0);

    // A line written short: the rest are taken line by line.
    std::string shortLine = test::ForecastLine("20060528", "05", 3, 'J', {"1.5"});
    shortLine = shortLine.substr(0, 100) + "\r\n";
    file = shortLine + test::ForecastLine("20060528", "05", 1, 'J', {"4.0"});
    EXPECT_EQ(AttachForecastLines(*day, file, damaged), 1);
    EXPECT_TRUE(damaged);
    EXPECT_EQ(day->slots[0].forecastLine.size(), kForecastRecordSize);
    double odds = 0;
    ASSERT_TRUE(ReadForecastWinOdds(day->slots[0].forecastLine, 0, odds));
    EXPECT_DOUBLE_EQ(odds, 4.0);
}

} // namespace
} // namespace tervan
