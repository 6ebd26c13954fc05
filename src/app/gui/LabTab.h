// The page "格言ラボ" of the main window: the user's own maxims as rules, and
// how their runners have done over the stored days.
//
// Above, the saved rules (at most 20) and an editor of one rule: its name,
// the sexes, the start after a rest and the range of rest days, and the
// optional conditions (track, distance, class, change of distance, forecast
// rank, racecourse), with the rule's text form beneath so that users learn
// how tervan-tool writes it (or, while the rule is not sound, the reason). 追加/変更/削除 save the list in the settings
// file at once; a rule that is not sound is refused with the reason. The
// three maxims of the race card are offered as starting points. Saved rules
// that cannot be read are left out and reported once, when the page is
// first shown.
//
// Below, as on 格言成績: the range of days, "計算" (every rule, a table
// with a line per rule and "全体") and "掃引" (the rule in the editor at
// every shortest rest from 28 to 364 days in steps of 7, or at every start
// 1 to 5: a chart of 単回値 and 複回値 with the runner count on a second
// axis, and the table beneath). The scans run on a worker thread that the
// pressed button cancels; the table copies and exports as on the other
// pages.
#pragma once

#include "app/MaximLab.h"
#include "app/MaximRule.h"
#include "app/gui/ScanPage.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QSplitter;

namespace tervan {

class INotifier;
class Settings;
class TChart;

class TLabTab : public TScanPage {
    Q_OBJECT
public:
    // base: the base folder (CP932); settings: where the rules are kept;
    // notifier: where failures and refusals are shown.
    TLabTab(std::string base, Settings& settings, INotifier& notifier, QWidget* parent = nullptr);

    // The rule editor.
    QListWidget* RuleList() const { return ruleList_; }
    QLineEdit* NameEdit() const { return nameEdit_; }
    QComboBox* TemplateCombo() const { return templateCombo_; }
    // The box of value `value` of a kind (in the order of RuleChoiceNames).
    QCheckBox* ChoiceBox(RuleChoice kind, int value) const;
    QSpinBox* StartSpin() const { return startSpin_; }
    QSpinBox* RestMinSpin() const { return restMin_; }
    QSpinBox* RestMaxSpin() const { return restMax_; }
    QSpinBox* DistanceMinSpin() const { return distanceMin_; }
    QSpinBox* DistanceMaxSpin() const { return distanceMax_; }
    QSpinBox* RankMinSpin() const { return rankMin_; }
    QSpinBox* RankMaxSpin() const { return rankMax_; }
    QLineEdit* RuleText() const { return ruleText_; }
    // What is wrong with the editor's rule; empty when it is sound.
    const std::string& RuleProblem() const { return ruleProblem_; }
    QPushButton* AddBtn() const { return addBtn_; }
    QPushButton* ChangeBtn() const { return changeBtn_; }
    QPushButton* DeleteBtn() const { return deleteBtn_; }

    // The scans and what they show.
    QPushButton* CalcBtn() const { return calcBtn_; }
    QPushButton* SweepBtn() const { return sweepBtn_; }
    QComboBox* SweepCombo() const { return sweepCombo_; }
    TChart* Chart() const { return chart_; }

    const std::vector<MaximRule>& Rules() const { return rules_; }
    // The rule as the editor's widgets stand.
    MaximRule EditorRule() const;
    void SetEditorRule(const MaximRule& rule);
    LabSweepKind SweepKind() const;
    // Whether the table on show is a sweep's.
    bool ShowingSweep() const { return showingSweep_; }
    const LabResult& Result() const { return result_; }
    const LabSweepResult& SweepResult() const { return sweep_; }
    std::string Heading() const override;

public Q_SLOTS:
    void AddBtnClick();
    void ChangeBtnClick();
    void DeleteBtnClick();
    // Starts the table of every rule, or cancels the scan running.
    void CalcBtnClick();
    // Starts the sweep of the editor's rule, or cancels the scan running.
    void SweepBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* BuildEditor();
    void EditorChanged();
    void ShowRuleText(const std::string& problem, const MaximRule& rule);
    void RuleListChange(int row);
    // The editor's rule when it can be kept as rule `replacing` of the list
    // (-1 for a new one); otherwise beeps, says why and returns false.
    bool SoundEditorRule(int replacing, MaximRule& rule);
    // Beeps and says what is wrong with the editor's rule, unless nothing is.
    bool Refused(const std::string& problem);
    void SaveRules();
    void ShowRuleList(int current);
    // Reads the saved rules into the list, and says what could not be read.
    void ReadRules();
    // A scan has ended; its result (a sweep's or not) is in place.
    void Ended(bool sweep);
    void ShowResult();
    // What the scan of the table on show covered.
    const DayScanInfo& Scan() const;

    Settings& settings_;
    std::vector<MaximRule> rules_;
    bool rulesRead_ = false;
    bool loadingEditor_ = false;

    LabResult result_;
    LabSweepResult sweep_;
    bool showingSweep_ = false;

    QListWidget* ruleList_ = nullptr;
    QLineEdit* nameEdit_ = nullptr;
    QComboBox* templateCombo_ = nullptr;
    std::array<std::vector<QCheckBox*>, kRuleChoiceCount> choiceBoxes_;
    QSpinBox* startSpin_ = nullptr;
    QSpinBox* restMin_ = nullptr;
    QSpinBox* restMax_ = nullptr;
    QSpinBox* distanceMin_ = nullptr;
    QSpinBox* distanceMax_ = nullptr;
    QSpinBox* rankMin_ = nullptr;
    QSpinBox* rankMax_ = nullptr;
    QLineEdit* ruleText_ = nullptr;
    std::string ruleProblem_;
    QPushButton* addBtn_ = nullptr;
    QPushButton* changeBtn_ = nullptr;
    QPushButton* deleteBtn_ = nullptr;

    QPushButton* calcBtn_ = nullptr;
    QPushButton* sweepBtn_ = nullptr;
    QComboBox* sweepCombo_ = nullptr;
    TChart* chart_ = nullptr;
    QSplitter* resultSplit_ = nullptr;
};

} // namespace tervan
