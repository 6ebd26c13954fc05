#include "sample/SampleFeed.h"

#include "acquisition/JVData_Structure.h"
#include "acquisition/JVLinkStandIn.h"
#include "platform/FileSystem.h"
#include "sample/RecordLayout.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>

namespace tervan::sample {
namespace {

namespace RA = JVData::RA;
namespace SE = JVData::SE;
namespace HR = JVData::HR;

// Positions of fields the program does not read (JV-Data layout).
constexpr std::size_t kRaWeekday = 28, kRaSpecialNumber = 29, kRaShort10 = 573, kRaShort6 = 593, kRaShort3 = 605,
                      kRaEdition = 612, kRaTypeCode = 617, kRaCondition2 = 623, kRaCondition3 = 626,
                      kRaCondition4 = 629, kRaCondition5 = 632, kRaPrizes = 714, kRaStarters = 884,
                      kRaFinishers = 886, kRaWeather = 888, kRaTurfGoing = 889, kRaDirtGoing = 890, kRaLaps = 891,
                      kRaFirst3f = 970, kRaFirst4f = 973, kRaLast3f = 976, kRaLast4f = 979, kRaCorners = 982;
constexpr std::size_t kSeBreed = 80, kSeCoat = 81, kSeAge = 83, kSeEastWest = 85, kSeOwnerCode = 99,
                      kSeOwnerName = 105, kSeSilks = 169, kSeBlinkers = 295, kSeBodyWeight = 325,
                      kSeBodySign = 328, kSeBodyDiff = 329, kSeArrival = 333, kSeDeadHeat = 337,
                      kSeDeadHeatCount = 338, kSeTime = 339, kSeCorner1 = 352, kSePrize = 366, kSeLast4f = 388,
                      kSeLast3f = 391, kSeRival = 394, kSeTimeDiff = 532, kSeStyle = 553;
constexpr std::size_t kHrRegistered = 28, kHrStarters = 30;
constexpr JVData::Repeat kHrExacta {454, 16, 6}, kHrTrio {550, 18, 3}, kHrTrifecta {604, 19, 6};

// "mssf": minutes, seconds, tenths.
int TimeField(int tenths)
{
    return (tenths / 600) * 1000 + ((tenths % 600) / 10) * 10 + tenths % 10;
}

void PutConditions(RecordBuilder& b, const SampleRace& race)
{
    const long code = std::strtol(race.conditionCode.c_str(), nullptr, 10);
    switch (race.ageGroup) {
    case AgeGroup::Two:
        b.Number(kRaCondition2, 3, code);
        break;
    case AgeGroup::Three:
        b.Number(kRaCondition3, 3, code);
        break;
    case AgeGroup::ThreeUp:
        b.Number(kRaCondition3, 3, code).Number(kRaCondition4, 3, code).Number(kRaCondition5, 3, code);
        break;
    case AgeGroup::FourUp:
        b.Number(kRaCondition4, 3, code).Number(kRaCondition5, 3, code);
        break;
    }
    b.Text(RA::kConditionYoungest, race.conditionCode);
}

const SampleRunner* RunnerAtPlace(const SampleRace& race, int arrival)
{
    for (const SampleRunner& r : race.runners)
        if (r.arrival == arrival)
            return &r;
    return nullptr;
}

void PutLaps(RecordBuilder& b, const SampleRace& race)
{
    const SampleRunner* winner = RunnerAtPlace(race, 1);
    if (!winner || race.surface == Surface::Jump || race.distance <= 0)
        return;
    const int laps = std::min((race.distance + 199) / 200, 25);
    const int firstLength = race.distance - 200 * (laps - 1);
    std::vector<int> lap(static_cast<std::size_t>(laps));
    const double perMetre = winner->timeTenths / static_cast<double>(race.distance);
    int sum = 0;
    for (int i = 0; i < laps; ++i) {
        const int length = i == 0 ? firstLength : 200;
        // A quick start, a steadier middle and a faster finish.
        double shape = 1.0;
        if (i == 0)
            shape = 1.06;
        else if (i == 1)
            shape = 0.93;
        else if (i >= laps - 3)
            shape = 0.97;
        else
            shape = 1.02;
        lap[static_cast<std::size_t>(i)] = static_cast<int>(perMetre * length * shape + 0.5);
        sum += lap[static_cast<std::size_t>(i)];
    }
    lap.back() += winner->timeTenths - sum;
    for (int i = 0; i < laps; ++i)
        b.Number(kRaLaps + 3 * static_cast<std::size_t>(i), 3, std::max(lap[static_cast<std::size_t>(i)], 0));
    if (laps >= 4) {
        b.Number(kRaFirst3f, 3, lap[0] + lap[1] + lap[2]);
        b.Number(kRaFirst4f, 3, lap[0] + lap[1] + lap[2] + lap[3]);
        const std::size_t n = lap.size();
        b.Number(kRaLast3f, 3, lap[n - 1] + lap[n - 2] + lap[n - 3]);
        b.Number(kRaLast4f, 3, lap[n - 1] + lap[n - 2] + lap[n - 3] + lap[n - 4]);
    }
}

void PutCorners(RecordBuilder& b, const SampleRace& race)
{
    std::size_t block = 0;
    for (int c = 0; c < 4; ++c) {
        std::vector<std::pair<int, int>> at;
        for (const SampleRunner& r : race.runners)
            if (r.corners[static_cast<std::size_t>(c)] > 0)
                at.push_back({r.corners[static_cast<std::size_t>(c)], r.horseNumber});
        if (at.empty())
            continue;
        std::sort(at.begin(), at.end());
        std::string text;
        for (const auto& a : at) {
            if (!text.empty())
                text += ',';
            text += std::to_string(a.second);
        }
        const std::size_t pos = kRaCorners + 72 * block++;
        b.Number(pos, 1, c + 1).Number(pos + 1, 1, 1).Text(pos + 2, 70, text);
    }
}

void PutTimeDiff(RecordBuilder& b, int diffTenths)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "%c%03d", diffTenths < 0 ? '-' : '+', std::min(std::abs(diffTenths), 999));
    b.Text(kSeTimeDiff, 4, buf);
}

