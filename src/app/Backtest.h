// 格言成績: how the runners of each maxim have done over the stored days.
//
// Every day of the day list whose date lies in the chosen range is loaded
// exactly as the window loads it, one after another into one RaceDay, so a
// runner's maxim is the one its race card showed that day. Only races with a
// payout line count. Of their runners, by the runner line's 異常区分コード:
// 1 出走取消, 2 発走除外 and 3 競走除外 are left out (their stakes are
// refunded); 4 競走中止 and 5 失格 count as 着外 and are paid nothing; every
// other runner counts at its 確定着順 once that is above 0 (runners without a
// result yet are left out). 単勝 figures take every counted runner; 複勝
// figures only those of races where 複勝 was sold (the payout line has 複勝
// entries; fields of 4 or fewer starters have none). A runner is tallied in
// the group of its maxim ("牡1戦目", "牡3戦目", "牝2戦目" or "該当なし") and
// in "全体", once for the whole range and once in each breakdown (year,
// racecourse, track, distance band, forecast rank).
//
// A day that cannot be loaded, or loads only in part (a damaged stored
// file), is left out whole and listed. Memory does not grow with the number
// of days: only the tallies are kept.
#pragma once

#include "app/RaceDay.h"

#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tervan {

// The groups of the table, in the order the table lists them.
enum class MaximGroup { Male1, Male3, Female2, NoMaxim, All };
inline constexpr int kMaximGroupCount = 5;

// Counts and payout sums of one group.
struct BacktestTally {
    long long runners = 0;      // 頭数
    long long first = 0;        // 1着
    long long second = 0;       // 2着
    long long third = 0;        // 3着
    long long unplaced = 0;     // 着外: place 4 or worse, 競走中止, 失格
    long long winPayout = 0;    // 単勝払戻: win entries on the runner's horse number (yen per 100)
    long long placeRunners = 0; // 頭数 in the races where 複勝 was sold
    long long placeTop3 = 0;    // of those, the runners placed 1-3
    long long placePayout = 0;  // 複勝払戻: place entries on the runner's horse number
    bool operator==(const BacktestTally&) const = default;
    BacktestTally& operator+=(const BacktestTally& t)
    {
        runners += t.runners;
        first += t.first;
        second += t.second;
        third += t.third;
        unplaced += t.unplaced;
        winPayout += t.winPayout;
        placeRunners += t.placeRunners;
        placeTop3 += t.placeTop3;
        placePayout += t.placePayout;
        return *this;
    }
};
using BacktestGroups = std::array<BacktestTally, kMaximGroupCount>;

// What the table is broken down by.
enum class BacktestBreakdown { None, Year, Course, Track, Distance, Rank };
inline constexpr int kBacktestBreakdownCount = 6;

// One value of a breakdown and its groups. The key orders the values:
// the year; the racecourse code's two bytes; track 0 芝, 1 ダ, 2 障, 3 other;
// distance band 0 up to 1400 m, 1 to 1800, 2 to 2200, 3 longer, 4 unknown;
// forecast rank 0 ranks 1-3, 1 ranks 4-6, 2 rank 7 and over, 3 none.
struct BacktestSection {
    int key = 0;
    BacktestGroups groups {};
};

// The chosen dates, yyyymmdd; 0 leaves that end open.
struct BacktestRange {
    long from = 0;
    long to = 0;
    bool Contains(long date) const { return (from == 0 || date >= from) && (to == 0 || date <= to); }
    bool operator==(const BacktestRange&) const = default;
};

// A day-list entry left out, and why (CP932). The entry is empty when the
// day list itself could not be read.
struct BacktestProblem {
    std::string entry;
    std::vector<std::string> reasons;
};

// What a scan over the stored days covered; 格言成績 and 格言ラボ share it.
struct DayScanInfo {
    BacktestRange range;   // the range chosen
    // The dates the figures cover: the range chosen or, after a cancel, from
    // its start to the last date whose every racecourse was scanned (to is 0
    // when there was none).
    BacktestRange covered;
    bool cancelled = false;
    int days = 0;          // race days (dates) counted
    int meetings = 0;      // day-list entries (a racecourse on a day) counted
    int races = 0;         // races with a payout line
    std::vector<BacktestProblem> problems; // entries left out, in list order

