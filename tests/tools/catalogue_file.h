#pragma once
// The committed eclipse catalogue, loaded once per test program, and what its
// own polynomials say about each record.

#include <cmath>
#include <filesystem>

#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"

namespace darvelle::testing {

inline std::filesystem::path CommittedCataloguePath() {
  return std::filesystem::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName);
}

// Loaded on first use; the tests only read it.
inline const Catalogue& CommittedCatalogue() {
  static const Catalogue catalogue = LoadCatalogue(CommittedCataloguePath());
  return catalogue;
}

// Instant (hours from EpochHour) where x*x' + y*y' changes sign inside
// [-1.5, 1.5] h, by bisection; NaN when it does not change sign there.
inline double PolynomialGreatestEclipse(const EclipseRecord& r) {
  const auto g = [&r](double t) {
    return r.XPoly.At(t) * r.XPoly.RateAt(t) + r.YPoly.At(t) * r.YPoly.RateAt(t);
  };
  double a = -1.5, b = 1.5;
  if ((g(a) < 0) == (g(b) < 0)) return std::nan("");
  // 60 halvings of 3 h reach 3e-18 h: below double resolution near 1 h.
  for (int i = 0; i < 60; ++i) {
    const double m = 0.5 * (a + b);
    if ((g(m) < 0) == (g(a) < 0)) a = m; else b = m;
  }
  return 0.5 * (a + b);
}

// m - (r + l1) at t: the distance by which the penumbra misses the Earth's
// ellipsoid (negative while it touches), r being the radius of the Earth's
// outline toward the axis.
inline double PenumbraGapAt(const EclipseRecord& rec, double t) {
  constexpr double kEccentricitySquared = 0.00669437999014133;
  const double x = rec.XPoly.At(t), y = rec.YPoly.At(t);
  const double cosD = std::cos(rec.DPoly.At(t) * 0.017453292519943295);
  const double y1 = y / std::sqrt(1.0 - kEccentricitySquared * cosD * cosD);
  const double m = std::hypot(x, y), m1 = std::hypot(x, y1);
  return m - (m1 > 0 ? m / m1 : 1.0) - rec.L1Poly.At(t);
}

}  // namespace darvelle::testing
