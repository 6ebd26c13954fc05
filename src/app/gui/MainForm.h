// TMainForm: the program's main window. It owns everything that lives longer
// than one command: the base folder, the settings file, the JV-Link
// component JVLink1, the loaded race day and the current race, and the two
// grids. Handlers keep the names of the controls and events they serve.
#pragma once

#include "acquisition/JVLink.h"
#include "app/RaceDay.h"
#include "app/Settings.h"
#include "app/gui/MainFormHooks.h"
#include "views/GridText.h"
#include "views/HeaderStrip.h"
#include "widgets/Notifier.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QStatusBar;
class QTabWidget;
class QToolButton;
class QUrl;

namespace tervan {

class IFolderPicker;
class TStringGrid;
class THeaderStrip;
class TResultsPanel;
class TPrgrsForm;
class THotTrackSpeedButton;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    struct Options {
        std::string base;                   // base folder (CP932)
        std::string executableStem = "tervan"; // names the settings file
        std::unique_ptr<IJVLink> jvlink;    // JVLink1; the stand-in when null
        INotifier* notifier = nullptr;      // message boxes; real ones when null
        std::function<int()> currentYear;   // the clock's year (list ages); Now() when empty
        std::function<bool(const QUrl&)> openUrl; // the system's file handler; QDesktopServices when empty
    };

    static const char* const kCaption; // window caption (UTF-8)

    // FormCreate: folders, settings, geometry, grids, results panel, day list.
    // Throws fs::FileError when a folder cannot be made (start-up ends then).
    explicit TMainForm(Options options, QWidget* parent = nullptr);
    ~TMainForm() override;

    // --- What other windows and tests use ---
    const std::string& BaseFolder() const { return base_; }
    Settings& AppSettings() { return settings_; }
    IJVLink& JVLink1() { return *jvlink_; }
    INotifier& Notifier() { return *notifier_; }
    RaceDay& Day() { return *day_; }
    const RaceDay& Day() const { return *day_; }
    // Slot index (0-11) of the race on display, -1 before the first display.
    int CurrentRace() const { return currentRace_; }
    // The day-list entries (CP932) and the one loaded, empty when none.
    const std::vector<std::string>& DayEntries() const { return dayEntries_; }
    std::string SelectedDayEntry() const;
    bool Since2005() const { return day_->since2005; }
    MainFormHooks& Hooks() { return hooks_; }
    void SetFolderPicker(std::unique_ptr<IFolderPicker> picker);
    QString VersionLabel() const;

    QComboBox* DateCombo() const { return dateCombo_; }
    QListWidget* DatList() const { return datList_; }
    QWidget* Panel5() const { return panel5_; }
    QTabWidget* PageControl1() const { return pageControl_; }
    TStringGrid* StringGrid1() const { return grid1_; }
    TStringGrid* StringGrid2() const { return grid2_; }
    THeaderStrip* HeaderStrip() const { return headerStrip_; }
    TResultsPanel* ResultsPanel() const { return resultsPanel_; }
    TPrgrsForm* PrgrsForm() const { return prgrsForm_; }
    QSpinBox* UpDown1() const { return upDown1_; }
    QAction* N5() const { return n5_; }
    // Row index of the list: (race slot, runner index) per list row 1...
    const std::vector<std::pair<int, int>>& ListIndex() const { return listIndex_; }

    // Heading texts of the exports.
    std::string CardHeading() const;
    std::string ListHeading() const;
    // Cell texts of a grid as the exports read them.
    static TextGrid GridTexts(const TStringGrid& grid);

public Q_SLOTS:
    // --- Internal commands (hidden buttons) ---
    void MakeDataListBtnClick();
    void IniBtnClick();
    void GaitoBaBtnClick();
    void HrReadBtnClick();
    // --- Day list, race list, stepper ---
    void DateComboChange(int index);
    void DatListClick();
    void UpDown1Click();
    // --- Race card and list buttons ---
    void SpeedButton2Click();
    void SpeedButton13Click();
    void SpeedButton14Click();
    void SpeedButton15Click();
    void SpeedButton16Click();
    // --- Menu items and toolbar buttons ---
    void J1Click();
    void FileExitItemClick();
    void N5Click();
    void yosohaitomenuClick();
    void TozBtnClick();
    void KekkaGetBtnClick();
    void HelpContentsItemClick();
    void HelpAboutItemClick();
    // Shows the left panel again after the option "読込後、ﾃﾞｰﾀﾘｽﾄを消す"
    // or a narrow window has hidden it (menu "ｵﾌﾟｼｮﾝ(&O)", Ctrl+L, the
    // button "ﾃﾞｰﾀﾘｽﾄ" beside the tabs).
    void ShowDataListClick();
    // True when the whole race card fits beside the left panel.
    bool CardFitsBesideList() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void HideDataList(bool forWidth);
    void BuildMenus();
    void BuildToolbar();
    void BuildLeftPanel(QWidget* parent);
    void BuildPages(QWidget* parent);
    void SetUpGrids();
    void FormShow();
    void RefreshListResults();
    void FillCard(const RaceSlot& slot, bool& complete, std::string& incompleteMessage);
    void StringGrid2DrawCell(QPainter& painter, int col, int row, const QRect& rect, bool selected);
    void StringGrid1DrawCell(QPainter& painter, int col, int row, const QRect& rect, bool selected);
    void ExportCsv(const std::string& path, const std::string& heading, const TStringGrid& grid);
    // The status line names a CSV file just written.
    void ShowCsvWritten(const std::string& path);
    void Fail(const std::string& message);
    void NotReady();
    void OpenBundledHelp();
    int ClockYear() const;

    Options options_;
    std::string base_;
    Settings settings_;
    std::unique_ptr<IJVLink> jvlink_;
    std::unique_ptr<INotifier> ownNotifier_;
    INotifier* notifier_ = nullptr;
    std::unique_ptr<RaceDay> day_;
    std::unique_ptr<IFolderPicker> folderPicker_;
    MainFormHooks hooks_;
    int currentRace_ = -1;
    bool shownOnce_ = false;
    bool loading_ = false;
    bool steppingRaces_ = false;
    // The left panel was hidden only because the card did not fit beside
    // it; it comes back when the window is wide enough.
    bool listHiddenForWidth_ = false;
    std::vector<std::string> dayEntries_;
    std::vector<std::pair<int, int>> listIndex_;
    HeaderStripTexts header_;

    QComboBox* dateCombo_ = nullptr;
    QListWidget* datList_ = nullptr;
    QWidget* panel5_ = nullptr;
    QToolButton* showListBtn_ = nullptr;
    QTabWidget* pageControl_ = nullptr;
    TStringGrid* grid1_ = nullptr;
    TStringGrid* grid2_ = nullptr;
    THeaderStrip* headerStrip_ = nullptr;
    TResultsPanel* resultsPanel_ = nullptr;
    TPrgrsForm* prgrsForm_ = nullptr;
    QSpinBox* upDown1_ = nullptr;
    QStatusBar* statusLine_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    QAction* n5_ = nullptr;
    QToolButton* speedButton2_ = nullptr;
    QToolButton* speedButton3_ = nullptr;
    QToolButton* speedButton7_ = nullptr;
    QPushButton* makeDataListBtn_ = nullptr;
    QPushButton* iniBtn_ = nullptr;
    QPushButton* hrReadBtn_ = nullptr;
    THotTrackSpeedButton* gaitoBaBtn_ = nullptr;
    THotTrackSpeedButton* kekkaGetBtn_ = nullptr;
};

} // namespace tervan
