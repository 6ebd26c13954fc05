#include "views/ChartData.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tervan {
namespace {

std::string Fixed(double value, int decimals)
{
    char buffer[48];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals).ptr;
    std::string text(buffer, end);
    // No "-0" for a value that rounds to zero.
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

} // namespace

std::string TenthsText(long long tenths)
{
    const long long whole = (tenths < 0 ? -tenths : tenths);
    std::string text = tenths < 0 ? "-" : "";
    char buffer[24];
    text.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, whole / 10).ptr);
    text += '.';
    text += static_cast<char>('0' + whole % 10);
    return text;
}

ChartAxis RoundAxis(double low, double high, int wanted)
{
    low = std::min(low, 0.0);
    if (!(high > low))
        high = low + 1;
    wanted = std::max(wanted, 1);
    // The smallest step of 1, 2 or 5 times a power of ten that spans the
    // values in at most one step more than wanted.
    const double span = high - low;
    double power = std::pow(10.0, std::floor(std::log10(span / (wanted + 1))));
    double step = power;
    for (int k = 0;; ++k) {
        step = power * (k % 3 == 0 ? 1 : k % 3 == 1 ? 2 : 5);
        if (std::ceil(span / step - 1e-9) <= wanted + 1)
            break;
        if (k % 3 == 2)
            power *= 10;
    }
    ChartAxis axis;
    const long long first = static_cast<long long>(std::floor(low / step + 1e-9));
    const long long last = static_cast<long long>(std::ceil(high / step - 1e-9));
    axis.min = static_cast<double>(first) * step;
    axis.max = static_cast<double>(last) * step;
    const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    for (long long i = first; i <= last; ++i) {
        const double value = static_cast<double>(i) * step;
        axis.ticks.push_back(ChartTick {value, Fixed(value, decimals)});
    }
    return axis;
}

} // namespace tervan