    // The race days (dates) among the problems.
    int ProblemDays() const;
};

struct BacktestResult : DayScanInfo {
    BacktestGroups total {};
    // Per breakdown (index = BacktestBreakdown), its values in ascending key
    // order; the entry of None stays empty.
    std::array<std::vector<BacktestSection>, kBacktestBreakdownCount> sections;

    const std::vector<BacktestSection>& Sections(BacktestBreakdown by) const
    {
        return sections[static_cast<std::size_t>(by)];
    }
};

// How one counted runner did: its place (0 for 着外 without a place) and what
// it was paid.
struct RunnerOutcome {
    int place = 0;
    long long win = 0;
    long long placePaid = 0;
    bool placeSold = false; // its race sold 複勝
};

// Whether a race counts: the loader found its payout line.
bool RaceCounted(const RaceSlot& slot);
// Whether the race sold 複勝 (its payout line has 複勝 entries).
bool PlaceSold(const RaceSummary& race);
// The outcome of runner i of a counted race; false when the runner is not
// counted (no horse, 出走取消, 発走除外, 競走除外, or no result yet).
bool CountedOutcome(const RaceSlot& slot, int runner, bool placeSold, RunnerOutcome& outcome);
// Adds one counted runner to a tally.
void AddOutcome(BacktestTally& tally, const RunnerOutcome& outcome);

// Walks the counted races of a loaded day: hands each to onRace(slot), then
// each of its counted runners to onRunner(slot, runner, outcome).
template <typename RaceFn, typename RunnerFn>
void ForEachCountedRunner(const RaceDay& day, RaceFn&& onRace, RunnerFn&& onRunner)
{
    for (int p = 0; p < day.raceCount && p < kRaceCapacity; ++p) {
        const RaceSlot& slot = day.slots[static_cast<std::size_t>(p)];
        if (!RaceCounted(slot))
            continue;
        onRace(slot);
        const bool placeSold = PlaceSold(slot.summary);
        for (int i = 0; i < kRunnerCapacity; ++i) {
            RunnerOutcome o;
            if (CountedOutcome(slot, i, placeSold, o))
                onRunner(slot, i, o);
        }
    }
}

// The date yyyymmdd of a day-list entry ("2006年05月28日東京" gives 20060528);
// 0 when the entry does not start with one.
long DayEntryDate(std::string_view entry);

// The entries of a day list whose dates lie in the range, in list order.
std::vector<std::string> DaysInRange(const std::vector<std::string>& dayList, const BacktestRange& range);

// The kind of track of a race line's トラックコード: 0 芝, 1 ダート, 2 障害,
// 3 other.
int TrackKindOf(std::string_view trackCode);

// The group of a runner's maxim text.
MaximGroup GroupOfMaxim(std::string_view maxim);

// Adds the counted runners of a loaded day to the result.
void TallyRaceDay(const RaceDay& day, BacktestResult& result);

// done days of total, after each day.
using BacktestProgressFn = std::function<void(int done, int total)>;

// The scan under both tables: loads every day of the day list of `base`
// whose date lies in info.range, oldest first, into one RaceDay and hands
// each day loaded whole to `onDay`; fills the rest of `info` (races too).
// Checks `cancel` before each new date, so a cancelled scan has counted whole
// dates. Never throws for bad stored files: a day that cannot be loaded whole
// is listed in problems and left out.
using ScannedDayFn = std::function<void(const RaceDay& day)>;
void ScanStoredDays(const std::string& base, DayScanInfo& info, const ScannedDayFn& onDay,
                    const BacktestProgressFn& progress = {}, const std::atomic<bool>* cancel = nullptr);

// The whole scan over the day list of `base` (CP932), oldest day first.
// Checks `cancel` before each new date, so a cancelled scan has counted whole
// dates; it returns what it had with cancelled set. Never throws for bad
// stored files: a day that cannot be loaded whole is listed in problems and
// left out.
BacktestResult RunBacktest(const std::string& base, const BacktestRange& range, const BacktestProgressFn& progress = {},
                           const std::atomic<bool>* cancel = nullptr);

} // namespace tervan
