#include "app/gui/MainForm.h"

#include "acquisition/JVResultText.h"
#include "app/BaseFolder.h"
#include "app/RaceDay.h"
#include "app/gui/AboutBox.h"
#include "app/gui/BacktestTab.h"
#include "app/gui/LabTab.h"
#include "app/gui/PrgrsForm.h"
#include "app/gui/TallyGridView.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"
#include "import/PayoutImport.h"
#include "views/CardSort.h"
#include "views/CsvExport.h"
#include "views/MatchListText.h"
#include "views/RaceCardText.h"
#include "views/gui/GridPaint.h"
#include "views/gui/HeaderStripWidget.h"
#include "views/gui/ResultsPanelWidget.h"
#include "widgets/Fonts.h"
#include "widgets/FolderViewer.h"
#include "widgets/HotTrackButton.h"
#include "widgets/QtNotifier.h"
#include "widgets/StringGrid.h"
#include "widgets/Text.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace tervan {

const char* const TMainForm::kCaption = "KodeniのNorvikシリーズNo.1「 テルヴァン 」 JRA-VAN Data Lab.";

namespace {

// Re-enables the window and closes the progress window however a load ends.
class LoadGuard {
public:
    LoadGuard(QWidget* window, TPrgrsForm* progress, bool& loading)
        : window_(window), progress_(progress), loading_(loading)
    {
        loading_ = true;
    }
    ~LoadGuard()
    {
        progress_->Finish();
        window_->setEnabled(true);
        loading_ = false;
    }

private:
    QWidget* window_;
    TPrgrsForm* progress_;
    bool& loading_;
};

THotTrackSpeedButton* MakeSpeedButton(QWidget* parent, const char* name, const char* caption, const char* hint)
{
    auto* button = new THotTrackSpeedButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(U(caption));
    if (hint != nullptr) {
        button->setToolTip(U(hint));
        button->setStatusTip(U(hint));
    }
    return button;
}

} // namespace

TMainForm::TMainForm(Options options, QWidget* parent)
    : QMainWindow(parent)
    , options_(std::move(options))
    , base_(options_.base)
    , settings_(base_, options_.executableStem)
    , day_(std::make_unique<RaceDay>())
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(U(kCaption));
    if (options_.notifier != nullptr) {
        notifier_ = options_.notifier;
    } else {
        ownNotifier_ = std::make_unique<QtNotifier>(this);
        notifier_ = ownNotifier_.get();
    }
    jvlink_ = options_.jvlink ? std::move(options_.jvlink) : CreateJVLink(base_);
    folderPicker_ = std::make_unique<TFolderViewerEx>(this);

    // The folders under the base folder (a failure ends start-up).
    EnsureBaseFolders(base_);

    // The hint of whatever the mouse is over shows on the status line.
    statusLine_ = new QStatusBar(this);
    statusLine_->setObjectName(QStringLiteral("StatusLine"));
    setStatusBar(statusLine_);
    versionLabel_ = new QLabel(statusLine_);
    versionLabel_->setObjectName(QStringLiteral("VersionLabel"));
    statusLine_->addPermanentWidget(versionLabel_);

    const WindowGeometry g = settings_.ReadLocate();
    move(g.left, g.top);
    resize(g.width, g.height);

    BuildMenus();
    BuildToolbar();
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(3);
    BuildLeftPanel(central);
    BuildPages(central);
    layout->addWidget(panel5_);
    auto* right = new QVBoxLayout;
    right->setSpacing(2);
    right->addWidget(headerStrip_);
    // The page control sits in a holder that keeps its place while it is hidden.
    auto* pages = new QWidget(central);
    auto* pagesLayout = new QVBoxLayout(pages);
    pagesLayout->setContentsMargins(0, 0, 0, 0);
    pagesLayout->addWidget(pageControl_);
    right->addWidget(pages, 1);
    layout->addLayout(right, 1);
    setCentralWidget(central);

    SetUpGrids();
    n5_->setChecked(settings_.ReadDataListClose());
    prgrsForm_ = new TPrgrsForm(this);

    InstallMainFormHooks(hooks_);
    MakeDataListBtnClick();
    grid1_->ClearSelection();
    if (hooks_.afterCreate)
        hooks_.afterCreate(*this);
}

TMainForm::~TMainForm() = default;

