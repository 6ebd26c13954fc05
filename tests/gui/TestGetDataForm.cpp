// The download dialog "ＪＶデータ取込" driven through a scripted JV-Link and the
// recording notifier, the stand-in's settings dialog, and the whole road on
// the sample feed: download into an empty base folder, the day list, and the
// results update of the last day.
#include "acquisition/JVLinkStandIn.h"
#include "acquisition/JVRecordBuilder.h"
#include "acquisition/gui/AcquisitionCommands.h"
#include "acquisition/gui/GetDataForm.h"
#include "acquisition/gui/StandInSettingsDialog.h"
#include "app/BaseFolder.h"
#include "app/RaceDay.h"
#include "app/Settings.h"
#include "app/gui/BacktestTab.h"
#include "app/gui/MainForm.h"
#include "platform/FileSystem.h"
#include "reference/FixedRecord.h"
#include "reference/ShiftJis.h"
#include "support/ScriptedJVLink.h"
#include "support/TestSupport.h"
#include "views/gui/ResultsPanelWidget.h"
#include "widgets/Fonts.h"
#include "widgets/Label3D.h"
#include "widgets/Notifier.h"
#include "widgets/StringGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace tervan;
using tervan::test::ScriptedJVLink;
using tervan::test::TempDir;

namespace {

const DateTime kNow {2006, 5, 29, 21, 30, 0};

// The recorded beeps, boxes and questions as readable UTF-8 lines.
std::vector<std::string> Seen(const RecordingNotifier& n)
{
    std::vector<std::string> lines;
    for (const RecordingNotifier::Event& e : n.events) {
        switch (e.kind) {
        case RecordingNotifier::Event::kBeep: lines.push_back("beep"); break;
        case RecordingNotifier::Event::kInformation: lines.push_back("info:" + Cp932ToUtf8(e.text)); break;
        case RecordingNotifier::Event::kConfirm: lines.push_back("ask:" + Cp932ToUtf8(e.text)); break;
        case RecordingNotifier::Event::kPlain: lines.push_back("plain:" + Cp932ToUtf8(e.text)); break;
        }
    }
    return lines;
}

std::string Utf8(const QString& s)
{
    return s.toStdString();
}

const char* const kStartBox = "info:データ取込を開始します。データ作成が終了するまで本ソフトを操作したり"
                              "他のアプリケーションを操作することは極力避けてください。";

// One JV-Data record of a stored kind: RA of race 1 at Tokyo on 28 May 2006.
std::string RaRecord(int race)
{
    std::string r(1270, ' ');
    test::PutAt(r, 1, "RA2");
    test::PutAt(r, 4, "20060527");
    test::PutAt(r, 12, "20060528");
    test::PutAt(r, 20, "05");
    test::PutAt(r, 22, "02");
    test::PutAt(r, 24, "12");
    test::PutAt(r, 26, race < 10 ? "0" + std::to_string(race) : std::to_string(race));
    test::PutAt(r, 33, SJ("テストステークス"));
    test::PutAt(r, 698, "2400");
    test::PutAt(r, 882, "08");
    return r + "\r\n";
}

// A dialog on a scripted JV-Link in a fresh base folder.
struct Rig {
    TempDir dir;
    ScriptedJVLink jv;
    RecordingNotifier notifier;
    std::unique_ptr<Settings> settings;
    std::unique_ptr<TGetDataForm> form;
    int dayListRebuilds = 0;
    std::function<void()> onRebuild; // looks at the disk when the day list is rebuilt

    Rig()
    {
        fs::CreateDirs(fs::Join(dir.path(), "DATA"));
        settings = std::make_unique<Settings>(dir.path(), "tervan");
    }
    TGetDataForm& Make()
    {
        TGetDataForm::Options o;
        o.jvlink = &jv;
        o.settings = settings.get();
        o.notifier = &notifier;
        o.rebuildDayList = [this] {
            ++dayListRebuilds;
            if (onRebuild)
                onRebuild();
        };
        o.clock = [] { return kNow; };
        form = std::make_unique<TGetDataForm>(std::move(o));
        return *form;
    }
    // The stored start point as it is in the file ("" when never written).
    std::string LastTime() const
    {
        return settings->Ini().ReadString(SettingsKey::kJvDataGet, SettingsKey::kLastTime, "");
    }
    std::string Label() const { return Utf8(form->ProgressLabel()->text()); }
};

} // namespace

