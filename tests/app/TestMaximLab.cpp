// 格言ラボ: rules as data against the race card's maxims, a count of its own
// straight from the stored files, the sweep against single runs, the saved
// rules, and the rule text form.
#include "app/MaximLab.h"

#include "app/Settings.h"
#include "reference/FixedRecord.h"
#include "reference/KeibaFunc.h"
#include "reference/ShiftJis.h"
#include "views/CsvExport.h"
#include "views/LabTable.h"

#include "app/StoredCount.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>

namespace tervan {

void PrintTo(const BacktestTally& t, std::ostream* os)
{
    *os << "{runners " << t.runners << ", places " << t.first << "/" << t.second << "/" << t.third << "/" << t.unplaced
        << ", win " << t.winPayout << ", place runners " << t.placeRunners << " top3 " << t.placeTop3 << " paid "
        << t.placePayout << "}";
}

namespace {

namespace sfs = std::filesystem;

// The sample's stored days: eight race days at two racecourses, imported
// from its feed, with horse histories reaching back before them. Made once.
class LabSample : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new test::TempDir;
        const std::string feed = (dir_->native() / "feed").string();
        tool_ = (dir_->native() / "base").string();
        std::string out, err;
        ASSERT_EQ(test::RunTool({"make-sample-feed", feed, "--today", "20261207", "--days", "8", "--courses", "2"}, out, &err), 0)
            << err;
        ASSERT_EQ(test::RunTool({"import-jv", tool_, feed, "--now", "20261207200000"}, out, &err), 0) << err;
        base_ = dir_->path() + "/base";
    }
    static void TearDownTestSuite()
    {
        delete dir_;
        dir_ = nullptr;
    }
    static MaximRule Rule(const std::string& utf8)
    {
        MaximRule rule;
        std::string error;
        EXPECT_TRUE(ParseMaximRule(Utf8ToCp932(utf8), rule, error)) << utf8 << ": " << Cp932ToUtf8(error);
        return rule;
    }

    static inline test::TempDir* dir_ = nullptr;
    static inline std::string base_; // CP932, for the core
    static inline std::string tool_; // native, for the tool
};

// "牡1戦目", "牡3戦目" and "牝2戦目" as rules give every runner of the sample
// the maxim its race card shows, 牡1戦目 first where both male rules hold.
TEST_F(LabSample, BuiltInRulesGiveTheRaceCardsMaxims)
{
    const auto& builtIn = BuiltInMaximRules();
    const std::vector<MaximRule> rules(builtIn.begin(), builtIn.end());
    EXPECT_EQ(Cp932ToUtf8(FormatMaximRule(rules[0]) + " " + FormatMaximRule(rules[1]) + " " + FormatMaximRule(rules[2])),
              "牡,1,56- 牡,3,56- 牝,2,56-");
    std::map<std::string, int> seen;
    int both = 0;
    auto day = std::make_unique<RaceDay>();
    for (const std::string& entry : MakeDayList(base_)) {
        ASSERT_EQ(LoadRaceDay(*day, base_, entry).status, DayLoadResult::Loaded);
        for (int p = 0; p < day->raceCount; ++p) {
            const RaceSlot& slot = day->slots[static_cast<std::size_t>(p)];
            for (int i = 0; i < kRunnerCapacity; ++i) {
                const RunnerSummary& r = slot.summary.runners[static_cast<std::size_t>(i)];
                if (ReadDecimal(r.horseNumber) <= 0)
                    continue;
                const RuleRunner runner = RuleRunner::Of(slot, i);
                const int first = FirstMatchingRule(rules, runner);
                EXPECT_EQ(first < 0 ? std::string() : rules[static_cast<std::size_t>(first)].name, r.maxim)
                    << Cp932ToUtf8(entry) << " " << p << " " << i;
                ++seen[Cp932ToUtf8(r.maxim)];
                both += MaximRuleMatches(rules[0], runner) && MaximRuleMatches(rules[1], runner);
            }
        }
    }
    EXPECT_GT(seen["牡1戦目"], 0);
    EXPECT_GT(seen["牡3戦目"], 0);
    EXPECT_GT(seen["牝2戦目"], 0);
    EXPECT_GT(seen[""], 0);
    EXPECT_GT(both, 0);
}

