// The path drawn as a band on the map: every shaded pixel lies between the
// limits of the path the GIS files write, and the path's inside is shaded.

#include "export/path_band.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "export/gis_source.h"
#include "export/zone_polygons.h"
#include "plane_checks.h"
#include "render/globe_interaction.h"
#include "render/map.h"

namespace darvelle {
namespace {

using darvelle::testing::InsideAny;
using darvelle::testing::Ring;

EclipseResult Computed(int index) {
  static const Catalogue catalogue = LoadCatalogue(
      std::filesystem::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName));
  return ComputeEclipse(PrepareEclipse(catalogue, index, true, 1));
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

}  // namespace
}  // namespace darvelle
