#include "app/Maxim.h"

#include "import/ForecastOddsFile.h"
#include "platform/Clock.h"
#include "reference/FixedRecord.h"
#include "reference/ShiftJis.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace tervan {

bool LineDayNumber(std::string_view line, long& dayNumber)
{
    const long long year = ReadDecimal(Mid(line, 12, 4));
    const long long month = ReadDecimal(Mid(line, 16, 2));
    const long long day = ReadDecimal(Mid(line, 18, 2));
    if (year == 0 || month == 0 || day == 0)
        return false;
    if (!IsCalendarDate(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)))
        return false;
    dayNumber = DaysFromCivil(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
    return true;
}

namespace {

// The 4-character day count text between two day numbers.
std::string CountText(bool complete, long from, long to)
{
    if (!complete)
        return std::string(4, ' ');
    char buf[24];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, to - from);
    const std::size_t len = static_cast<std::size_t>(end - buf);
    // Right-aligned in 4 characters; a longer count keeps its first 4.
    if (len >= 4)
        return std::string(buf, 4);
    std::string text(4 - len, ' ');
    text.append(buf, len);
    return text;
}

} // namespace

std::string DayCountText(std::string_view from, std::string_view to)
{
    long a = 0, b = 0;
    const bool complete = LineDayNumber(from, a) && LineDayNumber(to, b);
    return CountText(complete, a, b);
}

bool GapHolds(std::string_view gap)
{
    std::string_view trimmed = TrimSpaces(gap);
    return !trimmed.empty() && ReadDecimal(trimmed) >= kRestThresholdDays;
}

void ComputeRunGaps(RaceSlot& slot, int runner)
{
    if (runner < 0 || runner >= kRunnerCapacity)
        return;
    const auto& past = slot.pastRunLines[static_cast<size_t>(runner)];
    RunnerSummary& r = slot.summary.runners[static_cast<size_t>(runner)];
    for (int k = 0; k < kPastRunCapacity; ++k)
        r.pastRunKeys[static_cast<size_t>(k)].assign(Mid(past[static_cast<size_t>(k)], 12, 16));
    // Each date is read once: past runs 0-4, then the race itself.
    std::array<long, kPastRunCapacity> days{};
    std::array<bool, kPastRunCapacity> complete{};
    for (int k = 0; k < kPastRunCapacity; ++k)
        complete[static_cast<size_t>(k)] = LineDayNumber(past[static_cast<size_t>(k)], days[static_cast<size_t>(k)]);
    for (int k = 0; k + 1 < kPastRunCapacity; ++k)
        r.pastRunGaps[static_cast<size_t>(k)] = CountText(complete[static_cast<size_t>(k)] && complete[static_cast<size_t>(k + 1)],
                                                          days[static_cast<size_t>(k + 1)], days[static_cast<size_t>(k)]);
    r.pastRunGaps[kPastRunCapacity - 1].assign(4, ' ');
    long raceDay = 0;
    const bool raceComplete = LineDayNumber(slot.raceLine, raceDay);
    r.restDays = CountText(complete[0] && raceComplete, days[0], raceDay);
}

void EvaluateMaxim(RaceSlot& slot, int runner)
{
    if (runner < 0 || runner >= kRunnerCapacity)
        return;
    RunnerSummary& r = slot.summary.runners[static_cast<size_t>(runner)];
    const std::string_view sex = Mid(slot.runnerLines[static_cast<size_t>(runner)], 79, 1);
    if (sex == "1") {
        if (GapHolds(r.pastRunGaps[1]))
            r.maxim = SJ("牡3戦目");
        if (GapHolds(r.restDays))
            r.maxim = SJ("牡1戦目");
    } else if (sex == "2") {
        if (GapHolds(r.pastRunGaps[0]))
            r.maxim = SJ("牝2戦目");
    }
}

void RankForecastOdds(RaceSlot& slot)
{
    auto& runners = slot.summary.runners;
    for (int i = 0; i < kRunnerCapacity; ++i) {
        double odds = 0;
        if (ReadForecastWinOdds(slot.forecastLine, i, odds))
            runners[static_cast<size_t>(i)].forecastOdds = odds;
    }
    std::array<int, kRunnerCapacity> order{};
    std::array<long long, kRunnerCapacity> tenths{};
    int count = 0;
    for (int i = 0; i < kRunnerCapacity; ++i) {
        runners[static_cast<size_t>(i)].forecastRank = 0;
        const double odds = runners[static_cast<size_t>(i)].forecastOdds;
        if (odds > 0) {
            tenths[static_cast<size_t>(i)] = OddsTenths(odds);
            order[static_cast<size_t>(count++)] = i;
        }
    }
    // Runner index i is horse number i + 1, so ties go by index.
    std::sort(order.begin(), order.begin() + count, [&](int a, int b) {
        const long long ta = tenths[static_cast<size_t>(a)], tb = tenths[static_cast<size_t>(b)];
        return ta != tb ? ta < tb : a < b;
    });
    for (int k = 0; k < count; ++k)
        runners[static_cast<size_t>(order[static_cast<size_t>(k)])].forecastRank = k + 1;
}

} // namespace tervan
