// The umbral limits and the path width against the Swiss Ephemeris: the true
// limit is where, at the place's own closest approach of the centres, the
// Moon's disc just fits the Sun's (or covers it), with topocentric positions
// from the library and the catalogue's lunar and solar radii. It is found by
// a search across each curve and compared with every checked vertex and
// segment midpoint; the width with the ellipsoidal distance (Vincenty)
// between the true limits across the path.

#include <gtest/gtest.h>
#include <swephexp.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

#include "astro/delta_t.h"
#include "astro/earth_rotation.h"
#include "export/gis_source.h"
#include "geometry/eclipse_computation.h"
#include "geometry/local_circumstances.h"
#include "../support/shipped_catalogue.h"
#include "../support/sphere_vectors.h"

namespace darvelle {
namespace {

constexpr double kD2R = M_PI / 180.0;
// The catalogue's radii: the Moon's umbral and penumbral radius in Earth radii, the Earth's
// radius in AU and the Sun's radius in arcseconds at 1 AU.
constexpr double kMoonRadiusAu = 0.272281 * 4.263521265376305e-05;
constexpr double kPenumbraMoonRadiusAu = 0.2725076 * 4.263521265376305e-05;
const double kSunRadiusAu = std::sin(959.63 / 3600.0 * kD2R);
constexpr double kKmPerRad = 6371.0;  // offsets of a few km only

using testing::Along;
using testing::Cross;
using testing::Dot;
using testing::Normalized;
using testing::Step;
using testing::UnitOf;
using testing::Vec;

// Geodesic distance on the WGS 84 ellipsoid, km (Vincenty's inverse method).
double VincentyKm(double lat1, double lon1, double lat2, double lon2) {
  const double a = 6378.137, f = 1.0 / 298.257223563, b = a * (1.0 - f);
  const double u1 = std::atan((1.0 - f) * std::tan(lat1)), u2 = std::atan((1.0 - f) * std::tan(lat2));
  const double l = lon2 - lon1;
  double lambda = l, sinSigma = 0, cosSigma = 0, sigma = 0, cos2Alpha = 0, cos2Sm = 0;
  for (int i = 0; i < 200; ++i) {
    const double sinL = std::sin(lambda), cosL = std::cos(lambda);
    sinSigma = std::hypot(std::cos(u2) * sinL,
                          std::cos(u1) * std::sin(u2) - std::sin(u1) * std::cos(u2) * cosL);
    cosSigma = std::sin(u1) * std::sin(u2) + std::cos(u1) * std::cos(u2) * cosL;
    sigma = std::atan2(sinSigma, cosSigma);
    const double sinAlpha = std::cos(u1) * std::cos(u2) * sinL / sinSigma;
    cos2Alpha = 1.0 - sinAlpha * sinAlpha;
    cos2Sm = cos2Alpha != 0.0 ? cosSigma - 2.0 * std::sin(u1) * std::sin(u2) / cos2Alpha : 0.0;
    const double c = f / 16.0 * cos2Alpha * (4.0 + f * (4.0 - 3.0 * cos2Alpha));
    const double next = l + (1.0 - c) * f * sinAlpha *
                                (sigma + c * sinSigma * (cos2Sm + c * cosSigma * (-1.0 + 2.0 * cos2Sm * cos2Sm)));
    if (std::abs(next - lambda) < 1e-13) break;
    lambda = next;
  }
  const double uu = cos2Alpha * (a * a - b * b) / (b * b);
  const double aa = 1.0 + uu / 16384.0 * (4096.0 + uu * (-768.0 + uu * (320.0 - 175.0 * uu)));
  const double bb = uu / 1024.0 * (256.0 + uu * (-128.0 + uu * (74.0 - 47.0 * uu)));
  const double dSigma =
      bb * sinSigma *
      (cos2Sm + bb / 4.0 * (cosSigma * (-1.0 + 2.0 * cos2Sm * cos2Sm) -
                            bb / 6.0 * cos2Sm * (-3.0 + 4.0 * sinSigma * sinSigma) *
                                (-3.0 + 4.0 * cos2Sm * cos2Sm)));
  return b * aa * (sigma - dSigma);
}

// The library's view from one place at one instant (UT Julian Day).
// What a place sees, by the library: which side of a limit, or of a curve
// of maximum on the horizon, it lies on.
enum class Curve { kUmbra, kPenumbra, kMaximumOnHorizon };

class Sky {
 public:
  explicit Sky(double deltaT, Curve curve = Curve::kUmbra) : curve_(curve) {
    swe_set_delta_t_userdef(deltaT / 86400.0);
  }

