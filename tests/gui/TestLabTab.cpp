// The page "格言ラボ" offscreen: rules made in its editor are saved and come
// back when the page is made again, an entry of the settings file that does
// not read is reported once and left out, 計算 counts as 格言成績 counts,
// and 掃引 draws the rule at every shortest rest.
#include "app/gui/LabTab.h"

#include "app/BacktestBase.h"
#include "app/Settings.h"
#include "app/gui/BacktestTab.h"
#include "platform/FileSystem.h"
#include "views/BacktestTable.h"
#include "widgets/Chart.h"
#include "widgets/Notifier.h"
#include "widgets/StringGrid.h"
#include "widgets/Text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

#include <memory>

using namespace tervan;

namespace {

// The line of a grid whose first cell is `title`.
std::vector<std::string> LineOf(const TStringGrid& grid, const std::string& title)
{
    for (const auto& row : grid.Table())
        if (!row.empty() && row[0] == title)
            return row;
    return {};
}

void Check(QCheckBox* box, bool on)
{
    QVERIFY(box != nullptr);
    if (box->isChecked() != on)
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    QCOMPARE(box->isChecked(), on);
}

} // namespace

class TestLabTab : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rulesSurviveRestartAndDamagedOnesAreReported()
    {
        test::TempDir dir;
        std::filesystem::create_directories(dir.native() / test::U8Path("格言ラボ"));
        const std::string base = fs::Join(dir.path(), SJ("格言ラボ"));
        RecordingNotifier notifier;
        auto settings = std::make_unique<Settings>(base, "tervan");
        auto tab = std::make_unique<TLabTab>(base, *settings, notifier);
        tab->show();
        QVERIFY(tab->Rules().empty());

        // A rule with every kind of condition, through the widgets.
        tab->NameEdit()->setText(QString::fromUtf8("東京芝の休み明け"));
        Check(tab->ChoiceBox(RuleChoice::Sex, 0), true);
        Check(tab->ChoiceBox(RuleChoice::Sex, 1), true);
        tab->StartSpin()->setValue(2);
        tab->RestMinSpin()->setValue(56);
        tab->RestMaxSpin()->setValue(180);
        Check(tab->ChoiceBox(RuleChoice::Track, 0), true);
        tab->DistanceMinSpin()->setValue(1600);
        tab->DistanceMaxSpin()->setValue(2000);
        Check(tab->ChoiceBox(RuleChoice::DistanceChange, 2), true);
        tab->RankMaxSpin()->setValue(3);
        Check(tab->ChoiceBox(RuleChoice::Course, 4), true);
        const QString text = QString::fromUtf8("牡牝,2,56-180,芝,1600-2000m,距離延長,予配順位1-3,東京");
        QCOMPARE(tab->RuleText()->text(), text);
        QVERIFY(tab->RuleProblem().empty());
        QTest::mouseClick(tab->AddBtn(), Qt::LeftButton);
        QVERIFY(notifier.events.empty());

        // No sex: the reason shows and nothing is saved.
        Check(tab->ChoiceBox(RuleChoice::Sex, 0), false);
        Check(tab->ChoiceBox(RuleChoice::Sex, 1), false);
        QVERIFY(tab->RuleText()->text().contains(QString::fromUtf8("性別")));
        QTest::mouseClick(tab->AddBtn(), Qt::LeftButton);
        QCOMPARE(notifier.BeepCount(), 1);
        QCOMPARE(tab->Rules().size(), size_t(1));
        // A maxim of the race card as a starting point, renamed, saved beside it.
        Q_EMIT tab->TemplateCombo()->activated(2);
        QCOMPARE(tab->RuleText()->text(), QString::fromUtf8("牝,2,56-"));
        tab->NameEdit()->setText(QString::fromUtf8("牝の2戦目"));
        QTest::mouseClick(tab->AddBtn(), Qt::LeftButton);
        QCOMPARE(tab->RuleList()->count(), 2);
        notifier.Clear();

        // A restart: the page reads both back; then an entry damaged by hand is left out and said once.
        tab.reset();
        settings = std::make_unique<Settings>(base, "tervan");
        tab = std::make_unique<TLabTab>(base, *settings, notifier);
        tab->show();
        QVERIFY(notifier.events.empty());
        QCOMPARE(tab->Rules().size(), size_t(2));
        QCOMPARE(tab->RuleList()->item(0)->text(), QString::fromUtf8("東京芝の休み明け"));
        QCOMPARE(tab->RuleList()->currentRow(), 0);
        QCOMPARE(tab->RuleText()->text(), text);
        QCOMPARE(tab->Rules()[1].Title(), SJ("牝の2戦目"));
        settings->Ini().WriteString(SettingsKey::kMaximLab, "name3", SJ("壊れた規則"));
        settings->Ini().WriteString(SettingsKey::kMaximLab, "rule3", "1,6,56-");
        tab.reset();
        tab = std::make_unique<TLabTab>(base, *settings, notifier);
        tab->show();
        QCOMPARE(tab->Rules().size(), size_t(2));
        QCOMPARE(notifier.Messages().size(), size_t(1));
        QVERIFY(notifier.Messages()[0].find(SJ("規則3「壊れた規則」")) != std::string::npos);
        tab->hide();
        tab->show();
        QCOMPARE(notifier.Messages().size(), size_t(1));
    }

    void calcCountsAsBacktestAndSweepCharts()
    {
        test::TempDir dir;
        test::WriteBacktestBase(dir.path());
        Settings settings(dir.path(), "tervan");
        settings.WriteMaximRules(std::vector<MaximRule>(BuiltInMaximRules().begin(), BuiltInMaximRules().end()));
        RecordingNotifier notifier;
        TLabTab tab(dir.path(), settings, notifier);
        tab.resize(900, 700);
        tab.show();
        QCOMPARE(tab.Grid()->RowCount(), 1); // before 計算: the titles only
        QSignalSpy ended(&tab, &TLabTab::scanEnded);
        tab.CalcBtnClick();
        QVERIFY(ended.count() == 1 || ended.wait(10000));
        QVERIFY(!tab.Running());
        QVERIFY(notifier.events.empty());
        QVERIFY(!tab.ShowingSweep());
        QVERIFY(!tab.Chart()->isVisible());
        QCOMPARE(tab.Grid()->RowCount(), 1 + 3 + 1);

        TBacktestTab backtest(dir.path(), notifier);
        backtest.show();
        QSignalSpy backtestEnded(&backtest, &TBacktestTab::scanEnded);
        backtest.CalcBtnClick();
        QVERIFY(backtestEnded.count() == 1 || backtestEnded.wait(10000));
        // The same runners counted the same way; 牡1戦目 is the first maxim, so its line is the same too.
        const std::string all = MaximGroupName(MaximGroup::All);
        QVERIFY(!LineOf(*tab.Grid(), all).empty());
        QCOMPARE(LineOf(*tab.Grid(), all), LineOf(*backtest.Grid(), all));
        QCOMPARE(LineOf(*tab.Grid(), SJ("牡1戦目")), LineOf(*backtest.Grid(), SJ("牡1戦目")));
        QVERIFY(tab.Result().tallies[0].runners > 0);

        // The sweep of 牡1戦目: 28 to 364 days; its step at 56 days is the rule itself.
        tab.RuleList()->setCurrentRow(0);
        tab.SweepCombo()->setCurrentIndex(0);
        tab.SweepBtnClick();
        QVERIFY(ended.count() == 2 || ended.wait(10000));
        QVERIFY(tab.ShowingSweep());
        QCOMPARE(tab.Grid()->RowCount(), 1 + 49);
        QCOMPARE(tab.Grid()->Cell(0, 49), SJ("364日"));
        QCOMPARE(tab.SweepResult().steps[4].value, 56);
        QCOMPARE(tab.SweepResult().steps[4].tally, tab.Result().tallies[0]);
        QVERIFY(tab.Chart()->isVisible());
        const ChartData& chart = tab.Chart()->Data();
        QCOMPARE(chart.groups.size(), size_t(49));
        QCOMPARE(chart.axes.size(), size_t(2));
        int lines = 0, counts = 0;
        for (const ChartSeries& s : chart.series) {
            lines += s.kind == ChartSeriesKind::Line && s.axis == 0;
            counts += s.axis == 1;
        }
        QCOMPARE(lines, 2);
        QCOMPARE(counts, 1);

        // The CSV button writes the table on show under its heading.
        QSignalSpy saved(&tab, &TLabTab::csvWritten);
        tab.CsvBtnClick();
        QCOMPARE(saved.count(), 1);
        QVERIFY(tab.Heading().find(SJ("最短休養別")) != std::string::npos);
        QVERIFY(test::ReadAll(fs::ToNative(saved.at(0).at(0).value<std::string>())).rfind(tab.Heading() + "\r\n", 0) == 0);
    }
};

QTEST_MAIN(TestLabTab)
#include "TestLabTab.moc"
