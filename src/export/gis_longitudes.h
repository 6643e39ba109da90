#pragma once
// Longitude and interpolation helpers that the lines and the polygons of
// gis_geometry.h share. Internal to src/export.

#include <cmath>

#include "export/gis_geometry.h"

namespace darvelle::gis_detail {

// A difference of longitudes brought into (-180, 180]: the short way round.
inline double ShortLongitudeStep(double fromDeg, double toDeg) {
  double d = std::fmod(toDeg - fromDeg, 360.0);
  if (d > 180.0) d -= 360.0;
  if (d <= -180.0) d += 360.0;
  return d;
}

inline double Lerp(double a, double b, double f) { return a + (b - a) * f; }

inline bool SamePlace(const GeoPoint& a, const GeoPoint& b) {
  return a.LongitudeDeg == b.LongitudeDeg && a.LatitudeDeg == b.LatitudeDeg;
}

}  // namespace darvelle::gis_detail
