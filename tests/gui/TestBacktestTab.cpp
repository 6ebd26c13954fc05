// The page "格言成績" offscreen on hand-made stored days: the range starts at
// every stored day, the grid waits for 計算, the scan runs off the GUI
// thread, the grid, the CSV button and tervan-tool backtest give the same
// numbers, a double click never cancels, and a cancelled scan says so
// wherever its figures go.
#include "app/gui/BacktestTab.h"

#include "app/BacktestBase.h"
#include "platform/FileSystem.h"
#include "views/BacktestTable.h"
#include "views/CsvExport.h"
#include "widgets/Notifier.h"
#include "widgets/StringGrid.h"
#include "widgets/Text.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QDateEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <chrono>
#include <thread>

using namespace tervan;

namespace {

// The tool's TAB-separated lines, split into cells.
std::vector<std::vector<std::string>> ToolTable(const std::vector<std::string>& args, std::string* csvFile = nullptr)
{
    std::string out, err;
    std::vector<std::string> all = args;
    if (csvFile != nullptr)
        all.insert(all.end(), {"--csv", *csvFile});
    if (test::RunTool(all, out, &err) != 0)
        return {};
    std::vector<std::vector<std::string>> rows;
    std::size_t start = 0;
    for (std::size_t end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
        std::vector<std::string> cells;
        const std::string line = out.substr(start, end - start);
        std::size_t from = 0;
        for (std::size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1)
            cells.push_back(Utf8ToCp932(line.substr(from, tab - from)));
        cells.push_back(Utf8ToCp932(line.substr(from)));
        rows.push_back(std::move(cells));
    }
    return rows;
}

} // namespace

class TestBacktestTab : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void gridCsvAndToolAgree()
    {
        test::TempDir dir;
        test::WriteBacktestBase(dir.path());
        RecordingNotifier notifier;
        TBacktestTab tab(dir.path(), notifier);
        tab.resize(900, 600);
        tab.show();
        QCOMPARE(tab.FromDate()->date(), QDate(2006, 5, 28));
        QCOMPARE(tab.ToDate()->date(), QDate(2008, 1, 5));
        tab.FromDate()->setDate(QDate(2006, 6, 1));

        QSignalSpy ended(&tab, &TBacktestTab::scanEnded);
        tab.CalcBtnClick();
        QVERIFY(tab.Running() || ended.count() == 1);
        QVERIFY(ended.count() == 1 || ended.wait(10000));
        QVERIFY(!tab.Running());
        QCOMPARE(tab.CalcBtn()->text(), QString::fromUtf8("計算"));
        QCOMPARE(tab.Result().days, 2);
        QVERIFY(notifier.events.empty());
        const std::string native = dir.native().string();
        QCOMPARE(tab.Grid()->Table(), ToolTable({"backtest", native, "--from", "20060601", "--to", "20080105"}));
        QCOMPARE(tab.Grid()->Cell(1, 5), std::string("2")); // 全体: the 中山 runners only

        // The breakdown is taken from the same scan; the CSV button writes what the tool writes.
        tab.BreakdownCombo()->setCurrentIndex(static_cast<int>(BacktestBreakdown::Rank));
        std::string csv = (dir.native() / "tool.csv").string();
        const auto byRank = ToolTable({"backtest", native, "--from", "20060601", "--to", "20080105", "--by", "rank"}, &csv);
        QCOMPARE(tab.Grid()->Table(), byRank);
        QCOMPARE(tab.Grid()->Cell(0, 1), SJ("1-3位"));
        QSignalSpy saved(&tab, &TBacktestTab::csvWritten);
        tab.CsvBtnClick();
        QVERIFY(notifier.events.empty());
        QCOMPARE(saved.count(), 1); // the window names the file on its status line
        QCOMPARE(saved.at(0).at(0).value<std::string>(), CsvFilePath(dir.path(), tab.Heading()));
        const std::filesystem::path written = fs::ToNative(CsvFilePath(dir.path(), tab.Heading()));
        QCOMPARE(test::ReadAll(written), test::ReadAll(csv));

        // A range that ends before it starts is refused.
        tab.ToDate()->setDate(QDate(2006, 1, 1));
        tab.CalcBtnClick();
        QCOMPARE(notifier.events.size(), size_t(2)); // beep and message
        QVERIFY(!tab.Running());
    }

    void doubleClickNeverCancelsAndCancelSaysSo()
    {
        test::TempDir dir;
        test::WriteBacktestBase(dir.path());
        RecordingNotifier notifier;
        TBacktestTab tab(dir.path(), notifier);
        // The scan stops after its first day until it is told to cancel.
        tab.SetScan([](const std::string& base, const BacktestRange& range, const BacktestProgressFn& progress,
                       const std::atomic<bool>* cancel) {
            return RunBacktest(
                base, range,
                [&](int done, int total) {
                    progress(done, total);
                    for (int i = 0; done == 1 && i < 20000 && !cancel->load(); ++i)
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                },
                cancel);
        });
        tab.resize(900, 600);
        tab.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tab));
        // Before 計算: the titles only and a line that says what to do.
        QCOMPARE(tab.Grid()->RowCount(), 1);
        QVERIFY(tab.StatusLabel()->text().contains(QString::fromUtf8("計算")));
        QVERIFY(!tab.Computed());

        QSignalSpy ended(&tab, &TBacktestTab::scanEnded);
        // A double click: two clicks in quick succession.
        QTest::mouseClick(tab.CalcBtn(), Qt::LeftButton);
        QTest::mouseClick(tab.CalcBtn(), Qt::LeftButton);
        QVERIFY(tab.Running());
        QCOMPARE(tab.CalcBtn()->text(), QString::fromUtf8("中止"));
        QTest::qWait(100);
        QVERIFY(tab.Running());
        QVERIFY(tab.CalcBtn()->isEnabled());
        QTest::qWait(TBacktestTab::kCancelGuardMs);
        QTest::mouseClick(tab.CalcBtn(), Qt::LeftButton);
        QVERIFY(ended.count() == 1 || ended.wait(10000));
        QCOMPARE(tab.CalcBtn()->text(), QString::fromUtf8("計算"));
        QVERIFY(tab.CalcBtn()->isEnabled());

        // Only the first date was counted: the page, the clipboard and the CSV file say so.
        QVERIFY(tab.Result().cancelled);
        QCOMPARE(tab.Result().days, 1);
        const std::string heading = SJ("格言成績 20060528-20060528 中止");
        QCOMPARE(tab.Heading(), heading);
        QVERIFY(tab.StatusLabel()->text().startsWith(Q(heading)));
        tab.CopyBtnClick();
        QVERIFY(QApplication::clipboard()->text().startsWith(Q(heading) + QStringLiteral("\r\n")));
        tab.CsvBtnClick();
        QVERIFY(notifier.events.empty());
        QVERIFY(fs::FileExists(CsvFilePath(dir.path(), heading)));
        QVERIFY(test::ReadAll(fs::ToNative(CsvFilePath(dir.path(), heading))).rfind(heading + "\r\n", 0) == 0);
        QVERIFY(!fs::FileExists(CsvFilePath(dir.path(), SJ("格言成績 20060528-20080105"))));
    }
};

QTEST_MAIN(TestBacktestTab)
#include "TestBacktestTab.moc"
