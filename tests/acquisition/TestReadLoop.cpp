// The download and results-update read loops: what the user sees and in
// which order, what is stored, and what survives a failure part-way.
#include "acquisition/ReadLoop.h"

#include "acquisition/JVLinkStandIn.h"
#include "acquisition/JVRecordBuilder.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <deque>
#include <set>

using namespace tervan;
using namespace tervan::test;
namespace sfs = std::filesystem;

namespace {

const DateTime kNow {2006, 5, 29, 20, 0, 0};

// Records what the window would show, as UTF-8 lines.
class RecordingNotifier : public ReadLoopNotifier {
public:
    void ProgressLabel(const std::string& t) override { events.push_back("label:" + Cp932ToUtf8(t)); }
    void DownloadProgress(int p, int m) override { events.push_back("dl:" + std::to_string(p) + "/" + std::to_string(m)); }
    void ReadProgress(int p, int m) override { events.push_back("rd:" + std::to_string(p) + "/" + std::to_string(m)); }
    void ClearLog() override { events.push_back("clear"); }
    void LogLine(const std::string& l) override { events.push_back("log:" + Cp932ToUtf8(l)); }
    void Beep() override { events.push_back("beep"); }
    void Information(const std::string& t) override { events.push_back("info:" + Cp932ToUtf8(t)); }
    void FileFailure(const std::string& t) override { events.push_back("fail:" + Cp932ToUtf8(t)); }
    void BusyCursor(bool b) override { events.push_back(b ? "busy" : "idle"); }
    void ProcessMessages() override
    {
        ++pumps;
        if (onPump)
            onPump(pumps);
    }
    void StartTimeSaved(const std::string& s) override { events.push_back("saved:" + s); }
    void WaitForDownload() override { events.push_back("wait"); }

    // The events whose text starts with one of the prefixes.
    std::vector<std::string> Only(std::initializer_list<std::string_view> prefixes) const
    {
        std::vector<std::string> out;
        for (const std::string& e : events)
            for (std::string_view p : prefixes)
                if (e.rfind(p, 0) == 0) {
                    out.push_back(e);
                    break;
                }
        return out;
    }

    std::vector<std::string> events;
    int pumps = 0;
    std::function<void(int)> onPump;
};

// A JV-Link whose answers are scripted.
class ScriptedJV : public IJVLink {
public:
    std::int32_t JVInit(const std::string&) override { return 0; }
    std::string JVLinkVersion() override { return "0490"; }
    std::int32_t JVSetUIProperties() override { return 0; }
    std::int32_t JVOpen(const std::string& dataspec, const std::string& fromtime, std::int32_t option,
                        std::int32_t& r, std::int32_t& d, std::string& stamp) override
    {
        calls.push_back("JVOpen " + dataspec + " " + fromtime + " " + std::to_string(option));
        r = readCount;
        d = downloadCount;
        stamp = lastStamp;
        return openResult;
    }
    std::int32_t JVStatus() override
    {
        calls.push_back("JVStatus");
        std::int32_t s = status.empty() ? downloadCount : status.front();
        if (!status.empty())
            status.pop_front();
        return s;
    }
    std::int32_t JVRead(std::string& buff, std::int32_t&, std::string& name) override
    {
        calls.push_back("JVRead");
        if (reads.empty())
            return 0;
        auto [code, rec] = reads.front();
        reads.pop_front();
        buff = rec;
        name = "RACE20060529120000.jvd";
        return code;
    }
    std::int32_t JVRTOpen(const std::string& dataspec, const std::string& key) override
    {
        calls.push_back("JVRTOpen " + dataspec + " " + key);
        return rtOpenResult;
    }
    void JVCancel() override { calls.push_back("JVCancel"); }
    std::int32_t JVClose() override
    {
        calls.push_back("JVClose");
        return closeResult;
    }

    std::int32_t openResult = 0, readCount = 0, downloadCount = 0, closeResult = 0, rtOpenResult = 0;
    std::string lastStamp = "20060529120000";
    std::deque<std::int32_t> status;
    std::deque<std::pair<std::int32_t, std::string>> reads;
    std::vector<std::string> calls;

