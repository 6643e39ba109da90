// darvelle-cli: the program's eclipse computations without a window, for
// scripts, batch runs and tests.

#include <algorithm>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/command_table.h"
#include "darvelle/version.h"

namespace {

constexpr const char* kTryHelp = "Try 'darvelle-cli --help'.\n";

int RunCommand(const darvelle::cli::Command& command, const std::vector<std::string>& rest) {
  if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
    std::cout << darvelle::UsageText("darvelle-cli", command.help);
    return darvelle::cli::kExitOk;
  }
  try {
    return command.run(rest);
  } catch (const darvelle::cli::UsageError& e) {
    darvelle::cli::PrintError(command.help.name, e.what());
    std::cerr << kTryHelp;
    return darvelle::cli::kExitUsage;
  } catch (const std::exception& e) {
    darvelle::cli::PrintError(command.help.name, e.what());
    return darvelle::cli::kExitFailure;
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    darvelle::cli::PrintError("", "no command given");
    std::cerr << kTryHelp;
    return darvelle::cli::kExitUsage;
  }
  if (args[0] == "--help" || args[0] == "-h") {
    std::cout << darvelle::cli::ProgramHelp();
    return darvelle::cli::kExitOk;
  }
  if (args[0] == "--version") {
    std::cout << "darvelle-cli (" << darvelle::kProductName << ") " << darvelle::kProgramVersion
              << "\n";
    return darvelle::cli::kExitOk;
  }
  // For the build, which installs what these print; not in --help.
  if (args[0] == "--man") {
    std::cout << darvelle::cli::CliManPage();
    return darvelle::cli::kExitOk;
  }
  if (args[0] == "--bash-completion") {
    std::cout << darvelle::cli::CliBashCompletion();
    return darvelle::cli::kExitOk;
  }
  for (const auto& command : darvelle::cli::Commands()) {
    if (args[0] == command.help.name) {
      return RunCommand(command, std::vector<std::string>(args.begin() + 1, args.end()));
    }
  }
  darvelle::cli::PrintError("", "unknown command '" + args[0] + "'");
  std::cerr << kTryHelp;
  return darvelle::cli::kExitUsage;
}
