// The time layer drawn over a plain grey map: what lies in the umbra is dark,
// the night side darkened, the day side away from the lines untouched, the
// sub-solar point marked, each where the map's own projection puts it.

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>

#include "astro/calendar.h"
#include "astro/delta_t.h"
#include "catalogue/besselian_elements.h"
#include "render/projection.h"
#include "render/shadow_layer.h"
#include "render_test_support.h"
#include "../support/shipped_catalogue.h"

namespace darvelle {
namespace {

class ShadowLayer : public testing::ShippedCatalogueTest {};

QPoint PixelOf(const GlobeProjection& projection, double latDeg, double lonDeg) {
  const ProjectedPoint p = projection.ProjectPoint(std::llround(lonDeg * 3600.0),
                                                   std::llround(latDeg * 3600.0));
  EXPECT_TRUE(p.IsVisible()) << latDeg << " " << lonDeg;
  return {static_cast<int>(std::lround(p.ScreenX)), static_cast<int>(std::lround(p.ScreenY))};
}

TEST_F(ShadowLayer, ShadesWhatTheShadowAndTheNightCover) {
  const int index = IndexOf(2024, 4, 8);
  ASSERT_NE(index, 0);
  const BesselianElements e = CurrentElements(*catalogue_, index);
  const double deltaT = ComputeDeltaT(2024, 4);
  const ShadowLayerStyle style;
  constexpr int kGrey = 200;
  // The globe faces 20 N, 100 W.
  const GlobeProjection projection(-100.0 * M_PI / 180.0, 20.0 * M_PI / 180.0, 0.0, 500, false);
  enum class Looks { Unchanged, Night, Umbra, SubSolarMark, AxisMark };
  struct Case {
    int hour, minute;
    double lat, lon;  // a place, or NaN for the axis point / the sub-solar point
    Looks looks;
  };
  const Case cases[] = {
      {16, 12, 30.0, -80.0, Looks::Unchanged},  // Florida in the morning, no shadow yet
      {16, 12, 0.0, -165.0, Looks::Night},      // the Pacific before sunrise
      {16, 12, NAN, NAN, Looks::SubSolarMark},
      {18, 42, NAN, 0.0, Looks::AxisMark},
      {18, 42, 32.78, -96.80, Looks::Umbra},    // Dallas in totality
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.hour << ":" << c.minute << " " << c.lat << " " << c.lon);
    const double t = ShadowTimeOfUt(e, deltaT, CalendarToJulianDay(2024, 4, 8, c.hour, c.minute, 0));
    const ShadowAtInstant shadow = ComputeShadowAt(e, deltaT, t);
    ASSERT_TRUE(shadow.SubSolar.has_value());
    ASSERT_EQ(shadow.Axis.has_value(), c.hour == 18);  // the umbra reaches the Earth at 16:38
    QImage image(kMapWidth, kMapHeight, QImage::Format_RGB32);
    image.fill(QColor(kGrey, kGrey, kGrey));
    DrawShadowLayer(image, projection, shadow, style);
    ShadowPoint place{c.lon, c.lat};
    if (std::isnan(c.lat)) place = std::isnan(c.lon) ? *shadow.SubSolar : *shadow.Axis;
    const QPoint at = PixelOf(projection, place.LatitudeDeg, place.LongitudeDeg);
    const test::Rgb rgb = test::PixelAt(image, at.x(), at.y());
    switch (c.looks) {
      case Looks::Unchanged:
        EXPECT_EQ(rgb, (test::Rgb{kGrey, kGrey, kGrey}));
        break;
      case Looks::Night:
        EXPECT_NEAR(rgb[0], kGrey * (1.0 - style.NightDarkening), 2.0);
        break;
      case Looks::Umbra:
        EXPECT_LT(rgb[0] + rgb[1] + rgb[2], 3 * kGrey / 2);
        break;
      case Looks::SubSolarMark:
        EXPECT_EQ(rgb, (test::Rgb{style.SubSolar.red(), style.SubSolar.green(), style.SubSolar.blue()}));
        break;
      case Looks::AxisMark:
        EXPECT_EQ(rgb, (test::Rgb{style.Axis.red(), style.Axis.green(), style.Axis.blue()}));
        break;
    }
  }
}

// Every place on a one-degree grid is darkened exactly when the Sun is
// below its horizon (the sub-solar point more than 90 degrees away), in
// both projections and with the terminator crossing the rows in every way;
// places within 1.5 degrees of the terminator may fall either side.
// (The orthographic globe shades whole stretches of rows at once.)
TEST_F(ShadowLayer, NightCoversThePlacesWhereTheSunIsDown) {
  const int index = IndexOf(2024, 4, 8);
  ASSERT_NE(index, 0);
  const BesselianElements e = CurrentElements(*catalogue_, index);
  const double deltaT = ComputeDeltaT(2024, 4);
  struct View {
    double lonDeg, latDeg, chiDeg;
    bool stereographic;
  };
  const View views[] = {{-100, 20, 0, false}, {60, -35, 40, false}, {-170, 70, -25, false},
                        {-100, 20, 0, true}, {10, 50, 90, true}};
  const ShadowLayerStyle style;
  for (const int hour : {15, 18, 21}) {
    const double t = ShadowTimeOfUt(e, deltaT, CalendarToJulianDay(2024, 4, 8, hour, 0, 0));
    const ShadowAtInstant shadow = ComputeShadowAt(e, deltaT, t);
    ASSERT_TRUE(shadow.SubSolar.has_value());
    const double sLat = shadow.SubSolar->LatitudeDeg * M_PI / 180.0;
    const double sLon = shadow.SubSolar->LongitudeDeg * M_PI / 180.0;
    for (const View& v : views) {
      SCOPED_TRACE(::testing::Message() << hour << "h view " << v.lonDeg << " " << v.latDeg << " "
                                        << v.stereographic);
      const GlobeProjection projection(v.lonDeg * M_PI / 180.0, v.latDeg * M_PI / 180.0,
                                       v.chiDeg * M_PI / 180.0, 300, v.stereographic);
      QImage image(kMapWidth, kMapHeight, QImage::Format_RGB32);
      image.fill(QColor(200, 200, 200));
      ShadowAtInstant nightOnly;
      nightOnly.SubSolar = shadow.SubSolar;
      DrawShadowLayer(image, projection, nightOnly, style);
      int checked = 0;
      for (int lat = -89; lat <= 89; ++lat) {
        for (int lon = -180; lon < 180; ++lon) {
          const double la = lat * M_PI / 180.0, lo = lon * M_PI / 180.0;
          const double sinAltitude = std::sin(la) * std::sin(sLat) +
                                     std::cos(la) * std::cos(sLat) * std::cos(lo - sLon);
          if (std::abs(sinAltitude) < std::sin(1.5 * M_PI / 180.0)) continue;
          if (sinAltitude > std::sin(80.0 * M_PI / 180.0)) continue;  // the sub-solar mark
          const ProjectedPoint p = projection.ProjectPoint(lon * 3600LL, lat * 3600LL);
          const int x = static_cast<int>(std::lround(p.ScreenX));
          const int y = static_cast<int>(std::lround(p.ScreenY));
          // Towards the globe's rim a pixel's width spans ever more of the
          // Earth: a pixel there may stand for a place a degree away.
          if (p.Depth < p.VisibilityLimit + 0.25 || !image.rect().contains(x, y)) continue;
          const bool dark = test::PixelAt(image, x, y)[0] < 150;
          ASSERT_EQ(dark, sinAltitude < 0.0) << lat << " " << lon;
          ++checked;
        }
      }
      EXPECT_GT(checked, 5000);
    }
  }
}

TEST_F(ShadowLayer, TimedUmbrasDarkenTheirOwnPlacesOnly) {
  test::EnsureGuiApplication();  // the outlines carry their times
  const int index = IndexOf(2024, 4, 8);
  ASSERT_NE(index, 0);
  const BesselianElements e = CurrentElements(*catalogue_, index);
  const double deltaT = ComputeDeltaT(2024, 4);
  const GlobeProjection projection(-100.0 * M_PI / 180.0, 20.0 * M_PI / 180.0, 0.0, 500, false);
  std::vector<TimedUmbraArea> areas;
  std::vector<ShadowPoint> centres;
  for (const int minute : {0, 30}) {
    const double t = ShadowTimeOfUt(e, deltaT, CalendarToJulianDay(2024, 4, 8, 18, minute, 0));
    areas.push_back({CalendarToJulianDay(2024, 4, 8, 18, minute, 0) + deltaT / 86400.0, UmbraAreaAt(e, deltaT, t)});
    centres.push_back(*ComputeShadowAt(e, deltaT, t).Axis);
  }
  QImage image(kMapWidth, kMapHeight, QImage::Format_RGB32);
  image.fill(QColor(200, 200, 200));
  DrawUmbraOutlines(image, projection, areas, deltaT);
  for (const ShadowPoint& c : centres) {
    const QPoint at = PixelOf(projection, c.LatitudeDeg, c.LongitudeDeg);
    EXPECT_LT(test::PixelAt(image, at.x(), at.y())[0], 190) << c.LatitudeDeg;
  }
  // Half-way between the two instants the umbra was elsewhere.
  const QPoint between = PixelOf(projection, 0.5 * (centres[0].LatitudeDeg + centres[1].LatitudeDeg),
                                 0.5 * (centres[0].LongitudeDeg + centres[1].LongitudeDeg));
  EXPECT_EQ(test::PixelAt(image, between.x(), between.y()), (test::Rgb{200, 200, 200}));
}

}  // namespace
}  // namespace darvelle
