// The main window driven offscreen on an empty base folder and on an imported
// sample feed, with a recording notifier in place of message boxes.
#include "app/gui/MainForm.h"

#include "acquisition/JVLinkStandIn.h"
#include "app/Settings.h"
#include "app/gui/AboutBox.h"
#include "app/gui/PrgrsForm.h"
#include "platform/FileSystem.h"
#include "reference/FixedRecord.h"
#include "reference/ShiftJis.h"
#include "support/TestSupport.h"
#include "views/CsvExport.h"
#include "views/MatchListText.h"
#include "views/PaintRules.h"
#include "views/RaceCardText.h"
#include "views/gui/HeaderStripWidget.h"
#include "widgets/Fonts.h"
#include "widgets/FolderViewer.h"
#include "widgets/Label3D.h"
#include "widgets/StringGrid.h"
#include "widgets/Text.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QListWidget>
#include <QSpinBox>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <filesystem>
#include <memory>

using namespace tervan;
using tervan::test::RunTool;
using tervan::test::TempDir;

namespace {

// A JV-Link whose JVInit result and version are set by the test.
class FakeJVLink : public IJVLink {
public:
    std::int32_t initResult = 0;
    std::string version = "0490";
    std::string sid;
    std::int32_t JVInit(const std::string& s) override
    {
        sid = s;
        return initResult;
    }
    std::string JVLinkVersion() override { return version; }
    std::int32_t JVSetUIProperties() override { return 0; }
    std::int32_t JVOpen(const std::string&, const std::string&, std::int32_t, std::int32_t&, std::int32_t&,
                        std::string&) override
    {
        return -1;
    }
    std::int32_t JVStatus() override { return 0; }
    std::int32_t JVRead(std::string&, std::int32_t&, std::string&) override { return 0; }
    std::int32_t JVRTOpen(const std::string&, const std::string&) override { return -1; }
    void JVCancel() override {}
    std::int32_t JVClose() override { return 0; }
};

std::string U8(const std::string& cp932)
{
    return Cp932ToUtf8(cp932);
}

// Closes the next modal dialog as soon as it is shown.
void AcceptNextModal(QString* title = nullptr)
{
    QTimer::singleShot(0, [title] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            if (title != nullptr)
                *title = w->windowTitle();
            if (auto* d = qobject_cast<QDialog*>(w))
                d->accept();
        }
    });
}

} // namespace

class TestMainForm : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TempDir> sample_; // a base folder with the sample feed imported
    std::string day_;                 // the newest day-list entry (CP932)

    std::unique_ptr<TMainForm> MakeForm(const std::string& base, RecordingNotifier& notifier,
                                        std::unique_ptr<IJVLink> jv = nullptr)
    {
        TMainForm::Options options;
        options.base = base;
        options.executableStem = "tervan";
        options.notifier = &notifier;
        options.jvlink = jv ? std::move(jv) : std::make_unique<JVLinkStandIn>(base);
        options.currentYear = [] { return 2026; };
        options.openUrl = [](const QUrl&) { return false; };
        return std::make_unique<TMainForm>(std::move(options));
    }

    static void Choose(TMainForm& form, int index)
    {
        form.DateCombo()->setCurrentIndex(index);
        form.DateComboChange(index);
    }

    std::string Tool(const std::vector<std::string>& args)
    {
        std::string out;
        std::string err;
        int rc = RunTool(args, out, &err);
        if (rc != 0)
            qWarning("tervan-tool failed: %s", err.c_str());
        return out;
    }

