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

namespace sfs = std::filesystem;
using namespace tervan;
using Clock = std::chrono::steady_clock;

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

struct ImportFigures {
    double seconds = 0;
    long records = 0;
    long stored = 0;
    long written = 0;
    long peakKb = 0;
    bool completed = false;
};

std::vector<ImportFigures> g_imports;
std::vector<ImportFigures> g_seconds;
std::vector<double> g_floor;

double Seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

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

// Runs `work` in a child process; its figures come back through a pipe,
// with the child's peak memory.
template <class Work>
ImportFigures InChild(Work work)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        ImportFigures f = work();
        struct rusage ru;
        ::getrusage(RUSAGE_SELF, &ru);
        f.peakKb = ru.ru_maxrss;
        const ssize_t n = ::write(fds[1], &f, sizeof f);
        ::_exit(n == static_cast<ssize_t>(sizeof f) ? 0 : 1);
    }
    ::close(fds[1]);
    ImportFigures f;
    if (pid < 0 || ::read(fds[0], &f, sizeof f) != static_cast<ssize_t>(sizeof f))
        f.completed = false;
    ::close(fds[0]);
    int status = 0;
    if (pid > 0)
        ::waitpid(pid, &status, 0);
    return f;
}

ImportFigures Import()
{
    return InChild([] {
        ReadLoopNotifier quiet;
        JVLinkStandIn jv(g.base, g.feed);
        jv.JVInit(JVSoftwareId());
        StoredRaceFiles files(g.base);
        std::atomic<bool> cancel {false};
        JVDownload download(jv, files, quiet, [] { return kToday; }, cancel);
        const Clock::time_point start = Clock::now();
        bool waiting = download.Start(g.from);
        while (waiting)
            waiting = download.Tick();
        ImportFigures f;
        f.seconds = Seconds(start);
        f.records = download.RecordsRead();
        f.stored = files.RecordsStored();
        f.written = files.FilesWritten();
        f.completed = download.LastOutcome() == JVDownload::Outcome::Completed;
        return f;
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

// The floor, in a child: the stored files of the import's base are read
// (not timed), then the feed files are read and those files written once,
// atomically, into an empty base.
ImportFigures Floor()
{
    const std::string copy = fs::ToNative(g.base).string() + "-floor";
    ::sync();
    ImportFigures result = InChild([&copy] {
        ImportFigures f;
        const sfs::path root = fs::ToNative(g.base);
        std::vector<std::string> folders;
        std::vector<std::pair<std::string, std::string>> files;
        for (const auto& e : sfs::recursive_directory_iterator(root)) {
            const std::string rel = sfs::relative(e.path(), root).string();
            if (rel.rfind(JVLinkStandIn::kCacheFolderName, 0) == 0)
                continue;
            if (e.is_directory()) {
                folders.push_back(rel);
            } else if (e.is_regular_file()) {
                std::string bytes;
                fs::ReadFile(fs::FromNative(e.path()), bytes);
                files.emplace_back(rel, std::move(bytes));
            }
        }
        std::sort(folders.begin(), folders.end());
        const std::vector<sfs::path> feed = FeedFiles();
        std::string buffer(1 << 20, '\0');

        const Clock::time_point start = Clock::now();
        std::size_t read = 0;
        for (const sfs::path& p : feed) {
            const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                return f;
            ssize_t n;
            while ((n = ::read(fd, buffer.data(), buffer.size())) > 0)
                read += static_cast<std::size_t>(n);
            ::close(fd);
        }
        benchmark::DoNotOptimize(read);
        ::mkdir(copy.c_str(), 0777);
        for (const std::string& folder : folders)
            ::mkdir((copy + "/" + folder).c_str(), 0777);
        for (const auto& [rel, bytes] : files) {
            const std::string path = copy + "/" + rel;
            const std::string temp = path + ".tmp~";
            const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
            if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())
                || ::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0)
                return f;
            ++f.written;
        }
        f.seconds = Seconds(start);
        f.completed = true;
        return f;
    });
    if (g.tidy) {
        std::error_code ec;
        sfs::remove_all(copy, ec);
        sfs::remove_all(fs::ToNative(g.base), ec);
    }
    return result;
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

double Min(std::vector<double> v)
{
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
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
    // made as several samples, each ending some years before the next, whose
    // data files go into the one feed.
    const int parts = (g.days + 399) / 400;
    long files = 0;
    for (int part = 0; part < parts; ++part) {
        sample::SampleOptions options;
        options.seed = static_cast<std::uint64_t>(part + 1);
        options.days = g.days / parts + (part < g.days % parts ? 1 : 0);
        options.today = AddDays(kToday, -part * (options.days * 365 / 98 + 60));
        const sfs::path partDir = g.dir / ("feed-part" + std::to_string(part));
        const sample::SampleFeedSummary summary = sample::WriteSampleFeed(fs::FromNative(partDir), options, true);
        for (const auto& e : sfs::directory_iterator(partDir))
            if (e.is_regular_file() && e.path().extension() == ".jvd")
                sfs::rename(e.path(), fs::ToNative(g.feed) / e.path().filename());
        std::error_code ec;
        sfs::remove_all(partDir, ec);
        g.from = AddDays(options.today, -8);
        g.races += summary.races;
        g.feedRecords += summary.Records();
        files += summary.files;
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
