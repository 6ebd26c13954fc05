// The real-time results update of the main window ("結果情報",
// KekkaGetBtnClick): the results of the loaded race day are fetched from
// JV-Link's real-time service ("0B12"), merged into the day's stored files,
// and the loaded day then re-reads its results and payouts and redraws the
// race on display.
#pragma once

#include "acquisition/JVLink.h"
#include "acquisition/ReadLoop.h"
#include "acquisition/StoredFiles.h"

#include <atomic>
#include <functional>
#include <string>

namespace tervan {

// What the update takes from the main window.
struct RealtimeSelection {
    bool raceSelected = false;  // the race list has a selected item
    bool daySelected = false;   // the day list has a selected item
    std::string firstRaceLine;  // race line of the loaded day's first race slot
};

enum class RealtimeUpdateOutcome {
    NotRun,  // no race or day selected, or no date in the first race slot: no JV-Link call
    Updated, // the stream was read and closed; results and payouts were re-read
    Failed,  // a stored file could not be written; the error was shown
};

// KekkaGetBtnClick. With a race and a day selected and a race date in the
// first race slot: clears the cancel flag (a download cancelled earlier must
// not silence every later update), runs RunRealtimeUpdate (JVRTOpen("0B12",
// date), the read loop into StoreRealtime, JVClose and a beep, the clean-up
// with a second JVClose and beep; a failed open beeps once more), and when
// that ended normally calls afterUpdate, which re-reads the payouts
// (HrReadBtnClick) and redraws the selected race (DatListClick).
RealtimeUpdateOutcome KekkaGetBtnClick(IJVLink& jv, StoredRaceFiles& files, const RealtimeSelection& selection,
                                       ReadLoopNotifier& notifier, const std::function<void()>& afterUpdate,
                                       std::atomic<bool>& cancel = JVCancelFlag());

} // namespace tervan
