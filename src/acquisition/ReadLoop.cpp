#include "acquisition/ReadLoop.h"

#include "acquisition/JVResultText.h"
#include "platform/FileSystem.h"
#include "reference/FixedRecord.h"
#include "reference/ShiftJis.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace tervan {

namespace {

constexpr std::int32_t kReadBufferSize = 60000;
// JVRead's answer while the file it is to read is still downloading.
constexpr std::int32_t kReadStillDownloading = -3;
// The pause before asking again: the download wait's polling interval.
constexpr auto kDownloadPoll = std::chrono::milliseconds(10);

std::string Num(long long n)
{
    return std::to_string(n);
}

// "(" + a + "/" + b + ")"
std::string Fraction(long long a, long long b)
{
    return "(" + Num(a) + "/" + Num(b) + ")";
}

// After a failure: what the loop merged is written before the failure is
// shown; a second failure while writing it is not shown over the first.
void FlushAfterFailure(StoredRaceFiles& files)
{
    try {
        files.Flush();
    } catch (const fs::FileError&) {
    }
}

} // namespace

void ReadLoopNotifier::WaitForDownload()
{
    std::this_thread::sleep_for(kDownloadPoll);
}

std::atomic<bool>& JVCancelFlag()
{
    static std::atomic<bool> flag {false};
    return flag;
}

JVDownload::JVDownload(IJVLink& jv, StoredRaceFiles& files, ReadLoopNotifier& notifier,
                       std::function<DateTime()> clock, std::atomic<bool>& cancel)
    : m_jv(jv)
    , m_files(files)
    , m_notifier(notifier)
    , m_clock(std::move(clock))
    , m_cancel(cancel)
{
}

void JVDownload::Inform(const std::string& text)
{
    m_lastMessage = text;
    m_notifier.Information(text);
}

bool JVDownload::Start(const DateTime& from)
{
    if (m_state != State::Idle)
        return false;
    m_setup = false;
    return Open("RACERCVN", kJVOptionThisWeek, from);
}

bool JVDownload::StartSetup(const DateTime& from, const DateTime& savedStart)
{
    if (m_state != State::Idle)
        return false;
    m_setup = true;
    m_savedStart = savedStart;
    return Open("RACE", kJVOptionSetupQuiet, from);
}

std::string JVDownload::Progress(long long done, long long total) const
{
    std::string text = Fraction(done, total);
    if (m_setup)
        text += TimeLeftText(done, total, std::chrono::duration<double>(std::chrono::steady_clock::now() - m_phaseStart).count());
    return text;
}

bool JVDownload::Open(const char* dataspec, std::int32_t option, const DateTime& from)
{
    Inform(SJ("データ取込を開始します。データ作成が終了するまで本ソフトを操作したり他のアプリケーションを操作することは極力避けてください。"));
    m_cancel = false;
    m_notifier.DownloadProgress(0, m_downloadMax);
    m_notifier.ReadProgress(0, m_readMax);
    m_notifier.ClearLog();
    m_outcome = Outcome::None;
    m_filesRead = 0;
    const std::string fromtime = FormatCompact(from);
    m_notifier.BusyCursor(true);

    m_readCount = 0;
    m_downloadCount = 0;
    m_lastFileTimestamp.clear();
    m_state = State::Waiting; // a stream may be open from here on
    const std::int32_t r = m_jv.JVOpen(dataspec, fromtime, option, m_readCount, m_downloadCount, m_lastFileTimestamp);
    if (r == -1 || (r == 0 && m_readCount <= 0)) {
        m_outcome = Outcome::NothingNewer;
        m_notifier.Beep();
        Inform(SJ("最新のデータがありません。"));
        CloseStream();
        return false;
    }
    if (r != 0) {
        m_outcome = Outcome::OpenFailed;
        m_notifier.Beep();
        Inform(JVErrorMessage("JVOpen", r, m_jv.CallFailure()));
        CloseStream();
        return false;
    }
    m_notifier.ProgressLabel(JVOpenOkMessage(0));
    m_notifier.ProgressLabel("ReadCount:" + Num(m_readCount) + ", DownloadCount:" + Num(m_downloadCount));
    if (m_downloadCount > 0) {
        m_notifier.ProgressLabel(SJ("ダウンロード中・・・"));
        m_downloadMax = m_downloadCount;
        m_notifier.DownloadProgress(0, m_downloadMax);
        m_phaseStart = std::chrono::steady_clock::now();
        return true;
    }
    m_downloadMax = 100;
    m_notifier.DownloadProgress(100, m_downloadMax);
    ReadAndClose();
    return false;
}

