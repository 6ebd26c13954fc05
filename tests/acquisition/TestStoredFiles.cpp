// The stored race data files: filters, names, merges, slots, log lines.
#include "acquisition/StoredFiles.h"

#include "acquisition/JVRecordBuilder.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

using namespace tervan;
using namespace tervan::test;
namespace sfs = std::filesystem;

namespace {

// Race day 2006-05-28; "now" is the evening of 2006-05-29, so the threshold
// is 20060525 and the race is recent.
constexpr long kThreshold = 20060525;

std::string U(std::string_view utf8)
{
    return Utf8ToCp932(utf8);
}

class StoredFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* d : {"DATA", "SEI", "SEIR"})
            sfs::create_directory(dir.native() / d);
    }
    sfs::path DataFile(std::string_view utf8Name) const { return dir.native() / "DATA" / U8Path(utf8Name); }
    std::vector<std::string> Store(const RecordSpec& s, long threshold = kThreshold)
    {
        return files.StoreAccumulated(MakeRecord(s), threshold);
    }

    TempDir dir;
    StoredRaceFiles files {dir.path()};
};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> out;
    for (std::string_view l : SplitLines(text))
        out.emplace_back(l);
    return out;
}

} // namespace

TEST(StoredFileNames, StemAndNamesOfOneRace)
{
    RecordSpec s;
    s.kind = "SE";
    std::string rec = MakeRecord(s);
    EXPECT_EQ(DayCourseStem(rec), U("2006年05月28日東京"));
    EXPECT_EQ(DayCourseStem(rec).size(), 18u);
    EXPECT_EQ(RaceFileName(rec), U("2006年05月28日東京.jvRA"));
    EXPECT_EQ(RunnerSlotFileName(rec), U("2006年05月28日東京.jvSEr"));
    EXPECT_EQ(PayoutFileName(rec), U("2006年05月28日東京.jvHR"));
    EXPECT_EQ(ResultRaceFileName(rec), "2006052805.jvSERA");
    EXPECT_EQ(HorseHistoryFileName(rec), "2003100001.jvSEI");
    // An unknown racecourse keeps the stem 18 bytes long.
    s.course = "ZZ";
    EXPECT_EQ(DayCourseStem(MakeRecord(s)), U("2006年05月28日    "));
    EXPECT_EQ(RecentDateThreshold(DateTime {2006, 3, 2, 23, 59, 0}), 20060226);
}

TEST_F(StoredFilesTest, SameKeyTwiceKeepsOneSortedLinePerRace)
{
    RecordSpec s;
    s.division = '2';
    s.race = 11;
    Store(s);
    s.race = 2;
    Store(s);
    s.race = 11;
    s.filler = "B";
    const std::vector<std::string> log = Store(s);
    EXPECT_EQ(log, std::vector<std::string> {U("作成済み:11R/2006年05月28日東京.jvRA")});

    const std::string text = ReadAll(DataFile("2006年05月28日東京.jvRA"));
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(text.size(), 2u * 1272);
    EXPECT_EQ(lines[0].substr(25, 2), "02");
    EXPECT_EQ(lines[1].substr(25, 2), "11");
    // The stored line: the record without CR LF, bytes 3-11 blanked.
    std::string expected = MakeRecord(s).substr(0, 1270);
    expected.replace(2, 9, "000000000");
    EXPECT_EQ(lines[1], expected);
    EXPECT_EQ(lines[1].substr(0, 11), "RA000000000");
}

