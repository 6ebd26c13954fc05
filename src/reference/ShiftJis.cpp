#include "reference/ShiftJis.h"

// The conversions to and from Unicode are the system's own: iconv on POSIX
// (platform/posix/ShiftJisPosix.cpp), code page 932 of Windows
// (platform/win/ShiftJisWin.cpp).

namespace tervan {

bool IsValidUtf8(std::string_view bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        size_t n = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 99;
        if (n == 99 || i + n >= bytes.size())
            return false;
        for (size_t k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        i += n + 1;
    }
    return true;
}

} // namespace tervan
