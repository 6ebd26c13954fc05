#include "sample/SampleFeed.h"

#include "acquisition/JVData_Structure.h"
#include "acquisition/JVLink.h"
#include "acquisition/JVLinkStandIn.h"
#include "acquisition/ReadLoop.h"
#include "acquisition/StoredFiles.h"
#include "app/RaceDay.h"
#include "platform/FileSystem.h"
#include "reference/FixedRecord.h"
#include "reference/KeibaFunc.h"
#include "reference/ShiftJis.h"
#include "sample/RecordLayout.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

using namespace tervan;
using namespace tervan::sample;
using tervan::test::RunTool;
using tervan::test::TempDir;

namespace {

constexpr DateTime kToday {2024, 6, 1};
constexpr long kTodayNumber = 20240601;

SampleOptions Options(int days = 3)
{
    SampleOptions o;
    o.today = kToday;
    o.days = days;
    return o;
}

struct Sample {
    SampleWorld world;
    std::vector<SampleFile> files;
};

const Sample& DefaultSample()
{
    static const Sample sample = [] {
        Sample s {BuildSampleWorld(Options()), {}};
        s.files = BuildSampleFiles(s.world);
        return s;
    }();
    return sample;
}

// The records of a data file, each with its CR LF, cut by the length of its
// kind; a record of unknown kind or cut short fails the test.
std::vector<std::string_view> Records(const SampleFile& f)
{
    std::vector<std::string_view> out;
    std::string_view rest = f.contents;
    while (!rest.empty()) {
        const std::size_t len = JVData::RecordLength(rest.substr(0, 2));
        EXPECT_NE(len, 0u) << f.name << ": unknown record kind";
        if (len == 0 || len > rest.size()) {
            ADD_FAILURE() << f.name << ": record cut short";
            break;
        }
        out.push_back(rest.substr(0, len));
        rest.remove_prefix(len);
    }
    return out;
}

std::string Trackname(long code)
{
    if (code == 10) return "芝直";
    if (code >= 11 && code <= 16) return "芝左";
    if (code >= 17 && code <= 22) return "芝右";
    if (code == 23) return "ダ左";
    if (code == 24) return "ダ右";
    if (code == 29) return "ダ直";
    if (code >= 51 && code <= 59) return "障害";
    return "";
}

} // namespace

TEST(RecordLayout, FieldsTileEachRecordAndHoldTheProgramsPositions)
{
    for (RecordKind kind : {RecordKind::RA, RecordKind::SE, RecordKind::HR}) {
        std::size_t next = 1;
        std::map<std::size_t, std::size_t> fields;
        for (const LayoutField& f : Layout(kind)) {
            EXPECT_EQ(f.pos, next) << f.name;
            if (f.blank == Blank::Wide) {
                EXPECT_EQ(f.len % 2, 0u) << f.name;
            }
            fields[f.pos] = f.len;
            next = f.pos + f.len;
        }
        EXPECT_EQ(next + 1, RecordLength(kind)); // then CR LF
        const std::string& blank = BlankRecord(kind);
        ASSERT_EQ(blank.size(), RecordLength(kind));
        EXPECT_EQ(blank.substr(0, 2), KindId(kind));
        EXPECT_EQ(blank.substr(blank.size() - 2), "\r\n");
        EXPECT_TRUE(IsValidCp932(blank));
    }
    // Every field the program reads starts a field of the full layout (or a
    // block of fields) and lies inside the record.
    auto starts = [](RecordKind kind, JVData::Field f) {
        for (const LayoutField& l : Layout(kind))
            if (l.pos == f.pos && l.len >= f.len)
                return true;
        return false;
    };
    for (JVData::Field f : {JVData::RA::kRaceName, JVData::RA::kGradeCode, JVData::RA::kWeightType, JVData::RA::kConditionYoungest,
                            JVData::RA::kDistance, JVData::RA::kTrackCode, JVData::RA::kPostTime, JVData::RA::kRegisteredRunners})
        EXPECT_TRUE(starts(RecordKind::RA, f)) << f.pos;
    for (JVData::Field f : {JVData::SE::kBracket, JVData::SE::kHorseNumber, JVData::SE::kPedigreeNumber, JVData::SE::kHorseName,
                            JVData::SE::kSexCode, JVData::SE::kTrainerCode, JVData::SE::kTrainerName, JVData::SE::kWeightCarried,
                            JVData::SE::kJockeyCode, JVData::SE::kJockeyName, JVData::SE::kFinalPlace, JVData::SE::kWinOdds,
                            JVData::SE::kWinPopularity})
        EXPECT_TRUE(starts(RecordKind::SE, f)) << f.pos;
    for (JVData::Repeat r : {JVData::HR::kWin, JVData::HR::kPlace, JVData::HR::kBracketQuinella, JVData::HR::kQuinella, JVData::HR::kWide})
        EXPECT_TRUE(starts(RecordKind::HR, {r.first, r.step * r.count})) << r.first;
}

