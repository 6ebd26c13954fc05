// The base folder (the folder of the executable) and the folders the program
// keeps under it. Code below main() always takes the base folder as a
// parameter; the paths here use the platform separator, and folder names are
// matched without regard to letter case, so "DATA", "Data" and "data" are one
// folder.
#pragma once

#include <string>
#include <string_view>

namespace tervan {

// The folder where the odds archive dialog opens by default. The stored
// files' folders (DATA, SEI, SEIR) are named with the stored files.
inline constexpr std::string_view kLzhFolder = "yLZH";

// Creates the four folders under the base folder (DATA, SEI, SEIR, yLZH), each only when it does not
// exist in any letter case. Throws fs::FileError (Japanese message naming the
// folder) when one cannot be made; the folders made before it stay.
void EnsureBaseFolders(const std::string& base);

} // namespace tervan
