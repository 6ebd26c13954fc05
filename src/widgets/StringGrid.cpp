#include "widgets/StringGrid.h"

#include "widgets/Text.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace tervan {

namespace {
const std::string kEmpty;
}

TStringGrid::TStringGrid(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setSingleStep(1);
    colWidths_.assign(static_cast<size_t>(colCount_), 64);
    rowHeights_.assign(static_cast<size_t>(rowCount_), defaultRowHeight_);
    cells_.assign(static_cast<size_t>(rowCount_), std::vector<std::string>(static_cast<size_t>(colCount_)));
    UpdateScrollBars();
}

void TStringGrid::SetColCount(int count)
{
    colCount_ = std::max(1, count);
    colWidths_.resize(static_cast<size_t>(colCount_), 64);
    for (auto& row : cells_)
        row.resize(static_cast<size_t>(colCount_));
    fixedCols_ = std::min(fixedCols_, colCount_ - 1);
    leftCol_ = std::max(fixedCols_, std::min(leftCol_, colCount_ - 1));
    UpdateScrollBars();
    viewport()->update();
}

void TStringGrid::SetRowCount(int count)
{
    rowCount_ = std::max(1, count);
    rowHeights_.resize(static_cast<size_t>(rowCount_), defaultRowHeight_);
    cells_.resize(static_cast<size_t>(rowCount_), std::vector<std::string>(static_cast<size_t>(colCount_)));
    if (selectedRow_ >= rowCount_)
        selectedRow_ = -1;
    topRow_ = std::max(1, std::min(topRow_, rowCount_ - 1));
    UpdateScrollBars();
    viewport()->update();
}

void TStringGrid::SetFixedCols(int count)
{
    fixedCols_ = std::max(0, std::min(count, colCount_ - 1));
    leftCol_ = fixedCols_;
    UpdateScrollBars();
    viewport()->update();
}

int TStringGrid::ColWidth(int col) const
{
    return col >= 0 && col < colCount_ ? colWidths_[static_cast<size_t>(col)] : 0;
}

void TStringGrid::SetColWidth(int col, int width)
{
    if (col < 0 || col >= colCount_)
        return;
    colWidths_[static_cast<size_t>(col)] = std::max(0, width);
    UpdateScrollBars();
    viewport()->update();
}

int TStringGrid::RowHeight(int row) const
{
    return row >= 0 && row < rowCount_ ? rowHeights_[static_cast<size_t>(row)] : 0;
}

void TStringGrid::SetRowHeight(int row, int height)
{
    if (row < 0 || row >= rowCount_)
        return;
    rowHeights_[static_cast<size_t>(row)] = std::max(0, height);
    UpdateScrollBars();
    viewport()->update();
}

void TStringGrid::SetDefaultRowHeight(int height)
{
    defaultRowHeight_ = std::max(1, height);
    std::fill(rowHeights_.begin(), rowHeights_.end(), defaultRowHeight_);
    UpdateScrollBars();
    viewport()->update();
}

const std::string& TStringGrid::Cell(int col, int row) const
{
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_)
        return kEmpty;
    return cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void TStringGrid::SetCell(int col, int row, const std::string& text)
{
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_)
        return;
    cells_[static_cast<size_t>(row)][static_cast<size_t>(col)] = text;
    viewport()->update();
}

std::vector<std::string> TStringGrid::RowTexts(int row) const
{
    if (row < 0 || row >= rowCount_)
        return {};
    return cells_[static_cast<size_t>(row)];
}

void TStringGrid::SetRowTexts(int row, const std::vector<std::string>& texts)
{
    if (row < 0 || row >= rowCount_)
        return;
    auto& cells = cells_[static_cast<size_t>(row)];
    for (int c = 0; c < colCount_; ++c)
        cells[static_cast<size_t>(c)] = static_cast<size_t>(c) < texts.size() ? texts[static_cast<size_t>(c)] : std::string();
    viewport()->update();
}

void TStringGrid::ApplyRowOrder(const std::vector<int>& order)
{
    std::vector<std::vector<std::string>> moved;
    moved.reserve(order.size());
    for (int source : order) {
        if (source < 1 || source >= rowCount_)
            return; // not a permutation of the data rows: leave the grid as it is
        moved.push_back(cells_[static_cast<size_t>(source)]);
    }
    for (size_t i = 0; i < moved.size() && i + 1 < cells_.size(); ++i)
        cells_[i + 1] = std::move(moved[i]);
    viewport()->update();
}

void TStringGrid::SetRow(int row)
{
    if (row < FixedRows() || row >= rowCount_)
        row = -1;
    if (row == selectedRow_)
        return;
    selectedRow_ = row;
    if (row > 0)
        EnsureVisible(row);
    viewport()->update();
    Q_EMIT rowSelected(row);
}

