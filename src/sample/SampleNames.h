// Names for the sample feed: horses (katakana, at most nine characters, as
// the racing authority allows), jockeys and trainers (short kanji names of
// at most four characters), owners, racing colours and race names. All are
// made up; the results are CP932.
#pragma once

#include "sample/SampleRandom.h"

#include <string>
#include <unordered_set>

namespace tervan::sample {

// A horse name not in `used` (which it is added to).
std::string MakeHorseName(Rng& rng, char sexCode, std::unordered_set<std::string>& used);

// A short person name of at most four full-width characters ("田中健太",
// "松岡正") not in `used`.
std::string MakePersonShortName(Rng& rng, int kanjiCount, std::unordered_set<std::string>& used);

// An owner's name (a person or a club) and its racing colours.
std::string MakeOwnerName(Rng& rng);
std::string MakeSilks(Rng& rng);

// A place name near a racecourse, for special race names ("府中", "鴨川").
std::string CoursePlaceName(std::string_view courseCode, std::uint64_t choice);

} // namespace tervan::sample
