// The zoomed redraw: the total eclipse of 2024 April 8 on the plain globe at
// the window's largest radius over Texas, with the coastline points (as
// before the tiers) and with the high-resolution shores and borders; the
// shore lines alone; and the loading of a tier.

#include <benchmark/benchmark.h>

#include <memory>

#include "render/map.h"
#include "render/zoom_coastlines.h"
#include "scene_2024.h"

namespace darvelle {
namespace {

const std::filesystem::path kHighTier =
    std::filesystem::path(DARVELLE_TEST_DATA_DIR) / CoastTierFileName('h');

const ZoomCoastLayer* SharedHighTier() {
  static const std::unique_ptr<const ZoomCoastLayer> layer = []() -> std::unique_ptr<ZoomCoastLayer> {
    try {
      return std::make_unique<ZoomCoastLayer>(LoadCoastTier(kHighTier));
    } catch (const std::exception&) {
      return nullptr;
    }
  }();
  return layer.get();
}

// Texas from 2024's greatest eclipse (25.3 N, 104.1 W): the view moved 7 deg
// east and 6 deg north, radius 9999 (0.64 km a pixel).
ViewParameters TexasView() {
  ViewParameters view;
  view.Psi = 7.0;
  view.Phi = 6.0;
  view.RK = 9999;
  return view;
}

void BM_ZoomedRedraw(benchmark::State& state, bool tiers) {
  const Scene2024& scene = SharedScene2024();
  const ZoomCoastLayer* high = SharedHighTier();
  if (!scene.missing.empty() || high == nullptr) {
    state.SkipWithError("the 2024 scene or data/Coast_GSHHG_h.bin (tools/setup.sh) is missing");
    return;
  }
  MapRenderer renderer;
  MapLayers layers;
  if (tiers) layers.zoomCoast = high;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        renderer.DrawMap(*scene.computation, TexasView(), scene.texture, scene.coastlines, layers));
  }
}
void BM_ZoomedRedrawWithPoints(benchmark::State& state) { BM_ZoomedRedraw(state, false); }
void BM_ZoomedRedrawWithHighTier(benchmark::State& state) { BM_ZoomedRedraw(state, true); }

// The shore lines alone, over the Basque coast at radius 9999 and 60000.
void BM_DrawHighShores(benchmark::State& state) {
  const ZoomCoastLayer* high = SharedHighTier();
  if (high == nullptr) {
    state.SkipWithError("data/Coast_GSHHG_h.bin is missing (tools/setup.sh makes it)");
    return;
  }
  QImage image(kMapWidth, kMapHeight, kMapImageFormat);
  const double deg = 3.141592653589793 / 180.0;
  const GlobeProjection view(-2.93 * deg, 43.3 * deg, 0.0, static_cast<int>(state.range(0)), false);
  for (auto _ : state) {
    DrawZoomLines(image, view, high->Shores(), qRgb(0, 0, 0));
    benchmark::ClobberMemory();
  }
  state.counters["points_projected"] = static_cast<double>(
      VisiblePointCount(view, high->Shores(), kMapWidth, kMapHeight));
  state.counters["points_in_tier"] = static_cast<double>(high->Shores().PointCount());
}

void BM_LoadHighTier(benchmark::State& state) {
  if (SharedHighTier() == nullptr) {
    state.SkipWithError("data/Coast_GSHHG_h.bin is missing (tools/setup.sh makes it)");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(ZoomCoastLayer(LoadCoastTier(kHighTier)));
}

BENCHMARK(BM_ZoomedRedrawWithPoints)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomedRedrawWithHighTier)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawHighShores)->Arg(9999)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadHighTier)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace darvelle
