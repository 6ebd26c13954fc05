#include "views/ResultsPanel.h"

#include "reference/FixedRecord.h"
#include "reference/ShiftJis.h"


namespace tervan {
namespace {

void FillNumbers(ResultSlotTexts& t, int popularity, int payout)
{
    t.popularity = popularity >= 1 ? FormatText("%2d", popularity) : std::string();
    t.payout = FormatText("%8d", payout);
}

// Value labels per bet, slot and row.
constexpr const char* kWinLabels[3][3] = {
    {"Label3D19", "Label3D21", "Label3D23"},
    {"Label3D25", "Label3D26", "Label3D27"},
    {"Label3D28", "Label3D29", "Label3D30"},
};
constexpr const char* kPlaceLabels[5][3] = {
    {"Label3D32", "Label3D34", "Label3D36"},
    {"Label3D38", "Label3D39", "Label3D40"},
    {"Label3D41", "Label3D42", "Label3D43"},
    {"Label3D44", "Label3D45", "Label3D46"},
    {"Label3D47", "Label3D48", "Label3D49"},
};
constexpr const char* kBracketLabels[3][3] = {
    {"Label3D51", "Label3D53", "Label3D55"},
    {"Label3D57", "Label3D58", "Label3D59"},
    {"Label3D60", "Label3D61", "Label3D62"},
};
constexpr const char* kQuinellaLabels[3][3] = {
    {"Label3D64", "Label3D66", "Label3D68"},
    {"Label3D70", "Label3D71", "Label3D72"},
    {"Label3D73", "Label3D74", "Label3D75"},
};
constexpr const char* kWideLabels[7][3] = {
    {"Label3D77", "Label3D79", "Label3D81"},
    {"Label3D83", "Label3D84", "Label3D85"},
    {"Label3D86", "Label3D87", "Label3D88"},
    {"Label3D89", "Label3D90", "Label3D91"},
    {"Label3D92", "Label3D93", "Label3D94"},
    {"Label3D95", "Label3D96", "Label3D97"},
    {"Label3D98", "Label3D99", "Label3D100"},
};

} // namespace

int BetSlotCount(BetKind bet)
{
    switch (bet) {
    case BetKind::Win: return kWinPayoutCount;
    case BetKind::Place: return kPlacePayoutCount;
    case BetKind::BracketQuinella: return kBracketQuinellaPayoutCount;
    case BetKind::Quinella: return kQuinellaPayoutCount;
    case BetKind::Wide: return kWidePayoutCount;
    }
    return 0;
}

const std::string& BetTitle(BetKind bet)
{
    switch (bet) {
    case BetKind::Win: return SJ("単勝");
    case BetKind::Place: return SJ("複勝");
    case BetKind::BracketQuinella: return SJ("枠連");
    case BetKind::Quinella: return SJ("馬連");
    case BetKind::Wide: break;
    }
    return SJ("ﾜｲﾄﾞ");
}

ResultSlotTexts WinPlaceSlotTexts(const HorsePayout& payout)
{
    ResultSlotTexts t;
    if (payout.horseNumber == 0)
        return t;
    t.occupied = true;
    t.result = FormatText("%2d", payout.horseNumber);
    FillNumbers(t, payout.popularity, payout.payout);
    return t;
}

ResultSlotTexts PairSlotTexts(const PairPayout& payout)
{
    ResultSlotTexts t;
    if (payout.label == " 0- 0" || TrimSpaces(payout.label).empty())
        return t;
    t.occupied = true;
    t.result = payout.label;
    FillNumbers(t, payout.popularity, payout.payout);
    return t;
}

std::vector<ResultSlotFill> FillResultsPanel(const RaceSummary& race)
{
    std::vector<ResultSlotFill> fill;
    fill.reserve(21);
    for (int i = 0; i < 3; ++i) {
        fill.push_back({BetKind::Win, i, WinPlaceSlotTexts(race.winPayouts[static_cast<size_t>(i)])});
        fill.push_back({BetKind::BracketQuinella, i, PairSlotTexts(race.bracketQuinellaPayouts[static_cast<size_t>(i)])});
        fill.push_back({BetKind::Quinella, i, PairSlotTexts(race.quinellaPayouts[static_cast<size_t>(i)])});
    }
    for (int i = 0; i < kPlacePayoutCount; ++i)
        fill.push_back({BetKind::Place, i, WinPlaceSlotTexts(race.placePayouts[static_cast<size_t>(i)])});
    for (int i = 0; i < kWidePayoutCount; ++i)
        fill.push_back({BetKind::Wide, i, PairSlotTexts(race.widePayouts[static_cast<size_t>(i)])});
    return fill;
}

const std::string& ResultRowCaption(ResultRow row)
{
    switch (row) {
    case ResultRow::Result: return SJ("結果：");
    case ResultRow::Popularity: return SJ("人気：");
    case ResultRow::Payout: break;
    }
    return SJ("配当：");
}

const char* ResultLabelName(BetKind bet, int slot, ResultRow row)
{
    const int r = static_cast<int>(row);
    if (slot < 0 || slot >= BetSlotCount(bet) || r < 0 || r > 2)
        return "";
    switch (bet) {
    case BetKind::Win: return kWinLabels[slot][r];
    case BetKind::Place: return kPlaceLabels[slot][r];
    case BetKind::BracketQuinella: return kBracketLabels[slot][r];
    case BetKind::Quinella: return kQuinellaLabels[slot][r];
    case BetKind::Wide: return kWideLabels[slot][r];
    }
    return "";
}

int ResultSlotLeft(int slot) { return 49 + 64 * slot; }

int ResultBlockTop(BetKind bet)
{
    switch (bet) {
    case BetKind::Win: return 8;
    case BetKind::Place: return 74;
    case BetKind::BracketQuinella: return 138;
    case BetKind::Quinella: return 204;
    case BetKind::Wide: return 268;
    }
    return 0;
}

int ResultRowTop(BetKind bet, ResultRow row)
{
    static constexpr int kRowOffsets[3] = {12, 27, 42};
    return ResultBlockTop(bet) + kRowOffsets[static_cast<int>(row) % 3];
}

unsigned ResultRowColour(ResultRow row)
{
    switch (row) {
    case ResultRow::Result: return 0xFACDD1;
    case ResultRow::Popularity: return 0xFFFF8E;
    case ResultRow::Payout: break;
    }
    return 0xCDF3F3;
}

} // namespace tervan
