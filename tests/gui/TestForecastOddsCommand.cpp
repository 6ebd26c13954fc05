// The "予想配当" button offscreen: the open dialog starts in "Dir"/"yoso", the
// chosen archive is imported with the window's Since2005, and its message
// reaches the user through the notifier.
#include "import/gui/ForecastOddsCommand.h"

#include "app/gui/MainForm.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"
#include "sample/LhaWriter.h"
#include "support/TestSupport.h"
#include "widgets/Text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QSysInfo>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTimer>
#include <QtTest>

#include <filesystem>
#include <memory>

using namespace tervan;
using tervan::test::TempDir;

namespace {

std::string KolText()
{
    std::string line(1502, ' ');
    test::PutAt(line, 1, "04");
    test::PutAt(line, 7, "02");
    test::PutAt(line, 9, "08");
    test::PutAt(line, 11, "01");
    test::PutAt(line, 13, "20240526");
    test::PutAt(line, 110, "08");
    for (size_t h = 0; h < 18; ++h)
        test::PutAt(line, 162 + 5 * h, h < 8 ? "00035" : "    -");
    return line + "\r\n";
}

QString Native(const std::filesystem::path& p)
{
    return QString::fromStdString(p.string());
}

} // namespace

class TestForecastOddsCommand : public QObject {
    Q_OBJECT

    std::unique_ptr<TMainForm> MakeForm(const std::string& base, RecordingNotifier& notifier)
    {
        TMainForm::Options options;
        options.base = base;
        options.notifier = &notifier;
        options.openUrl = [](const QUrl&) { return false; };
        return std::make_unique<TMainForm>(std::move(options));
    }

private Q_SLOTS:
    void importsTheChosenArchiveAndShowsItsMessage()
    {
        TempDir dir;
        RecordingNotifier notifier;
        auto form = MakeForm(dir.path(), notifier);
        const auto odds = dir.native() / "odds";
        std::filesystem::create_directories(odds);
        form->AppSettings().WriteYosoDir(fs::FromNative(odds));
        test::WriteAll(odds / "j240526.lzh",
                       sample::WriteStoredLha({{"kol_ods.kd2", KolText(), DateTime {2024, 5, 25, 20}}}, 1));

        QString askedIn;
        RunForecastOddsImport(*form, [&](const QString& folder) {
            askedIn = folder;
            return Native(odds / "j240526.lzh");
        });
        QCOMPARE(askedIn, Native(odds));
        QCOMPARE(notifier.BeepCount(), 0);
        QCOMPARE(notifier.Messages().size(), size_t(1));
        QCOMPARE(Cp932ToUtf8(notifier.Messages()[0]),
                 std::string("KOL予想オッズデータを解凍し、2024年05月26日のデータを保存しました。データを再読込すると反映されます。"));
        QVERIFY(std::filesystem::exists(dir.native() / "DATA" / test::U8Path("2024年05月26日.yoz")));

        // Cancelled: nothing happens.
        notifier.Clear();
        RunForecastOddsImport(*form, [](const QString&) { return QString(); });
        QVERIFY(notifier.events.empty());

        // Nothing extracted: a beep and the message.
        test::WriteAll(odds / "j240527.lzh", "broken");
        RunForecastOddsImport(*form, [&](const QString&) { return Native(odds / "j240527.lzh"); });
        QCOMPARE(notifier.BeepCount(), 1);
        QCOMPARE(Cp932ToUtf8(notifier.Messages().at(0)), std::string("データが解凍できませんでした。"));
    }

    void toolbarButtonOpensTheArchiveDialogInTheDefaultFolder()
    {
        TempDir dir;
        RecordingNotifier notifier;
        auto form = MakeForm(dir.path(), notifier);
        auto* button = form->findChild<QAbstractButton*>(QStringLiteral("TozBtn"));
        QVERIFY(button != nullptr);

        QString name, folder, filter;
        QStringList patterns;
        bool qtDrawn = false;
        QTimer::singleShot(0, [&] {
            if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                name = d->objectName();
                folder = d->directory().absolutePath();
                filter = d->selectedNameFilter();
                if (auto* model = d->findChild<QFileSystemModel*>()) {
                    qtDrawn = true;
                    patterns = model->nameFilters();
                }
                d->reject();
            }
        });
        button->click();
        QCOMPARE(name, QStringLiteral("OpenDialog3"));
        QCOMPARE(QDir::toNativeSeparators(folder), Native(dir.native() / "yLZH")); // base + "\ylzh", made at start-up
        // The user reads the filter as written; the patterns take any letter case.
        // (Windows shows the patterns after it)
        QVERIFY2(filter.startsWith(QString::fromUtf8("JRDB基準ｵｯｽﾞ(OZ*.lzh),KOL予想ｵｯｽﾞ(j*.lzh)")), qPrintable(filter));
        // Qt draws the dialog itself except on Windows, whose own dialog keeps its patterns to itself.
        if (QSysInfo::productType() != QLatin1String("windows"))
            QVERIFY(qtDrawn);
        if (qtDrawn)
            QCOMPARE(patterns, QStringList({"[Oo][Zz]*.[Ll][Zz][Hh]", "[Jj]*.[Ll][Zz][Hh]"}));
        QVERIFY(notifier.events.empty());
    }
};

QTEST_MAIN(TestForecastOddsCommand)
#include "TestForecastOddsCommand.moc"
