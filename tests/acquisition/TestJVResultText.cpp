#include "acquisition/JVResultText.h"
#include "reference/ShiftJis.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <vector>

using namespace tervan;
using KeibaFunc::JVResultText;

namespace {

// tests/data/acquisition/JVResultTable.tsv: a CP932 copy of JV-Link's
// message tables made apart from the program's own table: operation, code
// ("+" for the positive counts, whose message is followed by the number),
// message.
struct ExpectedMessage {
    std::string operation;
    std::string code;
    std::string message;
};

std::vector<ExpectedMessage> LoadExpected()
{
    std::istringstream in(test::ReadAll(test::TestData("acquisition/JVResultTable.tsv")));
    std::vector<ExpectedMessage> rows;
    std::string line;
    while (std::getline(in, line)) {
        const size_t a = line.find('\t');
        const size_t b = line.find('\t', a + 1);
        EXPECT_NE(b, std::string::npos) << line;
        if (b == std::string::npos)
            continue;
        rows.push_back({line.substr(0, a), line.substr(a + 1, b - a - 1), line.substr(b + 1)});
    }
    return rows;
}

const char* kOperations[] = {"JVOpen", "JVStatus", "JVRead", "JVInit", "JVSetUIProperties", "JVClose"};

} // namespace

TEST(JVResultText, EveryTableEntryMatches)
{
    const auto rows = LoadExpected();
    ASSERT_EQ(rows.size(), 47u);
    std::map<std::string, std::set<long>> listed;
    for (const auto& row : rows) {
        if (row.code == "+") {
            for (long n : {1L, 5L, 1270L, 2147483647L}) {
                const std::string num = std::to_string(n);
                EXPECT_EQ(JVResultText(row.operation, n), row.message + num + "(" + num + ")")
                    << row.operation << " " << n;
            }
            continue;
        }
        const long code = std::stol(row.code);
        listed[row.operation].insert(code);
        EXPECT_EQ(JVResultText(row.operation, code), row.message + "(" + row.code + ")")
            << row.operation << " " << row.code;
        EXPECT_TRUE(IsValidCp932(JVResultText(row.operation, code)));
    }
    // Every other code of -1000..0 has no message.
    for (const char* op : kOperations) {
        for (long code = -1000; code <= 0; ++code) {
            if (listed[op].count(code))
                continue;
            EXPECT_EQ(JVResultText(op, code), "(" + std::to_string(code) + ")") << op << " " << code;
        }
    }
}

TEST(JVResultText, KnownTexts)
{
    EXPECT_EQ(JVResultText("JVOpen", -504), SJ("サーバーがメンテナンス中です。(-504)"));
    EXPECT_EQ(JVResultText("JVOpen", -1), SJ(" 取得済みデータより最新のデータがありません。(-1)"));
    EXPECT_EQ(JVResultText("JVClose", -201), "(-201)");
    EXPECT_EQ(JVResultText("JVClose", 0), SJ("正常に実行されました。(0)"));
    EXPECT_EQ(JVResultText("JVClose", 3), "(3)");
    EXPECT_EQ(JVResultText("JVRead", -2), "(-2)");
    EXPECT_EQ(JVResultText("JVStatus", 5), SJ("ダウンロード済みファイル数5(5)"));
    EXPECT_EQ(JVResultText("JVRead", 1270), SJ("バッファにセットしたデータのサイズ1270(1270)"));
    EXPECT_EQ(JVResultText("JVInit", -100), "(-100)");
    EXPECT_EQ(JVResultText("JVSetUIProperties", -101), SJ("すでにサービスキーが登録されています。(-101)"));
    // JVStatus and JVRead word -502 differently: full-width and half-width parentheses.
    EXPECT_EQ(JVResultText("JVStatus", -502), SJ("ダウンロードに失敗しました。（通信エラーやディスクエラーなど）(-502)"));
    EXPECT_EQ(JVResultText("JVRead", -502), SJ("ダウンロードに失敗しました。(通信エラーやディスクエラー)(-502)"));
    // Positive codes of the other operations have no message.
    EXPECT_EQ(JVResultText("JVOpen", 3), "(3)");
    EXPECT_EQ(JVResultText("JVInit", 1), "(1)");
}

TEST(JVResultText, OperationNamesAreExact)
{
    using namespace std::string_literals;
    for (const std::string& op : {"jvopen"s, "JVOPEN"s, "JVOpen "s, ""s, "JVRTOpen"s, "JVStatus\0"s}) {
        EXPECT_EQ(JVResultText(op, 0), "(0)") << op;
        EXPECT_EQ(JVResultText(op, -504), "(-504)") << op;
        EXPECT_EQ(JVResultText(op, 5), "(5)") << op;
    }
    EXPECT_EQ(JVResultText("JVOpen", -2147483647L - 1), "(-2147483648)");
}

TEST(JVResultText, FailureMessagesCarryTheOperationPrefix)
{
    EXPECT_EQ(JVErrorMessage("JVInit", -101), SJ("JVInitエラー：sid が設定されていません。(-101)"));
    EXPECT_EQ(JVErrorMessage("JVSetUIProperties", -100),
              SJ("JVSetUIPropertiesエラー：パラメータが不正あるいはレジストリへの保存に失敗しました。(-100)"));
    EXPECT_EQ(JVErrorMessage("JVOpen", -301), SJ("JVOpenエラー:認証エラーが発生しました。(-301)"));
    EXPECT_EQ(JVErrorMessage("JVStatus", -203), SJ("JVStatusエラー:JVOpenが行なわれていません。(-203)"));
    EXPECT_EQ(JVErrorMessage("JVRead", -503), SJ("JVReadエラー:ファイルが見つかりません。(-503)"));
    EXPECT_EQ(JVErrorMessage("JVClose", -1), SJ("JVCloseエラー:(-1)"));
    EXPECT_EQ(JVOpenOkMessage(0), SJ("JVOpen正常:正常に実行されました。(0)"));

    EXPECT_EQ(JVInitErrorPrefix(), SJ("JVInitエラー："));
    EXPECT_EQ(JVSetUIPropertiesErrorPrefix(), SJ("JVSetUIPropertiesエラー："));
    EXPECT_EQ(JVOpenErrorPrefix(), SJ("JVOpenエラー:"));
    EXPECT_EQ(JVOpenOkPrefix(), SJ("JVOpen正常:"));
    EXPECT_EQ(JVStatusErrorPrefix(), SJ("JVStatusエラー:"));
    EXPECT_EQ(JVReadErrorPrefix(), SJ("JVReadエラー:"));
    EXPECT_EQ(JVCloseErrorPrefix(), SJ("JVCloseエラー:"));
    // The full-width colon is the two bytes 81 46.
    EXPECT_EQ(JVInitErrorPrefix().substr(JVInitErrorPrefix().size() - 2), "\x81\x46");
}
