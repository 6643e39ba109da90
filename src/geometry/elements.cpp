#include "geometry/elements.h"

#include <algorithm>
#include <cmath>

#include "astro/earth_rotation.h"
#include "astro/numeric.h"
#include "astro/root_finder.h"

namespace darvelle {

void EvaluateElements(const BesselianElements& e, double t, ElementState& s) {
  s.X = e.x.At(t);
  s.Y = e.y.At(t);
  s.D = e.d.At(t) * kDegToRad;
  s.SinD = std::sin(s.D);
  s.CosD = std::cos(s.D);
  s.Mu = e.mu.At(t) * kDegToRad;
  s.L1 = e.l1.At(t);
  s.L2 = e.l2.At(t);
  s.TanF1 = e.tanF1.At(t);
  s.TanF2 = e.tanF2.At(t);
}

void EvaluateElementRates(const BesselianElements& e, double t, ElementState& s) {
  s.XRate = e.x.RateAt(t);
  s.YRate = e.y.RateAt(t);
  s.DRate = e.d.RateAt(t) * kDegToRad;
  s.MuRate = ReduceToPi(e.mu.RateAt(t) * kDegToRad);
  s.L1Rate = e.l1.RateAt(t);
  s.L2Rate = e.l2.RateAt(t);
  s.TanF1Rate = e.tanF1.RateAt(t);
  s.TanF2Rate = e.tanF2.RateAt(t);
}

void EvaluateEphemeris(const BesselianElements& e, double t, ElementState& s) {
  s.SunRA = e.sunRightAscension.At(t) * kDegToRad;
  s.SunDec = e.sunDeclination.At(t) * kDegToRad;
  s.SunDistance = e.sunDistance.At(t);
  s.MoonRA = e.moonRightAscension.At(t) * kDegToRad;
  s.MoonDec = e.moonDeclination.At(t) * kDegToRad;
  s.MoonDistance = e.moonDistance.At(t);
}

void EvaluateEphemerisRates(const BesselianElements& e, double t, ElementState& s) {
  s.SunRARate = e.sunRightAscension.RateAt(t) * kDegToRad;
  s.SunDecRate = e.sunDeclination.RateAt(t) * kDegToRad;
  s.SunDistanceRate = e.sunDistance.RateAt(t);
  s.MoonRARate = e.moonRightAscension.RateAt(t) * kDegToRad;
  s.MoonDecRate = e.moonDeclination.RateAt(t) * kDegToRad;
  s.MoonDistanceRate = e.moonDistance.RateAt(t);
}

void ComputeEarthShapeTerms(ElementState& s) {
  s.Rho1 = std::sqrt(1.0 - kEarthE2 * s.CosD * s.CosD);
  s.Rho2 = std::sqrt(1.0 - kEarthE2 * s.SinD * s.SinD);
  s.SinD1 = s.SinD / s.Rho1;
  s.CosD1 = kEarthAxisRatio * s.CosD / s.Rho1;
  s.SinD1MinusD2 = kEarthE2 * s.SinD * s.CosD / (s.Rho1 * s.Rho2);
  s.CosD1MinusD2 = kEarthAxisRatio / (s.Rho1 * s.Rho2);
}

void ComputeLimitCoefficients(ElementState& s) {
  s.A1 = -s.L1Rate - s.MuRate * s.X * s.TanF1 * s.CosD + s.Y * s.DRate * s.TanF1;
  s.B1 = -s.YRate + s.MuRate * s.X * s.SinD + s.L1 * s.DRate * s.TanF1;
  s.C1 = s.XRate + s.MuRate * s.Y * s.SinD + s.MuRate * s.L1 * s.TanF1 * s.CosD;
  s.A2 = -s.L2Rate - s.MuRate * s.X * s.TanF2 * s.CosD + s.Y * s.DRate * s.TanF2;
  s.B2 = -s.YRate + s.MuRate * s.X * s.SinD + s.L2 * s.DRate * s.TanF2;
  s.C2 = s.XRate + s.MuRate * s.Y * s.SinD + s.MuRate * s.L2 * s.TanF2 * s.CosD;
}

void EvaluateAllAt(const BesselianElements& e, double t, ElementState& s) {
  EvaluateElements(e, t, s);
  EvaluateElementRates(e, t, s);
  ComputeEarthShapeTerms(s);
  ComputeLimitCoefficients(s);
}

double EstimateGreatestEclipse(const BesselianElements& e, ElementState& s) {
  EvaluateElements(e, 0.0, s);
  const double x0 = e.x.c[0], x1 = e.x.c[1];
  const double y0 = e.y.c[0], y1 = e.y.c[1];
  const double speed2 = x1 * x1 + y1 * y1;
  // A record without motion has no estimate; greatest eclipse is then the epoch.
  if (speed2 == 0.0) return 0.0;
  return -(x0 * x1 + y0 * y1) / speed2;
}

namespace {

double GreatestFunction(const BesselianElements& e, double t, ElementState& s) {
  EvaluateElements(e, t, s);
  EvaluateElementRates(e, t, s);
  return s.X * s.XRate + s.Y * s.YRate;
}

}  // namespace

double FindGreatestEclipse(const BesselianElements& e, double a, double b, ElementState& s) {
  // Regula falsi on this near-linear function converges in a handful of
  // steps; the 21st step ends the search whatever the data, and the last
  // instant stands for the greatest eclipse then.
  RootSearchLimits limits;
  limits.valueTolerance = 1e-9;
  limits.maxSteps = 21;
  limits.illinois = false;
  const double t = SearchRoot([&](double u) { return GreatestFunction(e, u, s); }, b, a, limits).last;
  EvaluateElements(e, t, s);
  return t;
}

double ContactFunction(const BesselianElements& e, ContactKind kind, double t, ElementState& s,
                       ContactGeometry* geometry) {
  EvaluateAllAt(e, t, s);
  ContactGeometry g;
  g.Y1 = s.Y / s.Rho1;
  g.M = std::sqrt(s.X * s.X + s.Y * s.Y);
  g.M1 = std::sqrt(s.X * s.X + g.Y1 * g.Y1);
  g.R = g.M1 > 0.0 ? g.M / g.M1 : 1.0;
  if (geometry != nullptr) *geometry = g;
  const double m2 = g.M * g.M;
  switch (kind) {
    case ContactKind::PenumbraOuter: return m2 - (g.R + s.L1) * (g.R + s.L1);
    case ContactKind::PenumbraInner: return m2 - (s.L1 - g.R) * (s.L1 - g.R);
    case ContactKind::UmbraOuter: return m2 - (s.L2 - g.R) * (s.L2 - g.R);
    case ContactKind::UmbraInner: return m2 - (g.R + s.L2) * (g.R + s.L2);
    case ContactKind::AxisOnLimb: return s.X * s.X + g.Y1 * g.Y1 - 1.0;
  }
  // A value cast from outside the enumeration has no contact: no root, no sign change.
  return 0.0;
}

namespace {

// Regula falsi on the contact function from tFrom to tTo. 200 steps are far
// more than it needs on these smooth functions away from a tangency, and
// than the Illinois rule needs at one; a bracket without a sign change ends
// by the stall test.
RootSearch SearchContact(const BesselianElements& e, ContactKind kind, double tFrom, double tTo,
                         ElementState& s, bool illinois) {
  RootSearchLimits limits;
  limits.valueTolerance = 1e-9;
  limits.stallTolerance = 5e-10;
  limits.maxSteps = 200;
  limits.illinois = illinois;
  auto contact = [&](double t) { return ContactFunction(e, kind, t, s); };
  return SearchRoot(contact, tFrom, tTo, limits);
}

}  // namespace

std::optional<ContactResult> FindContact(const BesselianElements& e, ContactKind kind, double tFrom,
                                         double tTo, ElementState& s) {
  RootSearch search = SearchContact(e, kind, tFrom, tTo, s, false);
  // Plain regula falsi keeps one end for ever where the function is convex
  // and creeps towards the root from the other side. At a tangency (a shadow
  // axis or cone that just grazes the Earth's limb: |Gamma| near 0.997 for the
  // axis) the function is nearly flat at its root, each step gains a fraction
  // of a per cent and the 200 steps end far from it: a central eclipse
  // lost its central line that way. Where the span does hold a sign change,
  // the Illinois rule then finds the root; every contact plain regula falsi
  // finds stays exactly as it was.
  if (!search.converged && search.signChange) {
    search = SearchContact(e, kind, tFrom, tTo, s, true);
  }
  // Without a sign change in the bracket the secant steps can run far
  // outside it, to a "contact" hundreds of hours away where the cubics mean
  // nothing: only a contact inside the searched span counts.
  const double tNew = search.last;
  const bool inside = tNew >= std::min(tFrom, tTo) && tNew <= std::max(tFrom, tTo);
  if (!search.converged || !inside) return std::nullopt;
  // The search may end on either end of the span, evaluated before the last
  // step: the limb point is taken at the contact itself.
  ContactGeometry geometry;
  ContactFunction(e, kind, tNew, s, &geometry);
  EvaluateElements(e, tNew, s);
  return ContactResult{tNew, PlanePoint{s.X / geometry.M1, geometry.Y1 / geometry.M1, 0.0}};
}

LimitAngles SolveLimitAngle(double a, double b, double c) {
  LimitAngles q;
  const double f = std::sqrt(b * b + c * c);
  const double theta = c >= 0.0 ? 2.0 * std::atan(b / (c + f)) : 2.0 * std::atan((f - c) / b);
  const double cosAlpha = -a / f;
  q.Valid = f > 0.0 && std::fabs(cosAlpha) <= 1.0;
  const double alpha = std::acos(cosAlpha);
  q.Q1 = theta + alpha;
  q.Q2 = theta + (kTwoPi - alpha);
  return q;
}

namespace {

// The point in the Earth's frame: (x, sine of the reduced latitude, z).
Vector3 EarthFramePoint(const ElementState& s, const PlanePoint& p) {
  const Matrix3 rotation = {1.0, 0.0, 0.0, 0.0, s.CosD1, s.SinD1, 0.0, -s.SinD1, s.CosD1};
  return MatrixTimesVector(rotation, {p.Xi, p.Eta1, p.Zeta1});
}

}  // namespace

std::optional<HourAngleLatitude> PlaneToGeographic(const ElementState& s, const PlanePoint& p) {
  const Vector3 r = EarthFramePoint(s, p);
  if (std::fabs(r[1]) > 1.0) return std::nullopt;
  return HourAngleLatitude{std::atan2(r[0], r[2]), std::asin(r[1])};
}

HourAngleLatitude PlaneToGeographicClamped(const ElementState& s, const PlanePoint& p) {
  const Vector3 r = EarthFramePoint(s, p);
  // An event's limb point can lie off the sphere by rounding alone: clamped,
  // it gets the limb's latitude instead of NaN.
  return HourAngleLatitude{std::atan2(r[0], r[2]), std::asin(std::clamp(r[1], -1.0, 1.0))};
}

double ReduceToPi(double angle) {
  // A few turns at most for every value the polynomials give; the cap keeps a
  // corrupt record (huge or infinite angle) from looping.
  for (int turns = 0; turns < 1000 && angle > kPi; ++turns) angle -= kTwoPi;
  for (int turns = 0; turns < 1000 && angle < -kPi; ++turns) angle += kTwoPi;
  if (angle > kPi || angle < -kPi) angle = std::remainder(angle, kTwoPi);
  return angle;
}

CurveGeographic CurvePointFromPlane(const ElementState& s, const HourAngleLatitude& g) {
  CurveGeographic c;
  c.Latitude = std::atan2(std::sin(g.ReducedLatitude) / kEarthAxisRatio,
                          std::cos(g.ReducedLatitude));
  c.Longitude = ReduceToPi(g.H - s.Mu);
  return c;
}

GeographicPosition GeographicFromPlane(const ElementState& s, const PlanePoint& p,
                                       double deltaT) {
  const HourAngleLatitude g = PlaneToGeographicClamped(s, p);
  GeographicPosition pos;
  pos.EphemerisLongitude = ReduceToPi(g.H - s.Mu);
  pos.Longitude = ReduceToPi(pos.EphemerisLongitude + EarthRotationDuring(deltaT));
  pos.Latitude = std::atan(std::tan(g.ReducedLatitude) / kEarthAxisRatio);
  return pos;
}

}  // namespace darvelle
