// 格言ラボ: how the runners of the user's own rules have done over the stored
// days, and how that changes as the shortest rest or the start is varied.
//
// The days are scanned as 格言成績 scans them (ScanStoredDays) and the
// runners are counted by its rules (CountedOutcome): the same races, the
// same runners left out, the same payouts. Each rule is tallied on its own,
// so a runner counts under every rule it matches; "全体" counts every
// counted runner once.
//
// The race files of past runs are read only for rules with a 距離変化
// condition, each at most once per scan.
#pragma once

#include "app/Backtest.h"
#include "app/MaximRule.h"

#include <atomic>
#include <array>
#include <map>
#include <string>
#include <vector>

namespace tervan {

struct LabResult : DayScanInfo {
    std::vector<MaximRule> rules;        // as run
    std::vector<BacktestTally> tallies;  // one per rule, in the same order
    BacktestTally all;                   // 全体: every counted runner
};

// What a sweep varies.
enum class LabSweepKind {
    Rest,  // the shortest rest: 28 to 364 days in steps of 7
    Start, // the start after the rest: 1 to 5
};

struct LabSweepStep {
    int value = 0;       // the shortest rest in days, or the start
    BacktestTally tally;
};

struct LabSweepResult : DayScanInfo {
    MaximRule rule;                   // as chosen; its value of the varied field is not used
    LabSweepKind kind = LabSweepKind::Rest;
    std::vector<LabSweepStep> steps;  // in the order of LabSweepValues
};

// The values a sweep steps through: 28, 35, ..., 364 or 1, ..., 5.
std::vector<int> LabSweepValues(LabSweepKind kind);

// The rule of one sweep step: the shortest rest or the start set to value.
MaximRule LabSweepStepRule(const MaximRule& rule, LabSweepKind kind, int value);

// The distances of stored races by RaceKey, from the race files of the data
// folder; each race file is read once and kept. A race file that is missing
// or cannot be read gives 0 for its races.
class PastRaceDistances {
public:
    explicit PastRaceDistances(std::string base);
    int operator()(std::string_view raceKey);

private:
    std::string dataFolder_;
    // DayCourseStem of a race file -> distance by race number 1-12 (index 0 unused).
    std::map<std::string, std::array<int, kRaceCapacity + 1>> files_;
};

// Every rule over the stored days of `base` in the range, oldest day first;
// progress, cancel and the days left out as in RunBacktest.
LabResult RunLab(const std::string& base, const std::vector<MaximRule>& rules, const BacktestRange& range,
                 const BacktestProgressFn& progress = {}, const std::atomic<bool>* cancel = nullptr);

// One rule at every step of the sweep, in one pass over the days: each
// step's tally equals RunLab of LabSweepStepRule at that step.
LabSweepResult RunLabSweep(const std::string& base, const MaximRule& rule, LabSweepKind kind, const BacktestRange& range,
                           const BacktestProgressFn& progress = {}, const std::atomic<bool>* cancel = nullptr);

} // namespace tervan
