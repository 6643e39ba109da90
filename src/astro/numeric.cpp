#include "astro/numeric.h"

#include <cmath>

namespace darvelle {

int SignOf(double x) {
  if (x > 0.0) return 1;
  if (x == 0.0) return 0;
  return -1;
}

double Power(double base, double exponent) {
  return static_cast<double>(std::exp(static_cast<long double>(exponent) *
                                      std::log(static_cast<long double>(base))));
}

double PositiveMod(double x, double m) {
  const double q = x / m;
  const double r = m * (q - std::trunc(q));
  return r < 0.0 ? r + m : r;
}

Vector3 MatrixTimesVector(const Matrix3& m, const Vector3& v) {
  Vector3 r{};
  for (int i = 0; i < 3; ++i) {
    double sum = 0.0;
    for (int j = 0; j < 3; ++j) sum += m[3 * i + j] * v[j];
    r[i] = sum;
  }
  return r;
}

double AngularSeparation(double lon1, double lat1, double lon2, double lat2) {
  const Vector3 p = {std::cos(lon1) * std::cos(lat1), std::sin(lon1) * std::cos(lat1),
                     std::sin(lat1)};
  const Vector3 q = {std::cos(lon2) * std::cos(lat2), std::sin(lon2) * std::cos(lat2),
                     std::sin(lat2)};
  return AngularSeparationOfUnitVectors(p, q);
}

double InterpolateZero5(double y1, double y2, double y3, double y4, double y5) {
  const double a = y2 - y1, b = y3 - y2, c = y4 - y3, d = y5 - y4;
  const double e = b - a, f = c - b, g = d - c;
  const double h = f - e, j = g - f;
  const double k = j - h;
  const double denominator = 2.0 * (6.0 * b + 6.0 * c - h - j);
  double n = 0.0;
  double next = 0.0;
  // On the smooth data of the contact searches this converges in a few rounds;
  // the cap only guards against pathological input looping for ever.
  for (int round = 0; round < kInterpolateZero5MaxRounds; ++round) {
    next = (n * n * (k - 12.0 * f) - 24.0 * y3 - 2.0 * n * n * n * (h + j) - n * n * n * n * k) /
           denominator;
    if (std::fabs(next - n) <= 1e-15) break;
    n = next;
  }
  return next;
}

}  // namespace darvelle