TEST(RecordLayout, BuilderWritesOnlyInsideItsField)
{
    RecordBuilder b(RecordKind::SE);
    const std::string before = b.Record();
    b.Wide(JVData::SE::kJockeyName, SJ("長谷川健太")); // 10 bytes into 8: cut after 4 characters
    EXPECT_EQ(Mid(b.Record(), 307, 8), SJ("長谷川健"));
    b.Wide(JVData::SE::kJockeyName, SJ("武豊"));
    EXPECT_EQ(Mid(b.Record(), 307, 8), SJ("武豊　　"));
    b.Text(JVData::SE::kHorseNumber, std::string("1") + SJ("頭")); // never splits a double-byte character
    EXPECT_EQ(Mid(b.Record(), 29, 2), "1 ");
    b.Number(JVData::SE::kWinOdds, 123456); // too wide: the largest value
    EXPECT_EQ(Mid(b.Record(), 360, 4), "9999");
    b.Number(JVData::SE::kWinOdds, 52);
    EXPECT_EQ(Mid(b.Record(), 360, 4), "0052");
    EXPECT_EQ(b.Record().size(), before.size());
    EXPECT_EQ(b.Record().substr(0, 306), before.substr(0, 306).replace(28, 2, "1 "));
    EXPECT_EQ(b.Record().substr(364), before.substr(364));
    EXPECT_THROW(b.Number(554, 2, 1), std::out_of_range); // the CR LF is not a field
}

TEST(SampleWorld, BracketsFollowTheJraRule)
{
    // Horses per bracket 1..8 for each field size.
    const std::map<int, std::vector<int>> expected = {
        {8, {1, 1, 1, 1, 1, 1, 1, 1}},  {9, {1, 1, 1, 1, 1, 1, 1, 2}},  {12, {1, 1, 1, 1, 2, 2, 2, 2}},
        {15, {1, 2, 2, 2, 2, 2, 2, 2}}, {16, {2, 2, 2, 2, 2, 2, 2, 2}}, {17, {2, 2, 2, 2, 2, 2, 2, 3}},
        {18, {2, 2, 2, 2, 2, 2, 3, 3}},
    };
    for (const auto& [n, counts] : expected) {
        std::vector<int> got(8, 0);
        int previous = 1;
        for (int h = 1; h <= n; ++h) {
            const int b = BracketOf(h, n);
            ASSERT_GE(b, previous) << n;
            got[static_cast<std::size_t>(b - 1)]++;
            previous = b;
        }
        EXPECT_EQ(got, counts) << n << " runners";
    }
    for (int h = 1; h <= 7; ++h)
        EXPECT_EQ(BracketOf(h, 7), h);
    EXPECT_EQ(BracketOf(0, 12), 0);
    EXPECT_EQ(BracketOf(13, 12), 0);
}

