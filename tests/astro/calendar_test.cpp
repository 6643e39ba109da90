#include "astro/calendar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace darvelle {
namespace {

TEST(CalendarToJulianDay, KnownInstants) {
  struct Case {
    int year, month, day;
    double hour, minute, second;
    double jd;
  };
  const Case cases[] = {
      {2000, 1, 1, 12, 0, 0, 2451545.0},      // J2000.0
      {1582, 10, 4, 0, 0, 0, 2299159.5},      // last Julian date
      {1582, 10, 15, 0, 0, 0, 2299160.5},     // first Gregorian date, the next day
      {-4712, 1, 1, 12, 0, 0, 0.0},           // JD 0, through the millennium shift
      {1957, 10, 4, 19, 26, 24, 2436116.31},  // Sputnik (Meeus, example 7.a)
      {333, 1, 27, 12, 0, 0, 1842713.0},      // Meeus, example 7.b (Julian calendar)
      {-1000, 7, 12, 12, 0, 0, 1356001.0},    // Meeus, table 7.a
      {-4712, 1, 1, 0, 0, 0, -0.5},
      {1600, 1, 1, 0, 0, 0, 2305447.5},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(CalendarToJulianDay(c.year, c.month, c.day, c.hour, c.minute, c.second), c.jd,
                1e-8)
        << c.year << "-" << c.month << "-" << c.day;
  }
}

TEST(CalendarToJulianDay, FractionalHoursPassedAsSeconds) {
  const double base = CalendarToJulianDay(2021, 12, 4, 8, 0, 0);
  EXPECT_NEAR(CalendarToJulianDay(2021, 12, 4, 8, 0, -0.5 * 3600.0), base - 0.5 / 24.0, 1e-9);
  EXPECT_NEAR(CalendarToJulianDay(2021, 12, 4, 8, 0, 2.25 * 3600.0), base + 2.25 / 24.0, 1e-9);
}

TEST(JulianDayToCalendar, TimesOfDay) {
  struct Case {
    double jd;
    int year, month, day;
    double hour, minute, second;
  };
  const Case cases[] = {
      {2451545.0, 2000, 1, 1, 12, 0, 0},
      {2451544.5, 2000, 1, 1, 0, 0, 0},    // x.5: midnight of the new date
      {2451544.75, 2000, 1, 1, 6, 0, 0},   // x.75: 06:00
      {2451545.25, 2000, 1, 1, 18, 0, 0},  // x.25: 18:00 of the date of the preceding midnight
      {2451545.000011574, 2000, 1, 1, 12, 0, 1.0},
      {2299160.5, 1582, 10, 15, 0, 0, 0},
      {2299159.5, 1582, 10, 4, 0, 0, 0},
      {0.0, -4712, 1, 1, 12, 0, 0},
  };
  for (const auto& c : cases) {
    const CalendarInstant t = JulianDayToCalendar(c.jd);
    EXPECT_EQ(t.year, c.year) << c.jd;
    EXPECT_EQ(t.month, c.month) << c.jd;
    EXPECT_EQ(t.day, c.day) << c.jd;
    EXPECT_EQ(t.hour, c.hour) << c.jd;
    EXPECT_EQ(t.minute, c.minute) << c.jd;
    EXPECT_NEAR(t.second, c.second, 1e-9) << c.jd;
  }
}

TEST(JulianDayToCalendar, KeepsMilliseconds) {
  const CalendarInstant t = JulianDayToCalendar(CalendarToJulianDay(2024, 4, 8, 18, 17, 20.123));
  EXPECT_EQ(t.hour, 18);
  EXPECT_EQ(t.minute, 17);
  EXPECT_NEAR(t.second, 20.123, 1e-9);
}

TEST(Calendar, RoundTripsAcrossTheCatalogueSpan) {
  struct Case {
    int year, month, day, hour, minute, second;
  };
  const Case cases[] = {{-4999, 1, 1, 0, 0, 0},    {-4999, 6, 15, 13, 45, 30},
                        {-4, 2, 29, 23, 59, 59},   {0, 3, 1, 1, 2, 3},
                        {332, 12, 31, 22, 0, 0},   {1582, 10, 4, 12, 0, 0},
                        {1582, 10, 15, 12, 0, 0},  {7000, 12, 31, 23, 59, 59},
                        {7000, 7, 4, 4, 4, 4}};
  for (const auto& c : cases) {
    const double jd = CalendarToJulianDay(c.year, c.month, c.day, c.hour, c.minute, c.second);
    const CalendarInstant t = JulianDayToCalendar(jd);
    EXPECT_EQ(t.year, c.year);
    EXPECT_EQ(t.month, c.month) << c.year;
    EXPECT_EQ(t.day, c.day) << c.year;
    EXPECT_EQ(t.hour, c.hour) << c.year;
    EXPECT_EQ(t.minute, c.minute) << c.year;
    EXPECT_NEAR(t.second, c.second, 1e-3) << c.year;
  }
}

TEST(Calendar, ReformGapDatesAreReadAsJulian) {
  // 1582 October 5 .. 10 do not exist in the Gregorian calendar; they are read
  // as Julian dates and come back under their Gregorian names, not rejected.
  const CalendarInstant t = JulianDayToCalendar(CalendarToJulianDay(1582, 10, 10, 0, 0, 0));
  EXPECT_EQ(t.month, 10);
  EXPECT_EQ(t.day, 20);
  EXPECT_DOUBLE_EQ(CalendarToJulianDay(1582, 10, 11, 0, 0, 0), 2299156.5);
}

TEST(IsCalendarDate, AgreesWithTheDayCountRoundTrip) {
  // A day of the calendar comes back unchanged through its Julian Day; a day
  // that does not exist (February 30, a Julian-only leap day after the
  // reform, the ten days of the reform) comes back under another name.
  const int years[] = {-4999, -101, -100, -4, -1, 0, 4, 100, 1500, 1581, 1582, 1583,
                       1600,  1700, 1900, 2000, 2023, 2024, 2100, 7000};
  for (const int year : years) {
    for (int month = 0; month <= 13; ++month) {
      for (int day = 0; day <= 32; ++day) {
        bool roundTrip = false;
        if (month >= 1 && month <= 12 && day >= 1) {
          const CalendarInstant t =
              JulianDayToCalendar(CalendarToJulianDay(year, month, day, 12, 0, 0));
          roundTrip = t.year == year && t.month == month && t.day == day;
        }
        EXPECT_EQ(IsCalendarDate(year, month, day), roundTrip)
            << year << "-" << month << "-" << day;
      }
    }
  }
}

TEST(Calendar, ConsecutiveDaysAreOneJulianDayApart) {
  // Day numbers must be continuous over month, year, reform and millennium-shift seams.
  const double jd0 = CalendarToJulianDay(-5000, 1, 1, 0, 0, 0);
  CalendarInstant previous = JulianDayToCalendar(jd0);
  for (int day = 1; day < 365250 * 12 + 100; day += 37) {
    const CalendarInstant t = JulianDayToCalendar(jd0 + day);
    EXPECT_DOUBLE_EQ(CalendarToJulianDay(t.year, t.month, t.day, 0, 0, 0), jd0 + day);
    previous = t;
  }
  EXPECT_GE(previous.year, 7000);
}

}  // namespace
}  // namespace darvelle

