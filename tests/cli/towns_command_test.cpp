// darvelle-cli towns, run as a separate process on the shipped catalogue and
// the towns file of the GeoNames extract: the CSV's columns, towns inside the
// path of 2024 April 8 listed with their own zone, towns outside left out.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "catalogue/data_files.h"
#include "../support/run_process.h"
#include "../support/test_towns.h"

namespace darvelle {
namespace {

TEST(CliTowns, CsvOfTheTownsInThePath) {
  const auto folder = testing::TestTownsFolder();
  const auto catalogue = folder / std::string(kCatalogueFileName);
  std::filesystem::remove(catalogue);
  std::filesystem::create_symlink(std::filesystem::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName),
                                  catalogue);
  const auto r = testing::RunProcess(std::string(DARVELLE_CLI_PATH) +
                                     " towns --date 2024-04-08 --central --csv --sort name --data '" +
                                     folder.string() + "'");
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  std::istringstream lines(r.out);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line,
            "name,country,admin,lat,lon,population,time_zone,kind,duration_s,max_ut,max_local,"
            "magnitude,obscuration,sun_alt");
  std::string names;
  bool dallas = false;
  while (std::getline(lines, line)) {
    names += line.substr(0, line.find(',')) + ";";
    EXPECT_NE(line.find(",total,"), std::string::npos) << line;
    // An unknown population (GeoNames' 0) is left empty, never printed as 0.
    std::istringstream fields(line);
    std::string population;
    for (int i = 0; i < 6; ++i) std::getline(fields, population, ',');
    EXPECT_NE(population, "0") << line;
    if (line.rfind("Dallas,US,Texas,", 0) == 0) {
      dallas = true;
      EXPECT_NE(line.find(",America/Chicago,total,"), std::string::npos) << line;
      EXPECT_NE(line.find("T13:4"), std::string::npos) << "local time of maximum, CDT: " << line;
    }
  }
  EXPECT_TRUE(dallas) << r.out;
  for (const char* inside : {"Indianapolis;", "Cleveland;", "Buffalo;"}) {
    EXPECT_NE(names.find(inside), std::string::npos) << inside << " missing: " << names;
  }
  for (const char* outside : {"Houston;", "Chicago;", "New York City;", "Valencia;", "Mecca;"}) {
    EXPECT_EQ(names.find(outside), std::string::npos) << outside << " listed: " << names;
  }
}

}  // namespace
}  // namespace darvelle
