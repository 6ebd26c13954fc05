#include "app/gui/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tervan {

QStringList JapaneseTranslationFolders()
{
    return {QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations")),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
}

QString InstallJapaneseTranslations(const QStringList& folders)
{
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    const QString name = QString::fromLatin1(kQtJapaneseTranslation);
    for (const QString& folder : folders) {
        const QString file = QDir(folder).filePath(name);
        if (!QFileInfo::exists(file))
            continue;
        // Owned by the application object, so it lives as long as the texts are used.
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(file) && QCoreApplication::installTranslator(translator))
            return file;
        delete translator;
    }
    return {};
}

} // namespace tervan
