#include "render/image_file.h"

#include <QBuffer>
#include <QByteArray>

#include <zlib.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "io/atomic_file.h"

namespace darvelle {
namespace {

void AppendBigEndian(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value >> 24));
  out.push_back(static_cast<char>(value >> 16));
  out.push_back(static_cast<char>(value >> 8));
  out.push_back(static_cast<char>(value));
}

void AppendChunk(std::string& out, const char (&type)[5], std::string_view data) {
  AppendBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.append(type, 4);
  out.append(data);
  const auto* checked = reinterpret_cast<const Bytef*>(out.data() + typeAt);
  AppendBigEndian(out, static_cast<std::uint32_t>(
                           ::crc32(0L, checked, static_cast<uInt>(4 + data.size()))));
}

// The rows, each behind a filter byte of 0, as one zlib stream. Run-length
// matching alone: the maps are long runs of a few colours, which it finds at
// a fraction of the cost of the full match search.
std::string CompressedRows(const QImage& image) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK) {
    throw std::runtime_error("zlib could not start");
  }
  const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * 3;
  const std::size_t bound =
      deflateBound(&stream, static_cast<uLong>((rowBytes + 1) * static_cast<std::size_t>(image.height())));
  // Left uninitialised: most of the bound is never written.
  const std::unique_ptr<Bytef[]> out(new Bytef[bound]);
  stream.next_out = out.get();
  stream.avail_out = static_cast<uInt>(bound);
  Bytef filter = 0;
  int status = Z_OK;
  for (int y = 0; y < image.height() && status == Z_OK; ++y) {
    stream.next_in = &filter;
    stream.avail_in = 1;
    status = deflate(&stream, Z_NO_FLUSH);
    // deflate reads but does not write its input.
    stream.next_in = const_cast<Bytef*>(image.constScanLine(y));
    stream.avail_in = static_cast<uInt>(rowBytes);
    if (status == Z_OK) status = deflate(&stream, Z_NO_FLUSH);
  }
  if (status == Z_OK) status = deflate(&stream, Z_FINISH);
  const std::size_t size = stream.total_out;
  deflateEnd(&stream);
  if (status != Z_STREAM_END) throw std::runtime_error("zlib could not compress the picture");
  return std::string(reinterpret_cast<const char*>(out.get()), size);
}

}  // namespace

std::string QuickPng(const QImage& image) {
  if (image.format() != QImage::Format_RGB888) {
    return QuickPng(image.convertToFormat(QImage::Format_RGB888));
  }
  std::string png("\x89PNG\r\n\x1a\n", 8);
  std::string header;
  AppendBigEndian(header, static_cast<std::uint32_t>(image.width()));
  AppendBigEndian(header, static_cast<std::uint32_t>(image.height()));
  header += std::string_view("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, rows, none
  AppendChunk(png, "IHDR", header);
  if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
    std::string density;
    AppendBigEndian(density, static_cast<std::uint32_t>(image.dotsPerMeterX()));
    AppendBigEndian(density, static_cast<std::uint32_t>(image.dotsPerMeterY()));
    density.push_back('\x01');  // per metre
    AppendChunk(png, "pHYs", density);
  }
  AppendChunk(png, "IDAT", CompressedRows(image));
  AppendChunk(png, "IEND", {});
  return png;
}

void SaveImageFile(const QImage& image, const std::filesystem::path& file, const char* format,
                   PngEncoding png) {
  const auto cannotEncode = [&](const std::string& why) {
    return FileError("Cannot write \"" + file.string() + "\": the picture could not be encoded as " +
                     format + why);
  };
  if (png == PngEncoding::kQuick && std::string_view(format) == "PNG" && !image.isNull() &&
      image.textKeys().isEmpty()) {
    std::string bytes;
    try {
      bytes = QuickPng(image);
    } catch (const std::runtime_error& e) {
      throw cannotEncode(std::string(": ") + e.what());
    }
    WriteFileAtomically(file, bytes);
    return;
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, format)) throw cannotEncode("");
  WriteFileAtomically(file, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace darvelle