  // Limits: separation of the centres minus the difference of the radii,
  // radians (below zero the Moon's disc lies wholly inside the Sun's or
  // covers it), or for the penumbra minus their sum (below zero the discs
  // overlap). Maximum: the separation in the Sun's radii, least at the
  // maximum as the program's local circumstances define it.
  double Umbral(const Vec& place, double jdUt) const {
    const Discs d = DiscsAt(place, jdUt);
    switch (curve_) {
      case Curve::kUmbra: return d.separation - std::abs(d.moonUmbra - d.sun);
      case Curve::kPenumbra: return d.separation - (d.moonPenumbra + d.sun);
      case Curve::kMaximumOnHorizon: return d.separation / d.sun;
    }
    return 0.0;
  }

  // The least of Umbral() over the passage: with `scan`, from the least of
  // a minute-by-minute scan of the 40 minutes around jdUt, then by golden
  // section within a minute of it; without, by golden section within three
  // minutes of jdUt. Near its least the function has a single minimum. For a
  // curve of maximum on the horizon, the Sun's true altitude (degrees, no
  // refraction) at that instant.
  double Least(const Vec& place, double jdUt, bool scan = false) const {
    double t = jdUt, half = 3.0 / 1440.0;
    if (scan) {
      half = 1.0 / 1440.0;
      double best = Umbral(place, t);
      for (int minute = -20; minute <= 20; ++minute) {
        const double value = Umbral(place, jdUt + minute / 1440.0);
        if (value < best) {
          best = value;
          t = jdUt + minute / 1440.0;
        }
      }
    }
    const double golden = 0.5 * (std::sqrt(5.0) - 1.0);
    double lo = t - half, hi = t + half;
    double x1 = hi - golden * (hi - lo), x2 = lo + golden * (hi - lo);
    double f1 = Umbral(place, x1), f2 = Umbral(place, x2);
    while (hi - lo > 0.005 / 86400.0) {
      if (f1 < f2) {
        hi = x2;
        x2 = x1;
        f2 = f1;
        x1 = hi - golden * (hi - lo);
        f1 = Umbral(place, x1);
      } else {
        lo = x1;
        x1 = x2;
        f1 = f2;
        x2 = lo + golden * (hi - lo);
        f2 = Umbral(place, x2);
      }
    }
    if (curve_ == Curve::kMaximumOnHorizon) return DiscsAt(place, f1 < f2 ? x1 : x2).sunAltitude;
    return std::min(f1, f2);
  }

 private:
  struct Discs {
    double separation, moonUmbra, moonPenumbra, sun;  // radians
    double sunAltitude;                               // degrees
  };
  Discs DiscsAt(const Vec& place, double jdUt) const {
    double geopos[3] = {std::atan2(place[1], place[0]) / kD2R, std::asin(place[2]) / kD2R, 0.0};
    swe_set_topo(geopos[0], geopos[1], 0.0);
    double sun[6] = {}, moon[6] = {}, horizontal[3] = {};
    char serr[256] = {};
    const int flags = SEFLG_SWIEPH | SEFLG_EQUATORIAL | SEFLG_TOPOCTR;
    swe_calc_ut(jdUt, SE_SUN, flags, sun, serr);
    swe_calc_ut(jdUt, SE_MOON, flags, moon, serr);
    swe_azalt(jdUt, SE_EQU2HOR, geopos, 0.0, 0.0, sun, horizontal);
    const double cosSep =
        std::sin(sun[1] * kD2R) * std::sin(moon[1] * kD2R) +
        std::cos(sun[1] * kD2R) * std::cos(moon[1] * kD2R) * std::cos((sun[0] - moon[0]) * kD2R);
    return {std::acos(std::clamp(cosSep, -1.0, 1.0)), std::asin(kMoonRadiusAu / moon[2]),
            std::asin(kPenumbraMoonRadiusAu / moon[2]), std::asin(kSunRadiusAu / sun[2]),
            horizontal[1]};
  }

