// A small LHA archive writer for the sample generator and the tests: every
// member is stored as it is (method -lh0-), with a level 0, 1 or 2 header.
// The odds services ship their files as LHA archives; this writer lets the
// program make such archives without any archiver installed.
#pragma once

#include "platform/Clock.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tervan::sample {

struct LhaMember {
    std::string name; // CP932 file name without a folder part
    std::string data; // the member's bytes
    DateTime stamp;   // its time stamp (local time)
};

// The CRC-16 of the LHA format (polynomial 0xA001 reflected, initial 0),
// continued from `crc`.
std::uint16_t LhaCrc16(std::string_view data, std::uint16_t crc = 0);

// The bytes of an archive holding the members, in order, followed by the end
// mark. headerLevel is 0, 1 or 2. Throws std::invalid_argument for an empty
// name, a name with a folder separator, a name too long for its header or a
// member of 4 GB or more.
std::string WriteStoredLha(const std::vector<LhaMember>& members, int headerLevel);

} // namespace tervan::sample
