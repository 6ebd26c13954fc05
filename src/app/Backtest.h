// 格言成績: how the runners of each maxim have done over the stored days.
//
// Every day of the day list whose date lies in the chosen range is loaded
// exactly as the window loads it, one after another into one RaceDay, so a
// runner's maxim is the one its race card showed that day. A runner counts
// when its race has a payout line and its 確定着順 is above 0 (runners that
// did not run or have no result yet are left out). It is tallied in the group
// of its maxim ("牡1戦目", "牡3戦目", "牝2戦目" or "該当なし") and in "全体",
// once for the whole range and once in each breakdown (year, racecourse,
// track, distance band, forecast rank). Memory does not grow with the number
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
    long long runners = 0;     // 頭数
    long long first = 0;       // 1着
    long long second = 0;      // 2着
    long long third = 0;       // 3着
    long long unplaced = 0;    // 着外: place 4 or worse
    long long winPayout = 0;   // 単勝払戻: win entries on the runner's horse number (yen per 100)
    long long placePayout = 0; // 複勝払戻: place entries on it
    bool operator==(const BacktestTally&) const = default;
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

struct BacktestResult {
    BacktestGroups total {};
    // Per breakdown (index = BacktestBreakdown), its values in ascending key
    // order; the entry of None stays empty.
    std::array<std::vector<BacktestSection>, kBacktestBreakdownCount> sections;
    int days = 0;          // days loaded
    int races = 0;         // races with a payout line
    bool cancelled = false;
    std::vector<std::string> problems; // CP932: days that could not be loaded, with why

    const std::vector<BacktestSection>& Sections(BacktestBreakdown by) const
    {
        return sections[static_cast<std::size_t>(by)];
    }
};

// The chosen dates, yyyymmdd; 0 leaves that end open.
struct BacktestRange {
    long from = 0;
    long to = 0;
    bool Contains(long date) const { return (from == 0 || date >= from) && (to == 0 || date <= to); }
};

// The date yyyymmdd of a day-list entry ("2006年05月28日東京" gives 20060528);
// 0 when the entry does not start with one.
long DayEntryDate(std::string_view entry);

// The entries of a day list whose dates lie in the range, in list order.
std::vector<std::string> DaysInRange(const std::vector<std::string>& dayList, const BacktestRange& range);

// The group of a runner's maxim text.
MaximGroup GroupOfMaxim(std::string_view maxim);

// Adds the counted runners of a loaded day to the result (races counts too).
void TallyRaceDay(const RaceDay& day, BacktestResult& result);

// done days of total, after each day.
using BacktestProgressFn = std::function<void(int done, int total)>;

// The whole scan over the day list of `base` (CP932). Checks `cancel`
// before each day; a cancelled scan returns what it had with cancelled set.
// Never throws for bad stored files: a day that cannot be loaded is listed
// in problems and left out.
BacktestResult RunBacktest(const std::string& base, const BacktestRange& range, const BacktestProgressFn& progress = {},
                           const std::atomic<bool>* cancel = nullptr);

} // namespace tervan
