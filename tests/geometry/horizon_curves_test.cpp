#include "geometry/horizon_curves.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "astro/numeric.h"
#include "geometry/circumstances.h"
#include "geometry/eclipse_computation.h"
#include "canon_fixtures.h"
#include "observer_plane.h"

namespace darvelle {
namespace {

using testing::CanonEclipse;
using testing::WithEvents;

double DegreesBetween(const CurvePoint& a, const CurvePoint& b) {
  return AngularSeparation(a.Longitude, a.Latitude, b.Longitude, b.Latitude) * kRadToDeg;
}

CurvePoint EventPosition(const EclipseResult& c, EventId id) {
  return {c.circumstances.events[id].EphemerisLongitude, c.circumstances.events[id].Latitude};
}

// A rise/set curve traced over a single instant holds that instant's limb
// crossing 301 times: the point lies on the penumbral circle of the
// fundamental plane (axis distance l1) and on the limb of the flattened Earth
// as the shadow sees it (zeta1 = 0, which leaves the true zeta within 3e-3:
// the Sun within 0.2 degrees of the horizon).
TEST(ComputeRiseSetCurve, PointsAreWhereThePenumbraCrossesTheLimb) {
  const auto sample = testing::RequireCanonSample();
  int crossings = 0;
  for (std::size_t k = 0; k < sample.size(); k += 9) {
    auto c = WithEvents(sample[k].record);
    const double tp1 = c->circumstances.events.Time(EventId::TP1).value(),
                 tp4 = c->circumstances.events.Time(EventId::TP4).value();
    for (int j = 1; j < 8; ++j) {
      const double t = tp1 + (tp4 - tp1) * j / 8.0;
      CurvePoint branchPoint[2];
      bool found[2] = {false, false};
      for (int b = 0; b < 2; ++b) {
        ComputeRiseSetCurve(*c, t, t, b == 0 ? 1 : -1, 1);
        const PointCurve& curve = c->curves.RiseSet(1);
        EXPECT_TRUE(curve.Ready());
        if (curve.Count() == 0) continue;
        ASSERT_EQ(curve.Count(), 301) << sample[k].date;
        const CurvePoint p = curve.At(1);
        const auto o = testing::ObserverAt(c->elements, t, p.Latitude, p.Longitude);
        const std::string where = sample[k].date + " t " + std::to_string(t);
        EXPECT_NEAR(o.zeta, 0.0, 3e-3) << where;
        EXPECT_NEAR(o.AxisDistance(), o.planeL1, 1e-7) << where;
        branchPoint[b] = p;
        found[b] = true;
        ++crossings;
      }
      // The penumbral circle crosses the limb twice: one point per branch.
      EXPECT_EQ(found[0], found[1]) << sample[k].date;
      if (found[0] && found[1]) {
        EXPECT_GT(DegreesBetween(branchPoint[0], branchPoint[1]), 1e-3);
      }
    }
  }
  EXPECT_GT(crossings, 200);
}

// 001 and 002 from TP1 to TP4 when the penumbra never lies wholly on the
// Earth; otherwise 003/004 (TP1 to TP2) and 005/006 (TP3 to TP4). The curves
// start and end next to their contacts' points.
TEST(ComputeRiseSetCurves, WhichCurvesAndWhereTheyStart) {
  const auto sample = testing::RequireCanonSample();
  int withTp2 = 0, withoutTp2 = 0;
  for (std::size_t k = 0; k < sample.size(); k += 2) {
    auto c = WithEvents(sample[k].record);
    ComputeRiseSetCurves(*c);
    const bool tp2 = c->circumstances.events[EventId::TP2].exists();
    (tp2 ? withTp2 : withoutTp2) += 1;
    for (int number = 1; number <= 6; ++number) {
      const PointCurve& curve = c->curves.RiseSet(number);
      const bool expected = tp2 ? number >= 3 : number <= 2;
      ASSERT_EQ(curve.Ready(), expected) << sample[k].date << " Testfile " << number;
      EXPECT_LE(curve.Count(), 301);
      if (!expected) {
        EXPECT_EQ(curve.Count(), 0);
        continue;
      }
      EXPECT_GT(curve.Count(), 200) << sample[k].date << " Testfile " << number;
      const EventId from = number <= 4 ? EventId::TP1 : EventId::TP3;
      const EventId to = (number <= 2 || number >= 5) ? EventId::TP4 : EventId::TP2;
      // Near an inner contact (TP2, TP3) the two crossings part fast, and on
      // the limb a small step on the plane is a long way on the globe.
      auto tolerance = [](EventId id) {
        return id == EventId::TP2 || id == EventId::TP3 ? 10.0 : 1.0;
      };
      EXPECT_LT(DegreesBetween(curve.At(1), EventPosition(*c, from)), tolerance(from))
          << sample[k].date << " Testfile " << number;
      EXPECT_LT(DegreesBetween(curve.At(curve.Count()), EventPosition(*c, to)), tolerance(to))
          << sample[k].date << " Testfile " << number;
      for (const CurvePoint& p : curve.Points()) {
        EXPECT_LE(std::fabs(p.Longitude), kPi);
        EXPECT_LE(std::fabs(p.Latitude), kPi / 2);
      }
    }
  }
  EXPECT_GT(withTp2, 50);
  EXPECT_GT(withoutTp2, 50);
}

// A point of maximum eclipse on the horizon: on the limb at its instant,
// inside the penumbra, and the observer there sees the eclipse greatest then
// (the distance from the penumbra's edge is smallest).
TEST(MaxEclipseAtHorizon, PointsAreOnTheLimbAtTheirMaximum) {
  const auto sample = testing::RequireCanonSample();
  int valid = 0, invalid = 0;
  for (std::size_t k = 0; k < sample.size(); k += 9) {
    auto c = WithEvents(sample[k].record);
    const double tp1 = c->circumstances.events.Time(EventId::TP1).value(),
                 tp4 = c->circumstances.events.Time(EventId::TP4).value();
    for (int j = 1; j < 12; ++j) {
      const double t = tp1 + (tp4 - tp1) * j / 12.0;
      for (int branch : {1, 2}) {
        ElementState s;
        const std::optional<CurvePoint> found = MaxEclipseAtHorizon(c->elements, branch, t, s);
        if (!found) {
          ++invalid;
          continue;
        }
        ++valid;
        const CurvePoint p = *found;
        const std::string where = sample[k].date + " t " + std::to_string(t);
        const auto o = testing::ObserverAt(c->elements, t, p.Latitude, p.Longitude);
        EXPECT_NEAR(o.zeta, 0.0, 3e-3) << where;
        EXPECT_LE(o.AxisDistance(), o.planeL1 + 1e-9) << where;
        // Closest to the axis (relative to the penumbral radius) at t.
        auto gap = [&](double dt) {
          const auto q = testing::ObserverAt(c->elements, t + dt, p.Latitude, p.Longitude);
          return (q.AxisDistance() - q.l1) / (q.l1 + std::fabs(q.l2));
        };
        const double here = gap(0.0);
        EXPECT_LE(here, gap(0.05) + 1e-7) << where;
        EXPECT_LE(here, gap(-0.05) + 1e-7) << where;
      }
    }
  }
  EXPECT_GT(valid, 100);
  EXPECT_GT(invalid, 10);
}

// MaxHoriS needs TPN1 without TPS1, MaxHoriN the reverse; MaxSunrise needs
// TP2 and MaxSunset TP3. Each starts at its first event's point.
TEST(ComputeHorizonCurves, ExistenceAndEndPoints) {
  const auto sample = testing::RequireCanonSample();
  int built[4] = {0, 0, 0, 0};
  for (std::size_t k = 0; k < sample.size(); k += 2) {
    auto c = WithEvents(sample[k].record);
    ComputeHorizonCurves(*c);
    const auto& e = c->circumstances.events;
    const auto& curves = c->curves;
    const bool n1 = e[EventId::TPN1].exists(), s1 = e[EventId::TPS1].exists();
    const std::string what = sample[k].date + " " + sample[k].typeCode;
    EXPECT_EQ(curves.maxHorizonSouth.Ready(), n1 && !s1) << what;
    EXPECT_EQ(curves.maxHorizonNorth.Ready(), s1 && !n1) << what;
    EXPECT_EQ(curves.maxSunrise.Ready(), e[EventId::TP2].exists()) << what;
    EXPECT_EQ(curves.maxSunset.Ready(), e[EventId::TP3].exists()) << what;
    struct Check {
      const PointCurve* curve;
      EventId start;
      int index;
    };
    for (const Check& ch : {Check{&curves.maxHorizonSouth, EventId::TPN1, 0},
                            Check{&curves.maxHorizonNorth, EventId::TPS1, 1},
                            Check{&curves.maxSunrise, EventId::TPN1, 2},
                            Check{&curves.maxSunset, EventId::TPN2, 3}}) {
      if (!ch.curve->Ready()) {
        EXPECT_EQ(ch.curve->Count(), 0) << what;
        continue;
      }
      ++built[ch.index];
      ASSERT_GT(ch.curve->Count(), 2) << what;
      EXPECT_LE(ch.curve->Count(), 2 * 299 + 2) << what;
      if (e[ch.start].exists()) {
        EXPECT_EQ(ch.curve->At(1).Longitude, e[ch.start].EphemerisLongitude) << what;
        EXPECT_EQ(ch.curve->At(1).Latitude, e[ch.start].Latitude) << what;
      }
      for (const CurvePoint& p : ch.curve->Points()) {
        EXPECT_TRUE(std::isfinite(p.Longitude) && std::isfinite(p.Latitude)) << what;
        EXPECT_LE(std::fabs(p.Latitude), kPi / 2) << what;
      }
    }
    // The curve closing the path on one side ends at the limit's last event.
    if (curves.maxHorizonSouth.Ready() && e[EventId::TPN2].exists()) {
      const auto& m = curves.maxHorizonSouth;
      EXPECT_EQ(m.At(m.Count()).Latitude, e[EventId::TPN2].Latitude) << what;
    }
  }
  for (int count : built) EXPECT_GT(count, 10);
}

// An end event that was not found has no position: the curve gets no point
// for it (rather than one at longitude 0, latitude 0).
TEST(ComputeHorizonCurves, MissingEndEventsAddNoPoint) {
  const auto sample = testing::RequireCanonSample();
  int tested = 0;
  for (std::size_t k = 0; k < sample.size() && tested < 10; ++k) {
    auto c = WithEvents(sample[k].record);
    if (!c->circumstances.events[EventId::TP2].exists() ||
        !c->circumstances.events[EventId::TPS1].exists())
      continue;
    ComputeHorizonCurves(*c);
    const int before = c->curves.maxSunrise.Count();
    c->circumstances.events[EventId::TPS1] = EclipseEvent{};
    ComputeHorizonCurves(*c);
    EXPECT_EQ(c->curves.maxSunrise.Count(), before - 1) << sample[k].date;
    for (const CurvePoint& p : c->curves.maxSunrise.Points()) {
      EXPECT_FALSE(p.Longitude == 0.0 && p.Latitude == 0.0) << sample[k].date;
    }
    ++tested;
  }
  EXPECT_EQ(tested, 10);
}

}  // namespace
}  // namespace darvelle
