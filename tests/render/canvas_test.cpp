// The map on a canvas other than the files' 1600 x 1066: the window's panel.
#include <gtest/gtest.h>

#include <cmath>

#include "astro/constants.h"
#include "render/curve_drawing.h"
#include "render/globe_interaction.h"
#include "render/map.h"
#include "render_test_support.h"

namespace darvelle {
namespace {

using test::IsWhite;
using test::PixelAt;

constexpr double kDeg = kPi / 180.0;

// Greatest eclipse at (lonDeg, latDeg); the northern penumbral limit a ring
// of `ringDeg` round it, so the eclipse's area is a disc of that radius.
EclipseResult RingEclipse(double lonDeg, double latDeg, double ringDeg) {
  EclipseResult c;
  c.timeScale = TimeScale::kTerrestrial;
  c.circumstances.complete = true;
  EclipseEvent& tg0 = c.circumstances.events[EventId::TG0];
  tg0.Time = 0.25;
  tg0.EphemerisLongitude = lonDeg * kDeg;
  tg0.Latitude = latDeg * kDeg;
  tg0.CentralKind = CentralKind::Total;
  for (int k = 0; k <= 360; ++k) {
    // Points at angular distance ringDeg from the centre, by the sphere's
    // own formulas for a destination along a bearing.
    const double bearing = k * kDeg, d = ringDeg * kDeg, lat0 = latDeg * kDeg;
    const double lat = std::asin(std::sin(lat0) * std::cos(d) + std::cos(lat0) * std::sin(d) * std::cos(bearing));
    const double lon = lonDeg * kDeg + std::atan2(std::sin(bearing) * std::sin(d) * std::cos(lat0),
                                                  std::cos(d) - std::sin(lat0) * std::sin(lat));
    c.curves.northPenumbra.Append({lon, lat});
  }
  c.curves.northPenumbra.SetReady(true);
  return c;
}

class CanvasTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureGuiApplication(); }
  const EarthTexture texture_ = test::SyntheticTexture();
  const CoastlineLayer coastlines_{std::vector<CoastlinePoint>{{2.0, 3.0}, {-4.0, 1.0}, {30.0, -20.0}}};
};

// At pixel ratio 1 a screen canvas shows the files' globe, pixel for pixel
// round its own centre: the same view, textures, curves and the texture's
// row above the centre; only the margins differ.
TEST_F(CanvasTest, ScreenCanvasShowsTheFilesGlobeRoundItsCentre) {
  const EclipseResult c = RingEclipse(10, 20, 15);
  for (const bool stereographic : {false, true}) {
    ViewParameters view;
    view.RK = 300;
    view.Psi = 7;
    view.Chi = 20;
    view.ColoredEarth = true;
    view.Stereographic = stereographic;
    MapRenderer files;
    files.DrawMap(c, view, texture_, coastlines_);
    for (const MapCanvas canvas : {MapCanvas{1000, 701, 1.0}, MapCanvas{2001, 1200, 1.0}}) {
      MapRenderer screen(canvas);
      screen.DrawMap(c, view, texture_, coastlines_);
      ASSERT_EQ(screen.DrawingImage().size(), QSize(canvas.width, canvas.height));
      EXPECT_EQ(screen.DisplayImage(), screen.DrawingImage());  // shown as drawn
      const int half = 330;  // past the globe's outline
      const QImage a = files.DrawingImage().copy(800 - half, 533 - half, 2 * half, 2 * half);
      const QImage b = screen.DrawingImage().copy(canvas.width / 2 - half, canvas.height / 2 - half, 2 * half, 2 * half);
      EXPECT_EQ(a, b) << canvas.width << "x" << canvas.height << " stereographic " << stereographic;
    }
  }
}

