#include "app/gui/TallyGridView.h"

#include "views/BacktestTable.h"
#include "views/CsvExport.h"
#include "widgets/Fonts.h"
#include "widgets/HotTrackButton.h"
#include "widgets/Notifier.h"
#include "widgets/StringGrid.h"
#include "widgets/Text.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>

#include <algorithm>

namespace tervan {
namespace {

// As narrow as "1401-1800m", "該当なし", six-digit counts, eight-digit
// payouts and "1234.5" allow, so that 単回値 and 複回値 show beside the day
// list at the window's first size. figure: 0 頭数 (and 複勝頭数), 1-4 着別度数,
// 5-6 払戻, then the rates.
constexpr int kLeadWidth = 66;
constexpr int kTitleWidth = 54;
constexpr int kTitleWidthLimit = 200;

int FigureWidth(int figure)
{
    return figure >= 5 && figure <= 6 ? 54 : 42;
}

} // namespace

void PaintTallyCells(TStringGrid& grid, std::function<int()> titleColumn)
{
    TStringGrid* g = &grid;
    grid.SetOnDrawCell([g, titleColumn = std::move(titleColumn)](QPainter& p, int col, int row, const QRect& rect,
                                                                  const TStringGrid::DrawState& s) {
        const int titleCol = titleColumn();
        if (s.fixed && row == 0)
            return;
        const bool all = g->Cell(titleCol, row) == MaximGroupName(MaximGroup::All);
        if (col <= titleCol && !all)
            return;
        const QPalette& palette = g->palette();
        if (!s.selected && !s.fixed)
            p.fillRect(rect, all ? QColor(0xE8, 0xE8, 0xE8) : palette.color(QPalette::Base));
        else if (!s.fixed || col > titleCol)
            p.fillRect(rect, s.selected ? palette.color(QPalette::Highlight) : palette.color(QPalette::Button));
        const Qt::Alignment align = col > titleCol ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter;
        p.drawText(rect.adjusted(2, 0, -3, 0), static_cast<int>(align), Q(g->Cell(col, row)));
    });
}

void ShowTallyTable(TStringGrid& grid, const TextGrid& table, int titleColumn, bool computed, int titleWidth)
{
    const bool placeRunners = table.ColCount() > kBacktestColumnCount + titleColumn;
    const int rows = computed ? table.RowCount() : std::min(table.RowCount(), 1);
    if (titleWidth <= 0) {
        const QFontMetrics metrics(grid.font());
        titleWidth = kTitleWidth;
        for (int r = 0; r < rows; ++r)
            titleWidth = std::max(titleWidth, metrics.horizontalAdvance(Q(table.Cell(titleColumn, r))) + 8);
        titleWidth = std::min(titleWidth, kTitleWidthLimit);
    }
    grid.SetColCount(table.ColCount());
    grid.SetFixedCols(titleColumn + 1);
    for (int c = 0; c < table.ColCount(); ++c) {
        int figure = c - titleColumn - 1;
        // 複勝頭数 is a count like 頭数 before it.
        if (placeRunners && figure >= 1)
            --figure;
        grid.SetColWidth(c, c < titleColumn ? kLeadWidth : c == titleColumn ? titleWidth : FigureWidth(figure));
    }
    grid.SetRowCount(std::max(rows, 1));
    for (int r = 0; r < rows; ++r)
        grid.SetRowTexts(r, table.Row(r));
    grid.ClearSelection();
    grid.viewport()->update();
}

THotTrackSpeedButton* TableButton(QWidget* parent, const char* objectName, const char* caption)
{
    auto* b = new THotTrackSpeedButton(parent);
    b->setObjectName(QString::fromLatin1(objectName));
    b->setText(QString::fromUtf8(caption));
    b->setFont(GothicFont(12));
    return b;
}

void CopyTable(const TStringGrid& grid, std::string_view heading)
{
    QApplication::clipboard()->setText(Q(CopyWholeGridText(TextGrid::FromRows(grid.Table()), heading)));
}

bool WriteTableCsv(const std::string& base, const std::string& path, const std::string& heading, const TStringGrid& grid,
                   INotifier& notifier)
{
    try {
        WriteCsvFile(base, path, heading, grid.Table());
        return true;
    } catch (const std::exception& e) {
        notifier.Beep();
        notifier.Information(e.what());
        return false;
    }
}

std::string ExportTableCsv(const std::string& base, const std::string& heading, const TStringGrid& grid,
                           INotifier& notifier)
{
    std::string path = CsvFilePath(base, heading);
    return WriteTableCsv(base, path, heading, grid, notifier) ? path : std::string();
}

QLabel* MakeProblemsLabel(QWidget* parent, const char* objectName)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setFont(GothicFont(12));
    label->setTextFormat(Qt::PlainText);
    label->setStyleSheet(QStringLiteral("color: #C00000"));
    // Many or long reasons never widen the window: the line is cut, and whole in its tooltip.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    label->hide();
    return label;
}

void ShowScanProblems(QLabel& label, const DayScanInfo& scan)
{
    const std::string problems = BacktestProblemsText(scan);
    std::string all;
    for (const BacktestProblem& p : scan.problems)
        for (const std::string& reason : p.reasons)
            all += (all.empty() ? "" : "\n") + (p.entry.empty() ? reason : p.entry + ": " + reason);
    label.setText(Q(problems));
    label.setToolTip(Q(all));
    label.setVisible(!problems.empty());
}

} // namespace tervan
