// tervan-tool import-odds: the "予想配当" button without a window.
#include "tool/ToolCommand.h"

#include "app/BaseFolder.h"
#include "import/ForecastOddsImport.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"

#include <filesystem>
#include <ostream>

namespace tervan::tool {

namespace {

int Run(const std::vector<std::string>& argsIn, std::ostream& out, std::ostream& err);

const ToolCommand kCommand {
    "import-odds",
    "import-odds BASE ARCHIVE [--since2005 | --before2005]",
    "imports a JRDB (OZyymmdd.lzh) or KOL (j*.lzh) forecast odds archive into BASE's data folder; "
    "--before2005 stands for a pre-2005 day selected in the window",
    &Run,
};

const ToolCommandRegistration kRegistration(kCommand);

int Run(const std::vector<std::string>& argsIn, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> args = argsIn;
    const bool since = TakeFlag(args, "--since2005");
    const bool before = TakeFlag(args, "--before2005");
    if (args.size() != 2 || (since && before))
        return UsageError(kCommand, err);

    const std::string base = fs::FromNative(std::filesystem::absolute(std::filesystem::path(args[0])));
    const std::string archive = fs::FromNative(std::filesystem::absolute(std::filesystem::path(args[1])));
    fs::CreateDirs(base);
    EnsureBaseFolders(base);

    const ForecastImportResult result = ImportForecastOdds(base, archive, !before);
    if (!result.message.empty())
        out << Cp932ToUtf8(result.message) << "\n";
    return result.wroteFile.empty() ? 1 : 0;
}

} // namespace

} // namespace tervan::tool
