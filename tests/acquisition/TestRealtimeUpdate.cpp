// The real-time results update (KekkaGetBtnClick) through a scripted JV-Link.
#include "acquisition/RealtimeUpdate.h"

#include "acquisition/JVRecordBuilder.h"
#include "acquisition/StoredFiles.h"
#include "platform/FileSystem.h"
#include "support/ScriptedJVLink.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

namespace tervan::test {
namespace {

// Beeps, boxes and failures in the order the user would meet them.
class RecordingLoopNotifier : public ReadLoopNotifier {
public:
    void Beep() override { events.push_back("beep"); }
    void Information(const std::string& text) override { events.push_back("info:" + text); }
    void FileFailure(const std::string& text) override { events.push_back("fail:" + text); }
    void ProcessMessages() override { ++pumps; }
    // A pause while JV-Link downloads, among the calls it came between.
    void WaitForDownload() override { trace->push_back("wait"); }
    std::vector<std::string> events;
    int pumps = 0;
    std::vector<std::string>* trace = nullptr;
};

RecordSpec Spec(const std::string& kind, int race, int horse = 1)
{
    RecordSpec s;
    s.kind = kind;
    s.race = race;
    s.horse = horse;
    return s;
}

// The race line of the loaded day's first slot, as the day load keeps it.
std::string FirstRaceLine()
{
    std::string line = MakeRecord(Spec("RA", 1));
    return line.substr(0, line.size() - 2);
}

class RealtimeUpdateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(dir.native() / "DATA");
        selection.raceSelected = true;
        selection.daySelected = true;
        selection.firstRaceLine = FirstRaceLine();
        notifier.trace = &jv.calls;
    }
    void TearDown() override { fs::SetRewriteHook({}); }

    RealtimeUpdateOutcome Run()
    {
        StoredRaceFiles files(dir.path());
        return KekkaGetBtnClick(jv, files, selection, notifier, [this] { ++afterUpdates; }, cancel);
    }
    std::filesystem::path DataFile(const char* ext) const
    {
        return dir.native() / "DATA" / U8Path(std::string("2006年05月28日東京") + ext);
    }

    TempDir dir;
    ScriptedJVLink jv;
    RecordingLoopNotifier notifier;
    RealtimeSelection selection;
    std::atomic<bool> cancel {false};
    int afterUpdates = 0;
};

TEST_F(RealtimeUpdateTest, WithoutSelectionOrDateNothingIsCalled)
{
    selection.raceSelected = false;
    EXPECT_EQ(Run(), RealtimeUpdateOutcome::NotRun);
    selection.raceSelected = true;
    selection.daySelected = false;
    EXPECT_EQ(Run(), RealtimeUpdateOutcome::NotRun);
    selection.daySelected = true;
    selection.firstRaceLine = std::string(1270, ' '); // a blank slot
    EXPECT_EQ(Run(), RealtimeUpdateOutcome::NotRun);
    selection.firstRaceLine.clear();
    EXPECT_EQ(Run(), RealtimeUpdateOutcome::NotRun);

    EXPECT_TRUE(jv.calls.empty());
    EXPECT_TRUE(notifier.events.empty());
    EXPECT_EQ(afterUpdates, 0);
}

