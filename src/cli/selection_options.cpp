#include "cli/selection_options.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "astro/iso_time.h"
#include "catalogue/besselian_elements.h"
#include "catalogue/data_files.h"
#include "catalogue/selection.h"
#include "geometry/eclipse_computation.h"

namespace darvelle::cli {

std::optional<std::filesystem::path> DataFolder(const Args& args) {
  if (auto dir = args.Value("data")) return std::filesystem::path(*dir);
  return std::nullopt;
}

Catalogue LoadCatalogueFor(const Args& args) {
  return LoadCatalogue(FindDataFile(kCatalogueFileName, DataFolder(args)));
}

CatalogueFile OpenCatalogueFor(const Args& args) {
  return CatalogueFile(FindDataFile(kCatalogueFileName, DataFolder(args)));
}

void CheckSelectionOptions(const Args& args) {
  if (args.Integer("index").has_value() == args.Integer("year").has_value()) {
    throw UsageError("give exactly one of --index N or --year Y");
  }
}

namespace {

template <typename Records>
int IndexFor(const Args& args, const Records& catalogue) {
  CheckSelectionOptions(args);
  const auto index = args.Integer("index");
  const auto year = args.Integer("year");
  if (year) return FindFirstOfYear(catalogue, *year);
  if (*index < 1 || *index > catalogue.Count()) {
    throw UsageError("--index must lie in 1 .. " + std::to_string(catalogue.Count()));
  }
  return static_cast<int>(*index);
}

void CheckDateYear(const CalendarDate& date) {
  if (date.year < kFirstCatalogueYear || date.year > kLastCatalogueYear) {
    throw UsageError("--date must lie in the years " + std::to_string(kFirstCatalogueYear) +
                     " .. " + std::to_string(kLastCatalogueYear));
  }
}

[[noreturn]] void FailNoEclipseOn(const CalendarDate& date) {
  throw std::runtime_error("no eclipse in the catalogue on " +
                           IsoDate(date.year, date.month, date.day) +
                           " (TT date of greatest eclipse)");
}

int IndexOfDate(const CatalogueFile& catalogue, const CalendarDate& date) {
  CheckDateYear(date);
  for (int i = 1; i <= catalogue.Count(); ++i) {
    if (catalogue.CatalogueYear(i) == date.year && catalogue.CatalogueMonth(i) == date.month &&
        catalogue.CatalogueDay(i) == date.day) {
      return i;
    }
  }
  FailNoEclipseOn(date);
}

template <typename Records>
int EclipseFor(const Args& args, const Records& catalogue) {
  const int given = int{args.Has("index")} + int{args.Has("year")} + int{args.Has("date")};
  if (given != 1) {
    throw UsageError("give exactly one of --index N, --year Y or --date YYYY-MM-DD");
  }
  if (const auto date = args.Date("date")) return IndexOfDate(catalogue, *date);
  return IndexFor(args, catalogue);
}

}  // namespace

int SelectedIndexFor(const Args& args, const Catalogue& catalogue) {
  return IndexFor(args, catalogue);
}

int IndexOfDate(const Catalogue& catalogue, const CalendarDate& date) {
  CheckDateYear(date);
  for (int i = 1; i <= catalogue.Count(); ++i) {
    const EclipseDescription e = DescriptionOf(catalogue, i);
    if (e.year == date.year && e.month == date.month && e.day == date.day) return i;
  }
  FailNoEclipseOn(date);
}

std::optional<double> DeltaTOption(const Args& args) {
  const auto value = args.Real("delta-t");
  if (value && std::abs(*value) > kLargestUserDeltaT) {
    throw UsageError("--delta-t must lie within +-1000000 seconds");
  }
  return value;
}

int SelectedEclipseFor(const Args& args, const Catalogue& catalogue) {
  return EclipseFor(args, catalogue);
}

int SelectedEclipseFor(const Args& args, const CatalogueFile& catalogue) {
  return EclipseFor(args, catalogue);
}

}  // namespace darvelle::cli