bool JVDownload::Tick()
{
    if (m_state != State::Waiting)
        return false;
    const std::int32_t st = m_jv.JVStatus();
    if (st < 0) {
        m_outcome = Outcome::StatusFailed;
        m_notifier.Beep();
        Inform(JVErrorMessage("JVStatus", st, m_jv.CallFailure()));
        CloseStream();
        return false;
    }
    if (st > m_downloadCount)
        return true;
    m_notifier.ProgressLabel(SJ("ダウンロード中．．．") + Progress(st, m_downloadCount));
    m_notifier.DownloadProgress(st, m_downloadMax);
    if (st < m_downloadCount)
        return true;
    ReadAndClose();
    return false;
}

void JVDownload::Cancel()
{
    const bool waiting = m_state == State::Waiting;
    m_jv.JVCancel();
    m_cancel = true;
    m_notifier.Beep();
    Inform(SJ("JVCancel:キャンセルされました"));
    m_notifier.ProgressLabel(SJ("JVCancel:キャンセルされました"));
    if (waiting) {
        // Left open, the stream would make the next download fail with -202.
        m_outcome = Outcome::Cancelled;
        CloseStream();
    }
}

// The read loop, then the stream closed; the start time moves on only when
// every record was read and written, so that a cancel or an error never
// makes the next download skip records that are not on disk. The loop holds
// its writes: the stored files are written when the files held pass their
// memory limit and before the loop ends in any way (what was merged is whole
// records). The end of a feed file is no reason to write: a later file often
// changes the same files again (entries, then results), and until the loop
// ends the start time stays where it was, so a download stopped by any cause
// reads every record again.
void JVDownload::ReadAndClose()
{
    m_state = State::Reading;
    m_files.HoldWrites(true);
    m_files.SetFlushPump([this] { m_notifier.ProcessMessages(); });
    try {
        RunReadLoop();
    } catch (const fs::FileError& e) {
        m_outcome = Outcome::FileFailed;
        FlushAfterFailure(m_files);
        m_notifier.FileFailure(e.what());
    }
    m_files.HoldWrites(false); // nothing is held by now
    m_files.SetFlushPump(nullptr);
    CloseStream();
    if (m_outcome == Outcome::Completed) {
        const std::string s = m_setup ? SetupStartTime(m_lastFileTimestamp, m_savedStart)
                                      : StartTimeFromTimestamp(m_lastFileTimestamp);
        if (!s.empty())
            m_notifier.StartTimeSaved(s);
    }
}

void JVDownload::RunReadLoop()
{
    m_notifier.ProgressLabel(SJ("データ読込み中．．．") + Fraction(0, m_readCount));
    m_readMax = m_readCount;
    m_notifier.ReadProgress(0, m_readMax);
    m_filesRead = 0;
    m_recordsRead = 0;
    m_phaseStart = std::chrono::steady_clock::now();
    // Every race of a setup is a whole one: stored as a recent race is.
    const long threshold = m_setup ? 0 : RecentDateThreshold(m_clock());
    std::int32_t size = kReadBufferSize;
    std::string record;
    std::string fileName;
    for (;;) {
        m_notifier.ProcessMessages();
        if (m_cancel) {
            m_files.Flush();
            m_outcome = Outcome::Cancelled;
            return;
        }
        const std::int32_t r = m_jv.JVRead(record, size, fileName);
        if (r > 0) {
            ++m_recordsRead;
            for (const std::string& line : m_files.StoreAccumulated(record, threshold))
                m_notifier.LogLine(line);
        } else if (r == -1) {
            ++m_filesRead;
            m_notifier.ReadProgress(m_filesRead, m_readMax);
            m_notifier.ProgressLabel(SJ("データ読込み中．．．") + Progress(m_filesRead, m_readCount));
        } else if (r == 0) {
            m_files.Flush();
            m_notifier.ProgressLabel("JVRead EndOfFile :0");
            m_notifier.ProgressLabel(SJ("データ読込み完了") + Fraction(m_filesRead, m_readCount));
            m_notifier.DownloadProgress(0, m_downloadMax);
            m_notifier.ReadProgress(0, m_readMax);
            m_notifier.Beep();
            m_outcome = Outcome::Completed;
            Inform(SJ("データ作成が完了しました。"));
            return;
        } else if (r < -3) {
            m_files.Flush();
            m_notifier.Beep();
            m_outcome = Outcome::ReadFailed;
            Inform(JVErrorMessage("JVRead", r, m_jv.CallFailure()));
            return;
        } else if (r == kReadStillDownloading) {
            m_notifier.WaitForDownload();
        }
        // -2: read again at once.
    }
}

