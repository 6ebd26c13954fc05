// The day list and the day load, on hand-made stored files.
#include "app/RaceDay.h"

#include "app/StoredDayBuilder.h"
#include "reference/FixedRecord.h"

#include <thread>
#include <gtest/gtest.h>

#include <memory>

namespace tervan {
namespace {

using test::Horse;
using test::Key;
using test::KeyOn;
using test::Line;
using test::StoredDay;

struct Recorder {
    int starts = 0, lines = 0, steps = 0, pumps = 0, finishes = 0, maximum = 0;
    std::string line;
    DayLoadProgressFn Fn()
    {
        return [this](const DayLoadProgress& e) {
            switch (e.kind) {
            case DayLoadProgress::Start: ++starts; maximum = e.value; break;
            case DayLoadProgress::Line: ++lines; line = e.text; break;
            case DayLoadProgress::Step: ++steps; break;
            case DayLoadProgress::Pump: ++pumps; break;
            case DayLoadProgress::Finish: ++finishes; break;
            }
        };
    }
};

class RaceDayTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string base = dir.path();
    std::unique_ptr<RaceDay> day = std::make_unique<RaceDay>();

    DayLoadResult Load(const StoredDay& d, Recorder* rec = nullptr)
    {
        return LoadRaceDay(*day, base, d.Stem(), rec ? rec->Fn() : DayLoadProgressFn());
    }
};

TEST_F(RaceDayTest, DayListIsNewestFirstAndSkipsNamesThatCannotBeLoaded)
{
    fs::CreateDirs(base + "/DATA");
    for (const char* name : {"2006年05月27日東京.jvRA", "2006年05月28日東京.jvRA", "2006年05月28日京都.jvra",
                             "2006年05月28日中山.jvSEr", "notes.jvRA", "2006年05月28日東京 copy.jvRA"})
        fs::RewriteFile(base + "/DATA/" + Utf8ToCp932(name), "x");
    const std::vector<std::string> days = MakeDayList(base);
    // 京 (8B 9E) sorts before 東 (93 8C), so reversed 東京 comes first.
    ASSERT_EQ(days.size(), 3u);
    EXPECT_EQ(days[0], SJ("2006年05月28日東京"));
    EXPECT_EQ(days[1], SJ("2006年05月28日京都"));
    EXPECT_EQ(days[2], SJ("2006年05月27日東京"));
    EXPECT_TRUE(MakeDayList(base + "/missing").empty());
}

TEST_F(RaceDayTest, LoadsRacesRunnersPastRunsAndPayouts)
{
    StoredDay d(base, KeyOn("20060528"));
    for (int r = 1; r <= 3; ++r)
        d.AddRace(test::RaLine(KeyOn("20060528", r), r == 3 ? 0 : 2));
    Horse a;
    a.number = 1; a.bracket = 1; a.pedigree = "2002100001"; a.sex = "1"; a.place = 1; a.popularity = 3; a.oddsTenths = 52;
    Horse b;
    b.number = 2; b.bracket = 2; b.pedigree = "2002100002"; b.sex = "2";
    d.SetSlot(1, 1, test::SeLine(KeyOn("20060528", 1), a));
    d.SetSlot(1, 2, test::SeLine(KeyOn("20060528", 1), b));
    d.SetSlot(2, 1, test::SeLine(KeyOn("20060528", 2), b));
    // Payouts: race 2 (dead heat for win), and a race not loaded.
    Line hr(719);
    test::PutKey(hr, "HR", KeyOn("20060528", 2));
    hr.Put(103, "01000000250").Put(114, "01").Put(116, "02000000250").Put(127, "02");
    hr.Put(207, "12000001230").Put(218, "04");
    hr.Put(246, "0102000004560").Put(259, "007");
    d.AddPayout(hr);
    Line other(719);
    test::PutKey(other, "HR", KeyOn("20060528", 9));
    other.Put(103, "05000000990");
    d.AddPayout(other);
    d.Write();
    // Horse a: runs on 1 May, 20 May, 28 May (this day) and 4 June.
    test::WriteHistory(base, "2002100001",
                       {KeyOn("20060501", 3), KeyOn("20060520", 5), KeyOn("20060528", 1), KeyOn("20060604", 2)});
    // Horse b: seven earlier runs.
    std::vector<Key> seven;
    for (int m = 1; m <= 7; ++m)
        seven.push_back(KeyOn("200601" + std::string(m * 3 < 10 ? "0" : "") + std::to_string(m * 3), 1));
    test::WriteHistory(base, "2002100002", seven);

    Recorder rec;
    const DayLoadResult result = Load(d, &rec);
    ASSERT_EQ(result.status, DayLoadResult::Loaded) << result.message;
    EXPECT_TRUE(result.warnings.empty());
    EXPECT_TRUE(day->since2005);
    EXPECT_EQ(day->raceCount, 3);
    EXPECT_EQ(day->dayEntry, SJ("2006年05月28日東京"));

    // Progress: bar of 24, one step per race read and one per slot listed.
    EXPECT_EQ(rec.starts, 1);
    EXPECT_EQ(rec.maximum, 24);
    EXPECT_EQ(rec.line, d.Stem());
    EXPECT_EQ(rec.steps, 3 + 12);
    EXPECT_EQ(rec.finishes, 1);
    EXPECT_EQ(rec.pumps, 3);

    ASSERT_EQ(day->raceList.size(), 3u);
    EXPECT_EQ(day->raceList[0].slot, 0);
    EXPECT_EQ(day->raceList[0].text, SJ("東京  ") + " 2" + SJ("回") + " 8" + SJ("日") + " 1R");

    const RaceSlot& s0 = day->slots[0];
    EXPECT_EQ(s0.raceLine.size(), kRaceRecordSize);
    EXPECT_TRUE(s0.summary.loaded);
    EXPECT_EQ(s0.summary.raceKey, "2006052805020801");
    EXPECT_EQ(s0.summary.registeredCount, "02");
    EXPECT_EQ(s0.summary.postTime, "1540");
    const RunnerSummary& ra = s0.summary.runners[0];
    EXPECT_EQ(ra.horseNumber, "01");
    EXPECT_EQ(ra.bracketNumber, "1");
    EXPECT_EQ(ra.horseName.size(), 18u);
    EXPECT_EQ(ra.finishingPlace, 1);
    EXPECT_EQ(ra.popularity, 3);
    EXPECT_DOUBLE_EQ(ra.winOdds, 5.2);
    // Past runs: the same-day and later runs are never taken.
    EXPECT_EQ(ra.pastRunKeys[0], "2006052005020805");
    EXPECT_EQ(ra.pastRunKeys[1], "2006050105020803");
    EXPECT_EQ(ra.pastRunKeys[2], std::string(16, ' '));
    EXPECT_EQ(ra.restDays, "   8");
    EXPECT_EQ(ra.pastRunGaps[0], "  19");
    EXPECT_EQ(ra.pastRunGaps[1], "    ");
    // Seven earlier runs give the five latest.
    const RunnerSummary& rb = s0.summary.runners[1];
    EXPECT_EQ(rb.pastRunKeys[0].substr(0, 8), "20060121");
    EXPECT_EQ(rb.pastRunKeys[4].substr(0, 8), "20060109");
    EXPECT_EQ(rb.pastRunGaps[4], "    ");
    EXPECT_EQ(rb.pastRunGaps[3], "   3");
    EXPECT_EQ(rb.restDays, " 127");
    EXPECT_EQ(rb.maxim, SJ(""));

    // Payouts by date, racecourse and race number.
    const RaceSummary& s1 = day->slots[1].summary;
    EXPECT_EQ(s1.winPayouts[0].horseNumber, 1);
    EXPECT_EQ(s1.winPayouts[0].payout, 250);
    EXPECT_EQ(s1.winPayouts[1].horseNumber, 2);
    EXPECT_EQ(s1.winPayouts[1].popularity, 2);
    EXPECT_EQ(s1.bracketQuinellaPayouts[0].label, " 1- 2");
    EXPECT_EQ(s1.bracketQuinellaPayouts[0].payout, 1230);
    EXPECT_EQ(s1.bracketQuinellaPayouts[1].label, " 0- 0");
    EXPECT_EQ(s1.quinellaPayouts[0].label, " 1- 2");
    EXPECT_EQ(s1.quinellaPayouts[0].popularity, 7);
    EXPECT_EQ(s1.widePayouts[6].label, " 0- 0");
    EXPECT_EQ(s0.summary.winPayouts[0].payout, 0);

    // Registered count 0: listed, race fields empty.
    const RaceSummary& s2 = day->slots[2].summary;
    EXPECT_TRUE(s2.loaded);
    EXPECT_TRUE(s2.raceKey.empty());
    EXPECT_FALSE(day->slots[3].summary.loaded);
    EXPECT_EQ(day->slots[3].raceLine, std::string(1270, ' ') + "\r\n");
}

TEST_F(RaceDayTest, RunnersComeFromTheSlotsOfTheRacesOwnNumber)
{
    StoredDay d(base, KeyOn("20060528"));
    d.AddRace(test::RaLine(KeyOn("20060528", 1), 1));
    d.AddRace(test::RaLine(KeyOn("20060528", 3), 1));   // race 2 missing
    d.AddRace(test::RaLine(KeyOn("20060528", 0), 1));   // no slots
    Line big = test::RaLine(KeyOn("20060528", 4), 25);  // more than 18 registered
    d.AddRace(big);
    Horse h;
    h.nameUtf8 = "ニバンメ";
    d.SetSlot(2, 1, test::SeLine(KeyOn("20060528", 2), h));
    h.nameUtf8 = "サンバンメ";
    d.SetSlot(3, 1, test::SeLine(KeyOn("20060528", 3), h));
    for (int n = 1; n <= 18; ++n) {
        h.number = n;
        d.SetSlot(4, n, test::SeLine(KeyOn("20060528", 4), h));
    }
    d.Write();
    ASSERT_EQ(Load(d).status, DayLoadResult::Loaded);
    EXPECT_EQ(day->slots[1].summary.runners[0].horseName.substr(0, 10), SJ("サンバンメ"));
    EXPECT_EQ(TrimSpaces(day->slots[2].summary.runners[0].horseNumber), "");
    EXPECT_EQ(day->slots[3].summary.runners[17].horseNumber, "18");
    EXPECT_EQ(day->slots[3].summary.registeredCount, "25");
}

TEST_F(RaceDayTest, MissingRunnerSlotFileFailsAndLeavesNothing)
{
    StoredDay d(base, KeyOn("20060528"));
    d.AddRace(test::RaLine(KeyOn("20060528", 1), 1));
    Horse h;
    d.SetSlot(1, 1, test::SeLine(KeyOn("20060528", 1), h));
    d.Write();
    ASSERT_EQ(Load(d).status, DayLoadResult::Loaded);
    ASSERT_FALSE(day->raceList.empty());

    fs::DeleteFile(d.Path(".jvSEr"));
    Recorder rec;
    const DayLoadResult result = Load(d, &rec);
    EXPECT_EQ(result.status, DayLoadResult::Incomplete);
    EXPECT_EQ(result.message, SJ("データ作成が未完了のようです。"));
    EXPECT_TRUE(day->raceList.empty());
    EXPECT_EQ(day->raceCount, 0);
    EXPECT_FALSE(day->slots[0].summary.loaded);
    EXPECT_TRUE(day->slots[0].summary.runners[0].horseNumber.empty());
    EXPECT_EQ(rec.finishes, 1);
}

TEST_F(RaceDayTest, DamagedFilesLoadWhatCanBeShown)
{
    StoredDay d(base, KeyOn("20060528"));
    d.AddRace(test::RaLine(KeyOn("20060528", 1), 2));
    d.AddRace(test::RaLine(KeyOn("20060528", 2), 2));
    d.Write();
    // Runner slot file of 10 lines; a name with bytes that are not CP932.
    Horse h;
    Line se = test::SeLine(KeyOn("20060528", 1), h);
    se.Put(41, "\xFF\xFE\x80\xA0");
    std::string slots;
    for (int i = 0; i < 10; ++i)
        slots += se.Text();
    fs::RewriteFile(d.Path(".jvSEr"), slots);
    // Race file cut short in its second record.
    std::string races = test::RaLine(KeyOn("20060528", 1), 2).Text() + test::RaLine(KeyOn("20060528", 2), 2).Text().substr(0, 700);
    fs::RewriteFile(d.Path(".jvRA"), races);
    // Payout file of LF-ended lines.
    Line hr(719);
    test::PutKey(hr, "HR", KeyOn("20060528", 1));
    hr.Put(103, "03000000480");
    fs::RewriteFile(d.Path(".jvHR"), hr.Text().substr(0, 717) + "\n");
    // History file of the wrong record length.
    fs::CreateDirs(base + "/SEI/2002");
    fs::RewriteFile(base + "/SEI/2002/2002100001.jvSEI", "SE000000000200605010502080\n");

    const DayLoadResult result = Load(d);
    ASSERT_EQ(result.status, DayLoadResult::Loaded);
    EXPECT_GE(result.warnings.size(), 3u);
    EXPECT_EQ(day->raceCount, 1);
    EXPECT_EQ(day->slots[0].summary.runners[0].horseName.substr(0, 4), "\xFF\xFE\x80\xA0");
    EXPECT_EQ(day->slots[0].summary.runners[1].horseNumber, "01");
    EXPECT_EQ(day->slots[0].summary.winPayouts[0].horseNumber, 3);
    EXPECT_EQ(day->slots[0].summary.winPayouts[0].payout, 480);
    EXPECT_EQ(day->slots[0].payoutLine.size(), kPayoutRecordSize);
    EXPECT_EQ(day->slots[0].pastRunLines[0][0].size(), kRunnerRecordSize);

    // Races beyond the 10 lines of the slot file have blank runners.
    fs::RewriteFile(d.Path(".jvRA"), test::RaLine(KeyOn("20060528", 2), 2).Text());
    EXPECT_EQ(Load(d).status, DayLoadResult::Loaded);
    EXPECT_EQ(TrimSpaces(day->slots[0].summary.runners[0].horseNumber), "");
}

TEST_F(RaceDayTest, HostileBytesNeverBreakTheFixedTables)
{
    StoredDay d(base, KeyOn("20060528"));
    d.Write();
    std::uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    for (int round = 0; round < 10; ++round) {
        // Mostly plausible records with random bytes, CR and LF spread in.
        auto noise = [&](std::string text) {
            for (int k = 0; k < 40; ++k) {
                const char pick[] = {'\r', '\n', ' ', '9', '\0', '\x81', '\xFF', '/', '.'};
                text[next() % text.size()] = pick[next() % sizeof pick];
            }
            return text.substr(0, text.size() - next() % 700);
        };
        std::string races, slots, payouts;
        for (int r = 1; r <= 13; ++r)
            races += test::RaLine(KeyOn("20060528", static_cast<int>(next() % 15)), static_cast<int>(next() % 40)).Text();
        Horse h;
        h.pedigree = "2002100001";
        for (int i = 0; i < 230; ++i)
            slots += test::SeLine(KeyOn("20060528", 1 + i / 18), h).Text();
        for (int r = 1; r <= 14; ++r)
            payouts += Line(719).Text();
        fs::RewriteFile(d.Path(".jvRA"), noise(races));
        fs::RewriteFile(d.Path(".jvSEr"), noise(slots));
        fs::RewriteFile(d.Path(".jvHR"), noise(payouts));
        fs::RewriteFile(base + "/DATA/" + SJ("2006年05月28日.yoz"), noise(test::ForecastLine("20060528", "05", 1, 'J', {"1.0"}) + test::ForecastLine("20060528", "05", 2, 'K', {})));
        test::WriteHistory(base, "2002100001", {KeyOn("20060501"), KeyOn("20060401"), KeyOn("20060301")});
        std::string history = test::ReadAll(fs::ToNative(base + "/SEI/2002/2002100001.jvSEI"));
        fs::RewriteFile(base + "/SEI/2002/2002100001.jvSEI", noise(history));

        const DayLoadResult result = Load(d);
        ASSERT_EQ(result.status, DayLoadResult::Loaded);
        EXPECT_LE(day->raceCount, 12);
        for (const RaceSlot& slot : day->slots) {
            ASSERT_EQ(slot.raceLine.size(), kRaceRecordSize);
            ASSERT_EQ(slot.payoutLine.size(), kPayoutRecordSize);
            ASSERT_EQ(slot.forecastLine.size(), kForecastRecordSize);
            for (int i = 0; i < kRunnerCapacity; ++i) {
                ASSERT_EQ(slot.runnerLines[static_cast<size_t>(i)].size(), kRunnerRecordSize);
                for (const auto& past : slot.pastRunLines[static_cast<size_t>(i)])
                    ASSERT_EQ(past.size(), kRunnerRecordSize);
            }
        }
    }
}

// The forecast odds file is optional: a last line without its CR LF is
// read, and a file that cannot be read is warned of while the day loads.
TEST_F(RaceDayTest, ForecastOddsFileEdges)
{
    StoredDay d(base, KeyOn("20060528"));
    d.AddRace(test::RaLine(KeyOn("20060528", 1), 2));
    d.AddRace(test::RaLine(KeyOn("20060528", 2), 2));
    Horse h;
    for (int race = 1; race <= 2; ++race)
        for (int n = 1; n <= 2; ++n) {
            h.number = n;
            d.SetSlot(race, n, test::SeLine(KeyOn("20060528", race), h));
        }
    d.Write();
    const std::string yoz = base + "/DATA/" + SJ("2006年05月28日.yoz");
    std::string last = test::ForecastLine("20060528", "05", 2, 'J', {"4.5", "2.5"});
    last.resize(1459);
    fs::RewriteFile(yoz, test::ForecastLine("20060528", "05", 1, 'J', {"1.5"}) + last);
    DayLoadResult result = Load(d);
    ASSERT_EQ(result.status, DayLoadResult::Loaded);
    EXPECT_TRUE(result.warnings.empty());
    EXPECT_EQ(day->slots[1].summary.runners[1].forecastRank, 1);
    EXPECT_EQ(day->slots[1].summary.runners[0].forecastRank, 2);
    EXPECT_EQ(day->slots[1].forecastLine.size(), kForecastRecordSize);

    fs::DeleteFile(yoz);
    fs::CreateDir(yoz); // a folder where the file should be
    result = Load(d);
    ASSERT_EQ(result.status, DayLoadResult::Loaded) << Cp932ToUtf8(result.message);
    ASSERT_EQ(result.warnings.size(), 1u);
    EXPECT_EQ(Cp932ToUtf8(result.warnings[0]).rfind("予想オッズファイルを読み込めません", 0), 0u);
    EXPECT_EQ(day->raceCount, 2);
    EXPECT_FALSE(day->slots[0].summary.forecastPresent);
    EXPECT_EQ(day->slots[0].summary.runners[0].forecastRank, 0);
}

TEST_F(RaceDayTest, UnreadableRaceFileFailsCleanly)
{
    StoredDay d(base, KeyOn("20060528"));
    d.AddRace(test::RaLine(KeyOn("20060528", 1), 1));
    d.Write();
    fs::DeleteFile(d.Path(".jvRA"));
    fs::CreateDir(d.Path(".jvRA")); // a folder where the file should be
    Recorder rec;
    const DayLoadResult result = Load(d, &rec);
    EXPECT_NE(result.status, DayLoadResult::Loaded);
    EXPECT_FALSE(result.message.empty());
    EXPECT_EQ(rec.finishes, 1);
    EXPECT_TRUE(day->raceList.empty());
}

TEST_F(RaceDayTest, ResetClearsEverySummary)
{
    RaceSummary& s = day->slots[5].summary;
    s.loaded = s.forecastPresent = true;
    s.raceName = "x";
    s.runners[3].maxim = SJ("牡1戦目");
    s.runners[3].forecastRank = 2;
    s.runners[3].winOdds = 3.1;
    s.widePayouts[2] = PairPayout{" 1- 2", 3, 450};
    ResetSummaries(*day);
    EXPECT_FALSE(s.loaded || s.forecastPresent);
    EXPECT_TRUE(s.raceName.empty() && s.runners[3].maxim.empty() && s.widePayouts[2].label.empty());
    EXPECT_EQ(s.runners[3].forecastRank, 0);
    EXPECT_EQ(s.runners[3].winOdds, 0);
    EXPECT_EQ(s.widePayouts[2].payout, 0);
}

// Loads run on worker threads too (格言成績): threads that load side by side
// and then end give the same day as the window's thread, and ending them
// leaves nothing behind that breaks a later load.
TEST_F(RaceDayTest, LoadsOnWorkerThreadsThatThenEnd)
{
    StoredDay d(base, KeyOn("20060528"));
    d.AddRace(test::RaLine(KeyOn("20060528", 1), 1));
    Horse h;
    h.nameUtf8 = "スレッド";
    d.SetSlot(1, 1, test::SeLine(KeyOn("20060528", 1), h));
    d.Write();
    ASSERT_EQ(Load(d).status, DayLoadResult::Loaded);
    const std::string name = day->slots[0].summary.runners[0].horseName;
    for (int round = 0; round < 3; ++round) {
        std::vector<std::string> names(4);
        std::vector<std::thread> workers;
        for (std::size_t t = 0; t < names.size(); ++t)
            workers.emplace_back([&, t] {
                auto own = std::make_unique<RaceDay>();
                if (LoadRaceDay(*own, base, d.Stem()).status == DayLoadResult::Loaded)
                    names[t] = own->slots[0].summary.runners[0].horseName;
            });
        for (std::thread& w : workers)
            w.join();
        for (const std::string& n : names)
            EXPECT_EQ(n, name);
    }
    ASSERT_EQ(Load(d).status, DayLoadResult::Loaded);
    EXPECT_EQ(day->slots[0].summary.runners[0].horseName, name);
}

} // namespace
} // namespace tervan
