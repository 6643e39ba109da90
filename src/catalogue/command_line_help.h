#pragma once
// The options of a program as one table, from which its --help, its manual
// page and its bash completion are all written, so that the three cannot
// drift apart from what the option reader accepts.

#include <string>
#include <utility>
#include <vector>

namespace darvelle {

struct OptionHelp {
  std::string name;   // without the leading "--"
  std::string value;  // "N", "DIR", "de|en|fr"; empty for a flag
  std::string help;   // one sentence or a few
  bool required = false;
  // Options of one nonzero group are alternatives: the synopsis shows them as
  // "(--a A | --b B)" when one is required, "[--a A | --b B]" otherwise.
  int group = 0;
};

struct CommandHelp {
  std::string name;      // empty for a program without commands
  std::string operands;  // what follows the name before the options ("QUERY")
  std::string summary;   // a paragraph
  std::vector<OptionHelp> options;
};

// The usage line after the program's name: "info (--index N | --year Y) [--json]".
std::string Synopsis(const CommandHelp& command);

// What COMMAND --help prints: the usage line, the summary and every option.
std::string UsageText(const std::string& program, const CommandHelp& command);

struct ManPageText {
  std::string program;      // "darvelle-cli"
  std::string version;      // "Darvelle 1.0.0"
  std::string oneLine;      // for NAME: "draw maps of solar eclipses"
  std::string synopsis;     // after the program's name
  std::string description;  // paragraphs separated by blank lines
  std::vector<OptionHelp> options;      // the program's own
  std::vector<CommandHelp> commands;    // empty for a program without commands
  std::vector<std::pair<std::string, std::string>> environment;  // name, meaning
  std::vector<std::pair<std::string, std::string>> files;        // path, meaning
  std::string exitStatus;
  std::string seeAlso;      // "darvelle(1)"
};

// The page in man(7) roff, section 1.
std::string ManPage(const ManPageText& page);

// A bash completion script for `program`: commands first, then each
// command's options; file names after options whose value names a file or
// folder, the choices after options such as "de|en|fr".
std::string BashCompletion(const std::string& program, const std::vector<OptionHelp>& programOptions,
                           const std::vector<CommandHelp>& commands);

// What both programs' manual pages say of the data folder: the variables
// that choose it, and where it lies with the search order.
std::vector<std::pair<std::string, std::string>> DataFolderEnvironment();
std::pair<std::string, std::string> DataFolderFile();

}  // namespace darvelle
