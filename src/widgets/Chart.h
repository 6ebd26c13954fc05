// TChart: paints a ChartData as it stands: the title, a legend of its
// series and reference lines, the value axis with its ticks and grid lines
// (and a second axis on the right, with its title above it, when the data
// has one), the bars of every group side by side with their value texts
// above them (turned upright when a bar is too narrow for its text), the
// lines through the middle of the groups with a dot at each value, the
// reference lines across the plot and the group texts below it (every
// second, third, ... one when they do not fit side by side). It computes
// nothing but pixels: the values, the axes and every text come with the data.
#pragma once

#include "views/ChartData.h"

#include <QRectF>
#include <QWidget>

namespace tervan {

class TChart : public QWidget {
    Q_OBJECT
public:
    explicit TChart(QWidget* parent = nullptr);

    void SetData(ChartData data);
    const ChartData& Data() const { return data_; }

    // Where things are painted at the present size: the plot (inside the
    // axes), the bar of series s in group g (empty for a value at the axis'
    // foot), and the height of a value of an axis.
    QRectF PlotRect() const;
    QRectF BarRect(int series, int group) const;
    // The point of a line series' value in group g: the middle of the group
    // at the value's height; null for a bar series or a group without value.
    QPointF PointOf(int series, int group) const;
    double YOf(double value, int axis = 0) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ChartAxis& Axis(int index) const;
    int HeadHeight() const;
    int TickWidth(int axis) const;
    // Series s when it is of that kind and has a value in group g, else null.
    const ChartSeries* SeriesValue(int series, int group, ChartSeriesKind kind) const;
    bool AxisTitles() const;
    // BarRect, PointOf and YOf in a plot already measured (painting measures it once).
    QRectF BarIn(const QRectF& plot, int series, int group) const;
    QPointF PointIn(const QRectF& plot, int series, int group) const;
    double YIn(const QRectF& plot, double value, int axis = 0) const;

    ChartData data_;
};

} // namespace tervan
