#include "geometry/limit_curves.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <utility>

#include "astro/numeric.h"
#include "astro/root_finder.h"

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

// ---------------------------------------------------------------------------
// Chain ordering.
//
// The plain search compares AngularSeparation from the last placed point to
// every point not yet placed: quadratic, and at the finest resolution a
// penumbral limit has over ten thousand points. Here the unit vectors are
// computed once, with the same expressions AngularSeparation uses, so the
// separation of two points is bit for bit the same value. The squared chord
// (the first sum inside AngularSeparation) grows with the separation, so a
// point whose squared chord exceeds the best one's by a relative 1e-9 cannot
// be nearer or equally near (rounding is below 1e-15): only the others need
// the exact separation. A uniform grid over the unit cube finds the near
// points; shells of cells are searched outwards until the next shell lies
// beyond the best distance, or until more cells would have been searched
// than points remain, when the remaining points are searched one by one.

namespace {

using UnitVector = std::array<double, 3>;

UnitVector UnitVectorOf(const CurvePoint& p) {
  return {std::cos(p.Longitude) * std::cos(p.Latitude),
          std::sin(p.Longitude) * std::cos(p.Latitude), std::sin(p.Latitude)};
}

// The first sum of AngularSeparation.
inline double SquaredChord(const UnitVector& p, const UnitVector& q) {
  double diff2 = 0.0;
  for (int i = 0; i < 3; ++i) diff2 += (q[i] - p[i]) * (q[i] - p[i]);
  return diff2;
}

constexpr double kChordSlack = 1.0 + 1e-9;

// The nearest unplaced point found so far in one step of the chain.
struct NearestPoint {
  int id;
  double distance;  // radians
  double chord;     // squared chord, the cheap test that goes first
};

class ChainGrid {
 public:
  explicit ChainGrid(const std::vector<UnitVector>& v) : v_(v) {
    const int n = static_cast<int>(v.size());
    // Curves arrive roughly in their own order (the scan stores them by
    // longitude), so the median step between consecutive points is the
    // spacing along the curve: a cell of two steps holds a few points and the
    // nearest point is mostly in the next shell. The bounds keep the cell
    // index within 64 bits and the shell test clear of rounding.
    std::vector<double> steps(static_cast<std::size_t>(n - 1));
    for (int i = 0; i + 1 < n; ++i) {
      const double step =
          std::sqrt(SquaredChord(v[static_cast<std::size_t>(i)], v[static_cast<std::size_t>(i) + 1]));
      // A point that is not a number must not reach the ordering of nth_element.
      steps[static_cast<std::size_t>(i)] = std::isnan(step) ? 0.0 : step;
    }
    auto middle = steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2);
    std::nth_element(steps.begin(), middle, steps.end());
    const double median = *middle;
    cell_ = std::clamp(2.0 * median, 1e-4, 0.5);
    side_ = static_cast<std::int64_t>(2.0 / cell_) + 1;
    cellOf_.resize(static_cast<std::size_t>(n));
    std::vector<std::pair<std::uint64_t, int>> order(static_cast<std::size_t>(n));
    for (int id = 0; id < n; ++id) {
      const auto c = CellCoordinates(v[static_cast<std::size_t>(id)]);
      cellOf_[static_cast<std::size_t>(id)] = c;
      order[static_cast<std::size_t>(id)] = {Key(c[0], c[1], c[2]), id};
    }
    std::sort(order.begin(), order.end());
    members_.resize(static_cast<std::size_t>(n));
    std::vector<std::uint64_t> keys;
    for (int i = 0; i < n; ++i) {
      const auto& [key, id] = order[static_cast<std::size_t>(i)];
      if (keys.empty() || keys.back() != key) {
        keys.push_back(key);
        start_.push_back(i);
      }
      members_[static_cast<std::size_t>(i)] = id;
    }
    start_.push_back(n);
    std::size_t size = 16;
    while (size < 2 * keys.size()) size *= 2;
    slotKey_.assign(size, kEmpty);
    slotCell_.assign(size, -1);
    for (std::size_t cell = 0; cell < keys.size(); ++cell) {
      std::size_t slot = Hash(keys[cell]) & (size - 1);
      while (slotKey_[slot] != kEmpty) slot = (slot + 1) & (size - 1);
      slotKey_[slot] = keys[cell];
      slotCell_[slot] = static_cast<int>(cell);
    }
  }

