#include "geometry/headline_numbers.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "astro/constants.h"
#include "astro/instant.h"
#include "geometry/elements.h"
#include "geometry/limit_curves.h"
#include "geometry/local_circumstances.h"
#include "geometry/path_width.h"

namespace darvelle {
namespace {

struct AxisPlace {
  GeographicPosition where;
  PlanePoint plane;
};

// Where the axis meets the Earth at the instant s is evaluated at.
std::optional<AxisPlace> AxisPlaceAt(const ElementState& s, double deltaT) {
  const double xi = s.X, eta1 = s.Y / s.Rho1;
  const double r2 = xi * xi + eta1 * eta1;
  if (!(r2 <= 1.0)) return std::nullopt;
  const PlanePoint p{xi, eta1, std::sqrt(1.0 - r2)};
  return AxisPlace{GeographicFromPlane(s, p, deltaT), p};
}

Observer ObserverAt(const GeographicPosition& g) {
  return Observer{g.Latitude * kRadToDeg, g.Longitude * kRadToDeg, 0.0};
}

// The place of greatest eclipse: where the axis meets the Earth, else the
// point of the Earth's limb nearest the axis (a hair inside it, so that the
// place has the Sun on its horizon rather than just below it).
Observer PlaceOfGreatestEclipse(const ElementState& s, const EclipseEvents& events, double deltaT) {
  const EclipseEvent& greatest = events[EventId::TG0];
  if (greatest.exists()) {
    return Observer{greatest.Latitude * kRadToDeg, greatest.Longitude * kRadToDeg, 0.0};
  }
  const double y1 = s.Y / s.Rho1;
  const double r = std::max(std::hypot(s.X, y1), 1e-12);
  constexpr double kInside = 0.99999;
  const PlanePoint limb{kInside * s.X / r, kInside * y1 / r,
                        std::sqrt(1.0 - kInside * kInside)};
  return ObserverAt(GeographicFromPlane(s, limb, deltaT));
}

// The duration as a function to maximise: nothing counts as less than any
// duration, so the search walks away from the ends where the axis leaves.
double DurationOrLeast(const BesselianElements& eclipse, double deltaT, double t) {
  return CentralDurationAt(eclipse, deltaT, t).value_or(-std::numeric_limits<double>::infinity());
}

// The instant of the longest duration between tc1 and tc2. The duration
// along the line has one broad maximum, but near the limb it may rise again
// towards an end (annular paths at a low Sun), so a coarse scan picks the
// bracket before the golden-section search closes it.
double InstantOfLongest(const BesselianElements& eclipse, double deltaT, double tc1, double tc2) {
  constexpr int kScan = 64;
  const auto at = [&](int i) { return tc1 + (tc2 - tc1) * i / kScan; };
  int best = 0;
  double bestValue = -std::numeric_limits<double>::infinity();
  for (int i = 0; i <= kScan; ++i) {
    const double v = DurationOrLeast(eclipse, deltaT, at(i));
    if (v > bestValue) bestValue = v, best = i;
  }
  double a = at(std::max(best - 1, 0)), b = at(std::min(best + 1, kScan));
  // A millisecond of time moves the axis a metre or two: far below what the
  // duration's flat maximum lets anyone tell apart.
  constexpr double kSpanHours = 1e-3 / 3600.0;
  const double g = (std::sqrt(5.0) - 1.0) / 2.0;
  double c = b - g * (b - a), d = a + g * (b - a);
  double fc = DurationOrLeast(eclipse, deltaT, c), fd = DurationOrLeast(eclipse, deltaT, d);
  while (b - a > kSpanHours) {
    if (fc >= fd) {
      b = d, d = c, fd = fc;
      c = b - g * (b - a);
      fc = DurationOrLeast(eclipse, deltaT, c);
    } else {
      a = c, c = d, fc = fd;
      d = a + g * (b - a);
      fd = DurationOrLeast(eclipse, deltaT, d);
    }
  }
  const double mid = 0.5 * (a + b);
  return DurationOrLeast(eclipse, deltaT, mid) >= bestValue ? mid : at(best);
}

// The path's width at the axis point of instant t: between the limits where
// both cross the section there, else the classical formula.
std::optional<double> WidthAt(const BesselianElements& eclipse, const Circumstances& c, double t) {
  ElementState s;
  EvaluateAllAt(eclipse, t, s);
  const std::optional<AxisPlace> axis = AxisPlaceAt(s, 0.0);
  if (!axis) return std::nullopt;
  const CurvePoint point{axis->where.EphemerisLongitude, axis->where.Latitude};
  if (const auto fromLimits = PathWidthFromLimits(eclipse, c.events, t, point)) return fromLimits;
  const PlanePoint& p = axis->plane;
  const double zeta = std::max(0.0, s.Rho2 * (p.Zeta1 * s.CosD1MinusD2 - p.Eta1 * s.SinD1MinusD2));
  const double width = CentralLineValuesAt(s, zeta, point).WidthKm;
  return width > 0.0 ? std::optional<double>(width) : std::nullopt;
}

}  // namespace

std::optional<double> CentralDurationAt(const BesselianElements& eclipse, double deltaT, double t) {
  ElementState s;
  EvaluateAllAt(eclipse, t, s);
  const std::optional<AxisPlace> axis = AxisPlaceAt(s, deltaT);
  if (!axis) return std::nullopt;
  return ComputeLocalCircumstances(eclipse, deltaT, ObserverAt(axis->where)).DurationS;
}

HeadlineNumbers ComputeHeadlineNumbers(const BesselianElements& eclipse, double deltaT,
                                       const Circumstances& circumstances) {
  HeadlineNumbers h;
  const EclipseEvents& events = circumstances.events;
  ElementState s;
  EvaluateAllAt(eclipse, circumstances.timeGreatest, s);
  h.gamma = std::copysign(std::hypot(s.X, s.Y), s.Y);
  // Where the Moon covers the whole Sun or lies wholly within it, the
  // canons give the ratio of the diameters; the covered part of the
  // diameter only for a partial eclipse.
  const LocalCircumstances atGreatest =
      ComputeLocalCircumstances(eclipse, deltaT, PlaceOfGreatestEclipse(s, events, deltaT));
  h.magnitude = atGreatest.DurationS ? atGreatest.MoonSunRatio : atGreatest.Magnitude;
  if (!events[EventId::TC1].exists() || !events[EventId::TC2].exists()) return h;
  h.widthKm = WidthAt(eclipse, circumstances, circumstances.timeGreatest);

  const double t = InstantOfLongest(eclipse, deltaT, *events.Time(EventId::TC1),
                                    *events.Time(EventId::TC2));
  EvaluateAllAt(eclipse, t, s);
  const std::optional<AxisPlace> axis = AxisPlaceAt(s, deltaT);
  if (!axis) return h;
  const LocalCircumstances local = ComputeLocalCircumstances(eclipse, deltaT, ObserverAt(axis->where));
  if (!local.DurationS) return h;
  GreatestDuration g;
  g.Time = t;
  g.JulianDayUt = Instant::FromEpochHours(eclipse.julianDay, t).JulianDayUT(deltaT);
  g.LatitudeDeg = axis->where.Latitude * kRadToDeg;
  g.LongitudeDeg = axis->where.Longitude * kRadToDeg;
  g.DurationS = *local.DurationS;
  g.WidthKm = WidthAt(eclipse, circumstances, t);
  g.SunAltitudeDeg = local.Maximum ? local.Maximum->SunAltitudeDeg : 0.0;
  h.greatestDuration = g;
  return h;
}

}  // namespace darvelle