void TStringGrid::ClearSelection()
{
    selectedRow_ = -1;
    viewport()->update();
}

int TStringGrid::ColumnX(int col, int leftCol) const
{
    if (col < 0 || col >= colCount_)
        return -1;
    if (col >= fixedCols_ && col < leftCol)
        return -1;
    int x = 0;
    for (int c = 0; c < col; ++c) {
        if (c >= fixedCols_ && c < leftCol)
            continue;
        x += colWidths_[static_cast<size_t>(c)] + kGridLineWidth;
    }
    return x;
}

int TStringGrid::RowY(int row, int topRow) const
{
    if (row < 0 || row >= rowCount_)
        return -1;
    if (row >= 1 && row < topRow)
        return -1;
    int y = 0;
    for (int r = 0; r < row; ++r) {
        if (r >= 1 && r < topRow)
            continue;
        y += rowHeights_[static_cast<size_t>(r)] + kGridLineWidth;
    }
    return y;
}

QRect TStringGrid::CellRect(int col, int row) const
{
    int x = ColumnX(col, leftCol_);
    int y = RowY(row, topRow_);
    if (x < 0 || y < 0)
        return {};
    return QRect(x, y, ColWidth(col), RowHeight(row));
}

bool TStringGrid::CellAt(const QPoint& point, int& col, int& row) const
{
    col = -1;
    row = -1;
    for (int c = 0; c < colCount_; ++c) {
        int x = ColumnX(c, leftCol_);
        if (x >= 0 && point.x() >= x && point.x() < x + ColWidth(c) + kGridLineWidth) {
            col = c;
            break;
        }
    }
    for (int r = 0; r < rowCount_; ++r) {
        int y = RowY(r, topRow_);
        if (y >= 0 && point.y() >= y && point.y() < y + RowHeight(r) + kGridLineWidth) {
            row = r;
            break;
        }
    }
    return col >= 0 && row >= 0;
}

QSize TStringGrid::ContentSize() const
{
    int width = 0;
    for (int w : colWidths_)
        width += w + kGridLineWidth;
    int height = 0;
    for (int h : rowHeights_)
        height += h + kGridLineWidth;
    return QSize(width, height);
}

void TStringGrid::UpdateScrollBars()
{
    const QSize view = viewport()->size();
    // Columns: the largest first scrolling column that still fills the view.
    int fixedWidth = 0;
    for (int c = 0; c < fixedCols_; ++c)
        fixedWidth += colWidths_[static_cast<size_t>(c)] + kGridLineWidth;
    int maxLeft = colCount_ - 1;
    int used = fixedWidth;
    for (int c = colCount_ - 1; c >= fixedCols_; --c) {
        used += colWidths_[static_cast<size_t>(c)] + kGridLineWidth;
        if (used > view.width())
            break;
        maxLeft = c;
    }
    maxLeft = std::max(fixedCols_, maxLeft);
    horizontalScrollBar()->setRange(0, maxLeft - fixedCols_);
    horizontalScrollBar()->setPageStep(std::max(1, colCount_ - fixedCols_ - (maxLeft - fixedCols_)));
    int fixedHeight = rowHeights_.empty() ? 0 : rowHeights_[0] + kGridLineWidth;
    int maxTop = rowCount_ - 1;
    used = fixedHeight;
    for (int r = rowCount_ - 1; r >= 1; --r) {
        used += rowHeights_[static_cast<size_t>(r)] + kGridLineWidth;
        if (used > view.height())
            break;
        maxTop = r;
    }
    maxTop = std::max(1, maxTop);
    verticalScrollBar()->setRange(0, maxTop - 1);
    verticalScrollBar()->setPageStep(std::max(1, rowCount_ - 1 - (maxTop - 1)));
    leftCol_ = fixedCols_ + horizontalScrollBar()->value();
    topRow_ = 1 + verticalScrollBar()->value();
}

void TStringGrid::scrollContentsBy(int, int)
{
    leftCol_ = fixedCols_ + horizontalScrollBar()->value();
    topRow_ = 1 + verticalScrollBar()->value();
    viewport()->update();
}

void TStringGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void TStringGrid::EnsureVisible(int row)
{
    if (row < 1)
        return;
    if (row < topRow_) {
        verticalScrollBar()->setValue(row - 1);
        return;
    }
    const int height = viewport()->height();
    while (row > topRow_) {
        int y = RowY(row, topRow_);
        if (y >= 0 && y + RowHeight(row) <= height)
            break;
        int before = verticalScrollBar()->value();
        verticalScrollBar()->setValue(before + 1);
        if (verticalScrollBar()->value() == before)
            break;
    }
}

