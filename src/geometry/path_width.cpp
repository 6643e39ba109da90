#include "geometry/path_width.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <utility>

#include "astro/numeric.h"
#include "astro/root_finder.h"
#include "geometry/elements.h"
#include "geometry/limit_curves.h"

namespace darvelle {

namespace {

using Ecef = std::array<double, 3>;

// Earth-fixed position of a curve point on the ellipsoid, Earth equatorial
// radii (the ephemeris longitude serves: only differences matter here).
Ecef EcefOf(const CurvePoint& p) {
  const double sinLat = std::sin(p.Latitude), cosLat = std::cos(p.Latitude);
  const double n = 1.0 / std::sqrt(1.0 - kEarthE2 * sinLat * sinLat);
  return {n * cosLat * std::cos(p.Longitude), n * cosLat * std::sin(p.Longitude),
          n * (1.0 - kEarthE2) * sinLat};
}

double DotOf(const Ecef& a, const Ecef& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Ecef Difference(const Ecef& a, const Ecef& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }

// The shadow axis' point on the Earth at the instant s is evaluated at.
std::optional<CurvePoint> AxisPointAt(const ElementState& s) {
  const double xi = s.X, eta1 = s.Y / s.Rho1;
  const double r2 = xi * xi + eta1 * eta1;
  if (!(r2 <= 1.0)) return std::nullopt;
  const std::optional<HourAngleLatitude> g = PlaneToGeographic(s, {xi, eta1, std::sqrt(1.0 - r2)});
  if (!g) return std::nullopt;
  const CurveGeographic geo = CurvePointFromPlane(s, *g);
  if (!std::isfinite(geo.Longitude) || !std::isfinite(geo.Latitude)) return std::nullopt;
  return CurvePoint{geo.Longitude, geo.Latitude};
}

// Where a limit crosses the plane through `centre` that holds the vertical
// there and is square to the path: the limit point whose instant makes
// offset() zero, searched outwards from the central point's instant t within
// the limit's own span [tFirst, tLast].
std::optional<CurvePoint> LimitAcross(const BesselianElements& elements, double t, double tFirst,
                                      double tLast, bool north, const Ecef& centre,
                                      const Ecef& along) {
  ElementState s;
  auto offset = [&](double tau) {
    EvaluateAllAt(elements, tau, s);
    const std::optional<CurvePoint> p = UmbraLimitPointAt(s, north);
    return p ? DotOf(Difference(EcefOf(*p), centre), along) : std::nan("");
  };
  const double here = std::clamp(t, tFirst, tLast);
  const double f0 = offset(here);
  if (!std::isfinite(f0)) return std::nullopt;
  // A low Sun stretches the path along its direction: the crossing lies up to
  // some minutes from t. Steps of 36 s find the sign change, 0.3 h at most.
  constexpr double kStep = 0.01;
  std::optional<double> root;
  if (f0 == 0.0) root = here;
  for (int k = 1; !root && k <= 30; ++k) {
    for (const double direction : {-1.0, 1.0}) {
      const double near = here + direction * (k - 1) * kStep;
      const double far = std::clamp(here + direction * k * kStep, tFirst, tLast);
      if (far == near) continue;
      const double ff = offset(far);
      if (!std::isfinite(ff) || (ff > 0.0) == (f0 > 0.0)) continue;
      RootSearchLimits limits;
      limits.valueTolerance = 1e-9;   // 6 mm
      limits.spanTolerance = 1e-10;   // under a millimetre at any ground speed
      limits.maxSteps = 100;
      root = FindRoot(offset, near, far, limits);
      break;
    }
  }
  if (!root) return std::nullopt;
  EvaluateAllAt(elements, *root, s);
  return UmbraLimitPointAt(s, north);
}

}  // namespace

std::optional<double> PathWidthFromLimits(const BesselianElements& elements,
                                          const EclipseEvents& events, double t,
                                          const CurvePoint& point) {
  for (const EventId id : {EventId::TUN1, EventId::TUN2, EventId::TUS1, EventId::TUS2}) {
    if (!events[id].exists()) return std::nullopt;
  }
  // The path's direction at the point: the axis 3.6 s before and after.
  constexpr double kHalfSpan = 0.001;
  ElementState s;
  EvaluateAllAt(elements, t - kHalfSpan, s);
  const std::optional<CurvePoint> before = AxisPointAt(s);
  EvaluateAllAt(elements, t + kHalfSpan, s);
  const std::optional<CurvePoint> after = AxisPointAt(s);
  if (!before || !after) return std::nullopt;
  const Ecef centre = EcefOf(point);
  const Ecef up = {std::cos(point.Latitude) * std::cos(point.Longitude),
                   std::cos(point.Latitude) * std::sin(point.Longitude), std::sin(point.Latitude)};
  Ecef along = Difference(EcefOf(*after), EcefOf(*before));
  const double rise = DotOf(along, up);
  for (int k = 0; k < 3; ++k) along[k] -= rise * up[k];
  const double length = std::sqrt(DotOf(along, along));
  if (!(length > 0.0)) return std::nullopt;
  for (double& v : along) v /= length;

  // By value: std::minmax of two temporaries returns references to them.
  const auto span = [&](EventId first, EventId last) -> std::pair<double, double> {
    const double a = *events.Time(first);
    const double b = *events.Time(last);
    return {std::min(a, b), std::max(a, b)};
  };
  const auto [northFirst, northLast] = span(EventId::TUN1, EventId::TUN2);
  const auto [southFirst, southLast] = span(EventId::TUS1, EventId::TUS2);
  const std::optional<CurvePoint> north =
      LimitAcross(elements, t, northFirst, northLast, true, centre, along);
  const std::optional<CurvePoint> south =
      LimitAcross(elements, t, southFirst, southLast, false, centre, along);
  if (!north || !south) return std::nullopt;

  // The arc of the normal section from the chord: the radius of curvature in
  // the section's azimuth (Euler) turns the chord into the arc; over 1000 km
  // the arc is 1 km longer than its chord and this is right to metres.
  const Ecef chord = Difference(EcefOf(*north), EcefOf(*south));
  const double sinLat = std::sin(point.Latitude);
  const Ecef east = {-std::sin(point.Longitude), std::cos(point.Longitude), 0.0};
  const Ecef northward = {-sinLat * std::cos(point.Longitude), -sinLat * std::sin(point.Longitude),
                          std::cos(point.Latitude)};
  const double azimuth = std::atan2(DotOf(chord, east), DotOf(chord, northward));
  const double w = 1.0 - kEarthE2 * sinLat * sinLat;
  const double meridian = (1.0 - kEarthE2) / (w * std::sqrt(w));
  const double primeVertical = 1.0 / std::sqrt(w);
  const double radius = 1.0 / (std::cos(azimuth) * std::cos(azimuth) / meridian +
                               std::sin(azimuth) * std::sin(azimuth) / primeVertical);
  const double c = std::sqrt(DotOf(chord, chord));
  const double arc = 2.0 * radius * std::asin(std::min(1.0, c / (2.0 * radius)));
  return std::isfinite(arc) ? std::optional<double>(arc * kEarthRadiusKm) : std::nullopt;
}

}  // namespace darvelle
