#pragma once
// The Swiss Ephemeris' local circumstances of a solar eclipse at one place,
// for the reference tests (which alone link the library). It searches the
// topocentric Sun and Moon numerically: nothing of our geometry is used.

#include <swephexp.h>

namespace darvelle::testing {

// The library's answer for one place: the next eclipse it finds visible there
// from jdUtStart, with its attributes at our maximum.
struct SweLocal {
  int flags = 0;
  double tret[10] = {};  // UT: maximum, C1, C2, C3, C4, sunrise, sunset
  double attr[20] = {};  // at its maximum: magnitude, ratio, obscuration, ...
  double how[20] = {};   // at our maximum: azimuth (from south) [4], true altitude [5]
};

// deltaT in seconds: the library uses ours. ourMaxUt 0 leaves `how` empty.
inline SweLocal AskSwissEphemeris(double latDeg, double lonDeg, double heightM, double jdUtStart,
                                  double deltaT, double ourMaxUt) {
  SweLocal r;
  swe_set_delta_t_userdef(deltaT / 86400.0);
  double geopos[3] = {lonDeg, latDeg, heightM};
  char serr[256] = {};
  r.flags = swe_sol_eclipse_when_loc(jdUtStart, SEFLG_SWIEPH, geopos, r.tret, r.attr, 0, serr);
  if (ourMaxUt != 0.0) swe_sol_eclipse_how(ourMaxUt, SEFLG_SWIEPH, geopos, r.how, serr);
  return r;
}

}  // namespace darvelle::testing
