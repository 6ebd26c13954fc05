#include "platform/PathText.h"

#include "reference/ShiftJis.h"

namespace tervan::fs {

std::string FoldAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::vector<std::string> SplitPath(std::string_view path, bool& absolute, bool keepEmpty)
{
    std::vector<std::string> parts;
    absolute = !path.empty() && (path[0] == '/' || path[0] == '\\');
    std::string cur;
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsSjisLeadByte(c) && i + 1 < path.size()) {
            cur += path[i];
            cur += path[i + 1];
            ++i;
        } else if (c == '\\' || c == '/') {
            if (keepEmpty || !cur.empty())
                parts.push_back(std::move(cur));
            cur.clear();
        } else {
            cur += path[i];
        }
    }
    if (keepEmpty || !cur.empty())
        parts.push_back(std::move(cur));
    return parts;
}

std::size_t LastSeparator(std::string_view path)
{
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsSjisLeadByte(c) && i + 1 < path.size())
            ++i;
        else if (c == '\\' || c == '/')
            last = i;
    }
    return last;
}

std::string Join(std::string_view base, std::string_view name)
{
    std::string out(base);
    while (!name.empty() && (name.front() == '/' || name.front() == '\\'))
        name.remove_prefix(1);
    // A trailing 0x5C may be the second byte of a double-byte character.
    if (!out.empty() && LastSeparator(out) != out.size() - 1)
        out += '/';
    out += name;
    return out;
}

bool MatchesMask(std::string_view name, std::string_view mask)
{
    // Iterative glob with one back-tracking point, by characters.
    auto charLen = [](std::string_view s, size_t i) {
        return IsSjisLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2u : 1u;
    };
    auto sameChar = [](std::string_view a, size_t i, std::string_view b, size_t j, size_t len) {
        for (size_t k = 0; k < len; ++k) {
            char x = a[i + k], y = b[j + k];
            if (len == 1) {
                if (x >= 'A' && x <= 'Z')
                    x = static_cast<char>(x - 'A' + 'a');
                if (y >= 'A' && y <= 'Z')
                    y = static_cast<char>(y - 'A' + 'a');
            }
            if (x != y)
                return false;
        }
        return true;
    };
    size_t n = 0, m = 0, starM = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starM = ++m;
            starN = n;
            continue;
        }
        if (m < mask.size()) {
            size_t ml = charLen(mask, m), nl = charLen(name, n);
            if (mask[m] == '?' ) {
                m += 1;
                n += nl;
                continue;
            }
            if (ml == nl && sameChar(name, n, mask, m, nl)) {
                m += ml;
                n += nl;
                continue;
            }
        }
        if (starM == std::string_view::npos)
            return false;
        m = starM;
        starN += charLen(name, starN);
        n = starN;
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

} // namespace tervan::fs