class TestGetDataForm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void creationReadsTheStartPoint();
    void nothingNewerAndOpenErrors();
    void readWithoutDownloadsSavesTheStartPoint();
    void downloadsThenReadOnTheTimer();
    void readErrorStatusErrorAndCloseErrorKeepTheStartPoint();
    void cancelDuringTheWaitClosesTheStream();
    void cancelDuringTheRead();
    void storedFileFailureClosesTheStream();
    void logLinesArriveInBatchesWholeAndInOrder();
    void settingsButton();
    void closingRebuildsTheDayListAndEndsARun();
    void standInSettingsDialog();
    void sampleFeedDownloadAndResultsUpdate();
    void setupByDialogStoresWhatTheToolStores();
    void resultsUpdateWithoutSelectionCallsNothing();
    void menuOpensANewModalDialog();
};

void TestGetDataForm::creationReadsTheStartPoint()
{
    Rig rig;
    TGetDataForm& form = rig.Make();
    QCOMPARE(Utf8(form.windowTitle()), std::string("ＪＶデータ取込"));
    QCOMPARE(Utf8(form.ButtonStart()->text()), std::string("データ取込み開始"));
    QCOMPARE(Utf8(form.ButtonCancel()->text()), std::string("データ取込み中止"));
    QCOMPARE(Utf8(form.SpeedButton1()->text()), std::string("JVLink設定"));
    QCOMPARE(form.TimerJVStatus()->interval(), 10);
    QVERIFY(!form.TimerJVStatus()->isActive());
    // No setting: now minus 8 days.
    QVERIFY(form.StartTime() == (DateTime {2006, 5, 21, 21, 30, 0}));
    QVERIFY(rig.jv.calls.empty());

    // A stored value, the time of day kept although the picker shows the date.
    rig.settings->WriteLastTime(std::string_view("2006/05/20 12:34:56"));
    TGetDataForm& again = rig.Make();
    QVERIFY(again.StartTime() == (DateTime {2006, 5, 20, 12, 34, 56}));
    again.DateTimePicker1()->setDate(QDate(2006, 5, 1));
    QVERIFY(again.StartTime() == (DateTime {2006, 5, 1, 12, 34, 56}));
}

void TestGetDataForm::nothingNewerAndOpenErrors()
{
    const std::vector<std::string> nothingNewer {kStartBox, "beep", "info:最新のデータがありません。", "beep"};
    {
        Rig rig;
        rig.settings->WriteLastTime(std::string_view("2006/05/20 12:34:56"));
        TGetDataForm& form = rig.Make();
        rig.jv.openResult = -1;
        form.ButtonStartClick();
        QCOMPARE(Seen(rig.notifier), nothingNewer);
        QCOMPARE(rig.jv.calls, (std::vector<std::string> {"JVOpen(RACERCVN,20060520123456,2)", "JVClose"}));
        QCOMPARE(rig.LastTime(), std::string("2006/05/20 12:34:56"));
        QVERIFY(form.ButtonStart()->isEnabled() && form.SpeedButton1()->isEnabled());
        QVERIFY(!form.TimerJVStatus()->isActive());
    }
    {
        Rig rig;
        TGetDataForm& form = rig.Make();
        rig.jv.openResult = 0; // read count 0, even with a time stamp
        rig.jv.lastFileTimestamp = "20060528120000";
        form.ButtonStartClick();
        QCOMPARE(Seen(rig.notifier), nothingNewer);
        QCOMPARE(rig.jv.Count("JVRead"), 0);
        QCOMPARE(rig.LastTime(), std::string());
    }
    {
        Rig rig;
        TGetDataForm& form = rig.Make();
        rig.jv.openResult = -504;
        form.ButtonStartClick();
        QCOMPARE(Seen(rig.notifier), (std::vector<std::string> {kStartBox, "beep",
                                                                 "info:JVOpenエラー:サーバーがメンテナンス中です。(-504)",
                                                                 "beep"}));
        QCOMPARE(rig.jv.Count("JVClose"), 1);
    }
}

