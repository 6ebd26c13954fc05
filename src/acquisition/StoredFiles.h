// The stored race data files: the program's own copies of the JV-Data
// records it needs, so that race days can be browsed without JV-Link.
//
//   race file          DATA\<DayCourseStem>.jvRA     RA, one line per race, sorted
//   runner slot file   DATA\<DayCourseStem>.jvSEr    SE, 216 fixed slots
//   payout file        DATA\<DayCourseStem>.jvHR     HR, one line per race, sorted
//   result race file   SEIR\yyyy\<yyyymmddcc>.jvSERA RA with final data, sorted
//   horse history file SEI\<pppp>\<pedigree>.jvSEI   SE with final data, sorted
//
// A stored line is the record without its CR LF; race, payout, result race
// and horse history lines have bytes 3-11 (data division and creation date)
// replaced by "000000000", runner slot lines keep them. Every file is CP932
// text with CR LF after every line, read back as consecutive fixed-size
// records (1272, 555, 719 and 555 bytes), so every line keeps the exact
// length of its record less the CR LF; an empty runner slot is 553 spaces.
//
// Outside a read loop every record loads the whole file it changes, changes
// one line and rewrites the file atomically before the next record. A read
// loop holds its writes: the files its records change stay in memory, merged
// exactly as they would be on disk, and each changed file is written,
// atomically, when the files held pass a memory limit (the files of race
// days the feed has left behind, then those longest unused) and whenever the
// loop ends (all of them). Either way every file on disk is
// always whole, and a file whose bytes come out as they are on disk is not
// written.
#pragma once

#include "platform/Clock.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace tervan {

// Folder names under the base folder (matched without regard to case).
inline constexpr char kDataFolderName[] = "DATA";
inline constexpr char kHorseHistoryFolderName[] = "SEI";
inline constexpr char kResultRaceFolderName[] = "SEIR";

// File name extensions.
inline constexpr char kRaceFileExt[] = ".jvRA";
inline constexpr char kRunnerSlotFileExt[] = ".jvSEr";
inline constexpr char kPayoutFileExt[] = ".jvHR";
inline constexpr char kResultRaceFileExt[] = ".jvSERA";
inline constexpr char kHorseHistoryFileExt[] = ".jvSEI";

// The recent-date threshold of the accumulated mode: the date 4 days before
// now as the number yyyymmdd. A race whose date is greater is recent.
long RecentDateThreshold(const DateTime& now);

// The 18-byte stem naming the files of one racecourse on one race day:
// "yyyy年mm月dd日" from bytes 12-19 and the 4-byte racecourse name of bytes
// 20-21 ("2006年05月28日東京").
std::string DayCourseStem(std::string_view record);

// File names (CP932, without folder) and full paths of a record's files.
std::string RaceFileName(std::string_view record);
std::string RunnerSlotFileName(std::string_view record);
std::string PayoutFileName(std::string_view record);
std::string ResultRaceFileName(std::string_view record);   // "2006052805.jvSERA"
std::string HorseHistoryFileName(std::string_view record); // "<pedigree>.jvSEI"

std::string DataFolder(const std::string& base);
std::string ResultRaceFolder(const std::string& base, std::string_view record);   // SEIR\yyyy
std::string HorseHistoryFolder(const std::string& base, std::string_view record); // SEI\pppp

// The stored line of a race, payout, result race or horse history file: the
// record without CR LF, bytes 3-11 replaced by "000000000".
std::string BlankedLine(std::string_view record);

// Why a record of a stored kind (RA, SE, HR) cannot be stored: a length
// other than its kind's, a CR or LF other than its final CR LF, bytes that
// are not CP932, or race key bytes unfit for a file name. The
// reason is CP932 text; empty when the record is sound or of another kind.
std::string RecordDamage(std::string_view record);

// Whether an SE record's pedigree number can name its horse history file.
// One that cannot still goes to its runner slot; only its history is left.
bool PedigreeFitsFileName(std::string_view record);

// Lines of a stored file: split at CR LF, LF or CR; a final line end makes
// no empty last line.
std::vector<std::string_view> SplitLines(std::string_view contents);

// Puts a stored line into a file that holds one line per race key (bytes
// 12-27 of each line): the first line with that key is replaced, else the
// line is added; the lines are sorted by their text (ASCII letters without
// regard to case); for race files (dropBlankFirstLine) a first line that is
// empty after trimming spaces and control characters is removed; then the
// file is rewritten. Returns whether it was written (false when its bytes
// came out unchanged). Throws fs::FileError.
bool MergeByRaceKey(const std::string& path, std::string_view line, std::string_view raceKey,
                    bool dropBlankFirstLine);

// Puts a runner line into slot `slot` (0-215) of a runner slot file, unless
// the slot holds a newer record: one created later (bytes 4-11), or on the
// same date at a later stage (data division "1"-"7"); an incoming deletion
// ("0") or cancellation ("9") always applies. A file
// shorter than 216 lines is padded with empty slots first; with
// createWhenMissing a missing file starts as 216 empty slots, without it
// nothing is written. Returns whether the file was written.
bool PutRunnerSlot(const std::string& path, std::string_view line, int slot, bool createWhenMissing);

