// What a chart shows, worked out before anything is drawn: the groups along
// the bottom, the series with one value and one value text per group, the
// value axis with its ticks, and reference lines across the plot. The chart
// widget only paints this; every number and every text on it comes from here.
//
// A series is drawn against the value axis its `axis` names (0, the one on
// the left; 1, a second one on the right): bars stand side by side within
// each group, a line joins the values at the middle of each group, in front
// of the bars. Every text is CP932.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tervan {

struct ChartColor {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const ChartColor&) const = default;
};

enum class ChartSeriesKind { Bars, Line };

struct ChartSeries {
    std::string name;                   // its legend text
    ChartColor color;
    ChartSeriesKind kind = ChartSeriesKind::Bars;
    int axis = 0;                       // index into ChartData::axes
    std::vector<double> values {};      // one per group; NaN: no value (no bar, a break in a line)
    std::vector<std::string> labels {}; // the text printed at each value; an empty text prints nothing
};

struct ChartTick {
    double value = 0;
    std::string label;
    bool operator==(const ChartTick&) const = default;
};

// A value axis: the range the plot spans and the ticks within it.
struct ChartAxis {
    std::string title; // printed above the axis; may be empty
    double min = 0;
    double max = 1;
    std::vector<ChartTick> ticks;
};

// A line across the plot at one value of an axis, named in the legend.
struct ChartReference {
    double value = 0;
    std::string name;
    ChartColor color;
    int axis = 0;
};

struct ChartData {
    std::string title;
    std::vector<std::string> groups; // the texts along the bottom, left to right
    std::vector<ChartSeries> series;
    std::vector<ChartAxis> axes;     // axes[0] on the left, axes[1] (if any) on the right
    std::vector<ChartReference> references;
    std::string emptyText;           // printed in the plot when there are no groups

    bool Empty() const { return groups.empty() || series.empty(); }
};

// A value given in tenths with one decimal and no grouping, whatever the
// locale: 982 -> "98.2", 1000 -> "100.0", -5 -> "-0.5".
std::string TenthsText(long long tenths);

// An axis from 0 (or `low` when it is below 0) to a round number at or above
// `high`, with about `wanted` steps of 1, 2 or 5 times a power of ten; tick
// texts carry as many decimals as the step needs.
ChartAxis RoundAxis(double low, double high, int wanted = 5);

} // namespace tervan