void TStringGrid::PaintCell(QPainter& painter, int col, int row, const QRect& rect)
{
    DrawState state;
    state.fixed = row < FixedRows() || col < fixedCols_;
    state.selected = !state.fixed && row == selectedRow_;
    state.focused = hasFocus();
    painter.save();
    painter.setClipRect(rect);
    const QPalette& pal = palette();
    if (state.fixed) {
        painter.fillRect(rect, pal.color(QPalette::Button));
        // A raised bevel, as fixed cells have.
        painter.setPen(pal.color(QPalette::Light));
        painter.drawLine(rect.topLeft(), rect.topRight());
        painter.drawLine(rect.topLeft(), rect.bottomLeft());
        painter.setPen(pal.color(QPalette::Dark));
        painter.drawLine(rect.bottomLeft(), rect.bottomRight());
        painter.drawLine(rect.topRight(), rect.bottomRight());
        painter.setPen(pal.color(QPalette::ButtonText));
    } else if (state.selected) {
        painter.fillRect(rect, pal.color(QPalette::Highlight));
        painter.setPen(pal.color(QPalette::HighlightedText));
    } else {
        painter.fillRect(rect, pal.color(QPalette::Base));
        painter.setPen(pal.color(QPalette::Text));
    }
    painter.setFont(font());
    const std::string& text = Cell(col, row);
    if (!text.empty()) {
        QFontMetrics metrics(font());
        painter.drawText(rect.left() + 2, rect.top() + 2 + metrics.ascent(), Q(text));
    }
    if (onDrawCell_) {
        painter.setFont(font());
        painter.setPen(state.selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text));
        onDrawCell_(painter, col, row, rect, state);
    }
    painter.restore();
}

void TStringGrid::PaintGrid(QPainter& painter, const QRect& area, int leftCol, int topRow)
{
    painter.fillRect(area, palette().color(QPalette::Base));
    const QColor line = palette().color(QPalette::Mid);
    for (int row = 0; row < rowCount_; ++row) {
        int y = RowY(row, topRow);
        if (y < 0)
            continue;
        if (y > area.bottom())
            break;
        for (int col = 0; col < colCount_; ++col) {
            int x = ColumnX(col, leftCol);
            if (x < 0)
                continue;
            if (x > area.right())
                break;
            QRect cell(x, y, ColWidth(col), RowHeight(row));
            PaintCell(painter, col, row, cell);
            // The grid lines right of and below the cell.
            painter.fillRect(QRect(cell.right() + 1, y, kGridLineWidth, cell.height() + kGridLineWidth), line);
            painter.fillRect(QRect(x, cell.bottom() + 1, cell.width() + kGridLineWidth, kGridLineWidth), line);
        }
    }
}

void TStringGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    PaintGrid(painter, viewport()->rect(), leftCol_, topRow_);
}

QImage TStringGrid::RenderAll()
{
    QSize size = ContentSize();
    QImage image(size, QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Base));
    QPainter painter(&image);
    PaintGrid(painter, QRect(QPoint(0, 0), size), fixedCols_, 1);
    return image;
}

void TStringGrid::mousePressEvent(QMouseEvent* event)
{
    setFocus();
    int col = 0;
    int row = 0;
    if (!CellAt(event->position().toPoint(), col, row))
        return;
    if (row >= FixedRows())
        SetRow(row);
    Q_EMIT cellClicked(col, row);
}

void TStringGrid::keyPressEvent(QKeyEvent* event)
{
    int row = selectedRow_ < 1 ? topRow_ - 1 : selectedRow_;
    const int page = std::max(1, verticalScrollBar()->pageStep());
    switch (event->key()) {
    case Qt::Key_Down: row += 1; break;
    case Qt::Key_Up: row -= 1; break;
    case Qt::Key_PageDown: row += page; break;
    case Qt::Key_PageUp: row -= page; break;
    case Qt::Key_Home: row = 1; break;
    case Qt::Key_End: row = rowCount_ - 1; break;
    case Qt::Key_Right:
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + 1);
        return;
    case Qt::Key_Left:
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - 1);
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (rowCount_ <= 1)
        return;
    SetRow(std::clamp(row, 1, rowCount_ - 1));
}

void TStringGrid::wheelEvent(QWheelEvent* event)
{
    int steps = -event->angleDelta().y() / 120;
    if (steps == 0)
        steps = event->angleDelta().y() < 0 ? 1 : (event->angleDelta().y() > 0 ? -1 : 0);
    verticalScrollBar()->setValue(verticalScrollBar()->value() + steps);
    event->accept();
}

} // namespace tervan
