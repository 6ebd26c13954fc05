// 格言成績 over hand-made stored days with known outcomes, and the table
// texts that the tool and the tab print.
#include "app/Backtest.h"

#include "app/BacktestBase.h"
#include "views/BacktestTable.h"
#include "views/CsvExport.h"

#include <gtest/gtest.h>

namespace tervan {
namespace {

BacktestTally T(long long runners, long long first, long long second, long long third, long long unplaced, long long win,
                long long place)
{
    return BacktestTally {runners, first, second, third, unplaced, win, place};
}

BacktestTally Sum(const std::vector<BacktestSection>& sections, MaximGroup g)
{
    BacktestTally s;
    for (const BacktestSection& section : sections) {
        const BacktestTally& t = section.groups[static_cast<std::size_t>(g)];
        s = T(s.runners + t.runners, s.first + t.first, s.second + t.second, s.third + t.third,
              s.unplaced + t.unplaced, s.winPayout + t.winPayout, s.placePayout + t.placePayout);
    }
    return s;
}

std::vector<std::string> Names(const BacktestResult& r, BacktestBreakdown by)
{
    std::vector<std::string> names;
    for (const BacktestSection& s : r.Sections(by))
        names.push_back(Cp932ToUtf8(BacktestSectionName(by, s.key)));
    return names;
}

class BacktestTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string base = dir.path();
    void SetUp() override { test::WriteBacktestBase(base); }
};

// Counts and payout sums per group: dead heats pay each horse its own entry,
// runners without a place and races without payouts are left out.
TEST_F(BacktestTest, GroupsCountPlacesAndPayouts)
{
    std::vector<std::pair<int, int>> progress;
    const BacktestResult r = RunBacktest(base, {}, [&](int done, int total) { progress.emplace_back(done, total); });
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>> {{1, 3}, {2, 3}, {3, 3}}));
    EXPECT_EQ(r.days, 3);
    EXPECT_EQ(r.races, 3);
    EXPECT_FALSE(r.cancelled);
    EXPECT_TRUE(r.problems.empty());
    auto at = [&](MaximGroup g) { return r.total[static_cast<std::size_t>(g)]; };
    EXPECT_EQ(at(MaximGroup::Male1), T(3, 1, 1, 1, 0, 250, 760));
    EXPECT_EQ(at(MaximGroup::Male3), T(1, 0, 0, 1, 0, 0, 300));
    EXPECT_EQ(at(MaximGroup::Female2), T(1, 1, 0, 0, 0, 250, 130));
    EXPECT_EQ(at(MaximGroup::NoMaxim), T(6, 2, 1, 1, 2, 580, 1060));
    EXPECT_EQ(at(MaximGroup::All), T(11, 4, 2, 3, 2, 1080, 2250));

    // Every breakdown splits the same runners, in ascending order of its values.
    for (BacktestBreakdown by : {BacktestBreakdown::Year, BacktestBreakdown::Course, BacktestBreakdown::Track,
                                 BacktestBreakdown::Distance, BacktestBreakdown::Rank})
        for (int g = 0; g < kMaximGroupCount; ++g)
            EXPECT_EQ(Sum(r.Sections(by), static_cast<MaximGroup>(g)), r.total[static_cast<std::size_t>(g)])
                << static_cast<int>(by) << " " << g;
    EXPECT_EQ(Names(r, BacktestBreakdown::Year), (std::vector<std::string> {"2006", "2007"}));
    EXPECT_EQ(Names(r, BacktestBreakdown::Course), (std::vector<std::string> {"東京", "中山"}));
    EXPECT_EQ(Names(r, BacktestBreakdown::Track), (std::vector<std::string> {"芝", "ダ", "障"}));
    EXPECT_EQ(Names(r, BacktestBreakdown::Distance), (std::vector<std::string> {"1400m以下", "1401-1800m", "2201m以上"}));
    EXPECT_EQ(Names(r, BacktestBreakdown::Rank), (std::vector<std::string> {"1-3位", "なし"}));
    const auto& ranks = r.Sections(BacktestBreakdown::Rank);
    EXPECT_EQ(ranks[0].groups[static_cast<std::size_t>(MaximGroup::Male1)], T(1, 0, 1, 0, 0, 0, 140));
    EXPECT_EQ(ranks[0].groups[static_cast<std::size_t>(MaximGroup::All)], T(2, 1, 1, 0, 0, 180, 250));
    const auto& tracks = r.Sections(BacktestBreakdown::Track);
    EXPECT_EQ(tracks[1].groups[static_cast<std::size_t>(MaximGroup::All)], T(4, 1, 1, 2, 0, 400, 1450));
}

