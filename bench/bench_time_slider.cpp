// One step of the window's time slider: the map of 2024 April 8 drawn once
// at globe size 500 (plain or coloured Earth) and kept; every step moves
// the instant by a minute, computes the shadow, copies the kept drawing and
// draws the time layer over it. BM_TimeSliderStep is that much (what the
// picture costs before it is shown); BM_TimeSliderStepFitted adds the fit
// to a map panel of 1100 x 733 pixels, the whole job the window's worker
// does per step (TimeLayer::Compose). Arguments: coloured (0/1).

#include <benchmark/benchmark.h>

#include "geometry/shadow_at_instant.h"
#include "render/map.h"
#include "render/shadow_layer.h"
#include "scene_2024.h"
#include "ui/eclipse_session.h"
#include "ui/time_layer.h"

namespace darvelle {
namespace {

std::shared_ptr<const ui::SessionResult> KeptMap(const Scene2024& scene, bool coloured) {
  auto result = std::make_shared<ui::SessionResult>();
  result->computation = scene.computation;
  result->renderer = std::make_shared<MapRenderer>();
  ViewParameters view;
  view.RK = 500;
  view.ColoredEarth = coloured;
  result->drawnView = view;
  static const EarthTexture kNone;
  result->renderer->DrawMap(*scene.computation, view, coloured ? scene.texture : kNone,
                            scene.coastlines);
  return result;
}

// Instants a minute apart, from an hour before greatest eclipse on.
double Instant(const EclipseResult& c, long step) {
  return c.circumstances.timeGreatest - 1.0 + static_cast<double>(step % 120) / 60.0;
}

void BM_TimeSliderStep(benchmark::State& state) {
  const Scene2024& scene = SharedScene2024();
  if (!scene.missing.empty()) {
    state.SkipWithError(scene.missing.c_str());
    return;
  }
  const auto shown = KeptMap(scene, state.range(0) != 0);
  const EclipseResult& c = *shown->computation;
  const QImage kept = shown->renderer->DrawingImage().convertToFormat(QImage::Format_RGB32);
  const GlobeProjection projection = *shown->renderer->LastView();
  long step = 0;
  for (auto _ : state) {
    const ShadowAtInstant shadow = ComputeShadowAt(c.elements, c.deltaT, Instant(c, step++));
    QImage frame = kept;
    DrawShadowLayer(frame, projection, shadow);
    benchmark::DoNotOptimize(frame.constBits());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TimeSliderStep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TimeSliderStepFitted(benchmark::State& state) {
  const Scene2024& scene = SharedScene2024();
  if (!scene.missing.empty()) {
    state.SkipWithError(scene.missing.c_str());
    return;
  }
  const auto shown = KeptMap(scene, state.range(0) != 0);
  long step = 0;
  for (auto _ : state) {
    const ui::TimeLayer::Picture picture =
        ui::TimeLayer::Compose(shown, Instant(*shown->computation, step++), QSize(1100, 733), 1.0);
    benchmark::DoNotOptimize(picture.fitted.constBits());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TimeSliderStepFitted)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace darvelle
