// The Earth texture decoder on any file: a picture whose buffer holds its
// pixels, or an empty texture with the cause, or FileError.

#include <cstdint>
#include <cstdlib>

#include "catalogue/data_files.h"
#include "fuzz_file.h"
#include "render/texture_file.h"

using namespace darvelle;

// libFuzzer calls this by name; declared for -Wmissing-declarations.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::MemoryFile file(data, size);
  if (!file.Ok()) return 0;
  EarthTexture texture;
  try {
    const TextureLoadResult result = LoadTexture(file.Path(), texture);
    if (result.message.empty()) std::abort();
    if (result.decoded) {
      const auto pixels = static_cast<std::size_t>(texture.width) * static_cast<std::size_t>(texture.height);
      if (texture.width <= 0 || texture.height <= 0 || texture.rgb.size() != 3 * pixels) std::abort();
    } else if (!texture.Empty()) {
      std::abort();
    }
  } catch (const FileError&) {
  }
  return 0;
}
