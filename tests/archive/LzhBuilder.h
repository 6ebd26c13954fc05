// Helpers of the archive tests: the manifests of the test archives,
// hand-made LHA archives (headers of every level with stored (-lh0-) or given
// packed data) and a bit writer for hand-coded -lh5- streams.
#pragma once

#include "archive/LhaCrc16.h"
#include "support/TestSupport.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tervan::test {

// One member in a MANIFEST.tsv of test archives.
struct ManifestRow {
    std::string name; // UTF-8, "/" separated; folders end with "/"
    std::string method;
    std::uint64_t size = 0;
    std::string crc; // 4 hex digits, "-" for folders
};

// A name in ASCII lower case: manifests list in lower case the upper-case
// names that archivers of some systems (OS/2) store.
inline std::string ManifestName(std::string name)
{
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return name;
}

// The members of each archive, in archive order.
inline std::map<std::string, std::vector<ManifestRow>> ReadLhaManifest(const std::filesystem::path& path)
{
    std::map<std::string, std::vector<ManifestRow>> rows;
    std::istringstream in(ReadAll(path));
    std::string line;
    std::getline(in, line); // column names
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string archive, size;
        ManifestRow row;
        std::getline(fields, archive, '\t');
        std::getline(fields, row.name, '\t');
        std::getline(fields, row.method, '\t');
        std::getline(fields, size, '\t');
        std::getline(fields, row.crc, '\t');
        row.size = std::stoull(size);
        rows[archive].push_back(row);
    }
    return rows;
}

