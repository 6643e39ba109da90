#include "geometry/circumstances.h"

#include <cmath>
#include <tuple>

#include "astro/numeric.h"
#include "geometry/limit_curves.h"

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

// What the event searches share: the elements, DeltaT, the element state they
// evaluate into, and the circumstances found so far.
struct EventSearch {
  const BesselianElements& e;
  double deltaT;
  ElementState& s;
  Circumstances& found;
};

// Stores an event found at `time` whose limb point is `point`; the element
// state must still be that the search left for the instant.
void RecordEvent(EventSearch& search, EventId id, double time, const PlanePoint& point) {
  const GeographicPosition pos = GeographicFromPlane(search.s, point, search.deltaT);
  EclipseEvent& event = search.found.events[id];
  event.Time = time;
  event.EphemerisLongitude = pos.EphemerisLongitude;
  event.Longitude = pos.Longitude;
  event.Latitude = pos.Latitude;
}

void RecordIfFound(EventSearch& search, EventId id, const std::optional<ContactResult>& contact) {
  if (contact) RecordEvent(search, id, contact->Time, contact->Point);
}

// First or last contact as the start of the later searches. Without it (a
// record whose penumbra is not found touching the Earth) they start at T0,
// as they always have.
double SearchStart(const Circumstances& c, EventId contact) {
  return c.events.Time(contact).value_or(0.0);
}

void FindConjunction(const BesselianElements& e, ElementState& s, Circumstances& c) {
  double difference[5];
  for (int i = 0; i < 5; ++i) {
    EvaluateEphemeris(e, i - 2.0, s);
    difference[i] = s.SunRA - s.MoonRA;
  }
  if (difference[0] < -kPi) {
    for (double& d : difference) d += kTwoPi;
  }
  // A zero at either end counts as a sign change: the conjunction is there.
  if (SignOf(difference[0]) != SignOf(difference[4])) {
    const double t = InterpolateZero5(difference[0], difference[1], difference[2],
                                      difference[3], difference[4]);
    c.timeConjunction = t;
    c.julianDayConjunction = e.julianDay + t / 24.0;
  }
}

