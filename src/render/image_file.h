#pragma once
// Saving a picture as a file: encoded in memory by Qt, then written through
// an AtomicFile (io/atomic_file.h), so that a failure names the file and the
// real cause and never leaves a part of a picture behind.

#include <QImage>

#include <filesystem>

namespace darvelle {

// Saves `image` as `file` in `format` ("BMP", "PNG"). Throws FileError naming
// the file and the cause; the earlier file then stays as it was.
void SaveImageFile(const QImage& image, const std::filesystem::path& file, const char* format);

}  // namespace darvelle
