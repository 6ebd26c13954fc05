// Rest intervals, the three maxims about starts after a rest, and the rank of
// each runner's forecast win odds within its race.
//
// "牡1戦目": a male on its first start after a rest of at least 56 days;
// "牡3戦目": a male whose rest came before its previous run but one;
// "牝2戦目": a female whose rest came before its previous run.
#pragma once

#include "app/RaceDay.h"

#include <string>
#include <string_view>

namespace tervan {

// A rest of this many days or more counts (eight weeks).
inline constexpr int kRestThresholdDays = 56;

// The day number (days since 1970-01-01) of a stored line's date (bytes
// 12-19). False when the date is incomplete: a zero or blank year, month or
// day, or parts that do not form a calendar date.
bool LineDayNumber(std::string_view line, long& dayNumber);

// Days from the date of line `from` to the date of line `to`, right-aligned
// in 4 characters ("  63"); 4 spaces when either date is incomplete. A count
// that does not fit keeps its first 4 characters.
std::string DayCountText(std::string_view from, std::string_view to);

// True when a gap text, spaces trimmed, is not empty and its value is 56 or more.
bool GapHolds(std::string_view gap);

// Past-run keys, the five past-run gaps and the rest days of runner i.
void ComputeRunGaps(RaceSlot& slot, int runner);
// The maxim of runner i from its sex code and gaps (ComputeRunGaps first).
void EvaluateMaxim(RaceSlot& slot, int runner);
// Forecast odds of all 18 runners from the slot's forecast line, and their
// ranks: ordered by odds rounded to one decimal, then by horse number.
void RankForecastOdds(RaceSlot& slot);

inline void ComputeRunGaps(RaceDay& day, int slot, int runner) { ComputeRunGaps(day.slots.at(static_cast<size_t>(slot)), runner); }
inline void EvaluateMaxim(RaceDay& day, int slot, int runner) { EvaluateMaxim(day.slots.at(static_cast<size_t>(slot)), runner); }
inline void RankForecastOdds(RaceDay& day, int slot) { RankForecastOdds(day.slots.at(static_cast<size_t>(slot))); }

} // namespace tervan
