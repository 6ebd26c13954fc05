#include "app/gui/AboutBox.h"

#include "widgets/Fonts.h"
#include "widgets/Label3D.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tervan {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QString::fromUtf8("ﾊﾞｰｼﾞｮﾝ情報"));
    setModal(true);

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* title = new TLabel3D(panel);
    title->setObjectName(QStringLiteral("ProductName"));
    title->setFont(GothicFont(22, true));
    title->setTextColor(QColor(0x00, 0x00, 0x80));
    title->setText(QString::fromUtf8("テルヴァン"));
    auto* series = new QLabel(QString::fromUtf8("KodeniのNorvikシリーズNo.1"), panel);
    version_ = new QLabel(panel);
    version_->setObjectName(QStringLiteral("Version"));
    version_->setFont(GothicFont(13, true));
    auto* about = new QLabel(
        QString::fromUtf8("JRA-VAN Data Lab. のデータで、休養明けの馬の\n"
                          "格言「牡1戦目」「牡3戦目」「牝2戦目」を調べます。"),
        panel);
    auto* inner = new QVBoxLayout(panel);
    inner->addWidget(title);
    inner->addWidget(series);
    inner->addWidget(version_);
    inner->addSpacing(6);
    inner->addWidget(about);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(buttons);
}

void TAboutBox::SetVersion(const QString& version)
{
    version_->setText(version);
}

QString TAboutBox::Version() const
{
    return version_->text();
}

} // namespace tervan
