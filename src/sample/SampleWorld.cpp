#include "sample/SampleWorld.h"

#include "reference/FixedRecord.h"
#include "reference/ShiftJis.h"
#include "sample/SampleNames.h"
#include "sample/SampleRandom.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

namespace tervan::sample {
namespace {

// ---------------------------------------------------------------------------
// The calendar.
//
// Race days are the two days of every weekend, counted back in weeks from
// today: today and the day before it, then 7 and 8 days back, 14 and 15, and
// so on; the closing weekend of the sample has a third day, two days before
// today (a holiday). Each block of four weeks has its three racecourses, in
// the rotation of the JRA year; the closing weekend falls in the autumn
// meeting of Tokyo, Kyoto and Niigata.

constexpr int kRotationRows = 13;
const char* const kRotation[kRotationRows][3] = {
    {"06", "08", "07"}, // January: Nakayama, Kyoto, Chukyo
    {"05", "08", "10"}, // February: Tokyo, Kyoto, Kokura
    {"06", "09", "07"}, // March
    {"06", "09", "03"}, // April
    {"05", "08", "04"}, // May
    {"05", "09", "02"}, // June
    {"03", "07", "02"}, // July
    {"04", "10", "01"}, // August
    {"06", "09", "01"}, // September
    {"05", "08", "04"}, // October
    {"05", "08", "03"}, // November
    {"06", "09", "07"}, // December
    {"06", "09", "10"}, // late December
};
constexpr int kClosingRow = 9;

struct DayInfo {
    bool raceDay = false;
    int week = 0;          // weeks back from today's weekend
    int order = 0;         // 1.. within the weekend
    int row = 0;           // rotation row
    int weekInBlock = 0;   // 0..3
};

DayInfo Info(long today, long day)
{
    DayInfo info;
    if (day > today)
        return info;
    const long back = today - day;
    info.week = static_cast<int>(back / 7);
    const int offset = static_cast<int>(back % 7);
    if (info.week == 0) {
        info.raceDay = offset <= 2;
        info.order = 3 - offset;
    } else {
        info.raceDay = offset <= 1;
        info.order = 2 - offset;
    }
    const int block = info.week / 4;
    info.row = ((kClosingRow - block) % kRotationRows + kRotationRows) % kRotationRows;
    info.weekInBlock = 3 - info.week % 4;
    return info;
}

std::string CourseOf(const DayInfo& info, int courseIndex)
{
    return kRotation[info.row][courseIndex];
}

int MeetingOf(const DayInfo& info, const std::string& course)
{
    int meeting = 0;
    for (int r = 0; r <= info.row; ++r)
        for (int c = 0; c < 3; ++c)
            if (course == kRotation[r][c])
                ++meeting;
    return std::max(meeting, 1);
}

int MeetingDayOf(const DayInfo& info)
{
    return info.weekInBlock * 2 + info.order;
}

// The latest race day on or before `day` (days before the closing weekend
// only have the two weekend days).
long SnapDown(long today, long day)
{
    for (long d = day; d > day - 8; --d)
        if (Info(today, d).raceDay)
            return d;
    return day - 7;
}

int YearOf(long day)
{
    int y, m, d;
    CivilFromDays(day, y, m, d);
    return y;
}

int MonthOf(long day)
{
    int y, m, d;
    CivilFromDays(day, y, m, d);
    return m;
}

bool LeftHanded(const std::string& course)
{
    return course == "04" || course == "05" || course == "07";
}

int FieldCap(const std::string& course, Surface surface)
{
    if (surface == Surface::Jump)
        return 14;
    if (course == "01")
        return 14;
    if (course == "02" || course == "03")
        return 16;
    return 18;
}

// ---------------------------------------------------------------------------
// The programme of a race day: what each race is. A pure function of the
// seed, the day, the course and the race number, so that runs before the
// sample's race days can be placed in races of the same programme.

struct Plan {
    RaceClass raceClass = RaceClass::Maiden;
    AgeGroup ageGroup = AgeGroup::ThreeUp;
    Surface surface = Surface::Turf;
    bool unraced = false; // 未出走 instead of 新馬
    char grade = ' ';
    char weightType = '4';
    int distance = 1600;
    std::string trackCode;
    int fieldSize = 16;
};

const std::vector<int>& TurfDistances(const std::string& c)
{
    static const std::map<std::string, std::vector<int>> table = {
        {"01", {1200, 1500, 1800, 2000, 2600}}, {"02", {1200, 1800, 2000, 2600}},
        {"03", {1200, 1800, 2000, 2600}},       {"04", {1200, 1400, 1600, 1800, 2000, 2200, 2400}},
        {"05", {1400, 1600, 1800, 2000, 2300, 2400}}, {"06", {1200, 1600, 1800, 2000, 2200, 2500}},
        {"07", {1200, 1400, 1600, 2000, 2200}}, {"08", {1200, 1400, 1600, 1800, 2000, 2200, 2400, 3000}},
        {"09", {1200, 1400, 1600, 1800, 2000, 2200, 2400}}, {"10", {1200, 1800, 2000, 2600}},
    };
    auto it = table.find(c);
    return it != table.end() ? it->second : table.at("05");
}

const std::vector<int>& DirtDistances(const std::string& c)
{
    static const std::map<std::string, std::vector<int>> table = {
        {"01", {1000, 1700, 2400}}, {"02", {1000, 1700, 2400}}, {"03", {1150, 1700, 2400}},
        {"04", {1200, 1800, 2500}}, {"05", {1300, 1400, 1600, 2100}}, {"06", {1200, 1800, 2400}},
        {"07", {1200, 1400, 1800, 1900}}, {"08", {1200, 1400, 1800, 1900}}, {"09", {1200, 1400, 1800, 2000}},
        {"10", {1000, 1700, 2400}},
    };
    auto it = table.find(c);
    return it != table.end() ? it->second : table.at("05");
}

const std::vector<int> kJumpDistances = {2750, 2880, 3000, 3110, 3170, 3200, 3300, 3350, 3570, 3900, 4100, 4250};

Plan PlanRace(std::uint64_t seed, long today, long day, int courseIndex, const std::string& course, int race)
{
    const DayInfo info = Info(today, day);
    const int month = MonthOf(day);
    Rng rng(Hash({seed, static_cast<std::uint64_t>(day), static_cast<std::uint64_t>(courseIndex),
                  static_cast<std::uint64_t>(race), 0x504C414E}));
    Plan p;
    const AgeGroup older = month <= 5 ? AgeGroup::FourUp : AgeGroup::ThreeUp;
    auto young = [&](int variant) {
        if (month >= 10)
            return AgeGroup::Two;
        if (month >= 7)
            return variant % 2 ? AgeGroup::Two : AgeGroup::Three;
        return AgeGroup::Three;
    };
    const bool closingWeek = info.week == 0;
    switch (race) {
    case 1:
        p.raceClass = RaceClass::Maiden, p.ageGroup = young(0), p.surface = Surface::Dirt;
        break;
    case 2:
        p.raceClass = RaceClass::Maiden, p.ageGroup = young(1), p.surface = Surface::Turf;
        break;
    case 3:
        p.raceClass = RaceClass::Maiden, p.ageGroup = young(rng.Int(0, 1));
        p.surface = rng.Chance(0.5) ? Surface::Dirt : Surface::Turf;
        break;
    case 4:
        if (info.order == 1 && courseIndex <= 1)
            p.raceClass = RaceClass::Maiden, p.ageGroup = older, p.surface = Surface::Jump;
        else
            p.raceClass = RaceClass::Maiden, p.ageGroup = young(1), p.surface = Surface::Turf;
        break;
    case 5:
        p.raceClass = RaceClass::Debut, p.ageGroup = month >= 6 ? AgeGroup::Two : AgeGroup::Three;
        p.surface = Surface::Turf;
        break;
    case 6:
        if (month >= 6 || month <= 3)
            p.raceClass = RaceClass::Debut, p.ageGroup = month >= 6 ? AgeGroup::Two : AgeGroup::Three;
        else
            p.raceClass = RaceClass::OneWin, p.ageGroup = AgeGroup::Three;
        p.surface = Surface::Dirt;
        break;
    case 7:
        p.raceClass = RaceClass::OneWin, p.ageGroup = older, p.surface = Surface::Dirt;
        break;
    case 8:
        if (courseIndex == 0 && (info.order == 1 || closingWeek)) {
            p.raceClass = RaceClass::Open, p.ageGroup = older, p.surface = Surface::Jump, p.grade = 'E';
            if (closingWeek)
                p.grade = info.order == 1 ? 'H' : info.order == 2 ? 'G' : 'F';
            else if (rng.Chance(0.12))
                p.grade = rng.Chance(0.6) ? 'H' : 'G';
        } else {
            p.raceClass = RaceClass::TwoWins, p.ageGroup = older;
            p.surface = rng.Chance(0.5) ? Surface::Dirt : Surface::Turf;
        }
        break;
    case 9:
        p.raceClass = RaceClass::OneWin, p.grade = 'E', p.surface = Surface::Turf;
        p.ageGroup = (month <= 5 && courseIndex == 1) ? AgeGroup::Three : older;
        break;
    case 10:
        p.raceClass = courseIndex % 2 == 0 ? RaceClass::ThreeWins : RaceClass::TwoWins;
        p.grade = 'E', p.ageGroup = older;
        p.surface = rng.Chance(0.6) ? Surface::Turf : Surface::Dirt;
        break;
    case 11: {
        p.raceClass = RaceClass::Open, p.ageGroup = older;
        p.surface = rng.Chance(0.8) ? Surface::Turf : Surface::Dirt;
        if (month >= 9 && courseIndex == 2)
            p.ageGroup = AgeGroup::Two;
        else if (month <= 5 && courseIndex == 1)
            p.ageGroup = AgeGroup::Three;
        if (closingWeek) {
            static const char kGrades[3][3] = {{'B', 'E', 'E'}, {'C', 'D', 'E'}, {'A', 'B', 'C'}};
            p.grade = kGrades[std::clamp(info.order, 1, 3) - 1][std::clamp(courseIndex, 0, 2)];
        } else {
            const double u = rng.Real();
            p.grade = u < 0.05 ? 'A' : u < 0.13 ? 'B' : u < 0.30 ? 'C' : u < 0.32 ? 'D' : 'E';
        }
        break;
    }
    default:
        p.raceClass = rng.Chance(0.6) ? RaceClass::OneWin : RaceClass::TwoWins;
        p.ageGroup = older, p.surface = Surface::Dirt;
        break;
    }

    // Distance and track.
    const bool left = LeftHanded(course);
    if (p.surface == Surface::Jump) {
        p.distance = rng.Of(kJumpDistances);
        static const std::vector<std::string> kJumpTracks = {"54", "54", "54", "55", "52", "51", "53", "56", "57", "58", "59"};
        p.trackCode = rng.Of(kJumpTracks);
    } else if (p.surface == Surface::Turf) {
        p.distance = rng.Of(TurfDistances(course));
        if (p.raceClass == RaceClass::Debut || p.ageGroup == AgeGroup::Two)
            p.distance = std::min(p.distance, 2000);
        if (left)
            p.trackCode = (course == "04" && p.distance >= 1600) ? "12" : "11";
        else
            p.trackCode = ((course == "06" || course == "08" || course == "09") && p.distance >= 1600 && rng.Chance(0.5)) ? "18" : "17";
        if (course == "04" && race == 2) { // Niigata's straight course
            p.distance = 1000;
            p.trackCode = "10";
        }
    } else {
        p.distance = rng.Of(DirtDistances(course));
        p.trackCode = left ? "23" : "24";
    }

    // The closing weekend shows the rarer kinds once: a race for horses that
    // never started, and a race on a straight dirt course.
    if (closingWeek && info.order == 2 && courseIndex == 0 && race == 1) {
        p.raceClass = RaceClass::Debut, p.unraced = true, p.ageGroup = AgeGroup::Three;
    }
    if (closingWeek && info.order == 2 && courseIndex == 2 && race == 3) {
        p.surface = Surface::Dirt, p.distance = 1000, p.trackCode = "29";
    }

    // Weight rule.
    const bool youngRace = p.ageGroup == AgeGroup::Two || p.ageGroup == AgeGroup::Three;
    if (p.surface == Surface::Jump) {
        p.weightType = p.grade == 'F' ? '4' : p.raceClass == RaceClass::Open ? '2' : '4';
    } else if (p.grade == 'A') {
        p.weightType = youngRace ? '3' : '4';
    } else if (p.grade == 'B' || p.grade == 'C' || p.grade == 'D') {
        p.weightType = rng.Chance(0.7) ? '2' : '1';
    } else if (p.raceClass == RaceClass::Open) {
        p.weightType = youngRace ? '2' : (rng.Chance(0.6) ? '2' : '1');
    } else if (p.grade == 'E') {
        const double u = rng.Real();
        p.weightType = youngRace ? '3' : u < 0.6 ? '4' : u < 0.85 ? '1' : '2';
    } else {
        p.weightType = youngRace ? '3' : '4';
    }

    // Field size: maiden races fill up, open races are often smaller.
    const int cap = FieldCap(course, p.surface);
    int lo = 9;
    if (p.raceClass == RaceClass::Maiden)
        lo = 12;
    else if (p.raceClass == RaceClass::Open || p.surface == Surface::Jump)
        lo = 8;
    p.fieldSize = std::clamp(rng.Int(lo, cap + 2), 8, cap); // the cap is the commonest size
    return p;
}

std::string ConditionCode(const Plan& p)
{
    switch (p.raceClass) {
    case RaceClass::Debut:
        return p.unraced ? "702" : "701";
    case RaceClass::Maiden:
        return "703";
    case RaceClass::OneWin:
        return "005";
    case RaceClass::TwoWins:
        return "010";
    case RaceClass::ThreeWins:
        return "016";
    case RaceClass::Open:
        return "999";
    }
    return "000";
}

std::string RaceName(const Plan& p, std::uint64_t h, const std::string& course)
{
    const std::string place = Cp932ToUtf8(CoursePlaceName(course, h));
    const char* age = p.ageGroup == AgeGroup::Two     ? "２歳"
                      : p.ageGroup == AgeGroup::Three ? "３歳"
                      : p.ageGroup == AgeGroup::ThreeUp ? "３歳以上"
                                                        : "４歳以上";
    const std::uint64_t k = Mix64(h);
    auto of = [k](std::initializer_list<const char*> items) {
        return *(items.begin() + static_cast<std::ptrdiff_t>(k % items.size()));
    };
    std::string utf8;
    if (p.surface == Surface::Jump) {
        if (p.grade == ' ')
            utf8 = std::string("障害") + age + (p.raceClass == RaceClass::Open ? "オープン" : "未勝利");
        else if (p.grade == 'F')
            utf8 = place + "大障害";
        else
            utf8 = place + of({"ジャンプステークス", "障害ステークス", "ジャンプ"});
    } else if (p.grade == ' ') {
        const char* cls = p.raceClass == RaceClass::Debut      ? (p.unraced ? "未出走" : "新馬")
                          : p.raceClass == RaceClass::Maiden   ? "未勝利"
                          : p.raceClass == RaceClass::OneWin   ? "１勝クラス"
                          : p.raceClass == RaceClass::TwoWins  ? "２勝クラス"
                          : p.raceClass == RaceClass::ThreeWins ? "３勝クラス"
                                                               : "オープン";
        utf8 = std::string(age) + cls;
    } else if (p.grade == 'E' && p.raceClass != RaceClass::Open) {
        utf8 = place + (p.raceClass == RaceClass::ThreeWins ? of({"ステークス", "特別", "ステークス"}) : of({"特別", "特別", "賞"}));
    } else if (p.grade == 'E') {
        utf8 = place + (p.ageGroup == AgeGroup::Two ? of({"２歳ステークス", "ジュニアステークス"})
                                                     : of({"ステークス", "カップ", "賞", "ステークス"}));
    } else if (p.grade == 'A') {
        utf8 = place + (p.ageGroup == AgeGroup::Two ? of({"ジュベナイル", "２歳優駿"}) : of({"優駿", "大賞典", "記念", "マイル", "スプリント"}));
    } else {
        utf8 = place + (p.ageGroup == AgeGroup::Two ? of({"２歳ステークス", "杯２歳ステークス"})
                                                     : of({"記念", "ステークス", "杯", "カップ", "大賞典", "ハンデキャップ"}));
    }
    return Utf8ToCp932(utf8);
}

// Prize money of the first five in hundreds of yen.
std::array<int, 5> Prizes(const Plan& p)
{
    int first = 0; // in ten-thousands of yen
    if (p.surface == Surface::Jump)
        first = p.grade == 'F' ? 6600 : p.grade == 'G' ? 4200 : p.grade == 'H' ? 3300 : p.raceClass == RaceClass::Open ? 1700 : 1000;
    else if (p.grade == 'A')
        first = p.ageGroup == AgeGroup::Two ? 7000 : 20000;
    else if (p.grade == 'B')
        first = 6700;
    else if (p.grade == 'C')
        first = 4100;
    else if (p.grade == 'D')
        first = 3000;
    else
        switch (p.raceClass) {
        case RaceClass::Debut: first = 720; break;
        case RaceClass::Maiden: first = 560; break;
        case RaceClass::OneWin: first = p.grade == 'E' ? 850 : 780; break;
        case RaceClass::TwoWins: first = p.grade == 'E' ? 1180 : 1090; break;
        case RaceClass::ThreeWins: first = 1840; break;
        case RaceClass::Open: first = 2400; break;
        }
    const double ratio[5] = {1.0, 0.4, 0.25, 0.15, 0.1};
    std::array<int, 5> out {};
    for (int i = 0; i < 5; ++i)
        out[static_cast<std::size_t>(i)] = static_cast<int>(std::lround(first * ratio[i])) * 100;
    return out;
}

// ---------------------------------------------------------------------------
// Odds ladder of a race before the sample: the odds of each popularity,
// increasing, made from the race's hash.
int LadderOdds(std::uint64_t h, int popularity)
{
    double odds = 1.6 + 2.4 * Rng(h).Real();
    for (int p = 2; p <= popularity; ++p)
        odds *= 1.1 + 0.35 * Rng(Hash({h, static_cast<std::uint64_t>(p)})).Real();
    return std::clamp(static_cast<int>(std::lround(odds * 10)), 11, 9999);
}

int RaceTimeTenths(Surface surface, int distance, char going, Rng& rng)
{
    double speed;
    if (surface == Surface::Turf)
        speed = 16.9 - (distance - 1200) / 1000.0 * 0.55;
    else if (surface == Surface::Dirt)
        speed = 16.2 - (distance - 1200) / 1000.0 * 0.5;
    else
        speed = 13.9;
    if (going >= '3')
        speed -= 0.25;
    const double seconds = distance / speed + rng.Normal() * 0.6;
    return static_cast<int>(std::lround(seconds * 10));
}

// Days until a horse runs again: mostly two to seven weeks, now and then a
// rest of eight weeks or (much) more.
long NextInterval(Rng& rng)
{
    if (rng.Chance(0.16))
        return 7L * rng.Int(8, 26);
    return 7L * rng.Int(2, 7);
}

// ---------------------------------------------------------------------------

class Generator {
public:
    explicit Generator(const SampleOptions& options)
        : m_rng(options.seed)
        , m_seed(options.seed)
    {
        m_world.options = options;
        m_world.today = DaysFromCivil(options.today.year, options.today.month, options.today.day);
    }

