#include "geometry/horizon_curves.h"

#include <cmath>
#include <optional>
#include <span>

#include "astro/numeric.h"
#include "geometry/chain_order.h"
#include "geometry/limit_curves.h"

namespace darvelle {

namespace {

// The Earth's outline radius in direction N (from the y axis towards x) is
// found by a fixed-point iteration that settles in two or three rounds; ten
// rounds are plenty and the point of the last round is used either way.
constexpr int kOutlineRounds = 10;
constexpr double kOutlineTolerance = 1e-8;
// Sub-intervals of the horizon curves between their events.
constexpr int kMaxHorizonIntervals = 300;
constexpr int kSunriseSunsetIntervals = 250;

// Limb point (xi, eta1) = (sin p, cos p) as a curve point, or nothing when it
// is off the unit sphere.
std::optional<CurvePoint> LimbPoint(const ElementState& s, double p) {
  const std::optional<HourAngleLatitude> g =
      PlaneToGeographic(s, PlanePoint{std::sin(p), std::cos(p), 0.0});
  if (!g) return std::nullopt;
  const CurveGeographic geo = CurvePointFromPlane(s, *g);
  // Elements that are not numbers (a damaged record) give no point.
  if (!std::isfinite(geo.Longitude) || !std::isfinite(geo.Latitude)) return std::nullopt;
  return CurvePoint{geo.Longitude, geo.Latitude};
}

// Event position as an end point of a horizon curve. A missing event has no
// position: it contributes no point, rather than a false one at (0, 0).
void AppendEvent(const EclipseEvents& events, EventId id, std::vector<CurvePoint>& buffer) {
  if (!events[id].exists()) return;
  buffer.push_back(CurvePoint{events[id].EphemerisLongitude, events[id].Latitude});
}

// An end of the span a horizon curve is traced over; an end event that does
// not occur (a damaged record) stands at T0, as it always has.
double SpanEnd(const EclipseEvents& events, EventId id) { return events.Time(id).value_or(0.0); }

void AppendIfFound(const std::optional<CurvePoint>& p, std::vector<CurvePoint>& buffer) {
  if (p) buffer.push_back(*p);
}

void CopyToCurve(const std::vector<CurvePoint>& buffer, PointCurve& curve) {
  // At most 2 * 249 + 2 points against a capacity of 8000.
  for (const CurvePoint& p : buffer) {
    if (!curve.Append(p)) break;
  }
  curve.SetReady(true);
}

// Where the shadow's circle of the given radius (fundamental-plane units)
// crosses the Earth's outline on limb branch +1 or -1, with the elements and
// Earth-shape terms already evaluated at the instant; m and theta are the
// axis distance and direction there. Nothing where the circle misses the
// outline or the crossing is off the sphere.
std::optional<CurvePoint> OutlineCrossing(const ElementState& s, double radius, double m,
                                          double theta, int branch) {
  double rho = 1.0;
  double p = 0.0;
  for (int round = 0; round < kOutlineRounds; ++round) {
    const double previous = rho;
    // Cosine, at the Earth's centre, of the angle between the axis direction
    // and the point where the shadow's circle crosses the outline of radius rho.
    const double g = 1.0 - (radius - m + rho) * (radius + m - rho) / (2.0 * m * rho);
    // |G| >= 1 (or undefined, with the axis through the centre): no crossing.
    if (!(std::fabs(g) < 1.0)) return std::nullopt;
    const double n = theta + branch * std::acos(g);
    const double sinN = std::sin(n);
    p = std::atan2(s.Rho1 * sinN, std::cos(n));
    // Along the y axis (sin N = 0) the outline's radius is rho1 itself.
    rho = sinN != 0.0 ? std::sin(p) / sinN : s.Rho1;
    if (std::fabs(rho - previous) < kOutlineTolerance) break;
  }
  return LimbPoint(s, p);
}

// One rise/set curve being built: its limb branch (+1 or -1) and whether it
// still takes points.
struct RiseSetBranch {
  int branch;
  PointCurve* curve;
  bool open = true;
};

// Rise/set curves over the same instants: the branches share each evaluation
// of the elements.
void ComputeRiseSetBranches(const CurveTracer& c, double tFrom, double tTo,
                            std::span<RiseSetBranch> branches) {
  for (RiseSetBranch& b : branches) b.curve->Clear();
  ElementState& s = c.scratch.state;
  bool anyOpen = true;
  for (int i = 0; i <= kRiseSetIntervals && anyOpen; ++i) {
    // The crossing needs the values and the Earth-shape terms only.
    EvaluateElements(c.elements, EasedInstant(tFrom, tTo, i, kRiseSetIntervals), s);
    ComputeEarthShapeTerms(s);
    const double m = std::sqrt(s.X * s.X + s.Y * s.Y);
    const double theta = std::atan2(s.X, s.Y);
    anyOpen = false;
    for (RiseSetBranch& b : branches) {
      if (!b.open) continue;
      if (const std::optional<CurvePoint> point = OutlineCrossing(s, s.L1, m, theta, b.branch)) {
        b.open = b.curve->Append(*point);  // 301 points against a capacity of 1000
      }
      anyOpen = anyOpen || b.open;
    }
  }
  for (RiseSetBranch& b : branches) b.curve->SetReady(true);
}

}  // namespace

void ComputeRiseSetCurve(const CurveTracer& c, double tFrom, double tTo, int branch, int number) {
  RiseSetBranch one[1] = {{branch, &c.curves.RiseSet(number)}};
  ComputeRiseSetBranches(c, tFrom, tTo, one);
}

void ComputeRiseSetCurves(const CurveTracer& c) {
  for (int number = 1; number <= 6; ++number) c.curves.RiseSet(number).Clear();
  const EclipseEvents& e = c.events;
  auto pair = [&](EventId from, EventId to, int plusNumber, int minusNumber) {
    RiseSetBranch both[2] = {{+1, &c.curves.RiseSet(plusNumber)},
                             {-1, &c.curves.RiseSet(minusNumber)}};
    ComputeRiseSetBranches(c, SpanEnd(e, from), SpanEnd(e, to), both);
  };
  if (e[EventId::TP2].exists()) {
    pair(EventId::TP1, EventId::TP2, 3, 4);
    pair(EventId::TP3, EventId::TP4, 5, 6);
  } else {
    pair(EventId::TP1, EventId::TP4, 1, 2);
  }
}

std::vector<CurvePoint> UmbraOutlineOnLimb(const BesselianElements& eclipse, double tFrom,
                                           double tTo, int branch) {
  std::vector<CurvePoint> points;
  points.reserve(kRiseSetIntervals + 1);
  ElementState s;
  for (int i = 0; i <= kRiseSetIntervals; ++i) {
    EvaluateElements(eclipse, EasedInstant(tFrom, tTo, i, kRiseSetIntervals), s);
    ComputeEarthShapeTerms(s);
    const double m = std::sqrt(s.X * s.X + s.Y * s.Y);
    const double theta = std::atan2(s.X, s.Y);
    // On the limb (zeta = 0) the umbra's radius is |l2| itself: l2 is
    // negative where the umbra is total.
    if (const std::optional<CurvePoint> point =
            OutlineCrossing(s, std::fabs(s.L2), m, theta, branch)) {
      points.push_back(*point);
    }
  }
  return points;
}

namespace {

// MaxEclipseAtHorizon on elements already evaluated at the instant, with the
// penumbral limit angles solved there: both branches share one evaluation.
std::optional<CurvePoint> MaxEclipseOnLimb(const ElementState& s, const LimitAngles& angles,
                                           int branch) {
  if (!angles.Valid) return std::nullopt;
  const double q = branch == 1 ? angles.Q1 : angles.Q2;
  const double g = s.X * std::cos(q) - s.Y * std::sin(q);
  if (!(std::fabs(g) < 1.0)) return std::nullopt;
  // Direction, from the Earth's centre, of the limb point on the line through
  // the axis in direction Q; then the same direction on the flattened outline.
  const double r = q + std::asin(g);
  const double p = std::atan2(s.Rho1 * std::sin(r), std::cos(r));
  const double dx = s.X - std::sin(p);
  const double dy = s.Y - s.Rho1 * std::cos(p);
  if (!(dx * dx + dy * dy <= s.L1 * s.L1)) return std::nullopt;
  const std::optional<HourAngleLatitude> hl =
      PlaneToGeographic(s, PlanePoint{std::sin(p), std::cos(p), 0.0});
  if (!hl) return std::nullopt;
  CurvePoint point;
  point.Latitude =
      std::atan2(std::sin(hl->ReducedLatitude) / kEarthAxisRatio, std::cos(hl->ReducedLatitude));
  double longitude = PositiveMod(hl->H - s.Mu, kTwoPi);
  if (longitude > kPi) longitude -= kTwoPi;
  point.Longitude = longitude;
  if (!std::isfinite(point.Longitude) || !std::isfinite(point.Latitude)) return std::nullopt;
  return point;
}

LimitAngles PenumbralLimitAngles(const ElementState& s) {
  return SolveLimitAngle(s.A1, s.C1, -s.B1);  // A1 - B1 cos Q + C1 sin Q = 0
}

}  // namespace

std::optional<CurvePoint> MaxEclipseAtHorizon(const BesselianElements& eclipse, int branch,
                                              double t, ElementState& s) {
  EvaluateAllAt(eclipse, t, s);
  return MaxEclipseOnLimb(s, PenumbralLimitAngles(s), branch);
}

void ComputeHorizonCurves(const CurveTracer& c) {
  CurveSet& curves = c.curves;
  curves.maxHorizonSouth.Clear();
  curves.maxHorizonNorth.Clear();
  curves.maxSunrise.Clear();
  curves.maxSunset.Clear();
  const EclipseEvents& e = c.events;
  std::vector<CurvePoint>& buffer = c.scratch.workBuffer;

  // Where only one penumbral limit reaches the limb, the curve of maximum
  // eclipse on the horizon closes the path on the other side.
  auto maxOnHorizon = [&](EventId startId, EventId endId, int branch, PointCurve& curve) {
    buffer.clear();
    const double t1 = SpanEnd(e, startId);
    const double t2 = SpanEnd(e, endId);
    AppendEvent(e, startId, buffer);
    for (int i = 1; i < kMaxHorizonIntervals; ++i) {
      const double t = t1 + (t2 - t1) * i / kMaxHorizonIntervals;
      AppendIfFound(MaxEclipseAtHorizon(c.elements, branch, t, c.scratch.state), buffer);
    }
    AppendEvent(e, endId, buffer);
    CopyToCurve(buffer, curve);
  };
  if (e[EventId::TPN1].exists() && !e[EventId::TPS1].exists()) {
    maxOnHorizon(EventId::TPN1, EventId::TPN2, 1, curves.maxHorizonSouth);
  }
  if (e[EventId::TPS1].exists() && !e[EventId::TPN1].exists()) {
    maxOnHorizon(EventId::TPS1, EventId::TPS2, 2, curves.maxHorizonNorth);
  }

  // Both limit branches at each instant, chained from the northern limit's event.
  auto maxAtRiseOrSet = [&](double t1, double t2, EventId startId, EventId endId,
                            PointCurve& curve) {
    buffer.clear();
    AppendEvent(e, startId, buffer);
    for (int i = 1; i < kSunriseSunsetIntervals; ++i) {
      const double t = t1 + (t2 - t1) * i / kSunriseSunsetIntervals;
      // Both branches at one instant: one evaluation serves them.
      EvaluateAllAt(c.elements, t, c.scratch.state);
      const LimitAngles angles = PenumbralLimitAngles(c.scratch.state);
      AppendIfFound(MaxEclipseOnLimb(c.scratch.state, angles, 1), buffer);
      AppendIfFound(MaxEclipseOnLimb(c.scratch.state, angles, 2), buffer);
    }
    AppendEvent(e, endId, buffer);
    OrderAsChain(buffer, static_cast<int>(buffer.size()));
    CopyToCurve(buffer, curve);
  };
  if (e[EventId::TP2].exists()) {
    maxAtRiseOrSet(SpanEnd(e, EventId::TP1), SpanEnd(e, EventId::TP2), EventId::TPN1, EventId::TPS1,
                   curves.maxSunrise);
  }
  if (e[EventId::TP3].exists()) {
    maxAtRiseOrSet(SpanEnd(e, EventId::TP3), SpanEnd(e, EventId::TP4), EventId::TPN2, EventId::TPS2,
                   curves.maxSunset);
  }
}

}  // namespace darvelle
