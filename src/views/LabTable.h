// The 格言ラボ tables as cell texts, read alike by the page's grid, its
// clipboard and CSV buttons and tervan-tool lab, and the sweep's chart.
// They are 格言成績 tables (TallyGrid): the same columns, rates and
// 複勝頭数 column. Every text is CP932.
#pragma once

#include "app/MaximLab.h"
#include "views/BacktestTable.h"
#include "views/ChartData.h"
#include "views/GridText.h"

#include <string>

namespace tervan {

// The rules' table: "規則" and the figures, a line per rule (its title),
// then "全体".
TextGrid LabGrid(const LabResult& result);

// "格言ラボ yyyymmdd-yyyymmdd", with " 中止" and " n日分を除く" as 格言成績's.
std::string LabHeading(const LabResult& result);

// The title of a sweep's first column: "最短休養" or "戦目".
std::string LabSweepTitle(LabSweepKind kind);
// The text of a sweep step: "28日" or "1戦目".
std::string LabSweepValueText(LabSweepKind kind, int value);

// The sweep's table: a line per step, titled by its value.
TextGrid LabSweepGrid(const LabSweepResult& result);

// "格言ラボ <rule title> yyyymmdd-yyyymmdd 最短休養別" (戦目別 for a start
// sweep), with " 中止" and " n日分を除く" as above.
std::string LabSweepHeading(const LabSweepResult& result);

// The sweep's chart: 頭数 as bars against a second axis on the right
// (titled "頭数"), and 単回値 and 複回値 as lines against the axis on the
// left, with a line at 100 (the stake back); the steps along the bottom. A
// step without runners has no value (NaN): its line breaks there. Value
// texts stand at the points of a start sweep, not at the 49 of a rest sweep.
ChartData LabSweepChart(const LabSweepResult& result);

} // namespace tervan
