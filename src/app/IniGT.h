// The settings file: an INI file (named sections, one "key=value" per line)
// in CP932, read and written one value at a time as Windows programs do.
//
// Every call opens the file, reads or rewrites it whole and closes it; nothing
// is cached. Section and key names are compared without regard to letter case
// (ASCII letters; double-byte characters byte for byte). Spaces and tabs
// around names and values are ignored. Lines that are not a section header or
// "key=value" (garbage, binary bytes, a key without "=") are skipped when
// reading and kept as they are when writing.
//
// A missing file, section or key, or an unreadable file, reads as the default.
// A failed write throws fs::FileError and leaves the old file as it was.
#pragma once

#include <string>
#include <string_view>
#include <optional>
#include <utility>
#include <vector>

namespace tervan {

class TIniGT {
public:
    // path: CP932 path of the INI file (it need not exist yet).
    explicit TIniGT(std::string path);

    const std::string& FileName() const { return m_path; }

    // The value as written, without an enclosing pair of double quotes or of
    // half-width corner brackets "｢" "｣"; "" or "｢｣" read as the empty text.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    // A decimal integer (optional sign); the default when the value is not one.
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    // True for any non-zero integer, false for 0; the default otherwise.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;

    // True when the section holds the key (with any value).
    bool ValueExists(std::string_view section, std::string_view key) const;

    // Sets one value, adding the key (and the section) when missing; every
    // other line of the file stays as it was. A value with line breaks has
    // them turned into spaces; a value that would not read back as written
    // (spaces at either end, or enclosed in quotes or corner brackets) is
    // written in double quotes.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    // Several values of one section in one rewrite of the file, in order,
    // each as WriteString sets it; a key given no value is emptied when the
    // section holds it and not added otherwise. Either every value reaches
    // the file or none does.
    void WriteStrings(std::string_view section,
                      const std::vector<std::pair<std::string, std::optional<std::string>>>& values);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    // Written as "1" or "0".
    void WriteBool(std::string_view section, std::string_view key, bool value);

private:
    std::string m_path;
};

// Case-insensitive equality of two CP932 names: ASCII letters fold, the
// bytes of double-byte characters are compared as they are.
bool IniNamesEqual(std::string_view a, std::string_view b);

} // namespace tervan
