// The zoomed globe's shore tiers: the file as the tool writes it, the tier a
// scale asks for, the index that spares a zoomed view the lines it cannot
// show, and the shore drawn where it is.

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "io/file_error.h"
#include "render/map_layers.h"
#include "render/zoom_coastlines.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;

// GSHHG high resolution, -4 .. -1.5 deg east, 42.8 .. 44 deg north
// (tests/data/README.md).
fs::path BasqueExtract() { return fs::path(DARVELLE_REFERENCE_DIR) / "coast_basque_h.bin"; }

constexpr double kDeg = std::numbers::pi / 180.0;

GlobeProjection Facing(double lonDeg, double latDeg, int rk, bool stereographic = false) {
  return GlobeProjection(lonDeg * kDeg, latDeg * kDeg, 0.0, rk, stereographic);
}

std::set<std::pair<int, int>> PixelsOf(const QImage& image, QRgb color) {
  std::set<std::pair<int, int>> pixels;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if ((image.pixel(x, y) & 0xffffff) == (color & 0xffffff)) pixels.insert({x, y});
    }
  }
  return pixels;
}

QImage WhiteMap() {
  QImage image(kMapWidth, kMapHeight, QImage::Format_RGB888);
  image.fill(Qt::white);
  return image;
}

TEST(CoastTierFile, ReadsBackTheToolsExtractAndRefusesDamagedCopies) {
  const CoastTierFile file = LoadCoastTier(BasqueExtract());
  EXPECT_EQ(file.tier, 'h');
  // The counts the tool printed when it made the extract.
  EXPECT_EQ(file.shores.counts.size(), 18u);
  EXPECT_EQ(file.shores.PointCount(), 523u);
  EXPECT_EQ(file.borders.counts.size(), 1u);
  EXPECT_EQ(file.borders.PointCount(), 102u);
  for (std::size_t k = 0; k < file.shores.points.size(); k += 2) {
    EXPECT_GE(file.shores.points[k], -4'000'000);
    EXPECT_LE(file.shores.points[k], -1'500'000);
    EXPECT_GE(file.shores.points[k + 1], 42'800'000);
    EXPECT_LE(file.shores.points[k + 1], 44'000'000);
  }

  std::ifstream in(BasqueExtract(), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const fs::path damaged = fs::temp_directory_path() / "darvelle_damaged_tier.bin";
  const std::string copies[] = {bytes.substr(0, bytes.size() - 8), "DVCOAST2" + bytes.substr(8),
                                bytes + std::string(8, '\0'), bytes.substr(0, 20)};
  for (const std::string& copy : copies) {
    std::ofstream(damaged, std::ios::binary) << copy;
    EXPECT_THROW(LoadCoastTier(damaged), FileError) << copy.size();
  }
  fs::remove(damaged);
}

TEST(CoastTierFile, TheScaleChoosesTheTier) {
  // A pixel of 6371 / rk km: the points while they are closer than a pixel,
  // then the coarsest tier whose detail is no coarser than one.
  const struct {
    int rk;
    std::optional<char> tier;
  } cases[] = {{100, std::nullopt}, {500, std::nullopt}, {999, std::nullopt}, {1000, 'i'},
               {6371, 'i'},         {6372, 'h'},         {9999, 'h'},         {31855, 'h'},
               {31856, 'f'},        {200000, 'f'}};
  for (const auto& c : cases) EXPECT_EQ(CoastTierForRadius(c.rk), c.tier) << c.rk;
  EXPECT_EQ(CoastTiersToTry(9999), (std::vector<char>{'h', 'i'}));
  EXPECT_TRUE(CoastTiersToTry(500).empty());
}

TEST(ZoomLinesIndex, DrawsWhatTheWholeLinesDrawAndSkipsTheRest) {
  const CoastTierFile file = LoadCoastTier(BasqueExtract());
  const ZoomLines shores(file.shores);
  // The same lines, unindexed, through the border layer's drawing.
  std::vector<BorderLine> whole;
  std::size_t at = 0;
  for (const std::uint32_t n : file.shores.counts) {
    BorderLine line;
    for (std::uint32_t k = 0; k < n; ++k, ++at) {
      line.push_back({file.shores.points[2 * at] / 1e6, file.shores.points[2 * at + 1] / 1e6});
    }
    whole.push_back(std::move(line));
  }
  const BorderLayer unindexed(whole);
  const struct {
    const char* name;
    GlobeProjection view;
    bool shows;
  } views[] = {
      {"Bilbao, zoomed far in", Facing(-2.93, 43.3, 60000), true},
      {"Bilbao at the edge of the picture", Facing(-3.5, 43.9, 20000), true},
      {"Biscay in the window's largest globe", Facing(-2.5, 43.5, 9999), true},
      {"far from the centre", Facing(-92.0, 43.0, 1000), true},
      {"stereographic", Facing(30.0, 20.0, 1000, true), true},
      {"stereographic, near the far side: thrown off the picture", Facing(160.0, -30.0, 1500, true),
       false},
      {"Texas zoomed: the extract is off the picture", Facing(-97.0, 30.0, 9999), false},
      {"behind the globe", Facing(177.0, -43.0, 1000), false},
  };
  for (const auto& v : views) {
    SCOPED_TRACE(v.name);
    QImage indexed = WhiteMap();
    QImage plain = WhiteMap();
    DrawZoomLines(indexed, v.view, shores, qRgb(0, 0, 0));
    DrawBorders(plain, v.view, unindexed);
    const auto drawn = PixelsOf(indexed, qRgb(0, 0, 0));
    EXPECT_EQ(drawn, PixelsOf(plain, kBorderColor));
    EXPECT_EQ(!drawn.empty(), v.shows);
    if (!v.shows) {
      EXPECT_EQ(VisiblePointCount(v.view, shores, kMapWidth, kMapHeight), 0u);
    }
  }
  // Far in (50 km across), only the pieces round the view are projected.
  EXPECT_LT(VisiblePointCount(Facing(-2.93, 43.35, 200000), shores, kMapWidth, kMapHeight),
            shores.PointCount() / 2);
}

TEST(ZoomLinesIndex, TheShoreLiesBetweenTheBayAndTheLandOffBilbao) {
  const ZoomCoastLayer layer(LoadCoastTier(BasqueExtract()));
  const GlobeProjection view = Facing(-2.95, 43.37, 60000);  // 0.1 km a pixel
  QImage image = WhiteMap();
  DrawZoomLines(image, view, layer.Shores(), qRgb(0, 0, 0));
  const auto project = [&](double lon, double lat) {
    const ProjectedPoint p = view.ProjectPoint(std::llround(lon * 3600), std::llround(lat * 3600));
    return std::pair<double, double>{p.ScreenX, p.ScreenY};
  };
  const auto black = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < image.width() && y < image.height() &&
           (image.pixel(x, y) & 0xffffff) == 0;
  };
  // Pairs of a point of the Bay of Biscay and one inland, each a kilometre
  // or more from the shore: the shore is crossed between them, and neither
  // point lies on it.
  const struct {
    const char* name;
    double seaLon, seaLat, landLon, landLat;
  } pairs[] = {
      {"off Sopelana to Berango", -2.99, 43.43, -2.98, 43.37},
      {"off Bakio to Bakio's hills", -2.81, 43.445, -2.81, 43.41},
      {"off Castro Urdiales to the hills behind", -3.21, 43.40, -3.23, 43.36},
  };
  for (const auto& p : pairs) {
    SCOPED_TRACE(p.name);
    const auto [sx, sy] = project(p.seaLon, p.seaLat);
    const auto [lx, ly] = project(p.landLon, p.landLat);
    int crossings = 0;
    const int steps = static_cast<int>(std::hypot(lx - sx, ly - sy)) + 1;
    for (int k = 0; k <= steps; ++k) {
      const double t = static_cast<double>(k) / steps;
      crossings += black(static_cast<int>(std::lround(sx + t * (lx - sx))),
                         static_cast<int>(std::lround(sy + t * (ly - sy))));
    }
    EXPECT_GT(crossings, 0);
    for (int dy = -5; dy <= 5; ++dy) {
      for (int dx = -5; dx <= 5; ++dx) {
        EXPECT_FALSE(black(static_cast<int>(sx) + dx, static_cast<int>(sy) + dy));
        EXPECT_FALSE(black(static_cast<int>(lx) + dx, static_cast<int>(ly) + dy));
      }
    }
  }
}

}  // namespace
}  // namespace darvelle
