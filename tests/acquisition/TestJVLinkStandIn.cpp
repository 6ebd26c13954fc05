// The file-backed JV-Link stand-in: selection, downloads, reading, codes.
#include "acquisition/JVLinkStandIn.h"

#include "acquisition/JVRecordBuilder.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tervan;
using namespace tervan::test;
namespace sfs = std::filesystem;

namespace {

class StandInTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        feed = base.native() / "sample-feed";
        RecordSpec ra;
        ra.race = 1;
        RecordSpec se;
        se.kind = "SE";
        RecordSpec hr;
        hr.kind = "HR";
        raRec = MakeRecord(ra);
        seRec = MakeRecord(se);
        hrRec = MakeRecord(hr);
        WriteFeedFile(feed, "RACE20060520120000.jvd", {raRec, "\r\n", seRec});
        WriteFeedFile(feed, "RCVN20060520120000.jvd", {hrRec});
        WriteFeedFile(feed, "RACE20060521090000.jvd", {"H1" + std::string(40, '0') + "\r\n"});
        WriteFeedFile(feed, "DIFF20060522000000.jvd", {raRec}); // a kind not asked for
        WriteFeedFile(feed, "RACE2006052x000000.jvd", {raRec}); // not a time stamp
        WriteFeedFile(feed, "RACE20060523000000.txt", {raRec}); // not a data file
    }

    struct Step {
        std::int32_t code;
        std::string record;
        std::string file;
    };
    // Every JVRead result up to 0 or an error (at most `limit` calls).
    std::vector<Step> ReadAllSteps(JVLinkStandIn& jv, int limit = 1000)
    {
        std::vector<Step> steps;
        std::int32_t size = 60000;
        for (int i = 0; i < limit; ++i) {
            Step s;
            s.code = jv.JVRead(s.record, size, s.file);
            steps.push_back(s);
            if (s.code == 0 || s.code < -3)
                break;
        }
        return steps;
    }

    TempDir base;
    sfs::path feed;
    std::string raRec, seRec, hrRec;
    std::int32_t readCount = 0, downloadCount = 0;
    std::string last;
};

} // namespace

TEST_F(StandInTest, InitCodesAndStreamRules)
{
    JVLinkStandIn jv(base.path());
    EXPECT_EQ(jv.JVLinkVersion(), "0490");
    EXPECT_EQ(jv.JVOpen("RACE", "20060101000000", 2, readCount, downloadCount, last), -201);
    EXPECT_EQ(jv.JVRTOpen("0B12", "20060528"), -201);
    EXPECT_EQ(jv.JVInit(""), -101);
    EXPECT_EQ(jv.JVInit(std::string(64, 'S')), -102);
    EXPECT_EQ(jv.JVInit(" SA510327"), -103);
    EXPECT_EQ(jv.JVInit(std::string(63, 'S')), 0);
    EXPECT_EQ(jv.JVInit(JVSoftwareId()), 0);
    std::string rec, name;
    std::int32_t size = 60000;
    EXPECT_EQ(jv.JVRead(rec, size, name), -203);
    EXPECT_EQ(jv.JVStatus(), -203);
    EXPECT_EQ(jv.JVOpen("RAC", "20060101000000", 2, readCount, downloadCount, last), -111);
    EXPECT_EQ(jv.JVOpen("RACE", "2006010100000", 2, readCount, downloadCount, last), -112);
    EXPECT_EQ(jv.JVOpen("RACE", "20061301000000", 2, readCount, downloadCount, last), -112);
    EXPECT_EQ(jv.JVOpen("RACE", "20060101000000", 0, readCount, downloadCount, last), -115);
    ASSERT_EQ(jv.JVOpen("RACE", "20060101000000", 2, readCount, downloadCount, last), 0);
    EXPECT_EQ(jv.JVOpen("RACE", "20060101000000", 2, readCount, downloadCount, last), -202);
    EXPECT_EQ(jv.JVRTOpen("0B12", "20060528"), -202);
    EXPECT_EQ(jv.JVClose(), 0);
    EXPECT_EQ(jv.JVOpen("RACE", "20060101000000", 2, readCount, downloadCount, last), 0);
}

