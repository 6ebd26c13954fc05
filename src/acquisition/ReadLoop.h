// The JV-Link read loops: the download of accumulated data (JVOpen, the wait
// on JVStatus while files download, JVRead of every record into the stored
// race data files, JVClose) and the real-time results update (JVRTOpen,
// JVRead, JVClose).
//
// Everything here runs on the caller's thread. The window that drives a loop
// sees it through a ReadLoopNotifier: progress labels and bars, log lines,
// beeps and information boxes arrive in the order the user is to see them,
// and ProcessMessages is called before every JVRead so that the window can
// breathe (and its cancel button can set the cancel flag). tervan-tool
// import-jv drives the same download with no window.
#pragma once

#include "acquisition/JVLink.h"
#include "acquisition/StoredFiles.h"
#include "platform/Clock.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tervan {

// The program-wide cancel flag: set by the download dialog's cancel button,
// cleared when a download starts; it stops both read loops before their next
// read.
std::atomic<bool>& JVCancelFlag();

// JV-Link's setup data reaches back to 1986; a setup starts by default on
// 1 January ten years back.
inline constexpr int kSetupEarliestYear = 1986;
inline constexpr int kSetupYearsBack = 10;
inline constexpr int DefaultSetupYear(int thisYear)
{
    return thisYear - kSetupYearsBack < kSetupEarliestYear ? kSetupEarliestYear : thisYear - kSetupYearsBack;
}

// What a read loop shows. Every method does nothing unless overridden; all
// texts are CP932.
class ReadLoopNotifier {
public:
    virtual ~ReadLoopNotifier() = default;

    // The status label of the download dialog.
    virtual void ProgressLabel(const std::string& text) {}
    // The download bar and the files-read bar.
    virtual void DownloadProgress(int position, int maximum) {}
    virtual void ReadProgress(int position, int maximum) {}
    // The list of stored files written.
    virtual void ClearLog() {}
    virtual void LogLine(const std::string& line) {}
    // The default beep, and a modal information box with an OK button.
    virtual void Beep() {}
    virtual void Information(const std::string& text) {}
    // A stored file could not be written: the platform's error text, shown
    // as the platform shows its input/output errors.
    virtual void FileFailure(const std::string& text) {}
    // The dialog's mouse cursor: busy (arrow with hourglass) or default.
    virtual void BusyCursor(bool busy) {}
    // Lets pending window messages run; called before every JVRead.
    virtual void ProcessMessages() {}
    // JVRead answered -3 (a file is still downloading): a pause before the
    // next read, as the download wait polls JVStatus every 10 ms, rather
    // than asking again at once. Sleeps the thread unless overridden.
    virtual void WaitForDownload();
    // A download read every file: the new start point of the next download,
    // "yyyy/mm/dd hh:nn:ss", for the date picker and the settings file.
    virtual void StartTimeSaved(const std::string& slashed) {}
};

// The download of accumulated data as the download dialog runs it.
//
// The dialog calls Start from its start button (after stopping its wait
// timer). When Start returns true, files are still downloading: the dialog
// starts its 10 ms timer, and each tick stops the timer, calls Tick and
// starts the timer again only when Tick returns true (the read loop inside
// Tick lets messages run, so the timer must not tick into it). Cancel is the
// cancel button's work after the user confirmed.
class JVDownload {
public:
    enum class State { Idle, Waiting, Reading };
    enum class Outcome {
        None,         // not run yet
        NothingNewer, // JVOpen -1, or no file to read
        OpenFailed,
        StatusFailed,
        Completed,    // every record read
        ReadFailed,   // JVRead below -3
        Cancelled,
        FileFailed,   // a stored file could not be written
    };

    // clock: read once per read loop for the recent-date threshold.
    // cancel: the program-wide flag unless a test passes its own.
    JVDownload(IJVLink& jv, StoredRaceFiles& files, ReadLoopNotifier& notifier, std::function<DateTime()> clock,
               std::atomic<bool>& cancel = JVCancelFlag());

