#include "views/PaintRules.h"

#include "reference/ShiftJis.h"

#include <gtest/gtest.h>

using namespace tervan;

namespace {

// A day whose race 0 has runner i (horse number i + 1) set up by the test.
struct Day {
    RaceDay day;
    RaceSummary& race() { return day.slots[0].summary; }
    RunnerSummary& runner(int horse) { return race().runners[static_cast<size_t>(horse - 1)]; }

    Day()
    {
        race().loaded = true;
        race().raceKey = "2005010506010201";
        race().postTime = "1005";
        race().registeredCount = "16";
        for (int h = 1; h <= 16; ++h) {
            RunnerSummary& r = runner(h);
            r.horseNumber = (h < 10 ? "0" : "") + std::to_string(h);
            r.bracketNumber = std::to_string((h + 1) / 2);
            r.horseName = SJ("テストホース") + "      ";
            r.sexCode = "1";
            r.weightCarried = "550";
            r.jockeyName = SJ("武豊") + "    ";
            r.trainerName = SJ("藤沢和") + "  ";
            r.pedigreeNumber = "2001104321";
            for (auto& k : r.pastRunKeys)
                k = std::string(16, ' ');
            for (auto& g : r.pastRunGaps)
                g = "    ";
            r.restDays = "    ";
        }
    }

    CellPaint card(int horse, int col, bool selected = false)
    {
        return CardCellPaint(day, 0, std::to_string(horse), col, selected);
    }
};

const TextRun& RunAt(const CellPaint& p, size_t i)
{
    static const TextRun none;
    if (i >= p.runs.size()) {
        ADD_FAILURE() << "no run " << i;
        return none;
    }
    return p.runs[i];
}

} // namespace

TEST(PaintRules, HeaderCells)
{
    const CellPaint c0 = CardHeaderPaint(0);
    EXPECT_TRUE(c0.header);
    EXPECT_EQ(c0.background, kColourButtonFace);
    ASSERT_EQ(c0.runs.size(), 2u);
    EXPECT_EQ(c0.runs[0].text, SJ("枠"));
    EXPECT_EQ(c0.runs[1].text, SJ("番"));
    EXPECT_EQ(c0.runs[1].y, 1 + GothicTextHeight(9));
    EXPECT_EQ(CardHeaderPaint(7).runs[0].text, SJ("前2走日付"));
    EXPECT_EQ(CardHeaderPaint(7).runs[1].text, SJ("　　間隔"));
    EXPECT_TRUE(CardHeaderPaint(4).standardHeader);
    EXPECT_EQ(CardHeaderPaint(4).runs[0].text, SJ("騎手"));
    EXPECT_EQ(CardHeaderPaint(13).runs[1].text, SJ("確定ｵｯｽﾞ"));
    EXPECT_TRUE(CardHeaderPaint(13).bottomLine);

    EXPECT_EQ(ListHeaderPaint(0).runs[0].text, SJ("該当ﾚｰｽ"));
    EXPECT_EQ(ListHeaderPaint(8).runs[0].text, SJ("前2走日付"));
    EXPECT_EQ(ListHeaderPaint(14).runs[0].text, SJ("着順/人気"));
}

TEST(PaintRules, BracketHorseAndMaximColumns)
{
    Day d;
    d.runner(1).maxim = SJ("牡1戦目");
    const CellPaint b1 = d.card(1, 0);
    EXPECT_EQ(b1.background, 0xFFFFFFu);
    EXPECT_EQ(RunAt(b1, 0).text, "1");
    EXPECT_EQ(RunAt(b1, 0).colour, kColourBlack);
    EXPECT_TRUE(RunAt(b1, 0).bold);
    EXPECT_EQ(RunAt(b1, 0).pointSize, 10);
    const CellPaint b4 = d.card(7, 0);
    EXPECT_EQ(b4.background, 0x0000FFu);
    EXPECT_EQ(RunAt(b4, 0).colour, kColourWhite);
    EXPECT_EQ(d.card(9, 0).background, 0xFFFF00u);
    EXPECT_EQ(RunAt(d.card(9, 0), 0).colour, kColourBlack);
    EXPECT_EQ(d.card(13, 0).background, 0xFF8000u);

    const CellPaint h = d.card(9, 1);
    EXPECT_EQ(h.background, kColourToolTip);
    EXPECT_EQ(RunAt(h, 0).text, " 9");

    const CellPaint m = d.card(1, 2);
    EXPECT_EQ(m.background, 0xCEFFFFu);
    EXPECT_EQ(RunAt(m, 0).text, SJ("牡1戦目"));
    EXPECT_EQ(RunAt(m, 0).colour, kColourRed);
    EXPECT_FALSE(RunAt(m, 0).bold);
}

