// tervan-tool days: the day list of a base folder, newest first.
#include "tool/ToolCommand.h"

#include "app/RaceDay.h"
#include "platform/FileSystem.h"
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
    const std::string base = Utf8ToCp932(args[0]);
    if (!fs::DirExists(base)) {
        err << "days: no base folder " << args[0] << "\n";
        return 2;
    }
    for (const std::string& day : MakeDayList(base))
        out << Cp932ToUtf8(day) << "\n";
    return 0;
}

} // namespace
} // namespace tervan::tool