    void AddRecord(const std::string& rec) { reads.emplace_back(static_cast<std::int32_t>(rec.size()), rec); }
    int Count(std::string_view call) const
    {
        return static_cast<int>(std::count(calls.begin(), calls.end(), std::string(call)));
    }
};

const std::string kStartBox = "info:データ取込を開始します。データ作成が終了するまで本ソフトを操作したり他のアプリケーションを操作することは極力避けてください。";

class ReadLoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* d : {"DATA", "SEI", "SEIR"})
            sfs::create_directory(base.native() / d);
    }
    JVDownload MakeDownload(IJVLink& link) { return JVDownload(link, files, notifier, [] { return kNow; }, cancel); }

    TempDir base;
    StoredRaceFiles files {base.path()};
    RecordingNotifier notifier;
    std::atomic<bool> cancel {false};
    ScriptedJV jv;
};

} // namespace

TEST_F(ReadLoopTest, NothingNewerOpenErrorAndEmptyOpenEachCloseTheStream)
{
    jv.openResult = -1;
    JVDownload dl = MakeDownload(jv);
    EXPECT_FALSE(dl.Start(DateTime {2006, 5, 21, 20, 0, 0}));
    EXPECT_EQ(jv.calls, (std::vector<std::string> {"JVOpen RACERCVN 20060521200000 2", "JVClose"}));
    EXPECT_EQ(notifier.events, (std::vector<std::string> {kStartBox, "dl:0/100", "rd:0/100", "clear", "busy", "beep",
                                                          "info:最新のデータがありません。", "idle", "beep"}));
    EXPECT_EQ(dl.LastOutcome(), JVDownload::Outcome::NothingNewer);

    jv.openResult = 0;
    jv.readCount = 0;
    notifier.events.clear();
    dl.Start(kNow);
    EXPECT_EQ(notifier.Only({"beep", "info", "saved"}),
              (std::vector<std::string> {kStartBox, "beep", "info:最新のデータがありません。", "beep"}));

    jv.openResult = -504;
    notifier.events.clear();
    dl.Start(kNow);
    EXPECT_EQ(notifier.Only({"beep", "info"}),
              (std::vector<std::string> {kStartBox, "beep", "info:JVOpenエラー:サーバーがメンテナンス中です。(-504)", "beep"}));
    EXPECT_EQ(dl.LastOutcome(), JVDownload::Outcome::OpenFailed);
    EXPECT_EQ(jv.Count("JVClose"), 3);
}

TEST_F(ReadLoopTest, ReadWithoutDownloadsStoresRecordsAndSavesTheStartTime)
{
    RecordSpec ra;
    jv.readCount = 2;
    jv.AddRecord(MakeRecord(ra));
    jv.reads.emplace_back(-3, "");
    jv.reads.emplace_back(-1, "");
    jv.AddRecord("O1" + std::string(60, '0') + "\r\n");
    jv.reads.emplace_back(-1, "");
    jv.reads.emplace_back(0, "");
    JVDownload dl = MakeDownload(jv);
    EXPECT_FALSE(dl.Start(kNow));
    const std::vector<std::string> expected {
        kStartBox,
        "dl:0/100",
        "rd:0/100",
        "clear",
        "busy",
        "label:JVOpen正常:正常に実行されました。(0)",
        "label:ReadCount:2, DownloadCount:0",
        "dl:100/100",
        "label:データ読込み中．．．(0/2)",
        "rd:0/2",
        "log:作成済み:11R/2006年05月28日東京.jvRA",
        "log:作成済み:11R/2006052805.jvSERA",
        "wait", // -3: a file still downloading
        "rd:1/2",
        "label:データ読込み中．．．(1/2)",
        "rd:2/2",
        "label:データ読込み中．．．(2/2)",
        "label:JVRead EndOfFile :0",
        "label:データ読込み完了(2/2)",
        "dl:0/100",
        "rd:0/2",
        "beep",
        "info:データ作成が完了しました。",
        "idle",
        "beep",
        "saved:2006/05/29 12:00:00",
    };
    EXPECT_EQ(notifier.events, expected);
    EXPECT_EQ(notifier.pumps, 8); // before every JVRead, and after each file the last flush writes
    EXPECT_TRUE(sfs::exists(base.native() / "DATA" / U8Path("2006年05月28日東京.jvRA")));
    EXPECT_EQ(dl.CurrentState(), JVDownload::State::Idle);
}

