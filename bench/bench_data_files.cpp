// Start-up cost of the two large data files: decoding the Earth texture and
// reading the coastline points.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "catalogue/data_files.h"
#include "render/coastline_file.h"
#include "render/texture_file.h"

namespace {

std::filesystem::path DataFile(std::string_view name) {
  return std::filesystem::path(DARVELLE_TEST_DATA_DIR) / name;
}

// A fresh texture each time, as at start-up: the allocation and first touch
// of the 112 MB pixel buffer are part of the cost.
void BM_LoadTexture(benchmark::State& state) {
  const auto file = DataFile(darvelle::kTextureFileName);
  if (!std::filesystem::exists(file)) {
    state.SkipWithError("the Earth texture is not in data/");
    return;
  }
  for (auto _ : state) {
    darvelle::EarthTexture texture;
    const auto result = darvelle::LoadTexture(file, texture);
    if (!result.decoded) state.SkipWithError(result.message.c_str());
    benchmark::DoNotOptimize(texture.rgb.data());
  }
  state.SetLabel("8640 x 4320");
}
BENCHMARK(BM_LoadTexture)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The decoding alone: the pixel buffer of the previous load is reused.
void BM_LoadTextureAgain(benchmark::State& state) {
  const auto file = DataFile(darvelle::kTextureFileName);
  if (!std::filesystem::exists(file)) {
    state.SkipWithError("the Earth texture is not in data/");
    return;
  }
  darvelle::EarthTexture texture;
  for (auto _ : state) {
    const auto result = darvelle::LoadTexture(file, texture);
    if (!result.decoded) state.SkipWithError(result.message.c_str());
    benchmark::DoNotOptimize(texture.rgb.data());
  }
}
BENCHMARK(BM_LoadTextureAgain)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_LoadCoastlines(benchmark::State& state) {
  const auto file = DataFile(darvelle::kCoastlineFileName);
  if (!std::filesystem::exists(file)) {
    state.SkipWithError("the coastline file is not in data/");
    return;
  }
  std::size_t count = 0;
  for (auto _ : state) {
    const auto points = darvelle::LoadCoastlines(file);
    count = points.size();
    benchmark::DoNotOptimize(points.data());
  }
  state.counters["points"] = static_cast<double>(count);
}
BENCHMARK(BM_LoadCoastlines)->Unit(benchmark::kMillisecond);

}  // namespace
