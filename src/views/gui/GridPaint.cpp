#include "views/gui/GridPaint.h"

#include "views/PaintRules.h"

#include "widgets/Fonts.h"
#include "widgets/StringGrid.h"
#include "widgets/Text.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>

namespace tervan {

GridLayout CardGridLayout()
{
    return {kCardColumnCount, kCardFixedColumns, kCardColumnWidths, kGridRowHeight, kGridHeaderRowHeight,
            kGridFontPixelSize};
}

GridLayout ListGridLayout()
{
    return {kListColumnCount, kListFixedColumns, kListColumnWidths, kGridRowHeight, kGridHeaderRowHeight,
            kGridFontPixelSize};
}

QColor ToQColor(std::uint32_t colour, const QPalette& palette)
{
    switch (colour) {
    case kColourButtonFace: return palette.color(QPalette::Button);
    case kColourToolTip: return palette.color(QPalette::ToolTipBase);
    default: break;
    }
    if (IsPlatformColour(colour))
        return palette.color(QPalette::Text);
    return Rgb(colour);
}

QColor Rgb(std::uint32_t rgb)
{
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
}

int PointsToPixels(int pointSize)
{
    return (pointSize * 96 + 36) / 72;
}

QFont RunFont(const TextRun& run)
{
    QFont font = GothicFont(PointsToPixels(run.pointSize), run.bold);
    font.setUnderline(run.underline);
    return font;
}

void PaintCell(QPainter& painter, const QRect& cell, const CellPaint& paint, const QPalette& palette)
{
    painter.save();
    painter.setClipRect(cell);
    if (!paint.standardHeader)
        painter.fillRect(cell, ToQColor(paint.background, palette));
    const int originX = cell.left() + TStringGrid::kGridLineWidth;
    const int originY = cell.top() + TStringGrid::kGridLineWidth;
    for (const TextRun& run : paint.runs) {
        if (run.text.empty())
            continue;
        QFont font = RunFont(run);
        painter.setFont(font);
        painter.setPen(ToQColor(run.colour, palette));
        QFontMetrics metrics(font);
        painter.drawText(QPoint(originX + run.x, originY + run.y + metrics.ascent()), Q(run.text));
    }
    if (paint.bottomLine) {
        painter.setPen(ToQColor(paint.bottomLineColour, palette));
        painter.drawLine(cell.left(), cell.bottom(), cell.right(), cell.bottom());
    }
    painter.restore();
}

void PaintCardCell(QPainter& painter, const QRect& cell, const RaceDay& day, int raceIndex, int row, int col,
                   const std::string& horseNumberText, bool selected, const QPalette& palette)
{
    if (row == 0)
        PaintCell(painter, cell, CardHeaderPaint(col), palette);
    else
        PaintCell(painter, cell, CardCellPaint(day, raceIndex, horseNumberText, col, selected), palette);
}

void PaintListCell(QPainter& painter, const QRect& cell, const RaceDay& day, int raceIndex, int runnerIndex,
                   int row, int col, bool selected, int currentYear, const QPalette& palette)
{
    if (row == 0)
        PaintCell(painter, cell, ListHeaderPaint(col), palette);
    else
        PaintCell(painter, cell, ListCellPaint(day, raceIndex, runnerIndex, col, selected, currentYear), palette);
}

} // namespace tervan