    // "データ取込み開始" with the start date and time of the date picker.
    // Returns true when the caller must now poll Tick every 10 ms. Does
    // nothing (returns false) while a download or read is running.
    bool Start(const DateTime& from);
    // "過去データ取込（セットアップ）": JV-Link's setup data, every race from
    // `from` on (the dialog passes 1 January of the chosen year), opened as
    // "RACE" with option 4; the rest is the download of Start. Setup data
    // holds the final records of whole races, so every race read is stored
    // as a recent one (race and runner slot files too), and the files done
    // come with an estimate of the time left. When every record was read,
    // the last file time stamp becomes the start point of the next download
    // unless `savedStart` (the start point saved now) is later.
    bool StartSetup(const DateTime& from, const DateTime& savedStart);
    // One tick of the download wait; true while the wait goes on.
    bool Tick();
    // "データ取込み中止", confirmed: JVCancel and the cancel flag. A wait is
    // ended and its stream closed; a running read loop stops before its next
    // read and closes the stream itself.
    void Cancel();

    State CurrentState() const { return m_state; }
    Outcome LastOutcome() const { return m_outcome; }
    // The last information box shown (CP932), for callers without a window.
    const std::string& LastMessage() const { return m_lastMessage; }

    std::int32_t ReadCount() const { return m_readCount; }
    std::int32_t DownloadCount() const { return m_downloadCount; }
    const std::string& LastFileTimestamp() const { return m_lastFileTimestamp; }
    int FilesRead() const { return m_filesRead; }
    // Records JVRead delivered in the last read loop.
    long RecordsRead() const { return m_recordsRead; }

private:
    bool Open(const char* dataspec, std::int32_t option, const DateTime& from);
    // The files done of all, with the time left after a setup's label.
    std::string Progress(long long done, long long total) const;
    void Inform(const std::string& text);
    void RunReadLoop();
    void ReadAndClose();
    void CloseStream();

    IJVLink& m_jv;
    StoredRaceFiles& m_files;
    ReadLoopNotifier& m_notifier;
    std::function<DateTime()> m_clock;
    std::atomic<bool>& m_cancel;

    State m_state = State::Idle;
    Outcome m_outcome = Outcome::None;
    std::string m_lastMessage;
    std::int32_t m_readCount = 0;
    std::int32_t m_downloadCount = 0;
    std::string m_lastFileTimestamp;
    int m_filesRead = 0;
    long m_recordsRead = 0;
    int m_downloadMax = 100;
    int m_readMax = 100;
    bool m_setup = false;
    DateTime m_savedStart; // the start point saved before a setup
    std::chrono::steady_clock::time_point m_phaseStart; // the wait or the read loop began
};

// The estimate of the time left when `done` of `total` files took `elapsed`
// seconds: " 残り約40秒", " 残り約12分", " 残り約2時間5分"; empty before
// the first file is done.
std::string TimeLeftText(long long done, long long total, double elapsed);

// The start point after a completed setup whose last file time stamp is
// `stamp`: "yyyy/mm/dd hh:nn:ss", or empty when the stamp is no date and time
// or `saved` is not earlier.
std::string SetupStartTime(std::string_view stamp, const DateTime& saved);

// The start time saved after a download: the last file time stamp
// "yyyymmddhhnnss" as "yyyy/mm/dd hh:nn:ss"; empty when the stamp is empty,
// all zeros or not a date and time.
std::string StartTimeFromTimestamp(std::string_view stamp);

// The key of the real-time results update: bytes 12-19 (yyyymmdd) of the race
// line of the loaded day's first race slot; empty when that does not read as
// a number greater than zero (a blank slot), and the update does nothing.
std::string RealtimeKey(std::string_view raceLine);

// The results update after its selection checks: lets messages run,
// JVRTOpen("0B12", key), the real-time read loop into StoreRealtime, JVClose
// and a beep, then the clean-up (messages, JVClose again, a beep). A failed
// JVRTOpen beeps once more. Returns true when it ended normally: the caller
// then re-reads payouts and redraws the selected race. A stored file that
// cannot be written ends it early: the clean-up runs, FileFailure shows the
// error, and it returns false.
bool RunRealtimeUpdate(IJVLink& jv, StoredRaceFiles& files, const std::string& key, ReadLoopNotifier& notifier,
                       const std::atomic<bool>& cancel = JVCancelFlag());

} // namespace tervan
