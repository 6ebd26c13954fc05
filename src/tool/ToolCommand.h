// tervan-tool subcommands. Each src/tool/Cmd*.cpp registers one with a
// static ToolCommandRegistration; main() finds it by name.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tervan::tool {

struct ToolCommand {
    const char* name;
    const char* usage;   // e.g. "import-jv BASE FEED [--from yyyymmddhhnnss]"
    const char* summary; // one line for --help
    // args: the words after the subcommand's name. Output is UTF-8.
    int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

struct ToolCommandRegistration {
    explicit ToolCommandRegistration(const ToolCommand& command);
};

const std::vector<ToolCommand>& ToolCommands();

// Helpers for argument handling shared by the subcommands.
// Takes "--name VALUE" out of args; returns false when absent.
bool TakeOption(std::vector<std::string>& args, const std::string& name, std::string& value);
// Takes a "--flag" out of args; returns whether it was there.
bool TakeFlag(std::vector<std::string>& args, const std::string& name);
// Prints "usage: tervan-tool <usage>" to err and returns 2.
int UsageError(const ToolCommand& command, std::ostream& err);
// Reads a date option's "yyyymmdd" (eight digits naming a calendar date)
// into date; false for any other text.
bool ParseDateOption(const std::string& text, long& date);

} // namespace tervan::tool