// What a counted runner is, read straight from the stored files.
struct Facts {
    char sex = ' ';
    int gaps[5] = {-1, -1, -1, -1, -1}; // by start - 1
    long long track = 0, distance = 0, lastDistance = 0;
    std::string raceClass, course;
};

long DayNumber(std::string_view yyyymmdd)
{
    int y = std::atoi(std::string(yyyymmdd.substr(0, 4)).c_str());
    const int m = std::atoi(std::string(yyyymmdd.substr(4, 2)).c_str());
    const int d = std::atoi(std::string(yyyymmdd.substr(6, 2)).c_str());
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    return era * 146097L + (yoe * 365 + yoe / 4 - yoe / 100 + doy) - 719468;
}

// Every counted runner of the stored days, with its facts, added to the
// tally of each predicate that holds.
std::vector<BacktestTally> CountOfItsOwn(const sfs::path& base, const std::vector<std::function<bool(const Facts&)>>& wanted)
{
    using test::Number;
    using test::Records;
    std::vector<BacktestTally> tallies(wanted.size());
    const sfs::path data = test::ChildAnyCase(base, "DATA"), sei = test::ChildAnyCase(base, "SEI");
    auto raceFile = [&](const std::string& key) { // the race file of a RaceKey
        const std::string stem = key.substr(0, 4) + SJ("年") + key.substr(4, 2) + SJ("月") + key.substr(6, 2) + SJ("日")
            + KeibaFunc::CourseName(key.substr(8, 2), 2);
        return data / test::U8Path(Cp932ToUtf8(stem) + ".jvRA");
    };
    test::ForEachStoredRunner(data, [&](const test::StoredRunner& r) {
        const std::string &ra = r.raceLine, &se = r.runnerLine;
        Facts f;
        f.sex = se[78];
        f.track = Number(ra, 706, 2);
        f.distance = Number(ra, 698, 4);
        f.raceClass = ra.substr(634, 3);
        f.course = ra.substr(19, 2);
        // The latest five runs before the race's date, newest first.
        const std::string pedigree = se.substr(30, 10);
        std::vector<std::string> past;
        for (const std::string& run : Records(sei / pedigree.substr(0, 4) / (pedigree + ".jvSEI"), 555))
            if (run.substr(11, 8) < ra.substr(11, 8) && Number(run, 12, 8) > 0)
                past.push_back(run);
        std::sort(past.begin(), past.end(), [](const std::string& a, const std::string& b) { return a.substr(11, 16) > b.substr(11, 16); });
        past.resize(std::min<std::size_t>(past.size(), 5));
        if (!past.empty())
            f.gaps[0] = static_cast<int>(DayNumber(ra.substr(11, 8)) - DayNumber(past[0].substr(11, 8)));
        for (std::size_t k = 0; k + 1 < past.size() && k < 4; ++k)
            f.gaps[k + 1] = static_cast<int>(DayNumber(past[k].substr(11, 8)) - DayNumber(past[k + 1].substr(11, 8)));
        if (!past.empty())
            for (const std::string& last : Records(raceFile(past[0].substr(11, 16)), 1272))
                if (Number(last, 26, 2) == Number(past[0], 26, 2))
                    f.lastDistance = Number(last, 698, 4);
        RunnerOutcome o;
        o.place = r.place;
        o.win = r.win;
        o.placePaid = r.placePaid;
        o.placeSold = r.placeSold;
        for (std::size_t w = 0; w < wanted.size(); ++w)
            if (wanted[w](f))
                AddOutcome(tallies[w], o);
    });
    return tallies;
}

