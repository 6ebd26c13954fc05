// Paths as CP932 text: splitting at separators, joining, case folding and
// wildcard masks. Pure text work, the same on every system.
//
// Both "\" and "/" separate folders. A CP932 second byte can be 0x5C ("\"),
// so double-byte characters are always stepped over whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tervan::fs {

// The parts of a CP932 path between separators. absolute: the path starts
// with a separator. Empty parts (a leading, doubled or trailing separator)
// are dropped, or with keepEmpty kept, so that n separators give n + 1 parts.
std::vector<std::string> SplitPath(std::string_view path, bool& absolute, bool keepEmpty = false);

// Position of the last separator of a CP932 path; npos when there is none.
std::size_t LastSeparator(std::string_view path);

// ASCII letters lowered; every other byte, CP932 ones included, kept.
std::string FoldAscii(std::string_view s);

// base + "/" + name, without doubling the separator.
std::string Join(std::string_view base, std::string_view name);

// Wildcard match of a CP932 name: "*" any run, "?" one character (a
// double-byte character counts as one); ASCII letters without regard to case.
bool MatchesMask(std::string_view name, std::string_view mask);

} // namespace tervan::fs
