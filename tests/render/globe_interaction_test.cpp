#include "render/globe_interaction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace darvelle {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDeg = kPi / 180.0;

struct View {
  double psiDeg, phiDeg, chiDeg;
  int rk;
  bool stereographic;
  GlobeProjection Projection() const {
    return GlobeProjection(psiDeg * kDeg, phiDeg * kDeg, chiDeg * kDeg, rk, stereographic);
  }
};

// Views of every kind: both projections, turned, tilted, small and large.
const std::vector<View> kViews = {
    {0, 0, 0, 500, false},      {-104.1, 25.3, 0, 500, false}, {170, -60, 35, 300, false},
    {-179.5, 89, -120, 2500, false}, {45, 0, 90, 150, false},  {0, 0, 0, 500, true},
    {-104.1, 25.3, 0, 500, true},    {170, -60, 35, 300, true}, {12, 80, -150, 2000, true},
};

// The projection of a unit vector as an image position.
ImagePosition Project(const GlobeProjection& g, const UnitVector& v) {
  const ProjectedPoint p = g.ProjectUnitVector(v.x, v.y, v.z);
  return {p.ScreenX, p.ScreenY};
}

// The angle between two longitudes, whatever their turn.
double LongitudeDifference(double a, double b) { return std::abs(WrappedDegrees(a - b)); }

TEST(UnprojectPixel, InvertsProjectPointForEveryVisiblePlace) {
  std::mt19937_64 random(7);
  std::uniform_int_distribution<std::int64_t> longitude(-180 * 3600, 180 * 3600);
  std::uniform_int_distribution<std::int64_t> latitude(-90 * 3600, 90 * 3600);
  for (const View& view : kViews) {
    const GlobeProjection g = view.Projection();
    int checked = 0;
    for (int i = 0; i < 4000; ++i) {
      const std::int64_t l = longitude(random), b = latitude(random);
      const ProjectedPoint p = g.ProjectPoint(l, b);
      if (!p.IsVisible()) continue;
      const std::optional<GeoPosition> back = UnprojectPixel(g, {p.ScreenX, p.ScreenY});
      ASSERT_TRUE(back.has_value()) << l << " " << b;
      EXPECT_NEAR(back->latitude, b / 3600.0, 1e-7);
      // Longitude is meaningless at the poles.
      if (std::abs(b) < 90 * 3600 - 1) {
        EXPECT_NEAR(LongitudeDifference(back->longitude, l / 3600.0), 0.0, 1e-7 / std::cos(b / 3600.0 * kDeg));
      }
      ++checked;
    }
    EXPECT_GT(checked, 1000) << view.psiDeg;
  }
}

TEST(UnprojectPixel, PixelsOnTheGlobeProjectBackToThemselves) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> x(0.0, kMapWidth), y(0.0, kMapHeight);
  for (const View& view : kViews) {
    const GlobeProjection g = view.Projection();
    for (int i = 0; i < 4000; ++i) {
      const ImagePosition pixel{x(random), y(random)};
      const std::optional<UnitVector> v = UnprojectToUnitVector(g, pixel);
      if (!v) continue;
      EXPECT_NEAR(std::hypot(v->x, v->y, v->z), 1.0, 1e-12);
      const ImagePosition back = Project(g, *v);
      EXPECT_NEAR(back.x, pixel.x, 1e-6);
      EXPECT_NEAR(back.y, pixel.y, 1e-6);
    }
  }
}

TEST(UnprojectPixel, OffTheGlobe) {
  const GlobeProjection ortho = View{0, 0, 0, 500, false}.Projection();
  const GlobeProjection stereo = View{0, 0, 0, 500, true}.Projection();
  struct Case {
    const GlobeProjection* view;
    ImagePosition pixel;
    bool onGlobe;
  };
  const Case cases[] = {
      {&ortho, {800, 533}, true},          {&ortho, {1299.9, 533}, true},
      {&ortho, {1300.1, 533}, false},      {&ortho, {800, 533 - 500.5}, false},
      {&ortho, {0, 0}, false},             {&stereo, {0, 0}, true},
      {&stereo, {1799, 533}, true},        // the limb lies at twice the radius
      {&stereo, {800 + 2e5, 533}, false},  // the hidden cap round the antipode
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UnprojectPixel(*c.view, c.pixel).has_value(), c.onGlobe)
        << c.pixel.x << " " << c.pixel.y << " " << c.view->Stereographic();
  }
}