void TestGetDataForm::readWithoutDownloadsSavesTheStartPoint()
{
    Rig rig;
    TGetDataForm& form = rig.Make();
    rig.jv.readCount = 2;
    rig.jv.lastFileTimestamp = "20060528235959";
    bool disabledWhileReading = false;
    rig.jv.reads = {ScriptedJVLink::Record(RaRecord(1),
                                           [&] {
                                               disabledWhileReading = !form.ButtonStart()->isEnabled()
                                                   && !form.SpeedButton1()->isEnabled()
                                                   && form.ButtonCancel()->isEnabled();
                                           }),
                    -1, -3, -2, ScriptedJVLink::Record(RaRecord(11)), -1, 0};
    form.ButtonStartClick();

    QVERIFY(disabledWhileReading);
    QCOMPARE(Seen(rig.notifier),
             (std::vector<std::string> {kStartBox, "beep", "info:データ作成が完了しました。", "beep"}));
    QCOMPARE(rig.jv.calls.front(), std::string("JVOpen(RACERCVN,20060521213000,2)"));
    QCOMPARE(rig.jv.calls.back(), std::string("JVClose"));
    QCOMPARE(rig.jv.lastReadSize, 60000);
    QCOMPARE(rig.Label(), std::string("データ読込み完了(2/2)"));
    QCOMPARE(form.ProgressBar1()->value(), 0);
    QCOMPARE(form.ProgressBar2()->value(), 0);
    QCOMPARE(form.ListBox1()->model()->rowCount(), 2);
    QCOMPARE(Utf8(form.ListBox1()->model()->index(0, 0).data().toString()), std::string("作成済み:01R/2006年05月28日東京.jvRA"));
    QCOMPARE(Utf8(form.ListBox1()->model()->index(1, 0).data().toString()), std::string("作成済み:11R/2006年05月28日東京.jvRA"));
    QVERIFY(std::filesystem::exists(rig.dir.native() / "DATA" / tervan::test::U8Path("2006年05月28日東京.jvRA")));

    // The newest file's time stamp is the next start point, in the picker too.
    QCOMPARE(rig.LastTime(), std::string("2006/05/28 23:59:59"));
    QVERIFY(form.StartTime() == (DateTime {2006, 5, 28, 23, 59, 59}));
    QVERIFY(form.ButtonStart()->isEnabled() && form.SpeedButton1()->isEnabled());

    // A new start clears the log and the cancel flag.
    rig.notifier.Clear();
    rig.jv.calls.clear();
    rig.jv.reads = {0};
    rig.jv.nextRead = 0;
    rig.jv.lastFileTimestamp = "00000000000000";
    JVCancelFlag() = true;
    form.ButtonStartClick();
    QCOMPARE(form.ListBox1()->model()->rowCount(), 0);
    QCOMPARE(rig.jv.Count("JVRead"), 1);
    QCOMPARE(rig.LastTime(), std::string("2006/05/28 23:59:59")); // all-zero stamp: kept
}

void TestGetDataForm::downloadsThenReadOnTheTimer()
{
    Rig rig;
    TGetDataForm& form = rig.Make();
    rig.jv.readCount = 1;
    rig.jv.downloadCount = 3;
    rig.jv.lastFileTimestamp = "20060529090000";
    rig.jv.statusResults = {0, 1, 1, 2, 3};
    rig.jv.reads = {ScriptedJVLink::Record(RaRecord(5)), -1, 0};
    form.ButtonStartClick();

    QVERIFY(form.Running());
    QVERIFY(form.TimerJVStatus()->isActive());
    QCOMPARE(rig.Label(), std::string("ダウンロード中・・・"));
    QCOMPARE(form.ProgressBar1()->maximum(), 3);
    QVERIFY(!form.ButtonStart()->isEnabled());
    QVERIFY(!form.SpeedButton1()->isEnabled());
    QVERIFY(form.ButtonCancel()->isEnabled());

    // Tick by hand first, then let the timer run the rest.
    form.TimerJVStatusTimer();
    QCOMPARE(rig.Label(), std::string("ダウンロード中．．．(0/3)"));
    form.TimerJVStatusTimer();
    QCOMPARE(rig.Label(), std::string("ダウンロード中．．．(1/3)"));
    QCOMPARE(form.ProgressBar1()->value(), 1);
    QVERIFY(form.TimerJVStatus()->isActive());
    const QString shots = qEnvironmentVariable("TERVAN_SCREENSHOT_DIR");
    if (!shots.isEmpty()) {
        InstallJapaneseFonts();
        QVERIFY(form.grab().save(shots + QStringLiteral("/getdata-waiting.png")));
    }
    QTRY_VERIFY_WITH_TIMEOUT(!form.Running(), 5000);

    QVERIFY(!form.TimerJVStatus()->isActive());
    QCOMPARE(rig.jv.Count("JVStatus"), 5);
    QCOMPARE(Seen(rig.notifier),
             (std::vector<std::string> {kStartBox, "beep", "info:データ作成が完了しました。", "beep"}));
    QCOMPARE(rig.Label(), std::string("データ読込み完了(1/1)"));
    QCOMPARE(form.ListBox1()->model()->rowCount(), 1);
    // Every record was read: the start point moves on here too.
    QCOMPARE(rig.LastTime(), std::string("2006/05/29 09:00:00"));
    QVERIFY(form.ButtonStart()->isEnabled());
}

