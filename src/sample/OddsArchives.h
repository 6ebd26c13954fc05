// Forecast odds archives for the sample: a JRDB base odds archive
// ("OZyymmdd.lzh" holding "Ozyymmdd.txt") and a KOL forecast odds archive
// ("jyymmdd.lzh" holding "kol_ods.kd2") for race days of a sample world, in
// the text layouts that the program's forecast odds import reads. The odds
// are the runners' forecast win odds of the world; place, quinella and
// bracket-quinella odds follow from them.
#pragma once

#include "sample/SampleWorld.h"

#include <string>
#include <vector>

namespace tervan::sample {

struct OddsArchive {
    std::string name;  // CP932 file name
    std::string bytes; // the LHA archive
    int races = 0;
};

// The JRDB base odds text of a race day: one 955-byte line per race, every
// racecourse of the day, CR LF after each.
std::string BuildJrdbOddsText(const SampleDay& day);

// The KOL forecast odds text of a race day: one 1502-byte line per race, CR LF
// after each. Win odds of 50.0 and above are "*", quinella odds of 1000.0 and
// above and bracket-quinella odds of 100.0 and above too; "-" where there is
// no such horse or combination.
std::string BuildKolOddsText(const SampleDay& day);

// The two archives of a world: JRDB for the day before the last (the last when
// the sample has one day), KOL for the last day (today).
std::vector<OddsArchive> BuildOddsArchives(const SampleWorld& world);

// Writes the archives into the folder (CP932 path, created when missing);
// returns their names. Throws fs::FileError when one cannot be written.
std::vector<std::string> WriteOddsArchives(const std::string& dir, const SampleWorld& world);

} // namespace tervan::sample
