// TGetDataForm: the JV data download dialog "ＪＶデータ取込".
//
// It opens a JV-Link stream of accumulated data from the start date of its
// date picker, waits on a 10 ms timer while JV-Link downloads, reads every
// record into the stored race data files and shows progress and the files
// written. The work is the core download (JVDownload, acquisition/ReadLoop.h),
// the same that tervan-tool import-jv runs; the dialog only shows it.
//
// A new dialog is made for every use and shown modally. It reads the start
// point "JvDataGet"/"LastTime" when created and writes it back only when a
// download has read every record. Every close request rebuilds the main
// window's day list first; a close while the read loop runs, once the loop
// has written what it holds.
#pragma once

#include "acquisition/JVLink.h"
#include "acquisition/ReadLoop.h"
#include "acquisition/StoredFiles.h"
#include "platform/Clock.h"

#include <QAbstractListModel>
#include <QDialog>
#include <QElapsedTimer>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QDateTimeEdit;
class QLabel;
class QListView;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTimer;
class QToolButton;

namespace tervan {

class INotifier;
class Settings;
class TLabel3D;

// The lines of the dialog's log: a download of many years writes millions,
// and every one can be scrolled to. They are held as CP932 bytes one after
// another, converted only when drawn; lines added wait until Show() tells
// the list about them, in one batch.
class LogLines : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void Add(std::string_view line);
    // Shows the lines added since the last time; whether there were any.
    bool Show();
    void Clear();
    std::size_t Count() const { return m_ends.size(); }
    std::string_view Line(std::size_t i) const;

private:
    std::string m_bytes;
    std::vector<std::size_t> m_ends; // where each line ends in m_bytes
    int m_shown = 0;                 // lines the list knows of
};

class TGetDataForm : public QDialog, private ReadLoopNotifier {
    Q_OBJECT
public:
    struct Options {
        IJVLink* jvlink = nullptr;       // JVLink1 of the main window (required)
        Settings* settings = nullptr;    // the program's settings file (required)
        INotifier* notifier = nullptr;   // beeps and boxes; real boxes over this dialog when null
        std::function<void()> rebuildDayList; // the main window's MakeDataListBtnClick
        std::function<DateTime()> clock;      // Now() when empty
        // Lets pending window messages run before every read;
        // QCoreApplication::processEvents when empty.
        std::function<void()> processMessages;
    };

    static const char* const kCaption; // "ＪＶデータ取込" (UTF-8)

    // FormCreate: the controls, and the start point read into the picker.
    explicit TGetDataForm(Options options, QWidget* parent = nullptr);
    ~TGetDataForm() override;

    // --- Handlers ---
    void ButtonStartClick();
    // "過去データ取込（セットアップ）": JV-Link's setup data from 1 January of
    // the year in SetupYearEdit.
    void ButtonSetupClick();
    void ButtonCancelClick();
    void SpeedButton1Click();
    void TimerJVStatusTimer();

    // Every close (window close box, Esc, accept or reject) ends here.
    void done(int result) override;

    // --- What tests and the screenshot script look at ---
    QPushButton* ButtonStart() const { return buttonStart_; }
    QPushButton* ButtonCancel() const { return buttonCancel_; }
    QPushButton* ButtonSetup() const { return buttonSetup_; }
    QSpinBox* SetupYearEdit() const { return setupYearEdit_; }
    QToolButton* SpeedButton1() const { return speedButton1_; }
    TLabel3D* ProgressLabel() const { return progressLabel_; }
    QProgressBar* ProgressBar1() const { return progressBar1_; }
    QProgressBar* ProgressBar2() const { return progressBar2_; }
    QListView* ListBox1() const { return listBox1_; }
    const LogLines& Log() const { return *log_; }
    QDateTimeEdit* DateTimePicker1() const { return dateTimePicker1_; }
    QTimer* TimerJVStatus() const { return timerJVStatus_; }
    // The picker's date and time.
    DateTime StartTime() const;
    void SetStartTime(const DateTime& t);
    // True while a download waits or reads.
    bool Running() const;
    const JVDownload& Download() const { return *download_; }

private:
    // ReadLoopNotifier: what the core download shows.
    void ProgressLabel(const std::string& text) override;
    void DownloadProgress(int position, int maximum) override;
    void ReadProgress(int position, int maximum) override;
    void ClearLog() override;
    void LogLine(const std::string& line) override;
    void Beep() override;
    void Information(const std::string& text) override;
    void FileFailure(const std::string& text) override;
    void BusyCursor(bool busy) override;
    void ProcessMessages() override;
    void StartTimeSaved(const std::string& slashed) override;

    void BuildControls();
    void Begin(const std::function<bool()>& start);
    void UpdateButtons();
    void EnableStarts(bool enabled);
    void AfterDownloadStep();
    bool Reading() const;
    void ShowPending();
    INotifier& Notify();
    DateTime Clock() const;

    Options options_;
    std::unique_ptr<INotifier> ownNotifier_;
    std::unique_ptr<StoredRaceFiles> files_;
    std::unique_ptr<JVDownload> download_;
    bool closing_ = false;
    bool rebuildAfterRead_ = false; // closed while the read loop ran

    // While the read loop runs, what it shows waits here and is painted at
    // most every kRepaintMs (and whenever the loop stops or shows a box);
    // messages are let through at most every kPumpMs.
    static constexpr int kRepaintMs = 50;
    static constexpr int kPumpMs = 10;
    struct Pending {
        bool label = false, bar1 = false, bar2 = false;
        std::string labelText;
        int position1 = 0, maximum1 = 1, position2 = 0, maximum2 = 1;
    } pending_;
    QElapsedTimer sinceShown_;
    QElapsedTimer sincePump_;

    QPushButton* buttonStart_ = nullptr;
    QPushButton* buttonCancel_ = nullptr;
    QPushButton* buttonSetup_ = nullptr;
    QSpinBox* setupYearEdit_ = nullptr;
    QToolButton* speedButton1_ = nullptr;
    TLabel3D* progressLabel_ = nullptr;
    QProgressBar* progressBar1_ = nullptr;
    QProgressBar* progressBar2_ = nullptr;
    QListView* listBox1_ = nullptr;
    LogLines* log_ = nullptr;
    QDateTimeEdit* dateTimePicker1_ = nullptr;
    QTimer* timerJVStatus_ = nullptr;
};

} // namespace tervan
