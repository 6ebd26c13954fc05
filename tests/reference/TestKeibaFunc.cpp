#include "reference/KeibaFunc.h"
#include "reference/ShiftJis.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using namespace tervan;
using namespace tervan::KeibaFunc;

namespace {

// tests/data/reference/CourseTable.tsv is a CP932 copy of the racecourse code
// table made apart from the program's own table (code, then selectors 0, 1,
// 2, 3, 9, separated by tabs; trailing spaces kept).
struct ExpectedCourse {
    std::string code;
    std::string names[5];
};

std::vector<ExpectedCourse> LoadExpectedCourses()
{
    const std::string text = test::ReadAll(test::TestData("reference/CourseTable.tsv"));
    std::vector<ExpectedCourse> rows;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::vector<std::string> cells;
        size_t cell = pos;
        while (true) {
            const size_t tab = text.find('\t', cell);
            if (tab == std::string::npos || tab > end) {
                cells.emplace_back(text.substr(cell, end - cell));
                break;
            }
            cells.emplace_back(text.substr(cell, tab - cell));
            cell = tab + 1;
        }
        EXPECT_EQ(cells.size(), 6u) << "line at byte " << pos;
        if (cells.size() == 6) {
            ExpectedCourse row;
            row.code = cells[0];
            for (int i = 0; i < 5; ++i)
                row.names[i] = cells[i + 1];
            rows.push_back(row);
        }
        pos = end + 1;
    }
    return rows;
}

constexpr int kSelectors[5] = {0, 1, 2, 3, 9};

} // namespace

TEST(CourseName, EveryCodeAndSelectorMatchesTheCodeTable)
{
    const auto rows = LoadExpectedCourses();
    ASSERT_EQ(rows.size(), 112u);
    std::set<std::string> codes;
    for (const auto& row : rows) {
        EXPECT_TRUE(codes.insert(row.code).second) << row.code;
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(CourseName(row.code, kSelectors[i]), row.names[i])
                << "code " << row.code << " selector " << kSelectors[i];
        }
        // The widths callers rely on when they paste names into fixed cells.
        EXPECT_EQ(CourseName(row.code, 0).size(), 6u) << row.code;
        EXPECT_EQ(CourseName(row.code, 1).size(), row.code == "A2" ? 3u : 2u) << row.code;
        EXPECT_EQ(CourseName(row.code, 2).size(), 4u) << row.code;
        EXPECT_EQ(CourseName(row.code, 3).size(), 6u) << row.code;
        EXPECT_EQ(CourseName(row.code, 9).size(), 20u) << row.code;
        for (int i = 0; i < 5; ++i)
            EXPECT_TRUE(IsValidCp932(CourseName(row.code, kSelectors[i]))) << row.code;
    }
}

TEST(CourseName, KnownRenderings)
{
    EXPECT_EQ(CourseName("05", 0), SJ("東京  "));
    EXPECT_EQ(CourseName("05", 2), SJ("東京"));
    EXPECT_EQ(CourseName("48", 1), SJ("古"));
    EXPECT_EQ(CourseName("07", 1), SJ("名"));
    EXPECT_EQ(CourseName("A2", 1), SJ("日 "));
    EXPECT_EQ(CourseName("58", 9), SJ("札幌競馬場(地方競馬)"));
    EXPECT_EQ(CourseName("58", 0), CourseName("01", 0));
    EXPECT_EQ(CourseName("L0", 0), SJ("タイ　"));  // ends in a full-width space
    EXPECT_EQ(CourseName("A4", 0), "\xB1\xD2\xD8\xB6  ");  // ｱﾒﾘｶ in half-width katakana
}

