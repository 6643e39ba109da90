#pragma once
// Saving a picture as a file: encoded in memory, then written through an
// AtomicFile (io/atomic_file.h), so that a failure names the file and the
// real cause and never leaves a part of a picture behind.

#include <QImage>

#include <filesystem>
#include <string>

namespace darvelle {

// How a PNG is compressed. kQt: Qt's own encoder at its default level, the
// bytes the window's saved maps have always had. kQuick: unfiltered rows,
// zlib's run-length mode; the same pixels in about a third of the time and a
// file a fifth larger, for the command line, where the encoding was the
// largest part of a map's run.
enum class PngEncoding { kQt, kQuick };

// Saves `image` as `file` in `format` ("BMP", "PNG"). Throws FileError naming
// the file and the cause; the earlier file then stays as it was.
void SaveImageFile(const QImage& image, const std::filesystem::path& file, const char* format,
                   PngEncoding png = PngEncoding::kQt);

// The PNG file of an RGB888 picture as kQuick writes it: 8-bit RGB, not
// interlaced, the picture's resolution in a pHYs chunk as Qt writes it.
// Other formats are converted to RGB888 first.
std::string QuickPng(const QImage& image);

}  // namespace darvelle
