// Maps of real eclipses of the catalogue, with the real coastlines: where the
// markers and curves land, and the status texts the drawing reports.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "catalogue/selection.h"
#include "render/coastline_file.h"
#include "render/map.h"
#include "render_test_support.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;
using test::PixelAt;
using test::Rgb;

class RealMapTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const fs::path data = DARVELLE_TEST_DATA_DIR;
    if (!fs::exists(data / std::string(kCatalogueFileName)) ||
        !fs::exists(data / std::string(kCoastlineFileName))) {
      return;
    }
    catalogue_ = std::make_unique<Catalogue>(LoadCatalogue(data / kCatalogueFileName));
    coastlines_ = std::make_unique<CoastlineLayer>(LoadCoastlines(data / kCoastlineFileName));
  }
  static void TearDownTestSuite() {
    catalogue_.reset();
    coastlines_.reset();
  }
  void SetUp() override {
    if (!catalogue_) GTEST_SKIP() << "catalogue or coastline file not yet in data/";
  }

  // The first eclipse of the given year (2024: April 8, total; 2023: April 20,
  // hybrid; 2022: April 30, partial).
  static std::unique_ptr<EclipseResult> Compute(int year, TimeScale timeScale = TimeScale::kUniversal) {
    auto c = std::make_unique<EclipseResult>();
    *c = ComputeEclipse(
        PrepareEclipse(*catalogue_, FindFirstOfYear(*catalogue_, year), timeScale, 1));
    return c;
  }

  static int Count(const QImage& image, const Rgb& colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) n += PixelAt(image, x, y) == colour ? 1 : 0;
    }
    return n;
  }

  EarthTexture noTexture_;
  static std::unique_ptr<Catalogue> catalogue_;
  static std::unique_ptr<CoastlineLayer> coastlines_;
};
std::unique_ptr<Catalogue> RealMapTest::catalogue_;
std::unique_ptr<CoastlineLayer> RealMapTest::coastlines_;

TEST_F(RealMapTest, TotalEclipseFacesTheViewerInBothTimeScales) {
  for (bool ut : {true, false}) {
    const auto c = Compute(2024, ut ? TimeScale::kUniversal : TimeScale::kTerrestrial);
    ASSERT_TRUE(c->circumstances.events[EventId::TG0].exists());
    MapRenderer renderer;
    const DrawnCurves drawn = renderer.DrawMap(*c, ViewParameters{}, noTexture_, *coastlines_);
    const QImage& image = renderer.DrawingImage();
    EXPECT_EQ(PixelAt(image, 800, 533), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(image, 808, 533), (Rgb{255, 255, 255}));  // total at greatest eclipse
    EXPECT_EQ(drawn.PointCount(MapCurve::CentralLine), c->curves.centralLine.Count());
    EXPECT_EQ(drawn.PointCount(MapCurve::NorthPenumbraLimit), c->curves.northPenumbra.Count());
    EXPECT_GT(Count(image, {255, 0, 0}), 300);     // the central line
    EXPECT_GT(Count(image, {64, 64, 64}), 300);    // the umbral limits
    EXPECT_GT(Count(image, {0, 0, 0}), 2000);      // coastlines and penumbral limits
    EXPECT_NEAR(renderer.LastView()->TotalPhi() * 180 / 3.141592653589793, 25.29, 0.05);
  }
}

TEST_F(RealMapTest, HybridCentralLineIsBothYellowAndRed) {
  const auto c = Compute(2023);
  bool annular = false, total = false;
  for (const CentralLinePoint& p : c->curves.centralLine.Points()) {
    annular = annular || p.CentralKind == CentralKind::Annular;
    total = total || p.CentralKind == CentralKind::Total;
  }
  ASSERT_TRUE(annular && total);
  MapRenderer renderer;
  renderer.DrawMap(*c, ViewParameters{}, noTexture_, *coastlines_);
  EXPECT_GT(Count(renderer.DrawingImage(), {255, 255, 0}), 20);
  EXPECT_GT(Count(renderer.DrawingImage(), {255, 0, 0}), 300);
}

TEST_F(RealMapTest, PartialEclipseHasNoCentralMarks) {
  const auto c = Compute(2022);
  ASSERT_FALSE(c->circumstances.events[EventId::TG0].exists());
  MapRenderer renderer;
  const DrawnCurves drawn = renderer.DrawMap(*c, ViewParameters{}, noTexture_, *coastlines_);
  const QImage& image = renderer.DrawingImage();
  EXPECT_EQ(Count(image, {255, 255, 0}), 0);  // no central-line or TC marker yellow
  EXPECT_FALSE(drawn.PointCount(MapCurve::CentralLine).has_value());
  EXPECT_GT(Count(image, {0, 128, 0}), 10);  // the TP1 and TP4 markers
  // The view looks at 45 deg on the side of the shadow's passage.
  const double phi = renderer.LastView()->TotalPhi() * 180 / 3.141592653589793;
  EXPECT_NEAR(std::abs(phi), 45.0, 1e-9);
  EXPECT_EQ(phi > 0, c->elements.gamma > 0);
}

}  // namespace
}  // namespace darvelle