TEST(CourseName, BlankCodesAndUnknownCodes)
{
    const std::string tenFullWidthSpaces = SJ("　　　　　　　　　　");
    for (const char* code : {"C4", "F4", "F6", "G4", "G6", "G8"}) {
        EXPECT_EQ(CourseName(code, 0), "      ") << code;
        EXPECT_EQ(CourseName(code, 1), "  ") << code;
        EXPECT_EQ(CourseName(code, 2), "    ") << code;
        EXPECT_EQ(CourseName(code, 3), "      ") << code;
        EXPECT_EQ(CourseName(code, 9), tenFullWidthSpaces) << code;
    }
    // Codes are matched whole and byte for byte.
    for (const char* code : {"99", "5", "05 ", " 05", "a0", "", "0", "C1", "\x93\x8C"}) {
        EXPECT_EQ(CourseName(code, 0), "      ") << code;
        EXPECT_EQ(CourseName(code, 1), "  ") << code;
        EXPECT_EQ(CourseName(code, 2), "    ") << code;
        EXPECT_EQ(CourseName(code, 3), "      ") << code;
        EXPECT_EQ(CourseName(code, 9), "      ") << code;
    }
    for (int selector : {-1, 4, 5, 8, 10})
        EXPECT_EQ(CourseName("05", selector), "") << selector;
}

TEST(KeibaFunc, SexAndShortCourseNames)
{
    EXPECT_EQ(SexName("1"), SJ("牡"));
    EXPECT_EQ(SexName("2"), SJ("牝"));
    EXPECT_EQ(SexName("3"), "\xBE\xDD");  // ｾﾝ
    for (const char* code : {"4", "", "0", "11", " 1"})
        EXPECT_EQ(SexName(code), "") << code;

    const char* names[] = {"京都", "阪神", "中京", "小倉", "東京", "中山", "福島", "新潟", "札幌", "函館"};
    for (int v = 0; v <= 9; ++v)
        EXPECT_EQ(CourseShortName(std::to_string(v)), Utf8ToCp932(names[v])) << v;
    EXPECT_EQ(CourseShortName("08"), SJ("札幌"));
    EXPECT_EQ(CourseShortName(" 3"), SJ("小倉"));
    EXPECT_EQ(CourseShortName(""), SJ("京都"));
    EXPECT_EQ(CourseShortName("  "), SJ("京都"));
    EXPECT_EQ(CourseShortName("12"), SJ("ｿﾉ他"));
    EXPECT_EQ(CourseShortName("-1"), SJ("ｿﾉ他"));
    EXPECT_EQ(CourseShortName("99999999999999999999999"), SJ("ｿﾉ他"));
}

TEST(KeibaFunc, BlankZeroNum)
{
    EXPECT_EQ(BlankZeroNum("03"), " 3");
    EXPECT_EQ(BlankZeroNum("00"), "  ");
    EXPECT_EQ(BlankZeroNum("  "), "  ");
    EXPECT_EQ(BlankZeroNum("0120"), " 120");
    EXPECT_EQ(BlankZeroNum(""), "");
    EXPECT_EQ(BlankZeroNum("-5"), "-5");
    EXPECT_EQ(BlankZeroNum("7"), "7");
    EXPECT_EQ(BlankZeroNum("12ab"), "  12");
    // A value wider than its field is not cut.
    EXPECT_EQ(BlankZeroNum("-12"), "-12");
    EXPECT_EQ(BlankZeroNum(" -12"), " -12");
}

TEST(KeibaFunc, OverwriteAt)
{
    const std::string record = "ABCDEFGHIJKLM";  // 13 bytes
    const std::string out = OverwriteAt(record, "000000000", 3);
    EXPECT_EQ(out, "AB000000000LM");
    EXPECT_EQ(out.size(), 13u);
    // The text ends before the piece does: the piece still goes in whole.
    EXPECT_EQ(OverwriteAt("ABCDE", "000000000", 3), "AB000000000");
    EXPECT_EQ(OverwriteAt("ABCDE", "xy", 1), "xyCDE");
    EXPECT_EQ(OverwriteAt("ABCDE", "xy", 5), "ABCDxy");
    EXPECT_EQ(OverwriteAt("ABCDE", "xy", 6), "ABCDExy");
    EXPECT_EQ(OverwriteAt("ABCDE", "xy", 100), "ABCDExy");
    EXPECT_EQ(OverwriteAt("ABCDE", "xy", 0), "xyCDE");
    EXPECT_EQ(OverwriteAt("", "xy", 3), "xy");
    EXPECT_EQ(OverwriteAt("ABCDE", "", 2), "ABCDE");
}

