#include "widgets/Chart.h"

#include "widgets/Fonts.h"
#include "widgets/Text.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace tervan {
namespace {

constexpr int kFrame = 10;  // between the widget's edge and the white panel
constexpr int kMargin = 24; // between the widget's edge and what is drawn on the panel
constexpr int kGap = 6;
constexpr int kSwatch = 10;
constexpr double kBarsShare = 0.5; // of a group's width; the rest is space between groups

QColor Colour(const ChartColor& c)
{
    return QColor(c.red, c.green, c.blue);
}

QFont TitleFont()
{
    return GothicFont(13, true);
}

QFont TextFont()
{
    return GothicFont(12);
}

QFont ValueFont()
{
    return GothicFont(11);
}

} // namespace

TChart::TChart(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TChart::SetData(ChartData data)
{
    data_ = std::move(data);
    update();
}

QSize TChart::sizeHint() const
{
    return QSize(400, 200);
}

QSize TChart::minimumSizeHint() const
{
    return QSize(200, 140);
}

const ChartAxis& TChart::Axis(int index) const
{
    static const ChartAxis unit;
    if (index >= 0 && static_cast<std::size_t>(index) < data_.axes.size())
        return data_.axes[static_cast<std::size_t>(index)];
    return unit;
}

// The title and the legend line.
int TChart::HeadHeight() const
{
    int h = kMargin;
    if (!data_.title.empty())
        h += QFontMetrics(TitleFont()).height() + kGap;
    if (!data_.series.empty() || !data_.references.empty())
        h += std::max(QFontMetrics(TextFont()).height(), kSwatch) + kGap;
    return h;
}

QRectF TChart::PlotRect() const
{
    const QFontMetrics text(TextFont()), value(ValueFont());
    int tickWidth = 0;
    for (const ChartTick& t : Axis(0).ticks)
        tickWidth = std::max(tickWidth, text.horizontalAdvance(Q(t.label)));
    const double left = kMargin + tickWidth + kGap;
    // Room above the plot for the value text of a bar at the top of the axis.
    const double top = HeadHeight() + value.height();
    const double right = width() - kMargin - text.horizontalAdvance(QStringLiteral("0"));
    const double bottom = height() - kMargin - text.height() - kGap;
    return QRectF(QPointF(left, top), QPointF(std::max(left + 1, right), std::max(top + 1, bottom)));
}

double TChart::YOf(double value, int axis) const
{
    const ChartAxis& a = Axis(axis);
    const QRectF plot = PlotRect();
    const double span = a.max > a.min ? a.max - a.min : 1;
    const double v = std::clamp(value, a.min, a.max);
    return plot.bottom() - (v - a.min) / span * plot.height();
}

QRectF TChart::BarRect(int series, int group) const
{
    const auto& all = data_.series;
    if (series < 0 || static_cast<std::size_t>(series) >= all.size() || group < 0
        || static_cast<std::size_t>(group) >= data_.groups.size())
        return {};
    const ChartSeries& s = all[static_cast<std::size_t>(series)];
    if (static_cast<std::size_t>(group) >= s.values.size())
        return {};
    const QRectF plot = PlotRect();
    const double groupWidth = plot.width() / static_cast<double>(data_.groups.size());
    const double barWidth = groupWidth * kBarsShare / static_cast<double>(all.size());
    const double left = plot.left() + groupWidth * group + groupWidth * (1 - kBarsShare) / 2 + barWidth * series;
    const double foot = YOf(std::max(Axis(s.axis).min, 0.0), s.axis);
    const double top = YOf(s.values[static_cast<std::size_t>(group)], s.axis);
    return QRectF(QPointF(std::round(left), std::min(top, foot)), QPointF(std::round(left + barWidth), std::max(top, foot)));
}

void TChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0xD8, 0xD8, 0xD8));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(rect()).adjusted(kFrame + 0.5, kFrame + 0.5, -kFrame - 0.5, -kFrame - 0.5), 6, 6);
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QFontMetrics textMetrics(TextFont()), valueMetrics(ValueFont());
    const QColor ink(0x20, 0x20, 0x20);

    // Title and legend, centred.
    int y = kMargin;
    if (!data_.title.empty()) {
        p.setFont(TitleFont());
        p.setPen(ink);
        const int h = QFontMetrics(TitleFont()).height();
        p.drawText(QRect(0, y, width(), h), Qt::AlignCenter, Q(data_.title));
        y += h + kGap;
    }
    if (!data_.series.empty() || !data_.references.empty()) {
        p.setFont(TextFont());
        struct Entry {
            QString name;
            QColor colour;
            bool line;
        };
        std::vector<Entry> entries;
        for (const ChartSeries& s : data_.series)
            entries.push_back({Q(s.name), Colour(s.color), false});
        for (const ChartReference& r : data_.references)
            entries.push_back({Q(r.name), Colour(r.color), true});
        int total = 0;
        for (const Entry& e : entries)
            total += kSwatch + 4 + textMetrics.horizontalAdvance(e.name) + 16;
        const int h = std::max(textMetrics.height(), kSwatch);
        int x = std::max(kMargin, (width() - total + 16) / 2);
        for (const Entry& e : entries) {
            const QRect swatch(x, y + (h - kSwatch) / 2, kSwatch, kSwatch);
            if (e.line)
                p.fillRect(swatch.adjusted(0, kSwatch / 2 - 1, 0, -(kSwatch / 2 - 1)), e.colour);
            else
                p.fillRect(swatch, e.colour);
            x += kSwatch + 4;
            p.setPen(ink);
            const int w = textMetrics.horizontalAdvance(e.name);
            p.drawText(QRect(x, y, w, h), Qt::AlignLeft | Qt::AlignVCenter, e.name);
            x += w + 16;
        }
    }

    const QRectF plot = PlotRect();
    const ChartAxis& axis = Axis(0);

    // Ticks with their grid lines, then the axis lines.
    p.setFont(TextFont());
    for (const ChartTick& t : axis.ticks) {
        const double ty = std::round(YOf(t.value));
        p.setPen(QColor(0xE0, 0xE0, 0xE0));
        p.drawLine(QPointF(plot.left(), ty), QPointF(plot.right(), ty));
        p.setPen(ink);
        p.drawText(QRectF(kMargin, ty - textMetrics.height() / 2.0, plot.left() - kGap - kMargin, textMetrics.height()),
                   Qt::AlignRight | Qt::AlignVCenter, Q(t.label));
    }
    if (data_.Empty()) {
        p.setPen(QColor(0x80, 0x80, 0x80));
        p.drawLine(plot.bottomLeft(), plot.bottomRight());
        p.drawLine(plot.bottomLeft(), plot.topLeft());
        p.setPen(ink);
        p.drawText(plot, Qt::AlignCenter, Q(data_.emptyText));
        return;
    }
    // Lines between the groups, then the axes.
    const double groupWidth = plot.width() / static_cast<double>(data_.groups.size());
    p.setPen(QColor(0xE0, 0xE0, 0xE0));
    for (std::size_t g = 1; g <= data_.groups.size(); ++g) {
        const double x = std::round(plot.left() + groupWidth * static_cast<double>(g));
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawLine(plot.bottomLeft(), plot.topLeft());

    // Bars; their value texts after every bar, so that none is painted over.
    for (std::size_t s = 0; s < data_.series.size(); ++s)
        for (std::size_t g = 0; g < data_.groups.size(); ++g) {
            const QRectF bar = BarRect(static_cast<int>(s), static_cast<int>(g));
            if (bar.height() > 0)
                p.fillRect(bar, Colour(data_.series[s].color));
        }
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(ValueFont());
    p.setPen(ink);
    for (std::size_t s = 0; s < data_.series.size(); ++s) {
        const ChartSeries& series = data_.series[s];
        for (std::size_t g = 0; g < data_.groups.size() && g < series.labels.size(); ++g) {
            const QString label = Q(series.labels[g]);
            if (label.isEmpty())
                continue;
            const QRectF bar = BarRect(static_cast<int>(s), static_cast<int>(g));
            const int w = valueMetrics.horizontalAdvance(label), h = valueMetrics.height();
            if (w + 4 <= bar.width() && h + 2 <= bar.height()) {
                // At the top of the bar, light on its colour.
                p.setPen(Qt::white);
                p.drawText(bar.adjusted(0, 2, 0, 0), Qt::AlignHCenter | Qt::AlignTop, label);
                p.setPen(ink);
            } else if (w <= bar.width() + 4) {
                p.drawText(QRectF(bar.center().x() - w / 2.0 - 2, bar.top() - h, w + 4, h), Qt::AlignCenter, label);
            } else {
                // Upright, reading upwards from the top of the bar.
                p.save();
                p.translate(bar.center().x() + h / 2.0, bar.top() - 2);
                p.rotate(-90);
                p.drawText(QRectF(0, 0, w, h), Qt::AlignLeft | Qt::AlignVCenter, label);
                p.restore();
            }
        }
    }

    // Reference lines across everything.
    for (const ChartReference& r : data_.references) {
        // Two pixels high, the lower one on the value's row.
        const double ry = std::round(YOf(r.value, r.axis));
        p.fillRect(QRectF(plot.left(), ry - 1, plot.width(), 2), Colour(r.color));
    }

    // Group texts, elided to their width.
    p.setFont(TextFont());
    p.setPen(ink);
    for (std::size_t g = 0; g < data_.groups.size(); ++g) {
        const QRectF cell(plot.left() + groupWidth * static_cast<double>(g), plot.bottom() + kGap / 2.0, groupWidth,
                          textMetrics.height());
        p.drawText(cell, Qt::AlignHCenter | Qt::AlignTop,
                   textMetrics.elidedText(Q(data_.groups[g]), Qt::ElideRight, static_cast<int>(groupWidth)));
    }
}

} // namespace tervan
