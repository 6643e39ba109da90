#pragma once
// Apparent geocentric places of the Sun and the Moon from the Swiss Ephemeris
// files (the JPL DE431 ephemeris, compressed). The library keeps its state per
// thread, so every worker thread owns one SwissEphemeris.

#include <string>

namespace darvelle::catalogue_gen {

// Apparent geocentric equatorial place of date.
struct ApparentPlace {
  double rightAscensionDeg = 0.0;
  double declinationDeg = 0.0;
  double distanceAu = 0.0;
};

// Apparent geocentric ecliptic place of date (for finding conjunctions).
struct EclipticPlace {
  double longitudeDeg = 0.0;
  double latitudeDeg = 0.0;
};

enum class Body { kSun, kMoon };

class SwissEphemeris {
 public:
  // ephemerisFolder: folder of the se1 files. Throws std::runtime_error when
  // the files for the catalogue's dates are missing (checked by a probe).
  explicit SwissEphemeris(const std::string& ephemerisFolder);
  ~SwissEphemeris();
  SwissEphemeris(const SwissEphemeris&) = delete;
  SwissEphemeris& operator=(const SwissEphemeris&) = delete;

  // jdTT: Julian Day in Terrestrial Time. Throws std::runtime_error when the
  // library cannot compute from the files (it would otherwise fall back to an
  // analytical theory silently).
  ApparentPlace Equatorial(Body body, double jdTT) const;
  EclipticPlace Ecliptic(Body body, double jdTT) const;
  // Apparent Greenwich sidereal time in degrees for jd read as a UT instant.
  double ApparentSiderealTimeDeg(double jd) const;

  const std::string& Folder() const { return folder_; }

 private:
  std::string folder_;
};

// The library's version string, for the provenance summary.
std::string SwissEphemerisVersion();

}  // namespace darvelle::catalogue_gen
