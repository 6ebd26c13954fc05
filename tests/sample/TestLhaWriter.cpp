#include "sample/LhaWriter.h"

#include "archive/UnLha.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tervan;
using namespace tervan::sample;
using tervan::test::ReadAll;
using tervan::test::TempDir;
using tervan::test::WriteAll;

namespace {

std::vector<LhaMember> Members()
{
    std::string big(200000, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 131 + i / 7);
    return {
        {"kol_ods.kd2", "line 1\r\nline 2\r\n", DateTime {2024, 5, 26, 10, 30, 12}},
        {"empty.dat", "", DateTime {2024, 5, 26}},
        {"big.bin", big, DateTime {1999, 12, 31, 23, 59, 58}},
        {SJ("東京オッズ.txt"), SJ("予想"), DateTime {2005, 1, 5}},
    };
}

unsigned Byte(const std::string& s, size_t i)
{
    return static_cast<unsigned char>(s[i]);
}

} // namespace

TEST(LhaWriter, Crc16OfTheCheckString)
{
    EXPECT_EQ(LhaCrc16("123456789"), 0xBB3D);
    EXPECT_EQ(LhaCrc16(""), 0);
    EXPECT_EQ(LhaCrc16("6789", LhaCrc16("12345")), 0xBB3D);
}

TEST(LhaWriter, EveryHeaderLevelExtractsByteForByte)
{
    for (int level = 0; level <= 2; ++level) {
        SCOPED_TRACE(level);
        TempDir dir;
        const std::vector<LhaMember> members = Members();
        WriteAll(dir.native() / "a.lzh", WriteStoredLha(members, level));
        std::filesystem::create_directory(dir.native() / "out");

        TUnLha unlha;
        unlha.ArchiveFile = fs::FromNative(dir.native() / "a.lzh");
        unlha.FileSpec = {"*.*"};
        unlha.ExtractDir = fs::FromNative(dir.native() / "out");
        std::vector<std::string> errors;
        unlha.OnError = [&errors](const std::string& name, int number, const std::string& text) {
            errors.push_back(name + ": " + std::to_string(number) + " " + text);
        };
        EXPECT_EQ(unlha.Extract(), static_cast<int>(members.size()));
        EXPECT_TRUE(errors.empty()) << errors.front();
        for (const LhaMember& m : members)
            EXPECT_EQ(ReadAll(fs::ToNative(fs::Join(unlha.ExtractDir, m.name))), m.data) << Cp932ToUtf8(m.name);
    }
}

TEST(LhaWriter, HeaderChecksumsAndEndMark)
{
    const LhaMember m {"Oz050105.txt", "abc", DateTime {2005, 1, 5, 12, 0, 0}};
    for (int level : {0, 1}) {
        const std::string a = WriteStoredLha({m}, level);
        const size_t size = Byte(a, 0);
        EXPECT_EQ(size, level == 0 ? 22u + 12u : 25u + 12u);
        unsigned sum = 0;
        for (size_t i = 2; i < size + 2; ++i)
            sum += Byte(a, i);
        EXPECT_EQ(Byte(a, 1), sum & 0xFF);
        EXPECT_EQ(a.substr(2, 5), "-lh0-");
        EXPECT_EQ(Byte(a, 20), static_cast<unsigned>(level));
        EXPECT_EQ(a.substr(size + 2, 3), "abc");
        EXPECT_EQ(a.size(), size + 2 + 3 + 1);
        EXPECT_EQ(a.back(), '\0');
    }
    // Level 2: the header CRC covers the whole header with its own field zeroed.
    std::string a = WriteStoredLha({m}, 2);
    const size_t size = Byte(a, 0) | Byte(a, 1) << 8;
    const size_t crcAt = 24 + 3 + 12 + 3; // base header, name header, CRC header's size and type
    ASSERT_EQ(a[crcAt - 1], '\0');
    const unsigned stored = Byte(a, crcAt) | Byte(a, crcAt + 1) << 8;
    a[crcAt] = a[crcAt + 1] = 0;
    EXPECT_EQ(LhaCrc16(std::string_view(a).substr(0, size)), stored);
}

TEST(LhaWriter, LevelTwoHeaderOf256BytesIsPaddedAndStillReads)
{
    // 24 + (3 + 222) + 5 + 2 = 256 would read as an end mark in its first byte.
    TempDir dir;
    const LhaMember m {std::string(218, 'n') + ".txt", "data", DateTime {2020, 2, 29}};
    const std::string a = WriteStoredLha({m}, 2);
    EXPECT_EQ(Byte(a, 0), 1u);
    EXPECT_EQ(Byte(a, 1), 1u);
    WriteAll(dir.native() / "p.lzh", a);
    TUnLha unlha;
    unlha.ArchiveFile = fs::FromNative(dir.native() / "p.lzh");
    unlha.FileSpec = {"*.*"};
    unlha.ExtractDir = dir.path();
    EXPECT_EQ(unlha.Extract(), 1);
    EXPECT_EQ(ReadAll(dir.native() / m.name), "data");
}

TEST(LhaWriter, RefusesNamesItCannotStore)
{
    EXPECT_THROW(WriteStoredLha({{"", "x", {}}}, 0), std::invalid_argument);
    EXPECT_THROW(WriteStoredLha({{"dir/a.txt", "x", {}}}, 1), std::invalid_argument);
    EXPECT_THROW(WriteStoredLha({{"..\\a.txt", "x", {}}}, 2), std::invalid_argument);
    EXPECT_THROW(WriteStoredLha({{std::string(234, 'a'), "x", {}}}, 0), std::invalid_argument);
    EXPECT_NO_THROW(WriteStoredLha({{std::string(233, 'a'), "x", {}}}, 0));
    EXPECT_THROW(WriteStoredLha({}, 3), std::invalid_argument);
}
