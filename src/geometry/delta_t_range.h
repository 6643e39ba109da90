#pragma once
// What an unknown DeltaT leaves of a central eclipse at one place. A change
// of DeltaT turns the whole path east or west by the Earth's rotation in that
// time and changes nothing else, so a place sees the central phase for some
// stretches of DeltaT and not for others.

#include <optional>
#include <vector>

#include "catalogue/besselian_elements.h"
#include "geometry/local_circumstances.h"

namespace darvelle {

// The DeltaT range of the band around the central line: the model's value
// plus and minus twice its standard error (astro/delta_t.h).
struct DeltaTRange {
  double Low = 0;   // seconds
  double High = 0;
  double Sigma = 0;
};

// Nothing where the model's DeltaT is known to seconds (1600 .. 2100).
std::optional<DeltaTRange> DeltaTBandOf(const BesselianElements& eclipse, double deltaT);

enum class CentralVerdict {
  kCertain,   // the central phase is seen with the Sun up for every DeltaT of the range
  kPossible,  // for some of it
  kExcluded,  // for none
};

struct CentralOverDeltaT {
  CentralVerdict Verdict = CentralVerdict::kExcluded;
  // The stretches of DeltaT (seconds, low to high) for which the place sees
  // the central phase with the Sun up; their ends to about a second.
  std::vector<DeltaTRange> Central;
};

// The place's central phase for every DeltaT of [range.Low, range.High].
CentralOverDeltaT CentralPhaseOverDeltaT(const BesselianElements& eclipse,
                                         const Observer& observer, const DeltaTRange& range);

}  // namespace darvelle
