#include "app/gui/BacktestTab.h"

#include "app/gui/TallyGridView.h"

#include "views/BacktestTable.h"
#include "widgets/Chart.h"
#include "widgets/Fonts.h"
#include "widgets/HotTrackButton.h"
#include "widgets/StringGrid.h"
#include "widgets/Text.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QScrollBar>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

namespace tervan {
TBacktestTab::TBacktestTab(std::string base, INotifier& notifier, QWidget* parent)
    : TScanPage(std::move(base), notifier,
                Names {"StringGrid4", "BacktestStatus", "BacktestProblems", "BacktestProgress", "SpeedButton17", "SpeedButton18"},
                parent)
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
    controls->addWidget(rangePicker_);
    controls->addSpacing(8);
    controls->addWidget(label("集計"));
    controls->addWidget(breakdownCombo_);
    controls->addSpacing(8);
    controls->addWidget(calcBtn_);
    controls->addWidget(runner_.ProgressBar());
    controls->addStretch(1);
    layout->addLayout(controls);

    // Copy and CSV, as on the other pages, and what the last scan covered.
    auto* strip = new QHBoxLayout;
    strip->setSpacing(4);
    strip->addWidget(copyBtn_);
    strip->addWidget(csvBtn_);
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
    layout->addWidget(statusLabel_);
    layout->addWidget(problemsLabel_);

    // The header and the five lines of a group stay in view however small the window.
    grid_->setMinimumHeight(20 + 5 * 18 + 6 * TStringGrid::kGridLineWidth + grid_->horizontalScrollBar()->sizeHint().height()
                            + 2 * grid_->frameWidth());

    chart_ = new TChart(this);
    chart_->setObjectName(QStringLiteral("BacktestChart"));
    chart_->setMinimumHeight(220);

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(grid_);
    split->addWidget(chart_);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);

    ShowTable();
    ShowChart();
}

BacktestBreakdown TBacktestTab::Breakdown() const
{
    return static_cast<BacktestBreakdown>(std::clamp(breakdownCombo_->currentIndex(), 0, kBacktestBreakdownCount - 1));
}

int TBacktestTab::TitleColumn() const
{
    return Breakdown() == BacktestBreakdown::None ? 0 : 1;
}

std::string TBacktestTab::Heading() const
{
    return BacktestHeading(result_, Breakdown());
}

void TBacktestTab::CalcBtnClick()
{
    StartScan(calcBtn_, [this, range = Range(), base = base_, scan = scan_](const BacktestProgressFn& progress,
                                                                           const std::atomic<bool>* cancel) {
        auto result = std::make_shared<BacktestResult>(scan(base, range, progress, cancel));
        return [this, result] { ScanEnded(result); };
    });
}

void TBacktestTab::ScanEnded(std::shared_ptr<BacktestResult> result)
{
    result_ = std::move(*result);
    ScanShown(result_);
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
    ShowTallyTable(*grid_, BacktestGrid(result_, by), TitleColumn(), computed_, 54);
    ShowStatus(result_, "「計算」を押すと、期間内の開催日を格言ごとに集計します。");
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

} // namespace tervan
