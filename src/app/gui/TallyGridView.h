// The tables of 格言成績 and 格言ラボ on screen: a TStringGrid of tally lines
// (leading texts, a title, then the figures) with the figures right-aligned
// and the "全体" lines on a grey ground, the clipboard and CSV buttons the
// other pages have, and the line of the days a scan left out.
#pragma once

#include "app/Backtest.h"
#include "views/GridText.h"

#include <functional>
#include <string>
#include <string_view>

class QLabel;
class QWidget;

namespace tervan {

class INotifier;
class TStringGrid;
class THotTrackSpeedButton;

// Paints the grid's cells as a table of tally lines; titleColumn() gives the
// column of the line titles at the time of painting.
void PaintTallyCells(TStringGrid& grid, std::function<int()> titleColumn);

// Puts a table of tally lines in the grid, its leading and title columns
// fixed. Before the first scan (computed false) only the column titles show,
// no table of zeros. titleWidth 0 makes the title column as wide as its
// widest text needs.
void ShowTallyTable(TStringGrid& grid, const TextGrid& table, int titleColumn, bool computed, int titleWidth = 0);

// A flat button of a table page ("クリップボードへコピー", "ＣＳＶファイル出力").
THotTrackSpeedButton* TableButton(QWidget* parent, const char* objectName, const char* caption);

// The whole grid on the clipboard under its heading.
void CopyTable(const TStringGrid& grid, std::string_view heading);

// Writes the grid under its heading to the CSV file `path`; false when it
// could not be written (the notifier has said why).
bool WriteTableCsv(const std::string& base, const std::string& path, const std::string& heading, const TStringGrid& grid,
                   INotifier& notifier);
// Writes the grid to the CSV file named after its heading; returns its path,
// or an empty text when it could not be written (the notifier has said why).
std::string ExportTableCsv(const std::string& base, const std::string& heading, const TStringGrid& grid,
                           INotifier& notifier);

// A red line, hidden while empty, for the days a scan left out.
QLabel* MakeProblemsLabel(QWidget* parent, const char* objectName);
// Shows the days the scan left out (the first few, and every reason in the
// tooltip), or hides the line when there were none.
void ShowScanProblems(QLabel& label, const DayScanInfo& scan);

} // namespace tervan
