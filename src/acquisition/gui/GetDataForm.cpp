#include "acquisition/gui/GetDataForm.h"

#include "acquisition/JVResultText.h"
#include "app/Settings.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"
#include "widgets/Fonts.h"
#include "widgets/Label3D.h"
#include "widgets/Notifier.h"
#include "widgets/QtNotifier.h"
#include "widgets/Text.h"

#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>

namespace tervan {

namespace {

QDateTime ToQDateTime(const DateTime& t)
{
    return QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second));
}

DateTime FromQDateTime(const QDateTime& q)
{
    DateTime t;
    t.year = q.date().year();
    t.month = q.date().month();
    t.day = q.date().day();
    t.hour = q.time().hour();
    t.minute = q.time().minute();
    t.second = q.time().second();
    return t;
}

QLabel* Caption(const char* text, QWidget* parent)
{
    auto* label = new QLabel(U(text), parent);
    return label;
}

} // namespace

const char* const TGetDataForm::kCaption = "ＪＶデータ取込";

TGetDataForm::TGetDataForm(Options options, QWidget* parent)
    : QDialog(parent)
    , options_(std::move(options))
{
    if (options_.jvlink == nullptr || options_.settings == nullptr)
        throw std::invalid_argument("TGetDataForm needs JV-Link and the settings");
    setObjectName(QStringLiteral("GetDataForm"));
    setWindowTitle(U(kCaption));
    setModal(true);
    if (options_.notifier == nullptr)
        ownNotifier_ = std::make_unique<QtNotifier>(this);

    files_ = std::make_unique<StoredRaceFiles>(options_.settings->BaseFolder());
    download_ = std::make_unique<JVDownload>(*options_.jvlink, *files_, static_cast<ReadLoopNotifier&>(*this),
                                             [this] { return Clock(); });
    BuildControls();

    // The start point of the next download; a value that is not a date and
    // time gives the default (now minus 8 days).
    SetStartTime(options_.settings->ReadLastTimeValue(Clock()));
    UpdateButtons();
}

TGetDataForm::~TGetDataForm() = default;