TEST(UnprojectPixel, KnownPlaces) {
  struct Case {
    View view;
    ImagePosition pixel;
    double latitude, longitude;
  };
  const Case cases[] = {
      // The centre is the view's own longitude and latitude.
      {{-104.1, 25.3, 0, 500, false}, {800, 533}, 25.3, -104.1},
      // Half a radius right of the centre on the equator: 30 deg east.
      {{10, 0, 0, 500, false}, {1050, 533}, 0, 40},
      // Half a radius up: 30 deg north; with Chi 90 the same place lies left.
      {{10, 0, 0, 500, false}, {800, 283}, 30, 10},
      {{10, 0, 90, 500, false}, {550, 533}, 30, 10},
      // Stereographic: the limb (90 deg from the centre) at twice the radius.
      {{0, 0, 0, 500, true}, {1800, 533}, 0, 90},
  };
  for (const Case& c : cases) {
    const std::optional<GeoPosition> p = UnprojectPixel(c.view.Projection(), c.pixel);
    ASSERT_TRUE(p.has_value());
    EXPECT_NEAR(p->latitude, c.latitude, 1e-9) << c.pixel.x << " " << c.pixel.y;
    EXPECT_NEAR(p->longitude, c.longitude, 1e-9) << c.pixel.x << " " << c.pixel.y;
  }
}

GlobeProjection AfterChange(const GlobeProjection& g, const ViewChange& change) {
  return GlobeProjection(g.TotalPsi() + change.psi * kDeg, g.TotalPhi() + change.phi * kDeg,
                         g.TotalChi() + change.chi * kDeg, change.radius, g.Stereographic());
}

TEST(DragTurn, TheGrabbedPointStaysUnderTheCursor) {
  std::mt19937_64 random(3);
  std::uniform_real_distribution<double> offset(-120.0, 120.0);
  for (const View& view : kViews) {
    const GlobeProjection g = view.Projection();
    std::uniform_real_distribution<double> x(800 - view.rk * 0.7, 800 + view.rk * 0.7);
    std::uniform_real_distribution<double> y(533 - view.rk * 0.7, 533 + view.rk * 0.7);
    int checked = 0;
    for (int i = 0; i < 500; ++i) {
      const ImagePosition from{x(random), y(random)};
      const ImagePosition to{from.x + offset(random), from.y + offset(random)};
      const std::optional<UnitVector> grabbed = UnprojectToUnitVector(g, from);
      const std::optional<UnitVector> aimed = UnprojectToUnitVector(g, to);
      if (!grabbed || !aimed) continue;
      // With Chi held, a point keeps its distance from the polar axis across
      // the picture: a point at latitude b can reach the cursor only where
      // the cursor, seen after the turn by Psi, lies within cos b of it.
      const double reach = std::hypot(grabbed->x, grabbed->z);
      const double aimedAcross = aimed->x * g.CosPsi() - aimed->z * g.SinPsi();
      const bool reachable = std::abs(aimedAcross) <= reach;
      const ViewChange change = DragTurn(g, from, to);
      EXPECT_EQ(change.chi, 0.0);
      EXPECT_EQ(change.radius, view.rk);
      const GlobeProjection turned = AfterChange(g, change);
      const ImagePosition landed = Project(turned, *grabbed);
      // The centre never goes over a pole; where the drag would need that,
      // the point cannot follow.
      if (std::abs(turned.TotalPhi()) >= kPi / 2.0 - 1e-9) continue;
      if (!reachable) {
        // Out of reach it comes nearer than it was, at least.
        EXPECT_LT(std::hypot(landed.x - to.x, landed.y - to.y),
                  std::hypot(from.x - to.x, from.y - to.y) + 1e-9);
        continue;
      }
      EXPECT_NEAR(landed.x, to.x, 1e-6) << view.psiDeg << " " << from.x << " " << from.y;
      EXPECT_NEAR(landed.y, to.y, 1e-6) << view.psiDeg << " " << from.x << " " << from.y;
      ++checked;
    }
    EXPECT_GT(checked, 300) << view.psiDeg;
  }
}