void FindSearchLimits(const BesselianElements& e, ElementState& s, Circumstances& c) {
  auto clearOfEarth = [&](double t) {
    EvaluateElements(e, t, s);
    return std::sqrt(s.X * s.X + s.Y * s.Y) - s.L1 > 1.0;
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

void FindPenumbralContacts(EventSearch& search) {
  const BesselianElements& e = search.e;
  const Circumstances& c = search.found;
  const double tg = c.timeGreatest;
  using enum ContactKind;
  RecordIfFound(search, EventId::TP1, FindContact(e, PenumbraOuter, c.timeBefore, tg, search.s));
  RecordIfFound(search, EventId::TP2, FindContact(e, PenumbraInner, c.timeBefore, tg, search.s));
  RecordIfFound(search, EventId::TP3, FindContact(e, PenumbraInner, tg, c.timeAfter, search.s));
  RecordIfFound(search, EventId::TP4, FindContact(e, PenumbraOuter, tg, c.timeAfter, search.s));
}

// The four limits of the penumbra or the umbra on the limb: walking forward
// from first contact, backward from last contact.
void FindLimitsOnLimb(EventSearch& search, bool umbra) {
  const double t1 = SearchStart(search.found, EventId::TP1);
  const double t4 = SearchStart(search.found, EventId::TP4);
  const auto north = umbra ? LimbBranch::UmbraNorth : LimbBranch::PenumbraNorth;
  const auto south = umbra ? LimbBranch::UmbraSouth : LimbBranch::PenumbraSouth;
  const std::tuple<EventId, double, double, LimbBranch> walks[] = {
      {umbra ? EventId::TUN1 : EventId::TPN1, t1, kLimbStep, north},
      {umbra ? EventId::TUS1 : EventId::TPS1, t1, kLimbStep, south},
      {umbra ? EventId::TUN2 : EventId::TPN2, t4, -kLimbStep, north},
      {umbra ? EventId::TUS2 : EventId::TPS2, t4, -kLimbStep, south}};
  for (const auto& [id, start, step, branch] : walks) {
    RecordIfFound(search, id, FindLimitOnLimb(search.e, search.s, start, step, branch));
  }
}

void FindUmbralContacts(EventSearch& search) {
  const BesselianElements& e = search.e;
  const double t1 = SearchStart(search.found, EventId::TP1);
  const double t4 = SearchStart(search.found, EventId::TP4);
  const double tg = search.found.timeGreatest;
  using enum ContactKind;
  RecordIfFound(search, EventId::TU1, FindContact(e, UmbraOuter, t1, tg, search.s));
  RecordIfFound(search, EventId::TU2, FindContact(e, UmbraInner, t1, tg, search.s));
  RecordIfFound(search, EventId::TU3, FindContact(e, UmbraInner, tg, t4, search.s));
  RecordIfFound(search, EventId::TU4, FindContact(e, UmbraOuter, tg, t4, search.s));
}

// The kind of the central eclipse at an event on the shadow axis is found by
// the same test as every point of the central line, so that the TC1/TC2/TG0
// markers and table rows agree with the line's colour there. (Scaling eta by
// 1/rho1 instead of rho1 would leave the limb points of TC1/TC2 some 0.1*|y|
// above the Earth and flip the kind of hybrids near their ends.)
void FindEndsOfCentralLine(EventSearch& search) {
  const Circumstances& c = search.found;
  const double tg = c.timeGreatest;
  for (const auto& [id, from, to] :
       {std::tuple{EventId::TC1, c.timeBefore, tg}, std::tuple{EventId::TC2, tg, c.timeAfter}}) {
    const std::optional<ContactResult> end =
        FindContact(search.e, ContactKind::AxisOnLimb, from, to, search.s);
    if (!end) continue;
    RecordEvent(search, id, end->Time, end->Point);
    search.found.events[id].CentralKind = CentralKindAt(search.s);
  }
}

// Greatest eclipse on the Earth, when the axis meets it.
void FindGreatestOnEarth(EventSearch& search) {
  const double tg = search.found.timeGreatest;
  ElementState& s = search.s;
  EvaluateAllAt(search.e, tg, s);
  const PlanePoint axis{s.X, s.Y / s.Rho1, 0.0};
  const double zeta1Squared = 1.0 - axis.Xi * axis.Xi - axis.Eta1 * axis.Eta1;
  if (zeta1Squared < 0.0) return;
  RecordEvent(search, EventId::TG0, tg, PlanePoint{axis.Xi, axis.Eta1, std::sqrt(zeta1Squared)});
  search.found.events[EventId::TG0].CentralKind = CentralKindAt(s);
}

}  // namespace

std::optional<ContactResult> FindLimitOnLimb(const BesselianElements& eclipse, ElementState& s,
                                             double start, double step, LimbBranch branch) {
  const bool umbra = branch == LimbBranch::UmbraNorth || branch == LimbBranch::UmbraSouth;
  const bool firstRoot = branch == LimbBranch::PenumbraNorth || branch == LimbBranch::UmbraNorth;
  const double cosSign =
      (branch == LimbBranch::PenumbraNorth || branch == LimbBranch::UmbraSouth) ? -1.0 : 1.0;
  double t = start;
  double previous = 1.0;
  for (int evaluation = 0; evaluation < kMaxLimbSearchSteps; ++evaluation) {
    EvaluateAllAt(eclipse, t, s);
    const double a = umbra ? s.A2 : s.A1;
    const double b = umbra ? s.B2 : s.B1;
    const double cc = umbra ? s.C2 : s.C1;
    const double radius = umbra ? s.L2 : s.L1;
    const LimitAngles q = SolveLimitAngle(a, cc, -b);
    // No real limit angle: the limit does not exist at this instant, so it
    // cannot reach the limb along this walk.
    if (!q.Valid) return std::nullopt;
    const double tanQ = std::tan(firstRoot ? q.Q1 : q.Q2);
    const double cosQ = cosSign * std::fabs(1.0 / std::sqrt(tanQ * tanQ + 1.0));
    const double sinQ = tanQ * cosQ;
    const double xi = s.X - radius * sinQ;
    const double eta1 = (s.Y - radius * cosQ) / s.Rho1;
    const double v = xi * xi + eta1 * eta1 - 1.0;
    if (!std::isfinite(v)) return std::nullopt;
    if (SignOf(v) != SignOf(previous)) step = step / -3.0;
    previous = v;
    t += step;
    if (v > 50.0) return std::nullopt;
    if (std::fabs(step) < 1e-10) return ContactResult{t, PlanePoint{xi, eta1, 0.0}};
  }
  return std::nullopt;
}

ReportEphemeris ReportEphemerisAt(const ElementState& s) {
  const double moonParallax = std::asin(kEarthRadiusAu / s.MoonDistance);
  return {std::asin(kEarthRadiusAu / s.SunDistance), moonParallax,
          std::asin(0.2665638888888889 * kDegToRad) / s.SunDistance,
          kPenumbraLunarRadius * std::asin(moonParallax)};
}

Circumstances FindCircumstances(const BesselianElements& e, double deltaT,
                                EclipseScratch& scratch) {
  ElementState& s = scratch.state;
  Circumstances c;
  FindConjunction(e, s, c);
  c.timeGreatest = FindGreatestEclipse(e, 3.0, -3.0, s);
  c.julianDayGreatest = e.julianDay + c.timeGreatest / 24.0;
  EvaluateEphemeris(e, c.timeGreatest, s);
  c.ephemeris = ReportEphemerisAt(s);
  FindSearchLimits(e, s, c);

  EventSearch search{e, deltaT, s, c};
  FindPenumbralContacts(search);
  FindLimitsOnLimb(search, false);
  FindUmbralContacts(search);
  FindLimitsOnLimb(search, true);
  FindEndsOfCentralLine(search);
  FindGreatestOnEarth(search);
  c.complete = true;
  return c;
}

}  // namespace darvelle
