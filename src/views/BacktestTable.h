// The 格言成績 table as cell texts, read alike by the tab's grid, its
// clipboard and CSV buttons and tervan-tool backtest.
//
// Row 0 holds the column titles; then, for each value of the breakdown in
// ascending order (or once without one), a line per group: "牡1戦目",
// "牡3戦目", "牝2戦目", "該当なし", "全体". Rates are percentages with one
// decimal, rounded half up in whole numbers; a group without runners shows
// them blank. Every text is CP932.
#pragma once

#include "app/Backtest.h"
#include "views/ChartData.h"
#include "views/GridText.h"

#include <array>
#include <string>
#include <string_view>

namespace tervan {

inline constexpr int kBacktestColumnCount = 13;

// "格言", "頭数", "1着", "2着", "3着", "着外", "単勝払戻", "複勝払戻",
// "勝率", "連対率", "複勝率", "単回値", "複回値".
const std::array<std::string, kBacktestColumnCount>& BacktestColumnTitles();

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

// The 13 texts of one group's line.
std::array<std::string, kBacktestColumnCount> BacktestRowTexts(MaximGroup group, const BacktestTally& tally);

// The whole table; with a breakdown every row starts with its value's text
// under the breakdown's title.
TextGrid BacktestGrid(const BacktestResult& result, BacktestBreakdown by);

// The chart under the table: 単回値 and 複回値 of 牡1戦目, 牡3戦目, 牝2戦目
// and 全体 side by side, each bar labelled with the table's text, against a
// line at 100 (the stake back).
ChartData BacktestChart(const BacktestResult& result);

// The heading of the exports: "格言成績 yyyymmdd-yyyymmdd" (an open end
// blank), then " " and the breakdown's title and "別" when there is one.
std::string BacktestHeading(const BacktestRange& range, BacktestBreakdown by);

} // namespace tervan