// Rules with conditions count what a count of its own over the stored files
// counts, a runner whose last race is not stored never matching a change of
// distance.
TEST_F(LabSample, RulesWithConditionsCountWhatTheStoredFilesHold)
{
    // The racecourse of the latest day, by name and code.
    const std::string name(TrimSpaces(Mid(MakeDayList(base_).front(), 15, 4)));
    std::string code;
    for (const char* c : {"01", "02", "03", "04", "05", "06", "07", "08", "09", "10"})
        if (KeibaFunc::CourseName(c, 2) == name)
            code = c;
    ASSERT_FALSE(code.empty());
    const std::string course = Cp932ToUtf8(name);
    const std::vector<MaximRule> rules = {
        Rule("牡牝,2,56-,芝・ダ,1200-2000m,未勝利・1勝," + course),
        Rule("牡牝セ,1,14-60,距離延長・同距離"),
        Rule("牡牝セ,1,14-60,距離短縮"),
        Rule("セ,3,1-,障害"),
    };
    auto in = [](long long v, long long lo, long long hi) { return v >= lo && v <= hi; };
    const std::vector<std::function<bool(const Facts&)>> wanted = {
        [&](const Facts& f) {
            return (f.sex == '1' || f.sex == '2') && f.gaps[1] >= 56 && in(f.track, 10, 29) && in(f.distance, 1200, 2000)
                && (f.raceClass == "703" || f.raceClass == "005") && f.course == code;
        },
        [&](const Facts& f) { return in(f.gaps[0], 14, 60) && f.lastDistance > 0 && f.distance >= f.lastDistance; },
        [&](const Facts& f) { return in(f.gaps[0], 14, 60) && f.lastDistance > 0 && f.distance < f.lastDistance; },
        [&](const Facts& f) { return f.sex == '3' && f.gaps[2] >= 1 && in(f.track, 51, 59); },
    };
    const LabResult lab = RunLab(base_, rules, {});
    EXPECT_TRUE(lab.problems.empty());
    const std::vector<BacktestTally> own = CountOfItsOwn(sfs::path(tool_), wanted);
    for (std::size_t k = 0; k < rules.size(); ++k) {
        EXPECT_GT(own[k].runners, 0) << k;
        EXPECT_EQ(lab.tallies[k], own[k]) << Cp932ToUtf8(FormatMaximRule(rules[k]));
    }
    EXPECT_EQ(lab.all, RunBacktest(base_, {}).total[static_cast<std::size_t>(MaximGroup::All)]);
}

