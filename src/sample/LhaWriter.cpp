#include "sample/LhaWriter.h"

#include "archive/LhaCrc16.h"

#include <stdexcept>

namespace tervan::sample {

namespace {

void Put16(std::string& out, unsigned value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void Set16(std::string& out, size_t at, unsigned value)
{
    out[at] = static_cast<char>(value & 0xFF);
    out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

// MS-DOS time stamp: time in the low word, date in the high word.
std::uint32_t DosStamp(const DateTime& t)
{
    int year = t.year < 1980 ? 1980 : (t.year > 2107 ? 2107 : t.year);
    unsigned date = static_cast<unsigned>((year - 1980) << 9 | (t.month & 15) << 5 | (t.day & 31));
    unsigned time = static_cast<unsigned>((t.hour & 31) << 11 | (t.minute & 63) << 5 | ((t.second / 2) & 31));
    return static_cast<std::uint32_t>(date) << 16 | time;
}

std::uint32_t UnixStamp(const DateTime& t)
{
    long days = IsCalendarDate(t.year, t.month, t.day) ? DaysFromCivil(t.year, t.month, t.day) : 0;
    if (days < 0)
        days = 0;
    return static_cast<std::uint32_t>(days * 86400L + t.hour * 3600L + t.minute * 60L + t.second);
}

unsigned Checksum(std::string_view bytes)
{
    unsigned sum = 0;
    for (unsigned char c : bytes)
        sum += c;
    return sum & 0xFF;
}

void CheckMember(const LhaMember& m, size_t maxName)
{
    if (m.name.empty() || m.name.find_first_of("/\\") != std::string::npos)
        throw std::invalid_argument("LHA member name must be a plain file name");
    if (m.name.size() > maxName)
        throw std::invalid_argument("LHA member name too long for its header: " + m.name);
    if (m.data.size() > 0xFFFFFFFFull)
        throw std::invalid_argument("LHA member too large: " + m.name);
}

// Level 0 and 1 share the layout up to the data CRC.
void WriteLevel01(std::string& out, const LhaMember& m, int level)
{
    const size_t start = out.size();
    out.push_back(0); // header size, set below
    out.push_back(0); // header checksum, set below
    out += "-lh0-";
    Put32(out, static_cast<std::uint32_t>(m.data.size())); // packed size (no extended headers)
    Put32(out, static_cast<std::uint32_t>(m.data.size()));
    Put32(out, DosStamp(m.stamp));
    out.push_back(0x20); // attribute: archive
    out.push_back(static_cast<char>(level));
    out.push_back(static_cast<char>(m.name.size()));
    out += m.name;
    Put16(out, LhaCrc16(m.data));
    if (level == 1) {
        out.push_back('M'); // made on MS-DOS / Windows
        Put16(out, 0);      // no extended header
    }
    const size_t headerSize = out.size() - start - 2;
    out[start] = static_cast<char>(headerSize);
    out[start + 1] = static_cast<char>(Checksum(std::string_view(out).substr(start + 2, headerSize)));
    out += m.data;
}

void WriteLevel2(std::string& out, const LhaMember& m)
{
    const size_t start = out.size();
    Put16(out, 0); // whole header size, set below
    out += "-lh0-";
    Put32(out, static_cast<std::uint32_t>(m.data.size()));
    Put32(out, static_cast<std::uint32_t>(m.data.size()));
    Put32(out, UnixStamp(m.stamp));
    out.push_back(0x20);
    out.push_back(2);
    Put16(out, LhaCrc16(m.data));
    out.push_back('M');
    // Extended headers: size (2, counting itself and the type), type, data.
    // The file name comes first; the header CRC follows.
    Put16(out, static_cast<unsigned>(3 + m.name.size()));
    out.push_back(0x01);
    out += m.name;
    Put16(out, 5);
    out.push_back(0x00);
    const size_t crcAt = out.size();
    Put16(out, 0);
    Put16(out, 0); // end of extended headers
    // A header whose size has a zero low byte would read as the end mark:
    // the format pads it with one byte.
    if (((out.size() - start) & 0xFF) == 0)
        out.push_back(0);
    const size_t headerSize = out.size() - start;
    if (headerSize > 0xFFFF)
        throw std::invalid_argument("LHA header too large: " + m.name);
    Set16(out, start, static_cast<unsigned>(headerSize));
    Set16(out, crcAt, LhaCrc16(std::string_view(out).substr(start, headerSize)));
    out += m.data;
}

} // namespace

std::uint16_t LhaCrc16(std::string_view data, std::uint16_t crc)
{
    return lha::Crc16Update(crc, reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
}

std::string WriteStoredLha(const std::vector<LhaMember>& members, int headerLevel)
{
    if (headerLevel < 0 || headerLevel > 2)
        throw std::invalid_argument("LHA header level must be 0, 1 or 2");
    std::string out;
    for (const LhaMember& m : members) {
        switch (headerLevel) {
        case 0:
            CheckMember(m, 255 - 22);
            WriteLevel01(out, m, 0);
            break;
        case 1:
            CheckMember(m, 255 - 25);
            WriteLevel01(out, m, 1);
            break;
        default:
            CheckMember(m, 1000);
            WriteLevel2(out, m);
            break;
        }
    }
    out.push_back(0); // end mark
    return out;
}

} // namespace tervan::sample