void TestGetDataForm::readErrorStatusErrorAndCloseErrorKeepTheStartPoint()
{
    {
        Rig rig;
        TGetDataForm& form = rig.Make();
        rig.jv.readCount = 2;
        rig.jv.lastFileTimestamp = "20060528235959";
        rig.jv.reads = {ScriptedJVLink::Record(RaRecord(1)), -1, -503, ScriptedJVLink::Record(RaRecord(2))};
        form.ButtonStartClick();
        QCOMPARE(Seen(rig.notifier), (std::vector<std::string> {kStartBox, "beep",
                                                                 "info:JVReadエラー:ファイルが見つかりません。(-503)",
                                                                 "beep"}));
        QCOMPARE(rig.jv.Count("JVRead"), 3);
        QCOMPARE(rig.jv.calls.back(), std::string("JVClose"));
        QCOMPARE(form.ListBox1()->model()->rowCount(), 1);
        QCOMPARE(rig.LastTime(), std::string());
    }
    {
        Rig rig;
        TGetDataForm& form = rig.Make();
        rig.jv.readCount = 1;
        rig.jv.downloadCount = 2;
        rig.jv.statusResults = {1, -502};
        form.ButtonStartClick();
        form.TimerJVStatusTimer();
        form.TimerJVStatusTimer();
        QVERIFY(!form.Running());
        QVERIFY(!form.TimerJVStatus()->isActive());
        QCOMPARE(Seen(rig.notifier),
                 (std::vector<std::string> {kStartBox, "beep",
                                            "info:JVStatusエラー:ダウンロードに失敗しました。"
                                            "（通信エラーやディスクエラーなど）(-502)",
                                            "beep"}));
        QCOMPARE(rig.jv.Count("JVRead"), 0);
        QCOMPARE(rig.jv.Count("JVClose"), 1);
    }
    {
        Rig rig;
        TGetDataForm& form = rig.Make();
        rig.jv.readCount = 1;
        rig.jv.closeResult = -201;
        rig.jv.reads = {-1, 0};
        form.ButtonStartClick();
        QCOMPARE(Seen(rig.notifier), (std::vector<std::string> {kStartBox, "beep", "info:データ作成が完了しました。",
                                                                 "beep", "info:JVCloseエラー:(-201)"}));
        QVERIFY(form.ButtonStart()->isEnabled());
    }
}

void TestGetDataForm::cancelDuringTheWaitClosesTheStream()
{
    Rig rig;
    TGetDataForm& form = rig.Make();
    rig.jv.readCount = 2;
    rig.jv.downloadCount = 2;
    rig.jv.lastFileTimestamp = "20060528235959";
    rig.jv.statusResults = {0};
    form.ButtonStartClick();
    form.TimerJVStatusTimer();
    QVERIFY(form.Running());

    // "No" changes nothing.
    rig.notifier.answers = {false};
    form.ButtonCancelClick();
    QVERIFY(form.Running());
    QVERIFY(form.TimerJVStatus()->isActive());

    rig.notifier.Clear();
    form.ButtonCancelClick();
    QVERIFY(!form.Running());
    QVERIFY(!form.TimerJVStatus()->isActive());
    QVERIFY(JVCancelFlag());
    QCOMPARE(Seen(rig.notifier),
             (std::vector<std::string> {"ask:データ取込を中止します。実行しますか？", "beep",
                                        "info:JVCancel:キャンセルされました", "beep"}));
    QCOMPARE(rig.Label(), std::string("JVCancel:キャンセルされました"));
    const std::vector<std::string> tail(rig.jv.calls.end() - 2, rig.jv.calls.end());
    QCOMPARE(tail, (std::vector<std::string> {"JVCancel", "JVClose"}));
    QCOMPARE(rig.jv.Count("JVRead"), 0);
    QCOMPARE(rig.LastTime(), std::string());
    QVERIFY(form.ButtonStart()->isEnabled() && form.SpeedButton1()->isEnabled());

    // The closed stream lets the next download open.
    rig.notifier.Clear();
    rig.jv.downloadCount = 0;
    rig.jv.reads = {-1, -1, 0};
    form.ButtonStartClick();
    QVERIFY(!JVCancelFlag());
    QCOMPARE(rig.LastTime(), std::string("2006/05/28 23:59:59"));
}