TEST_F(BacktestTest, RangeCancelAndDaysThatCannotLoad)
{
    EXPECT_EQ(DayEntryDate(SJ("2006年05月28日東京")), 20060528);
    EXPECT_EQ(DayEntryDate("notes"), 0);
    BacktestResult r = RunBacktest(base, BacktestRange {20070101, 0});
    EXPECT_EQ(r.days, 2);
    EXPECT_EQ(r.total[static_cast<std::size_t>(MaximGroup::All)], T(2, 1, 1, 0, 0, 180, 250));
    r = RunBacktest(base, BacktestRange {20060528, 20060528});
    EXPECT_EQ(r.days, 1);
    EXPECT_EQ(r.total[static_cast<std::size_t>(MaximGroup::All)].runners, 9);
    r = RunBacktest(base, BacktestRange {20060529, 20070602});
    EXPECT_EQ(r.days, 0);
    EXPECT_TRUE(r.Sections(BacktestBreakdown::Year).empty());

    std::atomic<bool> cancel {false};
    r = RunBacktest(base, {}, [&](int done, int) { cancel = done == 1; }, &cancel);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.days, 1);

    // A day whose runner slot file is gone is named and left out.
    fs::DeleteFile(base + "/DATA/" + SJ("2007年06月03日中山.jvSEr"));
    r = RunBacktest(base, {});
    EXPECT_EQ(r.days, 2);
    ASSERT_EQ(r.problems.size(), 1u);
    EXPECT_EQ(r.problems[0].rfind(SJ("2007年06月03日中山: データ作成が未完了のようです。"), 0), 0u);
}

TEST(BacktestTable, RatesRoundHalfUpAndBlankWithoutRunners)
{
    EXPECT_EQ(BacktestRateText(1, 16, 100), "6.3");
    EXPECT_EQ(BacktestRateText(1, 3, 100), "33.3");
    EXPECT_EQ(BacktestRateText(2, 3, 1), "0.7");
    EXPECT_EQ(BacktestRateText(0, 7, 100), "0.0");
    EXPECT_EQ(BacktestRateText(2250, 11, 1), "204.5");
    EXPECT_EQ(BacktestRateText(5, 0, 100), "");

    BacktestResult r;
    r.total[static_cast<std::size_t>(MaximGroup::All)] = T(11, 4, 2, 3, 2, 1080, 2250);
    const TextGrid grid = BacktestGrid(r, BacktestBreakdown::None);
    ASSERT_EQ(grid.RowCount(), 6);
    ASSERT_EQ(grid.ColCount(), 13);
    EXPECT_EQ(Cp932ToUtf8(CopyWholeGridText(grid, "")),
              "\r\n格言\t頭数\t1着\t2着\t3着\t着外\t単勝払戻\t複勝払戻\t勝率\t連対率\t複勝率\t単回値\t複回値\r\n"
              "牡1戦目\t0\t0\t0\t0\t0\t0\t0\t\t\t\t\t\r\n"
              "牡3戦目\t0\t0\t0\t0\t0\t0\t0\t\t\t\t\t\r\n"
              "牝2戦目\t0\t0\t0\t0\t0\t0\t0\t\t\t\t\t\r\n"
              "該当なし\t0\t0\t0\t0\t0\t0\t0\t\t\t\t\t\r\n"
              "全体\t11\t4\t2\t3\t2\t1080\t2250\t36.4\t54.5\t81.8\t98.2\t204.5\r\n");
    EXPECT_EQ(Cp932ToUtf8(BacktestHeading({20060101, 0}, BacktestBreakdown::Track)), "格言成績 20060101- トラック別");
}

// The tool prints the table's texts and writes the same rows as CSV.
TEST_F(BacktestTest, ToolPrintsTheTableAndWritesItsCsv)
{
    const std::string csv = (dir.native() / "out.csv").string();
    std::string out, err;
    ASSERT_EQ(test::RunTool({"backtest", dir.native().string(), "--by", "course", "--from", "20060101", "--csv", csv}, out, &err), 0) << err;
    const TextGrid grid = BacktestGrid(RunBacktest(base, {20060101, 0}), BacktestBreakdown::Course);
    std::string expected;
    for (const auto& row : grid.Rows()) {
        for (std::size_t c = 0; c < row.size(); ++c)
            expected += (c ? "\t" : "") + Cp932ToUtf8(row[c]);
        expected += "\n";
    }
    EXPECT_EQ(out, expected);
    EXPECT_EQ(out.substr(0, out.find('\n')), "競馬場\t格言\t頭数\t1着\t2着\t3着\t着外\t単勝払戻\t複勝払戻\t勝率\t連対率\t複勝率\t単回値\t複回値");
    EXPECT_NE(out.find("\n東京\t全体\t9\t3\t1\t3\t2\t900\t2000\t33.3\t44.4\t77.8\t100.0\t222.2\n"), std::string::npos);
    EXPECT_EQ(test::ReadAll(csv), CsvText(BacktestHeading({20060101, 0}, BacktestBreakdown::Course), grid.Rows()));

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>> {
             {"backtest", base, "--from", "2006"}, {"backtest", base, "--to", "20060231"},
             {"backtest", base, "--by", "month"}, {"backtest", base, "--from", "20070101", "--to", "20060101"},
             {"backtest"}})
        EXPECT_EQ(test::RunTool(bad, out, &err), 2) << bad.back();
    EXPECT_EQ(test::RunTool({"backtest", base + "/missing"}, out, &err), 1);
}

} // namespace
} // namespace tervan
