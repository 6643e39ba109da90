#include "geometry/local_contacts.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "astro/root_finder.h"

namespace darvelle::local_detail {

// Greatest eclipse on the whole Earth from the linear terms of x and y (the
// axis' closest approach to the Earth's centre), held within the span the
// polynomials are fitted for: where each observer's search starts.
double FirstEstimate(const BesselianElements& eclipse) {
  const double x0 = eclipse.x.c[0], x1 = eclipse.x.c[1];
  const double y0 = eclipse.y.c[0], y1 = eclipse.y.c[1];
  const double speed = x1 * x1 + y1 * y1;
  const double t = speed > 0.0 ? -(x0 * x1 + y0 * y1) / speed : 0.0;
  return std::isfinite(t) ? std::clamp(t, -3.0, 3.0) : 0.0;
}

// Instant of the observer's closest approach to the axis: the root of the
// rate of u^2 + v^2, by the classical correction tau = -(ua + vb)/n^2.
double FindClosestApproach(const ShadowModel& model, double start,
                           double toleranceHours) {
  double t = start;
  // The correction is Newton's step for a straight, uniform motion; the real
  // motion bends slowly, so a few steps reach 0.01 s. 30 steps leave room for
  // a poor start, and the result is held within the span the search allows.
  for (int step = 0; step < 30; ++step) {
    const Shadow s = model.At(t);
    const double speed = s.SpeedSquared();
    if (!(speed > 0.0)) break;
    const double tau = -(s.U * s.A + s.V * s.B) / speed;
    t = std::clamp(t + tau, start - kContactSearchHours, start + kContactSearchHours);
    if (std::abs(tau) < toleranceHours) break;
  }
  return t;
}

// Instant of maximum eclipse: the least apparent separation of the centres,
// near the closest approach on the fundamental plane. The two differ because
// the observer's distance from the Moon changes as the Earth turns; for a
// shallow partial eclipse by up to some ten seconds. Newton's method on the
// separation's slope, from central differences over 36 s; near its minimum
// the separation is close to a parabola, so 8 steps are more than enough, and
// the result is held within 6 minutes of the closest approach.
double FindMaximum(const ShadowModel& model, double closest) {
  constexpr double kStep = 0.01;     // hours
  constexpr double kMaxShift = 0.1;  // hours
  double t = closest;
  for (int step = 0; step < 8; ++step) {
    const double before = ApparentSeparation(model.At(t - kStep));
    const double here = ApparentSeparation(model.At(t));
    const double after = ApparentSeparation(model.At(t + kStep));
    const double slope = (after - before) / (2.0 * kStep);
    const double curvature = (after - 2.0 * here + before) / (kStep * kStep);
    if (!(curvature > 0.0)) break;  // no minimum here: keep the closest approach
    const double shift = std::clamp(-slope / curvature, -kMaxShift, kMaxShift);
    t += shift;
    if (std::abs(shift) < kTimeToleranceHours) break;
  }
  return std::abs(t - closest) <= kMaxShift ? t : closest;
}

namespace {

// Distance from the axis minus the shadow's radius: negative inside.
double Inside(const ShadowModel& model, double t, Shade shade) {
  const Shadow s = model.At(t);
  return s.Distance() - RadiusOf(s, shade);
}

// The root of Inside() between `inner` (inside the shadow) and `outer`
// (outside), to 0.01 s. 40 steps would halve even a bisection's 4.5 hours
// below that, so the cap is never the reason to stop.
double BisectContact(const ShadowModel& model, double inner, double outer, Shade shade) {
  RootSearchLimits limits;
  limits.valueTolerance = 0.0;
  limits.spanTolerance = kTimeToleranceHours;
  limits.maxSteps = 40;
  return SearchRoot([&](double t) { return Inside(model, t, shade); }, inner, outer, limits).last;
}

}  // namespace

// Contact where the observer enters (direction -1) or leaves (+1) the shade,
// starting from the closest approach `maximum`, where the observer is inside.
// The classical correction converges in a few steps; near a grazing passage it
// may not, and then a bisection between the maximum and an instant outside
// the shade gives the contact instead.
std::optional<double> FindContact(const ShadowModel& model, double maximum, int direction,
                                  Shade shade) {
  double t = maximum;
  bool converged = false;
  double residual = 1.0;  // |distance - radius| at the last evaluation, Earth radii
  // 12 steps: each one is a Newton step of the chord through the shade; from
  // the maximum five are usually enough, 12 leaves room for the curvature.
  for (int step = 0; step < 12; ++step) {
    const Shadow s = model.At(t);
    const double speed = std::sqrt(s.SpeedSquared());
    const double radius = RadiusOf(s, shade);
    if (!(speed > 0.0) || !(radius > 0.0)) break;
    const double across = (s.A * s.V - s.B * s.U) / (speed * radius);
    if (std::abs(across) >= 1.0) break;
    residual = std::abs(s.Distance() - radius);
    const double tau = -(s.U * s.A + s.V * s.B) / (speed * speed) +
                       direction * radius / speed * std::sqrt(1.0 - across * across);
    t += tau;
    if (std::abs(t - maximum) > kContactSearchHours) break;
    if (std::abs(tau) < kTimeToleranceHours) {
      converged = true;
      break;
    }
  }
  // Accept the refined instant only on the right side of the maximum, and
  // only where the last step started on the shade's edge (its last
  // correction moved it by less than 0.01 s, about 2e-6 Earth radii).
  if (converged && (t - maximum) * direction >= 0.0 && residual < 1e-5) return t;
  const double outer = maximum + direction * kContactSearchHours;
  if (Inside(model, outer, shade) <= 0.0) return std::nullopt;
  return BisectContact(model, maximum, outer, shade);
}

LocalEvent EventAt(const ShadowModel& model, double t, std::optional<Shade> contactShade) {
  LocalEvent event;
  event.Time = t;
  model.SunPosition(t, event.SunAltitudeDeg, event.SunAzimuthDeg);
  const Shadow s = model.At(t);
  // The Moon's centre lies from the Sun's centre in the direction (u, v) (x
  // east, y north on the sky). An outer contact and an inner one of an
  // annular eclipse touch on that side; an inner contact of a total eclipse
  // (radius negative) on the opposite side.
  const double side = contactShade == Shade::kUmbra && s.L2 < 0.0 ? -1.0 : 1.0;
  event.PositionAngleDeg = PositiveDegrees(std::atan2(side * s.U, side * s.V));
  return event;
}

namespace {

// The instant in [from, to] where the Sun's altitude crosses the "up" line,
// given that it does so once there. The altitude is smooth, so regula falsi
// with the Illinois halving reaches 0.01 s in a handful of steps; 40 steps
// would halve even a bisection's bracket below that. 1e-7 deg is well under
// 0.01 s of the Sun's motion.
double FindHorizonCrossing(const ShadowModel& model, double from, double to) {
  RootSearchLimits limits;
  limits.valueTolerance = 1e-7;
  limits.spanTolerance = kTimeToleranceHours;
  limits.maxSteps = 40;
  auto aboveUp = [&](double t) { return SunAltitude(model, t) - kSunUpAltitudeDeg; };
  return SearchRoot(aboveUp, to, from, limits).last;
}

// Instants between c1 and c4 where the Sun is highest or lowest: where the
// local hour angle of the axis (within 15" of the Sun's) is 0 or pi. Between
// them the altitude rises or falls without turning (the declination hardly
// changes in a few hours), so a change of "up" between neighbours is exactly
// one crossing.
std::array<double, 4> HorizonSamples(const ShadowModel& model, double c1, double c4,
                                     int& count) {
  std::array<double, 4> samples{c1, 0.0, 0.0, 0.0};
  count = 1;
  const double rate = model.HourAngleRate(c1);
  if (rate > 0.0) {
    const double hourAngle = model.AxisHourAngle(c1);
    for (double target : {0.0, kPi}) {
      double ahead = std::fmod(target - hourAngle, kTwoPi);
      if (ahead < 0.0) ahead += kTwoPi;
      const double t = c1 + ahead / rate;
      if (t < c4) samples[count++] = t;
    }
    if (count == 3 && samples[2] < samples[1]) std::swap(samples[1], samples[2]);
  }
  samples[count++] = c4;
  return samples;
}

}  // namespace

void ClassifyVisibility(const ShadowModel& model, LocalCircumstances& local) {
  const double c1 = local.C1->Time, c4 = local.C4->Time;
  int count = 0;
  const auto samples = HorizonSamples(model, c1, c4, count);
  bool anyUp = false;
  bool previousUp = local.C1->SunUp();
  for (int i = 0; i < count; ++i) {
    bool up = false;
    if (i == 0) {
      up = local.C1->SunUp();
    } else if (i == count - 1) {
      up = local.C4->SunUp();
    } else {
      up = SunAltitude(model, samples[i]) > kSunUpAltitudeDeg;
    }
    anyUp = anyUp || up;
    if (i > 0 && up != previousUp) {
      const double t = FindHorizonCrossing(model, samples[i - 1], samples[i]);
      const HorizonCrossing crossing{t, std::max(0.0, Magnitude(model.At(t)))};
      if (up && !local.Sunrise) local.Sunrise = crossing;
      if (!up && !local.Sunset) local.Sunset = crossing;
    }
    previousUp = up;
  }
  if (local.C1->SunUp() && local.C4->SunUp()) {
    local.Seen = Visibility::kFull;
  } else if (!anyUp) {
    local.Seen = Visibility::kNight;
  } else if (!local.C1->SunUp()) {
    local.Seen = Visibility::kRise;
  } else {
    local.Seen = Visibility::kSet;
  }
}

}  // namespace darvelle::local_detail
