#include "io/output_file_names.h"

#include <system_error>

namespace darvelle {

void DeleteComputationFiles(const std::filesystem::path& folder) {
  for (const std::string_view name : kComputationFileNames) {
    std::error_code ignored;
    std::filesystem::remove(folder / name, ignored);
  }
}

}  // namespace darvelle