namespace darvelle {
namespace {

// Damaged records reach these with any int and any double: every input ends
// at once, without overflow, and a Julian Day without a date is refused
// (-inf used to make the millennium shift loop for ever).
TEST(JulianDayToCalendar, RefusesDaysWithoutADateAtOnce) {
  const double inf = std::numeric_limits<double>::infinity();
  for (const double jd : {-inf, inf, std::nan(""), 1e300, -1e300, -1.5e9, 2e9}) {
    EXPECT_THROW(JulianDayToCalendar(jd), std::domain_error) << jd;
  }
  // The extremes that are still dates convert.
  for (const double jd : {-kMaxCalendarJulianDay, kMaxCalendarJulianDay}) {
    const CalendarInstant t = JulianDayToCalendar(jd);
    EXPECT_GE(t.month, 1);
    EXPECT_LE(t.month, 12);
    EXPECT_NEAR(CalendarToJulianDay(t.year, t.month, t.day, t.hour, t.minute, t.second), jd, 1e-3);
  }
}

TEST(CalendarToJulianDay, IntegersAtTheirLimitsGiveFiniteDays) {
  constexpr int kMin = std::numeric_limits<int>::min();
  constexpr int kMax = std::numeric_limits<int>::max();
  struct Case {
    int year, month, day;
  };
  const Case cases[] = {{kMin, 1, 1},     {kMax, 1, 1},    {2000, kMax, 1}, {2000, kMin, 1},
                        {2000, 1, kMax}, {2000, 1, kMin}, {kMin, kMin, kMin}, {kMax, kMax, kMax}};
  for (const Case& c : cases) {
    EXPECT_TRUE(std::isfinite(CalendarToJulianDay(c.year, c.month, c.day, 12, 0, 0)))
        << c.year << " " << c.month << " " << c.day;
  }
  // The Julian calendar repeats every millennium: 10,000 of them back is
  // exactly 3,652,500,000 days back.
  EXPECT_EQ(CalendarToJulianDay(1000 - 10'000'000, 3, 1, 0, 0, 0),
            CalendarToJulianDay(1000, 3, 1, 0, 0, 0) - 365250.0 * 10'000.0);
}

}  // namespace
}  // namespace darvelle
