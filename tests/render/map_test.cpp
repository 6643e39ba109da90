#include "render/map.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/constants.h"
#include "render_test_support.h"

namespace darvelle {
namespace {

using test::IsWhite;
using test::PixelAt;
using test::Rgb;

constexpr double kDeg = kPi / 180.0;
constexpr Rgb kBackground = {216, 216, 216};
constexpr Rgb kOutline = {168, 168, 168};

// A central eclipse whose greatest eclipse lies at (lonDeg, latDeg).
EclipseResult CentralEclipse(double lonDeg, double latDeg, CentralKind centralKind = CentralKind::Total) {
  EclipseResult c;
  c.timeScale = TimeScale::kTerrestrial;
  c.deltaT = 0.0;
  c.circumstances.complete = true;
  EclipseEvent& tg0 = c.circumstances.events[EventId::TG0];
  tg0.Time = 0.25;
  tg0.EphemerisLongitude = lonDeg * kDeg;
  tg0.Latitude = latDeg * kDeg;
  tg0.CentralKind = centralKind;
  return c;
}

class MapTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureGuiApplication(); }
  EarthTexture noTexture_;
  CoastlineLayer noCoastlines_;
};

// The first pixel from the right on image row y that is not white.
int FirstNonWhiteFromRight(const QImage& image, int y) {
  for (int x = image.width() - 1; x >= 0; --x) {
    if (!IsWhite(PixelAt(image, x, y))) return x;
  }
  return -1;
}

TEST_F(MapTest, OrthographicGlobeIsGreyOnWhiteWithAnOutlineJustOutsideTheRadius) {
  for (bool colored : {false, true}) {
    for (int rk : {200, 500}) {
      MapRenderer renderer;
      ViewParameters view;
      view.RK = rk;
      view.ColoredEarth = colored;
      const EarthTexture texture = colored ? test::SyntheticTexture() : EarthTexture{};
      const EclipseResult c = CentralEclipse(5, 5);
      renderer.DrawMap(c, view, texture, noCoastlines_);
      const QImage& image = renderer.DrawingImage();
      const int right = FirstNonWhiteFromRight(image, 533);
      EXPECT_GE(right, 800 + rk) << rk;
      EXPECT_LE(right, 800 + rk + 2) << rk;
      EXPECT_EQ(PixelAt(image, right, 533), kOutline);
      EXPECT_TRUE(IsWhite(PixelAt(image, 800 + rk + 4, 533)));
      EXPECT_TRUE(IsWhite(PixelAt(image, 0, 0)));
      EXPECT_TRUE(IsWhite(PixelAt(image, 1599, 1065)));
      // Left, top and bottom of the outline too.
      EXPECT_TRUE(PixelAt(image, 800 - rk - 1, 533) == kOutline ||
                  PixelAt(image, 800 - rk - 2, 533) == kOutline);
      bool outlineAbove = false;
      for (int y = 533 - rk - 3; y <= 533 - rk + 1; ++y) {
        outlineAbove = outlineAbove || PixelAt(image, 800, y) == kOutline;
      }
      EXPECT_TRUE(outlineAbove);
      // Inside, away from the graticule (the view faces 5 deg N, 5 deg E).
      const Rgb inside = PixelAt(image, 820, 540);
      if (colored) {
        EXPECT_NE(inside, kBackground);
        EXPECT_FALSE(IsWhite(inside));
      } else {
        EXPECT_EQ(inside, kBackground);
      }
    }
  }
}

TEST_F(MapTest, StereographicBackgroundIsGreyEverywhereWithoutOutline) {
  MapRenderer renderer;
  ViewParameters view;
  view.Stereographic = true;
  const EclipseResult c = CentralEclipse(5, 5);
  renderer.DrawMap(c, view, noTexture_, noCoastlines_);
  const QImage& image = renderer.DrawingImage();
  int background = 0;
  for (int y = 0; y < kMapHeight; y += 2) {
    for (int x = 0; x < kMapWidth; x += 2) {
      const Rgb p = PixelAt(image, x, y);
      if (std::hypot(x - 800, y - 533) < 12) continue;  // the TG0 marker's white outline
      ASSERT_FALSE(IsWhite(p)) << x << "," << y;
      ASSERT_NE(p, kOutline) << x << "," << y;
      background += p == kBackground ? 1 : 0;
    }
  }
  EXPECT_GT(background, 400000);
  EXPECT_EQ(PixelAt(image, 0, 0), kBackground);
  EXPECT_EQ(PixelAt(image, 1599, 1065), kBackground);
}

