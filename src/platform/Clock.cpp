#include "platform/Clock.h"

#include <cstdio>

namespace tervan {

long DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

void CivilFromDays(long z, int& year, int& month, int& day)
{
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long y = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

bool IsCalendarDate(int year, int month, int day)
{
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    int y, m, d;
    CivilFromDays(DaysFromCivil(year, month, day), y, m, d);
    return y == year && m == month && d == day;
}

DateTime AddDays(const DateTime& t, long days)
{
    DateTime r = t;
    CivilFromDays(DaysFromCivil(t.year, t.month, t.day) + days, r.year, r.month, r.day);
    return r;
}

std::string FormatCompact(const DateTime& t)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
    return buf;
}

namespace {
bool Digits(std::string_view s, size_t pos, size_t len, int& out)
{
    out = 0;
    for (size_t i = pos; i < pos + len; ++i) {
        if (i >= s.size() || s[i] < '0' || s[i] > '9')
            return false;
        out = out * 10 + (s[i] - '0');
    }
    return true;
}

bool Valid(const DateTime& t)
{
    return IsCalendarDate(t.year, t.month, t.day) && t.hour < 24 && t.minute < 60 && t.second < 60;
}
} // namespace

std::optional<DateTime> ParseCompact(std::string_view s)
{
    DateTime t;
    if (s.size() != 14 || !Digits(s, 0, 4, t.year) || !Digits(s, 4, 2, t.month) || !Digits(s, 6, 2, t.day)
        || !Digits(s, 8, 2, t.hour) || !Digits(s, 10, 2, t.minute) || !Digits(s, 12, 2, t.second) || !Valid(t))
        return std::nullopt;
    return t;
}

std::string FormatSlashed(const DateTime& t)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
    return buf;
}

std::optional<DateTime> ParseSlashed(std::string_view s)
{
    DateTime t;
    if (s.size() != 19 || s[4] != '/' || s[7] != '/' || s[10] != ' ' || s[13] != ':' || s[16] != ':'
        || !Digits(s, 0, 4, t.year) || !Digits(s, 5, 2, t.month) || !Digits(s, 8, 2, t.day)
        || !Digits(s, 11, 2, t.hour) || !Digits(s, 14, 2, t.minute) || !Digits(s, 17, 2, t.second) || !Valid(t))
        return std::nullopt;
    return t;
}

} // namespace tervan