void TMainForm::BuildMenus()
{
    QMenu* file = menuBar()->addMenu(U("ﾌｧｲﾙ(&F)"));
    QAction* j1 = file->addAction(U("ＪＶデータ取得(&J)"), this, &TMainForm::J1Click);
    j1->setObjectName(QStringLiteral("J1"));
    j1->setStatusTip(U("JRA-VAN Data Lab.からデータを取得します"));
    file->addSeparator();
    QAction* exitItem = file->addAction(U("終了(&X)"), this, &TMainForm::FileExitItemClick);
    exitItem->setObjectName(QStringLiteral("FileExitItem"));
    exitItem->setStatusTip(U("このｱﾌﾟﾘｹｰｼｮﾝを終了します"));

    QMenu* option = menuBar()->addMenu(U("ｵﾌﾟｼｮﾝ(&O)"));
    n5_ = option->addAction(U("読込後、ﾃﾞｰﾀﾘｽﾄを消す"));
    n5_->setObjectName(QStringLiteral("N5"));
    n5_->setCheckable(true);
    n5_->setStatusTip(U("分析用ﾃﾞｰﾀ読込後、ﾃﾞｰﾀﾘｽﾄを消します"));
    connect(n5_, &QAction::triggered, this, [this] { N5Click(); });
    option->addSeparator();
    QAction* showList = option->addAction(U("ﾃﾞｰﾀﾘｽﾄを表示(&L)"), this, &TMainForm::ShowDataListClick);
    showList->setObjectName(QStringLiteral("ShowDataListItem"));
    showList->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    showList->setStatusTip(U("隠れたﾃﾞｰﾀﾘｽﾄ（開催日とﾚｰｽの一覧）をもう一度表示します"));

    QMenu* folder = menuBar()->addMenu(U("ﾌｫﾙﾀﾞ指定(&D)"));
    QAction* yoso = folder->addAction(U("単勝予想配当ﾃﾞｰﾀﾌｫﾙﾀﾞの指定(&Y)"), this, &TMainForm::yosohaitomenuClick);
    yoso->setObjectName(QStringLiteral("yosohaitomenu"));
    yoso->setStatusTip(U("単勝予想配当ﾃﾞｰﾀのあるﾌｫﾙﾀﾞを指定します"));

    QMenu* help = menuBar()->addMenu(U("ﾍﾙﾌﾟ(&H)"));
    QAction* contents = help->addAction(U("目次(&C)"), this, &TMainForm::HelpContentsItemClick);
    contents->setObjectName(QStringLiteral("HelpContentsItem"));
    contents->setStatusTip(U("ﾍﾙﾌﾟの目次を表示します"));
    contents->setShortcut(QKeySequence(Qt::Key_F1));
    help->addSeparator();
    QAction* about = help->addAction(U("ﾊﾞｰｼﾞｮﾝ情報(&A)..."), this, &TMainForm::HelpAboutItemClick);
    about->setObjectName(QStringLiteral("HelpAboutItem"));
}

