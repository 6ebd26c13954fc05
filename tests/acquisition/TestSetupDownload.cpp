// The setup download of past years over a small setup feed: what it stores
// (every race whole, counted by 格言成績 year by year as a tally of the feed
// says), a cancelled run run again, the start point rule and the time left.
#include "acquisition/JVLinkStandIn.h"
#include "acquisition/JVRecordBuilder.h"
#include "acquisition/ReadLoop.h"
#include "acquisition/StoredFiles.h"
#include "app/Backtest.h"
#include "app/BaseFolder.h"
#include "platform/FileSystem.h"
#include "reference/FixedRecord.h"
#include "reference/ShiftJis.h"
#include "sample/SetupFeed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace tervan;
using namespace tervan::test;
namespace sfs = std::filesystem;

namespace {

const DateTime kNow {2006, 5, 29, 21, 0, 0};
const DateTime kFrom {2004, 1, 1, 0, 0, 0};

// Three setup years (2004 to 28 May 2006), one course, every 13th weekend.
const sfs::path& Feed()
{
    static TempDir dir;
    static bool made = false;
    if (!made) {
        sample::SampleOptions weekly;
        weekly.today = DateTime {2006, 6, 4};
        sample::SetupOptions setup;
        setup.years = 3;
        setup.courses = 1;
        setup.everyWeeks = 13;
        const sample::SetupFeedSummary s = sample::WriteSetupFeed(dir.path(), weekly, DaysFromCivil(2006, 5, 29), setup);
        EXPECT_EQ(s.firstDate / 10000, 2004);
        EXPECT_EQ(s.lastDate / 10000, 2006);
        EXPECT_GT(s.h1Records, 0);
        made = true;
    }
    return dir.native();
}

// Records every start point the download hands over; cancels after `cancelAfter` reads.
class Notes : public ReadLoopNotifier {
public:
    void StartTimeSaved(const std::string& slashed) override { saved.push_back(slashed); }
    void ProgressLabel(const std::string& text) override { labels.push_back(text); }
    void ProcessMessages() override
    {
        if (++pumps == cancelAfter && cancel != nullptr)
            *cancel = true;
    }
    std::vector<std::string> saved;
    std::vector<std::string> labels;
    std::atomic<bool>* cancel = nullptr;
    long pumps = 0;
    long cancelAfter = 0;
};

JVDownload::Outcome RunSetup(const std::string& base, Notes& notes, std::atomic<bool>& cancel,
                          const DateTime& saved = DateTime {2006, 5, 21, 0, 0, 0})
{
    JVLinkStandIn jv(base, fs::FromNative(Feed()));
    EXPECT_EQ(jv.JVInit(JVSoftwareId()), 0);
    StoredRaceFiles files(base);
    JVDownload download(jv, files, notes, [] { return kNow; }, cancel);
    bool waiting = download.StartSetup(kFrom, saved);
    while (waiting)
        waiting = download.Tick();
    return download.LastOutcome();
}

} // namespace

