#include "acquisition/StoredFiles.h"

#include "acquisition/JVData_Structure.h"
#include "platform/FileSystem.h"
#include "reference/FixedRecord.h"
#include "reference/KeibaFunc.h"
#include "reference/ShiftJis.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tervan {

namespace J = JVData;

namespace {

bool IsAsciiAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool AllAlnum(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), IsAsciiAlnum);
}

unsigned char FoldCase(unsigned char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// Line order of the keyed files: by bytes, ASCII letters without regard to
// case (the lines of one file differ first in their race key).
bool LineLess(std::string_view a, std::string_view b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = FoldCase(static_cast<unsigned char>(a[i]));
        unsigned char y = FoldCase(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

bool BlankAfterTrim(std::string_view line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) <= 0x20; });
}

// The CR and LF bytes of a text. Stored files are read back whole for every
// record, so this runs over every byte of them: sixteen bytes at a time
// where the processor can.
void CountLineBreaks(std::string_view text, size_t& crs, size_t& lfs)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    size_t cr = 0, lf = 0, i = 0;
#if defined(__SSE2__)
    const __m128i crVec = _mm_set1_epi8('\r');
    const __m128i lfVec = _mm_set1_epi8('\n');
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= n) {
        // Byte counters: at most 255 rounds before they are summed.
        __m128i crAcc = zero, lfAcc = zero;
        for (int round = 0; round < 255 && i + 16 <= n; ++round, i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            crAcc = _mm_sub_epi8(crAcc, _mm_cmpeq_epi8(v, crVec));
            lfAcc = _mm_sub_epi8(lfAcc, _mm_cmpeq_epi8(v, lfVec));
        }
        const __m128i crSum = _mm_sad_epu8(crAcc, zero);
        const __m128i lfSum = _mm_sad_epu8(lfAcc, zero);
        cr += static_cast<size_t>(_mm_cvtsi128_si32(crSum)) + static_cast<size_t>(_mm_extract_epi16(crSum, 4));
        lf += static_cast<size_t>(_mm_cvtsi128_si32(lfSum)) + static_cast<size_t>(_mm_extract_epi16(lfSum, 4));
    }
#endif
    for (; i < n; ++i) {
        cr += p[i] == '\r';
        lf += p[i] == '\n';
    }
    crs = cr;
    lfs = lf;
}

// Whether bytes are CP932 text, as IsValidCp932 tells, by table: which
// bytes stand alone and which pairs make a character is asked of it once,
// byte by byte and pair by pair (the encoding keeps no state between
// characters), and every record is then checked without a conversion.
bool SoundCp932(std::string_view bytes)
{
    struct Table {
        bool single[256] = {};
        bool printableSingle = true; // every byte from 0x20 to 0x7E stands alone
        std::vector<unsigned char> pair = std::vector<unsigned char>(65536, 0);
        Table()
        {
            for (int b = 0; b < 256; ++b) {
                const char one = static_cast<char>(b);
                single[b] = IsValidCp932(std::string_view(&one, 1));
                if (single[b])
                    continue;
                for (int t = 0; t < 256; ++t) {
                    const char two[2] = {one, static_cast<char>(t)};
                    pair[static_cast<std::size_t>(b * 256 + t)] = IsValidCp932(std::string_view(two, 2));
                }
            }
            for (int b = 0x20; b < 0x7F; ++b)
                printableSingle = printableSingle && single[b];
        }
    };
    static const Table table;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
#if defined(__SSE2__)
        // Records are mostly digits, letters and spaces: sixteen bytes from
        // 0x20 to 0x7E at a time are stepped over at once (as signed bytes,
        // those from 0x80 up are below 0x20).
        if (table.printableSingle && i + 16 <= n) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            const __m128i odd = _mm_or_si128(_mm_cmplt_epi8(v, _mm_set1_epi8(0x20)),
                                             _mm_cmpeq_epi8(v, _mm_set1_epi8(0x7F)));
            if (_mm_movemask_epi8(odd) == 0) {
                i += 16;
                continue;
            }
        }
