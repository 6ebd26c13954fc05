// UTF-16 <-> CP932 and UTF-8 at the Windows API's edge.
#pragma once

#include <string>
#include <string_view>

namespace tervan::win {

// CP932 bytes -> UTF-16 (MultiByteToWideChar, code page 932).
std::wstring Cp932ToWide(std::string_view cp932);
// UTF-16 -> CP932 (WideCharToMultiByte, code page 932); characters CP932
// cannot hold become "?". usedDefault, when given, says whether any did.
std::string WideToCp932(std::wstring_view wide, bool* usedDefault = nullptr);

} // namespace tervan::win