TEST(PaintRules, NameSexAgeAndWeight)
{
    Day d;
    d.day.slots[0].runnerLines[3].replace(82, 2, "04");
    const CellPaint c = d.card(4, 3);
    ASSERT_EQ(c.runs.size(), 3u);
    EXPECT_EQ(c.runs[0].text, d.runner(4).horseName);
    EXPECT_EQ(c.runs[0].y, -1);
    EXPECT_TRUE(c.runs[0].bold);
    EXPECT_EQ(c.runs[1].text, SJ("牡") + " 4");
    EXPECT_EQ(c.runs[1].colour, kColourBlue);
    EXPECT_EQ(c.runs[1].y, -1 + GothicTextHeight(10));
    EXPECT_EQ(c.runs[2].text, "55.0kg");
    EXPECT_EQ(c.runs[2].x, 65);

    d.runner(4).weightCarried = "   ";
    EXPECT_EQ(d.card(4, 3).runs.size(), 2u);

    // The list: its own sex texts and the age from the clock's year.
    d.runner(4).sexCode = "3";
    EXPECT_EQ(ListCellPaint(d.day, 0, 3, 4, false, 2005).runs[1].text, SJ("ｾﾝ") + "4");
    d.runner(4).sexCode = "2";
    EXPECT_EQ(ListCellPaint(d.day, 0, 3, 4, false, 2010).runs[1].text, SJ("牝") + "9");
    d.runner(4).sexCode = "9";
    EXPECT_EQ(ListCellPaint(d.day, 0, 3, 4, false, 2005).runs[1].text, "  4");
    d.runner(4).pedigreeNumber = "ABCD104321";
    EXPECT_EQ(ListCellPaint(d.day, 0, 3, 4, false, 2005).runs[1].text, "  ");
}

TEST(PaintRules, PastRunDatesAndIntervals)
{
    Day d;
    RunnerSummary& r = d.runner(2);
    r.pastRunKeys[0] = "2004110706040511";
    r.pastRunKeys[1] = "2004090506030211";
    r.restDays = "  60";
    r.pastRunGaps[0] = "  63";
    const CellPaint c6 = d.card(2, 6);
    ASSERT_EQ(c6.runs.size(), 2u);
    EXPECT_EQ(c6.runs[0].text, "2004.11.07");
    EXPECT_EQ(c6.runs[1].text, SJ("　") + "  60" + SJ("日"));
    EXPECT_EQ(c6.runs[1].y, 1 + GothicTextHeight(9));
    EXPECT_EQ(c6.runs[1].colour, kColourRed); // male, rest days 60
    EXPECT_EQ(d.card(2, 7).runs[1].colour, kColourBlue); // male, gap 0 63
    // No third run: a single space and no interval.
    const CellPaint c8 = d.card(2, 8);
    ASSERT_EQ(c8.runs.size(), 1u);
    EXPECT_EQ(c8.runs[0].text, " ");

    r.sexCode = "3"; // gelding, 60 days: blue
    EXPECT_EQ(d.card(2, 6).runs[1].colour, kColourBlue);
    r.restDays = "  55";
    r.sexCode = "1"; // 55 days: black
    EXPECT_EQ(d.card(2, 6).runs[1].colour, kColourBlack);
    r.pastRunGaps[0] = "  70";
    r.sexCode = "2"; // female, gap 0 of 70: red
    EXPECT_EQ(d.card(2, 7).runs[1].colour, kColourRed);
    r.pastRunGaps[1] = "  56";
    EXPECT_EQ(d.card(2, 8).runs[1].colour, kColourBlue);
    r.sexCode = "1"; // male, gap 1 of 56: red
    EXPECT_EQ(d.card(2, 8).runs[1].colour, kColourRed);

    // The list's columns 7-11 follow the same rule one column on.
    EXPECT_EQ(ListCellPaint(d.day, 0, 1, 9, false, 2005).runs[1].colour, kColourRed);
    r.sexCode = "2";
    EXPECT_EQ(ListCellPaint(d.day, 0, 1, 8, false, 2005).runs[1].colour, kColourRed);
    EXPECT_EQ(ListCellPaint(d.day, 0, 1, 9, false, 2005).runs[1].colour, kColourBlue);

    // A horse without past runs: every date a space, no interval.
    for (int col = 6; col <= 10; ++col) {
        const CellPaint c = d.card(5, col);
        ASSERT_EQ(c.runs.size(), 1u);
        EXPECT_EQ(c.runs[0].text, " ");
    }
}

