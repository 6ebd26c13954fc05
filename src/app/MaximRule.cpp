#include "app/MaximRule.h"

#include "app/Backtest.h"
#include "app/Maxim.h"
#include "reference/FixedRecord.h"
#include "reference/ShiftJis.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace tervan {
namespace {

std::vector<std::string> Names(std::initializer_list<const char*> utf8)
{
    std::vector<std::string> names;
    for (const char* name : utf8)
        names.push_back(Utf8ToCp932(name));
    return names;
}

// The race line's 競走条件コード of each Class value.
constexpr std::string_view kClassCodes[] = {"701", "702", "703", "005", "010", "016", "999"};

// The name of each kind of condition, for the messages.
const std::string& KindName(int kind)
{
    static const std::vector<std::string> names =
        Names({"性別", "トラック", "クラス", "距離変化", "競馬場", "距離", "予配順位"});
    return names[static_cast<std::size_t>(kind)];
}
constexpr int kDistanceKind = kRuleChoiceCount;
constexpr int kRankKind = kRuleChoiceCount + 1;

std::string Number(long long value)
{
    char buffer[24];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// The parts of a text between `separator`s (a CP932 character), split only
// at whole characters.
std::vector<std::string_view> Split(std::string_view text, std::string_view separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, separator.size(), separator) == 0) {
            parts.push_back(text.substr(start, i - start));
            i += separator.size();
            start = i;
            continue;
        }
        i += IsSjisLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    }
    parts.push_back(text.substr(std::min(start, text.size())));
    return parts;
}

// Half-width digits of a number short enough for any field of a rule.
bool ShortNumber(std::string_view s)
{
    return s.size() <= 6 && AllDigits(s);
}

// "a-b", "a-", "-b" or "a" (half-width digits): false for anything else.
bool ParseRange(std::string_view text, RuleRange& range, bool& hasDash)
{
    const std::size_t dash = text.find('-');
    hasDash = dash != std::string_view::npos;
    if (!hasDash) {
        if (!ShortNumber(text))
            return false;
        range.min = range.max = static_cast<int>(ReadDecimal(text));
        return true;
    }
    const std::string_view low = text.substr(0, dash), high = text.substr(dash + 1);
    if ((low.empty() && high.empty()) || (!low.empty() && !ShortNumber(low)) || (!high.empty() && !ShortNumber(high)))
        return false;
    range.min = low.empty() ? 0 : static_cast<int>(ReadDecimal(low));
    range.max = high.empty() ? kRangeOpen : static_cast<int>(ReadDecimal(high));
    return true;
}

// "56-", "56-180", "-1400m"; a single value alone ("1600m") unless `dashed`.
std::string RangeText(const RuleRange& r, std::string_view unit, bool dashed = false)
{
    const std::string u(unit);
    if (r.max == kRangeOpen)
        return Number(r.min) + u + "-";
    if (r.min == r.max && !dashed)
        return Number(r.min) + u;
    if (r.min <= 0)
        return "-" + Number(r.max) + u;
    return Number(r.min) + "-" + Number(r.max) + u;
}

std::string SetText(RuleChoice kind, unsigned mask, std::string_view joiner)
{
    std::string text;
    const auto& names = RuleChoiceNames(kind);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (mask & (1u << i)) {
            if (!text.empty())
                text += joiner;
            text += names[i];
        }
    }
    return text;
}

unsigned FullMask(RuleChoice kind)
{
    return (1u << RuleChoiceNames(kind).size()) - 1;
}

std::string Quoted(std::string_view text)
{
    return SJ("「") + std::string(text) + SJ("」");
}

// What is wrong with the fields of a rule (not its name); empty when sound.
std::string FieldsProblem(const MaximRule& r)
{
    if (r.sexes == 0 || (r.sexes & ~FullMask(RuleChoice::Sex)) != 0)
        return SJ("性別を1つ以上選んでください");
    if (r.start < 1 || r.start > kMaximRuleStartCount)
        return SJ("戦目は1から5です");
    if (r.rest.min < 1)
        return SJ("休養日数の下限は1日以上にしてください");
    if (r.rest.max < r.rest.min)
        return SJ("休養日数の上限が下限より小さくなっています");
    if (r.distance.min < 0 || r.distance.max < r.distance.min)
        return SJ("距離の上限が下限より小さくなっています");
    if (!r.forecastRank.Whole() && r.forecastRank.min < 1)
        return SJ("予配順位の下限は1位以上にしてください");
    if (r.forecastRank.max < r.forecastRank.min)
        return SJ("予配順位の上限が下限より小さくなっています");
    const std::pair<RuleChoice, unsigned> sets[] = {{RuleChoice::Track, r.tracks},
                                                    {RuleChoice::Class, r.classes},
                                                    {RuleChoice::DistanceChange, r.distanceChanges},
                                                    {RuleChoice::Course, r.courses}};
    for (const auto& [kind, mask] : sets)
        if ((mask & ~FullMask(kind)) != 0)
            return KindName(static_cast<int>(kind)) + SJ("の条件に知らない値があります");
    return {};
}

