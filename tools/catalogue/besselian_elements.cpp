#include "besselian_elements.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <stdexcept>

namespace darvelle::catalogue_gen {
namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;
constexpr double kArcsecToRad = kDegToRad / 3600.0;

struct Vec3 {
  double x, y, z;
};

Vec3 FromPlace(const ApparentPlace& p) {
  const double r = p.distanceAu / kEarthRadiusAu;
  const double ra = p.rightAscensionDeg * kDegToRad;
  const double dec = p.declinationDeg * kDegToRad;
  return {r * std::cos(dec) * std::cos(ra), r * std::cos(dec) * std::sin(ra), r * std::sin(dec)};
}

double Wrap360(double deg) {
  double r = std::fmod(deg, 360.0);
  if (r < 0.0) r += 360.0;
  return r;
}

}  // namespace

ElementValues ElementsFromPlaces(const ApparentPlace& sun, const ApparentPlace& moon,
                                 double siderealTimeDeg) {
  const Vec3 s = FromPlace(sun);
  const Vec3 m = FromPlace(moon);
  const Vec3 g{s.x - m.x, s.y - m.y, s.z - m.z};
  const double gLength = std::sqrt(g.x * g.x + g.y * g.y + g.z * g.z);
  const double a = std::atan2(g.y, g.x);
  const double d = std::asin(g.z / gLength);

  const double moonDistance = moon.distanceAu / kEarthRadiusAu;
  const double moonRa = moon.rightAscensionDeg * kDegToRad;
  const double moonDec = moon.declinationDeg * kDegToRad;
  const double h = moonRa - a;
  const double x = moonDistance * std::cos(moonDec) * std::sin(h);
  const double y = moonDistance * (std::sin(moonDec) * std::cos(d) -
                                   std::cos(moonDec) * std::sin(d) * std::cos(h));
  const double z = moonDistance * (std::sin(moonDec) * std::sin(d) +
                                   std::cos(moonDec) * std::cos(d) * std::cos(h));

  const double solarRadius = std::sin(kSolarRadiusArcsecAt1Au * kArcsecToRad) / kEarthRadiusAu;
  const double sinF1 = (solarRadius + kPenumbraLunarRadius) / gLength;
  const double sinF2 = (solarRadius - kUmbraLunarRadius) / gLength;
  const double tanF1 = sinF1 / std::sqrt(1.0 - sinF1 * sinF1);
  const double tanF2 = sinF2 / std::sqrt(1.0 - sinF2 * sinF2);

  ElementValues v{};
  v[kSunRA] = sun.rightAscensionDeg;
  v[kSunDec] = sun.declinationDeg;
  v[kSunDistance] = sun.distanceAu;
  v[kMoonRA] = moon.rightAscensionDeg;
  v[kMoonDec] = moon.declinationDeg;
  v[kMoonDistance] = moon.distanceAu;
  v[kX] = x;
  v[kY] = y;
  v[kD] = d * kRadToDeg;
  v[kMu] = Wrap360(siderealTimeDeg - a * kRadToDeg);
  v[kL1] = (z + kPenumbraLunarRadius / sinF1) * tanF1;
  v[kL2] = (z - kUmbraLunarRadius / sinF2) * tanF2;
  v[kTanF1] = tanF1;
  v[kTanF2] = tanF2;
  return v;
}

ElementValues ElementsAt(const SwissEphemeris& ephemeris, double jdTT) {
  return ElementsFromPlaces(ephemeris.Equatorial(Body::kSun, jdTT),
                            ephemeris.Equatorial(Body::kMoon, jdTT),
                            ephemeris.ApparentSiderealTimeDeg(jdTT));
}

namespace {
constexpr Polynomial EclipseRecord::* kPolynomialMembers[kQuantityCount] = {
    &EclipseRecord::SunRAPoly,  &EclipseRecord::SunDecPoly,  &EclipseRecord::SunDistancePoly,
    &EclipseRecord::MoonRAPoly, &EclipseRecord::MoonDecPoly, &EclipseRecord::MoonDistancePoly,
    &EclipseRecord::XPoly,      &EclipseRecord::YPoly,       &EclipseRecord::DPoly,
    &EclipseRecord::MuPoly,     &EclipseRecord::L1Poly,      &EclipseRecord::L2Poly,
    &EclipseRecord::TanF1Poly,  &EclipseRecord::TanF2Poly};
}  // namespace

Polynomial& RecordPolynomial(EclipseRecord& record, Quantity q) {
  return record.*kPolynomialMembers[q];
}

const Polynomial& RecordPolynomial(const EclipseRecord& record, Quantity q) {
  return record.*kPolynomialMembers[q];
}

Polynomial FitCubic(std::span<const double> t, std::span<const double> v, double* maxResidual) {
  if (t.size() != v.size() || t.size() < 4) {
    throw std::invalid_argument("a cubic fit needs at least 4 samples");
  }
  // Scale time to [-1, 1] so the normal equations stay well conditioned.
  double scale = 0.0;
  for (double ti : t) scale = std::max(scale, std::fabs(ti));
  if (scale == 0.0) throw std::invalid_argument("a cubic fit needs distinct instants");

  long double a[4][5] = {};
  for (std::size_t i = 0; i < t.size(); ++i) {
    const long double s = t[i] / scale;
    long double powers[7];
    powers[0] = 1.0L;
    for (int p = 1; p < 7; ++p) powers[p] = powers[p - 1] * s;
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 4; ++c) a[r][c] += powers[r + c];
      a[r][4] += powers[r] * v[i];
    }
  }
  // Gaussian elimination with partial pivoting on the 4x4 system.
  for (int col = 0; col < 4; ++col) {
    int pivot = col;
    for (int r = col + 1; r < 4; ++r) {
      if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
    }
    if (a[pivot][col] == 0.0L) throw std::invalid_argument("a cubic fit needs 4 distinct instants");
    if (pivot != col) {
      for (int c = 0; c < 5; ++c) std::swap(a[col][c], a[pivot][c]);
    }
    for (int r = col + 1; r < 4; ++r) {
      const long double f = a[r][col] / a[col][col];
      for (int c = col; c < 5; ++c) a[r][c] -= f * a[col][c];
    }
  }
  long double coef[4];
  for (int r = 3; r >= 0; --r) {
    long double sum = a[r][4];
    for (int c = r + 1; c < 4; ++c) sum -= a[r][c] * coef[c];
    coef[r] = sum / a[r][r];
  }
  Polynomial p{};
  long double scalePower = 1.0L;
  for (int k = 0; k < 4; ++k) {
    p.c[k] = static_cast<double>(coef[k] / scalePower);
    scalePower *= scale;
  }
  if (maxResidual) {
    double worst = 0.0;
    for (std::size_t i = 0; i < t.size(); ++i) worst = std::max(worst, std::fabs(p.At(t[i]) - v[i]));
    *maxResidual = worst;
  }
  return p;
}

void UnwrapDegrees(std::span<double> values, std::size_t anchor) {
  if (values.empty()) return;
  for (std::size_t i = 1; i < values.size(); ++i) {
    values[i] -= 360.0 * std::round((values[i] - values[i - 1]) / 360.0);
  }
  const double shift = values[anchor] - Wrap360(values[anchor]);
  for (double& v : values) v -= shift;
}

}  // namespace darvelle::catalogue_gen
