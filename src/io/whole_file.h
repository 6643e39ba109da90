#pragma once
// Reading a data file into memory in one piece, with errors that name it.

#include <cstdint>
#include <filesystem>
#include <string>

namespace darvelle {

// The whole content of `file`. Throws FileError "Cannot read <what> "<file>":
// <cause>" when it is missing, not a regular file (a folder, say), larger than
// maxBytes, or cannot be read to its end.
std::string ReadWholeFile(const std::filesystem::path& file, std::uintmax_t maxBytes,
                          const std::string& what);

}  // namespace darvelle
