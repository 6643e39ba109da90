#pragma once
// The commands of darvelle-cli. Each takes the arguments after its name and
// returns the process exit status (0 ok, 1 failure, 2 bad usage); messages go
// to stderr, results to stdout or files.

#include <string>
#include <vector>

namespace darvelle::cli {

struct Command {
  const char* name;
  const char* synopsis;  // one line for --help
  int (*run)(const std::vector<std::string>& args);
  bool ownHelp = false;  // answers --help itself, at more length
};

int RunInfo(const std::vector<std::string>& args);
// Other commands are declared in their own headers and listed in main.cpp.

}  // namespace darvelle::cli
