// tervan-tool: the program's work without a window, for scripts and tests.
#include "tool/ToolCommand.h"

#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/FileSystem.h"
#include "reference/ShiftJis.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <exception>
#include <iostream>

namespace tervan::tool {

namespace {
std::vector<ToolCommand>& Registry()
{
    static std::vector<ToolCommand> commands;
    return commands;
}
} // namespace

ToolCommandRegistration::ToolCommandRegistration(const ToolCommand& command)
{
    Registry().push_back(command);
}

const std::vector<ToolCommand>& ToolCommands()
{
    std::vector<ToolCommand>& r = Registry();
    std::sort(r.begin(), r.end(), [](const ToolCommand& a, const ToolCommand& b) { return std::strcmp(a.name, b.name) < 0; });
    return r;
}

bool TakeOption(std::vector<std::string>& args, const std::string& name, std::string& value)
{
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == name && i + 1 < args.size()) {
            value = args[i + 1];
            args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
            return true;
        }
        if (args[i].rfind(name + "=", 0) == 0) {
            value = args[i].substr(name.size() + 1);
            args.erase(args.begin() + static_cast<long>(i));
            return true;
        }
    }
    return false;
}

bool TakeFlag(std::vector<std::string>& args, const std::string& name)
{
    auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end())
        return false;
    args.erase(it);
    return true;
}

int UsageError(const ToolCommand& command, std::ostream& err)
{
    err << "usage: tervan-tool " << command.usage << "\n";
    return 2;
}

bool ParseDateOption(const std::string& text, long& date)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, date);
    return text.size() == 8 && ec == std::errc() && ptr == end
        && IsCalendarDate(static_cast<int>(date / 10000), static_cast<int>(date / 100 % 100), static_cast<int>(date % 100));
}

} // namespace tervan::tool

namespace {
void PrintHelp(std::ostream& out)
{
    out << "usage: tervan-tool COMMAND [ARGS...]\n\ncommands:\n";
    for (const auto& c : tervan::tool::ToolCommands())
        out << "  " << c.usage << "\n      " << c.summary << "\n";
}
} // namespace

int main(int argc, char** argv)
{
    tervan::console::UseUtf8();
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "help") == 0) {
        PrintHelp(std::cout);
        return argc < 2 ? 2 : 0;
    }
    std::vector<std::string> args = tervan::console::Utf8Arguments(argc, argv);
    args.erase(args.begin());
    for (const auto& c : tervan::tool::ToolCommands()) {
        if (std::strcmp(c.name, argv[1]) == 0) {
            try {
                return c.run(args, std::cout, std::cerr);
            } catch (const tervan::fs::FileError& e) {
                std::cerr << tervan::Cp932ToUtf8(e.what()) << "\n";
                return 1;
            } catch (const std::exception& e) {
                std::cerr << "error: " << e.what() << "\n";
                return 1;
            }
        }
    }
    std::cerr << "tervan-tool: unknown command '" << argv[1] << "'\n";
    PrintHelp(std::cerr);
    return 2;
}
