#include "geometry/shadow_at_instant.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "astro/constants.h"
#include "astro/earth_rotation.h"
#include "astro/instant.h"
#include "astro/root_finder.h"
#include "geometry/curve_refinement.h"
#include "geometry/elements.h"

namespace darvelle {
namespace {

// Second eccentricity squared: the ellipsoid in units of the equatorial
// radius is |P|^2 + k (P.N)^2 = 1, N the polar axis.
constexpr double kSecondEccentricity2 = kEarthE2 / (1.0 - kEarthE2);

// Samples of an outline's direction around the axis before refinement: the
// penumbra's outline (some 0.55 Earth radii) bends gently, so 64 directions
// catch every stretch of it that lies on the day side but the thinnest
// slivers; the direction towards the Earth's centre is always added, so a
// shadow that just grazes the Earth is not missed.
constexpr int kOutlineSamples = 64;
constexpr int kTerminatorSamples = 96;
// Halvings of a sample interval at most: 2^12 pieces.
constexpr int kMaxDepth = 12;
// Segments shorter than this cannot miss their curve by the tolerance (the
// tightest bend, the umbra of some tens of km, has a sagitta of metres).
constexpr double kShortSegmentKm = 2.0;
// Halvings of the direction between a sample on the day side and one off it:
// 2^-40 of a sample interval, far below a millimetre on the Earth.
constexpr int kEndSteps = 40;

using Vec3 = std::array<double, 3>;

// A curve point with its direction from the Earth's centre, which the
// refinement measures by.
struct Sample {
  ShadowPoint Point;
  Vec3 Unit{0.0, 0.0, 1.0};
};

double Dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

bool AllFinite(const ElementState& s) {
  for (double v : {s.X, s.Y, s.D, s.Mu, s.L1, s.L2, s.TanF1, s.TanF2, s.SunRA, s.SunDec,
                   s.SunDistance, s.MoonRA, s.MoonDec, s.MoonDistance}) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

// The shadow's radius at a place as a function of the place's distance zeta
// from the fundamental plane: |A - B zeta| for the umbra (whose sign tells
// total from annular), A - B zeta for the penumbra and the magnitude lines.
struct RadiusLaw {
  double A = 0, B = 0;
  bool Absolute = false;
  double At(double zeta) const {
    const double r = A - B * zeta;
    return Absolute ? std::abs(r) : r;
  }
};

class ShadowGeometry {
 public:
  ShadowGeometry(const ElementState& s, double deltaT) : s_(s) {
    const double k = kSecondEccentricity2;
    quadA_ = 1.0 + k * s.SinD * s.SinD;
    longitudeShift_ = EarthRotationDuring(deltaT) - s.Mu;
    cosShift_ = std::cos(longitudeShift_);
    sinShift_ = std::sin(longitudeShift_);
  }

  // The sunward point of the Earth on the line through (xi, eta) along the
  // axis: its zeta, or nothing when the line misses the Earth.
  std::optional<double> ZetaAt(double xi, double eta) const {
    const double k = kSecondEccentricity2;
    const double b = k * eta * s_.CosD * s_.SinD;
    const double c = xi * xi + eta * eta * (1.0 + k * s_.CosD * s_.CosD) - 1.0;
    const double disc = b * b - quadA_ * c;
    if (!(disc >= 0.0)) return std::nullopt;
    return (-b + std::sqrt(disc)) / quadA_;
  }

  // The Earth's outline seen along the axis, where the Sun is on the
  // horizon: xi^2 + eta^2 (1 + k) / (1 + k sin^2 d) = 1 (the discriminant above
  // vanishes), at angle theta.
  Vec3 LimbAt(double theta) const {
    const double k = kSecondEccentricity2;
    const double xi = std::cos(theta);
    const double eta = std::sqrt(quadA_ / (1.0 + k)) * std::sin(theta);
    return {xi, eta, -k * eta * s_.CosD * s_.SinD / quadA_};
  }

  Sample Geographic(const Vec3& p) const {
    const double z = p[1] * s_.CosD + p[2] * s_.SinD;        // along the polar axis
    const double meridian = -p[1] * s_.SinD + p[2] * s_.CosD;  // towards the axis' meridian
    const double hourAngle = std::atan2(p[0], meridian);
    const double equatorial = std::hypot(p[0], meridian);
    Sample g;
    g.Point.LatitudeDeg = std::atan2(z, (1.0 - kEarthE2) * equatorial) * kRadToDeg;
    g.Point.LongitudeDeg = ReduceToPi(hourAngle + longitudeShift_) * kRadToDeg;
    // The direction from the Earth's centre in axes fixed to the Earth,
    // turned from the axis' meridian without another sine or cosine.
    const double length = std::sqrt(equatorial * equatorial + z * z);
    if (length > 0.0) {
      const double c = meridian / length, s = p[0] / length;
      g.Unit = {c * cosShift_ - s * sinShift_, s * cosShift_ + c * sinShift_, z / length};
    }
    return g;
  }

  // The point of the curve `law` in direction q from the axis (measured from
  // the plane's y axis through x, as the position angles of the elements):
  // r = law(zeta(r)). The radius changes by at most some 30 km over the
  // day side, so the root is bracketed by the law's values for zeta in
  // [-0.01, 1] (the ellipsoid's outline has |zeta| < 0.004).
  std::optional<Vec3> OutlinePoint(const RadiusLaw& law, double q) const {
    const double sinQ = std::sin(q), cosQ = std::cos(q);
    auto zetaAt = [&](double r) {
      return ZetaAt(s_.X + r * sinQ, s_.Y + r * cosQ).value_or(0.0);
    };
    double lo = std::min(law.At(-0.01), law.At(1.0));
    double hi = std::max(law.At(-0.01), law.At(1.0));
    if (law.Absolute && (law.A + 0.01 * law.B) * (law.A - law.B) < 0.0) lo = 0.0;
    if (hi < 0.0) return std::nullopt;
    lo = std::max(lo, 0.0);
    double r = lo;
    // Away from the Earth's outline r = law(zeta(r)) contracts by a factor of
    // B |dzeta/dr| (some 0.005 r / zeta), so a few substitutions reach the
    // root; near the outline that factor grows and the bracketed search
    // takes over.
    bool converged = false;
    double guess = law.At(0.5);
    for (int step = 0; step < 6 && !converged; ++step) {
      const auto zeta = ZetaAt(s_.X + guess * sinQ, s_.Y + guess * cosQ);
      if (!zeta || *zeta < 0.05) break;
      const double next = law.At(*zeta);
      converged = std::abs(next - guess) < 1e-10;
      guess = next;
    }
    if (converged) {
      r = guess;
    } else if (hi - lo > 1e-12) {
      RootSearchLimits limits;
      limits.valueTolerance = 1e-12;
      limits.spanTolerance = 1e-10;  // Earth radii: under a millimetre
      limits.maxSteps = 60;
      r = SearchRoot([&](double radius) { return radius - law.At(zetaAt(radius)); }, lo, hi,
                     limits)
              .last;
    }
    const double xi = s_.X + r * sinQ, eta = s_.Y + r * cosQ;
    const auto zeta = ZetaAt(xi, eta);
    if (!zeta) return std::nullopt;
    return Vec3{xi, eta, *zeta};
  }

 private:
  const ElementState& s_;
  double quadA_ = 1.0;
  double longitudeShift_ = 0.0, cosShift_ = 1.0, sinShift_ = 0.0;
};

// How far the true point `m` lies from what is drawn between a and b: the
// great circle (the map) and the straight line in longitude and latitude (a
// GIS), whichever is farther; km.
double MissKm(const Sample& sa, const Sample& sb, const Sample& sm) {
  const Vec3 pole = Cross(sa.Unit, sb.Unit);
  const double poleLength = std::sqrt(Dot(pole, pole));
  // Off the great circle by an angle whose sine this is (the angles are small).
  double miss = 0.0;
  if (poleLength > 0.0) miss = std::abs(Dot(sm.Unit, pole)) / poleLength * kEarthRadiusKm;
  const ShadowPoint &a = sa.Point, &b = sb.Point, &m = sm.Point;
  // The straight line in longitude and latitude, in a plane about m.
  const double kmPerDeg = kEarthRadiusKm * kDegToRad;
  const double cosLat = std::cos(m.LatitudeDeg * kDegToRad);
  auto east = [&](const ShadowPoint& p) {
    return ReduceToPi((p.LongitudeDeg - m.LongitudeDeg) * kDegToRad) * kRadToDeg * kmPerDeg *
           cosLat;
  };
  const double ax = east(a), ay = (a.LatitudeDeg - m.LatitudeDeg) * kmPerDeg;
  const double bx = east(b), by = (b.LatitudeDeg - m.LatitudeDeg) * kmPerDeg;
  const double dx = bx - ax, dy = by - ay;
  const double length2 = dx * dx + dy * dy;
  if (length2 > 0.0) {
    const double u = std::clamp(-(ax * dx + ay * dy) / length2, 0.0, 1.0);
    miss = std::max(miss, std::hypot(ax + u * dx, ay + u * dy));
  }
  return miss;
}

// The chord: as good as the arc for telling a short segment.
double SpanKm(const Sample& a, const Sample& b) {
  const Vec3 d{a.Unit[0] - b.Unit[0], a.Unit[1] - b.Unit[1], a.Unit[2] - b.Unit[2]};
  return std::sqrt(Dot(d, d)) * kEarthRadiusKm;
}

// A curve given by its true point at each parameter value (nothing where the
// parameter leads off the day side).
using CurveAt = std::function<std::optional<Sample>(double)>;

// The points after `a` up to and including `b`: true points of the curve
// in between wherever the segment would miss it.
void Refine(const CurveAt& curve, double qa, const Sample& a, double qb, const Sample& b,
            int depth, std::vector<ShadowPoint>& out) {
  if (depth < kMaxDepth && SpanKm(a, b) > kShortSegmentKm) {
    const double qm = 0.5 * (qa + qb);
    if (const auto m = curve(qm); m && MissKm(a, b, *m) > kExactCurveToleranceKm) {
      Refine(curve, qa, a, qm, *m, depth + 1, out);
      Refine(curve, qm, *m, qb, b, depth + 1, out);
      return;
    }
  }
  out.push_back(b.Point);
}

// The curve over one turn of its parameter: closed when every sample lies on
// the day side, else one open arc per run of samples there, each ended on
// the terminator. `extra` is a parameter value sampled besides the even ones.
// `ends`, when given, receives the parameters of each open arc's first and
// last point.
std::vector<ShadowCurve> TraceAround(const CurveAt& curve, int samples, double extra,
                                     std::vector<std::pair<double, double>>* ends = nullptr) {
  std::vector<double> q;
  q.reserve(samples + 1);
  for (int i = 0; i < samples; ++i) q.push_back(kTwoPi * i / samples);
  if (std::isfinite(extra)) {
    extra = std::fmod(extra, kTwoPi);
    if (extra < 0.0) extra += kTwoPi;
    q.insert(std::upper_bound(q.begin(), q.end(), extra), extra);
  }
  const int n = static_cast<int>(q.size());
  std::vector<std::optional<Sample>> p(n);
  int onDay = 0;
  for (int i = 0; i < n; ++i) {
    p[i] = curve(q[i]);
    if (p[i]) ++onDay;
  }
  std::vector<ShadowCurve> curves;
  if (onDay == 0) return curves;
  auto next = [&](int i) { return (i + 1) % n; };
  // The parameter after q[i] going round, so a step over the zero stays short.
  auto after = [&](int i) { return next(i) == 0 ? q[0] + kTwoPi : q[next(i)]; };
  if (onDay == n) {
    ShadowCurve ring;
    ring.Closed = true;
    ring.Points.push_back(p[0]->Point);
    for (int i = 0; i < n; ++i) Refine(curve, q[i], *p[i], after(i), *p[next(i)], 0, ring.Points);
    curves.push_back(std::move(ring));
    return curves;
  }
  // The last point on the day side between a parameter there and one off it.
  auto endBetween = [&](double on, Sample onPoint, double off) {
    for (int step = 0; step < kEndSteps; ++step) {
      const double mid = 0.5 * (on + off);
      if (const auto m = curve(mid)) {
        on = mid;
        onPoint = *m;
      } else {
        off = mid;
      }
    }
    return std::make_pair(on, onPoint);
  };
  // Each run starts after a sample off the day side; n runs at most.
  for (int start = 0; start < n; ++start) {
    const int before = (start + n - 1) % n;
    if (!p[start] || p[before]) continue;
    const double offBefore = start == 0 ? q[before] - kTwoPi : q[before];
    auto [q0, p0] = endBetween(q[start], *p[start], offBefore);
    ShadowCurve arc;
    arc.Points.push_back(p0.Point);
    double qLast = q0;
    Sample pLast = p0;
    double unwrap = 0.0;  // whole turns added to the parameter past the zero
    int i = start;
    for (int steps = 0; steps < n; ++steps) {
      const double qi = q[i] + unwrap;
      Refine(curve, qLast, pLast, qi, *p[i], 0, arc.Points);
      qLast = qi;
      pLast = *p[i];
      const int j = next(i);
      if (j == 0) unwrap += kTwoPi;
      if (!p[j]) {
        auto [qEnd, pEnd] = endBetween(qLast, pLast, q[j] + unwrap);
        Refine(curve, qLast, pLast, qEnd, pEnd, 0, arc.Points);
        if (ends) ends->emplace_back(q0, qEnd);
        break;
      }
      i = j;
    }
    curves.push_back(std::move(arc));
  }
  return curves;
}


// One instant's elements and the ways of tracing its curves.
class InstantShadow {
 public:
  InstantShadow(const BesselianElements& eclipse, double deltaT, double t)
      : eclipse_(eclipse), t_(t) {
    EvaluateElements(eclipse, t, s_);
    EvaluateEphemeris(eclipse, t, s_);
    valid_ = std::isfinite(t) && std::isfinite(deltaT) && AllFinite(s_);
    if (valid_) geometry_.emplace(s_, deltaT);
  }

  // The elements are numbers: every other member may be used.
  bool Valid() const { return valid_; }
  const ElementState& State() const { return s_; }
  const ShadowGeometry& Geometry() const { return *geometry_; }

  // Outside the first and last contact the penumbra misses the Earth.
  bool InEclipse() const {
    ElementState contact;
    return ContactFunction(eclipse_, ContactKind::PenumbraOuter, t_, contact) < 0.0;
  }

  RadiusLaw UmbraLaw() const { return {s_.L2, s_.TanF2, true}; }
  RadiusLaw PenumbraLaw() const { return {s_.L1, s_.TanF1, false}; }
  // Magnitude m where the distance from the axis is L1 - m (L1 + L2), each
  // radius at the place's own zeta.
  RadiusLaw MagnitudeLaw(double m) const {
    return {s_.L1 - m * (s_.L1 + s_.L2), s_.TanF1 - m * (s_.TanF1 + s_.TanF2), false};
  }

  std::vector<ShadowCurve> Outline(const RadiusLaw& law,
                                   std::vector<std::pair<double, double>>* ends = nullptr) const {
    const CurveAt curve = [&](double q) -> std::optional<Sample> {
      const auto p = geometry_->OutlinePoint(law, q);
      if (!p) return std::nullopt;
      return geometry_->Geographic(*p);
    };
    return TraceAround(curve, kOutlineSamples, std::atan2(-s_.X, -s_.Y), ends);
  }

  ShadowCurve Terminator() const {
    auto rings = TraceAround(LimbCurve(), kTerminatorSamples, std::nan(""));
    return rings.empty() ? ShadowCurve{} : std::move(rings.front());
  }

  // The area inside `law`'s outline: its closed rings as they are, each open
  // arc closed along the terminator from its last point back to its first,
  // the way that runs inside the shadow.
  std::vector<ShadowCurve> Area(const RadiusLaw& law) const {
    std::vector<std::pair<double, double>> ends;
    std::vector<ShadowCurve> curves = Outline(law, &ends);
    std::size_t open = 0;
    for (ShadowCurve& c : curves) {
      if (c.Closed || open >= ends.size()) continue;
      const auto [qFirst, qLast] = ends[open++];
      const auto first = geometry_->OutlinePoint(law, qFirst);
      const auto last = geometry_->OutlinePoint(law, qLast);
      if (!first || !last) continue;
      CloseAlongLimb(law, *last, *first, c);
    }
    return curves;
  }

 private:
  CurveAt LimbCurve() const {
    return [this](double theta) -> std::optional<Sample> {
      return geometry_->Geographic(geometry_->LimbAt(theta));
    };
  }

  // The limb's angle of a plane point on (or next to) it.
  double LimbAngle(const Vec3& p) const {
    const Vec3 unit = geometry_->LimbAt(kHalfPi);  // (0, eta of the limb's top, ...)
    return std::atan2(p[1] / unit[1], p[0]);
  }

  void CloseAlongLimb(const RadiusLaw& law, const Vec3& from, const Vec3& to,
                      ShadowCurve& arc) const {
    const double a = LimbAngle(from);
    double b = LimbAngle(to);
    // The way round whose middle lies in the shadow.
    double forward = b - a;
    if (forward < 0.0) forward += kTwoPi;
    const Vec3 middle = geometry_->LimbAt(a + 0.5 * forward);
    const bool inside =
        std::hypot(middle[0] - s_.X, middle[1] - s_.Y) <= law.At(middle[2]);
    const double span = inside ? forward : forward - kTwoPi;
    // Pieces of a sample interval at most, each refined like the outlines.
    const int pieces = std::max(1, static_cast<int>(std::ceil(std::abs(span) /
                                                              (kTwoPi / kTerminatorSamples))));
    const CurveAt limb = LimbCurve();
    double qa = a;
    Sample pa = *limb(a);
    for (int k = 1; k <= pieces; ++k) {
      const double qb = a + span * k / pieces;
      const Sample pb = *limb(qb);
      Refine(limb, qa, pa, qb, pb, 0, arc.Points);
      qa = qb;
      pa = pb;
    }
    // The limb's last point is the arc's first, to the bisection's millimetre:
    // the ring ends exactly where it began.
    arc.Points.back() = arc.Points.front();
    arc.Closed = true;
  }

  const BesselianElements& eclipse_;
  double t_;
  ElementState s_;
  bool valid_ = false;
  std::optional<ShadowGeometry> geometry_;
};

}  // namespace

double ShadowTimeOfUt(const BesselianElements& eclipse, double deltaT, double julianDayUt) {
  return Instant::FromJulianDayUT(julianDayUt, deltaT).HoursAfter(eclipse.julianDay);
}

ShadowAtInstant ComputeShadowAt(const BesselianElements& eclipse, double deltaT, double t) {
  ShadowAtInstant result;
  result.Time = t;
  const InstantShadow instant(eclipse, deltaT, t);
  if (!instant.Valid()) return result;
  const ElementState& s = instant.State();
  const ShadowGeometry& geometry = instant.Geometry();

  // The Sun in the zenith: its declination is the geodetic latitude there
  // (the Sun's parallax, 9", is left aside); its longitude follows from the
  // sidereal time, which mu gives with the axis' right ascension.
  const double cosSunDec = std::cos(s.SunDec), cosMoonDec = std::cos(s.MoonDec);
  const double axisRA =
      std::atan2(s.SunDistance * cosSunDec * std::sin(s.SunRA) -
                     s.MoonDistance * cosMoonDec * std::sin(s.MoonRA),
                 s.SunDistance * cosSunDec * std::cos(s.SunRA) -
                     s.MoonDistance * cosMoonDec * std::cos(s.MoonRA));
  result.SubSolar = ShadowPoint{
      ReduceToPi(s.SunRA - axisRA - s.Mu + EarthRotationDuring(deltaT)) * kRadToDeg,
      s.SunDec * kRadToDeg};
  result.Terminator = instant.Terminator();

  if (!instant.InEclipse()) return result;
  result.InEclipse = true;
  if (const auto zeta = geometry.ZetaAt(s.X, s.Y)) {
    result.Axis = geometry.Geographic({s.X, s.Y, *zeta}).Point;
    result.Antumbra = s.L2 - *zeta * s.TanF2 > 0.0;
  } else {
    result.Antumbra = s.L2 > 0.0;
  }
  result.Umbra = instant.Outline(instant.UmbraLaw());
  result.Penumbra = instant.Outline(instant.PenumbraLaw());
  for (const double m : kShadowMagnitudes) {
    result.MagnitudeLines.push_back({m, instant.Outline(instant.MagnitudeLaw(m))});
  }
  return result;
}

std::vector<ShadowCurve> UmbraAreaAt(const BesselianElements& eclipse, double deltaT, double t) {
  const InstantShadow instant(eclipse, deltaT, t);
  if (!instant.Valid() || !instant.InEclipse()) return {};
  return instant.Area(instant.UmbraLaw());
}

std::vector<ShadowCurve> PenumbraOutlineAt(const BesselianElements& eclipse, double deltaT,
                                           double t) {
  const InstantShadow instant(eclipse, deltaT, t);
  if (!instant.Valid() || !instant.InEclipse()) return {};
  return instant.Outline(instant.PenumbraLaw());
}

}  // namespace darvelle
