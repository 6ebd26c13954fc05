// The download dialog against tervan-tool import-jv on the same feed: the
// dialog shown (offscreen unless a display is named), its start button
// clicked, until its read loop has ended; import-jv as its own process. Each
// round imports into a fresh base folder, the dialog and import-jv in turn;
// the figures are wall-clock seconds, with the minimum and median of the
// rounds and of each round's ratio.
//
// Options: --days=N race days of the sample feed (default 16, about 42,000
// records), --runs=N rounds (default 3).
#include "acquisition/JVLinkStandIn.h"
#include "acquisition/gui/GetDataForm.h"
#include "app/BaseFolder.h"
#include "app/Settings.h"
#include "platform/FileSystem.h"
#include "sample/SampleFeed.h"
#include "widgets/Notifier.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace sfs = std::filesystem;
using namespace tervan;
using Clock = std::chrono::steady_clock;

const DateTime kToday {2006, 5, 29, 20, 0, 0};

void FreshBase(const sfs::path& base)
{
    std::error_code ec;
    sfs::remove_all(base, ec);
    sfs::create_directories(base);
    EnsureBaseFolders(fs::FromNative(base));
    ::sync();
}

double Dialog(const sfs::path& base, const sfs::path& feed, long& listed)
{
    FreshBase(base);
    Settings settings(fs::FromNative(base), "tervan");
    JVLinkStandIn jv(fs::FromNative(base), fs::FromNative(feed));
    jv.JVInit(JVSoftwareId());
    RecordingNotifier notifier;
    TGetDataForm::Options o;
    o.jvlink = &jv;
    o.settings = &settings;
    o.notifier = &notifier;
    o.clock = [] { return kToday; };
    TGetDataForm form(std::move(o));
    form.show();
    QApplication::processEvents();
    const Clock::time_point start = Clock::now();
    form.ButtonStartClick();
    while (form.Running())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    listed = form.ListBox1()->model()->rowCount();
    if (form.Download().LastOutcome() != JVDownload::Outcome::Completed) {
        std::fprintf(stderr, "the dialog's download did not complete\n");
        std::exit(1);
    }
    return seconds;
}

double ImportJv(const sfs::path& base, const sfs::path& feed)
{
    FreshBase(base);
    const std::string tool = fs::ToNative(fs::Join(fs::ExecutableDir(), "tervan-tool")).string();
    const std::string command = "'" + tool + "' import-jv '" + base.string() + "' '" + feed.string()
                                + "' --now " + FormatCompact(kToday) + " >/dev/null";
    const Clock::time_point start = Clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "import-jv failed\n");
        std::exit(1);
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Min(std::vector<double> v)
{
    return *std::min_element(v.begin(), v.end());
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    int days = 16, runs = 3;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--days=", 7) == 0)
            days = std::atoi(argv[i] + 7);
        else if (std::strncmp(argv[i], "--runs=", 7) == 0)
            runs = std::max(1, std::atoi(argv[i] + 7));
    }
    if (std::getenv("DISPLAY") == nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr)
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);

    const sfs::path dir = sfs::temp_directory_path() / ("tervan-bench-getdata-" + std::to_string(::getpid()));
    sfs::create_directories(dir);
    sample::SampleOptions options;
    options.today = kToday;
    options.days = days;
    const sample::SampleFeedSummary summary = sample::WriteSampleFeed(fs::FromNative(dir / "feed"), options, true);
    std::printf("sample feed: %d race days, %ld records\n", summary.raceDays, summary.Records());

    std::vector<double> dialog, tool, ratios;
    for (int round = 1; round <= runs; ++round) {
        long listed = 0;
        dialog.push_back(Dialog(dir / "base", dir / "feed", listed));
        tool.push_back(ImportJv(dir / "base", dir / "feed"));
        ratios.push_back(dialog.back() / tool.back());
        std::printf("round %d: dialog %.2f s (%ld log lines), import-jv %.2f s, ratio %.2f\n", round, dialog.back(),
                    listed, tool.back(), ratios.back());
    }
    std::printf("dialog     min %.2f s  median %.2f s\n", Min(dialog), Median(dialog));
    std::printf("import-jv  min %.2f s  median %.2f s\n", Min(tool), Median(tool));
    std::printf("ratio      min %.2f    median %.2f\n", Min(ratios), Median(ratios));
    std::error_code ec;
    sfs::remove_all(dir, ec);
    return 0;
}
