// The interface widgets: the hot-track button's fading thread, the string
// grid's cells, rows and fixed columns, the 3-D label's CP932 caption, the
// results panel's 63 labels, the progress window, the chart's bars to scale.
#include "app/gui/PrgrsForm.h"
#include "reference/ShiftJis.h"
#include "views/gui/ResultsPanelWidget.h"
#include "widgets/Chart.h"
#include "widgets/Fonts.h"
#include "widgets/HotTrackButton.h"
#include "widgets/Label3D.h"
#include "widgets/Notifier.h"
#include "widgets/QtNotifier.h"
#include "widgets/StringGrid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include <chrono>
#include <limits>
#include <memory>

using namespace tervan;

class TestWidgets : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { InstallJapaneseFonts(); }

    void hotTrackButtonFadesInThirtyMillisecondSteps()
    {
        THotTrackSpeedButton button;
        button.setText(QString::fromUtf8("結果情報"));
        // Not shown: the platform's own enter and leave events stay out of the test.
        // Without slow decay the light goes out at once and no thread runs.
        button.SimulateEnter();
        QCOMPARE(button.light(), THotTrackSpeedButton::kFullLight);
        button.SimulateLeave();
        QCOMPARE(button.light(), 0);
        QVERIFY(!button.isFading());

        button.setSlowDecay(true);
        button.SimulateEnter();
        QSignalSpy finished(&button, &THotTrackSpeedButton::fadeFinished);
        const auto start = std::chrono::steady_clock::now();
        button.SimulateLeave();
        QVERIFY(button.isFading());
        QCOMPARE(button.light(), THotTrackSpeedButton::kFullLight); // the GUI thread changes it, step by step
        QTRY_VERIFY_WITH_TIMEOUT(button.light() < THotTrackSpeedButton::kFullLight, 1000);
        QVERIFY(button.light() > 0);
        QVERIFY(finished.wait(3000));
        const auto elapsed = std::chrono::steady_clock::now() - start;
        const int steps = (THotTrackSpeedButton::kFullLight + THotTrackSpeedButton::kFadeStep - 1)
            / THotTrackSpeedButton::kFadeStep;
        QVERIFY(elapsed >= std::chrono::milliseconds(steps * THotTrackSpeedButton::kFadeIntervalMs - 5));
        QCOMPARE(button.light(), 0);
        QVERIFY(!button.isFading());

        // Re-entering stops a running fade; a button destroyed mid-fade joins its thread.
        button.SimulateEnter();
        button.SimulateLeave();
        QTest::qWait(40);
        button.SimulateEnter();
        QVERIFY(!button.isFading());
        QCOMPARE(button.light(), THotTrackSpeedButton::kFullLight);
        auto doomed = std::make_unique<THotTrackSpeedButton>();
        doomed->setSlowDecay(true);
        doomed->SimulateEnter();
        doomed->SimulateLeave();
        QTest::qWait(40);
        doomed.reset();
        QTest::qWait(40); // steps posted before the end are dropped with the button
    }

    void stringGridCellsRowsAndSelection()
    {
        TStringGrid grid;
        grid.SetColCount(4);
        grid.SetRowCount(4);
        grid.SetFixedCols(2);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                grid.SetCell(c, r, std::to_string(r) + std::to_string(c));
        // Out of range: empty reads, ignored writes.
        QCOMPARE(grid.Cell(4, 0), std::string());
        QCOMPARE(grid.Cell(-1, 2), std::string());
        grid.SetCell(9, 9, "x");
        QCOMPARE(grid.RowTexts(2), (std::vector<std::string>{"20", "21", "22", "23"}));
        // Data rows reorder; the header row stays.
        grid.ApplyRowOrder({3, 1, 2});
        QCOMPARE(grid.Cell(0, 0), std::string("00"));
        QCOMPARE(grid.Cell(0, 1), std::string("30"));
        QCOMPARE(grid.Cell(0, 2), std::string("10"));
        QCOMPARE(grid.Cell(0, 3), std::string("20"));
        grid.ApplyRowOrder({0, 7, 1}); // not data rows: nothing moves
        QCOMPARE(grid.Cell(0, 1), std::string("30"));
        // Shrinking drops rows, growing adds empty ones.
        grid.SetRow(3);
        grid.SetRowCount(3);
        QCOMPARE(grid.Row(), -1);
        grid.SetRowCount(5);
        QCOMPARE(grid.Cell(1, 4), std::string());
        grid.SetRow(0); // the header row is never selected
        QCOMPARE(grid.Row(), -1);
        grid.SetRow(2);
        QCOMPARE(grid.Row(), 2);
        grid.ClearSelection();
        QCOMPARE(grid.Row(), -1);
    }

    void stringGridKeepsFixedColumnsWhenScrolled()
    {
        TStringGrid grid;
        grid.SetColCount(10);
        grid.SetRowCount(30);
        grid.SetFixedCols(3);
        grid.SetDefaultRowHeight(25);
        grid.SetRowHeight(0, 27);
        for (int c = 0; c < 10; ++c)
            grid.SetColWidth(c, 70);
        grid.resize(400, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QCOMPARE(grid.CellRect(0, 0), QRect(0, 0, 70, 27));
        QCOMPARE(grid.CellRect(3, 1), QRect(213, 28, 70, 25));
        grid.horizontalScrollBar()->setValue(2);
        QCOMPARE(grid.LeftCol(), 5);
        QCOMPARE(grid.CellRect(2, 0).left(), 142); // fixed columns stay
        QVERIFY(grid.CellRect(3, 1).isEmpty());     // scrolled out
        QCOMPARE(grid.CellRect(5, 1).left(), 213);
        // Selecting a row below the view scrolls it into view.
        grid.SetRow(29);
        QVERIFY(!grid.CellRect(0, 29).isEmpty());
        QVERIFY(grid.CellRect(0, 29).bottom() < grid.viewport()->height());
        int col = -1;
        int row = -1;
        QVERIFY(grid.CellAt(grid.CellRect(6, 29).center(), col, row));
        QCOMPARE(col, 6);
        QCOMPARE(row, 29);
        // Keys move the selection within the data rows.
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(grid.Row(), 29);
        QTest::keyClick(&grid, Qt::Key_Home);
        QCOMPARE(grid.Row(), 1);
        QTest::keyClick(&grid, Qt::Key_Up);
        QCOMPARE(grid.Row(), 1);
        // The whole grid paints into one picture of its full size.
        QCOMPARE(grid.RenderAll().size(), QSize(10 * 71, 28 + 29 * 26));
        // The paint hook sees every cell once with its state.
        int cells = 0;
        int selectedCells = 0;
        grid.SetRow(2);
        grid.SetOnDrawCell([&](QPainter&, int, int r, const QRect&, const TStringGrid::DrawState& s) {
            ++cells;
            if (s.selected) {
                ++selectedCells;
                QCOMPARE(r, 2);
            }
        });
        grid.RenderAll();
        QCOMPARE(cells, 300);
        QCOMPARE(selectedCells, 7); // the non-fixed cells of row 2
    }

    void label3DKeepsItsCp932Caption()
    {
        TLabel3D label;
        const std::string text = SJ("ｵｰﾌﾟﾝ　　 ");
        label.SetCaption(text);
        QCOMPARE(label.Caption(), text);
        QCOMPARE(label.text(), QString::fromUtf8("ｵｰﾌﾟﾝ　　 "));
        label.setFont(GothicFont(13, true));
        label.SetCaption(SJ("2026年12月 6日東京 4回 8日"));
        QVERIFY(label.width() > 100); // sized to its text
        label.setAutoSize(false);
        label.resize(35, 29);
        label.SetCaption("11");
        QCOMPARE(label.size(), QSize(35, 29));
    }

    void resultsPanelHasSixtyThreeLabels()
    {
        TResultsPanel panel;
        const std::vector<TLabel3D*> labels = panel.ValueLabels();
        QCOMPARE(labels.size(), size_t(63));
        for (TLabel3D* label : labels)
            QCOMPARE(label->text(), QStringLiteral("999"));
        QCOMPARE(panel.ValueLabel(BetKind::Win, 3, ResultRow::Result), nullptr);
        TLabel3D* wide7 = panel.ValueLabel(BetKind::Wide, 6, ResultRow::Payout);
        QCOMPARE(wide7->objectName(), QStringLiteral("Label3D100"));
        QCOMPARE(wide7->geometry(), QRect(433, 268 + 42, 60, 15));
        QCOMPARE(panel.ValueLabel(BetKind::Place, 0, ResultRow::Result)->geometry(), QRect(49, 74 + 12, 60, 15));

        RaceSummary race;
        race.winPayouts[0] = {5, 0, 230};
        race.bracketQuinellaPayouts[0] = {" 0- 0", 3, 100};
        race.quinellaPayouts[1] = {" 1-12", 4, 1230};
        panel.Fill(race);
        QCOMPARE(panel.ValueLabel(BetKind::Win, 0, ResultRow::Result)->text(), QStringLiteral(" 5"));
        QCOMPARE(panel.ValueLabel(BetKind::Win, 0, ResultRow::Popularity)->text(), QString());
        QCOMPARE(panel.ValueLabel(BetKind::Win, 0, ResultRow::Payout)->text(), QStringLiteral("     230"));
        QCOMPARE(panel.ValueLabel(BetKind::BracketQuinella, 0, ResultRow::Result)->text(), QString());
        QCOMPARE(panel.ValueLabel(BetKind::Quinella, 1, ResultRow::Result)->text(), QStringLiteral(" 1-12"));
        int empty = 0;
        for (TLabel3D* label : panel.ValueLabels())
            empty += label->text().isEmpty();
        QCOMPARE(empty, 63 - 3 - 2); // nothing of the design-time "999" survives
    }

    void progressWindowCountsSteps()
    {
        QWidget owner;
        owner.resize(400, 300);
        owner.show();
        TPrgrsForm progress(&owner);
        progress.Start(24);
        QVERIFY(progress.isVisible());
        QCOMPARE(progress.Label1()->text(), QString::fromUtf8("データを読み込んでいます"));
        progress.SetLine(SJ("2006年05月28日東京"));
        QCOMPARE(progress.Label2()->text(), QString::fromUtf8("2006年05月28日東京"));
        for (int i = 0; i < 30; ++i)
            progress.Step();
        QCOMPARE(progress.ProgressBar1()->value(), 24);
        QVERIFY(progress.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(progress.windowFlags() & Qt::FramelessWindowHint);
        progress.Finish();
        QVERIFY(!progress.isVisible());
    }

    void qtNotifierShowsModalBoxes()
    {
        QtNotifier notifier;
        QString shown;
        auto press = [&shown](const QString& button) {
            QTimer::singleShot(0, [&shown, button] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box != nullptr);
                shown = box->text();
                for (QAbstractButton* b : box->buttons())
                    if (b->text() == button)
                        b->click();
            });
        };
        press(QString::fromUtf8("いいえ(&N)"));
        QVERIFY(!notifier.Confirm(SJ("データ取込を中止します。実行しますか？")));
        QCOMPARE(shown, QString::fromUtf8("データ取込を中止します。実行しますか？"));
        press(QString::fromUtf8("はい(&Y)"));
        QVERIFY(notifier.Confirm(SJ("実行しますか？")));
        press(QStringLiteral("OK"));
        notifier.Information(SJ("データ作成が完了しました。"));
        QCOMPARE(shown, QString::fromUtf8("データ作成が完了しました。"));

        // A box over a window that a day load has disabled still takes its OK.
        QWidget owner;
        owner.show();
        owner.setEnabled(false);
        QtNotifier ownedNotifier(&owner);
        bool enabled = false;
        QTimer::singleShot(0, [&enabled] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box != nullptr);
            enabled = box->isEnabled();
            qobject_cast<QDialog*>(box)->accept();
        });
        ownedNotifier.Information(SJ("データ作成が未完了のようです。"));
        QVERIFY(enabled);
    }

    void recordingNotifierKeepsOrderAndAnswers()
    {
        RecordingNotifier notifier;
        notifier.answers = {false};
        notifier.Beep();
        notifier.Information("a");
        QCOMPARE(notifier.Confirm("q1"), false);
        QCOMPARE(notifier.Confirm("q2"), true);
        QCOMPARE(notifier.events.size(), size_t(4));
        QCOMPARE(notifier.BeepCount(), 1);
        QCOMPARE(notifier.Messages(), std::vector<std::string>{"a"});
        QCOMPARE(notifier.events[2].kind, RecordingNotifier::Event::kConfirm);
    }

    void chartPaintsBarsToScale()
    {
        // Two groups of two series on an axis 0-200 with a line at 100.
        ChartData data;
        data.title = SJ("単回値・複回値");
        data.groups = {SJ("牡1戦目"), SJ("全体")};
        data.series = {ChartSeries {"A", ChartColor {0xE0, 0x50, 0x40}, ChartSeriesKind::Bars, 0, {50, 150}, {"50.0", "150.0"}},
                       ChartSeries {"B", ChartColor {0x40, 0x80, 0xD0}, ChartSeriesKind::Bars, 0, {100, 0}, {"100.0", ""}}};
        data.axes = {RoundAxis(0, 180)};
        QCOMPARE(data.axes[0].max, 200.0);
        data.references = {ChartReference {100, "100", ChartColor {0x20, 0x20, 0x20}}};
        TChart chart;
        chart.resize(420, 300);
        chart.SetData(data);
        const QImage image = chart.grab().toImage();
        auto colour = [&](QPointF at) { return image.pixel(at.toPoint()) & 0xFFFFFF; };

        const QRectF plot = chart.PlotRect();
        QVERIFY(plot.height() > 150);
        QCOMPARE(chart.YOf(0), plot.bottom());
        QCOMPARE(chart.YOf(200), plot.top());
        // Heights follow the values from the foot of the axis; series side by side within a group.
        const QRectF a0 = chart.BarRect(0, 0), b0 = chart.BarRect(1, 0), a1 = chart.BarRect(0, 1);
        QCOMPARE(a0.bottom(), plot.bottom());
        QVERIFY(std::abs(a0.height() - plot.height() / 4) < 1);
        QVERIFY(std::abs(b0.height() - 2 * a0.height()) < 1);
        QVERIFY(std::abs(a1.height() - 3 * a0.height()) < 1);
        QVERIFY(b0.left() >= a0.right() - 1 && a1.left() > b0.right());
        QCOMPARE(chart.BarRect(1, 1).height(), 0.0);
        QVERIFY(chart.BarRect(2, 0).isNull());
        QCOMPARE(colour(a0.bottomLeft() + QPointF(2, -2)), QRgb(0xE05040)); // clear of the value text
        QCOMPARE(colour(b0.bottomLeft() + QPointF(2, -2)), QRgb(0x4080D0));
        // The line at 100 crosses the plot between the groups, over the bars.
        const double line = chart.YOf(100);
        QCOMPARE(colour(QPointF((b0.right() + a1.left()) / 2, line)), QRgb(0x202020));
        QCOMPARE(colour(QPointF(a1.center().x(), std::round(line))), QRgb(0x202020));
        // Without groups nothing is drawn in the plot but the empty text.
        data.groups.clear();
        chart.SetData(data);
        QVERIFY(chart.BarRect(0, 0).isNull());
        const QImage empty = chart.grab().toImage();
        QCOMPARE(empty.pixel(a1.center().toPoint()) & 0xFFFFFF, QRgb(0xFFFFFF));
    }

    void chartPaintsLinesOnTheirOwnAxis()
    {
        // Counts as bars on a second axis (0-40) on the right, a line on the
        // left axis (0-200) that has no value in the third group.
        ChartData data;
        data.groups = {"1", "2", "3", "4"};
        const double none = std::numeric_limits<double>::quiet_NaN();
        data.series = {ChartSeries {"n", ChartColor {0xC8, 0xC8, 0xC8}, ChartSeriesKind::Bars, 1, {40, 20, 10, 0}, {}},
                       ChartSeries {"w", ChartColor {0xE0, 0x50, 0x40}, ChartSeriesKind::Line, 0, {50, 150, none, 100}, {}}};
        data.axes = {RoundAxis(0, 180), RoundAxis(0, 40)};
        data.axes[1].title = SJ("頭数");
        TChart chart;
        chart.resize(420, 300);
        chart.SetData(data);
        const QImage image = chart.grab().toImage();
        const QRectF plot = chart.PlotRect();
        QVERIFY(plot.right() < chart.width() - 30); // room for the right axis' ticks
        // Bars follow the second axis; the line's points the first, at the middle of their groups.
        QVERIFY(std::abs(chart.BarRect(0, 0).top() - plot.top()) < 1);
        QVERIFY(std::abs(chart.BarRect(0, 1).height() - plot.height() / 2) < 1);
        const QPointF p0 = chart.PointOf(1, 0), p1 = chart.PointOf(1, 1);
        QCOMPARE(p0.y(), chart.YOf(50));
        QVERIFY(std::abs(p0.x() - (plot.left() + plot.width() / 8)) < 1);
        QVERIFY(chart.PointOf(1, 2).isNull());
        QVERIFY(chart.PointOf(0, 0).isNull());
        QVERIFY(chart.BarRect(1, 0).isNull());
        // The line (antialiased, so near its colour) is drawn between 1 and
        // 2, not across the missing 3.
        auto reddish = [&](QPointF at) {
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy) {
                    const QColor c = image.pixelColor(at.toPoint() + QPoint(dx, dy));
                    if (c.red() > 0xC0 && c.green() < 0x90 && c.blue() < 0x80)
                        return true;
                }
            return false;
        };
        QVERIFY(reddish((p0 + p1) / 2));
        QVERIFY(!reddish((p1 + chart.PointOf(1, 3)) / 2));
    }
};

QTEST_MAIN(TestWidgets)
#include "TestWidgets.moc"
