#include "app/Settings.h"

#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"

#include <algorithm>

namespace tervan {

using namespace SettingsKey;

std::string SettingsFilePath(std::string_view base, std::string_view executableStem)
{
    return fs::Join(base, std::string(executableStem) + ".ini");
}

Settings::Settings(std::string base, std::string_view executableStem)
    : m_base(std::move(base))
    , m_ini(SettingsFilePath(m_base, executableStem))
{
}

WindowGeometry Settings::ReadLocate() const
{
    const WindowGeometry def;
    WindowGeometry g;
    g.top = m_ini.ReadInteger(kLocate, kTop, def.top);
    g.left = m_ini.ReadInteger(kLocate, kLeft, def.left);
    g.width = m_ini.ReadInteger(kLocate, kWidth, def.width);
    g.height = m_ini.ReadInteger(kLocate, kHeight, def.height);
    return g;
}

void Settings::WriteLocate(const WindowGeometry& g)
{
    m_ini.WriteInteger(kLocate, kTop, g.top);
    m_ini.WriteInteger(kLocate, kLeft, g.left);
    m_ini.WriteInteger(kLocate, kWidth, g.width);
    m_ini.WriteInteger(kLocate, kHeight, g.height);
}

bool Settings::ReadDataListClose() const
{
    return m_ini.ReadBool(kDataList, kClose, false);
}

void Settings::WriteDataListClose(bool close)
{
    m_ini.WriteBool(kDataList, kClose, close);
}

std::string Settings::DefaultYosoDir() const
{
    return fs::Join(m_base, "ylzh");
}

std::string Settings::ReadYosoDir() const
{
    return m_ini.ReadString(kDir, kYoso, DefaultYosoDir());
}

void Settings::WriteYosoDir(std::string_view dir)
{
    m_ini.WriteString(kDir, kYoso, dir);
}

std::string Settings::DefaultLastTime(const DateTime& now)
{
    return FormatSlashed(AddDays(now, -8));
}

std::string Settings::ReadLastTime(const DateTime& now) const
{
    return m_ini.ReadString(kJvDataGet, kLastTime, DefaultLastTime(now));
}

DateTime Settings::ReadLastTimeValue(const DateTime& now) const
{
    if (auto t = ParseSlashed(ReadLastTime(now)))
        return *t;
    return AddDays(now, -8);
}

void Settings::WriteLastTime(std::string_view text)
{
    m_ini.WriteString(kJvDataGet, kLastTime, text);
}

void Settings::WriteLastTime(const DateTime& t)
{
    WriteLastTime(FormatSlashed(t));
}

namespace {

std::string Numbered(std::string_view key, int number)
{
    return std::string(key) + std::to_string(number);
}

} // namespace

SavedMaximRules Settings::ReadMaximRules() const
{
    SavedMaximRules saved;
    for (int i = 1; i <= kMaximRuleLimit; ++i) {
        const std::string name = m_ini.ReadString(kMaximLab, Numbered(kName, i), "");
        const std::string text = m_ini.ReadString(kMaximLab, Numbered(kRule, i), "");
        if (name.empty() && text.empty())
            continue;
        MaximRule rule;
        rule.name = name;
        std::string problem;
        if (ParseMaximRule(text, rule, problem))
            problem = ValidateMaximRule(rule);
        if (problem.empty())
            saved.rules.push_back(std::move(rule));
        else
            saved.problems.push_back(SJ("格言ラボの規則") + std::to_string(i) + SJ("「") + name + SJ("」を読めません: ") + problem);
    }
    return saved;
}

void Settings::WriteMaximRules(const std::vector<MaximRule>& rules)
{
    // One rewrite: a failure leaves the saved rules as they were, never a
    // name of one list beside the rule of another.
    const int count = std::min(static_cast<int>(rules.size()), kMaximRuleLimit);
    std::vector<std::pair<std::string, std::optional<std::string>>> values;
    for (int i = 1; i <= kMaximRuleLimit; ++i) {
        const std::string nameKey = Numbered(kName, i), ruleKey = Numbered(kRule, i);
        if (i <= count) {
            const MaximRule& rule = rules[static_cast<std::size_t>(i - 1)];
            values.emplace_back(nameKey, rule.name);
            values.emplace_back(ruleKey, FormatMaximRule(rule));
        } else {
            values.emplace_back(nameKey, std::nullopt);
            values.emplace_back(ruleKey, std::nullopt);
        }
    }
    m_ini.WriteStrings(kMaximLab, values);
}

} // namespace tervan