    SampleWorld Run()
    {
        MakePeople();
        MakeCalendar();
        for (SampleDay& day : m_world.days)
            RunDay(day);
        std::stable_sort(m_world.pastRuns.begin(), m_world.pastRuns.end(), [](const PastRun& a, const PastRun& b) {
            return a.day != b.day ? a.day < b.day : a.Key() < b.Key();
        });
        return std::move(m_world);
    }

private:
    long Today() const { return m_world.today; }

    void MakePeople()
    {
        std::unordered_set<std::string> used;
        // East (1) and west (2) alternate through each list.
        auto person = [&](int i, int code, int nameLength) {
            Person p;
            p.code = FormatText("%05d", code);
            p.name = MakePersonShortName(m_rng, nameLength, used);
            p.eastWest = i % 2 ? '2' : '1';
            return p;
        };
        for (int i = 0; i < 84; ++i) {
            Person p = person(i, 1001 + i * 7, m_rng.Chance(0.7) ? 4 : 3);
            p.skill = m_rng.Normal() * 0.3;
            m_world.jockeys.push_back(p);
        }
        for (int i = 0; i < 36; ++i) {
            Person p = person(i, 1800 + i * 3, m_rng.Chance(0.7) ? 4 : 3);
            p.skill = m_rng.Normal() * 0.2;
            m_world.jumpJockeys.push_back(p);
        }
        for (int i = 0; i < 110; ++i)
            m_world.trainers.push_back(person(i, 1010 + i * 5, m_rng.Chance(0.6) ? 3 : 4));
        for (int i = 0; i < 320; ++i) {
            Owner o;
            o.code = FormatText("%06d", 100001 + i * 13);
            o.name = MakeOwnerName(m_rng);
            o.silks = MakeSilks(m_rng);
            m_world.owners.push_back(o);
        }
    }

