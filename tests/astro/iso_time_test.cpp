#include "astro/iso_time.h"

#include <gtest/gtest.h>

namespace darvelle {
namespace {

TEST(IsoTime, YearsCarryTheirSign) {
  struct Case {
    int year;
    const char* text;
  };
  const Case cases[] = {{2024, "2024"}, {584, "0584"}, {1, "0001"}, {0, "0000"},
                        {-584, "-0584"}, {-4999, "-4999"}, {12000, "+12000"}};
  for (const Case& c : cases) EXPECT_EQ(IsoYear(c.year), c.text) << c.year;
  EXPECT_EQ(IsoDate(-584, 5, 28), "-0584-05-28");
}

TEST(IsoTime, InstantsToATenthOfASecond) {
  struct Case {
    double julianDay;
    const char* text;
  };
  const Case cases[] = {
      {2451545.0, "2000-01-01T12:00:00.0"},
      {2451544.5, "2000-01-01T00:00:00.0"},
      // 23:59:59.96 rounds up into the next day, not to 24:00 of this one.
      {2451544.5 + (86400.0 - 0.04) / 86400.0, "2000-01-02T00:00:00.0"},
      {2451544.5 + 3661.27 / 86400.0, "2000-01-01T01:01:01.3"},
      // The calendar reform: 1582 October 4 (Julian) is followed by October 15.
      {2299159.5, "1582-10-04T00:00:00.0"},
      {2299160.5, "1582-10-15T00:00:00.0"},
      {0.0, "-4712-01-01T12:00:00.0"},
      {1721057.5, "0000-01-01T00:00:00.0"},
  };
  for (const Case& c : cases) EXPECT_EQ(IsoDateTime(c.julianDay), c.text) << c.julianDay;
}

TEST(IsoTime, InstantsOfUtToTheMillisecond) {
  struct Case {
    double julianDay;
    const char* text;
  };
  const Case cases[] = {
      {2451544.5 + 3661.25 / 86400.0, "2000-01-01T01:01:01.250Z"},
      {2451544.5 + (86400.0 - 0.0004) / 86400.0, "2000-01-02T00:00:00.000Z"},
      {1721057.5 + 0.75, "0000-01-01T18:00:00.000Z"},
  };
  for (const Case& c : cases) EXPECT_EQ(IsoInstantUt(c.julianDay), c.text) << c.julianDay;
}

}  // namespace
}  // namespace darvelle