TEST(SampleFeed, SameOptionsGiveTheSameBytesAndOtherSeedsOthers)
{
    const Sample& a = DefaultSample();
    const std::vector<SampleFile> again = BuildSampleFiles(BuildSampleWorld(Options()));
    ASSERT_EQ(a.files.size(), again.size());
    for (std::size_t i = 0; i < again.size(); ++i) {
        EXPECT_EQ(a.files[i].name, again[i].name);
        EXPECT_TRUE(a.files[i].contents == again[i].contents) << a.files[i].name;
    }
    SampleOptions other = Options();
    other.seed = 2;
    const std::vector<SampleFile> b = BuildSampleFiles(BuildSampleWorld(other));
    EXPECT_NE(a.files.back().contents, b.back().contents);

    EXPECT_NE(CheckOptions(Options(0)), "");
    EXPECT_NE(CheckOptions(Options(401)), "");
    SampleOptions badDate = Options();
    badDate.today = {2024, 2, 30};
    EXPECT_NE(CheckOptions(badDate), "");
    EXPECT_THROW(BuildSampleWorld(badDate), std::invalid_argument);
}

TEST(SampleFeed, EveryRecordIsWholeSoundCp932WithItsKeys)
{
    const Sample& s = DefaultSample();
    std::set<long> raceDays;
    for (const SampleDay& d : s.world.days)
        raceDays.insert(d.Yyyymmdd());
    const long firstDay = *raceDays.begin();
    long oldest = firstDay;
    const std::string replacement = Utf8ToCp932("\xEF\xBF\xBD"); // what a failed conversion leaves
    std::map<char, int> divisions;
    for (const SampleFile& f : s.files) {
        const bool history = f.name.find("_H") != std::string::npos;
        for (std::string_view r : Records(f)) {
            ASSERT_EQ(r.substr(r.size() - 2), "\r\n") << f.name;
            ASSERT_EQ(r.find_first_of("\r\n"), r.size() - 2) << f.name;
            ASSERT_TRUE(IsValidCp932(r)) << f.name;
            ASSERT_EQ(RecordDamage(r), "") << f.name;
            ASSERT_EQ(std::string(r).find(replacement), std::string::npos);
            ASSERT_EQ(std::string(r).find('?'), std::string::npos);
            const std::string_view key = Get(r, JVData::kRaceKey);
            ASSERT_TRUE(std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; })) << key;
            const long date = static_cast<long>(ReadDecimal(Get(r, JVData::kRaceDate)));
            const long course = static_cast<long>(ReadDecimal(Get(r, JVData::kCourseCode)));
            const long race = static_cast<long>(ReadDecimal(Get(r, JVData::kRaceNumber)));
            EXPECT_TRUE(IsCalendarDate(static_cast<int>(date / 10000), static_cast<int>(date / 100 % 100), static_cast<int>(date % 100)));
            EXPECT_TRUE(course >= 1 && course <= 10) << key;
            EXPECT_TRUE(race >= 1 && race <= 12) << key;
            EXPECT_GT(ReadDecimal(Get(r, JVData::kMeeting)), 0);
            EXPECT_GT(ReadDecimal(Get(r, JVData::kMeetingDay)), 0);
            const long created = static_cast<long>(ReadDecimal(Get(r, JVData::kCreationDate)));
            EXPECT_LE(created, kTodayNumber);
            divisions[r[2]]++;
            if (history) {
                EXPECT_EQ(r.substr(0, 3), "SE7");
                EXPECT_LT(date, firstDay);
                oldest = std::min(oldest, date);
            } else {
                EXPECT_TRUE(raceDays.count(date)) << key;
            }
            if (r.substr(0, 2) == "SE") {
                const long horse = static_cast<long>(ReadDecimal(Get(r, JVData::SE::kHorseNumber)));
                const long bracket = static_cast<long>(ReadDecimal(Get(r, JVData::SE::kBracket)));
                EXPECT_TRUE(horse >= 1 && horse <= 18);
                EXPECT_TRUE(bracket >= 1 && bracket <= 8);
                const std::string_view pedigree = Get(r, JVData::SE::kPedigreeNumber);
                EXPECT_TRUE(std::all_of(pedigree.begin(), pedigree.end(), [](char c) { return c >= '0' && c <= '9'; }));
                EXPECT_FALSE(KeibaFunc::SexName(Get(r, JVData::SE::kSexCode)).empty());
                EXPECT_NE(TrimSpaces(Cp932ToUtf8(Get(r, JVData::SE::kHorseName))), "");
                EXPECT_NE(Cp932ToUtf8(Get(r, JVData::SE::kJockeyName)).substr(0, 3), "　");
                EXPECT_NE(Cp932ToUtf8(Get(r, JVData::SE::kTrainerName)).substr(0, 3), "　");
                const long weight = static_cast<long>(ReadDecimal(Get(r, JVData::SE::kWeightCarried)));
                EXPECT_TRUE(weight >= 480 && weight <= 650) << weight;
            }
        }
    }
    // Entries, final results, payouts, real-time results and histories.
    EXPECT_GT(divisions['2'], 0);
    EXPECT_GT(divisions['7'], 0);
    EXPECT_GT(divisions['6'], 0);
    EXPECT_GT(divisions['1'], 0);
    // Histories reach back more than a year.
    EXPECT_LT(oldest, firstDay - 10000);
}

