// The setup feed: JV-Link's setup data (セットアップ) of the years before a
// weekly sample, in the layout of the JV-Link stand-in, so that a new
// installation can be filled with years of history and the import of years
// can be measured.
//
// The setup years are whole calendar years, the last one ending the day
// before the weekly sample's first race day. Every race of them comes whole
// and final, as JV-Link's setup data has it: its race details (RA, data
// division "7"), every runner (SE "7"), its payouts (HR "2"), and, as most
// of the bytes of real setup data, its votes (H1, 28,955 bytes) and its win,
// place and bracket quinella odds (O1), which the program does not keep.
// One data file per race day and racecourse,
// "RACE<yyyymmdd180000 + course>_S<yyyymmdd><course>.jvd", stamped the
// evening of its day; within a file the records come kind by kind.
//
// The races are made by sample worlds of at most 400 race days each, laid
// end to end, each with its own horses (pedigree numbers apart from the
// weekly sample's and from each other's); a horse's runs before its world
// are not part of the feed.
#pragma once

#include "sample/SampleFeed.h"

#include <string>

namespace tervan::sample {

struct SetupOptions {
    int years = 10;      // calendar years (1..60)
    int courses = 0;     // racecourses per day, as SampleOptions::courses
    int everyWeeks = 1;  // keep the races of every n-th weekend only (1..52), for small feeds
};

// Why setup options cannot make a feed (empty when they can).
std::string CheckSetupOptions(const SetupOptions& options);

// The vote record (票数1, H1) and the odds record (オッズ1 単複枠, O1) of a
// finished race.
std::string BuildH1Record(const SampleRace& race, char division, long created);
std::string BuildO1Record(const SampleRace& race, char division, long created);

struct SetupFeedSummary : SampleFeedSummary {
    long h1Records = 0, o1Records = 0;
    long firstDate = 0, lastDate = 0; // yyyymmdd of the first and last race day
};

// Writes the setup data files of the years before the weekly sample of
// `weekly` (whose first race day is `weeklyFirstDay`, a day number) into
// `dir`, which the weekly sample's files may share. Throws
// std::invalid_argument for bad options and fs::FileError when a file
// cannot be written.
SetupFeedSummary WriteSetupFeed(const std::string& dir, const SampleOptions& weekly, long weeklyFirstDay,
                                const SetupOptions& setup);

} // namespace tervan::sample
