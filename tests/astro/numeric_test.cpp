#include "astro/numeric.h"

#include "astro/earth_rotation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace darvelle {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(SignOf, ThreeWays) {
  EXPECT_EQ(SignOf(0.0), 0);
  EXPECT_EQ(SignOf(-0.0), 0);
  EXPECT_EQ(SignOf(-0.5), -1);
  EXPECT_EQ(SignOf(1e-300), 1);
}

TEST(PositiveMod, ReducesIntoRange) {
  EXPECT_DOUBLE_EQ(PositiveMod(-30, 360), 330);
  EXPECT_NEAR(PositiveMod(725, 360), 5, 1e-12);
  EXPECT_DOUBLE_EQ(PositiveMod(360, 360), 0);
  EXPECT_NEAR(PositiveMod(-7 * kPi, 2 * kPi), kPi, 1e-12);
}

TEST(Power, MatchesPow) {
  EXPECT_NEAR(Power(2.0, 10.0), 1024.0, 1e-9);
  EXPECT_NEAR(Power(0.5, 0.5), std::sqrt(0.5), 1e-15);
  EXPECT_DOUBLE_EQ(Power(7.0, 0.0), 1.0);
}

TEST(MatrixTimesVector, RowMajor) {
  const Matrix3 m = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  const Vector3 r = MatrixTimesVector(m, {1, 0, -1});
  EXPECT_DOUBLE_EQ(r[0], -2);
  EXPECT_DOUBLE_EQ(r[1], -2);
  EXPECT_DOUBLE_EQ(r[2], -2);
}

TEST(AngularSeparation, SmallLargeAndOrdinary) {
  EXPECT_DOUBLE_EQ(AngularSeparation(1.0, 0.5, 1.0, 0.5), 0.0);
  EXPECT_NEAR(AngularSeparation(0.3, 0.2, 0.3 + kPi, -0.2), kPi, 1e-12);
  EXPECT_NEAR(AngularSeparation(0, 0, kPi / 2, 0), kPi / 2, 1e-15);
  EXPECT_NEAR(AngularSeparation(0, 0, 0, 1e-9), 1e-9, 1e-20);  // where acos would fail
  EXPECT_NEAR(AngularSeparation(0, kPi / 2, 2.0, kPi / 2 - 0.1), 0.1, 1e-14);
}

TEST(InterpolateZero5, FindsTheZero) {
  // A straight line through zero at the central value.
  EXPECT_NEAR(InterpolateZero5(-2, -1, 0, 1, 2), 0.0, 1e-15);
  // A straight line whose zero lies 0.3 steps after y3.
  EXPECT_NEAR(InterpolateZero5(-2.3, -1.3, -0.3, 0.7, 1.7), 0.3, 1e-12);
  // A smooth curve: sin around its zero crossing at 0.25 steps (step 0.1 rad).
  double y[5];
  for (int i = 0; i < 5; ++i) y[i] = std::sin((i - 2 - 0.25) * 0.1);
  EXPECT_NEAR(InterpolateZero5(y[0], y[1], y[2], y[3], y[4]), 0.25, 1e-5);
  // A quartic: (n - 0.4)(1 + n^3/10).
  for (int i = 0; i < 5; ++i) {
    const double n = i - 2;
    y[i] = (n - 0.4) * (1 + n * n * n / 10);
  }
  EXPECT_NEAR(InterpolateZero5(y[0], y[1], y[2], y[3], y[4]), 0.4, 1e-9);
}

TEST(InterpolateZero5, EndsOnDegenerateData) {
  // A parabola symmetric about y3 has a zero denominator: the rounds never
  // agree, and only the cap ends the call (a hang here times the test out).
  EXPECT_FALSE(std::isfinite(InterpolateZero5(5, 2, 1, 2, 5)));
}

// A sidereal day of DeltaT turns the Earth once; the sign follows DeltaT's,
// which is negative before about 1900.
TEST(EarthRotationDuring, OneSiderealDayIsOneTurn) {
  EXPECT_NEAR(EarthRotationDuring(86400.0 / 1.0027379), 2.0 * std::numbers::pi, 1e-12);
  EXPECT_NEAR(EarthRotationDuring(-240.0 / 1.0027379), -std::numbers::pi / 180.0, 1e-15);
  EXPECT_EQ(EarthRotationDuring(0.0), 0.0);
}

}  // namespace
}  // namespace darvelle
