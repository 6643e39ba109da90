#pragma once
// Options shared by the commands that work on one catalogue eclipse.

#include <filesystem>
#include <optional>

#include "catalogue/catalogue.h"
#include "cli/args.h"

namespace darvelle::cli {

// The --data folder, if given.
std::optional<std::filesystem::path> DataFolder(const Args& args);

// Loads the catalogue from the --data folder or the usual places.
Catalogue LoadCatalogueFor(const Args& args);
// The same file for one of its records (CatalogueFile).
CatalogueFile OpenCatalogueFor(const Args& args);

// Usage check done before any file is read: exactly one of --index and --year,
// each a whole number.
void CheckSelectionOptions(const Args& args);

// The index chosen by exactly one of --index N (1 .. count) or --year Y (the
// first eclipse of the clamped year, as the year entry selects). UsageError
// otherwise.
int SelectedIndexFor(const Args& args, const Catalogue& catalogue);

// The eclipse whose greatest eclipse falls on that TT date: UsageError for a
// year outside the catalogue's, std::runtime_error when it has none that day.
int IndexOfDate(const Catalogue& catalogue, const CalendarDate& date);

// The DeltaT of --delta-t SECONDS when given (a value of the user's own, say
// from a historical record, in place of the model's); UsageError for a value
// no eclipse could have.
std::optional<double> DeltaTOption(const Args& args);

// The eclipse of exactly one of --index N, --year Y (as SelectedIndexFor) or
// --date YYYY-MM-DD (IndexOfDate).
int SelectedEclipseFor(const Args& args, const Catalogue& catalogue);
int SelectedEclipseFor(const Args& args, const CatalogueFile& catalogue);

}  // namespace darvelle::cli