TEST_F(StandInTest, OpenSelectsKindsNewerThanFromInStampOrder)
{
    JVLinkStandIn jv(base.path());
    ASSERT_EQ(jv.JVInit(JVSoftwareId()), 0);
    ASSERT_EQ(jv.JVOpen("RACERCVN", "20060101000000", 2, readCount, downloadCount, last), 0);
    EXPECT_EQ(readCount, 3);
    EXPECT_EQ(downloadCount, 3);
    EXPECT_EQ(last, "20060521090000");

    // The downloads arrive through JVStatus, then every record is read in
    // time stamp order, then name order, each file ending with -1.
    std::int32_t st = 0;
    for (int i = 0; i < 10 && st < downloadCount; ++i)
        st = jv.JVStatus();
    EXPECT_EQ(st, 3);
    const std::vector<Step> steps = ReadAllSteps(jv);
    std::vector<std::int32_t> codes;
    for (const Step& s : steps)
        codes.push_back(s.code);
    EXPECT_EQ(codes, (std::vector<std::int32_t> {1272, 555, -1, 719, -1, 44, -1, 0}));
    EXPECT_EQ(steps[0].record, raRec);
    EXPECT_EQ(steps[0].file, "RACE20060520120000.jvd");
    EXPECT_EQ(steps[3].record, hrRec);
    EXPECT_EQ(steps[3].file, "RCVN20060520120000.jvd");
    std::string rec, name;
    std::int32_t size = 60000;
    EXPECT_EQ(jv.JVRead(rec, size, name), 0);
    jv.JVClose();

    // Only files later than fromtime; a single kind.
    ASSERT_EQ(jv.JVOpen("RACE", "20060520120000", 2, readCount, downloadCount, last), 0);
    EXPECT_EQ(readCount, 1);
    EXPECT_EQ(downloadCount, 0); // already in the cache
    jv.JVClose();
    EXPECT_EQ(jv.JVOpen("RACE", "20060521090000", 2, readCount, downloadCount, last), -1);
    EXPECT_EQ(readCount, 0);
    EXPECT_EQ(jv.JVRead(rec, size, name), -203); // -1 leaves no stream open
}

TEST_F(StandInTest, EachOptionSelectsAsJVLinkDoes)
{
    // Setup data of past years beside this week's files (20-21 May 2006).
    WriteFeedFile(feed, "RACE20040105180000.jvd", {raRec});
    WriteFeedFile(feed, "RACE20050601180000.jvd", {raRec});
    JVLinkStandIn jv(base.path());
    ASSERT_EQ(jv.JVInit(JVSoftwareId()), 0);
    // Files to read, or the code, by option (0-5) and dataspec, from 1 Jan 2004.
    const char* const specs[] = {"RACE", "RCVN", "RACERCVN"};
    const std::int32_t expected[6][3] = {
        {-115, -115, -115}, // no such option
        {4, -116, -116},    // normal data: every RACE file after fromtime
        {2, 1, 3},          // this week's data: this week's RACE files, and RCVN
        {4, -116, -116},    // setup data, with JV-Link's dialog
        {4, -116, -116},    // setup data without it
        {-115, -115, -115},
    };
    for (std::int32_t option = 0; option <= 5; ++option)
        for (int s = 0; s < 3; ++s) {
            SCOPED_TRACE(std::to_string(option) + " " + specs[s]);
            const std::int32_t r = jv.JVOpen(specs[s], "20040101000000", option, readCount, downloadCount, last);
            EXPECT_EQ(r < 0 ? r : readCount, expected[option][s]);
            if (r == 0) {
                EXPECT_EQ(last, s == 1 ? "20060520120000" : "20060521090000");
                jv.JVClose();
            }
        }
    // Setup takes the files from fromtime on, normal data only those after it.
    ASSERT_EQ(jv.JVOpen("RACE", "20050601180000", 4, readCount, downloadCount, last), 0);
    EXPECT_EQ(readCount, 3);
    jv.JVClose();
    ASSERT_EQ(jv.JVOpen("RACE", "20050601180000", 1, readCount, downloadCount, last), 0);
    EXPECT_EQ(readCount, 2);
    jv.JVClose();
}

TEST_F(StandInTest, ReadBeforeDownloadAnswersMinus3ThenGoesOn)
{
    JVLinkStandIn jv(base.path());
    ASSERT_EQ(jv.JVInit(JVSoftwareId()), 0);
    ASSERT_EQ(jv.JVOpen("RCVN", "20060101000000", 2, readCount, downloadCount, last), 0);
    ASSERT_EQ(downloadCount, 1);
    const std::vector<Step> steps = ReadAllSteps(jv);
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0].code, -3);
    EXPECT_EQ(steps[1].code, 719);
    EXPECT_EQ(steps[2].code, -1);
    EXPECT_EQ(steps[3].code, 0);
    jv.JVClose();

    // A cache copy that no longer matches the feed is downloaded again.
    WriteFeedFile(feed, "RCVN20060520120000.jvd", {hrRec, hrRec});
    ASSERT_EQ(jv.JVOpen("RCVN", "20060101000000", 2, readCount, downloadCount, last), 0);
    EXPECT_EQ(downloadCount, 1);
    // After a cancel nothing more downloads, and reading the missing file
    // fails instead of waiting for ever.
    jv.JVCancel();
    EXPECT_EQ(jv.JVStatus(), 0);
    std::string rec, name;
    std::int32_t size = 60000;
    EXPECT_EQ(jv.JVRead(rec, size, name), -502);
    jv.JVClose();
}

