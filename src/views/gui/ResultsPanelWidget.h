// TResultsPanel: the tab "成績結果": per bet (単勝, 複勝, 枠連, 馬連, ﾜｲﾄﾞ) a
// title, the row captions "結果：", "人気：", "配当：" and one column of three
// value labels per paid slot, 63 value labels in all.
#pragma once

#include "app/RaceDay.h"
#include "views/ResultsPanel.h"

#include <QWidget>
#include <array>
#include <vector>

namespace tervan {

class TLabel3D;

class TResultsPanel : public QWidget {
    Q_OBJECT
public:
    explicit TResultsPanel(QWidget* parent = nullptr);

    // Writes every value label from the race's payout entries.
    void Fill(const RaceSummary& race);

    // The value label of a bet, slot (0-based) and row; null outside the
    // bet's slots.
    TLabel3D* ValueLabel(BetKind bet, int slot, ResultRow row) const;
    // All 63 value labels.
    std::vector<TLabel3D*> ValueLabels() const;

private:
    // [bet][slot][row], slots beyond a bet's count stay null.
    std::array<std::array<std::array<TLabel3D*, 3>, 7>, kBetKindCount> labels_{};
};

} // namespace tervan
