// A maxim as data: which runners it picks, by sex, by the start after a rest
// and the length of that rest, and by optional conditions of the race.
//
// The start after a rest is counted as the three maxims of the race card
// count it: start 1 looks at the rest days (this race follows the rest),
// start 2 at past-run gap 0 (the rest came before past run 0), start 3 at
// gap 1, start 4 at gap 2 and start 5 at gap 3. A blank gap never matches.
// "牡1戦目", "牡3戦目" and "牝2戦目" are three such rules (BuiltInMaximRules).
//
// The text form of a rule, fields joined by half-width commas:
//
//   性別,戦目,休養日数[,条件]...      e.g. "牡,1,56-"  "牡牝,2,56-180,芝,1600-2000m,距離延長,予配順位1-3,東京"
//
//   性別      one or more of 牡 牝 セ ("牡牝" = either)
//   戦目      1 to 5 ("1戦目" too)
//   休養日数  "56-" (56 days or more) or "56-180" (56 to 180 days)
//   条件, each kind at most once, in any order; a kind with several values
//   joins them with "・" (any of them):
//     トラック  芝 ダ 障害                       e.g. "芝・ダ"
//     距離      metres, ending in m: "1600m", "1600-2000m", "1600m-", "-1400m"
//     クラス    新馬 未出走 未勝利 1勝 2勝 3勝 オープン (1勝 2勝 3勝 are also the
//               earlier 500万下, 1000万下 and 1600万下 of the same codes)
//     距離変化  距離短縮 同距離 距離延長, against the runner's last run; a runner
//               whose last race is not in the stored race files never matches
//     予配順位  "予配順位1-3", "予配順位4-", "予配順位-3", "予配順位1"
//     競馬場    札幌 函館 福島 新潟 東京 中山 中京 京都 阪神 小倉
//
// Every text is CP932.
#pragma once

#include "app/RaceDay.h"

#include <array>
#include <climits>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tervan {

// The starts after a rest that a rule can name.
inline constexpr int kMaximRuleStartCount = 5;
// Saved rules: at most this many, with names of at most this many bytes.
inline constexpr int kMaximRuleLimit = 20;
inline constexpr std::size_t kMaximRuleNameLimit = 40;

// A closed range of whole numbers; max = kRangeOpen leaves the top open.
inline constexpr int kRangeOpen = INT_MAX;
struct RuleRange {
    int min = 0;
    int max = kRangeOpen;
    bool Contains(int value) const { return value >= min && value <= max; }
    bool Whole() const { return min <= 0 && max == kRangeOpen; }
    bool operator==(const RuleRange&) const = default;
};

// The kinds of condition whose values form a set. Value i of a kind is bit
// (1 << i) of its mask, in the order of RuleChoiceNames.
enum class RuleChoice {
    Sex,            // 牡 牝 セ
    Track,          // 芝 ダ 障害
    Class,          // 新馬 未出走 未勝利 1勝 2勝 3勝 オープン
    DistanceChange, // 距離短縮 同距離 距離延長
    Course,         // 札幌 函館 福島 新潟 東京 中山 中京 京都 阪神 小倉 (codes 01-10)
};
inline constexpr int kRuleChoiceCount = 5;

// The value names of a kind, as the text form writes them.
const std::vector<std::string>& RuleChoiceNames(RuleChoice kind);

struct MaximRule {
    std::string name;              // the row title; the text form when empty
    unsigned sexes = 0;            // RuleChoice::Sex mask; at least one
    int start = 1;                 // 1-5
    RuleRange rest {56};           // days; min at least 1
    unsigned tracks = 0;           // RuleChoice::Track mask; 0 = any
    RuleRange distance {};         // metres; whole = any
    unsigned classes = 0;          // RuleChoice::Class mask; 0 = any
    unsigned distanceChanges = 0;  // RuleChoice::DistanceChange mask; 0 = any
    RuleRange forecastRank {};     // 予配順位; whole = any, else min at least 1
    unsigned courses = 0;          // RuleChoice::Course mask; 0 = any

    bool operator==(const MaximRule&) const = default;
    // The name, or the text form when the name is empty.
    std::string Title() const;
};

// "牡1戦目", "牡3戦目" and "牝2戦目" as rules, in that order: the first rule
// of the three that a runner matches is the maxim the race card shows.
const std::array<MaximRule, 3>& BuiltInMaximRules();

// The text form of a rule (without its name): "牡,1,56-", "牡牝,2,56-180,芝".
std::string FormatMaximRule(const MaximRule& rule);

// Reads the text form into `rule` (its name is left as it was). On failure
// returns false and sets `error` to a Japanese message that names the field,
// e.g. "戦目「6」は1から5で書いてください".
bool ParseMaximRule(std::string_view text, MaximRule& rule, std::string& error);

// The first thing wrong with a rule built field by field (by the page's
// editor), as a Japanese message; empty when it is sound. Checks the name
// too: not empty, at most kMaximRuleNameLimit bytes, no line break.
std::string ValidateMaximRule(const MaximRule& rule);

// The distance in metres of a stored race, by its RaceKey (16 bytes); 0 when
// that race is not in the stored race files. Given to the rules that look at
// the change of distance against the last run.
using PastRaceDistanceFn = std::function<int(std::string_view raceKey)>;

// What the rules look at of one runner, read once from its race slot.
struct RuleRunner {
    unsigned sex = 0;                            // Sex bit; 0 for other codes
    std::array<int, kMaximRuleStartCount> gaps;  // by start - 1: days, or -1 when blank
    unsigned track = 0;                          // Track bit; 0 for other track codes
    int distance = 0;                            // metres of this race; 0 unknown
    unsigned raceClass = 0;                      // Class bit; 0 for other codes
    unsigned course = 0;                         // Course bit; 0 outside 01-10
    int forecastRank = 0;                        // 0 = none
    std::string_view lastRunKey;                 // RaceKey of past run 0 (blank when none)

    // Reads runner i of a slot whose gaps are computed (the day loader's work).
    static RuleRunner Of(const RaceSlot& slot, int runner);
};

// The gap a start looks at, in days; -1 when blank or start is not 1-5.
int StartGapDays(const RuleRunner& runner, int start);

// Whether the runner meets every condition of the rule except the start and
// the rest (the sweep varies those). `pastDistance` is asked only when the
// rule has a 距離変化 condition; without one such a rule matches nothing.
bool MaximRuleConditionsHold(const MaximRule& rule, const RuleRunner& runner,
                             const PastRaceDistanceFn& pastDistance = {});

// Whether the runner matches the whole rule.
bool MaximRuleMatches(const MaximRule& rule, const RuleRunner& runner, const PastRaceDistanceFn& pastDistance = {});

// The index of the first rule the runner matches, or -1.
int FirstMatchingRule(const std::vector<MaximRule>& rules, const RuleRunner& runner,
                      const PastRaceDistanceFn& pastDistance = {});

// The rules saved in the settings file, and what could not be read of them:
// one Japanese message per entry left out.
struct SavedMaximRules {
    std::vector<MaximRule> rules;
    std::vector<std::string> problems;
};

} // namespace tervan
