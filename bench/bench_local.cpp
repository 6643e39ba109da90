// Local circumstances: every eclipse of the catalogue for one place (the scan
// behind "visible"), for a mid-latitude city, a polar place and a place on
// the antimeridian; and one eclipse at one place.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "astro/delta_t.h"
#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "geometry/local_circumstances.h"
#include "geometry/visible_eclipses.h"

namespace {

using namespace darvelle;

const Catalogue* SharedCatalogue() {
  // Loaded once for all benchmarks of this program; never changed afterwards.
  static const std::unique_ptr<Catalogue> catalogue = [] {
    const auto path =
        std::filesystem::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName);
    return std::filesystem::exists(path) ? std::make_unique<Catalogue>(LoadCatalogue(path))
                                         : nullptr;
  }();
  return catalogue.get();
}

const Observer kPlaces[] = {
    {32.7767, -96.7970, 140.0},  // Dallas
    {78.2232, 15.6267, 10.0},    // Longyearbyen
    {-17.0, 180.0, 0.0},         // Fiji, on the antimeridian
};

// Argument: index into kPlaces. Reports the eclipses seen as a counter.
void BM_WholeCatalogueForOnePlace(benchmark::State& state) {
  const Catalogue* catalogue = SharedCatalogue();
  if (!catalogue) {
    state.SkipWithError("catalogue not in data/");
    return;
  }
  const Observer& place = kPlaces[state.range(0)];
  std::size_t seen = 0;
  for (auto _ : state) {
    const auto visible = FindVisibleEclipses(*catalogue, place, {});
    seen = visible.size();
    benchmark::DoNotOptimize(visible.data());
  }
  state.counters["eclipses"] = catalogue->Count();
  state.counters["seen"] = static_cast<double>(seen);
}
BENCHMARK(BM_WholeCatalogueForOnePlace)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The quick rejection alone over the whole catalogue; counts what passes it.
void BM_QuickRejectionForOnePlace(benchmark::State& state) {
  const Catalogue* catalogue = SharedCatalogue();
  if (!catalogue) {
    state.SkipWithError("catalogue not in data/");
    return;
  }
  const Observer& place = kPlaces[state.range(0)];
  int passed = 0;
  for (auto _ : state) {
    passed = 0;
    for (int i = 1; i <= catalogue->Count(); ++i) {
      const EclipseRecord& r = catalogue->Record(i);
      passed += MayBeSeen(ElementsFromRecord(r), ComputeDeltaT(r.Year, r.Month), place);
    }
  }
  state.counters["passed"] = passed;
}
BENCHMARK(BM_QuickRejectionForOnePlace)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// One total eclipse (2024 April 8, index found by date) at Dallas.
void BM_OneEclipseOnePlace(benchmark::State& state) {
  const Catalogue* catalogue = SharedCatalogue();
  if (!catalogue) {
    state.SkipWithError("catalogue not in data/");
    return;
  }
  int index = 0;
  for (int i = 1; i <= catalogue->Count() && index == 0; ++i) {
    const EclipseRecord& r = catalogue->Record(i);
    if (r.Year == 2024 && r.Month == 4 && r.Day == 8) index = i;
  }
  const EclipseRecord& record = catalogue->Record(index);
  const double deltaT = ComputeDeltaT(record.Year, record.Month);
  for (auto _ : state) {
    benchmark::DoNotOptimize(ComputeLocalCircumstances(ElementsFromRecord(record), deltaT, kPlaces[0]));
  }
}
BENCHMARK(BM_OneEclipseOnePlace)->Unit(benchmark::kMicrosecond);

}  // namespace
