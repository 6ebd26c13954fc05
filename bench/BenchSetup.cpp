// The setup download of years of past races (JV-Link's setup data, "RACE"
// with option 4) into the stored race data files, against the write-once
// floor of the file system, in the same run, and 格言成績 over the result.
//
// One setup feed of the most years asked for is made (race, runner and
// payout records of every race, with the vote and odds records that make
// most of the bytes of real setup data), and downloaded once into a cache
// that every base folder links to (JV-Link's own download is not ours to
// measure). Each round, for each number of years Y (the setup from 1
// January Y years back):
//
//   BM_Setup/Y/round  the setup download's read loop into an empty base
//   BM_Floor/Y/round  read the feed files of those years and write every
//                     file of the resulting base once, atomically, into an
//                     empty base
//
// then once BM_Backtest/Y: 格言成績 over every stored day of the largest
// base. Every run is a child process, so its peak memory is its own. The
// summary gives minimum and median of the rounds, each round's import over
// its floor, peak memory, the disk the stored files take per year, and a
// 40-year setup extrapolated from the minima at the two smallest year
// counts (linear in the years, never below the larger count's rate).
//
// Options before the Google Benchmark ones: --years=5,10 (default),
// --runs=N rounds (default 3), --dir=FOLDER work folder (default a new
// folder under the system's temporary folder, removed afterwards; a feed
// and download an earlier run left there are used again), --tidy (remove
// each round's folders after its floor, but the last).
#include "acquisition/JVLinkStandIn.h"
#include "acquisition/ReadLoop.h"
#include "acquisition/StoredFiles.h"
#include "app/Backtest.h"
#include "app/BaseFolder.h"
#include "platform/FileSystem.h"
#include "sample/SetupFeed.h"

#include "ImportFloor.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace tervan;
using namespace tervan::bench;

// The setup years end the day before this (the first day of a weekly sample).
constexpr int kLastYear = 2025;
const DateTime kNow {kLastYear + 1, 6, 1, 9, 0, 0};

struct Work {
    std::vector<int> years {5, 10};
    int runs = 3;
    bool tidy = false;
    sfs::path dir;
    bool removeDir = false;
    std::string feed;       // CP932
    std::string cacheBase;  // the base folder whose cache every base links to
    std::map<int, std::string> lastBase; // by years: the newest base
    std::map<int, long> races;           // by years
    std::map<int, long long> storedBytes; // by years: the stored files of a base
} g;

struct Figures {
    std::vector<double> imports, floors, ratios, peaks;
    std::vector<double> importCpu, floorCpu, cpuRatios;
};
std::map<int, Figures> g_figures;
ImportFigures g_backtest;
int g_backtestDays = 0;

DateTime SetupStart(int years)
{
    return DateTime {kLastYear - years + 1, 1, 1, 0, 0, 0};
}

std::string NewBase(int years)
{
    static int round = 0;
    const sfs::path base = g.dir / ("base" + std::to_string(years) + "-" + std::to_string(++round));
    sfs::create_directories(base);
    EnsureBaseFolders(fs::FromNative(base));
    sfs::create_directory_symlink(fs::ToNative(g.cacheBase) / JVLinkStandIn::kCacheFolderName,
                                  base / JVLinkStandIn::kCacheFolderName);
    return fs::FromNative(base);
}

ImportFigures Import(const std::string& base, int years)
{
    ::sync();
    return InChild([&] {
        return TimedDownload(base, g.feed, kNow, [years](JVDownload& download) {
            return download.StartSetup(SetupStart(years), DateTime {1990, 1, 1, 0, 0, 0});
        });
    });
}

