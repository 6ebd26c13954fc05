// Cell texts of the race card and the matching-horse list, and the clipboard
// text of a grid.
#include "views/RaceCardText.h"

#include "app/StoredDayBuilder.h"
#include "views/MatchListText.h"

#include <gtest/gtest.h>

#include <memory>

namespace tervan {
namespace {

using test::Horse;
using test::KeyOn;

std::vector<std::string> Split(const std::string& text, const std::string& sep)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(sep, start)) != std::string::npos; start = at + sep.size())
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

TEST(GridText, CopyTextAndItsBounds)
{
    TextGrid grid(3, 2);
    grid.SetCell(0, 0, "a");
    grid.SetCell(2, 1, "f");
    EXPECT_EQ(CopyGridText(grid, 0, 0, "H", 1, 2), "H\r\na\t\t\r\n\t\tf\r\n");
    EXPECT_EQ(CopyGridText(grid, -5, -5, "H", 99, 99), CopyWholeGridText(grid, "H"));
    EXPECT_EQ(CopyGridText(grid, 2, 1, "", 1, 2), "\r\nf\r\n");
    EXPECT_EQ(CopyGridText(grid, 1, 0, "H", 1, 0), "");  // right < left
    EXPECT_EQ(CopyGridText(grid, 0, 1, "H", 0, 2), "");  // bottom < top
    EXPECT_EQ(CopyGridText(grid, 3, 0, "H", 1, 5), "");  // left beyond the columns
    EXPECT_EQ(CopyGridText(grid, 0, 2, "H", 5, 2), "");  // top beyond the rows
    EXPECT_EQ(CopyGridText(grid, -3, 0, "H", 1, -1), ""); // right < 0
    grid.SetCell(7, 7, "ignored");
    EXPECT_EQ(grid.Cell(7, 7), "");
}

TEST(RaceCardText, CellFormats)
{
    EXPECT_EQ(ResultCellText(1, 3, 5.2), " 1" + SJ("着") + "   3" + SJ("人") + "     5.2");
    EXPECT_EQ(ResultCellText(0, 0, 0), std::string(18, ' '));
    EXPECT_EQ(ResultCellText(12, 0, 123.4), "12" + SJ("着") + std::string(8, ' ') + " 123.4");
    EXPECT_EQ(ForecastOddsCellText(3.5), "   3.5");
    EXPECT_EQ(ForecastOddsCellText(0), "");
    EXPECT_EQ(ForecastRankCellText(1), " 1");
    EXPECT_EQ(ForecastRankCellText(0), "");
}

class CardTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string base = dir.path();
    std::unique_ptr<RaceDay> day = std::make_unique<RaceDay>();

    void Build(int runners, bool blankBracket = false)
    {
        test::Key k = KeyOn("20050105", 1, "06");
        k.meeting = 1;
        k.meetingDay = 2;
        test::StoredDay d(base, k);
        for (int r = 1; r <= 2; ++r) {
            test::Key kr = k;
            kr.race = r;
            test::Line ra = test::RaLine(kr, runners);
            ra.Put(874, r == 1 ? "1005" : "1540");
            d.AddRace(ra);
            for (int n = 1; n <= runners; ++n) {
                Horse h;
                h.number = n;
                h.bracket = (n + 1) / 2;
                h.pedigree = "200110000" + std::to_string(n % 10);
                h.sex = n % 2 ? "1" : "2";
                if (blankBracket && n == 3)
                    h.bracket = 0;
                test::Line se = test::SeLine(kr, h);
                if (blankBracket && n == 3)
                    se.Put(28, " ");
                d.SetSlot(r, n, se);
            }
        }
        d.Write();
        // Every odd horse (male) rested 70 days; every even horse (female) has gap 0 of 60 days.
        for (int n = 0; n < 10; ++n) {
            const std::string ped = "200110000" + std::to_string(n);
            if (n % 2)
                test::WriteHistory(base, ped, {KeyOn("20041027", 5)});
            else
                test::WriteHistory(base, ped, {KeyOn("20040901", 5), KeyOn("20041031", 5)});
        }
        fs::RewriteFile(base + "/DATA/" + SJ("2005年01月05日.yoz"),
                        test::ForecastLine("20050105", "5", 1, 'K', {"3.5", "", "2.0"}));
        ASSERT_EQ(LoadRaceDay(*day, base, d.Stem()).status, DayLoadResult::Loaded);
    }
};

