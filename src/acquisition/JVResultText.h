// The Japanese messages for JV-Link result codes, and the way each failing
// call is reported to the user.
//
// JVResultText(operation, code) is the looked-up message for that operation
// followed by "(" code ")"; a code without a message gives just "(code)".
// Callers put it behind a prefix naming the operation: "JVOpenエラー:" and
// the like, with a full-width colon after JVInit and JVSetUIProperties.
// All texts are CP932.
#pragma once

#include <string>
#include <string_view>

namespace tervan::KeibaFunc {

// The message for a result code of a JV-Link operation ("JVOpen", "JVStatus",
// "JVRead", "JVInit", "JVSetUIProperties", "JVClose"; names compared exactly),
// then "(" + the code in decimal + ")". Example: ("JVOpen", -504) gives
// "サーバーがメンテナンス中です。(-504)"; ("JVClose", -201) gives "(-201)".
std::string JVResultText(std::string_view operation, long code);

// The message alone, without the "(code)" suffix; empty when there is none.
std::string JVResultMessage(std::string_view operation, long code);

} // namespace tervan::KeibaFunc

namespace tervan {

// The prefix of the message shown when a JV-Link call fails (CP932): the
// operation's name and "エラー：" after JVInit and JVSetUIProperties, "エラー:"
// after every other operation.
std::string JVErrorPrefix(std::string_view operation);

// The same prefixes by name.
const std::string& JVInitErrorPrefix();            // "JVInitエラー："
const std::string& JVSetUIPropertiesErrorPrefix(); // "JVSetUIPropertiesエラー："
const std::string& JVOpenErrorPrefix();            // "JVOpenエラー:"
const std::string& JVOpenOkPrefix();               // "JVOpen正常:"
const std::string& JVStatusErrorPrefix();          // "JVStatusエラー:"
const std::string& JVReadErrorPrefix();            // "JVReadエラー:"
const std::string& JVCloseErrorPrefix();           // "JVCloseエラー:"

// The whole message for a failed call: the operation's error prefix followed
// by JVResultText(operation, code). "JVInit" and "JVSetUIProperties" take the
// full-width colon "：", every other operation the half-width ":". A call
// that failed inside the component (IJVLink::CallFailure not empty) is
// reported by that text instead, which names the failure itself:
// "JVOpenエラー:JV-Link 内部エラー (0x80020009)".
std::string JVErrorMessage(std::string_view operation, long code, std::string_view callFailure = {});

// "JVOpen正常:" + JVResultText("JVOpen", code): the progress label of the
// download dialog when JVOpen succeeds with files to read.
std::string JVOpenOkMessage(long code);

} // namespace tervan
