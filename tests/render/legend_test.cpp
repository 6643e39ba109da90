#include <gtest/gtest.h>

#include <QFontInfo>

#include "astro/constants.h"
#include "render/map.h"
#include "render_test_support.h"

namespace darvelle {
namespace {

using test::IsWhite;
using test::PixelAt;

constexpr double kDeg = kPi / 180.0;

class LegendTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureGuiApplication(); }

  // Greatest eclipse at 18:18 TT on 2024 April 8 (the record's epoch is 18h).
  static EclipseResult Eclipse(TimeScale timeScale) {
    EclipseResult c;
    c.elements.julianDay = 2460408.5 + 18.0 / 24.0;
    c.elements.epochHour = 18;
    c.circumstances.timeGreatest = 0.3;
    c.modelDeltaT = 69.2;
    c.timeScale = timeScale;
    c.deltaT = timeScale == TimeScale::kUniversal ? 69.2 : 0.0;
    EclipseEvent& tg0 = c.circumstances.events[EventId::TG0];
    tg0.Time = 0.3;
    tg0.EphemerisLongitude = -105.0 * kDeg;
    tg0.Latitude = 25.5 * kDeg;
    tg0.CentralKind = CentralKind::Total;
    c.circumstances.complete = true;
    return c;
  }

  EarthTexture texture_;
  CoastlineLayer coastlines_;
};

TEST_F(LegendTest, DateLineNamesTheInstantOfGreatestEclipse) {
  EXPECT_EQ(LegendDateLine(Eclipse(TimeScale::kTerrestrial)).toStdString(), "2024 April 8   18:18:00 TT");
  // 69.2 s earlier in UT.
  EXPECT_EQ(LegendDateLine(Eclipse(TimeScale::kUniversal)).toStdString(), "2024 April 8   18:16:51 UT");
}

TEST_F(LegendTest, ViewLineHasTwoWordings) {
  const QString degree(QChar(0x00B0));
  struct Case {
    ViewEditTexts edits;
    bool stereographic;
    QString expected;
  };
  const Case cases[] = {
      {{"0.0", "0.0", "0.0", "500"}, false,
       "View centered at longitude -105.00" + degree + " / latitude 25.50" + degree +
           "   Orthographic representation"},
      {{"0.0", "0.0", "0.0", "750"}, true,
       "View centered at longitude -105.00" + degree + " / latitude 25.50" + degree +
           "   Stereographic representation"},
      {{"10.0", "0.0", "0.0", "500"}, false,
       "View initially centered at longitude -95.00" + degree + " / latitude 25.50" + degree +
           "   Orthographic representation"},
      {{"0.0", "0.0", "-3.0", "500"}, false,
       "View initially centered at longitude -105.00" + degree + " / latitude 25.50" + degree +
           "   Orthographic representation"},
      {{"0", "0.0", "0.0", "500"}, false,  // typed "0": not the text the buttons write
       "View initially centered at longitude -105.00" + degree + " / latitude 25.50" + degree +
           "   Orthographic representation"},
  };
  for (const Case& k : cases) {
    ViewParameters view;
    view.Psi = std::stod(k.edits.psi);
    view.Chi = std::stod(k.edits.chi);
    view.Stereographic = k.stereographic;
    MapRenderer renderer;
    const EclipseResult c = Eclipse(TimeScale::kTerrestrial);
    renderer.DrawMap(c, view, texture_, coastlines_);
    const LegendLines lines = renderer.LegendTexts(c, "Total Solar Eclipse", k.edits);
    EXPECT_EQ(lines.view, k.expected);
  }
}