TEST_F(StoredFilesTest, ThresholdAndDataDivisionDecideTheFiles)
{
    // Entry data three weeks ahead: race file only.
    RecordSpec ahead;
    ahead.division = '2';
    ahead.date = "20060618";
    ahead.course = "09";
    EXPECT_EQ(Store(ahead).size(), 1u);
    EXPECT_TRUE(sfs::exists(DataFile("2006年06月18日阪神.jvRA")));
    EXPECT_FALSE(sfs::exists(dir.native() / "SEIR" / "2006"));

    // Final data ten days ago: result race file only.
    RecordSpec old;
    old.date = "20060515";
    const std::vector<std::string> oldLog = Store(old, 20060521);
    EXPECT_EQ(oldLog, std::vector<std::string> {U("作成済み:11R/2006051505.jvSERA")});
    EXPECT_FALSE(sfs::exists(DataFile("2006年05月15日東京.jvRA")));
    EXPECT_TRUE(sfs::exists(dir.native() / "SEIR" / "2006" / "2006051505.jvSERA"));

    // Final data of yesterday: both, race file first.
    RecordSpec yesterday;
    const std::vector<std::string> log = Store(yesterday);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], U("作成済み:11R/2006年05月28日東京.jvRA"));
    EXPECT_EQ(log[1], U("作成済み:11R/2006052805.jvSERA"));

    // The race date must be later than the threshold, not equal to it.
    RecordSpec edge;
    edge.date = "20060525";
    EXPECT_EQ(Store(edge, 20060525).size(), 1u); // the result race file only
    EXPECT_FALSE(sfs::exists(DataFile("2006年05月25日東京.jvRA")));

    // Deleted ("0") RA of yesterday: no race file; cancelled ("9") SE of
    // yesterday: runner slot file.
    RecordSpec deleted;
    deleted.division = '0';
    deleted.course = "06";
    EXPECT_TRUE(Store(deleted).empty());
    EXPECT_FALSE(sfs::exists(DataFile("2006年05月28日中山.jvRA")));
    RecordSpec cancelled;
    cancelled.kind = "SE";
    cancelled.division = '9';
    cancelled.course = "06";
    EXPECT_EQ(Store(cancelled), std::vector<std::string> {U("作成済み:11R/01番/2006年05月28日中山.jvSEr")});
    // "0" for an old race stores nothing either; "9" for an old race neither.
    cancelled.date = "20060501";
    EXPECT_TRUE(Store(cancelled).empty());
}

TEST_F(StoredFilesTest, RunnerSlotFileHas216FixedLines)
{
    RecordSpec s;
    s.kind = "SE";
    s.division = '5';
    s.race = 3;
    s.horse = 7;
    const std::string rec = MakeRecord(s);
    files.StoreAccumulated(rec, kThreshold);
    const std::string text = ReadAll(DataFile("2006年05月28日東京.jvSEr"));
    ASSERT_EQ(text.size(), 216u * 555);
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 216u);
    const size_t slot = (3 - 1) * 18 + (7 - 1);
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], i == slot ? rec.substr(0, 553) : std::string(553, ' ')) << i;
    // The slot line keeps its data division and creation date.
    EXPECT_EQ(lines[slot].substr(0, 11), "SE520060529");

    // A second runner goes into its own slot; everything else stays.
    s.race = 12;
    s.horse = 18;
    const std::string last = MakeRecord(s);
    files.StoreAccumulated(last, kThreshold);
    std::string expected;
    for (size_t i = 0; i < 216; ++i)
        expected += (i == slot ? rec.substr(0, 553) : i == 215 ? last.substr(0, 553) : std::string(553, ' ')) + "\r\n";
    EXPECT_EQ(ReadAll(DataFile("2006年05月28日東京.jvSEr")), expected);
}

TEST_F(StoredFilesTest, RunnerWithoutSlotStillGoesToItsHorseHistory)
{
    RecordSpec s;
    s.kind = "SE";
    s.race = 13;
    const std::vector<std::string> log = Store(s);
    EXPECT_EQ(log, std::vector<std::string> {U("作成済み:2006年05月28日東京13R/2003100001.jvSEI")});
    EXPECT_FALSE(sfs::exists(DataFile("2006年05月28日東京.jvSEr")));
    s.race = 12;
    s.horse = 19;
    Store(s);
    EXPECT_FALSE(sfs::exists(DataFile("2006年05月28日東京.jvSEr")));

    const std::string history = ReadAll(dir.native() / "SEI" / "2003" / "2003100001.jvSEI");
    const std::vector<std::string> lines = Lines(history);
    ASSERT_EQ(lines.size(), 2u); // races 12 and 13
    EXPECT_EQ(lines[0].substr(0, 11), "SE000000000");
    EXPECT_EQ(lines[0].size(), 553u);
}

