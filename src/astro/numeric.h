#pragma once
// Small numeric helpers shared by the geometry and the outputs.

#include <array>
#include <cmath>

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

// The same angle from the points' unit vectors (x toward longitude 0, z
// north), for callers that compare one point with many: from half the chord
// and half the sum of the vectors, 4 * atan(halfChord / (halfSum + 1)).
inline double AngularSeparationOfUnitVectors(const Vector3& p, const Vector3& q) {
  double diff2 = 0.0;
  double sum2 = 0.0;
  for (int i = 0; i < 3; ++i) {
    diff2 += (q[i] - p[i]) * (q[i] - p[i]);
    sum2 += (q[i] + p[i]) * (q[i] + p[i]);
  }
  const double halfChord = std::sqrt(diff2) / 2.0;
  const double halfSum = std::sqrt(sum2) / 2.0;
  return 4.0 * std::atan(halfChord / (halfSum + 1.0));
}

// Zero of the quartic through five equally spaced values y1 .. y5, in steps
// from the instant of y3. The iteration stops when two rounds agree to 1e-15
// or after kInterpolateZero5MaxRounds rounds, whichever comes first.
inline constexpr int kInterpolateZero5MaxRounds = 200;
double InterpolateZero5(double y1, double y2, double y3, double y4, double y5);

}  // namespace darvelle