void TMainForm::BuildToolbar()
{
    QToolBar* bar = addToolBar(U("ツールバー"));
    bar->setObjectName(QStringLiteral("SpeedBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    auto add = [&](THotTrackSpeedButton* button, void (TMainForm::*handler)()) {
        button->setFont(GothicFont(12, true));
        button->setMinimumHeight(28);
        connect(button, &QToolButton::clicked, this, handler);
        bar->addWidget(button);
        return button;
    };
    add(MakeSpeedButton(bar, "JVGetBtn", "JVデータ取得", "JRA-VAN Data Lab.からデータを取得します"), &TMainForm::J1Click);
    add(MakeSpeedButton(bar, "TozBtn", "予想配当", "単勝予想配当ﾃﾞｰﾀを読み込みます"), &TMainForm::TozBtnClick);
    kekkaGetBtn_ = add(MakeSpeedButton(bar, "KekkaGetBtn", "結果情報", "レース結果データを取得します"),
                       &TMainForm::KekkaGetBtnClick);
    kekkaGetBtn_->setSlowDecay(true);
    bar->addSeparator();
    add(MakeSpeedButton(bar, "HelpBtn", "ﾍﾙﾌﾟ", "ﾍﾙﾌﾟの目次を表示します"), &TMainForm::HelpContentsItemClick);
    add(MakeSpeedButton(bar, "AboutBtn", "ﾊﾞｰｼﾞｮﾝ情報", "ﾊﾞｰｼﾞｮﾝ情報を表示します"), &TMainForm::HelpAboutItemClick);
    add(MakeSpeedButton(bar, "ExitBtn", "終了", "ソフトを終了します"), &TMainForm::FileExitItemClick);
    // The list rebuild is a speed-bar button hidden in the layout; the day
    // load runs it through its click.
    gaitoBaBtn_ = MakeSpeedButton(this, "GaitoBaBtn", "該当馬リスト", nullptr);
    gaitoBaBtn_->hide();
    connect(gaitoBaBtn_, &QToolButton::clicked, this, &TMainForm::GaitoBaBtnClick);
}

void TMainForm::BuildLeftPanel(QWidget* parent)
{
    panel5_ = new QWidget(parent);
    panel5_->setObjectName(QStringLiteral("Panel5"));
    panel5_->setFixedWidth(168);
    auto* layout = new QVBoxLayout(panel5_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    dateCombo_ = new QComboBox(panel5_);
    dateCombo_->setObjectName(QStringLiteral("DateCombo"));
    dateCombo_->setMaxVisibleItems(36);
    dateCombo_->setPlaceholderText(U("開催日を選択"));
    dateCombo_->setFont(GothicFont(13));
    dateCombo_->setToolTip(U("開催日と競馬場を選ぶと、その日のデータを読み込みます"));
    dateCombo_->setStatusTip(dateCombo_->toolTip());
    connect(dateCombo_, &QComboBox::activated, this, &TMainForm::DateComboChange);
    datList_ = new QListWidget(panel5_);
    datList_->setObjectName(QStringLiteral("DatList"));
    datList_->setFont(GothicFont(13));
    datList_->setStatusTip(U("レースを選ぶと出馬表を表示します"));
    connect(datList_, &QListWidget::itemClicked, this, [this] { DatListClick(); });
    // Keyboard moves through the races as clicks do.
    // (a mouse click changes the row with the button down and is served by
    // itemClicked, so one click shows the race once).
    connect(datList_, &QListWidget::currentRowChanged, this, [this](int) {
        if (!loading_ && !steppingRaces_ && datList_->hasFocus() && QApplication::mouseButtons() == Qt::NoButton)
            DatListClick();
    });
    layout->addWidget(dateCombo_);
    layout->addWidget(datList_, 1);

    // Hidden internal buttons, run through their clicks.
    auto hidden = [&](const char* name, const char* caption, void (TMainForm::*handler)()) {
        auto* button = new QPushButton(U(caption), panel5_);
        button->setObjectName(QString::fromLatin1(name));
        button->hide();
        connect(button, &QPushButton::clicked, this, handler);
        return button;
    };
    makeDataListBtn_ = hidden("MakeDataListBtn", "リスト作成", &TMainForm::MakeDataListBtnClick);
    iniBtn_ = hidden("IniBtn", "初期化", &TMainForm::IniBtnClick);
    hrReadBtn_ = hidden("HrReadBtn", "払戻取込", &TMainForm::HrReadBtnClick);
    // The race stepper is hidden too; its range and position are kept.
    upDown1_ = new QSpinBox(panel5_);
    upDown1_->setObjectName(QStringLiteral("UpDown1"));
    upDown1_->setRange(0, 0);
    upDown1_->hide();
    connect(upDown1_, &QSpinBox::valueChanged, this, [this](int) {
        if (!steppingRaces_)
            UpDown1Click();
    });
    // Keys step the stepper, so races can be changed while the left panel
    // is hidden: Ctrl+PageDown the next race, Ctrl+PageUp the previous one.
    auto* nextRace = new QAction(U("次のレース"), this);
    nextRace->setObjectName(QStringLiteral("NextRaceAction"));
    nextRace->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    connect(nextRace, &QAction::triggered, upDown1_, &QSpinBox::stepUp);
    auto* previousRace = new QAction(U("前のレース"), this);
    previousRace->setObjectName(QStringLiteral("PreviousRaceAction"));
    previousRace->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    connect(previousRace, &QAction::triggered, upDown1_, &QSpinBox::stepDown);
    addAction(nextRace);
    addAction(previousRace);
}

void TMainForm::BuildPages(QWidget* parent)
{
    headerStrip_ = new THeaderStrip(parent);
    pageControl_ = new QTabWidget(parent);
    pageControl_->setObjectName(QStringLiteral("PageControl1"));

    auto strip = [](QWidget* page, QVBoxLayout*& layout) {
        layout = new QVBoxLayout(page);
        layout->setContentsMargins(2, 2, 2, 2);
        layout->setSpacing(2);
        auto* row = new QHBoxLayout;
        row->setSpacing(4);
        layout->addLayout(row);
        return row;
    };
    auto button = [this](QWidget* page, const char* name, const char* caption, void (TMainForm::*handler)()) {
        auto* b = new THotTrackSpeedButton(page);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(U(caption));
        b->setFont(GothicFont(12));
        connect(b, &QToolButton::clicked, this, handler);
        return b;
    };

    // "出馬表": copy and CSV buttons, the (hidden) sort group, the race card.
    auto* cardPage = new QWidget;
    cardPage->setObjectName(QStringLiteral("TabSheet1"));
    QVBoxLayout* cardLayout = nullptr;
    QHBoxLayout* cardStrip = strip(cardPage, cardLayout);
    cardStrip->addWidget(button(cardPage, "SpeedButton13", "クリップボードへコピー", &TMainForm::SpeedButton13Click));
    cardStrip->addWidget(button(cardPage, "SpeedButton14", "ＣＳＶファイル出力", &TMainForm::SpeedButton14Click));
    cardStrip->addStretch(1);
    auto* sortBox = new QGroupBox(U("ソート"), cardPage);
    sortBox->setObjectName(QStringLiteral("GroupBox1"));
    auto* sortLayout = new QHBoxLayout(sortBox);
    auto sortButton = [&](const char* name, const char* caption) {
        auto* b = new QToolButton(sortBox);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(U(caption));
        b->setCheckable(true);
        sortLayout->addWidget(b);
        return b;
    };
    speedButton2_ = sortButton("SpeedButton2", "馬番");
    speedButton3_ = sortButton("SpeedButton3", "賞金");
    speedButton7_ = sortButton("SpeedButton7", "");
    speedButton2_->setChecked(true);
    connect(speedButton2_, &QToolButton::clicked, this, &TMainForm::SpeedButton2Click);
    sortBox->hide();
    cardStrip->addWidget(sortBox);
    grid2_ = new TStringGrid(cardPage);
    grid2_->setObjectName(QStringLiteral("StringGrid2"));
    cardLayout->addWidget(grid2_, 1);
    pageControl_->addTab(cardPage, U("出馬表"));

    // "該当馬リスト": copy and CSV buttons, the list.
    auto* listPage = new QWidget;
    listPage->setObjectName(QStringLiteral("TabSheet2"));
    QVBoxLayout* listLayout = nullptr;
    QHBoxLayout* listStrip = strip(listPage, listLayout);
    listStrip->addWidget(button(listPage, "SpeedButton15", "クリップボードへコピー", &TMainForm::SpeedButton15Click));
    listStrip->addWidget(button(listPage, "SpeedButton16", "ＣＳＶファイル出力", &TMainForm::SpeedButton16Click));
    listStrip->addStretch(1);
    grid1_ = new TStringGrid(listPage);
    grid1_->setObjectName(QStringLiteral("StringGrid1"));
    listLayout->addWidget(grid1_, 1);
    pageControl_->addTab(listPage, U("該当馬リスト"));

    // "成績結果": the results panel.
    auto* resultPage = new QScrollArea;
    resultPage->setObjectName(QStringLiteral("TabSheet3"));
    resultsPanel_ = new TResultsPanel;
    resultPage->setWidget(resultsPanel_);
    resultPage->setWidgetResizable(false);
    pageControl_->addTab(resultPage, U("成績結果"));

    // "格言成績": how each maxim has done over the stored days.
    auto* backtest = new TBacktestTab(base_, *notifier_);
    connect(backtest, &TBacktestTab::csvWritten, this, &TMainForm::ShowCsvWritten);
    pageControl_->addTab(backtest, U("格言成績"));

    // "格言ラボ": the user's own maxims as rules, and how they have done.
    auto* lab = new TLabTab(base_, settings_, *notifier_);
    connect(lab, &TLabTab::csvWritten, this, &TMainForm::ShowCsvWritten);
    pageControl_->addTab(lab, U("格言ラボ"));

    // Beside the tabs, a way back to the left panel while it is hidden.
    showListBtn_ = new QToolButton(pageControl_);
    showListBtn_->setObjectName(QStringLiteral("ShowDataListBtn"));
    showListBtn_->setText(U("ﾃﾞｰﾀﾘｽﾄを表示"));
    showListBtn_->setFont(GothicFont(12));
    showListBtn_->setAutoRaise(true);
    showListBtn_->setToolTip(U("隠れたﾃﾞｰﾀﾘｽﾄ（開催日とﾚｰｽの一覧）をもう一度表示します (Ctrl+L)"));
    showListBtn_->hide();
    connect(showListBtn_, &QToolButton::clicked, this, &TMainForm::ShowDataListClick);
    pageControl_->setCornerWidget(showListBtn_, Qt::TopRightCorner);

    // Hidden until a race is shown.
    pageControl_->hide();
}

void TMainForm::SetUpGrids()
{
    auto setUp = [](TStringGrid* grid, const GridLayout& layout, const std::string* headers) {
        grid->SetColCount(layout.colCount);
        grid->SetRowCount(1);
        grid->SetFixedCols(layout.fixedCols);
        grid->setFont(GothicFont(layout.fontPixelSize));
        grid->SetDefaultRowHeight(layout.rowHeight);
        grid->SetRowHeight(0, layout.headerRowHeight);
        for (int c = 0; c < layout.colCount; ++c) {
            grid->SetColWidth(c, layout.widths[c]);
            grid->SetCell(c, 0, headers[c]);
        }
    };
    setUp(grid2_, CardGridLayout(), RaceCardHeaderTexts().data());
    setUp(grid1_, ListGridLayout(), MatchListHeaderTexts().data());
    grid2_->SetOnDrawCell([this](QPainter& p, int col, int row, const QRect& rect, const TStringGrid::DrawState& s) {
        StringGrid2DrawCell(p, col, row, rect, s.selected);
    });
    grid1_->SetOnDrawCell([this](QPainter& p, int col, int row, const QRect& rect, const TStringGrid::DrawState& s) {
        StringGrid1DrawCell(p, col, row, rect, s.selected);
    });
}

// ---------------------------------------------------------------------------
// Shown and closed

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        FormShow();
    }
}