    void MakeCalendar()
    {
        const SampleOptions& o = m_world.options;
        std::vector<long> newestFirst;
        const long t = Today();
        for (long d : {t, t - 1, t - 2})
            if (static_cast<int>(newestFirst.size()) < o.days)
                newestFirst.push_back(d);
        for (long w = 1; static_cast<int>(newestFirst.size()) < o.days; ++w) {
            newestFirst.push_back(t - 7 * w);
            if (static_cast<int>(newestFirst.size()) < o.days)
                newestFirst.push_back(t - 7 * w - 1);
        }
        std::reverse(newestFirst.begin(), newestFirst.end());
        m_firstDay = newestFirst.front();
        for (long d : newestFirst) {
            SampleDay day;
            day.day = d;
            CivilFromDays(d, day.year, day.month, day.dayOfMonth);
            day.isToday = d == t;
            const DayInfo info = Info(t, d);
            int count = o.courses;
            if (count == 0)
                count = (info.week == 0 && info.order == 1) ? 2 : 3;
            for (int c = 0; c < count; ++c)
                day.courses.push_back({CourseOf(info, c), {}});
            m_world.days.push_back(std::move(day));
        }
    }

    // ---- horses ----

    bool Fits(const SampleHorse& h, const Plan& p, long day) const
    {
        if (h.jumper != (p.surface == Surface::Jump))
            return false;
        if (h.lastRun != 0 && h.lastRun > day - 13)
            return false;
        if (h.nextDue > day)
            return false;
        const int age = YearOf(day) - h.birthYear;
        switch (p.ageGroup) {
        case AgeGroup::Two:
            if (age != 2) return false;
            break;
        case AgeGroup::Three:
            if (age != 3) return false;
            break;
        case AgeGroup::ThreeUp:
            if (age < 3 || age > 9) return false;
            break;
        case AgeGroup::FourUp:
            if (age < 4 || age > 9) return false;
            break;
        }
        switch (p.raceClass) {
        case RaceClass::Debut:
            return h.starts == 0;
        case RaceClass::Maiden:
            return (h.starts > 0 || h.jumper) && h.wins == 0;
        case RaceClass::OneWin:
            return h.wins == 1;
        case RaceClass::TwoWins:
            return h.wins == 2;
        case RaceClass::ThreeWins:
            return h.wins == 3;
        case RaceClass::Open:
            if (h.jumper)
                return h.wins >= 1;
            return (p.ageGroup == AgeGroup::Two || p.ageGroup == AgeGroup::Three) ? h.wins >= 1 : h.wins >= 4;
        }
        return false;
    }

