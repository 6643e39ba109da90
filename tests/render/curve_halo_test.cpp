// Halos under the curves on the coloured Earth, and the marker looks that
// the drawing and the legend share.

#include <gtest/gtest.h>

#include <cmath>

#include "render/curve_drawing.h"
#include "render/map.h"
#include "render_test_support.h"

namespace darvelle {
namespace {

using test::PixelAt;
using test::Rgb;

constexpr double kPi = 3.141592653589793;
constexpr double kDeg = kPi / 180.0;
constexpr Rgb kDeepOcean = {10, 20, 80};

QImage OceanImage() {
  QImage image(kMapWidth, kMapHeight, QImage::Format_RGB888);
  image.fill(QColor(kDeepOcean[0], kDeepOcean[1], kDeepOcean[2]));
  return image;
}

// A north penumbral limit along the equator from 40 deg west to 40 deg east:
// on a globe facing (0, 0) it is the horizontal image row 533.
CurveSet EquatorCurve() {
  CurveSet curves;
  for (int lon = -40; lon <= 40; lon += 2) {
    EXPECT_TRUE(curves.northPenumbra.Append({lon * kDeg, 0.0}));
  }
  curves.northPenumbra.SetReady(true);
  return curves;
}

int Brightness(const Rgb& c) { return c[0] + c[1] + c[2]; }

TEST(CurveHalos, LightenTheBackgroundBesideTheCurveAndLeaveTheCurvesColour) {
  const CurveSet curves = EquatorCurve();
  const EclipseEvents events;
  const GlobeProjection view(0, 0, 0, 500, false);
  struct Case {
    int penWidth;
    int curveRows;  // rows the curve covers round row 533
  };
  for (const Case c : {Case{1, 0}, Case{3, 1}}) {
    QImage image = OceanImage();
    DrawCurveHalos(image, curves, events, 0.0, c.penWidth, view);
    DrawCurves(image, curves, events, 0.0, c.penWidth, view);
    for (int x = 700; x <= 900; x += 25) {
      EXPECT_EQ(PixelAt(image, x, 533), (Rgb{0, 0, 0})) << x;
      // The first row beyond the curve on either side is lighter than the
      // ocean; two rows beyond the halo the ocean is untouched.
      const int beside = c.curveRows + 1;
      for (int y : {533 - beside, 533 + beside}) {
        EXPECT_GT(Brightness(PixelAt(image, x, y)), Brightness(kDeepOcean) + 200) << x << "," << y;
      }
      for (int y : {533 - beside - 2, 533 + beside + 2}) {
        EXPECT_EQ(PixelAt(image, x, y), kDeepOcean) << x << "," << y;
      }
    }
  }
}

TEST(CurveHalos, CurvesBehindTheGlobeGetNone) {
  const CurveSet curves = EquatorCurve();
  QImage image = OceanImage();
  // Facing longitude 180: the whole curve is on the far side.
  DrawCurveHalos(image, curves, EclipseEvents{}, 0.0, 1, GlobeProjection(kPi, 0, 0, 500, false));
  EXPECT_EQ(image, OceanImage());
}

// A central eclipse at (0, 0) with the equator curve of EquatorCurve.
EclipseResult EclipseWithACurve() {
  EclipseResult c;
  c.timeScale = TimeScale::kTerrestrial;
  c.deltaT = 0.0;
  c.circumstances.complete = true;
  EclipseEvent& tg0 = c.circumstances.events[EventId::TG0];
  tg0.Time = 0.25;
  tg0.CentralKind = CentralKind::Total;
  c.curves = EquatorCurve();
  return c;
}

class CurveHalosOnTheMap : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureGuiApplication(); }
  QImage Draw(bool colored, bool halos, const EarthTexture& texture) {
    ViewParameters view;
    view.ColoredEarth = colored;
    view.CurveHalos = halos;
    MapRenderer renderer;
    renderer.DrawMap(EclipseWithACurve(), view, texture, coastlines_);
    return renderer.DrawingImage();
  }
  CoastlineLayer coastlines_{std::vector<CoastlinePoint>{{10.0, 10.0}, {-20.0, -5.0}}};
};

TEST_F(CurveHalosOnTheMap, ThePlainMapIsUnchanged) {
  const EarthTexture none;
  EXPECT_EQ(Draw(false, true, none), Draw(false, false, none));
}

TEST_F(CurveHalosOnTheMap, TheColouredMapChangesOnlyBesideTheCurves) {
  const EarthTexture texture = test::SyntheticTexture();
  const QImage plain = Draw(true, false, texture);
  const QImage haloed = Draw(true, true, texture);
  int changed = 0;
  for (int y = 0; y < kMapHeight; ++y) {
    for (int x = 0; x < kMapWidth; ++x) {
      if (PixelAt(plain, x, y) == PixelAt(haloed, x, y)) continue;
      ++changed;
      // Within the halo's reach of the curve (row 533, longitudes +-40 deg).
      ASSERT_LE(std::abs(y - 533), 1 + kCurveHaloMargin) << x << "," << y;
      ASSERT_LE(std::abs(x - 800), std::lround(500 * std::sin(40 * kDeg)) + 2) << x << "," << y;
    }
  }
  EXPECT_GT(changed, 500);
  // The curve itself and the greatest-eclipse marker keep their pixels.
  EXPECT_EQ(PixelAt(haloed, 700, 533), (Rgb{0, 0, 0}));
  EXPECT_EQ(PixelAt(haloed, 800, 533), PixelAt(plain, 800, 533));
}

TEST(MarkerLookOf, TheMarkersOfEveryKind) {
  struct Case {
    MarkerKind kind;
    CentralKind centralKind;
    int radius;
    QRgb fill, outline;
    int outlineWidth;
  };
  const Case cases[] = {
      {MarkerKind::Contact, CentralKind::None, 4, qRgb(0, 128, 0), qRgb(0, 0, 0), 1},
      {MarkerKind::InnerContact, CentralKind::None, 4, qRgb(255, 0, 0), qRgb(0, 0, 0), 1},
      {MarkerKind::LimitOnLimb, CentralKind::None, 4, qRgb(0, 0, 255), qRgb(0, 0, 0), 1},
      {MarkerKind::CentralEnd, CentralKind::Total, 8, qRgb(0, 0, 0), qRgb(255, 255, 255), 3},
      {MarkerKind::CentralEnd, CentralKind::Annular, 8, qRgb(0, 0, 0), qRgb(255, 255, 0), 3},
      {MarkerKind::Greatest, CentralKind::Total, 8, qRgb(0, 0, 0), qRgb(255, 255, 255), 3},
      {MarkerKind::Greatest, CentralKind::Annular, 8, qRgb(0, 0, 0), qRgb(255, 255, 0), 3},
  };
  for (const Case& c : cases) {
    const std::optional<MarkerLook> look = MarkerLookOf(c.kind, c.centralKind);
    ASSERT_TRUE(look.has_value());
    EXPECT_EQ(look->radius, c.radius);
    EXPECT_EQ(look->fill, c.fill);
    EXPECT_EQ(look->outline, c.outline);
    EXPECT_EQ(look->outlineWidth, c.outlineWidth);
  }
  EXPECT_FALSE(MarkerLookOf(MarkerKind::None, CentralKind::None).has_value());
}

}  // namespace
}  // namespace darvelle
