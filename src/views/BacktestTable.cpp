#include "views/BacktestTable.h"

#include "reference/KeibaFunc.h"
#include "reference/FixedRecord.h"
#include "reference/ShiftJis.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace tervan {
namespace {

std::string Number(long long value)
{
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

// A count with a comma between every three digits: "3,732".
std::string Grouped(long long value)
{
    std::string digits = Number(value < 0 ? -value : value);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    return value < 0 ? "-" + digits : digits;
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
    return runners > 0 ? TenthsText(BacktestTenths(value, runners, scale)) : std::string();
}

const std::string& BacktestPlaceRunnersTitle()
{
    static const std::string title = SJ("複勝頭数");
    return title;
}

std::vector<std::string> BacktestRowTexts(std::string_view title, const BacktestTally& t, bool placeRunners)
{
    std::vector<std::string> texts = {
        std::string(title),
        Number(t.runners),
        Number(t.first),
        Number(t.second),
        Number(t.third),
        Number(t.unplaced),
        Number(t.winPayout),
        Number(t.placePayout),
        BacktestRateText(t.first, t.runners, 100),
        BacktestRateText(t.first + t.second, t.runners, 100),
        BacktestRateText(t.placeTop3, t.placeRunners, 100),
        BacktestRateText(t.winPayout, t.runners, 1),
        BacktestRateText(t.placePayout, t.placeRunners, 1),
    };
    if (placeRunners)
        texts.insert(texts.begin() + 2, Number(t.placeRunners));
    return texts;
}

TextGrid TallyGrid(const std::vector<TallyLine>& lines, std::string_view titleColumn, std::string_view leadColumn)
{
    const bool lead = !leadColumn.empty();
    const bool placeRunners =
        std::any_of(lines.begin(), lines.end(), [](const TallyLine& l) { return l.tally.placeRunners != l.tally.runners; });
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> titles;
    if (lead)
        titles.emplace_back(leadColumn);
    titles.insert(titles.end(), BacktestColumnTitles().begin(), BacktestColumnTitles().end());
    titles[lead ? 1 : 0] = std::string(titleColumn);
    if (placeRunners)
        titles.insert(titles.begin() + (lead ? 3 : 2), BacktestPlaceRunnersTitle());
    rows.push_back(std::move(titles));
    for (const TallyLine& line : lines) {
        std::vector<std::string> row;
        if (lead)
            row.push_back(line.lead);
        const auto texts = BacktestRowTexts(line.title, line.tally, placeRunners);
        row.insert(row.end(), texts.begin(), texts.end());
        rows.push_back(std::move(row));
    }
    return TextGrid::FromRows(std::move(rows));
}

TextGrid BacktestGrid(const BacktestResult& result, BacktestBreakdown by)
{
    std::vector<TallyLine> lines;
    auto addGroups = [&](const std::string& lead, const BacktestGroups& groups) {
        for (int g = 0; g < kMaximGroupCount; ++g)
            lines.push_back(TallyLine {lead, MaximGroupName(static_cast<MaximGroup>(g)), groups[static_cast<std::size_t>(g)]});
    };
    if (by == BacktestBreakdown::None) {
        addGroups({}, result.total);
    } else {
        for (const BacktestSection& section : result.Sections(by))
            addGroups(BacktestSectionName(by, section.key), section.groups);
    }
    return TallyGrid(lines, BacktestColumnTitles()[0], BacktestBreakdownTitle(by));
}

std::string BacktestCountsText(const DayScanInfo& result)
{
    std::string text = Grouped(result.days) + SJ("日（") + Grouped(result.meetings) + SJ("開催）") + Grouped(result.races)
        + SJ("レース");
    const int days = result.ProblemDays();
    const int meetings = static_cast<int>(result.problems.size());
    if (meetings > 0) {
        text += SJ("（") + Grouped(days) + SJ("日");
        if (meetings != days)
            text += SJ("（") + Grouped(meetings) + SJ("開催）");
        text += SJ("分を除く）");
    }
    return text;
}

std::string BacktestProblemsText(const DayScanInfo& result, int shown)
{
    if (result.problems.empty())
        return {};
    std::string text = SJ("読めなかった開催 ") + Grouped(static_cast<long long>(result.problems.size())) + SJ("件（集計から除外）: ");
    const int count = static_cast<int>(result.problems.size());
    for (int i = 0; i < count && i < shown; ++i) {
        const BacktestProblem& p = result.problems[static_cast<std::size_t>(i)];
        text += (i > 0 ? SJ("、") : std::string()) + (p.entry.empty() ? SJ("日付一覧") : p.entry);
    }
    if (count > shown)
        text += SJ(" ほか") + Grouped(count - shown) + SJ("件");
    return text;
}

const std::string& BacktestMeasureName(BacktestMeasure measure)
{
    return measure == BacktestMeasure::Win ? SJ("単回値") : SJ("複回値");
}

long long BacktestReturnTenths(const BacktestTally& t, BacktestMeasure m)
{
    return m == BacktestMeasure::Win ? BacktestTenths(t.winPayout, t.runners, 1) : BacktestTenths(t.placePayout, t.placeRunners, 1);
}

std::string BacktestReturnText(const BacktestTally& t, BacktestMeasure m)
{
    return m == BacktestMeasure::Win ? BacktestRateText(t.winPayout, t.runners, 1) : BacktestRateText(t.placePayout, t.placeRunners, 1);
}

ChartColor BacktestMeasureColor(BacktestMeasure measure)
{
    return measure == BacktestMeasure::Win ? ChartColor {0xE0, 0x50, 0x40} : ChartColor {0x40, 0x80, 0xD0};
}

ChartData BacktestChart(const BacktestResult& result, BacktestBreakdown by, BacktestMeasure measure)
{
    static constexpr MaximGroup shown[] = {MaximGroup::Male1, MaximGroup::Male3, MaximGroup::Female2, MaximGroup::All};
    ChartData chart;
    double top = 100;
    auto add = [&top](ChartSeries& series, const BacktestTally& t, BacktestMeasure m) {
        const double value = static_cast<double>(BacktestReturnTenths(t, m)) / 10;
        series.values.push_back(value);
        series.labels.push_back(BacktestReturnText(t, m));
        top = std::max(top, value);
    };
    if (by == BacktestBreakdown::None) {
        chart.title = SJ("単回値・複回値（100で元返し）");
        for (BacktestMeasure m : {BacktestMeasure::Win, BacktestMeasure::Place})
            chart.series.push_back(ChartSeries {.name = BacktestMeasureName(m), .color = BacktestMeasureColor(m)});
        for (MaximGroup g : shown) {
            const BacktestTally& t = result.total[static_cast<std::size_t>(g)];
            chart.groups.push_back(MaximGroupName(g));
            add(chart.series[0], t, BacktestMeasure::Win);
            add(chart.series[1], t, BacktestMeasure::Place);
        }
    } else {
        chart.title = BacktestBreakdownTitle(by) + SJ("別 ") + BacktestMeasureName(measure) + SJ("（100で元返し）");
        static constexpr ChartColor colours[] = {{0x40, 0x80, 0xD0}, {0x50, 0xA8, 0x50}, {0xE0, 0x60, 0x90}, {0x90, 0x90, 0x90}};
        for (std::size_t i = 0; i < std::size(shown); ++i)
            chart.series.push_back(ChartSeries {.name = MaximGroupName(shown[i]), .color = colours[i]});
        for (const BacktestSection& section : result.Sections(by)) {
            chart.groups.push_back(BacktestSectionName(by, section.key));
            for (std::size_t i = 0; i < std::size(shown); ++i)
                add(chart.series[i], section.groups[static_cast<std::size_t>(shown[i])], measure);
        }
    }
    chart.axes.push_back(RoundAxis(0, top * 1.15));
    chart.references.push_back(ChartReference {100, "100", ChartColor {0x20, 0x20, 0x20}});
    return chart;
}

std::string ScanHeading(std::string_view title, const DayScanInfo& scan, std::string_view what)
{
    std::string heading(title);
    if (!scan.cancelled || scan.covered.to > 0)
        heading += " " + DateText(scan.covered.from) + "-" + DateText(scan.covered.to);
    if (!what.empty())
        heading += " " + std::string(what);
    if (scan.cancelled)
        heading += " " + SJ("中止");
    if (!scan.problems.empty())
        heading += " " + Grouped(std::max(scan.ProblemDays(), 1)) + SJ("日分を除く");
    return heading;
}

std::string BacktestHeading(const BacktestResult& result, BacktestBreakdown by)
{
    return ScanHeading(SJ("格言成績"), result, by == BacktestBreakdown::None ? std::string() : BacktestBreakdownTitle(by) + SJ("別"));
}

} // namespace tervan
