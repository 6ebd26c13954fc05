// 格言成績 over hand-made stored days with known outcomes, the table texts
// that the tool and the tab print, and the tool against a count of its own
// over the sample's stored files.
#include "app/Backtest.h"

#include "app/BacktestBase.h"
#include "app/StoredCount.h"
#include "views/BacktestTable.h"
#include "views/CsvExport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <set>

namespace tervan {
namespace {

// A tally of races that all sold 複勝.
BacktestTally T(long long runners, long long first, long long second, long long third, long long unplaced, long long win,
                long long place)
{
    return BacktestTally {runners, first, second, third, unplaced, win, runners, first + second + third, place};
}

BacktestTally Sum(const std::vector<BacktestSection>& sections, MaximGroup g)
{
    BacktestTally s;
    for (const BacktestSection& section : sections) {
        const BacktestTally& t = section.groups[static_cast<std::size_t>(g)];
        s = BacktestTally {s.runners + t.runners,          s.first + t.first,         s.second + t.second,
                           s.third + t.third,              s.unplaced + t.unplaced,   s.winPayout + t.winPayout,
                           s.placeRunners + t.placeRunners, s.placeTop3 + t.placeTop3, s.placePayout + t.placePayout};
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
    EXPECT_EQ(r.meetings, 3);
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

    // A cancel is seen before a new date: the figures and the heading cover the dates done.
    std::atomic<bool> cancel {false};
    r = RunBacktest(base, {}, [&](int done, int) { cancel = done == 1; }, &cancel);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.days, 1);
    EXPECT_EQ(r.covered, (BacktestRange {0, 20060528}));
    EXPECT_EQ(Cp932ToUtf8(BacktestHeading(r, BacktestBreakdown::Year)), "格言成績 -20060528 年別 中止");
    cancel = true;
    r = RunBacktest(base, {20060101, 20081231}, {}, &cancel);
    EXPECT_EQ(r.days, 0);
    EXPECT_EQ(Cp932ToUtf8(BacktestHeading(r, BacktestBreakdown::None)), "格言成績 中止");
    r = RunBacktest(base, {20060101, 20081231});
    EXPECT_EQ(Cp932ToUtf8(BacktestHeading(r, BacktestBreakdown::None)), "格言成績 20060101-20081231");
}

// Days that cannot be read whole are left out, listed and said to be left
// out; the tool names them and fails.
TEST_F(BacktestTest, DaysNotReadWholeAreLeftOutAndNamed)
{
    // A payout file with a torn last line, a day without its runner slot file.
    const std::string payouts = base + "/DATA/" + SJ("2006年05月28日東京.jvHR");
    fs::RewriteFile(payouts, test::ReadAll(fs::ToNative(payouts).string()) + "HR7\r\n");
    fs::DeleteFile(base + "/DATA/" + SJ("2008年01月05日京都.jvSEr"));
    const BacktestResult r = RunBacktest(base, {});
    EXPECT_EQ(r.days, 1);
    EXPECT_EQ(r.meetings, 1);
    EXPECT_EQ(r.races, 1);
    EXPECT_EQ(r.total[static_cast<std::size_t>(MaximGroup::All)], T(2, 1, 1, 0, 0, 180, 250));
    ASSERT_EQ(r.problems.size(), 2u);
    EXPECT_EQ(r.problems[0].entry, SJ("2006年05月28日東京"));
    ASSERT_EQ(r.problems[0].reasons.size(), 1u);
    EXPECT_EQ(r.problems[0].reasons[0].rfind(SJ("払戻ファイルの形式が正しくありません"), 0), 0u);
    EXPECT_EQ(r.problems[1].reasons.at(0), SJ("データ作成が未完了のようです。"));
    EXPECT_EQ(Cp932ToUtf8(BacktestCountsText(r)), "1日（1開催）1レース（2日分を除く）");
    EXPECT_EQ(Cp932ToUtf8(BacktestHeading(r, BacktestBreakdown::None)), "格言成績 - 2日分を除く");
    EXPECT_EQ(Cp932ToUtf8(BacktestProblemsText(r, 1)), "読めなかった開催 2件（集計から除外）: 2006年05月28日東京 ほか1件");

    std::string out, err;
    EXPECT_EQ(test::RunTool({"backtest", dir.native().string()}, out, &err), 1);
    EXPECT_NE(err.find("2006年05月28日東京: 払戻ファイルの形式が正しくありません"), std::string::npos) << err;
    EXPECT_NE(err.find("2008年01月05日京都: データ作成が未完了のようです。"), std::string::npos) << err;
    EXPECT_NE(err.find("1日（1開催）1レース（2日分を除く）"), std::string::npos) << err;
    EXPECT_NE(out.find("\n全体\t2\t1\t1\t0\t0\t180\t250\t"), std::string::npos) << out;
}

// Which runners count, by the runner line's 異常区分コード, and 複勝 only
// where it was sold.
TEST(Backtest, ScratchesAreLeftOutAndNonFinishersLose)
{
    test::TempDir dir;
    const std::string base = dir.path();
    const test::Key r1 = test::KeyOn("20090607", 1), r2 = test::KeyOn("20090607", 2);
    test::StoredDay day(base, r1);
    day.AddRace(test::RaLine(r1, 9));
    day.AddRace(test::RaLine(r2, 4));
    // Race 1: code, place. 7 降着 to 2nd and 6 落馬再騎乗 3rd count at their
    // places; 4 競走中止 and 5 失格 count unplaced; 1-3 are left out.
    const std::pair<char, int> race1[] = {{'0', 1}, {'7', 2}, {'6', 3}, {'4', 0}, {'5', 0},
                                          {'1', 0}, {'2', 0}, {'3', 0}, {'0', 4}};
    for (int n = 1; n <= 9; ++n) {
        test::Horse h;
        h.number = n;
        h.place = race1[n - 1].second;
        test::Line se = test::SeLine(r1, h);
        se.Put(332, std::string(1, race1[n - 1].first));
        day.SetSlot(1, n, se);
    }
    // Race 2: four starters, no 複勝.
    for (int n = 1; n <= 4; ++n) {
        test::Horse h;
        h.number = n;
        h.place = n;
        day.SetSlot(2, n, test::SeLine(r2, h));
    }
    auto payout = [](const test::Key& k, const std::string& win, const std::string& place) {
        test::Line hr(719);
        test::PutKey(hr, "HR", k);
        hr.Put(103, win);
        if (!place.empty())
            hr.Put(142, place);
        return hr;
    };
    day.AddPayout(payout(r1, "0100000030001", "0100000013001" "0200000015002" "0300000020003"));
    day.AddPayout(payout(r2, "0100000022001", ""));
    day.Write();

    const BacktestResult r = RunBacktest(base, {});
    EXPECT_EQ(r.races, 2);
    const BacktestTally all {10, 2, 2, 2, 4, 520, 6, 3, 480};
    EXPECT_EQ(r.total[static_cast<std::size_t>(MaximGroup::All)], all);
    // The two runner counts differ: 複勝頭数 stands after 頭数, and 複勝率 and 複回値 are over it.
    const TextGrid grid = BacktestGrid(r, BacktestBreakdown::None);
    EXPECT_EQ(Cp932ToUtf8(grid.Cell(2, 0)), "複勝頭数");
    EXPECT_EQ(Cp932ToUtf8(CsvRow(grid.Row(5))), "全体,10,6,2,2,2,4,520,480,20.0,40.0,50.0,52.0,80.0");
    EXPECT_EQ(BacktestGrid(r, BacktestBreakdown::Year).Cell(3, 0), SJ("複勝頭数"));
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
    r.range = r.covered = {20060101, 0};
    EXPECT_EQ(Cp932ToUtf8(BacktestHeading(r, BacktestBreakdown::Track)), "格言成績 20060101- トラック別");

    // Race days, day-and-course entries and races, and the days left out.
    r.days = 104;
    r.meetings = 311;
    r.races = 3732;
    EXPECT_EQ(Cp932ToUtf8(BacktestCountsText(r)), "104日（311開催）3,732レース");
    r.problems = {{SJ("2006年05月28日東京"), {}}, {SJ("2006年05月28日京都"), {}}};
    EXPECT_EQ(Cp932ToUtf8(BacktestCountsText(r)), "104日（311開催）3,732レース（1日（2開催）分を除く）");
}

// The tool prints the table's texts and writes the same rows as CSV.
TEST_F(BacktestTest, ToolPrintsTheTableAndWritesItsCsv)
{
    const std::string csv = (dir.native() / "out.csv").string();
    std::string out, err;
    ASSERT_EQ(test::RunTool({"backtest", dir.native().string(), "--by", "course", "--from", "20060101", "--csv", csv}, out, &err), 0) << err;
    const BacktestResult r = RunBacktest(base, {20060101, 0});
    const TextGrid grid = BacktestGrid(r, BacktestBreakdown::Course);
    EXPECT_EQ(out, test::ToolText(grid));
    EXPECT_EQ(out.substr(0, out.find('\n')), "競馬場\t格言\t頭数\t1着\t2着\t3着\t着外\t単勝払戻\t複勝払戻\t勝率\t連対率\t複勝率\t単回値\t複回値");
    EXPECT_NE(out.find("\n東京\t全体\t9\t3\t1\t3\t2\t900\t2000\t33.3\t44.4\t77.8\t100.0\t222.2\n"), std::string::npos);
    EXPECT_EQ(test::ReadAll(csv), CsvText(SJ("格言成績 20060101- 競馬場別"), grid.Rows()));

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>> {
             {"backtest", base, "--from", "2006"}, {"backtest", base, "--to", "20060231"},
             {"backtest", base, "--by", "month"}, {"backtest", base, "--from", "20070101", "--to", "20060101"},
             {"backtest"}})
        EXPECT_EQ(test::RunTool(bad, out, &err), 2) << bad.back();
    EXPECT_EQ(test::RunTool({"backtest", base + "/missing"}, out, &err), 1);
}

// The tool on the sample's stored files, some of whose runners are made to
// have been scratched, to have not finished or to have been placed lower, and
// one race without 複勝: its 全体 line and its counts are those of a count of
// its own, straight from the stored lines by the rules above.
TEST(Backtest, ToolMatchesAnIndependentCountOverTheSample)
{
    test::TempDir dir;
    const std::string feed = (dir.native() / "feed").string(), base = (dir.native() / "base").string();
    std::string out, err;
    ASSERT_EQ(test::RunTool({"make-sample-feed", feed, "--today", "20261207", "--days", "4", "--courses", "2"}, out, &err), 0) << err;
    ASSERT_EQ(test::RunTool({"import-jv", base, feed, "--now", "20261207200000"}, out, &err), 0) << err;
    const std::filesystem::path data = test::ChildAnyCase(base, "DATA");
    const std::vector<std::filesystem::path> stems = test::RaceFileStems(data);
    ASSERT_GE(stems.size(), 6u);
    auto lines = test::Records;
    auto withExt = [](std::filesystem::path stem, const char* ext) { return stem += ext; };

    // The first day run: 出走取消 and 競走中止 in race 1, 降着 in race 2, no 複勝 in race 3.
    {
        std::vector<std::string> slots = lines(withExt(stems[0], ".jvSEr"), 555);
        std::vector<std::string> payouts = lines(withExt(stems[0], ".jvHR"), 719);
        ASSERT_EQ(slots.size(), 216u);
        ASSERT_GE(payouts.size(), 3u);
        test::PutAt(slots[0], 332, "1");
        test::PutAt(slots[0], 335, "00");
        test::PutAt(slots[1], 332, "4");
        test::PutAt(slots[1], 335, "00");
        test::PutAt(slots[18 + 2], 332, "7");
        for (std::string& hr : payouts)
            if (hr.substr(25, 2) == "03")
                test::PutAt(hr, 142, std::string(13 * 5, ' '));
        std::string text;
        for (const std::string& l : slots)
            text += l;
        test::WriteAll(withExt(stems[0], ".jvSEr"), text);
        text.clear();
        for (const std::string& l : payouts)
            text += l;
        test::WriteAll(withExt(stems[0], ".jvHR"), text);
    }

    // The count of its own.
    long long runners = 0, placeRunners = 0, places[4] = {}, win = 0, placePaid = 0;
    std::set<std::string> dates;
    for (const auto& stem : stems)
        dates.insert(lines(withExt(stem, ".jvRA"), 1272).at(0).substr(11, 8));
    const int races = test::ForEachStoredRunner(data, [&](const test::StoredRunner& r) {
        ++runners;
        ++places[r.place >= 1 && r.place <= 3 ? r.place - 1 : 3];
        win += r.win;
        if (r.placeSold) {
            ++placeRunners;
            placePaid += r.placePaid;
        }
    });
    ASSERT_GT(placeRunners, 0);
    ASSERT_LT(placeRunners, runners);

    ASSERT_EQ(test::RunTool({"backtest", base}, out, &err), 0) << err;
    const auto at = out.find("\n全体\t");
    ASSERT_NE(at, std::string::npos) << out;
    const std::string all = out.substr(at + 1, out.find('\n', at + 1) - at - 1);
    auto text = [](long long v) { return std::to_string(v); };
    const std::string expected = "全体\t" + text(runners) + "\t" + text(placeRunners) + "\t" + text(places[0]) + "\t"
        + text(places[1]) + "\t" + text(places[2]) + "\t" + text(places[3]) + "\t" + text(win) + "\t" + text(placePaid) + "\t";
    EXPECT_EQ(all.substr(0, expected.size()), expected);
    EXPECT_NE(out.find("格言\t頭数\t複勝頭数\t1着"), std::string::npos);
    const std::string counts = text(static_cast<long long>(dates.size())) + "日（" + text(static_cast<long long>(stems.size())) + "開催）"
        + text(races) + "レース";
    EXPECT_NE(err.find(counts), std::string::npos) << err << " / " << counts;
}

} // namespace
} // namespace tervan
