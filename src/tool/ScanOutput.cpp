#include "tool/ScanOutput.h"

#include "reference/ShiftJis.h"
#include "tool/ToolCommand.h"
#include "views/BacktestTable.h"

#include <ostream>

namespace tervan::tool {

bool TakeScanRange(const char* command, std::vector<std::string>& args, BacktestRange& range, std::ostream& err)
{
    std::string text;
    for (auto [option, date] : {std::pair {"--from", &range.from}, std::pair {"--to", &range.to}}) {
        if (TakeOption(args, option, text) && !ParseDateOption(text, *date)) {
            err << command << ": " << option << " needs a date yyyymmdd, not '" << text << "'\n";
            return false;
        }
    }
    if (range.from > 0 && range.to > 0 && range.from > range.to) {
        err << command << ": --from " << range.from << " is after --to " << range.to << "\n";
        return false;
    }
    return true;
}

void PrintTabbed(const TextGrid& grid, std::ostream& out)
{
    for (const auto& row : grid.Rows()) {
        for (std::size_t c = 0; c < row.size(); ++c)
            out << (c > 0 ? "\t" : "") << Cp932ToUtf8(row[c]);
        out << "\n";
    }
}

int ReportScan(const char* command, const DayScanInfo& scan, std::ostream& err)
{
    err << command << ": " << Cp932ToUtf8(BacktestCountsText(scan)) << "\n";
    // Days left out make the figures short: say which, and fail.
    for (const BacktestProblem& problem : scan.problems)
        for (const std::string& reason : problem.reasons)
            err << command << ": left out " << (problem.entry.empty() ? "" : Cp932ToUtf8(problem.entry) + ": ")
                << Cp932ToUtf8(reason) << "\n";
    return scan.problems.empty() ? 0 : 1;
}

} // namespace tervan::tool
