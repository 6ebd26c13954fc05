// Hand-made stored files for the race-day tests: fixed-length JV-Data lines
// built field by field and written where the program looks for them.
#pragma once

#include "acquisition/StoredFiles.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"
#include "support/TestSupport.h"

#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tervan::test {

// A record of `size` bytes (CR LF included), spaces until fields are put in.
class Line {
public:
    explicit Line(std::size_t size)
        : m_text(size - 2, ' ')
    {
        m_text += "\r\n";
    }
    // Overwrites bytes pos.. (1-based) with text.
    Line& Put(std::size_t pos, std::string_view text)
    {
        m_text.replace(pos - 1, text.size(), text);
        return *this;
    }
    Line& PutNum(std::size_t pos, int width, long long value)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%0*lld", width, value);
        return Put(pos, buf);
    }
    const std::string& Text() const { return m_text; }
    operator const std::string&() const { return m_text; }

private:
    std::string m_text;
};

// The race key fields of a line: date yyyymmdd, course, meeting, day, race.
struct Key {
    std::string date = "20060528";
    std::string course = "05";
    int meeting = 2;
    int meetingDay = 8;
    int race = 1;
};

inline void PutKey(Line& line, std::string_view kind, const Key& k)
{
    line.Put(1, kind).Put(3, "000000000").Put(12, k.date).Put(20, k.course).PutNum(22, 2, k.meeting).PutNum(24, 2, k.meetingDay).PutNum(26, 2, k.race);
}

inline Line RaLine(const Key& k, int registered, std::string_view nameUtf8 = "テストステークス")
{
    Line line(1272);
    PutKey(line, "RA", k);
    line.Put(33, Utf8ToCp932(nameUtf8));
    line.Put(615, "E").Put(622, "2").Put(635, "005").Put(698, "1600").Put(706, "11").Put(874, "1540");
    line.PutNum(882, 2, registered);
    return line;
}

struct Horse {
    int number = 1;
    int bracket = 1;
    std::string pedigree = "2002100001";
    std::string nameUtf8 = "テストホース";
    std::string sex = "1";
    int age = 4;
    int place = 0;
    int popularity = 0;
    int oddsTenths = 0;
};

inline Line SeLine(const Key& k, const Horse& h)
{
    Line line(555);
    PutKey(line, "SE", k);
    line.Put(3, "7");
    line.PutNum(28, 1, h.bracket).PutNum(29, 2, h.number).Put(31, h.pedigree);
    line.Put(41, Utf8ToCp932(h.nameUtf8)).Put(79, h.sex).PutNum(83, 2, h.age);
    line.Put(86, "01001").Put(91, Utf8ToCp932("調教師　")).Put(289, "550").Put(297, "01002").Put(307, Utf8ToCp932("騎手名　"));
    if (h.place)
        line.PutNum(335, 2, h.place);
    if (h.oddsTenths)
        line.PutNum(360, 4, h.oddsTenths);
    if (h.popularity)
        line.PutNum(364, 2, h.popularity);
    return line;
}

// The stored files of one day and course in a base folder.
class StoredDay {
public:
    StoredDay(std::string base, Key key)
        : m_base(std::move(base))
        , m_key(std::move(key))
    {
        fs::CreateDirs(m_base + "/DATA");
        fs::CreateDirs(m_base + "/SEI");
        m_slots.assign(216, Line(555).Text());
    }
    const Key& key() const { return m_key; }
    std::string Stem() const { return DayCourseStem(Line(RaLine(m_key, 0)).Text()); }
    std::string Path(std::string_view ext) const { return m_base + "/DATA/" + Stem() + std::string(ext); }

    void AddRace(const Line& ra) { m_races += ra.Text(); }
    void SetSlot(int race, int horse, const Line& se) { m_slots.at(static_cast<size_t>((race - 1) * 18 + horse - 1)) = se.Text(); }
    void AddPayout(const Line& hr) { m_payouts += hr.Text(); }

    void Write() const
    {
        fs::RewriteFile(Path(".jvRA"), m_races);
        std::string slots;
        for (const auto& s : m_slots)
            slots += s;
        fs::RewriteFile(Path(".jvSEr"), slots);
        if (!m_payouts.empty())
            fs::RewriteFile(Path(".jvHR"), m_payouts);
    }

private:
    std::string m_base;
    Key m_key;
    std::string m_races;
    std::vector<std::string> m_slots;
    std::string m_payouts;
};

// A horse history file of the given runs (each a key), sorted as stored.
inline void WriteHistory(const std::string& base, const std::string& pedigree, const std::vector<Key>& runs)
{
    std::map<std::string, std::string> lines;
    for (const Key& k : runs) {
        Horse h;
        h.pedigree = pedigree;
        Line se = SeLine(k, h);
        se.Put(3, "000000000");
        lines[se.Text().substr(11, 16)] = se.Text();
    }
    std::string text;
    for (const auto& [key, line] : lines)
        text += line;
    fs::CreateDirs(base + "/SEI/" + pedigree.substr(0, 4));
    fs::RewriteFile(base + "/SEI/" + pedigree.substr(0, 4) + "/" + pedigree + ".jvSEI", text);
}

inline Key KeyOn(std::string date, int race = 1, std::string course = "05")
{
    Key k;
    k.date = std::move(date);
    k.race = race;
    k.course = std::move(course);
    return k;
}

// One race on 28 May 2006 at 東京 with `runners` runners (horse numbers and
// brackets 1..n, pedigrees 200210000n, all named nameUtf8); horse 2 finished
// first as third favourite at 5.2.
inline void WriteOneRaceDay(const std::string& base, int runners, std::string_view nameUtf8 = "テストホース")
{
    StoredDay d(base, KeyOn("20060528"));
    d.AddRace(RaLine(KeyOn("20060528", 1), runners));
    for (int n = 1; n <= runners; ++n) {
        Horse h;
        h.number = n;
        h.bracket = n;
        h.pedigree = "200210000" + std::to_string(n);
        h.nameUtf8 = std::string(nameUtf8);
        if (n == 2) {
            h.place = 1;
            h.popularity = 3;
            h.oddsTenths = 52;
        }
        d.SetSlot(1, n, SeLine(KeyOn("20060528", 1), h));
    }
    d.Write();
}

// A forecast line: race key fields, mark, win odds texts of horses 1-18
// (empty = blank field).
inline std::string ForecastLine(std::string_view date, std::string_view course, int race, char mark,
                                const std::vector<std::string>& winOdds)
{
    Line line(1461);
    line.Put(1, date).Put(9, course).Put(11, "02").Put(13, "08").PutNum(15, 2, race);
    line.Put(17, std::string(1, mark)).Put(18, "16");
    for (size_t i = 0; i < winOdds.size() && i < 18; ++i) {
        std::string field = winOdds[i];
        if (field.size() < 6)
            field = std::string(6 - field.size(), ' ') + field;
        line.Put(20 + 6 * i, field.substr(0, 6));
    }
    return line.Text();
}

} // namespace tervan::test
