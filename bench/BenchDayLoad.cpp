// Loading a full race day (12 races, 216 runners, each with a 30-run horse
// history) against the floor of the file system: a bare loop that makes the
// same calls as the load (the same looks at the day's files, the whole day
// files read, and of each horse history file only its tail, as far back as
// the load reads it), and does nothing else with what it reads.
#include "app/RaceDay.h"
#include "import/ForecastOddsFile.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace tervan;

std::string Blank(std::size_t size)
{
    return std::string(size - 2, ' ') + "\r\n";
}

void Put(std::string& line, std::size_t pos, const std::string& text)
{
    line.replace(pos - 1, text.size(), text);
}

std::string Num(int width, long value)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*ld", width, value);
    return buf;
}

std::string Key(long date, int race)
{
    return Num(8, date) + "05" + "02" + "08" + Num(2, race);
}

// A day of 12 races of 18 runners at 東京 on 2006-05-28; each runner a horse
// with 30 earlier runs, 3 to 60 days apart.
struct Fixture {
    std::filesystem::path root;
    std::string base;
    std::string entry;
    std::vector<std::filesystem::path> dayFiles;     // race, runner slot, payout, forecast odds
    std::vector<std::filesystem::path> historyFiles; // one per runner

    Fixture()
    {
        char tmpl[] = "/tmp/tervan-bench-dayload-XXXXXX";
        root = ::mkdtemp(tmpl);
        base = root.string();
        entry = SJ("2006年05月28日東京");
        fs::CreateDirs(base + "/DATA");
        fs::CreateDirs(base + "/SEI");

        std::string races, slots, payouts, forecasts;
        long dayNo = DaysFromCivil(2006, 5, 28);
        for (int r = 1; r <= 12; ++r) {
            std::string ra = Blank(1272);
            Put(ra, 1, "RA000000000" + Key(20060528, r));
            Put(ra, 33, SJ("ベンチマークステークス"));
            Put(ra, 615, "E");
            Put(ra, 698, "1600");
            Put(ra, 706, "11");
            Put(ra, 874, "1540");
            Put(ra, 882, "18");
            races += ra;
            std::string hr = Blank(719);
            Put(hr, 1, "HR000000000" + Key(20060528, r));
            Put(hr, 103, "0100000025001");
            payouts += hr;
            std::string yoz = Blank(1461);
            Put(yoz, 1, "2006052805" "0208" + Num(2, r) + "J18");
            for (int h = 0; h < 18; ++h)
                Put(yoz, 20 + 6 * h, "  " + Num(2, h + 2) + ".5");
            forecasts += yoz;
            for (int h = 1; h <= 18; ++h) {
                const std::string pedigree = "2002" + Num(6, r * 100 + h);
                std::string se = Blank(555);
                Put(se, 1, "SE7" + Num(8, 20060520) + Key(20060528, r));
                Put(se, 28, Num(1, (h + 1) / 2) + Num(2, h) + pedigree);
                Put(se, 41, SJ("ベンチホース"));
                Put(se, 79, h % 2 ? "1" : "2");
                slots += se;
                std::string history;
                long day = dayNo;
                std::vector<std::string> runs;
                for (int k = 0; k < 30; ++k) {
                    day -= 3 + (k * 17 + h * 11 + r * 5) % 60;
                    int y, m, d;
                    CivilFromDays(day, y, m, d);
                    std::string run = se;
                    Put(run, 3, "000000000");
                    Put(run, 12, Key(y * 10000L + m * 100 + d, 1 + k % 12));
                    runs.push_back(run);
                }
                for (auto it = runs.rbegin(); it != runs.rend(); ++it)
                    history += *it;
                const std::string folder = base + "/SEI/" + pedigree.substr(0, 4);
                fs::CreateDirs(folder);
                fs::RewriteFile(folder + "/" + pedigree + ".jvSEI", history);
                historyFiles.push_back(fs::ToNative(folder + "/" + pedigree + ".jvSEI"));
            }
        }
        const std::string data = base + "/DATA/";
        fs::RewriteFile(data + entry + ".jvRA", races);
        fs::RewriteFile(data + entry + ".jvSEr", slots);
        fs::RewriteFile(data + entry + ".jvHR", payouts);
        fs::RewriteFile(data + SJ("2006年05月28日.yoz"), forecasts);
        for (const char* ext : {".jvRA", ".jvSEr", ".jvHR"})
            dayFiles.push_back(fs::ToNative(data + entry + ext));
        dayFiles.push_back(fs::ToNative(data + SJ("2006年05月28日.yoz")));
    }
    ~Fixture()
    {
        if (!std::getenv("TERVAN_BENCH_KEEP"))
            std::filesystem::remove_all(root);
    }
};