void PutBodyWeight(RecordBuilder& b, int weight, int diff, bool first)
{
    b.Number(kSeBodyWeight, 3, weight);
    b.Char(kSeBodySign, first || diff == 0 ? ' ' : diff > 0 ? '+' : '-');
    b.Number(kSeBodyDiff, 3, std::abs(diff));
}

void PutPairs(RecordBuilder& b, JVData::Repeat where, const std::vector<PayoutEntry>& entries, std::size_t numberWidth,
              std::size_t popularityWidth)
{
    for (std::size_t e = 0; e < entries.size() && e < where.count; ++e) {
        const PayoutEntry& x = entries[e];
        std::size_t pos = where.At(e);
        for (int n : x.combination) {
            b.Number(pos, numberWidth, n);
            pos += numberWidth;
        }
        b.Number(pos, HR::kPayoutWidth, x.yen);
        b.Number(pos + HR::kPayoutWidth, popularityWidth, x.popularity);
    }
}

// What every 馬毎レース情報 record carries, today's runner or a past run: the
// draw, the horse, its trainer and owner, the age and the weight carried.
template <class Run>
void PutSeEntry(RecordBuilder& b, const SampleWorld& world, const SampleHorse& h, const Run& run)
{
    const Person& trainer = world.trainers[static_cast<std::size_t>(h.trainer)];
    const Owner& owner = world.owners[static_cast<std::size_t>(h.owner)];
    b.Number(SE::kBracket, run.bracket).Number(SE::kHorseNumber, run.horseNumber);
    b.Text(SE::kPedigreeNumber, h.pedigree).Wide(SE::kHorseName, h.name);
    b.Char(SE::kSexCode.pos, h.sex).Char(kSeBreed, '1').Text(kSeCoat, 2, h.coat).Number(kSeAge, 2, run.age);
    b.Char(kSeEastWest, h.eastWest);
    b.Text(SE::kTrainerCode, trainer.code).Wide(SE::kTrainerName, trainer.name);
    b.Text(kSeOwnerCode, 6, owner.code).Wide(kSeOwnerName, 64, owner.name).Wide(kSeSilks, 60, owner.silks);
    b.Number(SE::kWeightCarried, run.weightCarried);
}

} // namespace

long Yyyymmdd(long day)
{
    int y, m, d;
    CivilFromDays(day, y, m, d);
    return y * 10000L + m * 100L + d;
}