TEST_F(ReadLoopTest, DownloadWaitCountsUntilAllAreThereThenReads)
{
    jv.readCount = 3;
    jv.downloadCount = 2;
    jv.status = {0, 1, 7, 2};
    jv.reads = {{-1, ""}, {-1, ""}, {-1, ""}, {0, ""}};
    JVDownload dl = MakeDownload(jv);
    ASSERT_TRUE(dl.Start(kNow));
    EXPECT_EQ(dl.CurrentState(), JVDownload::State::Waiting);
    EXPECT_EQ(notifier.Only({"label"}).back(), "label:ダウンロード中・・・");
    EXPECT_EQ(notifier.events.back(), "dl:0/2");
    notifier.events.clear();
    EXPECT_TRUE(dl.Tick());
    EXPECT_TRUE(dl.Tick());
    EXPECT_TRUE(dl.Tick()); // more than expected: nothing happens
    EXPECT_FALSE(dl.Tick());
    const std::vector<std::string> labels = notifier.Only({"label", "dl", "saved"});
    ASSERT_GE(labels.size(), 7u);
    EXPECT_EQ(std::vector<std::string>(labels.begin(), labels.begin() + 7),
              (std::vector<std::string> {"label:ダウンロード中．．．(0/2)", "dl:0/2", "label:ダウンロード中．．．(1/2)", "dl:1/2",
                                         "label:ダウンロード中．．．(2/2)", "dl:2/2", "label:データ読込み中．．．(0/3)"}));
    // The download path saves the start time too once everything was read.
    EXPECT_EQ(labels.back(), "saved:2006/05/29 12:00:00");
    EXPECT_EQ(jv.Count("JVClose"), 1);
    EXPECT_FALSE(dl.Tick()); // a stray tick after the end does nothing
    EXPECT_EQ(jv.Count("JVStatus"), 4);
}

TEST_F(ReadLoopTest, ErrorsShowTheirTextAndKeepTheStartTime)
{
    // JVRead below -3.
    jv.readCount = 1;
    jv.reads = {{-502, ""}};
    JVDownload dl = MakeDownload(jv);
    dl.Start(kNow);
    EXPECT_EQ(notifier.Only({"beep", "info:JVRead", "saved"}),
              (std::vector<std::string> {"beep", "info:JVReadエラー:ダウンロードに失敗しました。(通信エラーやディスクエラー)(-502)", "beep"}));
    EXPECT_EQ(dl.LastOutcome(), JVDownload::Outcome::ReadFailed);

    // JVStatus negative during the wait.
    jv.downloadCount = 1;
    jv.status = {-502};
    notifier.events.clear();
    ASSERT_TRUE(dl.Start(kNow));
    EXPECT_FALSE(dl.Tick());
    EXPECT_EQ(notifier.Only({"beep", "info:JVStatus", "idle"}),
              (std::vector<std::string> {"beep", "info:JVStatusエラー:ダウンロードに失敗しました。（通信エラーやディスクエラーなど）(-502)",
                                         "idle", "beep"}));

    // JVClose failing after a full read.
    jv.downloadCount = 0;
    jv.reads = {{-1, ""}, {0, ""}};
    jv.closeResult = -201;
    notifier.events.clear();
    dl.Start(kNow);
    EXPECT_EQ(notifier.Only({"beep", "info:JVClose", "saved"}),
              (std::vector<std::string> {"beep", "beep", "info:JVCloseエラー:(-201)", "saved:2006/05/29 12:00:00"}));

    // An all-zero or empty time stamp is never saved.
    EXPECT_EQ(StartTimeFromTimestamp("00000000000000"), "");
    EXPECT_EQ(StartTimeFromTimestamp("  "), "");
    EXPECT_EQ(StartTimeFromTimestamp("20061399000000"), "");
    EXPECT_EQ(StartTimeFromTimestamp("20060529120000"), "2006/05/29 12:00:00");
}