int ChoiceIndex(RuleChoice kind, std::string_view name)
{
    const auto& names = RuleChoiceNames(kind);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return static_cast<int>(i);
    return -1;
}

// Reads one condition into the rule; an empty text on success.
std::string ParseCondition(std::string_view token, MaximRule& rule, bool (&seen)[kRankKind + 1])
{
    auto once = [&](int kind) -> std::string {
        if (seen[kind])
            return KindName(kind) + SJ("の条件が2つあります: ") + Quoted(token) + SJ("（いくつかの値は「・」でつなぎます）");
        seen[kind] = true;
        return {};
    };
    bool ascii = !token.empty();
    bool metres = false;
    for (char c : token) {
        ascii = ascii && ((c >= '0' && c <= '9') || c == '-' || c == 'm');
        metres = metres || c == 'm';
    }
    if (ascii && metres) {
        std::string digits;
        for (char c : token)
            if (c != 'm')
                digits += c;
        bool dash = false;
        RuleRange range;
        if (!ParseRange(digits, range, dash) || range.max == 0)
            return SJ("距離") + Quoted(token) + SJ("は「1600m」「1600-2000m」「1600m-」「-1400m」の形で書いてください");
        if (auto e = once(kDistanceKind); !e.empty())
            return e;
        rule.distance = range;
        return {};
    }
    const std::string& rankWord = SJ("予配順位");
    if (token.substr(0, rankWord.size()) == rankWord) {
        bool dash = false;
        RuleRange range;
        if (!ParseRange(token.substr(rankWord.size()), range, dash) || range.max < 1)
            return SJ("予配順位") + Quoted(token) + SJ("は「予配順位1-3」「予配順位4-」「予配順位-3」の形で書いてください");
        if (auto e = once(kRankKind); !e.empty())
            return e;
        range.min = std::max(range.min, 1);
        rule.forecastRank = range;
        return {};
    }
    // A set: values of one kind joined by "・".
    int kind = -1;
    unsigned mask = 0;
    for (std::string_view part : Split(token, SJ("・"))) {
        part = TrimSpaces(part);
        int found = -1, index = -1;
        for (RuleChoice k : {RuleChoice::Track, RuleChoice::Class, RuleChoice::DistanceChange, RuleChoice::Course}) {
            index = ChoiceIndex(k, part);
            if (index >= 0) {
                found = static_cast<int>(k);
                break;
            }
        }
        if (found < 0)
            return SJ("条件") + Quoted(part.empty() ? token : part)
                + SJ("が分かりません（芝・ダ・障害、距離「1600m」、新馬・未出走・未勝利・1勝・2勝・3勝・オープン、"
                     "距離短縮・同距離・距離延長、予配順位「予配順位1-3」、競馬場の名前のどれかです）");
        if (kind >= 0 && found != kind)
            return SJ("条件") + Quoted(token) + SJ("に種類の違う値が「・」でつながっています");
        kind = found;
        mask |= 1u << index;
    }
    if (auto e = once(kind); !e.empty())
        return e;
    switch (static_cast<RuleChoice>(kind)) {
    case RuleChoice::Track: rule.tracks = mask; break;
    case RuleChoice::Class: rule.classes = mask; break;
    case RuleChoice::DistanceChange: rule.distanceChanges = mask; break;
    case RuleChoice::Course: rule.courses = mask; break;
    case RuleChoice::Sex: break;
    }
    return {};
}

int GapOf(std::string_view text)
{
    const std::string_view trimmed = TrimSpaces(text);
    return trimmed.empty() ? -1 : static_cast<int>(ReadDecimal(trimmed));
}

} // namespace