void TestGetDataForm::cancelDuringTheRead()
{
    Rig rig;
    TGetDataForm& form = rig.Make();
    rig.jv.readCount = 3;
    rig.jv.lastFileTimestamp = "20060528235959";
    // The user clicks the cancel button while the second record is read.
    rig.jv.reads = {ScriptedJVLink::Record(RaRecord(1)), -1,
                    ScriptedJVLink::Record(RaRecord(2), [&] { form.ButtonCancelClick(); }),
                    ScriptedJVLink::Record(RaRecord(3)), -1, 0};
    form.ButtonStartClick();

    QCOMPARE(rig.jv.Count("JVRead"), 3);
    QCOMPARE(form.ListBox1()->model()->rowCount(), 2); // the record in hand is stored, no other
    QCOMPARE(Seen(rig.notifier),
             (std::vector<std::string> {kStartBox, "ask:データ取込を中止します。実行しますか？", "beep",
                                        "info:JVCancel:キャンセルされました", "beep"}));
    const std::vector<std::string> tail(rig.jv.calls.end() - 3, rig.jv.calls.end());
    QCOMPARE(tail, (std::vector<std::string> {"JVRead", "JVCancel", "JVClose"}));
    QCOMPARE(rig.LastTime(), std::string()); // records were left unread
    QVERIFY(!form.Running());
}

void TestGetDataForm::storedFileFailureClosesTheStream()
{
    Rig rig;
    TGetDataForm& form = rig.Make();
    rig.jv.readCount = 1;
    rig.jv.lastFileTimestamp = "20060528235959";
    rig.jv.reads = {ScriptedJVLink::Record(RaRecord(1)), -1, 0};
    fs::SetRewriteHook([](std::string_view) { throw fs::FileError(SJ("ディスクがいっぱいです。")); });
    form.ButtonStartClick();
    fs::SetRewriteHook({});

    QCOMPARE(Seen(rig.notifier),
             (std::vector<std::string> {kStartBox, "beep", "info:ディスクがいっぱいです。", "beep"}));
    QCOMPARE(rig.jv.calls.back(), std::string("JVClose"));
    QCOMPARE(rig.jv.Count("JVRead"), 3); // the record is written when the data ends
    QCOMPARE(rig.LastTime(), std::string());
    QVERIFY(form.ButtonStart()->isEnabled());
}

void TestGetDataForm::logLinesArriveInBatchesWholeAndInOrder()
{
    Rig rig;
    TGetDataForm& form = rig.Make();
    TempDir other;
    fs::CreateDirs(fs::Join(other.path(), "DATA"));
    StoredRaceFiles reference(other.path());
    std::vector<std::string> expected;
    rig.jv.readCount = 40;
    rig.jv.lastFileTimestamp = "20060528235959";
    for (int file = 0; file < 40; ++file) {
        for (int race = 1; race <= 12; ++race) {
            const std::string rec = RaRecord(race);
            for (const std::string& line : reference.StoreAccumulated(rec, 20060525))
                expected.push_back(Cp932ToUtf8(line));
            rig.jv.reads.push_back(ScriptedJVLink::Record(rec));
        }
        rig.jv.reads.push_back(-1);
    }
    rig.jv.reads.push_back(0);
    form.ButtonStartClick();

    std::vector<std::string> shown;
    for (int i = 0; i < form.ListBox1()->model()->rowCount(); ++i)
        shown.push_back(Utf8(form.ListBox1()->model()->index(i, 0).data().toString()));
    QCOMPARE(shown, expected);
    QCOMPARE(rig.Label(), std::string("データ読込み完了(40/40)"));
    QCOMPARE(form.ProgressBar2()->value(), 0);
}

void TestGetDataForm::settingsButton()
{
    Rig rig;
    TGetDataForm& form = rig.Make();
    form.SpeedButton1Click();
    QCOMPARE(rig.jv.calls, (std::vector<std::string> {"JVSetUIProperties"}));
    QVERIFY(rig.notifier.events.empty());

    rig.jv.setUIResult = -101;
    form.SpeedButton1()->click();
    QCOMPARE(Seen(rig.notifier),
             (std::vector<std::string> {"beep", "info:JVSetUIPropertiesエラー：すでにサービスキーが登録されています。(-101)"}));
}

