// TStringGrid: a grid of CP932 cell texts with fixed (non-scrolling) leading
// columns and a fixed header row, whole-row selection, grid lines between
// all cells, and a per-cell paint hook (OnDrawCell) called after the grid's
// standard painting of each cell, as the race card and the matching-horse
// list need. Scrolling moves by whole rows and columns.
#pragma once

#include <QAbstractScrollArea>

#include <functional>
#include <string>
#include <vector>

namespace tervan {

class TStringGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    struct DrawState {
        bool fixed = false;    // a header row or fixed column cell
        bool selected = false; // in the selected row (data cells only)
        bool focused = false;  // the grid has the keyboard focus
    };
    // painter, column, row, cell rectangle (grid lines excluded), state.
    using DrawCellHandler = std::function<void(QPainter&, int, int, const QRect&, const DrawState&)>;

    static constexpr int kGridLineWidth = 1;

    explicit TStringGrid(QWidget* parent = nullptr);

    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    void SetColCount(int count);
    // Rows beyond the new count are dropped; new rows are empty.
    void SetRowCount(int count);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int count);
    int FixedRows() const { return 1; }

    int ColWidth(int col) const;
    void SetColWidth(int col, int width);
    int RowHeight(int row) const;
    void SetRowHeight(int row, int height);
    void SetDefaultRowHeight(int height);
    int DefaultRowHeight() const { return defaultRowHeight_; }

    // Cell texts (CP932). Out-of-range reads give an empty text; out-of-range
    // writes are ignored.
    const std::string& Cell(int col, int row) const;
    void SetCell(int col, int row, const std::string& text);
    std::vector<std::string> RowTexts(int row) const;
    void SetRowTexts(int row, const std::vector<std::string>& texts);
    // Every row's texts, header row first.
    const std::vector<std::vector<std::string>>& Table() const { return cells_; }
    // Reorders the data rows: row r + 1 receives the texts of row order[r].
    void ApplyRowOrder(const std::vector<int>& order);

    // Selected row, or -1 when nothing is selected.
    int Row() const { return selectedRow_; }
    void SetRow(int row);
    void ClearSelection();

    int TopRow() const { return topRow_; }
    int LeftCol() const { return leftCol_; }

    // The rectangle of a cell in viewport coordinates (empty when scrolled
    // out of view).
    QRect CellRect(int col, int row) const;
    // The cell under a viewport point; false outside the cells.
    bool CellAt(const QPoint& point, int& col, int& row) const;
    // Width and height of all cells with their lines.
    QSize ContentSize() const;

    void SetOnDrawCell(DrawCellHandler handler) { onDrawCell_ = std::move(handler); }

    // Paints the whole grid, every column and row, into an image (tests and
    // screenshots of the full card).
    QImage RenderAll();

Q_SIGNALS:
    void rowSelected(int row);
    void cellClicked(int col, int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateScrollBars();
    void PaintCell(QPainter& painter, int col, int row, const QRect& rect);
    void PaintGrid(QPainter& painter, const QRect& area, int leftCol, int topRow);
    int ColumnX(int col, int leftCol) const; // -1 when scrolled out
    int RowY(int row, int topRow) const;
    void EnsureVisible(int row);

    int colCount_ = 5;
    int rowCount_ = 5;
    int fixedCols_ = 1;
    int defaultRowHeight_ = 24;
    std::vector<int> colWidths_;
    std::vector<int> rowHeights_;
    std::vector<std::vector<std::string>> cells_; // [row][col]
    int selectedRow_ = -1;
    int topRow_ = 1;  // first data row shown
    int leftCol_ = 1; // first scrolling column shown
    DrawCellHandler onDrawCell_;
};

} // namespace tervan
