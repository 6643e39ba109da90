#pragma once
// Where the program finds its data files, and the error that carries a file
// name and a cause up to where a person reads it.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/file_error.h"

namespace darvelle {

inline constexpr std::string_view kCatalogueFileName = "BElm_Solar_-4999_to_+7000_20201116.bin";
inline constexpr std::string_view kTextureFileName = "land_shallow_topo_8640_Relief_Gamma_4.0x.jpg";
inline constexpr std::string_view kCoastlineFileName = "World_Points_165648.txt";
// National borders, made by tools/borders/make_borders.py (data/README.md).
inline constexpr std::string_view kBorderFileName = "Borders_WDBII_i.txt";
// Made by tools/setup.sh from the GeoNames towns of at least about 1,000
// inhabitants (src/places/towns_file.h); not in the repository.
inline constexpr std::string_view kTownsFileName = "Towns_GeoNames_1000.bin";

// Where the data may be, as this process finds it: the --data option, the
// DARVELLE_DATA variable, the executable's folder and XDG_DATA_DIRS.
struct DataLocations {
  std::optional<std::filesystem::path> option;
  std::optional<std::filesystem::path> variable;
  std::optional<std::filesystem::path> executableFolder;
  std::optional<std::string> xdgDataDirs;
};

// This process's locations: the given --data folder, $DARVELLE_DATA when set
// and not empty, the folder of /proc/self/exe and $XDG_DATA_DIRS.
DataLocations ProcessDataLocations(const std::optional<std::filesystem::path>& explicitFolder);

// The folders searched for a data file, in order. A folder the user names is
// searched alone, so that a mistyped one is said rather than passed over: the
// --data folder, else $DARVELLE_DATA. Otherwise <executable folder>/../share/darvelle
// (the installed program wherever its tree was put, and the build tree, where
// CMake links share/darvelle to data/), then <dir>/darvelle for each dir of
// XDG_DATA_DIRS (/usr/local/share:/usr/share when unset or empty).
std::vector<std::filesystem::path> DataSearchFolders(const DataLocations& locations);
std::vector<std::filesystem::path> DataSearchFolders(
    const std::optional<std::filesystem::path>& explicitFolder);

// The first existing file of that name in DataSearchFolders; throws FileError
// listing every place searched when there is none.
std::filesystem::path FindDataFile(std::string_view name,
                                   const std::optional<std::filesystem::path>& explicitFolder);

}  // namespace darvelle
