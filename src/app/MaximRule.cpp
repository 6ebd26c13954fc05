#include "app/MaximRule.h"

namespace tervan {

const std::vector<std::string>& RuleChoiceNames(RuleChoice)
{
    static const std::vector<std::string> none;
    return none;
}

std::string MaximRule::Title() const
{
    return name.empty() ? FormatMaximRule(*this) : name;
}

const std::array<MaximRule, 3>& BuiltInMaximRules()
{
    static const std::array<MaximRule, 3> rules {};
    return rules;
}

std::string FormatMaximRule(const MaximRule&)
{
    return {};
}

bool ParseMaximRule(std::string_view, MaximRule&, std::string& error)
{
    error = "not yet";
    return false;
}

std::string ValidateMaximRule(const MaximRule&)
{
    return {};
}

RuleRunner RuleRunner::Of(const RaceSlot&, int)
{
    return {};
}

int StartGapDays(const RuleRunner&, int)
{
    return -1;
}

bool MaximRuleConditionsHold(const MaximRule&, const RuleRunner&, const PastRaceDistanceFn&)
{
    return false;
}

bool MaximRuleMatches(const MaximRule&, const RuleRunner&, const PastRaceDistanceFn&)
{
    return false;
}

int FirstMatchingRule(const std::vector<MaximRule>&, const RuleRunner&, const PastRaceDistanceFn&)
{
    return -1;
}

} // namespace tervan
