// The loaded race day: one racecourse on one day, as the views read it.
//
// Everything has a fixed size: 12 races, 18 runners per race, 5 past runs per
// runner. The tables live inside one RaceDay object that the main window
// creates once; a load only overwrites them (strings keep their capacity).
//
// Raw lines are the stored records as they sit on disk, CR LF included, so
// every byte position of the JV-Data layout can be sliced with Mid(). A raw
// line that nothing filled holds spaces of its full record length.
// Every text is CP932.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tervan {

// Fixed capacities of the loaded day.
inline constexpr int kRaceCapacity = 12;    // races of one course on one day
inline constexpr int kRunnerCapacity = 18;  // runners of one race (horse numbers 1-18)
inline constexpr int kPastRunCapacity = 5;  // earlier runs kept per runner

// Payout entries per bet kind in a payout line.
inline constexpr int kWinPayoutCount = 3;             // 単勝
inline constexpr int kPlacePayoutCount = 5;           // 複勝
inline constexpr int kBracketQuinellaPayoutCount = 3; // 枠連
inline constexpr int kQuinellaPayoutCount = 3;        // 馬連
inline constexpr int kWidePayoutCount = 7;            // ワイド

// Record sizes of the stored files, each line with its CR LF.
inline constexpr std::size_t kRaceRecordSize = 1272;     // RA, race file
inline constexpr std::size_t kRunnerRecordSize = 555;    // SE, runner slot and horse history files
inline constexpr std::size_t kPayoutRecordSize = 719;    // HR, payout file
inline constexpr std::size_t kForecastRecordSize = 1461; // forecast odds file (".yoz")

// One win or place payout: the horse it pays on.
struct HorsePayout {
    int horseNumber = 0; // 馬番 (2 bytes at the entry start)
    int popularity = 0;  // 人気 (2 bytes)
    int payout = 0;      // yen per 100 yen (9 bytes)
};

// One bracket quinella, quinella or wide payout: the pair it pays on.
struct PairPayout {
    std::string label;  // the pair as "%2d-%2d", e.g. " 3- 5", " 1-12"; empty after a reset
    int popularity = 0; // 人気 (2 bytes for 枠連, 3 for 馬連 and ワイド)
    int payout = 0;     // yen per 100 yen (9 bytes)
};

// One runner of a race, derived from its runner line, its past-run lines,
// the race line and the forecast line. Text fields are copied with their
// trailing spaces and are empty after a reset.
struct RunnerSummary {
    std::string horseNumber;    // text 2: 馬番, runner line bytes 29-30 ("01"-"18")
    std::string bracketNumber;  // text 1: 枠番, runner line byte 28
    std::string pedigreeNumber; // text 10: 血統登録番号, runner line bytes 31-40
    std::string horseName;      // text 18: first 18 bytes of 馬名 (runner line bytes 41-76)
    std::string sexCode;        // text 1: 性別コード, byte 79 ("1" male, "2" female, "3" gelding)
    std::string weightCarried;  // text 3: 負担重量 in tenths of a kilogram, bytes 289-291
    std::string jockeyCode;     // text 5: 騎手コード, bytes 297-301
    std::string jockeyName;     // text 8: 騎手名略称, bytes 307-314
    std::string trainerCode;    // text 5: 調教師コード, bytes 86-90
    std::string trainerName;    // text 8: 調教師名略称, bytes 91-98
    // RaceKey (bytes 12-27) of past runs 0-4; 0 is the latest run before this
    // race; 16 spaces when there is no such run.
    std::array<std::string, kPastRunCapacity> pastRunKeys;
    // Days from past run k+1 to past run k, right-aligned in 4 characters;
    // 4 spaces when either date is missing (gap 4 is always blank).
    std::array<std::string, kPastRunCapacity> pastRunGaps;
    std::string restDays;       // text 4: days from past run 0 to this race, or 4 spaces
    std::string maxim;          // "牡1戦目", "牡3戦目", "牝2戦目" or empty
    double forecastOdds = 0;    // forecast win odds of the forecast line; 0 = none
    int forecastRank = 0;       // rank of forecastOdds in the race, 1 = lowest; 0 = none
    int finishingPlace = 0;     // 確定着順, runner line bytes 335-336; 0 = not yet
    int popularity = 0;         // 単勝人気順, bytes 364-365; 0 = not yet
    double winOdds = 0;         // 単勝オッズ, bytes 360-363 divided by 10; 0 = not yet
};

