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

void CheckSelectionOptions(const Args& args) {
  if (args.Integer("index").has_value() == args.Integer("year").has_value()) {
    throw UsageError("give exactly one of --index N or --year Y");
  }
}

int SelectedIndexFor(const Args& args, const Catalogue& catalogue) {
  CheckSelectionOptions(args);
  const auto index = args.Integer("index");
  const auto year = args.Integer("year");
  if (year) return FindFirstOfYear(catalogue, *year);
  if (*index < 1 || *index > catalogue.Count()) {
    throw UsageError("--index must lie in 1 .. " + std::to_string(catalogue.Count()));
  }
  return static_cast<int>(*index);
}

}  // namespace darvelle::cli