  std::int64_t Side() const { return side_; }
  double CellSize() const { return cell_; }
  const std::array<std::int64_t, 3>& CellOfPoint(int id) const {
    return cellOf_[static_cast<std::size_t>(id)];
  }

  // Calls f(id) for every point of cell (cx, cy, cz); nothing outside the grid.
  template <class F>
  void ForEachInCell(std::int64_t cx, std::int64_t cy, std::int64_t cz, F&& f) const {
    if (cx < 0 || cy < 0 || cz < 0 || cx >= side_ || cy >= side_ || cz >= side_) return;
    const std::uint64_t key = Key(cx, cy, cz);
    const std::size_t mask = slotKey_.size() - 1;
    // The table is at most half full, so a probe meets an empty slot soon.
    for (std::size_t slot = Hash(key) & mask;; slot = (slot + 1) & mask) {
      if (slotKey_[slot] == kEmpty) return;
      if (slotKey_[slot] == key) {
        const int cell = slotCell_[slot];
        for (int i = start_[static_cast<std::size_t>(cell)];
             i < start_[static_cast<std::size_t>(cell) + 1]; ++i) {
          f(members_[static_cast<std::size_t>(i)]);
        }
        return;
      }
    }
  }

 private:
  static constexpr std::uint64_t kEmpty = std::numeric_limits<std::uint64_t>::max();

  std::array<std::int64_t, 3> CellCoordinates(const UnitVector& u) const {
    std::array<std::int64_t, 3> c{};
    for (int i = 0; i < 3; ++i) {
      const double scaled = (u[static_cast<std::size_t>(i)] + 1.0) / cell_;
      // NaN and values off the cube land in a border cell; the exact
      // comparison decides anyway.
      std::int64_t k = scaled >= 0.0 ? static_cast<std::int64_t>(std::min(scaled, 1e9)) : 0;
      c[static_cast<std::size_t>(i)] = std::min<std::int64_t>(k, side_ - 1);
    }
    return c;
  }
  std::uint64_t Key(std::int64_t cx, std::int64_t cy, std::int64_t cz) const {
    return (static_cast<std::uint64_t>(cx) * static_cast<std::uint64_t>(side_) +
            static_cast<std::uint64_t>(cy)) *
               static_cast<std::uint64_t>(side_) +
           static_cast<std::uint64_t>(cz);
  }
  static std::size_t Hash(std::uint64_t key) {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> 20);
  }

  const std::vector<UnitVector>& v_;
  double cell_ = 1.0;
  std::int64_t side_ = 1;
  std::vector<std::array<std::int64_t, 3>> cellOf_;
  std::vector<int> members_;  // point ids sorted by cell
  std::vector<int> start_;    // first member of each cell, plus the end
  std::vector<std::uint64_t> slotKey_;
  std::vector<int> slotCell_;
};

// Below this many points the plain search is quicker than building a grid.
constexpr int kGridThreshold = 96;

}  // namespace

