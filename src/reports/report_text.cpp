#include "reports/report_text.h"

#include <cmath>
#include <initializer_list>
#include <string>
#include <string_view>

#include "astro/calendar.h"
#include "astro/format.h"
#include "astro/instant.h"
#include "astro/numeric.h"
#include "reports/report_files.h"

namespace darvelle {
namespace {

// The two reports, built line by line: everything goes to both unless said.
class ReportText {
 public:
  ReportText(std::string& german, std::string& english) : de_(german), en_(english) {
    de_.clear();
    en_.clear();
  }
  void Both(std::string_view line) { Lines(line, line); }
  void Lines(std::string_view german, std::string_view english) {
    de_ += german;
    de_ += kLineEnd;
    en_ += english;
    en_ += kLineEnd;
  }
  // Ready-made text blocks, one per language.
  void Append(std::string_view german, std::string_view english) {
    de_ += german;
    en_ += english;
  }
  // Text without a line end, in both.
  void Raw(std::string_view text) {
    de_ += text;
    en_ += text;
  }

 private:
  std::string& de_;
  std::string& en_;
};

std::string Fmt(double value, int p) { return FormatSexagesimal(value, p); }
std::string NumFmt(double value) { return FormatDegreesMinutes(value, 1); }

// "2024- 4- 8  18:17:16.72": calendar date of the Julian Day and its hour of day.
std::string DateAndHour(double julianDay) {
  const CalendarInstant when = JulianDayToCalendar(julianDay);
  std::string text = IntegerField(when.year, 4) + "-" + IntegerField(when.month, 2) + "-" +
                     IntegerField(when.day, 2);
  text += Fmt(24.0 * PositiveMod(julianDay + 0.5, 1.0), 2);
  return text;
}

void WriteInstantLines(ReportText& report, double julianDayTT, double deltaT,
                       std::string_view germanTT, std::string_view germanUT,
                       std::string_view englishTT, std::string_view englishUT) {
  const double julianDayUT = UniversalFromTerrestrial(julianDayTT, deltaT);
  const std::string tt =
      DateAndHour(julianDayTT) + "  J.D.: " + FixedField(julianDayTT, 0, 6) + " TT";
  const std::string ut =
      DateAndHour(julianDayUT) + "  J.D.: " + FixedField(julianDayUT, 0, 6) + " UT";
  report.Lines(std::string(germanTT) + tt, std::string(englishTT) + tt);
  report.Lines(std::string(germanUT) + ut, std::string(englishUT) + ut);
  report.Both("");
}

void WriteTitle(ReportText& report) {
  const std::string germanDashes(72, '-');
  const std::string englishDashes(73, '-');
  report.Lines(germanDashes, englishDashes);
  report.Lines("            E L E M E N T E    D E R    F I N S T E R N I S",
               "            E L E M E N T S    O F    T H E    E C L I P S E");
  report.Lines(germanDashes, englishDashes);
  report.Both("");
}

void WriteEphemerisBlock(ReportText& report, const EclipseResult& c) {
  const ElementState& s = c.atGreatest;
  const double sunParallax = c.circumstances.ephemeris.SunParallax;
  const double moonParallax = c.circumstances.ephemeris.MoonParallax;
  const double sunSemidiameter = c.circumstances.ephemeris.SunSemidiameter;
  const double moonSemidiameter = c.circumstances.ephemeris.MoonSemidiameter;

  const std::string sunRA = Fmt(s.SunRA * kRadToHours, 3);
  const std::string sunRARate = Fmt(s.SunRARate * kRadToHours, 3);
  const std::string moonRA = Fmt(s.MoonRA * kRadToHours, 3);
  const std::string moonRARate = Fmt(s.MoonRARate * kRadToHours, 3);
  const std::string sunDec = Fmt(s.SunDec * kRadToDeg, 2);
  const std::string sunDecRate = Fmt(s.SunDecRate * kRadToDeg, 2);
  const std::string moonDec = Fmt(s.MoonDec * kRadToDeg, 2);
  const std::string moonDecRate = Fmt(s.MoonDecRate * kRadToDeg, 2);
  const std::string sunHP = FixedField(3600.0 * kRadToDeg * sunParallax, 13, 2);
  const std::string sunSD = Fmt(sunSemidiameter * kRadToDeg, 1);
  const std::string moonHP = Fmt(moonParallax * kRadToDeg, 2);
  const std::string moonSD = Fmt(moonSemidiameter * kRadToDeg, 1);
  const std::string blanks(27, ' ');
  const std::string degreeUnits = blanks + "\xB0  '  \"" + blanks + "\xB0  '  \"";
  const std::string hourUnits = blanks + "h  m  s" + blanks + "h  m  s";

  std::string de, en;
  auto both = [&](std::string_view g, std::string_view e) {
    de += g;
    de += kLineEnd;
    en += e;
    en += kLineEnd;
  };
  // The German block has continuation lines and no hour unit line; the
  // English one the other way round. Build each whole, then append.
  de += "Scheinbare       Sonne:" + sunRA + "  st\xFCndl. Bewegung :" + sunRARate;
  de += kLineEnd;
  de += "Rektaszen-        Mond:" + moonRA + "  st\xFCndl. Bewegung :" + moonRARate;
  de += kLineEnd;
  de += "sion";
  de += kLineEnd;
  en += hourUnits;
  en += kLineEnd;
  en += "Right Ascension of Sun :" + sunRA + "  Hourly motion    :" + sunRARate;
  en += kLineEnd;
  en += "Right Ascension of Moon:" + moonRA + "  Hourly motion    :" + moonRARate;
  en += kLineEnd;
  both(degreeUnits, degreeUnits);
  both("Scheinbare       Sonne:" + sunDec + "   st\xFCndl. Bewegung :" + sunDecRate,
       "Declination of Sun     :" + sunDec + "   Hourly motion    :" + sunDecRate);
  both("Deklination       Mond:" + moonDec + "   st\xFCndl. Bewegung :" + moonDecRate,
       "Declination of Moon    :" + moonDec + "   Hourly motion    :" + moonDecRate);
  both("", "");
  both(degreeUnits, degreeUnits);
  both("\xC4quatoriale      Sonne:" + sunHP + "  wahrer Halbmesser :" + sunSD,
       "Equat. HP of Sun       :" + sunHP + "   True semidiameter:" + sunSD);
  both("Horizontal-       Mond:" + moonHP + "  wahrer Halbmesser :" + moonSD,
       "Equat. HP of Moon      :" + moonHP + "   True semidiameter:" + moonSD);
  de += "parallaxe";
  de += kLineEnd;
  both("", "");
  report.Append(de, en);
}

void WriteElementLines(ReportText& report, const EclipseResult& c) {
  const ElementState& s = c.atGreatest;
  report.Both("tan(f1) : " + FixedField(s.TanF1, 11, 8) + "   " +
              "\xB5' : " + FixedField(s.MuRate * kRadToDeg, 11, 8) +
              " \xB0/h   DeltaT : " + FixedField(c.deltaT, 0, 2) + " s");
  report.Both("tan(f2) : " + FixedField(s.TanF2, 11, 8) + "   " +
              "d' : " + FixedField(s.DRate * kRadToDeg, 11, 8) + " \xB0/h");
  report.Both("");
  report.Both("");
}

void WriteColumnHeader(ReportText& report) {
  report.Lines("         Ephem.-        Welt-       Geogr.     Ephem.-    Geogr. ",
               "        Dynamical     Universal              Ephemeris    True");
  report.Lines("          zeit          zeit        Breite     L\xE4nge      L\xE4nge  ",
               "          time          time       Latitude  Longitude  Longitude");
  report.Both("---   -----------   -----------   ---------  ---------  ---------");
}

// Label and the TT and UT hours of day of instant t.
std::string EventTimes(EventId id, double t, const EclipseResult& c) {
  const double hourTT = PositiveMod(c.elements.epochHour + t, 24.0);
  const double hourUT = UniversalHoursFromTerrestrial(hourTT, c.deltaT);
  return std::string(kEventLabels[static_cast<std::size_t>(id)]) + Fmt(hourTT, 2) + " " +
         Fmt(hourUT, 2);
}

std::string EventAngles(double latitude, double ephemerisLongitude, double longitude) {
  return "  " + NumFmt(latitude * kRadToDeg) + " " + NumFmt(ephemerisLongitude * kRadToDeg) + " " +
         NumFmt(longitude * kRadToDeg);
}

// The line of an event as the report prints it: label, instants, place.
std::string EventLine(EventId id, const EclipseResult& c) {
  const EclipseEvent& event = c.circumstances.events[id];
  return EventTimes(id, PrintedInstant(event), c) +
         EventAngles(event.Latitude, event.EphemerisLongitude, event.Longitude);
}

// Lines of the events in `ids` that occur, then a blank line. TP1 and TP4
// have a line even when missing: instant 0 and no position, which is what
// their empty entries hold.
void WriteEventGroup(ReportText& report, const EclipseResult& c,
                     std::initializer_list<EventId> ids) {
  for (EventId id : ids) {
    const bool always = id == EventId::TP1 || id == EventId::TP4;
    if (always || c.circumstances.events[id].exists()) report.Both(EventLine(id, c));
  }
  report.Both("");
}

}  // namespace

EclipseReports MakeReports(const EclipseResult& c) {
  EclipseReports reports;
  ReportText report(reports.german, reports.english);
  const Circumstances& found = c.circumstances;
  WriteTitle(report);
  WriteInstantLines(report,
                    PrintedConjunctionJulianDay(found.julianDayConjunction, c.elements.julianDay),
                    c.deltaT,
                    "Geozentrische Konjunk-: ", "tion in Rektaszension : ",
                    "Geocentric Conjunction : ", "in Right Ascension     : ");
  WriteInstantLines(report, found.julianDayGreatest, c.deltaT,
                    "Zeitpunkt der maxima- : ", "len Finsternis        : ",
                    "Instant of greatest    : ", "Eclipse                : ");
  WriteEphemerisBlock(report, c);
  WriteElementLines(report, c);
  WriteColumnHeader(report);
  WriteEventGroup(report, c, {EventId::TP1, EventId::TP2, EventId::TP3, EventId::TP4});
  WriteEventGroup(report, c, {EventId::TPN1, EventId::TPS1, EventId::TPN2, EventId::TPS2});
  WriteEventGroup(report, c, {EventId::TU1, EventId::TU2, EventId::TU3, EventId::TU4});
  WriteEventGroup(report, c, {EventId::TUN1, EventId::TUS1, EventId::TUN2, EventId::TUS2});
  WriteEventGroup(report, c, {EventId::TC1, EventId::TC2});
  if (found.events[EventId::TG0].exists()) {
    report.Both(EventLine(EventId::TG0, c));
  } else {
    // Non-central: the TG0 line has the instants only and no line end.
    report.Raw(EventTimes(EventId::TG0, found.timeGreatest, c));
  }
  return reports;
}

}  // namespace darvelle
