// The CRC-16 that LHA headers carry for each member: the CRC-16/ARC
// polynomial 0x8005 in reflected form (0xA001), initial value 0, no final
// inversion.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tervan::lha {

// Continues a CRC over more bytes: crc = Crc16Update(crc, data, size), from 0.
std::uint16_t Crc16Update(std::uint16_t crc, const std::uint8_t* data, std::size_t size);

} // namespace tervan::lha