    int AgeFor(const Plan& p)
    {
        if (p.surface == Surface::Jump)
            return m_rng.Int(4, 8);
        switch (p.ageGroup) {
        case AgeGroup::Two:
            return 2;
        case AgeGroup::Three:
            return 3;
        case AgeGroup::ThreeUp:
            if (p.raceClass == RaceClass::Open)
                return 3 + m_rng.Pick({0.12, 0.3, 0.3, 0.16, 0.12});
            return 3 + m_rng.Pick({0.35, 0.3, 0.2, 0.1, 0.05});
        case AgeGroup::FourUp:
            return 4 + m_rng.Pick({0.4, 0.3, 0.18, 0.12});
        }
        return 4;
    }

    std::string NewPedigree(int birthYear)
    {
        const int serial = m_serials[birthYear]++;
        char buf[40];
        std::snprintf(buf, sizeof buf, "%04d1%05d", birthYear, std::min(m_world.options.firstPedigreeSerial + serial, 99999));
        return buf;
    }

    int PickPerson(const std::vector<Person>& people, char eastWest)
    {
        for (;;) {
            const int i = m_rng.Int(0, static_cast<int>(people.size()) - 1);
            if (people[static_cast<std::size_t>(i)].eastWest == eastWest || m_rng.Chance(0.25))
                return i;
        }
    }

