// tervan-tool days, card and matches on a base folder filled by import-jv
// from the sample feed, and on hand-made stored files.
#include "app/StoredDayBuilder.h"
#include "reference/ShiftJis.h"

#include <gtest/gtest.h>

namespace tervan {
namespace {

std::vector<std::string> Lines(const std::string& text, const std::string& end)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at; (at = text.find(end, start)) != std::string::npos; start = at + end.size())
        lines.push_back(text.substr(start, at - start));
    EXPECT_EQ(start, text.size()) << "text does not end with its line end";
    return lines;
}

size_t Fields(const std::string& line)
{
    return static_cast<size_t>(std::count(line.begin(), line.end(), '\t')) + 1;
}

TEST(DayTools, SampleDayThroughImport)
{
    test::TempDir dir;
    const std::string feed = (dir.native() / "feed").string();
    const std::string base = (dir.native() / "base").string();
    std::filesystem::create_directory(base);
    std::string out, err;
    ASSERT_EQ(test::RunTool({"make-sample-feed", feed, "--today", "20060528", "--days", "1", "--courses", "1"}, out, &err), 0) << err;
    ASSERT_EQ(test::RunTool({"import-jv", base, feed, "--now", "20060529200000"}, out, &err), 0) << err;

    ASSERT_EQ(test::RunTool({"days", base}, out, &err), 0) << err;
    const auto days = Lines(out, "\n");
    ASSERT_EQ(days.size(), 1u);
    EXPECT_EQ(days[0].rfind("2006年05月28日", 0), 0u);

    int matches = 0;
    for (int race = 1; race <= 12; ++race) {
        ASSERT_EQ(test::RunTool({"card", base, days[0], std::to_string(race)}, out, &err), 0) << err;
        const auto lines = Lines(out, "\r\n");
        ASSERT_GE(lines.size(), 3u);
        EXPECT_NE(lines[0].find(std::to_string(race) + "R"), std::string::npos) << lines[0];
        EXPECT_EQ(lines[1].rfind("枠\t馬\t格言該当\t", 0), 0u);
        for (size_t i = 1; i < lines.size(); ++i) {
            EXPECT_EQ(Fields(lines[i]), 14u) << race << ":" << i;
            if (i >= 2) {
                EXPECT_EQ(lines[i].substr(lines[i].find('\t') + 1, 2), (i - 1 < 10 ? "0" : "") + std::to_string(i - 1));
                matches += lines[i].find("戦目") != std::string::npos;
            }
        }
    }
    EXPECT_GT(matches, 0);

    ASSERT_EQ(test::RunTool({"matches", base, days[0]}, out, &err), 0) << err;
    const auto list = Lines(out, "\r\n");
    ASSERT_EQ(list.size(), static_cast<size_t>(matches) + 2);
    EXPECT_EQ(list[0], days[0]);
    for (size_t i = 1; i < list.size(); ++i)
        EXPECT_EQ(Fields(list[i]), 15u);

    EXPECT_EQ(test::RunTool({"card", base, days[0], "13"}, out, &err), 1);
    EXPECT_EQ(test::RunTool({"card", base, days[0], "x"}, out, &err), 2);
    // A base folder that is not there is said to be missing.
    EXPECT_EQ(test::RunTool({"days", base + "/missing"}, out, &err), 2);
    EXPECT_EQ(err, "days: no base folder " + base + "/missing\n");
    EXPECT_EQ(out, "");
    EXPECT_EQ(test::RunTool({"card", base, "2006年05月29日東京", "1"}, out, &err), 1);
    EXPECT_NE(err.find("データ作成が未完了のようです。"), std::string::npos);
}

TEST(DayTools, DaysOfSeveralCoursesAreReversedByteOrder)
{
    test::TempDir dir;
    const std::string base = dir.path();
    fs::CreateDirs(base + "/DATA");
    for (const char* name : {"2006年05月28日東京.jvRA", "2006年05月28日京都.jvRA", "2006年05月27日新潟.jvRA", "2006年06月03日中山.jvRA"})
        fs::RewriteFile(base + "/DATA/" + Utf8ToCp932(name), "");
    std::string out;
    ASSERT_EQ(test::RunTool({"days", base}, out), 0);
    EXPECT_EQ(out, "2006年06月03日中山\n2006年05月28日東京\n2006年05月28日京都\n2006年05月27日新潟\n");
}

} // namespace
} // namespace tervan
