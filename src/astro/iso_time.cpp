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

std::string IsoDateTime(double julianDay) {
  constexpr long long kTenthsPerDay = 864000;
  // The civil day starts at JD .5; round within it, then carry a whole day.
  double dayStart = std::floor(julianDay - 0.5) + 0.5;
  long long tenths = std::llround((julianDay - dayStart) * kTenthsPerDay);
  if (tenths >= kTenthsPerDay) {
    dayStart += 1.0;
    tenths -= kTenthsPerDay;
  }
  const CalendarInstant date = JulianDayToCalendar(dayStart + 0.5);  // noon of that day
  const long long hours = tenths / 36000;
  const long long minutes = tenths / 600 % 60;
  const long long seconds = tenths / 10 % 60;
  char text[32];
  std::snprintf(text, sizeof text, "T%02lld:%02lld:%02lld.%lld", hours, minutes, seconds,
                tenths % 10);
  return IsoDate(date.year, date.month, date.day) + text;
}

}  // namespace darvelle
