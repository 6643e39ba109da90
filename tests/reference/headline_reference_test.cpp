// The point of greatest duration against the Swiss Ephemeris: the library's
// central line (its Sun and Moon, the axis carried to the ellipsoid) searched
// for its longest totality
// or annularity as the library's local circumstances give it. Our longest
// duration agrees within a second, and our point lies on the library's
// central line within 5 km. Where along the line the maximum falls is not
// compared: the duration changes by well under a second over a hundred
// kilometres there, so neither search can place it to a few kilometres.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "astro/delta_t.h"
#include "catalogue/besselian_elements.h"
#include "geometry/circumstances.h"
#include "geometry/eclipse_scratch.h"
#include "geometry/headline_numbers.h"
#include "../support/shipped_catalogue.h"
#include "../support/sphere_vectors.h"
#include "../support/swiss_axis.h"
#include "../support/swiss_local.h"

namespace darvelle {
namespace {

class HeadlineReference : public testing::ShippedCatalogueTest {
 protected:
  static void SetUpTestSuite() {
    ShippedCatalogueTest::SetUpTestSuite();
    swe_set_ephe_path(const_cast<char*>(DARVELLE_SWE_EPHE_DIR));
  }
  static void TearDownTestSuite() {
    ShippedCatalogueTest::TearDownTestSuite();
    swe_close();
  }
};

// The library's central point at jdUt: its axis carried to the ellipsoid.
ShadowPoint SwissCentralAt(double jdUt) {
  return testing::swiss_axis::AxisOnEllipsoid(jdUt).value_or(ShadowPoint{0.0, 90.0});
}

// The library's duration of the central phase on its central line at jdUt,
// -1 where it finds none.
double SwissDurationAt(double jdUt, double deltaT) {
  const ShadowPoint p = SwissCentralAt(jdUt);
  const testing::SweLocal swe = testing::AskSwissEphemeris(p.LatitudeDeg, p.LongitudeDeg, 0.0, jdUt - 1.0, deltaT, 0.0);
  if (swe.flags <= 0 || std::abs(swe.tret[0] - jdUt) > 0.5 || swe.tret[2] == 0.0 ||
      swe.tret[3] == 0.0) {
    return -1.0;
  }
  return (swe.tret[3] - swe.tret[2]) * 86400.0;
}

// The library's longest duration between the ends of its central line: a
// scan, then a golden-section search around the best sample.
double SwissLongestDuration(double jdFirst, double jdLast, double deltaT) {
  constexpr int kScan = 48;
  const auto at = [&](int i) { return jdFirst + (jdLast - jdFirst) * i / kScan; };
  int best = 1;
  double bestValue = -1.0;
  for (int i = 1; i < kScan; ++i) {
    const double d = SwissDurationAt(at(i), deltaT);
    if (d > bestValue) bestValue = d, best = i;
  }
  double a = at(best - 1), b = at(best + 1);
  const double g = (std::sqrt(5.0) - 1.0) / 2.0;
  while (b - a > 0.5 / 86400.0) {
    const double c = b - g * (b - a), d = a + g * (b - a);
    if (SwissDurationAt(c, deltaT) >= SwissDurationAt(d, deltaT)) b = d; else a = c;
  }
  return std::max(bestValue, SwissDurationAt(0.5 * (a + b), deltaT));
}

// How far a place lies from the library's central line: the least distance
// to its central point over two minutes either side of jdUt.
double KmFromSwissLine(double latDeg, double lonDeg, double jdUt) {
  const auto off = [&](double jd) {
    const ShadowPoint p = SwissCentralAt(jd);
    return testing::SurfaceDistanceKm(latDeg, lonDeg, p.LatitudeDeg, p.LongitudeDeg);
  };
  double a = jdUt - 120.0 / 86400.0, b = jdUt + 120.0 / 86400.0;
  const double g = (std::sqrt(5.0) - 1.0) / 2.0;
  while (b - a > 0.01 / 86400.0) {
    const double c = b - g * (b - a), d = a + g * (b - a);
    if (off(c) <= off(d)) b = d; else a = c;
  }
  return off(0.5 * (a + b));
}

TEST_F(HeadlineReference, GreatestDurationAgreesWithTheSwissEphemeris) {
  struct Case {
    int year, month, day;
  };
  // Three totals and an annular one (2023 October 14).
  for (const Case c : {Case{2024, 4, 8}, Case{2026, 8, 12}, Case{2027, 8, 2}, Case{2023, 10, 14}}) {
    SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month));
    const int index = IndexOf(c.year, c.month, c.day);
    ASSERT_NE(index, 0);
    const BesselianElements elements = CurrentElements(*catalogue_, index);
    const double deltaT = ComputeDeltaT(elements.year, elements.month);
    EclipseScratch scratch;
    const Circumstances circumstances = FindCircumstances(elements, deltaT, scratch);
    const HeadlineNumbers ours = ComputeHeadlineNumbers(elements, deltaT, circumstances);
    ASSERT_TRUE(ours.greatestDuration.has_value());
    const GreatestDuration& g = *ours.greatestDuration;

    swe_set_delta_t_userdef(deltaT / 86400.0);
    double tret[10] = {};
    char serr[256] = {};
    const int flags = swe_sol_eclipse_when_glob(elements.julianDay - 1.0, SEFLG_SWIEPH,
                                                0, tret, 0, serr);
    ASSERT_GT(flags, 0) << serr;
    ASSERT_LT(std::abs(tret[0] - elements.julianDay), 0.5);
    const double theirs = SwissLongestDuration(tret[4], tret[5], deltaT);

    const double offKm = KmFromSwissLine(g.LatitudeDeg, g.LongitudeDeg, g.JulianDayUt);
    std::printf("%d-%02d-%02d  ours %.2f s at %.4f %.4f  library %.2f s  off its line %.3f km\n",
                c.year, c.month, c.day, g.DurationS, g.LatitudeDeg, g.LongitudeDeg, theirs, offKm);
    EXPECT_NEAR(g.DurationS, theirs, 1.0);
    EXPECT_LT(offKm, 5.0);
  }
}

}  // namespace
}  // namespace darvelle
