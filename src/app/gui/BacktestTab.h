// The page "格言成績" of the main window: how the runners of each maxim have
// done over the stored days. The range pickers default to every stored day;
// "計算" runs the scan of the core on a worker thread (the window stays
// responsive, a second click cancels it) and shows the table in a grid, with
// the clipboard and CSV buttons of the other pages, and a bar chart of 単回値
// and 複回値 per maxim against 全体, with a line at 100.
#pragma once

#include "app/Backtest.h"

#include <QWidget>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

class QComboBox;
class QDateEdit;
class QLabel;
class QProgressBar;
class QPushButton;

namespace tervan {

class INotifier;
class TChart;
class TStringGrid;

class TBacktestTab : public QWidget {
    Q_OBJECT
public:
    // base: the base folder (CP932); notifier: where failures are shown.
    TBacktestTab(std::string base, INotifier& notifier, QWidget* parent = nullptr);
    ~TBacktestTab() override;

    QDateEdit* FromDate() const { return fromDate_; }
    QDateEdit* ToDate() const { return toDate_; }
    QComboBox* BreakdownCombo() const { return breakdownCombo_; }
    QPushButton* CalcBtn() const { return calcBtn_; }
    TStringGrid* Grid() const { return grid_; }
    TChart* Chart() const { return chart_; }

    bool Running() const { return worker_.joinable(); }
    const BacktestResult& Result() const { return result_; }
    BacktestRange Range() const;
    BacktestBreakdown Breakdown() const;
    // The heading of the exports of the table on show.
    std::string Heading() const;

public Q_SLOTS:
    // Sets the pickers to the first and last stored day.
    void AllDaysBtnClick();
    // Starts the scan, or cancels the one running.
    void CalcBtnClick();
    void BreakdownComboChange();
    void CopyBtnClick();
    void CsvBtnClick();

Q_SIGNALS:
    // A scan has ended (finished or cancelled) and its table is on show.
    void scanEnded();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Progress(int done, int total);
    void ScanEnded(std::shared_ptr<BacktestResult> result);
    void ShowTable();
    void ShowChart();
    void Join();

    std::string base_;
    INotifier& notifier_;
    BacktestResult result_;
    BacktestRange shownRange_;
    bool rangeTouched_ = false;
    std::thread worker_;
    std::atomic<bool> cancel_ {false};

    QDateEdit* fromDate_ = nullptr;
    QDateEdit* toDate_ = nullptr;
    QComboBox* breakdownCombo_ = nullptr;
    QPushButton* calcBtn_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    TStringGrid* grid_ = nullptr;
    TChart* chart_ = nullptr;
};

} // namespace tervan