Fixture& TheFixture()
{
    static Fixture fixture;
    return fixture;
}

void BM_DayLoad(benchmark::State& state)
{
    Fixture& f = TheFixture();
    auto day = std::make_unique<RaceDay>();
    for (auto _ : state) {
        DayLoadResult result = LoadRaceDay(*day, f.base, f.entry);
        if (result.status != DayLoadResult::Loaded || day->raceCount != 12) {
            state.SkipWithError("the day did not load");
            break;
        }
        benchmark::DoNotOptimize(day->slots[11].summary.runners[17].forecastRank);
    }
    state.counters["maxims"] = [&] {
        int n = 0;
        for (const auto& slot : day->slots)
            for (const auto& r : slot.summary.runners)
                n += !r.maxim.empty();
        return n;
    }();
}
BENCHMARK(BM_DayLoad)->Unit(benchmark::kMillisecond)->Repetitions(3);

// The floor: what the load asks of the file system and nothing more. The
// race and runner slot files are looked at twice (exists, then the path's
// letter case), every day file is looked at, opened, sized and read whole,
// the horse history folder is looked at once, and each history file is
// opened, sized from its end and read back by its last 8 records (the 5
// latest runs before the day lie within them), then closed.
void BM_SameReadsFloor(benchmark::State& state)
{
    Fixture& f = TheFixture();
    std::string buffer;
    constexpr std::size_t kTail = 8 * 555;
    char tail[kTail];
    const std::filesystem::path seiDir = fs::ToNative(f.base + "/SEI");
    for (auto _ : state) {
        std::size_t total = 0;
        struct stat st;
        for (int i = 0; i < 2; ++i) {
            ::stat(f.dayFiles[static_cast<std::size_t>(i)].c_str(), &st);
            ::stat(f.dayFiles[static_cast<std::size_t>(i)].c_str(), &st);
        }
        for (const auto& path : f.dayFiles) {
            ::stat(path.c_str(), &st);
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0 || ::fstat(fd, &st) != 0) {
                state.SkipWithError("open failed");
                break;
            }
            buffer.resize(static_cast<std::size_t>(st.st_size));
            std::size_t got = 0;
            ssize_t n;
            while (got < buffer.size() && (n = ::read(fd, buffer.data() + got, buffer.size() - got)) > 0)
                got += static_cast<std::size_t>(n);
            total += got;
            ::close(fd);
        }
        ::stat(seiDir.c_str(), &st);
        for (const auto& path : f.historyFiles) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) {
                state.SkipWithError("open failed");
                break;
            }
            const off_t size = ::lseek(fd, 0, SEEK_END);
            const std::size_t len = std::min<std::size_t>(kTail, static_cast<std::size_t>(size));
            total += static_cast<std::size_t>(::pread(fd, tail, len, size - static_cast<off_t>(len)));
            ::close(fd);
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["files"] = static_cast<double>(f.dayFiles.size() + f.historyFiles.size());
}
BENCHMARK(BM_SameReadsFloor)->Unit(benchmark::kMillisecond)->Repetitions(3);

} // namespace

BENCHMARK_MAIN();
