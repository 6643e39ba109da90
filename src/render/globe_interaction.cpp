#include "render/globe_interaction.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "astro/constants.h"

namespace darvelle {

namespace {

constexpr double kDegreesPerRadian = 180.0 / kPi;
// Within this many pixels of the globe centre a tilt drag's angle is noise.
constexpr double kTiltDeadZonePixels = 4.0;
// Below this horizontal distance from the polar axis a point's longitude is
// undefined (the pole itself): the drag only tilts the view.
constexpr double kPoleDistance = 1e-12;

// The turned-frame vector (after all three turns) at an image pixel, or
// nullopt off the globe. For a pixel beyond the orthographic limb,
// `pullToLimb` gives the limb point in that direction instead.
std::optional<UnitVector> ScreenVector(const GlobeProjection& view, ImagePosition pixel,
                                       bool pullToLimb) {
  const double rk = static_cast<double>(view.RK());
  const double u = (pixel.x - view.CentreX()) / rk;
  const double v = (view.CentreY() - pixel.y) / rk;
  if (view.Stereographic()) {
    // Inverse of x = 2 x3 / (z3 + 1), y = 2 y3 / (z3 + 1) on the unit sphere.
    const double a = u / 2.0;
    const double b = v / 2.0;
    const double q = a * a + b * b;
    const UnitVector s{2.0 * a / (1.0 + q), 2.0 * b / (1.0 + q), (1.0 - q) / (1.0 + q)};
    if (!(s.z > kStereographicVisibilityLimit) && !pullToLimb) return std::nullopt;
    return s;
  }
  const double q = u * u + v * v;
  if (!(q <= 1.0)) {
    if (!pullToLimb || !(q > 0.0) || !std::isfinite(q)) return std::nullopt;
    const double r = std::sqrt(q);
    return UnitVector{u / r, v / r, 0.0};
  }
  return UnitVector{u, v, std::sqrt(1.0 - q)};
}

// Undoes the turn about the line of sight (Chi): the frame after Psi and Phi.
UnitVector UndoChi(const GlobeProjection& view, const UnitVector& s) {
  return {s.x * view.CosChi() + s.y * view.SinChi(), -s.x * view.SinChi() + s.y * view.CosChi(),
          s.z};
}

// Undoes the tilt (Phi) and the turn about the polar axis (Psi).
UnitVector UndoPsiPhi(const GlobeProjection& view, const UnitVector& t) {
  const double y1 = t.y * view.CosPhi() + t.z * view.SinPhi();
  const double z1 = -t.y * view.SinPhi() + t.z * view.CosPhi();
  const double x1 = t.x;
  return {x1 * view.CosPsi() + z1 * view.SinPsi(), y1, -x1 * view.SinPsi() + z1 * view.CosPsi()};
}

double WrappedRadians(double radians) {
  double r = std::remainder(radians, 2.0 * kPi);  // [-pi, pi]
  if (r <= -kPi) r += 2.0 * kPi;
  return r;
}

ViewChange Unchanged(const GlobeProjection& view) { return {0.0, 0.0, 0.0, view.SizeRK()}; }

ViewChange TurnTo(const GlobeProjection& view, double psi, double phi) {
  return {WrappedRadians(psi - view.TotalPsi()) * kDegreesPerRadian,
          (phi - view.TotalPhi()) * kDegreesPerRadian, 0.0, view.SizeRK()};
}

// Turning by Psi and Phi keeps a point's distance from the polar axis as its
// greatest reach across the picture (before Chi): a cursor farther across is
// answered by the place within reach nearest to it on the picture (same
// height, at the end of the reach), so the point follows the cursor as
// closely as it can and without a jump where its reach ends.
UnitVector ReachableTarget(const UnitVector& target, const UnitVector& grabbed) {
  const double reach = std::hypot(grabbed.x, grabbed.z);
  if (std::abs(target.x) <= reach) return target;
  const double height = std::sqrt(std::max(0.0, 1.0 - reach * reach));
  const double y = std::clamp(target.y, -height, height);
  const double z = std::sqrt(std::max(0.0, 1.0 - reach * reach - y * y));
  return {std::copysign(reach, target.x), y, std::copysign(z, target.z)};
}

// A drag that starts off the globe: one radian per globe radius, along the
// picture's axes as Chi has turned them.
ViewChange ProportionalTurn(const GlobeProjection& view, ImagePosition from, ImagePosition to) {
  const double dx = to.x - from.x;
  const double dy = from.y - to.y;  // upwards positive
  const double across = dx * view.CosChi() + dy * view.SinChi();
  const double along = -dx * view.SinChi() + dy * view.CosChi();
  const double rk = static_cast<double>(view.RK());
  return TurnTo(view, view.TotalPsi() - across / rk, view.TotalPhi() - along / rk);
}

}  // namespace

double WrappedDegrees(double degrees) {
  double d = std::remainder(degrees, 360.0);  // [-180, 180]
  if (d <= -180.0) d += 360.0;
  return d;
}

std::optional<UnitVector> UnprojectToUnitVector(const GlobeProjection& view, ImagePosition pixel) {
  const std::optional<UnitVector> s = ScreenVector(view, pixel, false);
  if (!s) return std::nullopt;
  return UndoPsiPhi(view, UndoChi(view, *s));
}

GeoPosition GeoPositionOf(const UnitVector& v) {
  const double latitude = std::atan2(v.y, std::hypot(v.x, v.z)) * kDegreesPerRadian;
  const double longitude = WrappedDegrees(std::atan2(v.x, v.z) * kDegreesPerRadian);
  return {latitude, longitude};
}

std::optional<GeoPosition> UnprojectPixel(const GlobeProjection& view, ImagePosition pixel) {
  const std::optional<UnitVector> v = UnprojectToUnitVector(view, pixel);
  if (!v) return std::nullopt;
  return GeoPositionOf(*v);
}

ViewChange DragTurn(const GlobeProjection& view, ImagePosition from, ImagePosition to) {
  const std::optional<UnitVector> grabbed = UnprojectToUnitVector(view, from);
  if (!grabbed) return ProportionalTurn(view, from, to);
  const std::optional<UnitVector> screen = ScreenVector(view, to, true);
  if (!screen) return Unchanged(view);
  const UnitVector target = ReachableTarget(UndoChi(view, *screen), *grabbed);

  // After the turn by Psi the grabbed point's x is r sin(lambda - Psi), which
  // must equal the target's x; the tilt by Phi then turns (z, y) of the
  // point onto (z, y) of the target.
  const double lambda = std::atan2(grabbed->x, grabbed->z);
  const double r = std::hypot(grabbed->x, grabbed->z);
  std::array<double, 2> psis = {view.TotalPsi(), view.TotalPsi()};
  if (r > kPoleDistance) {
    const double a = std::asin(std::clamp(target.x / r, -1.0, 1.0));
    psis = {lambda - a, lambda - (kPi - a)};
  }
  const bool startsBetweenPoles = std::abs(view.TotalPhi()) <= kPi / 2.0;
  double bestPsi = view.TotalPsi();
  double bestPhi = view.TotalPhi();
  double bestScore = INFINITY;
  for (double psi : psis) {
    const double z1 = r * std::cos(lambda - psi);
    double phi = std::atan2(grabbed->y, z1) - std::atan2(target.y, target.z);
    // Nearest to the present tilt among the equivalent angles.
    phi = view.TotalPhi() + WrappedRadians(phi - view.TotalPhi());
    const bool flips = startsBetweenPoles && std::abs(phi) > kPi / 2.0;
    const double score = std::abs(WrappedRadians(psi - view.TotalPsi())) +
                         std::abs(phi - view.TotalPhi()) + (flips ? 4.0 * kPi : 0.0);
    if (score < bestScore) {
      bestScore = score;
      bestPsi = psi;
      bestPhi = flips ? std::clamp(phi, -kPi / 2.0, kPi / 2.0) : phi;
    }
  }
  return TurnTo(view, bestPsi, bestPhi);
}

ViewChange TiltTurn(const GlobeProjection& view, ImagePosition from, ImagePosition to) {
  const double fx = from.x - view.CentreX(), fy = view.CentreY() - from.y;
  const double tx = to.x - view.CentreX(), ty = view.CentreY() - to.y;
  const double deadZone = kTiltDeadZonePixels * view.Canvas().pixelRatio;
  if (std::hypot(fx, fy) < deadZone || std::hypot(tx, ty) < deadZone) {
    return Unchanged(view);
  }
  ViewChange change = Unchanged(view);
  change.chi = WrappedRadians(std::atan2(ty, tx) - std::atan2(fy, fx)) * kDegreesPerRadian;
  return change;
}

ViewChange ZoomAbout(const GlobeProjection& view, ImagePosition cursor, double notches) {
  const double scaled = view.SizeRK() * std::pow(kWheelZoomFactor, notches);
  const int radius = static_cast<int>(std::lround(
      std::clamp(std::isfinite(scaled) ? scaled : static_cast<double>(view.SizeRK()),
                 static_cast<double>(kSmallestGlobeRadius),
                 static_cast<double>(kLargestGlobeRadius))));
  ViewChange change = Unchanged(view);
  change.radius = radius;
  const std::optional<UnitVector> held = UnprojectToUnitVector(view, cursor);
  if (radius == view.SizeRK() || !held) return change;

  // Where the held point lands on the resized globe, then the drag that
  // brings it back under the cursor.
  const GlobeProjection resized(view.TotalPsi(), view.TotalPhi(), view.TotalChi(), radius,
                                view.Stereographic(), view.Canvas());
  const ProjectedPoint landed = resized.ProjectUnitVector(held->x, held->y, held->z);
  const ViewChange turn = DragTurn(resized, {landed.ScreenX, landed.ScreenY}, cursor);
  change.psi = turn.psi;
  change.phi = turn.phi;
  return change;
}

std::optional<ViewChange> CentreOn(const GlobeProjection& view, ImagePosition pixel) {
  const std::optional<UnitVector> v = UnprojectToUnitVector(view, pixel);
  if (!v) return std::nullopt;
  // The view centre is the point at longitude Psi and latitude Phi.
  const double longitude = std::atan2(v->x, v->z);
  const double latitude = std::atan2(v->y, std::hypot(v->x, v->z));
  return TurnTo(view, longitude, latitude);
}

ViewChange ArrowPan(const GlobeProjection& view, int columns, int rows) {
  const double step = std::min(view.RK() / 5.0, 100.0 * view.Canvas().pixelRatio);
  const ImagePosition centre{view.CentreX(), view.CentreY()};
  return DragTurn(view, centre, {centre.x - columns * step, centre.y - rows * step});
}

ViewParameters Applied(const ViewParameters& view, const ViewChange& change) {
  ViewParameters result = view;
  result.Psi = WrappedDegrees(view.Psi + change.psi);
  result.Phi = view.Phi + change.phi;
  result.Chi = WrappedDegrees(view.Chi + change.chi);
  if (change.radius > 0) result.RK = change.radius;
  return result;
}

}  // namespace darvelle
