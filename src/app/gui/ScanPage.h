// What the pages that scan the stored days ("格言成績", "格言ラボ") share: the
// range of days, the worker thread with its progress bar, a grid of tally
// lines under a line that says what it covers (or, before the first scan,
// what to do), the line of the days left out, and the clipboard and CSV
// buttons. Each page lays these out with its own controls and says what its
// table is headed.
#pragma once

#include "app/Backtest.h"
#include "app/gui/DayRangePicker.h"
#include "app/gui/ScanRunner.h"

#include <QWidget>

#include <string>

class QDateEdit;
class QLabel;
class QPushButton;

namespace tervan {

class INotifier;
class THotTrackSpeedButton;
class TStringGrid;

class TScanPage : public QWidget {
    Q_OBJECT
public:
    // Clicks on "中止" within this time of the start are ignored.
    static constexpr int kCancelGuardMs = TScanRunner::kCancelGuardMs;

    QDateEdit* FromDate() const { return rangePicker_->FromDate(); }
    QDateEdit* ToDate() const { return rangePicker_->ToDate(); }
    TStringGrid* Grid() const { return grid_; }
    QLabel* StatusLabel() const { return statusLabel_; }
    QLabel* ProblemsLabel() const { return problemsLabel_; }
    BacktestRange Range() const { return rangePicker_->Range(); }
    bool Running() const { return runner_.Running(); }
    // Whether a scan has ended since the page was made.
    bool Computed() const { return computed_; }
    // The heading of the exports of the table on show.
    virtual std::string Heading() const = 0;

public Q_SLOTS:
    void CopyBtnClick();
    void CsvBtnClick();

Q_SIGNALS:
    // A scan has ended (finished or cancelled) and its table is on show.
    void scanEnded();
    // The table was written to this CSV file (a path in Shift-JIS).
    void csvWritten(const std::string& path);

protected:
    // The object names of the shared widgets, for tests and the screenshots.
    struct Names {
        const char* grid;
        const char* status;
        const char* problems;
        const char* progress;
        const char* copy;
        const char* csv;
    };
    // base: the base folder (CP932); notifier: where failures are shown.
    TScanPage(std::string base, INotifier& notifier, const Names& names, QWidget* parent);

    // The column of the line titles of the table on show.
    virtual int TitleColumn() const { return 0; }
    // Follows the stored days while the range is untouched.
    void showEvent(QShowEvent* event) override;
    // A click on a button that starts a scan: cancels the running one (after
    // the guard time), or starts `work` on the button when the range can be
    // scanned; false when nothing was started.
    bool StartScan(QPushButton* button, TScanRunner::Work work);
    // After a scan has ended: the page has a table now; the days left out show.
    void ScanShown(const DayScanInfo& scan);
    // The status line: the heading and what the scan counted, or the hint before the first scan.
    void ShowStatus(const DayScanInfo& scan, const char* hint);

    std::string base_;
    INotifier& notifier_;
    bool computed_ = false;
    TDayRangePicker* rangePicker_ = nullptr;
    TStringGrid* grid_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QLabel* problemsLabel_ = nullptr;
    THotTrackSpeedButton* copyBtn_ = nullptr;
    THotTrackSpeedButton* csvBtn_ = nullptr;
    // Declared last of this class: destroyed before its widgets, it waits for a running scan.
    TScanRunner runner_;
};

} // namespace tervan