    // A horse made for a race it fits, with its runs before the sample.
    int NewHorse(const Plan& p, const std::string& course, long raceDay)
    {
        SampleHorse h;
        const int age = AgeFor(p);
        h.birthYear = YearOf(raceDay) - age;
        h.jumper = p.surface == Surface::Jump;
        h.sex = m_rng.Chance(0.44) ? '2' : '1';
        if (h.sex == '1' && age >= 4 && m_rng.Chance(h.jumper ? 0.3 : 0.1))
            h.sex = '3';
        h.name = MakeHorseName(m_rng, h.sex, m_names);
        h.pedigree = NewPedigree(h.birthYear);
        static const std::vector<double> kCoatWeights = {0.2, 0.03, 0.4, 0.2, 0.07, 0.03, 0.07};
        char coat[16];
        std::snprintf(coat, sizeof coat, "%02d", m_rng.Pick(kCoatWeights) + 1);
        h.coat = coat;
        const bool eastCourse = course == "03" || course == "04" || course == "05" || course == "06";
        const bool westCourse = course == "07" || course == "08" || course == "09" || course == "10";
        const double eastShare = eastCourse ? 0.72 : westCourse ? 0.28 : 0.5;
        h.eastWest = m_rng.Chance(eastShare) ? '1' : '2';
        h.trainer = PickPerson(m_world.trainers, h.eastWest);
        h.owner = m_rng.Int(0, static_cast<int>(m_world.owners.size()) - 1);
        h.jockey = PickPerson(h.jumper ? m_world.jumpJockeys : m_world.jockeys, h.eastWest);
        h.ability = m_rng.Normal();
        h.baseBodyWeight = (h.sex == '2' ? 444 : 478) + 2 * static_cast<int>(std::lround(m_rng.Normal() * 11));
        h.lastBodyWeight = h.baseBodyWeight;

        const int index = static_cast<int>(m_world.horses.size());
        m_world.horses.push_back(h);
        MakeHistory(index, p, raceDay);
        return index;
    }

    int WinsFor(const Plan& p)
    {
        const bool young = p.ageGroup == AgeGroup::Two || p.ageGroup == AgeGroup::Three;
        if (p.surface == Surface::Jump)
            return p.raceClass == RaceClass::Open ? m_rng.Int(1, 3) : 0;
        switch (p.raceClass) {
        case RaceClass::Debut:
        case RaceClass::Maiden:
            return 0;
        case RaceClass::OneWin:
            return 1;
        case RaceClass::TwoWins:
            return 2;
        case RaceClass::ThreeWins:
            return 3;
        case RaceClass::Open:
            return young ? m_rng.Int(1, 2) : m_rng.Int(4, 7);
        }
        return 0;
    }

