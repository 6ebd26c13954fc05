// Importing JV-Data into the stored race data files, against the floor of
// the file system, in the same run. Each round, in this order:
//
//   BM_Import/N        the download's read loop over the sample feed into an
//                      empty base folder
//   BM_SecondImport/N  the same feed again into that base: the files it
//                      writes (an unchanged feed should write none)
//   BM_Floor/N         the least work the import needs: read every feed file
//                      and write every file of the resulting base once,
//                      atomically (temporary file, rename), into an empty base
//
// Every run is a child process, so that its peak memory is its own; the
// rounds interleave so that the import and its floor meet the file system in
// much the same state. At the end a summary gives the minimum and median of
// the rounds: times, the import's stored records/s, its ratio to the floor
// of the same round, the second import's files written and the import's
// peak memory.
//
// Options before the Google Benchmark ones: --days=N race days of the sample
// (default 98, about a year: 3,500 races; 980 is ten years), --dir=FOLDER work
// folder (default a new folder under the system's temporary folder, removed
// afterwards), --runs=N rounds (default 3), --tidy: remove each round's
// folders after its floor (for a memory file system such as /dev/shm; on a
// disk, see FreshBase).
#include "acquisition/JVLinkStandIn.h"
#include "acquisition/ReadLoop.h"
#include "acquisition/StoredFiles.h"
#include "app/BaseFolder.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"
#include "sample/SampleFeed.h"

#include "ImportFloor.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace tervan;
using namespace tervan::bench;

const DateTime kToday {2006, 5, 29, 20, 0, 0};

struct Work {
    int days = 98;
    int runs = 3;
    bool tidy = false;
    sfs::path dir;
    bool removeDir = false;
    std::string feed; // CP932
    std::string base; // CP932
    long races = 0;
    long feedRecords = 0;
    DateTime from = AddDays(kToday, -8); // the start point that takes every feed file
} g;

std::vector<ImportFigures> g_imports;
std::vector<ImportFigures> g_seconds;
std::vector<double> g_floor;

// The stand-in's download into its cache is not part of the import.
void Download(const std::string& base)
{
    JVLinkStandIn jv(base, g.feed);
    jv.JVInit(JVSoftwareId());
    std::int32_t r = 0, d = 0;
    std::string last;
    if (jv.JVOpen("RACERCVN", FormatCompact(g.from), 2, r, d, last) == 0)
        for (std::int32_t st = 0; st >= 0 && st < d;)
            st = jv.JVStatus();
    jv.JVClose();
}

ImportFigures Import()
{
    return InChild([] {
        return TimedDownload(g.base, g.feed, kToday, [](JVDownload& download) { return download.Start(g.from); });
    });
}

void Report(benchmark::State& state, const ImportFigures& f)
{
    if (!f.completed)
        state.SkipWithError("the import did not complete");
    state.SetIterationTime(f.seconds);
    state.counters["records"] = static_cast<double>(f.records);
    state.counters["files_written"] = static_cast<double>(f.written);
    state.counters["records/s"] = static_cast<double>(f.stored) / std::max(f.seconds, 1e-9);
    state.counters["peak_MB"] = static_cast<double>(f.peakKb) / 1024.0;
}

// A new base folder for each round. Nothing is deleted until the end: a
// file system that has just freed many inodes makes every create search
// past them for a while, which would land on whatever runs next.
void FreshBase()
{
    static int round = 0;
    g.base = fs::FromNative(g.dir / ("base" + std::to_string(++round)));
    sfs::create_directories(fs::ToNative(g.base));
    EnsureBaseFolders(g.base);
    Download(g.base);
    // The feed and the cache were just written: their write-back is not
    // the import's.
    ::sync();
}

void BM_Import(benchmark::State& state)
{
    ImportFigures f;
    for (auto _ : state) {
        FreshBase();
        f = Import();
    }
    g_imports.push_back(f);
    Report(state, f);
}

void BM_SecondImport(benchmark::State& state)
{
    ImportFigures f;
    for (auto _ : state) {
        ::sync();
        f = Import();
    }
    g_seconds.push_back(f);
    Report(state, f);
}

