// The coastline reader on any file: points within the globe's ranges, or
// FileError.

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "catalogue/data_files.h"
#include "fuzz_file.h"
#include "render/coastline_file.h"

using namespace darvelle;

// libFuzzer calls this by name; declared for -Wmissing-declarations.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::MemoryFile file(data, size);
  if (!file.Ok()) return 0;
  try {
    for (const CoastlinePoint& p : LoadCoastlines(file.Path())) {
      if (!(std::fabs(p.longitude) <= 360.0 && std::fabs(p.latitude) <= 90.0)) std::abort();
    }
  } catch (const FileError&) {
  }
  return 0;
}
