#include "views/GridText.h"

#include <algorithm>
#include <utility>

namespace tervan {

TextGrid::TextGrid(int colCount, int rowCount)
{
    SetColCount(colCount);
    SetRowCount(rowCount);
}

void TextGrid::SetColCount(int colCount)
{
    m_colCount = std::max(0, colCount);
    for (auto& row : m_rows)
        row.resize(static_cast<size_t>(m_colCount));
}

void TextGrid::SetRowCount(int rowCount)
{
    m_rows.resize(static_cast<size_t>(std::max(0, rowCount)));
    for (auto& row : m_rows)
        row.resize(static_cast<size_t>(m_colCount));
}

const std::string& TextGrid::Cell(int col, int row) const
{
    static const std::string empty;
    if (col < 0 || col >= m_colCount || row < 0 || row >= RowCount())
        return empty;
    return m_rows[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void TextGrid::SetCell(int col, int row, std::string_view text)
{
    if (col < 0 || col >= m_colCount || row < 0 || row >= RowCount())
        return;
    m_rows[static_cast<size_t>(row)][static_cast<size_t>(col)].assign(text);
}

void TextGrid::SwapRows(int a, int b)
{
    if (a < 0 || b < 0 || a >= RowCount() || b >= RowCount())
        return;
    std::swap(m_rows[static_cast<size_t>(a)], m_rows[static_cast<size_t>(b)]);
}

TextGrid TextGrid::FromRows(std::vector<std::vector<std::string>> rows)
{
    TextGrid grid;
    size_t cols = 0;
    for (const auto& row : rows)
        cols = std::max(cols, row.size());
    grid.m_rows = std::move(rows);
    grid.SetColCount(static_cast<int>(cols));
    return grid;
}

void TextGrid::ClearRows(int first)
{
    for (int r = std::max(0, first); r < RowCount(); ++r)
        for (auto& cell : m_rows[static_cast<size_t>(r)])
            cell.clear();
}

std::string CopyGridText(const TextGrid& grid, int left, int top, std::string_view heading, int bottom, int right)
{
    if (right < left || bottom < top || right < 0 || bottom < 0 || left >= grid.ColCount() || top >= grid.RowCount())
        return {};
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, grid.ColCount() - 1);
    bottom = std::min(bottom, grid.RowCount() - 1);

    std::string text;
    text.append(heading);
    text += "\r\n";
    for (int r = top; r <= bottom; ++r) {
        for (int c = left; c <= right; ++c) {
            if (c > left)
                text += '\t';
            text += grid.Cell(c, r);
        }
        text += "\r\n";
    }
    return text;
}

std::string CopyWholeGridText(const TextGrid& grid, std::string_view heading)
{
    return CopyGridText(grid, 0, 0, heading, grid.RowCount() - 1, grid.ColCount() - 1);
}

} // namespace tervan
