// Speed of the map drawing for the total eclipse of 2024 April 8 with the
// real Earth texture and coastlines: the plain orthographic globe, the
// coloured one, the coloured stereographic view, and the texture pass alone;
// and the globe with the borders, the town names and the path as a band.

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "export/path_band.h"
#include "places/place_index.h"
#include "render/border_file.h"
#include "render/map.h"
#include "scene_2024.h"

namespace darvelle {
namespace {

void DrawMapWith(benchmark::State& state, bool colored, bool stereographic) {
  const Scene2024& scene = SharedScene2024();
  if (!scene.missing.empty()) {
    state.SkipWithError(scene.missing.c_str());
    return;
  }
  MapRenderer renderer;
  ViewParameters view;
  view.ColoredEarth = colored;
  view.Stereographic = stereographic;
  for (auto _ : state) {
    const DrawnCurves drawn =
        renderer.DrawMap(*scene.computation, view, scene.texture, scene.coastlines);
    benchmark::DoNotOptimize(drawn);
  }
}

void BM_DrawMapPlainOrthographic(benchmark::State& state) { DrawMapWith(state, false, false); }
void BM_DrawMapColoredOrthographic(benchmark::State& state) { DrawMapWith(state, true, false); }
void BM_DrawMapColoredStereographic(benchmark::State& state) { DrawMapWith(state, true, true); }
void BM_DrawMapPlainStereographic(benchmark::State& state) { DrawMapWith(state, false, true); }

// The texture pass alone, on 1 or 2 threads (argument).
void BM_RenderTexture(benchmark::State& state, bool stereographic) {
  const Scene2024& scene = SharedScene2024();
  if (!scene.missing.empty()) {
    state.SkipWithError(scene.missing.c_str());
    return;
  }
  QImage image(kMapWidth, kMapHeight, kMapImageFormat);
  const GlobeProjection view = ComputeViewAngles(
      ViewParameters{}, ViewCentreOf(*scene.computation), scene.computation->deltaT);
  const GlobeProjection projection(view.TotalPsi(), view.TotalPhi(), 0.0, 500, stereographic);
  for (auto _ : state) {
    RenderTexture(image, scene.texture, projection, static_cast<int>(state.range(0)));
    benchmark::ClobberMemory();
  }
}
void BM_RenderTextureOrthographic(benchmark::State& state) { BM_RenderTexture(state, false); }
void BM_RenderTextureStereographic(benchmark::State& state) { BM_RenderTexture(state, true); }

// The whole redraw with the optional layers at globe size 500 on the files'
// canvas, or on a full-window canvas of 1600 x 1200 with
// a globe 1,200 pixels across: the layers' data (borders, town list, band
// rings, the ranked names) are made once, as the window keeps them between
// drawings; the names are placed anew each time.
void DrawMapWithLayers(benchmark::State& state, bool colored, const MapCanvas& canvas = {}, int size = 500) {
  const Scene2024& scene = SharedScene2024();
  if (!scene.missing.empty()) {
    state.SkipWithError(scene.missing.c_str());
    return;
  }
  static int argc = 1;
  static char name[] = "bench_map";
  static char* argv[] = {name, nullptr};
  if (QGuiApplication::instance() == nullptr) new QGuiApplication(argc, argv);
  static const BorderLayer borders(
      LoadBorders(std::filesystem::path(DARVELLE_TEST_DATA_DIR) / kBorderFileName));
  static const places::PlaceIndex index = places::PlaceIndex::Load("en", std::nullopt);
  const std::vector<BandArea> areas = PathBandAreas(*scene.computation, true);
  std::vector<TownLabelCandidate> byPopulation;
  for (const places::Place& place : index.Places()) {
    byPopulation.push_back({QString::fromStdString(place.Name), place.LongitudeDeg,
                            place.LatitudeDeg});
  }
  const std::vector<TownLabelCandidate> towns =
      RankTownLabels(byPopulation, std::nullopt, PathRingsOf(areas));
  MapLayers layers;
  layers.borders = &borders;
  layers.band = areas;
  layers.towns = towns;
  MapRenderer renderer(canvas);
  ViewParameters view;
  view.ColoredEarth = colored;
  view.RK = size;
  for (auto _ : state) {
    const DrawnCurves drawn =
        renderer.DrawMap(*scene.computation, view, scene.texture, scene.coastlines, layers);
    benchmark::DoNotOptimize(drawn);
  }
  state.counters["towns"] = static_cast<double>(index.Size());
  state.counters["names"] = static_cast<double>(renderer.LastLabels().size());
}
void BM_DrawMapPlainWithLayers(benchmark::State& state) { DrawMapWithLayers(state, false); }
void BM_DrawMapColoredWithLayers(benchmark::State& state) { DrawMapWithLayers(state, true); }
void BM_DrawFullWindowColoredWithLayers(benchmark::State& state) {
  DrawMapWithLayers(state, true, MapCanvas{1600, 1200, 1.0}, 600);
}

BENCHMARK(BM_DrawMapPlainWithLayers)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DrawMapColoredWithLayers)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DrawFullWindowColoredWithLayers)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DrawMapPlainOrthographic)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DrawMapColoredOrthographic)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DrawMapColoredStereographic)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DrawMapPlainStereographic)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderTextureOrthographic)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_RenderTextureStereographic)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace darvelle
