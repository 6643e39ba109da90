// Writing the PostScript map sheet (about 10.4 MB, mostly the picture as hex
// digits) for 2024 April 8, to a file and into memory.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "geometry/eclipse_computation.h"
#include "postscript/map_sheet.h"

namespace {

using namespace darvelle;
namespace fs = std::filesystem;

struct SheetFixture {
  EclipseResult computation;
  std::vector<std::uint8_t> rgb = std::vector<std::uint8_t>(1600 * 1066 * 3);
  SheetView view;
  SheetOptions options;
  bool ready = false;

  SheetFixture() {
    const fs::path file = fs::path(DARVELLE_TEST_DATA_DIR) / kCatalogueFileName;
    if (!fs::exists(file)) return;
    const Catalogue catalogue = LoadCatalogue(file);
    int index = 0;
    for (int i = 1; i <= catalogue.Count() && index == 0; ++i) {
      const EclipseRecord& r = catalogue.Record(i);
      if (r.Year == 2024 && r.Month == 4) index = i;
    }
    if (index == 0) return;
    computation = ComputeEclipse(PrepareEclipse(catalogue, index, TimeScale::kUniversal, 1));
    // A picture with varied bytes, so no digit pattern is favoured.
    std::uint32_t state = 12345;
    for (auto& byte : rgb) {
      state = state * 1664525u + 1013904223u;
      byte = static_cast<std::uint8_t>(state >> 24);
    }
    view.picture.pixels = rgb.data();
    options.fontFile = fs::path("/nonexistent/Ethnocentric.pfa");
    ready = true;
  }
};

const SheetFixture& Fixture() {
  static const SheetFixture fixture;
  return fixture;
}

void BM_WriteSheetToFile(benchmark::State& state) {
  const SheetFixture& f = Fixture();
  if (!f.ready) {
    state.SkipWithError("catalogue not found in data/");
    return;
  }
  const fs::path target = fs::temp_directory_path() / "darvelle_bench_sheet.ps";
  for (auto _ : state) {
    WritePostScriptSheet(f.computation, f.view, target, f.options);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(fs::file_size(target)));
  fs::remove(target);
}
BENCHMARK(BM_WriteSheetToFile)->Unit(benchmark::kMillisecond);

void BM_SheetTextInMemory(benchmark::State& state) {
  const SheetFixture& f = Fixture();
  if (!f.ready) {
    state.SkipWithError("catalogue not found in data/");
    return;
  }
  std::size_t size = 0;
  for (auto _ : state) {
    const std::string text = PostScriptSheetText(f.computation, f.view, f.options);
    size = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(size));
}
BENCHMARK(BM_SheetTextInMemory)->Unit(benchmark::kMillisecond);

}  // namespace
