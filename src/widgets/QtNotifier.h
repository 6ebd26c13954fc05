// The notifier that shows real message boxes on the screen.
#pragma once

#include "widgets/Notifier.h"

class QWidget;

namespace tervan {

class QtNotifier : public INotifier {
public:
    // parent: the window the boxes are modal to (may be null).
    explicit QtNotifier(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    void Beep() override;
    void Information(const std::string& text) override;
    void Plain(const std::string& text) override;
    bool Confirm(const std::string& text) override;

private:
    QWidget* parent_;
};

} // namespace tervan
