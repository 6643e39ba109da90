#include "geometry/local_circumstances.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "astro/earth_rotation.h"
#include "astro/root_finder.h"
#include "geometry/elements.h"

namespace darvelle {
namespace {

constexpr double kEarthEquatorialRadiusM = 6378137.0;  // the ellipsoid of kEarthE2
// Every instant is refined until its last correction is below 0.01 s.
constexpr double kTimeToleranceHours = 0.01 / 3600.0;
// A contact lies at most this far from the maximum: the penumbra needs well
// under 4 hours to pass any place (the longest partial phase is about 3.6 h).
constexpr double kContactSearchHours = 4.5;

// The observer's fixed geocentric terms.
struct ObserverTerms {
  double RhoSinPhi = 0.0, RhoCosPhi = 0.0;  // Earth equatorial radii
  double SinLat = 0.0, CosLat = 0.0;        // geodetic
  double Longitude = 0.0;                   // radians, east positive
};

ObserverTerms TermsFor(const Observer& observer) {
  const double lat = std::clamp(observer.LatitudeDeg, -90.0, 90.0) * kDegToRad;
  const double height = observer.HeightM / kEarthEquatorialRadiusM;
  ObserverTerms o;
  o.SinLat = std::sin(lat);
  o.CosLat = std::cos(lat);
  // Reduced latitude by atan2, so the poles need no tangent.
  const double reduced = std::atan2(kEarthAxisRatio * o.SinLat, o.CosLat);
  o.RhoSinPhi = kEarthAxisRatio * std::sin(reduced) + height * o.SinLat;
  o.RhoCosPhi = std::cos(reduced) + height * o.CosLat;
  o.Longitude = observer.LongitudeDeg * kDegToRad;
  return o;
}

// The shadow seen from the observer at one instant, on the fundamental plane.
struct Shadow {
  double U = 0.0, V = 0.0;  // axis minus observer, Earth radii
  double A = 0.0, B = 0.0;  // their rates, Earth radii per hour
  double L1 = 0.0, L2 = 0.0;  // penumbral and umbral radius at the observer (L2 < 0: total)
  double Zeta = 0.0;          // observer's distance from the plane towards the Sun
  double Distance() const { return std::hypot(U, V); }
  double SpeedSquared() const { return A * A + B * B; }
};

class ShadowModel {
 public:
  ShadowModel(const BesselianElements& eclipse, double deltaT, const Observer& observer)
      : eclipse_(eclipse), observer_(TermsFor(observer)), rotation_(EarthRotationDuring(deltaT)) {}

  // Distance of the observer from the Earth's centre, Earth radii.
  double ObserverRadius() const { return std::hypot(observer_.RhoSinPhi, observer_.RhoCosPhi); }

  Shadow At(double t) const {
    ElementState s;
    EvaluateElements(eclipse_, t, s);
    EvaluateElementRates(eclipse_, t, s);
    const double h = s.Mu + observer_.Longitude - rotation_;
    const double sinH = std::sin(h), cosH = std::cos(h);
    const double xi = observer_.RhoCosPhi * sinH;
    const double eta = observer_.RhoSinPhi * s.CosD - observer_.RhoCosPhi * cosH * s.SinD;
    const double zeta = observer_.RhoSinPhi * s.SinD + observer_.RhoCosPhi * cosH * s.CosD;
    const double xiRate = s.MuRate * observer_.RhoCosPhi * cosH;
    const double etaRate = s.MuRate * xi * s.SinD - s.DRate * zeta;
    Shadow shadow;
    shadow.U = s.X - xi;
    shadow.V = s.Y - eta;
    shadow.A = s.XRate - xiRate;
    shadow.B = s.YRate - etaRate;
    shadow.L1 = s.L1 - zeta * s.TanF1;
    shadow.L2 = s.L2 - zeta * s.TanF2;
    shadow.Zeta = zeta;
    return shadow;
  }

  // The Sun's topocentric geometric altitude and azimuth (degrees) at t.
  void SunPosition(double t, double& altitudeDeg, double& azimuthDeg) const {
    const SunSky sky = SunAt(t);
    altitudeDeg = sky.AltitudeDeg;
    azimuthDeg = sky.AzimuthDeg;
  }
  struct SunSky {
    double AltitudeDeg = 0.0, AzimuthDeg = 0.0;
    double ParallacticDeg = 0.0;
    double DistanceEarthRadii = 0.0;
  };
  SunSky SunAt(double t) const;

