#include "geometry/circumstances.h"

#include <cmath>
#include <string>
#include <string_view>
#include <tuple>

#include "astro/calendar.h"
#include "astro/format.h"
#include "astro/numeric.h"
#include "geometry/limit_curves.h"
#include "geometry/report_files.h"

namespace darvelle {
namespace {

// Search limits: 1/12 hour steps until the penumbra is clear of the Earth's
// centre by one Earth radius. Real eclipses need a few hours; 2400 steps (200
// hours) only matter for a corrupt record, which then keeps the last instant.
constexpr double kSearchLimitStep = 0.08333333333333333;
constexpr int kMaxSearchLimitSteps = 2400;
// Limit on the limb: the walk reaches the limb or leaves the Earth within a
// day (1440 steps of a minute) and the step then shrinks by 3 per crossing
// (about 20 crossings down to 1e-10 h); 100000 evaluations is far beyond that.
constexpr int kMaxLimbSearchSteps = 100000;
constexpr double kLimbStep = 1.0 / 60.0;

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
  const double julianDayUT = julianDayTT - deltaT / 86400.0;
  const std::string tt = DateAndHour(julianDayTT) + "  J.D.: " + FixedField(julianDayTT, 0, 6) + " TT";
  const std::string ut = DateAndHour(julianDayUT) + "  J.D.: " + FixedField(julianDayUT, 0, 6) + " UT";
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

void WriteEphemerisBlock(ReportText& report, EclipseComputation& c) {
  ElementState& s = c.state;
  EvaluateEphemeris(c.elements, c.timeGreatest, s);
  EvaluateEphemerisRates(c.elements, c.timeGreatest, s);
  const double sunParallax = std::asin(kEarthRadiusAu / s.SunDistance);
  const double moonParallax = std::asin(kEarthRadiusAu / s.MoonDistance);
  const double sunSemidiameter = std::asin(0.2665638888888889 * kDegToRad) / s.SunDistance;
  const double moonSemidiameter = kPenumbraLunarRadius * std::asin(moonParallax);
  c.reportEphemeris = {sunParallax, moonParallax, sunSemidiameter, moonSemidiameter};

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

void WriteElementLines(ReportText& report, const EclipseComputation& c) {
  const ElementState& s = c.state;
  report.Both("tan(f1) : " + FixedField(s.TanF1, 11, 8) + "   " + "\xB5' : " +
              FixedField(s.MuRate * kRadToDeg, 11, 8) + " \xB0/h   DeltaT : " +
              FixedField(c.deltaT, 0, 2) + " s");
  report.Both("tan(f2) : " + FixedField(s.TanF2, 11, 8) + "   " + "d' : " +
              FixedField(s.DRate * kRadToDeg, 11, 8) + " \xB0/h");
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
std::string EventTimes(EventId id, double t, const EclipseComputation& c) {
  const double hourTT = PositiveMod(c.elements.epochHour + t, 24.0);
  const double hourUT = hourTT - c.deltaT / 3600.0;
  return std::string(kEventLabels[static_cast<std::size_t>(id)]) + Fmt(hourTT, 2) + " " +
         Fmt(hourUT, 2);
}

std::string EventAngles(double latitude, double ephemerisLongitude, double longitude) {
  return "  " + NumFmt(latitude * kRadToDeg) + " " + NumFmt(ephemerisLongitude * kRadToDeg) +
         " " + NumFmt(longitude * kRadToDeg);
}

// Stores an event found at `time` whose limb point is `point` (the element
// state must still be that of the instant) and prints its report line.
void RecordEvent(EclipseComputation& c, ReportText& report, EventId id, double time,
                 const PlanePoint& point) {
  const GeographicPosition pos = GeographicFromPlane(c.state, point, c.deltaT);
  EclipseEvent& event = c.events[id];
  event.Time = time;
  event.EphemerisLongitude = pos.EphemerisLongitude;
  event.Longitude = pos.Longitude;
  event.Latitude = pos.Latitude;
  event.EphemerisLongitudeText = EventAngleText(pos.EphemerisLongitude * kRadToDeg);
  event.LongitudeText = EventAngleText(pos.Longitude * kRadToDeg);
  event.LatitudeText = EventAngleText(pos.Latitude * kRadToDeg);
  report.Both(EventTimes(id, time, c) + EventAngles(pos.Latitude, pos.EphemerisLongitude,
                                                    pos.Longitude));
}

// Prints the line of an event that was found; `always` prints a missing one
// too (TP1, TP4), with its instant 0 and no position.
void ReportEvent(EclipseComputation& c, ReportText& report, EventId id,
                 const ContactResult& found, bool always = false) {
  if (found.Found()) {
    RecordEvent(c, report, id, found.Time, found.Point);
  } else if (always) {
    report.Both(EventTimes(id, 0.0, c) + EventAngles(0.0, 0.0, 0.0));
  }
}

// 1 (annular) or 2 (total) from the umbral radius where the axis meets the
// Earth, with the elements evaluated at the event.
// The kind of the central eclipse at an event on the shadow axis, by the same
// test as every point of the central line, so that the TC1/TC2/TG0 markers
// and table rows agree with the line's colour there. (Scaling eta by 1/rho1
// instead of rho1 would leave the limb points of TC1/TC2 some 0.1*|y| above
// the Earth and flip the kind of hybrids near their ends.)
int CentralKindHere(EclipseComputation& c) {
  c.zetaAtEvent = CentralZetaAt(c.state);
  return CentralKindAt(c.state);
}

void FindConjunction(EclipseComputation& c) {
  double difference[5];
  for (int i = 0; i < 5; ++i) {
    EvaluateEphemeris(c.elements, i - 2.0, c.state);
    difference[i] = c.state.SunRA - c.state.MoonRA;
  }
  if (difference[0] < -kPi) {
    for (double& d : difference) d += kTwoPi;
  }
  // A zero at either end counts as a sign change: the conjunction is there.
  if (SignOf(difference[0]) != SignOf(difference[4])) {
    c.timeConjunction = InterpolateZero5(difference[0], difference[1], difference[2],
                                         difference[3], difference[4]);
  } else {
    c.timeConjunction = 100.0;
  }
  c.julianDayConjunction = c.elements.julianDay + c.timeConjunction / 24.0;
}

void FindSearchLimits(EclipseComputation& c) {
  auto clearOfEarth = [&](double t) {
    EvaluateElements(c.elements, t, c.state);
    return std::sqrt(c.state.X * c.state.X + c.state.Y * c.state.Y) - c.state.L1 > 1.0;
  };
  double t = c.timeGreatest;
  for (int step = 0; step < kMaxSearchLimitSteps && !clearOfEarth(t); ++step) {
    t -= kSearchLimitStep;
  }
  c.timeBefore = t;
  t = c.timeGreatest;
  for (int step = 0; step < kMaxSearchLimitSteps && !clearOfEarth(t); ++step) {
    t += kSearchLimitStep;
  }
  c.timeAfter = t;
}

}  // namespace

ContactResult FindLimitOnLimb(const BesselianElements& eclipse, ElementState& s, double start,
                              double step, LimbBranch branch) {
  const bool umbra = branch == LimbBranch::UmbraNorth || branch == LimbBranch::UmbraSouth;
  const bool firstRoot = branch == LimbBranch::PenumbraNorth || branch == LimbBranch::UmbraNorth;
  const double cosSign =
      (branch == LimbBranch::PenumbraNorth || branch == LimbBranch::UmbraSouth) ? -1.0 : 1.0;
  double t = start;
  double previous = 1.0;
  ContactResult result;
  for (int evaluation = 0; evaluation < kMaxLimbSearchSteps; ++evaluation) {
    EvaluateAllAt(eclipse, t, s);
    const double a = umbra ? s.A2 : s.A1;
    const double b = umbra ? s.B2 : s.B1;
    const double cc = umbra ? s.C2 : s.C1;
    const double radius = umbra ? s.L2 : s.L1;
    const LimitAngles q = SolveLimitAngle(a, cc, -b);
    // No real limit angle: the limit does not exist at this instant, so it
    // cannot reach the limb along this walk.
    if (!q.Valid) return result;
    const double tanQ = std::tan(firstRoot ? q.Q1 : q.Q2);
    const double cosQ = cosSign * std::fabs(1.0 / std::sqrt(tanQ * tanQ + 1.0));
    const double sinQ = tanQ * cosQ;
    const double xi = s.X - radius * sinQ;
    const double eta1 = (s.Y - radius * cosQ) / s.Rho1;
    const double v = xi * xi + eta1 * eta1 - 1.0;
    if (!std::isfinite(v)) return result;
    if (SignOf(v) != SignOf(previous)) step = step / -3.0;
    previous = v;
    t += step;
    if (v > 50.0) return result;
    if (std::fabs(step) < 1e-10) {
      result.Time = t;
      result.Point = PlanePoint{xi, eta1, 0.0};
      return result;
    }
  }
  return result;
}

void ComputeGeneralCircumstances(EclipseComputation& c) {
  c.events.Clear();
  c.circumstancesComplete = false;
  c.zetaAtEvent = 0.0;
  ReportText report(c.reportGerman, c.reportEnglish);
  const BesselianElements& e = c.elements;
  ElementState& s = c.state;

  WriteTitle(report);
  FindConjunction(c);
  WriteInstantLines(report, c.julianDayConjunction, c.deltaT, "Geozentrische Konjunk-: ",
                    "tion in Rektaszension : ", "Geocentric Conjunction : ",
                    "in Right Ascension     : ");

  c.timeGreatest = FindGreatestEclipse(e, 3.0, -3.0, s);
  c.julianDayGreatest = e.julianDay + c.timeGreatest / 24.0;
  WriteInstantLines(report, c.julianDayGreatest, c.deltaT, "Zeitpunkt der maxima- : ",
                    "len Finsternis        : ", "Instant of greatest    : ",
                    "Eclipse                : ");
  WriteEphemerisBlock(report, c);
  if (c.processPendingMessages) c.processPendingMessages();

  FindSearchLimits(c);
  EvaluateAllAt(e, c.timeGreatest, s);
  WriteElementLines(report, c);
  WriteColumnHeader(report);

  const double tg = c.timeGreatest;
  // Penumbral contacts.
  const ContactResult tp1 = FindContact(e, kPenumbraOuter, c.timeBefore, tg, s);
  ReportEvent(c, report, EventId::TP1, tp1, true);
  ReportEvent(c, report, EventId::TP2, FindContact(e, kPenumbraInner, c.timeBefore, tg, s));
  ReportEvent(c, report, EventId::TP3, FindContact(e, kPenumbraInner, tg, c.timeAfter, s));
  const ContactResult tp4 = FindContact(e, kPenumbraOuter, tg, c.timeAfter, s);
  ReportEvent(c, report, EventId::TP4, tp4, true);
  report.Both("");
  const double t1 = c.events.Time(EventId::TP1);
  const double t4 = c.events.Time(EventId::TP4);

  // Penumbral limits on the limb.
  ReportEvent(c, report, EventId::TPN1,
              FindLimitOnLimb(e, s, t1, kLimbStep, LimbBranch::PenumbraNorth));
  ReportEvent(c, report, EventId::TPS1,
              FindLimitOnLimb(e, s, t1, kLimbStep, LimbBranch::PenumbraSouth));
  ReportEvent(c, report, EventId::TPN2,
              FindLimitOnLimb(e, s, t4, -kLimbStep, LimbBranch::PenumbraNorth));
  ReportEvent(c, report, EventId::TPS2,
              FindLimitOnLimb(e, s, t4, -kLimbStep, LimbBranch::PenumbraSouth));
  report.Both("");

  // Umbral contacts.
  ReportEvent(c, report, EventId::TU1, FindContact(e, kUmbraKind2, t1, tg, s));
  ReportEvent(c, report, EventId::TU2, FindContact(e, kUmbraKind3, t1, tg, s));
  ReportEvent(c, report, EventId::TU3, FindContact(e, kUmbraKind3, tg, t4, s));
  ReportEvent(c, report, EventId::TU4, FindContact(e, kUmbraKind2, tg, t4, s));
  report.Both("");

  // Umbral limits on the limb.
  ReportEvent(c, report, EventId::TUN1,
              FindLimitOnLimb(e, s, t1, kLimbStep, LimbBranch::UmbraNorth));
  ReportEvent(c, report, EventId::TUS1,
              FindLimitOnLimb(e, s, t1, kLimbStep, LimbBranch::UmbraSouth));
  ReportEvent(c, report, EventId::TUN2,
              FindLimitOnLimb(e, s, t4, -kLimbStep, LimbBranch::UmbraNorth));
  ReportEvent(c, report, EventId::TUS2,
              FindLimitOnLimb(e, s, t4, -kLimbStep, LimbBranch::UmbraSouth));
  report.Both("");

  // Ends of the central line.
  for (const auto& [id, from, to] : {std::tuple{EventId::TC1, c.timeBefore, tg},
                                     std::tuple{EventId::TC2, tg, c.timeAfter}}) {
    const ContactResult end = FindContact(e, kAxisOnLimb, from, to, s);
    if (!end.Found()) continue;
    ReportEvent(c, report, id, end);
    c.events[id].CentralKind = CentralKindHere(c);
  }
  report.Both("");

  // Greatest eclipse on the Earth, when the axis meets it.
  EvaluateAllAt(e, tg, s);
  const PlanePoint axis{s.X, s.Y / s.Rho1, 0.0};
  const double zeta1Squared = 1.0 - axis.Xi * axis.Xi - axis.Eta1 * axis.Eta1;
  if (zeta1Squared >= 0.0) {
    RecordEvent(c, report, EventId::TG0, tg,
                PlanePoint{axis.Xi, axis.Eta1, std::sqrt(zeta1Squared)});
    c.events[EventId::TG0].CentralKind = CentralKindHere(c);
  } else {
    // Non-central: the TG0 line has the instant only and the report ends
    // without a line end; the table has no TG0 point.
    c.events[EventId::TG0] = EclipseEvent{};
    report.Raw(EventTimes(EventId::TG0, tg, c));
  }
  c.circumstancesComplete = true;
}

}  // namespace darvelle
