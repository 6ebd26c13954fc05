// CP932 conversions through Windows' own code page 932.
#include "platform/win/WinText.h"
#include "reference/ShiftJis.h"

#include <windows.h>

namespace tervan {
namespace win {

std::wstring Cp932ToWide(std::string_view cp932)
{
    if (cp932.empty())
        return {};
    const int n = ::MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), out.data(), n);
    return out;
}

std::string WideToCp932(std::wstring_view wide, bool* usedDefault)
{
    BOOL used = FALSE;
    std::string out;
    if (!wide.empty()) {
        const int n = ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), nullptr, 0, "?", &used);
        out.resize(static_cast<std::size_t>(n));
        ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), out.data(), n, "?", &used);
    }
    if (usedDefault)
        *usedDefault = used != FALSE;
    return out;
}

} // namespace win

namespace {

// Single bytes that code page 932 of Windows maps to private or control
// characters but that are no CP932 text (as iconv's table has them).
bool LoneNonText(unsigned char c)
{
    return c == 0x80 || c == 0xA0 || c >= 0xFD;
}

// The length of the CP932 character at i when it is valid text; 0 when not.
std::size_t ValidCharLength(std::string_view s, std::size_t i)
{
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80)
        return 1;
    if (LoneNonText(c))
        return 0;
    const std::size_t len = IsSjisLeadByte(c) ? 2 : 1;
    if (i + len > s.size())
        return 0;
    wchar_t w[2];
    return ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, s.data() + i, static_cast<int>(len), w, 2) > 0 ? len : 0;
}

std::string WideToUtf8(std::wstring_view wide)
{
    std::string out;
    if (wide.empty())
        return out;
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(n));
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

} // namespace

std::string Cp932ToUtf8(std::string_view cp932)
{
    if (IsAllAscii(cp932))
        return std::string(cp932);
    // Valid text converts in one call; otherwise by characters, each byte
    // that is not CP932 becoming U+FFFD.
    if (IsValidCp932(cp932))
        return WideToUtf8(win::Cp932ToWide(cp932));
    std::string out;
    std::size_t i = 0;
    while (i < cp932.size()) {
        std::size_t run = i;
        while (run < cp932.size()) {
            const std::size_t len = ValidCharLength(cp932, run);
            if (len == 0)
                break;
            run += len;
        }
        out += WideToUtf8(win::Cp932ToWide(cp932.substr(i, run - i)));
        if (run < cp932.size()) {
            out += "\xEF\xBF\xBD";
            ++run;
        }
        i = run;
    }
    return out;
}

std::string Utf8ToCp932(std::string_view utf8)
{
    if (IsAllAscii(utf8))
        return std::string(utf8);
    std::wstring wide;
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    wide.resize(static_cast<std::size_t>(n));
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    // A character outside the 16-bit range is one "?", not two.
    std::wstring joined;
    joined.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const wchar_t c = wide[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            joined += L'?';
            ++i;
        } else {
            joined += c == 0xFFFD ? L'?' : c;
        }
    }
    return win::WideToCp932(joined);
}

bool IsValidCp932(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t len = ValidCharLength(bytes, i);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

} // namespace tervan
