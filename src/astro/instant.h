#pragma once
// Instants of an eclipse. The elements and every event are reckoned in hours
// of Terrestrial Time from the elements' epoch; people read Universal Time,
// which runs DeltaT seconds behind. The conversion between the two is
// written here once: every report, map, sheet, GIS file and local time uses it.

#include "astro/constants.h"

namespace darvelle {

// Which clock a time is shown in.
enum class TimeScale { kTerrestrial, kUniversal };

// The Julian Day in UT of a Julian Day in TT, DeltaT = TT - UT in seconds.
constexpr double UniversalFromTerrestrial(double julianDayTT, double deltaTSeconds) {
  return julianDayTT - deltaTSeconds / kSecondsPerDay;
}
// The Julian Day in TT of a Julian Day in UT.
constexpr double TerrestrialFromUniversal(double julianDayUT, double deltaTSeconds) {
  return julianDayUT + deltaTSeconds / kSecondsPerDay;
}

// The same conversion for times of day or after an epoch, in hours and in
// seconds, as the report's and the sheet's tables reckon them.
constexpr double UniversalHoursFromTerrestrial(double hoursTT, double deltaTSeconds) {
  return hoursTT - deltaTSeconds / kSecondsPerHour;
}
constexpr double UniversalSecondsFromTerrestrial(double secondsTT, double deltaTSeconds) {
  return secondsTT - deltaTSeconds;
}

// One instant: a Julian Day in TT, read in either scale.
class Instant {
 public:
  // `hoursTT` hours after the epoch whose Julian Day (TT) is `epochJulianDayTT`.
  static constexpr Instant FromEpochHours(double epochJulianDayTT, double hoursTT) {
    return Instant(epochJulianDayTT + hoursTT / 24.0);
  }
  static constexpr Instant FromJulianDayTT(double julianDayTT) { return Instant(julianDayTT); }
  static constexpr Instant FromJulianDayUT(double julianDayUT, double deltaTSeconds) {
    return Instant(TerrestrialFromUniversal(julianDayUT, deltaTSeconds));
  }

  constexpr double JulianDayTT() const { return julianDayTT_; }
  constexpr double JulianDayUT(double deltaTSeconds) const {
    return UniversalFromTerrestrial(julianDayTT_, deltaTSeconds);
  }
  // The Julian Day on the chosen clock.
  constexpr double JulianDay(TimeScale scale, double deltaTSeconds) const {
    return scale == TimeScale::kUniversal ? JulianDayUT(deltaTSeconds) : julianDayTT_;
  }
  // Hours after the epoch (TT), as the elements count time.
  constexpr double HoursAfter(double epochJulianDayTT) const {
    return (julianDayTT_ - epochJulianDayTT) * 24.0;
  }

 private:
  explicit constexpr Instant(double julianDayTT) : julianDayTT_(julianDayTT) {}
  double julianDayTT_;
};

}  // namespace darvelle
