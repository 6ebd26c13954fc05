#include "views/HeaderStrip.h"

#include "reference/FixedRecord.h"
#include "reference/KeibaFunc.h"
#include "reference/ShiftJis.h"

#include <cstdio>

namespace tervan {
namespace {

std::string Format2d(long long value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%2lld", value);
    return buffer;
}

} // namespace

std::string GradeText(std::string_view gradeCode)
{
    if (gradeCode == "A")
        return "G1   ";
    if (gradeCode == "B")
        return "G2   ";
    if (gradeCode == "C")
        return "G3   ";
    if (gradeCode == "D")
        return SJ("重賞 ");
    if (gradeCode == "E")
        return SJ("特別競走 ");
    if (gradeCode == "F")
        return "JG1  ";
    if (gradeCode == "G")
        return "JG2  ";
    if (gradeCode == "H")
        return "JG3  ";
    return SJ("一般競走");
}

std::string WeightRuleText(std::string_view weightTypeCode)
{
    if (weightTypeCode == "1")
        return SJ("ハンデ");
    if (weightTypeCode == "2")
        return SJ("別定　");
    if (weightTypeCode == "3")
        return SJ("馬齢　");
    if (weightTypeCode == "4")
        return SJ("定量　");
    return {};
}

std::string RaceClassText(std::string_view code, std::string_view raceDate)
{
    if (code == "701")
        return SJ("新馬　　　");
    if (code == "702")
        return SJ("未出走　　");
    if (code == "703")
        return SJ("未勝利　　");
    if (code == "999")
        return SJ("ｵｰﾌﾟﾝ　　 ");
    // A blank code (also the empty field of a race without runners) and
    // "000" carry no class.
    if (TrimSpaces(code).empty() || code == "000")
        return SJ("　　　　　");
    if (code == "100")
        return SJ("1億円下   ");
    // Dates compare as yyyymmdd text; a blank date is an early one.
    if (raceDate.substr(0, 8) >= kClassRenameDate) {
        if (code == "005")
            return SJ("1勝クラス ");
        if (code == "010")
            return SJ("2勝クラス ");
        if (code == "016")
            return SJ("3勝クラス ");
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%4lld", ReadDecimal(code) * 100);
    return buffer + SJ("万円下");
}

std::string TrackText(std::string_view trackCode)
{
    const long long v = ReadDecimal(trackCode);
    if (v == 10)
        return SJ("芝直");
    if (v >= 11 && v <= 16)
        return SJ("芝左");
    if (v >= 17 && v <= 22)
        return SJ("芝右");
    if (v == 23)
        return SJ("ﾀﾞ左");
    if (v == 24)
        return SJ("ﾀﾞ右");
    if (v == 29)
        return SJ("ﾀﾞ直");
    if (v >= 51 && v <= 59)
        return SJ("障害");
    return {};
}

std::string PostTimeText(std::string_view postTime)
{
    return MidStr(postTime, 1, 2) + SJ("時") + MidStr(postTime, 3, 2) + SJ("分発走");
}

std::string DateMeetingLine(std::string_view raceKey)
{
    const std::string course = KeibaFunc::CourseName(Mid(raceKey, 9, 2), 0);
    return MidStr(raceKey, 1, 4) + SJ("年") + Format2d(ReadDecimal(Mid(raceKey, 5, 2))) + SJ("月")
        + Format2d(ReadDecimal(Mid(raceKey, 7, 2))) + SJ("日") + course.substr(0, 4)
        + KeibaFunc::BlankZeroNum(Mid(raceKey, 11, 2)) + SJ("回")
        + KeibaFunc::BlankZeroNum(Mid(raceKey, 13, 2)) + SJ("日");
}

int RaceNumberOf(std::string_view raceKey)
{
    return static_cast<int>(ReadDecimal(Mid(raceKey, 15, 2)));
}

HeaderStripTexts MakeHeaderStripTexts(const RaceSummary& race)
{
    HeaderStripTexts t;
    t.grade = GradeText(race.gradeCode);
    t.courseName = KeibaFunc::CourseName(Mid(race.raceKey, 9, 2), 0);
    t.raceNumber = std::to_string(RaceNumberOf(race.raceKey));
    t.dateLine = DateMeetingLine(race.raceKey);
    t.raceName = race.raceName;
    t.weightRule = WeightRuleText(race.weightTypeCode);
    t.raceClass = RaceClassText(race.ageConditionCode, Mid(race.raceKey, 1, 8));
    t.track = TrackText(race.trackCode);
    t.distance = KeibaFunc::BlankZeroNum(race.distance) + "m";
    t.postTime = PostTimeText(race.postTime);
    t.runnerCount = KeibaFunc::BlankZeroNum(race.registeredCount) + SJ("頭");
    return t;
}

const std::string& HeaderLabelText(const HeaderStripTexts& texts, int index)
{
    static const std::string empty;
    switch (index) {
    case 0: return texts.courseName;
    case 1: return texts.raceNumber;
    case 2: return texts.dateLine;
    case 3: return texts.raceName;
    case 4: return texts.runnerCount;
    case 5: return texts.weightRule;
    case 6: return texts.raceClass;
    case 7: return texts.track;
    case 8: return texts.distance;
    case 9: return texts.postTime;
    case 10: return texts.grade;
    default: return empty;
    }
}

} // namespace tervan
