// Draws the core's paint rules (CellPaint) of a grid cell with Qt.
#pragma once

#include "views/PaintRules.h"

#include <QColor>
#include <QFont>
#include <QPalette>

class QPainter;
class QRect;

namespace tervan {

// The screen colour of a paint colour; platform colours come from the palette.
QColor ToQColor(PaintColour colour, const QPalette& palette);

// The Gothic font of a text run (points at 96 dpi: 8 pt 11 px, 9 pt 12 px,
// 10 pt 13 px).
QFont RunFont(const TextRun& run);
int PointsToPixels(int pointSize);

// Paints one cell over the grid's standard painting: the background (unless
// the cell keeps the grid's own header look), every text run at its offset
// from the cell's corner plus the grid line, and the bottom line.
void PaintCell(QPainter& painter, const QRect& cell, const CellPaint& paint, const QPalette& palette);

} // namespace tervan