#endif
        if (table.single[p[i]]) {
            ++i;
        } else if (i + 1 < n && table.pair[static_cast<std::size_t>(p[i]) * 256 + p[i + 1]]) {
            i += 2;
        } else {
            return false;
        }
    }
    return true;
}

// Whether a text holds a CR or a LF (two scans of the whole text; a search
// for either byte at once would look at each byte with a call of its own).
bool HasLineBreak(std::string_view text)
{
    return std::memchr(text.data(), '\r', text.size()) != nullptr
           || std::memchr(text.data(), '\n', text.size()) != nullptr;
}

// Any mix of CR LF, LF and lone CR line ends.
void SplitAnyLineEnds(std::string_view contents, std::vector<std::string_view>& lines)
{
    const char* p = contents.data();
    const char* const end = p + contents.size();
    while (p < end) {
        const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        const char* stop = nl ? nl : end;
        bool crlf = false;
        // CRs before the LF: the last one right before it ends the line with
        // it, any other ends a line of its own.
        while (const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(stop - p)))) {
            lines.emplace_back(p, static_cast<size_t>(cr - p));
            p = cr + 1;
            if (nl && p == stop) {
                crlf = true;
                break;
            }
        }
        if (crlf) {
            p = nl + 1;
        } else if (nl) {
            lines.emplace_back(p, static_cast<size_t>(nl - p));
            p = nl + 1;
        } else {
            if (p < end)
                lines.emplace_back(p, static_cast<size_t>(end - p));
            p = end;
        }
    }
}

void SplitInto(std::string_view contents, std::vector<std::string_view>& lines)
{
    lines.clear();
    // A sound file ends every line in CR LF: then every CR is followed by a
    // LF and the lines are found by their LFs alone.
    size_t crs = 0, lfs = 0;
    CountLineBreaks(contents, crs, lfs);
    if (crs == lfs) {
        const char* p = contents.data();
        const char* const end = p + contents.size();
        size_t pairs = 0;
        while (p < end) {
            const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
            if (!nl) {
                lines.emplace_back(p, static_cast<size_t>(end - p));
                break;
            }
            if (nl == p || nl[-1] != '\r')
                break;
            lines.emplace_back(p, static_cast<size_t>(nl - 1 - p));
            ++pairs;
            p = nl + 1;
        }
        if (pairs == crs)
            return;
        lines.clear();
    }
    SplitAnyLineEnds(contents, lines);
}

// Whether the file text is exactly the lines, each followed by CR LF.
bool SameAsJoined(const std::vector<std::string_view>& lines, std::string_view text)
{
    size_t total = 0;
    for (std::string_view l : lines)
        total += l.size() + 2;
    if (total != text.size())
        return false;
    size_t at = 0;
    for (std::string_view l : lines) {
        if (l.data() != text.data() + at && std::memcmp(l.data(), text.data() + at, l.size()) != 0)
            return false;
        at += l.size();
        if (text[at] != '\r' || text[at + 1] != '\n')
            return false;
        at += 2;
    }
    return true;
}

void JoinInto(const std::vector<std::string_view>& lines, std::string& out)
{
    size_t total = 0;
    for (std::string_view l : lines)
        total += l.size() + 2;
    out.clear();
    out.reserve(total);
    for (std::string_view l : lines) {
        out.append(l);
        out.append("\r\n");
    }
}

using Scratch = detail::MergeScratch;
using detail::HeldFile;

// Puts the lines into the held file unless it already holds exactly them.
bool SetLines(Scratch& s, HeldFile& f)
{
    if (f.exists && SameAsJoined(s.lines, f.data))
        return false;
    JoinInto(s.lines, s.after);
    f.data.swap(s.after);
    f.exists = true;
    f.soundSlots = false;
    return true;
}