// Pixels of one grey level anywhere in the image.
int CountColour(const QImage& image, const Rgb& colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) n += PixelAt(image, x, y) == colour ? 1 : 0;
  }
  return n;
}

TEST_F(MapTest, GraticuleIsLighterOverTheTexture) {
  const EarthTexture texture = test::SyntheticTexture();
  for (bool colored : {false, true}) {
    MapRenderer renderer;
    ViewParameters view;
    view.ColoredEarth = colored;
    renderer.DrawMap(CentralEclipse(5, 5), view, texture, noCoastlines_);
    const int light = CountColour(renderer.DrawingImage(), {208, 208, 208});
    const int dark = CountColour(renderer.DrawingImage(), {144, 144, 144});
    if (colored) {
      EXPECT_GT(light, 5000);
      EXPECT_EQ(dark, 0);
    } else {
      EXPECT_GT(dark, 5000);
      EXPECT_EQ(light, 0);
    }
  }
}

TEST_F(MapTest, CoastlinePointsAreBlackPixelsAtTheirProjections) {
  const std::vector<CoastlinePoint> points = {
      {10.0, 20.0}, {10.0001, 20.0001}, {-30.5, -12.25}, {175.0, 5.0}, {-5.5, 1.5}};
  const CoastlineLayer layer(points);
  MapRenderer renderer;
  const ViewParameters view;
  const EclipseResult c = CentralEclipse(0, 0);
  renderer.DrawMap(c, view, noTexture_, layer);
  const GlobeProjection projection = *renderer.LastView();
  const QImage& image = renderer.DrawingImage();
  for (const CoastlinePoint& p : points) {
    const ProjectedPoint q = projection.ProjectPoint(RoundHalfEven(p.longitude * 3600),
                                                     RoundHalfEven(p.latitude * 3600));
    const int x = static_cast<int>(RoundHalfEven(q.ScreenX));
    const int y = static_cast<int>(RoundHalfEven(q.ScreenY));
    if (q.IsVisible()) {
      EXPECT_EQ(PixelAt(image, x, y), (Rgb{0, 0, 0})) << p.longitude;
    } else {
      EXPECT_NE(PixelAt(image, x, y), (Rgb{0, 0, 0})) << p.longitude;  // 175 deg: behind
    }
  }
}

TEST_F(MapTest, DrawingImagesAlternateAndTheDisplayCopyIsScaled) {
  MapRenderer renderer;
  EXPECT_EQ(renderer.DrawIndex(), 0);
  const EclipseResult c = CentralEclipse(0, 0);
  const ViewParameters view;
  struct Case {
    int panelWidth;
    int width;
    int height;
    int drawIndex;
  };
  const Case cases[] = {
      {800, 1000, 666, 1}, {1200, 1200, 800, 0}, {2000, 1440, 960, 1}, {1000, 1000, 666, 0}};
  for (const Case& k : cases) {
    renderer.DrawMap(c, view, noTexture_, noCoastlines_, k.panelWidth);
    EXPECT_EQ(renderer.DrawIndex(), k.drawIndex);
    EXPECT_EQ(renderer.DisplayImage().width(), k.width);
    EXPECT_EQ(renderer.DisplayImage().height(), k.height);
    EXPECT_EQ(renderer.DrawingImage().size(), QSize(1600, 1066));
    EXPECT_EQ(renderer.DrawingImage().format(), kMapImageFormat);
  }
  // A drawing for a file asks for no copy: the last one shown stays.
  renderer.DrawMap(c, view, noTexture_, noCoastlines_, kNoDisplayImage);
  EXPECT_EQ(renderer.DisplayImage().width(), 1000);
  EXPECT_EQ(renderer.DrawIndex(), 1);
  // The scaled copy keeps the picture: the globe's centre stays grey.
  renderer.ShowMap(1000);
  const QImage& display = renderer.DisplayImage();
  EXPECT_EQ(display.width(), 1000);
  EXPECT_TRUE(IsWhite(PixelAt(display, 5, 5)));
  EXPECT_FALSE(IsWhite(PixelAt(display, 500 + 100, 333 + 5)));
}

