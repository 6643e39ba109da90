#pragma once
// Small numeric helpers shared by the geometry and the outputs.

#include <array>

namespace darvelle {

using Matrix3 = std::array<double, 9>;  // row-major
using Vector3 = std::array<double, 3>;

// 1 if x > 0, 0 if x == 0, -1 otherwise.
int SignOf(double x);

// exp(exponent * ln(base)) in extended precision; base must be positive.
double Power(double base, double exponent);

// x reduced into [0, m); m > 0.
double PositiveMod(double x, double m);

// r[i] = sum of M[i][j] * v[j], accumulated in j order with 64-bit rounding.
Vector3 MatrixTimesVector(const Matrix3& m, const Vector3& v);

// Angle between two points on the sphere (radians in, radians out, 0 .. pi),
// accurate for tiny and near-antipodal separations.
double AngularSeparation(double lon1, double lat1, double lon2, double lat2);

// Zero of the quartic through five equally spaced values y1 .. y5, in steps
// from the instant of y3. The iteration stops when two rounds agree to 1e-15
// or after kInterpolateZero5MaxRounds rounds, whichever comes first.
inline constexpr int kInterpolateZero5MaxRounds = 200;
double InterpolateZero5(double y1, double y2, double y3, double y4, double y5);

}  // namespace darvelle
