#include "reference/FixedRecord.h"
#include "reference/ShiftJis.h"

#include <gtest/gtest.h>

using namespace tervan;

TEST(ShiftJis, RoundTripsJapaneseAndHalfWidthKatakana)
{
    const std::string utf8 = "東京　ｱﾒﾘｶ 牡3戦目①";
    std::string sjis = Utf8ToCp932(utf8);
    EXPECT_EQ(sjis.substr(0, 4), "\x93\x8C\x8B\x9E");  // 東京
    EXPECT_EQ(sjis.substr(4, 2), "\x81\x40");          // full-width space
    EXPECT_EQ(sjis.substr(6, 4), "\xB1\xD2\xD8\xB6");  // ｱﾒﾘｶ, one byte each
    EXPECT_EQ(Cp932ToUtf8(sjis), utf8);
    EXPECT_TRUE(IsValidCp932(sjis));
}

TEST(ShiftJis, CP932SpecificCharactersUseTheWindowsTable)
{
    // The wave dash and the NEC circled digits are where CP932 and plain
    // Shift_JIS differ; the program must read them as Windows writes them.
    EXPECT_EQ(Utf8ToCp932("～"), "\x81\x60");
    EXPECT_EQ(Utf8ToCp932("①"), "\x87\x40");
}

TEST(ShiftJis, BadBytesAreMarkedNotDropped)
{
    const std::string bad = std::string("A\x81") + "\xFF" + "B";
    EXPECT_FALSE(IsValidCp932(bad));
    std::string u = Cp932ToUtf8(bad);
    EXPECT_EQ(u.front(), 'A');
    EXPECT_EQ(u.back(), 'B');
    EXPECT_NE(u.find("\xEF\xBF\xBD"), std::string::npos);
    EXPECT_FALSE(IsValidCp932("\x93"));  // a lead byte cut off at the end
}

TEST(ShiftJis, SjMacroConvertsOnce)
{
    const std::string& a = SJ("牝2戦目");
    EXPECT_EQ(a.size(), 7u);
    EXPECT_EQ(Cp932ToUtf8(a), "牝2戦目");
}

TEST(FixedRecord, SlicesByOneBasedBytePosition)
{
    std::string_view rec = "RA7200601010506030201";
    EXPECT_EQ(Mid(rec, 1, 2), "RA");
    EXPECT_EQ(Mid(rec, 3, 1), "7");
    EXPECT_EQ(Mid(rec, 20, 5), "01");  // cut short at the end
    EXPECT_EQ(Mid(rec, 30, 2), "");    // past the end
    EXPECT_EQ(Mid(rec, 0, 2), "");
}

TEST(FixedRecord, DecimalReading)
{
    EXPECT_EQ(ReadDecimal("  12"), 12);
    EXPECT_EQ(ReadDecimal("-0012"), -12);
    EXPECT_EQ(ReadDecimal("+7x9"), 7);
    EXPECT_EQ(ReadDecimal("0120"), 120);
    EXPECT_EQ(ReadDecimal(""), 0);
    EXPECT_EQ(ReadDecimal("   "), 0);
    EXPECT_EQ(ReadDecimal("- 5"), 0);   // the sign must touch the digits
    EXPECT_EQ(ReadDecimal(" 1 2"), 1);
    long long v = 5;
    EXPECT_FALSE(TryReadDecimal("abc", v));
    EXPECT_EQ(v, 0);
}
