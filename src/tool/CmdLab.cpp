// tervan-tool lab: 格言ラボ, the user's own rules over the stored days.
#include "tool/ToolCommand.h"
#include "tool/ScanOutput.h"

#include "app/MaximLab.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"
#include "views/CsvExport.h"
#include "views/LabTable.h"

#include <ostream>

namespace tervan::tool {
namespace {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

const ToolCommand kCommand {
    "lab",
    "lab BASE --rule RULE [--rule RULE]... [--sweep rest|start] [--from yyyymmdd] [--to yyyymmdd] [--csv FILE]",
    "prints how the runners of each rule did over the stored days in the range (all by default), TAB-separated, "
    "counted as backtest counts (a runner counts under every rule it matches; 全体 is every runner counted); "
    "--sweep takes one rule and prints a line per shortest rest from 28 to 364 days in steps of 7 (rest) or per "
    "start 1-5 (start); --csv also writes the table as a CSV file.\n"
    "      RULE is 性別,戦目,休養日数[,条件]...: 性別 one or more of 牡 牝 セ (牡牝 = either); 戦目 1-5, the start "
    "after the rest (1 = this race follows it, 2 = the rest came before the last run, ...); 休養日数 56- (56 days "
    "or more) or 56-180. Each 条件 at most once, values of one kind joined by ・ (any of them): 芝 ダ 障害; "
    "distance 1600m, 1600-2000m, 1600m-, -1400m; class 新馬 未出走 未勝利 1勝 2勝 3勝 オープン; 距離短縮 同距離 "
    "距離延長 against the last run (a runner whose last race is not in the stored race files never matches); "
    "予配順位1-3, 予配順位4-, 予配順位-3; racecourse 札幌 函館 福島 新潟 東京 中山 中京 京都 阪神 小倉. "
    "Example: --rule \"牡牝,2,56-180,芝,1600-2000m,距離延長,予配順位1-3,東京\"",
    Run,
};
const ToolCommandRegistration kRegistration(kCommand);

int Run(const std::vector<std::string>& argsIn, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> args = argsIn;
    BacktestRange range;
    std::string text, csv, sweepText;
    if (!TakeScanRange("lab", args, range, err))
        return 2;
    std::vector<MaximRule> rules;
    while (TakeOption(args, "--rule", text)) {
        MaximRule rule;
        std::string problem;
        if (!ParseMaximRule(Utf8ToCp932(text), rule, problem)) {
            err << "lab: --rule '" << text << "': " << Cp932ToUtf8(problem) << "\n";
            return 2;
        }
        rules.push_back(std::move(rule));
    }
    const bool sweep = TakeOption(args, "--sweep", sweepText);
    LabSweepKind kind = LabSweepKind::Rest;
    if (sweep) {
        if (sweepText == "start")
            kind = LabSweepKind::Start;
        else if (sweepText != "rest") {
            err << "lab: --sweep needs rest or start, not '" << sweepText << "'\n";
            return 2;
        }
        if (rules.size() != 1) {
            err << "lab: --sweep takes exactly one --rule\n";
            return 2;
        }
    }
    const bool writeCsv = TakeOption(args, "--csv", csv);
    if (args.size() != 1 || args[0].rfind("--", 0) == 0 || rules.empty() || (writeCsv && csv.empty()))
        return UsageError(kCommand, err);
    const std::string base = Utf8ToCp932(args[0]);
    if (!fs::DirExists(base)) {
        err << "lab: no base folder '" << args[0] << "'\n";
        return 1;
    }

    DayScanInfo scan;
    TextGrid grid;
    std::string heading;
    if (sweep) {
        const LabSweepResult result = RunLabSweep(base, rules.front(), kind, range);
        grid = LabSweepGrid(result);
        heading = LabSweepHeading(result);
        scan = result;
    } else {
        const LabResult result = RunLab(base, rules, range);
        grid = LabGrid(result);
        heading = LabHeading(result);
        scan = result;
    }
    PrintTabbed(grid, out);
    if (writeCsv)
        WriteCsvText(Utf8ToCp932(csv), heading, grid.Rows());
    return ReportScan("lab", scan, err);
}

} // namespace
} // namespace tervan::tool
