// The race card's row sort.
//
// The sort works on the card's cell texts alone, never on the race day behind
// them: rows are compared by the CP932 bytes of one column's text. The result
// is a row order that the window applies to its grid.
#pragma once

#include <string>
#include <vector>

#include "views/GridText.h"

namespace tervan {

// The card's grid as cell texts: rows[r][c], row 0 the header row.
using CardCells = std::vector<std::vector<std::string>>;

// Card columns the sort keys use.
inline constexpr int kCardBracketColumn = 0;     // 枠
inline constexpr int kCardHorseNumberColumn = 1; // 馬
inline constexpr int kCardMaximColumn = 2;       // 格言該当

// The key chosen from the sort buttons.
struct CardSortKey {
    int column = kCardHorseNumberColumn;
    bool descending = false;
};

// "馬番" down: horse number ascending; else "賞金" down: the maxim label
// column descending; else the bracket ascending.
CardSortKey ChooseCardSortKey(bool horseNumberDown, bool prizeDown);

// The rows first..last (inclusive) of `order` sorted by the text of column
// `keyColumn` of the rows they name: order[r] is the grid row now shown at
// position r. Rows are exchanged whole, as the grid's quicksort does (it is
// not stable). A row without that column sorts as an empty text. The range
// is cut to the order's size.
void SortCardRows(const CardCells& cells, std::vector<int>& order, int first, int last,
                  bool descending, int keyColumn);

// Sorts rows 1..row count - 1 by the key the sort buttons choose, then each
// run of equal key texts by horse number (the order the "馬番" button and the
// race display give). Returns the new
// row order: entry r is the index of the grid row to show at row r; entry 0
// is always 0 (the header row stays on top).
std::vector<int> SortCardByHorseNumber(const CardCells& cells, bool horseNumberDown = true,
                                       bool prizeDown = false);

std::vector<int> SortCardByHorseNumber(const TextGrid& grid, bool horseNumberDown = true, bool prizeDown = false);

// The grid's rows rearranged by an order from SortCardByHorseNumber.
CardCells ApplyRowOrder(const CardCells& cells, const std::vector<int>& order);
void ApplyRowOrder(TextGrid& grid, const std::vector<int>& order);

} // namespace tervan
