// tervan-tool days: the day list of a base folder, newest first.
#include "tool/ToolCommand.h"

#include "app/RaceDay.h"
#include "reference/ShiftJis.h"

#include <ostream>

namespace tervan::tool {
namespace {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

const ToolCommand kCommand {
    "days",
    "days BASE",
    "prints the day list (one race day and course per line, newest first)",
    Run,
};
const ToolCommandRegistration kRegistration(kCommand);

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() != 1)
        return UsageError(kCommand, err);
    for (const std::string& day : MakeDayList(Utf8ToCp932(args[0])))
        out << Cp932ToUtf8(day) << "\n";
    return 0;
}

} // namespace
} // namespace tervan::tool
