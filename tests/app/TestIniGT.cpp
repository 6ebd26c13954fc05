#include "app/IniGT.h"
#include "app/Settings.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tervan;
using tervan::test::ReadAll;
using tervan::test::TempDir;
using tervan::test::WriteAll;

namespace {

struct IniFile {
    TempDir dir;
    std::filesystem::path native = dir.native() / "tervan.ini";
    TIniGT ini {fs::Join(dir.path(), "tervan.ini")};

    void Put(std::string_view contents) { WriteAll(native, contents); }
    std::string Get() const { return ReadAll(native); }
};

} // namespace

TEST(IniGT, MissingFileGivesDefaultsAndIsNotCreated)
{
    IniFile f;
    EXPECT_EQ(f.ini.ReadString("Dir", "yoso", "def"), "def");
    EXPECT_EQ(f.ini.ReadInteger("locate", "top", 10), 10);
    EXPECT_TRUE(f.ini.ReadBool("datalist", "close", true));
    EXPECT_FALSE(f.ini.ReadBool("datalist", "close", false));
    EXPECT_FALSE(f.ini.ValueExists("locate", "top"));
    EXPECT_FALSE(std::filesystem::exists(f.native));
}

TEST(IniGT, WritesAndReadsValuesInCrLfFile)
{
    IniFile f;
    f.ini.WriteInteger("locate", "top", 25);
    f.ini.WriteInteger("locate", "left", -4);
    f.ini.WriteBool("datalist", "close", true);
    f.ini.WriteString("Dir", "yoso", SJ("C:\\予想\\ylzh"));
    EXPECT_EQ(f.Get(), "[locate]\r\ntop=25\r\nleft=-4\r\n\r\n[datalist]\r\nclose=1\r\n\r\n[Dir]\r\nyoso=" +
                           SJ("C:\\予想\\ylzh") + "\r\n");
    EXPECT_EQ(f.ini.ReadInteger("locate", "top", 0), 25);
    EXPECT_EQ(f.ini.ReadInteger("locate", "left", 0), -4);
    EXPECT_TRUE(f.ini.ReadBool("datalist", "close", false));
    EXPECT_EQ(f.ini.ReadString("Dir", "yoso", ""), SJ("C:\\予想\\ylzh"));

    f.ini.WriteBool("datalist", "close", false);
    EXPECT_FALSE(f.ini.ReadBool("datalist", "close", true));
    EXPECT_NE(f.Get().find("close=0\r\n"), std::string::npos);
}

TEST(IniGT, QuotesAndCornerBracketsAreStripped)
{
    IniFile f;
    // ｢ and ｣ are the single bytes A2 and A3; い is 82 A3, whose second byte
    // must not be taken for a closing bracket.
    f.Put("[s]\r\n"
          "dq=\"C:\\odds\"\r\n"
          "dqEmpty=\"\"\r\n"
          "corner=\xA2" "abc\xA3\r\n"
          "cornerEmpty=\xA2\xA3\r\n"
          "one=\"\r\n"
          "open=\"abc\r\n"
          "openCorner=\xA2" "abc\r\n"
          "trail=\xA2\x82\xA3\r\n"
          "inner=\"a\"b\"\r\n"
          "mixed=\"abc\xA3\r\n"
          "spaced=  \"  x  \"  \r\n"
          "plain=  some value\t\r\n"
          "twice=\"\"abc\"\"\r\n");
    EXPECT_EQ(f.ini.ReadString("s", "dq", "d"), "C:\\odds");
    EXPECT_EQ(f.ini.ReadString("s", "dqEmpty", "d"), "");
    EXPECT_EQ(f.ini.ReadString("s", "corner", "d"), "abc");
    EXPECT_EQ(f.ini.ReadString("s", "cornerEmpty", "d"), "");
    EXPECT_EQ(f.ini.ReadString("s", "one", "d"), "\"");
    EXPECT_EQ(f.ini.ReadString("s", "open", "d"), "\"abc");
    EXPECT_EQ(f.ini.ReadString("s", "openCorner", "d"), "\xA2" "abc");
    EXPECT_EQ(f.ini.ReadString("s", "trail", "d"), "\xA2\x82\xA3");
    EXPECT_EQ(f.ini.ReadString("s", "inner", "d"), "a\"b");
    EXPECT_EQ(f.ini.ReadString("s", "mixed", "d"), "\"abc\xA3");
    EXPECT_EQ(f.ini.ReadString("s", "spaced", "d"), "  x  ");
    EXPECT_EQ(f.ini.ReadString("s", "plain", "d"), "some value");
    EXPECT_EQ(f.ini.ReadString("s", "twice", "d"), "\"abc\"");  // one pair only
}

