// The map's optional layers: the border file as shipped, a border where a
// known border lies, and town names that never overlap and sit on their towns.

#include "render/map_layers.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>
#include <filesystem>
#include <numeric>

#include "io/file_error.h"
#include "render/border_file.h"
#include "render/map.h"
#include "render_test_support.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;
constexpr double kDeg = 3.14159265358979323846 / 180.0;

fs::path PyreneesFile() { return fs::path(DARVELLE_REFERENCE_DIR) / "borders_pyrenees.txt"; }

GlobeProjection ViewFacing(double longitudeDeg, double latitudeDeg, int rk) {
  ViewParameters view;
  view.RK = rk;
  ViewCentre centre;
  centre.central = true;
  centre.tg0EphemerisLongitude = longitudeDeg * kDeg;
  centre.tg0Latitude = latitudeDeg * kDeg;
  return ComputeViewAngles(view, centre, 0.0);
}

QImage GreyMap() {
  QImage image(kMapWidth, kMapHeight, kMapImageFormat);
  image.fill(QColor(kGlobeBackgroundGrey, kGlobeBackgroundGrey, kGlobeBackgroundGrey));
  return image;
}

// Whether a pixel of `color` lies within `radius` pixels of (x, y).
bool ColorNear(const QImage& image, double x, double y, QRgb color, int radius) {
  const int cx = static_cast<int>(std::lround(x)), cy = static_cast<int>(std::lround(y));
  for (int dy = -radius; dy <= radius; ++dy) {
    for (int dx = -radius; dx <= radius; ++dx) {
      if (image.pixel(cx + dx, cy + dy) == color) return true;
    }
  }
  return false;
}

TEST(BorderFileTest, ReadsTheShippedCutLineByLine) {
  const std::vector<BorderLine> lines = LoadBorders(PyreneesFile());
  // The cut holds five lines of 23, 24, 18, 6 and 33 points (tests/data/README.md).
  std::vector<std::size_t> counts;
  for (const BorderLine& line : lines) counts.push_back(line.size());
  EXPECT_EQ(counts, (std::vector<std::size_t>{23, 24, 18, 6, 33}));
  // Every point lies on the Pyrenees.
  for (const BorderLine& line : lines) {
    for (const CoastlinePoint& p : line) {
      EXPECT_TRUE(p.longitude > -2.0 && p.longitude < 3.5 && p.latitude > 42.0 &&
                  p.latitude < 43.5)
          << p.longitude << " " << p.latitude;
    }
  }
}