TEST_F(StoredFilesTest, RunnerWithUnfitPedigreeKeepsItsSlotAndLosesOnlyItsHistory)
{
    RecordSpec s;
    s.kind = "SE";
    int horse = 0;
    for (const char* pedigree : {"          ", "../../etc/", "2003 00001"}) {
        s.pedigree = pedigree;
        s.horse = ++horse;
        const std::vector<std::string> log = Store(s);
        EXPECT_EQ(log, (std::vector<std::string> {U("作成済み:11R/0") + std::to_string(horse) + U("番/2006年05月28日東京.jvSEr"),
                                                  U("読み飛ばし:不正なSEレコード（血統登録番号）")}));
    }
    EXPECT_EQ(files.RecordsStored(), 3);
    EXPECT_EQ(files.RecordsDamaged(), 0);
    const std::string slots = ReadAll(DataFile("2006年05月28日東京.jvSEr"));
    EXPECT_EQ(slots.substr(180 * 555 + 30, 10), "          ");
    EXPECT_EQ(slots.substr(182 * 555 + 30, 10), "2003 00001");
    EXPECT_TRUE(sfs::is_empty(dir.native() / "SEI"));
    EXPECT_FALSE(sfs::exists(dir.native() / "etc"));
}

TEST_F(StoredFilesTest, FinalRunnerLandsInSlotAndHistoryWithExactLogLines)
{
    RecordSpec s;
    s.kind = "SE";
    s.horse = 9;
    const std::vector<std::string> log = Store(s);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], U("作成済み:11R/09番/2006年05月28日東京.jvSEr"));
    EXPECT_EQ(log[1], U("作成済み:2006年05月28日東京11R/2003100001.jvSEI"));
}

// A download that starts a few days back replays the entry records of races
// whose results are stored: a slot keeps the newer record (created later, or
// on the same date at a later stage); deletions and cancellations apply.
TEST_F(StoredFilesTest, RunnerSlotKeepsTheNewerRecord)
{
    const sfs::path slotFile = DataFile("2006年05月28日東京.jvSEr");
    auto slot = [&](int horse) { return ReadAll(slotFile).substr((180 + horse - 1) * 555, 553); };
    RecordSpec result;
    result.kind = "SE";
    result.division = '7';
    result.created = "20060528";
    result.horse = 1;
    struct Case {
        char division;
        const char* created;
        bool replaces;
    };
    const Case cases[] = {
        {'2', "20060526", false}, // the entry list, created before
        {'5', "20060528", false}, // an earlier stage of the same date
        {'7', "20060527", false}, // the same stage created before
        {'A', "20060527", false}, // no stage, created before
        {'7', "20060528", true},  // the same stage again
        {'2', "20060529", true},  // created later, whatever the stage
        {'0', "20060520", true},  // a deletion always applies
        {'9', "20060520", true},  // as does a cancellation
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.division) + c.created);
        ++result.horse; // a slot of its own
        Store(result);
        ASSERT_EQ(slot(result.horse), MakeRecord(result).substr(0, 553));
        RecordSpec replay = result;
        replay.division = c.division;
        replay.created = c.created;
        replay.filler = "E";
        const std::vector<std::string> log = Store(replay);
        EXPECT_EQ(log.front(), U("作成済み:11R/0") + std::to_string(result.horse) + U("番/2006年05月28日東京.jvSEr"));
        EXPECT_EQ(slot(result.horse), MakeRecord(c.replaces ? replay : result).substr(0, 553));
    }

    // The real-time update keeps the newer record the same way; an empty
    // slot takes any record.
    result.horse = 1;
    Store(result);
    RecordSpec entry = result;
    entry.division = '1';
    entry.created = "20060525";
    files.StoreRealtime(MakeRecord(entry));
    EXPECT_EQ(slot(1), MakeRecord(result).substr(0, 553));
    entry.horse = 18;
    files.StoreRealtime(MakeRecord(entry));
    EXPECT_EQ(slot(18), MakeRecord(entry).substr(0, 553));
}

