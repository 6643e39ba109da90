// The place search over Debian's GeoNames city list, and civil time at a
// place: the zone from 1900 to 2099, local mean time outside.

#include <gtest/gtest.h>

#include "astro/calendar.h"
#include "places/local_time.h"
#include "places/place_index.h"
#include "places/places.h"

namespace darvelle::places {
namespace {

TEST(PlaceSearch, MostPopulousFirstWithItsZone) {
  const auto found = SearchPlaces("Dallas");
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(found.front().Label(), "Dallas, Texas, US");
  EXPECT_EQ(found.front().TimeZone, "America/Chicago");
  EXPECT_NEAR(found.front().LatitudeDeg, 32.78, 0.05);
  EXPECT_NEAR(found.front().LongitudeDeg, -96.80, 0.05);
  for (std::size_t i = 1; i < found.size(); ++i) {
    EXPECT_GE(found[i - 1].Population, found[i].Population);
  }
  EXPECT_LE(SearchPlaces("Paris", 2).size(), 2u);
}

TEST(PlaceSearch, NothingForNothing) {
  EXPECT_TRUE(SearchPlaces("").empty());
  EXPECT_TRUE(SearchPlaces("Qxzqxzqxz").empty());
}

TEST(PlaceSearch, NamesInTheChosenLanguage) {
  UsePlaceLanguage("de");
  const auto found = SearchPlaces("Munich");
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(found.front().Name, "München");
  EXPECT_EQ(found.front().TimeZone, "Europe/Berlin");
  UsePlaceLanguage("en");
}

// The index over the library's cities, searched when the towns file is
// missing: the same best match as the library's own query, found by any
// word's beginning, accents ignored.
TEST(PlaceIndex, SearchesLikeTheLibraryAndFindsTheNearestCity) {
  const PlaceIndex index = PlaceIndex::LoadLibraryCities("en");
  EXPECT_GT(index.Size(), 20000u);
  for (const char* query : {"Dallas", "Madrid", "Paris", "Sydney", "Mazatlan"}) {
    const auto library = SearchPlaces(query, 1);
    const auto ours = index.Search(query, 5);
    ASSERT_FALSE(library.empty()) << query;
    ASSERT_FALSE(ours.empty()) << query;
    EXPECT_EQ(ours.front().Label(), library.front().Label()) << query;
    EXPECT_EQ(ours.front().TimeZone, library.front().TimeZone) << query;
  }
  EXPECT_EQ(LongLabel(index.Search("Dallas", 1).front()), "Dallas, Texas, United States of America");
  const auto saoPaulo = index.Search("sao paulo", 3);
  ASSERT_FALSE(saoPaulo.empty());
  EXPECT_EQ(saoPaulo.front().TimeZone, "America/Sao_Paulo");
  const auto parisTexas = index.Search("paris tex", 3);
  ASSERT_EQ(parisTexas.size(), 1u);
  EXPECT_EQ(parisTexas.front().AdminArea, "Texas");
  EXPECT_EQ(index.Search("Paris", 3).size(), 3u);
  EXPECT_TRUE(index.Search("Qxzqxzqxz", 5).empty());
  EXPECT_TRUE(index.Search(" , ", 5).empty());

  // A point in Dallas' western suburbs, 15 km from the centre.
  const auto nearDallas = index.Nearest(32.75, -96.95, 50);
  ASSERT_TRUE(nearDallas.has_value());
  EXPECT_EQ(nearDallas->TimeZone, "America/Chicago");
  // Across the antimeridian: Fiji's cities lie on both sides of 180 degrees.
  const auto fiji = index.Nearest(-16.8, 179.99, 150);
  ASSERT_TRUE(fiji.has_value());
  EXPECT_EQ(fiji->TimeZone, "Pacific/Fiji");
  // Mid-Pacific and mid-Atlantic, far from any city.
  EXPECT_FALSE(index.Nearest(-40.0, -130.0, 300).has_value());
  EXPECT_FALSE(index.Nearest(0.0, -25.0, 300).has_value());
  // The north pole: some city within 5,000 km.
  EXPECT_TRUE(index.Nearest(90.0, 0.0, 5000).has_value());
}

TEST(LocalTime, ZoneFrom1900To2099AndMeanTimeOutside) {
  const double dallasMaximum = CalendarToJulianDay(2024, 4, 8, 18, 42, 38.6);
  struct Case {
    double julianDayUt;
    const char* zone;
    double longitude;
    const char* text;
    const char* offset;
    bool meanTime;
  };
  const Case cases[] = {
      {dallasMaximum, "America/Chicago", -96.8, "2024-04-08T13:42:38.6", "-05:00", false},
      {CalendarToJulianDay(1999, 8, 11, 10, 39, 0), "Europe/Berlin", 11.6,
       "1999-08-11T12:39:00.0", "+02:00", false},
      {CalendarToJulianDay(2024, 1, 10, 12, 0, 0), "Asia/Kolkata", 88.4,
       "2024-01-10T17:30:00.0", "+05:30", false},
      // 1851: before standard time, local mean time at 90 deg west is UT - 6 h.
      {CalendarToJulianDay(1851, 7, 28, 12, 0, 0), "America/Chicago", -90.0,
       "1851-07-28T06:00:00.0", "", true},
      // 2150: no zone rule can be trusted; 15 deg east is UT + 1 h.
      {CalendarToJulianDay(2150, 1, 1, 12, 0, 0), "Europe/Berlin", 15.0,
       "2150-01-01T13:00:00.0", "", true},
      // No zone or an unknown one: local mean time.
      {dallasMaximum, "", -96.8, "2024-04-08T12:15:26.6", "", true},
      {dallasMaximum, "Mars/Olympus_Mons", -96.8, "2024-04-08T12:15:26.6", "", true},
  };
  for (const Case& c : cases) {
    const LocalTime local = LocalTimeAt(c.julianDayUt, c.zone, c.longitude);
    EXPECT_EQ(local.Text, c.text) << c.zone;
    EXPECT_EQ(local.Offset, c.offset) << c.zone;
    EXPECT_EQ(local.MeanTime, c.meanTime) << c.zone;
    if (local.MeanTime) {
      EXPECT_EQ(local.Abbreviation, "LMT");
    }
  }
  EXPECT_EQ(LocalTimeAt(dallasMaximum, "America/Chicago", -96.8).Abbreviation, "CDT");
}

}  // namespace
}  // namespace darvelle::places