const std::vector<std::string>& RuleChoiceNames(RuleChoice kind)
{
    static const std::vector<std::string> names[kRuleChoiceCount] = {
        Names({"牡", "牝", "セ"}),
        Names({"芝", "ダ", "障害"}),
        Names({"新馬", "未出走", "未勝利", "1勝", "2勝", "3勝", "オープン"}),
        Names({"距離短縮", "同距離", "距離延長"}),
        Names({"札幌", "函館", "福島", "新潟", "東京", "中山", "中京", "京都", "阪神", "小倉"}),
    };
    return names[static_cast<std::size_t>(kind)];
}

std::string MaximRule::Title() const
{
    return name.empty() ? FormatMaximRule(*this) : name;
}

const std::array<MaximRule, 3>& BuiltInMaximRules()
{
    static const std::array<MaximRule, 3> rules = [] {
        MaximRule male1, male3, female2;
        male1.name = SJ("牡1戦目");
        male1.sexes = 1u << 0;
        male1.start = 1;
        male1.rest = RuleRange {kRestThresholdDays};
        male3 = male1;
        male3.name = SJ("牡3戦目");
        male3.start = 3;
        female2 = male1;
        female2.name = SJ("牝2戦目");
        female2.sexes = 1u << 1;
        female2.start = 2;
        return std::array<MaximRule, 3> {male1, male3, female2};
    }();
    return rules;
}

std::string FormatMaximRule(const MaximRule& r)
{
    std::string text = SetText(RuleChoice::Sex, r.sexes, {}) + "," + Number(r.start) + "," + RangeText(r.rest, {}, true);
    if (r.tracks)
        text += "," + SetText(RuleChoice::Track, r.tracks, SJ("・"));
    if (!r.distance.Whole())
        text += "," + RangeText(r.distance, "m");
    if (r.classes)
        text += "," + SetText(RuleChoice::Class, r.classes, SJ("・"));
    if (r.distanceChanges)
        text += "," + SetText(RuleChoice::DistanceChange, r.distanceChanges, SJ("・"));
    if (!r.forecastRank.Whole())
        text += "," + SJ("予配順位") + RangeText(r.forecastRank, {});
    if (r.courses)
        text += "," + SetText(RuleChoice::Course, r.courses, SJ("・"));
    return text;
}

bool ParseMaximRule(std::string_view text, MaximRule& out, std::string& error)
{
    const std::vector<std::string_view> fields = Split(text, ",");
    if (fields.size() < 3) {
        error = TrimSpaces(text).empty() ? SJ("規則が空です（例: 牡,1,56-）")
                                   : SJ("規則は「性別,戦目,休養日数」で始めてください（例: 牡,1,56-）");
        return false;
    }
    MaximRule rule;
    rule.name = out.name;
    // 性別
    const std::string_view sexes = TrimSpaces(fields[0]);
    rule.sexes = 0;
    for (std::size_t i = 0; i < sexes.size();) {
        const std::size_t len = IsSjisLeadByte(static_cast<unsigned char>(sexes[i])) ? 2 : 1;
        const int index = ChoiceIndex(RuleChoice::Sex, sexes.substr(i, len));
        if (index < 0) {
            rule.sexes = 0;
            break;
        }
        rule.sexes |= 1u << index;
        i += len;
    }
    if (rule.sexes == 0) {
        error = SJ("性別") + Quoted(sexes) + SJ("は牡・牝・セを並べて書いてください（例: 牡牝）");
        return false;
    }
    // 戦目
    std::string_view start = TrimSpaces(fields[1]);
    const std::string& startWord = SJ("戦目");
    if (start.size() > startWord.size() && start.substr(start.size() - startWord.size()) == startWord)
        start.remove_suffix(startWord.size());
    if (start.size() != 1 || start[0] < '1' || start[0] > '0' + kMaximRuleStartCount) {
        error = SJ("戦目") + Quoted(TrimSpaces(fields[1])) + SJ("は1から5で書いてください");
        return false;
    }
    rule.start = start[0] - '0';
    // 休養日数
    const std::string_view rest = TrimSpaces(fields[2]);
    bool dash = false;
    if (!ParseRange(rest, rule.rest, dash) || !dash || rest.front() == '-' || rule.rest.min < 1) {
        error = SJ("休養日数") + Quoted(rest) + SJ("は「56-」（56日以上）か「56-180」（56日から180日）の形で書いてください");
        return false;
    }
    bool seen[kRankKind + 1] = {};
    for (std::size_t f = 3; f < fields.size(); ++f) {
        const std::string_view token = TrimSpaces(fields[f]);
        if (token.empty()) {
            error = SJ("空の条件があります（「,」が続いています）");
            return false;
        }
        if (std::string e = ParseCondition(token, rule, seen); !e.empty()) {
            error = std::move(e);
            return false;
        }
    }
    if (std::string e = FieldsProblem(rule); !e.empty()) {
        error = std::move(e);
        return false;
    }
    out = std::move(rule);
    error.clear();
    return true;
}