TEST(PaintRules, ForecastColumnsNeedTheRaceFlag)
{
    Day d;
    d.runner(3).forecastOdds = 4.25;
    d.runner(3).forecastRank = 2;
    EXPECT_EQ(d.card(3, 11).background, 0x8BFC8Bu);
    EXPECT_EQ(RunAt(d.card(3, 11), 0).text, " ");
    EXPECT_EQ(RunAt(d.card(3, 12), 0).text, " ");
    d.race().forecastPresent = true;
    EXPECT_EQ(RunAt(d.card(3, 11), 0).text, "   4.3"); // rounded as the rank rounds it
    EXPECT_EQ(RunAt(d.card(3, 12), 0).text, " 2");
    EXPECT_EQ(RunAt(d.card(3, 12), 0).x, 8);
    EXPECT_EQ(RunAt(d.card(4, 11), 0).text, " ");
    EXPECT_EQ(RunAt(ListCellPaint(d.day, 0, 2, 13, false, 2005), 0).text, " 2");
}

TEST(PaintRules, ResultColumnColours)
{
    Day d;
    d.runner(6).finishingPlace = 1;
    d.runner(6).popularity = 5;
    d.runner(6).winOdds = 12.3;
    const CellPaint c = d.card(6, 13);
    ASSERT_EQ(c.runs.size(), 3u);
    EXPECT_EQ(c.runs[0].text, SJ(" 1着"));
    EXPECT_EQ(c.runs[0].colour, kColourRed);
    EXPECT_TRUE(c.runs[0].bold);
    EXPECT_EQ(c.runs[1].text, SJ(" 5人"));
    EXPECT_EQ(c.runs[1].colour, kColourBlack);
    EXPECT_EQ(c.runs[1].x, 40);
    EXPECT_EQ(c.runs[2].text, "  12.3");
    EXPECT_FALSE(c.runs[2].bold);
    EXPECT_EQ(c.runs[2].x, 20);
    d.runner(6).finishingPlace = 3;
    d.runner(6).popularity = 2;
    EXPECT_EQ(d.card(6, 13).runs[0].colour, kColourBlue);
    EXPECT_EQ(d.card(6, 13).runs[1].colour, kColourBlue);
    // Not run yet: spaces.
    const CellPaint none = d.card(7, 13);
    EXPECT_EQ(none.runs[0].text, " ");
    EXPECT_EQ(none.runs[1].text, " ");
    EXPECT_EQ(none.runs[2].text, " ");
}

TEST(PaintRules, ListRaceColumn)
{
    Day d;
    const CellPaint c = ListCellPaint(d.day, 0, 0, 0, false, 2005);
    ASSERT_EQ(c.runs.size(), 2u);
    EXPECT_EQ(c.runs[0].text, SJ("中山 01R"));
    EXPECT_EQ(c.runs[1].text, SJ("10:05 発走"));
    EXPECT_EQ(c.runs[1].pointSize, 8);
}

// Width in pixels of a CP932 text in the Gothic font of a point size: a
// double-byte character is a square of the font's height, a single byte
// half of it (rounded up).
int GothicTextWidth(const std::string& text, int pointSize)
{
    const int full = GothicTextHeight(pointSize);
    int width = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
            width += full;
            ++i;
        } else {
            width += (full + 1) / 2;
        }
    }
    return width;
}

// The narrowed columns still hold their widest texts: a nine-character name,
// four-character jockey and trainer names, dates, long intervals, "18着",
// "18人", odds of 999.9, and every header line, on the card and on the list.
TEST(PaintRules, WidestTextsFitTheirColumns)
{
    Day d;
    RunnerSummary& r = d.runner(16);
    r.horseName = SJ("アイウエオカキクケ");
    r.jockeyName = SJ("Ｍ．デム");
    r.trainerName = SJ("藤沢和雄");
    r.maxim = SJ("牡1戦目");
    r.sexCode = "3";
    r.weightCarried = "600";
    r.restDays = "9999";
    for (size_t k = 0; k < r.pastRunKeys.size(); ++k) {
        r.pastRunKeys[k] = "2026113005050512";
        if (k < r.pastRunGaps.size())
            r.pastRunGaps[k] = "9999";
    }
    r.forecastOdds = 999.9;
    r.forecastRank = 18;
    r.finishingPlace = 18;
    r.popularity = 18;
    r.winOdds = 999.9;
    d.race().forecastPresent = true;
    auto fits = [](const CellPaint& p, int width, const char* what, int col) {
        for (const TextRun& run : p.runs)
            EXPECT_LE(1 + run.x + GothicTextWidth(run.text, run.pointSize), width)
                << what << " column " << col << ": " << Cp932ToUtf8(run.text);
    };
    for (int col = 0; col < kCardColumnCount; ++col) {
        fits(CardHeaderPaint(col), kCardColumnWidths[col], "card header", col);
        fits(d.card(16, col), kCardColumnWidths[col], "card", col);
    }
    for (int col = 0; col < kListColumnCount; ++col) {
        fits(ListHeaderPaint(col), kListColumnWidths[col], "list header", col);
        fits(ListCellPaint(d.day, 0, 15, col, false, 2026), kListColumnWidths[col], "list", col);
    }
}

