// A count of the stored days of its own, for checking the scans against:
// every counted runner read straight from the stored files by the rules of
// 格言成績 (payout line present; 出走取消, 発走除外 and 競走除外 left out;
// 競走中止 and 失格 unplaced and unpaid; others at their confirmed places);
// and a table as the tool prints it.
#pragma once

#include "reference/ShiftJis.h"
#include "support/TestSupport.h"
#include "views/GridText.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tervan::test {

// The child of a folder named `upper` in any letter case (dir / upper when none).
inline std::filesystem::path ChildAnyCase(const std::filesystem::path& dir, const std::string& upper)
{
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::string name = entry.path().filename().string();
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (name == upper)
            return entry.path();
    }
    return dir / upper;
}

// The fixed-size records of a stored file; none when it is missing.
inline std::vector<std::string> Records(const std::filesystem::path& path, std::size_t size)
{
    std::vector<std::string> result;
    if (!std::filesystem::exists(path))
        return result;
    const std::string text = ReadAll(path);
    for (std::size_t at = 0; at + size <= text.size(); at += size)
        result.push_back(text.substr(at, size));
    return result;
}

// The decimal number at 1-based bytes pos..pos+len-1 of a record.
inline long long Number(const std::string& line, std::size_t pos, std::size_t len)
{
    return std::atoll(line.substr(pos - 1, len).c_str());
}

// The stems (path without extension) of the race files of a data folder, in order.
inline std::vector<std::filesystem::path> RaceFileStems(const std::filesystem::path& data)
{
    std::vector<std::filesystem::path> stems;
    for (const auto& entry : std::filesystem::directory_iterator(data))
        if (entry.path().extension() == ".jvRA")
            stems.push_back(entry.path().parent_path() / entry.path().stem());
    std::sort(stems.begin(), stems.end());
    return stems;
}

struct StoredRunner {
    const std::string& raceLine;   // RA
    const std::string& runnerLine; // SE
    const std::string& payoutLine; // HR
    int horse = 0;
    int place = 0;                 // 0: 着外 without a place
    long long win = 0;             // 単勝 paid on the horse
    long long placePaid = 0;       // 複勝 paid on the horse
    bool placeSold = false;
};

// Hands every counted runner of the stored days under `data` to `each`;
// returns the number of races with a payout line.
inline int ForEachStoredRunner(const std::filesystem::path& data, const std::function<void(const StoredRunner&)>& each)
{
    int races = 0;
    auto with = [](std::filesystem::path stem, const char* ext) { return stem += ext; };
    for (const std::filesystem::path& stem : RaceFileStems(data)) {
        std::map<long long, std::string> raceLines;
        for (const std::string& ra : Records(with(stem, ".jvRA"), 1272))
            raceLines[Number(ra, 26, 2)] = ra;
        const std::vector<std::string> slots = Records(with(stem, ".jvSEr"), 555);
        for (const std::string& hr : Records(with(stem, ".jvHR"), 719)) {
            ++races;
            const long long race = Number(hr, 26, 2);
            bool sold = false;
            for (int e = 0; e < 5; ++e)
                sold = sold || Number(hr, 142 + 13 * e, 2) > 0;
            for (int h = 1; h <= 18; ++h) {
                const std::string& se = slots.at(static_cast<std::size_t>((race - 1) * 18 + h - 1));
                if (Number(se, 29, 2) <= 0)
                    continue;
                const char code = se[331];
                long long place = Number(se, 335, 2);
                if (code == '1' || code == '2' || code == '3' || (place <= 0 && code != '4' && code != '5'))
                    continue;
                if (code == '4' || code == '5')
                    place = 0;
                StoredRunner r {raceLines[race], se, hr};
                r.horse = h;
                r.place = static_cast<int>(place);
                r.placeSold = sold;
                for (int e = 0; e < 3 && place > 0; ++e)
                    if (Number(hr, 103 + 13 * e, 2) == h)
                        r.win += Number(hr, 105 + 13 * e, 9);
                for (int e = 0; e < 5 && place > 0; ++e)
                    if (Number(hr, 142 + 13 * e, 2) == h)
                        r.placePaid += Number(hr, 144 + 13 * e, 9);
                each(r);
            }
        }
    }
    return races;
}

// The rows of a grid as tervan-tool prints them: TAB-separated UTF-8 lines.
inline std::string ToolText(const TextGrid& grid)
{
    std::string text;
    for (const auto& row : grid.Rows()) {
        for (std::size_t c = 0; c < row.size(); ++c)
            text += (c ? "\t" : "") + Cp932ToUtf8(row[c]);
        text += "\n";
    }
    return text;
}

} // namespace tervan::test