TEST_F(LegendTest, StateLineRepeatsTheEditTexts) {
  const ViewEditTexts edits{"12.5", "-3.0", "90.0", "725"};
  const QString degree(QChar(0x00B0));
  EXPECT_EQ(LegendStateLine(edits), "Darvelle graphics state  Psi 12.5" + degree + "  Phi -3.0" +
                                        degree + "  Chi 90.0" + degree +
                                        "  Globe size 725 pixels");
  ViewParameters view;
  view.Psi = 12.5;
  view.Phi = -3;
  view.Chi = 90;
  view.RK = 725;
  const ViewEditTexts fromView = ViewEditTexts::FromParameters(view);
  EXPECT_EQ(fromView.psi, "12.5");
  EXPECT_EQ(fromView.phi, "-3.0");
  EXPECT_EQ(fromView.chi, "90.0");
  EXPECT_EQ(fromView.rk, "725");
  view.Phi = -0.0;
  EXPECT_EQ(ViewEditTexts::FromParameters(view).phi, "0.0");
}

// Extent of the non-white pixels of rows [top, bottom).
QRect InkBox(const QImage& image, int top, int bottom) {
  QRect box;
  for (int y = top; y < bottom; ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (!IsWhite(PixelAt(image, x, y))) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

TEST_F(LegendTest, PictureHasTheMapBetweenTitleAndLegendLines) {
  MapRenderer renderer;
  EXPECT_THROW(renderer.ComposeLegendImage(Eclipse(TimeScale::kUniversal), "x", ViewEditTexts{}),
               std::logic_error);
  const EclipseResult c = Eclipse(TimeScale::kUniversal);
  renderer.DrawMap(c, ViewParameters{}, texture_, coastlines_);
  const QImage map = renderer.DrawingImage();
  renderer.ComposeLegendImage(c, "Total Solar Eclipse", ViewEditTexts{});
  const QImage& legend = renderer.DisplayImage();
  ASSERT_EQ(legend.size(), QSize(1600, 1266));
  // The map, pixel for pixel, 130 rows down.
  for (int y : {0, 1, 300, 533, 900, 1065}) {
    for (int x = 0; x < 1600; x += 7) {
      ASSERT_EQ(PixelAt(legend, x, y + 130), PixelAt(map, x, y)) << x << "," << y;
    }
  }
  // Title (40 pt) and date (28 pt) above the map, centred on x = 800.
  const QRect title = InkBox(legend, 0, 70);
  const QRect date = InkBox(legend, 70, 130);
  ASSERT_FALSE(title.isNull());
  ASSERT_FALSE(date.isNull());
  EXPECT_NEAR(title.left() + title.right(), 1600, 8);
  EXPECT_NEAR(date.left() + date.right(), 1600, 8);
  EXPECT_GT(title.height(), 30);
  EXPECT_GT(title.width(), date.width());
  // Two grey lines in the 70 rows below the map, nothing else there.
  const QRect view = InkBox(legend, 1196, 1224);
  const QRect state = InkBox(legend, 1224, 1266);
  ASSERT_FALSE(view.isNull());
  ASSERT_FALSE(state.isNull());
  EXPECT_GE(view.top(), 1266 - 65);
  EXPECT_GE(state.top(), 1266 - 42);
  EXPECT_LT(state.bottom(), 1266);
  EXPECT_NEAR(view.left() + view.right(), 1600, 6);
  EXPECT_NEAR(state.left() + state.right(), 1600, 6);
  bool grey = false;
  for (int x = view.left(); x <= view.right() && !grey; ++x) {
    for (int y = view.top(); y <= view.bottom(); ++y) {
      const QRgb p = legend.pixel(x, y);
      if (qRed(p) == 128 && qGreen(p) == 128 && qBlue(p) == 128) grey = true;
    }
  }
  EXPECT_TRUE(grey);
  EXPECT_TRUE(InkBox(legend, 1196, 1196 + 4).isNull());
}

TEST_F(LegendTest, FontIsArialOrItsMetricTwin) {
  const QString family = LegendFontFamily();
  EXPECT_TRUE(family == "Arial" || family == "Liberation Sans") << family.toStdString();
  const QFontInfo info{QFont(family)};
  EXPECT_TRUE(info.family() == "Arial" || info.family() == "Liberation Sans")
      << info.family().toStdString();
}

}  // namespace
}  // namespace darvelle
