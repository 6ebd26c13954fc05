// What both systems' file system code shares: the failure message and the
// tests' rewrite hook.
#pragma once

#include <functional>
#include <string_view>

namespace tervan::fs::detail {

// Throws FileError "ファイル操作に失敗しました (what): path - system text";
// error is the system's own code (0: no system text).
[[noreturn]] void FailFileOperation(const char* what, std::string_view path, int error);

// The hook a rewrite calls between writing its temporary file and putting
// it in place (set by tests through SetRewriteHook; empty otherwise).
std::function<void(std::string_view path)>& RewriteHook();

} // namespace tervan::fs::detail