TEST(SampleFeed, FilesAreNamedAndStampedForTheStandIn)
{
    const Sample& s = DefaultSample();
    std::string previous;
    int realtime = 0;
    bool seenRealtime = false;
    for (const SampleFile& f : s.files) {
        ASSERT_GE(f.name.size(), 22u);
        EXPECT_EQ(f.name.substr(f.name.size() - 4), ".jvd");
        if (f.name.rfind("realtime/", 0) == 0) {
            seenRealtime = true;
            EXPECT_EQ(f.name.substr(9, 12), "0B12" + std::to_string(kTodayNumber));
            ++realtime;
            continue;
        }
        EXPECT_FALSE(seenRealtime) << "accumulated files come first";
        // The runs before the sample are the past runs of this week's horses.
        EXPECT_EQ(f.name.substr(0, 4), f.name.find("_H") != std::string::npos ? "RCVN" : "RACE") << f.name;
        const std::string stamp = f.name.substr(4, 14);
        const std::optional<DateTime> t = ParseCompact(stamp);
        ASSERT_TRUE(t) << f.name;
        // Within the three days before today, in reading order.
        EXPECT_GE(*t, (DateTime {2024, 5, 29, 0, 0, 0})) << f.name;
        EXPECT_LT(*t, (DateTime {2024, 6, 1, 0, 0, 0})) << f.name;
        EXPECT_GT(stamp, previous);
        previous = stamp;
    }
    EXPECT_EQ(realtime, 3); // one per course today
    // Today's results are nowhere but in the real-time files.
    for (const SampleFile& f : s.files)
        if (f.name.rfind("realtime/", 0) != 0)
            for (std::string_view r : Records(f))
                if (ReadDecimal(Get(r, JVData::kRaceDate)) == kTodayNumber) {
                    EXPECT_EQ(r[2], '2') << f.name;
                }
}