TEST_F(StandInTest, MissingOrEmptyFeedMeansNothingNewer)
{
    sfs::remove_all(feed);
    JVLinkStandIn jv(base.path());
    ASSERT_EQ(jv.JVInit(JVSoftwareId()), 0);
    EXPECT_EQ(jv.JVOpen("RACERCVN", "20060101000000", 2, readCount, downloadCount, last), -1);
    sfs::create_directory(feed);
    EXPECT_EQ(jv.JVOpen("RACERCVN", "20060101000000", 2, readCount, downloadCount, last), -1);
    EXPECT_EQ(jv.JVRTOpen("0B12", "20060528"), -1);
}

TEST_F(StandInTest, RealtimeReadsTheDaysFilesInNameOrder)
{
    RecordSpec se;
    se.kind = "SE";
    se.horse = 2;
    const std::string se2 = MakeRecord(se);
    WriteFeedFile(feed / "realtime", "0B1220060528b.jvd", {se2});
    WriteFeedFile(feed / "realtime", "0B1220060528a.jvd", {hrRec});
    WriteFeedFile(feed / "realtime", "0B1220060527a.jvd", {raRec});
    JVLinkStandIn jv(base.path());
    ASSERT_EQ(jv.JVInit(JVSoftwareId()), 0);
    EXPECT_EQ(jv.JVRTOpen("0B12", "2006052"), -114);
    EXPECT_EQ(jv.JVRTOpen("0B1*", "20060528"), -111);
    EXPECT_LT(jv.JVRTOpen("0B12", "20060529"), 0);
    ASSERT_EQ(jv.JVRTOpen("0B12", "20060528"), 0);
    const std::vector<Step> steps = ReadAllSteps(jv);
    ASSERT_EQ(steps.size(), 5u);
    EXPECT_EQ(steps[0].record, hrRec);
    EXPECT_EQ(steps[2].record, se2);
    EXPECT_EQ(steps[4].code, 0);
    EXPECT_EQ(jv.JVClose(), 0);
}

TEST_F(StandInTest, FeedFolderComesFromItsOwnSettings)
{
    JVLinkStandIn jv(base.path());
    EXPECT_EQ(jv.FeedFolder(), fs::Join(base.path(), "sample-feed"));
    EXPECT_EQ(jv.JVSetUIProperties(), -100); // no dialog in this program

    sfs::create_directory(base.native() / U8Path("他のフィード"));
    WriteFeedFile(base.native() / U8Path("他のフィード"), "RACE20070101000000.jvd", {raRec});
    std::string shown;
    JVLinkStandIn::SetFolderChooser([&shown](const std::string& current) -> std::optional<std::string> {
        shown = current;
        return Utf8ToCp932("他のフィード"); // relative: taken from the base folder
    });
    EXPECT_EQ(jv.JVSetUIProperties(), 0);
    EXPECT_EQ(shown, fs::Join(base.path(), "sample-feed"));
    JVLinkStandIn again(base.path());
    EXPECT_EQ(again.FeedFolder(), fs::Join(base.path(), Utf8ToCp932("他のフィード")));
    ASSERT_EQ(again.JVInit(JVSoftwareId()), 0);
    ASSERT_EQ(again.JVOpen("RACE", "20060101000000", 2, readCount, downloadCount, last), 0);
    EXPECT_EQ(last, "20070101000000");
    again.JVClose();

    // Cancel in the dialog changes nothing.
    JVLinkStandIn::SetFolderChooser([](const std::string&) -> std::optional<std::string> { return std::nullopt; });
    EXPECT_EQ(jv.JVSetUIProperties(), 0);
    JVLinkStandIn::SetFolderChooser(nullptr);
    EXPECT_EQ(JVLinkStandIn(base.path()).FeedFolder(), fs::Join(base.path(), Utf8ToCp932("他のフィード")));
    // An explicit feed wins over the settings.
    EXPECT_EQ(JVLinkStandIn(base.path(), "/elsewhere").FeedFolder(), "/elsewhere");
}