// The merge of a file known to be sorted lines of the line's length, each
// ending in CR LF, with no other line break and no blank first line: the
// line with the key is found by looking at the key of each line, and the
// line is put in place or inserted where the sort would put it, without
// splitting the file. Returns -1 when the line cannot stay in place (its
// text moved it past a neighbour), else whether the bytes changed.
int MergeSorted(HeldFile& f, std::string_view line, std::string_view raceKey)
{
    const size_t len = line.size();
    const size_t stride = len + 2;
    const size_t n = f.data.size() / stride;
    const char* data = f.data.data();
    auto lineAt = [&](size_t i) { return std::string_view(data + i * stride, len); };
    const size_t keyPos = J::kRaceKey.pos - 1;
    for (size_t i = 0; i < n; ++i) {
        if (std::memcmp(data + i * stride + keyPos, raceKey.data(), raceKey.size()) != 0)
            continue;
        if (lineAt(i) == line)
            return 0;
        if ((i > 0 && LineLess(line, lineAt(i - 1))) || (i + 1 < n && LineLess(lineAt(i + 1), line)))
            return -1;
        f.data.replace(i * stride, len, line);
        return 1;
    }
    // Where a stable sort puts a line added last: after every line not
    // greater than it.
    size_t lo = 0, hi = n;
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (LineLess(line, lineAt(mid)))
            hi = mid;
        else
            lo = mid + 1;
    }
    f.data.insert(lo * stride, line);
    f.data.insert(lo * stride + len, "\r\n");
    return 1;
}

bool Merge(Scratch& s, HeldFile& f, std::string_view line, std::string_view raceKey, bool dropBlankFirstLine)
{
    const bool keyFits = raceKey.size() == J::kRaceKey.len && line.size() >= J::kRaceKey.pos - 1 + J::kRaceKey.len;
    if (f.exists && f.sortedLines == line.size() && keyFits && !BlankAfterTrim(line) && !HasLineBreak(line)) {
        const int r = MergeSorted(f, line, raceKey);
        if (r >= 0)
            return r == 1;
    }
    s.lines.clear();
    if (f.exists)
        SplitInto(f.data, s.lines);
    bool replaced = false;
    for (std::string_view& l : s.lines) {
        if (J::Get(l, J::kRaceKey) == raceKey) {
            l = line;
            replaced = true;
            break;
        }
    }
    if (!replaced)
        s.lines.push_back(line);
    if (!std::is_sorted(s.lines.begin(), s.lines.end(), LineLess))
        std::stable_sort(s.lines.begin(), s.lines.end(), LineLess);
    if (dropBlankFirstLine && !s.lines.empty() && BlankAfterTrim(s.lines.front()))
        s.lines.erase(s.lines.begin());
    const bool changed = SetLines(s, f);
    // The file is now its lines, sorted, joined by CR LF (split lines hold
    // no line break): known sound for the next merge when every line has
    // the line's length, none holds a line break and the first is not blank.
    f.sortedLines = 0;
    if (!s.lines.empty() && !BlankAfterTrim(s.lines.front()) && !HasLineBreak(line)
        && std::all_of(s.lines.begin(), s.lines.end(), [&](std::string_view l) { return l.size() == line.size(); }))
        f.sortedLines = line.size();
    return changed;
}

// 216 lines of 553 bytes, each followed by CR LF.
bool SlotLayout(std::string_view text)
{
    if (text.size() != static_cast<size_t>(J::kSlotLines) * J::kLengthSE)
        return false;
    for (size_t i = 0; i < static_cast<size_t>(J::kSlotLines); ++i) {
        const size_t end = (i + 1) * J::kLengthSE;
        if (text[end - 2] != '\r' || text[end - 1] != '\n')
            return false;
    }
    return true;
}

// The slot layout with no other line break anywhere.
bool SoundSlotFile(std::string_view text)
{
    if (!SlotLayout(text))
        return false;
    size_t crs = 0, lfs = 0;
    CountLineBreaks(text, crs, lfs);
    return crs == static_cast<size_t>(J::kSlotLines) && lfs == static_cast<size_t>(J::kSlotLines);
}

