// Frames per second of the quick picture the window shows while the globe
// is dragged: the total eclipse of 2024 April 8 already computed, drawn
// again at globe size 500 in a view turned a little further at every frame
// (coastlines, curves and markers on the plain Earth, or on the coloured
// Earth's coarse texture under the curves' halos) and fitted to a map panel
// of 1100 x 733 logical pixels, at one and at two device pixels per pixel.
// Arguments: pixel ratio, coloured (0/1). items_per_second is the frame rate;
// the CPU time counts the texture's two threads as well (process CPU time).

#include <benchmark/benchmark.h>

#include "scene_2024.h"
#include "ui/drag_preview.h"
#include "ui/eclipse_session.h"

namespace darvelle {
namespace {

void BM_DragPreviewFrame(benchmark::State& state) {
  const Scene2024& scene = SharedScene2024();
  if (!scene.missing.empty()) {
    state.SkipWithError(scene.missing.c_str());
    return;
  }
  const qreal ratio = static_cast<qreal>(state.range(0));
  ui::DragPreview preview;
  ui::SessionResult shown;
  shown.computation = scene.computation;
  shown.drawnView.RK = 500;
  shown.drawnView.CurveHalos = true;  // as the window draws the coloured Earth
  shown.drawnView.ColoredEarth = state.range(1) != 0;
  ViewParameters view = shown.drawnView;
  for (auto _ : state) {
    view.Psi += 1.5;  // a drag moves the view a little between two frames
    view.Phi = view.Psi / 10.0;
    const QImage frame = preview.Draw(shown, view, &scene.texture, scene.coastlines, QSize(1100, 733), ratio);
    benchmark::DoNotOptimize(frame.constBits());
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_DragPreviewFrame)->ArgsProduct({{1, 2}, {0, 1}})->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_DragPreviewFrame)->ArgsProduct({{1, 2}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace darvelle
