#include "views/HeaderStrip.h"

#include "reference/ShiftJis.h"

#include <gtest/gtest.h>

using namespace tervan;

TEST(HeaderStrip, GradeTable)
{
    EXPECT_EQ(GradeText("A"), "G1   ");
    EXPECT_EQ(GradeText("B"), "G2   ");
    EXPECT_EQ(GradeText("C"), "G3   ");
    EXPECT_EQ(GradeText("D"), SJ("重賞 "));
    EXPECT_EQ(GradeText("E"), SJ("特別競走 "));
    EXPECT_EQ(GradeText("F"), "JG1  ");
    EXPECT_EQ(GradeText("G"), "JG2  ");
    EXPECT_EQ(GradeText("H"), "JG3  ");
    for (const char* other : {"I", " ", "", "a", "AB"})
        EXPECT_EQ(GradeText(other), SJ("一般競走")) << other;
}

TEST(HeaderStrip, WeightRuleTable)
{
    EXPECT_EQ(WeightRuleText("1"), SJ("ハンデ"));
    EXPECT_EQ(WeightRuleText("2"), SJ("別定　"));
    EXPECT_EQ(WeightRuleText("3"), SJ("馬齢　"));
    EXPECT_EQ(WeightRuleText("4"), SJ("定量　"));
    EXPECT_EQ(SJ("定量　").size(), 6u);
    for (const char* other : {"0", "5", " ", ""})
        EXPECT_EQ(WeightRuleText(other), "") << other;
}

TEST(HeaderStrip, ClassTable)
{
    // Before the renaming of 2019 and after it: only 005, 010 and 016 change.
    for (const char* date : {"20190531", "20190601", "        "}) {
        EXPECT_EQ(RaceClassText("701", date), SJ("新馬　　　"));
        EXPECT_EQ(RaceClassText("702", date), SJ("未出走　　"));
        EXPECT_EQ(RaceClassText("703", date), SJ("未勝利　　"));
        EXPECT_EQ(RaceClassText("999", date), SJ("ｵｰﾌﾟﾝ　　 "));
        EXPECT_EQ(RaceClassText("   ", date), SJ("　　　　　"));
        EXPECT_EQ(RaceClassText("000", date), SJ("　　　　　"));
        EXPECT_EQ(RaceClassText("", date), SJ("　　　　　"));
        EXPECT_EQ(RaceClassText("100", date), SJ("1億円下   "));
        EXPECT_EQ(RaceClassText("008", date), SJ(" 800万円下"));
    }
    EXPECT_EQ(SJ("ｵｰﾌﾟﾝ　　 ").size(), 10u);
    for (const char* early : {"20190531", "20050105", "        ", ""}) {
        EXPECT_EQ(RaceClassText("005", early), SJ(" 500万円下")) << early;
        EXPECT_EQ(RaceClassText("010", early), SJ("1000万円下")) << early;
        EXPECT_EQ(RaceClassText("016", early), SJ("1600万円下")) << early;
    }
    for (const char* late : {"20190601", "20261207"}) {
        EXPECT_EQ(RaceClassText("005", late), SJ("1勝クラス ")) << late;
        EXPECT_EQ(RaceClassText("010", late), SJ("2勝クラス ")) << late;
        EXPECT_EQ(RaceClassText("016", late), SJ("3勝クラス ")) << late;
        EXPECT_EQ(RaceClassText("016", late).size(), 10u);
    }
}

TEST(HeaderStrip, TrackTable)
{
    EXPECT_EQ(TrackText("10"), SJ("芝直"));
    for (int c = 11; c <= 16; ++c)
        EXPECT_EQ(TrackText(std::to_string(c)), SJ("芝左")) << c;
    for (int c = 17; c <= 22; ++c)
        EXPECT_EQ(TrackText(std::to_string(c)), SJ("芝右")) << c;
    EXPECT_EQ(TrackText("23"), SJ("ﾀﾞ左"));
    EXPECT_EQ(TrackText("24"), SJ("ﾀﾞ右"));
    EXPECT_EQ(TrackText("29"), SJ("ﾀﾞ直"));
    for (int c = 25; c <= 28; ++c)
        EXPECT_EQ(TrackText(std::to_string(c)), "") << c;
    for (int c = 51; c <= 59; ++c)
        EXPECT_EQ(TrackText(std::to_string(c)), SJ("障害")) << c;
    for (const char* other : {"00", "09", "30", "50", "60", "  ", ""})
        EXPECT_EQ(TrackText(other), "") << other;
}

TEST(HeaderStrip, DateLineAndRaceNumber)
{
    // 5 January 2005, 中山 ("06"), meeting 1, day 2, race 1.
    EXPECT_EQ(DateMeetingLine("2005010506010201"), SJ("2005年 1月 5日中山 1回 2日"));
    EXPECT_EQ(DateMeetingLine("2006052805020811"), SJ("2006年 5月28日東京 2回 8日"));
    EXPECT_EQ(RaceNumberOf("2005010506010201"), 1);
    EXPECT_EQ(RaceNumberOf("2006052805020811"), 11);
    // An empty key (a race never loaded) gives blanks, never a crash.
    EXPECT_EQ(DateMeetingLine(""), SJ("年 0月 0日    回日"));
}

TEST(HeaderStrip, AllLabelsOfARace)
{
    RaceSummary race;
    race.raceKey = "2006052805020811";
    race.raceName = SJ("東京優駿") + std::string(52, ' ');
    race.gradeCode = "A";
    race.weightTypeCode = "3";
    race.ageConditionCode = "999";
    race.distance = "2400";
    race.trackCode = "11";
    race.postTime = "1540";
    race.registeredCount = "18";
    const HeaderStripTexts t = MakeHeaderStripTexts(race);
    EXPECT_EQ(t.courseName, SJ("東京  "));
    EXPECT_EQ(t.raceNumber, "11");
    EXPECT_EQ(t.dateLine, SJ("2006年 5月28日東京 2回 8日"));
    EXPECT_EQ(t.raceName, race.raceName);
    EXPECT_EQ(t.runnerCount, SJ("18頭"));
    EXPECT_EQ(t.weightRule, SJ("馬齢　"));
    EXPECT_EQ(t.raceClass, SJ("ｵｰﾌﾟﾝ　　 "));
    EXPECT_EQ(t.track, SJ("芝左"));
    EXPECT_EQ(t.distance, "2400m");
    EXPECT_EQ(t.postTime, SJ("15時40分発走"));
    EXPECT_EQ(t.grade, "G1   ");

    race.distance = "1000";
    race.registeredCount = "08";
    race.raceKey = "2005010506010201";
    const HeaderStripTexts u = MakeHeaderStripTexts(race);
    EXPECT_EQ(u.raceNumber, "1");
    EXPECT_EQ(u.runnerCount, SJ(" 8頭"));
    EXPECT_EQ(u.distance, "1000m");
    // The strip names the class by the race's own date.
    race.ageConditionCode = "010";
    EXPECT_EQ(MakeHeaderStripTexts(race).raceClass, SJ("1000万円下"));
    race.raceKey = "2019060105030111";
    EXPECT_EQ(MakeHeaderStripTexts(race).raceClass, SJ("2勝クラス "));
    EXPECT_EQ(HeaderLabelText(u, 0), u.courseName);
    EXPECT_EQ(HeaderLabelText(u, 10), u.grade);
    EXPECT_EQ(std::string(kHeaderLabelStyles[10].name), "Label3D115");
    EXPECT_EQ(HeaderLabelText(u, 11), "");
}
