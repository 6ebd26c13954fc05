// The base folder (the folder of the executable) and the folders the program
// keeps under it. Code below main() always takes the base folder as a
// parameter; the paths here use the platform separator, and folder names are
// matched without regard to letter case, so "DATA", "Data" and "data" are one
// folder.
#pragma once

#include <string>
#include <string_view>

namespace tervan {

// Names of the folders under the base folder, in the order they are made.
inline constexpr std::string_view kDataFolder = "DATA";  // race, runner slot, payout and forecast odds files
inline constexpr std::string_view kSeiFolder = "SEI";    // horse history files, by pedigree-number prefix
inline constexpr std::string_view kSeirFolder = "SEIR";  // result race files, by year
inline constexpr std::string_view kLzhFolder = "yLZH";   // where the odds archive dialog opens by default

// Creates the four folders under the base folder, each only when it does not
// exist in any letter case. Throws fs::FileError (Japanese message naming the
// folder) when one cannot be made; the folders made before it stay.
void EnsureBaseFolders(const std::string& base);

} // namespace tervan
