#include "geometry/local_shadow.h"

#include <algorithm>
#include <cmath>

namespace darvelle::local_detail {

constexpr double kEarthEquatorialRadiusM = 6378137.0;  // the ellipsoid of kEarthE2

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

double ObscurationOf(const Shadow& s) {
  const double sunRadius = 0.5 * (s.L1 + s.L2);
  if (sunRadius <= 0.0) return 0.0;
  return CoveredFraction(0.5 * (s.L1 - s.L2) / sunRadius, s.Distance() / sunRadius);
}

double PositiveDegrees(double radians) {
  double degrees = std::fmod(radians * kRadToDeg, 360.0);
  if (degrees < 0.0) degrees += 360.0;
  return degrees;
}

double SunAltitude(const ShadowModel& model, double t) {
  double altitude = 0.0, azimuth = 0.0;
  model.SunPosition(t, altitude, azimuth);
  return altitude;
}

}  // namespace darvelle::local_detail