void OrderAsChain(std::vector<CurvePoint>& buffer, int count) {
  count = std::min<int>(count, static_cast<int>(buffer.size()));
  if (count < 3) return;  // the second point is the only candidate
  const auto n = static_cast<std::size_t>(count);
  std::vector<UnitVector> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = UnitVectorOf(buffer[i]);

  // Positions and ids: ids are the original buffer positions; the swaps of
  // the plain algorithm are replayed on pos/at so ties resolve alike.
  std::vector<int> pos(n), at(n);
  for (int i = 0; i < count; ++i) {
    pos[static_cast<std::size_t>(i)] = i;
    at[static_cast<std::size_t>(i)] = i;
  }
  std::vector<char> placed(n, 0);
  // Compact list of unplaced ids for the one-by-one search.
  std::vector<int> remaining(n), remainingIndex(n);
  for (int i = 0; i < count; ++i) {
    remaining[static_cast<std::size_t>(i)] = i;
    remainingIndex[static_cast<std::size_t>(i)] = i;
  }
  int remainingCount = count;
  auto place = [&](int id) {
    placed[static_cast<std::size_t>(id)] = 1;
    const int idx = remainingIndex[static_cast<std::size_t>(id)];
    const int lastId = remaining[static_cast<std::size_t>(remainingCount - 1)];
    remaining[static_cast<std::size_t>(idx)] = lastId;
    remainingIndex[static_cast<std::size_t>(lastId)] = idx;
    --remainingCount;
  };

  const bool useGrid = count > kGridThreshold;
  std::unique_ptr<ChainGrid> grid;
  if (useGrid) grid = std::make_unique<ChainGrid>(v);

  for (int a = 0; a + 1 < count; ++a) {
    const int current = at[static_cast<std::size_t>(a)];
    place(current);
    const UnitVector& p = v[static_cast<std::size_t>(current)];
    std::optional<NearestPoint> best;
    auto consider = [&](int id) {
      if (placed[static_cast<std::size_t>(id)]) return;
      const UnitVector& q = v[static_cast<std::size_t>(id)];
      const double chord = SquaredChord(p, q);
      if (best && chord > best->chord * kChordSlack) return;
      const double distance = AngularSeparationOfUnitVectors(p, q);
      // A point that is not a number is nobody's neighbour.
      if (std::isnan(distance)) return;
      if (!best || distance < best->distance ||
          (distance == best->distance &&
           pos[static_cast<std::size_t>(id)] < pos[static_cast<std::size_t>(best->id)])) {
        best = NearestPoint{id, distance, chord};
      }
    };
    auto searchAll = [&] {
      for (int i = 0; i < remainingCount; ++i) consider(remaining[static_cast<std::size_t>(i)]);
    };

    if (!useGrid) {
      searchAll();
    } else {
      const auto& c = grid->CellOfPoint(current);
      const double h = grid->CellSize();
      // Once more cells have been looked at than points remain, the one-by-one
      // search is the cheaper way to finish; shells never exceed the grid
      // either, so the loop ends.
      std::int64_t cellsSearched = 0;
      for (std::int64_t k = 0; k <= grid->Side(); ++k) {
        if (k >= 2 && best) {
          // Points of shell k or beyond are more than (k-1) cells away in one
          // coordinate; the margin covers the rounding of the cell index.
          const double gap = static_cast<double>(k - 1) * h;
          if (gap * gap * (1.0 - 1e-6) > best->chord * kChordSlack) break;
        }
        const std::int64_t width = 2 * k + 1;
        const std::int64_t inner = width - 2;
        const std::int64_t shellCells =
            k == 0 ? 1 : width * width * width - inner * inner * inner;
        cellsSearched += shellCells;
        if (cellsSearched > 2 * static_cast<std::int64_t>(remainingCount) + 27) {
          searchAll();
          break;
        }
        for (std::int64_t dx = -k; dx <= k; ++dx) {
          for (std::int64_t dy = -k; dy <= k; ++dy) {
            const bool onFace = dx == -k || dx == k || dy == -k || dy == k;
            // Inside the shell's faces only its two caps in z belong to it.
            const std::int64_t dzStep = onFace ? 1 : 2 * k;
            for (std::int64_t dz = -k; dz <= k; dz += dzStep) {
              grid->ForEachInCell(c[0] + dx, c[1] + dy, c[2] + dz, consider);
            }
          }
        }
      }
    }

    // No comparable point (all distances NaN): the point stays where it is.
    if (!best) continue;
    // Swap the nearest point into position a+1.
    const int next = a + 1;
    const int displaced = at[static_cast<std::size_t>(next)];
    const int bestPos = pos[static_cast<std::size_t>(best->id)];
    at[static_cast<std::size_t>(next)] = best->id;
    at[static_cast<std::size_t>(bestPos)] = displaced;
    pos[static_cast<std::size_t>(best->id)] = next;
    pos[static_cast<std::size_t>(displaced)] = bestPos;
  }

  std::vector<CurvePoint> ordered(n);
  for (std::size_t i = 0; i < n; ++i) ordered[i] = buffer[static_cast<std::size_t>(at[i])];
  std::copy(ordered.begin(), ordered.end(), buffer.begin());
}

}  // namespace darvelle
