// The racing utility unit: JV-Data racecourse names in their five renderings,
// the sex-code and short-course lookups, two small text operations on fixed
// records, and the labels of two-runner bet combinations.
//
// Every function is pure and takes and returns CP932 byte strings. Widths are
// in bytes and the trailing spaces of each value are part of it: callers
// paste these texts into fixed-layout grid cells and file names.
#pragma once

#include <string>
#include <string_view>

namespace tervan::KeibaFunc {

// The rendering of a two-character JV-Data racecourse code:
//   selector 0: 6-byte display name ("東京  ")
//   selector 1: one full-width character ("東"; "A2" alone gives the 3-byte "日 ")
//   selector 2: 4-byte name, the form used in stored file names ("東京")
//   selector 3: 6-byte name of up to three full-width characters
//   selector 9: 20-byte formal name padded with full-width spaces
// The code is compared whole and byte for byte. A code not in the table gives
// half-width blanks: 6, 2, 4, 6 and 6 (not 20) bytes for selectors 0, 1, 2, 3
// and 9. Any other selector gives an empty text.
std::string CourseName(std::string_view code, int selector);

// "牡" for "1", "牝" for "2", "ｾﾝ" for "3", empty for anything else.
std::string SexName(std::string_view code);

// The course of a KOL forecast line, numbered in that source's own order:
// 0 京都, 1 阪神, 2 中京, 3 小倉, 4 東京, 5 中山, 6 福島, 7 新潟, 8 札幌,
// 9 函館 (4 bytes each); "ｿﾉ他" for any other value. The text is read as a
// decimal number (blank or empty reads as 0).
std::string CourseShortName(std::string_view text);

// The text with as many bytes as the piece has, from the 1-based position on,
// replaced by the piece (fewer are removed when the text ends first). A
// position past the end appends the piece; position 0 counts as 1.
std::string OverwriteAt(std::string_view text, std::string_view piece, size_t position);

// The decimal number in the text right-aligned in a field as wide as the text
// (never cut when wider); half-width blanks of that width when it is zero.
std::string BlankZeroNum(std::string_view text);

// The label of a two-runner combination: both numbers right-aligned in two
// characters, the smaller first, joined by a hyphen (" 1-12").
std::string PairLabel(int first, int second);

// Bracket-quinella index 1..36 of a label (" 1- 1" = 1 ... " 8- 8" = 36);
// 0 when the text is not exactly one of the 36 bracket labels.
int BracketPairIndex(std::string_view label);

// Horse-pair label of a quinella index 1..153 (1 = " 1- 2", 153 = "17-18");
// empty for any other index.
std::string HorsePairLabel(int index);

// Horse-pair index 1..153 of horses i < j (1..18); 0 otherwise.
int HorsePairIndex(int first, int second);

} // namespace tervan::KeibaFunc