// Whether a runner slot keeps the runner line it holds rather than take an
// incoming one. A download that starts a few days back replays the entry
// records of races whose results are already stored: a record created
// earlier than the stored one, or on the same date at an earlier stage
// (data division "1"-"7" read as a number), is older news and must not wipe
// the results. A deletion ("0") or a cancelled race ("9") always applies;
// a later record or the same stage replaces as before. A slot that holds no
// dated runner line (empty, damaged) always takes the incoming line.
bool KeepsStoredRunner(std::string_view stored, std::string_view incoming)
{
    const std::string_view inDivision = J::Get(incoming, J::kDataDivision);
    if (inDivision == "0" || inDivision == "9")
        return false;
    if (J::Get(stored, J::kRecordKind) != J::kKindSE)
        return false;
    const std::string_view inDate = J::Get(incoming, J::kCreationDate);
    const std::string_view storedDate = J::Get(stored, J::kCreationDate);
    if (inDate.size() != J::kCreationDate.len || storedDate.size() != J::kCreationDate.len || !AllDigits(inDate)
        || !AllDigits(storedDate))
        return false;
    if (inDate != storedDate)
        return inDate < storedDate;
    auto stage = [](std::string_view division) {
        return division.size() == 1 && division[0] >= '1' && division[0] <= '7' ? division[0] - '0' : 0;
    };
    const int inStage = stage(inDivision), storedStage = stage(J::Get(stored, J::kDataDivision));
    return inStage != 0 && storedStage != 0 && inStage < storedStage;
}

bool PutSlot(Scratch& s, HeldFile& f, std::string_view line, int slot, bool createWhenMissing)
{
    if (slot < 0 || slot >= J::kSlotLines)
        return false;
    static const std::string emptySlot(J::kLineLengthSE, ' ');
    if (!f.exists && !createWhenMissing)
        return false;
    const bool fullLine = line.size() == J::kLineLengthSE;
    if (f.exists && fullLine && (f.soundSlots || SlotLayout(f.data))) {
        // A file laid out as 216 lines of 553 bytes that already holds the
        // line in its slot is left as it is (a re-read record costs no write
        // and no scan of the whole file).
        const size_t at = static_cast<size_t>(slot) * J::kLengthSE;
        const std::string_view stored = std::string_view(f.data).substr(at, line.size());
        if (stored == line || KeepsStoredRunner(stored, line))
            return false;
    }
    if (f.exists && fullLine && !HasLineBreak(line)
        && (f.soundSlots || SoundSlotFile(f.data))) {
        // 216 lines of 553 bytes, each ending in CR LF and holding no other
        // line break: the slot is changed in place, and the file stays so.
        const size_t at = static_cast<size_t>(slot) * J::kLengthSE;
        f.data.replace(at, line.size(), line);
        f.soundSlots = true;
        return true;
    }
    s.lines.clear();
    if (f.exists)
        SplitInto(f.data, s.lines);
    if (static_cast<size_t>(slot) < s.lines.size() && KeepsStoredRunner(s.lines[static_cast<size_t>(slot)], line))
        return false;
    // A damaged file that lost its last slots is padded rather than refused,
    // so that it does not block every later download of its day.
    if (s.lines.size() < static_cast<size_t>(J::kSlotLines))
        s.lines.resize(J::kSlotLines, emptySlot);
    s.lines[static_cast<size_t>(slot)] = line;
    return SetLines(s, f);
}

void Load(const std::string& path, HeldFile& f)
{
    f.path = path;
    f.onDisk = f.exists = fs::ReadFile(path, f.data);
    f.diskSize = f.data.size();
    f.diskHash = std::hash<std::string_view> {}(f.data);
    f.changed = false;
    f.soundSlots = false;
    f.sortedLines = 0;
}

// Writes a held file when its bytes differ from the disk's. Bytes that came
// back to what was loaded (an entry line, then the final line it replaced)
// are told by their size and hash, and made sure of on the disk.
bool WriteHeld(const HeldFile& f)
{
    if (!f.exists || !f.changed)
        return false;
    if (f.onDisk && f.data.size() == f.diskSize && std::hash<std::string_view> {}(f.data) == f.diskHash) {
        std::string disk;
        if (fs::ReadFile(f.path, disk) && disk == f.data)
            return false;
    }
    fs::RewriteFile(f.path, f.data);
    return true;
}

// The key of a held file: its path with "\" as "/" and single-byte ASCII
// letters folded, as the file system matches names (double-byte characters
// are stepped over whole: their second byte may look like a letter).
std::string HeldKey(std::string_view path)
{
    std::string key;
    key.reserve(path.size());
    for (size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsSjisLeadByte(c) && i + 1 < path.size()) {
            key += path[i];
            key += path[++i];
        } else if (c == '\\') {
            key += '/';
        } else {
            key += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        }
    }
    return key;
}

