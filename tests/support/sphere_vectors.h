#pragma once
// Unit vectors on the sphere for tests that step across curves: places as
// vectors, great circles through them, steps along them.

#include <array>
#include <cmath>

namespace darvelle::testing {

using Vec = std::array<double, 3>;

inline Vec UnitOf(double lonRad, double latRad) {
  return {std::cos(latRad) * std::cos(lonRad), std::cos(latRad) * std::sin(lonRad),
          std::sin(latRad)};
}
inline double Dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline Vec Cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline Vec Normalized(const Vec& a) {
  const double n = std::sqrt(Dot(a, a));
  return {a[0] / n, a[1] / n, a[2] / n};
}
// The unit direction from one place towards another.
inline Vec Along(const Vec& from, const Vec& to) {
  return Normalized({to[0] - from[0], to[1] - from[1], to[2] - from[2]});
}
// The place `angle` (radians) from p towards the unit tangent d.
inline Vec Step(const Vec& p, const Vec& d, double angle) {
  return {std::cos(angle) * p[0] + std::sin(angle) * d[0],
          std::cos(angle) * p[1] + std::sin(angle) * d[1],
          std::cos(angle) * p[2] + std::sin(angle) * d[2]};
}

// Great-circle distance (km, mean radius) between two places given in
// degrees: for offsets of a few kilometres, where the Earth's shape does not
// matter.
inline double SurfaceDistanceKm(double latADeg, double lonADeg, double latBDeg, double lonBDeg) {
  constexpr double kRad = 3.14159265358979323846 / 180.0;
  const Vec a = UnitOf(lonADeg * kRad, latADeg * kRad), b = UnitOf(lonBDeg * kRad, latBDeg * kRad);
  return std::atan2(std::sqrt(Dot(Cross(a, b), Cross(a, b))), Dot(a, b)) * 6371.0;
}

}  // namespace darvelle::testing