TEST_F(ReadLoopTest, CancelStopsBeforeTheNextReadAndClosesAWait)
{
    jv.readCount = 1;
    RecordSpec ra;
    for (int i = 0; i < 5; ++i)
        jv.AddRecord(MakeRecord(ra));
    JVDownload dl = MakeDownload(jv);
    notifier.onPump = [&dl](int pump) {
        if (pump == 3)
            dl.Cancel(); // the cancel button, pressed while the loop lets messages run
    };
    dl.Start(kNow);
    EXPECT_EQ(jv.Count("JVRead"), 2);
    EXPECT_EQ(jv.Count("JVCancel"), 1);
    EXPECT_EQ(jv.Count("JVClose"), 1);
    EXPECT_EQ(dl.LastOutcome(), JVDownload::Outcome::Cancelled);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(notifier.Only({"beep", "info:JV", "label:JVC", "saved"}),
              (std::vector<std::string> {"beep", "info:JVCancel:キャンセルされました", "label:JVCancel:キャンセルされました", "beep"}));

    // A cancel during the download wait closes the stream, so the next start
    // is not refused.
    notifier.onPump = nullptr;
    jv.downloadCount = 1;
    ASSERT_TRUE(dl.Start(kNow));
    EXPECT_FALSE(cancel); // cleared when a download starts
    dl.Cancel();
    EXPECT_EQ(dl.CurrentState(), JVDownload::State::Idle);
    EXPECT_EQ(jv.Count("JVClose"), 2);
    EXPECT_FALSE(dl.Tick());
}

TEST_F(ReadLoopTest, StoredFileFailureIsShownAndTheStreamStillCloses)
{
    JVLinkStandIn standIn(base.path(), fs::Join(base.path(), "feed"));
    RecordSpec ra;
    WriteFeedFile(base.native() / "feed", "RACE20060529120000.jvd", {MakeRecord(ra)});
    ASSERT_EQ(standIn.JVInit(JVSoftwareId()), 0);
    fs::SetRewriteHook([](std::string_view path) {
        if (path.find(".jvRA") != std::string_view::npos)
            throw fs::FileError(Utf8ToCp932("書き込めません"));
    });
    JVDownload dl = MakeDownload(standIn);
    for (bool wait = dl.Start(DateTime {2006, 5, 20, 0, 0, 0}); wait;)
        wait = dl.Tick();
    fs::SetRewriteHook(nullptr);
    EXPECT_EQ(dl.LastOutcome(), JVDownload::Outcome::FileFailed);
    EXPECT_EQ(notifier.Only({"fail", "beep", "saved"}), (std::vector<std::string> {"fail:書き込めません", "beep"}));
    // The stream was closed: the next download runs normally.
    notifier.events.clear();
    dl.Start(DateTime {2006, 5, 20, 0, 0, 0});
    EXPECT_EQ(dl.LastOutcome(), JVDownload::Outcome::Completed);
    EXPECT_EQ(notifier.Only({"saved"}), (std::vector<std::string> {"saved:2006/05/29 12:00:00"}));
}