void TestGetDataForm::closingRebuildsTheDayListAndEndsARun()
{
    Rig rig;
    TGetDataForm& form = rig.Make();
    form.reject();
    QCOMPARE(rig.dayListRebuilds, 1);
    QVERIFY(rig.jv.calls.empty());

    // Closed while the download waits: cancelled, the stream closed.
    TGetDataForm& waiting = rig.Make();
    rig.jv.readCount = 1;
    rig.jv.downloadCount = 1;
    rig.jv.statusResults = {0};
    waiting.ButtonStartClick();
    QVERIFY(waiting.Running());
    rig.notifier.Clear();
    waiting.done(0);
    QCOMPARE(rig.dayListRebuilds, 2);
    QVERIFY(!waiting.Running());
    QVERIFY(!waiting.TimerJVStatus()->isActive());
    QCOMPARE(rig.jv.calls.back(), std::string("JVClose"));
    QCOMPARE(Seen(rig.notifier),
             (std::vector<std::string> {"beep", "info:JVCancel:キャンセルされました", "beep"}));

    // Closed while the read loop runs, or while it writes what it held at
    // the end: the day list is rebuilt once, after the last write, and finds
    // the day the loop wrote.
    for (bool duringTheWrite : {false, true}) {
        Rig r;
        TGetDataForm& reading = r.Make();
        const std::string raceFile = fs::Join(fs::Join(r.dir.path(), "DATA"), SJ("2006年05月28日東京.jvRA"));
        std::string listed = "not rebuilt";
        r.onRebuild = [&] {
            std::string text;
            listed = fs::ReadFile(raceFile, text) ? std::to_string(text.size() / 1272) + " races" : "no race file";
        };
        auto close = [&reading] { reading.reject(); };
        r.jv.readCount = 1;
        r.jv.reads = {ScriptedJVLink::Record(RaRecord(1)),
                      ScriptedJVLink::Record(RaRecord(2), duringTheWrite ? std::function<void()>() : close),
                      ScriptedJVLink::Record(RaRecord(3))};
        bool closed = false;
        if (duringTheWrite)
            fs::SetRewriteHook([&](std::string_view) {
                if (!closed)
                    close();
                closed = true;
            });
        reading.ButtonStartClick();
        fs::SetRewriteHook({});
        QCOMPARE(r.dayListRebuilds, 1);
        QCOMPARE(listed, std::string(duringTheWrite ? "3 races" : "2 races"));
        QVERIFY(!reading.Running());
    }
}

void TestGetDataForm::standInSettingsDialog()
{
    TempDir dir;
    const std::string feed = fs::Join(dir.path(), SJ("データ"));
    fs::CreateDirs(feed);

    RecordingNotifier notifier;
    TStandInSettingsDialog dialog(fs::Join(dir.path(), "missing"), nullptr, &notifier);
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(notifier.BeepCount(), 1);
    QCOMPARE(notifier.Messages().size(), size_t(1));
    dialog.FolderEdit()->setText(QString::fromStdString(Cp932ToUtf8(feed)) + "  ");
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Folder(), feed);

    // JVSetUIProperties of the stand-in shows the dialog and keeps the choice.
    InstallStandInSettingsDialog();
    JVLinkStandIn jv(dir.path());
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* open = qobject_cast<TStandInSettingsDialog*>(QApplication::activeModalWidget());
        if (open == nullptr)
            return;
        shown = true;
        open->FolderEdit()->setText(QString::fromStdString(Cp932ToUtf8(feed)));
        open->accept();
    });
    QCOMPARE(jv.JVSetUIProperties(), 0);
    QVERIFY(shown);
    QCOMPARE(jv.FeedFolder(), feed);
    QCOMPARE(JVLinkStandIn(dir.path()).FeedFolder(), feed);

    // Cancelled: the feed stays.
    QTimer::singleShot(0, [] {
        if (QWidget* open = QApplication::activeModalWidget())
            qobject_cast<QDialog*>(open)->reject();
    });
    QCOMPARE(jv.JVSetUIProperties(), 0);
    QCOMPARE(jv.FeedFolder(), feed);
    JVLinkStandIn::SetFolderChooser({});
}

