// Small hand-made JV-Data records for the acquisition tests.
#pragma once

#include "acquisition/JVData_Structure.h"
#include "support/TestSupport.h"
#include "reference/KeibaFunc.h"
#include "reference/ShiftJis.h"

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tervan::test {

struct RecordSpec {
    std::string kind = "RA";          // "RA", "SE", "HR"
    char division = '7';
    std::string created = "20060529"; // bytes 4-11
    std::string date = "20060528";    // yyyymmdd
    std::string course = "05";
    std::string meeting = "02";
    std::string meetingDay = "12";
    int race = 11;
    int horse = 1;                    // SE only
    std::string pedigree = "2003100001";
    std::string filler = "A";         // varies the body so records differ
};

inline std::string TwoDigits(int n)
{
    std::string s = std::to_string(n);
    return s.size() < 2 ? "0" + s : s.substr(s.size() - 2);
}

// A record of the exact length of its kind, CR LF included; the body is
// plausible: digits, spaces and a Japanese name.
inline std::string MakeRecord(const RecordSpec& s)
{
    const size_t length = JVData::RecordLength(s.kind);
    std::string r(length - 2, ' ');
    auto put = [&r](size_t pos, std::string_view text) { r.replace(pos - 1, text.size(), text); };
    put(1, s.kind);
    r[2] = s.division;
    put(4, s.created);
    put(12, s.date);
    put(20, s.course);
    put(22, s.meeting);
    put(24, s.meetingDay);
    put(26, TwoDigits(s.race));
    if (s.kind == "SE") {
        put(28, "1");
        put(29, TwoDigits(s.horse));
        put(31, s.pedigree);
        put(41, SJ("テストホース"));
        put(79, "1");
        put(335, "01");
    } else if (s.kind == "RA") {
        put(33, SJ("日本ダービー"));
        put(698, "2400");
    } else {
        put(103, "01000000210");
    }
    put(length - 10, s.filler);
    r += "\r\n";
    return r;
}

// A feed folder of data files: name -> records.
inline void WriteFeedFile(const std::filesystem::path& dir, const std::string& name, const std::vector<std::string>& records)
{
    std::filesystem::create_directories(dir);
    std::string text;
    for (const std::string& rec : records)
        text += rec;
    WriteAll(dir / name, text);
}

// Every plain file under a folder with its bytes, by relative path.
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& root)
{
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root))
        if (e.is_regular_file())
            files[U8Text(std::filesystem::relative(e.path(), root))] = ReadAll(e.path());
    return files;
}

// The stored files of a base folder: its snapshot without the JV-Link
// stand-in's cache ("JVLinkCache") and the settings files ("*.ini").
inline std::map<std::string, std::string> StoredSnapshot(const std::filesystem::path& base)
{
    std::map<std::string, std::string> files = Snapshot(base);
    std::erase_if(files, [](const auto& e) { return e.first.starts_with("JVLinkCache") || e.first.ends_with(".ini"); });
    return files;
}

} // namespace tervan::test
