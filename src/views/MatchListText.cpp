#include "views/MatchListText.h"

#include "reference/FixedRecord.h"
#include "reference/KeibaFunc.h"
#include "reference/ShiftJis.h"
#include "views/RaceCardText.h"

namespace tervan {

const std::array<std::string, kListColumnCount>& MatchListHeaderTexts()
{
    static const std::array<std::string, kListColumnCount> texts = {
        SJ("該当レース"), SJ("枠"), SJ("馬"), SJ("格言該当"), SJ("馬名"), SJ("騎手"), SJ("調教師"),
        SJ("前1走"), SJ("前2走"), SJ("前3走"), SJ("前4走"), SJ("前5走"), SJ("予想配当"), SJ("予配順位"),
        SJ("結果"),
    };
    return texts;
}

bool IsMatchingRunner(const RunnerSummary& runner)
{
    return !TrimSpaces(runner.maxim).empty();
}

std::string MatchRaceLabel(const RaceSummary& race)
{
    return KeibaFunc::CourseName(Mid(race.raceKey, 9, 2), 2) + " " + MidStr(race.raceKey, 15, 2) + "R ["
        + MidStr(race.postTime, 1, 2) + ":" + MidStr(race.postTime, 3, 2) + "]";
}

std::array<std::string, kListColumnCount> MatchListRowTexts(const RaceDay& day, int slot, int runner)
{
    std::array<std::string, kListColumnCount> cells;
    if (slot < 0 || slot >= kRaceCapacity || runner < 0 || runner >= kRunnerCapacity)
        return cells;
    const RaceSummary& race = day.slots[static_cast<std::size_t>(slot)].summary;
    cells[0] = MatchRaceLabel(race);
    // Columns 1-14 are the race card's columns 0-13.
    auto card = RaceCardRowTexts(race, runner);
    for (int c = 0; c < kCardColumnCount; ++c)
        cells[static_cast<std::size_t>(c + 1)] = std::move(card[static_cast<std::size_t>(c)]);
    return cells;
}

MatchList BuildMatchList(const RaceDay& day)
{
    MatchList list;
    list.index.push_back(MatchListRow{});
    for (int p = 0; p < kRaceCapacity; ++p)
        for (int i = 0; i < kRunnerCapacity; ++i)
            if (IsMatchingRunner(day.slots[static_cast<std::size_t>(p)].summary.runners[static_cast<std::size_t>(i)]))
                list.index.push_back(MatchListRow{p, i});
    list.count = static_cast<int>(list.index.size()) - 1;

    list.grid = TextGrid(kListColumnCount, list.count + 1);
    const auto& header = MatchListHeaderTexts();
    for (int c = 0; c < kListColumnCount; ++c)
        list.grid.SetCell(c, 0, header[static_cast<std::size_t>(c)]);
    for (int row = 1; row <= list.count; ++row) {
        const MatchListRow& at = list.index[static_cast<std::size_t>(row)];
        const auto cells = MatchListRowTexts(day, at.race, at.runner);
        for (int c = 0; c < kListColumnCount; ++c)
            list.grid.SetCell(c, row, cells[static_cast<std::size_t>(c)]);
    }
    return list;
}

std::string MatchListCopyText(const RaceDay& day)
{
    return CopyWholeGridText(BuildMatchList(day).grid, day.dayEntry);
}

} // namespace tervan
