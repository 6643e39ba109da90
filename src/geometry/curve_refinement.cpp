#include "geometry/curve_refinement.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "astro/constants.h"
#include "astro/numeric.h"
#include "astro/root_finder.h"
#include "geometry/elements.h"
#include "geometry/local_circumstances.h"

namespace darvelle {
namespace {

using Unit = std::array<double, 3>;

Unit UnitOf(const CurvePoint& p) {
  return {std::cos(p.Latitude) * std::cos(p.Longitude), std::cos(p.Latitude) * std::sin(p.Longitude),
          std::sin(p.Latitude)};
}
CurvePoint PointOf(const Unit& u) {
  return {std::atan2(u[1], u[0]), std::atan2(u[2], std::hypot(u[0], u[1]))};
}
double Dot(const Unit& a, const Unit& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Unit Cross(const Unit& a, const Unit& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Unit Scaled(const Unit& a, double f) { return {a[0] * f, a[1] * f, a[2] * f}; }
Unit Sum(const Unit& a, const Unit& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
std::optional<Unit> Normalized(const Unit& a) {
  const double n = std::sqrt(Dot(a, a));
  if (!(n > 0.0) || !std::isfinite(n)) return std::nullopt;
  return Scaled(a, 1.0 / n);
}

// A segment shorter than this cannot miss any limit by the tolerance: its
// sagitta on the tightest bend a limit makes (far beyond 10 km of radius) is
// metres.
constexpr double kShortSegmentKm = 2.0;
// How far across the curve a file's vertex is sought on the true curve.
constexpr double kVertexReachKm = 20.0;
// Halvings of one file segment at most: 2^12 pieces of the longest gap.
constexpr int kMaxDepth = 12;

class CurveRefiner {
 public:
  explicit CurveRefiner(const CurveSide& side) : side_(side) {}

  // The vertex moved across the curve onto the limit: the file's points are
  // found to 10" of latitude and 2 s of time, up to some hundreds of metres
  // off (a few km for the first points of a curve of maximum on the horizon,
  // whose maximum is another). The ends (events on the limb) and a vertex whose neighbours give no
  // direction stay.
  Unit Vertex(const Unit& before, const Unit& here, const Unit& after) const {
    const std::optional<Unit> along = Normalized(Sum(after, Scaled(before, -1.0)));
    if (!along) return here;
    const std::optional<Unit> across = Normalized(Cross(here, *along));
    if (!across) return here;
    return LimitAcross(here, *across, kVertexReachKm).value_or(here);
  }

  void Segment(const Unit& a, const Unit& b, int depth, std::vector<CurvePoint>& out) const {
    const double spanKm = std::acos(std::clamp(Dot(a, b), -1.0, 1.0)) * kEarthRadiusKm;
    if (depth < kMaxDepth && spanKm > kShortSegmentKm) {
      const std::optional<Unit> middle = Normalized(Sum(a, b));
      const std::optional<Unit> pole = Normalized(Cross(a, b));
      if (middle && pole) {
        // What a GIS draws is straight in longitude and latitude: its middle
        // strays from the great circle (what the map draws) too, most near
        // the poles. Both middles are held to the tolerance.
        const CurvePoint pa = PointOf(a), pb = PointOf(b);
        const CurvePoint plain{pa.Longitude + 0.5 * ReduceToPi(pb.Longitude - pa.Longitude),
                               0.5 * (pa.Latitude + pb.Latitude)};
        // Across the segment: the great circle's pole is square to it and
        // tangent to the sphere at both middles.
        const double reachKm = 0.75 * spanKm;
        const std::optional<Unit> truth = LimitAcross(*middle, *pole, reachKm);
        if (truth) {
          double miss = std::acos(std::clamp(Dot(*truth, *middle), -1.0, 1.0)) * kEarthRadiusKm;
          if (miss <= kExactCurveToleranceKm) {
            const Unit plainUnit = UnitOf(plain);
            if (const auto plainTruth = LimitAcross(plainUnit, *pole, reachKm)) {
              miss = std::acos(std::clamp(Dot(*plainTruth, plainUnit), -1.0, 1.0)) * kEarthRadiusKm;
            }
          }
          if (miss > kExactCurveToleranceKm) {
            Segment(a, *truth, depth + 1, out);
            Segment(*truth, b, depth + 1, out);
            return;
          }
        }
      }
    }
    out.push_back(PointOf(b));
  }

 private:
  double Margin(const Unit& place) const { return side_(PointOf(place)); }

  static Unit Along(const Unit& from, const Unit& direction, double km) {
    const double angle = km / kEarthRadiusKm;
    return Sum(Scaled(from, std::cos(angle)), Scaled(direction, std::sin(angle)));
  }

  // The limit's place on the great circle through `middle` square to the
  // segment, within `reachKm` either side: nothing when it does not cross
  // there (the segment then stays as it is).
  std::optional<Unit> LimitAcross(const Unit& middle, const Unit& across, double reachKm) const {
    auto margin = [&](double km) { return Margin(Along(middle, across, km)); };
    const double here = margin(0.0);
    if (!std::isfinite(here)) return std::nullopt;
    if (const auto km = SecantAcross(margin, here, reachKm)) return Along(middle, across, *km);
    if (const auto km = BracketAcross(margin, here, reachKm)) return Along(middle, across, *km);
    return std::nullopt;
  }

  // Within a few km of a limit its margin is nearly straight in the distance
  // across it, so secant steps from the middle land within metres in two or
  // three evaluations. Nothing when they leave the reach or stall (a bend, a
  // second branch close by): the bracket search then decides.
  template <class Margin>
  static std::optional<double> SecantAcross(const Margin& margin, double here, double reachKm) {
    double x0 = 0.0, f0 = here;
    double x1 = kProbeKm, f1 = margin(x1);
    // Converging secant steps halve the error's digits each time; 8 steps
    // are far more than a straight margin needs.
    for (int step = 0; step < 8; ++step) {
      if (!std::isfinite(f1) || f1 == f0) return std::nullopt;
      const double x2 = x1 - f1 * (x1 - x0) / (f1 - f0);
      if (!(std::abs(x2) <= reachKm)) return std::nullopt;
      // A first step this short puts the middle on the curve well within
      // the tolerance: nothing more is needed of it.
      if (step == 0 && std::abs(x2) < 0.1 * kExactCurveToleranceKm) return x2;
      x0 = x1, f0 = f1;
      x1 = x2, f1 = margin(x2);
      if (std::abs(x1 - x0) < kRootKm) return x1;
    }
    return std::nullopt;
  }

  // A true sign change found by steps doubling outwards from the middle,
  // then closed by the program's root search.
  template <class Margin>
  static std::optional<double> BracketAcross(const Margin& margin, double here, double reachKm) {
    for (double step = 0.05; step <= 2.0 * reachKm; step *= 2.0) {
      for (const double sign : {-1.0, 1.0}) {
        const double b = std::clamp(sign * step, -reachKm, reachKm);
        const double vb = margin(b);
        if (!std::isfinite(vb) || (here > 0.0) == (vb > 0.0)) continue;
        RootSearchLimits limits;
        limits.valueTolerance = 0.0;
        limits.spanTolerance = kRootKm;
        limits.maxSteps = 60;  // regula falsi with the Illinois rule: tens of steps at worst
        return FindRoot([&](double km) { return margin(km); }, 0.0, b, limits);
      }
    }
    return std::nullopt;
  }

  // The first step across a segment, and how closely the limit is found.
  static constexpr double kProbeKm = 0.5;
  static constexpr double kRootKm = 0.005;

  const CurveSide& side_;
};

}  // namespace

std::vector<CurvePoint> RefineCurve(const CurveSide& side, const std::vector<CurvePoint>& vertices) {
  std::vector<CurvePoint> out;
  if (vertices.empty()) return out;
  const CurveRefiner refiner(side);
  std::vector<Unit> on(vertices.size());
  for (std::size_t i = 0; i < vertices.size(); ++i) on[i] = UnitOf(vertices[i]);
  for (std::size_t i = 1; i + 1 < vertices.size(); ++i) {
    on[i] = refiner.Vertex(UnitOf(vertices[i - 1]), on[i], UnitOf(vertices[i + 1]));
  }
  out.push_back(vertices.front());
  for (std::size_t i = 0; i + 1 < on.size(); ++i) refiner.Segment(on[i], on[i + 1], 0, out);
  // The last point is the end event, exactly as it was.
  out.back() = vertices.back();
  return out;
}

void ComputeDrawnCurves(const BesselianElements& eclipse, CurveSet& curves) {
  // Ephemeris longitudes with no DeltaT: the local circumstances reckon the
  // place's hour angle exactly as the curves do.
  auto observer = [](const CurvePoint& p) {
    return Observer{p.Latitude * kRadToDeg, p.Longitude * kRadToDeg, 0.0};
  };
  // Each search starts at the instant found for the place judged before,
  // nearly always a neighbour on the same curve.
  double searchStart = std::numeric_limits<double>::quiet_NaN();
  const CurveSide penumbra = [&](const CurvePoint& p) {
    return ShadowEdgeMargin(eclipse, 0.0, observer(p), false, &searchStart);
  };
  const CurveSide umbra = [&](const CurvePoint& p) {
    return ShadowEdgeMargin(eclipse, 0.0, observer(p), true, &searchStart);
  };
  // The curves of maximum on the horizon: where the local circumstances'
  // own maximum comes with the Sun's centre on the geometric horizon.
  const CurveSide horizon = [&](const CurvePoint& p) {
    return SunAltitudeAtMaximum(eclipse, 0.0, observer(p), &searchStart);
  };
  for (const auto& [file, drawn] : curves.DrawnCurves()) {
    drawn->clear();
    if (!file->Ready() || file->Count() < 2) continue;
    const bool isUmbra = file == &curves.northUmbra || file == &curves.southUmbra;
    const bool isPenumbra = file == &curves.northPenumbra || file == &curves.southPenumbra;
    *drawn = RefineCurve(isUmbra ? umbra : isPenumbra ? penumbra : horizon, file->Points());
  }
}

}  // namespace darvelle
