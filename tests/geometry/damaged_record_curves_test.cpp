// Curve builders on records whose elements are zero, not numbers or absurdly
// large, with every event present: no hang, and no point or value that is
// not a finite number within the globe's ranges.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "canon_fixtures.h"
#include "canon_sample.h"
#include "geometry/eclipse_computation.h"
#include "geometry/horizon_curves.h"
#include "geometry/limit_curves.h"
#include "geometry/penumbra_scan.h"

namespace darvelle {
namespace {

// Every event at a plausible instant and place, whatever the record says.
void InventEvents(EclipseEvents& events) {
  const double times[kEventCount] = {-2.0, -1.0, 1.0, 2.0, -1.5, 1.5, -1.4, 1.4, -0.9, -0.8,
                                     0.8,  0.9,  -0.7, 0.7, -0.6, 0.6, -0.5, 0.5, 0.1};
  for (int k = 0; k < kEventCount; ++k) {
    EclipseEvent& e = events.entries[static_cast<std::size_t>(k)];
    e.Time = times[k];
    e.EphemerisLongitude = 0.1 * k - 1.0;
    e.Longitude = e.EphemerisLongitude;
    e.Latitude = 0.05 * k - 0.5;
  }
}

std::string Problems(const CurveSet& k) {
  std::string problems;
  auto check = [&](const auto& curve, const char* name) {
    for (const auto& p : curve.Points()) {
      if (!std::isfinite(p.Longitude) || !std::isfinite(p.Latitude) ||
          std::fabs(p.Longitude) > kPi + 1e-12 || std::fabs(p.Latitude) > kPi / 2 + 1e-12) {
        problems += std::string(" ") + name;
        return;
      }
    }
  };
  check(k.northPenumbra, "NorthPen");
  check(k.southPenumbra, "SouthPen");
  check(k.northUmbra, "NorthUmb");
  check(k.southUmbra, "SouthUmb");
  check(k.centralLine, "CLinData");
  for (int n = 1; n <= 6; ++n) check(k.RiseSet(n), "Testfile");
  check(k.maxHorizonNorth, "MaxHoriN");
  check(k.maxHorizonSouth, "MaxHoriS");
  check(k.maxSunrise, "MaxSunrise");
  check(k.maxSunset, "MaxSunset");
  for (const CentralLinePoint& p : k.centralLine.Points()) {
    if (!std::isfinite(p.DurationMinutes) || !std::isfinite(p.WidthKm) ||
        !std::isfinite(p.SunAltitudeDeg)) {
      problems += " CLinData values";
      break;
    }
  }
  return problems;
}

TEST(DamagedRecords, CurvesStayFiniteAndEveryBuilderEnds) {
  const auto sample = testing::LoadCanonSample(testing::CanonSamplePath());
  ASSERT_FALSE(sample.empty());
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* name;
    void (*damage)(EclipseRecord&, double, double);
  };
  const Case cases[] = {
      {"all zero", [](EclipseRecord& r, double, double) {
         std::memset(&r.SunRAPoly, 0, sizeof(Polynomial) * 14);
       }},
      {"x not a number", [](EclipseRecord& r, double n, double) { r.XPoly.c[1] = n; }},
      {"l1 not a number", [](EclipseRecord& r, double n, double) { r.L1Poly.c[0] = n; }},
      {"d infinite", [](EclipseRecord& r, double, double i) { r.DPoly.c[0] = i; }},
      {"mu huge", [](EclipseRecord& r, double, double) { r.MuPoly.c[1] = 1e300; }},
      {"y huge", [](EclipseRecord& r, double, double) { r.YPoly.c[0] = 1e200; }},
      {"no motion", [](EclipseRecord& r, double, double) {
         r.XPoly.c[1] = r.XPoly.c[2] = r.XPoly.c[3] = 0.0;
         r.YPoly.c[1] = r.YPoly.c[2] = r.YPoly.c[3] = 0.0;
       }},
  };
  for (const Case& damage : cases) {
    for (int resolution : {1, 4}) {
      auto c = std::make_unique<testing::EventsOnly>();
      EclipseRecord record = sample[3].record;
      damage.damage(record, nan, inf);
      c->elements = ElementsFromRecord(record);
      c->resolution = resolution;
      InventEvents(c->circumstances.events);
      ComputeRiseSetCurves(*c);
      ComputeNorthUmbraLimit(*c);
      ComputeCentralLine(*c);
      ComputeSouthUmbraLimit(*c);
      ComputeHorizonCurves(*c);
      ComputePenumbraLimit(*c, PenumbraSide::North);
      ComputePenumbraLimit(*c, PenumbraSide::South);
      EXPECT_EQ(Problems(c->curves), "") << damage.name << " R" << resolution;
      // Every curve whose events exist was built, points or not.
      EXPECT_TRUE(c->curves.centralLine.Ready()) << damage.name;
      EXPECT_TRUE(c->curves.northPenumbra.Ready()) << damage.name;
      EXPECT_TRUE(c->curves.maxSunset.Ready()) << damage.name;
    }
  }
}

}  // namespace
}  // namespace darvelle
