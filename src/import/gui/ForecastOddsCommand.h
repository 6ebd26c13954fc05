// The main window's "予想配当" button (TozBtnClick): asks for a forecast odds
// archive in the open dialog OpenDialog3 and imports it (import/
// ForecastOddsImport.h), then shows the import's message.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace tervan {

class TMainForm;

// The filter of the archive dialog: one entry whose text reads
// "JRDB基準ｵｯｽﾞ(OZ*.lzh),KOL予想ｵｯｽﾞ(j*.lzh)" and whose patterns match
// OZ*.lzh and j*.lzh in any letter case.
QString ForecastArchiveFilter();

// Runs the open dialog over `parent`, starting in `folder` (native path);
// returns the chosen file's native path, empty when cancelled.
QString AskForecastArchive(QWidget* parent, const QString& folder);

// What TozBtnClick runs: the dialog, starting in "Dir"/"yoso", then the
// import with the main window's Since2005, then its beep and message. askArchive replaces the open dialog (tests); it gets the
// initial folder and returns the chosen archive or an empty text.
void RunForecastOddsImport(TMainForm& form, std::function<QString(const QString& folder)> askArchive = {});

} // namespace tervan
