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

// Whether a text is not empty and holds half-width digits only.
bool AllDigits(std::string_view text);

// Half-width spaces stripped from both ends (full-width spaces are kept).
std::string_view TrimSpaces(std::string_view text);
std::string_view TrimRightSpaces(std::string_view text);

// The text padded with half-width spaces (or cut) to exactly `width` bytes.
std::string PadRight(std::string_view text, size_t width);
std::string PadLeft(std::string_view text, size_t width);

// Odds in tenths, rounded half away from zero: the one rounding that both the
// forecast ranks and every odds text use ("3.55" is 36 tenths and shows "3.6").
long long OddsTenths(double odds);

// Odds with one decimal and a full stop, right-aligned in `width` bytes and
// never cut (12.3 in 6 gives "  12.3"), whatever the process locale says.
std::string FormatOdds(double odds, size_t width = 6);

// printf into a std::string, for the fixed-width integers of records and
// cells ("%2d", "%02d"); never for fractions, whose printf form follows the
// process locale.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace tervan
