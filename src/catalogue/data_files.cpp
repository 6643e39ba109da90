#include "catalogue/data_files.h"

#include "darvelle/version.h"

namespace darvelle {

std::vector<std::filesystem::path> DataSearchFolders(
    const std::optional<std::filesystem::path>& explicitFolder) {
  if (explicitFolder) return {*explicitFolder};
  std::vector<std::filesystem::path> folders;
  std::error_code ec;
  auto cwd = std::filesystem::current_path(ec);
  if (!ec) folders.push_back(cwd);
  folders.emplace_back(kInstallDataDir);
  folders.emplace_back(kSourceDataDir);
  return folders;
}

std::filesystem::path FindDataFile(std::string_view name,
                                   const std::optional<std::filesystem::path>& explicitFolder) {
  std::string searched;
  for (const auto& folder : DataSearchFolders(explicitFolder)) {
    auto candidate = folder / name;
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
    searched += "\n  " + folder.string();
  }
  throw FileError("Data file \"" + std::string(name) + "\" not found. Places searched:" +
                  searched);
}

}  // namespace darvelle
