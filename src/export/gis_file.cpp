#include "export/gis_file.h"

#include <string_view>

#include "catalogue/data_files.h"
#include "io/atomic_file.h"

namespace darvelle {

void WriteGisFile(const std::filesystem::path& file, const QByteArray& bytes,
                  DeferredSync* deferred) {
  if (!file.has_filename()) {
    throw FileError("Cannot write \"" + file.string() + "\": the name is a folder");
  }
  WriteFileAtomically(file,
                      std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                      deferred);
}

}  // namespace darvelle
