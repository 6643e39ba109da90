// The parts of "darvelle-cli compute --map FILE" that are not the drawing:
// the PNG encoding of the 2024 map, Qt's and the quick one, and the
// coastline file read into the layer the drawing uses.

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>

#include "render/image_file.h"
#include "render/map.h"
#include "scene_2024.h"

namespace darvelle {
namespace {

const QImage* Map2024(benchmark::State& state) {
  const Scene2024& scene = SharedScene2024();
  if (!scene.missing.empty()) {
    state.SkipWithError(scene.missing.c_str());
    return nullptr;
  }
  static const QImage map = [&] {
    MapRenderer renderer;
    renderer.DrawMap(*scene.computation, ViewParameters{}, scene.texture, scene.coastlines);
    return renderer.DrawingImage();
  }();
  return &map;
}

void BM_PngQt(benchmark::State& state) {
  const QImage* map = Map2024(state);
  if (map == nullptr) return;
  for (auto _ : state) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    map->save(&buffer, "PNG");
    state.counters["bytes"] = static_cast<double>(bytes.size());
  }
}

void BM_PngQuick(benchmark::State& state) {
  const QImage* map = Map2024(state);
  if (map == nullptr) return;
  for (auto _ : state) {
    const std::string png = QuickPng(*map);
    state.counters["bytes"] = static_cast<double>(png.size());
  }
}

void BM_CoastlineLayerFromFile(benchmark::State& state) {
  const std::filesystem::path file =
      std::filesystem::path(DARVELLE_TEST_DATA_DIR) / kCoastlineFileName;
  if (!std::filesystem::exists(file)) {
    state.SkipWithError("the coastline file is not in data/");
    return;
  }
  for (auto _ : state) {
    const CoastlineLayer layer(LoadCoastlines(file));
    benchmark::DoNotOptimize(layer.Count());
  }
}

BENCHMARK(BM_PngQt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngQuick)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CoastlineLayerFromFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace darvelle
