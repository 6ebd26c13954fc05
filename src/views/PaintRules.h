// How the two grids paint their cells, as plain data.
//
// The race card (StringGrid2) and the matching-horse list (StringGrid1) paint
// each cell over the grid's standard painting: a background, a few text runs
// at fixed offsets with their own font size, weight and colour, and a black
// line along the bottom edge. Everything here is decided from the loaded race
// day; the window only draws it.
//
// Offsets are in pixels from the cell's top-left corner plus the 1-pixel grid
// line. A run "on the next line" is placed at the first line's y plus the
// height of the first line's text in its font (GothicTextHeight), so every y
// here is already final. Texts are CP932.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/RaceDay.h"
#include "views/GridText.h"
#include "views/MatchListText.h" // kListColumnCount
#include "views/RaceCardText.h"  // kCardColumnCount

namespace tervan {

// Colours are 0xRRGGBB. Values above 0xFFFFFF name the platform's own colours,
// which the window takes from its palette.
using PaintColour = std::uint32_t;
inline constexpr PaintColour kColourBlack = 0x000000;
inline constexpr PaintColour kColourWhite = 0xFFFFFF;
inline constexpr PaintColour kColourRed = 0xFF0000;
inline constexpr PaintColour kColourBlue = 0x0000FF;
inline constexpr PaintColour kColourMaxim = 0xCEFFFF;    // the maxim column's background
inline constexpr PaintColour kColourForecast = 0x8BFC8B; // the forecast columns' background
inline constexpr PaintColour kColourButtonFace = 0x01000001;   // face of buttons and header cells
inline constexpr PaintColour kColourToolTip = 0x01000002;      // tooltip background (horse number cells)
constexpr bool IsPlatformColour(PaintColour c) { return c > 0xFFFFFF; }

// The selected row's white cells take a light blue on which every text
// colour of a row stays readable; coloured cells keep their colour.
inline constexpr PaintColour kColourSelection = 0xD6EBFF;
// Every colour a row's texts are painted in on a white cell.
inline constexpr PaintColour kRowTextColours[] = {kColourBlack, kColourRed, kColourBlue};
// Readable: a contrast ratio of at least this much with the background.
inline constexpr double kMinimumTextContrast = 3.0;

// The contrast ratio of two colours (0xRRGGBB) by their relative luminance
// in sRGB: 1 for the same colour, 21 for black on white.
double ContrastRatio(PaintColour a, PaintColour b);

// The grids' font: "ＭＳ ゴシック" (CP932), 12 px = 9 pt at 96 dpi. The window
// maps the name to a Japanese Gothic font it has.
const std::string& GridFontName();
inline constexpr int kGridFontPixelSize = 12;
inline constexpr int kGridFontPointSize = 9;

// Height in pixels of a line of text in the grid's Gothic font at 96 dpi
// (the font's cell height equals its pixel size): 8 pt 11, 9 pt 12, 10 pt 13.
int GothicTextHeight(int pointSize);

struct TextRun {
    std::string text;          // CP932
    int x = 1;                 // offset from the cell's left edge + 1
    int y = 1;                 // offset from the cell's top edge + 1 (may be -1)
    int pointSize = kGridFontPointSize;
    bool bold = false;
    bool underline = false;
    PaintColour colour = kColourBlack;
};

struct CellPaint {
    PaintColour background = kColourWhite;
    bool selected = false;       // the cell's row is the selected row
    bool header = false;         // a cell of the header row
    bool standardHeader = false; // the grid's own header look (raised cell) under the runs
    std::vector<TextRun> runs;   // in drawing order; every run uses GridFontName()
    bool bottomLine = true;      // a black line along the bottom edge, left to right
    PaintColour bottomLineColour = kColourBlack;
};

// The grids' layout: column widths, fixed (non-scrolling) columns and row
// heights. Each column is as narrow as its widest painted text allows (a
// nine-character name, "2026.11.08", "着順/人気") with a pixel or two to
// spare, since other renderers draw the same font a little wider. The card
// needs about 780 pixels: at the window's first size it fits once the day
// list makes way.
inline constexpr int kCardFixedColumns = 6;
inline constexpr int kCardColumnWidths[kCardColumnCount] = {20, 20, 50, 122, 48, 48, 63, 63, 63, 63, 63, 50, 30, 64};
inline constexpr int kListFixedColumns = 7;
inline constexpr int kListColumnWidths[kListColumnCount] = {64, 20, 20, 50, 122, 48, 48, 63, 63, 63, 63, 63, 50, 30, 64};
inline constexpr int kGridRowHeight = 25;
inline constexpr int kGridHeaderRowHeight = 27;

// Background of a bracket number 1-8 (1 white, 2 grey, 3 red, 4 blue,
// 5 yellow, 6 green, 7 orange, 8 magenta); false for any other number.
bool BracketColour(int bracket, PaintColour& colour);

// --- Race card (StringGrid2) ---

// Header row cell of column col (0-13).
CellPaint CardHeaderPaint(int col);

// A data cell of the card. The horse is named by the row's column-1 text
// ("01"-"18"), never by the row number, since the card may be sorted; every
// value comes from race raceIndex of the day. A horse number outside 1-18 or
// a race index outside 0-11 gives a plain cell (background and line only).
CellPaint CardCellPaint(const RaceDay& day, int raceIndex, std::string_view horseNumberText, int col,
                        bool selected);

// Any cell of the card by row: row 0 is the header, other rows take the horse
// number from cells[row][1].
CellPaint CardCellPaint(const RaceDay& day, int raceIndex, int row, int col, bool selected,
                        const std::vector<std::vector<std::string>>& cells);
inline CellPaint CardCellPaint(const RaceDay& day, int raceIndex, int row, int col, bool selected,
                               const TextGrid& grid)
{
    return CardCellPaint(day, raceIndex, row, col, selected, grid.Rows());
}

// --- Matching-horse list (StringGrid1) ---

// Header row cell of column col (0-14).
CellPaint ListHeaderPaint(int col);

// A data cell of the list for the race and runner of the row's index entry.
// currentYear is the calendar year of the computer's clock when painting; the
// runner's age is that year minus the birth year in its pedigree number.
CellPaint ListCellPaint(const RaceDay& day, int raceIndex, int runnerIndex, int col, bool selected,
                        int currentYear);

} // namespace tervan
