// Output shared by the tool commands that scan the stored days.
#pragma once

#include "app/Backtest.h"
#include "views/GridText.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace tervan::tool {

// Takes "--from yyyymmdd" and "--to yyyymmdd" out of args into range; on a
// bad date or a range that ends before it starts, says so after
// "<command>: " and returns false.
bool TakeScanRange(const char* command, std::vector<std::string>& args, BacktestRange& range, std::ostream& err);

// The grid's rows, cells TAB-separated, in UTF-8.
void PrintTabbed(const TextGrid& grid, std::ostream& out);

// "<command>: " and what the figures count, then a line per day left out and
// why; returns the exit status: 1 when days were left out, else 0.
int ReportScan(const char* command, const DayScanInfo& scan, std::ostream& err);

} // namespace tervan::tool
