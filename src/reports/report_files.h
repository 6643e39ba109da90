#pragma once
// The text files of one eclipse computation: their line layouts (their names
// are in io/output_file_names.h; they are written through io/atomic_file.h). All files are single-byte Windows-1252 text with CR LF line ends.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "astro/format.h"
#include "catalogue/besselian_elements.h"
#include "geometry/curves.h"
#include "geometry/events.h"
#include "io/output_file_names.h"

namespace darvelle {

// "Testfile.001" .. "Testfile.006" for 1 .. 6 (kRiseSetFileNames).
std::string RiseSetFileName(int number);

inline constexpr std::string_view kLineEnd = "\r\n";

// Integers right-aligned in `width` characters with blanks (real numbers:
// FixedField of astro/format.h).
std::string IntegerField(long long value, int width);

// Ephemeris longitude (radians) plus the Earth's rotation during DeltaT, in
// degrees; not reduced.
double CorrectedLongitudeDeg(double ephemerisLongitude, double deltaT);

// An event's instant as the files and the sheet print it: hours from T0, 0
// for an event that does not occur (TP1 and TP4 have their rows even then).
inline double PrintedInstant(const EclipseEvent& event) { return event.Time.value_or(0.0); }

// The conjunction's Julian Day (TT) as the report and the sheet print it:
// where none lies within 2 hours of T0 they print T0 + 100 hours.
inline double PrintedConjunctionJulianDay(const std::optional<double>& julianDay,
                                          double julianDayT0) {
  return julianDay.value_or(julianDayT0 + 100.0 / 24.0);
}

// Event angle text: FormatDegreesMinutes(deg, 1) without blanks, ':' -> degree
// sign (0xB0), "'" appended: 12.5 gives "12\xB030.0'".
std::string EventAngleText(double degrees);

// One line of a point file (no line end): longitude 0:5, TAB, latitude 0:5.
// `corrected` adds the DeltaT rotation to the longitude.
std::string PointLine(const CurvePoint& p, double deltaT, bool corrected);
// Whole contents of a point file.
std::string PointFileText(const PointCurve& curve, double deltaT, bool corrected);

// One line of "CLinData.txt" (no line end).
std::string CentralLineLine(const CentralLinePoint& p, const BesselianElements& eclipse,
                            double deltaT);
std::string CentralLineFileText(const CentralLineCurve& curve, const BesselianElements& eclipse,
                                double deltaT);

// Contents of "Eckpunkt.txt": one line per table entry that has a point.
std::string CornerPointsText(const EclipseEvents& events, const BesselianElements& eclipse,
                             double deltaT);

}  // namespace darvelle
