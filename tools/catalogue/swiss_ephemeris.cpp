#include "swiss_ephemeris.h"

#include <stdexcept>
#include <vector>

#include <swephexp.h>

namespace darvelle::catalogue_gen {
namespace {

int BodyNumber(Body body) { return body == Body::kSun ? SE_SUN : SE_MOON; }
const char* BodyName(Body body) { return body == Body::kSun ? "Sun" : "Moon"; }

void Compute(Body body, double jdTT, int flags, double out[6], const std::string& folder) {
  char error[AS_MAXCH] = {0};
  const int used = swe_calc(jdTT, BodyNumber(body), flags, out, error);
  // A result without SEFLG_SWIEPH came from the built-in analytical theory:
  // the ephemeris files did not cover the date, and the catalogue must not mix
  // ephemerides silently.
  if (used < 0 || (used & SEFLG_SWIEPH) == 0) {
    throw std::runtime_error(std::string("Swiss Ephemeris cannot compute the ") + BodyName(body) +
                             " at JD " + std::to_string(jdTT) + " from the files in \"" + folder +
                             "\": " + (error[0] ? error : "files missing for this date"));
  }
}

}  // namespace

SwissEphemeris::SwissEphemeris(const std::string& ephemerisFolder) : folder_(ephemerisFolder) {
  std::vector<char> path(folder_.begin(), folder_.end());
  path.push_back('\0');
  swe_set_ephe_path(path.data());
}

SwissEphemeris::~SwissEphemeris() { swe_close(); }

ApparentPlace SwissEphemeris::Equatorial(Body body, double jdTT) const {
  double xx[6];
  Compute(body, jdTT, SEFLG_SWIEPH | SEFLG_EQUATORIAL, xx, folder_);
  return {xx[0], xx[1], xx[2]};
}

EclipticPlace SwissEphemeris::Ecliptic(Body body, double jdTT) const {
  double xx[6];
  Compute(body, jdTT, SEFLG_SWIEPH, xx, folder_);
  return {xx[0], xx[1]};
}

double SwissEphemeris::ApparentSiderealTimeDeg(double jd) const { return swe_sidtime(jd) * 15.0; }

std::string SwissEphemerisVersion() {
  char version[AS_MAXCH] = {0};
  swe_version(version);
  return version;
}

}  // namespace darvelle::catalogue_gen
