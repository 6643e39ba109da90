#include "geometry/curve_refinement.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <utility>

#include "astro/constants.h"
#include "astro/numeric.h"
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
    const double here = Margin(middle);
    if (!std::isfinite(here)) return std::nullopt;
    // One secant step from the middle usually lands within metres of the
    // limit; a true bracket is then sought around it and closed by halving.
    const double probeKm = 0.5;
    const double there = Margin(Along(middle, across, probeKm));
    double guessKm = 0.0;
    if (std::isfinite(there) && there != here) guessKm = -here * probeKm / (there - here);
    if (std::abs(guessKm) < 0.1 * kExactCurveToleranceKm) return Along(middle, across, guessKm);
    guessKm = std::clamp(guessKm, -reachKm, reachKm);
    auto margin = [&](double km) { return Margin(Along(middle, across, km)); };
    double lo = 0.0, hi = 0.0;
    double loValue = here;
    bool bracket = false;
    // From the secant's guess outwards, then from the middle outwards.
    for (const double centre : {guessKm, 0.0}) {
      for (double step = 0.05; step <= 2.0 * reachKm && !bracket; step *= 2.0) {
        for (const double sign : {-1.0, 1.0}) {
          const double a = std::clamp(centre, -reachKm, reachKm);
          const double b = std::clamp(centre + sign * step, -reachKm, reachKm);
          if (a == b) continue;
          const double va = margin(a), vb = margin(b);
          if (std::isfinite(va) && std::isfinite(vb) && (va > 0.0) != (vb > 0.0)) {
            lo = a, hi = b, loValue = va;
            bracket = true;
            break;
          }
        }
      }
      if (bracket) break;
    }
    if (!bracket) return std::nullopt;
    // Halving to 5 m.
    while (std::abs(hi - lo) > 0.005) {
      const double mid = 0.5 * (lo + hi), value = margin(mid);
      if (!std::isfinite(value)) return std::nullopt;
      if ((value > 0.0) == (loValue > 0.0)) {
        lo = mid, loValue = value;
      } else {
        hi = mid;
      }
    }
    return Along(middle, across, 0.5 * (lo + hi));
  }

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
  const CurveSide penumbra = [&](const CurvePoint& p) {
    return ShadowEdgeMargin(eclipse, 0.0, observer(p), false);
  };
  const CurveSide umbra = [&](const CurvePoint& p) {
    return ShadowEdgeMargin(eclipse, 0.0, observer(p), true);
  };
  // The curves of maximum on the horizon: where the local circumstances'
  // own maximum comes with the Sun's centre on the geometric horizon.
  const CurveSide horizon = [&](const CurvePoint& p) {
    return SunAltitudeAtMaximum(eclipse, 0.0, observer(p));
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