// Each step of a sweep equals a run of that step's rule alone; the tool
// prints the sweep's table and writes it as CSV.
TEST_F(LabSample, SweepStepsEqualSingleRuns)
{
    for (const auto& [kind, text] : {std::pair {LabSweepKind::Rest, "牡牝,1,28-200,芝"}, std::pair {LabSweepKind::Start, "牡牝セ,1,56-"},
                                     std::pair {LabSweepKind::Rest, "牡牝セ,2,1-,距離延長"}}) {
        const MaximRule rule = Rule(text);
        const LabSweepResult sweep = RunLabSweep(base_, rule, kind, {});
        std::vector<MaximRule> steps;
        for (int value : LabSweepValues(kind))
            steps.push_back(LabSweepStepRule(rule, kind, value));
        ASSERT_EQ(steps.size(), kind == LabSweepKind::Rest ? 49u : 5u);
        const LabResult single = RunLab(base_, steps, {});
        ASSERT_EQ(sweep.steps.size(), steps.size());
        long long runners = 0;
        for (std::size_t s = 0; s < steps.size(); ++s) {
            EXPECT_EQ(sweep.steps[s].tally, single.tallies[s]) << text << " step " << sweep.steps[s].value;
            runners += sweep.steps[s].tally.runners;
        }
        EXPECT_GT(runners, 0) << text;
        EXPECT_EQ(sweep.days, single.days);
    }

    const std::string csv = (dir_->native() / "sweep.csv").string();
    std::string out, err;
    ASSERT_EQ(test::RunTool({"lab", tool_, "--rule", "牡牝セ,1,56-", "--sweep", "start", "--csv", csv}, out, &err), 0) << err;
    const LabSweepResult sweep = RunLabSweep(base_, Rule("牡牝セ,1,56-"), LabSweepKind::Start, {});
    const TextGrid grid = LabSweepGrid(sweep);
    EXPECT_EQ(out, test::ToolText(grid));
    EXPECT_EQ(out.substr(0, out.find('\t')), "戦目");
    EXPECT_EQ(test::ReadAll(csv), CsvText(LabSweepHeading(sweep), grid.Rows()));
    EXPECT_EQ(Cp932ToUtf8(LabSweepHeading(sweep)), "格言ラボ 牡牝セ,1,56- - 戦目別");

    // Several rules: a line each, then 全体.
    ASSERT_EQ(test::RunTool({"lab", tool_, "--rule", "牡,1,56-", "--rule", "牝,2,56-180,芝"}, out, &err), 0) << err;
    EXPECT_EQ(out.substr(0, out.find('\t')), "規則");
    EXPECT_NE(out.find("\n牝,2,56-180,芝\t"), std::string::npos) << out;
    EXPECT_NE(out.find("\n全体\t"), std::string::npos) << out;
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>> {
             {"lab", tool_}, {"lab", tool_, "--rule", "牡,6,56-"}, {"lab", tool_, "--rule", "牡,1,56-", "--sweep", "month"},
             {"lab", tool_, "--rule", "牡,1,56-", "--rule", "牝,2,56-", "--sweep", "rest"}})
        EXPECT_EQ(test::RunTool(bad, out, &err), 2) << bad.back();
    EXPECT_NE(err.find("--sweep takes exactly one --rule"), std::string::npos) << err;
}

// The sweep's chart: runner counts as bars on a second axis, the two
// measures as lines that break where a step has no runners.
TEST(LabTable, SweepChartHasLinesAndASecondAxis)
{
    LabSweepResult r;
    r.kind = LabSweepKind::Start;
    r.rule = BuiltInMaximRules()[0];
    r.steps = {{1, BacktestTally {10, 2, 1, 1, 6, 1500, 10, 4, 900}}, {2, {}}, {3, BacktestTally {4, 0, 0, 1, 3, 0, 4, 1, 200}}};
    const ChartData chart = LabSweepChart(r);
    ASSERT_EQ(chart.series.size(), 3u);
    ASSERT_EQ(chart.axes.size(), 2u);
    EXPECT_EQ(Cp932ToUtf8(chart.axes[1].title), "頭数");
    EXPECT_EQ(chart.series[0].kind, ChartSeriesKind::Bars);
    EXPECT_EQ(chart.series[0].axis, 1);
    EXPECT_EQ(chart.series[0].values, (std::vector<double> {10, 0, 4}));
    EXPECT_EQ(chart.series[1].kind, ChartSeriesKind::Line);
    EXPECT_EQ(chart.series[1].values[0], 150.0);
    EXPECT_TRUE(std::isnan(chart.series[1].values[1]));
    EXPECT_EQ(chart.series[2].values[2], 50.0);
    EXPECT_EQ(Cp932ToUtf8(chart.series[2].labels[2]), "50.0");
    EXPECT_EQ(Cp932ToUtf8(chart.groups[1]), "2戦目");
    EXPECT_GE(chart.axes[0].max, 150.0 * 1.15);
    EXPECT_EQ(chart.references.at(0).value, 100.0);
}

