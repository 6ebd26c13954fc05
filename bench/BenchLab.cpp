// 格言ラボ over ten years of stored days, against its floor in the same run:
// 格言成績 over the same days (the scan that loads every day, which the lab
// cannot do without).
//
//   BM_Backtest        RunBacktest over every stored day (the floor)
//   BM_SweepRest       one rule, the shortest rest 28-364 days in steps of 7
//   BM_SweepRestLast   the same with a change of distance against the last
//                      run, which reads the race files of past runs
//   BM_SweepStart      one rule, starts 1-5
//   BM_FiveRules       the three maxims as rules and two with conditions
//
// Each runs three times (min and median printed, and each over the floor's
// at the end). The base folder is made as a user would: tervan-tool
// make-sample-feed --setup-years, then import-jv --setup from its first
// year; one pass over every day warms the file cache before the runs.
//
// Options before the Google Benchmark ones: --years=N (default 10);
// --dir=FOLDER work folder (default a new folder under /tmp, removed
// afterwards; a base an earlier run left there is used again);
// --base=FOLDER scans an existing base folder instead (nothing is written).
#include "app/Backtest.h"
#include "app/MaximLab.h"
#include "reference/ShiftJis.h"

#include "ImportFloor.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace tervan;
using namespace tervan::bench;

// The setup years end with the sample days of December of this year.
constexpr int kLastYear = 2026;

struct Work {
    int years = 10;
    sfs::path dir;
    bool removeDir = false;
    std::string base; // CP932
    std::map<std::string, std::vector<double>> seconds; // benchmark name -> each run
    DayScanInfo scan;
} g;

MaximRule Rule(const char* utf8)
{
    MaximRule rule;
    std::string error;
    if (!ParseMaximRule(Utf8ToCp932(utf8), rule, error)) {
        std::fprintf(stderr, "bad rule %s: %s\n", utf8, Cp932ToUtf8(error).c_str());
        std::exit(2);
    }
    return rule;
}

template <class Scan>
void Timed(benchmark::State& state, const char* name, Scan scan)
{
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        DayScanInfo info = scan();
        const double s = Seconds(start);
        g.seconds[name].push_back(s);
        state.SetIterationTime(s);
        if (!info.problems.empty() || info.days == 0)
            state.SkipWithError("days could not be read");
        state.counters["days"] = info.days;
        state.counters["races"] = info.races;
    }
}

void BM_Backtest(benchmark::State& state)
{
    Timed(state, "BM_Backtest", [] { return DayScanInfo(RunBacktest(g.base, {})); });
}

void BM_SweepRest(benchmark::State& state)
{
    static const MaximRule rule = Rule("牡,1,56-");
    Timed(state, "BM_SweepRest", [] { return DayScanInfo(RunLabSweep(g.base, rule, LabSweepKind::Rest, {})); });
}

void BM_SweepRestLast(benchmark::State& state)
{
    static const MaximRule rule = Rule("牡牝,1,28-,芝,距離延長");
    Timed(state, "BM_SweepRestLast", [] { return DayScanInfo(RunLabSweep(g.base, rule, LabSweepKind::Rest, {})); });
}

void BM_SweepStart(benchmark::State& state)
{
    static const MaximRule rule = Rule("牡牝セ,1,56-");
    Timed(state, "BM_SweepStart", [] { return DayScanInfo(RunLabSweep(g.base, rule, LabSweepKind::Start, {})); });
}

void BM_FiveRules(benchmark::State& state)
{
    static const std::vector<MaximRule> rules = [] {
        std::vector<MaximRule> r(BuiltInMaximRules().begin(), BuiltInMaximRules().end());
        r.push_back(Rule("牡牝,2,56-180,芝,1600-2000m,未勝利・1勝,東京・中山"));
        r.push_back(Rule("牡牝セ,1,28-,ダ,距離短縮"));
        return r;
    }();
    Timed(state, "BM_FiveRules", [] { return DayScanInfo(RunLab(g.base, rules, {})); });
}

