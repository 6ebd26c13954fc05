// TUnLha extraction speed on large -lh5- and -lh7- archives, and on an
// archive of 2,000 small (2 KB) members, against bsdtar -xf (libarchive) on
// the same archives in the same run.
//
// The small members' archive is written by the sample's own LHA writer
// (stored members): what it measures is the work per member file.
//
// The archives hold about 32 MB of odds-like CP932 text. They are made at
// benchmark time with jlha (Debian's jlha-utils) or shared/tools/make-lzh
// and kept in the system's temporary folder for later runs; without either
// tool the benchmarks are skipped with a message. Both sides are timed by
// the processor time they use (bsdtar's is its child process time), so the
// other work on the machine does not tilt the comparison. Figures are MB/s
// of extracted output.
#include "archive/UnLha.h"
#include "platform/FileSystem.h"
#include "sample/LhaWriter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace stdfs = std::filesystem;

constexpr std::size_t kTextSize = 32u << 20;
constexpr const char* kStamp = "odds-text-v1-32MB";

stdfs::path WorkDir() { return stdfs::temp_directory_path() / "tervan-bench-unlha"; }

// Lines like the odds files': date, course, race and 18 odds figures.
std::string OddsText()
{
    static const char* const courses[] = {"\x93\x8C\x8B\x9E", "\x92\x86\x8E\x52", "\x8B\x9E\x93\x73", "\x8D\xE3\x90\x5F",
                                          "\x8F\xAC\x91\x71", "\x90\x56\x8A\x83", "\x95\x9F\x93\x87", "\x8E\x44\x96\x79"};
    std::mt19937 engine(1234);
    auto random = [&engine] { return static_cast<unsigned>(engine()); };
    std::string text;
    text.reserve(kTextSize + 256);
    char line[256];
    while (text.size() < kTextSize) {
        int n = std::snprintf(line, sizeof line, "2024%02u%02u%s%02uR", 1 + random() % 12u, 1 + random() % 28u, courses[random() % 8u],
                              1 + random() % 12u);
        text.append(line, static_cast<std::size_t>(n));
        for (int h = 0; h < 18; ++h) {
            const unsigned odds = 11 + random() % 2000u;
            n = std::snprintf(line, sizeof line, " %5u.%u", odds / 10, odds % 10);
            text.append(line, static_cast<std::size_t>(n));
        }
        text += "\r\n";
    }
    return text;
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

std::string Quote(const stdfs::path& p) { return "'" + p.string() + "'"; }

// The archive of the given method ("5" or "7"), made once; empty when no
// archiver is at hand (why goes to *why).
stdfs::path Archive(const std::string& method, std::string* why)
{
    const stdfs::path dir = WorkDir();
    const stdfs::path archive = dir / ("odds-lh" + method + ".lzh");
    const stdfs::path stamp = dir / ("odds-lh" + method + ".stamp");
    std::string have;
    if (std::ifstream in(stamp); in && std::getline(in, have) && have == kStamp && stdfs::exists(archive))
        return archive;

    stdfs::create_directories(dir);
    const stdfs::path text = dir / "odds.txt";
    {
        const std::string t = OddsText();
        std::ofstream(text, std::ios::binary).write(t.data(), static_cast<std::streamsize>(t.size()));
    }
    stdfs::remove(archive);
    const stdfs::path makeLzh = stdfs::path(TERVAN_SHARED_DIR) / "tools" / "make-lzh";
    bool made = false;
    if (Run("command -v jlha >/dev/null 2>&1")) {
        std::fprintf(stderr, "making %s with jlha (a minute or two)...\n", archive.c_str());
        made = Run("cd " + Quote(dir) + " && jlha a2o" + method + " " + Quote(archive.filename()) + " odds.txt >/dev/null 2>&1");
    } else if (stdfs::exists(makeLzh) && Run("command -v javac >/dev/null 2>&1")) {
        std::fprintf(stderr, "making %s with make-lzh (a minute or two)...\n", archive.c_str());
        made = Run(Quote(makeLzh) + " " + Quote(archive) + " 2 -lh" + method + "- " + Quote(text) + " >/dev/null 2>&1");
    } else {
        *why = "no LHA archiver to make the archives (apt-get install jlha-utils)";
        return {};
    }
    if (!made || !stdfs::exists(archive)) {
        *why = "making the -lh" + method + "- archive failed";
        return {};
    }
    std::ofstream(stamp) << kStamp << "\n";
    return archive;
}

double ChildCpuSeconds()
{
    struct rusage ru {};
    ::getrusage(RUSAGE_CHILDREN, &ru);
    return static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

double SelfCpuSeconds()
{
    struct timespec ts {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
}

// bsdtar -xf of the archive into the folder: its processor time, or -1 when
// it failed.
double BsdtarCpuSeconds(const stdfs::path& archive, const stdfs::path& out)
{
    const double start = ChildCpuSeconds();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execlp("bsdtar", "bsdtar", "-xf", archive.c_str(), "-C", out.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    const double used = ChildCpuSeconds() - start;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? used : -1;
}

// The archive of 2,000 members of 2 KB of odds-like text each.
stdfs::path SmallMembersArchive()
{
    const stdfs::path archive = WorkDir() / "small-members.lzh";
    if (stdfs::exists(archive))
        return archive;
    stdfs::create_directories(WorkDir());
    const std::string text = OddsText().substr(0, 2000 * 2048);
    std::vector<tervan::sample::LhaMember> members;
    for (int i = 0; i < 2000; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "m%04d.txt", i);
        members.push_back({name, text.substr(static_cast<std::size_t>(i) * 2048, 2048), {2024, 5, 1, 12, 0, 0}});
    }
    const std::string bytes = tervan::sample::WriteStoredLha(members, 2);
    std::ofstream(archive, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return archive;
}

// MB/s by benchmark name, for the comparison printed at the end.
std::map<std::string, double>& Rates()
{
    static std::map<std::string, double> rates;
    return rates;
}

// TUnLha extracts every member into the folder; its processor time is added
// to cpu. Returns the files written.
int TUnLhaExtract(const stdfs::path& archive, const stdfs::path& out, double& cpu)
{
    tervan::TUnLha unlha;
    unlha.ArchiveFile = tervan::fs::FromNative(archive);
    unlha.FileSpec = {"*.*"};
    unlha.ExtractDir = tervan::fs::FromNative(out);
    const double start = SelfCpuSeconds();
    const int written = unlha.Extract();
    cpu += SelfCpuSeconds() - start;
    return written;
}

void BM_TUnLha(benchmark::State& state, const std::string& method)
{
    std::string why;
    const stdfs::path archive = Archive(method, &why);
    if (archive.empty()) {
        state.SkipWithError(why.c_str());
        return;
    }
    const stdfs::path out = WorkDir() / ("out-tunlha-" + method);
    stdfs::remove_all(out);
    stdfs::create_directories(out);
    std::uint64_t bytes = 0;
    double cpu = 0;
    for (auto _ : state) {
        if (TUnLhaExtract(archive, out, cpu) != 1) {
            state.SkipWithError("TUnLha extracted nothing");
            return;
        }
        bytes += stdfs::file_size(out / "odds.txt");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    Rates()["TUnLha -lh" + method + "-"] = static_cast<double>(bytes) / cpu / 1e6;
}

void BM_Bsdtar(benchmark::State& state, const std::string& method)
{
    std::string why;
    const stdfs::path archive = Archive(method, &why);
    if (archive.empty()) {
        state.SkipWithError(why.c_str());
        return;
    }
    if (!Run("command -v bsdtar >/dev/null 2>&1")) {
        state.SkipWithError("bsdtar is not installed (apt-get install libarchive-tools)");
        return;
    }
    const stdfs::path out = WorkDir() / ("out-bsdtar-" + method);
    stdfs::remove_all(out);
    stdfs::create_directories(out);
    std::uint64_t bytes = 0;
    double cpu = 0;
    for (auto _ : state) {
        const double used = BsdtarCpuSeconds(archive, out);
        if (used < 0) {
            state.SkipWithError("bsdtar failed");
            return;
        }
        state.SetIterationTime(used);
        cpu += used;
        bytes += stdfs::file_size(out / "odds.txt");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    Rates()["bsdtar -lh" + method + "-"] = static_cast<double>(bytes) / cpu / 1e6;
}

// Seconds of processor time per extraction of the 2,000 small members,
// into an empty folder each time, by benchmark name.
std::map<std::string, std::vector<double>>& SmallTimes()
{
    static std::map<std::string, std::vector<double>> times;
    return times;
}

// A new empty folder for each extraction of the small members; all are
// removed at the end (a file system that has just freed many files makes
// new ones slower to create for a while, whoever creates them).
stdfs::path FreshOut(const std::string& who)
{
    static int n = 0;
    const stdfs::path out = WorkDir() / "small-out" / (who + std::to_string(++n));
    stdfs::create_directories(out);
    return out;
}

void BM_TUnLhaSmallMembers(benchmark::State& state)
{
    const stdfs::path archive = SmallMembersArchive();
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const stdfs::path out = FreshOut("tunlha");
        state.ResumeTiming();
        if (TUnLhaExtract(archive, out, cpu) != 2000) {
            state.SkipWithError("TUnLha did not extract the 2,000 members");
            return;
        }
    }
    SmallTimes()["TUnLha"].push_back(cpu / static_cast<double>(state.iterations()));
}

void BM_BsdtarSmallMembers(benchmark::State& state)
{
    if (!Run("command -v bsdtar >/dev/null 2>&1")) {
        state.SkipWithError("bsdtar is not installed (apt-get install libarchive-tools)");
        return;
    }
    const stdfs::path archive = SmallMembersArchive();
    double cpu = 0;
    for (auto _ : state) {
        const double used = BsdtarCpuSeconds(archive, FreshOut("bsdtar"));
        if (used < 0) {
            state.SkipWithError("bsdtar failed");
            return;
        }
        state.SetIterationTime(used);
        cpu += used;
    }
    SmallTimes()["bsdtar"].push_back(cpu / static_cast<double>(state.iterations()));
}

} // namespace

BENCHMARK(BM_TUnLhaSmallMembers)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(5)->Repetitions(3);
BENCHMARK(BM_BsdtarSmallMembers)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5)->Repetitions(3);
BENCHMARK_CAPTURE(BM_TUnLha, lh5, std::string("5"))->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(BM_Bsdtar, lh5, std::string("5"))->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK_CAPTURE(BM_TUnLha, lh7, std::string("7"))->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(BM_Bsdtar, lh7, std::string("7"))->Unit(benchmark::kMillisecond)->UseManualTime();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    stdfs::remove_all(WorkDir() / "small-out", ec);
    // MB/s of output per second of processor time, and TUnLha's lead.
    auto& r = Rates();
    for (const char* m : {"5", "7"}) {
        const std::string mine = std::string("TUnLha -lh") + m + "-";
        const std::string theirs = std::string("bsdtar -lh") + m + "-";
        if (r.count(mine) && r.count(theirs))
            std::printf("-lh%s-: TUnLha %.0f MB/s, bsdtar %.0f MB/s: %.2f times\n", m, r[mine], r[theirs], r[mine] / r[theirs]);
    }
    // The small members: processor time per extraction, minimum and median
    // of the repetitions.
    auto& t = SmallTimes();
    auto minMedian = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return std::make_pair(v.front(), v[v.size() / 2]);
    };
    if (!t["TUnLha"].empty() && !t["bsdtar"].empty()) {
        const auto [mineMin, mineMedian] = minMedian(t["TUnLha"]);
        const auto [theirsMin, theirsMedian] = minMedian(t["bsdtar"]);
        std::printf("2,000 members of 2 KB, ms of processor time: TUnLha min %.1f median %.1f, bsdtar min %.1f median "
                    "%.1f: bsdtar / TUnLha %.2f (medians)\n",
                    mineMin * 1e3, mineMedian * 1e3, theirsMin * 1e3, theirsMedian * 1e3, theirsMedian / mineMedian);
    }
    return 0;
}
