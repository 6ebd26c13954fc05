// The made-up racing world behind the sample feed.
//
// A sample is a run of race days ending today, each with two or three JRA
// racecourses of twelve races. Every race has its runners (horses drawn from
// a population that grows as needed), their brackets by the JRA rule for the
// field size, weights, jockeys, final odds and popularity, the finishing
// order with an occasional dead heat, and the payouts that follow from it.
// Horses come with histories of earlier runs going back a year and more,
// with rests of eight weeks and longer, so that the rest-interval maxims of
// the program have something to find.
//
// Everything is a pure function of the options: the same options give the
// same world, and so the same feed, byte for byte. The world is kept whole in
// memory so that other writers (forecast odds archives, for instance) can use
// the same races, runners and odds.
#pragma once

#include "platform/Clock.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tervan::sample {

struct SampleOptions {
    std::uint64_t seed = 1;
    DateTime today;  // only the date is used; the last race day
    int days = 3;    // race days, the last one today (1..400)
    int courses = 0; // racecourses per day (1..3); 0: two on the first day of the sample's
                     // closing three-day weekend, three on every other day
    // The horses' pedigree numbers count on from this within each birth year,
    // so that worlds made to lie side by side in one feed keep their horses
    // apart (100..99999).
    int firstPedigreeSerial = 101;
};

// Why options cannot make a sample (empty when they can): an English text for
// the command line.
std::string CheckOptions(const SampleOptions& options);

enum class Surface { Turf, Dirt, Jump };

// Class of a race, by the wins its runners have.
enum class RaceClass { Debut, Maiden, OneWin, TwoWins, ThreeWins, Open };

// Ages a race is open to.
enum class AgeGroup { Two, Three, ThreeUp, FourUp };

struct Person {
    std::string code;  // 5 digits
    std::string name;  // short name, CP932, at most 8 bytes
    char eastWest = '1'; // '1' Miho (east), '2' Ritto (west)
    double skill = 0;
};

struct Owner {
    std::string code;  // 6 digits
    std::string name;  // CP932
    std::string silks; // CP932
};

struct SampleHorse {
    std::string pedigree; // 血統登録番号: birth year + "1" + 5 digits
    std::string name;     // CP932 katakana, at most 18 bytes
    char sex = '1';       // '1' colt/horse, '2' filly/mare, '3' gelding
    int birthYear = 0;
    std::string coat;     // 毛色コード "01"-"07"
    char eastWest = '1';
    int trainer = 0;      // index into SampleWorld::trainers
    int owner = 0;        // index into SampleWorld::owners
    int jockey = 0;       // usual jockey, index into SampleWorld::jockeys (or jumpJockeys)
    double ability = 0;
    bool jumper = false;  // runs jump races only
    int baseBodyWeight = 470;
    // State while the world is generated (the end state afterwards).
    int wins = 0;
    int starts = 0;
    long lastRun = 0;     // day number of the last run, 0 = none
    long nextDue = 0;     // day number from which it may run again
    int lastBodyWeight = 0;
};

// A run of a horse before the race days of the sample. Only its final runner
// record is part of the feed (for the horse history files); the other runners
// of that race are not.
struct PastRun {
    long day = 0;
    std::string course;
    int meeting = 0, meetingDay = 0, raceNumber = 0;
    int horse = 0;        // index into SampleWorld::horses
    int fieldSize = 0;
    int horseNumber = 0, bracket = 0;
    int place = 0, popularity = 0, oddsTenths = 0;
    int weightCarried = 0; // tenths of a kilogram
    int jockey = 0;
    int bodyWeight = 0, bodyWeightDiff = 0;
    int timeTenths = 0;
    int age = 0;
    std::string Key() const; // RaceKey, 16 bytes
};

