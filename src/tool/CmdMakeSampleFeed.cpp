// tervan-tool make-sample-feed: writes the made-up JV-Data feed that the
// JV-Link stand-in serves when there is no data service.
#include "tool/ToolCommand.h"

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"
#include "sample/OddsArchives.h"
#include "sample/SampleFeed.h"
#include "sample/SetupFeed.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <ostream>
#include <stdexcept>

namespace tervan::tool {
namespace {

int Run(const std::vector<std::string>& argsIn, std::ostream& out, std::ostream& err);

constexpr int kDefaultSampleDays = 104;

const ToolCommand kCommand {
    "make-sample-feed",
    "make-sample-feed DIR [--seed N] [--today yyyymmdd] [--days N] [--courses N] [--replace] "
    "[--setup-years N [--setup-every-weeks N]]",
    "writes a made-up JV-Data feed for the JV-Link stand-in: N race days ending today (default 104, the weekends "
    "of a year), "
    "2-3 courses of 12 races each, horse histories, results and payouts; --setup-years adds JV-Link's setup data "
    "of the N calendar years before them (final race, runner, payout, vote and odds records of every race; "
    "--setup-every-weeks keeps the races of every n-th weekend only)",
    Run,
};
const ToolCommandRegistration kRegistration(kCommand);

template <class T>
bool ParseNumber(const std::string& text, T& value)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

int Run(const std::vector<std::string>& argsIn, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> args = argsIn;
    sample::SampleOptions options;
    const DateTime now = Now();
    options.today = DateTime {now.year, now.month, now.day};
    // A year of weekends, so that the 格言成績 table has something to count.
    options.days = kDefaultSampleDays;

    std::string text;
    if (TakeOption(args, "--seed", text) && !ParseNumber(text, options.seed)) {
        err << "make-sample-feed: --seed needs a whole number, not '" << text << "'\n";
        return 2;
    }
    if (TakeOption(args, "--today", text)) {
        long value = 0;
        if (!ParseDateOption(text, value)) {
            err << "make-sample-feed: --today needs a date yyyymmdd, not '" << text << "'\n";
            return 2;
        }
        options.today = DateTime {static_cast<int>(value / 10000), static_cast<int>(value / 100 % 100), static_cast<int>(value % 100)};
    }
    if (TakeOption(args, "--days", text) && !ParseNumber(text, options.days)) {
        err << "make-sample-feed: --days needs a number, not '" << text << "'\n";
        return 2;
    }
    if (TakeOption(args, "--courses", text) && !ParseNumber(text, options.courses)) {
        err << "make-sample-feed: --courses needs a number, not '" << text << "'\n";
        return 2;
    }
    sample::SetupOptions setup;
    setup.years = 0;
    if (TakeOption(args, "--setup-years", text) && !ParseNumber(text, setup.years)) {
        err << "make-sample-feed: --setup-years needs a number, not '" << text << "'\n";
        return 2;
    }
    if (TakeOption(args, "--setup-every-weeks", text) && !ParseNumber(text, setup.everyWeeks)) {
        err << "make-sample-feed: --setup-every-weeks needs a number, not '" << text << "'\n";
        return 2;
    }
    setup.courses = options.courses;
    const bool replace = TakeFlag(args, "--replace");
    if (args.size() != 1 || args[0].empty() || args[0].rfind("--", 0) == 0)
        return UsageError(kCommand, err);
    if (const std::string problem = sample::CheckOptions(options); !problem.empty()) {
        err << "make-sample-feed: " << problem << "\n";
        return 2;
    }
    if (setup.years != 0) {
        if (const std::string problem = sample::CheckSetupOptions(setup); !problem.empty()) {
            err << "make-sample-feed: " << problem << "\n";
            return 2;
        }
    }

    const auto start = std::chrono::steady_clock::now();
    sample::SampleFeedSummary s;
    sample::SetupFeedSummary setupSummary;
    std::vector<std::string> archives;
    try {
        long firstDay = 0;
        {
            const sample::SampleWorld world = sample::BuildSampleWorld(options);
            s = sample::WriteSampleFeed(Utf8ToCp932(args[0]), world, replace);
            // Forecast odds archives for the "予想配当" button, beside the feed.
            archives = sample::WriteOddsArchives(Utf8ToCp932(args[0]), world);
            firstDay = world.days.front().day;
        }
        if (setup.years != 0)
            setupSummary = sample::WriteSetupFeed(Utf8ToCp932(args[0]), options, firstDay, setup);
    } catch (const std::runtime_error& e) {
        // fs::FileError carries CP932 text; main() prints that one.
        if (dynamic_cast<const fs::FileError*>(&e))
            throw;
        err << "make-sample-feed: " << e.what() << "\n";
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char today[16];
    std::snprintf(today, sizeof today, "%04d%02d%02d", options.today.year, options.today.month, options.today.day);
    out << "sample feed for " << today << ": " << s.raceDays << " race days, " << s.dayCourses << " day-courses, "
        << s.races << " races\n";
    out << "wrote " << s.files << " files, " << s.Records() << " records (RA " << s.raRecords << ", SE " << s.seRecords
        << ", HR " << s.hrRecords << "), " << s.bytes << " bytes in " << static_cast<int>(seconds * 1000) << " ms\n";
    if (setup.years != 0)
        out << "setup data " << setupSummary.firstDate << "-" << setupSummary.lastDate << ": "
            << setupSummary.raceDays << " race days, " << setupSummary.dayCourses << " day-courses, "
            << setupSummary.races << " races, " << setupSummary.files << " files, " << setupSummary.Records()
            << " records (RA " << setupSummary.raRecords << ", SE " << setupSummary.seRecords << ", HR "
            << setupSummary.hrRecords << "; H1 " << setupSummary.h1Records << ", O1 " << setupSummary.o1Records
            << " not kept), " << setupSummary.bytes << " bytes\n";
    for (const std::string& name : archives)
        out << "forecast odds archive: " << Cp932ToUtf8(name) << "\n";
    return 0;
}

} // namespace
} // namespace tervan::tool
