#pragma once
// The Earth texture: a plate carrée picture of the whole Earth, decoded once
// at start-up into a plain array of 8-bit red, green, blue pixels.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace darvelle {

// The layout the globe renderer assumes: column 4320 is longitude 0, row 2160
// the equator; columns run west to east from -180 deg, rows north to south
// from +90 deg. A texture of another size is addressed with the same numbers.
inline constexpr int kTextureWidth = 8640;
inline constexpr int kTextureHeight = 4320;

struct EarthTexture {
  int width = 0;
  int height = 0;
  // width * height pixels, top row first, each three bytes red, green, blue;
  // no padding between rows (stride = 3 * width).
  std::vector<std::uint8_t> rgb;

  bool Empty() const { return width <= 0 || height <= 0 || rgb.empty(); }

  // The three bytes (red, green, blue) of the pixel at (column, row), or
  // nullptr for a position outside the picture (including every position of
  // an empty texture); the renderer paints such pixels white.
  const std::uint8_t* Pixel(int column, int row) const {
    if (column < 0 || row < 0 || column >= width || row >= height) return nullptr;
    return rgb.data() + (static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                         static_cast<std::size_t>(column)) * 3;
  }
};

// What became of a LoadTexture call, for the status bar.
struct TextureLoadResult {
  bool decoded = false;  // false: the file was read but is not a usable JPEG
  // Decoded, but the decoder warned (typically a truncated file: part of the
  // picture is grey); the message says so and the user must be told.
  bool warning = false;
  std::string message;   // one line naming the file and, on failure or warning, the cause
};

// Decodes the JPEG file into `image`, replacing what it held (the pixel
// buffer is reused when it is large enough). A file that exists but cannot be
// decoded as a JPEG (corrupt, truncated, another format, empty) leaves `image`
// empty and returns decoded = false with the cause: start-up goes on without
// a texture. So does a header that declares more pixels than the file's
// bytes can describe, refused before any pixel memory is claimed. A file that cannot be opened or read, or is larger than any
// texture (512 MB), throws FileError naming the file and the reason.
TextureLoadResult LoadTexture(const std::filesystem::path& fileName, EarthTexture& image);

}  // namespace darvelle
