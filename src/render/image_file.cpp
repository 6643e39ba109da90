#include "render/image_file.h"

#include <QBuffer>
#include <QByteArray>

#include <string_view>

#include "io/atomic_file.h"

namespace darvelle {

void SaveImageFile(const QImage& image, const std::filesystem::path& file, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, format)) {
    throw FileError("Cannot write \"" + file.string() + "\": the picture could not be encoded as " +
                    format);
  }
  WriteFileAtomically(file, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace darvelle