namespace detail {
// The buffers a merge works in, kept between records so that a long import
// does not allocate them again for every record.
struct MergeScratch {
    std::string before;
    std::string after;
    std::vector<std::string_view> lines;
};

// A stored file as a read loop holds it.
struct HeldFile {
    std::string path;         // as first named
    std::string data;         // its bytes with every record merged so far
    std::size_t diskSize = 0; // the size and hash of its bytes on disk when loaded
    std::size_t diskHash = 0;
    bool onDisk = false;      // it existed when loaded
    bool changed = false;     // a record changed data since it was loaded
    bool exists = false;      // data is a file (false: missing, nothing merged)
    bool soundSlots = false;  // data is known to be 216 runner lines and nothing else
    std::size_t sortedLines = 0; // non-zero: data is known to be sorted lines of this length
                                 // and CR LF, no other line break, the first not blank
    unsigned long long lastUse = 0; // when a record last touched it
    bool lasting = false;     // a horse history: records keep coming back to it
};
} // namespace detail

class StoredRaceFiles {
public:
    // baseFolder: the program's base folder (CP932).
    explicit StoredRaceFiles(std::string baseFolder);

    // A record read during a download (CR LF included), with the recent-date
    // threshold taken once by the caller's read loop. Returns one log line
    // per stored file it applies to ("作成済み:05R/2006年05月28日東京.jvRA"),
    // and one "読み飛ばし:" line for a damaged record, which touches no file.
    // Throws fs::FileError when a folder or file cannot be written.
    std::vector<std::string> StoreAccumulated(std::string_view record, long threshold);

    // A record of the real-time results update: race and runner slot files
    // only updated when they exist, the payout file created when missing,
    // result race and horse history files untouched. No log lines.
    void StoreRealtime(std::string_view record);

    // Held writes. While held, the files that records change stay in memory
    // and reach the disk at Flush; a record that leaves more than the hold
    // limit of bytes held (the memory their texts take, spare room
    // included) has files written and let go until three quarters
    // of the limit are held: the files of race days not touched lately
    // first, then those longest unused. HoldWrites(false) flushes first. With a
    // limit of 0, or not held, every record is written before the next one
    // is stored.
    static constexpr std::size_t kDefaultHoldLimit = std::size_t {144} << 20;
    void HoldWrites(bool hold);
    void SetHoldLimit(std::size_t bytes) { m_holdLimit = bytes; }
    // Writes every held file whose bytes differ from the disk's, each once
    // and atomically, and forgets them all. A file that cannot be written
    // does not stop the others: every other file is written, then the first
    // FileError is passed on. A write that fails at the hold limit does the
    // same.
    void Flush();
    // Called between the files a flush writes (a window lets its messages
    // through, so that it stays responsive while many files are written).
    void SetFlushPump(std::function<void()> pump) { m_flushPump = std::move(pump); }
    std::size_t HeldFiles() const { return m_held.size(); }

    // Counts since construction.
    long RecordsStored() const { return m_recordsStored; }   // records put into at least one file
    long RecordsDamaged() const { return m_recordsDamaged; } // damaged records skipped
    long FilesWritten() const { return m_filesWritten; }     // rewrites actually made (when flushed)

    const std::string& BaseFolder() const { return m_base; }

private:
    void Folder(const std::string& folder);
    detail::HeldFile& Held(const std::string& path);
    bool Exists(const std::string& path);
    void Changed(detail::HeldFile& file, std::size_t capacityBefore);
    // One of a record's stored files, by the record bytes that name it: the
    // records of one race day come together and meet the same files, whose
    // folder, name and place among the held files are then known.
    struct Named {
        std::string id;
        std::string name;
        std::string path;
        std::size_t at = 0;
        unsigned long long generation = 0; // of m_held when `at` was taken
    };
    detail::HeldFile& HeldNamed(Named& n, std::string_view id, const std::string& folder,
                                const std::function<std::string()>& name);
    void MergeHeld(detail::HeldFile& f, std::string_view line, std::string_view raceKey, bool dropBlankFirstLine);
    void PutSlotHeld(detail::HeldFile& f, std::string_view line, int slot, bool createWhenMissing);
    void OneRecord(const std::function<void()>& body);
    void Write(const detail::HeldFile& file);
    void WriteEach(const std::vector<detail::HeldFile>& files, const std::vector<bool>& skip);
    void Shrink();
    // Files of race days untouched for this many stored lines are let go first.
    static constexpr unsigned long long kRecentUses = 20000;
    void StoreAccumulatedRecord(std::string_view record, long threshold, std::vector<std::string>& log);
    void StoreRealtimeRecord(std::string_view record);

    std::string m_base;
    detail::MergeScratch m_scratch;
    std::unordered_set<std::string> m_knownFolders;
    std::vector<detail::HeldFile> m_held;                  // in the order first touched
    std::unordered_map<std::string, std::size_t> m_heldAt; // folded path -> index in m_held
    unsigned long long m_generation = 1; // counts the times m_held was reordered or emptied
    std::string m_dataFolder;
    Named m_raceFile, m_slotFile, m_payoutFile, m_resultFile, m_historyFile;
    std::size_t m_heldBytes = 0; // the memory the held files take (their strings' capacity)
    std::size_t m_holdLimit = kDefaultHoldLimit;
    bool m_holding = false;
    std::function<void()> m_flushPump;
    unsigned long long m_uses = 0;
    long m_recordsStored = 0;
    long m_recordsDamaged = 0;
    long m_filesWritten = 0;
};

} // namespace tervan
