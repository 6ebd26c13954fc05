// The console of a command-line program: UTF-8 in and out on every system.
#pragma once

#include <string>
#include <vector>

namespace tervan::console {

// Makes standard output and error carry UTF-8 bytes exactly as written: on
// Windows the console's output code page becomes UTF-8 and the streams
// binary (no CR put before each LF), so that the output is the same bytes
// as elsewhere.
void UseUtf8();

// The program's arguments after the program name, as UTF-8 (on Windows
// taken from the wide command line, not the ANSI code page).
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Lets pending window messages of this thread run: a program without a
// window loop calls it while it waits on a component (on Windows JV-Link,
// created in this thread's COM apartment, needs them). Nothing elsewhere.
void ProcessMessages();

} // namespace tervan::console
