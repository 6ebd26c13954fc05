#include "views/CardSort.h"

#include <string_view>
#include <utility>

namespace tervan {
namespace {

std::string_view KeyText(const CardCells& cells, int row, int column)
{
    if (row < 0 || static_cast<size_t>(row) >= cells.size() || column < 0)
        return {};
    const std::vector<std::string>& r = cells[static_cast<size_t>(row)];
    if (static_cast<size_t>(column) >= r.size())
        return {};
    return r[static_cast<size_t>(column)];
}

// Hoare's quicksort on whole rows, middle pivot read once. The smaller part
// is sorted by recursion and the larger one by the loop, so the depth stays
// small whatever the texts are; the resulting order is the same.
void QuickSort(const CardCells& cells, std::vector<int>& order, int first, int last,
               bool descending, int keyColumn)
{
    while (first < last) {
        int i = first;
        int j = last;
        const std::string_view pivot = KeyText(cells, order[static_cast<size_t>((first + last) / 2)], keyColumn);
        auto before = [&](std::string_view a, std::string_view b) { return descending ? a > b : a < b; };
        do {
            while (before(KeyText(cells, order[static_cast<size_t>(i)], keyColumn), pivot))
                ++i;
            while (before(pivot, KeyText(cells, order[static_cast<size_t>(j)], keyColumn)))
                --j;
            if (i <= j) {
                std::swap(order[static_cast<size_t>(i)], order[static_cast<size_t>(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - first < last - i) {
            if (first < j)
                QuickSort(cells, order, first, j, descending, keyColumn);
            first = i;
        } else {
            if (i < last)
                QuickSort(cells, order, i, last, descending, keyColumn);
            last = j;
        }
    }
}

} // namespace

CardSortKey ChooseCardSortKey(bool horseNumberDown, bool prizeDown)
{
    if (horseNumberDown)
        return {kCardHorseNumberColumn, false};
    if (prizeDown)
        return {kCardMaximColumn, true};
    return {kCardBracketColumn, false};
}

void SortCardRows(const CardCells& cells, std::vector<int>& order, int first, int last,
                  bool descending, int keyColumn)
{
    if (order.empty())
        return;
    if (first < 0)
        first = 0;
    const int top = static_cast<int>(order.size()) - 1;
    if (last > top)
        last = top;
    QuickSort(cells, order, first, last, descending, keyColumn);
}

std::vector<int> SortCardByHorseNumber(const CardCells& cells, bool horseNumberDown, bool prizeDown)
{
    std::vector<int> order(cells.size());
    for (size_t r = 0; r < order.size(); ++r)
        order[r] = static_cast<int>(r);
    const int rowCount = static_cast<int>(cells.size());
    if (rowCount < 3)
        return order;

    const CardSortKey key = ChooseCardSortKey(horseNumberDown, prizeDown);
    SortCardRows(cells, order, 1, rowCount - 1, key.descending, key.column);

    // Equal keys: runs of adjacent rows with the same key text are put in
    // horse-number order, since the quicksort leaves them in any order.
    int runStart = 1;
    while (runStart < rowCount) {
        const std::string_view runKey = KeyText(cells, order[static_cast<size_t>(runStart)], key.column);
        int runEnd = runStart;
        while (runEnd + 1 < rowCount && KeyText(cells, order[static_cast<size_t>(runEnd + 1)], key.column) == runKey)
            ++runEnd;
        if (runEnd > runStart)
            SortCardRows(cells, order, runStart, runEnd, false, kCardHorseNumberColumn);
        runStart = runEnd + 1;
    }
    return order;
}

std::vector<int> SortCardByHorseNumber(const TextGrid& grid, bool horseNumberDown, bool prizeDown)
{
    return SortCardByHorseNumber(grid.Rows(), horseNumberDown, prizeDown);
}

void ApplyRowOrder(TextGrid& grid, const std::vector<int>& order)
{
    if (order.size() != static_cast<size_t>(grid.RowCount()))
        return;
    grid = TextGrid::FromRows(ApplyRowOrder(grid.Rows(), order));
}

CardCells ApplyRowOrder(const CardCells& cells, const std::vector<int>& order)
{
    CardCells out;
    out.reserve(order.size());
    for (int r : order)
        if (r >= 0 && static_cast<size_t>(r) < cells.size())
            out.push_back(cells[static_cast<size_t>(r)]);
    return out;
}

} // namespace tervan
