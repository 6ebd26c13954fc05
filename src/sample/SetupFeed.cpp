#include "sample/SetupFeed.h"

#include "platform/FileSystem.h"
#include "sample/RecordLayout.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace tervan::sample {
namespace {

// A sample world covers at most this many race days.
constexpr int kWorldDays = 400;
// Pedigree serials of the weekly sample start at 101; each setup world
// takes the next block.
constexpr int kSerialsPerWorld = 12000;

constexpr std::size_t kH1Length = 28955;
constexpr std::size_t kO1Length = 962;

int YearOf(long day)
{
    int y, m, d;
    CivilFromDays(day, y, m, d);
    return y;
}

// A record of a kind the sample layouts do not list: every number field
// starts as zeros, then the kind, data division, creation date and race key.
RecordBuilder ZeroRecord(std::size_t length, std::string_view kind, char division, long created, const std::string& key)
{
    std::string zeros(length, '0');
    zeros[length - 2] = '\r';
    zeros[length - 1] = '\n';
    RecordBuilder b(std::move(zeros));
    b.Text(1, 2, kind).Head(division, created).RaceKey(key);
    return b;
}

// The share of the win pool on each runner, from its odds.
std::vector<long long> WinVotes(const SampleRace& race, long long& total)
{
    total = 0;
    std::vector<long long> votes;
    for (const SampleRunner& r : race.runners) {
        // The pool less the take (20%) divided by the odds, in 100-yen tickets.
        const long long v = 800000LL * 10 / std::max(r.oddsTenths, 11);
        votes.push_back(v);
        total += v;
    }
    return votes;
}

char PlaceKey(int starters)
{
    return starters >= 8 ? '3' : starters >= 5 ? '2' : '0';
}

} // namespace

std::string CheckSetupOptions(const SetupOptions& o)
{
    if (o.years < 1 || o.years > 60)
        return "setup years must be 1 to 60";
    if (o.courses < 0 || o.courses > 3)
        return "courses must be 1 to 3";
    if (o.everyWeeks < 1 || o.everyWeeks > 52)
        return "every-weeks must be 1 to 52";
    return {};
}

std::string BuildH1Record(const SampleRace& race, char division, long created)
{
    RecordBuilder b = ZeroRecord(kH1Length, "H1", division, created, race.Key());
    const int n = static_cast<int>(race.runners.size());
    b.Number(28, 2, n);
    b.Number(30, 2, n);
    b.Text(32, 7, "1111111");              // 発売フラグ: every bet sold
    b.Number(39, 1, PlaceKey(n) - '0');     // 複勝着払キー
    long long winTotal = 0;
    const std::vector<long long> win = WinVotes(race, winTotal);
    long long placeTotal = 0;
    for (int i = 0; i < 28; ++i) {
        const std::size_t w = 84 + 15 * static_cast<std::size_t>(i);
        const std::size_t p = 504 + 15 * static_cast<std::size_t>(i);
        if (i >= n) {
            b.Text(w, 15, "");
            b.Text(p, 15, "");
            continue;
        }
        const SampleRunner& r = race.runners[static_cast<std::size_t>(i)];
        const long long placeVotes = win[static_cast<std::size_t>(i)] * 3 / 5 + 2000;
        placeTotal += placeVotes;
        b.Number(w, 2, r.horseNumber);
        b.Number(w + 2, 11, win[static_cast<std::size_t>(i)]);
        b.Number(w + 13, 2, r.popularity);
        b.Number(p, 2, r.horseNumber);
        b.Number(p + 2, 11, placeVotes);
        b.Number(p + 13, 2, r.popularity);
    }
    b.Number(28800, 11, winTotal);   // 単勝票数合計
    b.Number(28811, 11, placeTotal); // 複勝票数合計
    return b.Take();
}

