#include "tool/DayLoadTool.h"

#include "reference/ShiftJis.h"

#include <ostream>

namespace tervan::tool {

bool LoadDayForTool(RaceDay& day, const std::string& baseUtf8, const std::string& dayUtf8, std::ostream& err)
{
    const DayLoadResult result = LoadRaceDay(day, Utf8ToCp932(baseUtf8), Utf8ToCp932(dayUtf8));
    for (const std::string& warning : result.warnings)
        err << Cp932ToUtf8(warning) << "\n";
    if (result.status != DayLoadResult::Loaded) {
        err << Cp932ToUtf8(result.message) << "\n";
        return false;
    }
    return true;
}

} // namespace tervan::tool
