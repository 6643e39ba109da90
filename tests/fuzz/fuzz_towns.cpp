// The town list's reader on any file, and the search and the towns on a path
// over whatever it accepts: a runtime_error or FileError naming the file, or
// towns on the globe that searches and scans can use.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <stdexcept>

#include "fuzz_file.h"
#include "geometry/local_circumstances.h"
#include "places/place_index.h"
#include "places/towns_on_path.h"
#include "../support/synthetic_eclipse.h"

using namespace darvelle;

// libFuzzer calls this by name; declared for -Wmissing-declarations.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::MemoryFile file(data, size);
  if (!file.Ok()) return 0;
  std::optional<places::PlaceIndex> index;
  try {
    index.emplace(places::PlaceIndex::LoadTowns(file.Path(), "en"));
  } catch (const std::runtime_error&) {
    return 0;
  }
  for (const places::Place& p : index->Places()) {
    if (!(std::fabs(p.LatitudeDeg) <= 90.0 && std::fabs(p.LongitudeDeg) <= 180.0)) std::abort();
  }
  for (const char* query : {"a", "valencia, spain", "paris tex", "m, x"}) {
    if (index->Search(query, 5).size() > 5) std::abort();
  }
  (void)index->Nearest(40.0, -3.0, 500.0);
  static const BesselianElements eclipse = ElementsFromRecord(testing::SyntheticEclipse());
  places::TownsFilter filter;
  for (const places::TownOnPath& t : places::FindTownsOnPath(eclipse, 69.0, index->Places(), filter, 2)) {
    if (t.Town >= index->Size()) std::abort();
  }
  return 0;
}