void TMainForm::FormShow()
{
    versionLabel_->setText(U(kVersionLabel));
    const std::int32_t code = jvlink_->JVInit(JVSoftwareId());
    if (code != 0) {
        // A plain box: no beep, no icon.
        notifier_->Plain(JVErrorMessage("JVInit", code, jvlink_->CallFailure()));
        return;
    }
    std::string version = jvlink_->JVLinkVersion();
    if (version < kJVLinkMinimumVersion) {
        version.resize(4, ' ');
        std::string text = SJ("ご利用中のJV-Linkのバージョンは[");
        text += version.substr(1, 1) + "." + version.substr(2, 1) + "." + version.substr(3, 1);
        text += SJ("]です。") + "\r\n" + SJ("本ソフトのご利用にはバージョン[4.9.0]以上が必要です。") + "\r\n"
            + SJ("JRA-VANのホームページより最新のJV-Linkを入手し、インストールしてください。");
        Fail(text);
    }
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // FormCloseQuery: the geometry is saved; closing is always allowed.
    WindowGeometry g;
    g.top = y();
    g.left = x();
    g.width = width();
    g.height = height();
    try {
        settings_.WriteLocate(g);
    } catch (const fs::FileError& e) {
        Fail(e.what());
    }
    prgrsForm_->hide();
    event->accept();
}

