#include "app/gui/BacktestTab.h"

#include "app/RaceDay.h"
#include "views/BacktestTable.h"
#include "views/CsvExport.h"
#include "widgets/Chart.h"
#include "widgets/Fonts.h"
#include "widgets/HotTrackButton.h"
#include "widgets/Notifier.h"
#include "widgets/StringGrid.h"
#include "widgets/Text.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QScrollBar>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

namespace tervan {
namespace {

QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

long DateNumber(const QDate& d)
{
    return d.year() * 10000L + d.month() * 100L + d.day();
}

QDate DateOf(long yyyymmdd)
{
    return QDate(static_cast<int>(yyyymmdd / 10000), static_cast<int>(yyyymmdd / 100 % 100), static_cast<int>(yyyymmdd % 100));
}

// Column widths: the breakdown's value, 格言, six counts, two payout sums, five rates.
int ColumnWidth(int col, bool broken)
{
    // As narrow as "1401-1800m", "該当なし", six-digit counts, eight-digit
    // payouts and "1234.5" allow, so that 単回値 and 複回値 show beside the
    // day list at the window's first size.
    if (broken && col == 0)
        return 66;
    const int c = broken ? col - 1 : col;
    if (c == 0)
        return 54;
    if (c <= 5)
        return 42;
    if (c <= 7)
        return 54;
    return 42;
}

} // namespace

TBacktestTab::TBacktestTab(std::string base, INotifier& notifier, QWidget* parent)
    : QWidget(parent)
    , base_(std::move(base))
    , notifier_(notifier)
    , scan_([](const std::string& base, const BacktestRange& range, const BacktestProgressFn& progress,
               const std::atomic<bool>* cancel) { return RunBacktest(base, range, progress, cancel); })
{
    setObjectName(QStringLiteral("TabSheet4"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    // The range, the breakdown, 計算 and the progress of the scan.
    auto* controls = new QHBoxLayout;
    controls->setSpacing(4);
    auto label = [this](const char* text) {
        auto* l = new QLabel(U(text), this);
        l->setFont(GothicFont(12));
        return l;
    };
    auto dateEdit = [this](const char* name) {
        auto* d = new QDateEdit(this);
        d->setObjectName(QString::fromLatin1(name));
        d->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
        d->setCalendarPopup(true);
        d->setFont(GothicFont(12));
        connect(d, &QDateEdit::dateChanged, this, [this] { rangeTouched_ = true; });
        return d;
    };
    fromDate_ = dateEdit("FromDate");
    toDate_ = dateEdit("ToDate");
    auto* allDays = new QPushButton(U("全期間"), this);
    allDays->setObjectName(QStringLiteral("AllDaysBtn"));
    allDays->setFont(GothicFont(12));
    connect(allDays, &QPushButton::clicked, this, &TBacktestTab::AllDaysBtnClick);
    breakdownCombo_ = new QComboBox(this);
    breakdownCombo_->setObjectName(QStringLiteral("BreakdownCombo"));
    breakdownCombo_->setFont(GothicFont(12));
    breakdownCombo_->addItem(U("なし"));
    for (int by = 1; by < kBacktestBreakdownCount; ++by)
        breakdownCombo_->addItem(Q(BacktestBreakdownTitle(static_cast<BacktestBreakdown>(by)) + SJ("別")));
    connect(breakdownCombo_, &QComboBox::currentIndexChanged, this, &TBacktestTab::BreakdownComboChange);
    calcBtn_ = new QPushButton(U("計算"), this);
    calcBtn_->setObjectName(QStringLiteral("CalcBtn"));
    calcBtn_->setFont(GothicFont(12, true));
    calcBtn_->setMinimumWidth(64);
    connect(calcBtn_, &QPushButton::clicked, this, &TBacktestTab::CalcBtnClick);
    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("BacktestProgress"));
    progressBar_->setRange(0, 1);
    progressBar_->setValue(0);
    progressBar_->setMaximumWidth(200);
    progressBar_->setTextVisible(false);
    progressBar_->hide();
    controls->addWidget(label("期間"));
    controls->addWidget(fromDate_);
    controls->addWidget(label("～"));
    controls->addWidget(toDate_);
    controls->addWidget(allDays);
    controls->addSpacing(8);
    controls->addWidget(label("集計"));
    controls->addWidget(breakdownCombo_);
    controls->addSpacing(8);
    controls->addWidget(calcBtn_);
    controls->addWidget(progressBar_);
    controls->addStretch(1);
    layout->addLayout(controls);

    // Copy and CSV, as on the other pages, and what the last scan covered.
    auto* strip = new QHBoxLayout;
    strip->setSpacing(4);
    auto button = [this](const char* name, const char* caption, void (TBacktestTab::*handler)()) {
        auto* b = new THotTrackSpeedButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(U(caption));
        b->setFont(GothicFont(12));
        connect(b, &QToolButton::clicked, this, handler);
        return b;
    };
    strip->addWidget(button("SpeedButton17", "クリップボードへコピー", &TBacktestTab::CopyBtnClick));
    strip->addWidget(button("SpeedButton18", "ＣＳＶファイル出力", &TBacktestTab::CsvBtnClick));
    strip->addStretch(1);
    // What the chart shows of a breakdown.
    chartCombo_ = new QComboBox(this);
    chartCombo_->setObjectName(QStringLiteral("ChartCombo"));
    chartCombo_->setFont(GothicFont(12));
    chartCombo_->addItem(U("単回値"));
    chartCombo_->addItem(U("複回値"));
    connect(chartCombo_, &QComboBox::currentIndexChanged, this, [this] { ShowChart(); });
    strip->addWidget(label("グラフ"));
    strip->addWidget(chartCombo_);
    layout->addLayout(strip);

    // What the figures cover (or what to do first), and the days left out.
    statusLabel_ = new QLabel(this);
    statusLabel_->setObjectName(QStringLiteral("BacktestStatus"));
    statusLabel_->setFont(GothicFont(12));
    statusLabel_->setTextFormat(Qt::PlainText);
    layout->addWidget(statusLabel_);
    problemsLabel_ = new QLabel(this);
    problemsLabel_->setObjectName(QStringLiteral("BacktestProblems"));
    problemsLabel_->setFont(GothicFont(12));
    problemsLabel_->setTextFormat(Qt::PlainText);
    problemsLabel_->setStyleSheet(QStringLiteral("color: #C00000"));
    problemsLabel_->hide();
    layout->addWidget(problemsLabel_);

    grid_ = new TStringGrid(this);
    grid_->setObjectName(QStringLiteral("StringGrid4"));
    grid_->setFont(GothicFont(12));
    grid_->SetDefaultRowHeight(18);
    grid_->SetRowHeight(0, 20);
    // The header and the five lines of a group stay in view however small the window.
    grid_->setMinimumHeight(20 + 5 * 18 + 6 * TStringGrid::kGridLineWidth + grid_->horizontalScrollBar()->sizeHint().height()
                            + 2 * grid_->frameWidth());
    // Numbers right-aligned; the 全体 lines on a grey ground.
    grid_->SetOnDrawCell([this](QPainter& p, int col, int row, const QRect& rect, const TStringGrid::DrawState& s) {
        const int groupCol = Breakdown() == BacktestBreakdown::None ? 0 : 1;
        if (s.fixed && row == 0)
            return;
        const bool all = grid_->Cell(groupCol, row) == MaximGroupName(MaximGroup::All);
        if (col <= groupCol && !all)
            return;
        if (!s.selected && !s.fixed)
            p.fillRect(rect, all ? QColor(0xE8, 0xE8, 0xE8) : palette().color(QPalette::Base));
        else if (!s.fixed || col > groupCol)
            p.fillRect(rect, s.selected ? palette().color(QPalette::Highlight) : palette().color(QPalette::Button));
        const Qt::Alignment align = col > groupCol ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter;
        p.drawText(rect.adjusted(2, 0, -3, 0), static_cast<int>(align), Q(grid_->Cell(col, row)));
    });

    chart_ = new TChart(this);
    chart_->setObjectName(QStringLiteral("BacktestChart"));
    chart_->setMinimumHeight(220);

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(grid_);
    split->addWidget(chart_);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);

    // The range is set from the stored days when the page is first shown, not
    // here: the main window makes this page at start-up, seen or not.
    ShowTable();
    ShowChart();
}

TBacktestTab::~TBacktestTab()
{
    cancel_ = true;
    Join();
}

void TBacktestTab::Join()
{
    if (worker_.joinable())
        worker_.join();
}

BacktestRange TBacktestTab::Range() const
{
    return BacktestRange {DateNumber(fromDate_->date()), DateNumber(toDate_->date())};
}

BacktestBreakdown TBacktestTab::Breakdown() const
{
    return static_cast<BacktestBreakdown>(std::clamp(breakdownCombo_->currentIndex(), 0, kBacktestBreakdownCount - 1));
}

std::string TBacktestTab::Heading() const
{
    return BacktestHeading(result_, Breakdown());
}

void TBacktestTab::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // All the stored days, and later new days stored since: the range follows
    // them until the user sets it.
    if (!rangeTouched_ && !Running())
        AllDaysBtnClick();
}

