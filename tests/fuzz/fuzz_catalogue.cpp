// The catalogue loader and the record check on any file: a catalogue is
// loaded or refused with FileError; every record of a loaded one either
// becomes the current eclipse or is refused with RecordError; the selection
// functions stay within the catalogue.

#include <cstdint>
#include <cstdlib>

#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "catalogue/selection.h"
#include "fuzz_file.h"

using namespace darvelle;

// libFuzzer calls this by name; declared for -Wmissing-declarations.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::MemoryFile file(data, size);
  if (!file.Ok()) return 0;
  Catalogue catalogue;
  try {
    catalogue = LoadCatalogue(file.Path());
  } catch (const FileError&) {
    return 0;
  }
  for (int i = 1; i <= catalogue.Count(); ++i) {
    try {
      const EclipseRecord current = MakeCurrentEclipse(catalogue, i);
      if (RecordProblem(current)) std::abort();  // accepted, so it must pass
    } catch (const RecordError&) {
      if (!RecordProblem(catalogue.Record(i))) std::abort();  // refused without a cause
    }
  }
  const int count = catalogue.Count();
  auto inRange = [&](int index) { return index >= 1 && index <= count; };
  const int year = FindFirstOfYear(catalogue, catalogue.Record(1).Year);
  if (!inRange(year)) std::abort();
  for (const int step : {1, -1, 10, -10}) {
    if (!inRange(StepCatalogue(catalogue, year, step))) std::abort();
  }
  for (const int members : {1, -1, 3, -3}) {
    if (!inRange(StepSaros(catalogue, count, members))) std::abort();
  }
  if (const auto first = FindFirstOfSaros(catalogue, catalogue.Record(count).SarosNumber)) {
    if (!inRange(*first)) std::abort();
  }
  return 0;
}
