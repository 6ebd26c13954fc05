#include "tool/DayLoadTool.h"

#include "reference/FixedRecord.h"
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

bool ParseRaceArgument(std::string_view command, const std::string& text, long long& race, std::ostream& err)
{
    race = 0;
    if (!TryReadDecimal(text, race) || TrimSpaces(text).size() != std::to_string(race).size()) {
        err << command << ": RACE must be a number, not '" << text << "'\n";
        return false;
    }
    return true;
}

const RaceSlot* PickRace(const RaceDay& day, long long race, std::string_view command, std::ostream& err)
{
    if (race < 1 || race > static_cast<long long>(day.raceList.size())) {
        err << command << ": the day has " << day.raceList.size() << " races; there is no race " << race << "\n";
        return nullptr;
    }
    return &day.slots[static_cast<std::size_t>(day.raceList[static_cast<std::size_t>(race - 1)].slot)];
}

int LoadRaceForTool(const ToolCommand& command, const std::vector<std::string>& args, RaceDay& day,
                    const RaceSlot*& slot, std::ostream& err)
{
    slot = nullptr;
    if (args.size() != 3)
        return UsageError(command, err);
    long long race = 0;
    if (!ParseRaceArgument(command.name, args[2], race, err))
        return 2;
    if (!LoadDayForTool(day, args[0], args[1], err))
        return 1;
    slot = PickRace(day, race, command.name, err);
    return slot ? 0 : 1;
}

} // namespace tervan::tool
