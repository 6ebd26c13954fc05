// tervan-tool card: one race card as its clipboard copy gives it.
#include "tool/ToolCommand.h"

#include "reference/ShiftJis.h"
#include "tool/DayLoadTool.h"
#include "views/RaceCardText.h"

#include <memory>
#include <ostream>

namespace tervan::tool {
namespace {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

const ToolCommand kCommand {
    "card",
    "card BASE DAY RACE",
    "prints the race card of race RACE (1-based position in the race list) of day DAY (as 'days' prints it), "
    "as the clipboard copy gives it",
    Run,
};
const ToolCommandRegistration kRegistration(kCommand);

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    auto day = std::make_unique<RaceDay>();
    const RaceSlot* slot = nullptr;
    if (const int code = LoadRaceForTool(kCommand, args, *day, slot, err))
        return code;
    const RaceCard card = MakeRaceCard(*slot);
    if (!card.complete)
        err << Cp932ToUtf8(card.incompleteMessage) << "\n";
    out << Cp932ToUtf8(RaceCardCopyText(*slot));
    return 0;
}

} // namespace
} // namespace tervan::tool
