#pragma once
// Every town of a list that sees one eclipse: the local circumstances of each
// town that is not rejected at once (MayBeSeen, or the umbra's margin for the
// central phase), computed on a few threads.

#include <optional>
#include <string>
#include <vector>

#include "catalogue/besselian_elements.h"
#include "geometry/local_circumstances.h"
#include "places/places.h"

namespace darvelle::places {

struct TownsFilter {
  // Least magnitude seen with the Sun up (LocalCircumstances::VisibleMagnitude);
  // any eclipse seen at all when 0.
  double MinMagnitude = 0.0;
  // Only towns that see the total or annular phase with the Sun up at maximum.
  bool CentralOnly = false;
  std::string CountryCode;  // ISO 3166 alpha-2, or empty for every country
};

struct TownOnPath {
  std::size_t Town = 0;  // index in the list given
  LocalCircumstances Local;
};

enum class TownOrder { kDuration, kPopulation, kName };

// The towns of `towns` that see the eclipse as `filter` asks, in list order.
// deltaT: TT - UT in seconds. `threads` 0: as many as the machine has.
std::vector<TownOnPath> FindTownsOnPath(const BesselianElements& eclipse, double deltaT,
                                        const std::vector<Place>& towns, const TownsFilter& filter,
                                        unsigned threads = 0);

// Longest totality or annularity first (then the larger magnitude), most
// populous first, or by name (bytewise, then population).
void SortTowns(std::vector<TownOnPath>& found, const std::vector<Place>& towns, TownOrder order);

// "3 min 52 s": a central phase's duration to the second, as the map's
// labels and the window's panels give it.
std::string MinutesSecondsText(double seconds);

// A town named with its duration of the central phase, for the map's labels.
struct TownDurationLabel {
  std::string text;  // "Dallas 3 min 52 s"
  double LatitudeDeg = 0;
  double LongitudeDeg = 0;
};

// The towns of `found` that see the central phase with the Sun up, most
// populous first (the order the map's labels are tried in).
std::vector<TownDurationLabel> TownDurationLabels(const std::vector<TownOnPath>& found,
                                                  const std::vector<Place>& towns);

}  // namespace darvelle::places
