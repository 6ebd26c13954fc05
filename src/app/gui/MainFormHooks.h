// The commands of the main window whose work lives in other windows: the
// download dialog, the real-time results update, the forecast odds import and
// its folder choice. The main window owns the menu items and toolbar buttons
// and calls these hooks from their handlers (J1Click, KekkaGetBtnClick,
// TozBtnClick, yosohaitomenuClick); the windows that do the work install
// themselves in InstallMainFormHooks (MainFormHooks.cpp), which the main
// window runs when it is created.
//
// A hook left empty tells the user that the command is not available; the
// folder choice has a built-in default (the folder picker and "Dir"/"yoso").
#pragma once

#include <functional>

namespace tervan {

class TMainForm;

struct MainFormHooks {
    // J1Click: create a new download dialog and show it modally.
    std::function<void(TMainForm&)> openDownloadDialog;
    // KekkaGetBtnClick: fetch the loaded day's results in real time.
    std::function<void(TMainForm&)> updateResults;
    // TozBtnClick: import forecast odds from an archive.
    std::function<void(TMainForm&)> importForecastOdds;
    // yosohaitomenuClick: choose the folder of the odds archives.
    std::function<void(TMainForm&)> chooseOddsFolder;
    // Run once after the main window and the progress window exist (the
    // download dialog made at start-up).
    std::function<void(TMainForm&)> afterCreate;
};

// Fills in the hooks of the windows built into this program.
void InstallMainFormHooks(MainFormHooks& hooks);

} // namespace tervan