void TGetDataForm::BuildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(4);

    auto* buttons = new QHBoxLayout;
    buttonStart_ = new QPushButton(U("データ取込み開始"), this);
    buttonStart_->setObjectName(QStringLiteral("ButtonStart"));
    buttonStart_->setAutoDefault(false);
    buttonCancel_ = new QPushButton(U("データ取込み中止"), this);
    buttonCancel_->setObjectName(QStringLiteral("ButtonCancel"));
    buttonCancel_->setAutoDefault(false);
    speedButton1_ = new QToolButton(this);
    speedButton1_->setObjectName(QStringLiteral("SpeedButton1"));
    speedButton1_->setText(U("JVLink設定"));
    speedButton1_->setAutoRaise(true);
    buttons->addWidget(buttonStart_);
    buttons->addWidget(buttonCancel_);
    buttons->addStretch(1);
    buttons->addWidget(speedButton1_);
    layout->addLayout(buttons);

    progressLabel_ = new TLabel3D(this);
    progressLabel_->setObjectName(QStringLiteral("ProgressLabel"));
    progressLabel_->setTextStyle(TLabel3D::kRaised);
    progressLabel_->setTextColor(Qt::blue);
    QFont bold = progressLabel_->font();
    bold.setBold(true);
    progressLabel_->setFont(bold);
    progressLabel_->setAutoSize(false);
    progressLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    progressLabel_->setMinimumHeight(QFontMetrics(bold).height() + 8);
    progressLabel_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    layout->addWidget(progressLabel_);

    auto bar = [this](const char* name) {
        auto* b = new QProgressBar(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setRange(0, 100);
        b->setValue(0);
        b->setTextVisible(false);
        b->setFixedHeight(16);
        return b;
    };
    layout->addWidget(Caption("ダウンロード", this));
    progressBar1_ = bar("ProgressBar1");
    layout->addWidget(progressBar1_);
    layout->addWidget(Caption("読込み", this));
    progressBar2_ = bar("ProgressBar2");
    layout->addWidget(progressBar2_);

    layout->addWidget(Caption("作成済みデータ", this));
    listBox1_ = new QListView(this);
    log_ = new LogLines(listBox1_);
    listBox1_->setModel(log_);
    listBox1_->setObjectName(QStringLiteral("ListBox1"));
    listBox1_->setFont(GothicFont(12));
    listBox1_->setSelectionMode(QAbstractItemView::SingleSelection);
    listBox1_->setUniformItemSizes(true);
    layout->addWidget(listBox1_, 1);

    layout->addWidget(Caption("取得開始日付", this));
    dateTimePicker1_ = new QDateTimeEdit(this);
    dateTimePicker1_->setObjectName(QStringLiteral("DateTimePicker1"));
    // The long date form ("2006年5月28日"); the time of day of the start
    // point is kept though not shown.
    dateTimePicker1_->setDisplayFormat(U("yyyy'年'M'月'd'日'"));
    dateTimePicker1_->setCalendarPopup(true);
    dateTimePicker1_->setTimeSpec(Qt::LocalTime);
    auto* pickerRow = new QHBoxLayout;
    pickerRow->addWidget(dateTimePicker1_);
    pickerRow->addStretch(1);
    layout->addLayout(pickerRow);

    // The setup download of past years, from 1 January of the chosen year.
    auto* setupRow = new QHBoxLayout;
    setupRow->addWidget(Caption("開始年", this));
    setupYearEdit_ = new QSpinBox(this);
    setupYearEdit_->setObjectName(QStringLiteral("SetupYearEdit"));
    const int thisYear = Clock().year;
    setupYearEdit_->setRange(kSetupEarliestYear, std::max(thisYear, kSetupEarliestYear));
    setupYearEdit_->setValue(DefaultSetupYear(thisYear));
    setupYearEdit_->setSuffix(U("年"));
    setupRow->addWidget(setupYearEdit_);
    buttonSetup_ = new QPushButton(U("過去データ取込（セットアップ）"), this);
    buttonSetup_->setObjectName(QStringLiteral("ButtonSetup"));
    buttonSetup_->setAutoDefault(false);
    setupRow->addWidget(buttonSetup_);
    setupRow->addStretch(1);
    layout->addLayout(setupRow);

    timerJVStatus_ = new QTimer(this);
    timerJVStatus_->setObjectName(QStringLiteral("TimerJVStatus"));
    timerJVStatus_->setInterval(10);

    connect(buttonStart_, &QPushButton::clicked, this, [this] { ButtonStartClick(); });
    connect(buttonCancel_, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
    connect(buttonSetup_, &QPushButton::clicked, this, [this] { ButtonSetupClick(); });
    connect(speedButton1_, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(timerJVStatus_, &QTimer::timeout, this, [this] { TimerJVStatusTimer(); });

    resize(460, 480);
}

INotifier& TGetDataForm::Notify()
{
    return options_.notifier != nullptr ? *options_.notifier : *ownNotifier_;
}

DateTime TGetDataForm::Clock() const
{
    return options_.clock ? options_.clock() : Now();
}

DateTime TGetDataForm::StartTime() const
{
    return FromQDateTime(dateTimePicker1_->dateTime());
}

void TGetDataForm::SetStartTime(const DateTime& t)
{
    dateTimePicker1_->setDateTime(ToQDateTime(t));
}

bool TGetDataForm::Running() const
{
    return download_->CurrentState() != JVDownload::State::Idle;
}

// Start and settings wait while a download runs; the cancel button never does.
void TGetDataForm::UpdateButtons()
{
    EnableStarts(!Running());
    buttonCancel_->setEnabled(true);
}

// The buttons that start a download or change JV-Link's settings.
void TGetDataForm::EnableStarts(bool enabled)
{
    buttonStart_->setEnabled(enabled);
    buttonSetup_->setEnabled(enabled);
    speedButton1_->setEnabled(enabled);
}

// ---------------------------------------------------------------------------
// Handlers

void TGetDataForm::ButtonStartClick()
{
    Begin([this] { return download_->Start(StartTime()); });
}

void TGetDataForm::ButtonSetupClick()
{
    const DateTime from {setupYearEdit_->value(), 1, 1};
    Begin([this, from] { return download_->StartSetup(from, options_.settings->ReadLastTimeValue(Clock())); });
}

// Starts a download unless one runs; the wait timer runs while it waits.
void TGetDataForm::Begin(const std::function<bool()>& start)
{
    if (Running())
        return;
    EnableStarts(false);
    timerJVStatus_->stop();
    const bool wait = start();
    if (wait && download_->CurrentState() == JVDownload::State::Waiting)
        timerJVStatus_->start();
    AfterDownloadStep();
}

// One tick of the download wait. The timer stays off while the tick runs:
// the read loop inside it lets messages through, and a tick must never run
// into it.
void TGetDataForm::TimerJVStatusTimer()
{
    timerJVStatus_->stop();
    const bool more = download_->Tick();
    if (more && download_->CurrentState() == JVDownload::State::Waiting)
        timerJVStatus_->start();
    AfterDownloadStep();
}

// After the start button or a timer tick ran its part of a download: a
// dialog closed while its read loop ran rebuilds the day list now, after
// the loop's last write, so that every day it wrote is listed.
void TGetDataForm::AfterDownloadStep()
{
    if (rebuildAfterRead_ && !Running()) {
        rebuildAfterRead_ = false;
        if (options_.rebuildDayList)
            options_.rebuildDayList();
    }
    UpdateButtons();
}

void TGetDataForm::ButtonCancelClick()
{
    if (!Notify().Confirm(SJ("データ取込を中止します。実行しますか？")))
        return;
    timerJVStatus_->stop();
    download_->Cancel();
    UpdateButtons();
}

void TGetDataForm::SpeedButton1Click()
{
    if (Running())
        return;
    const std::int32_t r = options_.jvlink->JVSetUIProperties();
    if (r != 0) {
        Beep();
        Information(JVErrorMessage("JVSetUIProperties", r, options_.jvlink->CallFailure()));
    }
}

void TGetDataForm::done(int result)
{
    // Closing is always allowed. A download still waiting or reading is
    // cancelled first, so that its stream is closed and nothing runs on
    // behind a closed window.
    if (Running()) {
        timerJVStatus_->stop();
        download_->Cancel();
        UpdateButtons();
    }
    // A read loop still running (this close came through the messages it
    // lets run) writes what it holds when it stops: the day list waits for
    // that.
    if (Reading())
        rebuildAfterRead_ = true;
    else if (options_.rebuildDayList)
        options_.rebuildDayList();
    QDialog::done(result);
}

// ---------------------------------------------------------------------------
// What the download shows

bool TGetDataForm::Reading() const
{
    return download_->CurrentState() == JVDownload::State::Reading;
}

// Paints what the read loop left waiting: the label, the bars, and the log
// lines in one batch, in the order they came.
void TGetDataForm::ShowPending()
{
    if (pending_.label)
        progressLabel_->SetCaption(pending_.labelText);
    if (pending_.bar1) {
        progressBar1_->setMaximum(pending_.maximum1);
        progressBar1_->setValue(pending_.position1);
    }
    if (pending_.bar2) {
        progressBar2_->setMaximum(pending_.maximum2);
        progressBar2_->setValue(pending_.position2);
    }
    if (log_->Show())
        listBox1_->scrollToBottom();
    pending_ = Pending {};
    sinceShown_.start();
}

void TGetDataForm::ProgressLabel(const std::string& text)
{
    pending_.label = true;
    pending_.labelText = text;
    if (!Reading())
        ShowPending();
}

void TGetDataForm::DownloadProgress(int position, int maximum)
{
    maximum = std::max(maximum, 1);
    pending_.bar1 = true;
    pending_.maximum1 = maximum;
    pending_.position1 = std::clamp(position, 0, maximum);
    if (!Reading())
        ShowPending();
}

void TGetDataForm::ReadProgress(int position, int maximum)
{
    maximum = std::max(maximum, 1);
    pending_.bar2 = true;
    pending_.maximum2 = maximum;
    pending_.position2 = std::clamp(position, 0, maximum);
    if (!Reading())
        ShowPending();
}

void TGetDataForm::ClearLog()
{
    log_->Clear();
}

void TGetDataForm::LogLine(const std::string& line)
{
    log_->Add(line);
    if (!Reading())
        ShowPending();
}

void TGetDataForm::Beep()
{
    Notify().Beep();
}

void TGetDataForm::Information(const std::string& text)
{
    ShowPending();
    Notify().Information(text);
}

void TGetDataForm::FileFailure(const std::string& text)
{
    ShowPending();
    Notify().Beep();
    Notify().Information(text);
}

void TGetDataForm::BusyCursor(bool busy)
{
    if (busy) {
        setCursor(Qt::BusyCursor);
        EnableStarts(false);
    } else {
        ShowPending();
        unsetCursor();
        UpdateButtons();
    }
}

// Before every read: a repaint when its time has come, and the messages let
// through often enough that the cancel button acts at once.
void TGetDataForm::ProcessMessages()
{
    if (!sinceShown_.isValid() || sinceShown_.elapsed() >= kRepaintMs)
        ShowPending();
    if (sincePump_.isValid() && sincePump_.elapsed() < kPumpMs)
        return;
    sincePump_.start();
    if (options_.processMessages)
        options_.processMessages();
    else
        QCoreApplication::processEvents();
}

void TGetDataForm::StartTimeSaved(const std::string& slashed)
{
    ShowPending();
    if (std::optional<DateTime> t = ParseSlashed(slashed))
        SetStartTime(*t);
    try {
        options_.settings->WriteLastTime(slashed);
    } catch (const fs::FileError& e) {
        Notify().Beep();
        Notify().Information(e.what());
    }
}

// ---------------------------------------------------------------------------
// The log's lines

int LogLines::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_shown;
}

QVariant LogLines::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() < 0 || index.row() >= m_shown)
        return {};
    return Q(Line(static_cast<std::size_t>(index.row())));
}

void LogLines::Add(std::string_view line)
{
    m_bytes.append(line);
    m_ends.push_back(m_bytes.size());
}

bool LogLines::Show()
{
    const int count = static_cast<int>(m_ends.size());
    if (count == m_shown)
        return false;
    beginInsertRows(QModelIndex(), m_shown, count - 1);
    m_shown = count;
    endInsertRows();
    return true;
}

void LogLines::Clear()
{
    beginResetModel();
    m_bytes.clear();
    m_ends.clear();
    m_shown = 0;
    endResetModel();
}

std::string_view LogLines::Line(std::size_t i) const
{
    const std::size_t start = i == 0 ? 0 : m_ends[i - 1];
    return std::string_view(m_bytes).substr(start, m_ends[i] - start);
}

} // namespace tervan
