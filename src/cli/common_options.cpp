#include "cli/common_options.h"

namespace darvelle::cli {

std::vector<OptionHelp> EclipseChoice(bool withYear) {
  std::vector<OptionHelp> options = {
      {"index", "N", "the eclipse of that number in the catalogue (1 is the first)", true,
       kEclipseChoice}};
  if (withYear) {
    options.push_back({"year", "Y", "the first eclipse of that year (astronomical: 0 is 1 BC)", true,
                       kEclipseChoice});
  }
  options.push_back({"date", "YYYY-MM-DD",
                     "the eclipse whose greatest eclipse falls on that day (TT; Julian calendar "
                     "until 1582 October 4)",
                     true, kEclipseChoice});
  return options;
}

OptionHelp DeltaTOptionHelp() {
  return {"delta-t", "SECONDS",
          "TT - UT of the user's own (from a historical record, say) in place of the model's; "
          "0 gives the catalogue's TT"};
}

OptionHelp DataOptionHelp() {
  return {"data", "DIR", "read the data files from DIR only (see FILES in darvelle-cli(1))"};
}

OptionHelp LanguageOptionHelp() { return {"language", "de|en|fr", "language of names and texts (default en)"}; }

OptionHelp JsonOptionHelp() { return {"json", "", "print JSON instead of text"}; }

std::vector<OptionHelp> PlaceChoice() {
  return {
      {"lat", "DEG", "latitude of the place, north positive (with --lon)"},
      {"lon", "DEG", "longitude of the place, east positive (with --lat)"},
      {"height", "M", "height of the place above sea level, metres (with --lat and --lon)"},
      {"tz", "ZONE", "IANA time zone of the place (with --lat and --lon), such as Europe/Berlin"},
      {"place", "NAME",
       "the place found by name in the town list (\"Paris, Texas\"), in place of --lat and --lon"},
  };
}

std::vector<OptionHelp> Joined(std::initializer_list<std::vector<OptionHelp>> parts) {
  std::vector<OptionHelp> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

}  // namespace darvelle::cli