std::string LogRace(std::string_view record, const std::string& fileName)
{
    return SJ("作成済み:") + MidStr(record, J::kRaceNumber.pos, J::kRaceNumber.len) + "R/" + fileName;
}

} // namespace

long RecentDateThreshold(const DateTime& now)
{
    DateTime t = AddDays(now, -4);
    return static_cast<long>(t.year) * 10000 + t.month * 100 + t.day;
}

std::string DayCourseStem(std::string_view record)
{
    std::string stem;
    stem.reserve(18);
    stem += J::Get(record, J::kYear);
    stem += SJ("年");
    stem += J::Get(record, J::kMonth);
    stem += SJ("月");
    stem += J::Get(record, J::kDay);
    stem += SJ("日");
    stem += KeibaFunc::CourseName(J::Get(record, J::kCourseCode), 2);
    return stem;
}

std::string RaceFileName(std::string_view record)
{
    return DayCourseStem(record) + kRaceFileExt;
}

std::string RunnerSlotFileName(std::string_view record)
{
    return DayCourseStem(record) + kRunnerSlotFileExt;
}

std::string PayoutFileName(std::string_view record)
{
    return DayCourseStem(record) + kPayoutFileExt;
}

std::string ResultRaceFileName(std::string_view record)
{
    return std::string(J::Get(record, J::kYearToCourse)) + kResultRaceFileExt;
}

std::string HorseHistoryFileName(std::string_view record)
{
    return std::string(J::Get(record, J::SE::kPedigreeNumber)) + kHorseHistoryFileExt;
}

std::string DataFolder(const std::string& base)
{
    return fs::Join(base, kDataFolderName);
}

std::string ResultRaceFolder(const std::string& base, std::string_view record)
{
    return fs::Join(fs::Join(base, kResultRaceFolderName), J::Get(record, J::kYear));
}

std::string HorseHistoryFolder(const std::string& base, std::string_view record)
{
    return fs::Join(fs::Join(base, kHorseHistoryFolderName), J::Get(record, J::SE::kPedigreePrefix));
}

std::string BlankedLine(std::string_view record)
{
    std::string line(record.substr(0, record.size() >= 2 ? record.size() - 2 : 0));
    return KeibaFunc::OverwriteAt(line, J::kBlankedHead, J::kBlankedPos);
}

std::string RecordDamage(std::string_view record)
{
    std::string_view kind = J::Get(record, J::kRecordKind);
    const size_t length = J::RecordLength(kind);
    if (length == 0)
        return {};
    // The text is made only for a damaged record.
    auto what = [kind] { return SJ("不正な") + std::string(kind) + SJ("レコード"); };
    if (record.size() != length) {
        char n[32];
        std::snprintf(n, sizeof n, "%zu", record.size());
        return what() + SJ("（長さ") + n + SJ("バイト）");
    }
    std::string_view body = record.substr(0, length - 2);
    if (record.substr(length - 2) != "\r\n" || HasLineBreak(body))
        return what() + SJ("（改行の位置）");
    if (!SoundCp932(record))
        return what() + SJ("（Shift-JIS以外のバイト）");
    if (!AllAlnum(J::Get(record, J::kYearToCourse)))
        return what() + SJ("（開催年月日・競馬場コード）");
    return {};
}

std::vector<std::string_view> SplitLines(std::string_view contents)
{
    std::vector<std::string_view> lines;
    SplitInto(contents, lines);
    return lines;
}

bool MergeByRaceKey(const std::string& path, std::string_view line, std::string_view raceKey, bool dropBlankFirstLine)
{
    Scratch s;
    HeldFile f;
    Load(path, f);
    f.changed = Merge(s, f, line, raceKey, dropBlankFirstLine);
    return WriteHeld(f);
}

bool PutRunnerSlot(const std::string& path, std::string_view line, int slot, bool createWhenMissing)
{
    Scratch s;
    HeldFile f;
    Load(path, f);
    f.changed = PutSlot(s, f, line, slot, createWhenMissing);
    return WriteHeld(f);
}

