// The race card (出馬表, StringGrid2) as cell texts: 14 columns, a header row
// and one row per registered runner. These texts are what the clipboard copy
// and the CSV export write; the painted extras (dates of past runs, sex, age,
// second header lines) are drawn from the race day and are not part of them.
#pragma once

#include "app/RaceDay.h"
#include "views/GridText.h"

#include <array>
#include <string>

namespace tervan {

inline constexpr int kCardColumnCount = 14;

// Header row texts: "枠", "馬", "格言該当", "馬名", "騎手", "調教師", "前1走" ...
// "前5走", "予想配当", "予配順位", "結果".
const std::array<std::string, kCardColumnCount>& RaceCardHeaderTexts();

// Forecast odds above 0 with one decimal in 6 characters ("  12.3"), else empty.
std::string ForecastOddsCellText(double odds);
// "%2d" of a rank of 1 or more, else empty.
std::string ForecastRankCellText(int rank);
// The result cell: place "%2d着" or 4 spaces, 2 spaces, popularity "%2d人" or
// 4 spaces, 2 spaces, win odds in 6 characters or 6 spaces (" 1着   3人     5.2").
std::string ResultCellText(int finishingPlace, int popularity, double winOdds);

// The 14 cell texts of runner i (0-17) of a race.
std::array<std::string, kCardColumnCount> RaceCardRowTexts(const RaceSummary& race, int runner);

// The number of card rows below the header: the registered count's value,
// held to 0-18.
int RaceCardRunnerCount(const RaceSummary& race);

// The card of one race as DatListClick fills it, before its sort: the header
// row, then row r from runner r - 1.
struct RaceCard {
    TextGrid grid;
    // False when a runner has no positive bracket number: the tabs stay
    // hidden and `incompleteMessage` is shown.
    bool complete = true;
    std::string incompleteMessage; // "東京11Rはデータ作成が未完了です。"
};
RaceCard MakeRaceCard(const RaceSlot& slot);

// The copy and CSV heading of the card: the header strip's date line and the
// race number as "%2dR" ("2005年 1月 5日中山 1回 2日 1R").
std::string RaceCardHeading(const RaceSummary& race);

// The card as it stands after the race display (filled, then sorted by horse
// number) and its clipboard text.
TextGrid DisplayedRaceCard(const RaceSlot& slot);
std::string RaceCardCopyText(const RaceSlot& slot);

} // namespace tervan