TEST(DragTurn, KnownDrags) {
  struct Case {
    View view;
    ImagePosition from, to;
    double psi, phi;
  };
  const Case cases[] = {
      // From the centre half a radius to the right: the view turns 30 deg west.
      {{0, 0, 0, 500, false}, {800, 533}, {1050, 533}, -30, 0},
      // Half a radius up: the view goes 30 deg south.
      {{0, 0, 0, 500, false}, {800, 533}, {800, 283}, 0, -30},
      // With the picture turned by 90 deg, a drag to the right tilts instead.
      {{0, 0, 90, 500, false}, {800, 533}, {1050, 533}, 0, 30},
      // Off the globe: one radian per globe radius.
      {{0, 0, 0, 100, false}, {1500, 100}, {1500 + 100 * kPi / 18, 100}, -10, 0},
      // A drag across the date line stays a small turn.
      {{179, 0, 0, 500, false}, {800, 533}, {800 - 500 * std::sin(3 * kDeg), 533}, 3, 0},
  };
  for (const Case& c : cases) {
    const ViewChange change = DragTurn(c.view.Projection(), c.from, c.to);
    EXPECT_NEAR(change.psi, c.psi, 1e-9) << c.to.x << " " << c.to.y;
    EXPECT_NEAR(change.phi, c.phi, 1e-9) << c.to.x << " " << c.to.y;
  }
}

TEST(DragTurn, NeverTurnsTheViewOverAPole) {
  // Dragging the north pole region far downwards would need a centre beyond
  // 90 deg north: the view stops at the pole.
  const GlobeProjection g = View{0, 70, 0, 500, false}.Projection();
  const ViewChange change = DragTurn(g, {800, 300}, {800, 1000});
  EXPECT_LE(g.TotalPhi() / kDeg + change.phi, 90.0 + 1e-9);
  EXPECT_GT(change.phi, 0.0);
}

TEST(TiltTurn, FollowsTheAngleSweptRoundTheCentre) {
  const GlobeProjection g = View{0, 0, 10, 500, false}.Projection();
  struct Case {
    ImagePosition from, to;
    double chi;
  };
  const Case cases[] = {
      {{1000, 533}, {800, 333}, 90},    // a quarter turn counter-clockwise
      {{1000, 533}, {800, 733}, -90},   // clockwise
      {{600, 533}, {1000, 533.001}, 180 - 0.001 / 200 / kDeg},
      {{800, 533}, {1000, 533}, 0},     // from the centre: nothing
  };
  for (const Case& c : cases) EXPECT_NEAR(TiltTurn(g, c.from, c.to).chi, c.chi, 1e-6);
  // After the tilt the point at the cursor's start is at its end.
  const ViewChange change = TiltTurn(g, {1000, 533}, {900, 300});
  const GlobeProjection turned = AfterChange(g, change);
  const UnitVector v = *UnprojectToUnitVector(g, {1000, 533});
  const ImagePosition landed = Project(turned, v);
  const double angle = std::atan2(533 - landed.y, landed.x - 800);
  EXPECT_NEAR(angle, std::atan2(233.0, 100.0), 1e-9);
}

