// Draws the core's paint rules of the two grids with Qt: the race card
// (StringGrid2DrawCell) and the matching-horse list (StringGrid1DrawCell).
#pragma once

#include "app/RaceDay.h"

#include <QColor>
#include <QFont>
#include <QPalette>

#include <cstdint>
#include <string>

class QPainter;
class QRect;

namespace tervan {

struct CellPaint;
struct TextRun;

// The layout of a grid: columns, fixed columns, widths and row heights.
struct GridLayout {
    int colCount;
    int fixedCols;
    const int* widths;
    int rowHeight;
    int headerRowHeight;
    int fontPixelSize;
};
GridLayout CardGridLayout();
GridLayout ListGridLayout();

// The screen colour of a paint colour (0xRRGGBB, or a platform colour taken
// from the palette).
QColor ToQColor(std::uint32_t colour, const QPalette& palette);
// A 0xRRGGBB colour.
QColor Rgb(std::uint32_t rgb);

// The Gothic font of a text run (points at 96 dpi: 8 pt 11 px, 9 pt 12 px,
// 10 pt 13 px).
QFont RunFont(const TextRun& run);
int PointsToPixels(int pointSize);

// Paints one cell over the grid's standard painting: the background (unless
// the cell keeps the grid's own header look), every text run at its offset
// from the cell's corner plus the grid line, and the bottom line.
void PaintCell(QPainter& painter, const QRect& cell, const CellPaint& paint, const QPalette& palette);

// A cell of the race card: row 0 the header, other rows the horse named by
// the row's column-1 text in race raceIndex.
void PaintCardCell(QPainter& painter, const QRect& cell, const RaceDay& day, int raceIndex, int row, int col,
                   const std::string& horseNumberText, bool selected, const QPalette& palette);

// A cell of the matching-horse list: row 0 the header, other rows the race
// and runner of the row index.
void PaintListCell(QPainter& painter, const QRect& cell, const RaceDay& day, int raceIndex, int runnerIndex,
                   int row, int col, bool selected, int currentYear, const QPalette& palette);

} // namespace tervan
