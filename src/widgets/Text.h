// CP932 text at the screen's edge: what the core keeps as Shift-JIS bytes
// becomes a QString only to be drawn, and user input goes back to CP932.
#pragma once

#include "reference/ShiftJis.h"

#include <QString>
#include <string>
#include <string_view>

namespace tervan {

// A text of the program's own, written in the source as UTF-8.
inline QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

inline QString Q(std::string_view cp932)
{
    std::string utf8 = Cp932ToUtf8(cp932);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string Sj(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    return Utf8ToCp932(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

} // namespace tervan
