// Element evaluation, contact functions and searches, limit angles and the
// step from the fundamental plane to the Earth.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <cstring>

#include "geometry/circumstances.h"
#include "geometry/elements.h"
#include "../support/synthetic_eclipse.h"

namespace darvelle {
namespace {

BesselianElements CubicElements() {
  BesselianElements r = testing::SyntheticElements();
  r.x = {{0.1, 0.52, -1e-4, -8e-6}};
  r.y = {{-0.2, 0.27, 3e-5, -4e-6}};
  r.d = {{22.5, 0.004, -1e-6, 0.0}};
  r.mu = {{-120.0, 15.004, 0.0, 0.0}};
  r.l1 = {{0.54, 1e-4, -1e-5, 0.0}};
  r.l2 = {{-0.006, 1e-4, -1e-5, 0.0}};
  return r;
}

TEST(EvaluateElements, AtTheEpochEveryValueIsItsConstantTerm) {
  const BesselianElements r = CubicElements();
  ElementState s;
  EvaluateElements(r, 0.0, s);
  EvaluateEphemeris(r, 0.0, s);
  const struct {
    double value, expected;
  } cases[] = {
      {s.X, r.x.c[0]},        {s.Y, r.y.c[0]},
      {s.D, r.d.c[0] * kDegToRad}, {s.Mu, r.mu.c[0] * kDegToRad},
      {s.L1, r.l1.c[0]},      {s.L2, r.l2.c[0]},
      {s.TanF1, r.tanF1.c[0]}, {s.TanF2, r.tanF2.c[0]},
      {s.SunRA, r.sunRightAscension.c[0] * kDegToRad}, {s.MoonDec, r.moonDeclination.c[0] * kDegToRad},
      {s.SunDistance, r.sunDistance.c[0]}, {s.SinD, std::sin(r.d.c[0] * kDegToRad)},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(c.value, c.expected);
}

TEST(EvaluateElementRates, RatesAreTheDerivativesOfTheCubics) {
  const BesselianElements r = CubicElements();
  ElementState s, before, after;
  const double t = 1.7, h = 1e-5;
  EvaluateElementRates(r, t, s);
  EvaluateElements(r, t - h, before);
  EvaluateElements(r, t + h, after);
  EXPECT_NEAR(s.XRate, (after.X - before.X) / (2 * h), 1e-9);
  EXPECT_NEAR(s.YRate, (after.Y - before.Y) / (2 * h), 1e-9);
  EXPECT_NEAR(s.DRate, (after.D - before.D) / (2 * h), 1e-9);
  EXPECT_NEAR(s.MuRate, (after.Mu - before.Mu) / (2 * h), 1e-8);
  EXPECT_NEAR(s.L1Rate, (after.L1 - before.L1) / (2 * h), 1e-9);
}

TEST(EvaluateElementRates, MuRateStaysWithinHalfATurn) {
  BesselianElements r = CubicElements();
  for (double turns : {0.0, 1.0, 2.0, -1.0}) {
    r.mu.c[1] = 15.0 + 360.0 * turns;
    ElementState s;
    EvaluateElementRates(r, 0.5, s);
    EXPECT_NEAR(s.MuRate, 15.0 * kDegToRad, 1e-12) << turns;
  }
}

TEST(EarthShapeTerms, DescribeAnglesAndTheFlattenedOutline) {
  for (double dDeg : {-23.4, -5.0, 0.0, 11.0, 23.4}) {
    ElementState s;
    s.SinD = std::sin(dDeg * kDegToRad);
    s.CosD = std::cos(dDeg * kDegToRad);
    ComputeEarthShapeTerms(s);
    EXPECT_NEAR(s.SinD1 * s.SinD1 + s.CosD1 * s.CosD1, 1.0, 1e-15) << dDeg;
    EXPECT_NEAR(s.SinD1MinusD2 * s.SinD1MinusD2 + s.CosD1MinusD2 * s.CosD1MinusD2, 1.0, 1e-15);
    EXPECT_LE(s.Rho1, 1.0);
    EXPECT_GE(s.Rho1, kEarthAxisRatio);
  }
}

TEST(SolveLimitAngle, BothAnglesSolveTheEquation) {
  const struct {
    double a, b, c;
  } cases[] = {{0.1, 0.5, 0.3}, {-0.2, 0.4, -0.7}, {0.0, 0.0, -1.0}, {0.3, -0.5, 0.0},
               {0.99, 1.0, 0.0}};
  for (const auto& c : cases) {
    const LimitAngles q = SolveLimitAngle(c.a, c.b, c.c);
    ASSERT_TRUE(q.Valid);
    for (double angle : {q.Q1, q.Q2}) {
      EXPECT_NEAR(c.a + c.b * std::sin(angle) + c.c * std::cos(angle), 0.0, 1e-12)
          << c.a << " " << c.b << " " << c.c;
    }
  }
  EXPECT_FALSE(SolveLimitAngle(2.0, 1.0, 1.0).Valid);  // |a| > sqrt(b^2 + c^2): no root
}

TEST(PlaneToGeographic, PointsOffTheSphereHaveNoPositionAndTheReportVariantClamps) {
  ElementState s;
  s.SinD = 0.3;
  s.CosD = std::sqrt(1 - 0.09);
  ComputeEarthShapeTerms(s);
  struct Case {
    PlanePoint point;
    bool onSphere;
  };
  const Case cases[] = {
      {{0.1, 1.5, 0.2}, false},
      {{0.0, -1.2, 0.0}, false},
      {{0.3, 0.4, std::sqrt(1.0 - 0.09 - 0.16)}, true},
      {{0.0, 0.0, 1.0}, true},
  };
  for (const Case& c : cases) {
    const std::optional<HourAngleLatitude> checked = PlaneToGeographic(s, c.point);
    const HourAngleLatitude clamped = PlaneToGeographicClamped(s, c.point);
    EXPECT_EQ(checked.has_value(), c.onSphere) << c.point.Eta1;
    EXPECT_TRUE(std::isfinite(clamped.ReducedLatitude)) << c.point.Eta1;
    EXPECT_LE(std::fabs(clamped.ReducedLatitude), kPi / 2) << c.point.Eta1;
    if (checked) {
      // On the sphere both variants give the same position.
      EXPECT_EQ(checked->ReducedLatitude, clamped.ReducedLatitude);
      EXPECT_EQ(checked->H, clamped.H);
    } else {
      // Off it, the clamped point lies at a pole.
      EXPECT_DOUBLE_EQ(std::fabs(clamped.ReducedLatitude), kPi / 2) << c.point.Eta1;
    }
  }
}

TEST(GeographicFromPlane, SubAxisPointAndTheRotationDuringDeltaT) {
  ElementState s;
  s.SinD = 0.0;
  s.CosD = 1.0;
  s.Mu = 0.25 * kPi;
  ComputeEarthShapeTerms(s);
  const double quarterTurn = 86400.0 / kSiderealRate / 4.0;
  const GeographicPosition p = GeographicFromPlane(s, PlanePoint{0.0, 0.0, 1.0}, quarterTurn);
  EXPECT_NEAR(p.Latitude, 0.0, 1e-15);
  EXPECT_NEAR(p.EphemerisLongitude, -0.25 * kPi, 1e-15);
  EXPECT_NEAR(p.Longitude, 0.25 * kPi, 1e-12);
  // Far east + rotation wraps round into [-pi, pi].
  s.Mu = -0.9 * kPi;
  const GeographicPosition wrapped = GeographicFromPlane(s, PlanePoint{0.0, 0.0, 1.0}, quarterTurn);
  EXPECT_NEAR(wrapped.Longitude, -0.6 * kPi, 1e-12);
}

TEST(ReduceToPi, BringsAnyAngleIntoHalfATurn) {
  for (double a : {0.0, 3.0, 4.0, -4.0, 20.0, -20.0, 1e6, -1e6}) {
    const double r = ReduceToPi(a);
    EXPECT_LE(std::fabs(r), kPi) << a;
    EXPECT_NEAR(std::remainder(r - a, kTwoPi), 0.0, 1e-12 * std::max(1.0, std::fabs(a))) << a;
  }
}

TEST(FindGreatestEclipse, FindsTheNearestApproachOfUniformMotion) {
  const BesselianElements r = testing::SyntheticElements();  // x = 0.25 + 0.5 t, y = 0.3
  ElementState s;
  EXPECT_NEAR(FindGreatestEclipse(r, 3.0, -3.0, s), -0.5, 1e-12);
  EXPECT_NEAR(s.X, 0.0, 1e-12);
  EXPECT_NEAR(EstimateGreatestEclipse(r, s), -0.5, 1e-15);
}

TEST(FindContact, ContactsOfACentralAndOfAMissingAxis) {
  const BesselianElements central = testing::SyntheticElements(0.3);
  ElementState s;
  // The axis (x = 0.25 + 0.5 t, y = 0.3) meets the limb x^2 + (y/rho1)^2 = 1.
  const auto begin = FindContact(central, ContactKind::AxisOnLimb, -5.0, -0.5, s);
  ASSERT_TRUE(begin.has_value());
  EXPECT_NEAR(s.X * s.X + (s.Y / s.Rho1) * (s.Y / s.Rho1), 1.0, 1e-8);
  EXPECT_NEAR(begin->Point.Xi * begin->Point.Xi + begin->Point.Eta1 * begin->Point.Eta1, 1.0, 1e-9);
  EXPECT_LT(begin->Time, -0.5);
  // First contact: the penumbra's edge touches the outline.
  const auto first = FindContact(central, ContactKind::PenumbraOuter, -6.0, -0.5, s);
  ASSERT_TRUE(first.has_value());
  EXPECT_LT(first->Time, begin->Time);

  const BesselianElements missing = testing::SyntheticElements(1.2);
  const auto none = FindContact(missing, ContactKind::AxisOnLimb, -5.0, -0.5, s);
  EXPECT_FALSE(none.has_value());
  EXPECT_EQ(ContactFunction(missing, static_cast<ContactKind>(7), 0.0, s), 0.0);
}

// An axis that only just reaches the Earth: at the contact the function is
// nearly flat, and plain regula falsi creeps towards it from one side.
TEST(FindContact, AxisThatGrazesTheLimbStillHasBothEnds) {
  ElementState s;
  EvaluateAllAt(testing::SyntheticElements(0.3), -0.5, s);
  const double rho1 = s.Rho1;
  struct Case {
    double axisOverRho1;  // y / rho1 at greatest eclipse (t = -0.5 h)
  };
  for (const Case& c : {Case{0.9965}, Case{0.9995}, Case{0.99999}}) {
    SCOPED_TRACE(c.axisOverRho1);
    const BesselianElements r = testing::SyntheticElements(c.axisOverRho1 * rho1);
    // x = 0.25 + 0.5 t meets x^2 + (y/rho1)^2 = 1 at x = -+sqrt(1 - (y/rho1)^2).
    const double halfChord = std::sqrt(1.0 - c.axisOverRho1 * c.axisOverRho1);
    const auto begin = FindContact(r, ContactKind::AxisOnLimb, -5.0, -0.5, s);
    ASSERT_TRUE(begin.has_value());
    EXPECT_NEAR(begin->Time, -0.5 - 2.0 * halfChord, 1e-4);
    EXPECT_NEAR(s.X * s.X + (s.Y / s.Rho1) * (s.Y / s.Rho1), 1.0, 1e-8);
    const auto end = FindContact(r, ContactKind::AxisOnLimb, -0.5, 4.0, s);
    ASSERT_TRUE(end.has_value());
    EXPECT_NEAR(end->Time, -0.5 + 2.0 * halfChord, 1e-4);
  }
}

TEST(FindLimitOnLimb, ReachesTheLimbOrReportsNothing) {
  const BesselianElements r = testing::SyntheticElements(0.3);
  ElementState s;
  const auto tp1 = FindContact(r, ContactKind::PenumbraOuter, -6.0, -0.5, s);
  ASSERT_TRUE(tp1.has_value());
  for (LimbBranch branch : {LimbBranch::PenumbraNorth, LimbBranch::PenumbraSouth}) {
    const std::optional<ContactResult> limit = FindLimitOnLimb(r, s, tp1->Time, 1.0 / 60.0, branch);
    if (!limit.has_value()) continue;
    EXPECT_NEAR(limit->Point.Xi * limit->Point.Xi + limit->Point.Eta1 * limit->Point.Eta1, 1.0, 1e-6);
    EXPECT_GT(limit->Time, tp1->Time);
  }
  // Elements that are not numbers end the walk at once, without a point.
  BesselianElements broken = r;
  broken.x.c[0] = std::nan("");
  EXPECT_FALSE(FindLimitOnLimb(broken, s, 0.0, 1.0 / 60.0, LimbBranch::UmbraNorth).has_value());
}

}  // namespace
}  // namespace darvelle
