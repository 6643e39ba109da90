// What the tool says about itself: each COMMAND --help, the manual page and
// the bash completion name the same options; where it reads its data.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../support/run_process.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;
using darvelle::testing::RunProcess;

const std::string kCli = DARVELLE_CLI_PATH;

// The commands --help lists: its lines "  NAME ..." under "Commands:".
std::vector<std::string> CommandsOfHelp() {
  std::istringstream lines(RunProcess(kCli + " --help").out);
  std::vector<std::string> commands;
  std::string line;
  bool inList = false;
  while (std::getline(lines, line)) {
    if (line == "Commands:") inList = true;
    else if (line.empty()) inList = false;
    else if (inList) commands.push_back(line.substr(2, line.find(' ', 2) - 2));
  }
  return commands;
}

// The options COMMAND --help explains: its lines "  --NAME ...".
std::vector<std::string> OptionsOfHelp(const std::string& command) {
  std::istringstream lines(RunProcess(kCli + " " + command + " --help").out);
  std::vector<std::string> options;
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("  --", 0) == 0) options.push_back(line.substr(4, line.find(' ', 4) - 4));
  }
  return options;
}

std::string RoffEscaped(std::string text) {
  for (std::size_t i = text.find('-'); i != std::string::npos; i = text.find('-', i + 2)) {
    text.insert(i, "\\");
  }
  return text;
}

TEST(CliManual, PageAndCompletionNameEveryOptionOfEveryCommand) {
  const auto page = RunProcess(kCli + " --man");
  const auto completion = RunProcess(kCli + " --bash-completion");
  ASSERT_EQ(page.exitStatus, 0);
  ASSERT_EQ(completion.exitStatus, 0);
  const auto commands = CommandsOfHelp();
  ASSERT_GE(commands.size(), 9u);
  for (const std::string& command : commands) {
    const std::size_t section = page.out.find(".SS " + RoffEscaped(command) + "\n");
    ASSERT_NE(section, std::string::npos) << command;
    const std::string pageOfCommand = page.out.substr(section, page.out.find(".SS ", section + 1) - section);
    const std::size_t entry = completion.out.find("    " + command + ") ");
    ASSERT_NE(entry, std::string::npos) << command;
    const std::size_t list = completion.out.find('"', entry) + 1;
    const std::string words = " " + completion.out.substr(list, completion.out.find('"', list) - list) + " ";
    const auto options = OptionsOfHelp(command);
    EXPECT_FALSE(options.empty()) << command;
    for (const std::string& option : options) {
      EXPECT_NE(pageOfCommand.find("\\fB" + RoffEscaped("--" + option) + "\\fR"), std::string::npos)
          << command << " --" << option;
      EXPECT_NE(words.find(" --" + option + " "), std::string::npos) << command << " --" << option;
    }
  }
}

// man renders the page without a warning (when man is installed).
TEST(CliManual, PageRendersCleanly) {
  if (RunProcess("command -v man").exitStatus != 0) GTEST_SKIP() << "no man on this machine";
  const auto rendered = RunProcess(kCli + " --man | MANWIDTH=80 man --warnings -l - 2>&1");
  EXPECT_EQ(rendered.exitStatus, 0);
  EXPECT_EQ(rendered.out.find("warning"), std::string::npos) << rendered.out;
  EXPECT_NE(rendered.out.find("DARVELLE_DATA"), std::string::npos);
}

TEST(CliManual, CompletionCompletesCommandsOptionsAndChoices) {
  struct Case {
    std::string words;  // the line so far, the last word being completed
    std::string expected;
  };
  const Case cases[] = {
      {"darvelle-cli to", "towns"},
      {"darvelle-cli local --pla", "--place"},
      {"darvelle-cli compute --language ''", "de en fr"},
      {"darvelle-cli towns --sort p", "population"},
  };
  const fs::path script = fs::temp_directory_path() / ("darvelle-completion-" + std::to_string(::getpid()));
  for (const Case& c : cases) {
    std::ofstream(script) << "source <(" << kCli << " --bash-completion)\nCOMP_WORDS=(" << c.words
                          << ")\nCOMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n_darvelle_cli\n"
                          << "echo \"${COMPREPLY[*]}\"\n";
    const auto r = RunProcess("bash " + script.string());
    EXPECT_EQ(r.out, c.expected + "\n") << c.words << ": " << r.err;
  }
  fs::remove(script);
}

// A folder the user names is the only one searched, the option before the
// variable.
TEST(CliData, TheOptionBeforeTheVariableAndTheVariableAlone) {
  const std::string data = DARVELLE_TEST_DATA_DIR;
  const auto missing = RunProcess("DARVELLE_DATA=/nonexistent/darvelle " + kCli + " info --year 2024");
  EXPECT_EQ(missing.exitStatus, 1);
  EXPECT_NE(missing.err.find("/nonexistent/darvelle"), std::string::npos) << missing.err;
  const auto named = RunProcess("DARVELLE_DATA=/nonexistent/darvelle " + kCli +
                                " info --year 2024 --data '" + data + "'");
  EXPECT_EQ(named.exitStatus, 0) << named.err;
  const auto variable = RunProcess("DARVELLE_DATA='" + data + "' " + kCli + " info --year 2024");
  EXPECT_EQ(variable.exitStatus, 0) << variable.err;
}

}  // namespace
}  // namespace darvelle
