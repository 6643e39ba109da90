// darvelle-cli: the program's eclipse computations without a window, for
// scripts, batch runs and tests.

#include <algorithm>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/animate_command.h"
#include "cli/args.h"
#include "cli/batch_command.h"
#include "cli/commands.h"
#include "cli/compute_command.h"
#include "cli/local_commands.h"
#include "cli/shadow_command.h"
#include "darvelle/version.h"

namespace {

using darvelle::cli::Command;

// Every command of the tool, in the order --help lists them.
const Command kCommands[] = {
    {"info", "info (--index N | --year Y | --date YYYY-MM-DD) [--delta-t SECONDS] [--json] [--data DIR]   a catalogue record, greatest eclipse and greatest duration",
     darvelle::cli::RunInfo, true},
    {"compute", "compute (--index N | --year Y | --date YYYY-MM-DD) [--tt | --delta-t SECONDS] [--resolution R] [--language de|en|fr] [--data DIR] --out DIR [OUTPUTS]   compute one eclipse and write its files and summary.json", darvelle::cli::RunCompute, true},
    {"batch", "batch [--first N] [--last M] [--resolution R] [--jobs J] [--delta-t SECONDS] [--geojson] [--kml] [--data DIR] [--out DIR]   compute a range on every core", darvelle::cli::RunBatch, true},
    {"local", "local (--index N | --date YYYY-MM-DD) (--lat DEG --lon DEG [--height M] [--tz ZONE] | --place NAME) [--delta-t SECONDS] [--language de|en|fr] [--json] [--data DIR]   what one place sees of one eclipse (and, before 1600 and after 2100, over DeltaT +- 2 sigma)", darvelle::cli::RunLocal},
    {"visible", "visible (--lat DEG --lon DEG [--height M] [--tz ZONE] | --place NAME) [--from YEAR] [--to YEAR] [--min-magnitude X] [--kind partial|annular|total|central] [--delta-t SECONDS] [--csv|--json] [--language de|en|fr] [--data DIR]   every eclipse a place sees, as it sees it with the Sun up (--min-magnitude and --kind filter on magnitude_seen and the kind seen)", darvelle::cli::RunVisible},
    {"shadow", "shadow (--index N | --year Y | --date YYYY-MM-DD) --at YYYY-MM-DDThh:mm:ssZ [--delta-t SECONDS] [--json] [--geojson FILE] [--data DIR]   where the shadow lies at one instant (UT)", darvelle::cli::RunShadow},
    {"animate", "animate (--index N | --year Y | --date YYYY-MM-DD) --out DIR [--step SECONDS] [--size PIXELS] [--colored] [--video FILE.mp4|.webm] [--delta-t SECONDS] [--data DIR]   a picture of the shadow every step from first to last contact", darvelle::cli::RunAnimate},
    {"places", "places QUERY [--limit N] [--language de|en|fr] [--data DIR]   search the town list", darvelle::cli::RunPlaces},
    {"towns", "towns (--index N | --year Y | --date YYYY-MM-DD) [--central] [--min-magnitude M] [--country CC] [--limit N] [--sort duration|population|name] [--delta-t SECONDS] [--csv|--json] [--language de|en|fr] [--data DIR]   every town that sees an eclipse", darvelle::cli::RunTowns},
};

constexpr const char* kTryHelp = "Try 'darvelle-cli --help'.\n";

void PrintHelp() {
  std::cout << "Usage: darvelle-cli COMMAND [OPTIONS]\n"
               "Computes solar eclipses from the Darvelle catalogue without a window.\n\n"
               "Commands:\n";
  for (const auto& command : kCommands) std::cout << "  " << command.synopsis << "\n";
  std::cout << "\nOptions:\n"
               "  --help      show this help and exit; COMMAND --help shows that command's\n"
               "  --version   show the version and exit\n"
               "  --delta-t SECONDS   TT - UT of the user's own in place of the model's\n"
               "                      (0 gives the catalogue's TT path)\n";
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
    PrintHelp();
    return darvelle::cli::kExitOk;
  }
  if (args[0] == "--version") {
    std::cout << "darvelle-cli (" << darvelle::kProductName << ") " << darvelle::kProgramVersion
              << "\n";
    return darvelle::cli::kExitOk;
  }
  for (const auto& command : kCommands) {
    if (args[0] != command.name) continue;
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    // Commands without a help text of their own show their line of the list.
    if (!command.ownHelp && std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
      std::cout << "Usage: darvelle-cli " << command.synopsis << "\n";
      return darvelle::cli::kExitOk;
    }
    try {
      return command.run(rest);
    } catch (const darvelle::cli::UsageError& e) {
      darvelle::cli::PrintError(command.name, e.what());
      std::cerr << kTryHelp;
      return darvelle::cli::kExitUsage;
    } catch (const std::exception& e) {
      darvelle::cli::PrintError(command.name, e.what());
      return darvelle::cli::kExitFailure;
    }
  }
  darvelle::cli::PrintError("", "unknown command '" + args[0] + "'");
  std::cerr << kTryHelp;
  return darvelle::cli::kExitUsage;
}
