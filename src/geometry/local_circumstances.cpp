#include "geometry/local_circumstances.h"

#include <algorithm>
#include <cmath>

#include "geometry/local_contacts.h"
#include "geometry/local_shadow.h"

namespace darvelle {

using namespace local_detail;

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