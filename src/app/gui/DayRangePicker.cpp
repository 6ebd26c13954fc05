#include "app/gui/DayRangePicker.h"

#include "app/RaceDay.h"
#include "reference/ShiftJis.h"
#include "widgets/Fonts.h"
#include "widgets/Notifier.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace tervan {
namespace {

long DateNumber(const QDate& d)
{
    return d.year() * 10000L + d.month() * 100L + d.day();
}

QDate DateOf(long yyyymmdd)
{
    return QDate(static_cast<int>(yyyymmdd / 10000), static_cast<int>(yyyymmdd / 100 % 100), static_cast<int>(yyyymmdd % 100));
}

} // namespace

TDayRangePicker::TDayRangePicker(std::string base, QWidget* parent)
    : QWidget(parent)
    , base_(std::move(base))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto label = [this](const char* text) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        l->setFont(GothicFont(12));
        return l;
    };
    auto dateEdit = [this](const char* name) {
        auto* d = new QDateEdit(this);
        d->setObjectName(QString::fromLatin1(name));
        d->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
        d->setCalendarPopup(true);
        d->setFont(GothicFont(12));
        connect(d, &QDateEdit::dateChanged, this, [this] { touched_ = true; });
        return d;
    };
    fromDate_ = dateEdit("FromDate");
    toDate_ = dateEdit("ToDate");
    auto* allDays = new QPushButton(QString::fromUtf8("全期間"), this);
    allDays->setObjectName(QStringLiteral("AllDaysBtn"));
    allDays->setFont(GothicFont(12));
    connect(allDays, &QPushButton::clicked, this, &TDayRangePicker::AllDaysBtnClick);
    layout->addWidget(label("期間"));
    layout->addWidget(fromDate_);
    layout->addWidget(label("～"));
    layout->addWidget(toDate_);
    layout->addWidget(allDays);
}

BacktestRange TDayRangePicker::Range() const
{
    return BacktestRange {DateNumber(fromDate_->date()), DateNumber(toDate_->date())};
}

bool TDayRangePicker::Check(INotifier& notifier) const
{
    const BacktestRange range = Range();
    if (range.from <= range.to)
        return true;
    notifier.Beep();
    notifier.Information(SJ("期間の始めが終わりより後になっています。"));
    return false;
}

void TDayRangePicker::Follow()
{
    if (!touched_)
        AllDaysBtnClick();
}

void TDayRangePicker::AllDaysBtnClick()
{
    std::vector<std::string> days;
    try {
        days = MakeDayList(base_);
    } catch (const std::exception&) {
        // The scan reports an unreadable data folder.
    }
    long first = 0, last = 0;
    for (const std::string& entry : days) {
        const long date = DayEntryDate(entry);
        if (date <= 0)
            continue;
        first = first == 0 ? date : std::min(first, date);
        last = std::max(last, date);
    }
    const QDate today = QDate::currentDate();
    fromDate_->setDate(first > 0 ? DateOf(first) : today);
    toDate_->setDate(last > 0 ? DateOf(last) : today);
    touched_ = false;
}

} // namespace tervan
