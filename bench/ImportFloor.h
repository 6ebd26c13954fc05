// What the import benchmarks share: a run in a child process that reports
// its figures and its own peak memory, the write-once floor of an import,
// and the minimum and median of the rounds.
#pragma once

#include "acquisition/JVLinkStandIn.h"
#include "acquisition/ReadLoop.h"
#include "acquisition/StoredFiles.h"
#include "platform/FileSystem.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tervan::bench {

namespace sfs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct ImportFigures {
    double seconds = 0;
    double cpu = 0; // processor seconds (user and system) of the timed part: on a shared machine
                    // the wall time also counts the waits for a processor
    long records = 0;
    long stored = 0;
    long written = 0;
    long peakKb = 0;
    bool completed = false;
};

inline double Seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// The processor seconds this process has used so far.
inline double CpuSeconds()
{
    struct rusage ru;
    ::getrusage(RUSAGE_SELF, &ru);
    return static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec)
        + static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
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

// A download of the stand-in over `feed` into `base`, begun by
// start(download) (Start or StartSetup), timed from its start to its end.
template <class Start>
ImportFigures TimedDownload(const std::string& base, const std::string& feed, const DateTime& now, Start start)
{
    ReadLoopNotifier quiet;
    JVLinkStandIn jv(base, feed);
    jv.JVInit(JVSoftwareId());
    StoredRaceFiles files(base);
    std::atomic<bool> cancel {false};
    JVDownload download(jv, files, quiet, [now] { return now; }, cancel);
    const Clock::time_point begun = Clock::now();
    const double cpu = CpuSeconds();
    bool waiting = start(download);
    while (waiting)
        waiting = download.Tick();
    ImportFigures f;
    f.seconds = Seconds(begun);
    f.cpu = CpuSeconds() - cpu;
    f.records = download.RecordsRead();
    f.stored = files.RecordsStored();
    f.written = files.FilesWritten();
    f.completed = download.LastOutcome() == JVDownload::Outcome::Completed;
    return f;
}

// The least work an import needs, in a child: the stored files of the
// import's base are read (not timed), then the feed files are read and those
// files written once, atomically (temporary file, rename), into an empty
// base beside it (base + "-floor"), which `tidy` removes afterwards with the
// import's base.
inline ImportFigures Floor(const std::string& base, const std::vector<sfs::path>& feedFiles, bool tidy)
{
    const std::string copy = fs::ToNative(base).string() + "-floor";
    ::sync();
    ImportFigures result = InChild([&] {
        ImportFigures f;
        const sfs::path root = fs::ToNative(base);
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
        std::string buffer(1 << 20, '\0');

        const Clock::time_point start = Clock::now();
        const double cpu = CpuSeconds();
        std::size_t read = 0;
        for (const sfs::path& p : feedFiles) {
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
        f.cpu = CpuSeconds() - cpu;
        f.completed = true;
        return f;
    });
    if (tidy) {
        std::error_code ec;
        sfs::remove_all(copy, ec);
        sfs::remove_all(fs::ToNative(base), ec);
    }
    return result;
}

inline double Min(const std::vector<double>& v)
{
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

inline double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Takes the program's own "--name=value" options (name includes "--") out of
// the arguments, handing each value to its setter, and gives the rest to
// Google Benchmark; false when some argument is neither.
inline bool InitializeWithOptions(int argc, char** argv, const std::map<std::string, std::function<void(const char*)>>& options)
{
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        const std::size_t eq = arg.find('=');
        const auto option = i > 0 && eq != std::string::npos ? options.find(arg.substr(0, eq)) : options.end();
        if (option != options.end())
            option->second(argv[i] + eq + 1);
        else
            rest.push_back(argv[i]);
    }
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    return !benchmark::ReportUnrecognizedArguments(restCount, rest.data());
}

} // namespace tervan::bench
