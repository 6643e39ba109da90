#pragma once
// Records built from the polynomials of the published canon sample
// (tests/data/canon_sample_elements.tsv), with the canon's own
// figures at greatest eclipse to compare against. The ephemeris polynomials
// are filled with constant, plausible distances only.

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "astro/calendar.h"
#include "catalogue/eclipse_record.h"

namespace darvelle::testing {

struct CanonEclipse {
  std::string date;        // "2024 Apr 08"
  std::string typeCode;    // "T", "Am", "T-", ...
  EclipseRecord record{};  // JulianDay set for the epoch hour
  double deltaT = 0;       // the canon's DeltaT, seconds
  double greatestHourTT = 0;
  double latitudeDeg = 0;  // geographic, north positive
  double longitudeDeg = 0; // east positive, with the canon's DeltaT
  double widthKm = 0;
  double durationSeconds = 0;
  bool central() const {
    return (typeCode[0] == 'T' || typeCode[0] == 'A' || typeCode[0] == 'H') &&
           typeCode.find_first_of("+-") == std::string::npos;
  }
};

inline int CanonTypeToCode(const std::string& type) {
  const bool nonCentral = type.find_first_of("+-") != std::string::npos;
  switch (type[0]) {
    case 'P': return kPartial;
    case 'T': return nonCentral ? kNonCentralTotal : kTotal;
    case 'A': return nonCentral ? kNonCentralAnnular : kAnnular;
    case 'H': return kHybrid;
    default: return 0;
  }
}

inline int MonthNumber(const std::string& name) {
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int i = 0; i < 12; ++i) {
    if (name == kMonths[i]) return i + 1;
  }
  return 0;
}

// "3.6° S" -> -3.6; "1.2° W" -> -1.2 (UTF-8 degree sign in the file).
inline double SignedAngle(const std::string& text) {
  const double value = std::strtod(text.c_str(), nullptr);
  const char hemisphere = text.empty() ? 'N' : text.back();
  return (hemisphere == 'S' || hemisphere == 'W') ? -value : value;
}

inline double HmsToHours(const std::string& text) {
  int h = 0, m = 0, s = 0;
  std::sscanf(text.c_str(), "%d:%d:%d", &h, &m, &s);
  return h + m / 60.0 + s / 3600.0;
}

inline double DurationSeconds(const std::string& text) {
  int m = 0, s = 0;
  std::sscanf(text.c_str(), "%dm%ds", &m, &s);
  return m * 60.0 + s;
}

inline std::vector<CanonEclipse> LoadCanonSample(const std::string& path) {
  std::vector<CanonEclipse> out;
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::stringstream fields(line);
    std::string field;
    while (std::getline(fields, field, '\t')) f.push_back(field);
    if (f.size() < 42) continue;
    CanonEclipse e;
    e.typeCode = f[6];
    e.deltaT = std::atof(f[8].c_str());
    e.date = f[10];
    e.greatestHourTT = HmsToHours(f[1]);
    double t0 = std::atof(f[9].c_str());
    // An epoch of 0.000 next to a greatest eclipse late in the day means 24 h.
    if (e.greatestHourTT - t0 > 12.0) t0 += 24.0;
    EclipseRecord& r = e.record;
    std::memset(&r, 0, sizeof r);
    std::stringstream date(e.date);
    std::string monthName;
    date >> r.Year >> monthName >> r.Day;
    r.Month = MonthNumber(monthName);
    r.EpochHour = static_cast<int>(std::lround(t0));
    r.EclipseType = CanonTypeToCode(e.typeCode);
    r.Gamma = std::atof(f[3].c_str());
    r.SarosNumber = std::atoi(f[7].c_str());
    r.JulianDay = CalendarToJulianDay(r.Year, r.Month, r.Day, r.EpochHour, 0, 0);
    Polynomial* polys[6] = {&r.XPoly, &r.YPoly, &r.DPoly, &r.L1Poly, &r.L2Poly, &r.MuPoly};
    for (int k = 0; k < 4; ++k) {
      for (int q = 0; q < 6; ++q) polys[q]->c[k] = std::atof(f[11 + 6 * k + q].c_str());
    }
    r.TanF1Poly.c[0] = std::atof(f[35].c_str());
    r.TanF2Poly.c[0] = std::atof(f[36].c_str());
    r.SunDistancePoly.c[0] = 1.0;
    r.MoonDistancePoly.c[0] = 0.0025;
    e.latitudeDeg = SignedAngle(f[37]);
    e.longitudeDeg = SignedAngle(f[38]);
    e.widthKm = std::atof(f[40].c_str());
    e.durationSeconds = DurationSeconds(f[41]);
    out.push_back(e);
  }
  return out;
}

inline std::string CanonSamplePath() {
  return std::string(DARVELLE_REFERENCE_DIR) + "/canon_sample_elements.tsv";
}

}  // namespace darvelle::testing