std::string BuildRaRecord(const SampleWorld& world, const SampleRace& race, char division, long created, bool withResults)
{
    (void)world;
    RecordBuilder b(RecordKind::RA);
    b.Head(division, created).RaceKey(race.Key());
    b.Number(kRaWeekday, 1, WeekdayCode(race.day));
    b.Number(kRaSpecialNumber, 4, race.specialNumber);
    b.Wide(RA::kRaceName, race.name);
    if (race.grade != ' ') {
        b.Wide(kRaShort10, 20, race.name).Wide(kRaShort6, 12, race.name).Wide(kRaShort3, 6, race.name);
        b.Number(kRaEdition, 3, race.edition);
    }
    b.Text(RA::kGradeCode, std::string(1, race.grade));
    b.Text(kRaTypeCode, 2, race.TypeCode());
    b.Text(RA::kWeightType, std::string(1, race.weightType));
    PutConditions(b, race);
    b.Number(RA::kDistance, race.distance);
    b.Text(RA::kTrackCode, race.trackCode);
    for (std::size_t i = 0; i < race.prizes.size(); ++i)
        b.Number(kRaPrizes + 8 * i, 8, race.prizes[i]);
    b.Number(RA::kPostTime, race.postTime);
    const int n = static_cast<int>(race.runners.size());
    b.Number(RA::kRegisteredRunners, n);
    b.Number(kRaStarters, 2, n);
    if (withResults) {
        b.Number(kRaFinishers, 2, n);
        b.Char(kRaWeather, race.weather);
        if (race.surface != Surface::Dirt)
            b.Char(kRaTurfGoing, race.turfGoing);
        if (race.surface == Surface::Dirt)
            b.Char(kRaDirtGoing, race.dirtGoing);
        PutLaps(b, race);
        PutCorners(b, race);
    }
    return b.Take();
}

std::string BuildSeRecord(const SampleWorld& world, const SampleRace& race, const SampleRunner& r, char division,
                          long created, bool withResults)
{
    const SampleHorse& h = world.Horse(r);
    const Person& jockey = world.Jockey(race, r);
    RecordBuilder b(RecordKind::SE);
    b.Head(division, created).RaceKey(race.Key());
    PutSeEntry(b, world, h, r);
    b.Char(kSeBlinkers, r.blinkers ? '1' : '0');
    b.Text(SE::kJockeyCode, jockey.code).Wide(SE::kJockeyName, jockey.name);
    if (!withResults)
        return b.Take();

    PutBodyWeight(b, r.bodyWeight, r.bodyWeightDiff, r.firstStart);
    b.Number(kSeArrival, 2, r.arrival).Number(SE::kFinalPlace, r.place);
    b.Number(kSeDeadHeat, 1, r.deadHeat ? 1 : 0).Number(kSeDeadHeatCount, 1, r.deadHeat ? 1 : 0);
    b.Number(kSeTime, 4, TimeField(r.timeTenths));
    for (std::size_t c = 0; c < 4; ++c)
        b.Number(kSeCorner1 + 2 * c, 2, r.corners[c]);
    b.Number(SE::kWinOdds, r.oddsTenths).Number(SE::kWinPopularity, r.popularity);
    b.Number(kSePrize, 8, r.prize);
    if (r.last3fTenths > 0)
        b.Number(kSeLast4f, 3, r.last3fTenths + 118).Number(kSeLast3f, 3, r.last3fTenths);
    // The rival: the winner, or for the winner the second home.
    const SampleRunner* winner = RunnerAtPlace(race, 1);
    const SampleRunner* second = RunnerAtPlace(race, 2);
    const SampleRunner* rival = (winner == &r) ? second : winner;
    if (rival) {
        const SampleHorse& rh = world.Horse(*rival);
        b.Text(kSeRival, 10, rh.pedigree).Wide(kSeRival + 10, 36, rh.name);
        PutTimeDiff(b, r.timeTenths - rival->timeTenths);
    }
    // Running style from the position at the first corner counted.
    int early = 0;
    for (int c : r.corners)
        if (c > 0) {
            early = c;
            break;
        }
    if (early > 0) {
        const int n = static_cast<int>(race.runners.size());
        b.Number(kSeStyle, 1, early == 1 ? 1 : early * 3 <= n ? 2 : early * 3 <= 2 * n ? 3 : 4);
    }
    return b.Take();
}

