// The worker thread of a page that scans the stored days: a button starts a
// scan and reads "中止" while it runs (a click on it then cancels the scan,
// but not in the first half second, so a double click never does), a
// progress bar follows the days scanned, and what the scan found is shown
// on the GUI thread once it has ended. The window stays responsive
// throughout.
#pragma once

#include "app/Backtest.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <thread>

class QProgressBar;
class QPushButton;
class QWidget;

namespace tervan {

class TScanRunner : public QObject {
    Q_OBJECT
public:
    // Clicks on "中止" within this time of the start are ignored.
    static constexpr int kCancelGuardMs = 500;
    // What runs on the GUI thread after the scan has ended.
    using Shown = std::function<void()>;
    // The scan itself, on the worker thread: it reports its progress and
    // checks the flag, and returns what shows its outcome.
    using Work = std::function<Shown(const BacktestProgressFn& progress, const std::atomic<bool>* cancel)>;

    // Makes the progress bar (hidden while no scan runs) on the page; the
    // page lays it out.
    TScanRunner(QWidget* page, const char* progressName);
    // Cancels a scan still running and waits for it.
    ~TScanRunner() override;

    QProgressBar* ProgressBar() const { return progressBar_; }
    bool Running() const { return worker_.joinable(); }
    // The button of the running scan (or of the last one).
    QPushButton* Button() const { return button_; }
    // Starts `work`; `button` reads "中止" until it has ended.
    void Start(QPushButton* button, Work work);
    // A click on the button of the running scan: cancels it once it has run
    // half a second.
    void CancelClick();

Q_SIGNALS:
    // Running() has changed.
    void runningChanged(bool running);

private:
    void Progress(int done, int total);
    void Ended(const Shown& shown);
    void Join();

    QProgressBar* progressBar_;
    QPushButton* button_ = nullptr;
    QString caption_;
    QElapsedTimer started_;
    std::thread worker_;
    std::atomic<bool> cancel_ {false};
};

} // namespace tervan
