// Importing a year of JV-Data into the stored race data files.
//
//   BM_ImportYear     the download's read loop over a year-scale sample feed
//                     (about 3,500 races) into an empty base folder
//   BM_SecondImport   the same feed again into the same base folder: records
//                     whose files would come out unchanged write nothing
//   BM_BareRewrite    this machine's floor, in the same run: the first
//                     import's rewrites replayed as bare atomic rewrites of
//                     the same sizes (read the file, write a temporary file,
//                     rename), with no path handling and no record work
//   BM_ImportYearAgain  the first import once more, after the floor
//
// The import's writes/s against the bare loop's is the figure to watch: the
// file system makes every create and rename costly, and the import should
// cost little beyond them. Other work on the machine moves these wall-clock
// figures a good deal from run to run; the CPU times are steadier.
//
// Options before the Google Benchmark ones: --days=N race days of the sample
// (default 98, about 3,500 races), --dir=FOLDER work folder (default a new
// folder under the system's temporary folder, removed afterwards).
#include "acquisition/JVLinkStandIn.h"
#include "acquisition/ReadLoop.h"
#include "acquisition/StoredFiles.h"
#include "app/BaseFolder.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"
#include "sample/SampleFeed.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace sfs = std::filesystem;
using namespace tervan;

const DateTime kToday {2006, 5, 29, 20, 0, 0};

struct Work {
    int days = 98;
    sfs::path dir;
    bool removeDir = false;
    std::string feed; // CP932
    std::string base; // CP932
    long races = 0;
    // The first import's stored-file writes: native path and size.
    std::vector<std::pair<sfs::path, size_t>> writes;
} g;

struct ImportFigures {
    long records = 0;
    long stored = 0;
    long written = 0;
    bool completed = false;
};

ImportFigures Import(bool recordWrites)
{
    ReadLoopNotifier quiet;
    JVLinkStandIn jv(g.base, g.feed);
    jv.JVInit(JVSoftwareId());
    StoredRaceFiles files(g.base);
    std::atomic<bool> cancel {false};
    JVDownload download(jv, files, quiet, [] { return kToday; }, cancel);
    if (recordWrites) {
        g.writes.clear();
        fs::SetRewriteHook([](std::string_view path) {
            if (path.find(JVLinkStandIn::kCacheFolderName) != std::string_view::npos)
                return;
            // The work folder's names are as written, so the native path is
            // the UTF-8 text; resolving it through the file system layer here
            // would disturb what is measured.
            sfs::path native = Cp932ToUtf8(path);
            struct stat st;
            const bool ok = ::stat((native.string() + ".tmp~").c_str(), &st) == 0;
            g.writes.emplace_back(std::move(native), ok ? static_cast<size_t>(st.st_size) : 0);
        });
    }
    bool waiting = download.Start(AddDays(kToday, -8));
    while (waiting)
        waiting = download.Tick();
    fs::SetRewriteHook(nullptr);
    return {download.RecordsRead(), files.RecordsStored(), files.FilesWritten(),
            download.LastOutcome() == JVDownload::Outcome::Completed};
}

void Report(benchmark::State& state, const ImportFigures& f)
{
    if (!f.completed)
        state.SkipWithError("the import did not complete");
    state.counters["races"] = static_cast<double>(g.races);
    state.counters["records"] = static_cast<double>(f.records);
    state.counters["files_written"] = static_cast<double>(f.written);
    state.counters["records/s"] = benchmark::Counter(static_cast<double>(f.records), benchmark::Counter::kIsRate);
    state.counters["writes/s"] = benchmark::Counter(static_cast<double>(f.written), benchmark::Counter::kIsRate);
}