void JVDownload::CloseStream()
{
    const std::int32_t r = m_jv.JVClose();
    m_state = State::Idle;
    m_notifier.BusyCursor(false);
    if (r != 0) {
        m_notifier.Beep();
        Inform(JVErrorMessage("JVClose", r, m_jv.CallFailure()));
    } else {
        m_notifier.Beep();
    }
}

namespace {

// The date and time of a last file time stamp; none when it is empty, all
// zeros or not a date and time.
std::optional<DateTime> StampTime(std::string_view stamp)
{
    stamp = TrimSpaces(stamp);
    if (stamp.empty() || stamp == "00000000000000")
        return std::nullopt;
    return ParseCompact(stamp);
}

} // namespace

std::string StartTimeFromTimestamp(std::string_view stamp)
{
    const std::optional<DateTime> t = StampTime(stamp);
    return t ? FormatSlashed(*t) : std::string();
}

std::string TimeLeftText(long long done, long long total, double elapsed)
{
    if (done <= 0 || total < done || elapsed < 0)
        return {};
    const long long left = static_cast<long long>(elapsed * static_cast<double>(total - done) / static_cast<double>(done) + 0.5);
    if (left < 60)
        return SJ(" 残り約") + Num(left) + SJ("秒");
    const long long minutes = (left + 59) / 60;
    if (minutes < 60)
        return SJ(" 残り約") + Num(minutes) + SJ("分");
    return SJ(" 残り約") + Num(minutes / 60) + SJ("時間") + Num(minutes % 60) + SJ("分");
}

std::string SetupStartTime(std::string_view stamp, const DateTime& saved)
{
    const std::optional<DateTime> t = StampTime(stamp);
    return t && *t > saved ? FormatSlashed(*t) : std::string();
}

std::string RealtimeKey(std::string_view raceLine)
{
    std::string_view key = Mid(raceLine, 12, 8);
    if (key.size() != 8 || ReadDecimal(key) <= 0)
        return {};
    return std::string(key);
}

bool RunRealtimeUpdate(IJVLink& jv, StoredRaceFiles& files, const std::string& key, ReadLoopNotifier& notifier,
                       const std::atomic<bool>& cancel)
{
    notifier.ProcessMessages();
    // The loop holds its writes like the download's; all is on disk before
    // the caller re-reads the payouts.
    files.HoldWrites(true);
    try {
        if (jv.JVRTOpen("0B12", key) == 0) {
            std::int32_t size = kReadBufferSize;
            std::string record;
            std::string fileName;
            for (;;) {
                notifier.ProcessMessages();
                if (cancel)
                    break;
                const std::int32_t r = jv.JVRead(record, size, fileName);
                if (r > 0)
                    files.StoreRealtime(record);
                else if (r == 0 || r < -3)
                    break;
                else if (r == kReadStillDownloading)
                    notifier.WaitForDownload();
            }
            files.Flush();
        } else {
            notifier.Beep();
        }
        jv.JVClose();
        notifier.Beep();
    } catch (const fs::FileError& e) {
        FlushAfterFailure(files);
        files.HoldWrites(false);
        notifier.ProcessMessages();
        jv.JVClose();
        notifier.Beep();
        notifier.FileFailure(e.what());
        return false;
    }
    files.HoldWrites(false);
    notifier.ProcessMessages();
    jv.JVClose();
    notifier.Beep();
    return true;
}

} // namespace tervan
