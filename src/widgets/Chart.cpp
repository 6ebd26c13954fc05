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

int TChart::TickWidth(int axis) const
{
    const QFontMetrics text(TextFont());
    int width = 0;
    for (const ChartTick& t : Axis(axis).ticks)
        width = std::max(width, text.horizontalAdvance(Q(t.label)));
    return width;
}

bool TChart::AxisTitles() const
{
    return std::any_of(data_.axes.begin(), data_.axes.end(), [](const ChartAxis& a) { return !a.title.empty(); });
}

QRectF TChart::PlotRect() const
{
    const QFontMetrics text(TextFont()), value(ValueFont());
    const double left = kMargin + TickWidth(0) + kGap;
    // Room above the plot for the value text of a bar at the top of the axis,
    // and for the axes' titles.
    const double top = HeadHeight() + value.height() + (AxisTitles() ? text.height() : 0);
    const double right = data_.axes.size() > 1 ? width() - kMargin - TickWidth(1) - kGap
                                               : width() - kMargin - text.horizontalAdvance(QStringLiteral("0"));
    const double bottom = height() - kMargin - text.height() - kGap;
    return QRectF(QPointF(left, top), QPointF(std::max(left + 1, right), std::max(top + 1, bottom)));
}

double TChart::YOf(double value, int axis) const
{
    return YIn(PlotRect(), value, axis);
}

double TChart::YIn(const QRectF& plot, double value, int axis) const
{
    const ChartAxis& a = Axis(axis);
    const double span = a.max > a.min ? a.max - a.min : 1;
    const double v = std::clamp(value, a.min, a.max);
    return plot.bottom() - (v - a.min) / span * plot.height();
}

const ChartSeries* TChart::SeriesValue(int series, int group, ChartSeriesKind kind) const
{
    const auto& all = data_.series;
    if (series < 0 || static_cast<std::size_t>(series) >= all.size() || group < 0
        || static_cast<std::size_t>(group) >= data_.groups.size())
        return nullptr;
    const ChartSeries& s = all[static_cast<std::size_t>(series)];
    if (s.kind != kind || static_cast<std::size_t>(group) >= s.values.size() || std::isnan(s.values[static_cast<std::size_t>(group)]))
        return nullptr;
    return &s;
}

QRectF TChart::BarRect(int series, int group) const
{
    return BarIn(PlotRect(), series, group);
}

QRectF TChart::BarIn(const QRectF& plot, int series, int group) const
{
    const ChartSeries* found = SeriesValue(series, group, ChartSeriesKind::Bars);
    if (found == nullptr)
        return {};
    const ChartSeries& s = *found;
    const auto& all = data_.series;
    // The bar series stand side by side, in their order.
    int bars = 0, index = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].kind != ChartSeriesKind::Bars)
            continue;
        if (i == static_cast<std::size_t>(series))
            index = bars;
        ++bars;
    }
    const double groupWidth = plot.width() / static_cast<double>(data_.groups.size());
    const double barWidth = groupWidth * kBarsShare / static_cast<double>(bars);
    const double left = plot.left() + groupWidth * group + groupWidth * (1 - kBarsShare) / 2 + barWidth * index;
    const double foot = YIn(plot, std::max(Axis(s.axis).min, 0.0), s.axis);
    const double top = YIn(plot, s.values[static_cast<std::size_t>(group)], s.axis);
    return QRectF(QPointF(std::round(left), std::min(top, foot)), QPointF(std::round(left + barWidth), std::max(top, foot)));
}

QPointF TChart::PointOf(int series, int group) const
{
    return PointIn(PlotRect(), series, group);
}