TEST(PairLabels, BracketPairIndex)
{
    EXPECT_EQ(BracketPairIndex(" 1- 1"), 1);
    EXPECT_EQ(BracketPairIndex(" 1- 8"), 8);
    EXPECT_EQ(BracketPairIndex(" 2- 2"), 9);
    EXPECT_EQ(BracketPairIndex(" 6- 7"), 32);
    EXPECT_EQ(BracketPairIndex(" 8- 8"), 36);
    for (const char* bad : {" 1- 9", "1- 2", " 1-2", "", " 2- 1", " 0- 1", " 1- 1 ", "01-02", " 9- 9"})
        EXPECT_EQ(BracketPairIndex(bad), 0) << bad;
    // Every bracket label sits at its closed-form index.
    int seen = 0;
    for (int i = 1; i <= 8; ++i) {
        for (int j = i; j <= 8; ++j) {
            const std::string label = {' ', char('0' + i), '-', ' ', char('0' + j)};
            EXPECT_EQ(BracketPairIndex(label), (i - 1) * (18 - i) / 2 + (j - i + 1)) << label;
            ++seen;
        }
    }
    EXPECT_EQ(seen, 36);
}

TEST(PairLabels, HorsePairLabel)
{
    EXPECT_EQ(HorsePairLabel(1), " 1- 2");
    EXPECT_EQ(HorsePairLabel(17), " 1-18");
    EXPECT_EQ(HorsePairLabel(18), " 2- 3");
    EXPECT_EQ(HorsePairLabel(33), " 2-18");
    EXPECT_EQ(HorsePairLabel(34), " 3- 4");
    EXPECT_EQ(HorsePairLabel(109), " 9-10");
    EXPECT_EQ(HorsePairLabel(118), "10-11");
    EXPECT_EQ(HorsePairLabel(152), "16-18");
    EXPECT_EQ(HorsePairLabel(153), "17-18");
    for (int bad : {0, -1, 154, 1000})
        EXPECT_EQ(HorsePairLabel(bad), "") << bad;

    // All 153 in order, smaller number first, and the index back again.
    int index = 0;
    for (int i = 1; i <= 17; ++i) {
        for (int j = i + 1; j <= 18; ++j) {
            ++index;
            char expected[8];
            std::snprintf(expected, sizeof expected, "%2d-%2d", i, j);
            EXPECT_EQ(HorsePairLabel(index), expected) << index;
            EXPECT_EQ(HorsePairIndex(i, j), index);
        }
    }
    EXPECT_EQ(index, 153);
    EXPECT_EQ(HorsePairIndex(2, 2), 0);
    EXPECT_EQ(HorsePairIndex(3, 2), 0);
    EXPECT_EQ(HorsePairIndex(0, 2), 0);
    EXPECT_EQ(HorsePairIndex(1, 19), 0);
}

TEST(PairLabels, HorsePairsOfEightOrFewerAreBracketLabels)
{
    std::vector<int> horse;
    std::vector<int> bracket;
    for (int index = 1; index <= 153; ++index) {
        const int b = BracketPairIndex(HorsePairLabel(index));
        if (b != 0) {
            horse.push_back(index);
            bracket.push_back(b);
        }
    }
    const std::vector<int> expectedHorse = {1, 2, 3, 4, 5, 6, 7, 18, 19, 20, 21, 22, 23, 34, 35, 36, 37, 38,
                                            49, 50, 51, 52, 63, 64, 65, 76, 77, 88};
    const std::vector<int> expectedBracket = {2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 17, 18, 19, 20, 21,
                                              23, 24, 25, 26, 28, 29, 30, 32, 33, 35};
    EXPECT_EQ(horse, expectedHorse);
    EXPECT_EQ(bracket, expectedBracket);
}
