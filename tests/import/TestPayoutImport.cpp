// Re-reading results and payouts of the loaded day.
#include "import/PayoutImport.h"

#include "app/StoredDayBuilder.h"
#include "reference/FixedRecord.h"

#include <gtest/gtest.h>

#include <memory>

namespace tervan {
namespace {

using test::Horse;
using test::KeyOn;
using test::Line;
using test::StoredDay;

Line Payout(const test::Key& key, int winHorse, int winPay)
{
    Line hr(719);
    test::PutKey(hr, "HR", key);
    hr.PutNum(103, 2, winHorse).PutNum(105, 9, winPay).PutNum(114, 2, 1);
    return hr;
}

class PayoutImportTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string base = dir.path();
    std::unique_ptr<RaceDay> day = std::make_unique<RaceDay>();
    StoredDay stored {base, KeyOn("20060528")};

    void SetUp() override
    {
        for (int r = 1; r <= 11; ++r)
            stored.AddRace(test::RaLine(KeyOn("20060528", r), r == 11 ? 16 : 1));
        Horse h;
        for (int n = 1; n <= 16; ++n) {
            h.number = n;
            stored.SetSlot(11, n, test::SeLine(KeyOn("20060528", 11), h));
        }
        stored.AddPayout(Payout(KeyOn("20060528", 5), 3, 420));
        stored.Write();
        ASSERT_EQ(LoadRaceDay(*day, base, stored.Stem()).status, DayLoadResult::Loaded);
        ASSERT_EQ(day->slots[4].summary.winPayouts[0].payout, 420);
    }
};

TEST_F(PayoutImportTest, RereadsResultsByTheRacesOwnNumber)
{
    // The results arrive: race 11's runners get places.
    Horse h;
    for (int n = 1; n <= 16; ++n) {
        h.number = n;
        h.place = 17 - n;
        h.popularity = n;
        h.oddsTenths = 10 * n + 1;
        stored.SetSlot(11, n, test::SeLine(KeyOn("20060528", 11), h));
    }
    stored.Write();
    const std::string maximBefore = day->slots[10].summary.runners[0].horseName;
    EXPECT_TRUE(HrReadBtnClick(*day).empty());
    const RaceSummary& s = day->slots[10].summary;
    EXPECT_EQ(s.runners[0].finishingPlace, 16);
    EXPECT_EQ(s.runners[15].finishingPlace, 1);
    EXPECT_EQ(s.runners[15].popularity, 16);
    EXPECT_DOUBLE_EQ(s.runners[15].winOdds, 16.1);
    EXPECT_EQ(s.runners[16].finishingPlace, 0);
    EXPECT_EQ(s.runners[0].horseName, maximBefore);
}

TEST_F(PayoutImportTest, MatchesPayoutsByTheWholeRaceKey)
{
    test::Key other = KeyOn("20060528", 5);
    other.meeting = 3; // another meeting: dropped
    Line hr = Payout(other, 7, 990);
    std::string file = hr.Text();
    for (int i = 0; i < 35; ++i)
        file += Payout(KeyOn("20060528", 1), 1, 100 + i).Text();
    file += Payout(KeyOn("20060528", 2), 2, 200).Text(); // record 37: not read
    fs::RewriteFile(stored.Path(".jvHR"), file);
    HrReadBtnClick(*day);
    const RaceSummary& s5 = day->slots[4].summary;
    EXPECT_EQ(s5.winPayouts[0].payout, 0);
    EXPECT_EQ(s5.winPayouts[0].horseNumber, 0);
    EXPECT_EQ(s5.quinellaPayouts[0].label, " 0- 0");
    EXPECT_EQ(day->slots[0].summary.winPayouts[0].payout, 134); // later lines of one race replace earlier ones
    EXPECT_EQ(day->slots[1].summary.winPayouts[0].payout, 0);
}

TEST_F(PayoutImportTest, MissingFilesSkipTheirPart)
{
    fs::DeleteFile(stored.Path(".jvHR"));
    fs::DeleteFile(stored.Path(".jvSEr"));
    day->slots[10].summary.runners[0].finishingPlace = 5;
    HrReadBtnClick(*day);
    EXPECT_EQ(day->slots[4].summary.winPayouts[0].payout, 420);        // payouts stay
    EXPECT_EQ(day->slots[10].summary.runners[0].finishingPlace, 0);    // recomputed from memory
    fs::DeleteFile(stored.Path(".jvRA"));
    day->slots[10].summary.runners[0].finishingPlace = 5;
    HrReadBtnClick(*day);
    EXPECT_EQ(day->slots[10].summary.runners[0].finishingPlace, 5);
}

TEST_F(PayoutImportTest, OutOfRangeRacesReadNoSlots)
{
    std::string races;
    races += test::RaLine(KeyOn("20060528", 0), 5).Text();
    races += test::RaLine(KeyOn("20060528", 13), 5).Text();
    races += test::RaLine(KeyOn("20060528", 11), 30).Text();
    fs::RewriteFile(stored.Path(".jvRA"), races);
    fs::RewriteFile(stored.Path(".jvSEr"), Line(555).Text()); // one slot only
    const auto warnings = HrReadBtnClick(*day);
    EXPECT_FALSE(warnings.empty());
    EXPECT_EQ(Mid(day->slots[2].raceLine, 26, 2), "11");
    for (const auto& line : day->slots[2].runnerLines)
        EXPECT_EQ(line.size(), kRunnerRecordSize);
}

} // namespace
} // namespace tervan
