// The main window on a sample day, painted as the user sees it: the race
// card, the matching-horse list, the results panel and the pages "格言成績"
// and "格言ラボ".
// The painted pixels are checked where the paint rules fix them (bracket
// colours, the maxim column, the forecast columns). With TERVAN_SCREENSHOT_DIR set (scripts/screenshots.sh
// runs it under Xvfb) the pictures are also saved there as PNG files.
#include "app/gui/MainForm.h"

#include "app/gui/BacktestTab.h"
#include "app/gui/LabTab.h"

#include "acquisition/JVLinkStandIn.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"
#include "support/TestSupport.h"
#include "views/RaceCardText.h"
#include "views/gui/ResultsPanelWidget.h"
#include "widgets/Chart.h"
#include "widgets/Fonts.h"
#include "widgets/Label3D.h"
#include "widgets/StringGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QTextBrowser>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QListWidget>
#include <QSignalSpy>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace tervan;
using tervan::test::RunTool;
using tervan::test::TempDir;

class TestScreens : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDir> base_;
    std::unique_ptr<TMainForm> form_;
    RecordingNotifier notifier_;
    QString saveDir_;

    void Save(const QImage& image, const char* name)
    {
        QVERIFY(!image.isNull());
        if (!saveDir_.isEmpty())
            QVERIFY(image.save(saveDir_ + QLatin1Char('/') + QLatin1String(name)));
    }

    static QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

