// The 格言成績 table as cell texts, read alike by the tab's grid, its
// clipboard and CSV buttons and tervan-tool backtest, and the texts and the
// chart around it.
//
// Row 0 holds the column titles; then, for each value of the breakdown in
// ascending order (or once without one), a line per group: "牡1戦目",
// "牡3戦目", "牝2戦目", "該当なし", "全体". Rates are percentages with one
// decimal, rounded half up in whole numbers; a group without runners shows
// them blank. 複勝率 and 複回値 are taken over the runners of races where
// 複勝 was sold; where that count differs from 頭数 anywhere in the table, a
// column "複勝頭数" after "頭数" shows it. Every text is CP932.
#pragma once

#include "app/Backtest.h"
#include "views/ChartData.h"
#include "views/GridText.h"

#include <array>
#include <vector>
#include <string>
#include <string_view>

namespace tervan {

inline constexpr int kBacktestColumnCount = 13;

// "格言", "頭数", "1着", "2着", "3着", "着外", "単勝払戻", "複勝払戻",
// "勝率", "連対率", "複勝率", "単回値", "複回値".
const std::array<std::string, kBacktestColumnCount>& BacktestColumnTitles();

// "複勝頭数", the column after "頭数" when the table has it.
const std::string& BacktestPlaceRunnersTitle();

// "牡1戦目", "牡3戦目", "牝2戦目", "該当なし", "全体".
const std::string& MaximGroupName(MaximGroup group);

// Title of a breakdown's column: "年", "競馬場", "トラック", "距離",
// "予配順位"; empty for None.
const std::string& BacktestBreakdownTitle(BacktestBreakdown by);

// The text of a breakdown value: the year ("2026"), the racecourse name
// ("東京"), "芝", "ダ", "障", "他", "1400m以下", "1401-1800m", "1801-2200m",
// "2201m以上", "不明", "1-3位", "4-6位", "7位以下", "なし".
std::string BacktestSectionName(BacktestBreakdown by, int key);

// value / runners times `scale`, in tenths rounded half up (runners > 0).
long long BacktestTenths(long long value, long long runners, long long scale);

// value / runners with one decimal, times `scale` (100 for a rate in percent,
// 1 for a payout per 100 yen): "33.3", "100.0"; empty when runners is 0.
std::string BacktestRateText(long long value, long long runners, long long scale);

// The texts of one line: its title and the 12 figures, with 複勝頭数 after
// 頭数 when placeRunners is set.
std::vector<std::string> BacktestRowTexts(std::string_view title, const BacktestTally& tally, bool placeRunners = false);

// One line of a table of tallies: an optional leading text, its title and
// its figures.
struct TallyLine {
    std::string lead;
    std::string title;
    BacktestTally tally;
};

// A table of tally lines: the column titles with `titleColumn` in place of
// "格言" (and `leadColumn` before it when not empty), then a line per tally,
// with the column 複勝頭数 when some line counts other runners for 複勝.
TextGrid TallyGrid(const std::vector<TallyLine>& lines, std::string_view titleColumn, std::string_view leadColumn = {});

// The whole table; with a breakdown every row starts with its value's text
// under the breakdown's title.
TextGrid BacktestGrid(const BacktestResult& result, BacktestBreakdown by);

// What the figures count: "104日（311開催）3,732レース", then, when days were
// left out, "（2日分を除く）", or "（2日（3開催）分を除く）" when those days
// had more racecourses than one left out.
std::string BacktestCountsText(const DayScanInfo& scan);

// The days left out for the page: "読めなかった開催 3件（集計から除外）: "
// and the first `shown` entries joined by "、", then "ほか n件" for the rest;
// empty when there were none.
std::string BacktestProblemsText(const DayScanInfo& scan, int shown = 3);

// What the chart shows of 単回値 and 複回値.
enum class BacktestMeasure { Win, Place };

// "単回値" or "複回値".
const std::string& BacktestMeasureName(BacktestMeasure measure);
// The measure of a tally in tenths (0 without runners) and as the table
// shows it ("" without runners).
long long BacktestReturnTenths(const BacktestTally& tally, BacktestMeasure measure);
std::string BacktestReturnText(const BacktestTally& tally, BacktestMeasure measure);
// The colours of the two measures wherever they are charted.
ChartColor BacktestMeasureColor(BacktestMeasure measure);

// The chart under the table. Without a breakdown: 単回値 and 複回値 of
// 牡1戦目, 牡3戦目, 牝2戦目 and 全体 side by side. With one: for each value of
// the breakdown, the measure's bars of those four groups. Every bar is
// labelled with the table's text and stands against a line at 100 (the stake
// back).
ChartData BacktestChart(const BacktestResult& result, BacktestBreakdown by = BacktestBreakdown::None,
                        BacktestMeasure measure = BacktestMeasure::Win);

// The heading of the exports and of the page: "格言成績 yyyymmdd-yyyymmdd"
// over the dates the figures cover (an open end blank; no dates after a
// cancel before any date was done), then " " and the breakdown's title and
// "別" when there is one, " 中止" after a cancel and " n日分を除く" when days
// were left out.
std::string BacktestHeading(const BacktestResult& result, BacktestBreakdown by);

// The same heading for any scan: `title`, the dates, " " and `what` when not
// empty, " 中止" and " n日分を除く" as above.
std::string ScanHeading(std::string_view title, const DayScanInfo& scan, std::string_view what);

} // namespace tervan