TEST(IniGT, IntegersAndBooleans)
{
    IniFile f;
    f.Put("[n]\nsp= 42 \nplus=+7\nneg=-3\nquoted=\"15\"\nhalf=12abc\nbig=99999999999\nempty=\n"
          "word=abc\nhex=0x10\n"
          "[b]\none=1\nzero=0\nminus=-1\ntwo=2\nword=yes\nempty=\n");
    EXPECT_EQ(f.ini.ReadInteger("n", "sp", 0), 42);
    EXPECT_EQ(f.ini.ReadInteger("n", "plus", 0), 7);
    EXPECT_EQ(f.ini.ReadInteger("n", "neg", 0), -3);
    EXPECT_EQ(f.ini.ReadInteger("n", "quoted", 0), 15);
    for (const char* key : {"half", "big", "empty", "word", "hex", "missing"})
        EXPECT_EQ(f.ini.ReadInteger("n", key, 99), 99) << key;

    EXPECT_TRUE(f.ini.ReadBool("b", "one", false));
    EXPECT_FALSE(f.ini.ReadBool("b", "zero", true));
    EXPECT_TRUE(f.ini.ReadBool("b", "minus", false));
    EXPECT_TRUE(f.ini.ReadBool("b", "two", false));
    for (const char* key : {"word", "empty", "missing"}) {
        EXPECT_TRUE(f.ini.ReadBool("b", key, true)) << key;
        EXPECT_FALSE(f.ini.ReadBool("b", key, false)) << key;
    }
}

TEST(IniGT, NamesMatchWithoutRegardToCase)
{
    IniFile f;
    f.Put("[LOCATE]\r\nTop=5\r\n[JVDATAGET]\r\nlasttime=2024/01/02 03:04:05\r\n");
    EXPECT_EQ(f.ini.ReadInteger("locate", "top", 0), 5);
    EXPECT_EQ(f.ini.ReadString("JvDataGet", "LastTime", ""), "2024/01/02 03:04:05");
    f.ini.WriteInteger("locate", "top", 6);
    EXPECT_EQ(f.Get(), "[LOCATE]\r\ntop=6\r\n[JVDATAGET]\r\nlasttime=2024/01/02 03:04:05\r\n");

    // Double-byte characters are compared byte for byte: the second bytes 41
    // ("A") and 61 ("a") of two katakana must not fold together.
    EXPECT_TRUE(IniNamesEqual("abc", "ABC"));
    EXPECT_TRUE(IniNamesEqual(SJ("予想dir"), SJ("予想DIR")));
    EXPECT_FALSE(IniNamesEqual("\x83\x41", "\x83\x61"));
    EXPECT_FALSE(IniNamesEqual("ab", "abc"));
}

TEST(IniGT, GarbageAndBinaryLinesStillGiveDefaults)
{
    IniFile f;
    const std::string garbage = std::string("stray=before any section\r\n"
                                            "\x01\x02\xFF\xFE binary\r\n", 40) +
                                std::string("\0\0\0=\0\r\n", 7) +
                                "[locate\r\n"
                                "top=77\r\n"
                                "[locate]\r\n"
                                "no equals sign here\r\n"
                                "=value without key\r\n"
                                "; top=1\r\n"
                                "left\r\n"
                                "width=640\r\n"
                                "\x81\r\n"
                                "[locate]\r\n"
                                "height=1\r\n"
                                "[datalist]\r\n"
                                "close=\xFF\xFF\r\n"
                                "[unterminated]\r\nkey=last line without break";
    f.Put(garbage);
    EXPECT_EQ(f.ini.ReadInteger("locate", "top", 10), 10);     // under "[locate" without "]"
    EXPECT_EQ(f.ini.ReadInteger("locate", "left", 10), 10);    // no "="
    EXPECT_EQ(f.ini.ReadInteger("locate", "width", 800), 640);
    EXPECT_EQ(f.ini.ReadInteger("locate", "height", 700), 700);  // second section of that name is not read
    EXPECT_FALSE(f.ini.ReadBool("datalist", "close", false));
    EXPECT_EQ(f.ini.ReadString("", "stray", "d"), "d");
    EXPECT_EQ(f.ini.ReadString("unterminated", "key", "d"), "last line without break");

    // Writing changes the one line and keeps every other byte.
    f.ini.WriteInteger("locate", "width", 1024);
    std::string expected = garbage;
    expected.replace(expected.find("width=640"), 9, "width=1024");
    EXPECT_EQ(f.Get(), expected);

    // A key added to the last section without a final line break gets one.
    f.ini.WriteString("unterminated", "more", "x");
    EXPECT_EQ(f.Get(), expected + "\r\nmore=x\r\n");
}

