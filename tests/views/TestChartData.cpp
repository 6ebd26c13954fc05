// The chart's data: round axes, value texts with one decimal, and the
// 格言成績 chart built from the same figures as its table.
#include "views/ChartData.h"

#include "reference/ShiftJis.h"
#include "views/BacktestTable.h"

#include <gtest/gtest.h>

namespace tervan {
namespace {

std::vector<double> TickValues(const ChartAxis& axis)
{
    std::vector<double> values;
    for (const ChartTick& t : axis.ticks)
        values.push_back(t.value);
    return values;
}

std::vector<std::string> TickTexts(const ChartAxis& axis)
{
    std::vector<std::string> texts;
    for (const ChartTick& t : axis.ticks)
        texts.push_back(t.label);
    return texts;
}

TEST(ChartData, RoundAxesAndTexts)
{
    // 100 * 1.15: steps of 20 up to 120; a taller top takes steps of 50.
    ChartAxis axis = RoundAxis(0, 115);
    EXPECT_EQ(axis.min, 0);
    EXPECT_EQ(axis.max, 120);
    EXPECT_EQ(TickTexts(axis), (std::vector<std::string> {"0", "20", "40", "60", "80", "100", "120"}));
    axis = RoundAxis(0, 281.75);
    EXPECT_EQ(axis.max, 300);
    EXPECT_EQ(TickValues(axis), (std::vector<double> {0, 50, 100, 150, 200, 250, 300}));
    // Small spans keep the decimals their step needs; a span below zero starts on a step.
    EXPECT_EQ(TickTexts(RoundAxis(0, 0.9)), (std::vector<std::string> {"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}));
    axis = RoundAxis(-30, 90);
    EXPECT_EQ(axis.min, -40);
    EXPECT_EQ(TickTexts(axis).front(), "-40");
    EXPECT_EQ(RoundAxis(0, 0).max, 1);

    EXPECT_EQ(TenthsText(982), "98.2");
    EXPECT_EQ(TenthsText(1000), "100.0");
    EXPECT_EQ(TenthsText(-5), "-0.5");
}

TEST(ChartData, BacktestChartShowsTheTablesPayoutRates)
{
    BacktestResult r;
    r.total[static_cast<std::size_t>(MaximGroup::Male1)] = BacktestTally {3, 1, 1, 1, 0, 250, 3, 3, 760};
    r.total[static_cast<std::size_t>(MaximGroup::All)] = BacktestTally {11, 4, 2, 3, 2, 1080, 11, 9, 2250};
    const ChartData chart = BacktestChart(r);
    std::vector<std::string> groups;
    for (const std::string& g : chart.groups)
        groups.push_back(Cp932ToUtf8(g));
    EXPECT_EQ(groups, (std::vector<std::string> {"牡1戦目", "牡3戦目", "牝2戦目", "全体"}));
    ASSERT_EQ(chart.series.size(), 2u);
    EXPECT_EQ(Cp932ToUtf8(chart.series[0].name), "単回値");
    EXPECT_EQ(Cp932ToUtf8(chart.series[1].name), "複回値");
    // The texts of the table's 単回値 and 複回値 columns; a group without runners has a bar of 0 and no text.
    const TextGrid table = BacktestGrid(r, BacktestBreakdown::None);
    const int rows[] = {1, 2, 3, 5};
    for (std::size_t g = 0; g < 4; ++g) {
        EXPECT_EQ(chart.series[0].labels[g], table.Cell(11, rows[g])) << g;
        EXPECT_EQ(chart.series[1].labels[g], table.Cell(12, rows[g])) << g;
    }
    EXPECT_EQ(chart.series[1].labels[0], "253.3");
    EXPECT_DOUBLE_EQ(chart.series[1].values[0], 253.3);
    EXPECT_EQ(chart.series[0].values[1], 0);
    EXPECT_EQ(chart.series[0].labels[1], "");
    // The line at 100, and room above the tallest bar.
    ASSERT_EQ(chart.references.size(), 1u);
    EXPECT_EQ(chart.references[0].value, 100);
    ASSERT_EQ(chart.axes.size(), 1u);
    EXPECT_EQ(chart.axes[0].max, 300);
}

} // namespace
} // namespace tervan