private Q_SLOTS:
    void initTestCase()
    {
        InstallJapaneseFonts();
        sample_ = std::make_unique<TempDir>();
        const std::string feed = (sample_->native() / "feed").string();
        const std::string base = sample_->native().string();
        Tool({"make-sample-feed", feed, "--today", "20261207", "--days", "2", "--courses", "1"});
        Tool({"import-jv", base, feed, "--now", "20261207120000"});
        std::vector<std::string> days = MakeDayList(sample_->path());
        QVERIFY(!days.empty());
        day_ = days.front();
    }

    void startsOnEmptyBaseFolder()
    {
        TempDir dir;
        RecordingNotifier notifier;
        auto form = MakeForm(dir.path(), notifier);
        for (const char* folder : {"DATA", "SEI", "SEIR", "yLZH"})
            QVERIFY(std::filesystem::is_directory(dir.native() / folder));
        QCOMPARE(form->windowTitle(), QString::fromUtf8(TMainForm::kCaption));
        QCOMPARE(form->findChild<QPushButton*>(QStringLiteral("HrReadBtn"))->text(), QString::fromUtf8("払戻取込"));
        QCOMPARE(form->DateCombo()->count(), 0);
        QCOMPARE(form->DateCombo()->currentIndex(), -1);
        QVERIFY(!form->N5()->isChecked());
        QCOMPARE(form->size(), QSize(800, 700));
        QCOMPARE(form->StringGrid2()->RowCount(), 1);
        QCOMPARE(form->StringGrid2()->ColCount(), 14);
        QCOMPARE(form->StringGrid2()->FixedCols(), 6);
        QCOMPARE(form->StringGrid1()->ColCount(), 15);
        QCOMPARE(form->StringGrid1()->FixedCols(), 7);
        QCOMPARE(form->StringGrid1()->ColWidth(0), kListColumnWidths[0]);
        QCOMPARE(form->StringGrid2()->ColWidth(3), kCardColumnWidths[3]);
        QCOMPARE(form->StringGrid2()->RowHeight(0), 27);
        QCOMPARE(form->StringGrid2()->DefaultRowHeight(), 25);
        QCOMPARE(U8(form->StringGrid2()->Cell(13, 0)), std::string("結果"));
        QCOMPARE(U8(form->StringGrid1()->Cell(0, 0)), std::string("該当レース"));
        QCOMPARE(form->StringGrid1()->Row(), -1);

        form->show();
        QVERIFY(!form->PageControl1()->isVisible());
        // Hints go to the status line.
        auto* kekka = form->findChild<QWidget*>(QStringLiteral("KekkaGetBtn"));
        QVERIFY(kekka != nullptr);
        QStatusTipEvent tip(kekka->statusTip());
        QApplication::sendEvent(kekka, &tip);
        QCOMPARE(form->statusBar()->currentMessage(), QString::fromUtf8("レース結果データを取得します"));
        auto* exitButton = form->findChild<QWidget*>(QStringLiteral("ExitBtn"));
        QCOMPARE(exitButton->statusTip(), QString::fromUtf8("ソフトを終了します"));
        auto* exitItem = form->findChild<QAction*>(QStringLiteral("FileExitItem"));
        QCOMPARE(exitItem->statusTip(), QString::fromUtf8("このｱﾌﾟﾘｹｰｼｮﾝを終了します"));
        QCOMPARE(form->VersionLabel(), QStringLiteral("Version 1.40"));
        QVERIFY(notifier.events.empty()); // the stand-in initialises and is new enough
        // Commands that need a loaded day do nothing without one.
        form->DatListClick();
        form->SpeedButton13Click();
        form->SpeedButton16Click();
        QVERIFY(notifier.events.empty());
        QVERIFY(!std::filesystem::exists(dir.native() / "CSV"));
    }

    void jvInitFailureAndOldVersionAreReported()
    {
        TempDir dir;
        {
            RecordingNotifier notifier;
            auto jv = std::make_unique<FakeJVLink>();
            FakeJVLink* fake = jv.get();
            fake->version = "0480";
            auto form = MakeForm(dir.path(), notifier, std::move(jv));
            form->show();
            QCOMPARE(fake->sid, std::string("SA510327/SD884106/tkvmrw/Version 1.40"));
            QCOMPARE(notifier.BeepCount(), 1);
            QCOMPARE(notifier.Messages().size(), size_t(1));
            const std::string text = U8(notifier.Messages()[0]);
            QCOMPARE(text, std::string("ご利用中のJV-Linkのバージョンは[4.8.0]です。\r\n"
                                       "本ソフトのご利用にはバージョン[4.9.0]以上が必要です。\r\n"
                                       "JRA-VANのホームページより最新のJV-Linkを入手し、インストールしてください。"));
            QVERIFY(form->isVisible()); // the program goes on
        }
        for (const char* version : {"0490", "0510"}) {
            RecordingNotifier notifier;
            auto jv = std::make_unique<FakeJVLink>();
            jv->version = version;
            auto form = MakeForm(dir.path(), notifier, std::move(jv));
            form->show();
            QVERIFY(notifier.events.empty());
        }
        {
            RecordingNotifier notifier;
            auto jv = std::make_unique<FakeJVLink>();
            jv->initResult = -101;
            auto form = MakeForm(dir.path(), notifier, std::move(jv));
            form->show();
            form->hide();
            form->show(); // JVInit runs on the first showing only
            QCOMPARE(notifier.Messages().size(), size_t(1));
            QCOMPARE(notifier.BeepCount(), 0); // a plain box, without beep or icon
            QCOMPARE(notifier.events[0].kind, RecordingNotifier::Event::kPlain);
            QVERIFY(U8(notifier.Messages()[0]).rfind("JVInitエラー：", 0) == 0);
            QVERIFY(U8(notifier.Messages()[0]).size() > std::string("JVInitエラー：").size());
        }
    }

    void geometryComesFromAndGoesToTheSettings()
    {
        TempDir dir;
        Settings settings(dir.path(), "tervan");
        settings.WriteLocate({40, 30, 900, 640});
        RecordingNotifier notifier;
        auto form = MakeForm(dir.path(), notifier);
        QCOMPARE(form->size(), QSize(900, 640));
        QCOMPARE(form->pos(), QPoint(30, 40));
        form->show();
        form->resize(720, 610);
        form->move(55, 66);
        QVERIFY(form->close());
        const WindowGeometry g = Settings(dir.path(), "tervan").ReadLocate();
        QCOMPARE(g.width, 720);
        QCOMPARE(g.height, 610);
        QCOMPARE(g.left, form->x());
        QCOMPARE(g.top, form->y());
    }

    void dataListOptionTogglesAndHidesTheLeftPanel()
    {
        RecordingNotifier notifier;
        auto form = MakeForm(sample_->path(), notifier);
        form->show();
        Settings settings(sample_->path(), "tervan");
        form->N5()->trigger();
        QVERIFY(form->N5()->isChecked());
        QCOMPARE(settings.ReadDataListClose(), true);
        form->N5()->trigger();
        QCOMPARE(settings.ReadDataListClose(), false);
        form->N5()->trigger(); // checked again: showing a race hides the panel
        Choose(*form, 0);
        QVERIFY(!form->Panel5()->isVisible());
        // The way back: menu item "ﾃﾞｰﾀﾘｽﾄを表示(&L)" (Ctrl+L).
        auto* showItem = form->findChild<QAction*>(QStringLiteral("ShowDataListItem"));
        QVERIFY(showItem != nullptr);
        QCOMPARE(showItem->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
        showItem->trigger();
        QVERIFY(form->Panel5()->isVisible());
        form->N5()->trigger();
        QCOMPARE(settings.ReadDataListClose(), false);
        // A new window reads the option back.
        form->N5()->trigger();
        auto again = MakeForm(sample_->path(), notifier);
        QVERIFY(again->N5()->isChecked());
        again->N5()->trigger();
    }

    void choosingADayShowsTheFirstRace()
    {
        RecordingNotifier notifier;
        auto form = MakeForm(sample_->path(), notifier);
        form->show();
        QCOMPARE(U8(form->DayEntries().front()), U8(day_));
        Choose(*form, 0);
        QVERIFY(notifier.events.empty());
        QVERIFY(form->isEnabled());
        QVERIFY(!form->PrgrsForm()->isVisible());
        QVERIFY(form->PageControl1()->isVisible());
        QCOMPARE(form->DatList()->count(), 12);
        QCOMPARE(form->DatList()->currentRow(), 0);
        QCOMPARE(form->CurrentRace(), 0);
        const RaceSummary& race = form->Day().slots.at(0).summary;
        const int registered = std::atoi(race.registeredCount.c_str());
        QVERIFY(registered >= 8);
        QCOMPARE(form->StringGrid2()->RowCount(), registered + 1);
        QCOMPARE(form->StringGrid2()->Row(), -1);
        for (int r = 1; r <= registered; ++r) // horse-number order
            QCOMPARE(std::atoi(form->StringGrid2()->Cell(1, r).c_str()), r);
        QCOMPARE(form->HeaderStrip()->LabelByName("Label3D2")->text(), QStringLiteral("1"));
        QVERIFY(!form->HeaderStrip()->LabelByName("Label3D3")->text().isEmpty());
        QCOMPARE(form->UpDown1()->maximum(), 11);
        QCOMPARE(form->UpDown1()->value(), 0);

        // The copy equals what tervan-tool prints for the same race.
        QApplication::clipboard()->clear();
        form->SpeedButton13Click();
        QCOMPARE(QApplication::clipboard()->text().toStdString(), Tool({"card", sample_->native().string(), U8(day_), "1"}));

        // The stepper moves to another race.
        form->UpDown1()->setValue(3);
        QCOMPARE(form->DatList()->currentRow(), 3);
        QCOMPARE(form->CurrentRace(), 3);
        QCOMPARE(form->HeaderStrip()->LabelByName("Label3D2")->text(), QStringLiteral("4"));
        form->SpeedButton13Click();
        QCOMPARE(QApplication::clipboard()->text().toStdString(), Tool({"card", sample_->native().string(), U8(day_), "4"}));

        // The keys step through the races too.
        form->findChild<QAction*>(QStringLiteral("NextRaceAction"))->trigger();
        QCOMPARE(form->CurrentRace(), 4);
        form->findChild<QAction*>(QStringLiteral("PreviousRaceAction"))->trigger();
        QCOMPARE(form->CurrentRace(), 3);

        // Rebuilding the day list (after a download) keeps the day on screen selected.
        form->MakeDataListBtnClick();
        QCOMPARE(form->DateCombo()->currentIndex(), 0);
        QCOMPARE(form->SelectedDayEntry(), day_);
        QCOMPARE(form->CurrentRace(), 3);

        // A click on the race list shows that race.
        form->DatList()->setCurrentRow(11);
        form->DatListClick();
        QCOMPARE(form->CurrentRace(), 11);
        QCOMPARE(form->UpDown1()->value(), 11);
        QCOMPARE(form->HeaderStrip()->LabelByName("Label3D2")->text(), QStringLiteral("12"));

        // The whole card paints without touching anything out of range.
        const int last = std::atoi(form->Day().slots.at(11).summary.registeredCount.c_str());
        QImage card = form->StringGrid2()->RenderAll();
        QVERIFY(!card.isNull());
        QCOMPARE(card.height(), 28 + last * 26);
        QVERIFY(notifier.events.empty());
    }

    void matchingListAndExports()
    {
        RecordingNotifier notifier;
        auto form = MakeForm(sample_->path(), notifier);
        form->show();
        Choose(*form, 0);
        const std::string expected = Tool({"matches", sample_->native().string(), U8(day_)});
        // heading + header row + one line per matching runner
        const int lines = static_cast<int>(std::count(expected.begin(), expected.end(), '\n'));
        QVERIFY(lines >= 3);
        QCOMPARE(form->StringGrid1()->RowCount(), lines - 1);
        QCOMPARE(static_cast<int>(form->ListIndex().size()), lines - 2);
        QVERIFY(!form->StringGrid1()->isHidden());
        QCOMPARE(form->StringGrid1()->Row(), -1);
        for (const auto& [race, runner] : form->ListIndex()) {
            QVERIFY(race >= 0 && race < 12);
            QVERIFY(!form->Day().slots.at(static_cast<size_t>(race)).summary.runners[static_cast<size_t>(runner)].maxim.empty());
        }
        form->SpeedButton15Click();
        QCOMPARE(QApplication::clipboard()->text().toStdString(), expected);
        QVERIFY(!form->StringGrid1()->RenderAll().isNull());

        // CSV files of the card and of the list, as tervan-tool writes them.
        form->SpeedButton14Click();
        form->SpeedButton16Click();
        QVERIFY(notifier.events.empty());
        const std::string csvDir = fs::Join(sample_->path(), "CSV");
        std::vector<std::string> files = fs::ListFiles(csvDir, "*.CSV");
        QCOMPARE(files.size(), size_t(2));
        const std::string listFile = fs::Join(csvDir, day_ + ".CSV");
        QVERIFY(fs::FileExists(listFile));
        // The status line says where the last one went.
        const QString shownPath = QDir::toNativeSeparators(QString::fromStdU16String(fs::ToNative(listFile).u16string()));
        QVERIFY2(form->statusBar()->currentMessage().endsWith(shownPath), qPrintable(form->statusBar()->currentMessage()));
        std::string written;
        QVERIFY(fs::ReadFile(listFile, written));
        QVERIFY(written.rfind(day_ + "\r\n", 0) == 0);
        TempDir other;
        std::string mine = written;
        std::string toolPath = Tool({"csv", sample_->native().string(), U8(day_)});
        std::string viaTool;
        QVERIFY(fs::ReadFile(listFile, viaTool));
        QCOMPARE(viaTool, mine);

        // A CSV folder that cannot be written: the failure is shown, nothing crashes.
        fs::DeleteFile(listFile);
        for (const std::string& f : fs::ListFiles(csvDir, "*.CSV"))
            fs::DeleteFile(fs::Join(csvDir, f));
        std::filesystem::remove(fs::ToNative(csvDir));
        test::WriteAll(fs::ToNative(csvDir), "not a folder");
        form->SpeedButton16Click();
        QCOMPARE(notifier.BeepCount(), 1);
        QCOMPARE(notifier.Messages().size(), size_t(1));
        std::filesystem::remove(fs::ToNative(csvDir));
    }

    void listResultsFollowTheResultsUpdate()
    {
        // A copy of the sample, so that the update's writes stay in it.
        TempDir dir;
        // (entry by entry: libstdc++ on Windows will not copy into a folder that exists)
        for (const auto& entry : std::filesystem::directory_iterator(sample_->native()))
            std::filesystem::copy(entry.path(), dir.native() / entry.path().filename(),
                                  std::filesystem::copy_options::recursive);
        RecordingNotifier notifier;
        auto form = MakeForm(dir.path(), notifier,
                             std::make_unique<JVLinkStandIn>(dir.path(), (dir.native() / "feed").string()));
        form->show();
        Choose(*form, 0); // today: entries only
        const TStringGrid& list = *form->StringGrid1();
        QVERIFY(list.RowCount() > 1);
        for (int r = 1; r < list.RowCount(); ++r)
            QVERIFY(TrimSpaces(list.Cell(kListResultColumn, r)).empty());

        form->KekkaGetBtnClick();
        // Every row's result text is what its cell paints: the runner's place,
        // popularity and odds as read by the update.
        std::string placedText;
        for (int r = 1; r < list.RowCount(); ++r) {
            const auto [race, runner] = form->ListIndex()[static_cast<size_t>(r - 1)];
            const RunnerSummary& horse =
                form->Day().slots.at(static_cast<size_t>(race)).summary.runners[static_cast<size_t>(runner)];
            QCOMPARE(U8(list.Cell(kListResultColumn, r)),
                     U8(ResultCellText(horse.finishingPlace, horse.popularity, horse.winOdds)));
            if (horse.finishingPlace > 0)
                placedText = list.Cell(kListResultColumn, r);
        }
        QVERIFY(!placedText.empty());
        // The copy and the CSV file carry the new texts; a rebuild gives the same list.
        const TextGrid shown = TMainForm::GridTexts(list);
        form->GaitoBaBtnClick();
        QCOMPARE(TMainForm::GridTexts(list).Rows(), shown.Rows());
        form->SpeedButton15Click();
        QCOMPARE(QApplication::clipboard()->text().toStdString(), U8(CopyWholeGridText(shown, form->ListHeading())));
        form->SpeedButton16Click();
        std::string csv;
        QVERIFY(fs::ReadFile(ListCsvFilePath(dir.path(), form->ListHeading()), csv));
        QVERIFY(csv.find("\"" + placedText + "\"") != std::string::npos);
    }

    void incompleteRaceAndMissingFiles()
    {
        // A base folder holding only the race and runner slot files of one day.
        TempDir dir;
        const std::string base = dir.path();
        fs::CreateDirs(fs::Join(base, "DATA"));
        std::string race;
        std::string runners;
        QVERIFY(fs::ReadFile(fs::Join(sample_->path(), "DATA/" + day_ + ".jvRA"), race));
        QVERIFY(fs::ReadFile(fs::Join(sample_->path(), "DATA/" + day_ + ".jvSEr"), runners));
        // Runner 2 of race 1 loses its bracket number (byte 28).
        QVERIFY(runners.size() > 555 + 27);
        runners[555 + 27] = ' ';
        fs::RewriteFile(fs::Join(base, "DATA/" + day_ + ".jvRA"), race);
        fs::RewriteFile(fs::Join(base, "DATA/" + day_ + ".jvSEr"), runners);

        RecordingNotifier notifier;
        auto form = MakeForm(base, notifier);
        form->show();
        Choose(*form, 0);
        QVERIFY(form->isEnabled());
        QCOMPARE(notifier.BeepCount(), 1);
        QCOMPARE(notifier.Messages().size(), size_t(1));
        const std::string message = U8(notifier.Messages()[0]);
        QVERIFY(message.find("1Rはデータ作成が未完了です。") != std::string::npos);
        QVERIFY(!form->PageControl1()->isVisible());
        // The next race is complete and shows the tabs again.
        notifier.Clear();
        form->DatList()->setCurrentRow(1);
        form->DatListClick();
        QVERIFY(notifier.events.empty());
        QVERIFY(form->PageControl1()->isVisible());

        // A damaged race file (cut in the middle of a record) still loads.
        fs::RewriteFile(fs::Join(base, "DATA/" + day_ + ".jvRA"), race.substr(0, 1272 * 3 + 100));
        notifier.Clear();
        Choose(*form, 0);
        QVERIFY(form->isEnabled());
        QVERIFY(!form->PrgrsForm()->isVisible());
        QVERIFY(form->DatList()->count() >= 3);

        // The runner slot file is gone: "データ作成が未完了のようです。".
        fs::DeleteFile(fs::Join(base, "DATA/" + day_ + ".jvSEr"));
        notifier.Clear();
        Choose(*form, 0);
        QVERIFY(form->isEnabled());
        QVERIFY(!form->PrgrsForm()->isVisible());
        QCOMPARE(form->DatList()->count(), 0);
        QVERIFY(!form->PageControl1()->isVisible());
        QCOMPARE(notifier.BeepCount(), 1);
        QCOMPARE(U8(notifier.Messages().at(0)), std::string("データ作成が未完了のようです。"));

        // Garbage in the race file: whatever it holds, the window comes back.
        fs::RewriteFile(fs::Join(base, "DATA/" + day_ + ".jvSEr"), std::string(555 * 3, '\xff'));
        fs::RewriteFile(fs::Join(base, "DATA/" + day_ + ".jvRA"), std::string(1272 * 2, '9'));
        notifier.Clear();
        Choose(*form, 0);
        QVERIFY(form->isEnabled());
        QVERIFY(!form->PrgrsForm()->isVisible());
        form->StringGrid2()->RenderAll();
    }

    void helpAboutAndFolderCommands()
    {
        TempDir dir;
        RecordingNotifier notifier;
        std::vector<QUrl> opened;
        TMainForm::Options options;
        options.base = dir.path();
        options.notifier = &notifier;
        options.jvlink = std::make_unique<FakeJVLink>();
        options.openUrl = [&opened](const QUrl& url) {
            opened.push_back(url);
            return true;
        };
        TMainForm form(std::move(options));
        form.show();

        // No help at all: the user is told.
        form.HelpContentsItemClick();
        QCOMPARE(notifier.Messages().size(), size_t(1));
        notifier.Clear();
        // The bundled page.
        fs::CreateDirs(fs::Join(dir.path(), "help"));
        test::WriteAll(dir.native() / "help" / "tervanj.html", "<html><body><h1>ヘルプ</h1></body></html>");
        form.HelpContentsItemClick();
        auto* help = form.findChild<QDialog*>(QStringLiteral("HelpForm"));
        QVERIFY(help != nullptr && help->isVisible());
        QVERIFY(opened.empty());
        help->close();
        // tervanj.chm beside the executable goes to the system's handler.
        test::WriteAll(dir.native() / "tervanj.chm", "ITSF");
        form.HelpContentsItemClick();
        QCOMPARE(opened.size(), size_t(1));
        QVERIFY(opened[0].toLocalFile().endsWith(QStringLiteral("tervanj.chm")));
        QVERIFY(notifier.events.empty());

        // The version dialog shows the version label.
        QString title;
        AcceptNextModal(&title);
        form.HelpAboutItemClick();
        QCOMPARE(title, QString::fromUtf8("ﾊﾞｰｼﾞｮﾝ情報"));
        TAboutBox box;
        box.SetVersion(form.VersionLabel());
        QCOMPARE(box.Version(), QStringLiteral("Version 1.40"));

        // The folder of the odds archives.
        auto picker = std::make_unique<ScriptedFolderPicker>();
        ScriptedFolderPicker* p = picker.get();
        form.SetFolderPicker(std::move(picker));
        p->confirm = false;
        form.yosohaitomenuClick();
        QCOMPARE(p->folder, form.AppSettings().DefaultYosoDir());
        QCOMPARE(U8(p->caption), std::string("単勝予想配当ﾃﾞｰﾀﾌｫﾙﾀﾞの指定"));
        QVERIFY(!form.AppSettings().Ini().ValueExists("Dir", "yoso"));
        p->confirm = true;
        p->answer = SJ("/tmp/オッズ");
        form.yosohaitomenuClick();
        QCOMPARE(form.AppSettings().ReadYosoDir(), SJ("/tmp/オッズ"));

        // Commands whose windows are not part of this build say so.
        int calls = 0;
        form.Hooks().updateResults = [&calls](TMainForm&) { ++calls; };
        form.KekkaGetBtnClick();
        QCOMPARE(calls, 1);
        QVERIFY(notifier.events.empty());
        form.Hooks().openDownloadDialog = nullptr;
        form.J1Click();
        QCOMPARE(notifier.BeepCount(), 1);
    }
};

QTEST_MAIN(TestMainForm)
#include "TestMainForm.moc"