void TBacktestTab::AllDaysBtnClick()
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
    rangeTouched_ = false;
}

void TBacktestTab::CalcBtnClick()
{
    if (Running()) {
        // The second click of a double click on 計算 lands here too.
        if (started_.elapsed() < kCancelGuardMs)
            return;
        cancel_ = true;
        calcBtn_->setEnabled(false);
        return;
    }
    const BacktestRange range = Range();
    if (range.from > range.to) {
        notifier_.Beep();
        notifier_.Information(SJ("期間の始めが終わりより後になっています。"));
        return;
    }
    cancel_ = false;
    calcBtn_->setText(U("中止"));
    progressBar_->setRange(0, 1);
    progressBar_->setValue(0);
    progressBar_->show();
    statusLabel_->setText(U("計算中..."));
    started_.start();
    // The scan runs on its own thread with its own race day; what it reports
    // comes back to this thread as queued calls, which Qt drops if the page
    // is gone (the destructor waits for the thread first).
    worker_ = std::thread([this, range, base = base_, scan = scan_] {
        auto result = std::make_shared<BacktestResult>(scan(
            base, range,
            [this](int done, int total) {
                QMetaObject::invokeMethod(this, [this, done, total] { Progress(done, total); }, Qt::QueuedConnection);
            },
            &cancel_));
        QMetaObject::invokeMethod(this, [this, result] { ScanEnded(result); }, Qt::QueuedConnection);
    });
}

