// What the window's observer costs on the window's thread and on its
// workers: reading the city list into the search index (worker), a search
// as the user types and the city nearest to a clicked point (window's
// thread), one eclipse's local circumstances with their texts (window's
// thread, at every eclipse, time-scale or language change), and the
// visible-from-here list of the whole catalogue (worker).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "astro/delta_t.h"
#include "catalogue/besselian_elements.h"
#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "geometry/local_circumstances.h"
#include "places/place_index.h"
#include "ui/local_texts.h"
#include "ui/visible_eclipses_dialog.h"

namespace {

using namespace darvelle;

const Catalogue* SharedCatalogue() {
  static const std::unique_ptr<Catalogue> catalogue = [] {
    const auto path = std::filesystem::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName);
    return std::filesystem::exists(path) ? std::make_unique<Catalogue>(LoadCatalogue(path)) : nullptr;
  }();
  return catalogue.get();
}

const places::PlaceIndex& SharedIndex() {
  static const places::PlaceIndex index = places::PlaceIndex::Load();
  return index;
}

// The catalogue index of 2024 April 8.
int April8(const Catalogue& catalogue) {
  for (int i = 1; i <= catalogue.Count(); ++i) {
    const EclipseRecord& r = catalogue.Record(i);
    if (r.Year == 2024 && r.Month == 4 && r.Day == 8) return i;
  }
  return 0;
}

void BM_PlaceIndexLoad(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(places::PlaceIndex::Load());
}
BENCHMARK(BM_PlaceIndexLoad)->Unit(benchmark::kMillisecond);

void BM_PlaceSearch(benchmark::State& state) {
  const places::PlaceIndex& index = SharedIndex();
  for (auto _ : state) benchmark::DoNotOptimize(index.Search("Dallas", 12));
}
BENCHMARK(BM_PlaceSearch)->Unit(benchmark::kMillisecond);

void BM_NearestCity(benchmark::State& state) {
  const places::PlaceIndex& index = SharedIndex();
  for (auto _ : state) benchmark::DoNotOptimize(index.Nearest(32.75, -96.95, 75.0));
}
BENCHMARK(BM_NearestCity)->Unit(benchmark::kMillisecond);

void BM_DockCircumstancesAndTexts(benchmark::State& state) {
  const Catalogue* catalogue = SharedCatalogue();
  const int index = catalogue ? April8(*catalogue) : 0;
  if (index == 0) {
    state.SkipWithError("no catalogue with 2024 April 8");
    return;
  }
  const BesselianElements elements = CurrentElements(*catalogue, index);
  const double deltaT = ComputeDeltaT(elements.year, elements.month);
  ui::ObserverPlace dallas;
  dallas.name = QStringLiteral("Dallas, Texas, United States of America");
  dallas.latitudeDeg = 32.78306;
  dallas.longitudeDeg = -96.80667;
  dallas.timeZone = QStringLiteral("America/Chicago");
  const ui::ShownEclipse shown{index, elements, deltaT, TimeScale::kUniversal};
  for (auto _ : state) {
    const LocalCircumstances local = ComputeLocalCircumstances(elements, deltaT, ui::ObserverOf(dallas));
    benchmark::DoNotOptimize(ui::FormatLocalCircumstances(shown, dallas, local, darvelle::kEnglish));
  }
}
BENCHMARK(BM_DockCircumstancesAndTexts)->Unit(benchmark::kMicrosecond);

// The whole catalogue for Madrid, every kind, with the local times of the rows.
void BM_VisibleFromMadrid(benchmark::State& state) {
  const Catalogue* catalogue = SharedCatalogue();
  if (catalogue == nullptr) {
    state.SkipWithError("no catalogue");
    return;
  }
  ui::VisibleQuery query;
  query.place.latitudeDeg = 40.4165;
  query.place.longitudeDeg = -3.70256;
  query.place.timeZone = QStringLiteral("Europe/Madrid");
  query.fromYear = -4999;
  query.toYear = 7000;
  std::size_t rows = 0;
  for (auto _ : state) rows = ui::ScanVisibleEclipses(*catalogue, query).size();
  state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_VisibleFromMadrid)->Unit(benchmark::kMillisecond);

}  // namespace