private Q_SLOTS:
    void initTestCase()
    {
        InstallJapaneseFonts();
        saveDir_ = qEnvironmentVariable("TERVAN_SCREENSHOT_DIR");
        if (!saveDir_.isEmpty())
            QDir().mkpath(saveDir_);
        base_ = std::make_unique<TempDir>();
        const std::string feed = (base_->native() / "sample-feed").string();
        std::string out;
        // Eight race days, so that the page "格言成績" has weeks of results to count.
        QCOMPARE(RunTool({"make-sample-feed", feed, "--today", "20261207", "--days", "8", "--courses", "1"}, out), 0);
        QCOMPARE(RunTool({"import-jv", base_->native().string(), feed, "--now", "20261207120000"}, out), 0);
        // Forecast odds for the first day from the sample's KOL archive, when it has one.
        for (const auto& entry : std::filesystem::directory_iterator(base_->native() / "sample-feed"))
            if (entry.path().filename().string().rfind("j", 0) == 0 && entry.path().extension() == ".lzh")
                RunTool({"import-odds", base_->native().string(), entry.path().string()}, out);
        TMainForm::Options options;
        options.base = base_->path();
        options.notifier = &notifier_;
        options.jvlink = std::make_unique<JVLinkStandIn>(base_->path());
        options.currentYear = [] { return 2026; };
        form_ = std::make_unique<TMainForm>(std::move(options));
        form_->resize(1120, 760);
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }

    void gothicFontIsJapanese()
    {
        QFontInfo info(GothicFont(12));
        qInfo("ＭＳ ゴシック resolves to %s", qPrintable(info.family()));
        // On Windows the font itself is installed; elsewhere a Japanese substitute stands in.
        const bool installed = info.family() == GothicFamily();
        QVERIFY2(installed || info.family().contains(QStringLiteral("IPA"))
                     || info.family().contains(QStringLiteral("Gothic")) || info.family().contains(QStringLiteral("CJK")),
                 qPrintable(info.family()));
        if (!installed && QFontDatabase::families().contains(QStringLiteral("IPAGothic")))
            QCOMPARE(info.family(), QStringLiteral("IPAGothic"));
        QFontMetrics metrics(GothicFont(12));
        QVERIFY(metrics.inFont(QChar(0x99AC))); // 馬
        QVERIFY(metrics.inFont(QChar(0xFF76))); // ｶ (half-width katakana)
    }

    void raceCard()
    {
        // The day with forecast odds if one was imported, else the newest day
        // already run (the newest day of the sample is today, without results).
        int chosen = form_->DateCombo()->count() > 1 ? 1 : 0;
        for (int i = 0; i < form_->DateCombo()->count(); ++i) {
            std::string yoz = fs::Join(base_->path(), "DATA/" + form_->DayEntries()[static_cast<size_t>(i)].substr(0, 14) + ".yoz");
            if (fs::FileExists(yoz))
                chosen = i;
        }
        form_->DateCombo()->setCurrentIndex(chosen);
        form_->DateComboChange(chosen);
        QVERIFY(notifier_.events.empty());
        form_->PageControl1()->setCurrentIndex(0);
        QTest::qWait(50);
        Save(form_->grab().toImage(), "race-card-window.png");

        TStringGrid* grid = form_->StringGrid2();
        QImage card = grid->RenderAll();
        Save(card, "race-card-full.png");
        // Bracket colours in column 0, the maxim column's background in column 2.
        const QRgb brackets[9] = {0, 0xFFFFFF, 0x808080, 0xFF0000, 0x0000FF, 0xFFFF00, 0x00FF00, 0xFF8000, 0xFF00FF};
        auto left = [grid](int col) { // left edge of a column in the full picture
            int x = 0;
            for (int c = 0; c < col; ++c)
                x += grid->ColWidth(c) + TStringGrid::kGridLineWidth;
            return x;
        };
        int y = grid->RowHeight(0) + 1;
        for (int r = 1; r < grid->RowCount(); ++r) {
            const int bracket = std::atoi(grid->Cell(0, r).c_str());
            QVERIFY(bracket >= 1 && bracket <= 8);
            QCOMPARE(Pixel(card, 1, y + 1), brackets[bracket]);
            QCOMPARE(Pixel(card, left(2) + 45, y + 1), QRgb(0xCEFFFF));
            QCOMPARE(Pixel(card, left(7) - 3, y + 20), QRgb(0xFFFFFF)); // right of the first past run's interval
            QCOMPARE(Pixel(card, left(11) + 2, y + 2), QRgb(0x8BFC8B)); // forecast odds
            QCOMPARE(Pixel(card, left(12) + 2, y + 2), QRgb(0x8BFC8B)); // forecast rank
            y += grid->RowHeight(r) + 1;
        }
    }

    void matchingList()
    {
        form_->PageControl1()->setCurrentIndex(1);
        QTest::qWait(50);
        Save(form_->grab().toImage(), "matching-list-window.png");
        QImage list = form_->StringGrid1()->RenderAll();
        Save(list, "matching-list-full.png");
        QVERIFY(form_->StringGrid1()->RowCount() > 1);
    }

    void resultsPanel()
    {
        // A day already run: finishing places on the card, payouts in the panel.
        const int run = form_->DateCombo()->count() > 1 ? 1 : 0;
        form_->DateCombo()->setCurrentIndex(run);
        form_->DateComboChange(run);
        QVERIFY(notifier_.events.empty());
        form_->DatList()->setCurrentRow(10);
        form_->DatListClick();
        form_->PageControl1()->setCurrentIndex(0);
        form_->StringGrid2()->SetRow(3); // a selected row, as after a click
        QTest::qWait(50);
        Save(form_->grab().toImage(), "race-card-results-window.png");
        form_->StringGrid2()->ClearSelection();
        form_->PageControl1()->setCurrentIndex(2);
        QTest::qWait(50);
        Save(form_->grab().toImage(), "results-panel-window.png");
        // Every race of a day already run has its win payout.
        TLabel3D* win = form_->ResultsPanel()->ValueLabel(BetKind::Win, 0, ResultRow::Payout);
        QVERIFY(win != nullptr);
        if (form_->DateCombo()->currentIndex() > 0)
            QVERIFY(!win->text().trimmed().isEmpty());
        QCOMPARE(form_->ResultsPanel()->ValueLabels().size(), size_t(63));
    }

    void backtestPage()
    {
        // The page beside "成績結果", its scan over every stored day.
        QTabWidget* pages = form_->PageControl1();
        QCOMPARE(pages->tabText(3), QString::fromUtf8("格言成績"));
        auto* tab = form_->findChild<TBacktestTab*>();
        QVERIFY(tab != nullptr);
        pages->setCurrentIndex(3);
        QTest::qWait(50);
        QVERIFY(!tab->Computed());
        Save(form_->grab().toImage(), "backtest-before-window.png");
        QSignalSpy ended(tab, &TBacktestTab::scanEnded);
        tab->CalcBtnClick();
        QVERIFY(ended.wait(60000));
        QVERIFY(notifier_.events.empty());
        QCOMPARE(tab->Result().days, 8);
        QCOMPARE(tab->Result().races, 7 * 12); // today has no payouts yet
        QVERIFY(tab->Result().total[static_cast<size_t>(MaximGroup::All)].runners > 500);
        QTest::qWait(50);
        Save(form_->grab().toImage(), "backtest-window.png");
        tab->BreakdownCombo()->setCurrentIndex(static_cast<int>(BacktestBreakdown::Distance));
        QTest::qWait(50);
        Save(form_->grab().toImage(), "backtest-distance-window.png");
        // The chart follows the breakdown: a group of bars per distance band.
        QCOMPARE(static_cast<int>(tab->Chart()->Data().groups.size()),
                 static_cast<int>(tab->Result().Sections(BacktestBreakdown::Distance).size()));
        tab->ChartCombo()->setCurrentIndex(1);
        QTest::qWait(50);
        Save(form_->grab().toImage(), "backtest-distance-place-window.png");
        tab->ChartCombo()->setCurrentIndex(0);
        tab->BreakdownCombo()->setCurrentIndex(static_cast<int>(BacktestBreakdown::None));
    }

    void labPage()
    {
        // The page beside "格言成績": the three maxims and a rule of the user's own.
        QTabWidget* pages = form_->PageControl1();
        QCOMPARE(pages->tabText(4), QString::fromUtf8("格言ラボ"));
        auto* tab = form_->findChild<TLabTab*>();
        QVERIFY(tab != nullptr);
        pages->setCurrentIndex(4);
        QTest::qWait(50);
        for (const MaximRule& rule : BuiltInMaximRules()) {
            tab->SetEditorRule(rule);
            tab->AddBtnClick();
        }
        MaximRule own = BuiltInMaximRules()[0];
        own.name = SJ("芝の休み明け");
        own.sexes = 3;
        own.rest = RuleRange {35};
        own.tracks = 1;
        tab->SetEditorRule(own);
        tab->AddBtnClick();
        QVERIFY(notifier_.events.empty());
        QSignalSpy ended(tab, &TLabTab::scanEnded);
        tab->CalcBtnClick();
        QVERIFY(ended.wait(60000));
        QVERIFY(notifier_.events.empty());
        QCOMPARE(tab->Result().days, 8);
        QTest::qWait(50);
        Save(form_->grab().toImage(), "lab-window.png");
        tab->RuleList()->setCurrentRow(3);
        tab->SweepBtnClick();
        QVERIFY(ended.wait(60000));
        QVERIFY(tab->ShowingSweep());
        QTest::qWait(50);
        Save(form_->grab().toImage(), "lab-sweep-window.png");
    }

    void defaultAndMinimumSize()
    {
        // At the window's first size the card's 結果 column and the last
        // columns of 格言成績 (単回値, 複回値) are in view without scrolling.
        auto inView = [](TStringGrid* grid, int col) {
            const QRect cell = grid->CellRect(col, 0);
            return !cell.isEmpty() && cell.right() < grid->viewport()->width();
        };
        form_->resize(800, 700);
        form_->PageControl1()->setCurrentIndex(0);
        QTest::qWait(50);
        // The whole card needs the width the day list takes, so showing a
        // race in a narrow window hides the list; a wide one brings it back.
        form_->DatListClick();
        QTest::qWait(50);
        Save(form_->grab().toImage(), "race-card-800x700.png");
        QVERIFY(form_->Panel5()->isHidden());
        QVERIFY(inView(form_->StringGrid2(), kCardColumnCount - 1));
        QVERIFY(form_->findChild<QToolButton*>(QStringLiteral("ShowDataListBtn"))->isVisible());
        form_->resize(1120, 760);
        QTest::qWait(50);
        QVERIFY(form_->Panel5()->isVisible());
        QVERIFY(inView(form_->StringGrid2(), kCardColumnCount - 1));
        form_->resize(800, 700);
        QTest::qWait(50);
        form_->PageControl1()->setCurrentIndex(3);
        form_->findChild<TBacktestTab*>()->BreakdownCombo()->setCurrentIndex(0);
        QTest::qWait(50);
        Save(form_->grab().toImage(), "backtest-800x700.png");
        auto* backtest = form_->findChild<TStringGrid*>(QStringLiteral("StringGrid4"));
        QVERIFY(backtest != nullptr);
        QVERIFY(inView(backtest, backtest->ColCount() - 1));

        // At the smallest size 格言成績 still shows its five lines.
        form_->resize(1, 1);
        QTest::qWait(50);
        Save(form_->grab().toImage(), "backtest-minimum.png");
        QVERIFY(backtest->RowCount() >= 6);
        QVERIFY(backtest->CellRect(0, 5).bottom() < backtest->viewport()->height());

        // 格言ラボ with its sweep chart, at the smallest size and the first one.
        form_->PageControl1()->setCurrentIndex(4);
        QTest::qWait(50);
        Save(form_->grab().toImage(), "lab-minimum.png");
        auto* lab = form_->findChild<TLabTab*>();
        QVERIFY(lab->Chart()->height() >= lab->Chart()->minimumHeight());
        QVERIFY(lab->Grid()->isVisible() && lab->Grid()->height() >= lab->Grid()->minimumHeight());
        form_->resize(800, 700);
        QTest::qWait(50);
        Save(form_->grab().toImage(), "lab-800x700.png");
        form_->resize(1120, 760);
    }

    void helpPage()
    {
        // The bundled page, as "目次(&C)" shows it when there is no tervanj.chm.
        const auto source = test::TestData("../../help/tervanj.html");
        QVERIFY(std::filesystem::exists(source));
        std::filesystem::create_directories(base_->native() / "help");
        std::filesystem::copy_file(source, base_->native() / "help" / "tervanj.html",
                                   std::filesystem::copy_options::overwrite_existing);
        form_->HelpContentsItemClick();
        auto* help = form_->findChild<QDialog*>(QStringLiteral("HelpForm"));
        QVERIFY(help != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(help));
        auto* browser = help->findChild<QTextBrowser*>();
        QVERIFY(browser->toPlainText().contains(QString::fromUtf8("ﾃﾞｰﾀﾘｽﾄを表示")));
        Save(help->grab().toImage(), "help.png");
        help->close();
    }

    void cleanupTestCase() { form_.reset(); }
};

QTEST_MAIN(TestScreens)
#include "TestScreens.moc"
