#pragma once
// The options several commands share, for their tables (command_table.h).

#include <initializer_list>
#include <vector>

#include "catalogue/command_line_help.h"

namespace darvelle::cli {

// Group numbers of alternatives (OptionHelp::group).
inline constexpr int kEclipseChoice = 1;
inline constexpr int kOutputFormat = 2;

// One of --index N, --year Y (unless withYear is false) or --date YYYY-MM-DD.
std::vector<OptionHelp> EclipseChoice(bool withYear = true);
// --lat, --lon, --height and --tz, or --place.
std::vector<OptionHelp> PlaceChoice();
OptionHelp DeltaTOptionHelp();
OptionHelp DataOptionHelp();
OptionHelp LanguageOptionHelp();
OptionHelp JsonOptionHelp();

// The parts one after the other.
std::vector<OptionHelp> Joined(std::initializer_list<std::vector<OptionHelp>> parts);

}  // namespace darvelle::cli