// Whatever the season, the three race days of a default sample show every
// class and track label, every grade and weight rule, all eight brackets.
static void CheckLabelsOfDefaultSample(const std::vector<SampleFile>& files)
{
    std::set<std::string> classes, tracks;
    std::set<char> grades, weightTypes;
    std::set<int> brackets, fieldSizes;
    int dayCourses = 0;
    for (const SampleFile& f : files) {
        if (f.name.find("_E") == std::string::npos)
            continue;
        std::map<std::string, int> racesOfDayCourse;
        std::string_view race;
        int runners = 0;
        for (std::string_view r : Records(f)) {
            if (r.substr(0, 2) == "RA") {
                race = r;
                runners = 0;
                racesOfDayCourse[std::string(Get(r, JVData::kYearToCourse))]++;
                classes.insert(std::string(Get(r, JVData::RA::kConditionYoungest)));
                tracks.insert(Trackname(static_cast<long>(ReadDecimal(Get(r, JVData::RA::kTrackCode)))));
                grades.insert(r[614]);
                weightTypes.insert(r[621]);
                const long n = static_cast<long>(ReadDecimal(Get(r, JVData::RA::kRegisteredRunners)));
                fieldSizes.insert(static_cast<int>(n));
                EXPECT_GT(ReadDecimal(Get(r, JVData::RA::kDistance)), 999);
                const long post = static_cast<long>(ReadDecimal(Get(r, JVData::RA::kPostTime)));
                EXPECT_TRUE(post >= 930 && post <= 1700 && post % 100 < 60) << post;
                EXPECT_NE(TrimSpaces(Cp932ToUtf8(Get(r, JVData::RA::kRaceName))), "");
            } else {
                ASSERT_FALSE(race.empty());
                ASSERT_EQ(Get(r, JVData::kRaceKey), Get(race, JVData::kRaceKey));
                ++runners;
                const int n = static_cast<int>(ReadDecimal(Get(race, JVData::RA::kRegisteredRunners)));
                const int horse = static_cast<int>(ReadDecimal(Get(r, JVData::SE::kHorseNumber)));
                EXPECT_EQ(horse, runners); // horse numbers 1..n in order
                EXPECT_LE(horse, n);
                const int bracket = static_cast<int>(ReadDecimal(Get(r, JVData::SE::kBracket)));
                EXPECT_EQ(bracket, BracketOf(horse, n));
                brackets.insert(bracket);
            }
        }
        for (const auto& [key, count] : racesOfDayCourse) {
            EXPECT_EQ(count, 12) << key;
            ++dayCourses;
        }
    }
    EXPECT_EQ(dayCourses, 8); // 2 + 3 + 3
    for (const char* code : {"701", "702", "703", "005", "010", "016", "999"})
        EXPECT_TRUE(classes.count(code)) << code;
    for (const char* label : {"芝直", "芝左", "芝右", "ダ左", "ダ右", "ダ直", "障害"})
        EXPECT_TRUE(tracks.count(label)) << label;
    for (char g : std::string(" ABCDEFGH"))
        EXPECT_TRUE(grades.count(g)) << g;
    EXPECT_EQ(weightTypes, (std::set<char> {'1', '2', '3', '4'}));
    EXPECT_EQ(brackets, (std::set<int> {1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_GE(*fieldSizes.begin(), 8);
    EXPECT_LE(*fieldSizes.rbegin(), 18);
    EXPECT_TRUE(fieldSizes.count(18));
}

TEST(SampleFeed, RaceDaysShowEveryLabelBracketAndGrade)
{
    CheckLabelsOfDefaultSample(DefaultSample().files);
    for (DateTime today : {DateTime {2025, 1, 15}, DateTime {2026, 12, 7}}) {
        SCOPED_TRACE(FormatCompact(today));
        SampleOptions o = Options();
        o.today = today;
        CheckLabelsOfDefaultSample(BuildSampleFiles(BuildSampleWorld(o)));
    }
}

TEST(SampleFeed, ResultsAndPayoutsAgreeWithTheFinishingOrder)
{
    // A longer sample, so that dead heats are sure to occur.
    const SampleWorld world = BuildSampleWorld(Options(12));
    int deadHeats = 0, races = 0;
    for (const SampleDay& d : world.days)
        for (const SampleCourseDay& cd : d.courses)
            for (const SampleRace& race : cd.races) {
                ++races;
                const int n = static_cast<int>(race.runners.size());
                std::map<int, int> placeOf, bracketOf;
                std::vector<int> pops;
                for (const SampleRunner& r : race.runners) {
                    placeOf[r.horseNumber] = r.place;
                    bracketOf[r.horseNumber] = r.bracket;
                    pops.push_back(r.popularity);
                    ASSERT_TRUE(r.place >= 1 && r.place <= n);
                    ASSERT_GE(r.oddsTenths, 11);
                }
                std::sort(pops.begin(), pops.end());
                for (int i = 0; i < n; ++i)
                    ASSERT_EQ(pops[static_cast<std::size_t>(i)], i + 1);
                for (const SampleRunner& a : race.runners)
                    for (const SampleRunner& b : race.runners)
                        if (a.popularity < b.popularity) {
                            ASSERT_LE(a.oddsTenths, b.oddsTenths);
                        }
                int firsts = 0;
                for (const auto& [h, p] : placeOf)
                    firsts += p == 1;
                const bool deadHeat = std::any_of(race.runners.begin(), race.runners.end(), [](const SampleRunner& r) { return r.deadHeat; });
                deadHeats += deadHeat;

                const SamplePayouts& pay = race.payouts;
                ASSERT_EQ(static_cast<int>(pay.win.size()), firsts);
                for (const PayoutEntry& e : pay.win) {
                    const SampleRunner& r = race.runners[static_cast<std::size_t>(e.combination[0] - 1)];
                    EXPECT_EQ(r.place, 1);
                    EXPECT_EQ(e.popularity, r.popularity);
                    if (firsts == 1) {
                        EXPECT_EQ(e.yen, r.oddsTenths * 10L);
                    }
                }
                std::set<int> placed;
                for (const PayoutEntry& e : pay.place) {
                    EXPECT_LE(placeOf[e.combination[0]], 3);
                    placed.insert(e.combination[0]);
                }
                for (const auto& [h, p] : placeOf)
                    if (p <= 3) {
                        EXPECT_TRUE(placed.count(h)) << race.Key();
                    }
                // Quinella: the first two (both of a dead heat for first).
                ASSERT_FALSE(pay.quinella.empty());
                for (const PayoutEntry& e : pay.quinella) {
                    const int a = placeOf[e.combination[0]], b = placeOf[e.combination[1]];
                    EXPECT_LT(e.combination[0], e.combination[1]);
                    EXPECT_EQ(std::min(a, b), 1);
                    EXPECT_LE(std::max(a, b), 2);
                }
                EXPECT_EQ(pay.wide.size(), placed.size() == 3 ? 3u : 5u) << race.Key();
                for (const PayoutEntry& e : pay.wide)
                    EXPECT_LE(std::max(placeOf[e.combination[0]], placeOf[e.combination[1]]), 3);
                if (n <= 8) {
                    EXPECT_TRUE(pay.bracketQuinella.empty());
                } else {
                    ASSERT_FALSE(pay.bracketQuinella.empty());
                    for (const PayoutEntry& e : pay.bracketQuinella) {
                        bool fromQuinella = false;
                        for (const PayoutEntry& q : pay.quinella) {
                            const int x = bracketOf[q.combination[0]], y = bracketOf[q.combination[1]];
                            fromQuinella |= std::min(x, y) == e.combination[0] && std::max(x, y) == e.combination[1];
                        }
                        EXPECT_TRUE(fromQuinella);
                    }
                }
                ASSERT_FALSE(pay.trifecta.empty());
                EXPECT_EQ(placeOf[pay.trifecta[0].combination[0]], 1);
                for (const auto* bet : {&pay.win, &pay.place, &pay.bracketQuinella, &pay.quinella, &pay.wide, &pay.exacta, &pay.trio, &pay.trifecta})
                    for (const PayoutEntry& e : *bet) {
                        EXPECT_GE(e.yen, 100);
                        EXPECT_GE(e.popularity, 1);
                    }
            }
    EXPECT_GT(deadHeats, 0) << races << " races";
    EXPECT_LT(deadHeats * 10, races);
}

TEST(SampleFeed, PayoutRecordsCarryThePayouts)
{
    const Sample& s = DefaultSample();
    const SampleRace& race = s.world.days[0].courses[0].races[10];
    const std::string hr = BuildHrRecord(s.world, race, '2', 20240530);
    ASSERT_EQ(hr.size(), JVData::kLengthHR);
    const PayoutEntry& win = race.payouts.win[0];
    EXPECT_EQ(ReadDecimal(Mid(hr, JVData::HR::kWin.At(0), 2)), win.combination[0]);
    EXPECT_EQ(ReadDecimal(Mid(hr, JVData::HR::kWin.At(0) + 2, 9)), win.yen);
    EXPECT_EQ(ReadDecimal(Mid(hr, JVData::HR::kWin.At(0) + 11, 2)), win.popularity);
    const PayoutEntry& q = race.payouts.quinella[0];
    char pair[8];
    std::snprintf(pair, sizeof pair, "%02d%02d", q.combination[0], q.combination[1]);
    EXPECT_EQ(Mid(hr, JVData::HR::kQuinella.At(0), 4), pair);
    EXPECT_EQ(ReadDecimal(Mid(hr, JVData::HR::kQuinella.At(0) + 4, 9)), q.yen);
    EXPECT_EQ(ReadDecimal(Mid(hr, JVData::HR::kQuinella.At(0) + 13, 3)), q.popularity);
    // An unused slot holds zeros.
    EXPECT_EQ(Mid(hr, JVData::HR::kWide.At(6), 16), std::string(16, '0'));
}

TEST(SampleFeedTool, WritesAFeedAndRefusesToMixTwo)
{
    TempDir dir;
    const std::string feed = (dir.native() / "feed").string();
    std::string out, err;
    ASSERT_EQ(RunTool({"make-sample-feed", feed, "--today", "20240601", "--days", "1", "--courses", "1"}, out, &err), 0) << err;
    EXPECT_NE(out.find("1 race days"), std::string::npos) << out;
    EXPECT_TRUE(std::filesystem::exists(dir.native() / "feed" / "realtime" / "0B1220240601_05.jvd"));
    const std::string first = test::ReadAll(dir.native() / "feed" / "realtime" / "0B1220240601_05.jvd");
    EXPECT_EQ(RunTool({"make-sample-feed", feed, "--today", "20240601", "--days", "1"}, out, &err), 1);
    EXPECT_NE(err.find("already holds a feed"), std::string::npos) << err;
    ASSERT_EQ(RunTool({"make-sample-feed", feed, "--today", "20240601", "--days", "1", "--courses", "1", "--replace"}, out, &err), 0) << err;
    EXPECT_EQ(test::ReadAll(dir.native() / "feed" / "realtime" / "0B1220240601_05.jvd"), first);

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>> {
             {"make-sample-feed"},
             {"make-sample-feed", feed + "2", "--today", "20240230"},
             {"make-sample-feed", feed + "2", "--days", "x"},
             {"make-sample-feed", feed + "2", "--days", "0"},
             {"make-sample-feed", feed + "2", "--courses", "4"},
             {"make-sample-feed", feed + "2", "--seed", "-1"},
         })
        EXPECT_EQ(RunTool(bad, out, &err), 2) << bad.back();
    EXPECT_FALSE(std::filesystem::exists(dir.native() / "feed2"));
}

// The bundled sample as a new user meets it: imported into a fresh base
// folder, it lists three race days of full cards, each runner with a
// bracket, every maxim and both colours of long intervals; the results
// update then brings today's results.
TEST(SampleFeedAcceptance, ImportedSampleShowsFullCardsEveryMaximAndTodaysResults)
{
    TempDir dir;
    const std::string feed = (dir.native() / "sample-feed").string();
    const std::string base = (dir.native() / "base").string();
    std::string out, err;
    ASSERT_EQ(RunTool({"make-sample-feed", feed, "--today", "20240601", "--days", "3"}, out, &err), 0) << err;
    std::filesystem::create_directory(dir.native() / "base");
    ASSERT_EQ(RunTool({"import-jv", base, feed, "--now", "20240601120000"}, out, &err), 0) << err;

    const std::vector<std::string> days = MakeDayList(base);
    ASSERT_EQ(days.size(), 8u);
    EXPECT_EQ(days.front().substr(0, 14), SJ("2024年06月01日"));
    std::set<int> dayDates;
    std::set<std::string> maxims;
    bool red = false, blue = false;
    RaceDay day;
    for (const std::string& entry : days) {
        const DayLoadResult result = LoadRaceDay(day, base, entry);
        ASSERT_EQ(result.status, DayLoadResult::Loaded) << Cp932ToUtf8(entry);
        dayDates.insert(static_cast<int>(ReadDecimal(entry.substr(0, 4))) * 10000 +
                        static_cast<int>(ReadDecimal(entry.substr(6, 2))) * 100 + static_cast<int>(ReadDecimal(entry.substr(10, 2))));
        ASSERT_EQ(day.raceCount, 12);
        ASSERT_EQ(day.raceList.size(), 12u);
        const bool ran = entry.substr(0, 14) != SJ("2024年06月01日");
        for (int p = 0; p < 12; ++p) {
            const RaceSummary& s = day.slots[static_cast<std::size_t>(p)].summary;
            const int n = static_cast<int>(ReadDecimal(s.registeredCount));
            ASSERT_TRUE(n >= 8 && n <= 18);
            EXPECT_EQ(ReadDecimal(s.raceKey.substr(14, 2)), p + 1);
            EXPECT_EQ(s.winPayouts[0].horseNumber > 0, ran) << Cp932ToUtf8(entry) << p;
            for (int i = 0; i < n; ++i) {
                const RunnerSummary& r = s.runners[static_cast<std::size_t>(i)];
                ASSERT_GT(ReadDecimal(r.bracketNumber), 0) << Cp932ToUtf8(entry) << " race " << p + 1;
                EXPECT_EQ(ReadDecimal(r.horseNumber), i + 1);
                EXPECT_EQ(r.finishingPlace > 0, ran);
                if (!r.maxim.empty())
                    maxims.insert(Cp932ToUtf8(r.maxim));
                // Intervals of 56 days or more: red where they make a maxim.
                const std::string sex = r.sexCode;
                const std::array<std::pair<const std::string*, bool>, 3> intervals = {{
                    {&r.restDays, sex == "1"},
                    {&r.pastRunGaps[0], sex == "2"},
                    {&r.pastRunGaps[1], sex == "1"},
                }};
                for (const auto& [text, maximColumn] : intervals)
                    if (ReadDecimal(*text) >= 56)
                        (maximColumn ? red : blue) = true;
            }
        }
    }
    EXPECT_GE(dayDates.size(), 3u);
    EXPECT_EQ(maxims, (std::set<std::string> {"牡1戦目", "牡3戦目", "牝2戦目"}));
    EXPECT_TRUE(red);
    EXPECT_TRUE(blue);

    // The results update of today's first course.
    ASSERT_EQ(LoadRaceDay(day, base, days.front()).status, DayLoadResult::Loaded);
    const std::string key = RealtimeKey(day.slots[0].raceLine);
    ASSERT_EQ(key, "20240601");
    JVLinkStandIn jv(base, Utf8ToCp932(feed));
    ASSERT_EQ(jv.JVInit(JVSoftwareId()), 0);
    StoredRaceFiles files(base);
    ReadLoopNotifier quiet;
    std::atomic<bool> cancel {false};
    ASSERT_TRUE(RunRealtimeUpdate(jv, files, key, quiet, cancel));
    ASSERT_EQ(LoadRaceDay(day, base, days.front()).status, DayLoadResult::Loaded);
    for (int p = 0; p < 12; ++p) {
        const RaceSummary& s = day.slots[static_cast<std::size_t>(p)].summary;
        EXPECT_GT(s.winPayouts[0].horseNumber, 0);
        EXPECT_GT(s.runners[0].finishingPlace, 0);
        EXPECT_GT(s.runners[0].winOdds, 1.0);
    }
}