QString TMainForm::VersionLabel() const
{
    return versionLabel_->text();
}

// ---------------------------------------------------------------------------
// Failures and unfinished commands

void TMainForm::Fail(const std::string& message)
{
    notifier_->Beep();
    notifier_->Information(message);
}

void TMainForm::NotReady()
{
    Fail(SJ("この機能は、このプログラムにはまだ組み込まれていません。"));
}

int TMainForm::ClockYear() const
{
    return options_.currentYear ? options_.currentYear() : Now().year;
}

std::string TMainForm::SelectedDayEntry() const
{
    const int index = dateCombo_->currentIndex();
    if (index < 0 || index >= static_cast<int>(dayEntries_.size()))
        return {};
    return dayEntries_[static_cast<size_t>(index)];
}

void TMainForm::SetFolderPicker(std::unique_ptr<IFolderPicker> picker)
{
    folderPicker_ = std::move(picker);
}

// ---------------------------------------------------------------------------
// Day list and day load

void TMainForm::MakeDataListBtnClick()
{
    std::vector<std::string> entries;
    try {
        entries = MakeDayList(base_);
    } catch (const fs::FileError& e) {
        Fail(e.what());
    }
    dayEntries_ = std::move(entries);
    QSignalBlocker block(dateCombo_);
    dateCombo_->clear();
    for (const std::string& entry : dayEntries_)
        dateCombo_->addItem(Q(entry));
    // Nothing is selected, so nothing loads until the user picks a day; but
    // the day on screen stays selected when the list is rebuilt after a
    // download, so the results update and the list's exports still name it.
    int keep = -1;
    for (size_t i = 0; i < dayEntries_.size(); ++i)
        if (!day_->dayEntry.empty() && dayEntries_[i] == day_->dayEntry && !day_->raceList.empty())
            keep = static_cast<int>(i);
    dateCombo_->setCurrentIndex(keep);
}