TEST(ReadLoopHeldWrites, EveryWayTheLoopEndsWritesWhatWasMergedAndAFailedWriteKeepsTheStartTime)
{
    enum Stop { Cancel, ReadError, FileFailure, Limit, End };
    for (Stop stop : {Cancel, ReadError, FileFailure, Limit, End}) {
        for (bool failWrites : {false, true}) {
            SCOPED_TRACE(std::to_string(stop) + (failWrites ? " failing writes" : ""));
            TempDir base;
            for (const char* d : {"DATA", "SEI", "SEIR"})
                sfs::create_directory(base.native() / d);
            StoredRaceFiles files(base.path());
            RecordingNotifier notifier;
            std::atomic<bool> cancel {false};
            ScriptedJV jv;
            jv.readCount = 1;
            RecordSpec ra, hr;
            hr.kind = "HR";
            jv.AddRecord(MakeRecord(ra));
            const sfs::path raceFile = base.native() / "DATA" / U8Path("2006年05月28日東京.jvRA");
            bool writtenDuringTheLoop = false;
            if (stop == Limit) {
                files.SetHoldLimit(100); // the race file alone passes it
                notifier.onPump = [&](int) { writtenDuringTheLoop = writtenDuringTheLoop || sfs::exists(raceFile); };
            }
            if (stop == FileFailure) // a folder where the payout file should be: reading it fails
                sfs::create_directory(base.native() / "DATA" / U8Path("2006年05月28日東京.jvHR"));
            if (stop == FileFailure || stop == Limit || stop == End)
                jv.AddRecord(MakeRecord(hr));
            if (stop == ReadError)
                jv.reads.emplace_back(-502, "");
            JVDownload dl(jv, files, notifier, [] { return kNow; }, cancel);
            if (stop == Cancel)
                notifier.onPump = [&dl](int pump) {
                    if (pump == 2)
                        dl.Cancel();
                };
            if (failWrites)
                fs::SetRewriteHook([](std::string_view) { throw fs::FileError("disk full"); });
            dl.Start(kNow);
            fs::SetRewriteHook(nullptr);

            // The start time moves on only when every record is on disk.
            EXPECT_EQ(notifier.Only({"saved"}).size(), (stop == End || stop == Limit) && !failWrites ? 1u : 0u);
            if (failWrites) {
                EXPECT_EQ(dl.LastOutcome(), JVDownload::Outcome::FileFailed);
                EXPECT_FALSE(notifier.Only({"fail:"}).empty());
                EXPECT_FALSE(sfs::exists(raceFile));
                EXPECT_TRUE(files.HeldFiles() == 0u);
            } else {
                // What was merged before the stop is on disk, whole.
                EXPECT_EQ(ReadAll(raceFile).size(), 1272u);
                EXPECT_EQ(writtenDuringTheLoop, stop == Limit);
                EXPECT_EQ(dl.LastOutcome(), stop == Cancel      ? JVDownload::Outcome::Cancelled
                                            : stop == ReadError ? JVDownload::Outcome::ReadFailed
                                            : stop == FileFailure ? JVDownload::Outcome::FileFailed
                                                                  : JVDownload::Outcome::Completed);
            }
        }
    }
}

TEST_F(ReadLoopTest, RealtimeUpdateBeepsAndStoresOnlyWhatItMay)
{
    RecordSpec ra, hr;
    hr.kind = "HR";
    jv.AddRecord(MakeRecord(ra));
    jv.AddRecord(MakeRecord(hr));
    jv.reads.emplace_back(-1, "");
    jv.reads.emplace_back(0, "");
    EXPECT_TRUE(RunRealtimeUpdate(jv, files, "20060528", notifier, cancel));
    EXPECT_EQ(jv.calls, (std::vector<std::string> {"JVRTOpen 0B12 20060528", "JVRead", "JVRead", "JVRead", "JVRead",
                                                   "JVClose", "JVClose"}));
    EXPECT_EQ(notifier.Only({"beep"}).size(), 2u);
    // A day without a race file gains only its payout file.
    EXPECT_EQ(Snapshot(base.native()).size(), 1u);
    EXPECT_TRUE(sfs::exists(base.native() / "DATA" / U8Path("2006年05月28日東京.jvHR")));

    // A failed open beeps three times; a set cancel flag reads nothing.
    jv.calls.clear();
    notifier.events.clear();
    jv.rtOpenResult = -1;
    EXPECT_TRUE(RunRealtimeUpdate(jv, files, "20060528", notifier, cancel));
    EXPECT_EQ(notifier.Only({"beep"}).size(), 3u);
    jv.rtOpenResult = 0;
    jv.calls.clear();
    jv.AddRecord(MakeRecord(hr));
    cancel = true;
    EXPECT_TRUE(RunRealtimeUpdate(jv, files, "20060528", notifier, cancel));
    EXPECT_EQ(jv.Count("JVRead"), 0);

    EXPECT_EQ(RealtimeKey(MakeRecord(ra)), "20060528");
    EXPECT_EQ(RealtimeKey(std::string(1270, ' ')), "");
}