// Every text of a selected row, in every colour a row uses (maxims, long
// rests in red and blue, "6人" in blue, places in red), stays readable on
// the selection colour, on the card and on the list.
TEST(PaintRules, SelectedRowTextsStayReadable)
{
    for (PaintColour text : kRowTextColours)
        EXPECT_GE(ContrastRatio(text, kColourSelection), kMinimumTextContrast) << std::hex << text;
    EXPECT_NEAR(ContrastRatio(kColourBlack, kColourWhite), 21.0, 1e-9);
    Day d;
    RunnerSummary& r = d.runner(3);
    r.maxim = SJ("牡1戦目");
    r.restDays = "  70";
    r.pastRunGaps[0] = "  60";
    r.pastRunKeys[0] = "2005010506010201";
    r.pastRunKeys[1] = "2004110506010201";
    r.finishingPlace = 1;
    r.popularity = 6;
    r.winOdds = 12.3;
    r.forecastOdds = 4.5;
    r.forecastRank = 2;
    d.race().forecastPresent = true;
    int checked = 0;
    auto check = [&](const CellPaint& p) {
        ASSERT_FALSE(IsPlatformColour(p.background) && p.background != kColourToolTip && p.background != kColourButtonFace);
        if (p.background != kColourSelection)
            return;
        for (const TextRun& run : p.runs) {
            EXPECT_GE(ContrastRatio(run.colour, p.background), kMinimumTextContrast) << Cp932ToUtf8(run.text);
            ++checked;
        }
    };
    for (int col = 0; col < kCardColumnCount; ++col)
        check(d.card(3, col, true));
    for (int col = 0; col < kListColumnCount; ++col)
        check(ListCellPaint(d.day, 0, 2, col, true, 2005));
    EXPECT_GE(checked, 20);
}

TEST(PaintRules, SelectedRowAndRowsReadTheirHorseNumber)
{
    Day d;
    // A selected white cell takes the selection colour, its texts stay
    // black; a coloured cell keeps its colour.
    const CellPaint sel = d.card(4, 4, true);
    EXPECT_TRUE(sel.selected);
    EXPECT_EQ(sel.background, kColourSelection);
    EXPECT_EQ(RunAt(sel, 0).colour, kColourBlack);
    EXPECT_EQ(RunAt(d.card(4, 4), 0).colour, kColourBlack);
    EXPECT_EQ(d.card(4, 1, true).background, kColourToolTip);

    // Row 1 shows horse 12 after a sort: the painting follows column 1.
    std::vector<std::vector<std::string>> cells(3, std::vector<std::string>(14));
    cells[1][1] = "12";
    cells[2][1] = "xx";
    EXPECT_EQ(RunAt(CardCellPaint(d.day, 0, 1, 1, false, cells), 0).text, "12");
    EXPECT_TRUE(CardCellPaint(d.day, 0, 0, 1, false, cells).header);
    // Out-of-range horse numbers, rows and races paint a plain cell.
    EXPECT_TRUE(CardCellPaint(d.day, 0, 2, 1, false, cells).runs.empty());
    EXPECT_TRUE(CardCellPaint(d.day, 0, 9, 1, false, cells).runs.empty());
    EXPECT_TRUE(d.card(19, 3).runs.empty());
    EXPECT_TRUE(CardCellPaint(d.day, 12, "01", 3, false).runs.empty());
    EXPECT_TRUE(ListCellPaint(d.day, -1, 0, 3, false, 2005).runs.empty());
    EXPECT_TRUE(ListCellPaint(d.day, 0, 18, 3, false, 2005).runs.empty());
    EXPECT_TRUE(CardCellPaint(d.day, 0, 9, 1, false, cells).bottomLine);
}
