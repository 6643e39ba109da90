#pragma once
// darvelle-cli local, visible and places: what one place sees of one eclipse,
// every eclipse a place sees, and the place search.

#include <string>
#include <vector>

#include "catalogue/command_line_help.h"

namespace darvelle {
class Catalogue;
}

namespace darvelle::cli {

// local's options and --help.
CommandHelp LocalHelp();
int RunLocal(const std::vector<std::string>& args);
// What `local` prints for these arguments (UsageError or another exception
// otherwise). With `catalogue` given, --data is not read and the chosen
// place is not announced on stderr.
std::string LocalText(const std::vector<std::string>& args, const Catalogue* catalogue = nullptr);
// visible's options and --help.
CommandHelp VisibleHelp();
int RunVisible(const std::vector<std::string>& args);
// places's options and --help.
CommandHelp PlacesHelp();
int RunPlaces(const std::vector<std::string>& args);
// towns's options and --help.
CommandHelp TownsHelp();
int RunTowns(const std::vector<std::string>& args);

class Args;
// The eclipse of --index N or of --date YYYY-MM-DD (the catalogue's TT date
// of greatest eclipse); UsageError unless exactly one is given.
int EclipseFor(const Args& args, const Catalogue& catalogue);

}  // namespace darvelle::cli
