#include "render/texture_file.h"

#include <turbojpeg.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "catalogue/data_files.h"

namespace darvelle {
namespace {

// A picture larger than this (four times the expected texture's pixels, about
// 450 MB decoded) is refused rather than allocated: a damaged or hostile
// header must not make start-up claim gigabytes.
static_assert(sizeof(unsigned long) >= sizeof(std::size_t),
              "the decoder takes the JPEG's length as unsigned long");

constexpr std::size_t kMaxTexturePixels =
    std::size_t{4} * static_cast<std::size_t>(kTextureWidth) * kTextureHeight;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
struct DecompressorDestroyer {
  void operator()(void* handle) const { tjDestroy(handle); }
};

std::string Quoted(const std::filesystem::path& file) { return "\"" + file.string() + "\""; }

[[noreturn]] void FailRead(const std::filesystem::path& file, const std::string& cause) {
  throw FileError("Cannot read the Earth texture " + Quoted(file) + ": " + cause);
}

std::vector<unsigned char> ReadWholeFile(const std::filesystem::path& file) {
  std::unique_ptr<std::FILE, FileCloser> in(std::fopen(file.c_str(), "rb"));
  if (!in) FailRead(file, std::strerror(errno));
  if (std::fseek(in.get(), 0, SEEK_END) != 0) FailRead(file, std::strerror(errno));
  const long size = std::ftell(in.get());
  if (size < 0) FailRead(file, std::strerror(errno));
  std::rewind(in.get());
  std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
  if (std::fread(bytes.data(), 1, bytes.size(), in.get()) != bytes.size()) {
    FailRead(file, std::ferror(in.get()) ? std::strerror(errno) : "the file ended early");
  }
  return bytes;
}

TextureLoadResult Undecodable(const std::filesystem::path& file, EarthTexture& image,
                              const std::string& cause) {
  image.width = 0;
  image.height = 0;
  image.rgb.clear();
  return {false, "Cannot decode the Earth texture " + Quoted(file) + ": " + cause +
                     ". The globe is drawn without it."};
}

}  // namespace

TextureLoadResult LoadTexture(const std::filesystem::path& fileName, EarthTexture& image) {
  const std::vector<unsigned char> jpeg = ReadWholeFile(fileName);
  if (jpeg.empty()) return Undecodable(fileName, image, "the file is empty");

  std::unique_ptr<void, DecompressorDestroyer> decompressor(tjInitDecompress());
  if (!decompressor) {
    return Undecodable(fileName, image, std::string("no JPEG decoder: ") + tjGetErrorStr2(nullptr));
  }
  int width = 0;
  int height = 0;
  int subsampling = 0;
  int colourspace = 0;
  if (tjDecompressHeader3(decompressor.get(), jpeg.data(), static_cast<unsigned long>(jpeg.size()),
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

  // Decoded straight into the texture's own buffer; the fast integer DCT and
  // the simple chroma upsampling keep start-up short, and their differences
  // from the exact transforms are below what a globe pixel can show.
  image.rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  image.width = width;
  image.height = height;
  const int flags = TJFLAG_FASTDCT | TJFLAG_FASTUPSAMPLE;
  if (tjDecompress2(decompressor.get(), jpeg.data(), static_cast<unsigned long>(jpeg.size()),
                    image.rgb.data(), width, 0, height, TJPF_RGB, flags) != 0) {
    if (tjGetErrorCode(decompressor.get()) != TJERR_WARNING) {
      return Undecodable(fileName, image, tjGetErrorStr2(decompressor.get()));
    }
    // A warning (typically a truncated file) still gives a whole picture, part
    // of it grey; keep it, but say so.
    return {true, "Earth texture " + Quoted(fileName) + " loaded with a warning: " +
                      tjGetErrorStr2(decompressor.get())};
  }
  return {true, "Earth texture " + Quoted(fileName) + " loaded: " + std::to_string(width) + " x " +
                    std::to_string(height) + " pixels."};
}

}  // namespace darvelle
