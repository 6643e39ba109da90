#pragma once
// Where the program finds its data files, and the error that carries a file
// name and a cause up to where a person reads it.

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace darvelle {

inline constexpr std::string_view kCatalogueFileName = "BElm_Solar_-4999_to_+7000_20201116.bin";
inline constexpr std::string_view kTextureFileName = "land_shallow_topo_8640_Relief_Gamma_4.0x.jpg";
inline constexpr std::string_view kCoastlineFileName = "World_Points_165648.txt";

// `text` with every control byte but the line end (0x00 .. 0x1F and 0x7F)
// written as \xHH, so that bytes of a damaged or hostile file cannot drive
// the terminal that shows a message quoting them.
std::string EscapeControlBytes(std::string_view text);

// A file could not be found, read or written; what() names the file and the
// cause, its control bytes escaped (the message may quote the file's content).
class FileError : public std::runtime_error {
 public:
  explicit FileError(const std::string& message)
      : std::runtime_error(EscapeControlBytes(message)) {}
};

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
