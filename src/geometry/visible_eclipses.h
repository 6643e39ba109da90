#pragma once
// Every eclipse of the catalogue that one place sees, in catalogue order: the
// scan behind "which eclipses will I see from here?".

#include <optional>
#include <vector>

#include "catalogue/catalogue.h"
#include "geometry/local_circumstances.h"

namespace darvelle {

// What the observer sees, not the eclipse's kind on the whole Earth: an
// eclipse total elsewhere is partial here, and so is one total here after
// sunset. kCentral is total or annular here with the Sun up.
enum class LocalKindFilter { kAny, kPartial, kAnnular, kTotal, kCentral };

struct VisibleEclipseFilter {
  int FromYear = -4999;  // catalogue years (astronomical numbering), inclusive
  int ToYear = 7000;
  double MinMagnitude = 0.0;  // compared with the greatest magnitude while the Sun is up
  // Compared with the kind the place sees with the Sun up (SeenKind).
  LocalKindFilter Kind = LocalKindFilter::kAny;
  // One DeltaT of the user's for every eclipse in place of the model's.
  std::optional<double> DeltaT;
};

struct VisibleEclipse {
  int Index = 0;        // catalogue index, 1-based
  double DeltaT = 0.0;  // seconds, the program's DeltaT for the eclipse
  LocalCircumstances Local;
};

// Eclipses seen (visibility full, rise or set) from the observer within the
// filter, each with the DeltaT it was computed with.
std::vector<VisibleEclipse> FindVisibleEclipses(const Catalogue& catalogue,
                                                const Observer& observer,
                                                const VisibleEclipseFilter& filter);

// True when the local circumstances are seen and pass the filter's magnitude
// and kind (its years are the caller's business).
bool PassesFilter(const LocalCircumstances& local, const VisibleEclipseFilter& filter);

}  // namespace darvelle