    void MakeHistory(int index, const Plan& p, long raceDay)
    {
        if (p.raceClass == RaceClass::Debut)
            return;
        SampleHorse& h = m_world.horses[static_cast<std::size_t>(index)];
        int wins = WinsFor(p);
        int runs = wins;
        switch (p.raceClass) {
        case RaceClass::Maiden: runs += m_rng.Int(1, 5); break;
        case RaceClass::OneWin: runs += m_rng.Int(1, 5); break;
        case RaceClass::TwoWins: runs += m_rng.Int(2, 5); break;
        case RaceClass::ThreeWins: runs += m_rng.Int(2, 5); break;
        default: runs += m_rng.Int(2, 4); break;
        }
        runs = std::min(runs, kMaxHistory);

        // Dates, from the latest back. Runs before the sample lie before its
        // first race day, so that they never meet its races.
        const long earliest = DaysFromCivil(h.birthYear + 2, 6, 1);
        long latest = std::min(raceDay - 14, m_firstDay - 1);
        long gap;
        const double u = m_rng.Real();
        if (u < 0.8)
            gap = 7L * m_rng.Int(2, 6) + m_rng.Int(-1, 1);
        else if (u < 0.93)
            gap = 7L * m_rng.Int(8, 16);
        else
            gap = 7L * m_rng.Int(17, 40);
        long cur = SnapDown(Today(), std::min(raceDay - gap, latest));
        std::vector<long> dates;
        while (static_cast<int>(dates.size()) < runs && cur >= earliest) {
            dates.push_back(cur);
            long g = m_rng.Chance(0.15) ? 7L * m_rng.Int(8, 30) : 7L * m_rng.Int(2, 7) + m_rng.Int(-1, 1);
            cur = SnapDown(Today(), cur - std::max(g, 7L));
        }
        std::reverse(dates.begin(), dates.end());
        if (dates.empty())
            return;
        wins = std::min<int>(wins, static_cast<int>(dates.size()));
        // Which runs were won: never the first start of a maiden-to-be.
        std::vector<int> order(dates.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<int>(i);
        m_rng.Shuffle(order);
        std::vector<bool> won(dates.size(), false);
        for (int i = 0; i < wins; ++i)
            won[static_cast<std::size_t>(order[static_cast<std::size_t>(i)])] = true;

        int body = h.baseBodyWeight - 6;
        for (std::size_t i = 0; i < dates.size(); ++i) {
            const int newBody = std::clamp(body + 2 * m_rng.Int(-4, 5), 380, 580);
            if (PlacePastRun(index, dates[i], won[i], newBody, i == 0 ? 0 : newBody - body)) {
                body = newBody;
                h.starts++;
                if (won[i])
                    h.wins++;
                h.lastRun = dates[i];
            }
        }
        h.lastBodyWeight = body;
        h.nextDue = 0;
    }

    struct PhantomRace {
        int fieldSize = 0;
        std::uint32_t numbers = 0, places = 0, pops = 0;
    };

    static int NearestFree(std::uint32_t used, int target, int lo, int hi)
    {
        for (int delta = 0; delta <= hi - lo; ++delta) {
            for (int s : {target - delta, target + delta})
                if (s >= lo && s <= hi && !(used & (1u << s)))
                    return s;
        }
        return 0;
    }

    // Places a run of a horse before the sample in a race of that day.
    bool PlacePastRun(int index, long day, bool win, int bodyWeight, int bodyDiff)
    {
        const SampleHorse& h = m_world.horses[static_cast<std::size_t>(index)];
        const DayInfo info = Info(Today(), day);
        for (int attempt = 0; attempt < 16; ++attempt) {
            const int ci = m_rng.Int(0, 2);
            const int race = h.jumper ? (m_rng.Chance(0.5) ? 4 : 8) : m_rng.Int(1, 12);
            const std::uint64_t key = (static_cast<std::uint64_t>(day) << 16) | (static_cast<std::uint64_t>(ci) << 8) | race;
            PhantomRace& pr = m_phantoms[key];
            const std::string course = CourseOf(info, ci);
            const Plan plan = PlanRace(m_seed, Today(), day, ci, course, race);
            if (pr.fieldSize == 0)
                pr.fieldSize = h.jumper ? std::min(plan.fieldSize, 14) : plan.fieldSize;
            const int n = pr.fieldSize;
            int place;
            if (win) {
                if (pr.places & 2u)
                    continue;
                place = 1;
            } else {
                const double strength = 1.0 / (1.0 + std::exp(1.3 * h.ability + 0.8 * m_rng.Normal()));
                const int target = 2 + static_cast<int>(strength * (n - 1));
                place = NearestFree(pr.places, std::clamp(target, 2, n), 2, n);
                if (place == 0)
                    continue;
            }
            const int number = NearestFree(pr.numbers, m_rng.Int(1, n), 1, n);
            if (number == 0)
                continue;
            const int popTarget = std::clamp(place + static_cast<int>(std::lround(m_rng.Normal() * 3.0)), 1, n);
            const int pop = NearestFree(pr.pops, popTarget, 1, n);
            if (pop == 0)
                continue;
            pr.places |= 1u << place;
            pr.numbers |= 1u << number;
            pr.pops |= 1u << pop;

            PastRun run;
            run.day = day;
            run.course = course;
            run.meeting = MeetingOf(info, course);
            run.meetingDay = MeetingDayOf(info);
            run.raceNumber = race;
            run.horse = index;
            run.fieldSize = n;
            run.horseNumber = number;
            run.bracket = BracketOf(number, n);
            run.place = place;
            run.popularity = pop;
            run.oddsTenths = LadderOdds(Hash({m_seed, key, 0x4F444453}), pop);
            run.age = YearOf(day) - h.birthYear;
            run.weightCarried = (h.jumper ? 600 : 570) - (h.sex == '2' ? 20 : 0) - (run.age <= 3 ? 20 : 0) + 5 * m_rng.Int(-2, 2);
            run.jockey = m_rng.Chance(0.75) ? h.jockey : PickPerson(h.jumper ? m_world.jumpJockeys : m_world.jockeys, h.eastWest);
            run.bodyWeight = bodyWeight;
            run.bodyWeightDiff = bodyDiff;
            Rng timeRng(Hash({m_seed, key, 0x54494D45}));
            run.timeTenths = RaceTimeTenths(plan.surface, plan.distance, '1', timeRng) + (place - 1) * 3 + m_rng.Int(0, 2);
            m_world.pastRuns.push_back(std::move(run));
            return true;
        }
        return false;
    }

    // ---- race days ----

    void RunDay(SampleDay& day)
    {
        const DayInfo info = Info(Today(), day.day);
        const int courseCount = static_cast<int>(day.courses.size());
        for (int ci = 0; ci < courseCount; ++ci) {
            SampleCourseDay& cd = day.courses[static_cast<std::size_t>(ci)];
            Rng weatherRng(Hash({m_seed, static_cast<std::uint64_t>(day.day), static_cast<std::uint64_t>(ci), 0x57455448}));
            const int wi = weatherRng.Pick({0.58, 0.3, 0.08, 0.04});
            const char weather = "1234"[wi];
            const char turfGoing = wi >= 2 ? "234"[weatherRng.Int(0, 2)] : (weatherRng.Chance(0.12) ? '2' : '1');
            const char dirtGoing = wi >= 2 ? "234"[weatherRng.Int(0, 2)] : (weatherRng.Chance(0.2) ? '2' : '1');
            for (int r = 1; r <= 12; ++r) {
                SampleRace race;
                race.day = day.day;
                race.course = cd.course;
                race.courseIndex = ci;
                race.meeting = MeetingOf(info, cd.course);
                race.meetingDay = MeetingDayOf(info);
                race.raceNumber = r;
                race.weather = weather;
                race.turfGoing = turfGoing;
                race.dirtGoing = dirtGoing;
                RunRace(race, courseCount);
                cd.races.push_back(std::move(race));
            }
        }
    }

    int WeightFor(const SampleRace& race, const SampleHorse& h, int age)
    {
        const bool filly = h.sex == '2';
        int w;
        if (race.surface == Surface::Jump) {
            w = filly ? 580 : 600;
            if (race.weightType == '2')
                w += 10 * std::min(h.wins, 3);
            return w;
        }
        switch (race.weightType) {
        case '3': // by age
            w = age == 2 ? (filly ? 540 : 550) : (filly ? 550 : 570);
            break;
        case '1': { // handicap
            const int half = static_cast<int>(std::lround((55.0 + h.ability * 1.8) * 2));
            w = std::clamp(half, 100, 119) * 5;
            if (filly)
                w -= 10;
            return w;
        }
        default: // set weights, with allowance for winners under '2'
            w = age == 2 ? (filly ? 540 : 550) : age == 3 ? (filly ? 530 : 550) : (filly ? 560 : 580);
            if (race.ageGroup == AgeGroup::Three)
                w = filly ? 550 : 570;
            if (race.weightType == '2') // allowance races: winners of more carry a little more
                w += 10 * std::clamp(h.wins - (race.raceClass == RaceClass::Open ? 4 : 2), 0, 2);
            break;
        }
        return w;
    }

    void RunRace(SampleRace& race, int courseCount)
    {
        const Plan p = PlanRace(m_seed, Today(), race.day, race.courseIndex, race.course, race.raceNumber);
        const std::uint64_t h = Hash({m_seed, static_cast<std::uint64_t>(race.day),
                                      static_cast<std::uint64_t>(race.courseIndex), static_cast<std::uint64_t>(race.raceNumber)});
        race.raceClass = p.raceClass;
        race.ageGroup = p.ageGroup;
        race.surface = p.surface;
        race.grade = p.grade;
        race.weightType = p.weightType;
        race.distance = p.distance;
        race.trackCode = p.trackCode;
        race.conditionCode = ConditionCode(p);
        race.name = RaceName(p, h, race.course);
        race.prizes = Prizes(p);
        if (p.grade != ' ')
            race.specialNumber = 100 + static_cast<int>(Mix64(h ^ 0x5350) % 900);
        if (p.grade != ' ' && p.grade != 'E')
            race.edition = 10 + static_cast<int>(Mix64(h ^ 0x4544) % 60);
        static const int kPostOffsets[12] = {0, 30, 60, 90, 140, 170, 200, 230, 265, 300, 335, 380};
        const int minutes = 9 * 60 + 45 + 10 * race.courseIndex + kPostOffsets[race.raceNumber - 1];
        race.postTime = (minutes / 60) * 100 + minutes % 60;

        // Runners: horses that are due first, then new ones.
        const int n = p.fieldSize;
        std::vector<std::pair<std::pair<long, std::uint64_t>, int>> due;
        for (std::size_t i = 0; i < m_world.horses.size(); ++i)
            if (Fits(m_world.horses[i], p, race.day))
                due.push_back({{m_world.horses[i].nextDue, Mix64(h ^ i)}, static_cast<int>(i)});
        std::sort(due.begin(), due.end());
        std::vector<int> field;
        for (const auto& d : due) {
            if (static_cast<int>(field.size()) >= n)
                break;
            field.push_back(d.second);
        }
        while (static_cast<int>(field.size()) < n)
            field.push_back(NewHorse(p, race.course, race.day));
        m_rng.Shuffle(field); // the draw

        // Jockeys of this course today.
        const bool jump = p.surface == Surface::Jump;
        const std::vector<Person>& people = jump ? m_world.jumpJockeys : m_world.jockeys;
        std::vector<bool> taken(people.size(), false);
        auto atThisCourse = [&](int j) {
            return courseCount <= 1 ||
                   static_cast<int>(Hash({m_seed, static_cast<std::uint64_t>(race.day), static_cast<std::uint64_t>(j), jump ? 1u : 0u}) %
                                    static_cast<std::uint64_t>(courseCount)) == race.courseIndex;
        };

        race.runners.resize(static_cast<std::size_t>(n));
        std::vector<double> strength(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            SampleRunner& r = race.runners[static_cast<std::size_t>(i)];
            SampleHorse& horse = m_world.horses[static_cast<std::size_t>(field[static_cast<std::size_t>(i)])];
            r.horse = field[static_cast<std::size_t>(i)];
            r.horseNumber = i + 1;
            r.bracket = BracketOf(i + 1, n);
            r.age = YearOf(race.day) - horse.birthYear;
            r.weightCarried = WeightFor(race, horse, r.age);
            int jockey = horse.jockey;
            if (taken[static_cast<std::size_t>(jockey)] || !atThisCourse(jockey)) {
                jockey = -1;
                for (int attempt = 0; attempt < 400 && jockey < 0; ++attempt) {
                    const int j = m_rng.Int(0, static_cast<int>(people.size()) - 1);
                    if (!taken[static_cast<std::size_t>(j)] && (attempt > 200 || atThisCourse(j)))
                        jockey = j;
                }
                if (jockey < 0)
                    for (std::size_t j = 0; j < taken.size() && jockey < 0; ++j)
                        if (!taken[j])
                            jockey = static_cast<int>(j);
            }
            taken[static_cast<std::size_t>(jockey)] = true;
            r.jockey = jockey;
            r.blinkers = (Mix64(static_cast<std::uint64_t>(r.horse) ^ m_seed) % 10) == 0;
            r.firstStart = horse.starts == 0;
            if (r.firstStart) {
                r.bodyWeight = horse.lastBodyWeight;
                r.bodyWeightDiff = 0;
            } else {
                r.bodyWeight = std::clamp(horse.lastBodyWeight + 2 * m_rng.Int(-4, 5), 380, 580);
                r.bodyWeightDiff = r.bodyWeight - horse.lastBodyWeight;
            }
            strength[static_cast<std::size_t>(i)] =
                horse.ability + 0.5 * people[static_cast<std::size_t>(jockey)].skill + 0.35 * m_rng.Normal();
        }

        // Market: win probabilities, odds, popularity.
        double top = *std::max_element(strength.begin(), strength.end());
        std::vector<double> prob(static_cast<std::size_t>(n));
        double sum = 0;
        for (int i = 0; i < n; ++i)
            sum += prob[static_cast<std::size_t>(i)] = std::exp(1.05 * (strength[static_cast<std::size_t>(i)] - top));
        for (int i = 0; i < n; ++i) {
            prob[static_cast<std::size_t>(i)] /= sum;
            SampleRunner& r = race.runners[static_cast<std::size_t>(i)];
            r.oddsTenths = std::clamp(static_cast<int>(std::lround(8.0 / prob[static_cast<std::size_t>(i)])), 11, 9999);
            r.forecastOddsTenths =
                std::clamp(static_cast<int>(std::lround(r.oddsTenths * std::exp(0.3 * m_rng.Normal()))), 11, 9999);
        }
        std::vector<int> byOdds(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            byOdds[static_cast<std::size_t>(i)] = i;
        std::stable_sort(byOdds.begin(), byOdds.end(), [&](int a, int b) {
            return race.runners[static_cast<std::size_t>(a)].oddsTenths < race.runners[static_cast<std::size_t>(b)].oddsTenths;
        });
        for (int k = 0; k < n; ++k)
            race.runners[static_cast<std::size_t>(byOdds[static_cast<std::size_t>(k)])].popularity = k + 1;

        // The race: finishing order drawn by the win probabilities.
        std::vector<int> order;
        std::vector<double> left = prob;
        for (int k = 0; k < n; ++k) {
            double total = 0;
            for (double v : left)
                total += v;
            double x = m_rng.Real() * total;
            int pick = -1;
            for (int i = 0; i < n; ++i) {
                if (left[static_cast<std::size_t>(i)] <= 0)
                    continue;
                pick = i;
                if (x < left[static_cast<std::size_t>(i)])
                    break;
                x -= left[static_cast<std::size_t>(i)];
            }
            order.push_back(pick);
            left[static_cast<std::size_t>(pick)] = 0;
        }
        int deadHeatAt = 0; // a dead heat of positions k and k + 1
        if (m_rng.Chance(1.0 / 22))
            deadHeatAt = 1 + m_rng.Pick({0.25, 0.25, 0.5});
        const char going = race.surface == Surface::Dirt ? race.dirtGoing : race.turfGoing;
        int time = RaceTimeTenths(race.surface, race.distance, going, m_rng);
        int place = 1;
        for (int k = 0; k < n; ++k) {
            SampleRunner& r = race.runners[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])];
            const bool tiedWithPrevious = deadHeatAt != 0 && k == deadHeatAt;
            if (k > 0 && !tiedWithPrevious) {
                place = k + 1;
                time += k < 5 ? m_rng.Int(0, 3) : m_rng.Int(1, 6);
            }
            r.place = place;
            r.arrival = k + 1;
            r.deadHeat = deadHeatAt != 0 && (k == deadHeatAt - 1 || k == deadHeatAt);
            r.timeTenths = time;
            const int base3f = race.surface == Surface::Turf ? 338 : race.surface == Surface::Dirt ? 372 : 0;
            r.last3fTenths = base3f ? base3f + m_rng.Int(-12, 14) + std::min(k, 10) : 0;
        }
        for (SampleRunner& r : race.runners) {
            if (r.place <= 5) {
                r.prize = race.prizes[static_cast<std::size_t>(r.place - 1)];
                if (r.deadHeat && r.place < 5)
                    r.prize = (race.prizes[static_cast<std::size_t>(r.place - 1)] + race.prizes[static_cast<std::size_t>(r.place)]) / 2;
            }
        }
        // Positions at the corners: by running style, drifting to the finish.
        const int corners = race.surface == Surface::Jump ? 4 : race.distance <= 1400 ? 2 : 4;
        std::vector<double> style(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            const SampleRunner& r = race.runners[static_cast<std::size_t>(i)];
            style[static_cast<std::size_t>(i)] = static_cast<double>(Mix64(static_cast<std::uint64_t>(r.horse) ^ 0x5354) % 1000) / 1000.0;
        }
        for (int c = 0; c < 4; ++c) {
            if (c < 4 - corners)
                continue;
            const double w = (c + 1) / 5.0;
            std::vector<std::pair<double, int>> pos;
            for (int i = 0; i < n; ++i)
                pos.push_back({(1 - w) * style[static_cast<std::size_t>(i)] * n + w * race.runners[static_cast<std::size_t>(i)].arrival +
                                   m_rng.Real() * 2,
                               i});
            std::sort(pos.begin(), pos.end());
            for (int k = 0; k < n; ++k)
                race.runners[static_cast<std::size_t>(pos[static_cast<std::size_t>(k)].second)].corners[static_cast<std::size_t>(c)] = k + 1;
        }

        ComputePayouts(race, Hash({m_seed, h, 0x5041}));

        // The horses carry on.
        for (const SampleRunner& r : race.runners) {
            SampleHorse& horse = m_world.horses[static_cast<std::size_t>(r.horse)];
            horse.starts++;
            if (r.place == 1)
                horse.wins++;
            horse.lastRun = race.day;
            horse.lastBodyWeight = r.bodyWeight;
            horse.nextDue = race.day + NextInterval(m_rng);
        }
    }