void ImportYear(benchmark::State& state, bool recordWrites)
{
    ImportFigures f;
    for (auto _ : state) {
        state.PauseTiming();
        std::error_code ec;
        sfs::remove_all(fs::ToNative(g.base), ec);
        sfs::create_directories(fs::ToNative(g.base));
        EnsureBaseFolders(g.base);
        // The stand-in's download into its cache is not part of the import.
        {
            JVLinkStandIn jv(g.base, g.feed);
            jv.JVInit(JVSoftwareId());
            std::int32_t r = 0, d = 0;
            std::string last;
            if (jv.JVOpen("RACERCVN", FormatCompact(AddDays(kToday, -8)), 2, r, d, last) == 0)
                for (std::int32_t st = 0; st >= 0 && st < d;)
                    st = jv.JVStatus();
            jv.JVClose();
        }
        // The feed and the cache were just written: their write-back is not
        // the import's either.
        ::sync();
        state.ResumeTiming();
        f = Import(recordWrites);
    }
    Report(state, f);
}

void BM_ImportYear(benchmark::State& state)
{
    ImportYear(state, true);
}

// The same import once more after the floor, so that the floor is measured
// between two imports on a file system in much the same state.
void BM_ImportYearAgain(benchmark::State& state)
{
    ImportYear(state, false);
}

void BM_SecondImport(benchmark::State& state)
{
    ImportFigures f;
    for (auto _ : state) {
        state.PauseTiming();
        ::sync();
        state.ResumeTiming();
        f = Import(false);
    }
    Report(state, f);
}

// Bare atomic rewrites of the first import's files, at the sizes it wrote,
// on a copy of its base folder.
void BM_BareRewrite(benchmark::State& state)
{
    long done = 0;
    std::string content;
    const std::string root = fs::ToNative(g.base).string();
    const std::string copy = root + "-floor";
    std::vector<std::pair<std::string, size_t>> writes;
    writes.reserve(g.writes.size());
    for (const auto& [path, size] : g.writes)
        writes.emplace_back(copy + path.string().substr(root.size()), size);
    for (auto _ : state) {
        state.PauseTiming();
        std::error_code ec;
        sfs::remove_all(copy, ec);
        sfs::copy(root, copy, sfs::copy_options::recursive, ec);
        if (ec) {
            state.SkipWithError("cannot copy the base folder");
            return;
        }
        ::sync();
        state.ResumeTiming();
        for (const auto& [p, size] : writes) {
            const std::string temp = p + ".tmp~";
            content.clear();
            int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd >= 0) {
                char chunk[65536];
                ssize_t n;
                while ((n = ::read(fd, chunk, sizeof chunk)) > 0)
                    content.append(chunk, static_cast<size_t>(n));
                ::close(fd);
            }
            content.resize(size, ' ');
            fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
            if (fd < 0) {
                state.SkipWithError("cannot create a temporary file");
                return;
            }
            if (::write(fd, content.data(), content.size()) != static_cast<ssize_t>(content.size())) {
                ::close(fd);
                state.SkipWithError("cannot write a temporary file");
                return;
            }
            ::close(fd);
            if (::rename(temp.c_str(), p.c_str()) != 0) {
                state.SkipWithError("cannot rename");
                return;
            }
            ++done;
        }
    }
    state.counters["rewrites"] = static_cast<double>(done);
    state.counters["writes/s"] = benchmark::Counter(static_cast<double>(done), benchmark::Counter::kIsRate);
}

// In this order: the second import reads the first one's files, the floor
// replays the first import's writes, and the import runs once more.
BENCHMARK(BM_ImportYear)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_SecondImport)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_BareRewrite)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_ImportYearAgain)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--days=", 7) == 0)
            g.days = std::atoi(argv[i] + 7);
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
    g.base = fs::FromNative(g.dir / "base");
    sample::SampleOptions options;
    options.today = kToday;
    options.days = g.days;
    const sample::SampleFeedSummary summary = sample::WriteSampleFeed(g.feed, options, true);
    g.races = summary.races;
    std::fprintf(stderr, "sample feed: %d race days, %d races, %d files, %ld records\n", summary.raceDays,
                 summary.races, summary.files, summary.Records());

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g.removeDir) {
        std::error_code ec;
        sfs::remove_all(g.dir, ec);
    }
    return 0;
}
