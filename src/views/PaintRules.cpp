#include "views/PaintRules.h"

#include "reference/FixedRecord.h"
#include "reference/KeibaFunc.h"
#include "reference/ShiftJis.h"

#include <algorithm>
#include <cmath>

namespace tervan {
namespace {

// Texts without a colour of their own take the grid font's colour: black,
// on the selection colour too.
constexpr PaintColour kCellText = 0x02000000;

// Rests of 56 days or more are the ones the maxims look at.
constexpr int kLongRestDays = 56;

TextRun Run(std::string text, int x, int y, int pointSize, bool bold, PaintColour colour)
{
    TextRun r;
    r.text = std::move(text);
    r.x = x;
    r.y = y;
    r.pointSize = pointSize;
    r.bold = bold;
    r.colour = colour;
    return r;
}

// A header cell of two lines in the grid font.
CellPaint HeaderCell(const std::string& line1, const std::string& line2, bool standard)
{
    CellPaint p;
    p.header = true;
    p.standardHeader = standard;
    p.background = kColourButtonFace;
    p.runs.push_back(Run(line1, 1, 1, kGridFontPointSize, false, kColourBlack));
    if (!line2.empty())
        p.runs.push_back(Run(line2, 1, 1 + GothicTextHeight(kGridFontPointSize), kGridFontPointSize, false, kColourBlack));
    return p;
}

// The headers of the card's columns; the list's are the same one column on.
CellPaint RunnerHeaderPaint(int col)
{
    switch (col) {
    case 0: return HeaderCell(SJ("枠"), SJ("番"), false);
    case 1: return HeaderCell(SJ("馬"), SJ("番"), false);
    case 2: return HeaderCell(SJ("格言該当"), {}, false);
    case 3: return HeaderCell(SJ("馬名"), {}, true);
    case 4: return HeaderCell(SJ("騎手"), {}, true);
    case 5: return HeaderCell(SJ("調教師"), {}, true);
    case 6: case 7: case 8: case 9: case 10:
        return HeaderCell(SJ("前") + std::to_string(col - 5) + SJ("走日付"), SJ("　　間隔"), true);
    case 11: return HeaderCell(SJ("予想配当"), SJ("（単勝）"), false);
    case 12: return HeaderCell(SJ("予配"), SJ("順位"), false);
    case 13: return HeaderCell(SJ("着順/人気"), SJ("確定ｵｯｽﾞ"), false);
    default: break;
    }
    CellPaint p;
    p.header = true;
    p.background = kColourButtonFace;
    return p;
}

// The cell as the standard painting leaves it: white, or the selection
// colour on the selected row.
CellPaint PlainCell(bool selected)
{
    CellPaint p;
    p.selected = selected;
    p.background = selected ? kColourSelection : kColourWhite;
    return p;
}

// Resolves the cell-text colour and the selected row: the selected row's
// white cells take the selection colour, coloured cells keep theirs; every
// text keeps its own colour, cell texts are black.
CellPaint Finish(CellPaint p)
{
    if (p.selected && p.background == kColourWhite)
        p.background = kColourSelection;
    for (TextRun& r : p.runs)
        if (r.colour == kCellText)
            r.colour = kColourBlack;
    return p;
}

double Luminance(PaintColour c)
{
    auto channel = [](unsigned v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel((c >> 16) & 0xFF) + 0.7152 * channel((c >> 8) & 0xFF) + 0.0722 * channel(c & 0xFF);
}

PaintColour ResultColour(int value)
{
    if (value == 1)
        return kColourRed;
    if (value == 2 || value == 3)
        return kColourBlue;
    return kColourBlack;
}

// "yyyy.mm.dd" of a RaceKey, or one space when there is no such run.
std::string PastRunDate(std::string_view key)
{
    if (TrimSpaces(Mid(key, 1, 8)).empty())
        return " ";
    return MidStr(key, 1, 4) + "." + MidStr(key, 5, 2) + "." + MidStr(key, 7, 2);
}

enum class Style { Card, List };

// A runner's cell by its race card column (0-13). The list paints its
// columns 1-14 as card columns 0-13 with the list's sex and age text.
CellPaint RunnerCellPaint(const RaceSlot& slot, int runnerIndex, int col, bool selected, Style style,
                          int currentYear)
{
    const RaceSummary& race = slot.summary;
    const RunnerSummary& runner = race.runners[static_cast<size_t>(runnerIndex)];
    const int horse = runnerIndex + 1;
    CellPaint p = PlainCell(selected);
    p.background = kColourWhite;
    switch (col) {
    case 0: {
        const int bracket = static_cast<int>(ReadDecimal(runner.bracketNumber));
        PaintColour colour = kColourWhite;
        PaintColour text = kCellText;
        if (BracketColour(bracket, colour)) {
            p.background = colour;
            text = bracket == 1 || bracket == 5 ? kColourBlack : kColourWhite;
        }
        p.runs.push_back(Run(FormatText("%1d", bracket), 5, 3, 10, true, text));
        break;
    }
    case 1:
        p.background = kColourToolTip;
        p.runs.push_back(Run(FormatText("%2d", horse), 1, 3, 10, true, kColourBlack));
        break;
    case 2:
        p.background = kColourMaxim;
        if (!runner.maxim.empty())
            p.runs.push_back(Run(runner.maxim, 1, 3, 10, false, kColourRed));
        break;
    case 3: {
        p.runs.push_back(Run(runner.horseName, 1, -1, 10, true, kCellText));
        const int line2 = -1 + GothicTextHeight(10);
        std::string sexAge;
        if (style == Style::Card) {
            sexAge = KeibaFunc::SexName(runner.sexCode)
                + KeibaFunc::BlankZeroNum(Mid(slot.runnerLines[static_cast<size_t>(runnerIndex)], 83, 2));
        } else {
            const std::string& sex = runner.sexCode;
            sexAge = sex == "1" ? SJ("牡") : sex == "2" ? SJ("牝") : sex == "3" ? SJ("ｾﾝ") : std::string("  ");
            const std::string_view born = Mid(runner.pedigreeNumber, 1, 4);
            bool digits = born.size() == 4;
            for (char c : born)
                digits = digits && c >= '0' && c <= '9';
            // A pedigree number that does not start with a birth year gives
            // no age.
            if (digits)
                sexAge += std::to_string(currentYear - static_cast<int>(ReadDecimal(born)));
        }
        p.runs.push_back(Run(sexAge, 1, line2, 8, false, kColourBlue));
        if (!TrimSpaces(runner.weightCarried).empty()) {
            const std::string& w = runner.weightCarried;
            p.runs.push_back(Run(MidStr(w, 1, 2) + "." + MidStr(w, 3, 1) + "kg", 65, line2, 8, false, kColourBlack));
        }
        break;
    }
    case 4:
    case 5:
        p.runs.push_back(Run(col == 4 ? runner.jockeyName : runner.trainerName, 1, 7, 8, false, kCellText));
        break;
    case 6: case 7: case 8: case 9: case 10: {
        const int k = col - 6;
        p.runs.push_back(Run(PastRunDate(runner.pastRunKeys[static_cast<size_t>(k)]), 1, 1, kGridFontPointSize,
                             false, kCellText));
        const std::string& interval = k == 0 ? runner.restDays : runner.pastRunGaps[static_cast<size_t>(k - 1)];
        if (!TrimSpaces(interval).empty()) {
            PaintColour colour = kColourBlack;
            if (ReadDecimal(interval) >= kLongRestDays) {
                const bool maximRest = (col == 6 && runner.sexCode == "1") || (col == 7 && runner.sexCode == "2")
                    || (col == 8 && runner.sexCode == "1");
                colour = maximRest ? kColourRed : kColourBlue;
            }
            p.runs.push_back(Run(SJ("　") + interval + SJ("日"), 1, 1 + GothicTextHeight(kGridFontPointSize),
                                 kGridFontPointSize, false, colour));
        }
        break;
    }
    case 11:
        p.background = kColourForecast;
        p.runs.push_back(Run(race.forecastPresent && runner.forecastOdds > 0 ? FormatOdds(runner.forecastOdds) : " ",
                             8, 7, 9, false, kCellText));
        break;
    case 12:
        p.background = kColourForecast;
        p.runs.push_back(Run(race.forecastPresent && runner.forecastRank >= 1 ? FormatText("%2d", runner.forecastRank) : " ",
                             8, 7, 9, false, kCellText));
        break;
    case 13: {
        const int place = runner.finishingPlace;
        const int popularity = runner.popularity;
        p.runs.push_back(Run(place != 0 ? FormatText("%2d", place) + SJ("着") : " ", 5, 1, 8, true, ResultColour(place)));
        p.runs.push_back(Run(popularity != 0 ? FormatText("%2d", popularity) + SJ("人") : " ", 40, 1, 8, true,
                             ResultColour(popularity)));
        p.runs.push_back(Run(runner.winOdds > 0 ? FormatOdds(runner.winOdds) : " ", 20, 1 + GothicTextHeight(8), 8,
                             false, kColourBlack));
        break;
    }
    default:
        break;
    }
    return Finish(std::move(p));
}

bool ValidRace(int raceIndex)
{
    return raceIndex >= 0 && raceIndex < kRaceCapacity;
}

} // namespace

double ContrastRatio(PaintColour a, PaintColour b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

const std::string& GridFontName()
{
    return SJ("ＭＳ ゴシック");
}

int GothicTextHeight(int pointSize)
{
    // pixels = points * 96 / 72, rounded
    return (pointSize * 96 + 36) / 72;
}

bool BracketColour(int bracket, PaintColour& colour)
{
    static constexpr PaintColour kColours[8] = {0xFFFFFF, 0x808080, 0xFF0000, 0x0000FF,
                                                0xFFFF00, 0x00FF00, 0xFF8000, 0xFF00FF};
    if (bracket < 1 || bracket > 8)
        return false;
    colour = kColours[bracket - 1];
    return true;
}

CellPaint CardHeaderPaint(int col)
{
    return RunnerHeaderPaint(col);
}

CellPaint CardCellPaint(const RaceDay& day, int raceIndex, std::string_view horseNumberText, int col, bool selected)
{
    const long long horse = ReadDecimal(horseNumberText);
    if (!ValidRace(raceIndex) || horse < 1 || horse > kRunnerCapacity || col < 0 || col >= kCardColumnCount)
        return PlainCell(selected);
    return RunnerCellPaint(day.slots[static_cast<size_t>(raceIndex)], static_cast<int>(horse) - 1, col, selected,
                           Style::Card, 0);
}

CellPaint CardCellPaint(const RaceDay& day, int raceIndex, int row, int col, bool selected,
                        const std::vector<std::vector<std::string>>& cells)
{
    if (row == 0)
        return CardHeaderPaint(col);
    std::string_view horse;
    if (row > 0 && static_cast<size_t>(row) < cells.size() && cells[static_cast<size_t>(row)].size() > 1)
        horse = cells[static_cast<size_t>(row)][1];
    return CardCellPaint(day, raceIndex, horse, col, selected);
}

CellPaint ListHeaderPaint(int col)
{
    if (col == 0)
        return HeaderCell(SJ("該当ﾚｰｽ"), {}, false);
    return RunnerHeaderPaint(col - 1);
}

CellPaint ListCellPaint(const RaceDay& day, int raceIndex, int runnerIndex, int col, bool selected, int currentYear)
{
    if (!ValidRace(raceIndex) || runnerIndex < 0 || runnerIndex >= kRunnerCapacity || col < 0
        || col >= kListColumnCount)
        return PlainCell(selected);
    const RaceSlot& slot = day.slots[static_cast<size_t>(raceIndex)];
    if (col > 0)
        return RunnerCellPaint(slot, runnerIndex, col - 1, selected, Style::List, currentYear);

    const RaceSummary& race = slot.summary;
    CellPaint p = PlainCell(selected);
    p.background = kColourWhite;
    p.runs.push_back(Run(KeibaFunc::CourseName(Mid(race.raceKey, 9, 2), 2) + " " + MidStr(race.raceKey, 15, 2) + "R",
                         1, 1, 10, true, kColourBlack));
    p.runs.push_back(Run(MidStr(race.postTime, 1, 2) + ":" + MidStr(race.postTime, 3, 2) + SJ(" 発走"), 1,
                         1 + GothicTextHeight(10), 8, false, kColourBlack));
    return Finish(std::move(p));
}

} // namespace tervan
