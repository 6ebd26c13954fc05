// tervan-tool results: the results panel of one race, one line per slot.
#include "tool/ToolCommand.h"

#include "reference/ShiftJis.h"
#include "tool/DayLoadTool.h"
#include "views/ResultsPanel.h"

#include <memory>
#include <ostream>

namespace tervan::tool {
namespace {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

const ToolCommand kCommand {
    "results",
    "results BASE DAY RACE",
    "prints the results panel of race RACE (1-based position in the race list) of day DAY: per slot, top to bottom "
    "(単勝 1-3, 複勝 1-5, 枠連 1-3, 馬連 1-3, ﾜｲﾄﾞ 1-7), the bet, the slot number and the result, popularity and "
    "payout labels, TAB-separated",
    Run,
};
const ToolCommandRegistration kRegistration(kCommand);

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    auto day = std::make_unique<RaceDay>();
    const RaceSlot* slot = nullptr;
    if (const int code = LoadRaceForTool(kCommand, args, *day, slot, err))
        return code;
    const std::vector<ResultSlotFill> fill = FillResultsPanel(slot->summary);
    for (BetKind bet : {BetKind::Win, BetKind::Place, BetKind::BracketQuinella, BetKind::Quinella, BetKind::Wide}) {
        for (const ResultSlotFill& f : fill) {
            if (f.bet != bet)
                continue;
            out << Cp932ToUtf8(BetTitle(bet)) << '\t' << (f.slot + 1) << '\t' << Cp932ToUtf8(f.texts.result) << '\t'
                << Cp932ToUtf8(f.texts.popularity) << '\t' << Cp932ToUtf8(f.texts.payout) << '\n';
        }
    }
    return 0;
}

} // namespace
} // namespace tervan::tool