std::vector<sfs::path> FeedFiles()
{
    std::vector<sfs::path> files;
    for (const auto& e : sfs::directory_iterator(fs::ToNative(g.feed)))
        if (e.is_regular_file() && e.path().extension() == ".jvd")
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

ImportFigures Floor()
{
    return bench::Floor(g.base, FeedFiles(), g.tidy);
}

void BM_Floor(benchmark::State& state)
{
    ImportFigures f;
    for (auto _ : state)
        f = Floor();
    g_floor.push_back(f.seconds);
    if (!f.completed)
        state.SkipWithError("the floor could not write its files");
    state.SetIterationTime(f.seconds);
    state.counters["files"] = static_cast<double>(f.written);
}

void Summary()
{
    std::vector<double> imports, peaks, rates, seconds;
    for (const ImportFigures& f : g_imports) {
        imports.push_back(f.seconds);
        peaks.push_back(static_cast<double>(f.peakKb) / 1024.0);
        rates.push_back(static_cast<double>(f.stored) / std::max(f.seconds, 1e-9));
    }
    for (const ImportFigures& f : g_seconds)
        seconds.push_back(static_cast<double>(f.written));
    std::printf("\nsummary: %d race days, %ld races, %ld feed records, %zu runs\n", g.days, g.races, g.feedRecords,
                imports.size());
    std::printf("  import          min %8.2f s  median %8.2f s  (%.0f stored records/s at the median)\n", Min(imports),
                Median(imports), Median(rates));
    std::printf("  floor           min %8.2f s  median %8.2f s\n", Min(g_floor), Median(g_floor));
    std::vector<double> ratios;
    for (std::size_t i = 0; i < imports.size() && i < g_floor.size(); ++i)
        ratios.push_back(imports[i] / std::max(g_floor[i], 1e-9));
    std::printf("  import / floor  min %8.2f    median %8.2f  (each round's import over its floor)\n", Min(ratios),
                Median(ratios));
    std::printf("  second import   files written: min %.0f, median %.0f\n", Min(seconds), Median(seconds));
    std::printf("  peak memory     min %8.1f MB median %8.1f MB\n", Min(peaks), Median(peaks));
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--days=", 7) == 0)
            g.days = std::atoi(argv[i] + 7);
        else if (std::strncmp(argv[i], "--runs=", 7) == 0)
            g.runs = std::max(1, std::atoi(argv[i] + 7));
        else if (std::strcmp(argv[i], "--tidy") == 0)
            g.tidy = true;
        else if (std::strncmp(argv[i], "--dir=", 6) == 0)
            g.dir = argv[i] + 6;
        else
            rest.push_back(argv[i]);
    }
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());

    if (g.dir.empty()) {
        g.dir = sfs::temp_directory_path() / ("tervan-bench-import-" + std::to_string(::getpid()));
        g.removeDir = true;
    }
    sfs::create_directories(g.dir);
    g.feed = fs::FromNative(g.dir / "feed");
    sfs::create_directories(g.dir / "feed");
    // A sample covers at most 400 race days (about four years); more are
    // made as several samples, each ending some years before the next, with
    // horses of their own. Their data files go into the one feed as the
    // download of one week: oldest sample first, each in its own order, time
    // stamps ten seconds apart from three days before today.
    const int parts = (g.days + 399) / 400;
    long files = 0;
    std::vector<sfs::path> partDirs;
    for (int part = 0; part < parts; ++part) {
        sample::SampleOptions options;
        options.seed = static_cast<std::uint64_t>(part + 1);
        options.days = g.days / parts + (part < g.days % parts ? 1 : 0);
        options.today = AddDays(kToday, -part * (options.days * 365 / 98 + 60));
        options.firstPedigreeSerial = 101 + part * 12000;
        partDirs.push_back(g.dir / ("feed-part" + std::to_string(part)));
        const sample::SampleFeedSummary summary = sample::WriteSampleFeed(fs::FromNative(partDirs.back()), options, true);
        g.races += summary.races;
        g.feedRecords += summary.Records();
        files += summary.files;
    }
    long long seconds = (DaysFromCivil(kToday.year, kToday.month, kToday.day) - 3) * 86400LL;
    for (auto dir = partDirs.rbegin(); dir != partDirs.rend(); ++dir) {
        std::vector<std::string> names;
        for (const auto& e : sfs::directory_iterator(*dir))
            if (e.is_regular_file() && e.path().extension() == ".jvd")
                names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            return a.substr(4, 14) != b.substr(4, 14) ? a.substr(4, 14) < b.substr(4, 14) : a < b;
        });
        for (const std::string& name : names) {
            DateTime t;
            CivilFromDays(static_cast<long>(seconds / 86400), t.year, t.month, t.day);
            t.hour = static_cast<int>(seconds % 86400 / 3600);
            t.minute = static_cast<int>(seconds % 3600 / 60);
            t.second = static_cast<int>(seconds % 60);
            sfs::rename(*dir / name, fs::ToNative(g.feed) / (name.substr(0, 4) + FormatCompact(t) + name.substr(18)));
            seconds += 10;
        }
        std::error_code ec;
        sfs::remove_all(*dir, ec);
    }
    std::fprintf(stderr, "sample feed: %d race days, %ld races, %ld files, %ld records\n", g.days, g.races, files,
                 g.feedRecords);

    for (int round = 1; round <= g.runs; ++round) {
        const std::string n = "/" + std::to_string(round);
        benchmark::RegisterBenchmark(("BM_Import" + n).c_str(), BM_Import)
            ->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
        benchmark::RegisterBenchmark(("BM_SecondImport" + n).c_str(), BM_SecondImport)
            ->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
        benchmark::RegisterBenchmark(("BM_Floor" + n).c_str(), BM_Floor)
            ->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Summary();
    if (g.removeDir) {
        std::error_code ec;
        sfs::remove_all(g.dir, ec);
    }
    return 0;
}
