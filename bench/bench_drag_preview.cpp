// Frames per second of the quick picture the window shows while the globe
// is dragged: the total eclipse of 2024 April 8 already computed, drawn
// again at globe size 500 in a view turned a little further at every frame
// (coastlines, curves and markers on the plain Earth, or on the coloured
// Earth's coarse texture under the curves' halos) and fitted to a map panel
// of 1100 x 733 logical pixels, at one and at two device pixels per pixel.
// Arguments: pixel ratio, coloured (0/1). items_per_second is the frame rate;
// the CPU time counts the texture's two threads as well (process CPU time).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "catalogue/selection.h"
#include "geometry/eclipse_computation.h"
#include "render/coastline_file.h"
#include "render/map.h"
#include "render/texture_file.h"
#include "ui/drag_preview.h"
#include "ui/eclipse_session.h"

namespace darvelle {
namespace {

struct Scene {
  ui::SessionResult shown;
  CoastlineLayer coastlines;
  EarthTexture texture;
  std::vector<CoastlinePoint> points;
  std::string missing;  // why the scene could not be built, if it could not
};

Scene& SharedScene() {
  static const std::unique_ptr<Scene> scene = [] {
    auto s = std::make_unique<Scene>();
    const std::filesystem::path data = DARVELLE_TEST_DATA_DIR;
    try {
      const Catalogue catalogue = LoadCatalogue(data / kCatalogueFileName);
      auto computation = std::make_shared<const EclipseResult>(
          ComputeEclipse(PrepareEclipse(catalogue, FindFirstOfYear(catalogue, 2024), true, 1)));
      s->points = LoadCoastlines(data / kCoastlineFileName);
      s->coastlines = CoastlineLayer(s->points);
      s->shown.computation = std::move(computation);
      s->shown.drawnView.RK = 500;
      s->shown.drawnView.CurveHalos = true;  // as the window draws the coloured Earth
      if (!LoadTexture(FindDataFile(kTextureFileName, data), s->texture).decoded) s->missing = "no texture";
    } catch (const std::exception& e) {
      s->missing = e.what();
    }
    return s;
  }();
  return *scene;
}

void BM_DragPreviewFrame(benchmark::State& state) {
  Scene& scene = SharedScene();
  if (!scene.missing.empty()) {
    state.SkipWithError(scene.missing.c_str());
    return;
  }
  const qreal ratio = static_cast<qreal>(state.range(0));
  ui::DragPreview preview;
  ui::SessionResult shown = scene.shown;
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
