// The results panel ("成績結果"): the race's official payouts for five bet
// kinds, one column of three labels (result, popularity, payout) per paid
// entry slot. Texts are CP932.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/RaceDay.h"

namespace tervan {

enum class BetKind { Win, Place, BracketQuinella, Quinella, Wide };
inline constexpr int kBetKindCount = 5;

// Slots of each bet kind (3, 5, 3, 3, 7: 21 slots, 63 labels).
int BetSlotCount(BetKind bet);
// The bet's title: "単勝", "複勝", "枠連", "馬連", "ﾜｲﾄﾞ".
const std::string& BetTitle(BetKind bet);

// The three labels of one slot.
struct ResultSlotTexts {
    bool occupied = false;
    std::string result;     // horse number "%2d" (単勝, 複勝) or the pair label as stored
    std::string popularity; // "%2d" when 1 or more, else empty
    std::string payout;     // "%8d", also when 0
};

// The slot's texts: empty texts for an empty slot (a horse number of 0, or a
// pair label that is blank or " 0- 0").
ResultSlotTexts WinPlaceSlotTexts(const HorsePayout& payout);
ResultSlotTexts PairSlotTexts(const PairPayout& payout);

// One step of the panel fill: the slot and its three label texts.
struct ResultSlotFill {
    BetKind bet;
    int slot; // 0-based
    ResultSlotTexts texts;
};

// The panel fill of a race in its order: 単勝, 枠連 and 馬連 slots 1-3 together
// (per slot: 単勝, 枠連, 馬連), then 複勝 slots 1-5, then ﾜｲﾄﾞ slots 1-7; all 21
// slots, so every label is written and nothing of an earlier race survives.
std::vector<ResultSlotFill> FillResultsPanel(const RaceSummary& race);

// The panel's layout.
enum class ResultRow { Result = 0, Popularity = 1, Payout = 2 };
// Row captions "結果：", "人気：", "配当：".
const std::string& ResultRowCaption(ResultRow row);
// Name of the value label of a slot (0-based) and row, e.g. "Label3D19"; empty
// outside the bet's slots.
const char* ResultLabelName(BetKind bet, int slot, ResultRow row);
// Left edge of a slot's labels: 49 + 64 * slot.
int ResultSlotLeft(int slot);
// Top of a bet's block (its title); the rows are 12, 27 and 42 px lower.
int ResultBlockTop(BetKind bet);
int ResultRowTop(BetKind bet, ResultRow row);
// Row background: result #FACDD1, popularity #FFFF8E, payout #CDF3F3.
unsigned ResultRowColour(ResultRow row);
inline constexpr int kResultLabelWidth = 60;
inline constexpr int kResultLabelHeight = 15;
inline constexpr int kResultLabelPixelSize = 12; // bold, centred, "ＭＳ ゴシック", recessed border

} // namespace tervan
