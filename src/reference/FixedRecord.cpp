#include "reference/FixedRecord.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>

namespace tervan {

bool AllDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

bool TryReadDecimal(std::string_view text, long long& value)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long v = 0;
    bool any = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        any = true;
        if (v < std::numeric_limits<long long>::max() / 10 - 10)
            v = v * 10 + (text[i] - '0');
    }
    value = negative ? -v : v;
    return any;
}

long long ReadDecimal(std::string_view text)
{
    long long v = 0;
    TryReadDecimal(text, v);
    return v;
}

std::string_view TrimRightSpaces(std::string_view text)
{
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

std::string_view TrimSpaces(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    return TrimRightSpaces(text);
}

std::string PadRight(std::string_view text, size_t width)
{
    std::string s(text.substr(0, width));
    s.resize(width, ' ');
    return s;
}

std::string PadLeft(std::string_view text, size_t width)
{
    if (text.size() >= width)
        return std::string(text.substr(0, width));
    return std::string(width - text.size(), ' ') + std::string(text);
}

long long OddsTenths(double odds)
{
    // Far beyond any odds field; keeps llround defined.
    constexpr double kLimit = 1e15;
    const double scaled = odds * 10.0;
    if (!(scaled < kLimit))
        return scaled > 0 ? static_cast<long long>(kLimit) : 0;
    if (!(scaled > -kLimit))
        return -static_cast<long long>(kLimit);
    return std::llround(scaled);
}

std::string FormatOdds(double odds, size_t width)
{
    const long long tenths = OddsTenths(odds);
    const unsigned long long magnitude = tenths < 0 ? 0ULL - static_cast<unsigned long long>(tenths) : static_cast<unsigned long long>(tenths);
    std::string text = std::to_string(magnitude / 10) + "." + static_cast<char>('0' + magnitude % 10);
    if (tenths < 0)
        text.insert(text.begin(), '-');
    if (text.size() < width)
        text.insert(0, width - text.size(), ' ');
    return text;
}

std::string FormatText(const char* format, ...)
{
    char buffer[128];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    std::string text;
    if (length < 0) {
        va_end(again);
        return text;
    }
    if (static_cast<size_t>(length) < sizeof buffer) {
        text.assign(buffer, static_cast<size_t>(length));
    } else {
        text.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, again);
        text.resize(static_cast<size_t>(length));
    }
    va_end(again);
    return text;
}

} // namespace tervan
