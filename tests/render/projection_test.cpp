#include "render/projection.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/constants.h"

namespace darvelle {
namespace {

constexpr double kDeg = kPi / 180.0;
constexpr std::int64_t kArcsecPerDeg = 3600;

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  struct Case {
    double value;
    std::int64_t expected;
  };
  const Case cases[] = {{0.5, 0},   {1.5, 2},    {2.5, 2},   {-0.5, 0},  {-1.5, -2},
                        {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {1e6 + 0.5, 1000000},
                        {7.0, 7},   {-7.0, -7}};
  for (const Case& c : cases) EXPECT_EQ(RoundHalfEven(c.value), c.expected) << c.value;
}

TEST(RoundHalfEven, NonFiniteAndHugeValuesDoNotOverflow) {
  EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
  EXPECT_GT(RoundHalfEven(1e300), std::int64_t{1} << 61);
  EXPECT_LT(RoundHalfEven(-1e300), -(std::int64_t{1} << 61));
}

ViewCentre CentralAt(double lonDeg, double latDeg) {
  ViewCentre c;
  c.central = true;
  c.tg0EphemerisLongitude = lonDeg * kDeg;
  c.tg0Latitude = latDeg * kDeg;
  return c;
}

TEST(ProjectPoint, GreatestEclipsePointIsAtTheCentreWithDepthOne) {
  // Offsets zero, in TT and in UT (the curve's DeltaT shift matches the view's).
  const ViewParameters view;
  for (double deltaT : {0.0, 69.2, 1234.5, 40000.0}) {
    for (bool stereographic : {false, true}) {
      ViewParameters v = view;
      v.Stereographic = stereographic;
      const ViewCentre centre = CentralAt(-104.14, 25.29);
      const GlobeProjection projection = ComputeViewAngles(v, centre, deltaT);
      const ProjectedPoint p = projection.ProjectPoint(
          CurveLongitudeToArcseconds(centre.tg0EphemerisLongitude, deltaT),
          RadiansToArcseconds(centre.tg0Latitude));
      EXPECT_NEAR(p.ScreenX, 800.0, 0.01) << deltaT;
      EXPECT_NEAR(p.ScreenY, 533.0, 0.01) << deltaT;
      EXPECT_NEAR(p.Depth, 1.0, 1e-9);
      EXPECT_EQ(RoundHalfEven(p.ScreenX), 800);
      EXPECT_EQ(RoundHalfEven(p.ScreenY), 533);
      EXPECT_TRUE(p.IsVisible());
    }
  }
}

TEST(ProjectPoint, LimbIsHiddenInOrthographicAndVisibleInStereographic) {
  ViewParameters view;
  const ViewCentre centre = CentralAt(0, 0);
  for (bool stereographic : {false, true}) {
    view.Stereographic = stereographic;
    const GlobeProjection projection = ComputeViewAngles(view, centre, 0);
    const ProjectedPoint limb = projection.ProjectPoint(90 * kArcsecPerDeg, 0);
    EXPECT_NEAR(limb.Depth, 0.0, 1e-12);
    EXPECT_EQ(limb.IsVisible(), stereographic);
    // Just inside the rim (depth 0.0015) is visible in both.
    const ProjectedPoint inside = projection.ProjectPoint(RoundHalfEven(89.914 * 3600), 0);
    EXPECT_TRUE(inside.IsVisible());
    if (stereographic) {
      EXPECT_NEAR(limb.ScreenX, 800 + 2 * 500, 1e-6);  // the limb at radius 2 RK
      EXPECT_DOUBLE_EQ(limb.VisibilityLimit, -0.99);
    } else {
      EXPECT_NEAR(limb.ScreenX, 800 + 500, 1e-6);
      EXPECT_DOUBLE_EQ(limb.VisibilityLimit, 0.001);
    }
  }
}

TEST(ProjectPoint, AntipodeOfTheCentreIsNeverVisible) {
  ViewParameters view;
  const ViewCentre centre = CentralAt(0, 0);
  for (bool stereographic : {false, true}) {
    view.Stereographic = stereographic;
    const GlobeProjection projection = ComputeViewAngles(view, centre, 0);
    const ProjectedPoint antipode = projection.ProjectPoint(180 * kArcsecPerDeg, 0);
    EXPECT_DOUBLE_EQ(antipode.Depth, -1.0001);
    EXPECT_FALSE(antipode.IsVisible());
    EXPECT_TRUE(std::isfinite(antipode.ScreenX));
    EXPECT_TRUE(std::isfinite(antipode.ScreenY));
  }
  // Near the antipode the stereographic coordinates run far outside the image
  // and the point is hidden (cap of about 8.1 deg).
  view.Stereographic = true;
  const GlobeProjection projection = ComputeViewAngles(view, centre, 0);
  const ProjectedPoint near = projection.ProjectPoint(179 * kArcsecPerDeg, 0);
  EXPECT_FALSE(near.IsVisible());
  EXPECT_GT(std::abs(near.ScreenX - 800), 10 * 1600);
  EXPECT_FALSE(projection.ProjectPoint(172 * kArcsecPerDeg, 0).IsVisible());
  EXPECT_TRUE(projection.ProjectPoint(171 * kArcsecPerDeg, 0).IsVisible());
}

TEST(ComputeViewAngles, NonCentralEclipseLooksAtFortyFiveDegreesOnGammaSide) {
  struct Case {
    double gamma;
    double phiOffsetDeg;
    double expectedPhiDeg;
  };
  const Case cases[] = {{0.0, 0.0, 0.0},    {0.0, 12.5, 12.5},  {1.2, 0.0, 45.0},
                        {-1.3, 0.0, -45.0}, {1.2, -10.0, 35.0}, {-0.0, -3.0, -3.0}};
  for (const Case& c : cases) {
    ViewParameters view;
    view.Phi = c.phiOffsetDeg;
    view.Psi = 10.0;
    ViewCentre centre;
    centre.central = false;
    centre.gamma = c.gamma;
    centre.mu = 2.0;
    const GlobeProjection p = ComputeViewAngles(view, centre, 0.0);
    EXPECT_NEAR(p.TotalPhi() / kDeg, c.expectedPhiDeg, 1e-12) << c.gamma;
    EXPECT_NEAR(p.TotalPsi(), 10.0 * kDeg - 2.0, 1e-12);
  }
}

TEST(ComputeViewAngles, ChiNinetyPutsTheNorthPoleAtTheLeftOfTheDisc) {
  ViewParameters view;
  view.Chi = 90.0;
  const GlobeProjection p = ComputeViewAngles(view, CentralAt(30, 0), 0);
  const ProjectedPoint pole = p.ProjectPoint(0, 90 * kArcsecPerDeg);
  EXPECT_NEAR(pole.ScreenX, 800 - 500, 1e-9);
  EXPECT_NEAR(pole.ScreenY, 533, 1e-9);
  // Chi = -90 puts it at the right, Chi = 0 at the top.
  view.Chi = -90.0;
  EXPECT_NEAR(ComputeViewAngles(view, CentralAt(30, 0), 0).ProjectPoint(0, 324000).ScreenX, 1300,
              1e-9);
  view.Chi = 0.0;
  EXPECT_NEAR(ComputeViewAngles(view, CentralAt(30, 0), 0).ProjectPoint(0, 324000).ScreenY, 33,
              1e-9);
}

TEST(ComputeViewAngles, UniversalTimeMovesTheCentreEastByTheEarthsRotation) {
  for (double deltaT : {32.184, 69.2, 10000.0, -500.0}) {
    for (bool central : {true, false}) {
      ViewCentre centre = CentralAt(-20, 10);
      centre.central = central;
      centre.mu = 1.5;
      const ViewParameters view;
      const double tt = ComputeViewAngles(view, centre, 0.0).TotalPsi();
      const double ut = ComputeViewAngles(view, centre, deltaT).TotalPsi();
      EXPECT_NEAR((ut - tt) / kDeg, 1.0027379 * deltaT / 240.0, 1e-9) << deltaT;
    }
  }
}

TEST(ComputeViewAngles, OffsetsAddToTheCentreAndTheRadiusIsAtLeastOne) {
  ViewParameters view;
  view.Psi = 15;
  view.Phi = -5;
  view.RK = 0;
  const GlobeProjection p = ComputeViewAngles(view, CentralAt(100, 20), 0);
  EXPECT_NEAR(p.TotalPsi() / kDeg, 115, 1e-12);
  EXPECT_NEAR(p.TotalPhi() / kDeg, 15, 1e-12);
  EXPECT_EQ(p.RK(), 1);
  // The view centre itself then lies at the image centre: the point
  // (115 deg, 15 deg) comes to the front.
  const ProjectedPoint c = p.ProjectPoint(115 * kArcsecPerDeg, 15 * kArcsecPerDeg);
  EXPECT_NEAR(c.ScreenX, 800, 1e-9);
  EXPECT_NEAR(c.ScreenY, 533, 1e-9);
}

TEST(ProjectPoint, StereographicScaleAtTheCentreEqualsOrthographic) {
  ViewParameters ortho;
  ViewParameters stereo;
  stereo.Stereographic = true;
  const ViewCentre centre = CentralAt(0, 0);
  const ProjectedPoint a = ComputeViewAngles(ortho, centre, 0).ProjectPoint(36, 36);
  const ProjectedPoint b = ComputeViewAngles(stereo, centre, 0).ProjectPoint(36, 36);
  EXPECT_NEAR(a.ScreenX, b.ScreenX, 1e-6);
  EXPECT_NEAR(a.ScreenY, b.ScreenY, 1e-6);
  EXPECT_GT(a.ScreenX, 800);  // east to the right
  EXPECT_LT(a.ScreenY, 533);  // north up
}

TEST(ProjectPoint, UnitVectorPathMatchesArcsecondPath) {
  ViewParameters view;
  view.Chi = 33.3;
  for (bool stereographic : {false, true}) {
    view.Stereographic = stereographic;
    const GlobeProjection p = ComputeViewAngles(view, CentralAt(47, -61), 0);
    for (std::int64_t l = -648000; l <= 648000; l += 77777) {
      for (std::int64_t b = -324000; b <= 324000; b += 15555) {
        const UnitVector v = UnitVectorFromArcseconds(l, b);
        const ProjectedPoint a = p.ProjectPoint(l, b);
        const ProjectedPoint c = p.ProjectUnitVector(v.x, v.y, v.z);
        EXPECT_EQ(a.ScreenX, c.ScreenX);
        EXPECT_EQ(a.ScreenY, c.ScreenY);
        EXPECT_EQ(a.Depth, c.Depth);
        EXPECT_EQ(p.UnitVectorVisible(v.x, v.y, v.z), c.IsVisible());
      }
    }
  }
}

TEST(CurveLongitudeToArcseconds, ShiftsByTheRotationDuringDeltaT) {
  EXPECT_EQ(CurveLongitudeToArcseconds(0.0, 0.0), 0);
  EXPECT_EQ(CurveLongitudeToArcseconds(kPi / 2, 0.0), 90 * kArcsecPerDeg);
  // 13713.44 s turn the Earth by one radian.
  EXPECT_EQ(CurveLongitudeToArcseconds(0.0, 13713.44), RadiansToArcseconds(1.0));
  EXPECT_EQ(RadiansToArcseconds(-kPi), -180 * kArcsecPerDeg);
}

}  // namespace
}  // namespace darvelle
