#include "widgets/MessageDialog.h"

#include "widgets/Text.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace tervan {

TMessageDialog::Result TMessageDialog::Execute(const std::string& text, Kind kind, Buttons buttons)
{
    return Execute(Q(text), kind, buttons);
}

TMessageDialog::Result TMessageDialog::Execute(const QString& text, Kind kind, Buttons buttons)
{
    QMessageBox box(parent_);
    switch (kind) {
    case kInformation: box.setIcon(QMessageBox::Information); break;
    case kWarning: box.setIcon(QMessageBox::Warning); break;
    case kError: box.setIcon(QMessageBox::Critical); break;
    case kConfirmation: box.setIcon(QMessageBox::Question); break;
    case kPlain: box.setIcon(QMessageBox::NoIcon); break;
    }
    QString caption = caption_;
    if (caption.isEmpty())
        caption = QApplication::applicationDisplayName();
    box.setWindowTitle(caption);
    box.setText(text);
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    switch (buttons) {
    case kOk:
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setDefaultButton(ok);
        break;
    case kOkCancel:
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        cancel = box.addButton(QString::fromUtf8("キャンセル"), QMessageBox::RejectRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(cancel);
        break;
    case kYesNo:
        yes = box.addButton(QString::fromUtf8("はい(&Y)"), QMessageBox::YesRole);
        no = box.addButton(QString::fromUtf8("いいえ(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        break;
    }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (clicked == nullptr)
        return buttons == kOk ? kOkResult : (buttons == kYesNo ? kNo : kCancel);
    if (clicked == ok)
        return kOkResult;
    if (clicked == cancel)
        return kCancel;
    if (clicked == yes)
        return kYes;
    if (clicked == no)
        return kNo;
    return kNone;
}

} // namespace tervan
