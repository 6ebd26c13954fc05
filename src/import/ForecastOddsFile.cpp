#include "import/ForecastOddsFile.h"

#include "acquisition/StoredFiles.h"
#include "app/RecordReader.h"
#include "platform/FileSystem.h"
#include "reference/FixedRecord.h"
#include "reference/KeibaFunc.h"
#include "reference/ShiftJis.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace tervan {

std::string ForecastOddsFileName(int year, int month, int day)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d", year);
    std::string name = buf;
    std::snprintf(buf, sizeof buf, "%02d", month);
    name += SJ("年") + buf;
    std::snprintf(buf, sizeof buf, "%02d", day);
    name += SJ("月") + buf + SJ("日") + ".yoz";
    return name;
}

std::string ForecastOddsFilePath(const std::string& base, std::string_view dayEntry)
{
    return fs::Join(DataFolder(base), std::string(dayEntry.substr(0, 14)) + ".yoz");
}

std::string ForecastLineKey(std::string_view forecastLine)
{
    std::string key = PadRight(Mid(forecastLine, 1, 8), 8);
    const std::string_view course = Mid(forecastLine, 9, 2);
    if (Mid(forecastLine, 17, 1) == "J")
        key += KeibaFunc::CourseName(course, 2);
    else
        key += KeibaFunc::CourseShortName(course);
    key += PadRight(Mid(forecastLine, 15, 2), 2);
    return key;
}

std::string RaceLineForecastKey(std::string_view raceLine)
{
    std::string key = PadRight(Mid(raceLine, 12, 8), 8);
    key += KeibaFunc::CourseName(Mid(raceLine, 20, 2), 2);
    key += PadRight(Mid(raceLine, 26, 2), 2);
    return key;
}

bool ParseOddsText(std::string_view text, double& odds)
{
    text = TrimSpaces(text);
    if (text.empty() || text.size() > 31)
        return false;
    int digits = 0, points = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.')
            ++points;
        else
            return false;
    }
    if (digits == 0 || points > 1)
        return false;
    // from_chars reads a full stop whatever the process locale says.
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (ec != std::errc() || end != text.data() + text.size())
        return false;
    odds = value;
    return true;
}

bool ReadForecastWinOdds(std::string_view forecastLine, int horseIndex, double& odds)
{
    if (horseIndex < 0 || horseIndex >= kRunnerCapacity)
        return false;
    const std::size_t pos = kForecastWinOddsPos + kForecastOddsWidth * static_cast<std::size_t>(horseIndex);
    return ParseOddsText(Mid(forecastLine, pos, kForecastOddsWidth), odds);
}

int AttachForecastLines(RaceDay& day, std::string_view contents, bool& damaged)
{
    RecordList records;
    records.Parse(contents, kForecastRecordSize);
    damaged = records.Damaged();

    // Race keys computed once; a blank race line has no key to match.
    std::array<std::string, kRaceCapacity> raceKeys;
    for (int p = 0; p < kRaceCapacity; ++p) {
        const std::string& line = day.slots[static_cast<size_t>(p)].raceLine;
        if (!TrimSpaces(Mid(line, 12, 16)).empty())
            raceKeys[static_cast<size_t>(p)] = RaceLineForecastKey(line);
    }

    int matched = 0;
    const std::size_t n = std::min<std::size_t>(records.Count(), kForecastMaxLines);
    for (std::size_t k = 0; k < n; ++k) {
        const std::string_view record = records.Record(k);
        const std::string key = ForecastLineKey(record);
        for (int p = 0; p < kRaceCapacity; ++p) {
            RaceSlot& slot = day.slots[static_cast<size_t>(p)];
            if (raceKeys[static_cast<size_t>(p)].empty() || raceKeys[static_cast<size_t>(p)] != key)
                continue;
            AssignRecord(slot.forecastLine, record, kForecastRecordSize);
            slot.summary.forecastPresent = true;
            ++matched;
            break;
        }
    }
    return matched;
}

} // namespace tervan
