// The command line's side of the process: its arguments, its terminal.
//
// Arguments reach the core as UTF-8 on every system; where the system hands
// them over in UTF-16, a name that is not valid UTF-16 keeps its odd unit as
// an escaped byte where it can (text/utf8.h). The console shows the UTF-8
// that trovlin-cli writes. Nothing here is used by the window.
#pragma once

#include <string>
#include <vector>

namespace trovlin::platform {

// Readies the process for a command-line run: a file size limit surfaces as
// a write error rather than ending the process, and the console takes UTF-8.
void PrepareCommandLineProcess();

// The arguments, argv[0] included, in UTF-8.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Whether standard error is a terminal that a progress line may be drawn on.
bool StandardErrorIsTerminal();

}  // namespace trovlin::platform
