// The forecast odds file (".yoz"): the forecast odds of one race day, one
// 1459-character line per race (1461-byte records with CR LF), in the data
// folder under the name yyyy年mm月dd日.yoz.
//
// Line layout (1-based byte positions):
//   1  8  race day yyyymmdd
//   9  2  course: JV-Data racecourse code on a "J" line, the KOL course
//         number on a "K" line
//   11 2  meeting number        13 2  day of the meeting
//   15 2  race number           17 1  source mark "J" (JRDB) or "K" (KOL)
//   18 2  number of runners
//   20    18 x 6 win odds of horses 1-18
//   128   18 x 6 place odds of horses 1-18
//   236   153 x 8 quinella odds of the horse pairs 1-2, 1-3, ..., 17-18
// Odds fields are right-aligned decimal texts with one decimal ("  12.3"), or
// blanks where there is no forecast.
#pragma once

#include "app/RaceDay.h"

#include <string>
#include <string_view>
#include <vector>

namespace tervan {

inline constexpr std::size_t kForecastLineLength = 1459;  // without CR LF
inline constexpr int kForecastMaxLines = 36;              // lines a reader looks at
inline constexpr std::size_t kForecastWinOddsPos = 20;    // horse h at 20 + 6(h-1)
inline constexpr std::size_t kForecastPlaceOddsPos = 128; // horse h at 128 + 6(h-1)
inline constexpr std::size_t kForecastQuinellaOddsPos = 236; // pair index n at 236 + 8(n-1)
inline constexpr std::size_t kForecastOddsWidth = 6;
inline constexpr std::size_t kForecastQuinellaWidth = 8;

// "2005年01月05日.yoz" for a date given as "yyyymmdd" (or any text whose
// first 8 bytes are that) or as the first 14 bytes of a DayCourseStem.
std::string ForecastOddsFileName(int year, int month, int day);
// The data folder + the first 14 bytes of the day-list entry + ".yoz".
std::string ForecastOddsFilePath(const std::string& base, std::string_view dayEntry);

// The matching key of a forecast line: race day (8 bytes), racecourse name
// (4 bytes: CourseName selector 2 of a "J" line's code, CourseShortName of a
// "K" line's number), race number (2 bytes).
std::string ForecastLineKey(std::string_view forecastLine);
// The same key of a race line: bytes 12-19, CourseName(bytes 20-21, 2),
// bytes 26-27.
std::string RaceLineForecastKey(std::string_view raceLine);

// Reads a decimal odds text ("  12.3", "3", "1000.5"): spaces around it
// allowed, digits with at most one full stop. False for a blank field or
// anything else.
bool ParseOddsText(std::string_view text, double& odds);

// Forecast win odds of horse index i (0-17); false when blank or not a number.
bool ReadForecastWinOdds(std::string_view forecastLine, int horseIndex, double& odds);

// Attaches the forecast lines of a file's contents to the loaded races: the
// first 36 records, each to the first of slots 0-11 whose race line has the
// same key; sets the slot's forecast line and forecast-present flag. Returns
// the number of lines matched; `damaged` is set when the contents are not
// whole 1461-byte records ending in CR LF (the lines are then taken one by one).
int AttachForecastLines(RaceDay& day, std::string_view contents, bool& damaged);

} // namespace tervan
