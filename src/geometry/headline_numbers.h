#pragma once
// The few numbers a reader looks for first: where on the central line the
// central phase lasts longest, and the path's width, the magnitude and gamma
// at greatest eclipse. From the elements and the general circumstances alone,
// so that `info` needs no curves; values in, a value out.

#include <optional>

#include "catalogue/besselian_elements.h"
#include "geometry/circumstances.h"

namespace darvelle {

// The point of the central line where the central phase lasts longest, as the
// local circumstances reckon the duration there (not a central-line vertex).
struct GreatestDuration {
  double Time = 0;         // hours of TT from the epoch hour, when the axis is there
  double JulianDayUt = 0;  // the same instant in UT (with the DeltaT given)
  double LatitudeDeg = 0;  // geodetic
  double LongitudeDeg = 0; // east positive, [-180, 180], DeltaT applied
  double DurationS = 0;
  std::optional<double> WidthKm;  // none where a limb end leaves no width
  double SunAltitudeDeg = 0;      // at the place's maximum
};

struct HeadlineNumbers {
  std::optional<GreatestDuration> greatestDuration;  // central eclipses only
  std::optional<double> widthKm;  // of the path at greatest eclipse, central eclipses only
  // At the place of greatest eclipse: the ratio of the apparent diameters
  // where the central phase is seen there, else the covered part of the
  // Sun's diameter (as the canons give it).
  double magnitude = 0;
  double gamma = 0;      // the axis' least distance from the Earth's centre, Earth radii, signed as y
};

// deltaT: seconds (0 in TT). The circumstances are those FindCircumstances
// gave for the same elements and DeltaT.
HeadlineNumbers ComputeHeadlineNumbers(const BesselianElements& eclipse, double deltaT,
                                       const Circumstances& circumstances);

// Duration of the central phase (seconds) where the shadow's axis meets the
// Earth at t (hours of TT from the epoch hour); nothing where it misses the
// Earth or the place sees no central phase.
std::optional<double> CentralDurationAt(const BesselianElements& eclipse, double deltaT, double t);

}  // namespace darvelle