TEST(IniGT, WritingKeepsOtherLinesAndTheFilesLineBreaks)
{
    IniFile f;
    f.Put("; settings\n[locate]\ntop=1\nleft=2\n\n[Other]\nfoo = bar \n");
    f.ini.WriteInteger("locate", "width", 3);   // added after the section's last key
    f.ini.WriteString("other", "foo", "baz");   // replaced in place
    f.ini.WriteString("New", "k", "v");         // new section at the end
    EXPECT_EQ(f.Get(), "; settings\n[locate]\ntop=1\nleft=2\nwidth=3\n\n[Other]\nfoo=baz\n\n[New]\nk=v\n");

    // Writing the value already there leaves the file alone.
    const auto before = std::filesystem::last_write_time(f.native);
    fs::SetRewriteHook([](std::string_view) { throw fs::FileError("must not write"); });
    EXPECT_NO_THROW(f.ini.WriteString("other", "foo", "baz"));
    fs::SetRewriteHook(nullptr);
    EXPECT_EQ(std::filesystem::last_write_time(f.native), before);
}

// A UTF-8 byte-order mark before the first section hides nothing: the
// section is read, written in place and never made twice; the mark stays.
TEST(IniGT, ByteOrderMarkBeforeTheFirstSection)
{
    IniFile f;
    const std::string bom = "\xEF\xBB\xBF";
    f.Put(bom + "[locate]\r\ntop=5\r\n");
    EXPECT_EQ(f.ini.ReadInteger("locate", "top", 10), 5);
    f.ini.WriteInteger("locate", "top", 7);
    f.ini.WriteInteger("locate", "left", 8);
    EXPECT_EQ(f.Get(), bom + "[locate]\r\ntop=7\r\nleft=8\r\n");
    f.Put(bom + "top=1\r\n");
    f.ini.WriteInteger("locate", "top", 2);
    EXPECT_EQ(f.Get(), bom + "top=1\r\n\r\n[locate]\r\ntop=2\r\n");
    f.Put(bom);
    f.ini.WriteInteger("locate", "top", 3);
    EXPECT_EQ(f.Get(), bom + "[locate]\r\ntop=3\r\n");
}

TEST(IniGT, ValuesReadBackAsWritten)
{
    IniFile f;
    for (const std::string& v : {std::string("  padded  "), std::string("\"quoted\""), std::string("\xA2" "x\xA3"),
                                 std::string("\xA2\xA3"), std::string(""), std::string("a=b;c"), SJ("東京　")}) {
        f.ini.WriteString("s", "k", v);
        EXPECT_EQ(f.ini.ReadString("s", "k", "d"), v) << v;
    }
    // A line break in a value must not start a line of its own.
    f.ini.WriteString("s", "k", "one\r\n[locate]\r\ntop=999");
    EXPECT_EQ(f.ini.ReadString("s", "k", "d"), "one  [locate]  top=999");
    EXPECT_FALSE(f.ini.ValueExists("locate", "top"));
}

TEST(IniGT, SeveralValuesGoInOneRewrite)
{
    TempDir dir;
    const std::string path = fs::Join(dir.path(), "t.ini");
    TIniGT ini(path);
    ini.WriteString("s", "b", "old");
    int rewrites = 0;
    fs::SetRewriteHook([&rewrites](std::string_view) { ++rewrites; });
    // A key given no value is emptied when present and never added.
    ini.WriteStrings("s", {{"a", std::string("1")}, {"b", std::nullopt}, {"c", std::nullopt}, {"d", std::string("x")}});
    fs::SetRewriteHook(nullptr);
    EXPECT_EQ(rewrites, 1);
    EXPECT_EQ(ReadAll(dir.native() / "t.ini"), "[s]\r\nb=\r\na=1\r\nd=x\r\n");
}

