#include "app/RaceDay.h"

#include "app/Maxim.h"
#include "acquisition/StoredFiles.h"
#include "app/RecordReader.h"
#include "import/ForecastOddsFile.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "reference/FixedRecord.h"
#include "reference/KeibaFunc.h"
#include "reference/ShiftJis.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

namespace tervan {

std::string LoadWarning(const char* utf8Message, std::string_view path)
{
    return Utf8ToCp932(utf8Message) + ": " + std::string(path);
}

namespace {

// yyyy年mm月dd日 and a 4-byte racecourse name: the stem of a day's file names.
constexpr std::size_t kDayCourseStemLength = 18;

int ReadInt(std::string_view line, std::size_t pos, std::size_t len)
{
    const long long v = ReadDecimal(Mid(line, pos, len));
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

void BlankAllLines(RaceDay& day)
{
    for (RaceSlot& slot : day.slots) {
        BlankRecord(slot.raceLine, kRaceRecordSize);
        BlankRecord(slot.payoutLine, kPayoutRecordSize);
        BlankRecord(slot.forecastLine, kForecastRecordSize);
        for (auto& line : slot.runnerLines)
            BlankRecord(line, kRunnerRecordSize);
        for (auto& runs : slot.pastRunLines)
            for (auto& line : runs)
                BlankRecord(line, kRunnerRecordSize);
    }
}

void ResetRunner(RunnerSummary& r)
{
    r.horseNumber.clear();
    r.bracketNumber.clear();
    r.pedigreeNumber.clear();
    r.horseName.clear();
    r.sexCode.clear();
    r.weightCarried.clear();
    r.jockeyCode.clear();
    r.jockeyName.clear();
    r.trainerCode.clear();
    r.trainerName.clear();
    for (auto& s : r.pastRunKeys)
        s.clear();
    for (auto& s : r.pastRunGaps)
        s.clear();
    r.restDays.clear();
    r.maxim.clear();
    r.forecastOdds = 0;
    r.forecastRank = 0;
    r.finishingPlace = 0;
    r.popularity = 0;
    r.winOdds = 0;
}

// The registered count of a race line as a runner count the tables can hold.
int RunnerCountOf(std::string_view raceLine)
{
    return static_cast<int>(std::clamp<long long>(ReadDecimal(Mid(raceLine, 882, 2)), 0, kRunnerCapacity));
}

// Case-folded sort key of a file name: single-byte ASCII letters folded,
// double-byte characters kept whole (their second byte may look like a letter).
std::string FoldedName(std::string_view name)
{
    std::string out(name);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(out[i]);
        if (IsSjisLeadByte(c)) {
            ++i;
            continue;
        }
        if (c >= 'a' && c <= 'z')
            out[i] = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

// Reusable buffers of the day load: one load after another reads into the
// same memory.
struct LoadScratch {
    std::string raceContents;
    std::string slotContents;
    std::string payoutContents;
    std::string forecastContents;
    std::string historyContents;
    RecordList races;
    RecordList runners;
    RecordList payouts;
    RecordList history;
    std::filesystem::path::string_type historyPath; // native path of the horse history file being read
};

// A load borrows a scratch from a small pool and gives it back, so that one
// load after another reads into the same memory on whichever thread runs it
// (the window's, or 格言成績's worker). Not a thread_local object: with
// MinGW's threads the destructor of such an object can run at thread exit
// after the thread's storage is gone, and the program crashes as 格言成績
// ends.
class ScratchLease {
public:
    ScratchLease()
    {
        const std::lock_guard<std::mutex> guard(Lock());
        if (!Pool().empty()) {
            m_scratch = std::move(Pool().back());
            Pool().pop_back();
        }
        if (!m_scratch)
            m_scratch = std::make_unique<LoadScratch>();
    }
    ~ScratchLease()
    {
        const std::lock_guard<std::mutex> guard(Lock());
        Pool().push_back(std::move(m_scratch));
    }
    ScratchLease(const ScratchLease&) = delete;
    ScratchLease& operator=(const ScratchLease&) = delete;
    LoadScratch& operator*() { return *m_scratch; }

private:
    static std::mutex& Lock()
    {
        static std::mutex lock;
        return lock;
    }
    static std::vector<std::unique_ptr<LoadScratch>>& Pool()
    {
        static std::vector<std::unique_ptr<LoadScratch>> pool;
        return pool;
    }
    std::unique_ptr<LoadScratch> m_scratch;
};

bool SafePedigree(std::string_view pedigree)
{
    if (TrimSpaces(pedigree).empty())
        return false;
    for (unsigned char c : pedigree)
        if (c < 0x20 || c == 0x7F || c == '/' || c == '\\' || c == ':')
            return false;
    return true;
}

bool HasAsciiLetter(std::string_view s)
{
    for (unsigned char c : s)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            return true;
    return false;
}

bool AllAscii(std::string_view s)
{
    for (unsigned char c : s)
        if (c >= 0x80)
            return false;
    return true;
}

// base + "\SEI\" + prefix + "\" + pedigree + ".jvSEI" (CP932).
std::string HistoryPath(const std::string& base, std::string_view prefix, std::string_view pedigree)
{
    return fs::Join(fs::Join(fs::Join(base, kHorseHistoryFolderName), prefix), std::string(pedigree) + kHorseHistoryFileExt);
}

// Reads up to len bytes at offset into buffer, fewer only where the file
// ends; `got` says how many. False on a read error (its code in `error`).
bool ReadUpTo(fs::InputFile& file, char* buffer, std::size_t len, std::size_t offset, std::size_t& got, int& error)
{
    if (file.ReadAt(offset, buffer, len, got))
        return true;
    error = file.Error();
    return false;
}

// Reads len bytes at offset; false on a read error or a file that ended early.
bool ReadAt(fs::InputFile& file, char* buffer, std::size_t len, std::size_t offset, int& error)
{
    std::size_t got = 0;
    return ReadUpTo(file, buffer, len, offset, got, error) && got == len;
}

enum class TailRead { Done, NeedWhole, Error };

// Takes past runs from the end of a sound horse history file, a few records
// at a time, so that a long history is not read whole: its lines are sorted
// by race key, so the latest runs are the last records.
TailRead TakeFromTail(fs::InputFile& file, std::size_t size, long long raceDate, std::array<std::string, kPastRunCapacity>& past,
                      int& taken, std::string& chunk, int& error)
{
    constexpr std::size_t kChunkRecords = 8;
    if (size % kRunnerRecordSize != 0)
        return TailRead::NeedWhole;
    chunk.resize(kChunkRecords * kRunnerRecordSize);
    std::size_t end = size;
    while (end > 0 && taken < kPastRunCapacity) {
        const std::size_t len = std::min(end, kChunkRecords * kRunnerRecordSize);
        const std::size_t offset = end - len;
        if (!ReadAt(file, chunk.data(), len, offset, error))
            return error != 0 ? TailRead::Error : TailRead::NeedWhole;
        const std::size_t records = len / kRunnerRecordSize;
        for (std::size_t k = 0; k < records; ++k) {
            const std::size_t stop = (k + 1) * kRunnerRecordSize;
            if (chunk[stop - 2] != '\r' || chunk[stop - 1] != '\n')
                return TailRead::NeedWhole;
        }
        for (std::size_t k = records; k-- > 0 && taken < kPastRunCapacity;) {
            const std::string_view record(chunk.data() + k * kRunnerRecordSize, kRunnerRecordSize);
            const long long e = ReadDecimal(Mid(record, 12, 8));
            if (e < raceDate && e > 0)
                past[static_cast<std::size_t>(taken++)].assign(record);
        }
        end = offset;
    }
    return TailRead::Done;
}

// Reads a whole open file from its start.
bool ReadWhole(fs::InputFile& file, std::size_t size, std::string& contents, int& error)
{
    contents.resize(size);
    std::size_t got = 0;
    if (!ReadUpTo(file, contents.data(), size, 0, got, error))
        return false;
    contents.resize(got);
    return true;
}

// Past runs of one runner from its horse history file: the latest runs
// before this race's date, newest first, five at most.
// Returns the number of past-run lines filled; the caller blanks the rest.
int ReadPastRuns(RaceSlot& slot, int runner, const std::string& base, const std::filesystem::path::string_type& seiDir,
                 LoadScratch& s, std::vector<std::string>& warnings)
{
    const std::string& runnerLine = slot.runnerLines[static_cast<std::size_t>(runner)];
    const std::string_view pedigree = Mid(runnerLine, 31, 10);
    if (!SafePedigree(pedigree))
        return 0;
    const long long d = ReadDecimal(Mid(runnerLine, 12, 8));
    if (d <= 0)
        return 0;

    const std::string_view prefix = pedigree.substr(0, 4);
    fs::InputFile file;
    fs::OpenStatus status = fs::OpenStatus::Missing;
    int error = 0;
    if (AllAscii(pedigree)) {
        const std::string_view ext = kHorseHistoryFileExt;
        s.historyPath.assign(seiDir).append(1, '/').append(prefix.begin(), prefix.end()).append(1, '/');
        s.historyPath.append(pedigree.begin(), pedigree.end()).append(ext.begin(), ext.end());
        status = file.Open(s.historyPath.c_str());
    }
    if (!AllAscii(pedigree) || (status == fs::OpenStatus::Missing && HasAsciiLetter(pedigree))) {
        // Names with letters may exist in another letter case.
        const std::string path = HistoryPath(base, prefix, pedigree);
        status = file.Open(fs::ToNative(path));
    }
    if (status == fs::OpenStatus::Missing)
        return 0;
    auto shown = [&] { return HistoryPath(base, prefix, pedigree); };
    std::uint64_t size = 0;
    if (status != fs::OpenStatus::Opened || !file.Size(size)) {
        warnings.push_back(LoadWarning("過去走ファイルを読み込めません", shown()));
        return 0;
    }
    auto& past = slot.pastRunLines[static_cast<std::size_t>(runner)];
    int taken = 0;
    switch (TakeFromTail(file, static_cast<std::size_t>(size), d, past, taken, s.historyContents, error)) {
    case TailRead::Done:
        return taken;
    case TailRead::Error:
        warnings.push_back(LoadWarning("過去走ファイルを読み込めません", shown()));
        return 0;
    case TailRead::NeedWhole:
        break;
    }

    // A damaged file: read it whole and take its lines as far as they go.
    taken = 0;
    if (!ReadWhole(file, static_cast<std::size_t>(size), s.historyContents, error)) {
        warnings.push_back(LoadWarning("過去走ファイルを読み込めません", shown()));
        return 0;
    }
    s.history.Parse(s.historyContents, kRunnerRecordSize);
    if (s.history.Damaged())
        warnings.push_back(LoadWarning("過去走ファイルの形式が正しくありません（読める行だけを使いました）", shown()));
    for (std::size_t k = s.history.Count(); k-- > 0 && taken < kPastRunCapacity;) {
        const std::string_view record = s.history.Record(k);
        const long long e = ReadDecimal(Mid(record, 12, 8));
        if (e < d && e > 0)
            AssignRecord(past[static_cast<std::size_t>(taken++)], record, kRunnerRecordSize);
    }
    return taken;
}

void FillRaceFields(RaceSummary& sum, std::string_view line)
{
    sum.raceKey.assign(Mid(line, 12, 16));
    sum.raceName.assign(Mid(line, 33, 60));
    sum.gradeCode.assign(Mid(line, 615, 1));
    sum.weightTypeCode.assign(Mid(line, 622, 1));
    sum.ageConditionCode.assign(Mid(line, 635, 3));
    sum.distance.assign(Mid(line, 698, 4));
    sum.trackCode.assign(Mid(line, 706, 2));
    sum.postTime.assign(Mid(line, 874, 4));
    sum.registeredCount.assign(Mid(line, 882, 2));
}

void FillRunnerFields(RunnerSummary& r, std::string_view line)
{
    r.horseNumber.assign(Mid(line, 29, 2));
    r.bracketNumber.assign(Mid(line, 28, 1));
    r.pedigreeNumber.assign(Mid(line, 31, 10));
    r.horseName.assign(Mid(line, 41, 18));
    r.sexCode.assign(Mid(line, 79, 1));
    r.weightCarried.assign(Mid(line, 289, 3));
    r.jockeyCode.assign(Mid(line, 297, 5));
    r.jockeyName.assign(Mid(line, 307, 8));
    r.trainerCode.assign(Mid(line, 86, 5));
    r.trainerName.assign(Mid(line, 91, 8));
    FillRunnerResults(r, line);
}

class ProgressReporter {
public:
    explicit ProgressReporter(const DayLoadProgressFn& fn)
        : m_fn(fn)
    {
    }
    ~ProgressReporter() { Finish(); }
    void Send(DayLoadProgress::Kind kind, int value = 0, std::string_view text = {})
    {
        if (!m_fn)
            return;
        m_event.kind = kind;
        m_event.value = value;
        m_event.text.assign(text);
        m_fn(m_event);
    }
    void Start(int maximum)
    {
        m_started = true;
        Send(DayLoadProgress::Start, maximum);
    }
    void Finish()
    {
        if (m_started && !m_finished) {
            m_finished = true;
            Send(DayLoadProgress::Finish);
        }
    }

private:
    const DayLoadProgressFn& m_fn;
    DayLoadProgress m_event;
    bool m_started = false;
    bool m_finished = false;
};

void ReadDayFiles(RaceDay& day, const std::string& base, LoadScratch& s, ProgressReporter& progress,
                  DayLoadResult& result)
{
    // Races and their runners.
    ReadStoredFile(day.raceFilePath, s.raceContents);
    ReadStoredFile(day.runnerSlotFilePath, s.slotContents);
    s.races.Parse(s.raceContents, kRaceRecordSize);
    if (s.races.Damaged())
        result.warnings.push_back(LoadWarning("レースファイルの形式が正しくありません（読める行だけを読み込みました）", day.raceFilePath));
    s.runners.Parse(s.slotContents, kRunnerRecordSize);
    if (s.runners.Damaged())
        result.warnings.push_back(LoadWarning("出走馬ファイルの形式が正しくありません（読める行だけを読み込みました）", day.runnerSlotFilePath));

    const std::filesystem::path::string_type seiDir = fs::ToNative(fs::Join(base, kHorseHistoryFolderName)).native();
    // Every runner and past-run line is written once: filled, or blanked.
    bool slotsMissing = false;
    const int raceCount = static_cast<int>(std::min<std::size_t>(s.races.Count(), kRaceCapacity));
    for (int p = 0; p < kRaceCapacity; ++p) {
        RaceSlot& slot = day.slots[static_cast<std::size_t>(p)];
        int n = 0;
        int raceNumber = 0;
        if (p < raceCount) {
            AssignRecord(slot.raceLine, s.races.Record(static_cast<std::size_t>(p)), kRaceRecordSize);
            slot.summary.loaded = true;
            // The runners sit in the slots of the race's own race number, so
            // a race file with gaps never shows another race's runners.
            n = RunnerCountOf(slot.raceLine);
            raceNumber = ReadInt(slot.raceLine, 26, 2);
            if (raceNumber < 1 || raceNumber > kRaceCapacity)
                n = 0;
        }
        for (int i = 0; i < kRunnerCapacity; ++i) {
            std::string& runnerLine = slot.runnerLines[static_cast<std::size_t>(i)];
            auto& past = slot.pastRunLines[static_cast<std::size_t>(i)];
            int taken = 0;
            const std::size_t index = static_cast<std::size_t>((raceNumber - 1) * kRunnerCapacity + i);
            if (i < n && index < s.runners.Count()) {
                AssignRecord(runnerLine, s.runners.Record(index), kRunnerRecordSize);
                taken = ReadPastRuns(slot, i, base, seiDir, s, result.warnings);
            } else {
                slotsMissing = slotsMissing || i < n;
                BlankRecord(runnerLine, kRunnerRecordSize);
            }
            for (int k = taken; k < kPastRunCapacity; ++k)
                BlankRecord(past[static_cast<std::size_t>(k)], kRunnerRecordSize);
        }
        if (p < raceCount)
            progress.Send(DayLoadProgress::Step);
    }
    day.raceCount = raceCount;
    if (slotsMissing)
        result.warnings.push_back(LoadWarning("出走馬ファイルの行数が足りません（ない行の出走馬は空欄です）", day.runnerSlotFilePath));

    // Payouts, by date, racecourse and race number.
    if (ReadStoredFile(day.payoutFilePath, s.payoutContents)) {
        s.payouts.Parse(s.payoutContents, kPayoutRecordSize);
        if (s.payouts.Damaged())
            result.warnings.push_back(LoadWarning("払戻ファイルの形式が正しくありません（読める行だけを読み込みました）", day.payoutFilePath));
        const std::size_t n = std::min<std::size_t>(s.payouts.Count(), kRaceCapacity);
        for (std::size_t k = 0; k < n; ++k) {
            const std::string_view record = s.payouts.Record(k);
            std::string key = PadRight(Mid(record, 12, 8), 8) + PadRight(Mid(record, 20, 2), 2) + PadRight(Mid(record, 26, 2), 2);
            if (TrimSpaces(key).empty())
                continue;
            for (RaceSlot& slot : day.slots) {
                const std::string_view line = slot.raceLine;
                if (Mid(line, 12, 8) == std::string_view(key).substr(0, 8) && Mid(line, 20, 2) == std::string_view(key).substr(8, 2)
                    && Mid(line, 26, 2) == std::string_view(key).substr(10, 2)) {
                    AssignRecord(slot.payoutLine, record, kPayoutRecordSize);
                    break;
                }
            }
        }
    }

    // Forecast odds: an optional file. One that cannot be read (a folder of
    // its name, no permission) is warned of and the day loads without it.
    bool forecastRead = false;
    try {
        forecastRead = ReadStoredFile(day.forecastFilePath, s.forecastContents);
    } catch (const fs::FileError&) {
        result.warnings.push_back(LoadWarning("予想オッズファイルを読み込めません（予想オッズなしで読み込みました）", day.forecastFilePath));
    }
    if (forecastRead) {
        bool damaged = false;
        AttachForecastLines(day, s.forecastContents, damaged);
        if (damaged)
            result.warnings.push_back(LoadWarning("予想オッズファイルの形式が正しくありません（読める行だけを読み込みました）", day.forecastFilePath));
    }

    // Race list.
    for (int p = 0; p < kRaceCapacity; ++p) {
        progress.Send(DayLoadProgress::Step);
        const std::string& line = day.slots[static_cast<std::size_t>(p)].raceLine;
        const std::string_view year = TrimSpaces(Mid(line, 12, 4));
        if (!year.empty() && year != "0000")
            day.raceList.push_back(RaceListEntry{p, RaceListText(line)});
    }
}

void DeriveSummaries(RaceDay& day, ProgressReporter& progress)
{
    for (int p = 0; p < day.raceCount; ++p) {
        RaceSlot& slot = day.slots[static_cast<std::size_t>(p)];
        const int n = RunnerCountOf(slot.raceLine);
        for (int i = 0; i < n; ++i) {
            ComputeRunGaps(slot, i);
            EvaluateMaxim(slot, i);
            FillRaceFields(slot.summary, slot.raceLine);
            RunnerSummary& r = slot.summary.runners[static_cast<std::size_t>(i)];
            FillRunnerFields(r, slot.runnerLines[static_cast<std::size_t>(i)]);
            r.forecastOdds = 0;
        }
        FillPayouts(slot);
    }
    for (RaceSlot& slot : day.slots) {
        if (!slot.summary.loaded)
            continue;
        RankForecastOdds(slot);
        progress.Send(DayLoadProgress::Pump);
    }
}

} // namespace

RaceDay::RaceDay()
{
    raceList.reserve(kRaceCapacity);
    BlankAllLines(*this);
    ResetSummaries(*this);
}

void ResetSummaries(RaceDay& day)
{
    for (RaceSlot& slot : day.slots) {
        RaceSummary& sum = slot.summary;
        sum.loaded = false;
        sum.forecastPresent = false;
        sum.raceKey.clear();
        sum.raceName.clear();
        sum.gradeCode.clear();
        sum.weightTypeCode.clear();
        sum.ageConditionCode.clear();
        sum.distance.clear();
        sum.trackCode.clear();
        sum.postTime.clear();
        sum.registeredCount.clear();
        for (RunnerSummary& r : sum.runners)
            ResetRunner(r);
        for (auto& e : sum.winPayouts)
            e = HorsePayout{};
        for (auto& e : sum.placePayouts)
            e = HorsePayout{};
        for (auto* list : {&sum.bracketQuinellaPayouts, &sum.quinellaPayouts}) {
            for (auto& e : *list) {
                e.label.clear();
                e.popularity = 0;
                e.payout = 0;
            }
        }
        for (auto& e : sum.widePayouts) {
            e.label.clear();
            e.popularity = 0;
            e.payout = 0;
        }
    }
}

std::vector<std::string> MakeDayList(const std::string& base)
{
    std::vector<std::string> names = fs::ListFiles(DataFolder(base), std::string("*") + kRaceFileExt);
    // Only names made of a day-course stem and the extension can be loaded.
    std::erase_if(names, [](const std::string& name) { return name.size() != kDayCourseStemLength + std::strlen(kRaceFileExt); });
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(names.size());
    for (std::string& name : names)
        keyed.emplace_back(FoldedName(name), std::move(name));
    std::sort(keyed.begin(), keyed.end());
    std::vector<std::string> days;
    days.reserve(keyed.size());
    for (auto it = keyed.rbegin(); it != keyed.rend(); ++it) {
        std::string stem = it->second.substr(0, kDayCourseStemLength);
        if (days.empty() || days.back() != stem)
            days.push_back(std::move(stem));
    }
    return days;
}

std::string RaceListText(const std::string& raceLine)
{
    char number[16];
    std::snprintf(number, sizeof number, "%2d", ReadInt(raceLine, 26, 2));
    return KeibaFunc::CourseName(Mid(raceLine, 20, 2), 0) + KeibaFunc::BlankZeroNum(Mid(raceLine, 22, 2)) + SJ("回")
        + KeibaFunc::BlankZeroNum(Mid(raceLine, 24, 2)) + SJ("日") + number + "R";
}

void FillRunnerResults(RunnerSummary& runner, std::string_view runnerLine)
{
    runner.finishingPlace = ReadInt(runnerLine, 335, 2);
    runner.popularity = ReadInt(runnerLine, 364, 2);
    runner.winOdds = static_cast<double>(ReadInt(runnerLine, 360, 4)) / 10.0;
}

namespace {

// 単勝 and 複勝 entries: horse number (2), payout (9), popularity (2); 13 bytes each.
template <std::size_t N>
void ReadHorsePayouts(std::string_view line, std::size_t first, std::array<HorsePayout, N>& payouts)
{
    for (std::size_t e = 0; e < N; ++e) {
        const std::size_t at = first + 13 * e;
        HorsePayout& p = payouts[e];
        p.horseNumber = ReadInt(line, at, 2);
        p.payout = ReadInt(line, at + 2, 9);
        p.popularity = ReadInt(line, at + 11, 2);
    }
}

// Pair entries: two numbers of `numberWidth` bytes each, payout (9), popularity (`popularityWidth`);
// 枠連 has 1-byte brackets and a 2-byte popularity (13 bytes), 馬連 and ﾜｲﾄﾞ 2-byte horses and a
// 3-byte popularity (16 bytes). The label is "%2d-%2d".
template <std::size_t N>
void ReadPairPayouts(std::string_view line, std::size_t first, std::size_t numberWidth, std::size_t popularityWidth,
                     std::array<PairPayout, N>& payouts)
{
    const std::size_t stride = 2 * numberWidth + 9 + popularityWidth;
    char label[32];
    for (std::size_t e = 0; e < N; ++e) {
        const std::size_t at = first + stride * e;
        PairPayout& p = payouts[e];
        std::snprintf(label, sizeof label, "%2d-%2d", ReadInt(line, at, numberWidth),
                      ReadInt(line, at + numberWidth, numberWidth));
        p.label.assign(label);
        p.payout = ReadInt(line, at + 2 * numberWidth, 9);
        p.popularity = ReadInt(line, at + 2 * numberWidth + 9, popularityWidth);
    }
}

} // namespace

void FillPayouts(RaceSlot& slot)
{
    const std::string_view line = slot.payoutLine;
    RaceSummary& sum = slot.summary;
    ReadHorsePayouts(line, 103, sum.winPayouts);
    ReadHorsePayouts(line, 142, sum.placePayouts);
    ReadPairPayouts(line, 207, 1, 2, sum.bracketQuinellaPayouts);
    ReadPairPayouts(line, 246, 2, 3, sum.quinellaPayouts);
    ReadPairPayouts(line, 294, 2, 3, sum.widePayouts);
}

DayLoadResult LoadRaceDay(RaceDay& day, const std::string& base, const std::string& entry,
                          const DayLoadProgressFn& progressFn)
{
    DayLoadResult result;
    ProgressReporter progress(progressFn);
    day.since2005 = ReadDecimal(Mid(entry, 1, 4)) >= 2005;
    progress.Start(kRaceCapacity * 2);
    ResetSummaries(day);
    day.raceList.clear();
    day.raceCount = 0;
    day.dayEntry = entry;
    const std::string data = DataFolder(base);
    day.raceFilePath = fs::Join(data, entry + kRaceFileExt);
    day.runnerSlotFilePath = fs::Join(data, entry + kRunnerSlotFileExt);
    day.payoutFilePath = fs::Join(data, entry + kPayoutFileExt);
    day.forecastFilePath = ForecastOddsFilePath(base, entry);
    progress.Send(DayLoadProgress::Line, 0, entry);

    auto fail = [&](DayLoadResult::Status status, std::string message) {
        BlankAllLines(day);
        ResetSummaries(day);
        day.raceList.clear();
        day.raceCount = 0;
        progress.Finish();
        result.status = status;
        result.message = std::move(message);
        return result;
    };

    try {
        if (!fs::FileExists(day.raceFilePath) || !fs::FileExists(day.runnerSlotFilePath))
            return fail(DayLoadResult::Incomplete, SJ("データ作成が未完了のようです。"));
        for (RaceSlot& slot : day.slots) {
            BlankRecord(slot.raceLine, kRaceRecordSize);
            BlankRecord(slot.payoutLine, kPayoutRecordSize);
            BlankRecord(slot.forecastLine, kForecastRecordSize);
        }
        ScratchLease scratch;
        ReadDayFiles(day, base, *scratch, progress, result);
    } catch (const fs::FileError& e) {
        result.warnings.clear();
        return fail(DayLoadResult::Failed, e.what());
    }
    progress.Finish();
    DeriveSummaries(day, progress);
    return result;
}

} // namespace tervan
