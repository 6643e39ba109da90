#include "astro/calendar.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <stdexcept>

namespace darvelle {
namespace {

constexpr int kJulianMillenniumDays = 365250;
// 365.25*Year + 30*Month + Day above this means 1582 October 11 or later.
constexpr long double kGregorianThreshold = 578135.5L;
constexpr long double kMonthDays = 30.60001L;

}  // namespace

double CalendarToJulianDay(int year, int month, int day, double hour, double minute,
                           double second) {
  // 64-bit arithmetic throughout: a damaged record's year, month or day at
  // the limits of int then gives a finite, meaningless day instead of
  // overflowing; within the catalogue the values are those of int.
  std::int64_t y = year;
  std::int64_t m = month;
  // Every year below 333 ends up in 333 .. 1332, in as many whole Julian
  // millennia as that takes (computed, not looped: a year of -2^31 would
  // otherwise take two million rounds).
  const std::int64_t shifts = y < 333 ? (333 - y + 999) / 1000 : 0;
  y += 1000 * shifts;
  if (m < 3) {
    y -= 1;
    m += 12;
  }
  std::int64_t b = 0;
  if (365.25L * y + 30.0L * m + day > kGregorianThreshold) {
    const std::int64_t a = y / 100;
    b = 2 - a + a / 4;
  }
  const auto yearDays = static_cast<std::int64_t>(365.25L * (y + 4716));
  const auto monthDays = static_cast<std::int64_t>(kMonthDays * (m + 1));
  double jd = static_cast<double>(
      static_cast<long double>(yearDays + monthDays + day + b) - 1524.5L);
  jd = static_cast<double>(static_cast<long double>(jd) -
                           static_cast<long double>(kJulianMillenniumDays) * shifts);
  long double sum = jd;
  sum += static_cast<long double>(hour) / 24.0L;
  sum += static_cast<long double>(minute) / 1440.0L;
  sum += static_cast<long double>(second) / 86400.0L;
  return static_cast<double>(sum);
}

bool IsCalendarDate(int year, int month, int day) {
  if (month < 1 || month > 12 || day < 1) return false;
  if (year == 1582 && month == 10 && day > 4 && day < 15) return false;
  // 1582 is no leap year in either calendar, so the reform's year needs no
  // rule of its own here.
  const bool gregorian = year > 1582;
  const bool leap = year % 4 == 0 && (!gregorian || year % 100 != 0 || year % 400 == 0);
  static constexpr int kMonthLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return day <= kMonthLength[month - 1] + (month == 2 && leap ? 1 : 0);
}

CalendarInstant JulianDayToCalendar(double jd) {
  if (!(std::fabs(jd) <= kMaxCalendarJulianDay)) {
    char text[80];
    std::snprintf(text, sizeof text, "Julian Day %g has no calendar date (beyond +-%g days)", jd,
                  kMaxCalendarJulianDay);
    throw std::domain_error(text);
  }
  // Early dates move forward by whole Julian millennia until they reach
  // 1800000. With |jd| <= kMaxCalendarJulianDay that takes at most 2744
  // rounds; the cap states it, so no value can make the loop spin.
  constexpr int kMaxShifts = static_cast<int>(kMaxCalendarJulianDay / 365250.0) + 6;
  int shifts = 0;
  while (jd < 1800000.0 && shifts < kMaxShifts) {
    jd += 365250.0;
    ++shifts;
  }
  const auto z = static_cast<std::int64_t>(jd + 0.5);
  std::int64_t a = z;
  if (z >= 2299161) {
    const auto alpha = static_cast<std::int64_t>((z - 1867216.25) / 36524.25);
    a = z + 1 + alpha - alpha / 4;
  }
  const std::int64_t b = a + 1524;
  const auto c = static_cast<std::int64_t>((b - 122.1) / 365.25);
  const auto d = static_cast<std::int64_t>(365.25 * c);
  const auto e = static_cast<std::int64_t>((b - d) / 30.60001);

  CalendarInstant out;
  out.day = static_cast<int>(b - d - static_cast<std::int64_t>(30.60001 * e));
  out.month = static_cast<int>(e - 1);
  if (e > 13) out.month -= 12;
  out.year = static_cast<int>(c - 4715);
  if (out.month > 2) out.year -= 1;
  out.year -= 1000 * shifts;

  double f = (jd - static_cast<double>(static_cast<std::int64_t>(jd))) + 0.5;
  if (f == 1.0) f = 0.0;
  auto ms = static_cast<std::int64_t>(f * 86400000.0 + 0.5);
  auto hour = ms / 3600000;
  ms -= hour * 3600000;
  const auto minute = ms / 60000;
  ms -= minute * 60000;
  if (hour > 23) hour -= 24;
  out.hour = static_cast<double>(hour);
  out.minute = static_cast<double>(minute);
  out.second = static_cast<double>(ms) / 1000.0;
  return out;
}

}  // namespace darvelle
