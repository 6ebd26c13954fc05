#include "import/ForecastOddsImport.h"

#include "acquisition/StoredFiles.h"
#include "archive/UnLha.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "reference/FixedRecord.h"
#include "reference/KeibaFunc.h"
#include "reference/ShiftJis.h"

#include <charconv>
#include <filesystem>
#include <optional>

namespace tervan {

namespace {

constexpr std::string_view kKolText = "kol_ods.kd2";
constexpr std::string_view kKolExtra = "yosoodds.dat";

// value / 10 with one decimal place, right-aligned in `width` characters,
// with a full stop whatever the process locale says.
std::string Tenths(std::string_view field, size_t width)
{
    const double value = static_cast<double>(ReadDecimal(field)) / 10.0;
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 1);
    std::string_view text(buf, ec == std::errc() ? static_cast<size_t>(end - buf) : 0);
    if (text.size() > width) // cannot happen for fields of the source widths
        return std::string(width, ' ');
    return PadLeft(text, width);
}

std::string KolOdds(std::string_view field, size_t width, std::string_view star)
{
    std::string_view t = TrimSpaces(field);
    if (t == "*")
        return std::string(star);
    if (t == "-")
        return std::string(width, ' ');
    return Tenths(field, width);
}

// yyyymmdd of a real calendar day.
bool IsDayText(std::string_view ymd)
{
    if (ymd.size() != 8 || !AllDigits(ymd))
        return false;
    int y = static_cast<int>(ReadDecimal(ymd.substr(0, 4)));
    int m = static_cast<int>(ReadDecimal(ymd.substr(4, 2)));
    int d = static_cast<int>(ReadDecimal(ymd.substr(6, 2)));
    return IsCalendarDate(y, m, d);
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// Names in the folder equal to `name` apart from letter case.
std::vector<std::string> FindNoCase(const std::string& folder, std::string_view name)
{
    std::vector<std::string> found;
    for (std::string& f : fs::ListFiles(folder, "*"))
        if (EqualsNoCase(f, name))
            found.push_back(std::move(f));
    return found;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string out;
    out.reserve(lines.size() * (kForecastLineLength + 2));
    for (const std::string& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

std::string SkippedNote(int skipped)
{
    return SJ("長さが足りない行が") + std::to_string(skipped) + SJ("行あったため、読み飛ばしました。");
}

std::string DamagedMessage(const std::string& member)
{
    return SJ("アーカイブが壊れています(") + member + SJ("のCRCが一致しません)。データを保存できませんでした。");
}

ForecastImportResult Failure(std::string message, int skipped = 0)
{
    ForecastImportResult r;
    r.message = std::move(message);
    r.beep = true;
    r.linesSkipped = skipped;
    return r;
}

// Writes the converted lines of one day.
// `done` is the message for a complete import.
ForecastImportResult Save(const std::string& base, std::string_view ymd, const ForecastConversion& conv, std::string done)
{
    ForecastImportResult r;
    r.wroteFile = fs::Join(fs::Join(base, kDataFolderName),
        ForecastOddsFileName(static_cast<int>(ReadDecimal(ymd.substr(0, 4))), static_cast<int>(ReadDecimal(ymd.substr(4, 2))),
                               static_cast<int>(ReadDecimal(ymd.substr(6, 2)))));
    fs::RewriteFile(r.wroteFile, JoinLines(conv.lines));
    r.linesWritten = static_cast<int>(conv.lines.size());
    r.linesSkipped = conv.skipped;
    r.message = std::move(done);
    if (conv.skipped > 0) {
        r.message += "\n" + SkippedNote(conv.skipped);
        r.beep = true;
    }
    return r;
}

// A day's odds text is some tens of kilobytes; a member far larger than any
// day could fill is not read into memory.
constexpr std::uintmax_t kMaxSourceBytes = 16u << 20;

enum class Source { Jrdb, Kol };

// Converts the extracted odds text `member` of `folder` and saves the day's
// file. key: characters 3-8 of the archive name (yymmdd for JRDB).
ForecastImportResult ConvertExtracted(const std::string& base, const std::string& folder, const std::string& member,
                                   Source source, const std::string& key, bool since2005)
{
    const std::string path = fs::Join(folder, member);
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(fs::ToNative(path), ec);
    if (!ec && size > kMaxSourceBytes)
        return Failure(member + SJ("が大きすぎるため、予想オッズのデータとして読み込めませんでした。"));
    std::string text;
    fs::ReadFile(path, text);

    const ForecastConversion conv = source == Source::Jrdb ? ConvertJrdbOdds(text, key) : ConvertKolOdds(text, since2005);
    if (conv.lines.empty() && conv.skipped == 0)
        return Failure(SJ("データがありませんでした。"));
    if (conv.lines.empty())
        return Failure(SJ("行の長さが足りないため、データを保存できませんでした。") + "\n" + SkippedNote(conv.skipped),
                       conv.skipped);

    if (source == Source::Jrdb) {
        // The race day comes from the archive name, whatever the lines say.
        const std::string ymd = "20" + key;
        if (!IsDayText(ymd))
            return Failure(SJ("アーカイブ名から日付を読み取れないため、データを保存できませんでした。") + "\n"
                           + SJ("JRDB基準オッズはOZ年月日(yymmdd).lzhの名前のまま読み込んでください。"));
        return Save(base, ymd, conv,
                    SJ("JRDB基準オッズデータを解凍し、20") + key.substr(0, 2) + SJ("年") + key.substr(2, 2) + SJ("月")
                        + key.substr(4, 2) + SJ("日のデータを保存しました。データを再読込すると反映されます。"));
    }
    // KOL: the file is named after the first race's day.
    const std::string ymd = conv.lines.front().substr(0, 8);
    if (!IsDayText(ymd))
        return Failure(SJ("レースの日付が正しくないため、データを保存できませんでした。"), conv.skipped);
    return Save(base, ymd, conv,
                SJ("KOL予想オッズデータを解凍し、") + ymd.substr(0, 4) + SJ("年") + ymd.substr(4, 2) + SJ("月") + ymd.substr(6, 2)
                    + SJ("日のデータを保存しました。データを再読込すると反映されます。"));
}

// ConvertExtracted, and the extracted member deleted whatever the outcome:
// a refused odds text is not left lying beside the archive any more than an
// accepted one is.
ForecastImportResult ConvertMember(const std::string& base, const std::string& folder, const std::string& member,
                                   Source source, const std::string& key, bool since2005)
{
    const std::string path = fs::Join(folder, member);
    ForecastImportResult r;
    try {
        r = ConvertExtracted(base, folder, member, source, key, since2005);
    } catch (const fs::FileError&) {
        try {
            fs::DeleteFile(path);
        } catch (const fs::FileError&) {
            // The first failure is the one reported.
        }
        throw;
    }
    fs::DeleteFile(path);
    return r;
}

// A member whose CRC check failed: refused and deleted.
ForecastImportResult RefuseDamaged(const std::string& folder, const std::string& member)
{
    fs::DeleteFile(fs::Join(folder, member));
    return Failure(DamagedMessage(member));
}

} // namespace

std::string KolWinOdds(std::string_view field)
{
    return KolOdds(field, 6, "  50.0");
}

std::string KolQuinellaOdds(std::string_view field)
{
    return KolOdds(field, 8, "  1000.0");
}

std::string KolBracketOdds(std::string_view field)
{
    return KolOdds(field, 8, "   100.0");
}

std::vector<std::string_view> ForecastSourceLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (end < text.size())
            end += (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
        pos = end;
        if (line.find_first_not_of(" \x1a") != std::string_view::npos)
            lines.push_back(line);
    }
    return lines;
}

ForecastConversion ConvertJrdbOdds(std::string_view text, std::string_view key)
{
    ForecastConversion conv;
    for (std::string_view src : ForecastSourceLines(text)) {
        if (src.size() < kJrdbSourceLineLength) {
            ++conv.skipped;
            continue;
        }
        std::string out;
        out.reserve(kForecastLineLength);
        out += "20";
        out += PadRight(key, 6);
        out += Mid(src, 1, 2);
        out += '0';
        out += Mid(src, 5, 1);
        out += '0';
        out += Mid(src, 6, 1);
        out += Mid(src, 7, 2);
        out += 'J';
        out += Mid(src, 9, 2);
        for (size_t h = 0; h < 18; ++h) {
            out += ' ';
            out += Mid(src, 11 + 5 * h, 5);
        }
        for (size_t h = 0; h < 18; ++h) {
            out += ' ';
            out += Mid(src, 101 + 5 * h, 5);
        }
        for (size_t p = 0; p < 153; ++p) {
            out += "   ";
            out += Mid(src, 191 + 5 * p, 5);
        }
        conv.lines.push_back(std::move(out));
    }
    return conv;
}

ForecastConversion ConvertKolOdds(std::string_view text, bool since2005)
{
    ForecastConversion conv;
    for (std::string_view src : ForecastSourceLines(text)) {
        if (src.size() < kKolSourceLineLength) {
            ++conv.skipped;
            continue;
        }
        std::string out;
        out.reserve(kForecastLineLength);
        out += Mid(src, 13, 8);
        out += Mid(src, 1, 2);
        out += Mid(src, 7, 6);
        out += 'K';
        out += Mid(src, 110, 2);
        for (size_t h = 0; h < 18; ++h)
            out += KolWinOdds(Mid(src, 162 + 5 * h, 5));
        out.append(18 * 6, ' '); // the source has no place odds
        if (ReadDecimal(Mid(src, 110, 2)) > 8 || since2005) {
            for (size_t p = 0; p < 153; ++p)
                out += KolQuinellaOdds(Mid(src, 432 + 7 * p, 7));
        } else {
            // Before 2005 small fields had no quinella: with at most eight
            // runners every horse has a bracket of its own, so a pair of
            // horses takes its bracket pair's odds.
            for (int p = 1; p <= 153; ++p) {
                int bracket = KeibaFunc::BracketPairIndex(KeibaFunc::HorsePairLabel(p));
                if (bracket == 0)
                    out.append(8, ' ');
                else
                    out += KolBracketOdds(Mid(src, 252 + 5 * static_cast<size_t>(bracket - 1), 5));
            }
        }
        conv.lines.push_back(std::move(out));
    }
    return conv;
}

ForecastImportResult ImportForecastOdds(const std::string& base, const std::string& archivePath, bool since2005)
{
    try {
        // The archive's folder and name.
        const size_t slash = archivePath.find_last_of("\\/");
        const std::string folder = slash == std::string::npos ? std::string(".") : archivePath.substr(0, slash == 0 ? 1 : slash);
        const std::string name = slash == std::string::npos ? archivePath : archivePath.substr(slash + 1);
        const std::string key = MidStr(name, 3, 6);
        const std::string jrdbText = "Oz" + key + ".txt";

        // Files an earlier import extracted must not be taken for this one.
        for (std::string_view old : {std::string_view(jrdbText), kKolText, kKolExtra})
            for (const std::string& f : FindNoCase(folder, old))
                if (!EqualsNoCase(f, name))
                    fs::DeleteFile(fs::Join(folder, f));

        TUnLha unlha;
        unlha.ArchiveFile = archivePath;
        unlha.FileSpec.clear();
        unlha.FileSpec.push_back("*.*");
        unlha.ExtractDir = folder;
        std::vector<std::string> damaged; // stored names whose CRC check failed
        unlha.OnEnd = [&damaged](const std::string& stored, bool crcOk) {
            if (!crcOk)
                damaged.push_back(stored);
        };
        if (unlha.Extract() == 0)
            return Failure(SJ("データが解凍できませんでした。"));
        // A damaged odds text is not converted: its odds would be wrong.
        auto isDamaged = [&damaged](std::string_view name) {
            for (const std::string& stored : damaged) {
                const size_t sep = stored.find_last_of("\\/");
                if (EqualsNoCase(sep == std::string::npos ? std::string_view(stored) : std::string_view(stored).substr(sep + 1), name))
                    return true;
            }
            return false;
        };

        if (std::vector<std::string> jrdb = FindNoCase(folder, jrdbText); !jrdb.empty())
            return isDamaged(jrdb.front()) ? RefuseDamaged(folder, jrdb.front())
                                           : ConvertMember(base, folder, jrdb.front(), Source::Jrdb, key, since2005);
        if (std::vector<std::string> kol = FindNoCase(folder, kKolText); !kol.empty())
            return isDamaged(kol.front()) ? RefuseDamaged(folder, kol.front())
                                          : ConvertMember(base, folder, kol.front(), Source::Kol, key, since2005);
        return Failure(SJ("アーカイブの中に予想オッズのデータ(Oz年月日.txt または kol_ods.kd2)がありませんでした。"));
    } catch (const fs::FileError& e) {
        return Failure(e.what());
    }
}

} // namespace tervan