    static constexpr int kMaxHistory = 8;

    SampleWorld m_world;
    Rng m_rng;
    std::uint64_t m_seed;
    long m_firstDay = 0;
    std::unordered_set<std::string> m_names;
    std::map<int, int> m_serials;
    std::unordered_map<std::uint64_t, PhantomRace> m_phantoms;
};

std::string KeyText(long day, const std::string& course, int meeting, int meetingDay, int race)
{
    int y, m, d;
    CivilFromDays(day, y, m, d);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d%.2s%02d%02d%02d", y, m, d, course.c_str(), meeting % 100, meetingDay % 100,
                  race % 100);
    return buf;
}

} // namespace

std::string PastRun::Key() const
{
    return KeyText(day, course, meeting, meetingDay, raceNumber);
}

std::string SampleRace::Key() const
{
    return KeyText(day, course, meeting, meetingDay, raceNumber);
}

std::string SampleRace::TypeCode() const
{
    if (surface == Surface::Jump)
        return ageGroup == AgeGroup::FourUp ? "19" : "18";
    switch (ageGroup) {
    case AgeGroup::Two:
        return "11";
    case AgeGroup::Three:
        return "12";
    case AgeGroup::ThreeUp:
        return "13";
    case AgeGroup::FourUp:
        return "14";
    }
    return "13";
}