void TBacktestTab::Progress(int done, int total)
{
    progressBar_->setRange(0, std::max(total, 1));
    progressBar_->setValue(done);
}

void TBacktestTab::ScanEnded(std::shared_ptr<BacktestResult> result)
{
    Join();
    result_ = std::move(*result);
    computed_ = true;
    calcBtn_->setText(U("計算"));
    calcBtn_->setEnabled(true);
    progressBar_->hide();
    const std::string problems = BacktestProblemsText(result_);
    problemsLabel_->setText(Q(problems));
    problemsLabel_->setToolTip(Q([this] {
        std::string all;
        for (const BacktestProblem& p : result_.problems)
            for (const std::string& reason : p.reasons)
                all += (all.empty() ? "" : "\n") + (p.entry.empty() ? reason : p.entry + ": " + reason);
        return all;
    }()));
    problemsLabel_->setVisible(!problems.empty());
    ShowTable();
    ShowChart();
    Q_EMIT scanEnded();
}

void TBacktestTab::BreakdownComboChange()
{
    // Every breakdown comes from the one scan.
    ShowTable();
    ShowChart();
}

void TBacktestTab::ShowTable()
{
    const BacktestBreakdown by = Breakdown();
    const TextGrid table = BacktestGrid(result_, by);
    const bool broken = by != BacktestBreakdown::None;
    const bool placeRunners = table.ColCount() > kBacktestColumnCount + (broken ? 1 : 0);
    grid_->SetColCount(table.ColCount());
    grid_->SetFixedCols(broken ? 2 : 1);
    for (int c = 0; c < table.ColCount(); ++c) {
        // 複勝頭数 is a count like 頭数 before it.
        const int after = broken ? 2 : 1;
        grid_->SetColWidth(c, ColumnWidth(placeRunners && c > after ? c - 1 : c, broken));
    }
    // Before the first 計算 only the titles: no table of zeros.
    grid_->SetRowCount(computed_ ? table.RowCount() : 1);
    statusLabel_->setText(computed_ ? Q(Heading() + "  " + BacktestCountsText(result_))
                                    : U("「計算」を押すと、期間内の開催日を格言ごとに集計します。"));
    for (int r = 0; r < grid_->RowCount(); ++r)
        grid_->SetRowTexts(r, table.Row(r));
    grid_->ClearSelection();
    grid_->viewport()->update();
}

void TBacktestTab::ShowChart()
{
    const BacktestBreakdown by = Breakdown();
    chartCombo_->setEnabled(by != BacktestBreakdown::None);
    ChartData chart = BacktestChart(result_, by, chartCombo_->currentIndex() == 1 ? BacktestMeasure::Place : BacktestMeasure::Win);
    if (!computed_) {
        chart.groups.clear();
        chart.emptyText = SJ("計算の後、ここにグラフを表示します。");
    }
    chart_->SetData(std::move(chart));
}

void TBacktestTab::CopyBtnClick()
{
    if (!computed_)
        return;
    QApplication::clipboard()->setText(Q(CopyWholeGridText(TextGrid::FromRows(grid_->Table()), Heading())));
}

void TBacktestTab::CsvBtnClick()
{
    if (!computed_)
        return;
    try {
        const std::string heading = Heading();
        const std::string path = CsvFilePath(base_, heading);
        WriteCsvFile(base_, path, heading, grid_->Table());
        Q_EMIT csvWritten(path);
    } catch (const std::exception& e) {
        notifier_.Beep();
        notifier_.Information(e.what());
    }
}

} // namespace tervan
