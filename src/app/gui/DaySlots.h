// The loaded race day for window code.
//
// Qt defines `slots` as a keyword macro, and RaceDay has a member of that
// name. Window code includes the race day through this header, first among
// the core headers, so the member is declared with the macro switched off;
// and reaches the race slots through SlotAt(), since `day.slots[i]` does not
// compile where Qt's headers are included.
#pragma once

#pragma push_macro("slots")
#undef slots
#include "app/RaceDay.h"

namespace tervan {

inline RaceSlot& SlotAt(RaceDay& day, int index)
{
    return day.slots.at(static_cast<size_t>(index));
}
inline const RaceSlot& SlotAt(const RaceDay& day, int index)
{
    return day.slots.at(static_cast<size_t>(index));
}

} // namespace tervan
#pragma pop_macro("slots")