QPointF TChart::PointIn(const QRectF& plot, int series, int group) const
{
    const ChartSeries* found = SeriesValue(series, group, ChartSeriesKind::Line);
    if (found == nullptr)
        return {};
    const ChartSeries& s = *found;
    const double groupWidth = plot.width() / static_cast<double>(data_.groups.size());
    return QPointF(plot.left() + groupWidth * (group + 0.5), YIn(plot, s.values[static_cast<std::size_t>(group)], s.axis));
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
            entries.push_back({Q(s.name), Colour(s.color), s.kind == ChartSeriesKind::Line});
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
        const double ty = std::round(YIn(plot, t.value));
        p.setPen(QColor(0xE0, 0xE0, 0xE0));
        p.drawLine(QPointF(plot.left(), ty), QPointF(plot.right(), ty));
        p.setPen(ink);
        p.drawText(QRectF(kMargin, ty - textMetrics.height() / 2.0, plot.left() - kGap - kMargin, textMetrics.height()),
                   Qt::AlignRight | Qt::AlignVCenter, Q(t.label));
    }
    if (data_.axes.size() > 1) {
        for (const ChartTick& t : Axis(1).ticks) {
            const double ty = std::round(YIn(plot, t.value, 1));
            p.drawText(QRectF(plot.right() + kGap, ty - textMetrics.height() / 2.0, TickWidth(1), textMetrics.height()),
                       Qt::AlignLeft | Qt::AlignVCenter, Q(t.label));
        }
    }
    if (AxisTitles()) {
        const double ty = plot.top() - valueMetrics.height() - textMetrics.height();
        const QString left = Q(Axis(0).title);
        p.drawText(QRectF(kMargin, ty, plot.left() - kMargin + textMetrics.horizontalAdvance(left), textMetrics.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, left);
        if (data_.axes.size() > 1) {
            const QString right = Q(Axis(1).title);
            const double w = textMetrics.horizontalAdvance(right);
            p.drawText(QRectF(width() - kMargin - w, ty, w, textMetrics.height()), Qt::AlignRight | Qt::AlignVCenter, right);
        }
    }
    if (data_.Empty()) {
        p.setPen(QColor(0x80, 0x80, 0x80));
        p.drawLine(plot.bottomLeft(), plot.bottomRight());
        p.drawLine(plot.bottomLeft(), plot.topLeft());
        p.setPen(ink);
        p.drawText(plot, Qt::AlignCenter, Q(data_.emptyText));
        return;
    }
    // Lines between the groups (not behind the lines of a line chart), then the axes.
    const double groupWidth = plot.width() / static_cast<double>(data_.groups.size());
    const bool lineChart = std::any_of(data_.series.begin(), data_.series.end(),
                                       [](const ChartSeries& s) { return s.kind == ChartSeriesKind::Line; });
    p.setPen(QColor(0xE0, 0xE0, 0xE0));
    for (std::size_t g = 1; g <= data_.groups.size() && !lineChart; ++g) {
        const double x = std::round(plot.left() + groupWidth * static_cast<double>(g));
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawLine(plot.bottomLeft(), plot.topLeft());

    // Bars; their value texts after every bar, so that none is painted over.
    for (std::size_t s = 0; s < data_.series.size(); ++s)
        for (std::size_t g = 0; g < data_.groups.size(); ++g) {
            const QRectF bar = BarIn(plot, static_cast<int>(s), static_cast<int>(g));
            if (bar.height() > 0)
                p.fillRect(bar, Colour(data_.series[s].color));
        }
    // Lines in front of the bars, broken where a group has no value.
    p.setRenderHint(QPainter::Antialiasing);
    for (std::size_t s = 0; s < data_.series.size(); ++s) {
        if (data_.series[s].kind != ChartSeriesKind::Line)
            continue;
        const QColor colour = Colour(data_.series[s].color);
        p.setPen(QPen(colour, 2));
        QPointF last;
        for (std::size_t g = 0; g < data_.groups.size(); ++g) {
            const QPointF at = PointIn(plot, static_cast<int>(s), static_cast<int>(g));
            if (!at.isNull() && !last.isNull())
                p.drawLine(last, at);
            last = at;
        }
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        for (std::size_t g = 0; g < data_.groups.size(); ++g)
            if (const QPointF at = PointIn(plot, static_cast<int>(s), static_cast<int>(g)); !at.isNull())
                p.drawEllipse(at, 3, 3);
        p.setBrush(Qt::NoBrush);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(ValueFont());
    p.setPen(ink);
    for (std::size_t s = 0; s < data_.series.size(); ++s) {
        const ChartSeries& series = data_.series[s];
        for (std::size_t g = 0; g < data_.groups.size() && g < series.labels.size(); ++g) {
            const QString label = Q(series.labels[g]);
            if (label.isEmpty())
                continue;
            if (series.kind == ChartSeriesKind::Line) {
                // Above its dot, or below it when another line passes above
                // (or through) the same group, so that two texts never meet.
                const QPointF at = PointIn(plot, static_cast<int>(s), static_cast<int>(g));
                if (at.isNull())
                    continue;
                bool below = false;
                for (std::size_t t = 0; t < data_.series.size(); ++t) {
                    const QPointF other = t == s ? QPointF() : PointIn(plot, static_cast<int>(t), static_cast<int>(g));
                    below = below || (!other.isNull() && (other.y() < at.y() || (other.y() == at.y() && t < s)));
                }
                const int w = valueMetrics.horizontalAdvance(label), h = valueMetrics.height();
                p.drawText(QRectF(at.x() - w / 2.0 - 2, below ? at.y() + 4 : at.y() - 4 - h, w + 4, h), Qt::AlignCenter, label);
                continue;
            }
            const QRectF bar = BarIn(plot, static_cast<int>(s), static_cast<int>(g));
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
        const double ry = std::round(YIn(plot, r.value, r.axis));
        p.fillRect(QRectF(plot.left(), ry - 1, plot.width(), 2), Colour(r.color));
    }

    // Group texts, elided to their width. A long row of groups (a sweep's
    // steps) that leaves a text too little room, or groups so many that a
    // text does not fit in three of them, show every n-th text whole.
    p.setFont(TextFont());
    p.setPen(ink);
    int widest = 0;
    for (const std::string& text : data_.groups)
        widest = std::max(widest, textMetrics.horizontalAdvance(Q(text)));
    const bool crowded = widest + kGap > 3 * groupWidth || (data_.groups.size() > 12 && widest + kGap > groupWidth);
    const int every = crowded ? static_cast<int>(std::ceil((widest + kGap) / groupWidth)) : 1;
    for (std::size_t g = 0; g < data_.groups.size(); g += static_cast<std::size_t>(every)) {
        const double width = every > 1 ? widest + kGap : groupWidth;
        const QRectF cell(plot.left() + groupWidth * (static_cast<double>(g) + 0.5) - width / 2, plot.bottom() + kGap / 2.0,
                          width, textMetrics.height());
        p.drawText(cell, Qt::AlignHCenter | Qt::AlignTop,
                   every > 1 ? Q(data_.groups[g]) : textMetrics.elidedText(Q(data_.groups[g]), Qt::ElideRight, static_cast<int>(groupWidth)));
    }
}

} // namespace tervan
