#include "app/Backtest.h"

#include "acquisition/JVData_Structure.h"
#include "reference/FixedRecord.h"
#include "reference/ShiftJis.h"

#include <algorithm>
#include <exception>
#include <memory>

namespace tervan {
namespace {

void AddToGroups(BacktestGroups& groups, MaximGroup group, const RunnerOutcome& o)
{
    AddOutcome(groups[static_cast<std::size_t>(group)], o);
    AddOutcome(groups[static_cast<std::size_t>(MaximGroup::All)], o);
}

// The section of `key`, made in its ascending place when it is new.
BacktestGroups& SectionOf(std::vector<BacktestSection>& sections, int key)
{
    auto it = std::lower_bound(sections.begin(), sections.end(), key,
                               [](const BacktestSection& s, int k) { return s.key < k; });
    if (it == sections.end() || it->key != key)
        it = sections.insert(it, BacktestSection {key, {}});
    return it->groups;
}

int DistanceKey(std::string_view distance)
{
    const long long metres = ReadDecimal(distance);
    if (metres <= 0)
        return 4;
    if (metres <= 1400)
        return 0;
    if (metres <= 1800)
        return 1;
    if (metres <= 2200)
        return 2;
    return 3;
}

int RankKey(int rank)
{
    if (rank <= 0)
        return 3;
    if (rank <= 3)
        return 0;
    if (rank <= 6)
        return 1;
    return 2;
}

int CourseKey(std::string_view raceKey)
{
    const std::string_view code = Mid(raceKey, 9, 2);
    int key = 0;
    for (std::size_t i = 0; i < 2; ++i)
        key = key * 256 + (i < code.size() ? static_cast<unsigned char>(code[i]) : ' ');
    return key;
}

// The sum of the entries that pay on horse number `horse`.
template <std::size_t N>
long long PaidOn(const std::array<HorsePayout, N>& entries, int horse)
{
    long long sum = 0;
    for (const HorsePayout& e : entries)
        if (e.horseNumber == horse)
            sum += e.payout;
    return sum;
}

} // namespace

int TrackKindOf(std::string_view trackCode)
{
    const long long code = ReadDecimal(trackCode);
    if (code >= 10 && code <= 22)
        return 0; // 芝
    if (code >= 23 && code <= 29)
        return 1; // ダート
    if (code >= 51 && code <= 59)
        return 2; // 障害
    return 3;
}

long DayEntryDate(std::string_view entry)
{
    // yyyy年mm月dd日: the two-byte 年 and 月 sit between the numbers.
    const std::string_view y = Mid(entry, 1, 4), m = Mid(entry, 7, 2), d = Mid(entry, 11, 2);
    for (std::string_view part : {y, m, d}) {
        if (part.empty())
            return 0;
        for (char c : part)
            if (c < '0' || c > '9')
                return 0;
    }
    if (Mid(entry, 5, 2) != SJ("年") || Mid(entry, 9, 2) != SJ("月"))
        return 0;
    return static_cast<long>(ReadDecimal(y) * 10000 + ReadDecimal(m) * 100 + ReadDecimal(d));
}

std::vector<std::string> DaysInRange(const std::vector<std::string>& dayList, const BacktestRange& range)
{
    std::vector<std::string> days;
    for (const std::string& entry : dayList) {
        const long date = DayEntryDate(entry);
        if (date > 0 && range.Contains(date))
            days.push_back(entry);
    }
    return days;
}

MaximGroup GroupOfMaxim(std::string_view maxim)
{
    maxim = TrimSpaces(maxim);
    if (maxim == SJ("牡1戦目"))
        return MaximGroup::Male1;
    if (maxim == SJ("牡3戦目"))
        return MaximGroup::Male3;
    if (maxim == SJ("牝2戦目"))
        return MaximGroup::Female2;
    return MaximGroup::NoMaxim;
}

void AddOutcome(BacktestTally& t, const RunnerOutcome& o)
{
    ++t.runners;
    switch (o.place) {
    case 1: ++t.first; break;
    case 2: ++t.second; break;
    case 3: ++t.third; break;
    default: ++t.unplaced; break;
    }
    t.winPayout += o.win;
    if (o.placeSold) {
        ++t.placeRunners;
        if (o.place >= 1 && o.place <= 3)
            ++t.placeTop3;
        t.placePayout += o.placePaid;
    }
}

bool RaceCounted(const RaceSlot& slot)
{
    // The loader fills the payout line only when a payout record of the
    // race was found; otherwise it stays spaces.
    return !TrimSpaces(Mid(slot.payoutLine, 12, 8)).empty();
}

bool PlaceSold(const RaceSummary& race)
{
    return std::any_of(race.placePayouts.begin(), race.placePayouts.end(),
                       [](const HorsePayout& e) { return e.horseNumber > 0; });
}

bool CountedOutcome(const RaceSlot& slot, int runner, bool placeSold, RunnerOutcome& o)
{
    if (runner < 0 || runner >= kRunnerCapacity)
        return false;
    const RaceSummary& race = slot.summary;
    const RunnerSummary& r = race.runners[static_cast<std::size_t>(runner)];
    const int horse = static_cast<int>(ReadDecimal(r.horseNumber));
    if (horse <= 0)
        return false;
    o = RunnerOutcome {};
    o.placeSold = placeSold;
    const std::string_view code = JVData::Get(slot.runnerLines[static_cast<std::size_t>(runner)], JVData::SE::kAbnormalCode);
    switch (code.empty() ? ' ' : code.front()) {
    case '1': // 出走取消
    case '2': // 発走除外
    case '3': // 競走除外
        return false;
    case '4': // 競走中止
    case '5': // 失格
        return true;
    default: // 落馬再騎乗 and 降着 too, at their confirmed places
        if (r.finishingPlace <= 0)
            return false;
        o.place = r.finishingPlace;
        o.win = PaidOn(race.winPayouts, horse);
        o.placePaid = PaidOn(race.placePayouts, horse);
        return true;
    }
}

void TallyRaceDay(const RaceDay& day, BacktestResult& result)
{
    auto& years = result.sections[static_cast<std::size_t>(BacktestBreakdown::Year)];
    auto& courses = result.sections[static_cast<std::size_t>(BacktestBreakdown::Course)];
    auto& tracks = result.sections[static_cast<std::size_t>(BacktestBreakdown::Track)];
    auto& distances = result.sections[static_cast<std::size_t>(BacktestBreakdown::Distance)];
    auto& ranks = result.sections[static_cast<std::size_t>(BacktestBreakdown::Rank)];
    // The race's sections, in four vectors that its runners do not grow.
    BacktestGroups* perRace[4] = {};
    ForEachCountedRunner(
        day,
        [&](const RaceSlot& slot) {
            const RaceSummary& race = slot.summary;
            perRace[0] = &SectionOf(years, static_cast<int>(ReadDecimal(Mid(race.raceKey, 1, 4))));
            perRace[1] = &SectionOf(courses, CourseKey(race.raceKey));
            perRace[2] = &SectionOf(tracks, TrackKindOf(race.trackCode));
            perRace[3] = &SectionOf(distances, DistanceKey(race.distance));
        },
        [&](const RaceSlot& slot, int i, const RunnerOutcome& o) {
            const RunnerSummary& r = slot.summary.runners[static_cast<std::size_t>(i)];
            const MaximGroup group = GroupOfMaxim(r.maxim);
            AddToGroups(result.total, group, o);
            for (BacktestGroups* groups : perRace)
                AddToGroups(*groups, group, o);
            AddToGroups(SectionOf(ranks, RankKey(r.forecastRank)), group, o);
        });
}

int DayScanInfo::ProblemDays() const
{
    std::vector<long> dates;
    for (const BacktestProblem& p : problems)
        if (const long date = DayEntryDate(p.entry); date > 0 && std::find(dates.begin(), dates.end(), date) == dates.end())
            dates.push_back(date);
    return static_cast<int>(dates.size());
}

void ScanStoredDays(const std::string& base, DayScanInfo& info, const ScannedDayFn& onDay,
                    const BacktestProgressFn& progress, const std::atomic<bool>* cancel)
{
    info.covered = info.range;
    std::vector<std::string> days;
    try {
        days = DaysInRange(MakeDayList(base), info.range);
    } catch (const std::exception& e) {
        info.problems.push_back(BacktestProblem {{}, {e.what()}});
        return;
    }
    // Oldest first, as the days were run; the racecourses of a date stand together.
    std::reverse(days.begin(), days.end());
    const int total = static_cast<int>(days.size());
    auto day = std::make_unique<RaceDay>();
    long date = 0, countedDate = 0;
    for (int i = 0; i < total; ++i) {
        const std::string& entry = days[static_cast<std::size_t>(i)];
        const long entryDate = DayEntryDate(entry);
        if (entryDate != date) {
            if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
                info.cancelled = true;
                break;
            }
            date = entryDate;
        }
        DayLoadResult loaded;
        try {
            loaded = LoadRaceDay(*day, base, entry);
        } catch (const std::exception& e) {
            loaded.status = DayLoadResult::Failed;
            loaded.message = e.what();
        }
        if (loaded.status == DayLoadResult::Loaded && loaded.warnings.empty()) {
            ++info.meetings;
            if (date != countedDate) {
                ++info.days;
                countedDate = date;
            }
            for (int p = 0; p < day->raceCount && p < kRaceCapacity; ++p)
                info.races += RaceCounted(day->slots[static_cast<std::size_t>(p)]) ? 1 : 0;
            if (onDay)
                onDay(*day);
        } else {
            // Read in part counts as not read: its figures would be short.
            BacktestProblem problem {entry, std::move(loaded.warnings)};
            if (loaded.status != DayLoadResult::Loaded)
                problem.reasons.insert(problem.reasons.begin(), loaded.message);
            info.problems.push_back(std::move(problem));
        }
        if (progress)
            progress(i + 1, total);
    }
    if (info.cancelled)
        info.covered.to = date; // every racecourse of the dates up to it was scanned; 0 when none
}

BacktestResult RunBacktest(const std::string& base, const BacktestRange& range, const BacktestProgressFn& progress,
                           const std::atomic<bool>* cancel)
{
    BacktestResult result;
    result.range = range;
    ScanStoredDays(base, result, [&result](const RaceDay& day) { TallyRaceDay(day, result); }, progress, cancel);
    return result;
}

} // namespace tervan
