// Cutting lines and areas at the antimeridian, closing areas around a pole,
// splitting rings that cross themselves, and ISO 8601 instants.

#include <gtest/gtest.h>

#include <cmath>

#include "export/gis_geometry.h"
#include "export/gis_texts.h"
#include "plane_checks.h"

namespace darvelle {
namespace {

using darvelle::testing::CrossingEdgePairs;
using darvelle::testing::InsideAny;
using darvelle::testing::Ring;
using darvelle::testing::TwiceSignedArea;

GeoLine Line(std::initializer_list<std::pair<double, double>> points) {
  GeoLine line;
  for (const auto& [lon, lat] : points) {
    GeoVertex v;
    v.LongitudeDeg = lon;
    v.LatitudeDeg = lat;
    line.push_back(v);
  }
  return line;
}

std::vector<Ring> AsRings(const std::vector<GeoRing>& polygons) {
  std::vector<Ring> rings;
  for (const GeoRing& polygon : polygons) {
    Ring ring;
    for (const GeoPoint& p : polygon) ring.emplace_back(p.LongitudeDeg, p.LatitudeDeg);
    rings.push_back(ring);
  }
  return rings;
}

struct SplitCase {
  const char* what;
  GeoLine line;
  std::size_t parts;
  double firstPartEndLongitude;  // where the first part stops
  double cutLatitude;            // NaN: no cut
};

TEST(SplitAtAntimeridian, CutsOnlySegmentsThatCrossIt) {
  const double none = std::nan("");
  const SplitCase cases[] = {
      {"eastward over +180", Line({{170, 0}, {-170, 10}}), 2, 180.0, 5.0},
      {"westward over -180", Line({{-175, 20}, {175, 10}}), 2, -180.0, 15.0},
      {"a wide step over Greenwich stays whole", Line({{-90, 0}, {0, 0}, {90, 0}}), 1, 90.0, none},
      {"twice over and back", Line({{179, 0}, {-179, 2}, {179, 4}}), 3, 180.0, 1.0},
      {"a point that is not a number is left out", Line({{10, 0}, {none, 5}, {20, 0}}), 1, 20.0,
       none},
      {"a single point is no line", Line({{10, 0}}), 0, none, none},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<GeoLine> parts = SplitAtAntimeridian(c.line);
    ASSERT_EQ(parts.size(), c.parts);
    if (parts.empty()) continue;
    EXPECT_DOUBLE_EQ(parts[0].back().LongitudeDeg, c.firstPartEndLongitude);
    for (const GeoLine& part : parts) {
      ASSERT_GE(part.size(), 2u);
      for (std::size_t i = 1; i < part.size(); ++i) {
        EXPECT_LE(std::fabs(part[i].LongitudeDeg - part[i - 1].LongitudeDeg), 180.0);
      }
    }
    if (!std::isnan(c.cutLatitude)) {
      EXPECT_NEAR(parts[0].back().LatitudeDeg, c.cutLatitude, 1e-9);
      EXPECT_NEAR(parts[1].front().LatitudeDeg, c.cutLatitude, 1e-9);
      EXPECT_DOUBLE_EQ(parts[1].front().LongitudeDeg, -c.firstPartEndLongitude);
    }
  }
}

TEST(SplitAtAntimeridian, InterpolatesTheValuesAtTheCut) {
  GeoLine line = Line({{170, 0}, {-160, 30}});
  line[0].JulianDayTT = 100.0;
  line[1].JulianDayTT = 103.0;
  line[0].WidthKm = 150.0;
  line[1].WidthKm = 180.0;
  const std::vector<GeoLine> parts = SplitAtAntimeridian(line);
  ASSERT_EQ(parts.size(), 2u);
  // +180 lies a third of the way from 170 to 200 (= -160).
  EXPECT_NEAR(parts[0].back().JulianDayTT, 101.0, 1e-9);
  EXPECT_NEAR(parts[1].front().WidthKm, 160.0, 1e-9);
  EXPECT_NEAR(parts[1].front().LatitudeDeg, 10.0, 1e-9);
}

std::vector<GeoPoint> Square(double west, double east, double south, double north) {
  return {{west, south}, {east, south}, {east, north}, {west, north}};
}

TEST(PolygonsOnMap, AnAreaOverTheAntimeridianBecomesTwoThatCoverIt) {
  // 20 x 10 degrees from 170 E to 170 W.
  const auto polygons = PolygonsOnMap(Square(170, -170, 0, 10), {175, 5});
  ASSERT_EQ(polygons.size(), 2u);
  const std::vector<Ring> rings = AsRings(polygons);
  double area = 0;
  for (const Ring& ring : rings) {
    EXPECT_EQ(ring.front(), ring.back());
    EXPECT_GT(TwiceSignedArea(ring), 0.0) << "exterior rings run counter-clockwise";
    for (const auto& [lon, lat] : ring) EXPECT_LE(std::fabs(lon), 180.0);
    area += TwiceSignedArea(ring) / 2;
  }
  EXPECT_NEAR(area, 200.0, 1e-6);
  EXPECT_TRUE(InsideAny(rings, 175, 5));
  EXPECT_TRUE(InsideAny(rings, -175, 5));
  EXPECT_FALSE(InsideAny(rings, 0, 5));
  EXPECT_EQ(CrossingEdgePairs(rings), 0);
}

TEST(PolygonsOnMap, AnAreaAwayFromTheAntimeridianStaysWhole) {
  const auto polygons = PolygonsOnMap(Square(-100, -90, 30, 40), {-95, 35});
  ASSERT_EQ(polygons.size(), 1u);
  EXPECT_EQ(polygons[0].size(), 5u);
  EXPECT_NEAR(TwiceSignedArea(AsRings(polygons)[0]) / 2, 100.0, 1e-9);
}

// A ring round the Earth along 60 N, with a wave, as a path over a pole draws it.
std::vector<GeoPoint> RingRoundTheEarth(double latitude) {
  std::vector<GeoPoint> ring;
  for (int lon = -170; lon <= 180; lon += 10) {
    ring.push_back({static_cast<double>(lon), latitude + 3.0 * std::sin(lon * M_PI / 60.0)});
  }
  return ring;
}

TEST(PolygonsOnMap, ARingRoundTheEarthEnclosesThePoleOnTheSideOfTheInsidePoint) {
  struct Case {
    const char* what;
    GeoPoint inside;
    GeoPoint expectedIn, expectedOut;
  };
  const Case cases[] = {
      {"inside point north of the ring", {30, 80}, {-120, 89}, {-120, 0}},
      {"inside point south of the ring", {30, 0}, {-120, -89}, {-120, 80}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<Ring> rings = AsRings(PolygonsOnMap(RingRoundTheEarth(60), c.inside));
    ASSERT_FALSE(rings.empty());
    EXPECT_TRUE(InsideAny(rings, c.inside.LongitudeDeg, c.inside.LatitudeDeg));
    EXPECT_TRUE(InsideAny(rings, c.expectedIn.LongitudeDeg, c.expectedIn.LatitudeDeg));
    EXPECT_FALSE(InsideAny(rings, c.expectedOut.LongitudeDeg, c.expectedOut.LatitudeDeg));
    EXPECT_EQ(CrossingEdgePairs(rings), 0);
  }
}

TEST(PolygonsOnMap, ARingThatCrossesItselfBecomesSimpleRingsMeetingAtTheCrossing) {
  // A bow tie: the limits of a hybrid's path crossing where its width is zero.
  const std::vector<GeoPoint> bowTie = {{0, 0}, {10, 10}, {10, 0}, {0, 10}};
  const std::vector<Ring> rings = AsRings(PolygonsOnMap(bowTie, {2, 5}));
  ASSERT_EQ(rings.size(), 2u);
  EXPECT_EQ(CrossingEdgePairs(rings), 0);
  EXPECT_TRUE(InsideAny(rings, 2, 5));
  EXPECT_TRUE(InsideAny(rings, 8, 5));
  EXPECT_FALSE(InsideAny(rings, 5, 8));
  for (const Ring& ring : rings) EXPECT_NEAR(TwiceSignedArea(ring) / 2, 25.0, 1e-9);
}

TEST(PolygonsOnMap, ATwistInALimitIsCutOutNotKeptAsAnArea) {
  // A 10 x 10 square whose top edge twists once (a loop of 0.0001 square
  // degrees), as a limit's points do near a pole.
  const std::vector<GeoPoint> twisted = {{0, 0},     {10, 0},      {10, 10},    {5.01, 10},
                                         {4.99, 10.01}, {4.99, 9.99}, {5.01, 10.0}, {4.98, 10},
                                         {0, 10}};
  const std::vector<Ring> rings = AsRings(PolygonsOnMap(twisted, {2, 5}));
  ASSERT_EQ(rings.size(), 1u);
  EXPECT_EQ(CrossingEdgePairs(rings), 0);
  EXPECT_NEAR(TwiceSignedArea(rings[0]) / 2, 100.0, 0.001);
}

TEST(PolygonsOnMap, RejectsTooFewPoints) {
  EXPECT_TRUE(PolygonsOnMap({{0, 0}, {1, 1}}, {0, 0}).empty());
  EXPECT_TRUE(PolygonsOnMap({{0, 0}, {1, 1}, {0, 0}}, {0, 0}).empty());
  EXPECT_TRUE(PolygonsOnMap({{0, 0}, {std::nan(""), 1}, {1, 1}}, {0, 0}).empty());
}

TEST(RoundCoordinate, KeepsSixDecimalsAndNoNegativeZero) {
  EXPECT_DOUBLE_EQ(RoundCoordinate(12.34567849), 12.345678);
  EXPECT_DOUBLE_EQ(RoundCoordinate(-96.8000004), -96.8);
  EXPECT_FALSE(std::signbit(RoundCoordinate(-0.0000001)));
}

TEST(IsoInstant, ProlepticGregorianDatesAndTimes) {
  struct Case {
    double julianDay;
    const char* expected;
  };
  // Julian Days of well-known dates, and others counted from 0001-01-01
  // (JD 1721425.5) in whole 400-year cycles of 146097 days with Python's
  // proleptic Gregorian date.toordinal.
  const Case cases[] = {
      {2451545.0, "2000-01-01T12:00:00.000Z"},
      {2299160.5, "1582-10-15T00:00:00.000Z"},
      {2299159.5, "1582-10-14T00:00:00.000Z"},  // Julian 1582-10-04 is proleptic Gregorian 10-14
      {0.0, "-4713-11-24T12:00:00.000Z"},
      {1721425.5, "0001-01-01T00:00:00.000Z"},
      {1721424.5, "0000-12-31T00:00:00.000Z"},
      {-105882.5, "-5002-01-01T00:00:00.000Z"},  // before the catalogue's first year
      {5282113.5, "9749-11-01T00:00:00.000Z"},
      {2460409.262, "2024-04-08T18:17:16.800Z"},
      {2460409.2620001, "2024-04-08T18:17:16.809Z"},
      {2451544.99999653, "2000-01-01T11:59:59.700Z"},
      {2451545.49999653, "2000-01-01T23:59:59.700Z"},
      {2451545.4999999995, "2000-01-02T00:00:00.000Z"},  // 23:59:59.99996 carries into the next day
  };
  for (const Case& c : cases) EXPECT_EQ(IsoInstant(c.julianDay), c.expected) << c.julianDay;
  EXPECT_EQ(IsoInstant(std::nan("")), "");
}

}  // namespace
}  // namespace darvelle