std::string ValidateMaximRule(const MaximRule& rule)
{
    if (TrimSpaces(rule.name).empty())
        return SJ("規則の名前を入れてください");
    if (rule.name.size() > kMaximRuleNameLimit)
        return SJ("規則の名前は全角20文字（40バイト）までです");
    if (rule.name.find_first_of("\r\n") != std::string::npos)
        return SJ("規則の名前に改行は使えません");
    return FieldsProblem(rule);
}

RuleRunner RuleRunner::Of(const RaceSlot& slot, int runner)
{
    RuleRunner r;
    const RaceSummary& race = slot.summary;
    const RunnerSummary& s = race.runners[static_cast<std::size_t>(runner)];
    r.sex = s.sexCode == "1" ? 1u : s.sexCode == "2" ? 2u : s.sexCode == "3" ? 4u : 0u;
    r.gaps[0] = GapOf(s.restDays);
    for (int k = 1; k < kMaximRuleStartCount; ++k)
        r.gaps[static_cast<std::size_t>(k)] = GapOf(s.pastRunGaps[static_cast<std::size_t>(k - 1)]);
    const int track = TrackKindOf(race.trackCode);
    r.track = track < 3 ? 1u << track : 0u;
    r.distance = static_cast<int>(ReadDecimal(race.distance));
    for (std::size_t i = 0; i < std::size(kClassCodes); ++i)
        if (race.ageConditionCode == kClassCodes[i])
            r.raceClass = 1u << i;
    const std::string_view code = Mid(race.raceKey, 9, 2);
    const int course = code.size() == 2 && code[0] >= '0' && code[0] <= '9' && code[1] >= '0' && code[1] <= '9'
        ? (code[0] - '0') * 10 + (code[1] - '0')
        : 0;
    r.course = course >= 1 && course <= 10 ? 1u << (course - 1) : 0u;
    r.forecastRank = s.forecastRank;
    r.lastRunKey = s.pastRunKeys[0];
    return r;
}

int StartGapDays(const RuleRunner& runner, int start)
{
    return start >= 1 && start <= kMaximRuleStartCount ? runner.gaps[static_cast<std::size_t>(start - 1)] : -1;
}

bool MaximRuleConditionsHold(const MaximRule& rule, const RuleRunner& r, const PastRaceDistanceFn& pastDistance)
{
    if ((rule.sexes & r.sex) == 0)
        return false;
    if (rule.tracks != 0 && (rule.tracks & r.track) == 0)
        return false;
    if (!rule.distance.Whole() && !rule.distance.Contains(r.distance))
        return false;
    if (rule.classes != 0 && (rule.classes & r.raceClass) == 0)
        return false;
    if (!rule.forecastRank.Whole() && (r.forecastRank <= 0 || !rule.forecastRank.Contains(r.forecastRank)))
        return false;
    if (rule.courses != 0 && (rule.courses & r.course) == 0)
        return false;
    if (rule.distanceChanges != 0) {
        // Looked at last: it may read a race file.
        if (!pastDistance || r.distance <= 0 || TrimSpaces(r.lastRunKey).empty())
            return false;
        const int last = pastDistance(r.lastRunKey);
        if (last <= 0)
            return false;
        const unsigned change = r.distance < last ? 1u : r.distance == last ? 2u : 4u;
        if ((rule.distanceChanges & change) == 0)
            return false;
    }
    return true;
}

bool MaximRuleMatches(const MaximRule& rule, const RuleRunner& runner, const PastRaceDistanceFn& pastDistance)
{
    const int gap = StartGapDays(runner, rule.start);
    return gap >= 0 && rule.rest.Contains(gap) && MaximRuleConditionsHold(rule, runner, pastDistance);
}

int FirstMatchingRule(const std::vector<MaximRule>& rules, const RuleRunner& runner, const PastRaceDistanceFn& pastDistance)
{
    for (std::size_t i = 0; i < rules.size(); ++i)
        if (MaximRuleMatches(rules[i], runner, pastDistance))
            return static_cast<int>(i);
    return -1;
}

} // namespace tervan