// A stored file that cannot be written, at the end of a held import or at
// its memory limit, loses nothing else: every other held file is written,
// then the first failure is reported.
TEST_F(StoredFilesTest, FailedHeldWriteStillWritesEveryOtherFile)
{
    RecordSpec ra, hr, se;
    hr.kind = "HR";
    se.kind = "SE";
    const sfs::path result = dir.native() / "SEIR" / "2006" / "2006052805.jvSERA";
    const std::vector<sfs::path> others = {DataFile("2006年05月28日東京.jvHR"), DataFile("2006年05月28日東京.jvSEr"),
                                           dir.native() / "SEI" / "2003" / "2003100001.jvSEI"};
    int failures = 0;
    fs::SetRewriteHook([&failures](std::string_view path) {
        if (path.find(".jvRA") != std::string_view::npos || path.find(".jvSERA") != std::string_view::npos) {
            ++failures;
            throw fs::FileError(std::string(path.substr(path.size() - 5)));
        }
    });
    for (bool atLimit : {false, true}) {
        SCOPED_TRACE(atLimit ? "at the limit" : "at the end");
        for (const sfs::path& p : others)
            sfs::remove(p);
        failures = 0;
        StoredRaceFiles held(dir.path());
        held.HoldWrites(true);
        held.StoreAccumulated(MakeRecord(ra), kThreshold);  // race file, result race file
        held.StoreAccumulated(MakeRecord(hr), kThreshold);
        if (atLimit)
            held.SetHoldLimit(4000);
        try {
            held.StoreAccumulated(MakeRecord(se), kThreshold); // slot file, history
            if (!atLimit)
                held.Flush();
            ADD_FAILURE() << "no failure reported";
        } catch (const fs::FileError& e) {
            EXPECT_EQ(std::string(e.what()), ".jvRA"); // the first one
        }
        EXPECT_EQ(failures, 2);
        EXPECT_EQ(held.HeldFiles(), 0u);
        EXPECT_FALSE(sfs::exists(result));
        for (const sfs::path& p : others)
            EXPECT_TRUE(sfs::exists(p)) << p;
    }
    fs::SetRewriteHook(nullptr);
}

TEST_F(StoredFilesTest, PayoutIsStoredWhateverItsDivisionAndDate)
{
    RecordSpec s;
    s.kind = "HR";
    s.division = '0';
    s.date = "19990101";
    EXPECT_EQ(Store(s), std::vector<std::string> {U("作成済み:11R/1999年01月01日東京.jvHR")});
    const std::string text = ReadAll(DataFile("1999年01月01日東京.jvHR"));
    ASSERT_EQ(text.size(), 719u);
    EXPECT_EQ(text.substr(0, 11), "HR000000000");
    // Race number 0 has no place anywhere.
    s.race = 0;
    EXPECT_TRUE(Store(s).empty());
}

TEST_F(StoredFilesTest, DamagedRecordsTouchNoFile)
{
    RecordSpec s;
    std::string shortRec = MakeRecord(s).substr(0, 1200) + "\r\n";
    std::string badBytes = MakeRecord(s);
    badBytes[500] = '\x81'; // a lead byte followed by a space is not CP932
    badBytes[501] = ' ';
    RecordSpec hostile;
    hostile.date = "../../x";
    std::string noCrLf = MakeRecord(s);
    noCrLf[1270] = ' ';
    for (const std::string& rec : {shortRec, badBytes, MakeRecord(hostile), noCrLf}) {
        const std::vector<std::string> log = files.StoreAccumulated(rec, kThreshold);
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].rfind(U("読み飛ばし:"), 0), 0u) << Cp932ToUtf8(log[0]);
    }
    EXPECT_EQ(files.RecordsDamaged(), 4);
    EXPECT_EQ(files.FilesWritten(), 0);
    EXPECT_EQ(Snapshot(dir.native()).size(), 0u);
    // Kinds the program does not keep are ignored without a word.
    EXPECT_TRUE(files.StoreAccumulated("H1" + std::string(100, '0') + "\r\n", kThreshold).empty());
}

