// ComputeEclipse for a central and a long polar partial eclipse, at the
// coarsest and finest resolution, with and without writing the files.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "geometry/circumstances.h"
#include "geometry/curve_refinement.h"
#include "geometry/eclipse_computation.h"
#include "reports/computation_files.h"
#include "reports/report_files.h"
#include "reports/report_text.h"

namespace {

using namespace darvelle;

const Catalogue* SharedCatalogue() {
  // Loaded once for all benchmarks of this program; never changed afterwards.
  static const std::unique_ptr<Catalogue> catalogue = [] {
    const auto path = std::filesystem::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName);
    return std::filesystem::exists(path) ? std::make_unique<Catalogue>(LoadCatalogue(path))
                                         : nullptr;
  }();
  return catalogue.get();
}

int FindByDate(const Catalogue& catalogue, int year, int month, int day) {
  for (int i = 1; i <= catalogue.Count(); ++i) {
    const EclipseRecord& r = catalogue.Record(i);
    if (r.Year == year && r.Month == month && r.Day == day) return i;
  }
  return 0;
}

// Arguments: date as yyyymmdd, resolution, 1 to write the files.
void BM_ComputeEclipse(benchmark::State& state) {
  const Catalogue* catalogue = SharedCatalogue();
  if (!catalogue) {
    state.SkipWithError("catalogue not in data/");
    return;
  }
  const auto date = state.range(0);
  const int index = FindByDate(*catalogue, static_cast<int>(date / 10000),
                               static_cast<int>(date / 100 % 100), static_cast<int>(date % 100));
  if (index == 0) {
    state.SkipWithError("no eclipse on that date");
    return;
  }
  const bool files = state.range(2) != 0;
  const auto folder = std::filesystem::temp_directory_path() /
                      ("darvelle-bench-compute-" + std::to_string(::getpid()));
  if (files) std::filesystem::create_directories(folder);
  EclipseScratch scratch;
  int northCount = 0, southCount = 0;
  for (auto _ : state) {
    const EclipseResult c = ComputeEclipse(
        PrepareEclipse(*catalogue, index, TimeScale::kUniversal, static_cast<int>(state.range(1))), scratch);
    if (files) {
      DeleteComputationFiles(folder);
      WriteComputationFiles(c, folder);
    }
    northCount = c.curves.northPenumbra.Count();
    southCount = c.curves.southPenumbra.Count();
    benchmark::DoNotOptimize(northCount);
  }
  state.counters["nNPen"] = northCount;
  state.counters["nSPen"] = southCount;
  if (files) std::filesystem::remove_all(folder);
}

// 2024 April 8 (total) and 2011 June 1 (partial round the north pole).
BENCHMARK(BM_ComputeEclipse)
    ->ArgNames({"date", "resolution", "files"})
    ->ArgsProduct({{20240408, 20110601}, {1, 32}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// The general circumstances alone (events and both report texts), for 2024 April 8.
void BM_GeneralCircumstances(benchmark::State& state) {
  const Catalogue* catalogue = SharedCatalogue();
  const int index = catalogue ? FindByDate(*catalogue, 2024, 4, 8) : 0;
  if (index == 0) {
    state.SkipWithError("catalogue or eclipse missing");
    return;
  }
  EclipseScratch scratch;
  EclipseResult c = ComputeEclipse(PrepareEclipse(*catalogue, index, TimeScale::kUniversal, 1), scratch);
  for (auto _ : state) {
    c.circumstances = FindCircumstances(c.elements, c.deltaT, scratch);
    const EclipseReports reports = MakeReports(c);
    benchmark::DoNotOptimize(reports.german.size());
    benchmark::DoNotOptimize(c.circumstances.events.Time(EventId::TG0));
  }
}
BENCHMARK(BM_GeneralCircumstances)->Unit(benchmark::kMicrosecond);

}  // namespace

// The limits and horizon curves made exact for drawing and export, alone
// (2024 April 8 and 2011 June 1, resolution 1).
static void BM_DrawnCurves(benchmark::State& state) {
  const Catalogue* catalogue = SharedCatalogue();
  const auto date = state.range(0);
  const int index = catalogue ? FindByDate(*catalogue, static_cast<int>(date / 10000),
                                           static_cast<int>(date / 100 % 100), static_cast<int>(date % 100))
                              : 0;
  if (index == 0) {
    state.SkipWithError("catalogue or eclipse missing");
    return;
  }
  PreparedEclipse prepared = PrepareEclipse(*catalogue, index, TimeScale::kUniversal, 1);
  prepared.drawnCurves = false;
  EclipseResult c = ComputeEclipse(prepared);
  std::size_t points = 0;
  for (auto _ : state) {
    ComputeDrawnCurves(c.elements, c.curves);
    points = 0;
    for (const auto& [file, drawn] : c.curves.DrawnCurves()) points += drawn->size();
    benchmark::DoNotOptimize(points);
  }
  state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BM_DrawnCurves)->Arg(20240408)->Arg(20110601)->Unit(benchmark::kMillisecond);
