#pragma once
// Civil time at a place for an instant of UT, for reading eclipse times.
//
// The rule: the place's IANA time zone (through Qt's QTimeZone and the
// system's tz database) is used from 1900 through 2099. Before 1900 most of
// the world kept local mean time, and the tz database's transitions are not a
// record of it; after 2099 any zone rule is a guess. Outside those years, and
// for a place without a zone, the time is local mean time: UT plus the
// longitude / 15 degrees per hour.

#include <string>

namespace darvelle::places {

struct LocalTime {
  std::string Text;          // "YYYY-MM-DDThh:mm:ss.s" (program calendar)
  std::string Offset;        // "+hh:mm" for a zone, empty for local mean time
  std::string Abbreviation;  // "CDT", ...; "LMT" for local mean time
  bool MeanTime = false;
};

inline constexpr int kFirstZoneYear = 1900;
inline constexpr int kLastZoneYear = 2099;

// zone: IANA name or empty; longitudeDeg east positive.
LocalTime LocalTimeAt(double julianDayUt, const std::string& zone, double longitudeDeg);

// True when the zone is known to the system's tz database.
bool IsKnownTimeZone(const std::string& zone);

}  // namespace darvelle::places
