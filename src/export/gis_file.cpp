#include "export/gis_file.h"

#include <string_view>

#include "catalogue/data_files.h"
#include "geometry/report_files.h"

namespace darvelle {

void WriteGisFile(const std::filesystem::path& file, const QByteArray& bytes) {
  if (!file.has_filename()) {
    throw FileError("Cannot write \"" + file.string() + "\": the name is a folder");
  }
  const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
  WriteFileAtomically(folder, file.filename().string(),
                      std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace darvelle
