// The windows that serve the main window's commands hook in here, one line
// each, e.g.
//     hooks.openDownloadDialog = [](TMainForm& form) { ... };
#include "app/gui/MainFormHooks.h"

#include "app/gui/MainForm.h"
#include "import/gui/ForecastOddsCommand.h"

namespace tervan {

void InstallMainFormHooks(MainFormHooks& hooks)
{
    (void)hooks;
    hooks.importForecastOdds = [](TMainForm& form) { RunForecastOddsImport(form); };
}

} // namespace tervan