// At pixel ratio 2 the globe's disc is twice the size in pixels, round the
// canvas centre; a pixel and its place go back and forth through the view.
TEST_F(CanvasTest, PixelRatioScalesTheGlobeAndTheMouseAgrees) {
  const EclipseResult c = RingEclipse(0, 0, 10);
  for (const double ratio : {1.0, 2.0}) {
    const MapCanvas canvas = ScreenCanvas(900, 650, ratio);
    ViewParameters view;
    view.RK = 250;
    MapRenderer renderer(canvas);
    renderer.DrawMap(c, view, EarthTexture{}, coastlines_);
    const QImage& image = renderer.DrawingImage();
    const int cy = canvas.height / 2;
    int left = 0, right = canvas.width - 1;
    while (IsWhite(PixelAt(image, left, cy))) ++left;
    while (IsWhite(PixelAt(image, right, cy))) --right;
    // The outline lies one pixel outside the disc of radius RK.
    EXPECT_NEAR((right - left) / 2.0, 250 * ratio + 1, 1.0) << ratio;
    EXPECT_NEAR((right + left) / 2.0, canvas.width / 2, 1.0) << ratio;

    const GlobeProjection& g = *renderer.LastView();
    for (const ImagePosition at : {ImagePosition{canvas.width * 0.5 + 120, cy - 77.0},
                                   ImagePosition{canvas.width * 0.5 - 240 * ratio, cy + 10.0}}) {
      const std::optional<UnitVector> v = UnprojectToUnitVector(g, at);
      ASSERT_TRUE(v.has_value());
      const ProjectedPoint back = g.ProjectUnitVector(v->x, v->y, v->z);
      EXPECT_NEAR(back.ScreenX, at.x, 1e-6);
      EXPECT_NEAR(back.ScreenY, at.y, 1e-6);
    }
    // Half the radius right of the centre lies 30 deg east on the equator.
    const std::optional<GeoPosition> east =
        UnprojectPixel(g, {canvas.width / 2 + 125.0 * ratio, static_cast<double>(cy)});
    ASSERT_TRUE(east.has_value());
    EXPECT_NEAR(east->longitude, 30.0, 1e-9);
    EXPECT_NEAR(east->latitude, 0.0, 1e-9);
    // Zooming speaks of the globe size, not of the canvas's pixels.
    EXPECT_EQ(ZoomAbout(g, {canvas.width / 2 + 50.0, cy + 20.0}, 1).radius, 300);
  }
}

// Fit to window: a small eclipse fills the canvas short of the margin; one
// spanning most of the globe brings the whole globe into the canvas.
TEST_F(CanvasTest, FitSizeFillsTheCanvasWithTheEclipseOrTheGlobe) {
  struct Case {
    double ringDeg;
    double ratio;
    bool wholeGlobe;
  };
  for (const Case k : {Case{12, 1.0, false}, Case{12, 2.0, false}, Case{80, 1.0, true}, Case{80, 2.0, true}}) {
    const MapCanvas canvas = ScreenCanvas(1100, 700, k.ratio);
    const EclipseResult c = RingEclipse(-40, 30, k.ringDeg);
    ViewParameters view;
    view.RK = FitGlobeSize(c, view, canvas);
    MapRenderer renderer(canvas);
    renderer.DrawMap(c, view, EarthTexture{}, CoastlineLayer{});
    const QImage& image = renderer.DrawingImage();
    // The rows the limit's pixels and the globe's outline reach: the
    // limiting height is the panel's.
    const QRgb limit = StyleOf(MapCurve::NorthPenumbraLimit).color;
    const test::Rgb curve{qRed(limit), qGreen(limit), qBlue(limit)};
    int top = canvas.height, bottom = -1;
    for (int y = 0; y < canvas.height; ++y) {
      for (int x = 0; x < canvas.width; ++x) {
        const auto p = PixelAt(image, x, y);
        if (p != curve && p != test::Rgb{168, 168, 168}) continue;
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
    const double margin = 16 * k.ratio;
    EXPECT_GE(top, margin - 3) << k.ringDeg << " " << k.ratio;
    EXPECT_LE(top, margin + 3 * k.ratio) << k.ringDeg << " " << k.ratio;
    EXPECT_LE(bottom, canvas.height - margin + 3);
    EXPECT_GE(bottom, canvas.height - margin - 3 * k.ratio);
    if (k.wholeGlobe) {
      EXPECT_NEAR(renderer.LastView()->RK(), (canvas.height / 2 - margin), 2 * k.ratio);
    }
  }
}

}  // namespace
}  // namespace darvelle