// The rules survive a restart of the settings; entries that do not read are
// left out with a message, and a shorter list empties the entries after it.
TEST(LabSettings, SavedRulesSurviveARestartAndDamagedOnesAreReported)
{
    test::TempDir dir;
    MaximRule spring, wide;
    std::string error;
    ASSERT_TRUE(ParseMaximRule(Utf8ToCp932("牡牝,2,56-180,芝,1600-2000m,距離延長,予配順位1-3,東京"), spring, error));
    spring.name = Utf8ToCp932("春の東京 芝マイル");
    ASSERT_TRUE(ParseMaximRule(Utf8ToCp932("セ,5,91-,ダ・障害,オープン,-1400m"), wide, error));
    wide.name = Utf8ToCp932("セン馬 5戦目");
    {
        Settings settings(dir.path(), "tervan");
        settings.WriteMaximRules({spring, wide, spring});
        settings.WriteYosoDir("elsewhere");
    }
    Settings settings(dir.path(), "tervan");
    SavedMaximRules saved = settings.ReadMaximRules();
    EXPECT_TRUE(saved.problems.empty());
    EXPECT_EQ(saved.rules, (std::vector<MaximRule> {spring, wide, spring}));
    settings.WriteMaximRules({wide});
    saved = settings.ReadMaximRules();
    EXPECT_EQ(saved.rules, (std::vector<MaximRule> {wide}));
    EXPECT_EQ(settings.ReadYosoDir(), "elsewhere");

    // Damaged by hand: a bad start, a rule without a name, garbage.
    TIniGT& ini = settings.Ini();
    ini.WriteString("MaximLab", "name2", Utf8ToCp932("六戦目"));
    ini.WriteString("MaximLab", "rule2", Utf8ToCp932("牡,6,56-"));
    ini.WriteString("MaximLab", "rule3", Utf8ToCp932("牡,1,56-"));
    ini.WriteString("MaximLab", "name5", "x");
    ini.WriteString("MaximLab", "rule5", "\x82\xa0\xff,,,");
    saved = settings.ReadMaximRules();
    EXPECT_EQ(saved.rules, (std::vector<MaximRule> {wide}));
    ASSERT_EQ(saved.problems.size(), 3u);
    EXPECT_EQ(Cp932ToUtf8(saved.problems[0]), "格言ラボの規則2「六戦目」を読めません: 戦目「6」は1から5で書いてください");
    EXPECT_EQ(Cp932ToUtf8(saved.problems[1]), "格言ラボの規則3「」を読めません: 規則の名前を入れてください");
    EXPECT_EQ(Cp932ToUtf8(saved.problems[2]).rfind("格言ラボの規則5「x」を読めません: 性別", 0), 0u) << Cp932ToUtf8(saved.problems[2]);

    // At most 20 are kept.
    settings.WriteMaximRules(std::vector<MaximRule>(25, wide));
    EXPECT_EQ(settings.ReadMaximRules().rules.size(), 20u);
}

