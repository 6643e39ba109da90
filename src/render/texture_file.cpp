#include "render/texture_file.h"

#include <turbojpeg.h>

#include <memory>

#include "io/whole_file.h"

namespace darvelle {
namespace {

static_assert(sizeof(unsigned long) >= sizeof(std::size_t),
              "the decoder takes the JPEG's length as unsigned long");

// A picture larger than this (four times the expected texture's pixels, about
// 450 MB decoded) is refused rather than allocated: a damaged or hostile
// header must not make start-up claim gigabytes.
constexpr std::size_t kMaxTexturePixels =
    std::size_t{4} * static_cast<std::size_t>(kTextureWidth) * kTextureHeight;

// Huffman-coded JPEG spends at least one bit on every 8 x 8 block of its
// first component, so a file of n bytes describes at most 512 n pixels (the
// shipped texture holds nine pixels a byte). A header that declares more is
// damaged or hostile: a 473-byte file declaring 34560 x 4320 pixels would
// otherwise claim 0.6 GB before the decoder finds its data missing.
constexpr std::size_t kMaxPixelsPerFileByte = 8 * 64;

// The expected file is a few megabytes; anything near this is not a texture.
constexpr std::uintmax_t kMaxTextureFileBytes = std::uintmax_t{512} * 1024 * 1024;

struct DecompressorDestroyer {
  void operator()(void* handle) const { tjDestroy(handle); }
};

std::string Quoted(const std::filesystem::path& file) { return "\"" + file.string() + "\""; }

TextureLoadResult Undecodable(const std::filesystem::path& file, EarthTexture& image,
                              const std::string& cause) {
  image.width = 0;
  image.height = 0;
  std::vector<std::uint8_t>().swap(image.rgb);  // the memory goes back too
  return {false, false, "Cannot decode the Earth texture " + Quoted(file) + ": " + cause +
                     ". The globe is drawn without it."};
}

}  // namespace

TextureLoadResult LoadTexture(const std::filesystem::path& fileName, EarthTexture& image) {
  const std::string file = ReadWholeFile(fileName, kMaxTextureFileBytes, "the Earth texture");
  const auto* jpeg = reinterpret_cast<const unsigned char*>(file.data());
  const auto jpegSize = static_cast<unsigned long>(file.size());
  if (jpegSize == 0) return Undecodable(fileName, image, "the file is empty");

  std::unique_ptr<void, DecompressorDestroyer> decompressor(tjInitDecompress());
  if (!decompressor) {
    return Undecodable(fileName, image, std::string("no JPEG decoder: ") + tjGetErrorStr2(nullptr));
  }
  int width = 0;
  int height = 0;
  int subsampling = 0;
  int colourspace = 0;
  if (tjDecompressHeader3(decompressor.get(), jpeg, jpegSize,
                          &width, &height, &subsampling, &colourspace) != 0) {
    return Undecodable(fileName, image, tjGetErrorStr2(decompressor.get()));
  }
  if (width <= 0 || height <= 0 ||
      static_cast<std::size_t>(width) * static_cast<std::size_t>(height) > kMaxTexturePixels) {
    return Undecodable(fileName, image,
                       "its size " + std::to_string(width) + " x " + std::to_string(height) +
                           " pixels is not usable (at most " + std::to_string(kMaxTexturePixels) +
                           " pixels)");
  }

  const std::size_t declared = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (declared / kMaxPixelsPerFileByte > file.size()) {
    return Undecodable(fileName, image,
                       "its header declares " + std::to_string(width) + " x " +
                           std::to_string(height) + " pixels, more than a file of " +
                           std::to_string(file.size()) + " bytes can hold");
  }

  // Decoded straight into the texture's own buffer; the fast integer DCT and
  // the simple chroma upsampling keep start-up short, and their differences
  // from the exact transforms are below what a globe pixel can show.
  image.rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  image.width = width;
  image.height = height;
  const int flags = TJFLAG_FASTDCT | TJFLAG_FASTUPSAMPLE;
  if (tjDecompress2(decompressor.get(), jpeg, jpegSize,
                    image.rgb.data(), width, 0, height, TJPF_RGB, flags) != 0) {
    if (tjGetErrorCode(decompressor.get()) != TJERR_WARNING) {
      return Undecodable(fileName, image, tjGetErrorStr2(decompressor.get()));
    }
    // A warning (typically a truncated file) still gives a whole picture, part
    // of it grey; keep it, but say so.
    return {true, true,
            "Earth texture " + Quoted(fileName) + " loaded with a warning: " +
                tjGetErrorStr2(decompressor.get()) + " (the file may be truncated; part of the globe is grey)"};
  }
  return {true, false, "Earth texture " + Quoted(fileName) + " loaded: " + std::to_string(width) + " x " +
                    std::to_string(height) + " pixels."};
}

}  // namespace darvelle
