// JV-Data records as the program uses them.
//
// A record is kept as the fixed-width CP932 byte string that JV-Link
// delivers, CR LF included, and sliced by 1-based byte position. This unit
// names the record kinds the program keeps, their lengths and every byte
// position the program reads; nothing else of the JV-Data layout is used.
#pragma once

#include "reference/FixedRecord.h"

#include <cstddef>
#include <string_view>

namespace tervan::JVData {

// A field: its 1-based first byte and its width in bytes.
struct Field {
    std::size_t pos;
    std::size_t len;
};

// The bytes of a field (cut short when the record is).
constexpr std::string_view Get(std::string_view record, Field f)
{
    return Mid(record, f.pos, f.len);
}

// A repeated block of fields: element e (from 0) starts at first + e * step.
struct Repeat {
    std::size_t first;
    std::size_t step;
    std::size_t count;

    constexpr std::size_t At(std::size_t e) const { return first + e * step; }
};

// Record kinds the program stores.
inline constexpr std::string_view kKindRA = "RA"; // race details
inline constexpr std::string_view kKindSE = "SE"; // one runner of a race
inline constexpr std::string_view kKindHR = "HR"; // payouts of a race

// Record lengths with their CR LF, and the stored line lengths without it.
inline constexpr std::size_t kLengthRA = 1272;
inline constexpr std::size_t kLengthSE = 555;
inline constexpr std::size_t kLengthHR = 719;
inline constexpr std::size_t kLineLengthRA = kLengthRA - 2;
inline constexpr std::size_t kLineLengthSE = kLengthSE - 2;
inline constexpr std::size_t kLineLengthHR = kLengthHR - 2;

// The record length of a kind; 0 for kinds the program does not keep.
constexpr std::size_t RecordLength(std::string_view kind)
{
    if (kind == kKindRA)
        return kLengthRA;
    if (kind == kKindSE)
        return kLengthSE;
    if (kind == kKindHR)
        return kLengthHR;
    return 0;
}

// The head shared by RA, SE and HR records.
inline constexpr Field kRecordKind {1, 2};   // "RA", "SE", "HR"
inline constexpr Field kDataDivision {3, 1}; // "1"-"6" stages, "7" final, "9" cancelled, "0" deleted, "A" NAR, "B" overseas
inline constexpr Field kCreationDate {4, 8}; // yyyymmdd
// Bytes 3-11 (data division and creation date) are blanked to this text in
// race, payout, result race and horse history lines.
inline constexpr std::size_t kBlankedPos = 3;
inline constexpr std::string_view kBlankedHead = "000000000";

// The race key: year, month-day, racecourse, meeting, day of meeting, race.
inline constexpr Field kRaceKey {12, 16};
inline constexpr Field kYear {12, 4};
inline constexpr Field kMonthDay {16, 4};
inline constexpr Field kMonth {16, 2};
inline constexpr Field kDay {18, 2};
inline constexpr Field kRaceDate {12, 8};     // yyyymmdd
inline constexpr Field kYearToCourse {12, 10}; // yyyymmdd + racecourse code
inline constexpr Field kCourseCode {20, 2};
inline constexpr Field kMeeting {22, 2};
inline constexpr Field kMeetingDay {24, 2};
inline constexpr Field kRaceNumber {26, 2};

// Race details (RA).
namespace RA {
inline constexpr Field kRaceName {33, 60};
inline constexpr Field kGradeCode {615, 1};
inline constexpr Field kWeightType {622, 1};
inline constexpr Field kConditionYoungest {635, 3};
inline constexpr Field kDistance {698, 4};
inline constexpr Field kTrackCode {706, 2};
inline constexpr Field kPostTime {874, 4}; // hhmm
inline constexpr Field kRegisteredRunners {882, 2};
} // namespace RA

// One runner (SE).
namespace SE {
inline constexpr Field kBracket {28, 1};
inline constexpr Field kHorseNumber {29, 2};
inline constexpr Field kPedigreeNumber {31, 10};
inline constexpr Field kPedigreePrefix {31, 4}; // folder of the horse history file
inline constexpr Field kHorseName {41, 36};
inline constexpr std::size_t kHorseNameShown = 18;
inline constexpr Field kSexCode {79, 1};
inline constexpr Field kTrainerCode {86, 5};
inline constexpr Field kTrainerName {91, 8};
inline constexpr Field kWeightCarried {289, 3}; // tenths of a kilogram
inline constexpr Field kJockeyCode {297, 5};
inline constexpr Field kJockeyName {307, 8};
inline constexpr Field kAbnormalCode {332, 1}; // 異常区分コード: "1" 出走取消 ... "7" 降着
inline constexpr Field kFinalPlace {335, 2};
inline constexpr Field kWinOdds {360, 4}; // tenths
inline constexpr Field kWinPopularity {364, 2};
} // namespace SE

// Payouts (HR). Each payout block is the combination, the payout (9 bytes)
// and the popularity.
namespace HR {
// Win: horse number 2, payout 9, popularity 2.
inline constexpr Repeat kWin {103, 13, 3};
// Place: horse number 2, payout 9, popularity 2.
inline constexpr Repeat kPlace {142, 13, 5};
// Bracket quinella: two 1-byte brackets, payout 9, popularity 2.
inline constexpr Repeat kBracketQuinella {207, 13, 3};
// Quinella: two 2-byte horse numbers, payout 9, popularity 3.
inline constexpr Repeat kQuinella {246, 16, 3};
// Wide: two 2-byte horse numbers, payout 9, popularity 3.
inline constexpr Repeat kWide {294, 16, 7};
inline constexpr std::size_t kPayoutWidth = 9;
} // namespace HR

// The runner slot file: 12 races of 18 horse numbers.
inline constexpr int kSlotRaces = 12;
inline constexpr int kSlotHorses = 18;
inline constexpr int kSlotLines = kSlotRaces * kSlotHorses;

// The slot line (from 0) of race r and horse number h (both from 1), or -1
// when the pair has no slot.
constexpr int SlotIndex(long long race, long long horse)
{
    if (race < 1 || race > kSlotRaces || horse < 1 || horse > kSlotHorses)
        return -1;
    return static_cast<int>((race - 1) * kSlotHorses + (horse - 1));
}

} // namespace tervan::JVData
