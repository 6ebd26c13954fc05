// tervan-tool matches: the matching-horse list of a day as its clipboard copy
// gives it.
#include "tool/ToolCommand.h"

#include "reference/ShiftJis.h"
#include "tool/DayLoadTool.h"
#include "views/MatchListText.h"

#include <memory>
#include <ostream>

namespace tervan::tool {
namespace {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

const ToolCommand kCommand {
    "matches",
    "matches BASE DAY",
    "prints the matching-horse list of day DAY (as 'days' prints it) as the clipboard copy gives it",
    Run,
};
const ToolCommandRegistration kRegistration(kCommand);

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() != 2)
        return UsageError(kCommand, err);
    auto day = std::make_unique<RaceDay>();
    if (!LoadDayForTool(*day, args[0], args[1], err))
        return 1;
    out << Cp932ToUtf8(MatchListCopyText(*day));
    return 0;
}

} // namespace
} // namespace tervan::tool
