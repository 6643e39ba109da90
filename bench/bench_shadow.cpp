// The shadow at one instant of 2024 April 8 (ComputeShadowAt): early, when
// the umbra rises in the Pacific and the penumbra is cut by the terminator;
// at Dallas' totality, every outline whole on the day side; late, the
// penumbra leaving over the Atlantic. What a time slider or an animation
// pays per frame before drawing.

#include <benchmark/benchmark.h>

#include <QImage>

#include <filesystem>
#include <optional>
#include <string>

#include "astro/calendar.h"
#include "astro/delta_t.h"
#include "catalogue/besselian_elements.h"
#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "geometry/shadow_at_instant.h"
#include "render/projection.h"
#include "render/shadow_layer.h"

namespace {

using namespace darvelle;

struct Eclipse2024 {
  BesselianElements elements;
  double deltaT = 0;
};

// The elements of 2024 April 8, or nothing without the catalogue.
std::optional<Eclipse2024> Elements2024() {
  const auto path = std::filesystem::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName);
  if (!std::filesystem::exists(path)) return std::nullopt;
  const Catalogue catalogue = LoadCatalogue(path);
  for (int i = 1; i <= catalogue.Count(); ++i) {
    const EclipseDescription d = DescriptionOf(catalogue, i);
    if (d.year == 2024 && d.month == 4 && d.day == 8) {
      Eclipse2024 e{CurrentElements(catalogue, i), 0.0};
      e.deltaT = ComputeDeltaT(e.elements.year, e.elements.month);
      return e;
    }
  }
  return std::nullopt;
}

// Instant `minutes` after 16:00 UT.
double TimeAfter16(const Eclipse2024& e, long minutes) {
  return ShadowTimeOfUt(e.elements, e.deltaT,
                        CalendarToJulianDay(2024, 4, 8, 16, 0, 0) + minutes / 1440.0);
}

void BM_ShadowAtInstant(benchmark::State& state) {
  const auto eclipse = Elements2024();
  if (!eclipse) {
    state.SkipWithError("catalogue not in data/");
    return;
  }
  const BesselianElements& e = eclipse->elements;
  const double deltaT = eclipse->deltaT;
  const double t = TimeAfter16(*eclipse, state.range(0));
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

// The time layer over a kept map of the full drawing size (globe radius 500,
// facing the path): the copy of the map, the night side, the outlines and
// marks; the shadow computed once. What a time slider pays per frame besides
// ComputeShadowAt.
void BM_ShadowLayer(benchmark::State& state) {
  const auto eclipse = Elements2024();
  if (!eclipse) {
    state.SkipWithError("catalogue not in data/");
    return;
  }
  const ShadowAtInstant shadow =
      ComputeShadowAt(eclipse->elements, eclipse->deltaT, TimeAfter16(*eclipse, state.range(0)));
  QImage base(kMapWidth, kMapHeight, QImage::Format_RGB32);
  base.fill(QColor(200, 200, 200));
  const GlobeProjection projection(-100.0 * 0.017453292519943295, 30.0 * 0.017453292519943295,
                                   0.0, kDefaultGlobeRadius, false);
  for (auto _ : state) {
    QImage frame = base;
    DrawShadowLayer(frame, projection, shadow);
    benchmark::DoNotOptimize(frame.constBits());
  }
}
BENCHMARK(BM_ShadowLayer)->Arg(40)->Arg(162)->Unit(benchmark::kMillisecond);

}  // namespace
