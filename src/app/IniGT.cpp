#include "app/IniGT.h"

#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"

#include <charconv>
#include <optional>
#include <vector>

namespace tervan {

namespace {

constexpr unsigned char kCornerOpen = 0xA2;   // ｢
constexpr unsigned char kCornerClose = 0xA3;  // ｣

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char FoldAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Offset of the first `wanted` byte that is a character of its own (not the
// second byte of a double-byte character), or npos.
size_t FindChar(std::string_view s, char wanted, size_t from = 0)
{
    for (size_t i = from; i < s.size(); ++i) {
        if (IsSjisLeadByte(static_cast<unsigned char>(s[i]))) {
            ++i;
            continue;
        }
        if (s[i] == wanted)
            return i;
    }
    return std::string_view::npos;
}

// True when the last byte of the text is a character of its own.
bool LastByteIsCharacter(std::string_view s)
{
    size_t last = std::string_view::npos;
    for (size_t i = 0; i < s.size(); ++i) {
        last = i;
        if (IsSjisLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size())
            ++i;
    }
    return last == s.size() - 1;
}

// The value without its enclosing pair of double quotes or corner brackets.
std::string_view StripEnclosing(std::string_view v)
{
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
        return v.substr(1, v.size() - 2);
    if (v.size() >= 2 && static_cast<unsigned char>(v.front()) == kCornerOpen &&
        static_cast<unsigned char>(v.back()) == kCornerClose && LastByteIsCharacter(v))
        return v.substr(1, v.size() - 2);
    return v;
}

// One line of the file: its text without the line break, and where the
// whole line (break included) sits in the file.
struct Line {
    std::string_view text;
    size_t begin = 0;
    size_t end = 0;  // just past the line break
};

// A UTF-8 byte-order mark that an editor put before the first line.
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The lines of the file; a byte-order mark at its start belongs to no line,
// so it neither hides the first section nor is lost on a rewrite.
std::vector<Line> SplitLines(std::string_view content)
{
    std::vector<Line> lines;
    size_t pos = content.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
    while (pos < content.size()) {
        size_t nl = content.find('\n', pos);
        const size_t next = nl == std::string_view::npos ? content.size() : nl + 1;
        size_t textEnd = nl == std::string_view::npos ? content.size() : nl;
        if (textEnd > pos && content[textEnd - 1] == '\r')
            --textEnd;
        lines.push_back({content.substr(pos, textEnd - pos), pos, next});
        pos = next;
    }
    return lines;
}

enum class LineKind { Blank, Section, Entry, Other };

struct Parsed {
    LineKind kind = LineKind::Other;
    std::string_view name;   // section name or key
    std::string_view value;  // entry value, trimmed, quotes still on
    bool broken = false;     // a section header without its "]"
};

Parsed ParseLine(std::string_view raw)
{
    Parsed p;
    const std::string_view t = Trim(raw);
    if (t.empty()) {
        p.kind = LineKind::Blank;
        return p;
    }
    if (t.front() == '[') {
        // A header without its "]" still starts a section, one that matches
        // no name: the keys under it belong to no section the program reads.
        const size_t close = FindChar(t, ']', 1);
        p.kind = LineKind::Section;
        p.broken = close == std::string_view::npos;
        if (!p.broken)
            p.name = Trim(t.substr(1, close - 1));
        return p;
    }
    if (t.front() == ';')
        return p;
    const size_t eq = FindChar(t, '=');
    if (eq == std::string_view::npos)
        return p;
    p.name = Trim(t.substr(0, eq));
    if (p.name.empty())
        return p;
    p.kind = LineKind::Entry;
    p.value = Trim(t.substr(eq + 1));
    return p;
}

// Where a key sits in the file: the line of its section header (npos when the
// section is missing), the line of the key (npos when missing), and the last
// non-blank line of the section.
struct Location {
    size_t sectionLine = std::string_view::npos;
    size_t keyLine = std::string_view::npos;
    size_t lastLine = std::string_view::npos;
    std::string_view value;
};

Location Locate(const std::vector<Line>& lines, std::string_view section, std::string_view key)
{
    Location loc;
    bool inSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const Parsed p = ParseLine(lines[i].text);
        if (p.kind == LineKind::Section) {
            if (inSection)
                break;  // the first section of that name is the one used
            if (!p.broken && IniNamesEqual(p.name, section)) {
                inSection = true;
                loc.sectionLine = i;
                loc.lastLine = i;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (p.kind != LineKind::Blank)
            loc.lastLine = i;
        if (p.kind == LineKind::Entry && loc.keyLine == std::string_view::npos && IniNamesEqual(p.name, key)) {
            loc.keyLine = i;
            loc.value = p.value;
        }
    }
    return loc;
}

// The file's contents; empty when missing or unreadable (reads then give
// their defaults, as a settings file is never worth stopping the program).
std::string LoadForReading(const std::string& path)
{
    std::string contents;
    try {
        if (!fs::ReadFile(path, contents))
            contents.clear();
    } catch (const fs::FileError&) {
        contents.clear();
    }
    return contents;
}

std::string OneLine(std::string_view text)
{
    std::string s(text);
    for (char& c : s) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return s;
}

std::optional<int> ParseInteger(std::string_view text)
{
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    int value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

bool IniNamesEqual(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (IsSjisLeadByte(static_cast<unsigned char>(a[i]))) {
            if (a[i] != b[i])
                return false;
            if (i + 1 < a.size()) {
                ++i;
                if (a[i] != b[i])
                    return false;
            }
            continue;
        }
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}

TIniGT::TIniGT(std::string path)
    : m_path(std::move(path))
{
}

std::string TIniGT::ReadString(std::string_view section, std::string_view key, std::string_view def) const
{
    const std::string contents = LoadForReading(m_path);
    const Location loc = Locate(SplitLines(contents), Trim(section), Trim(key));
    if (loc.keyLine == std::string_view::npos)
        return std::string(def);
    return std::string(StripEnclosing(loc.value));
}

int TIniGT::ReadInteger(std::string_view section, std::string_view key, int def) const
{
    const std::string contents = LoadForReading(m_path);
    const Location loc = Locate(SplitLines(contents), Trim(section), Trim(key));
    if (loc.keyLine == std::string_view::npos)
        return def;
    return ParseInteger(StripEnclosing(loc.value)).value_or(def);
}

bool TIniGT::ReadBool(std::string_view section, std::string_view key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool TIniGT::ValueExists(std::string_view section, std::string_view key) const
{
    const std::string contents = LoadForReading(m_path);
    return Locate(SplitLines(contents), Trim(section), Trim(key)).keyLine != std::string_view::npos;
}

namespace {

// The text of a settings file with one value set: the key's line replaced,
// or the key added at the end of its section (the section at the end of the
// file when missing); every other line as it was.
std::string WithValue(const std::string& old, std::string_view section, std::string_view key, std::string_view value)
{
    const std::string sectionName = OneLine(Trim(section));
    const std::string keyName = OneLine(Trim(key));
    std::string stored = OneLine(value);
    if (Trim(stored) != stored || StripEnclosing(stored) != stored)
        stored = '"' + stored + '"';
    const std::string entry = keyName + "=" + stored;

    const std::vector<Line> lines = SplitLines(old);
    // New lines take the break the file already uses; CR LF for a new file.
    const size_t firstBreak = old.find('\n');
    const std::string eol = (firstBreak != std::string::npos && (firstBreak == 0 || old[firstBreak - 1] != '\r'))
                                ? "\n"
                                : "\r\n";

    const Location loc = Locate(lines, sectionName, keyName);
    std::string updated;
    if (loc.keyLine != std::string_view::npos) {
        const Line& line = lines[loc.keyLine];
        const size_t textEnd = line.begin + line.text.size();
        updated = old.substr(0, line.begin) + entry + old.substr(textEnd);
    } else if (loc.sectionLine != std::string_view::npos) {
        const Line& after = lines[loc.lastLine];
        const size_t textEnd = after.begin + after.text.size();
        updated = old.substr(0, after.end);
        if (after.end == textEnd)  // the section's last line ends the file without a break
            updated += eol;
        updated += entry + eol;
        updated += old.substr(after.end);
    } else {
        updated = old;
        if (!lines.empty() && updated.back() != '\n')
            updated += eol;
        if (!lines.empty() && ParseLine(lines.back().text).kind != LineKind::Blank)
            updated += eol;
        updated += "[" + sectionName + "]" + eol + entry + eol;
    }
    return updated;
}

} // namespace

void TIniGT::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    WriteStrings(section, {{std::string(key), std::string(value)}});
}

void TIniGT::WriteStrings(std::string_view section, const std::vector<std::pair<std::string, std::optional<std::string>>>& values)
{
    std::string old;
    const bool existed = fs::ReadFile(m_path, old);
    std::string updated = old;
    for (const auto& [key, value] : values) {
        if (value)
            updated = WithValue(updated, section, key, *value);
        else if (Locate(SplitLines(updated), Trim(section), Trim(key)).keyLine != std::string_view::npos)
            updated = WithValue(updated, section, key, "");
    }
    if (updated == old && (existed || values.empty()))
        return;
    fs::RewriteFile(m_path, updated);
}

void TIniGT::WriteInteger(std::string_view section, std::string_view key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void TIniGT::WriteBool(std::string_view section, std::string_view key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

} // namespace tervan
