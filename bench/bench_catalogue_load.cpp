// LoadCatalogue of the committed catalogue file, as start-up reads it
// (target: 30 ms at most); and the file opened for one record, as
// "darvelle-cli compute" reads it.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"

namespace {

using namespace darvelle;

std::filesystem::path CataloguePath() {
  return std::filesystem::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName);
}

void BM_LoadCatalogue(benchmark::State& state) {
  if (!std::filesystem::exists(CataloguePath())) {
    state.SkipWithError("the catalogue file is not in data/");
    return;
  }
  for (auto _ : state) {
    Catalogue catalogue = LoadCatalogue(CataloguePath());
    benchmark::DoNotOptimize(catalogue.Count());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(std::filesystem::file_size(CataloguePath())));
}
BENCHMARK(BM_LoadCatalogue)->Unit(benchmark::kMillisecond);

void BM_CatalogueFileOneRecord(benchmark::State& state) {
  if (!std::filesystem::exists(CataloguePath())) {
    state.SkipWithError("the catalogue file is not in data/");
    return;
  }
  for (auto _ : state) {
    const CatalogueFile catalogue(CataloguePath());
    benchmark::DoNotOptimize(catalogue.Record(catalogue.Count() / 2));
  }
}
BENCHMARK(BM_CatalogueFileOneRecord)->Unit(benchmark::kMillisecond);

}  // namespace