const Person& SampleWorld::Jockey(const SampleRace& race, const SampleRunner& r) const
{
    const std::vector<Person>& people = race.surface == Surface::Jump ? jumpJockeys : jockeys;
    return people[static_cast<std::size_t>(r.jockey)];
}

std::string CheckOptions(const SampleOptions& o)
{
    if (!IsCalendarDate(o.today.year, o.today.month, o.today.day) || o.today.year < 1986 || o.today.year > 9000)
        return "today is not a calendar date between 1986 and 9000";
    if (o.days < 1 || o.days > 400)
        return "days must be 1 to 400";
    if (o.courses < 0 || o.courses > 3)
        return "courses must be 1 to 3";
    if (o.firstPedigreeSerial < 100 || o.firstPedigreeSerial > 99999)
        return "the first pedigree serial must be 100 to 99999";
    return {};
}

SampleWorld BuildSampleWorld(const SampleOptions& options)
{
    const std::string problem = CheckOptions(options);
    if (!problem.empty())
        throw std::invalid_argument(problem);
    return Generator(options).Run();
}

int BracketOf(int horseNumber, int fieldSize)
{
    if (horseNumber < 1 || horseNumber > fieldSize || fieldSize > 18)
        return 0;
    if (fieldSize <= 8)
        return horseNumber;
    const int base = fieldSize / 8, extra = fieldSize % 8;
    // Brackets 1 .. 8 - extra hold `base` horses, the outer ones one more.
    int first = 1;
    for (int b = 1; b <= 8; ++b) {
        const int count = base + (b > 8 - extra ? 1 : 0);
        if (horseNumber < first + count)
            return b;
        first += count;
    }
    return 8;
}

int WeekdayCode(long day)
{
    // 1970-01-01 was a Thursday.
    const int wd = static_cast<int>(((day % 7) + 7 + 4) % 7); // 0 Sunday .. 6 Saturday
    static const int kCodes[7] = {2, 4, 5, 6, 7, 8, 1};
    return kCodes[wd];
}

} // namespace tervan::sample
