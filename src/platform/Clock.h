// Local date and time. The core never reads the clock deep inside: callers
// take "now" once (from Now() in the program, from a test or --now in
// tervan-tool) and pass it down.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tervan {

struct DateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;

    auto operator<=>(const DateTime&) const = default;
};

DateTime Now();

// Days since 1970-01-01 of a calendar date (proleptic Gregorian).
long DaysFromCivil(int year, int month, int day);
// The calendar date of a day number.
void CivilFromDays(long days, int& year, int& month, int& day);
bool IsCalendarDate(int year, int month, int day);

DateTime AddDays(const DateTime& t, long days);

// "yyyymmddhhnnss" and back; the parse fails on anything else.
std::string FormatCompact(const DateTime& t);
std::optional<DateTime> ParseCompact(std::string_view text);
// "yyyy/mm/dd hh:nn:ss" and back.
std::string FormatSlashed(const DateTime& t);
std::optional<DateTime> ParseSlashed(std::string_view text);

} // namespace tervan
