#pragma once
// The commands of darvelle-cli. Each takes the arguments after its name and
// returns the process exit status (0 ok, 1 failure, 2 bad usage); messages go
// to stderr, results to stdout or files.

#include <string>
#include <vector>

#include "catalogue/command_line_help.h"

namespace darvelle::cli {

// info's options and --help.
CommandHelp InfoHelp();
int RunInfo(const std::vector<std::string>& args);
// Other commands are declared in their own headers and listed in command_table.cpp.

}  // namespace darvelle::cli