bool PedigreeFitsFileName(std::string_view record)
{
    return AllAlnum(J::Get(record, J::SE::kPedigreeNumber));
}

StoredRaceFiles::StoredRaceFiles(std::string baseFolder)
    : m_base(std::move(baseFolder))
    , m_dataFolder(DataFolder(m_base))
{
}

HeldFile& StoredRaceFiles::HeldNamed(Named& n, std::string_view id, const std::string& folder,
                                     const std::function<std::string()>& name)
{
    if (n.id == id && n.generation == m_generation) {
        HeldFile& f = m_held[n.at];
        f.lastUse = ++m_uses;
        return f;
    }
    if (n.id != id || n.path.empty()) {
        Folder(folder);
        n.name = name();
        n.path = fs::Join(folder, n.name);
        n.id = id;
    }
    HeldFile& f = Held(n.path);
    n.at = static_cast<std::size_t>(&f - m_held.data());
    n.generation = m_generation;
    return f;
}

// Makes a folder on its first use; folders seen once are not looked at again
// (one that vanishes later makes the next write fail with its own error).
void StoredRaceFiles::Folder(const std::string& folder)
{
    if (m_knownFolders.count(folder))
        return;
    if (!fs::DirExists(folder))
        fs::CreateDirs(folder);
    m_knownFolders.insert(folder);
}

HeldFile& StoredRaceFiles::Held(const std::string& path)
{
    std::string key = HeldKey(path);
    auto it = m_heldAt.find(key);
    if (it != m_heldAt.end()) {
        m_held[it->second].lastUse = ++m_uses;
        return m_held[it->second];
    }
    HeldFile f;
    Load(path, f);
    f.lastUse = ++m_uses;
    m_heldBytes += f.data.capacity();
    m_held.push_back(std::move(f));
    m_heldAt.emplace(std::move(key), m_held.size() - 1);
    return m_held.back();
}

bool StoredRaceFiles::Exists(const std::string& path)
{
    auto it = m_heldAt.find(HeldKey(path));
    return it != m_heldAt.end() ? m_held[it->second].exists : fs::FileExists(path);
}

void StoredRaceFiles::Changed(HeldFile& file, std::size_t capacityBefore)
{
    m_heldBytes = m_heldBytes + file.data.capacity() - capacityBefore;
}

void StoredRaceFiles::HoldWrites(bool hold)
{
    if (!hold)
        Flush();
    m_holding = hold;
}

void StoredRaceFiles::Flush()
{
    std::vector<HeldFile> held;
    held.swap(m_held);
    m_heldAt.clear();
    ++m_generation;
    m_heldBytes = 0;
    WriteEach(held, {});
}

// Writes the files (but those marked skipped). A file that fails to be
// written does not stop the others: what was merged into them is whole and
// would otherwise be lost until the feed is read again. The first failure is
// passed on once every other file was tried.
void StoredRaceFiles::WriteEach(const std::vector<HeldFile>& files, const std::vector<bool>& skip)
{
    std::exception_ptr first;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i < skip.size() && skip[i])
            continue;
        try {
            Write(files[i]);
        } catch (const fs::FileError&) {
            if (!first)
                first = std::current_exception();
        }
    }
    if (first)
        std::rethrow_exception(first);
}

void StoredRaceFiles::Write(const HeldFile& f)
{
    if (WriteHeld(f)) {
        ++m_filesWritten;
        if (m_flushPump)
            m_flushPump();
    }
}

