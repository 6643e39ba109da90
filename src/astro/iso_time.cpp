#include "astro/iso_time.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "astro/calendar.h"

namespace darvelle {

std::string IsoYear(int year) {
  char text[16];
  if (year < 0) {
    std::snprintf(text, sizeof text, "-%04d", -year);
  } else if (year > 9999) {
    std::snprintf(text, sizeof text, "+%d", year);
  } else {
    std::snprintf(text, sizeof text, "%04d", year);
  }
  return text;
}

std::string IsoDate(int year, int month, int day) {
  char text[16];
  std::snprintf(text, sizeof text, "-%02d-%02d", month, day);
  return IsoYear(year) + text;
}

namespace {

// The instant's civil date and time of day in whole units of 1/perSecond s,
// rounded within its day and carried into the next one.
std::string DateAndTicks(double julianDay, long long perSecond, long long& ticks) {
  const long long perDay = 86400 * perSecond;
  // The civil day starts at JD .5; round within it, then carry a whole day.
  double dayStart = std::floor(julianDay - 0.5) + 0.5;
  ticks = std::llround((julianDay - dayStart) * static_cast<double>(perDay));
  if (ticks >= perDay) {
    dayStart += 1.0;
    ticks -= perDay;
  }
  const CalendarInstant date = JulianDayToCalendar(dayStart + 0.5);  // noon of that day
  return IsoDate(date.year, date.month, date.day);
}

}  // namespace

std::string IsoDateTime(double julianDay) {
  long long tenths = 0;
  const std::string date = DateAndTicks(julianDay, 10, tenths);
  char text[32];
  std::snprintf(text, sizeof text, "T%02lld:%02lld:%02lld.%lld", tenths / 36000,
                tenths / 600 % 60, tenths / 10 % 60, tenths % 10);
  return date + text;
}

std::string IsoInstantUt(double julianDay) {
  long long ms = 0;
  const std::string date = DateAndTicks(julianDay, 1000, ms);
  char text[32];
  std::snprintf(text, sizeof text, "T%02lld:%02lld:%02lld.%03lldZ", ms / 3600000,
                ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
  return date + text;
}

}  // namespace darvelle
