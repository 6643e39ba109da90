// Checks of the committed data files: the Earth texture and the coastline
// points must have the layout the globe renderer assumes and show the Earth
// where it is.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include "catalogue/data_files.h"
#include "render/coastline_file.h"
#include "render/texture_file.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;

fs::path DataFile(std::string_view name) { return fs::path(DARVELLE_TEST_DATA_DIR) / name; }

// The texture's own addressing: column 4320 is longitude 0, row 2160 the equator.
const std::uint8_t* TexelAt(const EarthTexture& texture, double longitudeDeg, double latitudeDeg) {
  const int column = static_cast<int>(longitudeDeg * kTextureWidth / 360.0 + kTextureWidth / 2);
  const int row = static_cast<int>(kTextureHeight / 2 - latitudeDeg * kTextureHeight / 180.0);
  return texture.Pixel(column, row);
}

class EarthTextureFileTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!fs::exists(DataFile(kTextureFileName))) return;
    texture_ = new EarthTexture;
    result_ = new TextureLoadResult(LoadTexture(DataFile(kTextureFileName), *texture_));
  }
  static void TearDownTestSuite() {
    delete texture_;
    delete result_;
    texture_ = nullptr;
    result_ = nullptr;
  }
  void SetUp() override {
    if (texture_ == nullptr) GTEST_SKIP() << "the Earth texture is not in data/ yet";
  }
  // Read-only after SetUpTestSuite: one decode of the 37-megapixel picture
  // serves every test of the suite.
  static EarthTexture* texture_;
  static TextureLoadResult* result_;
};
EarthTexture* EarthTextureFileTest::texture_ = nullptr;
TextureLoadResult* EarthTextureFileTest::result_ = nullptr;

TEST_F(EarthTextureFileTest, HasTheAssumedSizeAndAReasonableFileSize) {
  EXPECT_TRUE(result_->decoded) << result_->message;
  EXPECT_EQ(texture_->width, kTextureWidth);
  EXPECT_EQ(texture_->height, kTextureHeight);
  EXPECT_LT(fs::file_size(DataFile(kTextureFileName)), 15u * 1024 * 1024);
}

enum class Surface { Land, Sea, Ice };

TEST_F(EarthTextureFileTest, KnownPlacesHaveTheirColours) {
  const struct {
    const char* place;
    double longitude;
    double latitude;
    Surface surface;
  } places[] = {
      {"Sahara, Algeria", 3.0, 27.0, Surface::Land},
      {"Amazon basin", -62.0, -5.0, Surface::Land},
      {"Siberia", 100.0, 62.0, Surface::Land},
      {"Central Australia", 134.0, -24.0, Surface::Land},
      {"Great Plains", -100.0, 40.0, Surface::Land},
      {"Pacific at the equator", -150.0, 0.5, Surface::Sea},
      {"South Atlantic", -20.0, -30.0, Surface::Sea},
      {"Indian Ocean", 75.0, -20.0, Surface::Sea},
      {"Antarctic plateau", 0.0, -80.0, Surface::Ice},
      {"Greenland ice sheet", -40.0, 75.0, Surface::Ice},
  };
  for (const auto& p : places) {
    SCOPED_TRACE(p.place);
    const std::uint8_t* rgb = TexelAt(*texture_, p.longitude, p.latitude);
    ASSERT_NE(rgb, nullptr);
    const int r = rgb[0], g = rgb[1], b = rgb[2];
    switch (p.surface) {
      case Surface::Land:  // greens and browns: blue is the weakest channel
        EXPECT_GT(g, b + 15) << r << " " << g << " " << b;
        EXPECT_GT(r, b) << r << " " << g << " " << b;
        break;
      case Surface::Sea:
        EXPECT_GT(b, r + 40) << r << " " << g << " " << b;
        EXPECT_GT(b, g) << r << " " << g << " " << b;
        break;
      case Surface::Ice:
        EXPECT_GT(std::min({r, g, b}), 180) << r << " " << g << " " << b;
        break;
    }
  }
}

TEST_F(EarthTextureFileTest, ShallowSeaIsPalerThanDeepOcean) {
  const struct {
    const char* shallow;
    double shallowLon, shallowLat;
    const char* deep;
    double deepLon, deepLat;
  } pairs[] = {
      {"North Sea", 3.0, 55.0, "Norwegian Sea basin", 0.0, 68.0},
      {"Grand Banks", -50.0, 45.0, "North American basin", -60.0, 30.0},
      {"Sunda shelf", 108.0, 3.0, "Philippine Sea", 130.0, 18.0},
  };
  for (const auto& p : pairs) {
    SCOPED_TRACE(std::string(p.shallow) + " / " + p.deep);
    const std::uint8_t* shallow = TexelAt(*texture_, p.shallowLon, p.shallowLat);
    const std::uint8_t* deep = TexelAt(*texture_, p.deepLon, p.deepLat);
    ASSERT_NE(shallow, nullptr);
    ASSERT_NE(deep, nullptr);
    EXPECT_GT(shallow[2], shallow[0]);
    EXPECT_GT(shallow[0] + shallow[1] + shallow[2], deep[0] + deep[1] + deep[2] + 100);
  }
}

