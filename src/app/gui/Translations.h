// Qt's own dialogs and widgets (file dialogs, the calendar of the date
// pickers, standard buttons) speak Japanese on every system, as the rest of
// the program does.
#pragma once

#include <QString>
#include <QStringList>

namespace tervan {

// The name of Qt's Japanese texts.
inline constexpr char kQtJapaneseTranslation[] = "qtbase_ja.qm";

// Where qtbase_ja.qm is looked for, in order: the folder "translations"
// beside the executable (the Windows package carries it there), then Qt's
// own translations folder.
QStringList JapaneseTranslationFolders();

// Makes Japanese the default locale of the widgets (month and day names of
// the calendar, the file dialogs' texts) and installs Qt's Japanese texts
// from the first of the folders that holds qtbase_ja.qm. Numbers are not
// touched: the program reads and writes them without any locale, and the C
// library's LC_NUMERIC is left as it is ("C"). Returns the file installed,
// or an empty text when none was found (Qt's texts then stay English).
// Needs the application object.
QString InstallJapaneseTranslations(const QStringList& folders = JapaneseTranslationFolders());

} // namespace tervan
