#include "app/MaximLab.h"

#include "acquisition/JVData_Structure.h"
#include "acquisition/StoredFiles.h"
#include "platform/FileSystem.h"
#include "reference/FixedRecord.h"

#include <algorithm>
#include <exception>

namespace tervan {
namespace {

constexpr int kSweepRestFirst = 28;
constexpr int kSweepRestLast = 364;
constexpr int kSweepRestStep = 7;

// Hands every counted runner of a loaded day, with its outcome, to `count`.
template <typename CountFn>
void ForEachRuleRunner(const RaceDay& day, CountFn&& count)
{
    ForEachCountedRunner(
        day, [](const RaceSlot&) {},
        [&count](const RaceSlot& slot, int i, const RunnerOutcome& o) { count(RuleRunner::Of(slot, i), o); });
}

bool NeedsPastRaces(const MaximRule& rule)
{
    return rule.distanceChanges != 0;
}

} // namespace

std::vector<int> LabSweepValues(LabSweepKind kind)
{
    std::vector<int> values;
    if (kind == LabSweepKind::Rest) {
        for (int v = kSweepRestFirst; v <= kSweepRestLast; v += kSweepRestStep)
            values.push_back(v);
    } else {
        for (int v = 1; v <= kMaximRuleStartCount; ++v)
            values.push_back(v);
    }
    return values;
}

MaximRule LabSweepStepRule(const MaximRule& rule, LabSweepKind kind, int value)
{
    MaximRule step = rule;
    if (kind == LabSweepKind::Rest)
        step.rest.min = value;
    else
        step.start = value;
    return step;
}

PastRaceDistances::PastRaceDistances(std::string base)
    : dataFolder_(DataFolder(base))
{
}

int PastRaceDistances::operator()(std::string_view raceKey)
{
    if (raceKey.size() < 16 || TrimSpaces(raceKey).empty())
        return 0;
    const int race = static_cast<int>(ReadDecimal(raceKey.substr(14, 2)));
    if (race < 1 || race > kRaceCapacity)
        return 0;
    const std::string file(raceKey.substr(0, 10)); // date and racecourse
    auto it = files_.find(file);
    if (it == files_.end()) {
        std::array<int, kRaceCapacity + 1> distances {};
        // A race key stands at the same bytes of every stored record.
        const std::string record = std::string(JVData::kRaceKey.pos - 1, ' ') + std::string(raceKey);
        std::string contents;
        bool read = false;
        try {
            read = fs::ReadFile(fs::Join(dataFolder_, RaceFileName(record)), contents);
        } catch (const std::exception&) {
            read = false;
        }
        if (read) {
            for (std::string_view line : SplitLines(contents)) {
                const long long number = ReadDecimal(JVData::Get(line, JVData::kRaceNumber));
                if (number >= 1 && number <= kRaceCapacity)
                    distances[static_cast<std::size_t>(number)] = static_cast<int>(ReadDecimal(JVData::Get(line, JVData::RA::kDistance)));
            }
        }
        it = files_.emplace(file, distances).first;
    }
    return it->second[static_cast<std::size_t>(race)];
}

LabResult RunLab(const std::string& base, const std::vector<MaximRule>& rules, const BacktestRange& range,
                 const BacktestProgressFn& progress, const std::atomic<bool>* cancel)
{
    LabResult result;
    result.range = range;
    result.rules = rules;
    result.tallies.resize(rules.size());
    PastRaceDistances past(base);
    PastRaceDistanceFn pastDistance;
    if (std::any_of(rules.begin(), rules.end(), NeedsPastRaces))
        pastDistance = [&past](std::string_view key) { return past(key); };
    ScanStoredDays(
        base, result,
        [&](const RaceDay& day) {
            ForEachRuleRunner(day, [&](const RuleRunner& runner, const RunnerOutcome& o) {
                AddOutcome(result.all, o);
                for (std::size_t k = 0; k < rules.size(); ++k)
                    if (MaximRuleMatches(rules[k], runner, pastDistance))
                        AddOutcome(result.tallies[k], o);
            });
        },
        progress, cancel);
    return result;
}

LabSweepResult RunLabSweep(const std::string& base, const MaximRule& rule, LabSweepKind kind, const BacktestRange& range,
                           const BacktestProgressFn& progress, const std::atomic<bool>* cancel)
{
    LabSweepResult result;
    result.range = range;
    result.rule = rule;
    result.kind = kind;
    const std::vector<int> values = LabSweepValues(kind);
    // Rest: bucket k holds the runners whose gap reaches step k but not
    // k + 1; a step counts its bucket and every later one. Start: bucket k
    // is step k.
    std::vector<BacktestTally> buckets(values.size());
    PastRaceDistances past(base);
    PastRaceDistanceFn pastDistance;
    if (NeedsPastRaces(rule))
        pastDistance = [&past](std::string_view key) { return past(key); };
    const int lastBucket = static_cast<int>(values.size()) - 1;
    ScanStoredDays(
        base, result,
        [&](const RaceDay& day) {
            ForEachRuleRunner(day, [&](const RuleRunner& runner, const RunnerOutcome& o) {
                if (kind == LabSweepKind::Rest) {
                    const int gap = StartGapDays(runner, rule.start);
                    if (gap < kSweepRestFirst || gap > rule.rest.max || !MaximRuleConditionsHold(rule, runner, pastDistance))
                        return;
                    AddOutcome(buckets[static_cast<std::size_t>(std::min((gap - kSweepRestFirst) / kSweepRestStep, lastBucket))], o);
                    return;
                }
                bool conditions = false, asked = false;
                for (int start = 1; start <= kMaximRuleStartCount; ++start) {
                    const int gap = StartGapDays(runner, start);
                    if (gap < 0 || !rule.rest.Contains(gap))
                        continue;
                    if (!asked) {
                        conditions = MaximRuleConditionsHold(rule, runner, pastDistance);
                        asked = true;
                    }
                    if (conditions)
                        AddOutcome(buckets[static_cast<std::size_t>(start - 1)], o);
                }
            });
        },
        progress, cancel);
    if (kind == LabSweepKind::Rest)
        for (int k = lastBucket - 1; k >= 0; --k)
            buckets[static_cast<std::size_t>(k)] += buckets[static_cast<std::size_t>(k + 1)];
    for (std::size_t s = 0; s < values.size(); ++s)
        result.steps.push_back(LabSweepStep {values[s], buckets[s]});
    return result;
}

} // namespace tervan