TEST(SetupDownload, StoresEveryRaceWholeAndBacktestCountsTheFeedsYears)
{
    TempDir base;
    EnsureBaseFolders(base.path());
    Notes notes;
    std::atomic<bool> cancel {false};
    ASSERT_EQ(RunSetup(base.path(), notes, cancel), JVDownload::Outcome::Completed);
    // The files done come with the time left.
    EXPECT_TRUE(std::any_of(notes.labels.begin(), notes.labels.end(), [](const std::string& l) {
        return l.starts_with(SJ("データ読込み中．．．(1/")) && l.find(SJ(") 残り約")) != std::string::npos;
    }));

    // An independent tally of the feed, by year: every race with payouts,
    // every runner with a final place, and what its win and place tickets paid.
    std::map<int, BacktestTally> tally;
    std::map<std::string, std::string> payouts; // race key -> HR record
    std::vector<std::string> runners;
    for (const auto& [name, text] : Snapshot(Feed()))
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = text.find("\r\n", at) + 2;
            const std::string r = text.substr(at, end - at);
            at = end;
            // The kinds the store skips come whole, as most of the bytes.
            if (r.starts_with("H1") || r.starts_with("O1")) {
                EXPECT_EQ(r.size(), r.starts_with("H1") ? 28955u : 962u);
            }
            if (r.starts_with("HR"))
                payouts[r.substr(11, 16)] = r;
            else if (r.starts_with("SE"))
                runners.push_back(r);
        }
    const int races = static_cast<int>(payouts.size());
    for (const std::string& se : runners) {
        const auto hr = payouts.find(se.substr(11, 16));
        const long place = ReadDecimal(std::string_view(se).substr(334, 2));
        if (hr == payouts.end() || place <= 0)
            continue;
        BacktestTally& t = tally[static_cast<int>(ReadDecimal(std::string_view(se).substr(11, 4)))];
        ++t.runners;
        (place == 1 ? t.first : place == 2 ? t.second : place == 3 ? t.third : t.unplaced)++;
        const std::string_view horse = std::string_view(se).substr(28, 2);
        for (int e = 0; e < 3; ++e)
            if (std::string_view(hr->second).substr(102 + 13 * e, 2) == horse)
                t.winPayout += ReadDecimal(std::string_view(hr->second).substr(104 + 13 * e, 9));
        bool placeSold = false;
        for (int e = 0; e < 5; ++e) {
            placeSold = placeSold || ReadDecimal(std::string_view(hr->second).substr(141 + 13 * e, 2)) > 0;
            if (std::string_view(hr->second).substr(141 + 13 * e, 2) == horse)
                t.placePayout += ReadDecimal(std::string_view(hr->second).substr(143 + 13 * e, 9));
        }
        // 複勝 figures count the runners of races where 複勝 was sold.
        if (placeSold) {
            ++t.placeRunners;
            t.placeTop3 += place <= 3 ? 1 : 0;
        }
    }
    ASSERT_EQ(tally.size(), 3u);

    const BacktestResult result = RunBacktest(base.path(), BacktestRange {});
    EXPECT_TRUE(result.problems.empty());
    EXPECT_EQ(result.races, races);
    const std::vector<BacktestSection>& years = result.Sections(BacktestBreakdown::Year);
    ASSERT_EQ(years.size(), 3u);
    for (const BacktestSection& year : years) {
        SCOPED_TRACE(year.key);
        EXPECT_EQ(year.groups[static_cast<int>(MaximGroup::All)], tally[year.key]);
    }
}

TEST(SetupDownload, ACancelledSetupRunAgainStoresWhatOneRunDoes)
{
    TempDir once, twice;
    EnsureBaseFolders(once.path());
    EnsureBaseFolders(twice.path());
    std::atomic<bool> cancel {false};
    Notes plain;
    ASSERT_EQ(RunSetup(once.path(), plain, cancel), JVDownload::Outcome::Completed);
    ASSERT_EQ(plain.saved.size(), 1u);

    Notes halfway;
    halfway.cancel = &cancel;
    halfway.cancelAfter = plain.pumps / 2;
    ASSERT_EQ(RunSetup(twice.path(), halfway, cancel), JVDownload::Outcome::Cancelled);
    EXPECT_TRUE(halfway.saved.empty()); // the start point stays until a setup completes
    EXPECT_TRUE(StoredSnapshot(twice.native()) != StoredSnapshot(once.native()));
    Notes again;
    ASSERT_EQ(RunSetup(twice.path(), again, cancel), JVDownload::Outcome::Completed);
    EXPECT_TRUE(StoredSnapshot(twice.native()) == StoredSnapshot(once.native()));
}

TEST(SetupDownload, StartPointMovesUpToTheLastFileUnlessTheSavedOneIsLater)
{
    TempDir base;
    EnsureBaseFolders(base.path());
    std::atomic<bool> cancel {false};
    Notes older;
    ASSERT_EQ(RunSetup(base.path(), older, cancel, DateTime {2003, 1, 1, 0, 0, 0}), JVDownload::Outcome::Completed);
    ASSERT_EQ(older.saved.size(), 1u);
    EXPECT_EQ(older.saved[0].substr(0, 10), "2006/05/28");
    Notes newer;
    ASSERT_EQ(RunSetup(base.path(), newer, cancel, DateTime {2006, 5, 29, 9, 0, 0}), JVDownload::Outcome::Completed);
    EXPECT_TRUE(newer.saved.empty());

    EXPECT_EQ(SetupStartTime("20060528180000", DateTime {2006, 5, 28, 17, 59, 59}), "2006/05/28 18:00:00");
    EXPECT_EQ(SetupStartTime("20060528180000", DateTime {2006, 5, 28, 18, 0, 0}), "");
    EXPECT_EQ(SetupStartTime("00000000000000", DateTime {1990, 1, 1, 0, 0, 0}), "");

    EXPECT_EQ(TimeLeftText(0, 10, 5), "");
    EXPECT_EQ(Cp932ToUtf8(TimeLeftText(1, 3, 20)), " 残り約40秒");
    EXPECT_EQ(Cp932ToUtf8(TimeLeftText(10, 100, 61)), " 残り約10分");
    EXPECT_EQ(Cp932ToUtf8(TimeLeftText(100, 4000, 190)), " 残り約2時間4分");
}
