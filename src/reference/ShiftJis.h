// Shift-JIS (code page 932) text at the program's edges.
//
// Every text the program keeps, in memory and on disk, is CP932 bytes in a
// std::string. Conversion to Unicode happens only where text leaves the
// program (drawing, the clipboard, file names on a UTF-8 file system, the
// console of tervan-tool) and back where it enters. The table is the
// system's own: glibc iconv's "CP932", Windows' code page 932.
#pragma once

#include <string>
#include <string_view>

namespace tervan {

// True for the first byte of a CP932 double-byte character.
constexpr bool IsSjisLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// True when every byte is ASCII (then the text is the same in CP932 and
// UTF-8).
constexpr bool IsAllAscii(std::string_view s)
{
    for (unsigned char c : s)
        if (c >= 0x80)
            return false;
    return true;
}

// CP932 -> UTF-8. Bytes that are not CP932 become U+FFFD, one per byte, so
// nothing is ever dropped silently from what the user sees.
std::string Cp932ToUtf8(std::string_view cp932);

// UTF-8 -> CP932. Characters that CP932 cannot hold become "?".
std::string Utf8ToCp932(std::string_view utf8);

// True when the bytes are complete, valid CP932 text.
bool IsValidCp932(std::string_view bytes);

// True when the bytes are valid UTF-8.
bool IsValidUtf8(std::string_view bytes);

} // namespace tervan

// A CP932 copy of a UTF-8 literal, converted once and kept for the program's
// life: SJ("東京") is the 4-byte CP932 text of 東京.
#define SJ(utf8_literal)                                                        \
    ([]() -> const std::string& {                                              \
        static const std::string converted = ::tervan::Utf8ToCp932(utf8_literal); \
        return converted;                                                      \
    }())
