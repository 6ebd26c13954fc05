// The windows that serve the main window's commands hook in here, one line
// each, e.g.
//     hooks.openDownloadDialog = [](TMainForm& form) { ... };
#include "app/gui/MainFormHooks.h"

#include "app/gui/MainForm.h"

namespace tervan {

void InstallMainFormHooks(MainFormHooks& hooks)
{
    (void)hooks;
}

} // namespace tervan
