// tervan-tool unlha: extracts every member of an LHA archive into a folder,
// as the forecast-odds import does.
#include "tool/ToolCommand.h"

#include "archive/UnLha.h"
#include "reference/ShiftJis.h"

#include <ostream>

namespace tervan::tool {
namespace {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

const ToolCommand kCommand {
    "unlha",
    "unlha ARCHIVE DIR",
    "extracts every member of the LHA archive ARCHIVE into DIR; prints each member of another archiver's method as "
    "'skipped -lz5- name', each problem as 'error NNNNN text: name' and 'extracted N' last (exit 1 when a problem "
    "was reported); control bytes of names are printed as \\xNN",
    Run,
};
const ToolCommandRegistration kRegistration(kCommand);

// A stored name or method id for the terminal: UTF-8, with control bytes
// (below 0x20, and DEL) written as \xNN so that no name can drive the
// terminal.
std::string Printable(const std::string& cp932)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (const char ch : Cp932ToUtf8(cp932)) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) {
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() != 2)
        return UsageError(kCommand, err);
    TUnLha unlha;
    unlha.ArchiveFile = Utf8ToCp932(args[0]);
    unlha.FileSpec.clear();
    unlha.FileSpec.push_back("*.*");
    unlha.ExtractDir = Utf8ToCp932(args[1]);
    bool problems = false;
    unlha.OnError = [&](const std::string& name, int number, const std::string& text) {
        problems = true;
        out << "error " << number << " " << text << ": " << Printable(name) << "\n";
    };
    unlha.OnSkipMethod = [&](const std::string& name, const std::string& method) {
        out << "skipped " << Printable(method) << " " << Printable(name) << "\n";
    };
    const int extracted = unlha.Extract();
    out << "extracted " << extracted << "\n";
    return problems ? 1 : 0;
}

} // namespace
} // namespace tervan::tool
