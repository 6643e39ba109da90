// The path drawn as a band on the map: every shaded pixel lies between the
// limits of the path the GIS files write, and the path's inside is shaded.

#include "export/path_band.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "astro/delta_t.h"
#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "catalogue/selection.h"
#include "export/gis_source.h"
#include "export/zone_polygons.h"
#include "plane_checks.h"
#include "render/globe_interaction.h"
#include "render/map.h"

namespace darvelle {
namespace {

using darvelle::testing::InsideAny;
using darvelle::testing::Ring;

const Catalogue& TestCatalogue() {
  static const Catalogue catalogue = LoadCatalogue(
      std::filesystem::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName));
  return catalogue;
}

EclipseResult Computed(int index) { return ComputeEclipse(PrepareEclipse(TestCatalogue(), index, TimeScale::kUniversal, 1)); }

int IndexOfDate(int year, int month, int day) {
  for (const int index : EclipsesOfYear(TestCatalogue(), year)) {
    const PreparedEclipse e = PrepareEclipse(TestCatalogue(), index, TimeScale::kUniversal, 1);
    if (e.elements.month == month && e.elements.day == day) return index;
  }
  return 0;
}

std::vector<Ring> PathOf(const EclipseResult& c) {
  std::vector<Ring> rings;
  for (const Zone& zone : EclipseZones(GisSourceFrom(c))) {
    if (zone.kind == ZoneKind::Partial) continue;
    for (const GeoRing& ring : zone.polygons) {
      Ring& out = rings.emplace_back();
      for (const GeoPoint& p : ring) out.emplace_back(p.LongitudeDeg, p.LatitudeDeg);
    }
  }
  return rings;
}

TEST(PathBandTest, ShadesThePathAndNothingElse) {
  const struct {
    const char* what;
    int index;
    ViewParameters view;
  } cases[] = {
      {"2024 total, whole globe", 16690, {}},
      {"2024 total, zoomed on Texas", 16690, {3.0, -4.0, 0.0, 2500}},
      {"2012 annular across the antimeridian", 16664, {}},
      {"2026 total, stereographic", 16695, {0.0, 0.0, 0.0, 500, true}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const EclipseResult result = Computed(c.index);
    const std::vector<Ring> path = PathOf(result);
    ASSERT_FALSE(path.empty());
    const std::vector<BandArea> areas = PathBandAreas(result, false);
    MapRenderer plain, banded;
    plain.DrawMap(result, c.view, EarthTexture{}, CoastlineLayer{});
    MapLayers layers;
    layers.band = areas;
    banded.DrawMap(result, c.view, EarthTexture{}, CoastlineLayer{}, layers);
    const QImage& before = plain.DrawingImage();
    const QImage& after = banded.DrawingImage();
    const GlobeProjection& view = *banded.LastView();

    // A pixel is judged only where the path's edge is more than two pixels
    // away: the rings are straight between their vertices on the map, the
    // band's fill is straight between them on the screen.
    const auto inside = [&](int x, int y) -> std::optional<bool> {
      std::optional<bool> verdict;
      for (const auto& [dx, dy] : {std::pair{0, 0}, {-3, 0}, {3, 0}, {0, -3}, {0, 3}}) {
        const auto at = UnprojectPixel(view, {double(x + dx), double(y + dy)});
        if (!at) return std::nullopt;
        const bool in = InsideAny(path, at->longitude, at->latitude);
        if (verdict && *verdict != in) return std::nullopt;
        verdict = in;
      }
      return verdict;
    };
    int shadedInside = 0, plainInside = 0, shadedOutside = 0;
    for (int y = 4; y < kMapHeight - 4; y += 5) {
      for (int x = 4; x < kMapWidth - 4; x += 5) {
        const bool shaded = before.pixel(x, y) != after.pixel(x, y);
        // Curves, markers and the graticule cover the band where they pass.
        const bool bare = qGray(before.pixel(x, y)) == kGlobeBackgroundGrey;
        const auto in = inside(x, y);
        if (!in) continue;
        if (*in && bare) (shaded ? shadedInside : plainInside)++;
        if (!*in && shaded) ++shadedOutside;
      }
    }
    EXPECT_GT(shadedInside, 50);
    EXPECT_EQ(plainInside, 0);
    EXPECT_EQ(shadedOutside, 0);
  }
}

// The band of the central line for an uncertain DeltaT against the central
// line computed afresh with DeltaT at the range's ends and beyond: both ends
// lie on the band's edges, the lines between them inside it, lines four
// sigma further out outside it.
TEST(DeltaTBandLayerTest, HoldsTheCentralLineForEveryDeltaTOfItsRange) {
  const int index = IndexOfDate(-584, 5, 28);
  ASSERT_NE(index, 0);
  const EclipseResult model = Computed(index);
  const auto layer = DeltaTBandLayerOf(model);
  ASSERT_TRUE(layer.has_value());
  MapRenderer plain, banded;
  plain.DrawMap(model, {}, EarthTexture{}, CoastlineLayer{});
  MapLayers layers;
  layers.deltaTBand = &*layer;
  banded.DrawMap(model, {}, EarthTexture{}, CoastlineLayer{}, layers);
  const QImage& before = plain.DrawingImage();
  const QImage& after = banded.DrawingImage();
  const GlobeProjection& view = *banded.LastView();

  const double sigma = *DeltaTUncertainty(model.elements.year);
  const auto lineAt = [&](double deltaT) {
    PreparedEclipse prepared = PrepareEclipse(TestCatalogue(), index, TimeScale::kUniversal, 1);
    SetUserDeltaT(prepared, deltaT);
    return GisSourceFrom(ComputeEclipse(prepared)).Curve(MapCurve::CentralLine);
  };
  // Per vertex well inside the globe's outline, where the lines of different
  // DeltaT are not squeezed together: whether a pixel within `radius` changed
  // (bare pixels only; curves cover the band where they pass) and whether the
  // edge's colour lies there.
  struct Tally {
    int bare = 0, changed = 0, onEdge = 0;
  };
  const auto tally = [&](const GeoLine& line, int radius) {
    Tally t;
    for (const GeoVertex& v : line) {
      const ProjectedPoint p = view.ProjectPoint(std::llround(v.LongitudeDeg * 3600.0),
                                                 std::llround(v.LatitudeDeg * 3600.0));
      const int x = static_cast<int>(std::lround(p.ScreenX));
      const int y = static_cast<int>(std::lround(p.ScreenY));
      if (p.Depth < 0.5 || x < 4 || y < 4 || x >= kMapWidth - 4 || y >= kMapHeight - 4) continue;
      if (qGray(before.pixel(x, y)) != kGlobeBackgroundGrey) continue;
      ++t.bare;
      bool changed = false, edge = false;
      for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
          changed = changed || before.pixel(x + dx, y + dy) != after.pixel(x + dx, y + dy);
          edge = edge || after.pixel(x + dx, y + dy) == kDeltaTEdgeColor;
        }
      }
      t.changed += changed;
      t.onEdge += edge;
    }
    return t;
  };
  const double deltaT = model.modelDeltaT;
  for (const double end : {deltaT - 2.0 * sigma, deltaT + 2.0 * sigma}) {
    SCOPED_TRACE(end);
    const Tally t = tally(lineAt(end), 1);
    EXPECT_GT(t.bare, 100);
    // Where another line crosses the edge, the later one's pixel shows.
    EXPECT_GE(t.onEdge, t.bare * 97 / 100);
  }
  // The model's own line is drawn as a curve: one sigma either side of it.
  for (const double inside : {deltaT - sigma, deltaT + sigma}) {
    SCOPED_TRACE(inside);
    const Tally t = tally(lineAt(inside), 0);
    EXPECT_GT(t.bare, 100);
    EXPECT_EQ(t.changed, t.bare);
  }
  // Where the path runs east and west a line further out still runs along
  // the band: most of it, not all, lies outside.
  for (const double outside : {deltaT - 6.0 * sigma, deltaT + 6.0 * sigma}) {
    SCOPED_TRACE(outside);
    const Tally t = tally(lineAt(outside), 2);
    EXPECT_GT(t.bare, 100);
    EXPECT_LE(t.changed, t.bare / 10);
  }
}

}  // namespace
}  // namespace darvelle
