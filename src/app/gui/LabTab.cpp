#include "app/gui/LabTab.h"

#include "app/Settings.h"
#include "app/gui/TallyGridView.h"
#include "views/LabTable.h"
#include "widgets/Chart.h"
#include "widgets/Fonts.h"
#include "widgets/HotTrackButton.h"
#include "widgets/Notifier.h"
#include "widgets/StringGrid.h"
#include "widgets/Text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

namespace tervan {
namespace {

// The highest values the range boxes take.
constexpr int kRestDaysTop = 3650;
constexpr int kDistanceTop = 4000;
constexpr int kRankTop = 18;

// A range box's value for an open end: 0 shows as `none`.
int BoxValue(int value, int open)
{
    return value == open ? 0 : value;
}

} // namespace

TLabTab::TLabTab(std::string base, Settings& settings, INotifier& notifier, QWidget* parent)
    : TScanPage(std::move(base), notifier,
                Names {"LabGrid", "LabStatus", "LabProblems", "LabProgress", "LabCopyBtn", "LabCsvBtn"}, parent)
    , settings_(settings)
{
    setObjectName(QStringLiteral("TabSheet5"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    // The range, 計算, 掃引 with what it varies, and the progress of a scan.
    auto* controls = new QHBoxLayout;
    controls->setSpacing(4);
    auto scanButton = [this](const char* name, const char* caption, void (TLabTab::*handler)()) {
        auto* b = new QPushButton(U(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setFont(GothicFont(12, true));
        b->setMinimumWidth(48);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    calcBtn_ = scanButton("LabCalcBtn", "計算", &TLabTab::CalcBtnClick);
    calcBtn_->setToolTip(U("保存した規則それぞれの成績を期間内の開催日で集計します"));
    sweepBtn_ = scanButton("LabSweepBtn", "掃引", &TLabTab::SweepBtnClick);
    sweepBtn_->setToolTip(U("編集中の規則の最短休養（または戦目）を変えながら集計し、グラフにします"));
    sweepCombo_ = new QComboBox(this);
    sweepCombo_->setObjectName(QStringLiteral("LabSweepCombo"));
    sweepCombo_->setFont(GothicFont(12));
    for (LabSweepKind kind : {LabSweepKind::Rest, LabSweepKind::Start})
        sweepCombo_->addItem(Q(LabSweepTitle(kind)));
    controls->addWidget(rangePicker_);
    controls->addSpacing(4);
    controls->addWidget(calcBtn_);
    controls->addWidget(sweepBtn_);
    controls->addWidget(sweepCombo_);
    controls->addWidget(runner_.ProgressBar());
    controls->addStretch(1);
    layout->addLayout(controls);
    // One scan at a time: while one runs, the other button waits.
    connect(&runner_, &TScanRunner::runningChanged, this, [this](bool running) {
        for (QPushButton* b : {calcBtn_, sweepBtn_})
            if (b != runner_.Button())
                b->setEnabled(!running);
    });

    // The results: copy and CSV, what the last scan covered, the days left
    // out, the chart of a sweep and the table.
    auto* results = new QWidget(this);
    auto* resultsLayout = new QVBoxLayout(results);
    resultsLayout->setContentsMargins(0, 0, 0, 0);
    resultsLayout->setSpacing(2);
    auto* strip = new QHBoxLayout;
    strip->setSpacing(4);
    strip->addWidget(copyBtn_);
    strip->addWidget(csvBtn_);
    // A long heading never widens the window: it is cut, and whole in its tooltip.
    statusLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    strip->addWidget(statusLabel_, 1);
    resultsLayout->addLayout(strip);
    resultsLayout->addWidget(problemsLabel_);

    chart_ = new TChart(results);
    chart_->setObjectName(QStringLiteral("LabChart"));
    chart_->setMinimumHeight(180);
    chart_->hide();
    grid_->setMinimumHeight(60);
    resultSplit_ = new QSplitter(Qt::Vertical, results);
    resultSplit_->addWidget(chart_);
    resultSplit_->addWidget(grid_);
    resultSplit_->setChildrenCollapsible(false);
    resultsLayout->addWidget(resultSplit_, 1);

    // The editor above the results: as tall as its fields when the window
    // allows, else it scrolls.
    layout->addWidget(BuildEditor());
    layout->addWidget(results, 1);
    // The saved rules are read when the page is first shown, not here: the
    // main window makes the pages at start-up, seen or not.
    ShowResult();
}

QWidget* TLabTab::BuildEditor()
{
    auto* pane = new QWidget(this);
    pane->setObjectName(QStringLiteral("LabEditor"));
    auto* paneLayout = new QHBoxLayout(pane);
    paneLayout->setContentsMargins(0, 0, 0, 0);
    paneLayout->setSpacing(4);
    auto label = [](QWidget* parent, const char* text) {
        auto* l = new QLabel(U(text), parent);
        l->setFont(GothicFont(12));
        return l;
    };

    // The saved rules, and 追加/変更/削除 under them.
    auto* listColumn = new QVBoxLayout;
    listColumn->setSpacing(2);
    ruleList_ = new QListWidget(pane);
    ruleList_->setObjectName(QStringLiteral("LabRuleList"));
    ruleList_->setFont(GothicFont(12));
    ruleList_->setFixedWidth(132);
    ruleList_->setMinimumHeight(40);
    connect(ruleList_, &QListWidget::currentRowChanged, this, &TLabTab::RuleListChange);
    auto* listButtons = new QHBoxLayout;
    listButtons->setSpacing(2);
    auto listButton = [&](const char* name, const char* caption, void (TLabTab::*handler)()) {
        auto* b = new QPushButton(U(caption), pane);
        b->setObjectName(QString::fromLatin1(name));
        b->setFont(GothicFont(12));
        b->setFixedWidth(42);
        connect(b, &QPushButton::clicked, this, handler);
        listButtons->addWidget(b);
        return b;
    };
    addBtn_ = listButton("LabAddBtn", "追加", &TLabTab::AddBtnClick);
    addBtn_->setToolTip(U("編集中の規則を一覧の最後に加えて保存します（20件まで）"));
    changeBtn_ = listButton("LabChangeBtn", "変更", &TLabTab::ChangeBtnClick);
    changeBtn_->setToolTip(U("一覧で選んだ規則を編集中の規則に置き換えて保存します"));
    deleteBtn_ = listButton("LabDeleteBtn", "削除", &TLabTab::DeleteBtnClick);
    deleteBtn_->setToolTip(U("一覧で選んだ規則を削除します"));
    listButtons->addStretch(1);
    listColumn->addWidget(ruleList_, 1);
    listColumn->addLayout(listButtons);
    paneLayout->addLayout(listColumn);

    // The fields of one rule, a line each, in a box that scrolls when the window is small.
    auto* fields = new QWidget;
    auto* grid = new QGridLayout(fields);
    grid->setContentsMargins(2, 0, 2, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(1);
    auto spin = [&](const char* name, int low, int high, int step, const char* suffix, const char* none) {
        auto* s = new QSpinBox(fields);
        s->setObjectName(QString::fromLatin1(name));
        s->setFont(GothicFont(12));
        s->setRange(low, high);
        s->setSingleStep(step);
        s->setSuffix(U(suffix));
        // An end left open shows as "なし" (no bound).
        if (none != nullptr)
            s->setSpecialValueText(U(none));
        connect(s, &QSpinBox::valueChanged, this, &TLabTab::EditorChanged);
        return s;
    };
    auto boxes = [&](QHBoxLayout* row, RuleChoice kind, const char* namePrefix, int from, int to) {
        const std::vector<std::string>& names = RuleChoiceNames(kind);
        auto& list = choiceBoxes_[static_cast<std::size_t>(kind)];
        list.resize(names.size(), nullptr);
        for (int i = from; i < to && i < static_cast<int>(names.size()); ++i) {
            auto* box = new QCheckBox(Q(names[static_cast<std::size_t>(i)]), fields);
            box->setObjectName(QString::fromLatin1(namePrefix) + QString::number(i));
            box->setFont(GothicFont(12));
            connect(box, &QCheckBox::toggled, this, &TLabTab::EditorChanged);
            row->addWidget(box);
            list[static_cast<std::size_t>(i)] = box;
        }
    };
    int line = 0;
    auto row = [&](const char* title) {
        grid->addWidget(label(fields, title), line, 0);
        auto* r = new QHBoxLayout;
        r->setSpacing(4);
        grid->addLayout(r, line, 1);
        ++line;
        return r;
    };
    auto range = [&](QHBoxLayout* r, const char* title, QSpinBox* low, QSpinBox* high) {
        r->addSpacing(6);
        r->addWidget(label(fields, title));
        r->addWidget(low);
        r->addWidget(label(fields, "～"));
        r->addWidget(high);
    };

    QHBoxLayout* nameRow = row("名前");
    nameEdit_ = new QLineEdit(fields);
    nameEdit_->setObjectName(QStringLiteral("LabRuleName"));
    nameEdit_->setFont(GothicFont(12));
    nameEdit_->setPlaceholderText(U("全角20文字まで"));
    connect(nameEdit_, &QLineEdit::textChanged, this, &TLabTab::EditorChanged);
    templateCombo_ = new QComboBox(fields);
    templateCombo_->setObjectName(QStringLiteral("LabTemplateCombo"));
    templateCombo_->setFont(GothicFont(12));
    templateCombo_->setPlaceholderText(U("ひな形"));
    templateCombo_->setFixedWidth(86);
    templateCombo_->setToolTip(U("出馬表の格言を、規則を作るときのひな形として読み込みます"));
    for (const MaximRule& rule : BuiltInMaximRules())
        templateCombo_->addItem(Q(rule.Title()));
    templateCombo_->setCurrentIndex(-1);
    connect(templateCombo_, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < static_cast<int>(BuiltInMaximRules().size()))
            SetEditorRule(BuiltInMaximRules()[static_cast<std::size_t>(index)]);
        templateCombo_->setCurrentIndex(-1);
    });
    nameRow->addWidget(nameEdit_, 1);
    nameRow->addWidget(templateCombo_);

    // A line of the checkboxes of values from..to of a kind, left-aligned.
    std::vector<QHBoxLayout*> choiceRows;
    auto choiceRow = [&](const char* title, RuleChoice kind, const char* namePrefix, int from, int to) {
        QHBoxLayout* r = row(title);
        boxes(r, kind, namePrefix, from, to);
        choiceRows.push_back(r);
        return r;
    };
    QHBoxLayout* sexRow = choiceRow("性別", RuleChoice::Sex, "LabSex", 0, 3);
    startSpin_ = spin("LabStart", 1, kMaximRuleStartCount, 1, "戦目", nullptr);
    sexRow->addSpacing(6);
    sexRow->addWidget(startSpin_);
    range(sexRow, "休養", restMin_ = spin("LabRestMin", 1, kRestDaysTop, 7, "日", nullptr),
          restMax_ = spin("LabRestMax", 0, kRestDaysTop, 7, "日", "なし"));
    range(choiceRow("ﾄﾗｯｸ", RuleChoice::Track, "LabTrack", 0, 3), "距離",
          distanceMin_ = spin("LabDistanceMin", 0, kDistanceTop, 100, "m", "なし"),
          distanceMax_ = spin("LabDistanceMax", 0, kDistanceTop, 100, "m", "なし"));
    range(choiceRow("距離変化", RuleChoice::DistanceChange, "LabChange", 0, 3), "予配順位",
          rankMin_ = spin("LabRankMin", 0, kRankTop, 1, "位", "なし"), rankMax_ = spin("LabRankMax", 0, kRankTop, 1, "位", "なし"));
    choiceRow("クラス", RuleChoice::Class, "LabClass", 0, 7);
    // The racecourses on two lines, so that the editor fits beside the list at the window's first size.
    choiceRow("競馬場", RuleChoice::Course, "LabCourse", 0, 5);
    choiceRow("", RuleChoice::Course, "LabCourse", 5, 10);
    for (QHBoxLayout* r : choiceRows)
        r->addStretch(1);

    QHBoxLayout* textRow = row("書式");
    ruleText_ = new QLineEdit(fields);
    ruleText_->setObjectName(QStringLiteral("LabRuleText"));
    ruleText_->setFont(GothicFont(12));
    ruleText_->setReadOnly(true);
    ruleText_->setToolTip(U("この規則の書き方です（tervan-tool lab にもこの形で渡せます）。"
                            "条件を付けないものは何も選ばずにおきます。規則に誤りがあるときは、その理由を赤で示します"));
    textRow->addWidget(ruleText_, 1);
    grid->setColumnStretch(1, 1);

    auto* scroll = new QScrollArea(pane);
    scroll->setObjectName(QStringLiteral("LabEditorScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(fields);
    scroll->setMinimumHeight(60);
    paneLayout->addWidget(scroll, 1);
    pane->setMaximumHeight(fields->sizeHint().height() + 4);
    pane->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    return pane;
}

QCheckBox* TLabTab::ChoiceBox(RuleChoice kind, int value) const
{
    const auto& list = choiceBoxes_[static_cast<std::size_t>(kind)];
    return value >= 0 && value < static_cast<int>(list.size()) ? list[static_cast<std::size_t>(value)] : nullptr;
}

MaximRule TLabTab::EditorRule() const
{
    MaximRule rule;
    rule.name = Sj(nameEdit_->text());
    auto mask = [this](RuleChoice kind) {
        unsigned bits = 0;
        const auto& list = choiceBoxes_[static_cast<std::size_t>(kind)];
        for (std::size_t i = 0; i < list.size(); ++i)
            if (list[i] != nullptr && list[i]->isChecked())
                bits |= 1u << i;
        return bits;
    };
    auto top = [](const QSpinBox* box) { return box->value() == 0 ? kRangeOpen : box->value(); };
    rule.sexes = mask(RuleChoice::Sex);
    rule.start = startSpin_->value();
    rule.rest = RuleRange {restMin_->value(), top(restMax_)};
    rule.tracks = mask(RuleChoice::Track);
    rule.distance = RuleRange {distanceMin_->value(), top(distanceMax_)};
    rule.classes = mask(RuleChoice::Class);
    rule.distanceChanges = mask(RuleChoice::DistanceChange);
    rule.courses = mask(RuleChoice::Course);
    // A rank range with only its top set starts at the first rank.
    if (rankMin_->value() > 0 || rankMax_->value() > 0)
        rule.forecastRank = RuleRange {std::max(rankMin_->value(), 1), top(rankMax_)};
    return rule;
}

void TLabTab::SetEditorRule(const MaximRule& rule)
{
    loadingEditor_ = true;
    nameEdit_->setText(Q(rule.name));
    auto setMask = [this](RuleChoice kind, unsigned bits) {
        const auto& list = choiceBoxes_[static_cast<std::size_t>(kind)];
        for (std::size_t i = 0; i < list.size(); ++i)
            if (list[i] != nullptr)
                list[i]->setChecked((bits >> i) & 1u);
    };
    setMask(RuleChoice::Sex, rule.sexes);
    startSpin_->setValue(rule.start);
    restMin_->setValue(rule.rest.min);
    restMax_->setValue(BoxValue(rule.rest.max, kRangeOpen));
    setMask(RuleChoice::Track, rule.tracks);
    distanceMin_->setValue(rule.distance.min);
    distanceMax_->setValue(BoxValue(rule.distance.max, kRangeOpen));
    setMask(RuleChoice::Class, rule.classes);
    setMask(RuleChoice::DistanceChange, rule.distanceChanges);
    setMask(RuleChoice::Course, rule.courses);
    rankMin_->setValue(rule.forecastRank.Whole() ? 0 : rule.forecastRank.min);
    rankMax_->setValue(BoxValue(rule.forecastRank.max, kRangeOpen));
    loadingEditor_ = false;
    EditorChanged();
}

void TLabTab::EditorChanged()
{
    if (loadingEditor_)
        return;
    const MaximRule rule = EditorRule();
    ShowRuleText(ValidateMaximRule(rule), rule);
}

void TLabTab::ShowRuleText(const std::string& problem, const MaximRule& rule)
{
    // The text form of a sound rule, or what is wrong with it in its place.
    ruleProblem_ = problem;
    ruleText_->setText(Q(problem.empty() ? FormatMaximRule(rule) : problem));
    ruleText_->setStyleSheet(problem.empty() ? QString() : QStringLiteral("color: #C00000"));
    ruleText_->setCursorPosition(0);
}

void TLabTab::RuleListChange(int row)
{
    if (row >= 0 && row < static_cast<int>(rules_.size()))
        SetEditorRule(rules_[static_cast<std::size_t>(row)]);
    changeBtn_->setEnabled(row >= 0);
    deleteBtn_->setEnabled(row >= 0);
}

void TLabTab::ShowRuleList(int current)
{
    ruleList_->clear();
    for (const MaximRule& rule : rules_) {
        ruleList_->addItem(Q(rule.Title()));
        ruleList_->item(ruleList_->count() - 1)->setToolTip(Q(rule.Title() + "\n" + FormatMaximRule(rule)));
    }
    ruleList_->setCurrentRow(current);
    RuleListChange(ruleList_->currentRow());
}

bool TLabTab::SoundEditorRule(int replacing, MaximRule& rule)
{
    rule = EditorRule();
    std::string problem = ValidateMaximRule(rule);
    if (problem.empty() && replacing < 0 && static_cast<int>(rules_.size()) >= kMaximRuleLimit)
        problem = SJ("規則は") + std::to_string(kMaximRuleLimit) + SJ("件までです。使わない規則を削除してください");
    for (std::size_t i = 0; problem.empty() && i < rules_.size(); ++i)
        if (static_cast<int>(i) != replacing && rules_[i].name == rule.name)
            problem = SJ("同じ名前の規則「") + rule.name + SJ("」があります");
    return !Refused(problem);
}

bool TLabTab::Refused(const std::string& problem)
{
    if (problem.empty())
        return false;
    ShowRuleText(problem, {});
    notifier_.Beep();
    notifier_.Information(problem + SJ("。"));
    return true;
}

void TLabTab::SaveRules()
{
    try {
        settings_.WriteMaximRules(rules_);
    } catch (const std::exception& e) {
        notifier_.Beep();
        notifier_.Information(e.what());
    }
}

void TLabTab::AddBtnClick()
{
    MaximRule rule;
    if (!SoundEditorRule(-1, rule))
        return;
    rules_.push_back(std::move(rule));
    SaveRules();
    ShowRuleList(static_cast<int>(rules_.size()) - 1);
}

void TLabTab::ChangeBtnClick()
{
    const int row = ruleList_->currentRow();
    if (row < 0 || row >= static_cast<int>(rules_.size()))
        return;
    MaximRule rule;
    if (!SoundEditorRule(row, rule))
        return;
    rules_[static_cast<std::size_t>(row)] = std::move(rule);
    SaveRules();
    ShowRuleList(row);
}

void TLabTab::DeleteBtnClick()
{
    const int row = ruleList_->currentRow();
    if (row < 0 || row >= static_cast<int>(rules_.size()))
        return;
    if (!notifier_.Confirm(SJ("規則「") + rules_[static_cast<std::size_t>(row)].Title() + SJ("」を削除しますか？")))
        return;
    rules_.erase(rules_.begin() + row);
    SaveRules();
    ShowRuleList(std::min(row, static_cast<int>(rules_.size()) - 1));
}

LabSweepKind TLabTab::SweepKind() const
{
    return sweepCombo_->currentIndex() == 1 ? LabSweepKind::Start : LabSweepKind::Rest;
}

std::string TLabTab::Heading() const
{
    return showingSweep_ ? LabSweepHeading(sweep_) : LabHeading(result_);
}

void TLabTab::showEvent(QShowEvent* event)
{
    TScanPage::showEvent(event);
    if (!rulesRead_) {
        rulesRead_ = true;
        ReadRules();
    }
}

void TLabTab::ReadRules()
{
    SavedMaximRules saved = settings_.ReadMaximRules();
    rules_ = std::move(saved.rules);
    ShowRuleList(rules_.empty() ? -1 : 0);
    if (rules_.empty())
        SetEditorRule(BuiltInMaximRules()[0]);
    // Saved rules that could not be read are left out, and said.
    if (saved.problems.empty())
        return;
    std::string text;
    for (const std::string& problem : saved.problems)
        text += problem + "\n";
    text += SJ("読めない規則は一覧に入れていません。規則を保存し直すと、設定ファイルからも消えます。");
    notifier_.Beep();
    notifier_.Information(text);
}

void TLabTab::CalcBtnClick()
{
    if (!Running() && rules_.empty()) {
        notifier_.Beep();
        notifier_.Information(SJ("規則がありません。規則を作って「追加」を押してください。"));
        return;
    }
    StartScan(calcBtn_, [this, range = Range(), base = base_, rules = rules_](const BacktestProgressFn& progress,
                                                                             const std::atomic<bool>* cancel) {
        auto result = std::make_shared<LabResult>(RunLab(base, rules, range, progress, cancel));
        return [this, result] {
            result_ = std::move(*result);
            Ended(false);
        };
    });
}

void TLabTab::SweepBtnClick()
{
    const MaximRule rule = EditorRule();
    if (!Running() && Refused(ValidateMaximRule(rule)))
        return;
    StartScan(sweepBtn_, [this, range = Range(), base = base_, rule, kind = SweepKind()](
                             const BacktestProgressFn& progress, const std::atomic<bool>* cancel) {
        auto result = std::make_shared<LabSweepResult>(RunLabSweep(base, rule, kind, range, progress, cancel));
        return [this, result] {
            sweep_ = std::move(*result);
            Ended(true);
        };
    });
}

void TLabTab::Ended(bool sweep)
{
    showingSweep_ = sweep;
    ScanShown(Scan());
    ShowResult();
    Q_EMIT scanEnded();
}

void TLabTab::ShowResult()
{
    if (showingSweep_) {
        ShowTallyTable(*grid_, LabSweepGrid(sweep_), 0, computed_);
        chart_->SetData(LabSweepChart(sweep_));
    }
    else {
        ShowTallyTable(*grid_, LabGrid(result_), 0, computed_);
    }
    if (showingSweep_ && chart_->isHidden()) {
        // The chart takes the larger share of the results; the table scrolls beneath.
        chart_->show();
        const int height = resultSplit_->height();
        resultSplit_->setSizes({height * 3 / 5, height - height * 3 / 5});
    }
    chart_->setVisible(showingSweep_);
    ShowStatus(Scan(), "「計算」で保存した規則ごとに、「掃引」で編集中の規則を休養や戦目を変えて集計します。");
}

const DayScanInfo& TLabTab::Scan() const
{
    return showingSweep_ ? static_cast<const DayScanInfo&>(sweep_) : result_;
}

} // namespace tervan
