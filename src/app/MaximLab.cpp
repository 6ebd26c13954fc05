#include "app/MaximLab.h"

namespace tervan {

std::vector<int> LabSweepValues(LabSweepKind)
{
    return {};
}

MaximRule LabSweepStepRule(const MaximRule& rule, LabSweepKind, int)
{
    return rule;
}

PastRaceDistances::PastRaceDistances(std::string base)
    : dataFolder_(std::move(base))
{
}

int PastRaceDistances::operator()(std::string_view)
{
    return 0;
}

LabResult RunLab(const std::string&, const std::vector<MaximRule>& rules, const BacktestRange& range,
                 const BacktestProgressFn&, const std::atomic<bool>*)
{
    LabResult result;
    result.range = range;
    result.rules = rules;
    result.tallies.resize(rules.size());
    return result;
}

LabSweepResult RunLabSweep(const std::string&, const MaximRule& rule, LabSweepKind kind, const BacktestRange& range,
                           const BacktestProgressFn&, const std::atomic<bool>*)
{
    LabSweepResult result;
    result.range = range;
    result.rule = rule;
    result.kind = kind;
    return result;
}

} // namespace tervan
