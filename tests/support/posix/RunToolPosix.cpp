#include "support/TestSupport.h"

#include <cstdlib>
#include <sys/wait.h>

namespace tervan::test {

int RunTool(const std::vector<std::string>& args, std::string& out, std::string* err)
{
    TempDir scratch;
    std::string cmd = "'" TERVAN_TOOL_PATH "'";
    for (const std::string& a : args) {
        std::string quoted = "'";
        for (char c : a)
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        cmd += " " + quoted + "'";
    }
    auto outFile = scratch.native() / "out";
    auto errFile = scratch.native() / "err";
    cmd += " >'" + outFile.string() + "' 2>'" + errFile.string() + "' </dev/null";
    int status = std::system(cmd.c_str());
    out = ReadAll(outFile);
    if (err)
        *err = ReadAll(errFile);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace tervan::test
