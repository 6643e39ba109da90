#pragma once
// Besselian elements of the current eclipse evaluated at an instant, and the
// fundamental-plane geometry every curve and event is built from.
//
// Time t: hours of TT from the record's EpochHour. Angles inside: radians.
// Distances on the fundamental plane: Earth equatorial radii. Every operation
// overwrites part of the caller's ElementState and keeps nothing else, so two
// computations on two threads never meet.

#include <optional>

#include "astro/constants.h"
#include "catalogue/besselian_elements.h"

namespace darvelle {

// The elements and their rates at one instant (names as the whole program uses them).
struct ElementState {
  // values at t
  double X = 0, Y = 0, D = 0, SinD = 0, CosD = 0, Mu = 0;  // D, Mu radians; Mu not reduced
  double L1 = 0, L2 = 0, TanF1 = 0, TanF2 = 0;
  // ephemeris values at t (angles radians, distances AU)
  double SunRA = 0, SunDec = 0, SunDistance = 0, MoonRA = 0, MoonDec = 0, MoonDistance = 0;
  // rates per hour (angles rad/h; MuRate reduced into [-pi, pi])
  double XRate = 0, YRate = 0, DRate = 0, MuRate = 0;
  double L1Rate = 0, L2Rate = 0, TanF1Rate = 0, TanF2Rate = 0;
  double SunRARate = 0, SunDecRate = 0, SunDistanceRate = 0;
  double MoonRARate = 0, MoonDecRate = 0, MoonDistanceRate = 0;
  // Earth-shape terms (from SinD, CosD)
  double Rho1 = 0, Rho2 = 0, SinD1 = 0, CosD1 = 0, SinD1MinusD2 = 0, CosD1MinusD2 = 0;
  // limit coefficients: penumbra (1) and umbra (2)
  double A1 = 0, B1 = 0, C1 = 0, A2 = 0, B2 = 0, C2 = 0;
};

// X .. TanF2 at t.
void EvaluateElements(const BesselianElements& eclipse, double t, ElementState& s);
// The eight element rates at t.
void EvaluateElementRates(const BesselianElements& eclipse, double t, ElementState& s);
// Sun and Moon right ascension, declination, distance at t.
void EvaluateEphemeris(const BesselianElements& eclipse, double t, ElementState& s);
void EvaluateEphemerisRates(const BesselianElements& eclipse, double t, ElementState& s);
// Rho1 .. CosD1MinusD2 from SinD, CosD.
void ComputeEarthShapeTerms(ElementState& s);
// A1 .. C2 from the values and rates.
void ComputeLimitCoefficients(ElementState& s);
// EvaluateElements, EvaluateElementRates, ComputeEarthShapeTerms, ComputeLimitCoefficients.
void EvaluateAllAt(const BesselianElements& eclipse, double t, ElementState& s);

// First estimate of greatest eclipse (hours) from the linear terms of x and y;
// evaluates the elements at t = 0 on the way.
double EstimateGreatestEclipse(const BesselianElements& eclipse, ElementState& s);

// Instant in [b, a] (or [a, b]) where x*x' + y*y' = 0, by regula falsi with at
// most 21 evaluations; the elements are left evaluated at the result.
double FindGreatestEclipse(const BesselianElements& eclipse, double a, double b, ElementState& s);

// What a contact function leaves for its caller.
struct ContactGeometry {
  double Y1 = 0;  // y / Rho1
  double M = 0;   // sqrt(x^2 + y^2)
  double M1 = 0;  // sqrt(x^2 + y1^2)
  double R = 0;   // radius of the Earth's outline towards the axis
};

// Which contact a contact function finds; m is the axis's distance from the
// Earth's centre on the fundamental plane, R the Earth's outline towards it.
enum class ContactKind {
  PenumbraOuter,  // first / last contact: m = R + l1
  PenumbraInner,  // m = l1 - R
  UmbraOuter,     // TU1 / TU4: m = |l2 - R|, the outer contact of a total eclipse (l2 < 0)
  UmbraInner,     // TU2 / TU3: m = |l2 + R|, the inner contact of a total eclipse
  AxisOnLimb,     // beginning / end of the central line
};

// Signed value whose root is the contact of that kind (0 for a value outside
// the enumeration); runs EvaluateAllAt(t) first.
double ContactFunction(const BesselianElements& eclipse, ContactKind kind, double t, ElementState& s,
                       ContactGeometry* geometry = nullptr);

// A point on the fundamental plane in coordinates where the Earth is the unit
// sphere (eta1 and zeta1 already divided by Rho1).
struct PlanePoint {
  double Xi = 0, Eta1 = 0, Zeta1 = 0;
};

struct ContactResult {
  double Time = 0;   // hours from T0
  PlanePoint Point;  // limb point on the axis direction
};

// Contact of that kind between tFrom and tTo (regula falsi, at most 200
// evaluations); a root outside that span is no contact (empty). On success
// the elements are left evaluated at the result.
std::optional<ContactResult> FindContact(const BesselianElements& eclipse, ContactKind kind, double tFrom,
                                         double tTo, ElementState& s);

// a + b*sin Q + c*cos Q = 0. Valid is false when |a| > sqrt(b^2 + c^2) (no real
// root; Q1 and Q2 are then NaN and must not be used).
struct LimitAngles {
  double Q1 = 0, Q2 = 0;
  bool Valid = false;
};
LimitAngles SolveLimitAngle(double a, double b, double c);

// Hour angle and reduced latitude (radians) of a plane point, using
// SinD1/CosD1 of s.
struct HourAngleLatitude {
  double H = 0;
  double ReducedLatitude = 0;
};
// Nothing when the point lies off the unit sphere (|r1| > 1): no curve point there.
std::optional<HourAngleLatitude> PlaneToGeographic(const ElementState& s, const PlanePoint& p);
// The report's variant: a point off the sphere by rounding alone gets the
// clamped arcsine instead of nothing.
HourAngleLatitude PlaneToGeographicClamped(const ElementState& s, const PlanePoint& p);

// Angle reduced into [-pi, pi] by adding or subtracting whole turns.
double ReduceToPi(double angle);

// Geodetic latitude and ephemeris longitude of a curve point, as every curve
// routine derives them: latitude = atan2(sin phi1 / sqrt(1-e^2), cos phi1),
// longitude = H - Mu reduced into [-pi, pi].
struct CurveGeographic {
  double Longitude = 0;
  double Latitude = 0;
};
CurveGeographic CurvePointFromPlane(const ElementState& s, const HourAngleLatitude& g);

// Position of an event (report variant: no range test).
struct GeographicPosition {
  double Latitude = 0;            // geodetic, radians
  double EphemerisLongitude = 0;  // radians, east positive, [-pi, pi]
  double Longitude = 0;           // DeltaT-corrected, [-pi, pi]
};
GeographicPosition GeographicFromPlane(const ElementState& s, const PlanePoint& p,
                                       double deltaT);

}  // namespace darvelle