void TMainForm::IniBtnClick()
{
    ResetSummaries(*day_);
}

void TMainForm::DateComboChange(int index)
{
    if (loading_ || index < 0 || index >= static_cast<int>(dayEntries_.size()))
        return;
    const std::string entry = dayEntries_[static_cast<size_t>(index)];

    pageControl_->hide();
    setEnabled(false);
    LoadGuard guard(this, prgrsForm_, loading_);
    IniBtnClick();
    datList_->clear();
    currentRace_ = -1;

    DayLoadResult result;
    try {
        result = LoadRaceDay(*day_, base_, entry, [this](const DayLoadProgress& p) {
            switch (p.kind) {
            case DayLoadProgress::Start: prgrsForm_->Start(p.value); break;
            case DayLoadProgress::Line:
                prgrsForm_->SetLine(p.text);
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                break;
            case DayLoadProgress::Step: prgrsForm_->Step(); break;
            case DayLoadProgress::Pump: QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); break;
            case DayLoadProgress::Finish: prgrsForm_->Finish(); break;
            }
        });
    } catch (const std::exception& e) {
        ResetSummaries(*day_);
        day_->raceList.clear();
        result.status = DayLoadResult::Failed;
        result.message = e.what();
    }
    prgrsForm_->Finish();

    if (result.status != DayLoadResult::Loaded) {
        datList_->clear();
        Fail(result.message.empty() ? SJ("データ作成が未完了のようです。") : result.message);
        return;
    }
    {
        QSignalBlocker block(datList_);
        for (const RaceListEntry& race : day_->raceList)
            datList_->addItem(Q(race.text));
    }
    {
        QSignalBlocker block(upDown1_);
        upDown1_->setRange(0, std::max(0, datList_->count() - 1));
        upDown1_->setValue(0);
    }
    GaitoBaBtnClick();
    if (datList_->count() > 0) {
        QSignalBlocker block(datList_);
        datList_->setCurrentRow(0);
        DatListClick();
    }
    if (!result.warnings.empty()) {
        std::string text;
        for (const std::string& w : result.warnings)
            text += w + "\r\n";
        Fail(text);
    }
}

// ---------------------------------------------------------------------------
// Race display

void TMainForm::DatListClick()
{
    const int selected = datList_->currentRow();
    if (selected < 0 || selected >= static_cast<int>(day_->raceList.size()))
        return;
    const int slotIndex = day_->raceList[static_cast<size_t>(selected)].slot;
    if (slotIndex < 0 || slotIndex >= kRaceCapacity)
        return;
    pageControl_->hide();
    currentRace_ = slotIndex;
    const RaceSlot& slot = day_->slots.at(static_cast<size_t>(slotIndex));
    const RaceSummary& race = slot.summary;

    resultsPanel_->Fill(race);
    header_ = MakeHeaderStripTexts(race);
    headerStrip_->SetTexts(header_);

    bool complete = true;
    grid2_->hide();
    std::string incomplete;
    FillCard(slot, complete, incomplete);
    if (complete)
        pageControl_->show();
    else
        Fail(incomplete);
    SpeedButton2Click();
    grid2_->ClearSelection();
    grid2_->show();
    {
        QSignalBlocker block(upDown1_);
        steppingRaces_ = true;
        upDown1_->setValue(selected);
        steppingRaces_ = false;
    }
    if (n5_->isChecked()) {
        HideDataList(false);
    } else if (panel5_->isVisible()) {
        // The card's last columns go first when the window is narrow: the
        // list yields its width rather than the card scrolling.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        if (!CardFitsBesideList()) {
            HideDataList(true);
            statusLine_->showMessage(U("ウィンドウの幅が足りないため、ﾃﾞｰﾀﾘｽﾄを隠しました（Ctrl+L で表示）"), 10000);
        }
    }
}

bool TMainForm::CardFitsBesideList() const
{
    int room = grid2_->viewport()->width();
    if (!panel5_->isVisible())
        room -= panel5_->width() + centralWidget()->layout()->spacing();
    return grid2_->ContentSize().width() <= room;
}

void TMainForm::HideDataList(bool forWidth)
{
    panel5_->hide();
    listHiddenForWidth_ = forWidth;
    showListBtn_->show();
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // A list hidden for want of width comes back once the card fits beside it.
    if (listHiddenForWidth_ && !panel5_->isVisible() && !grid2_->isHidden() && CardFitsBesideList())
        ShowDataListClick();
}