struct SampleRunner {
    int horse = 0;          // index into SampleWorld::horses
    int horseNumber = 0;    // 1..18
    int bracket = 0;        // 1..8, by the JRA rule for the field size
    int age = 0;
    int weightCarried = 0;  // tenths of a kilogram
    int jockey = 0;         // index into jockeys (jumpJockeys for jump races)
    bool blinkers = false;
    int bodyWeight = 0, bodyWeightDiff = 0;
    bool firstStart = false;
    // Odds and result.
    int oddsTenths = 0;     // final win odds × 10
    int popularity = 0;     // 1 = favourite
    int forecastOddsTenths = 0; // a forecast of the win odds made before the race × 10
    int place = 0;          // 確定着順 (dead heats share a place)
    int arrival = 0;        // 入線順位 (1..n, no ties)
    bool deadHeat = false;
    int timeTenths = 0;     // race time in tenths of a second
    int last3fTenths = 0;
    int prize = 0;          // earned prize money in hundreds of yen
    std::array<int, 4> corners {}; // positions at corners 1-4 (0 = no such corner)
};

// One paid combination of a bet.
struct PayoutEntry {
    std::vector<int> combination; // horse numbers (brackets for 枠連), in the order the bet names them
    long yen = 0;                 // paid per 100 yen
    int popularity = 0;
};

struct SamplePayouts {
    std::vector<PayoutEntry> win, place, bracketQuinella, quinella, wide, exacta, trio, trifecta;
};

struct SampleRace {
    long day = 0;
    std::string course;          // racecourse code "01"-"10"
    int courseIndex = 0;         // position of the course on its day
    int meeting = 0, meetingDay = 0, raceNumber = 0;
    std::string name;            // 競走名本題, CP932
    char grade = ' ';            // ' ' general, 'E' special, 'A'-'D' flat graded, 'F'-'H' jump graded
    char weightType = '4';       // '1' handicap, '2' allowance, '3' age, '4' set weights
    RaceClass raceClass = RaceClass::Maiden;
    AgeGroup ageGroup = AgeGroup::ThreeUp;
    std::string conditionCode;   // 競走条件コード, "701", "005", "999", ...
    Surface surface = Surface::Turf;
    int distance = 0;
    std::string trackCode;       // トラックコード, 2 digits
    int postTime = 0;            // hhmm
    int specialNumber = 0;       // 特別競走番号, 0 for general races
    int edition = 0;             // 重賞回次
    std::array<int, 5> prizes {}; // 本賞金 1st-5th in hundreds of yen
    char weather = '1', turfGoing = '1', dirtGoing = '1';
    std::vector<SampleRunner> runners; // in horse-number order
    SamplePayouts payouts;
    std::string Key() const;     // RaceKey, 16 bytes
    std::string TypeCode() const; // 競走種別コード
};

struct SampleCourseDay {
    std::string course;
    std::vector<SampleRace> races; // races 1-12
};

struct SampleDay {
    long day = 0;               // day number (DaysFromCivil)
    int year = 0, month = 0, dayOfMonth = 0;
    bool isToday = false;       // results only in the real-time files
    std::vector<SampleCourseDay> courses;
    long Yyyymmdd() const { return year * 10000L + month * 100L + dayOfMonth; }
};

struct SampleWorld {
    SampleOptions options;
    long today = 0;                 // day number of options.today
    std::vector<SampleDay> days;    // oldest first; the last is today
    std::vector<SampleHorse> horses;
    std::vector<PastRun> pastRuns;  // runs before the first race day, by day
    std::vector<Person> jockeys, jumpJockeys, trainers;
    std::vector<Owner> owners;

    const SampleHorse& Horse(const SampleRunner& r) const { return horses[static_cast<std::size_t>(r.horse)]; }
    const Person& Jockey(const SampleRace& race, const SampleRunner& r) const;
};

// Builds the world of the options (which must pass CheckOptions; throws
// std::invalid_argument otherwise).
SampleWorld BuildSampleWorld(const SampleOptions& options);

// The bracket (枠番) of a horse number in a field of n runners by the JRA
// rule: up to eight runners one per bracket; above that the outer brackets
// take the second (and for 17 and 18 runners the third) horses.
int BracketOf(int horseNumber, int fieldSize);

// Day of the week code (曜日コード) of a day number: 1 Saturday, 2 Sunday,
// 4-8 Monday-Friday.
int WeekdayCode(long day);

// The payouts of a race from its finishing order and odds (fills
// race.payouts). Runners must have their places, odds and popularity.
void ComputePayouts(SampleRace& race, std::uint64_t seed);

} // namespace tervan::sample
