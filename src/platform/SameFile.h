// Whether two paths name one file, so that a writer never replaces the file
// it is reading.
#pragma once

#include <filesystem>

namespace tervan::fs {

// True when both native paths name the same existing file: the same device
// and file number, whatever links or letter case lead to it. False when
// either does not exist.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

} // namespace tervan::fs