inline std::string Le16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }
inline std::string Le32(std::uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

inline std::uint16_t Crc16(std::string_view s)
{
    return lha::Crc16Update(0, reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

struct LzhMember {
    std::string name;          // stored name bytes (level 0/1 header, or extended header type 1)
    std::string data;          // original bytes
    std::string method = "-lh0-";
    std::string packed;        // packed bytes; empty: data as they are
    std::uint8_t attribute = 0x20;
    std::uint32_t time = 0x5A2E6000; // level 0/1: MS-DOS 2025-01-14 12:00:00; level 2: Unix seconds
    std::string folder;        // level 2: directory-name extended header bytes
    std::vector<std::pair<std::uint8_t, std::string>> extraFirst; // extended headers put before the name
    std::uint16_t crc = 0;     // 0: the CRC of data
};

inline LzhMember Member(std::string name, std::string data, std::string method = "-lh0-", std::string packed = std::string())
{
    LzhMember m;
    m.name = std::move(name);
    m.data = std::move(data);
    m.method = std::move(method);
    m.packed = std::move(packed);
    return m;
}

inline LzhMember WithExtension(LzhMember m, std::uint8_t type, std::string bytes)
{
    m.extraFirst.emplace_back(type, std::move(bytes));
    return m;
}

// One entry with a level-0 or level-1 header.
inline std::string LzhEntry01(const LzhMember& m, int level)
{
    const std::string packed = m.packed.empty() && m.method == "-lh0-" ? m.data : m.packed;
    // Chain the extended headers: each one's last two bytes give the next size.
    std::vector<std::size_t> sizes;
    for (const auto& [type, bytes] : m.extraFirst)
        sizes.push_back(bytes.size() + 3);
    std::string chained;
    for (std::size_t i = 0; i < m.extraFirst.size(); ++i)
        chained += std::string(1, static_cast<char>(m.extraFirst[i].first)) + m.extraFirst[i].second
            + Le16(i + 1 < sizes.size() ? static_cast<unsigned>(sizes[i + 1]) : 0);
    std::string h = std::string(2, '\0') + m.method + Le32(static_cast<std::uint32_t>(packed.size() + (level == 1 ? chained.size() : 0)))
        + Le32(static_cast<std::uint32_t>(m.data.size())) + Le32(m.time) + std::string(1, static_cast<char>(m.attribute))
        + std::string(1, static_cast<char>(level)) + std::string(1, static_cast<char>(m.name.size())) + m.name
        + Le16(m.crc ? m.crc : Crc16(m.data));
    if (level == 1)
        h += std::string("M") + Le16(sizes.empty() ? 0 : static_cast<unsigned>(sizes[0]));
    h[0] = static_cast<char>(h.size() - 2);
    unsigned sum = 0;
    for (std::size_t i = 2; i < h.size(); ++i)
        sum += static_cast<unsigned char>(h[i]);
    h[1] = static_cast<char>(sum & 0xFF);
    return h + (level == 1 ? chained : std::string()) + packed;
}

// One entry with a level-2 header: extraFirst, then the name (type 1) and
// the folder (type 2) extended headers. Level 3 is the same with 4-byte
// sizes: bytes 0-1 hold 4, bytes 24-27 the whole header size, each extended
// header ends with the 4-byte size of the next.
inline std::string LzhEntry2(const LzhMember& m, int level = 2)
{
    const bool level3 = level == 3;
    auto size = [level3](std::size_t v) { return level3 ? Le32(static_cast<std::uint32_t>(v)) : Le16(static_cast<unsigned>(v)); };
    const std::size_t sizeWidth = level3 ? 4 : 2;
    const std::string packed = m.packed.empty() && m.method == "-lh0-" ? m.data : m.packed;
    std::vector<std::pair<std::uint8_t, std::string>> ext = m.extraFirst;
    ext.emplace_back(0x01, m.name);
    if (!m.folder.empty())
        ext.emplace_back(0x02, m.folder);
    std::string chained;
    for (std::size_t i = 0; i < ext.size(); ++i)
        chained += std::string(1, static_cast<char>(ext[i].first)) + ext[i].second
            + size(i + 1 < ext.size() ? ext[i + 1].second.size() + 1 + sizeWidth : 0);
    std::string h = std::string(2, '\0') + m.method + Le32(static_cast<std::uint32_t>(packed.size()))
        + Le32(static_cast<std::uint32_t>(m.data.size())) + Le32(m.time) + std::string(1, static_cast<char>(m.attribute))
        + std::string(1, static_cast<char>(level)) + Le16(m.crc ? m.crc : Crc16(m.data)) + (level3 ? "2" + Le32(0) : "U")
        + size(ext[0].second.size() + 1 + sizeWidth) + chained;
    if (level3) {
        h.replace(0, 2, Le16(4));
        h.replace(24, 4, Le32(static_cast<std::uint32_t>(h.size())));
    } else {
        h.replace(0, 2, Le16(static_cast<unsigned>(h.size())));
    }
    return h + packed;
}

inline std::string LzhEntry3(const LzhMember& m) { return LzhEntry2(m, 3); }

// Bits written most significant first, as LHA reads them.
class BitWriter {
public:
    void Put(unsigned value, int bits)
    {
        for (int i = bits - 1; i >= 0; --i) {
            m_acc = static_cast<unsigned>((m_acc << 1) | ((value >> i) & 1));
            if (++m_count == 8) {
                m_bytes += static_cast<char>(m_acc);
                m_acc = 0;
                m_count = 0;
            }
        }
    }
    std::string Bytes() const
    {
        std::string out = m_bytes;
        if (m_count > 0)
            out += static_cast<char>(m_acc << (8 - m_count));
        return out;
    }

private:
    std::string m_bytes;
    unsigned m_acc = 0;
    int m_count = 0;
};

// A -lh5- block whose three codes are each one symbol (count 0 followed by
// the symbol): every literal/length code is `literal` and takes no bits.
inline void PutSingleSymbolBlock(BitWriter& w, unsigned count, unsigned literal, unsigned position)
{
    w.Put(count, 16);
    w.Put(0, 5); // length code: one symbol
    w.Put(0, 5);
    w.Put(0, 9); // literal/length code: one symbol
    w.Put(literal, 9);
    w.Put(0, 4); // position code: one symbol
    w.Put(position, 4);
}

} // namespace tervan::test
