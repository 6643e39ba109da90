// The GIS export of one computed eclipse: GeoJSON, KML and both, for the
// 2024 total eclipse (two areas), the 2012 annular over the antimeridian and
// the 2011 polar partial. The computation itself is done once, outside the
// timing.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "catalogue/eclipse_texts.h"
#include "export/geojson_export.h"
#include "export/gis_layers.h"
#include "export/kml_export.h"

namespace {

using namespace darvelle;

// Computed once per index for all benchmarks of this program; read only afterwards.
const EclipseResult* Computed(int index) {
  static std::map<int, std::unique_ptr<EclipseResult>> cache;
  auto& slot = cache[index];
  if (!slot) {
    const auto path =
        std::filesystem::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName);
    if (!std::filesystem::exists(path)) return nullptr;
    static const Catalogue catalogue = LoadCatalogue(path);
    slot =
        std::make_unique<EclipseResult>(ComputeEclipse(PrepareEclipse(catalogue, index, TimeScale::kUniversal, 1)));
  }
  return slot.get();
}

enum Format { kGeoJson = 1, kKml = 2, kBoth = 3 };

// Arguments: catalogue index, format.
void BM_GisExport(benchmark::State& state) {
  const EclipseResult* c = Computed(static_cast<int>(state.range(0)));
  if (c == nullptr) {
    state.SkipWithError("catalogue not in data/");
    return;
  }
  const auto format = static_cast<Format>(state.range(1));
  std::size_t bytes = 0;
  for (auto _ : state) {
    if (format & kGeoJson) bytes += static_cast<std::size_t>(GeoJsonForEclipse(*c, kEnglish).size());
    if (format & kKml) bytes += static_cast<std::size_t>(KmlForEclipse(*c, kEnglish).size());
    benchmark::DoNotOptimize(bytes);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

// 16690: 2024 Apr 8 total; 16664: 2012 May 20 annular; 16661: 2011 Jun 1 partial.
BENCHMARK(BM_GisExport)
    ->ArgsProduct({{16690, 16664, 16661}, {kGeoJson, kKml, kBoth}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// The stages under the files: reading the computation (with the umbra's
// outline at both ends of the path) and building lines and areas.
void BM_GisStages(benchmark::State& state) {
  const EclipseResult* c = Computed(static_cast<int>(state.range(0)));
  if (c == nullptr) {
    state.SkipWithError("catalogue not in data/");
    return;
  }
  const GisSource source = GisSourceFrom(*c);
  for (auto _ : state) {
    if (state.range(1) == 0) {
      benchmark::DoNotOptimize(GisSourceFrom(*c));
    } else {
      benchmark::DoNotOptimize(BuildGisLayers(source));
    }
  }
}

BENCHMARK(BM_GisStages)->ArgsProduct({{16690, 16664}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace
