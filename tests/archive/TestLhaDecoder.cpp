// The LHA reader below TUnLha: CRC-16, headers and the decoders, on real
// archives (with their manifest of sizes and CRCs) and on hand-made and
// damaged ones.
#include "archive/LhaCrc16.h"
#include "archive/LhaDecoder.h"
#include "archive/LhaHeader.h"
#include "archive/LzhBuilder.h"
#include "reference/ShiftJis.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

using namespace tervan;
using namespace tervan::lha;
using tervan::test::BitWriter;
using tervan::test::LzhEntry01;
using tervan::test::LzhEntry2;
using tervan::test::LzhMember;
using tervan::test::Member;
using tervan::test::WithExtension;

namespace {

class StringSink : public Sink {
public:
    void Write(const std::uint8_t* data, std::size_t size) override { bytes.append(reinterpret_cast<const char*>(data), size); }
    std::string bytes;
};

std::string Hex4(std::uint16_t v)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04x", v);
    return buf;
}

DecodeResult DecodeEntry(Source& source, const Entry& e, std::string* bytes = nullptr)
{
    StringSink sink;
    DecodeResult r = Decode(e.MethodChar(), source, e.dataOffset, e.packedSize, e.originalSize, sink);
    EXPECT_EQ(r.produced, sink.bytes.size());
    if (bytes)
        *bytes = sink.bytes;
    return r;
}

// Every member of every archive in a folder's MANIFEST.tsv is listed in
// order with its name and method, and decodes to its size and CRC.
void CheckManifest(const std::filesystem::path& folder)
{
    const auto manifest = test::ReadLhaManifest(folder / "MANIFEST.tsv");
    ASSERT_FALSE(manifest.empty());
    for (const auto& [archive, rows] : manifest) {
        SCOPED_TRACE(archive);
        const std::string bytes = test::ReadAll(folder / archive);
        MemorySource source(bytes);
        bool bad = true;
        const std::vector<Entry> entries = ListEntries(source, bad);
        EXPECT_FALSE(bad);
        ASSERT_EQ(entries.size(), rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const Entry& e = entries[i];
            std::string name = Cp932ToUtf8(e.name);
            std::replace(name.begin(), name.end(), '\\', '/');
            EXPECT_EQ(test::ManifestName(name), test::ManifestName(rows[i].name));
            EXPECT_EQ(e.method, rows[i].method);
            EXPECT_EQ(e.originalSize, rows[i].size);
            if (e.IsDirectory())
                continue;
            const DecodeResult r = DecodeEntry(source, e);
            EXPECT_EQ(r.status, DecodeStatus::Complete) << rows[i].name;
            EXPECT_EQ(r.produced, rows[i].size) << rows[i].name;
            EXPECT_EQ(Hex4(r.crc), rows[i].crc) << rows[i].name;
            EXPECT_EQ(r.crc, e.crc) << rows[i].name;
        }
    }
}

} // namespace

TEST(LhaCrc16, MatchesTheCheckValueInPiecesOfAnySize)
{
    const std::string text = "123456789";
    EXPECT_EQ(test::Crc16(text), 0xBB3D); // CRC-16/ARC check value
    // Folding four bytes at a time and one at a time agree wherever the
    // pieces are cut.
    std::string longer;
    for (int i = 0; i < 300; ++i)
        longer += static_cast<char>(i * 7 + 3);
    const std::uint16_t whole = test::Crc16(longer);
    for (std::size_t cut = 0; cut <= 11; ++cut) {
        std::uint16_t crc = 0;
        for (std::size_t at = 0; at < longer.size(); at += cut + 1)
            crc = Crc16Update(crc, reinterpret_cast<const std::uint8_t*>(longer.data()) + at, std::min(cut + 1, longer.size() - at));
        EXPECT_EQ(crc, whole) << cut;
    }
}

TEST(LhaArchives, EveryCommittedArchiveDecodesToItsManifest)
{
    CheckManifest(test::TestData("archive"));
}

TEST(LhaArchives, TheSharedSamplesDecodeToTheirManifest)
{
    for (const char* shared : {"lha-samples", "lha-samples-odd"}) {
        const auto folder = test::SharedDir() / shared;
        if (!std::filesystem::exists(folder / "MANIFEST.tsv"))
            GTEST_SKIP() << "no shared samples in " << folder;
        CheckManifest(folder);
    }
}

TEST(LhaHeaders, ExtendedHeadersAreTakenByTypeAndLevel2SizesUseBothBytes)
{
    // A comment before the name, a folder after it, and a header of 256
    // bytes or more, whose low size byte may even be 0.
    for (std::size_t comment : {10u, 300u}) {
        LzhMember m;
        m.name = "kol.txt";
        m.folder = "odds\xFF" "2024\xFF";
        m.data = "forecast odds";
        m.extraFirst = {{0x3F, std::string(comment, 'c')}};
        std::string archive = LzhEntry2(m);
        // Make the header exactly 512 bytes: zero low byte.
        if (comment == 300u) {
            m.extraFirst[0].second.append(512 - (archive.size() - m.data.size()), 'c');
            archive = LzhEntry2(m);
            ASSERT_EQ(archive[0], '\0');
        }
        archive += LzhEntry01(Member("second.txt", "two"), 1) + std::string(1, '\0');
        MemorySource source(archive);
        bool bad = true;
        const std::vector<Entry> entries = ListEntries(source, bad);
        EXPECT_FALSE(bad);
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(entries[0].name, "odds\\2024\\kol.txt");
        std::string bytes;
        EXPECT_EQ(DecodeEntry(source, entries[0], &bytes).status, DecodeStatus::Complete);
        EXPECT_EQ(bytes, "forecast odds");
        EXPECT_EQ(entries[1].name, "second.txt");
    }
}

TEST(LhaHeaders, StoredNamesAndFoldersBecomeBackslashSeparated)
{
    // 表 is 0x95 0x5C: its second byte is not a separator.
    const std::string hyo = "\x95\x5C";
    EXPECT_EQ(StoredFolderName("a/b\xFF" "c\\"), "a\\b\\c\\");
    EXPECT_EQ(StoredFolderName("  " + hyo + "  "), hyo + "\\");
    EXPECT_EQ(StoredFolderName(hyo + "\xFF"), hyo + "\\");
    EXPECT_EQ(StoredFolderName("   "), "");

    const std::string archive = LzhEntry01(Member("dir/" + hyo + ".txt", "x"), 0);
    MemorySource source(archive);
    bool bad = false;
    const auto entries = ListEntries(source, bad);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "dir\\" + hyo + ".txt");
}

TEST(LhaHeaders, DamagedHeadersEndTheListingAfterWhatWasRead)
{
    const std::string good = LzhEntry01(Member("a.txt", "aaa"), 0);
    std::string tooSmall = LzhEntry01(Member("b.txt", "bbb"), 0);
    tooSmall[0] = 21;
    std::string nameTooLong = LzhEntry01(Member("b.txt", "bbb"), 0);
    nameTooLong[21] = 100;
    // A level-2 extended header chain that runs past the header.
    std::string chainPast = LzhEntry2(Member("b.txt", "bbb"));
    chainPast[24] = 120;
    // Level-1 extended headers larger than the packed size that holds them.
    std::string extPast = LzhEntry01(WithExtension(Member("b.txt", "bbb"), 0x3F, std::string(40, 'c')), 1);
    extPast[7] = 5;
    // A header cut off by the end of the file.
    const std::string cut = LzhEntry2(Member("b.txt", "bbb")).substr(0, 24);

    for (const std::string& damaged : {tooSmall, nameTooLong, chainPast, extPast, cut}) {
        const std::string archive = good + damaged + (damaged == cut ? std::string() : good);
        MemorySource source(archive);
        bool bad = false;
        const auto entries = ListEntries(source, bad);
        EXPECT_TRUE(bad);
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].name, "a.txt");
    }

    // The end mark, a zero first byte and an empty file list nothing and
    // are not damage.
    for (const std::string& empty : {std::string(), std::string(1, '\0'), std::string("\0garbage", 8)}) {
        MemorySource source(empty);
        bool bad = true;
        EXPECT_TRUE(ListEntries(source, bad).empty());
        EXPECT_FALSE(bad);
    }
}

TEST(LhaHeaders, OnlyTheLhMethodFamilyIsListed)
{
    std::string archive;
    for (const char* method : {"-lh5-", "-lzs-", "-lz5-", "-pm0-", "-lhd-", "-lh9-", "xlh5x"})
        archive += LzhEntry01(Member(method, "", method, "p"), 1);
    MemorySource source(archive);
    bool bad = false;
    std::vector<std::string> listed;
    for (const Entry& e : ListEntries(source, bad))
        listed.push_back(e.method);
    // An id not framed by hyphens is listed so that extraction can refuse it.
    EXPECT_EQ(listed, (std::vector<std::string> {"-lh5-", "-lhd-", "xlh5x"}));
}

