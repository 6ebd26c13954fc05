#include "views/CardSort.h"

#include "reference/ShiftJis.h"

#include <gtest/gtest.h>

using namespace tervan;

namespace {

// A card of runners given as (bracket, horse number, maxim); column 3 holds
// a name so whole-row moves can be checked.
CardCells Card(const std::vector<std::tuple<std::string, std::string, std::string>>& runners)
{
    CardCells cells;
    cells.push_back({SJ("枠"), SJ("馬"), SJ("格言該当"), SJ("馬名")});
    for (const auto& [bracket, horse, maxim] : runners)
        cells.push_back({bracket, horse, maxim, "name" + horse});
    return cells;
}

std::vector<std::string> Column(const CardCells& cells, int col)
{
    std::vector<std::string> out;
    for (const auto& row : cells)
        out.push_back(row[static_cast<size_t>(col)]);
    return out;
}

} // namespace

TEST(CardSort, KeyChoiceFollowsTheButtons)
{
    EXPECT_EQ(ChooseCardSortKey(true, false).column, 1);
    EXPECT_FALSE(ChooseCardSortKey(true, true).descending);
    EXPECT_EQ(ChooseCardSortKey(false, true).column, 2);
    EXPECT_TRUE(ChooseCardSortKey(false, true).descending);
    EXPECT_EQ(ChooseCardSortKey(false, false).column, 0);
    EXPECT_FALSE(ChooseCardSortKey(false, false).descending);
}

TEST(CardSort, AlreadySortedCardIsUnchanged)
{
    std::vector<std::tuple<std::string, std::string, std::string>> runners;
    for (int h = 1; h <= 16; ++h) {
        char n[3];
        std::snprintf(n, sizeof n, "%02d", h);
        runners.emplace_back(std::to_string((h + 1) / 2), n, "");
    }
    const CardCells cells = Card(runners);
    const std::vector<int> order = SortCardByHorseNumber(cells);
    for (size_t r = 0; r < order.size(); ++r)
        EXPECT_EQ(order[r], static_cast<int>(r));
}

TEST(CardSort, HorseNumberOrderMovesWholeRows)
{
    const CardCells cells = Card({{"3", "05", ""}, {"1", "01", ""}, {"8", "12", ""}, {"2", "03", ""}, {"1", "02", ""}});
    const CardCells sorted = ApplyRowOrder(cells, SortCardByHorseNumber(cells));
    EXPECT_EQ(Column(sorted, 1), (std::vector<std::string>{SJ("馬"), "01", "02", "03", "05", "12"}));
    EXPECT_EQ(Column(sorted, 3), (std::vector<std::string>{SJ("馬名"), "name01", "name02", "name03", "name05", "name12"}));
    EXPECT_EQ(Column(sorted, 0), (std::vector<std::string>{SJ("枠"), "1", "1", "2", "3", "8"}));
}

TEST(CardSort, BracketKeyGroupsBracketsInHorseNumberOrder)
{
    const CardCells cells = Card({{"2", "04", ""}, {"1", "02", ""}, {"2", "03", ""}, {"1", "01", ""},
                                  {"3", "06", ""}, {"3", "05", ""}, {"2", "07", ""}});
    const CardCells sorted = ApplyRowOrder(cells, SortCardByHorseNumber(cells, false, false));
    EXPECT_EQ(Column(sorted, 0), (std::vector<std::string>{SJ("枠"), "1", "1", "2", "2", "2", "3", "3"}));
    EXPECT_EQ(Column(sorted, 1), (std::vector<std::string>{SJ("馬"), "01", "02", "03", "04", "07", "05", "06"}));
}

TEST(CardSort, PrizeKeyPutsGreatestMaximFirstAndTiesInHorseNumberOrder)
{
    const std::string m1 = SJ("牡1戦目"), m3 = SJ("牡3戦目"), f2 = SJ("牝2戦目");
    const CardCells cells = Card({{"1", "01", ""}, {"1", "02", m1}, {"2", "03", f2}, {"2", "04", m3},
                                  {"3", "05", m1}, {"3", "06", ""}, {"4", "07", f2}, {"4", "08", m1}});
    const CardCells sorted = ApplyRowOrder(cells, SortCardByHorseNumber(cells, false, true));
    // Byte order of the CP932 labels: 牝 (0x96 0xC4) > 牡 (0x89 0xB2); "3" > "1".
    EXPECT_EQ(Column(sorted, 2), (std::vector<std::string>{SJ("格言該当"), f2, f2, m3, m1, m1, m1, "", ""}));
    EXPECT_EQ(Column(sorted, 1), (std::vector<std::string>{SJ("馬"), "03", "07", "04", "02", "05", "08", "01", "06"}));
}

TEST(CardSort, DescendingRangeAndShortRows)
{
    CardCells cells = {{"h"}, {"b"}, {"d"}, {"a"}, {"c"}, {}};
    std::vector<int> order = {0, 1, 2, 3, 4, 5};
    SortCardRows(cells, order, 1, 99, true, 0);
    EXPECT_EQ(order, (std::vector<int>{0, 2, 4, 1, 3, 5})); // the row without the column sorts as empty
    SortCardRows(cells, order, 1, 2, false, 0);
    EXPECT_EQ(order, (std::vector<int>{0, 4, 2, 1, 3, 5}));
}

TEST(CardSort, TextGridOverloads)
{
    TextGrid grid = TextGrid::FromRows(Card({{"2", "02", ""}, {"1", "01", ""}}));
    ApplyRowOrder(grid, SortCardByHorseNumber(grid));
    EXPECT_EQ(grid.Cell(1, 1), "01");
    EXPECT_EQ(grid.Cell(3, 2), "name02");
    EXPECT_EQ(grid.Cell(1, 0), SJ("馬"));
}
