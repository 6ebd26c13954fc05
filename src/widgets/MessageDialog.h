// The message-dialog component: a modal box with a Japanese text, an icon of
// its kind (none for a plain box) and the usual button sets, captioned with the application title.
#pragma once

#include <QString>
#include <string>

class QWidget;

namespace tervan {

class TMessageDialog {
public:
    enum Kind { kInformation, kWarning, kError, kConfirmation, kPlain }; // kPlain: no icon
    enum Buttons { kOk, kOkCancel, kYesNo };
    enum Result { kNone, kOkResult, kCancel, kYes, kNo };

    explicit TMessageDialog(QWidget* parent = nullptr) : parent_(parent) {}

    // Caption of the box; the application's display name when empty.
    void SetCaption(const QString& caption) { caption_ = caption; }

    // Shows the CP932 text modally and returns the button pressed.
    Result Execute(const std::string& text, Kind kind, Buttons buttons);
    Result Execute(const QString& text, Kind kind, Buttons buttons);

private:
    QWidget* parent_;
    QString caption_;
};

} // namespace tervan