std::vector<sfs::path> FeedFiles(int years)
{
    const std::string from = FormatCompact(SetupStart(years));
    std::vector<sfs::path> files;
    for (const auto& e : sfs::directory_iterator(fs::ToNative(g.feed))) {
        const std::string name = e.path().filename().string();
        if (e.is_regular_file() && name.size() > 18 && name.substr(4, 14) >= from)
            files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

long long TreeBytes(const std::string& base)
{
    long long bytes = 0;
    for (const auto& e : sfs::recursive_directory_iterator(fs::ToNative(base)))
        if (e.is_regular_file())
            bytes += static_cast<long long>(e.file_size());
    return bytes;
}

void BM_Setup(benchmark::State& state, int years)
{
    ImportFigures f;
    for (auto _ : state) {
        g.lastBase[years] = NewBase(years);
        f = Import(g.lastBase[years], years);
    }
    if (!f.completed)
        state.SkipWithError("the setup did not complete");
    g_figures[years].imports.push_back(f.seconds);
    g_figures[years].importCpu.push_back(f.cpu);
    g_figures[years].peaks.push_back(static_cast<double>(f.peakKb) / 1024.0);
    g.storedBytes[years] = TreeBytes(g.lastBase[years]);
    state.SetIterationTime(f.seconds);
    state.counters["records"] = static_cast<double>(f.records);
    state.counters["files_written"] = static_cast<double>(f.written);
    state.counters["records/s"] = static_cast<double>(f.records) / std::max(f.seconds, 1e-9);
    state.counters["peak_MB"] = static_cast<double>(f.peakKb) / 1024.0;
    state.counters["cpu_s"] = f.cpu;
}

void BM_Floor(benchmark::State& state, int years, bool last)
{
    ImportFigures f;
    for (auto _ : state)
        f = Floor(g.lastBase[years], FeedFiles(years), g.tidy && !last);
    if (!f.completed)
        state.SkipWithError("the floor could not write its files");
    Figures& fig = g_figures[years];
    fig.floors.push_back(f.seconds);
    fig.ratios.push_back(fig.imports.back() / std::max(f.seconds, 1e-9));
    fig.floorCpu.push_back(f.cpu);
    fig.cpuRatios.push_back(fig.importCpu.back() / std::max(f.cpu, 1e-9));
    state.SetIterationTime(f.seconds);
    state.counters["files"] = static_cast<double>(f.written);
    state.counters["cpu_s"] = f.cpu;
}

void BM_Backtest(benchmark::State& state, int years)
{
    ImportFigures f;
    for (auto _ : state) {
        f = InChild([years] {
            ImportFigures r;
            const Clock::time_point start = Clock::now();
            const double cpu = CpuSeconds();
            const BacktestResult result = RunBacktest(g.lastBase[years], BacktestRange {});
            r.seconds = Seconds(start);
            r.cpu = CpuSeconds() - cpu;
            r.records = result.days;
            r.stored = result.races;
            r.completed = result.problems.empty() && !result.cancelled;
            return r;
        });
    }
    if (!f.completed)
        state.SkipWithError("格言成績 met days it could not read");
    g_backtest = f;
    g_backtestDays = years;
    state.SetIterationTime(f.seconds);
    state.counters["days"] = static_cast<double>(f.records);
    state.counters["races"] = static_cast<double>(f.stored);
    state.counters["peak_MB"] = static_cast<double>(f.peakKb) / 1024.0;
}

void Summary()
{
    std::printf("\nsummary: setup feeds of %zu sizes, %d rounds\n", g.years.size(), g.runs);
    for (const int years : g.years) {
        const Figures& f = g_figures[years];
        std::printf("  %2d years (%ld races)\n", years, g.races[years]);
        std::printf("    setup           min %8.2f s  median %8.2f s\n", Min(f.imports), Median(f.imports));
        std::printf("    floor           min %8.2f s  median %8.2f s\n", Min(f.floors), Median(f.floors));
        std::printf("    setup / floor   min %8.2f    median %8.2f  (each round's setup over its floor)\n", Min(f.ratios),
                    Median(f.ratios));
        std::printf("    processor time  setup median %.2f s, floor median %.2f s, setup / floor median %.2f\n",
                    Median(f.importCpu), Median(f.floorCpu), Median(f.cpuRatios));
        std::printf("    peak memory     min %8.1f MB median %8.1f MB\n", Min(f.peaks), Median(f.peaks));
        std::printf("    stored files    %.1f MB, %.1f MB a year\n", static_cast<double>(g.storedBytes[years]) / 1e6,
                    static_cast<double>(g.storedBytes[years]) / 1e6 / years);
    }
    if (g.years.size() >= 2) {
        const int a = g.years[0], b = g.years[1];
        // From the minima (the disk makes medians swing between rounds), and
        // never below the larger count's time per year.
        auto extrapolate = [&](const std::vector<double>& at_a, const std::vector<double>& at_b) {
            const double ta = Min(at_a), tb = Min(at_b);
            return std::max(tb + (tb - ta) / (b - a) * (40 - b), tb / b * 40);
        };
        std::printf("  40 years         %8.1f s extrapolated from the minima at %d and %d years\n",
                    extrapolate(g_figures[a].imports, g_figures[b].imports), a, b);
        std::printf("                   %8.1f s of processor time, the same way\n",
                    extrapolate(g_figures[a].importCpu, g_figures[b].importCpu));
    }
    if (g_backtestDays > 0)
        std::printf("  格言成績 %d years: %.2f s (%.2f s of processor time), %ld days, %ld races, peak %.1f MB\n",
                    g_backtestDays, g_backtest.seconds, g_backtest.cpu, g_backtest.records, g_backtest.stored,
                    static_cast<double>(g_backtest.peakKb) / 1024.0);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--years=", 8) == 0) {
            g.years.clear();
            for (const char* p = argv[i] + 8; *p != '\0';) {
                char* end = nullptr;
                const long y = std::strtol(p, &end, 10);
                if (end == p)
                    break;
                g.years.push_back(static_cast<int>(std::clamp(y, 1L, 60L)));
                p = *end == ',' ? end + 1 : end;
            }
            std::sort(g.years.begin(), g.years.end());
        } else if (std::strncmp(argv[i], "--runs=", 7) == 0) {
            g.runs = std::max(1, std::atoi(argv[i] + 7));
        } else if (std::strcmp(argv[i], "--tidy") == 0) {
            g.tidy = true;
        } else if (std::strncmp(argv[i], "--dir=", 6) == 0) {
            g.dir = argv[i] + 6;
        } else {
            rest.push_back(argv[i]);
        }
    }
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    if (g.years.empty())
        return 2;

    if (g.dir.empty()) {
        g.dir = sfs::temp_directory_path() / ("tervan-bench-setup-" + std::to_string(::getpid()));
        g.removeDir = true;
    }
    sfs::create_directories(g.dir);
    g.feed = fs::FromNative(g.dir / "feed");
    sample::SampleOptions weekly;
    weekly.today = DateTime {kNow.year, kNow.month, kNow.day};
    sample::SetupOptions setup;
    setup.years = g.years.back();
    // A feed left in --dir by an earlier run of as many years is used again.
    const std::string firstYearFiles = "RACE" + std::to_string(kLastYear - setup.years + 1);
    bool made = false;
    if (sfs::exists(g.dir / "feed"))
        for (const auto& e : sfs::directory_iterator(g.dir / "feed"))
            made = made || e.path().filename().string().rfind(firstYearFiles, 0) == 0;
    if (!made) {
        const Clock::time_point start = Clock::now();
        const sample::SetupFeedSummary s = sample::WriteSetupFeed(g.feed, weekly, DaysFromCivil(kLastYear + 1, 1, 1), setup);
        std::fprintf(stderr, "setup feed %ld-%ld: %d race days, %d races, %d files, %ld stored-kind records, %.0f MB in %.0f s\n",
                     s.firstDate, s.lastDate, s.raceDays, s.races, s.files, s.Records(), static_cast<double>(s.bytes) / 1e6,
                     Seconds(start));
    }

    // JV-Link's download: once, into the cache every base links to.
    g.cacheBase = fs::FromNative(g.dir / "download");
    sfs::create_directories(g.dir / "download");
    {
        JVLinkStandIn jv(g.cacheBase, g.feed);
        jv.JVInit(JVSoftwareId());
        std::int32_t r = 0, d = 0;
        std::string last;
        if (jv.JVOpen("RACE", FormatCompact(SetupStart(g.years.back())), kJVOptionSetupQuiet, r, d, last) == 0)
            for (std::int32_t st = 0; st >= 0 && st < d;)
                st = jv.JVStatus();
        jv.JVClose();
    }
    // One file per race day and course, of twelve races.
    for (const int years : g.years)
        g.races[years] = 12 * static_cast<long>(FeedFiles(years).size());

    for (int round = 1; round <= g.runs; ++round)
        for (const int years : g.years) {
            const std::string n = "/" + std::to_string(years) + "/" + std::to_string(round);
            benchmark::RegisterBenchmark(("BM_Setup" + n).c_str(), BM_Setup, years)
                ->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
            benchmark::RegisterBenchmark(("BM_Floor" + n).c_str(), BM_Floor, years, round == g.runs)
                ->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
        }
    benchmark::RegisterBenchmark(("BM_Backtest/" + std::to_string(g.years.back())).c_str(), BM_Backtest, g.years.back())
        ->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ::sync();
    Summary();
    if (g.removeDir) {
        std::error_code ec;
        sfs::remove_all(g.dir, ec);
    }
    return 0;
}