TEST_F(RealtimeUpdateTest, DayWithoutRaceFileGainsOnlyItsPayoutFile)
{
    jv.reads = {ScriptedJVLink::Record(MakeRecord(Spec("RA", 3))), -1,
                ScriptedJVLink::Record(MakeRecord(Spec("SE", 3, 4))), -3, -2,
                ScriptedJVLink::Record(MakeRecord(Spec("HR", 3))), -1, 0};
    EXPECT_EQ(Run(), RealtimeUpdateOutcome::Updated);

    // -3 (still downloading) waits before the next read, -1 and -2 do not.
    const std::vector<std::string> expectedCalls {"JVRTOpen(0B12,20060528)", "JVRead", "JVRead", "JVRead",
                                                  "JVRead", "wait", "JVRead", "JVRead", "JVRead", "JVRead",
                                                  "JVClose", "JVClose"};
    EXPECT_EQ(jv.calls, expectedCalls);
    EXPECT_EQ(jv.lastReadSize, 60000);
    EXPECT_EQ(notifier.events, (std::vector<std::string> {"beep", "beep"}));
    EXPECT_EQ(afterUpdates, 1);
    EXPECT_GE(notifier.pumps, 9); // before the open and before every read

    EXPECT_FALSE(std::filesystem::exists(DataFile(".jvRA")));
    EXPECT_FALSE(std::filesystem::exists(DataFile(".jvSEr")));
    ASSERT_TRUE(std::filesystem::exists(DataFile(".jvHR")));
    const std::string hr = MakeRecord(Spec("HR", 3));
    EXPECT_EQ(ReadAll(DataFile(".jvHR")), BlankedLine(hr) + "\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.native() / "SEI" / "2003"));
    EXPECT_FALSE(std::filesystem::exists(dir.native() / "SEIR" / "2006"));
}

TEST_F(RealtimeUpdateTest, ExistingDayFilesAreUpdated)
{
    RecordSpec old = Spec("RA", 3);
    old.division = '2';
    WriteAll(DataFile(".jvRA"), BlankedLine(MakeRecord(old)) + "\r\n");
    std::string slots;
    for (int i = 0; i < 216; ++i)
        slots += std::string(553, ' ') + "\r\n";
    WriteAll(DataFile(".jvSEr"), slots);

    RecordSpec ra = Spec("RA", 3);
    ra.filler = "Z";
    const std::string se = MakeRecord(Spec("SE", 3, 4));
    jv.reads = {ScriptedJVLink::Record(MakeRecord(ra)), ScriptedJVLink::Record(se), 0};
    EXPECT_EQ(Run(), RealtimeUpdateOutcome::Updated);

    EXPECT_EQ(ReadAll(DataFile(".jvRA")), BlankedLine(MakeRecord(ra)) + "\r\n");
    const std::string slotFile = ReadAll(DataFile(".jvSEr"));
    ASSERT_EQ(slotFile.size(), 216u * 555u);
    EXPECT_EQ(slotFile.substr((2 * 18 + 3) * 555, 555), se); // race 3, horse 4, data division kept
}

TEST_F(RealtimeUpdateTest, FailedOpenBeepsThreeTimesAndStillRereads)
{
    jv.rtOpenResult = -1;
    jv.reads = {ScriptedJVLink::Record(MakeRecord(Spec("HR", 3)))};
    EXPECT_EQ(Run(), RealtimeUpdateOutcome::Updated);
    EXPECT_EQ(jv.calls, (std::vector<std::string> {"JVRTOpen(0B12,20060528)", "JVClose", "JVClose"}));
    EXPECT_EQ(notifier.events, (std::vector<std::string> {"beep", "beep", "beep"}));
    EXPECT_EQ(afterUpdates, 1);
    EXPECT_FALSE(std::filesystem::exists(DataFile(".jvHR")));
}

TEST_F(RealtimeUpdateTest, ReadErrorAndCloseErrorEndSilently)
{
    jv.closeResult = -201;
    jv.reads = {ScriptedJVLink::Record(MakeRecord(Spec("HR", 3))), -502,
                ScriptedJVLink::Record(MakeRecord(Spec("HR", 4)))};
    EXPECT_EQ(Run(), RealtimeUpdateOutcome::Updated);
    EXPECT_EQ(jv.Count("JVRead"), 2);
    EXPECT_EQ(notifier.events, (std::vector<std::string> {"beep", "beep"}));
    EXPECT_EQ(afterUpdates, 1);
    EXPECT_TRUE(std::filesystem::exists(DataFile(".jvHR")));
}

TEST_F(RealtimeUpdateTest, CancelFlagLeftByACancelledDownloadDoesNotSilenceTheUpdate)
{
    cancel = true;
    jv.reads = {ScriptedJVLink::Record(MakeRecord(Spec("HR", 3))), 0};
    EXPECT_EQ(Run(), RealtimeUpdateOutcome::Updated);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(jv.Count("JVRead"), 2);
    EXPECT_TRUE(std::filesystem::exists(DataFile(".jvHR")));
}

TEST_F(RealtimeUpdateTest, StoredFileFailureShowsTheErrorClosesTheStreamAndSkipsTheReread)
{
    fs::SetRewriteHook([](std::string_view) { throw fs::FileError(SJ("書き込めません。")); });
    jv.reads = {ScriptedJVLink::Record(MakeRecord(Spec("HR", 3))),
                ScriptedJVLink::Record(MakeRecord(Spec("HR", 4)))};
    EXPECT_EQ(Run(), RealtimeUpdateOutcome::Failed);
    // The records are written when the stream ends, where the write fails.
    EXPECT_EQ(jv.calls, (std::vector<std::string> {"JVRTOpen(0B12,20060528)", "JVRead", "JVRead", "JVRead", "JVClose"}));
    EXPECT_EQ(notifier.events, (std::vector<std::string> {"beep", "fail:" + SJ("書き込めません。")}));
    EXPECT_EQ(afterUpdates, 0);
    EXPECT_FALSE(std::filesystem::exists(DataFile(".jvHR")));
}

} // namespace
} // namespace tervan::test
