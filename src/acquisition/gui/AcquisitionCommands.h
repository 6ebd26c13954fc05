// The main window's JV-Link commands: "ＪＶデータ取得(&J)" (J1Click), which
// opens a new download dialog, and "結果情報" (KekkaGetBtnClick), the
// real-time results update of the loaded day. The main window calls them
// through its hooks (app/gui/MainFormHooks.h).
#pragma once

#include "acquisition/ReadLoop.h"
#include "acquisition/RealtimeUpdate.h"
#include "platform/Clock.h"

#include <functional>

namespace tervan {

class INotifier;
class TMainForm;

// A read loop shown through the main window: beeps and boxes go to its
// notifier, a stored-file failure is a beep and a box with the platform's
// text, and window messages run before every read.
class MainWindowReadLoopNotifier : public ReadLoopNotifier {
public:
    explicit MainWindowReadLoopNotifier(INotifier& notifier) : notifier_(notifier) {}
    void Beep() override;
    void Information(const std::string& text) override;
    void FileFailure(const std::string& text) override;
    void ProcessMessages() override;

private:
    INotifier& notifier_;
};

// J1Click: a new download dialog over the main window, shown modally; on
// closing it rebuilds the day list. clock: Now() when empty.
void OpenDownloadDialog(TMainForm& form, std::function<DateTime()> clock = {});

// KekkaGetBtnClick: the update from the main window's selections and the
// loaded day, then HrReadBtnClick and DatListClick. A click while an update
// is still running (it lets window messages through) does nothing.
RealtimeUpdateOutcome UpdateResults(TMainForm& form);

} // namespace tervan
