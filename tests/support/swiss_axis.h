#pragma once
// The shadow's axis from the Swiss Ephemeris' apparent Sun and Moon, carried
// to the ellipsoid here: the library's own eclipse search (swe_sol_eclipse_where)
// places it on a sphere-like Earth, some kilometres off at high latitudes.
// For the reference tests, which alone link the library.

#include <swephexp.h>

#include <array>
#include <cmath>
#include <optional>

#include <gtest/gtest.h>

#include "geometry/shadow_at_instant.h"

namespace darvelle::testing::swiss_axis {

inline constexpr double kD2R = M_PI / 180.0;
// WGS 84, the program's Earth and the one its users' places are given on.
inline constexpr double kE2 = 0.00669437999014;
inline constexpr double kEquatorKm = 6378.137;
inline constexpr double kAuKm = 149597870.7;

using Vec = std::array<double, 3>;

// Apparent geocentric (or, with `topocentric`, the observer's) right
// ascension, declination (degrees) and distance (AU) of a body.
inline std::array<double, 3> Apparent(double jdUt, int body, bool topocentric = false) {
  double xx[6] = {};
  char serr[256] = {};
  const int flags = SEFLG_SWIEPH | SEFLG_EQUATORIAL | (topocentric ? SEFLG_TOPOCTR : 0);
  EXPECT_GE(swe_calc_ut(jdUt, body, flags, xx, serr), 0) << serr;
  return {xx[0], xx[1], xx[2]};
}

inline Vec Cartesian(const std::array<double, 3>& radec, double scale) {
  const double ra = radec[0] * kD2R, dec = radec[1] * kD2R, r = radec[2] * scale;
  return {r * std::cos(dec) * std::cos(ra), r * std::cos(dec) * std::sin(ra), r * std::sin(dec)};
}

// Where the line from the Sun's centre through the Moon's first meets the
// ellipsoid (equatorial radius 1), as latitude and longitude in degrees.
inline std::optional<ShadowPoint> AxisOnEllipsoid(double jdUt) {
  const double earthRadiiPerAu = kAuKm / kEquatorKm;
  const Vec sun = Cartesian(Apparent(jdUt, SE_SUN), earthRadiiPerAu);
  const Vec moon = Cartesian(Apparent(jdUt, SE_MOON), earthRadiiPerAu);
  Vec dir{moon[0] - sun[0], moon[1] - sun[1], moon[2] - sun[2]};
  const double n = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
  for (double& c : dir) c /= n;
  const Vec w{1.0, 1.0, 1.0 / (1.0 - kE2)};  // x^2 + y^2 + z^2 / (1 - e^2) = 1
  double a = 0, b = 0, c = -1.0;
  for (int i = 0; i < 3; ++i) {
    a += w[i] * dir[i] * dir[i];
    b += w[i] * moon[i] * dir[i];
    c += w[i] * moon[i] * moon[i];
  }
  const double disc = b * b - a * c;
  if (disc < 0.0) return std::nullopt;
  const double u = (-b - std::sqrt(disc)) / a;
  const Vec p{moon[0] + u * dir[0], moon[1] + u * dir[1], moon[2] + u * dir[2]};
  const double siderealDeg = swe_sidtime(jdUt) * 15.0;
  ShadowPoint g;
  g.LatitudeDeg = std::atan2(p[2], (1.0 - kE2) * std::hypot(p[0], p[1])) / kD2R;
  g.LongitudeDeg = std::remainder(std::atan2(p[1], p[0]) / kD2R - siderealDeg, 360.0);
  return g;
}

}  // namespace darvelle::testing::swiss_axis
