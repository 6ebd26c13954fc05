#include "widgets/QtNotifier.h"

#include "widgets/MessageDialog.h"

#include <QApplication>

namespace tervan {

void QtNotifier::Beep()
{
    QApplication::beep();
}

void QtNotifier::Information(const std::string& text)
{
    TMessageDialog dialog(parent_);
    dialog.Execute(text, TMessageDialog::kInformation, TMessageDialog::kOk);
}

void QtNotifier::Plain(const std::string& text)
{
    TMessageDialog dialog(parent_);
    dialog.Execute(text, TMessageDialog::kPlain, TMessageDialog::kOk);
}

bool QtNotifier::Confirm(const std::string& text)
{
    TMessageDialog dialog(parent_);
    return dialog.Execute(text, TMessageDialog::kConfirmation, TMessageDialog::kYesNo)
        == TMessageDialog::kYes;
}

} // namespace tervan