// Past the limit: files are written and let go until three quarters of the
// limit are held. A long import keeps coming back to the histories of horses
// still running, while the files of a race day are done with once the feed
// has moved past it: the files of race days not touched lately go first,
// then every file longest unused first. So most files are written once; a
// file that fails to be written ends the hold as Flush does: every other
// held file is written, then the failure is passed on.
void StoredRaceFiles::Shrink()
{
    const unsigned long long recent = m_uses > kRecentUses ? m_uses - kRecentUses : 0;
    auto rank = [&](const HeldFile& f) { return !f.lasting && f.lastUse < recent ? 0 : 1; };
    std::vector<std::size_t> order(m_held.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int ra = rank(m_held[a]), rb = rank(m_held[b]);
        return ra != rb ? ra < rb : m_held[a].lastUse < m_held[b].lastUse;
    });
    std::vector<bool> gone(m_held.size(), false);
    ++m_generation;
    try {
        for (std::size_t i : order) {
            if (m_heldBytes <= m_holdLimit / 4 * 3)
                break;
            gone[i] = true;
            Write(m_held[i]);
            m_heldBytes -= m_held[i].data.capacity();
        }
    } catch (const fs::FileError&) {
        std::vector<HeldFile> held;
        held.swap(m_held);
        m_heldAt.clear();
        m_heldBytes = 0;
        try {
            WriteEach(held, gone);
        } catch (const fs::FileError&) {
            // The first failure is the one reported.
        }
        throw;
    }
    std::vector<HeldFile> kept;
    kept.reserve(m_held.size());
    for (std::size_t i = 0; i < m_held.size(); ++i)
        if (!gone[i])
            kept.push_back(std::move(m_held[i]));
    m_held.swap(kept);
    m_heldAt.clear();
    for (std::size_t i = 0; i < m_held.size(); ++i)
        m_heldAt.emplace(HeldKey(m_held[i].path), i);
}

// After every record its files are written at once unless held (and within
// the limit). Not held, a record that failed part way has what it merged
// written before the failure is passed on, as when each file was written as
// it was merged; held, the read loop flushes before it reports.
void StoredRaceFiles::OneRecord(const std::function<void()>& body)
{
    try {
        body();
    } catch (const fs::FileError&) {
        if (!m_holding) {
            try {
                Flush();
            } catch (const fs::FileError&) {
                // The first failure is the one reported.
            }
        }
        throw;
    }
    if (!m_holding || m_holdLimit == 0)
        Flush();
    else if (m_heldBytes > m_holdLimit)
        Shrink();
}

std::vector<std::string> StoredRaceFiles::StoreAccumulated(std::string_view record, long threshold)
{
    std::vector<std::string> log;
    OneRecord([&] { StoreAccumulatedRecord(record, threshold, log); });
    return log;
}

void StoredRaceFiles::StoreAccumulatedRecord(std::string_view record, long threshold, std::vector<std::string>& log)
{
    std::string_view kind = J::Get(record, J::kRecordKind);
    if (J::RecordLength(kind) == 0)
        return;
    if (std::string damage = RecordDamage(record); !damage.empty()) {
        ++m_recordsDamaged;
        log.push_back(SJ("読み飛ばし:") + damage);
        return;
    }

    const std::string_view division = J::Get(record, J::kDataDivision);
    const long long n = ReadDecimal(division);
    const bool final = division == "7" || division == "A" || division == "B";
    const bool stage = n >= 1 && n <= 6;
    const bool recent = ReadDecimal(J::Get(record, J::kRaceDate)) > threshold;
    const long long race = ReadDecimal(J::Get(record, J::kRaceNumber));
    const std::string_view key = J::Get(record, J::kRaceKey);
    const bool isRA = kind == J::kKindRA, isSE = kind == J::kKindSE, isHR = kind == J::kKindHR;

    const std::string_view day = J::Get(record, J::kYearToCourse);
    // Race file.
    if (isRA && (stage || (recent && n != 0)) && race > 0) {
        HeldFile& f = HeldNamed(m_raceFile, day, m_dataFolder, [&] { return RaceFileName(record); });
        MergeHeld(f, BlankedLine(record), key, true);
        log.push_back(LogRace(record, m_raceFile.name));
    }
    // Runner slot file. A runner without a slot (race above 12, horse number
    // above 18) is kept only in its horse history.
    if (isSE && (stage || recent)) {
        const long long horse = ReadDecimal(J::Get(record, J::SE::kHorseNumber));
        const int slot = J::SlotIndex(race, horse);
        if (race > 0 && horse > 0 && slot >= 0) {
            HeldFile& f = HeldNamed(m_slotFile, day, m_dataFolder, [&] { return RunnerSlotFileName(record); });
            PutSlotHeld(f, record.substr(0, record.size() - 2), slot, true);
            log.push_back(SJ("作成済み:") + MidStr(record, J::kRaceNumber.pos, J::kRaceNumber.len) + "R/"
                          + MidStr(record, J::SE::kHorseNumber.pos, J::SE::kHorseNumber.len) + SJ("番/")
                          + m_slotFile.name);
        }
    }
    // Payout file.
    if (isHR && race > 0) {
        HeldFile& f = HeldNamed(m_payoutFile, day, m_dataFolder, [&] { return PayoutFileName(record); });
        MergeHeld(f, BlankedLine(record), key, false);
        log.push_back(LogRace(record, m_payoutFile.name));
    }
    // Result race file.
    if (isRA && final) {
        const bool known = m_resultFile.id == day;
        HeldFile& f = HeldNamed(m_resultFile, day, known ? std::string() : ResultRaceFolder(m_base, record),
                                [&] { return ResultRaceFileName(record); });
        MergeHeld(f, BlankedLine(record), key, false);
        log.push_back(LogRace(record, m_resultFile.name));
    }
    // Horse history file; a pedigree number that cannot name one leaves the
    // runner without its history.
    if (isSE && final && !PedigreeFitsFileName(record)) {
        log.push_back(SJ("読み飛ばし:不正なSEレコード（血統登録番号）"));
    } else if (isSE && final) {
        const std::string_view pedigree = J::Get(record, J::SE::kPedigreeNumber);
        const bool known = m_historyFile.id == pedigree;
        HeldFile& f = HeldNamed(m_historyFile, pedigree, known ? std::string() : HorseHistoryFolder(m_base, record),
                                [&] { return HorseHistoryFileName(record); });
        f.lasting = true;
        MergeHeld(f, BlankedLine(record), key, false);
        log.push_back(SJ("作成済み:") + DayCourseStem(record) + MidStr(record, J::kRaceNumber.pos, J::kRaceNumber.len)
                      + "R/" + m_historyFile.name);
    }
    if (!log.empty())
        ++m_recordsStored;
}