void TMainForm::UpDown1Click()
{
    if (datList_->count() < 2)
        return;
    const int position = std::clamp(upDown1_->value(), 0, datList_->count() - 1);
    {
        QSignalBlocker block(datList_);
        datList_->setCurrentRow(position);
    }
    DatListClick();
}

void TMainForm::SpeedButton2Click()
{
    const TextGrid texts = GridTexts(*grid2_);
    CardCells cells;
    cells.reserve(static_cast<size_t>(texts.RowCount()));
    for (int r = 0; r < texts.RowCount(); ++r)
        cells.push_back(texts.Row(r));
    std::vector<int> order = SortCardByHorseNumber(cells, speedButton2_->isChecked(), speedButton3_->isChecked());
    if (order.size() > 1)
        grid2_->ApplyRowOrder(std::vector<int>(order.begin() + 1, order.end()));
}

// ---------------------------------------------------------------------------
// Painting

void TMainForm::FillCard(const RaceSlot& slot, bool& complete, std::string& incompleteMessage)
{
    RaceCard card = MakeRaceCard(slot);
    complete = card.complete;
    incompleteMessage = card.incompleteMessage;
    grid2_->SetRowCount(card.grid.RowCount());
    for (int r = 0; r < card.grid.RowCount(); ++r)
        grid2_->SetRowTexts(r, card.grid.Row(r));
}

void TMainForm::StringGrid2DrawCell(QPainter& painter, int col, int row, const QRect& rect, bool selected)
{
    if (row > 0 && currentRace_ < 0)
        return;
    PaintCardCell(painter, rect, *day_, currentRace_, row, col, grid2_->Cell(1, row), selected, grid2_->palette());
}

void TMainForm::StringGrid1DrawCell(QPainter& painter, int col, int row, const QRect& rect, bool selected)
{
    int race = -1;
    int runner = -1;
    if (row > 0) {
        if (row - 1 >= static_cast<int>(listIndex_.size()))
            return;
        race = listIndex_[static_cast<size_t>(row - 1)].first;
        runner = listIndex_[static_cast<size_t>(row - 1)].second;
    }
    PaintListCell(painter, rect, *day_, race, runner, row, col, selected, ClockYear(), grid1_->palette());
}

void TMainForm::GaitoBaBtnClick()
{
    MatchList list = BuildMatchList(*day_);
    listIndex_.clear();
    grid1_->hide();
    grid1_->SetRowCount(1);
    if (list.count == 0)
        return;
    grid1_->SetRowCount(list.grid.RowCount());
    for (int r = 0; r < list.grid.RowCount(); ++r)
        grid1_->SetRowTexts(r, list.grid.Row(r));
    for (size_t r = 1; r < list.index.size(); ++r)
        listIndex_.emplace_back(list.index[r].race, list.index[r].runner);
    grid1_->show();
    grid1_->ClearSelection();
}

void TMainForm::RefreshListResults()
{
    // The list keeps its rows (maxims do not change with results); only the
    // result texts, which the copy and the CSV export write, follow the
    // places, popularities and odds just read.
    for (size_t r = 0; r < listIndex_.size(); ++r) {
        const auto [race, runner] = listIndex_[r];
        grid1_->SetCell(kListResultColumn, static_cast<int>(r + 1),
                        MatchListRowTexts(*day_, race, runner)[kListResultColumn]);
    }
}

void TMainForm::HrReadBtnClick()
{
    if (day_->dayEntry.empty())
        return;
    std::string failure;
    try {
        for (const std::string& w : tervan::HrReadBtnClick(*day_))
            failure += w + "\r\n";
    } catch (const fs::FileError& e) {
        failure = e.what();
    }
    RefreshListResults();
    if (!failure.empty())
        Fail(failure);
}

// ---------------------------------------------------------------------------
// Clipboard and CSV

TextGrid TMainForm::GridTexts(const TStringGrid& grid)
{
    return TextGrid::FromRows(grid.Table());
}

std::string TMainForm::CardHeading() const
{
    if (currentRace_ < 0)
        return {};
    const RaceSummary& race = day_->slots.at(static_cast<size_t>(currentRace_)).summary;
    return CardExportHeading(header_.dateLine, RaceNumberOf(race.raceKey));
}

std::string TMainForm::ListHeading() const
{
    return SelectedDayEntry();
}

