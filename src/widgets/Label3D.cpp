#include "widgets/Label3D.h"

#include "widgets/Text.h"

#include <QPainter>
#include <QStyleOptionFrame>

namespace tervan {

namespace {
constexpr int kDepth = 1; // offset of the highlight and shadow copies
}

TLabel3D::TLabel3D(QWidget* parent) : QWidget(parent)
{
    background_ = palette().color(QPalette::Window);
}

void TLabel3D::setText(const QString& text)
{
    if (text == text_)
        return;
    text_ = text;
    Fit();
    update();
}

void TLabel3D::SetCaption(const std::string& cp932)
{
    setText(Q(cp932));
}

std::string TLabel3D::Caption() const
{
    return Sj(text_);
}

void TLabel3D::setTextStyle(TextStyle style)
{
    style_ = style;
    Fit();
    update();
}

void TLabel3D::setOpaque(bool opaque)
{
    opaque_ = opaque;
    update();
}

void TLabel3D::setBackgroundColor(const QColor& color)
{
    background_ = color;
    update();
}

void TLabel3D::setTextColor(const QColor& color)
{
    textColor_ = color;
    update();
}

void TLabel3D::setAlignment(Qt::Alignment alignment)
{
    alignment_ = alignment;
    update();
}

void TLabel3D::setRecessedBorder(bool on)
{
    border_ = on;
    Fit();
    update();
}

void TLabel3D::setAutoSize(bool on)
{
    autoSize_ = on;
    Fit();
}

QSize TLabel3D::sizeHint() const
{
    QFontMetrics metrics(font());
    int extra = (style_ == kFlat ? 0 : 2 * kDepth) + (border_ ? 4 : 0);
    int width = metrics.horizontalAdvance(text_.isEmpty() ? QStringLiteral(" ") : text_);
    return QSize(width + extra, metrics.height() + extra);
}

void TLabel3D::Fit()
{
    if (autoSize_)
        resize(sizeHint());
}

void TLabel3D::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QRect area = rect();
    if (opaque_)
        painter.fillRect(area, background_);
    if (border_) {
        // A recessed frame: dark on the top and left, light on the bottom and right.
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(area.topLeft(), area.topRight());
        painter.drawLine(area.topLeft(), area.bottomLeft());
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(area.bottomLeft(), area.bottomRight());
        painter.drawLine(area.topRight(), area.bottomRight());
        area.adjust(2, 2, -2, -2);
    }
    if (text_.isEmpty())
        return;
    painter.setFont(font());
    QRect textArea = area;
    if (style_ != kFlat)
        textArea.adjust(kDepth, kDepth, -kDepth, -kDepth);
    const int flags = static_cast<int>(alignment_) | Qt::TextSingleLine;
    switch (style_) {
    case kFlat:
        break;
    case kRaised:
        painter.setPen(QColor(Qt::white));
        painter.drawText(textArea.translated(-kDepth, -kDepth), flags, text_);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawText(textArea.translated(kDepth, kDepth), flags, text_);
        break;
    case kRecessed:
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawText(textArea.translated(-kDepth, -kDepth), flags, text_);
        painter.setPen(QColor(Qt::white));
        painter.drawText(textArea.translated(kDepth, kDepth), flags, text_);
        break;
    case kShadow:
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawText(textArea.translated(kDepth, kDepth), flags, text_);
        break;
    }
    painter.setPen(textColor_);
    painter.drawText(textArea, flags, text_);
}

} // namespace tervan