void TestGetDataForm::sampleFeedDownloadAndResultsUpdate()
{
    TempDir feedDir;
    TempDir baseDir;
    const std::string feed = fs::Join(feedDir.path(), "feed");
    std::string out;
    std::string err;
    QCOMPARE(tervan::test::RunTool({"make-sample-feed", feed, "--today", "20260601", "--days", "1", "--courses", "1"}, out, &err), 0);

    RecordingNotifier notifier;
    TMainForm::Options options;
    options.base = baseDir.path();
    options.jvlink = std::make_unique<JVLinkStandIn>(baseDir.path(), feed);
    options.notifier = &notifier;
    options.currentYear = [] { return 2026; };
    TMainForm main(std::move(options));
    QCOMPARE(main.JVLink1().JVInit(JVSoftwareId()), 0);
    QVERIFY(main.DayEntries().empty());

    // The download: files to fetch first, then every record read.
    TGetDataForm::Options o;
    o.jvlink = &main.JVLink1();
    o.settings = &main.AppSettings();
    o.notifier = &notifier;
    o.rebuildDayList = [&main] { main.MakeDataListBtnClick(); };
    o.clock = [] { return DateTime {2026, 6, 1, 9, 0, 0}; };
    // With TERVAN_SCREENSHOT_DIR set (scripts/screenshot-getdata.sh runs
    // this under Xvfb) the dialog is pictured while it downloads and reads.
    const QString shots = qEnvironmentVariable("TERVAN_SCREENSHOT_DIR");
    TGetDataForm* shown = nullptr;
    int pumps = 0;
    o.processMessages = [&] {
        QCoreApplication::processEvents();
        if (!shots.isEmpty() && shown != nullptr && ++pumps == 10)
            QVERIFY(shown->grab().save(shots + QStringLiteral("/getdata-reading.png")));
    };
    TGetDataForm form(std::move(o), &main);
    if (!shots.isEmpty()) {
        InstallJapaneseFonts();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        shown = &form;
    }
    form.ButtonStartClick();
    QVERIFY(form.Running());
    if (!shots.isEmpty())
        QVERIFY(form.grab().save(shots + QStringLiteral("/getdata-download.png")));
    QTRY_VERIFY_WITH_TIMEOUT(!form.Running(), 60000);
    QCOMPARE(Seen(notifier), (std::vector<std::string> {kStartBox, "beep", "info:データ作成が完了しました。", "beep"}));
    QVERIFY(form.ListBox1()->model()->rowCount() > 100);
    QVERIFY(!main.AppSettings().Ini().ReadString(SettingsKey::kJvDataGet, SettingsKey::kLastTime, "").empty());
    form.done(QDialog::Accepted);
    QCOMPARE(main.DayEntries().size(), size_t(1));
    QCOMPARE(main.DateCombo()->count(), 1);

    // The last day (today): entries only, no results yet.
    const std::string today = main.DayEntries().front();
    QVERIFY(today.starts_with(SJ("2026年06月01日")));
    main.DateCombo()->setCurrentIndex(0);
    main.DateComboChange(0);
    QVERIFY(main.DatList()->count() > 0);
    QCOMPARE(main.DatList()->currentRow(), 0);
    const RaceSummary& race = main.Day().slots.at(static_cast<size_t>(main.CurrentRace())).summary;
    QCOMPARE(race.runners[0].finishingPlace, 0);
    QCOMPARE(race.winPayouts[0].payout, 0);

    notifier.Clear();
    main.KekkaGetBtnClick();
    QCOMPARE(Seen(notifier), (std::vector<std::string> {"beep", "beep"}));
    int placed = 0;
    for (const RunnerSummary& r : race.runners) {
        if (r.horseNumber.empty() || r.horseNumber == "  ")
            continue;
        placed += r.finishingPlace > 0;
        QVERIFY(r.popularity > 0);
        QVERIFY(r.winOdds > 0);
    }
    QVERIFY(placed >= 8);
    QVERIFY(race.winPayouts[0].payout >= 100);
    QVERIFY(race.placePayouts[0].payout >= 100);
    QVERIFY(race.quinellaPayouts[0].payout >= 100);

    // On screen: the card's result column and the results panel.
    const TStringGrid& card = *main.StringGrid2();
    bool resultShown = false;
    for (int row = 1; row < card.RowCount(); ++row)
        resultShown = resultShown || !std::string(TrimSpaces(card.Cell(13, row))).empty();
    QVERIFY(resultShown);
    TLabel3D* win = main.ResultsPanel()->ValueLabel(BetKind::Win, 0, ResultRow::Payout);
    QVERIFY(win != nullptr);
    QVERIFY(!win->text().trimmed().isEmpty());
    QVERIFY(win->text().trimmed() != QStringLiteral("0"));
}

