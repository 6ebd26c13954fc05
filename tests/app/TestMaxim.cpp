// Rest days, past-run gaps, the three maxims and the forecast ranks.
#include "app/Maxim.h"

#include "app/StoredDayBuilder.h"
#include "import/ForecastOddsFile.h"

#include <gtest/gtest.h>

#include <memory>

namespace tervan {
namespace {

using test::KeyOn;

class MaximTest : public ::testing::Test {
protected:
    std::unique_ptr<RaceDay> day = std::make_unique<RaceDay>();
    RaceSlot& slot = day->slots[0];

    // Runner 0 of a race on 2006-05-28 with past runs on the given dates
    // (newest first).
    void Runner(const std::string& sex, const std::vector<std::string>& pastDates)
    {
        test::Horse h;
        h.sex = sex;
        slot.raceLine = test::RaLine(KeyOn("20060528"), 1).Text();
        slot.runnerLines[0] = test::SeLine(KeyOn("20060528"), h).Text();
        for (size_t k = 0; k < 5; ++k)
            slot.pastRunLines[0][k] = k < pastDates.size() ? test::SeLine(KeyOn(pastDates[k]), h).Text() : test::Line(555).Text();
        slot.summary.runners[0] = RunnerSummary{};
        ComputeRunGaps(slot, 0);
        EvaluateMaxim(slot, 0);
    }
    const RunnerSummary& r() const { return slot.summary.runners[0]; }
};

TEST_F(MaximTest, DayCountsAndIncompleteDates)
{
    const std::string a = test::SeLine(KeyOn("20060101"), {}).Text();
    const std::string b = test::SeLine(KeyOn("20060305"), {}).Text();
    EXPECT_EQ(DayCountText(a, b), "  63");
    EXPECT_EQ(DayCountText(a, test::SeLine(KeyOn("20341231"), {}).Text()), "1059"); // 10591 days: first 4 characters
    EXPECT_EQ(DayCountText(a, test::SeLine(KeyOn("20060005"), {}).Text()), "    ");
    EXPECT_EQ(DayCountText(a, test::SeLine(KeyOn("20061305"), {}).Text()), "    ");  // month 13
    EXPECT_EQ(DayCountText(a, test::SeLine(KeyOn("2006  05"), {}).Text()), "    ");
    EXPECT_EQ(DayCountText(test::Line(555).Text(), b), "    ");
    EXPECT_TRUE(GapHolds("  56"));
    EXPECT_FALSE(GapHolds("  55"));
    EXPECT_FALSE(GapHolds("    "));
    EXPECT_FALSE(GapHolds(""));
}

TEST_F(MaximTest, MaleMaxims)
{
    // Rested 70 days before this race, 60 days between past runs 2 and 1.
    Runner("1", {"20060319", "20060301", "20051231"});
    EXPECT_EQ(r().restDays, "  70");
    EXPECT_EQ(r().pastRunGaps[1], "  60");
    EXPECT_EQ(r().maxim, SJ("牡1戦目"));

    Runner("1", {"20060508", "20060420", "20060223"}); // rest 20, gap 1 = 56
    EXPECT_EQ(r().pastRunGaps[1], "  56");
    EXPECT_EQ(r().maxim, SJ("牡3戦目"));
    Runner("1", {"20060508", "20060420", "20060224"}); // gap 1 = 55
    EXPECT_EQ(r().maxim, "");

    Runner("1", {"20060402"}); // rest 56, only one past run
    EXPECT_EQ(r().maxim, SJ("牡1戦目"));
    Runner("1", {"20060403", "20060101"}); // rest 55; gap 1 blank with two runs
    EXPECT_EQ(r().pastRunGaps[1], "    ");
    EXPECT_EQ(r().maxim, "");
    Runner("1", {});
    EXPECT_EQ(r().restDays, "    ");
    EXPECT_EQ(r().pastRunKeys[0], std::string(16, ' '));
    EXPECT_EQ(r().maxim, "");
}

TEST_F(MaximTest, FemaleAndOtherSexes)
{
    Runner("2", {"20060508", "20060313"}); // gap 0 = 56
    EXPECT_EQ(r().maxim, SJ("牝2戦目"));
    Runner("2", {"20060508", "20060314"}); // gap 0 = 55
    EXPECT_EQ(r().maxim, "");
    Runner("2", {"20060217", "20060118"}); // rest 100, gap 0 30
    EXPECT_EQ(r().maxim, "");
    for (const char* sex : {"3", "0", " "}) {
        Runner(sex, {"20060101", "20050101", "20040101"});
        EXPECT_EQ(r().maxim, "") << sex;
    }
    // Gap 4 is always blank, whatever the history.
    Runner("1", {"20060501", "20060401", "20060301", "20060201", "20060101"});
    EXPECT_EQ(r().pastRunGaps[3], "  31");
    EXPECT_EQ(r().pastRunGaps[4], "    ");
}

TEST_F(MaximTest, ForecastRanks)
{
    std::vector<std::string> odds(18);
    odds[3] = "3.5";  // horse 4
    odds[1] = "3.5";  // horse 2
    odds[6] = "2.0";  // horse 7
    odds[9] = "999.9";
    odds[10] = "1000.5";
    odds[11] = "abc";
    odds[12] = "0.0";
    slot.forecastLine = test::ForecastLine("20060528", "05", 1, 'J', odds);
    for (auto& runner : slot.summary.runners)
        runner.forecastRank = 9;
    RankForecastOdds(slot);
    auto& rs = slot.summary.runners;
    EXPECT_EQ(rs[6].forecastRank, 1);
    EXPECT_EQ(rs[1].forecastRank, 2);
    EXPECT_EQ(rs[3].forecastRank, 3);
    EXPECT_EQ(rs[9].forecastRank, 4);
    EXPECT_EQ(rs[10].forecastRank, 5);
    EXPECT_DOUBLE_EQ(rs[10].forecastOdds, 1000.5);
    EXPECT_EQ(rs[11].forecastRank, 0);
    EXPECT_EQ(rs[11].forecastOdds, 0);
    EXPECT_EQ(rs[12].forecastRank, 0);
    EXPECT_EQ(rs[0].forecastRank, 0);
    EXPECT_EQ(rs[0].forecastOdds, 0);

    // Equal after rounding to one decimal: horse number decides.
    odds.assign(18, "");
    odds[4] = "2.04";
    odds[2] = "2.0";
    slot.forecastLine = test::ForecastLine("20060528", "05", 1, 'J', odds);
    for (auto& runner : slot.summary.runners)
        runner.forecastOdds = 0;
    RankForecastOdds(slot);
    EXPECT_EQ(rs[2].forecastRank, 1);
    EXPECT_EQ(rs[4].forecastRank, 2);

    // No forecast line: all zero.
    slot.forecastLine = test::Line(1461).Text();
    for (auto& runner : slot.summary.runners)
        runner.forecastOdds = 0;
    RankForecastOdds(slot);
    for (const auto& runner : rs)
        EXPECT_EQ(runner.forecastRank, 0);
}

} // namespace
} // namespace tervan
