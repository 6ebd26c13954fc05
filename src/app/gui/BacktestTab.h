// The page "格言成績" of the main window: how the runners of each maxim have
// done over the stored days. The range pickers default to every stored day;
// "計算" runs the scan of the core on a worker thread (the window stays
// responsive; while it runs the button reads "中止" and cancels it, but not
// in the first half second, so a double click never does) and shows the
// table in a grid under a line that states what it covers, with the
// clipboard and CSV buttons of the other pages, the days that could not be
// read, and a chart of 単回値 and 複回値 that follows the breakdown, with a
// line at 100. Before the first 計算 the grid has only its titles and the
// line says what to do.
#pragma once

#include "app/Backtest.h"
#include "app/gui/DayRangePicker.h"
#include "app/gui/ScanRunner.h"

#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;

namespace tervan {

class INotifier;
class TChart;
class TStringGrid;

class TBacktestTab : public QWidget {
    Q_OBJECT
public:
    // Clicks on "中止" within this time of the start are ignored.
    static constexpr int kCancelGuardMs = TScanRunner::kCancelGuardMs;
    // The scan "計算" runs: RunBacktest, unless a test sets another.
    using ScanFn = std::function<BacktestResult(const std::string& base, const BacktestRange& range,
                                                const BacktestProgressFn& progress, const std::atomic<bool>* cancel)>;

    // base: the base folder (CP932); notifier: where failures are shown.
    TBacktestTab(std::string base, INotifier& notifier, QWidget* parent = nullptr);
    ~TBacktestTab() override;

    QDateEdit* FromDate() const { return rangePicker_->FromDate(); }
    QDateEdit* ToDate() const { return rangePicker_->ToDate(); }
    QComboBox* BreakdownCombo() const { return breakdownCombo_; }
    QPushButton* CalcBtn() const { return calcBtn_; }
    TStringGrid* Grid() const { return grid_; }
    TChart* Chart() const { return chart_; }
    QComboBox* ChartCombo() const { return chartCombo_; }
    QLabel* StatusLabel() const { return statusLabel_; }
    QLabel* ProblemsLabel() const { return problemsLabel_; }
    void SetScan(ScanFn scan) { scan_ = std::move(scan); }

    bool Running() const { return runner_.Running(); }
    const BacktestResult& Result() const { return result_; }
    BacktestRange Range() const { return rangePicker_->Range(); }
    BacktestBreakdown Breakdown() const;
    // Whether a scan has ended since the page was made.
    bool Computed() const { return computed_; }
    // The heading of the exports of the table on show.
    std::string Heading() const;

public Q_SLOTS:
    // Starts the scan, or cancels the one running once it has run half a second.
    void CalcBtnClick();
    void BreakdownComboChange();
    void CopyBtnClick();
    void CsvBtnClick();

Q_SIGNALS:
    // A scan has ended (finished or cancelled) and its table is on show.
    void scanEnded();
    // The table was written to this CSV file (a path in Shift-JIS).
    void csvWritten(const std::string& path);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ScanEnded(std::shared_ptr<BacktestResult> result);
    void ShowTable();
    void ShowChart();

    std::string base_;
    INotifier& notifier_;
    ScanFn scan_;
    BacktestResult result_;
    bool computed_ = false;

    TDayRangePicker* rangePicker_ = nullptr;
    QComboBox* breakdownCombo_ = nullptr;
    QPushButton* calcBtn_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QLabel* problemsLabel_ = nullptr;
    QComboBox* chartCombo_ = nullptr;
    TStringGrid* grid_ = nullptr;
    TChart* chart_ = nullptr;
    // Declared last: destroyed first, it waits for a running scan.
    TScanRunner runner_;
};

} // namespace tervan
