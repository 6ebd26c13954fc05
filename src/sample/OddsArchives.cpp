#include "sample/OddsArchives.h"

#include "platform/FileSystem.h"
#include "reference/FixedRecord.h"
#include "sample/LhaWriter.h"

#include <algorithm>
#include <cmath>

namespace tervan::sample {

namespace {

constexpr size_t kJrdbLine = 955;
constexpr size_t kKolLine = 1502;
constexpr double kQuinellaReturn = 0.775; // what the pool pays back

void Put(std::string& line, size_t pos, std::string_view text)
{
    line.replace(pos - 1, text.size(), text);
}

// Tenths as "%5.1f" text ("  3.5", "999.9").
std::string Decimal5(int tenths)
{
    return FormatText("%3d.%d", tenths / 10, tenths % 10);
}

// One character for a number 1-35: 1-9, then a, b, c, ...
char Code36(int n)
{
    return n < 10 ? static_cast<char>('0' + n) : static_cast<char>('a' + n - 10);
}

// The KOL source numbers its racecourses in its own order.
std::string KolCourse(const std::string& jvCode)
{
    static const char* const kOrder[] = {"08", "09", "07", "10", "05", "06", "03", "04", "01", "02"};
    for (int i = 0; i < 10; ++i)
        if (jvCode == kOrder[i])
            return FormatText("%02d", i);
    return "99";
}

// Market estimates from the forecast win odds of one race.
struct RaceMarket {
    int runners = 0;
    std::vector<int> winTenths;    // by horse number - 1
    std::vector<double> prob;      // win probabilities
    std::vector<int> bracket;      // bracket of each horse

    explicit RaceMarket(const SampleRace& race)
        : runners(static_cast<int>(race.runners.size()))
    {
        double sum = 0;
        for (const SampleRunner& r : race.runners) {
            winTenths.push_back(std::clamp(r.forecastOddsTenths, 11, 9999));
            prob.push_back(10.0 / winTenths.back());
            bracket.push_back(r.bracket);
            sum += prob.back();
        }
        for (double& p : prob)
            p /= sum;
    }

    // Chance that horses i and j (0-based) fill the first two places.
    double PairChance(int i, int j) const
    {
        const double a = prob[static_cast<size_t>(i)], b = prob[static_cast<size_t>(j)];
        return a * b * (1.0 / std::max(1e-9, 1.0 - a) + 1.0 / std::max(1e-9, 1.0 - b));
    }

    static int OddsTenths(double chance)
    {
        if (chance <= 0)
            return 9999999;
        return static_cast<int>(std::clamp(std::lround(kQuinellaReturn / chance * 10.0), 10L, 9999999L));
    }

    int QuinellaTenths(int i, int j) const { return OddsTenths(PairChance(i, j)); }

    // Bracket quinella a <= b (1-8); 0 when no two horses make the pair.
    int BracketTenths(int a, int b) const
    {
        double chance = 0;
        bool any = false;
        for (int i = 0; i < runners; ++i)
            for (int j = i + 1; j < runners; ++j) {
                const int x = std::min(bracket[static_cast<size_t>(i)], bracket[static_cast<size_t>(j)]);
                const int y = std::max(bracket[static_cast<size_t>(i)], bracket[static_cast<size_t>(j)]);
                if (x == a && y == b) {
                    chance += PairChance(i, j);
                    any = true;
                }
            }
        return any ? OddsTenths(chance) : 0;
    }

