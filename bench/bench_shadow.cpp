// The shadow at one instant of 2024 April 8 (ComputeShadowAt): early, when
// the umbra rises in the Pacific and the penumbra is cut by the terminator;
// at Dallas' totality, every outline whole on the day side; late, the
// penumbra leaving over the Atlantic. What a time slider or an animation
// pays per frame before drawing.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "astro/calendar.h"
#include "astro/delta_t.h"
#include "catalogue/besselian_elements.h"
#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "geometry/shadow_at_instant.h"

namespace {

using namespace darvelle;

void BM_ShadowAtInstant(benchmark::State& state) {
  const auto path = std::filesystem::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName);
  if (!std::filesystem::exists(path)) {
    state.SkipWithError("catalogue not in data/");
    return;
  }
  const Catalogue catalogue = LoadCatalogue(path);
  int index = 0;
  for (int i = 1; i <= catalogue.Count() && index == 0; ++i) {
    const EclipseDescription d = DescriptionOf(catalogue, i);
    if (d.year == 2024 && d.month == 4 && d.day == 8) index = i;
  }
  const BesselianElements e = CurrentElements(catalogue, index);
  const double deltaT = ComputeDeltaT(e.year, e.month);
  const double t = ShadowTimeOfUt(
      e, deltaT, CalendarToJulianDay(2024, 4, 8, 16, 0, 0) + state.range(0) / 1440.0);
  std::size_t points = 0;
  for (auto _ : state) {
    const ShadowAtInstant shadow = ComputeShadowAt(e, deltaT, t);
    points = shadow.Terminator.Points.size();
    for (const auto& c : shadow.Penumbra) points += c.Points.size();
    for (const auto& line : shadow.MagnitudeLines) {
      for (const auto& c : line.Curves) points += c.Points.size();
    }
    benchmark::DoNotOptimize(shadow);
  }
  state.counters["points"] = static_cast<double>(points);
}
// 16:40 (umbra rising), 18:42 (Dallas), 20:20 (penumbra leaving), UT.
BENCHMARK(BM_ShadowAtInstant)->Arg(40)->Arg(162)->Arg(260)->Unit(benchmark::kMicrosecond);

}  // namespace