TEST(RecordDamage, ShiftJisCheckAgreesWithAConversionOnRandomBytes)
{
    // Records whose body is filled with random bytes at random places: the
    // record is damaged for its bytes exactly when converting it fails.
    std::mt19937 rng(7);
    RecordSpec s;
    const std::string sound = MakeRecord(s);
    int damaged = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string rec = sound;
        for (int k = 0, n = 1 + static_cast<int>(rng() % 4); k < n; ++k) {
            char b = static_cast<char>(0x80 + rng() % 0x80);
            if (b == '\r' || b == '\n')
                b = ' ';
            rec[100 + rng() % 1100] = b;
        }
        const bool bytesBad = RecordDamage(rec).find(U("Shift-JIS")) != std::string::npos;
        EXPECT_EQ(bytesBad, !IsValidCp932(rec)) << round;
        damaged += bytesBad;
    }
    EXPECT_GT(damaged, 100);
    EXPECT_LT(damaged, 2900);
}

TEST_F(StoredFilesTest, UnchangedMergeWritesNothing)
{
    RecordSpec ra, se, hr;
    se.kind = "SE";
    hr.kind = "HR";
    for (const RecordSpec& s : {ra, se, hr})
        Store(s);
    const long written = files.FilesWritten();
    EXPECT_EQ(written, 5); // race, result race, slot, history, payout
    int rewrites = 0;
    fs::SetRewriteHook([&rewrites](std::string_view) { ++rewrites; });
    for (const RecordSpec& s : {ra, se, hr})
        EXPECT_FALSE(Store(s).empty());
    fs::SetRewriteHook(nullptr);
    EXPECT_EQ(rewrites, 0);
    EXPECT_EQ(files.FilesWritten(), written);
    EXPECT_EQ(files.RecordsStored(), 6);
}

TEST_F(StoredFilesTest, DamagedExistingFilesAreMendedWithoutLosingLines)
{
    // A runner slot file cut short after 10 lines is padded to 216.
    RecordSpec s;
    s.kind = "SE";
    s.race = 12;
    s.horse = 18;
    std::string cut;
    for (int i = 0; i < 10; ++i)
        cut += std::string(553, i == 0 ? 'k' : ' ') + "\r\n";
    WriteAll(DataFile("2006年05月28日東京.jvSEr"), cut);
    Store(s);
    const std::vector<std::string> lines = Lines(ReadAll(DataFile("2006年05月28日東京.jvSEr")));
    ASSERT_EQ(lines.size(), 216u);
    EXPECT_EQ(lines[0], std::string(553, 'k'));
    EXPECT_EQ(lines[215], MakeRecord(s).substr(0, 553));

    // A race file whose first line is blank loses that line on the next merge.
    RecordSpec ra;
    ra.race = 5;
    std::string old = MakeRecord(ra).substr(0, 1270);
    old.replace(2, 9, "000000000");
    WriteAll(DataFile("2006年05月28日東京.jvRA"), "  \t\r\n" + old + "\r\n");
    ra.race = 6;
    Store(ra);
    const std::vector<std::string> raLines = Lines(ReadAll(DataFile("2006年05月28日東京.jvRA")));
    ASSERT_EQ(raLines.size(), 2u);
    EXPECT_EQ(raLines[0], old);
}

TEST(MergeByRaceKey, SortsIgnoringLetterCaseAndReplacesOnlyTheFirstMatch)
{
    TempDir dir;
    const std::string path = fs::Join(dir.path(), "f.jvHR");
    auto line = [](std::string key, char tag) { return "HR000000000" + key + std::string(5, tag); };
    WriteAll(dir.native() / "f.jvHR", line("2006052805021202", 'x') + "\r\n" + line("2006052805021201", 'y') + "\r\n");
    EXPECT_TRUE(MergeByRaceKey(path, line("2006052805021202", 'z'), "2006052805021202", false));
    EXPECT_EQ(ReadAll(dir.native() / "f.jvHR"),
              line("2006052805021201", 'y') + "\r\n" + line("2006052805021202", 'z') + "\r\n");
    EXPECT_FALSE(MergeByRaceKey(path, line("2006052805021202", 'z'), "2006052805021202", false));
    // Foreign course codes hold letters; their case does not order them.
    EXPECT_TRUE(MergeByRaceKey(path, line("20060528a4021201", 'w'), "20060528a4021201", false));
    EXPECT_TRUE(MergeByRaceKey(path, line("20060528B4021201", 'v'), "20060528B4021201", false));
    const std::vector<std::string> lines = Lines(ReadAll(dir.native() / "f.jvHR"));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2].substr(19, 2), "a4");
    EXPECT_EQ(lines[3].substr(19, 2), "B4");
}

