#include "geometry/limit_curves.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "astro/numeric.h"
#include "astro/root_finder.h"
#include "geometry/path_width.h"

namespace darvelle {

namespace {

// Kilometres per degree of a 40000 km great circle.
constexpr double kKmPerDegree = 40000.0 / 360.0;
// Flattening constant of the central-kind test, kept apart from kEarthE2:
// the kind must agree with the one the event table gives TC1, TC2 and TG0.
constexpr double kCentralKindE2 = 0.006694385;

CurvePoint EventPoint(const EclipseEvents& events, EventId id) {
  return CurvePoint{events[id].EphemerisLongitude, events[id].Latitude};
}

}  // namespace

double EasedInstant(double tStart, double tEnd, int i, int n) {
  const double f = static_cast<double>(i) / n;
  const double s = 3.0 * f * f * (1.0 - f) + f * f * f;
  return tStart + (tEnd - tStart) * s;
}

CentralLineValues CentralLineValuesAt(const ElementState& s, double zeta,
                                      const CurvePoint& point) {
  CentralLineValues v;
  const double l2 = s.L2 - zeta * s.TanF2;
  const double xiRate = s.MuRate * (-s.Y * s.SinD + zeta * s.CosD);
  const double etaRate = s.MuRate * s.X * s.SinD - zeta * s.DRate;
  const double a = s.XRate - xiRate;
  const double b = s.YRate - etaRate;
  const double n = std::sqrt(a * a + b * b);
  // On the central line the observer is on the axis: xi = x, eta = y.
  const double radial = (s.X * a + s.Y * b) / n;
  const double widthRoot = std::sqrt(zeta * zeta + radial * radial);
  // A shadow at rest on the plane (n = 0) or grazing with no radial motion has
  // no finite duration or width; such a point reports 0 rather than Inf.
  v.DurationMinutes = n > 0.0 ? std::fabs(2.0 * l2 / n * 60.0) : 0.0;
  v.WidthKm = (n > 0.0 && widthRoot > 0.0)
                  ? std::fabs(2.0 * l2 / widthRoot) * kEarthRadiusKm
                  : 0.0;
  const double sinAltitude =
      std::sin(point.Latitude) * s.SinD +
      std::cos(point.Latitude) * s.CosD * std::cos(s.Mu + point.Longitude);
  v.SunAltitudeDeg = std::asin(std::clamp(sinAltitude, -1.0, 1.0)) * kRadToDeg;
  // Elements that are not numbers (a damaged record) must not reach the file.
  for (double* value : {&v.DurationMinutes, &v.WidthKm, &v.SunAltitudeDeg}) {
    if (!std::isfinite(*value)) *value = 0.0;
  }
  return v;
}

double CentralZetaAt(const ElementState& s) {
  const double rho1 = 1.0 / std::sqrt(1.0 - kCentralKindE2 * s.CosD * s.CosD);
  const double eta = rho1 * s.Y;
  return std::sqrt(std::fabs(1.0 - s.X * s.X - eta * eta));
}

CentralKind CentralKindAt(const ElementState& s) {
  const double l2 = s.L2 - CentralZetaAt(s) * s.TanF2;
  return l2 >= 0.0 ? CentralKind::Annular : CentralKind::Total;
}

void ComputeCentralLine(const CurveTracer& c) {
  CentralLineCurve& curve = c.curves.centralLine;
  curve.Clear();
  if (!c.events[EventId::TC1].exists() || !c.events[EventId::TC2].exists()) return;
  const double tc1 = *c.events.Time(EventId::TC1);
  const double tc2 = *c.events.Time(EventId::TC2);
  ElementState& s = c.scratch.state;

  // An end of the line: the event's own position, values on the limb (zeta 0).
  auto endPoint = [&](double t, EventId id) {
    EvaluateAllAt(c.elements, t, s);
    CentralLinePoint p;
    static_cast<CurvePoint&>(p) = EventPoint(c.events, id);
    p.CentralKind = CentralKindAt(s);
    p.Time = t;
    const CentralLineValues v = CentralLineValuesAt(s, 0.0, p);
    p.DurationMinutes = v.DurationMinutes;
    p.WidthKm = v.WidthKm;
    p.SunAltitudeDeg = v.SunAltitudeDeg;
    return p;
  };

  CentralLinePoint last = endPoint(tc1, EventId::TC1);
  curve.Append(last);
  for (int i = 1; i < kTracedCurveIntervals; ++i) {
    const double t = EasedInstant(tc1, tc2, i);
    EvaluateAllAt(c.elements, t, s);
    const double xi = s.X;
    const double eta1 = s.Y / s.Rho1;
    const double zeta1 = std::sqrt(std::fabs(1.0 - xi * xi - eta1 * eta1));
    double zeta = s.Rho2 * (zeta1 * s.CosD1MinusD2 - eta1 * s.SinD1MinusD2);
    if (zeta < 0.0) zeta = 0.0;
    const std::optional<HourAngleLatitude> g = PlaneToGeographic(s, PlanePoint{xi, eta1, zeta1});
    if (!g) continue;
    const CurveGeographic geo = CurvePointFromPlane(s, *g);
    if (!std::isfinite(geo.Longitude) || !std::isfinite(geo.Latitude)) continue;
    const double spacingKm =
        AngularSeparation(geo.Longitude, geo.Latitude, last.Longitude, last.Latitude) *
        kRadToDeg * kKmPerDegree;
    if (!(spacingKm > kCentralLineMinSpacingKm)) continue;
    CentralLinePoint p;
    p.Longitude = geo.Longitude;
    p.Latitude = geo.Latitude;
    p.CentralKind = CentralKindAt(s);
    p.Time = t;
    const CentralLineValues v = CentralLineValuesAt(s, zeta, p);
    p.DurationMinutes = v.DurationMinutes;
    // The width between the limits themselves; the classical formula, which
    // treats the Earth as flat across the path and fails at a low Sun by up
    // to 6 %, only where a limit is missing there.
    p.WidthKm = PathWidthFromLimits(c.elements, c.events, t, p).value_or(v.WidthKm);
    p.SunAltitudeDeg = v.SunAltitudeDeg;
    if (!curve.Append(p)) break;  // 301 points at most: the capacity of 400 is never reached
    last = p;
  }
  curve.Append(endPoint(tc2, EventId::TC2));
  curve.SetReady(true);
}

namespace {

// The place of direction q from the axis at the umbra's radius there, and
// the part of the axis' motion relative to that place along q: zero where
// the place's closest approach to the axis falls at this instant. The rates
// of the place are those of the local circumstances, so that a limit point is
// exactly where they change from central to not central.
struct LimitTrial {
  PlanePoint point;
  double alongQ = 0;
};

LimitTrial TrialAt(const ElementState& s, double q) {
  const double sinQ = std::sin(q), cosQ = std::cos(q);
  LimitTrial trial;
  PlanePoint& p = trial.point;
  double l = s.L2;
  double zeta = 0.0;
  // The radius changes with zeta by tan f2 (about 0.005): four passes leave
  // it exact to the last digit.
  for (int pass = 0; pass < 4; ++pass) {
    p.Xi = s.X - l * sinQ;
    p.Eta1 = (s.Y - l * cosQ) / s.Rho1;
    p.Zeta1 = std::sqrt(std::max(0.0, 1.0 - p.Xi * p.Xi - p.Eta1 * p.Eta1));
    zeta = s.Rho2 * (p.Zeta1 * s.CosD1MinusD2 - p.Eta1 * s.SinD1MinusD2);
    l = s.L2 - zeta * s.TanF2;
  }
  const double eta = p.Eta1 * s.Rho1;
  const double a = s.XRate - s.MuRate * (zeta * s.CosD - eta * s.SinD);
  const double b = s.YRate - s.MuRate * p.Xi * s.SinD + s.DRate * zeta;
  trial.alongQ = a * sinQ + b * cosQ;
  return trial;
}

}  // namespace

std::optional<CurvePoint> UmbraLimitPointAt(const ElementState& s, bool north) {
  const double turn = north ? 0.0 : kPi;
  // First estimate: the classical direction of the limit, which neglects the
  // place's own distance from the axis in its rates and, where the Sun is
  // low, has not settled after a few passes (up to 5 km off at a Sun 2 deg
  // up). It picks the branch; the search below makes it exact.
  double l = s.L2;
  double q = std::atan2(s.B2, s.C2);
  for (int pass = 0; pass < 3; ++pass) {
    const double sinQ = std::sin(q), cosQ = std::cos(q);
    const double xi = s.X - l * sinQ;
    const double eta1 = (s.Y - l * cosQ) / s.Rho1;
    const double zeta1 = std::sqrt(std::max(0.0, 1.0 - xi * xi - eta1 * eta1));
    const double zeta = s.Rho2 * (zeta1 * s.CosD1MinusD2 - eta1 * s.SinD1MinusD2);
    q = std::atan2(s.B2 - zeta * s.DRate - s.A2 / cosQ, s.C2 - zeta * s.MuRate * s.CosD) + turn;
    l = s.L2 - zeta * s.TanF2;
  }
  // alongQ is about n sin(q - q0): one root within a quarter turn of the
  // estimate. 1e-13 of it is well under a millimetre on the ground.
  RootSearchLimits limits;
  limits.valueTolerance = 1e-13;
  limits.spanTolerance = 1e-12;
  limits.maxSteps = 80;
  const auto root = FindRoot([&](double angle) { return TrialAt(s, angle).alongQ; }, q - 0.4,
                             q + 0.4, limits);
  if (root) q = *root;
  PlanePoint p = TrialAt(s, q).point;
  // Between the limit's limb events the exact point can still fall just off
  // the Earth's outline: the events are found by the classical direction.
  // The limit ends on the limb there, so the limb point in that direction
  // stands for it, and the curve keeps its number of points.
  const double r = std::hypot(p.Xi, p.Eta1);
  if (r > 1.0) {
    p.Xi /= r;
    p.Eta1 /= r;
    p.Zeta1 = 0.0;
  }
  const CurveGeographic geo = CurvePointFromPlane(s, PlaneToGeographicClamped(s, p));
  // Elements that are not numbers (a damaged record) give no point.
  if (!std::isfinite(geo.Longitude) || !std::isfinite(geo.Latitude)) return std::nullopt;
  return CurvePoint{geo.Longitude, geo.Latitude};
}

namespace {

// One umbral limit between its two limb events.
void ComputeUmbraLimit(const CurveTracer& c, PointCurve& curve, EventId startId, EventId endId,
                       bool north) {
  curve.Clear();
  if (!c.events[startId].exists() || !c.events[endId].exists()) return;
  const double tStart = *c.events.Time(startId);
  const double tEnd = *c.events.Time(endId);
  ElementState& s = c.scratch.state;

  curve.Append(EventPoint(c.events, startId));
  for (int i = 1; i < kTracedCurveIntervals; ++i) {
    EvaluateAllAt(c.elements, EasedInstant(tStart, tEnd, i), s);
    const std::optional<CurvePoint> point = UmbraLimitPointAt(s, north);
    if (!point) continue;
    if (!curve.Append(*point)) break;  // 301 < 400
  }
  curve.Append(EventPoint(c.events, endId));
  curve.SetReady(true);
}

}  // namespace

void ComputeNorthUmbraLimit(const CurveTracer& c) {
  ComputeUmbraLimit(c, c.curves.northUmbra, EventId::TUN1, EventId::TUN2, true);
}

void ComputeSouthUmbraLimit(const CurveTracer& c) {
  ComputeUmbraLimit(c, c.curves.southUmbra, EventId::TUS1, EventId::TUS2, false);
}

}  // namespace darvelle