TEST_F(CardTest, CopiedCardHasHeadingHeaderAndOneLinePerRunner)
{
    Build(16);
    const RaceSlot& slot = day->slots[0];
    EXPECT_EQ(RaceCardHeading(slot.summary), SJ("2005年 1月 5日中山 1回 2日 1R"));
    const std::string text = RaceCardCopyText(slot);
    std::vector<std::string> lines = Split(text, "\r\n");
    ASSERT_EQ(lines.back(), "");
    lines.pop_back();
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[0], RaceCardHeading(slot.summary));
    for (size_t i = 1; i < lines.size(); ++i)
        EXPECT_EQ(Split(lines[i], "\t").size(), 14u) << i;
    EXPECT_EQ(lines[1], SJ("枠\t馬\t格言該当\t馬名\t騎手\t調教師\t前1走\t前2走\t前3走\t前4走\t前5走\t予想配当\t予配順位\t結果"));

    const auto row1 = Split(lines[2], "\t");
    EXPECT_EQ(row1[0], "1");
    EXPECT_EQ(row1[1], "01");
    EXPECT_EQ(row1[2], SJ("牡1戦目"));
    EXPECT_EQ(row1[6], "  70");
    EXPECT_EQ(row1[7], "    ");
    EXPECT_EQ(row1[11], "   3.5");
    EXPECT_EQ(row1[12], " 2");
    const auto row2 = Split(lines[3], "\t");
    EXPECT_EQ(row2[2], SJ("牝2戦目"));
    EXPECT_EQ(row2[7], "  60");
    EXPECT_EQ(row2[11], "");
    EXPECT_EQ(Split(lines[4], "\t")[12], " 1");

    const RaceCard card = MakeRaceCard(slot);
    EXPECT_TRUE(card.complete);
    EXPECT_EQ(card.grid.RowCount(), 17);
}

TEST_F(CardTest, RunnerWithoutBracketMakesTheRaceIncomplete)
{
    Build(4, true);
    const RaceCard card = MakeRaceCard(day->slots[1]);
    EXPECT_FALSE(card.complete);
    EXPECT_EQ(card.incompleteMessage, SJ("中山") + " 2" + SJ("Rはデータ作成が未完了です。"));
}

TEST_F(CardTest, MatchListRunsRaceByRaceWithItsRowIndex)
{
    Build(6);
    const MatchList list = BuildMatchList(*day);
    // Every runner of both races matches a maxim.
    ASSERT_EQ(list.count, 12);
    ASSERT_EQ(list.grid.RowCount(), 13);
    ASSERT_EQ(list.index.size(), 13u);
    EXPECT_EQ(list.index[1].race, 0);
    EXPECT_EQ(list.index[1].runner, 0);
    EXPECT_EQ(list.index[7].race, 1);
    EXPECT_EQ(list.index[12].runner, 5);
    EXPECT_EQ(list.grid.Cell(0, 1), SJ("中山") + " 01R [10:05]");
    EXPECT_EQ(list.grid.Cell(0, 7), SJ("中山") + " 02R [15:40]");
    EXPECT_EQ(list.grid.Cell(2, 12), "06");
    EXPECT_EQ(list.grid.Cell(3, 1), SJ("牡1戦目"));
    EXPECT_EQ(list.grid.Cell(0, 0), SJ("該当レース"));

    const std::string text = MatchListCopyText(*day);
    std::vector<std::string> lines = Split(text, "\r\n");
    lines.pop_back();
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[0], SJ("2005年01月05日中山"));
    for (size_t i = 1; i < lines.size(); ++i)
        EXPECT_EQ(Split(lines[i], "\t").size(), 15u);
    EXPECT_EQ(MatchListCopyText(*day), text); // rebuilding gives the same list

    ResetSummaries(*day);
    const MatchList empty = BuildMatchList(*day);
    EXPECT_EQ(empty.count, 0);
    EXPECT_EQ(empty.grid.RowCount(), 1);
}

} // namespace
} // namespace tervan