// The text form: what it reads, how it writes it back, and what it says of
// texts it cannot read.
TEST(MaximRuleText, ReadsWritesBackAndExplains)
{
    auto parse = [](const char* utf8, std::string& error) {
        MaximRule rule;
        const bool ok = ParseMaximRule(Utf8ToCp932(utf8), rule, error);
        error = Cp932ToUtf8(error);
        return ok ? std::optional<MaximRule>(rule) : std::nullopt;
    };
    const std::pair<const char*, const char*> written[] = {
        {"牡,1,56-", "牡,1,56-"},
        {" 牝牡 , 2戦目 , 56-180 , 芝 ", "牡牝,2,56-180,芝"},
        {"セ,5,91-,-1400m,予配順位-3,距離短縮・距離延長,阪神・東京,障害・ダ,オープン・新馬", "セ,5,91-,ダ・障害,-1400m,新馬・オープン,距離短縮・距離延長,予配順位1-3,東京・阪神"},
        {"牡,3,60-60,1600m,予配順位4-", "牡,3,60-60,1600m,予配順位4-"},
        {"牡,1,56-,1600m-2000m", "牡,1,56-,1600-2000m"},
        {"牡,1,56-,1600-m", "牡,1,56-,1600m-"},
    };
    for (const auto& [text, back] : written) {
        std::string error;
        const auto rule = parse(text, error);
        ASSERT_TRUE(rule) << text << ": " << error;
        EXPECT_EQ(Cp932ToUtf8(FormatMaximRule(*rule)), back) << text;
        EXPECT_EQ(parse(back, error), rule) << back; // the written form reads back the same
    }
    std::string error;
    const auto rule = parse("牡牝,2,56-180,芝,1600-2000m,距離延長,予配順位1-3,東京", error);
    ASSERT_TRUE(rule);
    EXPECT_EQ(rule->sexes, 3u);
    EXPECT_EQ(rule->start, 2);
    EXPECT_EQ(rule->rest, (RuleRange {56, 180}));
    EXPECT_EQ(rule->distance, (RuleRange {1600, 2000}));
    EXPECT_EQ(rule->forecastRank, (RuleRange {1, 3}));
    EXPECT_EQ(rule->courses, 1u << 4);
    EXPECT_EQ(rule->distanceChanges, 4u);

    const std::pair<const char*, const char*> refused[] = {
        {"", "規則が空です（例: 牡,1,56-）"},
        {"牡,1", "規則は「性別,戦目,休養日数」で始めてください（例: 牡,1,56-）"},
        {"雄,1,56-", "性別「雄」は牡・牝・セを並べて書いてください（例: 牡牝）"},
        {"牡,0,56-", "戦目「0」は1から5で書いてください"},
        {"牡,1,56", "休養日数「56」は「56-」（56日以上）か「56-180」（56日から180日）の形で書いてください"},
        {"牡,1,0-", "休養日数「0-」は「56-」（56日以上）か「56-180」（56日から180日）の形で書いてください"},
        {"牡,1,180-56", "休養日数の上限が下限より小さくなっています"},
        {"牡,1,56-,芝,ダ", "トラックの条件が2つあります: 「ダ」（いくつかの値は「・」でつなぎます）"},
        {"牡,1,56-,芝・東京", "条件「芝・東京」に種類の違う値が「・」でつながっています"},
        {"牡,1,56-,16OOm", "条件「16OOm」が分かりません（芝・ダ・障害、距離「1600m」、新馬・未出走・未勝利・1勝・2勝・3勝・オープン、"
                           "距離短縮・同距離・距離延長、予配順位「予配順位1-3」、競馬場の名前のどれかです）"},
        {"牡,1,56-,-m", "距離「-m」は「1600m」「1600-2000m」「1600m-」「-1400m」の形で書いてください"},
        {"牡,1,56-,予配順位0", "予配順位「予配順位0」は「予配順位1-3」「予配順位4-」「予配順位-3」の形で書いてください"},
        {"牡,1,56-,,芝", "空の条件があります（「,」が続いています）"},
    };
    for (const auto& [text, message] : refused) {
        EXPECT_FALSE(parse(text, error)) << text;
        EXPECT_EQ(error, message) << text;
    }

    // The editor's checks, the name among them.
    MaximRule edited = BuiltInMaximRules()[0];
    EXPECT_EQ(ValidateMaximRule(edited), "");
    edited.name.clear();
    EXPECT_EQ(Cp932ToUtf8(ValidateMaximRule(edited)), "規則の名前を入れてください");
    edited.name = std::string(41, 'a');
    EXPECT_EQ(Cp932ToUtf8(ValidateMaximRule(edited)), "規則の名前は全角20文字（40バイト）までです");
    edited.name = "a";
    edited.sexes = 0;
    EXPECT_EQ(Cp932ToUtf8(ValidateMaximRule(edited)), "性別を1つ以上選んでください");
    edited.sexes = 1;
    edited.forecastRank = RuleRange {0, 3};
    EXPECT_EQ(Cp932ToUtf8(ValidateMaximRule(edited)), "予配順位の下限は1位以上にしてください");

    // A forecast rank condition never holds for a runner without a rank.
    RuleRunner runner;
    runner.sex = 1;
    runner.gaps = {60, -1, -1, -1, -1};
    edited.forecastRank = RuleRange {1, 3};
    runner.forecastRank = 2;
    EXPECT_TRUE(MaximRuleMatches(edited, runner));
    runner.forecastRank = 0;
    EXPECT_FALSE(MaximRuleMatches(edited, runner));
}

} // namespace
} // namespace tervan
