// A read loop holds its writes and writes each changed file once: the stored
// bytes must be exactly those of writing every record at once.
#include "acquisition/JVLinkStandIn.h"
#include "acquisition/JVRecordBuilder.h"
#include "acquisition/ReadLoop.h"
#include "acquisition/StoredFiles.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>

using namespace tervan;
using namespace tervan::test;
namespace sfs = std::filesystem;

namespace {

const DateTime kNow {2006, 5, 29, 20, 0, 0};

// A record of random kind, division, date, race, horse and key letters:
// races without a slot, unknown courses, final data for old and recent days,
// keys and pedigrees that differ only in letter case, unfit pedigrees and
// now and then a damaged record.
std::string RandomRecord(std::mt19937& rng)
{
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    static const char* const kinds[] = {"RA", "SE", "SE", "SE", "HR"};
    static const char divisions[] = "0123456789AB7";
    static const char* const dates[] = {"20060528", "20060527", "20060510", "20060603"};
    static const char* const courses[] = {"05", "08", "0a", "0A", "ZZ"};
    static const char* const pedigrees[] = {"2003100001", "2003100002", "2003a00003", "2003A00003", "          ",
                                            "2002100004"};
    RecordSpec s;
    s.kind = kinds[pick(5)];
    s.division = divisions[pick(13)];
    s.created = "2006052" + std::to_string(pick(10));
    s.date = dates[pick(4)];
    s.course = courses[pick(5)];
    s.meetingDay = pick(2) ? "12" : "11";
    s.race = pick(15);
    s.horse = pick(20);
    s.pedigree = pedigrees[pick(6)];
    s.filler = std::string(1, static_cast<char>('A' + pick(4)));
    std::string rec = MakeRecord(s);
    if (pick(40) == 0)
        rec.erase(100, 1); // damaged: a byte short
    return rec;
}

// Files found on disk before the import: a blank first race line, a runner
// slot file that lost its last slots, a history file with LF line ends.
void SeedBase(const sfs::path& base, std::mt19937& rng)
{
    for (const char* d : {"DATA", "SEI/2003", "SEIR"})
        sfs::create_directories(base / d);
    RecordSpec ra;
    std::string line = MakeRecord(ra).substr(0, 1270);
    WriteAll(base / "DATA" / U8Path("2006年05月28日東京.jvRA"), std::string(1270, ' ') + "\r\n" + line + "\r\n");
    std::string slots;
    for (int i = 0; i < 100; ++i)
        slots += std::string(553, ' ') + "\r\n";
    WriteAll(base / "DATA" / U8Path("2006年05月27日東京.jvSEr"), slots);
    RecordSpec se;
    se.kind = "SE";
    se.filler = std::string(1, static_cast<char>('a' + rng() % 3));
    WriteAll(base / "SEI" / "2003" / "2003100001.jvSEI", MakeRecord(se).substr(0, 553) + "\n");
}

struct ImportResult {
    std::map<std::string, std::string> files;
    long written = 0;
    JVDownload::Outcome outcome = JVDownload::Outcome::None;
};

ImportResult Import(const sfs::path& root, std::size_t holdLimit)
{
    ReadLoopNotifier quiet;
    const std::string base = fs::FromNative(root / "base");
    JVLinkStandIn jv(base, fs::FromNative(root / "feed"));
    jv.JVInit(JVSoftwareId());
    StoredRaceFiles files(base);
    files.SetHoldLimit(holdLimit);
    std::atomic<bool> cancel {false};
    JVDownload dl(jv, files, quiet, [] { return kNow; }, cancel);
    for (bool wait = dl.Start(DateTime {2006, 5, 20, 0, 0, 0}); wait;)
        wait = dl.Tick();
    ImportResult r;
    for (auto& [name, bytes] : Snapshot(root / "base"))
        if (name.find(JVLinkStandIn::kCacheFolderName) == std::string::npos)
            r.files[name] = std::move(bytes);
    r.written = files.FilesWritten();
    r.outcome = dl.LastOutcome();
    return r;
}

// FNV-1a, 64 bits.
std::uint64_t Fnv(std::string_view bytes, std::uint64_t h = 0xcbf29ce484222325ull)
{
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 0x100000001b3ull;
    }
    return h;
}

} // namespace

