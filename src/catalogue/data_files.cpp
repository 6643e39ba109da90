#include "catalogue/data_files.h"

#include <algorithm>
#include <cstdlib>

namespace darvelle {
namespace {

std::optional<std::filesystem::path> NonEmptyVariable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::filesystem::path(value);
}

std::optional<std::filesystem::path> ExecutableFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) return std::nullopt;
  return exe.parent_path();
}

}  // namespace

DataLocations ProcessDataLocations(const std::optional<std::filesystem::path>& explicitFolder) {
  DataLocations locations;
  locations.option = explicitFolder;
  locations.variable = NonEmptyVariable("DARVELLE_DATA");
  locations.executableFolder = ExecutableFolder();
  if (const char* dirs = std::getenv("XDG_DATA_DIRS")) locations.xdgDataDirs = dirs;
  return locations;
}

std::vector<std::filesystem::path> DataSearchFolders(const DataLocations& locations) {
  if (locations.option) return {*locations.option};
  if (locations.variable) return {*locations.variable};
  std::vector<std::filesystem::path> folders;
  if (locations.executableFolder) {
    folders.push_back((*locations.executableFolder / ".." / "share" / "darvelle").lexically_normal());
  }
  // The XDG Base Directory default, and empty entries skipped, as the
  // standard asks.
  const std::string dirs = locations.xdgDataDirs.value_or("").empty()
                               ? std::string("/usr/local/share:/usr/share")
                               : *locations.xdgDataDirs;
  std::size_t start = 0;
  while (start <= dirs.size()) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    const std::filesystem::path dir = dirs.substr(start, end - start);
    // Relative entries are invalid in XDG_DATA_DIRS and would depend on the
    // working folder.
    if (dir.is_absolute()) folders.push_back(dir / "darvelle");
    start = end + 1;
  }
  return folders;
}

std::vector<std::filesystem::path> DataSearchFolders(
    const std::optional<std::filesystem::path>& explicitFolder) {
  return DataSearchFolders(ProcessDataLocations(explicitFolder));
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