TEST(IniGT, FailedWriteLeavesTheOldFile)
{
    IniFile f;
    f.Put("[locate]\r\ntop=1\r\n");
    fs::SetRewriteHook([](std::string_view) { throw fs::FileError("injected"); });
    EXPECT_THROW(f.ini.WriteInteger("locate", "top", 2), fs::FileError);
    fs::SetRewriteHook(nullptr);
    EXPECT_EQ(f.Get(), "[locate]\r\ntop=1\r\n");
    EXPECT_EQ(f.ini.ReadInteger("locate", "top", 0), 1);

    // A folder where the file should be: reads give defaults, writes fail.
    TempDir dir;
    std::filesystem::create_directory(dir.native() / "x.ini");
    TIniGT blocked(fs::Join(dir.path(), "x.ini"));
    EXPECT_EQ(blocked.ReadInteger("locate", "top", 10), 10);
    EXPECT_THROW(blocked.WriteInteger("locate", "top", 2), fs::FileError);
}

TEST(Settings, DefaultsWithoutFile)
{
    TempDir dir;
    Settings s(dir.path(), "tervan");
    EXPECT_EQ(s.FileName(), fs::Join(dir.path(), "tervan.ini"));
    EXPECT_EQ(SettingsFilePath("/opt/t", "tervan"), "/opt/t/tervan.ini");

    const WindowGeometry g = s.ReadLocate();
    EXPECT_EQ(g.top, 10);
    EXPECT_EQ(g.left, 10);
    EXPECT_EQ(g.width, 800);
    EXPECT_EQ(g.height, 700);
    EXPECT_FALSE(s.ReadDataListClose());
    EXPECT_EQ(s.ReadYosoDir(), dir.path() + "/ylzh");

    const DateTime now {2024, 3, 5, 7, 8, 9};
    EXPECT_EQ(s.ReadLastTime(now), "2024/02/26 07:08:09");  // 2024 is a leap year
    EXPECT_EQ(Settings::DefaultLastTime({2023, 1, 3, 23, 59, 59}), "2022/12/26 23:59:59");
    EXPECT_EQ(s.ReadLastTimeValue(now), (DateTime {2024, 2, 26, 7, 8, 9}));
    EXPECT_FALSE(std::filesystem::exists(dir.native() / "tervan.ini"));
}

TEST(Settings, WrittenValuesComeBack)
{
    TempDir dir;
    Settings s(dir.path(), "tervan");
    s.WriteLocate({-20, 1930, 1024, 300});
    s.WriteDataListClose(true);
    s.WriteDataListClose(false);  // toggled twice
    s.WriteYosoDir("/home/user/odds");
    s.WriteLastTime(DateTime {2024, 6, 1, 12, 0, 0});

    Settings again(dir.path(), "tervan");
    EXPECT_EQ(again.ReadLocate(), (WindowGeometry {-20, 1930, 1024, 300}));
    EXPECT_FALSE(again.ReadDataListClose());
    EXPECT_EQ(again.ReadYosoDir(), "/home/user/odds");
    EXPECT_EQ(again.ReadLastTime({2030, 1, 1, 0, 0, 0}), "2024/06/01 12:00:00");
    EXPECT_EQ(ReadAll(dir.native() / "tervan.ini"),
              "[locate]\r\ntop=-20\r\nleft=1930\r\nwidth=1024\r\nheight=300\r\n\r\n"
              "[datalist]\r\nclose=0\r\n\r\n[Dir]\r\nyoso=/home/user/odds\r\n\r\n"
              "[JvDataGet]\r\nLastTime=2024/06/01 12:00:00\r\n");

    // A hand-edited start point that is not a date falls back to now - 8 days.
    again.WriteLastTime("2024/13/45 99:00:00");
    EXPECT_EQ(again.ReadLastTime({2024, 3, 5, 0, 0, 0}), "2024/13/45 99:00:00");
    EXPECT_EQ(again.ReadLastTimeValue({2024, 3, 5, 0, 0, 0}), (DateTime {2024, 2, 26, 0, 0, 0}));
}