TEST(WriteBehind, RandomFeedsGiveTheBytesOfWritingEveryRecordAtOnce)
{
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        std::vector<std::vector<std::string>> feedFiles(1 + rng() % 4);
        for (auto& f : feedFiles)
            for (int i = 0, n = 20 + static_cast<int>(rng() % 150); i < n; ++i)
                f.push_back(RandomRecord(rng));
        const unsigned seedState = static_cast<unsigned>(rng());

        // Record by record (limit 0), held within a small limit, held whole.
        std::vector<ImportResult> results;
        for (std::size_t limit : {std::size_t {0}, std::size_t {40000}, StoredRaceFiles::kDefaultHoldLimit}) {
            TempDir root;
            std::mt19937 seedRng(seedState);
            SeedBase(root.native() / "base", seedRng);
            for (size_t i = 0; i < feedFiles.size(); ++i)
                WriteFeedFile(root.native() / "feed", "RACE2006052" + std::to_string(i) + "120000.jvd", feedFiles[i]);
            results.push_back(Import(root.native(), limit));
            ASSERT_EQ(results.back().outcome, JVDownload::Outcome::Completed);
        }
        EXPECT_GT(results[0].files.size(), 3u);
        EXPECT_TRUE(results[1].files == results[0].files);
        EXPECT_TRUE(results[2].files == results[0].files);
        // Held whole, each file is written at most once per feed file.
        EXPECT_LE(results[2].written, results[0].written);
    }
}

TEST(WriteBehind, SampleImportKeepsItsCommittedBytesAndASecondImportChangesNothing)
{
    TempDir root;
    const std::string feed = (root.native() / "feed").string(), base = (root.native() / "base").string();
    std::string out, err;
    ASSERT_EQ(RunTool({"make-sample-feed", feed, "--seed", "7", "--today", "20060529", "--days", "4", "--courses", "2"},
                      out, &err), 0) << err;
    const std::vector<std::string> import {"import-jv", base, feed, "--now", "20060529200000", "--from", "20060520000000"};
    ASSERT_EQ(RunTool(import, out, &err), 0) << err;
    EXPECT_NE(out.find("stored 8166 records, "), std::string::npos) << out.substr(out.rfind("stored"));

    std::vector<std::string> rows;
    for (const char* top : {"DATA", "SEIR"})
        for (const auto& e : sfs::recursive_directory_iterator(root.native() / "base" / top))
            if (e.is_regular_file()) {
                char hex[17];
                std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(Fnv(ReadAll(e.path()))));
                rows.push_back(std::string(hex) + "  " + U8Text(sfs::relative(e.path(), root.native() / "base")));
            }
    for (const auto& d : sfs::directory_iterator(root.native() / "base" / "SEI")) {
        std::vector<std::string> names;
        for (const auto& e : sfs::directory_iterator(d.path()))
            names.push_back(U8Text(e.path().filename()));
        std::sort(names.begin(), names.end());
        std::uint64_t h = 0xcbf29ce484222325ull;
        for (const std::string& n : names)
            h = Fnv(ReadAll(d.path() / U8Path(n)), Fnv(n + "\n", h));
        char hex[17];
        std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
        rows.push_back(std::string(hex) + "  SEI/" + U8Text(d.path().filename()) + "/* (" + std::to_string(names.size())
                       + " files)");
    }
    std::sort(rows.begin(), rows.end(), [](const std::string& a, const std::string& b) {
        return a.substr(18) < b.substr(18);
    });
    std::vector<std::string> expected;
    std::ifstream in(TestData("acquisition/sample-import.fnv"));
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#')
            expected.push_back(line);
    EXPECT_EQ(rows, expected);

    const auto first = Snapshot(root.native() / "base");
    ASSERT_EQ(RunTool(import, out, &err), 0) << err;
    EXPECT_EQ(Snapshot(root.native() / "base"), first);
}