    int PlaceTenths(int i) const
    {
        return std::clamp(static_cast<int>(std::lround(winTenths[static_cast<size_t>(i)] * 0.2 + 9.0)), 10, 9999);
    }
};

std::string JrdbLine(const SampleDay& day, const SampleRace& race)
{
    const RaceMarket m(race);
    std::string line(kJrdbLine, ' ');
    Put(line, 1, race.course);
    Put(line, 3, FormatText("%02d", day.year % 100));
    line[4] = Code36(race.meeting);
    line[5] = Code36(race.meetingDay);
    Put(line, 7, FormatText("%02d", race.raceNumber));
    Put(line, 9, FormatText("%02d", m.runners));
    for (int i = 0; i < m.runners && i < 18; ++i) {
        Put(line, 11 + 5 * static_cast<size_t>(i), Decimal5(m.winTenths[static_cast<size_t>(i)]));
        Put(line, 101 + 5 * static_cast<size_t>(i), Decimal5(m.PlaceTenths(i)));
    }
    size_t pair = 0;
    for (int i = 0; i < 18; ++i)
        for (int j = i + 1; j < 18; ++j, ++pair)
            if (j < m.runners)
                Put(line, 191 + 5 * pair, Decimal5(std::min(m.QuinellaTenths(i, j), 9999)));
    return line;
}

std::string KolField(int tenths, int width, int starFrom)
{
    if (tenths <= 0)
        return std::string(static_cast<size_t>(width - 1), ' ') + "-";
    if (tenths >= starFrom)
        return std::string(static_cast<size_t>(width - 1), ' ') + "*";
    return FormatText(width == 5 ? "%05d" : "%07d", tenths);
}

std::string KolLine(const SampleDay& day, const SampleRace& race)
{
    const RaceMarket m(race);
    std::string line(kKolLine, ' ');
    Put(line, 1, KolCourse(race.course));
    Put(line, 7, FormatText("%02d", race.meeting));
    Put(line, 9, FormatText("%02d", race.meetingDay));
    Put(line, 11, FormatText("%02d", race.raceNumber));
    Put(line, 13, std::to_string(day.Yyyymmdd()));
    Put(line, 110, FormatText("%02d", m.runners));
    for (int i = 0; i < 18; ++i)
        Put(line, 162 + 5 * static_cast<size_t>(i), KolField(i < m.runners ? m.winTenths[static_cast<size_t>(i)] : 0, 5, 500));
    size_t index = 0;
    for (int a = 1; a <= 8; ++a)
        for (int b = a; b <= 8; ++b, ++index)
            Put(line, 252 + 5 * index, KolField(m.BracketTenths(a, b), 5, 1000));
    size_t pair = 0;
    for (int i = 0; i < 18; ++i)
        for (int j = i + 1; j < 18; ++j, ++pair)
            Put(line, 432 + 7 * pair, KolField(j < m.runners ? m.QuinellaTenths(i, j) : 0, 7, 10000));
    return line;
}

template <class LineFn>
std::string DayText(const SampleDay& day, LineFn lineOf)
{
    std::string text;
    for (const SampleCourseDay& course : day.courses)
        for (const SampleRace& race : course.races) {
            text += lineOf(day, race);
            text += "\r\n";
        }
    return text;
}

int RaceCount(const SampleDay& day)
{
    int n = 0;
    for (const SampleCourseDay& course : day.courses)
        n += static_cast<int>(course.races.size());
    return n;
}

std::string Yymmdd(const SampleDay& day)
{
    return FormatText("%06d", static_cast<int>(day.Yyyymmdd() % 1000000));
}

// Odds are published the evening before the race day.
DateTime PublishedAt(const SampleDay& day)
{
    DateTime t = AddDays(DateTime {day.year, day.month, day.dayOfMonth}, -1);
    t.hour = 20;
    return t;
}

} // namespace

std::string BuildJrdbOddsText(const SampleDay& day)
{
    return DayText(day, JrdbLine);
}

std::string BuildKolOddsText(const SampleDay& day)
{
    return DayText(day, KolLine);
}

std::vector<OddsArchive> BuildOddsArchives(const SampleWorld& world)
{
    std::vector<OddsArchive> out;
    if (world.days.empty())
        return out;
    const SampleDay& kolDay = world.days.back();
    const SampleDay& jrdbDay = world.days.size() > 1 ? world.days[world.days.size() - 2] : kolDay;

    const std::string key = Yymmdd(jrdbDay);
    out.push_back({"OZ" + key + ".lzh",
                   WriteStoredLha({{"Oz" + key + ".txt", BuildJrdbOddsText(jrdbDay), PublishedAt(jrdbDay)}}, 2),
                   RaceCount(jrdbDay)});
    out.push_back({"j" + Yymmdd(kolDay) + ".lzh",
                   WriteStoredLha({{"kol_ods.kd2", BuildKolOddsText(kolDay), PublishedAt(kolDay)}}, 1),
                   RaceCount(kolDay)});
    return out;
}

std::vector<std::string> WriteOddsArchives(const std::string& dir, const SampleWorld& world)
{
    fs::CreateDirs(dir);
    std::vector<std::string> names;
    for (const OddsArchive& a : BuildOddsArchives(world)) {
        fs::RewriteFile(fs::Join(dir, a.name), a.bytes);
        names.push_back(a.name);
    }
    return names;
}

} // namespace tervan::sample
