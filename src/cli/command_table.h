#pragma once
// Every command of darvelle-cli with its options, once: the option reader,
// COMMAND --help, --help, the manual page and the bash completion all take
// them from here.

#include <string>
#include <vector>

#include "catalogue/command_line_help.h"

namespace darvelle::cli {

struct Command {
  CommandHelp help;
  int (*run)(const std::vector<std::string>& args);
};

// In the order --help lists them.
const std::vector<Command>& Commands();

// The options of the tool itself, before any command.
std::vector<OptionHelp> ProgramOptions();

// What --help prints.
std::string ProgramHelp();

// darvelle-cli(1), as --man prints it.
std::string CliManPage();

// The bash completion, as --bash-completion prints it.
std::string CliBashCompletion();

}  // namespace darvelle::cli
