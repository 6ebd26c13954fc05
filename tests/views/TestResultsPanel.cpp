#include "views/ResultsPanel.h"

#include "reference/ShiftJis.h"

#include <gtest/gtest.h>

#include <set>

using namespace tervan;

namespace {

const ResultSlotTexts& Find(const std::vector<ResultSlotFill>& fill, BetKind bet, int slot)
{
    for (const auto& f : fill)
        if (f.bet == bet && f.slot == slot)
            return f.texts;
    static ResultSlotTexts none;
    ADD_FAILURE() << "slot missing";
    return none;
}

} // namespace

TEST(ResultsPanel, EmptyRaceFillsEveryLabelEmptyInOrder)
{
    const RaceSummary race;
    const auto fill = FillResultsPanel(race);
    ASSERT_EQ(fill.size(), 21u);
    const BetKind head[9] = {BetKind::Win, BetKind::BracketQuinella, BetKind::Quinella, BetKind::Win,
                             BetKind::BracketQuinella, BetKind::Quinella, BetKind::Win, BetKind::BracketQuinella,
                             BetKind::Quinella};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(fill[static_cast<size_t>(i)].bet, head[i]);
        EXPECT_EQ(fill[static_cast<size_t>(i)].slot, i / 3);
    }
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(fill[static_cast<size_t>(9 + i)].bet, BetKind::Place);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(fill[static_cast<size_t>(14 + i)].bet, BetKind::Wide);
        EXPECT_EQ(fill[static_cast<size_t>(14 + i)].slot, i);
    }
    for (const auto& f : fill) {
        EXPECT_FALSE(f.texts.occupied);
        EXPECT_EQ(f.texts.result + f.texts.popularity + f.texts.payout, "");
    }
}

TEST(ResultsPanel, SlotRules)
{
    RaceSummary race;
    // Dead heat for first.
    race.winPayouts[0] = {3, 1, 250};
    race.winPayouts[1] = {7, 4, 880};
    // Two place payouts only (seven runners or fewer).
    race.placePayouts[0] = {3, 1, 120};
    race.placePayouts[1] = {5, 0, 230};
    race.bracketQuinellaPayouts[0] = {" 0- 0", 0, 0};
    race.bracketQuinellaPayouts[1] = {" 3- 3", 2, 1230};
    race.bracketQuinellaPayouts[2] = {"     ", 1, 100};
    race.quinellaPayouts[0] = {" 3- 7", 12, 12345678};
    race.widePayouts[0] = {" 3- 5", 1, 0};
    const auto fill = FillResultsPanel(race);

    EXPECT_EQ(Find(fill, BetKind::Win, 0).result, " 3");
    EXPECT_EQ(Find(fill, BetKind::Win, 0).popularity, " 1");
    EXPECT_EQ(Find(fill, BetKind::Win, 0).payout, "     250");
    EXPECT_TRUE(Find(fill, BetKind::Win, 1).occupied);
    EXPECT_EQ(Find(fill, BetKind::Win, 1).result, " 7");
    EXPECT_FALSE(Find(fill, BetKind::Win, 2).occupied);

    // Horse 5, popularity 0, payout 230.
    const ResultSlotTexts& p2 = Find(fill, BetKind::Place, 1);
    EXPECT_EQ(p2.result, " 5");
    EXPECT_EQ(p2.popularity, "");
    EXPECT_EQ(p2.payout, "     230");
    for (int s = 2; s < 5; ++s)
        EXPECT_FALSE(Find(fill, BetKind::Place, s).occupied) << s;

    EXPECT_FALSE(Find(fill, BetKind::BracketQuinella, 0).occupied);
    EXPECT_EQ(Find(fill, BetKind::BracketQuinella, 0).payout, "");
    EXPECT_EQ(Find(fill, BetKind::BracketQuinella, 1).result, " 3- 3");
    EXPECT_EQ(Find(fill, BetKind::BracketQuinella, 1).payout, "    1230");
    EXPECT_FALSE(Find(fill, BetKind::BracketQuinella, 2).occupied);
    EXPECT_EQ(Find(fill, BetKind::Quinella, 0).popularity, "12");
    EXPECT_EQ(Find(fill, BetKind::Quinella, 0).payout, "12345678");
    // A payout of 0 is still shown on an occupied slot.
    EXPECT_EQ(Find(fill, BetKind::Wide, 0).payout, "       0");
}