TEST(ZoomAbout, KeepsThePointUnderTheCursorWithinTheSizeRange) {
  struct Case {
    View view;
    ImagePosition cursor;
    double notches;
    int radius;
  };
  const Case cases[] = {
      {{0, 0, 0, 500, false}, {900, 400}, 1, 600},
      {{0, 0, 0, 500, false}, {900, 400}, -1, 417},
      {{30, 40, 20, 500, true}, {1200, 800}, 2, 720},
      {{0, 0, 0, 9000, false}, {850, 500}, 3, kLargestGlobeRadius},
      {{0, 0, 0, 110, false}, {850, 500}, -2, kSmallestGlobeRadius},
      {{0, 0, 0, 500, false}, {850, 500}, 0, 500},
  };
  for (const Case& c : cases) {
    const GlobeProjection g = c.view.Projection();
    const ViewChange change = ZoomAbout(g, c.cursor, c.notches);
    EXPECT_EQ(change.radius, c.radius);
    EXPECT_EQ(change.chi, 0.0);
    const UnitVector held = *UnprojectToUnitVector(g, c.cursor);
    const ImagePosition landed = Project(AfterChange(g, change), held);
    EXPECT_NEAR(landed.x, c.cursor.x, 1e-6) << c.notches;
    EXPECT_NEAR(landed.y, c.cursor.y, 1e-6) << c.notches;
  }
}

TEST(ZoomAbout, OffTheGlobeZoomsAboutTheCentre) {
  const GlobeProjection g = View{20, 10, 0, 300, false}.Projection();
  const ViewChange change = ZoomAbout(g, {10, 10}, 1);
  EXPECT_EQ(change.radius, 360);
  EXPECT_EQ(change.psi, 0.0);
  EXPECT_EQ(change.phi, 0.0);
}

TEST(CentreOn, BringsThePointToTheCentre) {
  for (const View& view : kViews) {
    const GlobeProjection g = view.Projection();
    for (const ImagePosition pixel : {ImagePosition{900, 450}, ImagePosition{700, 600}}) {
      const std::optional<ViewChange> change = CentreOn(g, pixel);
      ASSERT_TRUE(change.has_value());
      const ImagePosition landed = Project(AfterChange(g, *change), *UnprojectToUnitVector(g, pixel));
      EXPECT_NEAR(landed.x, kGlobeCentreX, 1e-6);
      EXPECT_NEAR(landed.y, kGlobeCentreY, 1e-6);
    }
  }
  EXPECT_FALSE(CentreOn(View{0, 0, 0, 100, false}.Projection(), {10, 10}).has_value());
}

TEST(ArrowPan, RightShowsWhatLiesToTheRight) {
  const GlobeProjection g = View{0, 0, 0, 500, false}.Projection();
  struct Case {
    int columns, rows;
    double psiSign, phiSign;
  };
  const Case cases[] = {{1, 0, 1, 0}, {-1, 0, -1, 0}, {0, -1, 0, 1}, {0, 1, 0, -1}};
  for (const Case& c : cases) {
    const ViewChange change = ArrowPan(g, c.columns, c.rows);
    EXPECT_NEAR(change.psi, c.psiSign * std::asin(0.2) / kDeg, 1e-9);
    EXPECT_NEAR(change.phi, c.phiSign * std::asin(0.2) / kDeg, 1e-9);
  }
  // A large globe pans by at most 100 pixels.
  const ViewChange large = ArrowPan(View{0, 0, 0, 5000, false}.Projection(), 1, 0);
  EXPECT_NEAR(large.psi, std::asin(100.0 / 5000.0) / kDeg, 1e-9);
}

TEST(Applied, AddsTheChangeAndWrapsTheAngles) {
  ViewParameters view;
  view.Psi = 170;
  view.Phi = 10;
  view.Chi = -170;
  view.RK = 500;
  view.ColoredEarth = true;
  const ViewParameters after = Applied(view, {20, -5, -20, 0});
  EXPECT_DOUBLE_EQ(after.Psi, -170);
  EXPECT_DOUBLE_EQ(after.Phi, 5);
  EXPECT_DOUBLE_EQ(after.Chi, 170);
  EXPECT_EQ(after.RK, 500);
  EXPECT_TRUE(after.ColoredEarth);
  EXPECT_EQ(Applied(view, {0, 0, 0, 720}).RK, 720);
  EXPECT_DOUBLE_EQ(WrappedDegrees(-180), 180);
  EXPECT_DOUBLE_EQ(WrappedDegrees(540), 180);
}

}  // namespace
}  // namespace darvelle
