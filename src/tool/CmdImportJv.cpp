// tervan-tool import-jv: the download dialog's read loop without a window.
#include "tool/ToolCommand.h"

#include "acquisition/JVLinkStandIn.h"
#include "acquisition/JVResultText.h"
#include "acquisition/ReadLoop.h"
#include "acquisition/StoredFiles.h"
#include "app/BaseFolder.h"
#include "app/Settings.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"

#include <chrono>
#include <ostream>
#include <thread>

namespace tervan::tool {
namespace {

// Prints each stored-file log line; keeps the last message for failures.
class ConsoleNotifier : public ReadLoopNotifier {
public:
    ConsoleNotifier(std::ostream& out, std::ostream& err)
        : m_out(out)
        , m_err(err)
    {
    }
    void LogLine(const std::string& line) override { m_out << Cp932ToUtf8(line) << "\n"; }
    void FileFailure(const std::string& text) override { m_err << Cp932ToUtf8(text) << "\n"; }
    void ProcessMessages() override { console::ProcessMessages(); }
    // The download wait: one line each time the count of downloaded files
    // grows.
    void DownloadProgress(int position, int maximum) override
    {
        if (!m_waiting || position <= m_lastPosition)
            return;
        m_lastPosition = position;
        m_err << "download: " << position << "/" << maximum << "\n";
    }
    // The start point of the next download, saved as the dialog saves it
    // (only when reading the installed JV-Link).
    void StartTimeSaved(const std::string& slashed) override
    {
        if (m_settings)
            m_settings->WriteLastTime(slashed);
    }
    Settings* m_settings = nullptr;
    bool m_waiting = false; // files are being downloaded before the reading

private:
    std::ostream& m_out;
    std::ostream& m_err;
    int m_lastPosition = -1;
};

int Run(const std::vector<std::string>& argsIn, std::ostream& out, std::ostream& err);

const ToolCommand kCommand {
    "import-jv",
    "import-jv BASE (FEED | --jvlink) [--from yyyymmddhhnnss] [--now yyyymmddhhnnss] | "
    "import-jv BASE (FEED | --jvlink) --setup [--from yyyymmdd]",
    "reads a JV-Link feed into the stored race data files of BASE (default --from: 8 days before now); "
    "with --jvlink the installed JV-Link (Windows), from the settings file's start point, which is saved back; "
    "--setup reads the setup data of every race from --from on (default 1 January ten years back), and a "
    "completed one moves the settings file's start point up to its last file",
    Run,
};
const ToolCommandRegistration kRegistration(kCommand);

int Run(const std::vector<std::string>& argsIn, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> args = argsIn;
    std::string fromText, nowText;
    const bool hasFrom = TakeOption(args, "--from", fromText);
    const bool hasNow = TakeOption(args, "--now", nowText);
    const bool installed = TakeFlag(args, "--jvlink");
    const bool setup = TakeFlag(args, "--setup");
    if (args.size() != (installed ? 1u : 2u))
        return UsageError(kCommand, err);
    if (installed && !SystemHasJVLink()) {
        err << "import-jv: JV-Link is available on Windows only\n";
        return 2;
    }

    DateTime now = Now();
    if (hasNow) {
        std::optional<DateTime> t = ParseCompact(nowText);
        if (!t) {
            err << "import-jv: --now needs yyyymmddhhnnss, not '" << nowText << "'\n";
            return 2;
        }
        now = *t;
    }
    DateTime from = AddDays(now, -8);
    if (setup) {
        from = DateTime {DefaultSetupYear(now.year), 1, 1};
        long date = 0;
        if (hasFrom && (!ParseDateOption(fromText, date) || date < kSetupEarliestYear * 10000L + 101)) {
            err << "import-jv: --setup --from needs a date yyyymmdd from 19860101 on, not '" << fromText << "'\n";
            return 2;
        }
        if (hasFrom)
            from = DateTime {static_cast<int>(date / 10000), static_cast<int>(date / 100 % 100), static_cast<int>(date % 100)};
    } else if (hasFrom) {
        std::optional<DateTime> t = ParseCompact(fromText);
        if (!t) {
            err << "import-jv: --from needs yyyymmddhhnnss, not '" << fromText << "'\n";
            return 2;
        }
        from = *t;
    }

    const std::string base = Utf8ToCp932(args[0]);
    std::unique_ptr<IJVLink> link;
    if (installed) {
        link = CreateInstalledJVLink();
        if (!link) {
            err << Cp932ToUtf8(SJ("JRA-VANのホームページより【JV-Link】を入手し、インストールしてください。")) << "\n";
            return 1;
        }
    } else {
        const std::string feed = Utf8ToCp932(args[1]);
        if (!fs::DirExists(feed)) {
            err << "import-jv: no feed folder " << args[1] << "\n";
            return 2;
        }
    }
    fs::CreateDirs(base);
    EnsureBaseFolders(base);
    if (!link)
        link = std::make_unique<JVLinkStandIn>(base, Utf8ToCp932(args[1]));
    // The window program's settings file ("tervan.ini" in the base folder).
    Settings settings(base, "tervan");
    // The start point of the weekly download, read with its default.
    const DateTime savedStart = settings.ReadLastTimeValue(now);
    if (installed && !hasFrom && !setup)
        from = savedStart;

    IJVLink& jv = *link;
    const std::int32_t init = jv.JVInit(JVSoftwareId());
    if (init != 0) {
        err << Cp932ToUtf8(JVErrorMessage("JVInit", init, jv.CallFailure())) << "\n";
        return 1;
    }
    StoredRaceFiles files(base);
    ConsoleNotifier notifier(out, err);
    if (installed)
        notifier.m_settings = &settings;
    std::atomic<bool> cancel {false};
    JVDownload download(jv, files, notifier, [now] { return now; }, cancel);
    bool waiting = setup ? download.StartSetup(from, savedStart) : download.Start(from);
    while (waiting) {
        notifier.m_waiting = true;
        waiting = download.Tick();
        notifier.m_waiting = waiting;
        if (waiting) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            console::ProcessMessages();
        }
    }

    const JVDownload::Outcome outcome = download.LastOutcome();
    if (outcome == JVDownload::Outcome::NothingNewer)
        out << Cp932ToUtf8(download.LastMessage()) << "\n";
    else if (outcome != JVDownload::Outcome::Completed && outcome != JVDownload::Outcome::FileFailed)
        err << Cp932ToUtf8(download.LastMessage()) << "\n";
    out << "stored " << files.RecordsStored() << " records, " << files.FilesWritten() << " files written";
    if (files.RecordsDamaged() > 0)
        out << ", " << files.RecordsDamaged() << " damaged records skipped";
    out << "\n";
    return outcome == JVDownload::Outcome::Completed || outcome == JVDownload::Outcome::NothingNewer ? 0 : 1;
}

} // namespace
} // namespace tervan::tool
