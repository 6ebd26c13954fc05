#include "views/LabTable.h"

#include "reference/ShiftJis.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tervan {
namespace {

// Value texts stand at every point of a sweep of this many steps or fewer.
constexpr std::size_t kLabelledSteps = 12;

} // namespace

TextGrid LabGrid(const LabResult& result)
{
    std::vector<TallyLine> lines;
    for (std::size_t k = 0; k < result.rules.size() && k < result.tallies.size(); ++k)
        lines.push_back(TallyLine {{}, result.rules[k].Title(), result.tallies[k]});
    lines.push_back(TallyLine {{}, MaximGroupName(MaximGroup::All), result.all});
    return TallyGrid(lines, SJ("規則"));
}

std::string LabHeading(const LabResult& result)
{
    return ScanHeading(SJ("格言ラボ"), result, {});
}

std::string LabSweepTitle(LabSweepKind kind)
{
    return kind == LabSweepKind::Rest ? SJ("最短休養") : SJ("戦目");
}

std::string LabSweepValueText(LabSweepKind kind, int value)
{
    return std::to_string(value) + (kind == LabSweepKind::Rest ? SJ("日") : SJ("戦目"));
}

TextGrid LabSweepGrid(const LabSweepResult& result)
{
    std::vector<TallyLine> lines;
    for (const LabSweepStep& step : result.steps)
        lines.push_back(TallyLine {{}, LabSweepValueText(result.kind, step.value), step.tally});
    return TallyGrid(lines, LabSweepTitle(result.kind));
}

std::string LabSweepHeading(const LabSweepResult& result)
{
    return ScanHeading(SJ("格言ラボ ") + result.rule.Title(), result, LabSweepTitle(result.kind) + SJ("別"));
}

ChartData LabSweepChart(const LabSweepResult& result)
{
    ChartData chart;
    chart.title = result.rule.Title() + " " + LabSweepTitle(result.kind) + SJ("別 単回値・複回値（100で元返し）");
    ChartSeries runners {.name = SJ("頭数"), .color = ChartColor {0xC8, 0xC8, 0xC8}, .kind = ChartSeriesKind::Bars, .axis = 1};
    std::vector<ChartSeries> lines;
    for (BacktestMeasure m : {BacktestMeasure::Win, BacktestMeasure::Place})
        lines.push_back(ChartSeries {.name = BacktestMeasureName(m), .color = BacktestMeasureColor(m), .kind = ChartSeriesKind::Line});
    const bool labelled = result.steps.size() <= kLabelledSteps;
    double top = 100, most = 0;
    for (const LabSweepStep& step : result.steps) {
        chart.groups.push_back(LabSweepValueText(result.kind, step.value));
        runners.values.push_back(static_cast<double>(step.tally.runners));
        runners.labels.emplace_back();
        most = std::max(most, static_cast<double>(step.tally.runners));
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const auto m = static_cast<BacktestMeasure>(i);
            const bool some = (m == BacktestMeasure::Win ? step.tally.runners : step.tally.placeRunners) > 0;
            // A step without runners has no value: the line breaks there.
            const double value = some ? static_cast<double>(BacktestReturnTenths(step.tally, m)) / 10
                                      : std::numeric_limits<double>::quiet_NaN();
            lines[i].values.push_back(value);
            lines[i].labels.push_back(labelled ? BacktestReturnText(step.tally, m) : std::string());
            if (some)
                top = std::max(top, value);
        }
    }
    chart.series.push_back(std::move(runners));
    for (ChartSeries& s : lines)
        chart.series.push_back(std::move(s));
    chart.axes.push_back(RoundAxis(0, top * 1.15));
    chart.axes.push_back(RoundAxis(0, std::max(most, 1.0) * 1.15));
    chart.axes[1].title = SJ("頭数");
    chart.references.push_back(ChartReference {100, "100", ChartColor {0x20, 0x20, 0x20}});
    chart.emptyText = SJ("計算するとここに表示します");
    return chart;
}

} // namespace tervan
