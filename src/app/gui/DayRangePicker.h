// "期間 [from] ～ [to] 全期間": the range of stored days a page scans. It
// starts at every stored day and follows the days stored since each time
// the page is shown, until the user sets a date.
#pragma once

#include "app/Backtest.h"

#include <QWidget>

#include <string>

class QDateEdit;

namespace tervan {

class INotifier;

class TDayRangePicker : public QWidget {
    Q_OBJECT
public:
    // base: the base folder (CP932).
    TDayRangePicker(std::string base, QWidget* parent = nullptr);

    QDateEdit* FromDate() const { return fromDate_; }
    QDateEdit* ToDate() const { return toDate_; }
    BacktestRange Range() const;
    // Whether the range can be scanned; when not, beeps and says why.
    bool Check(INotifier& notifier) const;
    // Sets every stored day again unless the user has set a date.
    void Follow();

public Q_SLOTS:
    // Sets the pickers to the first and last stored day.
    void AllDaysBtnClick();

private:
    std::string base_;
    bool touched_ = false;
    QDateEdit* fromDate_ = nullptr;
    QDateEdit* toDate_ = nullptr;
};

} // namespace tervan
