#include "archive/LhaCrc16.h"

#include <array>

namespace tervan::lha {
namespace {

// Eight tables: table[0] is the classic byte-at-a-time table; table[k][b] is
// the CRC of byte b followed by k zero bytes, so eight bytes are folded in at
// once.
struct Crc16Tables {
    std::array<std::array<std::uint16_t, 256>, 8> t {};
    constexpr Crc16Tables()
    {
        for (unsigned b = 0; b < 256; ++b) {
            unsigned crc = b;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 1) ? (crc >> 1) ^ 0xA001u : crc >> 1;
            t[0][b] = static_cast<std::uint16_t>(crc);
        }
        for (unsigned b = 0; b < 256; ++b)
            for (int k = 1; k < 8; ++k)
                t[k][b] = static_cast<std::uint16_t>((t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xFF]);
    }
};

constexpr Crc16Tables kTables;

} // namespace

std::uint16_t Crc16Update(std::uint16_t crc, const std::uint8_t* data, std::size_t size)
{
    const auto& t = kTables.t;
    unsigned c = crc;
    while (size >= 8) {
        c ^= static_cast<unsigned>(data[0]) | (static_cast<unsigned>(data[1]) << 8);
        c = t[7][c & 0xFF] ^ t[6][c >> 8] ^ t[5][data[2]] ^ t[4][data[3]] ^ t[3][data[4]] ^ t[2][data[5]] ^ t[1][data[6]]
            ^ t[0][data[7]];
        data += 8;
        size -= 8;
    }
    while (size-- > 0)
        c = (c >> 8) ^ t[0][(c ^ *data++) & 0xFF];
    return static_cast<std::uint16_t>(c);
}

} // namespace tervan::lha
