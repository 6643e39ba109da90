#pragma once
// An observer's place on the fundamental plane, written independently of the
// curve code (standard Besselian formulas), so the tests can check where the
// curves put their points.

#include <cmath>

#include "catalogue/besselian_elements.h"
#include "geometry/elements.h"

namespace darvelle::testing {

struct ObserverPlane {
  double xi = 0, eta = 0, zeta = 0;
  double xiRate = 0, etaRate = 0;
  // Shadow geometry relative to the observer.
  double u = 0, v = 0;  // axis minus observer
  double a = 0, b = 0;  // relative velocity of the axis
  double l1 = 0, l2 = 0;  // penumbral and umbral radius at the observer
  double planeL1 = 0;     // penumbral radius on the fundamental plane
  double AxisDistance() const { return std::hypot(u, v); }
  // Signed distance of the axis from the observer across its motion.
  double Across() const { return (v * a - u * b) / std::hypot(a, b); }
  // Hours until the observer's closest approach to the axis.
  double TimeToClosest() const { return -(u * a + v * b) / (a * a + b * b); }
};

// Observer at geodetic latitude `lat` and ephemeris longitude `eastLon`
// (radians), `height` Earth radii above the ellipsoid, at instant t.
inline ObserverPlane ObserverAt(const BesselianElements& e, double t, double lat, double eastLon,
                                double height = 0.0) {
  ElementState s;
  EvaluateElements(e, t, s);
  EvaluateElementRates(e, t, s);
  const double u = std::atan(kEarthAxisRatio * std::tan(lat));
  const double rs = kEarthAxisRatio * std::sin(u) + height * std::sin(lat);
  const double rc = std::cos(u) + height * std::cos(lat);
  const double h = s.Mu + eastLon;
  ObserverPlane o;
  o.xi = rc * std::sin(h);
  o.eta = rs * s.CosD - rc * std::cos(h) * s.SinD;
  o.zeta = rs * s.SinD + rc * std::cos(h) * s.CosD;
  o.xiRate = s.MuRate * rc * std::cos(h);
  o.etaRate = s.MuRate * o.xi * s.SinD - s.DRate * o.zeta;
  o.u = s.X - o.xi;
  o.v = s.Y - o.eta;
  o.a = s.XRate - o.xiRate;
  o.b = s.YRate - o.etaRate;
  o.l1 = s.L1 - o.zeta * s.TanF1;
  o.l2 = s.L2 - o.zeta * s.TanF2;
  o.planeL1 = s.L1;
  return o;
}

}  // namespace darvelle::testing