TEST(LhaDecoder, OneSymbolCodesAreDecoded)
{
    // A block of 1000 codes whose only literal is 'A', then a block whose
    // only code is a 256-byte match at distance 1.
    BitWriter w;
    test::PutSingleSymbolBlock(w, 1000, 'A', 0);
    test::PutSingleSymbolBlock(w, 10, 509, 0);
    const std::string packed = w.Bytes();
    MemorySource source(packed);
    StringSink sink;
    const DecodeResult r = Decode('5', source, 0, packed.size(), 1000 + 2560, sink);
    EXPECT_EQ(r.status, DecodeStatus::Complete);
    EXPECT_EQ(sink.bytes, std::string(3560, 'A'));
    EXPECT_EQ(r.crc, test::Crc16(sink.bytes));
}

TEST(LhaDecoder, BrokenStreamsEndTheEntryEarly)
{
    auto decode = [](const std::string& packed, char method, std::uint64_t original) {
        MemorySource source(packed);
        StringSink sink;
        return Decode(method, source, 0, packed.size(), original, sink);
    };
    // A block count of 0.
    {
        BitWriter w;
        test::PutSingleSymbolBlock(w, 3, 'A', 0);
        w.Put(0, 16);
        const DecodeResult r = decode(w.Bytes(), '5', 100);
        EXPECT_EQ(r.status, DecodeStatus::Damaged);
        EXPECT_EQ(r.produced, 3u);
    }
    // A match before the first byte.
    {
        BitWriter w;
        test::PutSingleSymbolBlock(w, 3, 300, 5);
        EXPECT_EQ(decode(w.Bytes(), '6', 100).produced, 0u);
    }
    // Length-code lengths that are not a complete code (one code of 1 bit).
    {
        BitWriter w;
        w.Put(5, 16);
        w.Put(1, 5);
        w.Put(1, 3);
        EXPECT_EQ(decode(w.Bytes(), '7', 100).status, DecodeStatus::Damaged);
    }
    // A one-symbol code naming a symbol the alphabet does not have.
    {
        BitWriter w;
        w.Put(5, 16);
        w.Put(0, 5);
        w.Put(25, 5);
        EXPECT_EQ(decode(w.Bytes(), '5', 100).status, DecodeStatus::Damaged);
    }
    // Data that end long before the size the header claims: the decoder
    // stops near the end of the data, not at 4 GB.
    {
        BitWriter w;
        test::PutSingleSymbolBlock(w, 1, 'A', 0);
        test::PutSingleSymbolBlock(w, 4096, 509, 0);
        const DecodeResult r = decode(w.Bytes(), '5', 0xFFFFFFFFu);
        EXPECT_EQ(r.status, DecodeStatus::Damaged);
        EXPECT_EQ(r.produced, 1u + 4096u * 256u);
    }
}

TEST(LhaDecoder, DamagedArchivesNeverCrashOrOverrun)
{
    // Cuts and flipped bytes in every method's data: whatever comes out is
    // within the claimed size, and the listing never leaves the archive.
    std::mt19937 random(20240601);
    for (const char* name : {"methods-l0.lzh", "methods-l1.lzh", "methods-l2.lzh", "far-lh7.lzh"}) {
        const std::string original = test::ReadAll(test::TestData("archive") / name);
        for (int round = 0; round < 60; ++round) {
            std::string bytes = original;
            if (round % 3 == 0) {
                bytes.resize(random() % bytes.size());
            } else {
                for (int k = 0; k < 1 + round % 4; ++k)
                    bytes[random() % bytes.size()] ^= static_cast<char>(1 + random() % 255);
            }
            MemorySource source(bytes);
            bool bad = false;
            for (const Entry& e : ListEntries(source, bad)) {
                ASSERT_LT(e.headerOffset, bytes.size());
                StringSink sink;
                const std::uint64_t cap = std::min<std::uint64_t>(e.originalSize, 1 << 20);
                const DecodeResult r = Decode(e.MethodChar(), source, e.dataOffset, e.packedSize, cap, sink);
                ASSERT_LE(r.produced, cap);
                ASSERT_EQ(r.produced, sink.bytes.size());
            }
        }
    }
}
