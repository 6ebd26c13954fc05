#include "acquisition/RealtimeUpdate.h"

namespace tervan {

RealtimeUpdateOutcome KekkaGetBtnClick(IJVLink& jv, StoredRaceFiles& files, const RealtimeSelection& selection,
                                       ReadLoopNotifier& notifier, const std::function<void()>& afterUpdate,
                                       std::atomic<bool>& cancel)
{
    if (!selection.raceSelected || !selection.daySelected)
        return RealtimeUpdateOutcome::NotRun;
    const std::string key = RealtimeKey(selection.firstRaceLine);
    if (key.empty())
        return RealtimeUpdateOutcome::NotRun;

    // The cancel button lives in the modal download dialog, so nothing can
    // set the flag while this update runs; left set by an earlier cancelled
    // download it would end the update before its first read while still
    // beeping as if all went well.
    cancel = false;
    if (!RunRealtimeUpdate(jv, files, key, notifier, cancel))
        return RealtimeUpdateOutcome::Failed;
    if (afterUpdate)
        afterUpdate();
    return RealtimeUpdateOutcome::Updated;
}

} // namespace tervan
