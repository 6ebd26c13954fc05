// The windows that serve the main window's commands hook in here, one line
// each, e.g.
//     hooks.openDownloadDialog = [](TMainForm& form) { ... };
#include "app/gui/MainFormHooks.h"

#include "acquisition/gui/AcquisitionCommands.h"
#include "acquisition/gui/StandInSettingsDialog.h"
#include "app/gui/MainForm.h"
#include "import/gui/ForecastOddsCommand.h"

namespace tervan {

void InstallMainFormHooks(MainFormHooks& hooks)
{
    (void)hooks;
    hooks.importForecastOdds = [](TMainForm& form) { RunForecastOddsImport(form); };
    hooks.openDownloadDialog = [](TMainForm& form) { OpenDownloadDialog(form); };
    hooks.updateResults = [](TMainForm& form) { UpdateResults(form); };
    // JVSetUIProperties of the JV-Link stand-in shows its feed folder dialog.
    InstallStandInSettingsDialog();
}

} // namespace tervan
