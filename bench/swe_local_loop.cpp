// The yardstick for "darvelle-cli visible": every solar eclipse visible from
// one place in a span of years, found by the Swiss Ephemeris' own search
// (swe_sol_eclipse_when_loc, one call per eclipse) at Darvelle's DeltaT.
// Timed as a whole process beside darvelle-cli; it is a measuring tool, not
// part of the program, and the only program here that links the library.
//
//   swe_local_loop LAT LON HEIGHT FROM_YEAR TO_YEAR
//
// prints one line per eclipse: UT Julian Day of the (visible) maximum, the
// library's flags and its magnitude, then the count.

#include <swephexp.h>

#include <cstdio>
#include <cstdlib>

#include "astro/calendar.h"
#include "astro/delta_t.h"

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: swe_local_loop LAT LON HEIGHT FROM_YEAR TO_YEAR\n");
    return 2;
  }
  double geopos[3] = {std::atof(argv[2]), std::atof(argv[1]), std::atof(argv[3])};
  const int fromYear = std::atoi(argv[4]);
  const int toYear = std::atoi(argv[5]);
  swe_set_ephe_path(const_cast<char*>(DARVELLE_SWE_EPHE_DIR));
  double jd = darvelle::CalendarToJulianDay(fromYear, 1, 1, 0, 0, 0);
  const double end = darvelle::CalendarToJulianDay(toYear + 1, 1, 1, 0, 0, 0);
  int count = 0;
  // Each call returns an eclipse after jd and jd moves past it, so the loop
  // ends; the cap (two visible eclipses a year at most) guards a library error.
  const int cap = 2 * (toYear - fromYear + 1) + 10;
  for (int call = 0; call < cap; ++call) {
    const darvelle::CalendarInstant date = darvelle::JulianDayToCalendar(jd);
    swe_set_delta_t_userdef(darvelle::ComputeDeltaT(date.year, date.month) / 86400.0);
    double tret[10] = {}, attr[20] = {};
    char serr[256] = {};
    const int flags = swe_sol_eclipse_when_loc(jd, SEFLG_SWIEPH, geopos, tret, attr, 0, serr);
    if (flags < 0) {
      std::fprintf(stderr, "swe_local_loop: %s\n", serr);
      return 1;
    }
    if (tret[0] >= end) break;
    std::printf("%.6f %d %.4f\n", tret[0], flags, attr[0]);
    ++count;
    jd = tret[0] + 1.0;
  }
  std::printf("count %d\n", count);
  swe_close();
  return 0;
}
