// The matching-horse list (該当馬リスト, StringGrid1) as cell texts: every
// runner of the loaded day that satisfies a maxim, race by race in race-list
// order and by horse number within a race, with a row index that names the
// race slot and runner of each row.
#pragma once

#include "app/RaceDay.h"
#include "views/GridText.h"

#include <array>
#include <string>
#include <vector>

namespace tervan {

inline constexpr int kListColumnCount = 15;
// The result column (finish, popularity and odds, as the card's column 13).
inline constexpr int kListResultColumn = 14;

// Header row texts: "該当レース", "枠", "馬", "格言該当", "馬名", "騎手",
// "調教師", "前1走" ... "前5走", "予想配当", "予配順位", "結果".
const std::array<std::string, kListColumnCount>& MatchListHeaderTexts();

// A runner whose maxim, spaces trimmed, is not empty.
bool IsMatchingRunner(const RunnerSummary& runner);

// Column 0: CourseName(racecourse, 2) + " " + the race number's two digits
// as stored + "R [" + hh + ":" + mm + "]", e.g. "中山 01R [10:05]".
std::string MatchRaceLabel(const RaceSummary& race);

// The 15 cell texts of runner i (0-17) of race slot p.
std::array<std::string, kListColumnCount> MatchListRowTexts(const RaceDay& day, int slot, int runner);

// Which runner a list row shows (the hidden row index StringGrid3).
struct MatchListRow {
    int race = -1;   // race slot 0-11
    int runner = -1; // runner index 0-17 (horse number - 1)
};

// The list of the day's runners that satisfy a maxim, race by race.
struct MatchList {
    TextGrid grid;                   // header row + one row per matching runner
    std::vector<MatchListRow> index; // index[r] names grid row r (index[0] is the header: -1, -1)
    int count = 0;                   // matching runners; the grid is shown only when there are any
};
MatchList BuildMatchList(const RaceDay& day);

// The list's clipboard text: the day-list entry as heading, then the grid.
std::string MatchListCopyText(const RaceDay& day);

} // namespace tervan