std::string BuildPastSeRecord(const SampleWorld& world, const PastRun& run, long created)
{
    const SampleHorse& h = world.horses[static_cast<std::size_t>(run.horse)];
    const std::vector<Person>& people = h.jumper ? world.jumpJockeys : world.jockeys;
    const Person& jockey = people[static_cast<std::size_t>(run.jockey)];
    RecordBuilder b(RecordKind::SE);
    b.Head('7', created).RaceKey(run.Key());
    PutSeEntry(b, world, h, run);
    b.Text(SE::kJockeyCode, jockey.code).Wide(SE::kJockeyName, jockey.name);
    PutBodyWeight(b, run.bodyWeight, run.bodyWeightDiff, run.bodyWeightDiff == 0);
    b.Number(kSeArrival, 2, run.place).Number(SE::kFinalPlace, run.place);
    b.Number(kSeTime, 4, TimeField(run.timeTenths));
    b.Number(SE::kWinOdds, run.oddsTenths).Number(SE::kWinPopularity, run.popularity);
    return b.Take();
}

std::string BuildHrRecord(const SampleWorld& world, const SampleRace& race, char division, long created)
{
    (void)world;
    RecordBuilder b(RecordKind::HR);
    b.Head(division, created).RaceKey(race.Key());
    const int n = static_cast<int>(race.runners.size());
    b.Number(kHrRegistered, 2, n).Number(kHrStarters, 2, n);
    const SamplePayouts& p = race.payouts;
    PutPairs(b, HR::kWin, p.win, 2, 2);
    PutPairs(b, HR::kPlace, p.place, 2, 2);
    PutPairs(b, HR::kBracketQuinella, p.bracketQuinella, 1, 2);
    PutPairs(b, HR::kQuinella, p.quinella, 2, 3);
    PutPairs(b, HR::kWide, p.wide, 2, 3);
    PutPairs(b, kHrExacta, p.exacta, 2, 3);
    PutPairs(b, kHrTrio, p.trio, 2, 3);
    PutPairs(b, kHrTrifecta, p.trifecta, 2, 4);
    return b.Take();
}

namespace {

struct PendingFile {
    SampleFile file;
    long long natural = -1; // wanted time stamp as yyyymmddhhnnss-ordered seconds; -1 = as early as possible
    int order = 0;
    std::string suffix;
    bool history = false; // runs of the sample's horses before it: this week's "RCVN" data
};

long long Seconds(long day, int hour, int minute)
{
    return static_cast<long long>(day) * 86400 + hour * 3600 + minute * 60;
}

std::string Stamp(long long seconds)
{
    const long day = static_cast<long>(seconds / 86400);
    const int rest = static_cast<int>(seconds % 86400);
    DateTime t;
    CivilFromDays(day, t.year, t.month, t.day);
    t.hour = rest / 3600;
    t.minute = rest / 60 % 60;
    t.second = rest % 60;
    return FormatCompact(t);
}

void Add(SampleFile& f, std::string record, RecordKind kind)
{
    f.contents += record;
    if (kind == RecordKind::RA)
        f.raRecords++;
    else if (kind == RecordKind::SE)
        f.seRecords++;
    else
        f.hrRecords++;
}

} // namespace

