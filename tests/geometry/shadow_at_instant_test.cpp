// The shadow at an instant through its public function, against the local
// circumstances engine (an independent computation per place: its contacts
// are searched in time, the outlines here in space) and over the catalogue.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "astro/calendar.h"
#include "astro/delta_t.h"
#include "catalogue/besselian_elements.h"
#include "geometry/circumstances.h"
#include "geometry/eclipse_scratch.h"
#include "geometry/local_circumstances.h"
#include "geometry/shadow_at_instant.h"
#include "../support/shipped_catalogue.h"

namespace darvelle {
namespace {

class ShadowAt : public testing::ShippedCatalogueTest {
 protected:
  struct Scene {
    BesselianElements elements;
    double deltaT = 0;
  };
  static Scene SceneOf(int year, int month, int day) {
    const int index = IndexOf(year, month, day);
    EXPECT_NE(index, 0);
    Scene s{CurrentElements(*catalogue_, index), 0.0};
    s.deltaT = ComputeDeltaT(s.elements.year, s.elements.month);
    return s;
  }
  static double TimeAt(const Scene& s, int year, int month, int day, int h, int m) {
    return ShadowTimeOfUt(s.elements, s.deltaT, CalendarToJulianDay(year, month, day, h, m, 0));
  }
};

// Whether p lies inside the closed ring, by the crossings of a ray due east
// (the umbra of these cases is far from the antimeridian and the poles).
bool InsideRing(const ShadowCurve& ring, const ShadowPoint& p) {
  bool inside = false;
  for (std::size_t i = 0, j = ring.Points.size() - 1; i < ring.Points.size(); j = i++) {
    const ShadowPoint& a = ring.Points[i];
    const ShadowPoint& b = ring.Points[j];
    if ((a.LatitudeDeg > p.LatitudeDeg) == (b.LatitudeDeg > p.LatitudeDeg)) continue;
    const double lon = a.LongitudeDeg + (p.LatitudeDeg - a.LatitudeDeg) /
                                            (b.LatitudeDeg - a.LatitudeDeg) *
                                            (b.LongitudeDeg - a.LongitudeDeg);
    if (p.LongitudeDeg < lon) inside = !inside;
  }
  return inside;
}

TEST_F(ShadowAt, UmbraOutlineIsWhereTheCentralPhaseBeginsOrEnds) {
  struct Instant {
    int year, month, day, h, m;
    bool closed;  // the umbra lies wholly on the day side
  };
  const Instant instants[] = {
      {2024, 4, 8, 18, 42, true},   {2024, 4, 8, 16, 40, false},  // and at sunrise in the Pacific
      {2017, 8, 21, 17, 20, true},  {2023, 10, 14, 17, 0, true},  // annular: the antumbra
      {2021, 12, 4, 7, 40, true},   {2026, 8, 12, 18, 32, false},  // sunset beyond Spain
  };
  for (const Instant& in : instants) {
    SCOPED_TRACE(::testing::Message() << in.year << "-" << in.month << "-" << in.day << " "
                                      << in.h << ":" << in.m);
    const Scene s = SceneOf(in.year, in.month, in.day);
    const double t = TimeAt(s, in.year, in.month, in.day, in.h, in.m);
    const ShadowAtInstant shadow = ComputeShadowAt(s.elements, s.deltaT, t);
    ASSERT_EQ(shadow.Umbra.size(), 1u);
    const ShadowCurve& umbra = shadow.Umbra.front();
    EXPECT_EQ(umbra.Closed, in.closed);
    EXPECT_EQ(shadow.Antumbra, in.year == 2023);
    ASSERT_GE(umbra.Points.size(), 20u);
    if (umbra.Closed) {
      EXPECT_EQ(umbra.Points.front().LatitudeDeg, umbra.Points.back().LatitudeDeg);
      EXPECT_EQ(umbra.Points.front().LongitudeDeg, umbra.Points.back().LongitudeDeg);
    }
    // The area: the same outline, closed along the terminator where it is cut.
    const auto area = UmbraAreaAt(s.elements, s.deltaT, t);
    ASSERT_EQ(area.size(), 1u);
    EXPECT_TRUE(area.front().Closed);
    EXPECT_EQ(area.front().Points.front().LatitudeDeg, area.front().Points.back().LatitudeDeg);
    EXPECT_EQ(area.front().Points.front().LongitudeDeg, area.front().Points.back().LongitudeDeg);
    EXPECT_GE(area.front().Points.size(), umbra.Points.size());
    for (const ShadowPoint& p : umbra.Points) {
      const LocalCircumstances local =
          ComputeLocalCircumstances(s.elements, s.deltaT, {p.LatitudeDeg, p.LongitudeDeg, 0.0});
      double nearest = 1e9;
      for (const auto* contact : {&local.C2, &local.C3}) {
        if (*contact) nearest = std::min(nearest, std::abs((*contact)->Time - t) * 3600.0);
      }
      EXPECT_LT(nearest, 1.0) << p.LatitudeDeg << " " << p.LongitudeDeg;
    }
  }
}

TEST_F(ShadowAt, DallasIsInTheUmbraOnlyDuringItsTotality) {
  const Scene s = SceneOf(2024, 4, 8);
  const ShadowPoint dallas{-96.80, 32.78};
  const struct {
    int h, m;
    bool inside;
  } cases[] = {{18, 30, false}, {18, 42, true}, {18, 55, false}};
  for (const auto& c : cases) {
    const ShadowAtInstant shadow =
        ComputeShadowAt(s.elements, s.deltaT, TimeAt(s, 2024, 4, 8, c.h, c.m));
    ASSERT_EQ(shadow.Umbra.size(), 1u);
    ASSERT_TRUE(shadow.Umbra.front().Closed);
    EXPECT_EQ(InsideRing(shadow.Umbra.front(), dallas), c.inside) << c.h << ":" << c.m;
  }
}

bool Finite(const std::vector<ShadowCurve>& curves) {
  for (const ShadowCurve& c : curves) {
    for (const ShadowPoint& p : c.Points) {
      if (!std::isfinite(p.LatitudeDeg) || !std::isfinite(p.LongitudeDeg)) return false;
      if (std::abs(p.LatitudeDeg) > 90.0 || std::abs(p.LongitudeDeg) > 180.0) return false;
    }
  }
  return true;
}

// Random instants of records spread over the whole catalogue, from well
// before the first contact to well after the last, and instants no eclipse
// has: finite points, and a shadow exactly between the contacts.
TEST_F(ShadowAt, SweepOfTheCatalogueIsFiniteAndEmptyOutsideTheContacts) {
  std::mt19937 random(20240408);
  EclipseScratch scratch;
  int inside = 0, outside = 0;
  for (int index = 1; index <= catalogue_->Count(); index += 37) {
    const BesselianElements e = CurrentElements(*catalogue_, index);
    const double deltaT = ComputeDeltaT(e.year, e.month);
    const Circumstances circ = FindCircumstances(e, deltaT, scratch);
    const auto p1 = circ.events.Time(EventId::TP1);
    const auto p4 = circ.events.Time(EventId::TP4);
    ASSERT_TRUE(p1 && p4) << index;
    std::uniform_real_distribution<double> pick(*p1 - 0.5, *p4 + 0.5);
    for (int k = 0; k < 4; ++k) {
      const double t = pick(random);
      SCOPED_TRACE(::testing::Message() << "record " << index << " t " << t);
      const ShadowAtInstant shadow = ComputeShadowAt(e, deltaT, t);
      ASSERT_TRUE(Finite(shadow.Umbra) && Finite(shadow.Penumbra) &&
                  Finite({shadow.Terminator}));
      for (const MagnitudeLine& line : shadow.MagnitudeLines) ASSERT_TRUE(Finite(line.Curves));
      // A second off the contacts, the penumbra is clearly on or off the Earth.
      const double margin = 1.0 / 3600.0;
      if (t < *p1 - margin || t > *p4 + margin) {
        ++outside;
        EXPECT_FALSE(shadow.InEclipse);
        EXPECT_TRUE(shadow.Empty() && shadow.MagnitudeLines.empty());
      } else if (t > *p1 + margin && t < *p4 - margin) {
        ++inside;
        EXPECT_TRUE(shadow.InEclipse);
        EXPECT_FALSE(shadow.Penumbra.empty());
      }
    }
  }
  for (const double t : {std::nan(""), 1e9, -1e9}) {
    const ShadowAtInstant shadow = ComputeShadowAt(CurrentElements(*catalogue_, 1), 0.0, t);
    EXPECT_TRUE(shadow.Empty() && Finite({shadow.Terminator}));
  }
  EXPECT_GT(inside, 400);
  EXPECT_GT(outside, 50);
}

}  // namespace
}  // namespace darvelle
