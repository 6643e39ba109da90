#include "reports/report_files.h"

#include <cstdio>
#include <system_error>

#include "astro/calendar.h"
#include "astro/earth_rotation.h"
#include "astro/format.h"
#include "astro/instant.h"
#include "catalogue/data_files.h"
#include "geometry/elements.h"

namespace darvelle {

std::string RiseSetFileName(int number) {
  return std::string(kRiseSetFileNames.at(static_cast<std::size_t>(number - 1)));
}

std::string IntegerField(long long value, int width) {
  std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
  return text;
}

double CorrectedLongitudeDeg(double ephemerisLongitude, double deltaT) {
  return ephemerisLongitude * kRadToDeg + EarthRotationDuring(deltaT) * kRadToDeg;
}

std::string EventAngleText(double degrees) {
  std::string text;
  for (char ch : FormatDegreesMinutes(degrees, 1)) {
    if (ch == ' ') continue;
    text += ch == ':' ? '\xB0' : ch;
  }
  text += '\'';
  return text;
}

std::string PointLine(const CurvePoint& p, double deltaT, bool corrected) {
  const double longitude =
      corrected ? CorrectedLongitudeDeg(p.Longitude, deltaT) : p.Longitude * kRadToDeg;
  return FixedField(longitude, 0, 5) + '\t' + FixedField(p.Latitude * kRadToDeg, 0, 5);
}

std::string PointFileText(const PointCurve& curve, double deltaT, bool corrected) {
  std::string text;
  text.reserve(static_cast<std::size_t>(curve.Count()) * 24);
  for (const CurvePoint& p : curve.Points()) {
    text += PointLine(p, deltaT, corrected);
    text += kLineEnd;
  }
  return text;
}

namespace {

// Julian Day, calendar date, decimal hour, corrected longitude, latitude, the
// three constant columns and the sexagesimal repeats: the columns
// "Eckpunkt.txt" and "CLinData.txt" share.
std::string PlaceColumns(double julianDay, double longitudeDeg, double latitudeDeg) {
  const CalendarInstant when = JulianDayToCalendar(julianDay);
  const double hour = when.hour + when.minute / 60.0 + when.second / 3600.0;
  std::string line = FixedField(julianDay, 16, 8);
  line += IntegerField(when.year, 6);
  line += IntegerField(when.month, 3);
  line += IntegerField(when.day, 3);
  line += FixedField(hour, 12, 7);
  line += FixedField(longitudeDeg, 11, 5);
  line += FixedField(latitudeDeg, 11, 5);
  line += ' ';
  line += FixedField(-0.0, 7, 3);
  line += FixedField(-179.9, 7, 1);
  line += FixedField(-0.0, 7, 3);
  line += ' ';
  line += FormatSexagesimal(hour, 3);
  line += ' ';
  line += FormatSexagesimal(longitudeDeg, 3);
  line += ' ';
  line += FormatSexagesimal(latitudeDeg, 3);
  return line;
}

}  // namespace

std::string CentralLineLine(const CentralLinePoint& p, const BesselianElements& eclipse,
                            double deltaT) {
  std::string line = PlaceColumns(eclipse.julianDay + p.Time / 24.0,
                                  CorrectedLongitudeDeg(p.Longitude, deltaT),
                                  p.Latitude * kRadToDeg);
  line += ' ';
  line += FormatDegreesMinutes(p.DurationMinutes, 1);
  line += ' ';
  line += FixedField(p.WidthKm, 6, 1);
  line += ' ';
  line += FixedField(p.SunAltitudeDeg, 4, 1);
  return line;
}

std::string CentralLineFileText(const CentralLineCurve& curve, const BesselianElements& eclipse,
                                double deltaT) {
  std::string text;
  for (const CentralLinePoint& p : curve.Points()) {
    text += CentralLineLine(p, eclipse, deltaT);
    text += kLineEnd;
  }
  return text;
}

std::string CornerPointsText(const EclipseEvents& events, const BesselianElements& eclipse,
                             double deltaT) {
  std::string text;
  for (int k = 0; k < kEventCount; ++k) {
    const EclipseEvent& event = events.entries[static_cast<std::size_t>(k)];
    if (!event.exists()) continue;
    const double julianDayUT = Instant::FromEpochHours(eclipse.julianDay, *event.Time).JulianDayUT(deltaT);
    text += PlaceColumns(julianDayUT, event.Longitude * kRadToDeg, event.Latitude * kRadToDeg);
    char name[16];
    std::snprintf(name, sizeof name, " (P%02d)", k + 1);
    text += name;
    text += kLineEnd;
  }
  return text;
}

}  // namespace darvelle
