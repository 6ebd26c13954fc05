// TPrgrsForm: the progress pop-up of a race-day load. A borderless,
// always-on-top window centred on the main window with the fixed line
// "データを読み込んでいます", a second line set by the loader and a progress
// bar. It lives as long as the program and is shown only during a load.
#pragma once

#include <QWidget>
#include <string>

class QLabel;
class QProgressBar;

namespace tervan {

class TPrgrsForm : public QWidget {
    Q_OBJECT
public:
    explicit TPrgrsForm(QWidget* owner);

    // Shows the window centred on its owner, the bar at 0 of maximum.
    void Start(int maximum);
    void SetLine(const std::string& cp932);
    void Step();
    void Finish();

    QLabel* Label1() const { return label1_; }
    QLabel* Label2() const { return label2_; }
    QProgressBar* ProgressBar1() const { return bar_; }

private:
    QWidget* owner_;
    QLabel* label1_;
    QLabel* label2_;
    QProgressBar* bar_;
};

} // namespace tervan