// The derived record of one race.
struct RaceSummary {
    bool loaded = false;          // the race line was read
    std::string raceKey;          // text 16: RaceKey, race line bytes 12-27
    std::string raceName;         // text 60: 競走名本題, bytes 33-92
    std::string gradeCode;        // text 1: グレードコード, byte 615
    std::string weightTypeCode;   // text 1: 重量種別コード, byte 622
    std::string ageConditionCode; // text 3: 競走条件コード (youngest age group), bytes 635-637
    std::string distance;         // text 4: 距離 in metres, bytes 698-701
    std::string trackCode;        // text 2: トラックコード, bytes 706-707
    std::string postTime;         // text 4: 発走時刻 hhmm, bytes 874-877
    std::string registeredCount;  // text 2: 登録頭数, bytes 882-883
    bool forecastPresent = false; // a forecast line was matched to this race
    std::array<RunnerSummary, kRunnerCapacity> runners; // runner i = runner line i (horse number i+1)
    std::array<HorsePayout, kWinPayoutCount> winPayouts;                 // from byte 103, 13 bytes each
    std::array<HorsePayout, kPlacePayoutCount> placePayouts;             // from byte 142, 13 bytes each
    std::array<PairPayout, kBracketQuinellaPayoutCount> bracketQuinellaPayouts; // from byte 207, 13 bytes each
    std::array<PairPayout, kQuinellaPayoutCount> quinellaPayouts;       // from byte 246, 16 bytes each
    std::array<PairPayout, kWidePayoutCount> widePayouts;               // from byte 294, 16 bytes each
};

// The raw lines of one race and its summary.
struct RaceSlot {
    std::string raceLine;                                   // RA, 1272 bytes: race file line p
    std::array<std::string, kRunnerCapacity> runnerLines;   // SE, 555 bytes each: runner i
    // SE, 555 bytes each: past run k of runner i from its horse history file;
    // k = 0 is the most recent run before this race.
    std::array<std::array<std::string, kPastRunCapacity>, kRunnerCapacity> pastRunLines;
    std::string payoutLine;                                 // HR, 719 bytes: the payout file's line of this race
    std::string forecastLine;                               // 1461 bytes: the forecast odds file's line of this race
    RaceSummary summary;                                    // derived from the lines above
};

// One entry of the race list (DatList): the slot it stands for and its text,
// e.g. "東京  2回 8日11R".
struct RaceListEntry {
    int slot = 0;
    std::string text;
};

// The one loaded race day and course.
struct RaceDay {
    RaceDay();

    int raceCount = 0;                            // race lines read from the race file (0-12)
    std::array<RaceSlot, kRaceCapacity> slots;    // slot p = line p of the race file
    bool since2005 = false;                       // Since2005: the day's year is 2005 or later
    std::string dayEntry;                         // the day-list entry loaded (DayCourseStem), empty before a load
    std::vector<RaceListEntry> raceList;          // the race list; entry j stands for slots[raceList[j].slot]
    // The stored files of the loaded day (fixed at load time; the payout
    // re-read uses them).
    std::string raceFilePath;       // the data folder + entry + ".jvRA"
    std::string runnerSlotFilePath; // ... ".jvSEr"
    std::string payoutFilePath;     // ... ".jvHR"
    std::string forecastFilePath;   // the data folder + first 14 bytes of entry + ".yoz"
};

// A warning of a load or re-read: the message (UTF-8 source text, shown in
// CP932) + ": " + the file's path.
std::string LoadWarning(const char* utf8Message, std::string_view path);

// The reset operation (IniBtnClick): all 12 summaries back to empty texts,
// zero numbers and cleared flags. Raw lines are left as they are.
void ResetSummaries(RaceDay& day);

// The day list (MakeDataListBtnClick): the DayCourseStem of every race file
// ("*.jvRA") in the data folder, newest first. Dates of several courses
// follow their file names' CP932 bytes (ASCII letters without regard to
// case), reversed with the rest. Names that are not a stem and ".jvRA" are
// left out.
std::vector<std::string> MakeDayList(const std::string& base);

// Progress of a day load, for the progress window.
struct DayLoadProgress {
    enum Kind {
        Start,   // show the window; value = bar maximum (24), position 0
        Line,    // set the second line to text, and let pending messages run
        Step,    // advance the bar by one
        Pump,    // let pending window messages run
        Finish,  // close the window (always sent once the load has started)
    };
    Kind kind = Start;
    int value = 0;
    std::string text; // CP932
};
using DayLoadProgressFn = std::function<void(const DayLoadProgress&)>;

struct DayLoadResult {
    enum Status {
        Loaded,     // the day is loaded (possibly with warnings)
        Incomplete, // race file or runner slot file missing: summaries reset, race list empty
        Failed,     // a stored file could not be read: summaries reset, race list empty
    };
    Status status = Loaded;
    std::string message;               // CP932 text for the user when not Loaded
    std::vector<std::string> warnings; // CP932: damaged files read as far as they go
};

// The day load (DateComboChange's work): resets the summaries, reads the
// stored files of `entry` under `base`, derives all summaries, gaps, maxims
// and forecast ranks and fills the race list. Never throws for bad files.
DayLoadResult LoadRaceDay(RaceDay& day, const std::string& base, const std::string& entry,
                          const DayLoadProgressFn& progress = {});

// Derives the payout entries of a summary from its slot's payout line: win,
// bracket quinella and quinella (3 each), place (5), wide (7).
void FillPayouts(RaceSlot& slot);

// Finishing place, popularity and win odds of a runner from its runner line.
void FillRunnerResults(RunnerSummary& runner, std::string_view runnerLine);

// The race list text of a race line ("東京  2回 8日11R").
std::string RaceListText(const std::string& raceLine);

} // namespace tervan