TEST(ResultsPanel, LayoutNamesEveryLabelOnce)
{
    std::set<std::string> names;
    int count = 0;
    for (BetKind bet : {BetKind::Win, BetKind::Place, BetKind::BracketQuinella, BetKind::Quinella, BetKind::Wide})
        for (int s = 0; s < BetSlotCount(bet); ++s)
            for (ResultRow row : {ResultRow::Result, ResultRow::Popularity, ResultRow::Payout}) {
                names.insert(ResultLabelName(bet, s, row));
                ++count;
            }
    EXPECT_EQ(count, 63);
    EXPECT_EQ(names.size(), 63u);
    EXPECT_STREQ(ResultLabelName(BetKind::Win, 0, ResultRow::Popularity), "Label3D21");
    EXPECT_STREQ(ResultLabelName(BetKind::Wide, 6, ResultRow::Payout), "Label3D100");
    EXPECT_STREQ(ResultLabelName(BetKind::Win, 3, ResultRow::Result), "");
    EXPECT_EQ(ResultSlotLeft(6), 433);
    EXPECT_EQ(ResultRowTop(BetKind::Wide, ResultRow::Payout), 310);
    EXPECT_EQ(BetTitle(BetKind::Wide), SJ("ﾜｲﾄﾞ"));
    EXPECT_EQ(ResultRowColour(ResultRow::Popularity), 0xFFFF8Eu);
}

// ---- tervan-tool results ----

#include "app/StoredDayBuilder.h"
#include "support/TestSupport.h"

#include <sstream>

TEST(ResultsTool, PrintsEverySlotInPanelOrder)
{
    test::TempDir dir;
    const std::string base = dir.path();
    test::StoredDay d(base, test::KeyOn("20060528"));
    d.AddRace(test::RaLine(test::KeyOn("20060528", 1), 2));
    test::Horse a;
    test::Horse b;
    b.number = 2;
    b.pedigree = "2002100002";
    d.SetSlot(1, 1, test::SeLine(test::KeyOn("20060528", 1), a));
    d.SetSlot(1, 2, test::SeLine(test::KeyOn("20060528", 1), b));
    test::Line hr(719);
    test::PutKey(hr, "HR", test::KeyOn("20060528", 1));
    hr.Put(103, "02000000350 1").Put(116, "01000000360 2"); // dead heat: horses 2 and 1
    hr.Put(142, "02000000120 1").Put(155, "01000000130 0"); // two place payouts
    hr.Put(207, "12000000500 1");                           // 枠連 1-2; slot 2 stays " 0- 0"
    hr.Put(246, "0102000001230  3");                        // 馬連 1-2
    hr.Put(294, "0102000000220  1");                        // ﾜｲﾄﾞ 1-2
    d.AddPayout(hr);
    d.Write();

    std::string out, err;
    ASSERT_EQ(test::RunTool({"results", Cp932ToUtf8(base), "2006年05月28日東京", "1"}, out, &err), 0) << err;
    std::istringstream lines(out);
    std::vector<std::string> got;
    for (std::string line; std::getline(lines, line);)
        got.push_back(line);
    ASSERT_EQ(got.size(), 21u);
    EXPECT_EQ(got[0], "単勝\t1\t 2\t 1\t     350");
    EXPECT_EQ(got[1], "単勝\t2\t 1\t 2\t     360");
    EXPECT_EQ(got[2], "単勝\t3\t\t\t");
    EXPECT_EQ(got[3], "複勝\t1\t 2\t 1\t     120");
    EXPECT_EQ(got[4], "複勝\t2\t 1\t\t     130");
    EXPECT_EQ(got[5], "複勝\t3\t\t\t");
    EXPECT_EQ(got[8], "枠連\t1\t 1- 2\t 1\t     500");
    EXPECT_EQ(got[9], "枠連\t2\t\t\t");
    EXPECT_EQ(got[11], "馬連\t1\t 1- 2\t 3\t    1230");
    EXPECT_EQ(got[14], "ﾜｲﾄﾞ\t1\t 1- 2\t 1\t     220");
    EXPECT_EQ(got[20], "ﾜｲﾄﾞ\t7\t\t\t");

    EXPECT_NE(test::RunTool({"results", Cp932ToUtf8(base), "2006年05月28日東京", "2"}, out, &err), 0);
    EXPECT_NE(test::RunTool({"results", Cp932ToUtf8(base), "2006年05月27日東京", "1"}, out, &err), 0);
}