TEST_F(MapTest, TimeScaleSwitchKeepsTheEclipseAndMovesTheEarth) {
  // One coastline point near the centre; greatest eclipse at the centre.
  const CoastlineLayer layer(std::vector<CoastlinePoint>{{0.5, 3.0}});
  EclipseResult c = CentralEclipse(0, 0);
  c.modelDeltaT = 691.2;  // large, so that the shift is plain to see
  c.timeScale = TimeScale::kTerrestrial;
  ViewParameters view;
  MapRenderer renderer;

  auto blackColumn = [](const QImage& image) {
    for (int x = 700; x < 900; ++x) {
      for (int y = 500; y < 540; ++y) {
        const Rgb p = PixelAt(image, x, y);
        // The marker is black too: look only outside its 10-pixel disc.
        if (p == Rgb{0, 0, 0} && std::hypot(x - 800, y - 533) > 10) return x;
      }
    }
    return -1;
  };

  for (bool ut : {false, true}) {
    SetTimeScale(c, ut ? TimeScale::kUniversal : TimeScale::kTerrestrial);
    renderer.DrawMap(c, view, noTexture_, layer);
    const QImage& image = renderer.DrawingImage();
    EXPECT_EQ(PixelAt(image, 800, 533), (Rgb{0, 0, 0}));         // TG0 fill
    EXPECT_EQ(PixelAt(image, 808, 533), (Rgb{255, 255, 255}));   // its white outline
    const int x = blackColumn(image);
    const double shift = ut ? 691.2 / 13713.44 : 0.0;             // radians
    const int expected = static_cast<int>(
        std::lround(800 + 500 * std::sin(0.5 * kDeg - shift) * std::cos(3.0 * kDeg)));
    EXPECT_NEAR(x, expected, 1) << (ut ? "UT" : "TT");
  }
}

TEST_F(MapTest, LayersLieInTheirOrder) {
  // A central line through the centre under the TG0 marker; a coastline
  // point under the line's pixels loses to the line.
  EclipseResult c = CentralEclipse(0, 0, CentralKind::Annular);
  for (int lon = -20; lon <= 20; lon += 2) {
    CentralLinePoint p;
    p.Longitude = lon * kDeg;
    p.CentralKind = CentralKind::Total;
    ASSERT_TRUE(c.curves.centralLine.Append(p));
  }
  c.curves.centralLine.SetReady(true);
  const CoastlineLayer layer(std::vector<CoastlinePoint>{{10.0, 0.0001}});
  MapRenderer renderer;
  ViewParameters view;
  const DrawnCurves drawn = renderer.DrawMap(c, view, noTexture_, layer);
  const QImage& image = renderer.DrawingImage();
  EXPECT_EQ(PixelAt(image, 800, 533), (Rgb{0, 0, 0}));      // marker over the line
  EXPECT_EQ(PixelAt(image, 808, 533), (Rgb{255, 255, 0}));  // annular: yellow outline
  const int x10 = static_cast<int>(std::lround(800 + 500 * std::sin(10 * kDeg)));
  EXPECT_EQ(PixelAt(image, x10, 533), (Rgb{255, 0, 0}));    // line over the coast point
  EXPECT_EQ(drawn.PointCount(MapCurve::CentralLine), 21);

  // Without the completion flag no marker is drawn.
  c.circumstances.complete = false;
  renderer.DrawMap(c, view, noTexture_, layer);
  EXPECT_EQ(PixelAt(renderer.DrawingImage(), 800, 533), (Rgb{255, 0, 0}));
}

TEST_F(MapTest, NonCentralEclipseFacesFortyFiveDegreesOnTheShadowsSide) {
  EclipseResult c;
  c.elements.gamma = -1.1;
  c.atGreatest.Mu = 30 * kDeg;
  MapRenderer renderer;
  const ViewParameters view;
  renderer.DrawMap(c, view, noTexture_, noCoastlines_);
  ASSERT_TRUE(renderer.LastView().has_value());
  EXPECT_NEAR(renderer.LastView()->TotalPhi() / kDeg, -45.0, 1e-12);
  EXPECT_NEAR(renderer.LastView()->TotalPsi() / kDeg, -30.0, 1e-12);
}

}  // namespace
}  // namespace darvelle
