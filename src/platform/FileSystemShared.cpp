#include "platform/FileSystemShared.h"

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"

#include <string>

namespace tervan::fs {

namespace detail {

void FailFileOperation(const char* what, std::string_view path, int error)
{
    std::string msg = SJ("ファイル操作に失敗しました") + " (" + what + "): " + std::string(path);
    if (error != 0)
        msg += " - " + SystemErrorText(error);
    throw FileError(msg);
}

std::function<void(std::string_view path)>& RewriteHook()
{
    static std::function<void(std::string_view)> hook;
    return hook;
}

} // namespace detail

void SetRewriteHook(std::function<void(std::string_view path)> hook)
{
    detail::RewriteHook() = std::move(hook);
}

} // namespace tervan::fs
