// Speed of the penumbral limits, the costliest stage of the eclipse
// computation (bench_compute times the whole computation): both limits, and
// one longitude scan alone, for the total eclipse of 2024 Apr 8 and the long
// polar partial of 2011 Jul 1, at the coarsest and the finest resolution.
// Single-threaded.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "catalogue/catalogue.h"
#include "geometry/circumstances.h"
#include "geometry/eclipse_computation.h"
#include "geometry/penumbra_scan.h"

namespace darvelle {
namespace {

const std::filesystem::path kCatalogue =
    std::filesystem::path(DARVELLE_TEST_DATA_DIR) / "BElm_Solar_-4999_to_+7000_20201116.bin";

struct Selected {
  Catalogue catalogue;
  int total2024 = 0;    // 2024 Apr 8
  int partial2011 = 0;  // 2011 Jul 1, gamma -1.49
};

// Loaded once per benchmark run; nullptr when the catalogue is missing.
std::unique_ptr<Selected> LoadSelection() {
  if (!std::filesystem::exists(kCatalogue)) return nullptr;
  auto s = std::make_unique<Selected>();
  s->catalogue = LoadCatalogue(kCatalogue);
  for (int i = 1; i <= s->catalogue.Count(); ++i) {
    const EclipseRecord& r = s->catalogue.Record(i);
    if (r.Year == 2024 && r.Month == 4 && r.Day == 8) s->total2024 = i;
    if (r.Year == 2011 && r.Month == 7 && r.Day == 1) s->partial2011 = i;
  }
  return s;
}

const Selected* Selection() {
  static const std::unique_ptr<Selected> selection = LoadSelection();  // read-only once built
  return selection.get();
}

int IndexOf(const Selected& s, int which) { return which == 0 ? s.total2024 : s.partial2011; }
const char* NameOf(int which) { return which == 0 ? "2024-04-08 total" : "2011-07-01 polar partial"; }

// Both penumbral limits alone (scans, assembly and chain ordering).
void BM_PenumbraLimits(benchmark::State& state) {
  const Selected* s = Selection();
  if (s == nullptr || IndexOf(*s, static_cast<int>(state.range(0))) == 0) {
    state.SkipWithError("catalogue or eclipse missing");
    return;
  }
  auto c = std::make_unique<EclipseResult>();
  auto scratch = std::make_unique<EclipseScratch>();
  static_cast<PreparedEclipse&>(*c) =
      PrepareEclipse(s->catalogue, IndexOf(*s, static_cast<int>(state.range(0))), TimeScale::kUniversal,
                     static_cast<int>(state.range(1)));
  c->circumstances = FindCircumstances(c->elements, c->deltaT, *scratch);
  const CurveTracer tracer{c->elements, c->circumstances.events, c->resolution, *scratch,
                           c->curves};
  for (auto _ : state) {
    ComputePenumbraLimit(tracer, PenumbraSide::North);
    ComputePenumbraLimit(tracer, PenumbraSide::South);
    benchmark::DoNotOptimize(c->curves.southPenumbra.Count());
  }
  state.SetLabel(std::string(NameOf(static_cast<int>(state.range(0)))) + ", nNPen " +
                 std::to_string(c->curves.northPenumbra.Count()) + ", nSPen " +
                 std::to_string(c->curves.southPenumbra.Count()));
}
BENCHMARK(BM_PenumbraLimits)->ArgsProduct({{0, 1}, {1, 32}})->Unit(benchmark::kMillisecond);

// One scan over every longitude from one start latitude.
void BM_ScanLimitLongitudes(benchmark::State& state) {
  const Selected* s = Selection();
  if (s == nullptr || s->total2024 == 0) {
    state.SkipWithError("catalogue or eclipse missing");
    return;
  }
  const int resolution = static_cast<int>(state.range(0));
  const BesselianElements e = ElementsFromRecord(s->catalogue.Record(s->total2024));
  std::vector<LimitScanRecord> first(360 * resolution), second(360 * resolution);
  for (auto _ : state) {
    std::fill(first.begin(), first.end(), LimitScanRecord{});
    std::fill(second.begin(), second.end(), LimitScanRecord{});
    ScanLimitLongitudes(e, LimitScanSetup{resolution, PenumbraSide::North, 0.0}, 0.0,
                        80.0 * kDegToRad, first, second);
    benchmark::DoNotOptimize(first.data());
  }
  state.SetItemsProcessed(state.iterations() * 360 * resolution);  // longitudes
}
BENCHMARK(BM_ScanLimitLongitudes)->Arg(1)->Arg(32)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace darvelle
