#pragma once
// The Earth's rotation during DeltaT: what turns an ephemeris longitude
// (reckoned in Terrestrial Time) into a geographic one (Universal Time). The
// reports, curve files, GIS exports, map centre and local circumstances all
// shift by this one angle. The map's curve drawing alone divides by the
// rounded kSecondsPerRadianOfRotation, which its pixels have always used.

#include "astro/constants.h"

namespace darvelle {

// Radians the Earth turns through in deltaTSeconds seconds.
constexpr double EarthRotationDuring(double deltaTSeconds) {
  return kTwoPi * (kSiderealRate * deltaTSeconds / kSecondsPerDay);
}

}  // namespace darvelle
