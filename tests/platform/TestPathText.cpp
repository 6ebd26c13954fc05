#include "platform/PathText.h"
#include "reference/ShiftJis.h"

#include <gtest/gtest.h>

using namespace tervan;

// 表 is 0x95 0x5C in CP932: its second byte is the code of "\".
TEST(PathText, DoubleByteCharactersEndingIn5CAreNeverSeparators)
{
    const std::string hyo = SJ("表");
    EXPECT_EQ(fs::Join("C:\\" + hyo, "x"), "C:\\" + hyo + "/x");
    EXPECT_EQ(fs::Join("C:\\" + hyo + "\\", "\\x"), "C:\\" + hyo + "\\x");
    EXPECT_EQ(fs::LastSeparator("a/" + hyo), 1u);

    bool absolute = false;
    EXPECT_EQ(fs::SplitPath("\\" + hyo + "\\\\b/", absolute), (std::vector<std::string> {hyo, "b"}));
    EXPECT_TRUE(absolute);
    EXPECT_EQ(fs::SplitPath("a\\\\" + hyo + "/", absolute, true), (std::vector<std::string> {"a", "", hyo, ""}));
    EXPECT_FALSE(absolute);
    EXPECT_EQ(fs::FoldAscii("DATA" + hyo), "data" + hyo);
}
