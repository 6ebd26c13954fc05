// Fixed-width records: JV-Data records and the program's stored lines are
// CP932 byte strings sliced by 1-based byte position, never parsed into
// objects.
#pragma once

#include <string>
#include <string_view>

namespace tervan {

// Bytes pos..pos+len-1 (1-based) of a record. A slice that runs past the end
// is cut short; one that starts past the end is empty.
constexpr std::string_view Mid(std::string_view record, size_t pos, size_t len)
{
    if (pos == 0 || pos > record.size())
        return {};
    return record.substr(pos - 1, len);
}

inline std::string MidStr(std::string_view record, size_t pos, size_t len)
{
    return std::string(Mid(record, pos, len));
}

// The program's decimal reading of a field: leading half-width spaces are
// skipped, one optional sign is accepted, then digits are taken up to the
// first byte that is not a digit. A text without digits reads as 0.
long long ReadDecimal(std::string_view text);

// The same reading that also says whether any digit was there.
bool TryReadDecimal(std::string_view text, long long& value);

// Half-width spaces stripped from both ends (full-width spaces are kept).
std::string_view TrimSpaces(std::string_view text);
std::string_view TrimRightSpaces(std::string_view text);

// The text padded with half-width spaces (or cut) to exactly `width` bytes.
std::string PadRight(std::string_view text, size_t width);
std::string PadLeft(std::string_view text, size_t width);

// printf into a std::string, for the fixed-width numbers of records and cells ("%2d", "%6.1f", "%02d").
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace tervan
