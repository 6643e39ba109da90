// The shadow at an instant against the Swiss Ephemeris (JPL files, at our
// DeltaT): the axis point against the line through the Sun's and the Moon's
// centres carried to the ellipsoid, the sub-solar point against the Sun's
// apparent place and the sidereal time, and the lines of equal magnitude
// against the magnitude the library's topocentric Sun and Moon give there.
//
// The library's own eclipse search places the axis on a sphere-like Earth
// (its flattening approximated), so the intersection with the ellipsoid is
// made here from its positions.

#include <gtest/gtest.h>
#include <swephexp.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>

#include "astro/delta_t.h"
#include "catalogue/besselian_elements.h"
#include "geometry/shadow_at_instant.h"
#include "../support/shipped_catalogue.h"
#include "../support/swiss_axis.h"

namespace darvelle {
namespace {

using namespace testing::swiss_axis;


class ShadowReference : public testing::ShippedCatalogueTest {
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

struct Case {
  int year, month, day;
  double hour;  // UT
};


double DistanceKm(const ShadowPoint& a, const ShadowPoint& b) {
  const double la = a.LatitudeDeg * kD2R, lb = b.LatitudeDeg * kD2R;
  const double dl = (a.LongitudeDeg - b.LongitudeDeg) * kD2R;
  const double c = std::sin(la) * std::sin(lb) + std::cos(la) * std::cos(lb) * std::cos(dl);
  return std::acos(std::clamp(c, -1.0, 1.0)) * kEquatorKm;
}

// The magnitude a place sees at jdUt by the library: the covered part of
// the Sun's diameter from the topocentric centres and apparent diameters.
double SweMagnitude(const ShadowPoint& place, double jdUt) {
  swe_set_topo(place.LongitudeDeg, place.LatitudeDeg, 0.0);
  const Vec sun = Cartesian(Apparent(jdUt, SE_SUN, true), 1.0);
  const Vec moon = Cartesian(Apparent(jdUt, SE_MOON, true), 1.0);
  const Vec cross{sun[1] * moon[2] - sun[2] * moon[1], sun[2] * moon[0] - sun[0] * moon[2],
                  sun[0] * moon[1] - sun[1] * moon[0]};
  const double separation =
      std::atan2(std::sqrt(cross[0] * cross[0] + cross[1] * cross[1] + cross[2] * cross[2]),
                 sun[0] * moon[0] + sun[1] * moon[1] + sun[2] * moon[2]) / kD2R;
  double sunAttr[20] = {}, moonAttr[20] = {};
  char serr[256] = {};
  swe_pheno_ut(jdUt, SE_SUN, SEFLG_SWIEPH | SEFLG_TOPOCTR, sunAttr, serr);
  swe_pheno_ut(jdUt, SE_MOON, SEFLG_SWIEPH | SEFLG_TOPOCTR, moonAttr, serr);
  const double sunRadius = sunAttr[3] / 2.0, moonRadius = moonAttr[3] / 2.0;  // degrees
  return (sunRadius + moonRadius - separation) / (2.0 * sunRadius);
}

// Instants of central eclipses (the axis on the Earth) and of their partial
// phases, in both hemispheres, total and annular.
const Case kCases[] = {
    {2024, 4, 8, 17.2},  {2024, 4, 8, 18.7},  {2024, 4, 8, 19.9},   // total, Mexico to Canada
    {2017, 8, 21, 17.5}, {2017, 8, 21, 18.45},                        // total, United States
    {2021, 12, 4, 7.55},                                              // total, Antarctica
    {2023, 10, 14, 16.3}, {2023, 10, 14, 18.0},                       // annular, the Americas
    {2026, 8, 12, 17.75},                                             // total, Greenland to Spain
    {2030, 6, 1, 6.0},                                                // annular, Arctic Russia
};

TEST_F(ShadowReference, AxisSubSolarPointAndMagnitudeLinesAgreeWithTheLibrary) {
  double worstAxisKm = 0, worstSunDeg = 0, worstMagnitude = 0;
  int axes = 0, magnitudePoints = 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(::testing::Message() << c.year << "-" << c.month << "-" << c.day << " " << c.hour);
    const int index = IndexOf(c.year, c.month, c.day);
    ASSERT_NE(index, 0);
    const BesselianElements e = CurrentElements(*catalogue_, index);
    const double deltaT = ComputeDeltaT(e.year, e.month);
    swe_set_delta_t_userdef(deltaT / 86400.0);
    const double jdUt = swe_julday(c.year, c.month, c.day, c.hour, SE_GREG_CAL);
    const ShadowAtInstant shadow = ComputeShadowAt(e, deltaT, ShadowTimeOfUt(e, deltaT, jdUt));
    ASSERT_TRUE(shadow.InEclipse);

    const auto theirs = AxisOnEllipsoid(jdUt);
    ASSERT_EQ(shadow.Axis.has_value(), theirs.has_value());
    if (theirs) {
      ++axes;
      const double km = DistanceKm(*shadow.Axis, *theirs);
      worstAxisKm = std::max(worstAxisKm, km);
      EXPECT_LT(km, 2.0);
    }

    const auto sun = Apparent(jdUt, SE_SUN);
    const ShadowPoint subSolar{std::remainder(sun[0] - swe_sidtime(jdUt) * 15.0, 360.0), sun[1]};
    ASSERT_TRUE(shadow.SubSolar.has_value());
    const double sunDeg = DistanceKm(*shadow.SubSolar, subSolar) / kEquatorKm / kD2R;
    worstSunDeg = std::max(worstSunDeg, sunDeg);
    EXPECT_LT(sunDeg, 0.05);

    ASSERT_EQ(shadow.MagnitudeLines.size(), kShadowMagnitudes.size());
    for (const MagnitudeLine& line : shadow.MagnitudeLines) {
      for (const ShadowCurve& curve : line.Curves) {
        const std::size_t step = std::max<std::size_t>(1, curve.Points.size() / 12);
        for (std::size_t i = 0; i < curve.Points.size(); i += step) {
          const double m = SweMagnitude(curve.Points[i], jdUt);
          ++magnitudePoints;
          worstMagnitude = std::max(worstMagnitude, std::abs(m - line.Magnitude));
          EXPECT_NEAR(m, line.Magnitude, 0.002)
              << curve.Points[i].LatitudeDeg << " " << curve.Points[i].LongitudeDeg;
        }
      }
    }
  }
  EXPECT_GE(axes, 8);
  EXPECT_GE(magnitudePoints, 300);
  std::printf("axis points %d, worst %.3f km; sub-solar worst %.4f deg; %d magnitude points, "
              "worst %.5f\n", axes, worstAxisKm, worstSunDeg, magnitudePoints, worstMagnitude);
}

}  // namespace
}  // namespace darvelle