TEST_F(EarthTextureFileTest, TheHillsOfNorthernSpainAreNotPaintedAsLowland) {
  // Behind the coast the land rises within a few kilometres of the shore to
  // 500 .. 1500 m. ETOPO5 holds flat rectangles of a few metres there,
  // which painted as they stood made blocks of the lowland's green (the
  // colour of sea level, unshaded). Hardly a texel of those hills may have it.
  const struct {
    const char* name;
    double west, east, south, north;
  } hills[] = {{"Cantabria and Biscay", -3.9, -2.3, 43.1, 43.3},
               {"round A Coruna", -8.9, -8.2, 43.1, 43.3}};
  for (const auto& h : hills) {
    SCOPED_TRACE(h.name);
    int texels = 0, lowland = 0;
    for (double lat = h.south; lat < h.north; lat += 1.0 / 24) {
      for (double lon = h.west; lon < h.east; lon += 1.0 / 24) {
        const std::uint8_t* rgb = TexelAt(*texture_, lon, lat);
        ASSERT_NE(rgb, nullptr);
        ++texels;
        if (std::abs(rgb[0] - 72) <= 8 && std::abs(rgb[1] - 120) <= 8 &&
            std::abs(rgb[2] - 58) <= 8) {
          ++lowland;
        }
      }
    }
    EXPECT_LT(lowland * 10, texels) << lowland << " of " << texels;
  }
}

TEST_F(EarthTextureFileTest, EastAndWestEdgesMeetAtTheDateLine) {
  // Plate carrée wraps: the first and last columns are neighbours on the globe.
  long difference = 0;
  for (int row = 200; row < kTextureHeight - 200; ++row) {
    const std::uint8_t* west = texture_->Pixel(0, row);
    const std::uint8_t* east = texture_->Pixel(kTextureWidth - 1, row);
    for (int c = 0; c < 3; ++c) difference += std::abs(west[c] - east[c]);
  }
  EXPECT_LT(static_cast<double>(difference) / ((kTextureHeight - 400) * 3), 6.0);
}

class CoastlinePointFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(DataFile(kCoastlineFileName))) {
      GTEST_SKIP() << "the coastline file is not in data/ yet";
    }
    points_ = LoadCoastlines(DataFile(kCoastlineFileName));
  }
  std::vector<CoastlinePoint> points_;
};

double DistanceKm(double lon1, double lat1, double lon2, double lat2) {
  constexpr double kDeg = std::numbers::pi / 180.0;
  const double s = std::sin((lat2 - lat1) * kDeg / 2);
  const double t = std::sin((lon2 - lon1) * kDeg / 2);
  const double h = s * s + std::cos(lat1 * kDeg) * std::cos(lat2 * kDeg) * t * t;
  return 2 * 6371.0 * std::asin(std::min(1.0, std::sqrt(h)));
}

double NearestKm(const std::vector<CoastlinePoint>& points, double lon, double lat) {
  double best = 1e9;
  for (const CoastlinePoint& p : points) best = std::min(best, DistanceKm(lon, lat, p.longitude, p.latitude));
  return best;
}

TEST_F(CoastlinePointFileTest, EveryLineIsAPointWithinTheArrayCapacity) {
  // The file's name carries its point count, and no line is dropped by the
  // reader: no point sits exactly on the prime meridian or the equator.
  std::ifstream in(DataFile(kCoastlineFileName), std::ios::binary);
  const auto lines = std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n');
  EXPECT_EQ(lines, 165648);
  EXPECT_EQ(points_.size(), 165648u);
  EXPECT_LE(points_.size(), kMaxCoastlinePoints);
  for (const CoastlinePoint& p : points_) {
    ASSERT_GT(std::abs(p.longitude), 0.0);
    ASSERT_LE(std::abs(p.longitude), 180.0);
    ASSERT_GT(std::abs(p.latitude), 0.0);
    ASSERT_LE(std::abs(p.latitude), 90.0);
  }
}

TEST_F(CoastlinePointFileTest, ShoresAreWhereTheMapsPutThem) {
  const struct {
    const char* place;
    double longitude;
    double latitude;
    double withinKm;
  } places[] = {
      {"Cape of Good Hope", 18.47, -34.36, 15},
      {"Land's End", -5.71, 50.07, 15},
      {"Cap-Vert, Dakar", -17.53, 14.73, 15},
      {"Cape York", 142.53, -10.69, 15},
      {"Gulf of Guinea at the prime meridian", 0.0, 5.6, 20},
      {"Equator on the coast of Gabon", 9.3, 0.0, 20},
      {"Caspian Sea, Baku", 49.9, 40.35, 20},
      {"middle of the South Pacific (no shore)", -130.0, -45.0, -1500},
  };
  for (const auto& p : places) {
    SCOPED_TRACE(p.place);
    const double nearest = NearestKm(points_, p.longitude, p.latitude);
    if (p.withinKm > 0) {
      EXPECT_LT(nearest, p.withinKm);
    } else {
      EXPECT_GT(nearest, -p.withinKm);
    }
  }
}

TEST_F(CoastlinePointFileTest, PointsAreEvenlySpreadAlongTheShores) {
  // Neighbours in the file are neighbours along a shore (except where one
  // shore ends and the next begins), a few kilometres apart.
  std::vector<double> steps;
  for (std::size_t i = 1; i < points_.size(); ++i) {
    steps.push_back(DistanceKm(points_[i - 1].longitude, points_[i - 1].latitude,
                               points_[i].longitude, points_[i].latitude));
  }
  std::sort(steps.begin(), steps.end());
  const double median = steps[steps.size() / 2];
  const double ninetieth = steps[steps.size() * 9 / 10];
  EXPECT_GT(median, 4.0);
  EXPECT_LT(median, 9.0);
  EXPECT_LT(ninetieth, 9.0);
}

}  // namespace
}  // namespace darvelle