std::vector<SampleFile> BuildSampleFiles(const SampleWorld& world)
{
    // Days this many days before today or earlier are old to an import made
    // today: their final runner records do not reach the runner slot files.
    constexpr long kOldDays = 4;
    std::vector<PendingFile> pending;
    int order = 0;

    // Runs before the sample, one file per month.
    std::map<long, PendingFile> history;
    for (const PastRun& run : world.pastRuns) {
        const long month = Yyyymmdd(run.day) / 100;
        PendingFile& f = history[month];
        if (f.suffix.empty()) {
            f.suffix = "_H" + std::to_string(month);
            f.history = true;
            f.order = order++;
        }
        Add(f.file, BuildPastSeRecord(world, run, Yyyymmdd(std::min(run.day + 2, world.today))), RecordKind::SE);
    }
    for (auto& [month, f] : history)
        pending.push_back(std::move(f));

    std::vector<SampleFile> realtime;
    for (const SampleDay& day : world.days) {
        const std::string date = std::to_string(day.Yyyymmdd());
        PendingFile entries;
        entries.suffix = "_E" + date;
        entries.natural = Seconds(day.day - 1, 10, 0);
        entries.order = order++;
        for (const SampleCourseDay& cd : day.courses)
            for (const SampleRace& race : cd.races) {
                Add(entries.file, BuildRaRecord(world, race, '2', Yyyymmdd(day.day - 1), false), RecordKind::RA);
                for (const SampleRunner& r : race.runners)
                    Add(entries.file, BuildSeRecord(world, race, r, '2', Yyyymmdd(day.day - 1), false), RecordKind::SE);
            }
        pending.push_back(std::move(entries));

        if (!day.isToday) {
            PendingFile results;
            results.suffix = "_R" + date;
            results.natural = Seconds(day.day, 18, 0);
            results.order = order++;
            for (const SampleCourseDay& cd : day.courses)
                for (const SampleRace& race : cd.races) {
                    Add(results.file, BuildRaRecord(world, race, '7', day.Yyyymmdd(), true), RecordKind::RA);
                    // Runner slot files of older days take only the results of
                    // the day itself (division 1-6), as the results update
                    // stored them that evening; final records go to the horse
                    // histories.
                    if (day.day <= world.today - kOldDays)
                        for (const SampleRunner& r : race.runners)
                            Add(results.file, BuildSeRecord(world, race, r, '6', day.Yyyymmdd(), true), RecordKind::SE);
                    for (const SampleRunner& r : race.runners)
                        Add(results.file, BuildSeRecord(world, race, r, '7', day.Yyyymmdd(), true), RecordKind::SE);
                    Add(results.file, BuildHrRecord(world, race, '2', day.Yyyymmdd()), RecordKind::HR);
                }
            pending.push_back(std::move(results));
        } else {
            for (const SampleCourseDay& cd : day.courses) {
                SampleFile f;
                f.name = std::string(JVLinkStandIn::kRealtimeFolder) + "/0B12" + date + "_" + cd.course + ".jvd";
                for (const SampleRace& race : cd.races) {
                    Add(f, BuildRaRecord(world, race, '6', day.Yyyymmdd(), true), RecordKind::RA);
                    for (const SampleRunner& r : race.runners)
                        Add(f, BuildSeRecord(world, race, r, '6', day.Yyyymmdd(), true), RecordKind::SE);
                    Add(f, BuildHrRecord(world, race, '1', day.Yyyymmdd()), RecordKind::HR);
                }
                realtime.push_back(std::move(f));
            }
        }
    }

    // Time stamps: each file at its natural time, but none before the start
    // of the window (three days before today); those earlier are squeezed
    // into its start ten seconds apart, keeping their order.
    std::stable_sort(pending.begin(), pending.end(), [](const PendingFile& a, const PendingFile& b) {
        return a.natural != b.natural ? a.natural < b.natural : a.order < b.order;
    });
    const long long floor = Seconds(world.today - 3, 0, 0);
    long long squeezed = floor;
    std::vector<SampleFile> files;
    for (PendingFile& p : pending) {
        long long stamp = p.natural;
        if (stamp < floor) {
            stamp = squeezed;
            squeezed += 10;
        }
        p.file.name = (p.history ? "RCVN" : "RACE") + Stamp(stamp) + p.suffix + ".jvd";
        files.push_back(std::move(p.file));
    }
    for (SampleFile& f : realtime)
        files.push_back(std::move(f));
    return files;
}

SampleFeedSummary WriteSampleFeed(const std::string& dir, const SampleOptions& options, bool replace)
{
    return WriteSampleFeed(dir, BuildSampleWorld(options), replace);
}

SampleFeedSummary WriteSampleFeed(const std::string& dir, const SampleWorld& world, bool replace)
{
    const std::string realtimeDir = fs::Join(dir, JVLinkStandIn::kRealtimeFolder);
    std::vector<std::string> old;
    for (const std::string& name : fs::ListFiles(dir, "*.jvd"))
        old.push_back(fs::Join(dir, name));
    for (const std::string& name : fs::ListFiles(realtimeDir, "*.jvd"))
        old.push_back(fs::Join(realtimeDir, name));
    if (!old.empty()) {
        if (!replace)
            throw std::runtime_error("the folder already holds a feed (*.jvd files); choose an empty folder or replace it");
        for (const std::string& path : old)
            fs::DeleteFile(path);
    }
    fs::CreateDirs(dir);
    fs::CreateDirs(realtimeDir);

    SampleFeedSummary s;
    for (const SampleFile& f : BuildSampleFiles(world)) {
        fs::RewriteFile(fs::Join(dir, f.name), f.contents);
        s.files++;
        s.raRecords += f.raRecords;
        s.seRecords += f.seRecords;
        s.hrRecords += f.hrRecords;
        s.bytes += static_cast<long long>(f.contents.size());
    }
    s.raceDays = static_cast<int>(world.days.size());
    for (const SampleDay& d : world.days) {
        s.dayCourses += static_cast<int>(d.courses.size());
        for (const SampleCourseDay& cd : d.courses)
            s.races += static_cast<int>(cd.races.size());
    }
    return s;
}

} // namespace tervan::sample
