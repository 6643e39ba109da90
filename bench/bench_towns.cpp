// The town list: reading the towns file (data/Towns_GeoNames_1000.bin, made
// by tools/setup.sh) into the index, a search as the user types (the window's
// completion, the command-line tool's --place), and every town that sees the
// eclipse of 2024 April 8 (darvelle-cli towns, the window's list).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "astro/delta_t.h"
#include "catalogue/besselian_elements.h"
#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "places/place_index.h"
#include "places/towns_on_path.h"

namespace {

using namespace darvelle;

const std::filesystem::path kData(DARVELLE_TEST_DATA_DIR);

const places::PlaceIndex* SharedTowns() {
  static const std::unique_ptr<places::PlaceIndex> index = [] {
    const auto file = kData / std::string(kTownsFileName);
    return std::filesystem::exists(file)
               ? std::make_unique<places::PlaceIndex>(places::PlaceIndex::LoadTowns(file, "en"))
               : nullptr;
  }();
  return index.get();
}

void BM_TownsLoad(benchmark::State& state) {
  if (!SharedTowns()) return state.SkipWithError("no towns file in data/: run tools/setup.sh build");
  for (auto _ : state) {
    benchmark::DoNotOptimize(places::PlaceIndex::LoadTowns(kData / std::string(kTownsFileName), "en"));
  }
  state.counters["towns"] = static_cast<double>(SharedTowns()->Size());
}
BENCHMARK(BM_TownsLoad)->Unit(benchmark::kMillisecond);

// What the completion asks while a name is typed, from one letter on.
const char* const kQueries[] = {"s", "ma", "par", "ober", "münchen", "valencia, spain",
                                "paris tex", "san jose costa", "leon, es", "zzqx"};

void BM_TownSearch(benchmark::State& state) {
  const places::PlaceIndex* index = SharedTowns();
  if (!index) return state.SkipWithError("no towns file in data/: run tools/setup.sh build");
  const char* query = kQueries[state.range(0)];
  for (auto _ : state) benchmark::DoNotOptimize(index->Search(query, 12));
  state.SetLabel(query);
}
BENCHMARK(BM_TownSearch)->DenseRange(0, std::size(kQueries) - 1)->Unit(benchmark::kMillisecond);

void BM_TownsOnPath(benchmark::State& state) {
  const places::PlaceIndex* index = SharedTowns();
  const auto path = kData / std::string(kCatalogueFileName);
  if (!index || !std::filesystem::exists(path)) return state.SkipWithError("no towns file or catalogue");
  const Catalogue catalogue = LoadCatalogue(path);
  int april8 = 0;
  for (int i = 1; i <= catalogue.Count() && april8 == 0; ++i) {
    const EclipseRecord& r = catalogue.Record(i);
    if (r.Year == 2024 && r.Month == 4 && r.Day == 8) april8 = i;
  }
  const BesselianElements elements = CurrentElements(catalogue, april8);
  const double deltaT = ComputeDeltaT(elements.year, elements.month);
  places::TownsFilter filter;
  filter.CentralOnly = state.range(0) == 1;
  std::size_t found = 0;
  for (auto _ : state) {
    found = places::FindTownsOnPath(elements, deltaT, index->Places(), filter,
                                    static_cast<unsigned>(state.range(1)))
                .size();
  }
  state.counters["found"] = static_cast<double>(found);
  state.SetLabel(std::string(filter.CentralOnly ? "central" : "any magnitude") + ", threads " +
                 std::to_string(state.range(1)));
}
BENCHMARK(BM_TownsOnPath)->Args({0, 1})->Args({0, 2})->Args({1, 1})->Args({1, 2})
    ->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
