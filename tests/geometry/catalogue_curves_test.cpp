// The curves of well-known eclipses of the real catalogue: which exist, the
// kinds along the central line, and the central-line values at greatest
// eclipse against the published figures (NASA eclipse pages: duration and
// path width at greatest eclipse).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "geometry/eclipse_computation.h"
#include "geometry/limit_curves.h"
#include "../support/shipped_catalogue.h"

namespace darvelle {
namespace {

// These check the computation the curve files come from; the curves as
// drawn and exported have tests of their own.
PreparedEclipse WithoutDrawnCurves(PreparedEclipse eclipse) {
  eclipse.drawnCurves = false;
  return eclipse;
}

namespace fs = std::filesystem;

class CatalogueCurves : public testing::ShippedCatalogueTest {
 protected:
  // A result with the work areas it was computed in.
  struct Computed : EclipseResult {
    EclipseScratch scratch;
  };

  std::unique_ptr<Computed> Compute(int year, int month, int day, int resolution = 1) {
    const int index = IndexOf(year, month, day);
    if (index == 0) {
      ADD_FAILURE() << "no eclipse on " << year << "-" << month << "-" << day;
      return nullptr;
    }
    auto c = std::make_unique<Computed>();
    static_cast<EclipseResult&>(*c) =
        ComputeEclipse(WithoutDrawnCurves(PrepareEclipse(*catalogue_, index, TimeScale::kUniversal, resolution)), c->scratch);
    return c;
  }
};

// Ready curves as a text: "Clin NUmb SUmb ..." in a fixed order.
std::string ReadyCurves(const CurveSet& k) {
  std::string s;
  auto add = [&](const auto& curve, const char* name) {
    if (curve.Ready()) s += s.empty() ? name : std::string(" ") + name;
  };
  add(k.northPenumbra, "NPen");
  add(k.southPenumbra, "SPen");
  add(k.northUmbra, "NUmb");
  add(k.southUmbra, "SUmb");
  add(k.centralLine, "Clin");
  for (int n = 1; n <= 6; ++n) add(k.RiseSet(n), ("T" + std::to_string(n)).c_str());
  add(k.maxHorizonNorth, "MaxHoriN");
  add(k.maxHorizonSouth, "MaxHoriS");
  add(k.maxSunrise, "MaxSunrise");
  add(k.maxSunset, "MaxSunset");
  return s;
}

TEST_F(CatalogueCurves, WhichCurvesEachKindOfEclipseHas) {
  struct Case {
    int year, month, day;
    const char* what;
    const char* curves;
  };
  const Case cases[] = {
      // Central eclipses whose penumbra lies wholly on the Earth for a while:
      // both limits of both shadows, four rise/set curves, sunrise and sunset.
      {2024, 4, 8, "total", "NPen SPen NUmb SUmb Clin T3 T4 T5 T6 MaxSunrise MaxSunset"},
      {2023, 4, 20, "hybrid", "NPen SPen NUmb SUmb Clin T3 T4 T5 T6 MaxSunrise MaxSunset"},
      {2023, 10, 14, "annular", "NPen SPen NUmb SUmb Clin T3 T4 T5 T6 MaxSunrise MaxSunset"},
      // Partials near a pole: one penumbral limit, the other side closed by
      // the curve of maximum eclipse on the horizon.
      {2011, 7, 1, "partial, northern limit only", "NPen T1 T2 MaxHoriS"},
      {2018, 2, 15, "partial, northern limit only", "NPen T1 T2 MaxHoriS"},
      {2022, 10, 25, "partial, southern limit only", "SPen T1 T2 MaxHoriN"},
      // Non-central: an umbral limit on the Earth, no central line.
      {2014, 4, 29, "non-central annular", "NPen SUmb T1 T2 MaxHoriS"},
      {2043, 4, 9, "non-central total", "SPen SUmb T1 T2 MaxHoriN"},
  };
  for (const Case& c : cases) {
    auto r = Compute(c.year, c.month, c.day);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(ReadyCurves(r->curves), c.curves) << c.year << "-" << c.month << "-" << c.day << " "
                                                << c.what;
    const EclipseEvent& tg0 = r->circumstances.events[EventId::TG0];
    EXPECT_EQ(tg0.Latitude != 0.0, r->curves.centralLine.Ready()) << c.what;
  }
}

TEST_F(CatalogueCurves, CentralLineKindsAlongThePath) {
  struct Case {
    int year, month, day;
    std::vector<CentralKind> kinds;  // the runs of equal kinds from TC1 to TC2
  };
  const Case cases[] = {
      {2024, 4, 8, {CentralKind::Total}},
      {2023, 10, 14, {CentralKind::Annular}},
      // The hybrid of 2023 is annular where the path meets the limb at both
      // ends and total in between.
      {2023, 4, 20, {CentralKind::Annular, CentralKind::Total, CentralKind::Annular}},
  };
  for (const Case& c : cases) {
    auto r = Compute(c.year, c.month, c.day);
    ASSERT_NE(r, nullptr);
    std::vector<CentralKind> runs;
    for (const CentralLinePoint& p : r->curves.centralLine.Points()) {
      if (runs.empty() || runs.back() != p.CentralKind) runs.push_back(p.CentralKind);
    }
    EXPECT_EQ(runs, c.kinds) << c.year << "-" << c.month << "-" << c.day;
  }
}

// Values at greatest eclipse from the central-line formulas, against the
// published duration (rounded to the second), path width (km) and place.
TEST_F(CatalogueCurves, GreatestEclipseAgreesWithPublishedFigures) {
  struct Case {
    int year, month, day;
    double durationSeconds, widthKm, latitudeDeg, longitudeDeg;
  };
  const Case cases[] = {
      {2024, 4, 8, 4 * 60 + 28, 197.5, 25.3, -104.1},
      {2023, 4, 20, 60 + 16, 49.0, -9.6, 125.8},
      {2023, 10, 14, 5 * 60 + 17, 187.0, 11.4, -83.1},
  };
  for (const Case& c : cases) {
    auto r = Compute(c.year, c.month, c.day);
    ASSERT_NE(r, nullptr);
    ElementState s;
    EvaluateAllAt(r->elements, r->circumstances.timeGreatest, s);
    const double eta1 = s.Y / s.Rho1;
    const double zeta1 = std::sqrt(std::fabs(1.0 - s.X * s.X - eta1 * eta1));
    const double zeta = std::max(0.0, s.Rho2 * (zeta1 * s.CosD1MinusD2 - eta1 * s.SinD1MinusD2));
    const EclipseEvent& tg0 = r->circumstances.events[EventId::TG0];
    const CentralLineValues v =
        CentralLineValuesAt(s, zeta, CurvePoint{tg0.EphemerisLongitude, tg0.Latitude});
    const std::string what = std::to_string(c.year) + "-" + std::to_string(c.month);
    EXPECT_NEAR(v.DurationMinutes * 60.0, c.durationSeconds, 1.0) << what;
    EXPECT_NEAR(v.WidthKm, c.widthKm, 0.01 * c.widthKm) << what;
    EXPECT_NEAR(tg0.Latitude * kRadToDeg, c.latitudeDeg, 0.1) << what;
    EXPECT_NEAR(tg0.Longitude * kRadToDeg, c.longitudeDeg, 0.1) << what;
    // The central line passes through greatest eclipse: its nearest point is
    // within one step of the line.
    double nearestKm = 1e9;
    for (const CentralLinePoint& p : r->curves.centralLine.Points()) {
      const double d = std::acos(std::clamp(
          std::sin(p.Latitude) * std::sin(tg0.Latitude) +
              std::cos(p.Latitude) * std::cos(tg0.Latitude) *
                  std::cos(p.Longitude - tg0.EphemerisLongitude),
          -1.0, 1.0));
      nearestKm = std::min(nearestKm, d * 6371.0);
    }
    EXPECT_LT(nearestKm, 60.0) << what;
  }
}

// At the finest resolution the penumbral limit keeps every solution of its
// scans (the southern one is built last, so the scan records are its own).
TEST_F(CatalogueCurves, FinestResolutionKeepsEveryLimitPoint) {
  auto r = Compute(2024, 4, 8, 32);
  ASSERT_NE(r, nullptr);
  ASSERT_EQ(r->scratch.scanFirst.size(), 11520u);
  int used = 0;
  for (const auto* records : {&r->scratch.scanFirst, &r->scratch.scanSecond}) {
    for (const LimitScanRecord& rec : *records) used += rec.Used ? 1 : 0;
  }
  EXPECT_GT(used, 1000);
  EXPECT_EQ(r->curves.southPenumbra.Count(), used + 2);  // with TPS1 and TPS2
}

// The TC1, TC2 and TG0 events carry the central kind of the line at their
// own points, so markers and table rows agree with the line's colour; the
// ends of hybrids are where a different test would flip them.
TEST_F(CatalogueCurves, EventKindsAgreeWithTheCentralLine) {
  int hybrids = 0;
  for (int i = 1; i <= catalogue_->Count(); i += 3) {
    if (catalogue_->Record(i).EclipseType != kHybrid) continue;
    ++hybrids;
    EclipseResult c;
    c = ComputeEclipse(WithoutDrawnCurves(PrepareEclipse(*catalogue_, i, TimeScale::kUniversal, 1)));
    const CentralLineCurve& line = c.curves.centralLine;
    ASSERT_TRUE(line.Ready()) << "eclipse " << i;
    EXPECT_EQ(c.circumstances.events[EventId::TC1].CentralKind, line.At(1).CentralKind)
        << "eclipse " << i;
    EXPECT_EQ(c.circumstances.events[EventId::TC2].CentralKind, line.At(line.Count()).CentralKind)
        << "eclipse " << i;
  }
  EXPECT_GT(hybrids, 300);
}

// Every contact found lies within the span searched for it; the partial of
// 3969 September 25 once got a TP3 284 hours after its epoch, where the
// secant steps had run out of a bracket without a sign change.
TEST_F(CatalogueCurves, ContactsLieWithinTheSearchLimits) {
  auto far = Compute(3969, 9, 25);
  ASSERT_NE(far, nullptr);
  EXPECT_FALSE(far->circumstances.events[EventId::TP3].exists());
  for (int i = 1; i <= catalogue_->Count(); i += 29) {
    EclipseResult c;
    c = ComputeEclipse(WithoutDrawnCurves(PrepareEclipse(*catalogue_, i, TimeScale::kUniversal, 1)));
    for (int id = 0; id < kEventCount; ++id) {
      const EclipseEvent& event = c.circumstances.events[static_cast<EventId>(id)];
      if (!event.exists()) continue;
      EXPECT_GE(*event.Time, c.circumstances.timeBefore - 1e-9)
          << "eclipse " << i << " event " << id;
      EXPECT_LE(*event.Time, c.circumstances.timeAfter + 1e-9) << "eclipse " << i << " event " << id;
    }
  }
}

// A long penumbral limit at the finest resolution (the hybrid of -121 July 9
// has over 7,500 points) keeps its far end: the chain ends on its end event.
TEST_F(CatalogueCurves, LongestLimitsReachTheirEndEvent) {
  auto r = Compute(-121, 7, 9, 32);
  ASSERT_NE(r, nullptr);
  const PointCurve& north = r->curves.northPenumbra;
  ASSERT_TRUE(north.Ready());
  EXPECT_GT(north.Count(), 7500);
  const EclipseEvent& first = r->circumstances.events[EventId::TPN1];
  const EclipseEvent& last = r->circumstances.events[EventId::TPN2];
  const CurvePoint& a = north.At(1);
  const CurvePoint& b = north.At(north.Count());
  const bool forward = a.Longitude == first.EphemerisLongitude && b.Longitude == last.EphemerisLongitude;
  const bool backward = a.Longitude == last.EphemerisLongitude && b.Longitude == first.EphemerisLongitude;
  EXPECT_TRUE(forward || backward) << "chain ends " << a.Longitude << " .. " << b.Longitude;
}

}  // namespace
}  // namespace darvelle
