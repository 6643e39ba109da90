#pragma once
// The towns file made from the small GeoNames extract in tests/data/towns/
// (the towns the place search and the towns on the paths are tested with),
// once per test program, in a temporary folder.

#include <filesystem>
#include <string>
#include <unistd.h>

#include "catalogue/data_files.h"
#include "places/towns_file.h"

namespace darvelle::testing {

// Removed when the test program ends.
struct TemporaryFolder {
  std::filesystem::path path;
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

inline std::filesystem::path TestTownsFolder() {
  static const TemporaryFolder folder = [] {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("darvelle-test-towns-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path source = std::filesystem::path(DARVELLE_REFERENCE_DIR) / "towns";
    places::MakeTownsFile(source / "cities1000_extract.txt", source / "admin1_extract.json",
                          dir / std::string(kTownsFileName));
    return TemporaryFolder{dir};
  }();
  return folder.path;
}

inline std::filesystem::path TestTownsFile() {
  return TestTownsFolder() / std::string(kTownsFileName);
}

}  // namespace darvelle::testing
