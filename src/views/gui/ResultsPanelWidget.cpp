#include "views/gui/ResultsPanelWidget.h"

#include "views/gui/GridPaint.h"
#include "widgets/Fonts.h"
#include "widgets/Label3D.h"

namespace tervan {

namespace {
constexpr BetKind kBets[kBetKindCount] = {BetKind::Win, BetKind::Place, BetKind::BracketQuinella,
                                          BetKind::Quinella, BetKind::Wide};
constexpr ResultRow kRows[3] = {ResultRow::Result, ResultRow::Popularity, ResultRow::Payout};
} // namespace

TResultsPanel::TResultsPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ResultsPanel"));
    for (BetKind bet : kBets) {
        auto* title = new TLabel3D(this);
        title->setTextStyle(TLabel3D::kFlat);
        QFont titleFont = GothicFont(13, true);
        titleFont.setUnderline(true);
        title->setFont(titleFont);
        title->SetCaption(BetTitle(bet));
        title->move(8, ResultBlockTop(bet));
        for (ResultRow row : kRows) {
            auto* caption = new TLabel3D(this);
            caption->setTextStyle(TLabel3D::kFlat);
            caption->setFont(GothicFont(12));
            caption->SetCaption(ResultRowCaption(row));
            caption->move(8, ResultRowTop(bet, row) + 1);
            for (int slot = 0; slot < BetSlotCount(bet); ++slot) {
                auto* label = new TLabel3D(this);
                label->setObjectName(QString::fromLatin1(ResultLabelName(bet, slot, row)));
                label->setTextStyle(TLabel3D::kFlat);
                label->setFont(GothicFont(kResultLabelPixelSize, true));
                label->setAutoSize(false);
                label->setRecessedBorder(true);
                label->setOpaque(true);
                label->setBackgroundColor(Rgb(ResultRowColour(row)));
                label->setAlignment(Qt::AlignCenter);
                label->resize(kResultLabelWidth, kResultLabelHeight);
                label->move(ResultSlotLeft(slot), ResultRowTop(bet, row));
                label->setText(QStringLiteral("999"));
                labels_[static_cast<size_t>(bet)][static_cast<size_t>(slot)][static_cast<size_t>(row)] = label;
            }
        }
    }
    setMinimumSize(ResultSlotLeft(7) + 8, ResultRowTop(BetKind::Wide, ResultRow::Payout) + kResultLabelHeight + 8);
}

void TResultsPanel::Fill(const RaceSummary& race)
{
    for (const ResultSlotFill& fill : FillResultsPanel(race)) {
        if (TLabel3D* l = ValueLabel(fill.bet, fill.slot, ResultRow::Result))
            l->SetCaption(fill.texts.result);
        if (TLabel3D* l = ValueLabel(fill.bet, fill.slot, ResultRow::Popularity))
            l->SetCaption(fill.texts.popularity);
        if (TLabel3D* l = ValueLabel(fill.bet, fill.slot, ResultRow::Payout))
            l->SetCaption(fill.texts.payout);
    }
}

TLabel3D* TResultsPanel::ValueLabel(BetKind bet, int slot, ResultRow row) const
{
    if (slot < 0 || slot >= BetSlotCount(bet))
        return nullptr;
    return labels_[static_cast<size_t>(bet)][static_cast<size_t>(slot)][static_cast<size_t>(row)];
}

std::vector<TLabel3D*> TResultsPanel::ValueLabels() const
{
    std::vector<TLabel3D*> all;
    for (BetKind bet : kBets)
        for (int slot = 0; slot < BetSlotCount(bet); ++slot)
            for (ResultRow row : kRows)
                all.push_back(ValueLabel(bet, slot, row));
    return all;
}

} // namespace tervan
