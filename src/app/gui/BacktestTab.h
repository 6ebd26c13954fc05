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
#include "app/gui/ScanPage.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>

class QComboBox;

namespace tervan {

class TChart;

class TBacktestTab : public TScanPage {
    Q_OBJECT
public:
    // The scan "計算" runs: RunBacktest, unless a test sets another.
    using ScanFn = std::function<BacktestResult(const std::string& base, const BacktestRange& range,
                                                const BacktestProgressFn& progress, const std::atomic<bool>* cancel)>;

    // base: the base folder (CP932); notifier: where failures are shown.
    TBacktestTab(std::string base, INotifier& notifier, QWidget* parent = nullptr);

    QComboBox* BreakdownCombo() const { return breakdownCombo_; }
    QPushButton* CalcBtn() const { return calcBtn_; }
    TChart* Chart() const { return chart_; }
    QComboBox* ChartCombo() const { return chartCombo_; }
    void SetScan(ScanFn scan) { scan_ = std::move(scan); }

    const BacktestResult& Result() const { return result_; }
    BacktestBreakdown Breakdown() const;
    std::string Heading() const override;

public Q_SLOTS:
    // Starts the scan, or cancels the one running once it has run half a second.
    void CalcBtnClick();
    void BreakdownComboChange();

protected:
    int TitleColumn() const override;

private:
    void ScanEnded(std::shared_ptr<BacktestResult> result);
    void ShowTable();
    void ShowChart();

    ScanFn scan_;
    BacktestResult result_;
    QComboBox* breakdownCombo_ = nullptr;
    QPushButton* calcBtn_ = nullptr;
    QComboBox* chartCombo_ = nullptr;
    TChart* chart_ = nullptr;
};

} // namespace tervan
