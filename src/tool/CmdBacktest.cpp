// tervan-tool backtest: the 格言成績 table over the stored days.
#include "tool/ToolCommand.h"
#include "tool/ScanOutput.h"

#include "app/Backtest.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"
#include "views/BacktestTable.h"
#include "views/CsvExport.h"

#include <ostream>

namespace tervan::tool {
namespace {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

const ToolCommand kCommand {
    "backtest",
    "backtest BASE [--from yyyymmdd] [--to yyyymmdd] [--by year|course|track|distance|rank] [--csv FILE]",
    "prints how the runners of each maxim did over the stored days in the range (all by default), TAB-separated: "
    "頭数, 1着-3着, 着外, 単勝/複勝払戻, 勝率, 連対率, 複勝率, 単回値, 複回値 per group; --by breaks it down, "
    "--csv also writes it as a CSV file; days that cannot be read whole are left out, named on standard error, "
    "and make the status 1",
    Run,
};
const ToolCommandRegistration kRegistration(kCommand);

bool ParseBreakdown(const std::string& text, BacktestBreakdown& by)
{
    static const std::pair<const char*, BacktestBreakdown> names[] = {
        {"year", BacktestBreakdown::Year},         {"course", BacktestBreakdown::Course},
        {"track", BacktestBreakdown::Track},       {"distance", BacktestBreakdown::Distance},
        {"rank", BacktestBreakdown::Rank},
    };
    for (const auto& [name, value] : names) {
        if (text == name) {
            by = value;
            return true;
        }
    }
    return false;
}

int Run(const std::vector<std::string>& argsIn, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> args = argsIn;
    BacktestRange range;
    BacktestBreakdown by = BacktestBreakdown::None;
    std::string text, csv;
    if (!TakeScanRange("backtest", args, range, err))
        return 2;
    if (TakeOption(args, "--by", text) && !ParseBreakdown(text, by)) {
        err << "backtest: --by needs year, course, track, distance or rank, not '" << text << "'\n";
        return 2;
    }
    const bool writeCsv = TakeOption(args, "--csv", csv);
    if (args.size() != 1 || args[0].rfind("--", 0) == 0 || (writeCsv && csv.empty()))
        return UsageError(kCommand, err);
    const std::string base = Utf8ToCp932(args[0]);
    if (!fs::DirExists(base)) {
        err << "backtest: no base folder '" << args[0] << "'\n";
        return 1;
    }

    const BacktestResult result = RunBacktest(base, range);
    const TextGrid grid = BacktestGrid(result, by);
    PrintTabbed(grid, out);
    if (writeCsv)
        WriteCsvText(Utf8ToCp932(csv), BacktestHeading(result, by), grid.Rows());
    return ReportScan("backtest", result, err);
}

} // namespace
} // namespace tervan::tool
