// Qt's own texts in Japanese: where qtbase_ja.qm is taken from, what it
// changes (dialog texts, the calendar's names) and what it leaves alone
// (numbers).
#include "app/gui/Translations.h"

#include "support/TestSupport.h"

#include <QCalendarWidget>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QSpinBox>
#include <QtTest>

#include <clocale>

using tervan::test::TempDir;

class TestTranslations : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void japaneseTextsAndLocaleNumbersUntouched()
    {
        // As the program starts: the application took the user's locale, then
        // numbers went back to "C".
        std::setlocale(LC_NUMERIC, "C");
        const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
        QCOMPARE(cancel, QStringLiteral("Cancel"));

        // A folder without the file is passed over; Qt's own folder has it.
        TempDir empty;
        const QString system = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        QVERIFY2(QFile::exists(QDir(system).filePath(QStringLiteral("qtbase_ja.qm"))),
                 "qtbase_ja.qm is missing (Debian package qt6-translations-l10n)");
        const QString nowhere = QString::fromStdString(empty.native().string());
        QCOMPARE(tervan::InstallJapaneseTranslations({nowhere, system}), QDir(system).filePath(QStringLiteral("qtbase_ja.qm")));

        // Dialog texts and the calendar speak Japanese.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("キャンセル"));
        QVERIFY(QCoreApplication::translate("QFileDialog", "Look in:") != QStringLiteral("Look in:"));
        QCOMPARE(QLocale().language(), QLocale::Japanese);
        QCalendarWidget calendar;
        QCOMPARE(calendar.locale().monthName(1), QString::fromUtf8("1月"));
        QCOMPARE(calendar.locale().dayName(7, QLocale::ShortFormat), QString::fromUtf8("日"));

        // Numbers are read and written as before: by the C library, and in
        // the widgets that take the default locale (no group separators).
        QCOMPARE(QString::fromLatin1(std::setlocale(LC_NUMERIC, nullptr)), QStringLiteral("C"));
        QCOMPARE(std::string(std::localeconv()->decimal_point), std::string("."));
        QSpinBox distance;
        distance.setRange(0, 4000);
        distance.setValue(4000);
        QCOMPARE(distance.text(), QStringLiteral("4000"));

        // The folder "translations" beside the executable comes first.
        TempDir beside;
        const QString bundled = QString::fromStdString((beside.native() / "translations").string());
        QVERIFY(QDir().mkpath(bundled));
        QVERIFY(QFile::copy(QDir(system).filePath(QStringLiteral("qtbase_ja.qm")),
                            QDir(bundled).filePath(QStringLiteral("qtbase_ja.qm"))));
        QCOMPARE(tervan::InstallJapaneseTranslations({bundled, system}),
                 QDir(bundled).filePath(QStringLiteral("qtbase_ja.qm")));
        QVERIFY(tervan::JapaneseTranslationFolders().first().endsWith(QStringLiteral("/translations")));
        QCOMPARE(tervan::JapaneseTranslationFolders().last(), system);
        QCOMPARE(tervan::InstallJapaneseTranslations({nowhere}), QString());
    }
};

QTEST_MAIN(TestTranslations)
#include "TestTranslations.moc"