TEST(BorderFileTest, RefusesWhatIsNoBorderFile) {
  const fs::path folder = fs::temp_directory_path() /
                          ("darvelle_border_test_" +
                           std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::create_directories(folder);
  const struct {
    const char* what;
    const char* text;
    std::size_t lines;  // 0: refused
  } cases[] = {
      {"lone points and blank lines dropped", ">\n1 2\n>\n\n3 4\n5 6\n>\n", 1},
      {"points before the first marker", "1 2\n3 4\n> x\n0 0\n-0 10\n", 2},
      {"a word for a number", ">\n1 2\nten 3\n", 0},
      {"one number", ">\n1 2\n3\n", 0},
      {"latitude beyond the pole", ">\n1 2\n3 91\n", 0},
  };
  for (const auto& c : cases) {
    const fs::path file = folder / "borders.txt";
    {
      std::FILE* out = std::fopen(file.c_str(), "wb");
      std::fputs(c.text, out);
      std::fclose(out);
    }
    if (c.lines == 0) {
      EXPECT_THROW(LoadBorders(file), FileError) << c.what;
    } else {
      EXPECT_EQ(LoadBorders(file).size(), c.lines) << c.what;
    }
  }
  fs::remove_all(folder);
}

TEST(BorderLayerTest, DrawsTheFrenchSpanishBorderWhereItLies) {
  const BorderLayer borders(LoadBorders(PyreneesFile()));
  const struct {
    const char* what;
    double longitude, latitude;
    bool border;
  } places[] = {
      // Along the ridge between Roncesvalles and Andorra (atlas positions).
      {"Spain/France near Roncesvalles", -1.35, 43.03, true},
      {"Spain/France at the Somport", -0.52, 42.80, true},
      {"Andorra's north", 1.6, 42.65, true},
      {"Toulouse", 1.44, 43.60, false},
      {"Zaragoza", -0.88, 41.65, false},
  };
  for (const int rk : {1500, 4000}) {
    const GlobeProjection view = ViewFacing(0.0, 42.7, rk);
    QImage image = GreyMap();
    DrawBorders(image, view, borders);
    // A few kilometres of tolerance: the atlas positions are rounded.
    const int radius = static_cast<int>(std::ceil(rk * 4.0 / 6371.0)) + 1;
    for (const auto& p : places) {
      const ProjectedPoint at =
          view.ProjectPoint(RoundHalfEven(p.longitude * 3600), RoundHalfEven(p.latitude * 3600));
      EXPECT_EQ(ColorNear(image, at.ScreenX, at.ScreenY, kBorderColor, radius), p.border)
          << p.what << " at globe size " << rk;
    }
  }
}

TEST(TownLabelTest, NamesNeverOverlapAndSitOnTheirTowns) {
  test::EnsureGuiApplication();
  // A crowded square of towns, every name long enough to collide.
  std::vector<TownLabelCandidate> towns;
  for (int i = 0; i < 40; ++i) {
    for (int j = 0; j < 40; ++j) {
      towns.push_back({QStringLiteral("Town %1-%2").arg(i).arg(j), -100.0 + 0.25 * i,
                       30.0 + 0.25 * j});
    }
  }
  for (const bool stereographic : {false, true}) {
    ViewParameters params;
    params.RK = 3000;
    params.Stereographic = stereographic;
    ViewCentre centre{true, -95.0 * kDeg, 35.0 * kDeg, 0.0, 0.0};
    const GlobeProjection view = ComputeViewAngles(params, centre, 0.0);
    const auto labels = PlaceTownLabels(towns, view, QSize(kMapWidth, kMapHeight));
    ASSERT_GT(labels.size(), 20u);
    EXPECT_LE(labels.size(), static_cast<std::size_t>(kMaxTownLabels));
    for (std::size_t a = 0; a < labels.size(); ++a) {
      const TownLabelCandidate& town = towns[labels[a].candidate];
      EXPECT_EQ(labels[a].name, town.name);
      const ProjectedPoint p = view.ProjectPoint(RoundHalfEven(town.longitudeDeg * 3600),
                                                 RoundHalfEven(town.latitudeDeg * 3600));
      EXPECT_NEAR(labels[a].anchor.x(), p.ScreenX, 0.5);
      EXPECT_NEAR(labels[a].anchor.y(), p.ScreenY, 0.5);
      // The name is beside its own dot, within a few pixels.
      const QRect near = labels[a].box.adjusted(-6, -6, 6, 6);
      EXPECT_TRUE(near.contains(labels[a].anchor.toPoint())) << labels[a].name.toStdString();
      for (std::size_t b = a + 1; b < labels.size(); ++b) {
        EXPECT_FALSE(labels[a].box.intersects(labels[b].box))
            << labels[a].name.toStdString() << " / " << labels[b].name.toStdString();
      }
    }
    // The dots are drawn where the towns are.
    QImage image = GreyMap();
    DrawTownLabels(image, labels);
    for (const PlacedLabel& label : labels) {
      const QRgb dot = image.pixel(label.anchor.toPoint());
      EXPECT_LT(qGray(dot), 100) << label.name.toStdString();
    }
  }
}

TEST(TownLabelTest, TheChosenPlaceAndTheTownsInThePathComeFirst) {
  // A band from 10 to 12 degrees of latitude; towns listed most populous first.
  const std::vector<std::vector<CoastlinePoint>> path = {
      {{0, 10}, {20, 10}, {20, 12}, {0, 12}, {0, 10}}};
  const std::vector<TownLabelCandidate> towns = {
      {"Big", 5, 30}, {"Inside", 5, 11}, {"Middle", 25, 11}, {"Small inside", 15, 11.5}};
  const struct {
    const char* what;
    std::optional<TownLabelCandidate> chosen;
    std::vector<QString> order;
  } cases[] = {
      {"no place", std::nullopt, {"Inside", "Small inside", "Big", "Middle"}},
      {"a place", TownLabelCandidate{"Here", 1, 1}, {"Here", "Inside", "Small inside", "Big", "Middle"}},
  };
  for (const auto& c : cases) {
    std::vector<QString> order;
    for (const auto& t : RankTownLabels(towns, c.chosen, path)) order.push_back(t.name);
    EXPECT_EQ(order, c.order) << c.what;
  }
}

}  // namespace
}  // namespace darvelle
