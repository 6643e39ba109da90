#include "cli/selection_options.h"

#include <string>

#include "catalogue/data_files.h"
#include "catalogue/selection.h"

namespace darvelle::cli {

std::optional<std::filesystem::path> DataFolder(const Args& args) {
  if (auto dir = args.Value("data")) return std::filesystem::path(*dir);
  return std::nullopt;
}

Catalogue LoadCatalogueFor(const Args& args) {
  return LoadCatalogue(FindDataFile(kCatalogueFileName, DataFolder(args)));
}

int SelectedIndexFor(const Args& args, const Catalogue& catalogue) {
  const auto index = args.Integer("index");
  const auto year = args.Integer("year");
  if (index.has_value() == year.has_value()) {
    throw UsageError("give exactly one of --index N or --year Y");
  }
  if (year) return FindFirstOfYear(catalogue, *year);
  if (*index < 1 || *index > catalogue.Count()) {
    throw UsageError("--index must lie in 1 .. " + std::to_string(catalogue.Count()));
  }
  return static_cast<int>(*index);
}

}  // namespace darvelle::cli
