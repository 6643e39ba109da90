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

// The folders searched for a data file, in order: the explicit folder alone
// when one is given; otherwise the current working folder, the installed data
// folder and the source tree's data/ folder (for runs from the build tree).
std::vector<std::filesystem::path> DataSearchFolders(
    const std::optional<std::filesystem::path>& explicitFolder);

// The first existing file of that name in DataSearchFolders; throws FileError
// listing every place searched when there is none.
std::filesystem::path FindDataFile(std::string_view name,
                                   const std::optional<std::filesystem::path>& explicitFolder);

}  // namespace darvelle
