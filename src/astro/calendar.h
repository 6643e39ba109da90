#pragma once
// Civil calendar dates <-> Julian Day, over the catalogue's span (-4999 .. 7000).
// Astronomical year numbering; dates up to 1582 October 10 are Julian, later
// ones Gregorian. Very early dates are moved forward by whole Julian millennia
// (365,250 days) so the classical truncating formulas stay valid.

namespace darvelle {

struct CalendarInstant {
  int year = 0;
  int month = 0;
  int day = 0;
  double hour = 0.0;    // whole hours 0 .. 23
  double minute = 0.0;  // whole minutes 0 .. 59
  double second = 0.0;  // seconds with milliseconds
};

// Julian Day (days, noon-based) of a civil instant. Hours, minutes and seconds
// may be any real values; callers pass fractional hours as seconds.
double CalendarToJulianDay(int year, int month, int day, double hour, double minute,
                           double second);

// Whether year-month-day names a day of this calendar: the Julian calendar's
// leap years up to 1582 October 4, the Gregorian ones from October 15, and
// none of the ten days between (CalendarToJulianDay would quietly move them).
bool IsCalendarDate(int year, int month, int day);

// Julian Days beyond this (about 2.7 million years either side of its zero)
// are no instant of an eclipse; they would not fit the year's int.
inline constexpr double kMaxCalendarJulianDay = 1e9;

// Civil date and time of day, rounded to the nearest millisecond. An instant
// rounding to 24:00:00.000 reads 00:00:00 of the same date (no carry).
// Throws std::domain_error for a Julian Day that is not a number or lies
// beyond +-kMaxCalendarJulianDay: such a day only comes from damaged
// elements, and no date is better than a made-up one.
CalendarInstant JulianDayToCalendar(double jd);

}  // namespace darvelle
