// Loading a race day for the tervan-tool subcommands that print its views.
#pragma once

#include "app/RaceDay.h"

#include <iosfwd>
#include <string>

namespace tervan::tool {

// Loads the day-list entry `dayUtf8` of base folder `baseUtf8` into `day`.
// Prints warnings to err; on failure prints the message and returns false.
bool LoadDayForTool(RaceDay& day, const std::string& baseUtf8, const std::string& dayUtf8, std::ostream& err);

} // namespace tervan::tool
