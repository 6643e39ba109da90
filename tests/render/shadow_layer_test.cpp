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
