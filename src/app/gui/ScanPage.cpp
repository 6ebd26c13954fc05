#include "app/gui/ScanPage.h"

#include "app/gui/TallyGridView.h"
#include "views/BacktestTable.h"
#include "widgets/Fonts.h"
#include "widgets/HotTrackButton.h"
#include "widgets/StringGrid.h"
#include "widgets/Text.h"

#include <QLabel>
#include <QPushButton>

namespace tervan {

TScanPage::TScanPage(std::string base, INotifier& notifier, const Names& names, QWidget* parent)
    : QWidget(parent)
    , base_(std::move(base))
    , notifier_(notifier)
    , runner_(this, names.progress)
{
    rangePicker_ = new TDayRangePicker(base_, this);
    copyBtn_ = TableButton(this, names.copy, "クリップボードへコピー");
    connect(copyBtn_, &QToolButton::clicked, this, &TScanPage::CopyBtnClick);
    csvBtn_ = TableButton(this, names.csv, "ＣＳＶファイル出力");
    connect(csvBtn_, &QToolButton::clicked, this, &TScanPage::CsvBtnClick);
    statusLabel_ = new QLabel(this);
    statusLabel_->setObjectName(QString::fromLatin1(names.status));
    statusLabel_->setFont(GothicFont(12));
    statusLabel_->setTextFormat(Qt::PlainText);
    problemsLabel_ = MakeProblemsLabel(this, names.problems);
    grid_ = new TStringGrid(this);
    grid_->setObjectName(QString::fromLatin1(names.grid));
    grid_->setFont(GothicFont(12));
    grid_->SetDefaultRowHeight(18);
    grid_->SetRowHeight(0, 20);
    PaintTallyCells(*grid_, [this] { return TitleColumn(); });
    // The range is set from the stored days when the page is first shown, not
    // here: the main window makes the pages at start-up, seen or not.
}

void TScanPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!Running())
        rangePicker_->Follow();
}

bool TScanPage::StartScan(QPushButton* button, TScanRunner::Work work)
{
    if (Running()) {
        runner_.CancelClick();
        return false;
    }
    if (!rangePicker_->Check(notifier_))
        return false;
    statusLabel_->setText(QString::fromUtf8("計算中..."));
    runner_.Start(button, std::move(work));
    return true;
}

void TScanPage::ScanShown(const DayScanInfo& scan)
{
    computed_ = true;
    ShowScanProblems(*problemsLabel_, scan);
}

void TScanPage::ShowStatus(const DayScanInfo& scan, const char* hint)
{
    statusLabel_->setText(computed_ ? Q(Heading() + "  " + BacktestCountsText(scan)) : QString::fromUtf8(hint));
    statusLabel_->setToolTip(statusLabel_->text());
}

void TScanPage::CopyBtnClick()
{
    if (computed_)
        CopyTable(*grid_, Heading());
}

void TScanPage::CsvBtnClick()
{
    if (!computed_)
        return;
    const std::string path = ExportTableCsv(base_, Heading(), *grid_, notifier_);
    if (!path.empty())
        Q_EMIT csvWritten(path);
}

} // namespace tervan