void TMainForm::ExportCsv(const std::string& path, const std::string& heading, const TStringGrid& grid)
{
    if (WriteTableCsv(base_, path, heading, grid, *notifier_))
        ShowCsvWritten(path);
}

void TMainForm::ShowCsvWritten(const std::string& path)
{
    // Where the file went, until the status line shows something else.
    statusLine_->showMessage(U("ＣＳＶファイルを出力しました：")
                             + QDir::toNativeSeparators(QString::fromStdU16String(fs::ToNative(path).u16string())));
}

void TMainForm::SpeedButton13Click()
{
    if (currentRace_ < 0)
        return;
    CopyTable(*grid2_, CardHeading());
}

void TMainForm::SpeedButton14Click()
{
    if (currentRace_ < 0)
        return;
    const RaceSummary& race = day_->slots.at(static_cast<size_t>(currentRace_)).summary;
    ExportCsv(CardCsvFilePath(base_, header_.dateLine, RaceNumberOf(race.raceKey)), CardHeading(), *grid2_);
}

void TMainForm::SpeedButton15Click()
{
    CopyTable(*grid1_, ListHeading());
}

void TMainForm::SpeedButton16Click()
{
    if (day_->dayEntry.empty())
        return;
    ExportCsv(ListCsvFilePath(base_, ListHeading()), ListHeading(), *grid1_);
}

// ---------------------------------------------------------------------------
// Menu items and toolbar buttons

void TMainForm::J1Click()
{
    if (hooks_.openDownloadDialog)
        hooks_.openDownloadDialog(*this);
    else
        NotReady();
}

void TMainForm::FileExitItemClick()
{
    close();
}

void TMainForm::N5Click()
{
    try {
        settings_.WriteDataListClose(n5_->isChecked());
    } catch (const fs::FileError& e) {
        Fail(e.what());
    }
}

void TMainForm::ShowDataListClick()
{
    panel5_->show();
    listHiddenForWidth_ = false;
    showListBtn_->hide();
}

void TMainForm::yosohaitomenuClick()
{
    if (hooks_.chooseOddsFolder) {
        hooks_.chooseOddsFolder(*this);
        return;
    }
    folderPicker_->SetCaption(SJ("単勝予想配当ﾃﾞｰﾀﾌｫﾙﾀﾞの指定"));
    folderPicker_->SetFolder(settings_.ReadYosoDir());
    if (!folderPicker_->Execute())
        return;
    try {
        settings_.WriteYosoDir(folderPicker_->Folder());
    } catch (const fs::FileError& e) {
        Fail(e.what());
    }
}

void TMainForm::TozBtnClick()
{
    if (hooks_.importForecastOdds)
        hooks_.importForecastOdds(*this);
    else
        NotReady();
}

void TMainForm::KekkaGetBtnClick()
{
    if (hooks_.updateResults)
        hooks_.updateResults(*this);
    else
        NotReady();
}

void TMainForm::HelpContentsItemClick()
{
    const std::string chm = fs::Join(base_, "tervanj.chm");
    if (fs::FileExists(chm)) {
        const QUrl url = QUrl::fromLocalFile(QString::fromStdString(fs::ToNative(chm).string()));
        const bool opened = options_.openUrl ? options_.openUrl(url) : QDesktopServices::openUrl(url);
        if (opened)
            return;
    }
    OpenBundledHelp();
}

void TMainForm::OpenBundledHelp()
{
    const std::string page = fs::Join(base_, "help/tervanj.html");
    if (!fs::FileExists(page)) {
        Fail(SJ("ヘルプファイルが見つかりません。") + "\r\n" + page);
        return;
    }
    auto* form = findChild<QDialog*>(QStringLiteral("HelpForm"));
    if (form == nullptr) {
        form = new QDialog(this);
        form->setObjectName(QStringLiteral("HelpForm"));
        form->setWindowTitle(U("テルヴァン ヘルプ"));
        form->resize(640, 600);
        auto* browser = new QTextBrowser(form);
        browser->setObjectName(QStringLiteral("HelpBrowser"));
        browser->setOpenExternalLinks(true);
        auto* layout = new QVBoxLayout(form);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser);
    }
    auto* browser = form->findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
    browser->setSource(QUrl::fromLocalFile(QString::fromStdString(fs::ToNative(page).string())));
    form->show();
    form->raise();
}

void TMainForm::HelpAboutItemClick()
{
    TAboutBox box(this);
    box.SetVersion(VersionLabel().isEmpty() ? U(kVersionLabel) : VersionLabel());
    box.exec();
}

} // namespace tervan
