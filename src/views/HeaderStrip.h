// The header strip above the race card: eleven labels naming the race on
// display and its conditions. Texts are CP932 and keep their trailing spaces
// (full-width and half-width), which line the labels up.
#pragma once

#include <string>
#include <string_view>

#include "app/RaceDay.h"

namespace tervan {

struct HeaderStripTexts {
    std::string courseName;  // Label3D1: CourseName(racecourse code, 0), e.g. "中山  "
    std::string raceNumber;  // Label3D2: race number as a plain decimal, "11", "1"
    std::string dateLine;    // Label3D3: "2005年 1月 5日中山 1回 2日"
    std::string raceName;    // Label3D4: the race name as stored
    std::string runnerCount; // Label3D110: BlankZeroNum(registered count) + "頭"
    std::string weightRule;  // Label3D5: "ハンデ", "別定　", "馬齢　", "定量　" or empty
    std::string raceClass;   // Label3D6: "新馬　　　", " 500万円下", "1勝クラス ", ...
    std::string track;       // Label3D7: "芝直", "芝左", "芝右", "ﾀﾞ左", "ﾀﾞ右", "ﾀﾞ直", "障害" or empty
    std::string distance;    // Label3D8: BlankZeroNum(distance) + "m"
    std::string postTime;    // Label3D9: "15時40分発走"
    std::string grade;       // Label3D115: "G1   ", ..., "特別競走 ", "一般競走"
};

// All eleven texts of one race.
HeaderStripTexts MakeHeaderStripTexts(const RaceSummary& race);

// The date-and-meeting line of a RaceKey (yyyy mmdd course meeting day race):
// year + "年" + month "%2d" + "月" + day "%2d" + "日" + the first 4 bytes of
// the selector-0 course name + BlankZeroNum(meeting) + "回" +
// BlankZeroNum(day of meeting) + "日". The race card's copy and CSV heading
// and its CSV file name start with it.
std::string DateMeetingLine(std::string_view raceKey);

// The race number of a RaceKey (its last two bytes) as a number.
int RaceNumberOf(std::string_view raceKey);

// The code tables of the strip.
std::string GradeText(std::string_view gradeCode);
std::string WeightRuleText(std::string_view weightTypeCode);
// The class of a race run on raceDate (yyyymmdd, the first 8 bytes of its
// RaceKey). JRA renamed the classes 005, 010 and 016 after the wins a horse
// has had from the summer season of 2019 on: races from kClassRenameDate show
// "1勝クラス ", "2勝クラス ", "3勝クラス " (padded to the label's 10 bytes),
// earlier ones " 500万円下", "1000万円下", "1600万円下".
inline constexpr std::string_view kClassRenameDate = "20190601";
std::string RaceClassText(std::string_view ageConditionCode, std::string_view raceDate);
std::string TrackText(std::string_view trackCode);
std::string PostTimeText(std::string_view postTime);

// Where and how each label is drawn (the strip's panel has the system's
// tooltip colour; every label is bold "ＭＳ ゴシック").
struct HeaderLabelStyle {
    const char* name;       // "Label3D1", ...
    int left, top;          // position on the strip
    int width, height;      // 0 = sized to its text
    int pixelSize;          // font height in pixels
    unsigned textColour;    // 0xRRGGBB
    bool opaque;            // draws its own background
    unsigned background;    // 0xRRGGBB when opaque
    bool centred;
};
inline constexpr HeaderLabelStyle kHeaderLabelStyles[11] = {
    {"Label3D1", 4, 2, 0, 0, 19, 0x000000, false, 0, false},
    {"Label3D2", 6, 26, 35, 29, 24, 0xFFFFFF, true, 0x000000, true},
    {"Label3D3", 62, 4, 0, 0, 15, 0x000000, false, 0, false},
    {"Label3D4", 62, 22, 0, 0, 15, 0x000000, false, 0, false},
    {"Label3D110", 60, 38, 0, 0, 13, 0x0000FF, false, 0, false},
    {"Label3D5", 108, 38, 0, 0, 13, 0x000000, false, 0, false},
    {"Label3D6", 168, 38, 0, 0, 13, 0x000000, false, 0, false},
    {"Label3D7", 256, 38, 0, 0, 13, 0x000000, false, 0, false},
    {"Label3D8", 326, 38, 0, 0, 13, 0x000000, false, 0, false},
    {"Label3D9", 296, 4, 0, 0, 13, 0x0000FF, false, 0, false},
    {"Label3D115", 402, 6, 0, 0, 12, 0x000000, false, 0, false},
};

// The text of a label of kHeaderLabelStyles by its index (0-10).
const std::string& HeaderLabelText(const HeaderStripTexts& texts, int index);

} // namespace tervan
