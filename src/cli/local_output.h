#pragma once
// Texts of the local-circumstances commands: the JSON object of one eclipse
// at one place, the CSV row of the scan, and the tables for people in
// German, English and French.

#include <optional>
#include <string>

#include "catalogue/besselian_elements.h"
#include "geometry/delta_t_range.h"
#include "geometry/local_circumstances.h"
#include "catalogue/language.h"

namespace darvelle::cli {

// One eclipse at one place, with everything its texts need.
struct LocalReport {
  int Index = 0;
  BesselianElements Elements;  // as CurrentElements gives them (julianDay at epochHour TT)
  double DeltaT = 0.0;   // seconds
  Observer Place;
  std::optional<std::string> PlaceLabel;  // "Name, Admin, CC"
  std::optional<std::string> TimeZone;    // IANA name
  LocalCircumstances Local;
  // Where DeltaT is uncertain (before 1600, after 2100): the central phase
  // at the place over DeltaT +- 2 sigma.
  std::optional<DeltaTRange> BandRange;
  std::optional<CentralOverDeltaT> Band;
};

std::string LocalJson(const LocalReport& report);

// kind: what the place sees with the Sun up (a total eclipse after sunset is
// partial); magnitude: the greatest, geometric, whether the Sun is up or
// not; magnitude_seen: the greatest with the Sun up, which --min-magnitude
// filters on.
inline constexpr const char* kVisibleCsvHeader =
    "index,date,kind,visibility,max_ut,max_local,magnitude,obscuration,duration_s,sun_alt,"
    "magnitude_seen";
std::string VisibleCsvRow(const LocalReport& report);

// language: kGerman, kEnglish or kFrench.
std::string LocalTable(const LocalReport& report, Language language);
std::string VisibleTableHeader(Language language);
std::string VisibleTableRow(const LocalReport& report, Language language);

}  // namespace darvelle::cli
