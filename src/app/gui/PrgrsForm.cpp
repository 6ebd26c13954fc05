#include "app/gui/PrgrsForm.h"

#include "widgets/Fonts.h"
#include "widgets/Text.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace tervan {

TPrgrsForm::TPrgrsForm(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), owner_(owner)
{
    setObjectName(QStringLiteral("PrgrsForm"));
    setFixedSize(320, 96);
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(14, 10, 14, 12);
    label1_ = new QLabel(QString::fromUtf8("データを読み込んでいます"), frame);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setFont(GothicFont(14, true));
    label2_ = new QLabel(frame);
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setFont(GothicFont(13));
    bar_ = new QProgressBar(frame);
    bar_->setObjectName(QStringLiteral("ProgressBar1"));
    bar_->setTextVisible(false);
    bar_->setFixedHeight(14);
    layout->addWidget(label1_);
    layout->addWidget(label2_);
    layout->addWidget(bar_);
}

void TPrgrsForm::Start(int maximum)
{
    bar_->setRange(0, std::max(1, maximum));
    bar_->setValue(0);
    label2_->clear();
    if (owner_ != nullptr) {
        QRect area = owner_->frameGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
}

void TPrgrsForm::SetLine(const std::string& cp932)
{
    label2_->setText(Q(cp932));
}

void TPrgrsForm::Step()
{
    bar_->setValue(std::min(bar_->maximum(), bar_->value() + 1));
}

void TPrgrsForm::Finish()
{
    hide();
}

} // namespace tervan