namespace {

// A feed of two days at two courses, 2 races of 3 runners each: entry data
// first, final data in a later file.
void WriteTwoDayFeed(const sfs::path& feed)
{
    std::vector<std::string> entries, finals;
    for (const char* date : {"20060527", "20060528"})
        for (const char* course : {"05", "08"})
            for (int race = 1; race <= 2; ++race) {
                RecordSpec s;
                s.date = date;
                s.course = course;
                s.race = race;
                s.division = '1';
                entries.push_back(MakeRecord(s));
                s.division = '7';
                finals.push_back(MakeRecord(s));
                s.kind = "HR";
                finals.push_back(MakeRecord(s));
                for (int horse = 1; horse <= 3; ++horse) {
                    s.kind = "SE";
                    s.horse = horse;
                    s.pedigree = "20031" + std::string(course) + TwoDigits(race) + std::to_string(horse);
                    s.division = '1';
                    entries.push_back(MakeRecord(s));
                    s.division = '7';
                    s.filler = "F";
                    finals.push_back(MakeRecord(s));
                    s.filler = "A";
                }
            }
    WriteFeedFile(feed, "RACE20060526100000.jvd", entries);
    WriteFeedFile(feed, "RACE20060529100000.jvd", finals);
}

// Every stored file is whole: each line of its kind's length, one line per
// race key in the keyed files, 216 lines in a runner slot file.
void ExpectWholeFiles(const sfs::path& base)
{
    for (const auto& [rel, text] : Snapshot(base)) {
        if (rel.rfind("JVLinkCache", 0) == 0 || rel.rfind("feed", 0) == 0)
            continue;
        SCOPED_TRACE(rel);
        EXPECT_EQ(rel.find(".tmp~"), std::string::npos);
        const std::string ext = U8Path(rel).extension().string();
        const size_t width = ext == ".jvRA" || ext == ".jvSERA" ? 1270 : ext == ".jvHR" ? 717 : 553;
        ASSERT_EQ(text.size() % (width + 2), 0u);
        const std::vector<std::string_view> lines = SplitLines(text);
        std::set<std::string> keys;
        for (std::string_view l : lines) {
            EXPECT_EQ(l.size(), width);
            if (ext != ".jvSEr") {
                EXPECT_TRUE(keys.insert(std::string(l.substr(11, 16))).second);
            }
        }
        if (ext == ".jvSEr") {
            EXPECT_EQ(lines.size(), 216u);
        }
    }
}

} // namespace

