// 格言成績 over a year of stored days, against its floor: loading every one
// of those days once with the day loader, which the scan cannot do without.
//
//   BM_LoadEveryDay  LoadRaceDay of every day-list entry into one RaceDay
//   BM_Backtest      RunBacktest over the same days (loads and tallies)
//
// Each runs three times (min and median printed, and the ratio of the
// medians and of the minimums at the end). The year of stored days is written
// straight from the sample world (about 3,700 races, runner slots with their
// results, horse histories of every run), as an import of its feed would
// leave it, so the benchmark does not wait for an import.
//
// Options before the Google Benchmark ones: --days=N race days of the sample
// (default 104, the weekends of a year); --base=FOLDER scans an existing base
// folder instead (nothing is written or removed there).
#include "app/Backtest.h"
#include "acquisition/StoredFiles.h"
#include "platform/FileSystem.h"
#include "reference/FixedRecord.h"
#include "sample/SampleFeed.h"

#include "ImportFloor.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace sfs = std::filesystem;
using namespace tervan;

struct Work {
    int days = 104;
    std::string base; // CP932
    sfs::path removeAfter;
    long races = 0;
    std::map<std::string, double> seconds; // benchmark name -> min and median, filled below
} g;

std::string Stored(const std::string& record)
{
    return BlankedLine(record) + "\r\n";
}

// The stored files of the sample's days before today.
void WriteYear(const std::string& base, int days)
{
    sample::SampleOptions options;
    options.today = DateTime {2026, 12, 6, 0, 0, 0};
    options.days = days;
    const sample::SampleWorld world = sample::BuildSampleWorld(options);
    const std::string data = DataFolder(base);
    fs::CreateDirs(data);
    std::map<std::string, std::map<std::string, std::string>> histories; // pedigree -> key -> line
    for (const sample::PastRun& run : world.pastRuns) {
        const std::string record = sample::BuildPastSeRecord(world, run, 20000101);
        histories[record.substr(30, 10)][record.substr(11, 16)] = Stored(record);
    }
    const std::string emptySlot = std::string(kRunnerRecordSize - 2, ' ') + "\r\n";
    for (const sample::SampleDay& day : world.days) {
        if (day.isToday)
            continue;
        for (const sample::SampleCourseDay& cd : day.courses) {
            std::string races, payouts;
            std::vector<std::string> slots(kRaceCapacity * kRunnerCapacity, emptySlot);
            std::string stem;
            for (const sample::SampleRace& race : cd.races) {
                const std::string ra = sample::BuildRaRecord(world, race, '2', day.Yyyymmdd(), false);
                stem = DayCourseStem(ra);
                races += Stored(ra);
                payouts += Stored(sample::BuildHrRecord(world, race, '2', day.Yyyymmdd()));
                for (const sample::SampleRunner& r : race.runners) {
                    slots[static_cast<std::size_t>((race.raceNumber - 1) * kRunnerCapacity + r.horseNumber - 1)] =
                        sample::BuildSeRecord(world, race, r, '6', day.Yyyymmdd(), true);
                    const std::string final = sample::BuildSeRecord(world, race, r, '7', day.Yyyymmdd(), true);
                    histories[final.substr(30, 10)][final.substr(11, 16)] = Stored(final);
                }
                ++g.races;
            }
            std::string slotText;
            for (const std::string& s : slots)
                slotText += s;
            fs::RewriteFile(fs::Join(data, stem + kRaceFileExt), races);
            fs::RewriteFile(fs::Join(data, stem + kRunnerSlotFileExt), slotText);
            fs::RewriteFile(fs::Join(data, stem + kPayoutFileExt), payouts);
        }
    }
    for (const auto& [pedigree, lines] : histories) {
        std::string text;
        for (const auto& [key, line] : lines)
            text += line;
        const std::string folder = fs::Join(fs::Join(base, kHorseHistoryFolderName), pedigree.substr(0, 4));
        fs::CreateDirs(folder);
        fs::RewriteFile(fs::Join(folder, pedigree + kHorseHistoryFileExt), text);
    }
}

void BM_LoadEveryDay(benchmark::State& state)
{
    auto day = std::make_unique<RaceDay>();
    long runners = 0;
    for (auto _ : state) {
        runners = 0;
        for (const std::string& entry : MakeDayList(g.base)) {
            if (LoadRaceDay(*day, g.base, entry).status != DayLoadResult::Loaded) {
                state.SkipWithError("a day did not load");
                return;
            }
            for (int p = 0; p < day->raceCount; ++p)
                runners += ReadDecimal(day->slots[static_cast<std::size_t>(p)].summary.registeredCount);
        }
        benchmark::DoNotOptimize(runners);
    }
    state.counters["runners"] = static_cast<double>(runners);
}

void BM_Backtest(benchmark::State& state)
{
    BacktestResult result;
    for (auto _ : state) {
        result = RunBacktest(g.base, {});
        benchmark::DoNotOptimize(result.total);
    }
    if (!result.problems.empty())
        state.SkipWithError("a day did not load");
    state.counters["days"] = result.days;
    state.counters["races"] = result.races;
    state.counters["counted"] = static_cast<double>(result.total[static_cast<std::size_t>(MaximGroup::All)].runners);
}

// Keeps the min and median of each benchmark's runs for the closing ratio.
class Reporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate)
                g.seconds[run.run_name.function_name + "/" + run.aggregate_name] =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    }
};

} // namespace

BENCHMARK(BM_LoadEveryDay)->Iterations(1)->Repetitions(3)->UseRealTime()->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", bench::Min)->ReportAggregatesOnly(true);
BENCHMARK(BM_Backtest)->Iterations(1)->Repetitions(3)->UseRealTime()->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", bench::Min)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    if (!bench::InitializeWithOptions(argc, argv,
                                      {{"--days", [](const char* v) { g.days = std::atoi(v); }},
                                       {"--base", [](const char* v) { g.base = v; }}}))
        return 1;
    if (g.base.empty()) {
        char tmpl[] = "/tmp/tervan-bench-backtest-XXXXXX";
        g.removeAfter = ::mkdtemp(tmpl);
        g.base = g.removeAfter.string();
        WriteYear(g.base, g.days);
        std::printf("stored the race days before today: %ld races, in %s\n", g.races, g.base.c_str());
    }
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    auto& s = g.seconds;
    for (const char* stat : {"min", "median"}) {
        const std::string load = std::string("BM_LoadEveryDay/") + stat, scan = std::string("BM_Backtest/") + stat;
        if (s.count(load) && s.count(scan) && s[load] > 0)
            std::printf("%s: backtest %.3f s, loading every day %.3f s: %.2f times\n", stat, s[scan], s[load],
                        s[scan] / s[load]);
    }
    if (!g.removeAfter.empty() && !std::getenv("TERVAN_BENCH_KEEP"))
        sfs::remove_all(g.removeAfter);
    return 0;
}
