// tervan-tool unlha: extracts every member of an LHA archive into a folder,
// as the forecast-odds import does.
#include "tool/ToolCommand.h"

#include "archive/UnLha.h"
#include "reference/ShiftJis.h"

#include <ostream>

namespace tervan::tool {
namespace {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

const ToolCommand kCommand {
    "unlha",
    "unlha ARCHIVE DIR",
    "extracts every member of the LHA archive ARCHIVE into DIR; prints each problem as 'error NNNNN text: name' "
    "and 'extracted N' last (exit 1 when a problem was reported)",
    Run,
};
const ToolCommandRegistration kRegistration(kCommand);

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() != 2)
        return UsageError(kCommand, err);
    TUnLha unlha;
    unlha.ArchiveFile = Utf8ToCp932(args[0]);
    unlha.FileSpec.clear();
    unlha.FileSpec.push_back("*.*");
    unlha.ExtractDir = Utf8ToCp932(args[1]);
    bool problems = false;
    unlha.OnError = [&](const std::string& name, int number, const std::string& text) {
        problems = true;
        out << "error " << number << " " << text << ": " << Cp932ToUtf8(name) << "\n";
    };
    const int extracted = unlha.Extract();
    out << "extracted " << extracted << "\n";
    return problems ? 1 : 0;
}

} // namespace
} // namespace tervan::tool