void StoredRaceFiles::StoreRealtime(std::string_view record)
{
    OneRecord([&] { StoreRealtimeRecord(record); });
}

void StoredRaceFiles::StoreRealtimeRecord(std::string_view record)
{
    std::string_view kind = J::Get(record, J::kRecordKind);
    if (J::RecordLength(kind) == 0)
        return;
    if (!RecordDamage(record).empty()) {
        ++m_recordsDamaged;
        return;
    }
    const long long race = ReadDecimal(J::Get(record, J::kRaceNumber));
    if (race <= 0)
        return;
    const std::string_view key = J::Get(record, J::kRaceKey);
    bool stored = false;
    if (kind == J::kKindRA) {
        const std::string path = fs::Join(DataFolder(m_base), RaceFileName(record));
        if (Exists(path)) {
            MergeHeld(Held(path), BlankedLine(record), key, true);
            stored = true;
        }
    } else if (kind == J::kKindSE) {
        const long long horse = ReadDecimal(J::Get(record, J::SE::kHorseNumber));
        const int slot = J::SlotIndex(race, horse);
        const std::string path = fs::Join(DataFolder(m_base), RunnerSlotFileName(record));
        if (horse > 0 && slot >= 0 && Exists(path)) {
            PutSlotHeld(Held(path), record.substr(0, record.size() - 2), slot, false);
            stored = true;
        }
    } else {
        Folder(DataFolder(m_base));
        MergeHeld(Held(fs::Join(DataFolder(m_base), PayoutFileName(record))), BlankedLine(record), key, false);
        stored = true;
    }
    if (stored)
        ++m_recordsStored;
}

void StoredRaceFiles::MergeHeld(HeldFile& f, std::string_view line, std::string_view raceKey, bool dropBlankFirstLine)
{
    const std::size_t before = f.data.capacity();
    if (Merge(m_scratch, f, line, raceKey, dropBlankFirstLine))
        f.changed = true;
    Changed(f, before);
}

void StoredRaceFiles::PutSlotHeld(HeldFile& f, std::string_view line, int slot, bool createWhenMissing)
{
    const std::size_t before = f.data.capacity();
    if (PutSlot(m_scratch, f, line, slot, createWhenMissing))
        f.changed = true;
    Changed(f, before);
}

} // namespace tervan
