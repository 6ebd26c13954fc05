// The cell texts of a grid, as the race card (StringGrid2) and the
// matching-horse list (StringGrid1) hold them, and their clipboard text.
//
// Sorting, the clipboard and CSV export work on these texts only, never on the
// race day behind them. Cells are addressed (column, row) as on the grids;
// row 0 is the header row. Every text is CP932.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tervan {

class TextGrid {
public:
    TextGrid() = default;
    TextGrid(int colCount, int rowCount);

    int ColCount() const { return m_colCount; }
    int RowCount() const { return static_cast<int>(m_rows.size()); }

    // Resizing keeps the texts of the cells that remain; new cells are empty.
    void SetColCount(int colCount);
    void SetRowCount(int rowCount);

    // Cell (col, row); out-of-range reads give an empty text, out-of-range
    // writes are ignored.
    const std::string& Cell(int col, int row) const;
    void SetCell(int col, int row, std::string_view text);

    // One whole row (ColCount() texts); row swaps are what the sort does.
    std::vector<std::string>& Row(int row) { return m_rows.at(static_cast<size_t>(row)); }
    const std::vector<std::string>& Row(int row) const { return m_rows.at(static_cast<size_t>(row)); }
    void SwapRows(int a, int b);

    // All rows at once (rows[r][c]), e.g. for the card sort.
    const std::vector<std::vector<std::string>>& Rows() const { return m_rows; }
    // A grid of these rows; the column count is that of the widest row and
    // shorter rows are padded with empty cells.
    static TextGrid FromRows(std::vector<std::vector<std::string>> rows);

    // Every cell of rows first..RowCount()-1 emptied (the header row keeps its
    // texts when first is 1).
    void ClearRows(int first);

private:
    int m_colCount = 0;
    std::vector<std::vector<std::string>> m_rows;
};

// The clipboard text of a block of cells (CopyGridText): the heading and CR LF,
// then one line per row top..bottom with the cells left..right separated by
// TAB, each line ended by CR LF. A block that lies outside the grid (right <
// left, bottom < top, right < 0, bottom < 0, left >= column count or top >=
// row count) gives an empty text; otherwise negative left/top become 0 and a
// right/bottom beyond the grid become its last column/row.
std::string CopyGridText(const TextGrid& grid, int left, int top, std::string_view heading, int bottom, int right);

// The whole grid's clipboard text (both clipboard buttons copy everything).
std::string CopyWholeGridText(const TextGrid& grid, std::string_view heading);

} // namespace tervan
