// The tables of the map sheet: the block of geocentric positions on page 1
// and the pages of the general circumstances.

#include <array>
#include <string>

#include "astro/calendar.h"
#include "astro/format.h"
#include "astro/instant.h"
#include "astro/numeric.h"
#include "postscript/sheet_format.h"
#include "postscript/sheet_pages.h"
#include "reports/report_files.h"

namespace darvelle {
namespace {

// Date, time, "JD", Julian Day and scale of one greatest-eclipse or
// conjunction row.
void WriteInstantColumns(POST_lib& ps, double row, double dateJulianDay,
                         const std::string& timeText, double columnJulianDay,
                         std::string_view scale) {
  Put(ps, 10.47, row, SheetDateText(dateJulianDay), kTextRight);
  Put(ps, 13.57, row, timeText, kTextRight);
  Put(ps, 14.87, row, "JD", kTextRight);
  Put(ps, 18.87, row, FixedText(columnJulianDay, 6), kTextRight);
  Put(ps, 19.77, row, scale, kTextRight);
}

// An angle column of an event row (radians in, "12°30.0'" out); empty for a
// TP1 or TP4 row whose event does not occur, as it has no place.
std::string EventAngleColumn(const EclipseEvent& event, double radians) {
  if (!event.exists()) return {};
  return FromWindows1252(EventAngleText(radians * kRadToDeg));
}

// Conjunction rows print the clock time of the calendar conversion.
std::string ClockTimeText(double julianDay) {
  const CalendarInstant c = JulianDayToCalendar(julianDay);
  return FormatSexagesimal(c.hour + c.minute / 60.0 + c.second / 3600.0, 2);
}

void WriteRightAscensionUnits(POST_lib& ps, double row) {
  ps.PS_FontArialNarrow(11);
  const double unitRow = row - 0.15;
  Put(ps, 8.37, unitRow, "h", kTextRight);
  Put(ps, 9.32, unitRow, "m", kTextRight);
  Put(ps, 10.72, unitRow, "s", kTextRight);
  Put(ps, 16.21, unitRow, "h", kTextRight);
  Put(ps, 17.12, unitRow, "m", kTextRight);
  Put(ps, 18.57, unitRow, "s", kTextRight);
  ps.PS_FontArial(14);
}

// One row of the circumstances pages, in the order the pages print them.
struct CircumstanceRow {
  EventId id;
  std::string_view code;
  std::string_view description;  // for TC1, TC2, TG0 the text before the kind
  double groupGapAfter;          // added after the row's place, written or not
};

constexpr std::array<CircumstanceRow, 19> kCircumstanceRows = {{
    {EventId::TP1, "TP1", "", 0.0},
    {EventId::TP2, "TP2", "Complete partial eclipse begins", 0.0},
    {EventId::TP3, "TP3", "Complete partial eclipse ends", 0.0},
    {EventId::TP4, "TP4", "", 0.0},
    {EventId::TPN1, "TPN1", "First extreme point on the northern penumbral limit", 0.0},
    {EventId::TPS1, "TPS1", "First extreme point on the southern penumbral limit", 0.0},
    {EventId::TPN2, "TPN2", "Last extreme point on the northern penumbral limit", 0.0},
    {EventId::TPS2, "TPS2", "Last extreme point on the southern penumbral limit", 0.6},
    {EventId::TU1, "TU1", "Umbral eclipse begins", 0.0},
    {EventId::TU2, "TU2", "Complete umbral eclipse begins", 0.0},
    {EventId::TU3, "TU3", "Complete umbral eclipse ends", 0.0},
    {EventId::TU4, "TU4", "Umbral eclipse ends", 0.6},
    {EventId::TUN1, "TUN1", "First extreme point on the northern umbral limit", 0.0},
    {EventId::TUS1, "TUS1", "First extreme point on the southern umbral limit", 0.0},
    {EventId::TUN2, "TUN2", "Last extreme point on the northern umbral limit", 0.0},
    {EventId::TUS2, "TUS2", "Last extreme point on the southern umbral limit", 0.6},
    {EventId::TC1, "TC1", "Begin of central eclipse", 0.0},
    {EventId::TC2, "TC2", "End of central eclipse", 0.6},
    {EventId::TG0, "TG0", "Greatest eclipse", 0.0},
}};

}  // namespace

void BeginLandscapePage(POST_lib& ps, int& pageNumber) {
  ++pageNumber;
  ps.PS_WriteBytes("%%Page: " + std::to_string(pageNumber) + " " + std::to_string(pageNumber));
  ps.PS_WriteBytes("page-begin");
  ps.PS_WriteBytes("page-begin");
  ps.PS_WriteBytes("841 3 translate 90 rotate");
}

void WriteGeocentricBlock(POST_lib& ps, const SheetInput& in, double& y) {
  const EclipseResult& c = in.computation;
  const ElementState& s = in.atGreatest;
  const double jdGreatest = c.circumstances.julianDayGreatest;
  const double jdConjunction =
      PrintedConjunctionJulianDay(c.circumstances.julianDayConjunction, c.elements.julianDay);

  ps.PS_WriteBytes("0.75 SG");
  ps.PS_FillRect(1.27, 1.27 + y - 0.4, 19.73, 1.27 + y + 0.45);
  ps.PS_WriteBytes("0 SG");
  ps.PS_FontArial(16);
  Put(ps, 10.5, 1.27 + y, "Geocentric position, apparent motion and size of Sun and Moon",
      kTextCentred);
  ps.PS_FontArial(14);

  if (in.timeScale == TimeScale::kUniversal) {
    auto universal = [&](double julianDayTT) { return UniversalFromTerrestrial(julianDayTT, in.deltaT); };
    y += 1.0;
    Put(ps, 1.27, 1.27 + y, "Instant of greatest eclipse", kTextLeft);
    WriteInstantColumns(
        ps, 1.27 + y, universal(jdGreatest),
        FormatSexagesimal(PositiveMod(UniversalHoursFromTerrestrial(24.0 * jdGreatest + 12.0, in.deltaT), 24.0), 2),
        c.greatestJulianDayUT, "UT");
    y += 0.6;
    ps.PS_WriteBytes("0.5 SG");
    WriteInstantColumns(ps, 1.27 + y, jdGreatest, SheetTimeOfDayText(jdGreatest, 2),
                        c.greatestJulianDayTT, "TT");
    y += 0.8;
    ps.PS_WriteBytes("0 SG");
    Put(ps, 1.27, 1.27 + y, "Geocentric conjunction", kTextLeft);
    WriteInstantColumns(ps, 1.27 + y, universal(jdConjunction), ClockTimeText(universal(jdConjunction)),
                        universal(jdConjunction), "UT");
    y += 0.6;
    ps.PS_WriteBytes("0 SG");
    Put(ps, 1.27, 1.27 + y, "in Right Ascension", kTextLeft);
    ps.PS_WriteBytes("0.5 SG");
    WriteInstantColumns(ps, 1.27 + y, jdConjunction, ClockTimeText(jdConjunction), jdConjunction,
                        "TT");
  } else {
    y += 1.0;
    ps.PS_WriteBytes("0.5 SG");
    Put(ps, 1.27, 1.27 + y, "Instant of greatest eclipse", kTextLeft);
    WriteInstantColumns(ps, 1.27 + y, jdGreatest, SheetTimeOfDayText(jdGreatest, 2),
                        c.greatestJulianDayTT, "TT");
    y += 0.8;
    ps.PS_WriteBytes("0.5 SG");
    Put(ps, 1.27, 1.27 + y, "Geocentric conjunction", kTextLeft);
    WriteInstantColumns(ps, 1.27 + y, jdConjunction, ClockTimeText(jdConjunction), jdConjunction,
                        "TT");
    y += 0.5;
    ps.PS_WriteBytes("0.5 SG");
    Put(ps, 1.27, 1.27 + y, "in Right Ascension", kTextLeft);
  }

  ps.PS_WriteBytes("0 SG");
  const struct {
    double step;
    std::string_view label;
    double value, rate;  // hours, hours per hour
  } rightAscensions[] = {
      {0.8, "Right Ascension of Sun", s.SunRA * kRadToHours, s.SunRARate * kRadToHours},
      {0.6, "Right Ascension of Moon", s.MoonRA * kRadToHours, s.MoonRARate * kRadToHours},
  };
  for (const auto& r : rightAscensions) {
    y += r.step;
    const double row = 1.27 + y;
    Put(ps, 1.27, row, r.label, kTextLeft);
    Put(ps, 10.57, row, HoursColumnText(r.value), kTextRight);
    Put(ps, 11.77, row, "Hourly motion", kTextLeft);
    Put(ps, 18.37, row, HoursColumnText(r.rate), kTextRight);
    WriteRightAscensionUnits(ps, row);
  }

  ps.PS_WriteBytes("0 SG");
  const struct {
    double step;
    std::string_view label;
    double value, rate;  // degrees, degrees per hour
  } declinations[] = {
      {0.8, "Declination of Sun", s.SunDec * kRadToDeg, s.SunDecRate * kRadToDeg},
      {0.6, "Declination of Moon", s.MoonDec * kRadToDeg, s.MoonDecRate * kRadToDeg},
  };
  for (const auto& d : declinations) {
    y += d.step;
    const double row = 1.27 + y;
    Put(ps, 1.27, row, d.label, kTextLeft);
    Put(ps, 10.49, row, DegreesColumnText(d.value), kTextRight);
    Put(ps, 11.77, row, "Hourly motion", kTextLeft);
    Put(ps, 18.31, row, DegreesColumnText(d.rate), kTextRight);
  }

  const ReportEphemeris& r = c.circumstances.ephemeris;
  const struct {
    double step;
    std::string_view label;
    double parallax, semidiameter;  // degrees
  } sizes[] = {
      {0.8, "Equatorial horizontal parallax of Sun", r.SunParallax * kRadToDeg,
       r.SunSemidiameter * kRadToDeg},
      {0.6, "Equatorial horizontal parallax of Moon", r.MoonParallax * kRadToDeg,
       r.MoonSemidiameter * kRadToDeg},
  };
  for (const auto& z : sizes) {
    y += z.step;
    const double row = 1.27 + y;
    Put(ps, 1.27, row, z.label, kTextLeft);
    Put(ps, 13.07, row, DegreesColumnText(z.parallax), kTextRight);
    Put(ps, 13.42, row, "Semidiameter", kTextLeft);
    Put(ps, 19.77, row, DegreesColumnText(z.semidiameter), kTextRight);
  }
}

void WriteCircumstancesPage(POST_lib& ps, const SheetInput& in, TimeScale scale,
                            int& pageNumber) {
  const EclipseResult& c = in.computation;
  BeginLandscapePage(ps, pageNumber);
  double y = 0.0;

  ps.PS_WriteBytes("0.75 SG");
  ps.PS_FillRect(1.27, 1.27, 28.43, 2.17);
  // The TT page stays grey throughout.
  ps.PS_WriteBytes(scale == TimeScale::kUniversal ? "0 SG" : "0.5 SG");
  ps.PS_FontArial(18);
  Put(ps, 14.85, 1.67,
      scale == TimeScale::kUniversal ? "General circumstances of the eclipse (UT)"
                        : "General circumstances of the eclipse (TT)",
      kTextCentred);

  if (scale == TimeScale::kUniversal) {
    ps.PS_FontArial(14);
    y += 1.5;
  } else {
    ps.PS_FontArial(10);
    y += 1.2;
    Put(ps, 22.87, 1.27 + y, "Ephemeris", kTextLeft);
    ps.PS_FontArial(14);
    y += 0.5;
  }
  const double heads = 1.27 + y;
  Put(ps, 1.27, heads, "Point", kTextLeft);
  Put(ps, 3.27, heads, "Event description", kTextLeft);
  Put(ps, 16.77, heads, "Date", kTextLeft);
  Put(ps, 19.67, heads, "Time", kTextLeft);
  Put(ps, scale == TimeScale::kUniversal ? 22.57 : 22.61, heads, "Longitude", kTextLeft);
  Put(ps, 26.47, heads, "Latitude", kTextLeft);

  ps.PS_FontArial(10);
  y += scale == TimeScale::kUniversal ? 0.6 : 0.5;
  Put(ps, 23.47, 1.27 + y, "1\\)", kTextLeft);
  Put(ps, 27.27, 1.27 + y, "2\\)", kTextLeft);

  ps.PS_FontArial(14);
  y += scale == TimeScale::kUniversal ? 0.8 : 0.7;

  for (const CircumstanceRow& r : kCircumstanceRows) {
    const EclipseEvent& event = c.circumstances.events[r.id];
    const bool always = r.id == EventId::TP1 || r.id == EventId::TP4;
    if (event.exists() || always) {
      const double row = 1.27 + y;
      Put(ps, 1.27, row, r.code, kTextLeft);
      if (always) {
        Put(ps, 3.27, row, "(Partial)", kTextLeft);
        ps.PS_FontArialBold(14);
        Put(ps, 5.17, row, r.id == EventId::TP1 ? "eclipse begins" : "eclipse ends", kTextLeft);
        ps.PS_FontArial(14);
      } else if (r.id == EventId::TC1 || r.id == EventId::TC2 || r.id == EventId::TG0) {
        const std::string kind =
            event.CentralKind == CentralKind::Annular ? " (annular)" : " (total)";
        Put(ps, 3.27, row, std::string(r.description) + kind, kTextLeft);
      } else {
        Put(ps, 3.27, row, r.description, kTextLeft);
      }
      const double jd =
          RoundToTenthSecond(Instant::FromEpochHours(c.elements.julianDay, PrintedInstant(event)).JulianDay(scale, in.deltaT));
      Put(ps, 18.87, row, SheetDateText(jd), kTextRight);
      Put(ps, 21.57, row, SheetTimeOfDayText(jd, 1), kTextRight);
      Put(ps, 24.97, row,
          EventAngleColumn(event, scale == TimeScale::kUniversal ? event.Longitude : event.EphemerisLongitude),
          kTextRight);
      Put(ps, 28.47, row, EventAngleColumn(event, event.Latitude), kTextRight);
      if (r.id == EventId::TP4) {
        y += 1.2;
      } else if (r.id != EventId::TG0) {
        y += 0.6;
      }
    }
    y += r.groupGapAfter;
  }

  ps.PS_MoveTo(1.27, 18.57);
  ps.PS_LineTo(28.27, 18.57);
  ps.PS_WriteBytes("ST");
  ps.PS_FontArial(10);
  Put(ps, 1.27, 18.87, "1\\)", kTextLeft);
  ps.PS_FontArial(14);
  Put(ps, 1.72, 19.07, "Longitudes are measured positively eastwards from the Greenwich meridian",
      kTextLeft);
  ps.PS_FontArial(10);
  Put(ps, 1.27, 19.47, "2\\)", kTextLeft);
  ps.PS_FontArial(14);
  Put(ps, 1.72, 19.67, "Latitudes are measured positively in the northern hemisphere",
      kTextLeft);
  ps.PS_WriteBytes("page-end");
}

}  // namespace darvelle
