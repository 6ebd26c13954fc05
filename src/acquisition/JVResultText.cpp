#include "acquisition/JVResultText.h"

#include "reference/ShiftJis.h"

#include <vector>

namespace tervan::KeibaFunc {

namespace {

// One message per (operation, code), as JV-Link documents its result codes.
// Positive counts of JVStatus and JVRead are composed below. Written in UTF-8
// and turned into CP932 once.
struct MessageRowUtf8 {
    const char* operation;
    long code;
    const char* message;
};

constexpr MessageRowUtf8 kMessages[] = {
    {"JVOpen", 0, "正常に実行されました。"},
    {"JVOpen", -1, " 取得済みデータより最新のデータがありません。"},
    {"JVOpen", -2, "セットアップダイアログでキャンセルが押されました。"},
    {"JVOpen", -111, "dataspec パラメータが不正です。"},
    {"JVOpen", -112, "fromdate パラメータが不正です。"},
    {"JVOpen", -114, "key パラメータが不正です。"},
    {"JVOpen", -115, "option パラメータが不正です。"},
    {"JVOpen", -116, "dataspec とoption の組み合わせが不正です。"},
    {"JVOpen", -201, "JVInit が行なわれていません。"},
    {"JVOpen", -202, "前回のJVOpen/JVRTOpen/JVMVOpen に対してJVClose が呼ばれていません。（オープン中）"},
    {"JVOpen", -211, "レジストリ内容が不正（レジストリ内容が不正に変更された）です。"},
    {"JVOpen", -301, "認証エラーが発生しました。"},
    {"JVOpen", -302, "サービスキーの有効期限切れです。"},
    {"JVOpen", -303, "サービスキーが設定されていません。（サービスキーが空値）"},
    {"JVOpen", -305, "JV-Link 利用規約への同意が必要です。"},
    {"JVOpen", -401, "JV-Link 内部エラーが発生しました。"},
    {"JVOpen", -411, "サーバーエラー（HTTP ステータス404 NotFount ）が発生しました。"},
    {"JVOpen", -412, "サーバーエラー（HTTP ステータス403 Forbidden ）が発生しました。"},
    {"JVOpen", -413, "サーバーエラー（HTTP ステータス200,403,404 以外）が発生しました。"},
    {"JVOpen", -421, "サーバーエラー（サーバーの応答が不正）が発生しました。"},
    {"JVOpen", -431, "サーバーエラー（サーバーアプリケーション内部エラー）が発生しました。"},
    {"JVOpen", -501, "セットアップ処理においてＣＤ －ＲＯＭ が無効です。"},
    {"JVOpen", -504, "サーバーがメンテナンス中です。"},
    {"JVStatus", 0, "正常に実行されました。"},
    {"JVStatus", -201, "JVInitが行なわれていません。"},
    {"JVStatus", -203, "JVOpenが行なわれていません。"},
    {"JVStatus", -502, "ダウンロードに失敗しました。（通信エラーやディスクエラーなど）"},
    {"JVRead", 0, "全ファイルの読み込みが終了しました。（ＥＯＦ ）"},
    {"JVRead", -1, "ファイルが切り替わりました。"},
    {"JVRead", -3, "ファイルダウンロード中"},
    {"JVRead", -201, "JVInitが行なわれていません。"},
    {"JVRead", -202, "前回のJVOpen/JVRTOpen/JVMVOpen に対してJVClose が呼ばれていません。（オープン中）"},
    {"JVRead", -203, "JVOpenが行なわれていません。"},
    {"JVRead", -402, "ダウンロードしたファイルサイズが異常です。"},
    {"JVRead", -403, "ダウンロードしたファイル内容が異常です。"},
    {"JVRead", -502, "ダウンロードに失敗しました。(通信エラーやディスクエラー)"},
    {"JVRead", -503, "ファイルが見つかりません。"},
    {"JVInit", 0, "正常に実行されました。"},
    {"JVInit", -101, "sid が設定されていません。"},
    {"JVInit", -102, "sid が64byte 以上あります。"},
    {"JVInit", -103, "sid が不正（sid の１桁目がスペース）です。"},
    {"JVSetUIProperties", 0, "正常に実行されました。"},
    {"JVSetUIProperties", -100, "パラメータが不正あるいはレジストリへの保存に失敗しました。"},
    {"JVSetUIProperties", -101, "すでにサービスキーが登録されています。"},
    {"JVClose", 0, "正常に実行されました。"},
};

struct MessageRow {
    std::string_view operation;
    long code;
    std::string message;
};

const std::vector<MessageRow>& Messages()
{
    static const std::vector<MessageRow> table = [] {
        std::vector<MessageRow> rows;
        rows.reserve(std::size(kMessages));
        for (const auto& r : kMessages)
            rows.push_back({r.operation, r.code, Utf8ToCp932(r.message)});
        return rows;
    }();
    return table;
}

} // namespace

std::string JVResultMessage(std::string_view operation, long code)
{
    if (code > 0) {
        if (operation == "JVStatus")
            return SJ("ダウンロード済みファイル数") + std::to_string(code);
        if (operation == "JVRead")
            return SJ("バッファにセットしたデータのサイズ") + std::to_string(code);
    }
    for (const auto& row : Messages()) {
        if (row.code == code && row.operation == operation)
            return row.message;
    }
    return {};
}

std::string JVResultText(std::string_view operation, long code)
{
    return JVResultMessage(operation, code) + "(" + std::to_string(code) + ")";
}

} // namespace tervan::KeibaFunc

namespace tervan {

std::string JVErrorPrefix(std::string_view operation)
{
    std::string prefix(operation);
    if (operation == "JVInit" || operation == "JVSetUIProperties")
        prefix += SJ("エラー：");
    else
        prefix += SJ("エラー:");
    return prefix;
}

const std::string& JVInitErrorPrefix() { static const std::string p = JVErrorPrefix("JVInit"); return p; }
const std::string& JVSetUIPropertiesErrorPrefix() { static const std::string p = JVErrorPrefix("JVSetUIProperties"); return p; }
const std::string& JVOpenErrorPrefix() { static const std::string p = JVErrorPrefix("JVOpen"); return p; }
const std::string& JVOpenOkPrefix() { return SJ("JVOpen正常:"); }
const std::string& JVStatusErrorPrefix() { static const std::string p = JVErrorPrefix("JVStatus"); return p; }
const std::string& JVReadErrorPrefix() { static const std::string p = JVErrorPrefix("JVRead"); return p; }
const std::string& JVCloseErrorPrefix() { static const std::string p = JVErrorPrefix("JVClose"); return p; }

std::string JVErrorMessage(std::string_view operation, long code, std::string_view callFailure)
{
    if (!callFailure.empty())
        return JVErrorPrefix(operation) + std::string(callFailure);
    return JVErrorPrefix(operation) + KeibaFunc::JVResultText(operation, code);
}

std::string JVOpenOkMessage(long code)
{
    return JVOpenOkPrefix() + KeibaFunc::JVResultText("JVOpen", code);
}

} // namespace tervan
