#include "views/gui/HeaderStripWidget.h"

#include "views/gui/GridPaint.h"
#include "widgets/Fonts.h"
#include "widgets/Label3D.h"

#include <cstring>

namespace tervan {

THeaderStrip::THeaderStrip(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("HeaderStrip"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::ToolTipBase));
    setPalette(pal);
    setFixedHeight(58);
    for (int i = 0; i < 11; ++i) {
        const HeaderLabelStyle& style = kHeaderLabelStyles[i];
        auto* label = new TLabel3D(this);
        label->setObjectName(QString::fromLatin1(style.name));
        label->setFont(GothicFont(style.pixelSize, true));
        label->setTextColor(Rgb(style.textColour));
        label->setTextStyle(style.opaque ? TLabel3D::kFlat : TLabel3D::kRaised);
        // The race number's black box appears with the first race shown.
        if (style.opaque)
            label->setBackgroundColor(Rgb(style.background));
        if (style.centred)
            label->setAlignment(Qt::AlignCenter);
        if (style.width > 0) {
            label->setAutoSize(false);
            label->resize(style.width, style.height);
        }
        label->move(style.left, style.top);
        labels_[static_cast<size_t>(i)] = label;
    }
}

void THeaderStrip::SetTexts(const HeaderStripTexts& texts)
{
    texts_ = texts;
    for (int i = 0; i < 11; ++i) {
        labels_[static_cast<size_t>(i)]->SetCaption(HeaderLabelText(texts, i));
        if (kHeaderLabelStyles[i].opaque)
            labels_[static_cast<size_t>(i)]->setOpaque(true);
    }
}

TLabel3D* THeaderStrip::LabelByName(const char* name) const
{
    for (int i = 0; i < 11; ++i)
        if (std::strcmp(kHeaderLabelStyles[i].name, name) == 0)
            return labels_[static_cast<size_t>(i)];
    return nullptr;
}

} // namespace tervan