std::string BuildO1Record(const SampleRace& race, char division, long created)
{
    RecordBuilder b = ZeroRecord(kO1Length, "O1", division, created, race.Key());
    int y, m, d;
    CivilFromDays(race.day, y, m, d);
    b.Number(28, 4, m * 100 + d);
    b.Number(32, 4, race.postTime);
    const int n = static_cast<int>(race.runners.size());
    b.Number(36, 2, n);
    b.Number(38, 2, n);
    b.Text(40, 3, n >= 9 ? "111" : "110");
    b.Number(43, 1, PlaceKey(n) - '0');
    for (int i = 0; i < 28; ++i) {
        const std::size_t w = 44 + 8 * static_cast<std::size_t>(i);
        const std::size_t p = 268 + 12 * static_cast<std::size_t>(i);
        if (i >= n) {
            b.Text(w, 8, "");
            b.Text(p, 12, "");
            continue;
        }
        const SampleRunner& r = race.runners[static_cast<std::size_t>(i)];
        const int low = std::max(10, r.oddsTenths / 4);
        b.Number(w, 2, r.horseNumber);
        b.Number(w + 2, 4, r.oddsTenths);
        b.Number(w + 6, 2, r.popularity);
        b.Number(p, 2, r.horseNumber);
        b.Number(p + 2, 4, low);
        b.Number(p + 6, 4, low * 2);
        b.Number(p + 10, 2, r.popularity);
    }
    long long winTotal = 0;
    WinVotes(race, winTotal);
    b.Number(928, 11, winTotal);
    b.Number(939, 11, winTotal * 3 / 5);
    b.Number(950, 11, winTotal / 3);
    return b.Take();
}

SetupFeedSummary WriteSetupFeed(const std::string& dir, const SampleOptions& weekly, long weeklyFirstDay,
                                const SetupOptions& setup)
{
    if (const std::string problem = CheckSetupOptions(setup); !problem.empty())
        throw std::invalid_argument(problem);
    const long lastDay = weeklyFirstDay - 1;
    const long firstDay = DaysFromCivil(YearOf(lastDay) - setup.years + 1, 1, 1);
    fs::CreateDirs(dir);

    SetupFeedSummary s;
    long end = lastDay;
    for (int world = 1; end >= firstDay; ++world) {
        SampleOptions o;
        o.seed = weekly.seed * 1000 + static_cast<std::uint64_t>(world);
        int y, m, d;
        CivilFromDays(end, y, m, d);
        o.today = DateTime {y, m, d};
        // Two race days a weekend, three on the closing one.
        o.days = static_cast<int>(std::min<long>(kWorldDays, 2 * ((end - firstDay) / 7 + 1) + 1));
        o.courses = setup.courses;
        o.firstPedigreeSerial = std::min(101 + world * kSerialsPerWorld, 99000);
        const SampleWorld w = BuildSampleWorld(o);

        for (const SampleDay& day : w.days) {
            if (day.day < firstDay || ((end - day.day) / 7) % setup.everyWeeks != 0)
                continue;
            const long date = day.Yyyymmdd();
            s.raceDays++;
            s.firstDate = s.firstDate == 0 ? date : std::min(s.firstDate, date);
            s.lastDate = std::max(s.lastDate, date);
            int courseIndex = 0;
            for (const SampleCourseDay& cd : day.courses) {
                SampleFile f;
                char stamp[32];
                std::snprintf(stamp, sizeof stamp, "%08ld18%02d00", date, courseIndex++);
                f.name = "RACE" + std::string(stamp) + "_S" + std::to_string(date) + cd.course + ".jvd";
                const long created = Yyyymmdd(day.day + 1);
                for (const SampleRace& race : cd.races) {
                    f.contents += BuildRaRecord(w, race, '7', created, true);
                    f.raRecords++;
                }
                for (const SampleRace& race : cd.races)
                    for (const SampleRunner& r : race.runners) {
                        f.contents += BuildSeRecord(w, race, r, '7', created, true);
                        f.seRecords++;
                    }
                for (const SampleRace& race : cd.races) {
                    f.contents += BuildHrRecord(w, race, '2', created);
                    f.hrRecords++;
                }
                for (const SampleRace& race : cd.races) {
                    f.contents += BuildH1Record(race, '4', created);
                    s.h1Records++;
                }
                for (const SampleRace& race : cd.races) {
                    f.contents += BuildO1Record(race, '4', created);
                    s.o1Records++;
                }
                fs::RewriteFile(fs::Join(dir, f.name), f.contents);
                s.files++;
                s.dayCourses++;
                s.races += static_cast<int>(cd.races.size());
                s.raRecords += f.raRecords;
                s.seRecords += f.seRecords;
                s.hrRecords += f.hrRecords;
                s.bytes += static_cast<long>(f.contents.size());
            }
        }
        end = w.days.front().day - 1;
    }
    return s;
}

} // namespace tervan::sample
