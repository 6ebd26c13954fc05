// The sample feed: a made-up JV-Data feed in the layout of the JV-Link
// stand-in, so that the program shows real-looking race cards without the
// data service, and tests and benchmarks have data at any scale.
//
// A feed is a folder of data files "RACE<yyyymmddhhnnss>_<what>.jvd" holding
// RA, SE and HR records (CP932, CR LF after each), plus the real-time files
// "realtime/0B12<yyyymmdd>_<course>.jvd" of today's results:
//   - runs before the sample's race days: final runner records only (data
//     division "7"), so that every horse has a history; these are the data
//     kind "RCVN" (the past runs of this week's horses), "RCVN<stamp>_H...";
//   - for each race day, its entries (race and runner records of data
//     division "2"), published the day before;
//   - for each race day before today, its final results (division "7" race
//     and runner records, payouts of division "2") in a later file, the
//     evening of the day; days four or more days back also carry the runner
//     records of the day's results (division "6") that the results update
//     would have stored then, so their runner slot files hold the places;
//   - today's results only in the real-time files (race and runner records
//     of division "6", payouts of division "1").
// Every accumulated file's time stamp lies within the three days before today
// (older race days are squeezed into the start of that window, in order), so
// the download's default start point, eight days back, takes them all.
#pragma once

#include "sample/SampleWorld.h"

#include <string>
#include <vector>

namespace tervan::sample {

// yyyymmdd of a day number (days since 1970-01-01).
long Yyyymmdd(long day);

// ---- records ----

// The race details record of a race (1272 bytes with CR LF). withResults
// adds what is known after the race (runners past the post, weather and
// going, times).
std::string BuildRaRecord(const SampleWorld& world, const SampleRace& race, char division, long created, bool withResults);

// The runner record of a runner of a race (555 bytes with CR LF).
std::string BuildSeRecord(const SampleWorld& world, const SampleRace& race, const SampleRunner& runner, char division,
                          long created, bool withResults);

// The final runner record of a run before the sample.
std::string BuildPastSeRecord(const SampleWorld& world, const PastRun& run, long created);

// The payout record of a race (719 bytes with CR LF).
std::string BuildHrRecord(const SampleWorld& world, const SampleRace& race, char division, long created);

// ---- files ----

struct SampleFile {
    std::string name;     // relative to the feed folder: "RACE....jvd" or "realtime/0B12....jvd"
    std::string contents; // CP932 records, each ending CR LF
    int raRecords = 0, seRecords = 0, hrRecords = 0;
};

// The files of a world, in the order the stand-in reads them.
std::vector<SampleFile> BuildSampleFiles(const SampleWorld& world);

struct SampleFeedSummary {
    int files = 0;
    long raRecords = 0, seRecords = 0, hrRecords = 0;
    long long bytes = 0;
    int raceDays = 0;  // days
    int dayCourses = 0; // day and course pairs (entries of the program's day list)
    int races = 0;
    long Records() const { return raRecords + seRecords + hrRecords; }
};

// Makes the world of the options and writes its files under `dir` (CP932
// path, created when missing). Each file is written whole (atomically).
// With replace, data files ("*.jvd") already in the folder and its realtime
// folder are deleted first; without it a folder that already holds any is
// refused (std::runtime_error with an English message), so that two samples
// never mix. Throws std::invalid_argument for bad options and fs::FileError
// when a file cannot be written.
SampleFeedSummary WriteSampleFeed(const std::string& dir, const SampleOptions& options, bool replace = false);

// The same for a world already made.
SampleFeedSummary WriteSampleFeed(const std::string& dir, const SampleWorld& world, bool replace = false);

} // namespace tervan::sample
