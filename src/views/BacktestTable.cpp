#include "views/BacktestTable.h"

#include "reference/KeibaFunc.h"
#include "reference/FixedRecord.h"
#include "reference/ShiftJis.h"

#include <algorithm>
#include <charconv>

namespace tervan {
namespace {

std::string Number(long long value)
{
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

std::string DateText(long date)
{
    return date > 0 ? Number(date) : std::string();
}

} // namespace

const std::array<std::string, kBacktestColumnCount>& BacktestColumnTitles()
{
    static const std::array<std::string, kBacktestColumnCount> titles = {
        SJ("格言"), SJ("頭数"), SJ("1着"), SJ("2着"), SJ("3着"), SJ("着外"), SJ("単勝払戻"),
        SJ("複勝払戻"), SJ("勝率"), SJ("連対率"), SJ("複勝率"), SJ("単回値"), SJ("複回値"),
    };
    return titles;
}

const std::string& MaximGroupName(MaximGroup group)
{
    static const std::array<std::string, kMaximGroupCount> names = {
        SJ("牡1戦目"), SJ("牡3戦目"), SJ("牝2戦目"), SJ("該当なし"), SJ("全体"),
    };
    return names[static_cast<std::size_t>(group)];
}

const std::string& BacktestBreakdownTitle(BacktestBreakdown by)
{
    static const std::array<std::string, kBacktestBreakdownCount> titles = {
        std::string(), SJ("年"), SJ("競馬場"), SJ("トラック"), SJ("距離"), SJ("予配順位"),
    };
    return titles[static_cast<std::size_t>(by)];
}

std::string BacktestSectionName(BacktestBreakdown by, int key)
{
    auto pick = [key](std::initializer_list<const char*> names) {
        const auto index = static_cast<std::size_t>(key);
        return index < names.size() ? Utf8ToCp932(*(names.begin() + index)) : std::string();
    };
    switch (by) {
    case BacktestBreakdown::None: return {};
    case BacktestBreakdown::Year: return Number(key);
    case BacktestBreakdown::Course: {
        const std::string code {static_cast<char>(key / 256), static_cast<char>(key % 256)};
        const std::string name(TrimSpaces(KeibaFunc::CourseName(code, 2)));
        return name.empty() ? code : name;
    }
    case BacktestBreakdown::Track: return pick({"芝", "ダ", "障", "他"});
    case BacktestBreakdown::Distance: return pick({"1400m以下", "1401-1800m", "1801-2200m", "2201m以上", "不明"});
    case BacktestBreakdown::Rank: return pick({"1-3位", "4-6位", "7位以下", "なし"});
    }
    return {};
}

long long BacktestTenths(long long value, long long runners, long long scale)
{
    // (2 * 10 * scale * value + runners) / (2 * runners): half a tenth up.
    return runners > 0 ? (20 * scale * value + runners) / (2 * runners) : 0;
}

std::string BacktestRateText(long long value, long long runners, long long scale)
{
    if (runners <= 0)
        return {};
    const long long tenths = BacktestTenths(value, runners, scale);
    return Number(tenths / 10) + "." + Number(tenths % 10);
}

std::array<std::string, kBacktestColumnCount> BacktestRowTexts(MaximGroup group, const BacktestTally& t)
{
    return {
        MaximGroupName(group),
        Number(t.runners),
        Number(t.first),
        Number(t.second),
        Number(t.third),
        Number(t.unplaced),
        Number(t.winPayout),
        Number(t.placePayout),
        BacktestRateText(t.first, t.runners, 100),
        BacktestRateText(t.first + t.second, t.runners, 100),
        BacktestRateText(t.first + t.second + t.third, t.runners, 100),
        BacktestRateText(t.winPayout, t.runners, 1),
        BacktestRateText(t.placePayout, t.runners, 1),
    };
}

TextGrid BacktestGrid(const BacktestResult& result, BacktestBreakdown by)
{
    const bool broken = by != BacktestBreakdown::None;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> titles;
    if (broken)
        titles.push_back(BacktestBreakdownTitle(by));
    titles.insert(titles.end(), BacktestColumnTitles().begin(), BacktestColumnTitles().end());
    rows.push_back(std::move(titles));
    auto addGroups = [&](const std::string* name, const BacktestGroups& groups) {
        for (int g = 0; g < kMaximGroupCount; ++g) {
            std::vector<std::string> row;
            if (name != nullptr)
                row.push_back(*name);
            const auto texts = BacktestRowTexts(static_cast<MaximGroup>(g), groups[static_cast<std::size_t>(g)]);
            row.insert(row.end(), texts.begin(), texts.end());
            rows.push_back(std::move(row));
        }
    };
    if (!broken) {
        addGroups(nullptr, result.total);
    } else {
        for (const BacktestSection& section : result.Sections(by)) {
            const std::string name = BacktestSectionName(by, section.key);
            addGroups(&name, section.groups);
        }
    }
    return TextGrid::FromRows(std::move(rows));
}

ChartData BacktestChart(const BacktestResult& result)
{
    ChartData chart;
    chart.title = SJ("単回値・複回値（100で元返し）");
    ChartSeries win {.name = SJ("単回値"), .color = ChartColor {0xE0, 0x50, 0x40}};
    ChartSeries place {.name = SJ("複回値"), .color = ChartColor {0x40, 0x80, 0xD0}};
    double top = 100;
    for (MaximGroup g : {MaximGroup::Male1, MaximGroup::Male3, MaximGroup::Female2, MaximGroup::All}) {
        const BacktestTally& t = result.total[static_cast<std::size_t>(g)];
        chart.groups.push_back(MaximGroupName(g));
        for (auto [series, paid] : {std::pair {&win, t.winPayout}, std::pair {&place, t.placePayout}}) {
            const double value = static_cast<double>(BacktestTenths(paid, t.runners, 1)) / 10;
            series->values.push_back(value);
            series->labels.push_back(BacktestRateText(paid, t.runners, 1));
            top = std::max(top, value);
        }
    }
    chart.series = {std::move(win), std::move(place)};
    chart.axes.push_back(RoundAxis(0, top * 1.15));
    chart.references.push_back(ChartReference {100, "100", ChartColor {0x20, 0x20, 0x20}});
    return chart;
}

std::string BacktestHeading(const BacktestRange& range, BacktestBreakdown by)
{
    std::string heading = SJ("格言成績") + " " + DateText(range.from) + "-" + DateText(range.to);
    if (by != BacktestBreakdown::None)
        heading += " " + BacktestBreakdownTitle(by) + SJ("別");
    return heading;
}

} // namespace tervan
