#include "cli/command_table.h"

#include <stdexcept>

#include "cli/animate_command.h"
#include "cli/batch_command.h"
#include "cli/commands.h"
#include "cli/compute_command.h"
#include "cli/local_commands.h"
#include "cli/shadow_command.h"
#include "darvelle/version.h"

namespace darvelle::cli {
namespace {

std::vector<Command> MakeCommands() {
  return {
      {InfoHelp(), RunInfo},
      {ComputeHelp(), RunCompute},
      {BatchHelp(), RunBatch},
      {LocalHelp(), RunLocal},
      {VisibleHelp(), RunVisible},
      {ShadowHelp(), RunShadow},
      {AnimateHelp(), RunAnimate},
      {PlacesHelp(), RunPlaces},
      {TownsHelp(), RunTowns},
  };
}

}  // namespace

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = MakeCommands();
  return commands;
}

std::vector<OptionHelp> ProgramOptions() {
  return {{"help", "", "show this help and exit; COMMAND --help shows that command's"},
          {"version", "", "show the version and exit"}};
}

std::string ProgramHelp() {
  std::string out =
      "Usage: darvelle-cli COMMAND [OPTIONS]\n"
      "Computes solar eclipses from the Darvelle catalogue without a window.\n\nCommands:\n";
  for (const Command& command : Commands()) out += "  " + Synopsis(command.help) + "\n";
  out += "\nOptions:\n";
  for (const OptionHelp& option : ProgramOptions()) {
    const std::string name = "--" + option.name;
    out += "  " + name + std::string(name.size() < 12 ? 12 - name.size() : 1, ' ') + option.help + "\n";
  }
  return out + "\nThe data files are read from --data DIR, else $DARVELLE_DATA, else\n"
               "<program folder>/../share/darvelle, else DIR/darvelle for each DIR of\n"
               "$XDG_DATA_DIRS. 'man darvelle-cli' has the whole manual.\n";
}

std::string CliManPage() {
  ManPageText page;
  page.program = "darvelle-cli";
  page.version = std::string(kProductName) + " " + kProgramVersion;
  page.oneLine = "compute and draw solar eclipses without a window";
  page.synopsis = "COMMAND [OPTIONS]";
  page.description =
      "darvelle-cli computes the eclipses of the Darvelle catalogue (every solar eclipse from "
      "the year -4999 to 7000) exactly as the window program darvelle does, and writes their "
      "reports, curve files, maps, map sheets, PDF, GeoJSON and KML files, for scripts and batch "
      "runs.\n\n"
      "Every number may carry one + or - and no blank. Errors go to standard error. Every file "
      "appears complete or not at all; - or a device such as /dev/stdout is written as a "
      "stream.";
  page.options = ProgramOptions();
  for (const Command& command : Commands()) page.commands.push_back(command.help);
  page.environment = DataFolderEnvironment();
  page.files = {DataFolderFile()};
  page.exitStatus = "0 on success, 1 on a failure, 2 for bad usage.";
  page.seeAlso = "darvelle(1), gs(1), ffmpeg(1)";
  return ManPage(page);
}

std::string CliBashCompletion() {
  std::vector<CommandHelp> commands;
  for (const Command& command : Commands()) commands.push_back(command.help);
  return BashCompletion("darvelle-cli", ProgramOptions(), commands);
}

}  // namespace darvelle::cli