TEST(ImportJv, SameFeedTwiceGivesTheSameBytes)
{
    TempDir base;
    const sfs::path feed = base.native() / "feed";
    WriteTwoDayFeed(feed);
    std::string out, err;
    const std::vector<std::string> args {"import-jv", base.native().string(), feed.string(), "--now", "20060529200000",
                                         "--from", "20060520000000"};
    ASSERT_EQ(RunTool(args, out, &err), 0) << err;
    EXPECT_NE(out.find("作成済み:01R/2006年05月27日東京.jvRA\n"), std::string::npos);
    EXPECT_NE(out.find("作成済み:2006年05月28日京都02R/2003108023.jvSEI\n"), std::string::npos);
    // 8 RA + 24 SE entries, then 8 RA + 8 HR + 24 SE finals: each of the
    // 4 race, 4 runner slot, 4 payout, 4 result race and 12 horse history
    // files is written once.
    EXPECT_NE(out.find("stored 72 records, 28 files written\n"), std::string::npos) << out;
    for (const char* d : {"DATA", "SEI", "SEIR", "yLZH"})
        EXPECT_TRUE(sfs::is_directory(base.native() / d)) << d;
    const auto first = Snapshot(base.native());
    ExpectWholeFiles(base.native());

    std::string out2;
    ASSERT_EQ(RunTool(args, out2, &err), 0) << err;
    EXPECT_EQ(Snapshot(base.native()), first);
    // The runner slots go back to their entry lines and on to their final
    // lines again in memory: nothing is written.
    EXPECT_NE(out2.find("stored 72 records, 0 files written\n"), std::string::npos) << out2;
    std::vector<std::string> finalsOnly = args;
    finalsOnly.back() = "20060527000000";
    ASSERT_EQ(RunTool(finalsOnly, out2, &err), 0) << err;
    EXPECT_NE(out2.find("stored 40 records, 0 files written\n"), std::string::npos) << out2;
    EXPECT_EQ(Snapshot(base.native()), first);

    // Nothing newer than the last file.
    std::vector<std::string> later = args;
    later.back() = "20060529100000";
    ASSERT_EQ(RunTool(later, out2, &err), 0);
    EXPECT_EQ(out2, "最新のデータがありません。\nstored 0 records, 0 files written\n");
    EXPECT_EQ(RunTool({"import-jv", base.native().string()}, out2, &err), 2);
    EXPECT_EQ(RunTool({"import-jv", base.native().string(), (base.native() / "no-feed").string()}, out2, &err), 2);
    EXPECT_NE(err.find("no feed folder"), std::string::npos);
    // The installed JV-Link: Windows only; where it can be and is not, how to get it.
    EXPECT_EQ(RunTool({"import-jv", base.native().string(), "--jvlink"}, out2, &err), SystemHasJVLink() ? 1 : 2);
    EXPECT_NE(err.find(SystemHasJVLink() ? "JV-Link】を入手" : "JV-Link is available on Windows only"), std::string::npos) << err;
}

TEST(ImportJv, FailureAfterAnyNumberOfWritesLeavesEveryFileWhole)
{
    TempDir clean;
    WriteTwoDayFeed(clean.native() / "feed");
    auto importAll = [](const std::string& base, std::atomic<bool>& cancel) {
        ReadLoopNotifier quiet;
        JVLinkStandIn jv(base, fs::Join(base, "feed"));
        jv.JVInit(JVSoftwareId());
        StoredRaceFiles files(base);
        JVDownload dl(jv, files, quiet, [] { return kNow; }, cancel);
        bool wait = dl.Start(DateTime {2006, 5, 20, 0, 0, 0});
        while (wait)
            wait = dl.Tick();
        return dl.LastOutcome();
    };
    std::atomic<bool> cancel {false};
    ASSERT_EQ(importAll(clean.path(), cancel), JVDownload::Outcome::Completed);
    const auto expected = Snapshot(clean.native() / "DATA");

    for (int failAfter : {1, 9, 20, 27}) {
        SCOPED_TRACE(failAfter);
        TempDir base;
        WriteTwoDayFeed(base.native() / "feed");
        int writes = 0;
        fs::SetRewriteHook([&writes, failAfter](std::string_view path) {
            if (path.find("JVLinkCache") == std::string_view::npos && ++writes > failAfter)
                throw fs::FileError("disk full");
        });
        EXPECT_EQ(importAll(base.path(), cancel), JVDownload::Outcome::FileFailed);
        fs::SetRewriteHook(nullptr);
        ExpectWholeFiles(base.native());
        // Reading the feed again finishes the work.
        ASSERT_EQ(importAll(base.path(), cancel), JVDownload::Outcome::Completed);
        EXPECT_EQ(Snapshot(base.native() / "DATA"), expected);
    }
}
