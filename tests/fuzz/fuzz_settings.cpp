// The settings file: any content decodes (short files read as zero beyond
// their end), encodes back to the same fields, and the clamps keep the index
// and the pen width in range.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "catalogue/data_files.h"
#include "catalogue/settings.h"
#include "fuzz_file.h"

using namespace darvelle;

// libFuzzer calls this by name; declared for -Wmissing-declarations.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Settings decoded = DecodeSettings(std::span<const std::uint8_t>(data, size));
  const auto block = EncodeSettings(decoded);
  const Settings again = DecodeSettings(block);
  if (again.VersionText != decoded.VersionText || again.EclipseIndex != decoded.EclipseIndex ||
      again.Resolution != decoded.Resolution || again.PenWidth != decoded.PenWidth ||
      std::memcmp(&again.Psi, &decoded.Psi, sizeof(double)) != 0) {
    std::abort();
  }
  const int index = ClampEclipseIndex(decoded.EclipseIndex, 28504);
  if (index < 1 || index > 28504) std::abort();
  const int pen = ClampPenWidth(decoded.PenWidth);
  if (pen < 1 || pen > 3) std::abort();

  const fuzz::MemoryFile file(data, size);
  if (!file.Ok()) return 0;
  try {
    const Settings read = ReadSettingsFile(file.Path());
    if (read.VersionText != decoded.VersionText) std::abort();
  } catch (const FileError&) {
  }
  return 0;
}
