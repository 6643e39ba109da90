#pragma once
// The shadow's march along the path as NASA's maps draw it: the umbra's
// area at whole multiples of a step of UT (10:00, 10:10, ... UT), for the
// map and for the GIS files' timed outlines alike.

#include <optional>
#include <vector>

#include "geometry/eclipse_computation.h"
#include "geometry/shadow_at_instant.h"

namespace darvelle {

// The outlines' step the GIS files use, and the bounds a user may choose.
inline constexpr int kDefaultOutlineStepMinutes = 10;
inline constexpr int kMinOutlineStepMinutes = 1;
inline constexpr int kMaxOutlineStepMinutes = 720;

// The instants (Julian Days of TT) at whole multiples of `stepMinutes` of UT
// between two instants of the elements (hours of TT from the epoch hour),
// counted from the civil day's start; at most 1,000 of them.
std::vector<double> WholeStepInstants(const EclipseResult& c, double fromHours, double toHours,
                                      int stepMinutes);

// From the umbra's first contact with the Earth to its last (hours of TT):
// TU1 or TU2 to TU3 or TU4, whichever the eclipse has. None for an eclipse
// that is not central.
struct HourSpan {
  double from = 0.0;
  double to = 0.0;
};
std::optional<HourSpan> UmbraOnEarth(const EclipseResult& c);

struct TimedUmbraArea {
  double julianDayTT = 0.0;
  std::vector<ShadowCurve> rings;  // UmbraAreaAt at that instant, never empty
};

// The umbra's area every `stepMinutes` of UT while it touches the Earth;
// empty for an eclipse that is not central.
std::vector<TimedUmbraArea> TimedUmbraAreas(const EclipseResult& c, int stepMinutes);

}  // namespace darvelle
