// CP932 conversions through glibc iconv's "CP932" table.
#include "reference/ShiftJis.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace tervan {
namespace {

// iconv descriptors are not safe to share between threads; each conversion
// direction gets one per thread, opened on first use.
class Converter {
public:
    Converter(const char* to, const char* from)
        : m_cd(iconv_open(to, from))
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as it can; at an invalid or incomplete sequence it
    // stops and returns the number of input bytes consumed.
    size_t convert(std::string_view in, std::string& out)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in.data());
        size_t inLeft = in.size();
        char buffer[4096];
        while (inLeft > 0) {
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            size_t rc = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<size_t>(outPtr - buffer));
            if (rc == static_cast<size_t>(-1) && errno != E2BIG)
                break;
        }
        return in.size() - inLeft;
    }

private:
    iconv_t m_cd;
};

Converter& ToUtf8()
{
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

Converter& ToCp932()
{
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

} // namespace

std::string Cp932ToUtf8(std::string_view cp932)
{
    if (IsAllAscii(cp932))
        return std::string(cp932);
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    while (!cp932.empty()) {
        size_t used = ToUtf8().convert(cp932, out);
        cp932.remove_prefix(used);
        if (!cp932.empty()) {
            out += "\xEF\xBF\xBD"; // U+FFFD for the byte that is not CP932
            cp932.remove_prefix(1);
        }
    }
    return out;
}

std::string Utf8ToCp932(std::string_view utf8)
{
    if (IsAllAscii(utf8))
        return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        size_t used = ToCp932().convert(utf8, out);
        utf8.remove_prefix(used);
        if (!utf8.empty()) {
            out += '?';
            // skip the whole UTF-8 sequence that could not be converted
            size_t skip = 1;
            while (skip < utf8.size() && (static_cast<unsigned char>(utf8[skip]) & 0xC0) == 0x80)
                ++skip;
            utf8.remove_prefix(skip);
        }
    }
    return out;
}

bool IsValidCp932(std::string_view bytes)
{
    if (IsAllAscii(bytes))
        return true;
    std::string out;
    return ToUtf8().convert(bytes, out) == bytes.size();
}

} // namespace tervan
