#include "acquisition/gui/AcquisitionCommands.h"

#include "acquisition/StoredFiles.h"
#include "acquisition/gui/GetDataForm.h"
#include "app/RaceDay.h"
#include "app/gui/MainForm.h"
#include "widgets/Notifier.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QListWidget>

namespace tervan {

void MainWindowReadLoopNotifier::Beep()
{
    notifier_.Beep();
}

void MainWindowReadLoopNotifier::Information(const std::string& text)
{
    notifier_.Information(text);
}

void MainWindowReadLoopNotifier::FileFailure(const std::string& text)
{
    notifier_.Beep();
    notifier_.Information(text);
}

void MainWindowReadLoopNotifier::ProcessMessages()
{
    QCoreApplication::processEvents();
}

void OpenDownloadDialog(TMainForm& form, std::function<DateTime()> clock)
{
    TGetDataForm::Options options;
    options.jvlink = &form.JVLink1();
    options.settings = &form.AppSettings();
    options.notifier = &form.Notifier();
    options.rebuildDayList = [&form] { form.MakeDataListBtnClick(); };
    options.clock = std::move(clock);
    TGetDataForm dialog(std::move(options), &form);
    dialog.exec();
}

RealtimeUpdateOutcome UpdateResults(TMainForm& form)
{
    static bool running = false;
    if (running)
        return RealtimeUpdateOutcome::NotRun;
    struct Guard {
        bool& flag;
        explicit Guard(bool& f) : flag(f) { flag = true; }
        ~Guard() { flag = false; }
    } guard(running);

    RealtimeSelection selection;
    selection.raceSelected = form.DatList()->currentRow() >= 0;
    selection.daySelected = form.DateCombo()->currentIndex() >= 0;
    selection.firstRaceLine = form.Day().slots.at(0).raceLine;
    StoredRaceFiles files(form.BaseFolder());
    MainWindowReadLoopNotifier notifier(form.Notifier());
    return KekkaGetBtnClick(form.JVLink1(), files, selection, notifier, [&form] {
        form.HrReadBtnClick();
        form.DatListClick();
    });
}

} // namespace tervan