void TestGetDataForm::resultsUpdateWithoutSelectionCallsNothing()
{
    TempDir base;
    auto scripted = std::make_unique<ScriptedJVLink>();
    ScriptedJVLink& jv = *scripted;
    RecordingNotifier notifier;
    TMainForm::Options options;
    options.base = base.path();
    options.jvlink = std::move(scripted);
    options.notifier = &notifier;
    TMainForm main(std::move(options));
    main.KekkaGetBtnClick();
    QVERIFY(jv.calls.empty());
    QVERIFY(notifier.events.empty());
    QCOMPARE(UpdateResults(main), RealtimeUpdateOutcome::NotRun);
}

void TestGetDataForm::menuOpensANewModalDialog()
{
    TempDir base;
    RecordingNotifier notifier;
    TMainForm::Options options;
    options.base = base.path();
    options.jvlink = std::make_unique<ScriptedJVLink>();
    options.notifier = &notifier;
    TMainForm main(std::move(options));
    main.AppSettings().WriteLastTime(std::string_view("2006/05/20 12:34:56"));
    QVERIFY(main.DayEntries().empty());
    // A day written while the dialog is open shows once it closes.
    tervan::test::WriteAll(base.native() / "DATA" / tervan::test::U8Path("2006年05月28日東京.jvRA"), RaRecord(1));

    for (int run = 0; run < 2; ++run) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* open = qobject_cast<TGetDataForm*>(QApplication::activeModalWidget());
            if (open == nullptr)
                return;
            seen = Utf8(open->windowTitle()) == "ＪＶデータ取込" && open->isModal()
                && open->StartTime() == (DateTime {2006, 5, 20, 12, 34, 56});
            open->close();
        });
        main.J1Click();
        QVERIFY(seen);
        QCOMPARE(main.DayEntries().size(), size_t(1));
    }
    QVERIFY(notifier.events.empty());
}

// 過去データ取込（セットアップ）: three years of setup data read by the dialog
// and by tervan-tool store the same bytes; the weekly start point moves up
// to the last file read.
void TestGetDataForm::setupByDialogStoresWhatTheToolStores()
{
    TempDir feedDir, toolBase, dialogBase;
    const std::string feed = fs::Join(feedDir.path(), "feed");
    std::string out, err;
    QCOMPARE(tervan::test::RunTool({"make-sample-feed", feed, "--today", "20060604", "--days", "2", "--courses", "1",
                                    "--setup-years", "3", "--setup-every-weeks", "13"},
                                   out, &err),
             0);
    QCOMPARE(tervan::test::RunTool({"import-jv", toolBase.path(), feed, "--setup", "--from", "20040101"}, out, &err), 0);

    JVLinkStandIn jv(dialogBase.path(), feed);
    QCOMPARE(jv.JVInit(JVSoftwareId()), 0);
    EnsureBaseFolders(dialogBase.path());
    Settings settings(dialogBase.path(), "tervan");
    RecordingNotifier notifier;
    TGetDataForm::Options o;
    o.jvlink = &jv;
    o.settings = &settings;
    o.notifier = &notifier;
    o.clock = [] { return DateTime {2006, 6, 4, 9, 0, 0}; };
    TGetDataForm form(std::move(o));
    QCOMPARE(form.SetupYearEdit()->value(), 1996);
    QCOMPARE(form.SetupYearEdit()->minimum(), 1986);
    QCOMPARE(Utf8(form.ButtonSetup()->text()), std::string("過去データ取込（セットアップ）"));
    form.SetupYearEdit()->setValue(2004);
    QTest::mouseClick(form.ButtonSetup(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!form.Running(), 120000);
    QCOMPARE(Seen(notifier), (std::vector<std::string> {kStartBox, "beep", "info:データ作成が完了しました。", "beep"}));
    QCOMPARE(form.Download().LastOutcome(), JVDownload::Outcome::Completed);

    const auto fromTool = test::StoredSnapshot(toolBase.native());
    QVERIFY(fromTool.size() > 100);
    QVERIFY(fromTool == test::StoredSnapshot(dialogBase.native()));

    // The start point before was eight days back; now it is the last file's.
    const std::string last = form.Download().LastFileTimestamp();
    QCOMPARE(settings.Ini().ReadString(SettingsKey::kJvDataGet, SettingsKey::kLastTime, ""), StartTimeFromTimestamp(last));
    QCOMPARE(FormatCompact(form.StartTime()), last);

    // 格言成績 reaches back to the first setup year.
    TBacktestTab page(dialogBase.path(), notifier);
    page.show();
    QCOMPARE(page.findChild<QDateEdit*>(QStringLiteral("FromDate"))->date().year(), 2004);
}

QTEST_MAIN(TestGetDataForm)
#include "TestGetDataForm.moc"
