// Local circumstances: the covered area, sound results at awkward places, the
// quick rejection of the catalogue scan against the full computation, and the
// visibility classes at known places. (The figures themselves are checked
// against an independent ephemeris in tests/reference.)

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "astro/delta_t.h"
#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "geometry/local_circumstances.h"
#include "geometry/visible_eclipses.h"
#include "../support/shipped_catalogue.h"

namespace darvelle {
namespace {

TEST(CoveredFraction, LensAreaOfTwoDiscs) {
  const double pi = 3.141592653589793;
  struct Case {
    double moon, distance, expected;
  };
  const Case cases[] = {
      {1.05, 0.0, 1.0},                                   // total
      {0.5, 0.0, 0.25},                                   // annular, central
      {0.5, 0.3, 0.25},                                   // annular, inside
      {1.0, 2.0, 0.0},                                    // touching outside
      {1.0, 2.5, 0.0},                                    // apart
      {1.0, 1.0, (2.0 * pi / 3.0 - std::sqrt(3.0) / 2.0) / pi},  // equal discs, r apart
      {0.0, 0.0, 0.0},                                    // no Moon
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(CoveredFraction(c.moon, c.distance), c.expected, 1e-12)
        << c.moon << " " << c.distance;
  }
  // Covered area grows as the discs approach.
  double previous = 0.0;
  for (double d = 2.0; d >= 0.0; d -= 0.05) {
    const double f = CoveredFraction(1.02, d);
    EXPECT_GE(f, previous - 1e-15) << d;
    previous = f;
  }
}

TEST(ObserverProblem, NamesTheBadValue) {
  EXPECT_EQ(ObserverProblem({45.0, 10.0, 0.0}), nullptr);
  EXPECT_EQ(ObserverProblem({-90.0, 180.0, 8000.0}), nullptr);
  EXPECT_NE(std::string(ObserverProblem({90.5, 0.0, 0.0})).find("latitude"), std::string::npos);
  EXPECT_NE(std::string(ObserverProblem({0.0, -181.0, 0.0})).find("longitude"),
            std::string::npos);
  EXPECT_NE(std::string(ObserverProblem({0.0, 0.0, NAN})).find("height"), std::string::npos);
  EXPECT_NE(ObserverProblem({NAN, 0.0, 0.0}), nullptr);
}

class LocalCatalogue : public testing::ShippedCatalogueTest {
 protected:
  static LocalCircumstances At(int year, int month, int day, const Observer& observer) {
    const EclipseRecord& record = catalogue_->Record(IndexOf(year, month, day));
    return ComputeLocalCircumstances(ElementsFromRecord(record), ComputeDeltaT(record.Year, record.Month), observer);
  }
};

bool AllFinite(const LocalCircumstances& l) {
  bool ok = std::isfinite(l.Magnitude) && std::isfinite(l.MoonSunRatio) &&
            std::isfinite(l.Obscuration);
  for (const auto* e : {&l.C1, &l.C2, &l.Maximum, &l.C3, &l.C4}) {
    if (*e) {
      ok = ok && std::isfinite((*e)->Time) && std::isfinite((*e)->SunAltitudeDeg) &&
           std::isfinite((*e)->SunAzimuthDeg) && std::isfinite((*e)->PositionAngleDeg);
    }
  }
  if (l.DurationS) ok = ok && std::isfinite(*l.DurationS);
  return ok;
}

TEST_F(LocalCatalogue, AwkwardPlacesGiveSoundValues) {
  const Observer places[] = {
      {90.0, 0.0, 0.0},     {-90.0, 0.0, 0.0},   {90.0, 123.0, 8000.0}, {0.0, 180.0, 0.0},
      {0.0, -180.0, 0.0},   {-17.0, 180.0, 0.0}, {27.99, 86.93, 8000.0}, {0.0, 0.0, -500.0},
      {89.999, -45.0, 10000.0},
  };
  // Every hundredth eclipse of the catalogue, from -4999 to 7000.
  for (int index = 1; index <= catalogue_->Count(); index += 100) {
    const EclipseRecord& record = catalogue_->Record(index);
    const double deltaT = ComputeDeltaT(record.Year, record.Month);
    for (const Observer& o : places) {
      const LocalCircumstances l = ComputeLocalCircumstances(ElementsFromRecord(record), deltaT, o);
      ASSERT_TRUE(AllFinite(l)) << index << " at " << o.LatitudeDeg << "," << o.LongitudeDeg;
      if (l.Kind == LocalKind::kNone) {
        EXPECT_EQ(l.Seen, Visibility::kNone);
        EXPECT_FALSE(l.C1 || l.C4 || l.Maximum);
        continue;
      }
      ASSERT_TRUE(l.C1 && l.Maximum && l.C4) << index;
      EXPECT_LT(l.C1->Time, l.Maximum->Time) << index;
      EXPECT_LT(l.Maximum->Time, l.C4->Time) << index;
      EXPECT_GT(l.Magnitude, 0.0) << index;
      EXPECT_GE(l.Obscuration, 0.0);
      EXPECT_LE(l.Obscuration, 1.0);
      EXPECT_EQ(l.C2.has_value(), l.Kind == LocalKind::kTotal || l.Kind == LocalKind::kAnnular);
      if (l.C2) {
        EXPECT_LT(l.C1->Time, l.C2->Time);
        EXPECT_LT(l.C3->Time, l.C4->Time);
        EXPECT_GT(*l.DurationS, 0.0);
      }
    }
  }
}

// The longitude east and west of the antimeridian are the same place.
TEST_F(LocalCatalogue, AntimeridianFromBothSides) {
  const auto east = At(2028, 7, 22, {-17.0, 180.0, 0.0});
  const auto west = At(2028, 7, 22, {-17.0, -180.0, 0.0});
  ASSERT_TRUE(east.Maximum && west.Maximum);
  EXPECT_NEAR(east.Maximum->Time, west.Maximum->Time, 1e-9);
  EXPECT_NEAR(east.Magnitude, west.Magnitude, 1e-12);
}

// Visibility classes at places whose class the eclipse maps show plainly.
TEST_F(LocalCatalogue, VisibilityClasses) {
  struct Case {
    const char* name;
    int year, month, day;
    Observer place;
    Visibility expected;
    LocalKind kind;
  };
  const Case cases[] = {
      {"Dallas 2024", 2024, 4, 8, {32.7767, -96.797, 140}, Visibility::kFull, LocalKind::kTotal},
      {"New York 2021 at sunrise", 2021, 6, 10, {40.7128, -74.006, 10}, Visibility::kRise,
       LocalKind::kPartial},
      {"Moscow 2026 at sunset", 2026, 8, 12, {55.7558, 37.6173, 150}, Visibility::kSet,
       LocalKind::kPartial},
      {"Tokyo 2024 at night", 2024, 4, 8, {35.6762, 139.6503, 40}, Visibility::kNight,
       LocalKind::kPartial},
      {"Lima 2017, outside", 2017, 8, 21, {-12.0464, -77.0428, 150}, Visibility::kNone,
       LocalKind::kNone},
      {"Albuquerque 2023", 2023, 10, 14, {35.0844, -106.6504, 1620}, Visibility::kFull,
       LocalKind::kAnnular},
  };
  for (const Case& c : cases) {
    const auto l = At(c.year, c.month, c.day, c.place);
    EXPECT_EQ(l.Seen, c.expected) << c.name;
    EXPECT_EQ(l.Kind, c.kind) << c.name;
  }
  const auto newYork = At(2021, 6, 10, {40.7128, -74.006, 10});
  ASSERT_TRUE(newYork.Sunrise);
  EXPECT_GT(newYork.Sunrise->Time, newYork.C1->Time);
  EXPECT_LT(newYork.Sunrise->Time, newYork.C4->Time);
  EXPECT_GT(newYork.Sunrise->Magnitude, 0.0);
  EXPECT_FALSE(newYork.C1->SunUp());
  const auto moscow = At(2026, 8, 12, {55.7558, 37.6173, 150});
  ASSERT_TRUE(moscow.Sunset);
  EXPECT_DOUBLE_EQ(moscow.VisibleMagnitude(), moscow.Sunset->Magnitude);
  EXPECT_LT(moscow.VisibleMagnitude(), moscow.Magnitude);
}

// Across the path of 2024 April 8 along the meridian of Dallas, totality
// grows from nothing at one limit to its longest near the centre line and
// shrinks to nothing at the other; near the limits the contacts graze, where
// a careless iteration jumps.
TEST_F(LocalCatalogue, DurationAcrossThePathRisesAndFallsOnce) {
  double previous = 0.0;
  int turns = 0;
  bool rising = true;
  int inside = 0;
  for (double lat = 31.5; lat <= 34.5; lat += 0.005) {
    const auto l = At(2024, 4, 8, {lat, -96.797, 0.0});
    ASSERT_NE(l.Kind, LocalKind::kNone) << lat;
    const double duration = l.DurationS.value_or(0.0);
    EXPECT_EQ(l.Kind == LocalKind::kTotal, l.DurationS.has_value()) << lat;
    EXPECT_LT(duration, 4.5 * 60.0) << lat;
    if (l.C2) {
      ++inside;
      EXPECT_LE(l.C2->Time, l.Maximum->Time + 1e-6) << lat;
      EXPECT_GE(l.C3->Time, l.Maximum->Time - 1e-6) << lat;
    }
    if (rising && duration < previous - 1e-6) {
      rising = false;
      ++turns;
    } else if (!rising && duration > previous + 1e-6) {
      ++turns;
    }
    previous = duration;
  }
  EXPECT_EQ(turns, 1);
  EXPECT_GT(inside, 100);  // the path is about 1.8 deg of latitude wide here
}

// The quick rejection never drops an eclipse the full computation sees.
TEST_F(LocalCatalogue, QuickRejectionKeepsEverySeenEclipse) {
  const Observer places[] = {{32.7767, -96.797, 140}, {78.2232, 15.6267, 10},
                             {-33.8688, 151.2093, 40}, {0.0, 180.0, 0.0}};
  for (const Observer& o : places) {
    int seen = 0;
    for (int index = 1; index <= catalogue_->Count(); index += 3) {
      const EclipseRecord& record = catalogue_->Record(index);
      const double deltaT = ComputeDeltaT(record.Year, record.Month);
      const auto l = ComputeLocalCircumstances(ElementsFromRecord(record), deltaT, o);
      const bool isSeen = l.Seen == Visibility::kFull || l.Seen == Visibility::kRise ||
                          l.Seen == Visibility::kSet;
      if (isSeen) {
        ++seen;
        EXPECT_TRUE(MayBeSeen(ElementsFromRecord(record), deltaT, o)) << index << " at " << o.LatitudeDeg;
      }
    }
    EXPECT_GT(seen, 1000) << o.LatitudeDeg;
  }
}

TEST_F(LocalCatalogue, ScanFiltersByYearKindAndMagnitude) {
  const Observer dallas{32.7767, -96.797, 140};
  VisibleEclipseFilter filter;
  filter.FromYear = 2000;
  filter.ToYear = 2050;
  const auto all = FindVisibleEclipses(*catalogue_, dallas, filter);
  ASSERT_FALSE(all.empty());
  for (const auto& v : all) {
    const int year = catalogue_->Record(v.Index).Year;
    EXPECT_GE(year, 2000);
    EXPECT_LE(year, 2050);
  }
  filter.Kind = LocalKindFilter::kTotal;
  const auto total = FindVisibleEclipses(*catalogue_, dallas, filter);
  ASSERT_EQ(total.size(), 1u);  // 2024 April 8
  EXPECT_EQ(total[0].Index, IndexOf(2024, 4, 8));
  filter.Kind = LocalKindFilter::kAny;
  filter.MinMagnitude = 0.5;
  const auto deep = FindVisibleEclipses(*catalogue_, dallas, filter);
  EXPECT_LT(deep.size(), all.size());
  for (const auto& v : deep) EXPECT_GE(v.Local.VisibleMagnitude(), 0.5);
}

}  // namespace
}  // namespace darvelle
