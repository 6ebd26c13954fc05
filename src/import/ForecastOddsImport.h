// Forecast win-odds import: an LHA archive of JRDB base odds ("OZyymmdd.lzh",
// holding "Ozyymmdd.txt") or of KOL forecast odds ("j*.lzh", holding
// "kol_ods.kd2") becomes the forecast odds file (".yoz") of its race day in
// the data folder, one 1459-character forecast line per race.
//
// The main window's "予想配当" button asks for the archive and shows the
// message of the result; everything after the file dialog happens here.
#pragma once

#include "import/ForecastOddsFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace tervan {

// What an import did, for the window to show.
struct ForecastImportResult {
    std::string message; // CP932 text of the information dialog; empty: show nothing
    bool beep = false;   // sound the default beep before showing the message
    std::string wroteFile; // CP932 path of the ".yoz" written; empty when none
    int linesWritten = 0;
    int linesSkipped = 0; // source lines too short for their layout
};

// Lines built from one source text.
struct ForecastConversion {
    std::vector<std::string> lines; // each exactly kForecastLineLength bytes
    int skipped = 0;                // non-blank source lines too short to convert
};

// The shortest source lines that hold every field the conversions read.
constexpr size_t kJrdbSourceLineLength = 190 + 153 * 5;  // 955
constexpr size_t kKolSourceLineLength = 431 + 153 * 7;   // 1502

// The KOL odds fields: a field whose trimmed text is "*" or "-" holds no
// number; any other field is an integer in tenths.
std::string KolWinOdds(std::string_view field);       // 6 characters: "*" "  50.0", "-" blank
std::string KolQuinellaOdds(std::string_view field);  // 8 characters: "*" "  1000.0", "-" blank
std::string KolBracketOdds(std::string_view field);   // 8 characters: "*" "   100.0", "-" blank

// The source text split into lines (CR LF, LF or CR); blank lines and a
// trailing end-of-file mark are dropped.
std::vector<std::string_view> ForecastSourceLines(std::string_view text);

// JRDB base odds text; key is the race day yymmdd taken from the archive name.
ForecastConversion ConvertJrdbOdds(std::string_view text, std::string_view key);

// KOL forecast odds text. since2005 is the main window's Since2005 flag: when
// false, races of at most 8 runners take their quinella odds from the
// bracket-quinella fields.
ForecastConversion ConvertKolOdds(std::string_view text, bool since2005);

// The import after the file dialog: archivePath is the chosen archive (CP932,
// "\" or "/" separators), base the base folder. Cleans the archive's folder
// of files an earlier import extracted, extracts the archive into that
// folder, converts the odds text it holds and writes the ".yoz" into the data
// folder under base. File errors end the import and come back as the message.
ForecastImportResult ImportForecastOdds(const std::string& base, const std::string& archivePath, bool since2005);

} // namespace tervan