TEST_F(StoredFilesTest, RealtimeModeOnlyUpdatesKnownDays)
{
    RecordSpec ra, se, hr;
    se.kind = "SE";
    hr.kind = "HR";
    for (const RecordSpec& s : {ra, se, hr})
        files.StoreRealtime(MakeRecord(s));
    // An unknown day gains only its payout file.
    std::map<std::string, std::string> tree = Snapshot(dir.native());
    ASSERT_EQ(tree.size(), 1u);
    EXPECT_EQ(tree.begin()->first, "DATA/2006年05月28日東京.jvHR");

    // Once the day is known, race and slot files are updated, and result
    // race and horse history files are still not written.
    RecordSpec entry = ra;
    entry.division = '1';
    entry.race = 1;
    Store(entry);
    RecordSpec entrySe = se;
    entrySe.division = '1';
    Store(entrySe);
    const auto before = Snapshot(dir.native());
    files.StoreRealtime(MakeRecord(ra));
    files.StoreRealtime(MakeRecord(se));
    const auto after = Snapshot(dir.native());
    EXPECT_EQ(after.size(), before.size());
    EXPECT_EQ(Lines(after.at("DATA/2006年05月28日東京.jvRA")).size(), 2u);
    EXPECT_NE(after.at("DATA/2006年05月28日東京.jvSEr"), before.at("DATA/2006年05月28日東京.jvSEr"));
}

TEST(SplitLines, EveryKindOfLineEnd)
{
    auto split = [](std::string_view text) {
        std::vector<std::string> out;
        for (std::string_view l : SplitLines(text))
            out.emplace_back(l);
        return out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(split(""), V {});
    EXPECT_EQ(split("A"), V {"A"});
    EXPECT_EQ(split("A\r\nB\nC\rD"), (V {"A", "B", "C", "D"}));
    EXPECT_EQ(split("A\r\r\n"), (V {"A", ""}));
    EXPECT_EQ(split("\r\n\r\n"), (V {"", ""}));
    EXPECT_EQ(split("A\r"), V {"A"});
    EXPECT_EQ(split("A\n\rB\r\n"), (V {"A", "", "B"}));
    EXPECT_EQ(split("A\r\nB"), (V {"A", "B"}));
    EXPECT_EQ(split("A\rB\n"), (V {"A", "B"}));
    EXPECT_EQ(split("A\r\nB\r"), (V {"A", "B"}));
    EXPECT_EQ(split("\n"), V {""});
}

TEST(SplitLines, LongTextsAgreeWithAPlainReading)
{
    // The plain reading: every CR LF, LF or lone CR ends a line.
    auto plain = [](std::string_view t) {
        std::vector<std::string> out;
        std::string cur;
        for (size_t i = 0; i < t.size(); ++i) {
            if (t[i] == '\r' || t[i] == '\n') {
                out.push_back(cur);
                cur.clear();
                if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n')
                    ++i;
            } else {
                cur += t[i];
            }
        }
        if (!cur.empty())
            out.push_back(cur);
        return out;
    };
    unsigned seed = 7;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    for (int round = 0; round < 40; ++round) {
        std::string text;
        const int lines = 50 + static_cast<int>(next() % 400);
        for (int i = 0; i < lines; ++i) {
            text += std::string(next() % 600, static_cast<char>('A' + i % 26));
            // Mostly CR LF; now and then a bare LF or CR, in the later rounds only.
            const unsigned r = next() % 1000;
            text += round < 20 || r > 3 ? "\r\n" : r > 1 ? "\n" : "\r";
        }
        if (round % 3 == 0)
            text += "tail";
        std::vector<std::string> got;
        for (std::string_view l : SplitLines(text))
            got.emplace_back(l);
        ASSERT_EQ(got, plain(text)) << round;
    }
}
