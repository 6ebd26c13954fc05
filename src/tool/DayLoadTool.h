// Loading a race day for the tervan-tool subcommands that print its views.
#pragma once

#include "app/RaceDay.h"
#include "tool/ToolCommand.h"

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace tervan::tool {

// Loads the day-list entry `dayUtf8` of base folder `baseUtf8` into `day`.
// Prints warnings to err; on failure prints the message and returns false.
bool LoadDayForTool(RaceDay& day, const std::string& baseUtf8, const std::string& dayUtf8, std::ostream& err);

// Reads the RACE argument `text` (a plain decimal number) into `race`. Otherwise prints
// "<command>: RACE must be a number, not '<text>'" and returns false.
bool ParseRaceArgument(std::string_view command, const std::string& text, long long& race, std::ostream& err);

// The slot of race `race` (1-based position in the day's race list). When there is no such race,
// prints "<command>: the day has N races; there is no race R" and returns nullptr.
const RaceSlot* PickRace(const RaceDay& day, long long race, std::string_view command, std::ostream& err);

// The start of the subcommands on one race, args BASE DAY RACE: loads the day into `day` and sets
// `slot` to the race. Returns 0, or the exit code after printing why: 2 for wrong arguments, 1 when
// the day or the race is not there.
int LoadRaceForTool(const ToolCommand& command, const std::vector<std::string>& args, RaceDay& day,
                    const RaceSlot*& slot, std::ostream& err);

} // namespace tervan::tool