  Curve curve_;
};

// The root of g between a and b (signs differ), bisection to 1 m.
double Bisect(const std::function<double(double)>& g, double a, double b) {
  double ga = g(a);
  for (int i = 0; i < 60 && std::abs(b - a) * kKmPerRad > 0.001; ++i) {
    const double m = 0.5 * (a + b), gm = g(m);
    if ((gm > 0.0) == (ga > 0.0)) {
      a = m;
      ga = gm;
    } else {
      b = m;
    }
  }
  return 0.5 * (a + b);
}

class LimitsReference : public testing::ShippedCatalogueTest {
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

TEST_F(LimitsReference, LimitsAndWidthAgreeWithTheSwissEphemeris) {
  // Low Sun at both ends (2021), a wide path at a low Sun (2033), a long
  // path (2024 October) and a polar annular one (2021 June).
  const int dates[][3] = {{2021, 12, 4}, {2033, 3, 30}, {2024, 10, 2}, {2021, 6, 10}};
  std::vector<double> limitKm, widthShare;
  for (const auto& d : dates) {
    SCOPED_TRACE(::testing::Message() << d[0] << "-" << d[1] << "-" << d[2]);
    const int index = IndexOf(d[0], d[1], d[2]);
    ASSERT_NE(index, 0);
    const EclipseResult r = ComputeEclipse(PrepareEclipse(*catalogue_, index, TimeScale::kUniversal, 1));
    const double rotation = EarthRotationDuring(r.modelDeltaT);
    const Sky sky(r.modelDeltaT);
    auto geographic = [&](const CurvePoint& p) { return UnitOf(p.Longitude + rotation, p.Latitude); };
    auto jdUt = [&](double t) { return r.elements.julianDay + t / 24.0 - r.modelDeltaT / 86400.0; };
    // Where the local circumstances put the maximum: only where the search
    // for the library's least value starts.
    auto maximumAt = [&](const Vec& v) {
      const Observer o{std::asin(v[2]) / kD2R, std::atan2(v[1], v[0]) / kD2R, 0.0};
      return ComputeLocalCircumstances(r.elements, r.modelDeltaT, o);
    };

    for (const PointCurve* limit : {&r.curves.northUmbra, &r.curves.southUmbra}) {
      const auto& p = limit->Points();
      ASSERT_GT(p.size(), 10u);
      for (std::size_t i = 1; i + 1 < p.size(); ++i) {
        const Vec a = geographic(p[i]), b = geographic(p[i + 1]);
        // Each vertex and the midpoint of the segment after it; every sixth
        // one where the Sun is high and the curve is smooth. Below 1 deg a
        // plane error of 1e-6 Earth radii, the fit of the elements, is over
        // 0.4 km on the ground: the limit is held to 0.5 km from there up.
        for (const Vec& v : {a, Normalized({a[0] + b[0], a[1] + b[1], a[2] + b[2]})}) {
          const auto local = maximumAt(v);
          if (!local.Maximum || local.Maximum->SunAltitudeDeg < 1.0) continue;
          if (local.Maximum->SunAltitudeDeg > 10.0 && i % 6 != 0) continue;
          const Vec across = Normalized(Cross(v, Along(a, b)));
          const double start = jdUt(local.Maximum->Time);
          auto g = [&](double s) { return sky.Least(Step(v, across, s), start); };
          // The true limit within 20 km either side.
          std::optional<double> root;
          for (double reach = 2.0; !root && reach <= 20.0; reach *= 2.0) {
            const double lo = -reach / kKmPerRad, hi = reach / kKmPerRad;
            if ((g(lo) > 0.0) != (g(hi) > 0.0)) root = Bisect(g, lo, hi);
          }
          ASSERT_TRUE(root.has_value()) << "no true limit within 20 km of vertex " << i;
          limitKm.push_back(std::abs(*root) * kKmPerRad);
          EXPECT_LT(limitKm.back(), 0.5)
              << (limit == &r.curves.northUmbra ? "northern" : "southern") << " limit near vertex "
              << i << ", Sun " << local.Maximum->SunAltitudeDeg << " deg";
        }
      }
    }

    // The width at every tenth central-line point with the Sun 1 deg up or more.
    const auto& c = r.curves.centralLine.Points();
    for (std::size_t i = 5; i + 5 < c.size(); i += 10) {
      if (c[i].SunAltitudeDeg < 1.0) continue;
      const Vec centre = geographic(c[i]);
      const Vec across = Normalized(Cross(centre, Along(geographic(c[i - 1]), geographic(c[i + 1]))));
      const double start = jdUt(c[i].Time);
      const double step = 0.05 * c[i].WidthKm / kKmPerRad;
      std::array<Vec, 2> ends{};
      for (int side = 0; side < 2; ++side) {
        const double sign = side == 0 ? 1.0 : -1.0;
        auto g = [&](double s) { return sky.Least(Step(centre, across, sign * s), start, true); };
        ASSERT_LT(g(0.0), 0.0) << "central-line point " << i << " not central";
        double s = step;
        while (g(s) < 0.0 && s < 40.0 * step) s += step;
        ASSERT_GT(g(s), 0.0) << "no true limit across point " << i;
        ends[side] = Step(centre, across, sign * Bisect(g, s - step, s));
      }
      const double trueKm = VincentyKm(std::asin(ends[0][2]), std::atan2(ends[0][1], ends[0][0]),
                                       std::asin(ends[1][2]), std::atan2(ends[1][1], ends[1][0]));
      widthShare.push_back(std::abs(c[i].WidthKm - trueKm) / trueKm);
      EXPECT_LT(widthShare.back(), 0.003)
          << "width " << c[i].WidthKm << " km against " << trueKm << " km at point " << i
          << ", Sun " << c[i].SunAltitudeDeg << " deg";
    }
  }
  ASSERT_GT(limitKm.size(), 1000u);
  ASSERT_GT(widthShare.size(), 60u);
  std::sort(limitKm.begin(), limitKm.end());
  std::sort(widthShare.begin(), widthShare.end());
  std::printf("limit points %zu: median %.3f km, worst %.3f km; widths %zu: median %.4f %%, "
              "worst %.4f %%\n",
              limitKm.size(), limitKm[limitKm.size() / 2], limitKm.back(), widthShare.size(),
              100.0 * widthShare[widthShare.size() / 2], 100.0 * widthShare.back());
}

// The limits and the curves of maximum on the horizon as exported (GeoJSON,
// KML) and drawn: every checked vertex and the middle of every checked
// segment, straight in longitude and latitude as a GIS draws it, within
// 0.5 km of the true curve. The penumbral limits turn back in longitude near
// the poles and the horizon, where the file's points lie far apart.
TEST_F(LimitsReference, ExportedCurvesHaveNoGaps) {
  struct Case {
    int year, month, day;
    MapCurve curve;
  };
  const Case cases[] = {{2024, 10, 2, MapCurve::SouthPenumbraLimit},
                        {2024, 4, 8, MapCurve::NorthPenumbraLimit},
                        {2023, 4, 20, MapCurve::NorthPenumbraLimit},
                        {2023, 4, 20, MapCurve::SouthPenumbraLimit},
                        {2017, 8, 21, MapCurve::NorthPenumbraLimit},
                        {2017, 8, 21, MapCurve::SouthPenumbraLimit},
                        {2021, 12, 4, MapCurve::SouthUmbraLimit},
                        {2024, 4, 8, MapCurve::MaxAtSunrise},
                        {2024, 10, 2, MapCurve::MaxAtSunset},
                        {2021, 12, 4, MapCurve::MaxAtHorizonSouth},
                        {2033, 3, 30, MapCurve::MaxAtHorizonNorth}};
  std::vector<double> missKm;
  for (const Case& k : cases) {
    SCOPED_TRACE(::testing::Message() << k.year << "-" << k.month << "-" << k.day << " curve "
                                      << static_cast<int>(k.curve));
    const int index = IndexOf(k.year, k.month, k.day);
    ASSERT_NE(index, 0);
    const EclipseResult r = ComputeEclipse(PrepareEclipse(*catalogue_, index, TimeScale::kUniversal, 1));
    const GisSource source = GisSourceFrom(r);
    const GeoLine& line = source.curves[static_cast<std::size_t>(k.curve)];
    ASSERT_GT(line.size(), 10u);
    const bool penumbra =
        k.curve == MapCurve::NorthPenumbraLimit || k.curve == MapCurve::SouthPenumbraLimit;
    const bool horizon = k.curve >= MapCurve::MaxAtHorizonSouth;
    const Sky sky(r.modelDeltaT, horizon    ? Curve::kMaximumOnHorizon
                                 : penumbra ? Curve::kPenumbra
                                            : Curve::kUmbra);
    // The search for the least value starts at the local maximum of a place
    // 20 km inside the limit, on whichever side sees the eclipse there; for
    // the limits, as in the test above, only where the Sun stands 1 deg up or
    // more there.
    double sunDeg = 0.0;
    auto start = [&](const Vec& v, const Vec& across) -> std::optional<double> {
      for (const double sign : {1.0, -1.0}) {
        const Vec q = Step(v, across, sign * 20.0 / kKmPerRad);
        const Observer o{std::asin(q[2]) / kD2R, std::atan2(q[1], q[0]) / kD2R, 0.0};
        const auto local = ComputeLocalCircumstances(r.elements, r.modelDeltaT, o);
        if (local.Maximum && (penumbra || horizon || local.DurationS)) {
          if (!horizon && local.Maximum->SunAltitudeDeg < 1.0) return std::nullopt;
          // Where the eclipse is a mere graze (the ends of a curve of maximum
          // on the horizon, at the penumbral limit) its maximum is no sharp
          // instant: no curve to hold the drawing to.
          if (horizon && local.Magnitude < 0.02) return std::nullopt;
          sunDeg = local.Maximum->SunAltitudeDeg;
          return r.elements.julianDay + local.Maximum->Time / 24.0 - r.modelDeltaT / 86400.0;
        }
      }
      return std::nullopt;
    };
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
      const Vec a = UnitOf(line[i].LongitudeDeg * kD2R, line[i].LatitudeDeg * kD2R);
      const Vec b = UnitOf(line[i + 1].LongitudeDeg * kD2R, line[i + 1].LatitudeDeg * kD2R);
      const double segmentKm = std::acos(std::clamp(Dot(a, b), -1.0, 1.0)) * kKmPerRad;
      // Every fourth short segment (eighth on a curve of maximum on the
      // horizon, which is drawn densely); every long one, where gaps are.
      if (segmentKm < 30.0 && i % (horizon ? 8 : 4) != 0) continue;
      double lon = 0.5 * (line[i].LongitudeDeg + line[i + 1].LongitudeDeg);
      if (std::abs(line[i].LongitudeDeg - line[i + 1].LongitudeDeg) > 180.0) lon += 180.0;
      const Vec plainMiddle =
          UnitOf(lon * kD2R, 0.5 * (line[i].LatitudeDeg + line[i + 1].LatitudeDeg) * kD2R);
      for (const bool vertex : {true, false}) {
        const Vec& v = vertex ? a : plainMiddle;
        const Vec across = Normalized(Cross(v, Along(a, b)));
        const std::optional<double> from = start(v, across);
        if (!from) continue;  // the Sun low or down there
        auto g = [&](double s) { return sky.Least(Step(v, across, s), *from); };
        std::optional<double> root;
        for (double reach = 2.0; !root && reach <= 128.0; reach *= 2.0) {
          const double lo = -reach / kKmPerRad, hi = reach / kKmPerRad;
          if ((g(lo) > 0.0) != (g(hi) > 0.0)) root = Bisect(g, lo, hi);
        }
        ASSERT_TRUE(root.has_value()) << "no true limit within 128 km of segment " << i;
        missKm.push_back(std::abs(*root) * kKmPerRad);
        EXPECT_LT(missKm.back(), 0.5) << (vertex ? "vertex " : "middle of segment ") << i
                                      << " of " << line.size() << ", "
                                      << segmentKm << " km long, Sun " << sunDeg << " deg";
      }
    }
  }
  ASSERT_GT(missKm.size(), 1000u);
  std::sort(missKm.begin(), missKm.end());
  std::printf("exported curves, %zu vertices and middles: median %.3f km, worst %.3f km\n",
              missKm.size(), missKm[missKm.size() / 2], missKm.back());
}

}  // namespace
}  // namespace darvelle
