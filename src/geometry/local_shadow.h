#pragma once
// The shadow as one place sees it: the model that the contact search
// (local_contacts.cpp) and the calls of local_circumstances.h share. Internal
// to src/geometry.

#include <cmath>

#include "astro/earth_rotation.h"
#include "astro/numeric.h"
#include "catalogue/besselian_elements.h"
#include "geometry/elements.h"
#include "geometry/local_circumstances.h"

namespace darvelle::local_detail {

// Every instant is refined until its last correction is below 0.01 s.
inline constexpr double kTimeToleranceHours = 0.01 / 3600.0;
// A contact lies at most this far from the maximum: the penumbra needs well
// under 4 hours to pass any place (the longest partial phase is about 3.6 h).
inline constexpr double kContactSearchHours = 4.5;

// The observer's fixed geocentric terms.
struct ObserverTerms {
  double RhoSinPhi = 0.0, RhoCosPhi = 0.0;  // Earth equatorial radii
  double SinLat = 0.0, CosLat = 0.0;        // geodetic
  double Longitude = 0.0;                   // radians, east positive
};

ObserverTerms TermsFor(const Observer& observer);

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

inline double Magnitude(const Shadow& s) {
  const double sum = s.L1 + s.L2;  // the Sun's diameter on the plane
  return sum > 0.0 ? (s.L1 - s.Distance()) / sum : 0.0;
}

inline double MoonSunRatio(const Shadow& s) {
  const double sum = s.L1 + s.L2;
  return sum > 0.0 ? (s.L1 - s.L2) / sum : 0.0;
}

// Separation of the Moon's and the Sun's centres as the observer sees it, in
// units of the Sun's apparent diameter: L1' + L2' is the Sun's diameter on
// the observer's plane, proportional to the observer's distance from the Moon.
inline double ApparentSeparation(const Shadow& s) {
  const double sum = s.L1 + s.L2;
  return sum > 0.0 ? s.Distance() / sum : 0.0;
}

enum class Shade { kPenumbra, kUmbra };

inline double RadiusOf(const Shadow& s, Shade shade) {
  return shade == Shade::kPenumbra ? s.L1 : std::abs(s.L2);
}

double ObscurationOf(const Shadow& s);
double PositiveDegrees(double radians);
double SunAltitude(const ShadowModel& model, double t);

}  // namespace darvelle::local_detail
