// Where diagnostics go without a remote target: the debugger output, and the console a program
// opens for its diagnostics. On Linux both are the standard error of the terminal the program
// was started from.
#pragma once

#include <cstddef>

namespace svp {

// Hands UTF-8 text to the debugger output (standard error), unchanged and unbuffered.
void WriteDebuggerOutput(const char* text, size_t length);

// Makes the standard streams ready for interactive diagnostics: standard output and standard
// error unbuffered, so each write shows at once. Answers whether standard error is a terminal.
bool OpenConsole();

// Writes UTF-8 text to the console's standard error.
void WriteConsole(const char* text, size_t length);

} // namespace svp