int RunTool(const std::string& args)
{
    // What the tool says goes to a log beside the base.
    const std::string command =
        std::string("\"") + TERVAN_TOOL_PATH + "\" " + args + " >> \"" + (g.dir / "tool.log").string() + "\" 2>&1";
    return std::system(command.c_str());
}

// The base of the work folder, made unless an earlier run left it there.
bool MakeBase()
{
    const sfs::path base = g.dir / "base", feed = g.dir / "feed";
    g.base = fs::FromNative(base);
    if (sfs::exists(g.dir / "base.done"))
        return true;
    const std::string today = std::to_string(kLastYear) + "1227";
    const std::string from = std::to_string(kLastYear - g.years + 1) + "0101";
    std::printf("making %d years of stored days in %s ...\n", g.years, base.string().c_str());
    std::fflush(stdout);
    if (RunTool("make-sample-feed \"" + feed.string() + "\" --today " + today + " --days 2 --setup-years "
                + std::to_string(g.years))
            != 0
        || RunTool("import-jv \"" + base.string() + "\" \"" + feed.string() + "\" --setup --from " + from + " --now " + today
                   + "090000")
            != 0)
        return false;
    // The feed and the stand-in's copy of it are not read again.
    sfs::remove_all(feed);
    sfs::remove_all(base / JVLinkStandIn::kCacheFolderName);
    std::FILE* done = std::fopen((g.dir / "base.done").string().c_str(), "w");
    if (done != nullptr)
        std::fclose(done);
    return true;
}

} // namespace

BENCHMARK(BM_Backtest)->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true);
BENCHMARK(BM_SweepRest)->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true);
BENCHMARK(BM_SweepRestLast)->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true);
BENCHMARK(BM_SweepStart)->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true);
BENCHMARK(BM_FiveRules)->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    std::string base;
    if (!InitializeWithOptions(argc, argv,
                               {{"--years", [](const char* v) { g.years = std::atoi(v); }},
                                {"--dir", [](const char* v) { g.dir = v; }},
                                {"--base", [&base](const char* v) { base = v; }}}))
        return 1;
    if (!base.empty()) {
        g.base = base;
    } else {
        if (g.dir.empty()) {
            char tmpl[] = "/tmp/tervan-bench-lab-XXXXXX";
            g.dir = ::mkdtemp(tmpl);
            g.removeDir = !std::getenv("TERVAN_BENCH_KEEP");
        }
        sfs::create_directories(g.dir);
        if (!MakeBase()) {
            std::fprintf(stderr, "the base folder could not be made\n");
            return 1;
        }
    }
    // One pass to bring the stored files into the file cache.
    g.scan = RunBacktest(g.base, {});
    std::printf("base %s: %d days, %d day-courses, %d races, %zu left out\n", g.base.c_str(), g.scan.days, g.scan.meetings,
                g.scan.races, g.scan.problems.size());
    std::fflush(stdout);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const std::vector<double>& floor = g.seconds["BM_Backtest"];
    std::printf("\nsummary over %d days (%d races), %zu runs each:\n", g.scan.days, g.scan.races, floor.size());
    for (const char* name : {"BM_Backtest", "BM_SweepRest", "BM_SweepRestLast", "BM_SweepStart", "BM_FiveRules"}) {
        const std::vector<double>& s = g.seconds[name];
        if (s.empty())
            continue;
        std::printf("  %-17s min %7.3f s  median %7.3f s", name, Min(s), Median(s));
        if (!floor.empty() && std::strcmp(name, "BM_Backtest") != 0)
            std::printf("   over the floor: min %.2f, median %.2f", Min(s) / Min(floor), Median(s) / Median(floor));
        std::printf("\n");
    }
    if (g.removeDir)
        sfs::remove_all(g.dir);
    return 0;
}