  // Local apparent hour angle of the shadow axis at t (radians, not reduced).
  double AxisHourAngle(double t) const {
    return eclipse_.mu.At(t) * kDegToRad + observer_.Longitude - rotation_;
  }
  const BesselianElements& Eclipse() const { return eclipse_; }
  double HourAngleRate(double t) const {
    return ReduceToPi(eclipse_.mu.RateAt(t) * kDegToRad);
  }

 private:
  const BesselianElements& eclipse_;
  ObserverTerms observer_;
  double rotation_;  // the Earth's turn during DeltaT, radians
};

ShadowModel::SunSky ShadowModel::SunAt(double t) const {
  ElementState s;
  EvaluateElements(eclipse_, t, s);
  EvaluateEphemeris(eclipse_, t, s);
  // mu = sidereal time - right ascension of the axis, so the sidereal time is
  // mu plus the axis' right ascension, which follows from the Sun and Moon.
  const double cosSunDec = std::cos(s.SunDec), cosMoonDec = std::cos(s.MoonDec);
  const double sun[3] = {s.SunDistance * cosSunDec * std::cos(s.SunRA),
                         s.SunDistance * cosSunDec * std::sin(s.SunRA),
                         s.SunDistance * std::sin(s.SunDec)};
  const double axisRA = std::atan2(sun[1] - s.MoonDistance * cosMoonDec * std::sin(s.MoonRA),
                                   sun[0] - s.MoonDistance * cosMoonDec * std::cos(s.MoonRA));
  const double localSidereal = s.Mu + axisRA + observer_.Longitude - rotation_;
  const double cosLst = std::cos(localSidereal), sinLst = std::sin(localSidereal);
  // Topocentric Sun in Earth radii, equatorial axes of date.
  const double scale = 1.0 / kEarthRadiusAu;
  const double p[3] = {sun[0] * scale - observer_.RhoCosPhi * cosLst,
                       sun[1] * scale - observer_.RhoCosPhi * sinLst,
                       sun[2] * scale - observer_.RhoSinPhi};
  const double up = observer_.CosLat * (cosLst * p[0] + sinLst * p[1]) + observer_.SinLat * p[2];
  const double north =
      -observer_.SinLat * (cosLst * p[0] + sinLst * p[1]) + observer_.CosLat * p[2];
  const double east = -sinLst * p[0] + cosLst * p[1];
  SunSky sky;
  sky.AltitudeDeg = std::atan2(up, std::hypot(north, east)) * kRadToDeg;
  double azimuth = std::atan2(east, north) * kRadToDeg;
  if (azimuth < 0.0) azimuth += 360.0;
  sky.AzimuthDeg = azimuth;
  // The zenith seen from the Sun, against the pole: by the Sun's topocentric
  // hour angle and declination and the place's (geodetic) latitude.
  const double hourAngle = localSidereal - std::atan2(p[1], p[0]);
  const double declination = std::atan2(p[2], std::hypot(p[0], p[1]));
  sky.ParallacticDeg =
      std::atan2(std::sin(hourAngle), observer_.SinLat / observer_.CosLat * std::cos(declination) -
                                          std::sin(declination) * std::cos(hourAngle)) *
      kRadToDeg;
  if (observer_.CosLat == 0.0) sky.ParallacticDeg = 0.0;
  sky.DistanceEarthRadii = std::hypot(std::hypot(p[0], p[1]), p[2]);
  return sky;
}

double Magnitude(const Shadow& s) {
  const double sum = s.L1 + s.L2;  // the Sun's diameter on the plane
  return sum > 0.0 ? (s.L1 - s.Distance()) / sum : 0.0;
}

double MoonSunRatio(const Shadow& s) {
  const double sum = s.L1 + s.L2;
  return sum > 0.0 ? (s.L1 - s.L2) / sum : 0.0;
}

}  // namespace

double CoveredFraction(double moon, double distance) {
  if (moon <= 0.0) return 0.0;
  if (distance >= 1.0 + moon) return 0.0;
  if (distance <= std::abs(1.0 - moon)) return moon >= 1.0 ? 1.0 : moon * moon;
  const double cosSun = std::clamp((distance * distance + 1.0 - moon * moon) / (2.0 * distance),
                                   -1.0, 1.0);
  const double cosMoon = std::clamp(
      (distance * distance + moon * moon - 1.0) / (2.0 * distance * moon), -1.0, 1.0);
  const double sunAngle = std::acos(cosSun), moonAngle = std::acos(cosMoon);
  const double kite = 0.5 * std::sqrt(std::max(0.0, (-distance + 1.0 + moon) *
                                                        (distance + 1.0 - moon) *
                                                        (distance - 1.0 + moon) *
                                                        (distance + 1.0 + moon)));
  const double lens = sunAngle + moon * moon * moonAngle - kite;
  return std::clamp(lens / kPi, 0.0, 1.0);
}

namespace {

double ObscurationOf(const Shadow& s) {
  const double sunRadius = 0.5 * (s.L1 + s.L2);
  if (sunRadius <= 0.0) return 0.0;
  return CoveredFraction(0.5 * (s.L1 - s.L2) / sunRadius, s.Distance() / sunRadius);
}

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
                           double toleranceHours = kTimeToleranceHours) {
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

// Separation of the Moon's and the Sun's centres as the observer sees it, in
// units of the Sun's apparent diameter: L1' + L2' is the Sun's diameter on
// the observer's plane, proportional to the observer's distance from the Moon.
double ApparentSeparation(const Shadow& s) {
  const double sum = s.L1 + s.L2;
  return sum > 0.0 ? s.Distance() / sum : 0.0;
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

enum class Shade { kPenumbra, kUmbra };

double RadiusOf(const Shadow& s, Shade shade) {
  return shade == Shade::kPenumbra ? s.L1 : std::abs(s.L2);
}

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

double PositiveDegrees(double radians) {
  double degrees = std::fmod(radians * kRadToDeg, 360.0);
  if (degrees < 0.0) degrees += 360.0;
  return degrees;
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

double SunAltitude(const ShadowModel& model, double t) {
  double altitude = 0.0, azimuth = 0.0;
  model.SunPosition(t, altitude, azimuth);
  return altitude;
}

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

}  // namespace

bool MayBeSeen(const BesselianElements& eclipse, double deltaT, const Observer& observer) {
  const ShadowModel model(eclipse, deltaT, observer);
  const double start = FirstEstimate(eclipse);
  // Within 36 s of the closest approach the distance from the axis is off by
  // less than 1e-4 Earth radii (it is flat there), so the test below keeps a
  // margin of 1e-3.
  constexpr double kCoarseHours = 0.01;
  const double closest = FindClosestApproach(model, start, kCoarseHours);
  const Shadow atClosest = model.At(closest);
  if (!(atClosest.Distance() < atClosest.L1 + 1e-3)) return false;
  // The contacts lie within L1/n hours of the closest approach, and the Sun's
  // altitude changes no faster than the Earth turns (15.04 deg/h). zeta gives
  // the altitude above the geocentric horizon, within 0.2 deg of the geodetic
  // one; the margin is 1 deg.
  const double speed = std::sqrt(atClosest.SpeedSquared());
  if (!(speed > 0.0)) return true;
  const double halfSpanHours = std::min(atClosest.L1 / speed, kContactSearchHours);
  const double reachDeg = 15.05 * halfSpanHours + 1.0;
  const double altitudeDeg =
      std::asin(std::clamp(atClosest.Zeta / model.ObserverRadius(), -1.0, 1.0)) * kRadToDeg;
  return altitudeDeg + reachDeg > kSunUpAltitudeDeg;
}

namespace {

// The search for the closest approach starts at `start` when it is a
// neighbour's instant (within the span a search may move), else where
// ComputeLocalCircumstances starts it; `start` is left at the instant found.
double ClosestApproachFrom(const ShadowModel& model, const BesselianElements& eclipse, double* start) {
  const double first = FirstEstimate(eclipse);
  const bool near = start && std::isfinite(*start) && std::abs(*start - first) < kContactSearchHours;
  const double closest = FindClosestApproach(model, near ? *start : first);
  if (start) *start = closest;
  return closest;
}

}  // namespace

double ShadowEdgeMargin(const BesselianElements& eclipse, double deltaT, const Observer& observer,
                        bool umbra, double* searchStart) {
  const ShadowModel model(eclipse, deltaT, observer);
  const Shadow s = model.At(ClosestApproachFrom(model, eclipse, searchStart));
  return s.Distance() - RadiusOf(s, umbra ? Shade::kUmbra : Shade::kPenumbra);
}

double SunAltitudeAtMaximum(const BesselianElements& eclipse, double deltaT,
                            const Observer& observer, double* searchStart) {
  const ShadowModel model(eclipse, deltaT, observer);
  return SunAltitude(model, FindMaximum(model, ClosestApproachFrom(model, eclipse, searchStart)));
}

LocalView LocalViewAt(const BesselianElements& eclipse, double deltaT, const Observer& observer,
                      double t) {
  const ShadowModel model(eclipse, deltaT, observer);
  const Shadow s = model.At(t);
  const ShadowModel::SunSky sky = model.SunAt(t);
  LocalView view;
  view.Time = t;
  view.SunAltitudeDeg = sky.AltitudeDeg;
  view.SunAzimuthDeg = sky.AzimuthDeg;
  view.ParallacticAngleDeg = sky.ParallacticDeg;
  // The Sun's radius, 696,000 km, in Earth radii.
  constexpr double kSunRadiusEarthRadii = 696000.0 / 6378.137;
  if (sky.DistanceEarthRadii > 0.0) {
    view.SunRadiusDeg = std::asin(std::min(1.0, kSunRadiusEarthRadii / sky.DistanceEarthRadii)) *
                        kRadToDeg;
  }
  view.MoonSunRatio = MoonSunRatio(s);
  view.SeparationSunRadii = 2.0 * ApparentSeparation(s);
  view.PositionAngleDeg = PositiveDegrees(std::atan2(s.U, s.V));
  view.Magnitude = std::max(0.0, Magnitude(s));
  view.Obscuration = ObscurationOf(s);
  return view;
}

double LocalCircumstances::VisibleMagnitude() const {
  if (Kind == LocalKind::kNone) return 0.0;
  if (Maximum && Maximum->SunUp()) return Magnitude;
  double best = 0.0;
  if (Sunrise) best = std::max(best, Sunrise->Magnitude);
  if (Sunset) best = std::max(best, Sunset->Magnitude);
  return best;
}

LocalKind LocalCircumstances::SeenKind() const {
  if (Kind == LocalKind::kNone || Seen == Visibility::kNone || Seen == Visibility::kNight) {
    return LocalKind::kNone;
  }
  if (Maximum && Maximum->SunUp()) return Kind;
  return LocalKind::kPartial;
}

LocalCircumstances ComputeLocalCircumstances(const BesselianElements& eclipse, double deltaT,
                                             const Observer& observer) {
  LocalCircumstances local;
  const ShadowModel model(eclipse, deltaT, observer);
  const double start = FirstEstimate(eclipse);
  const double closest = FindClosestApproach(model, start);
  const Shadow atClosest = model.At(closest);
  if (!(atClosest.Distance() < atClosest.L1)) {  // outside the penumbra
    local.MoonSunRatio = MoonSunRatio(atClosest);
    return local;
  }
  const double maximum = FindMaximum(model, closest);
  const Shadow atMaximum = model.At(maximum);
  local.MoonSunRatio = MoonSunRatio(atMaximum);

  const auto c1 = FindContact(model, closest, -1, Shade::kPenumbra);
  const auto c4 = FindContact(model, closest, +1, Shade::kPenumbra);
  if (!c1 || !c4) return local;  // a shadow that never leaves: not a real eclipse

  local.Kind = LocalKind::kPartial;
  local.Magnitude = Magnitude(atMaximum);
  local.Obscuration = ObscurationOf(atMaximum);
  local.C1 = EventAt(model, *c1, Shade::kPenumbra);
  local.Maximum = EventAt(model, maximum, std::nullopt);
  local.C4 = EventAt(model, *c4, Shade::kPenumbra);
  if (atClosest.Distance() < std::abs(atClosest.L2)) {
    const auto c2 = FindContact(model, closest, -1, Shade::kUmbra);
    const auto c3 = FindContact(model, closest, +1, Shade::kUmbra);
    if (c2 && c3) {
      local.Kind = atClosest.L2 < 0.0 ? LocalKind::kTotal : LocalKind::kAnnular;
      local.C2 = EventAt(model, *c2, Shade::kUmbra);
      local.C3 = EventAt(model, *c3, Shade::kUmbra);
      local.DurationS = (*c3 - *c2) * 3600.0;
    }
  }
  ClassifyVisibility(model, local);
  return local;
}

const char* ObserverProblem(const Observer& observer) {
  if (!std::isfinite(observer.LatitudeDeg) || observer.LatitudeDeg < -90.0 ||
      observer.LatitudeDeg > 90.0) {
    return "the latitude must be a number of degrees from -90 to 90";
  }
  if (!std::isfinite(observer.LongitudeDeg) || observer.LongitudeDeg < -180.0 ||
      observer.LongitudeDeg > 180.0) {
    return "the longitude must be a number of degrees from -180 to 180 (east positive)";
  }
  if (!std::isfinite(observer.HeightM) || observer.HeightM < -500.0 ||
      observer.HeightM > 10000.0) {
    return "the height must be a number of metres from -500 to 10000";
  }
  return nullptr;
}

}  // namespace darvelle
