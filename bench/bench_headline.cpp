// The headline numbers of one eclipse (the search for greatest duration along
// the central line, the widths, magnitude and gamma), as `info` and the GIS
// files compute them; and the central phase of one place over DeltaT +- 2
// sigma, as `local` computes it for Thales' eclipse.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "astro/delta_t.h"
#include "catalogue/besselian_elements.h"
#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "geometry/circumstances.h"
#include "geometry/delta_t_range.h"
#include "geometry/eclipse_scratch.h"
#include "geometry/headline_numbers.h"

namespace {

using namespace darvelle;

const Catalogue* SharedCatalogue() {
  static const std::unique_ptr<Catalogue> catalogue = [] {
    const auto path =
        std::filesystem::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName);
    return std::filesystem::exists(path) ? std::make_unique<Catalogue>(LoadCatalogue(path))
                                         : nullptr;
  }();
  return catalogue.get();
}

// Argument: the catalogue index (2024 April 8, 2023 October 14).
void BM_HeadlineNumbers(benchmark::State& state) {
  const Catalogue* catalogue = SharedCatalogue();
  if (!catalogue) return state.SkipWithError("catalogue not in data/");
  const BesselianElements elements = CurrentElements(*catalogue, static_cast<int>(state.range(0)));
  const double deltaT = ComputeDeltaT(elements.year, elements.month);
  EclipseScratch scratch;
  const Circumstances circumstances = FindCircumstances(elements, deltaT, scratch);
  for (auto _ : state) {
    benchmark::DoNotOptimize(ComputeHeadlineNumbers(elements, deltaT, circumstances));
  }
}
BENCHMARK(BM_HeadlineNumbers)->Arg(16690)->Arg(16689)->Unit(benchmark::kMillisecond);

// Smyrna and -584 May 28 (catalogue index 10507): 93 steps of 20 s and the
// halvings at both ends of the stretch.
void BM_CentralPhaseOverDeltaT(benchmark::State& state) {
  const Catalogue* catalogue = SharedCatalogue();
  if (!catalogue) return state.SkipWithError("catalogue not in data/");
  const BesselianElements elements = CurrentElements(*catalogue, 10507);
  const auto range = DeltaTBandOf(elements, ComputeDeltaT(elements.year, elements.month));
  const Observer smyrna{38.42, 27.14, 0.0};
  for (auto _ : state) benchmark::DoNotOptimize(CentralPhaseOverDeltaT(elements, smyrna, *range));
}
BENCHMARK(BM_CentralPhaseOverDeltaT)->Unit(benchmark::kMillisecond);

// The widest range there is: the catalogue's first central eclipse (-4999,
// sigma about an hour), seen from its point of greatest eclipse. The window's
// local panel computes this on its own thread.
void BM_CentralPhaseOverDeltaTEarliest(benchmark::State& state) {
  const Catalogue* catalogue = SharedCatalogue();
  if (!catalogue) return state.SkipWithError("catalogue not in data/");
  for (int index = 1; index <= catalogue->Count(); ++index) {
    const BesselianElements elements = CurrentElements(*catalogue, index);
    const double deltaT = ComputeDeltaT(elements.year, elements.month);
    EclipseScratch scratch;
    const Circumstances circumstances = FindCircumstances(elements, deltaT, scratch);
    const EclipseEvent& greatest = circumstances.events[EventId::TG0];
    if (!greatest.exists() || greatest.CentralKind == CentralKind::None) continue;
    const Observer place{greatest.Latitude * 180.0 / 3.14159265358979323846,
                         greatest.Longitude * 180.0 / 3.14159265358979323846, 0.0};
    const auto range = DeltaTBandOf(elements, deltaT);
    for (auto _ : state) benchmark::DoNotOptimize(CentralPhaseOverDeltaT(elements, place, *range));
    state.SetLabel("index " + std::to_string(index) + ", sigma " + std::to_string(range->Sigma) + " s");
    return;
  }
}
BENCHMARK(BM_CentralPhaseOverDeltaTEarliest)->Unit(benchmark::kMillisecond);

}  // namespace
