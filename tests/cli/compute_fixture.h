#pragma once
// A fresh folder per test and the command line of darvelle-cli compute on
// the program's own data files, for the tests that run the tool as a user does.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "catalogue/data_files.h"

namespace darvelle::testing {

class CliComputeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = DARVELLE_TEST_DATA_DIR;
    for (const auto name : {kCatalogueFileName, kCoastlineFileName, kTextureFileName}) {
      if (!std::filesystem::exists(data_ / std::string(name))) {
        GTEST_SKIP() << name << " not in data/";
      }
    }
    dir_ = std::filesystem::temp_directory_path() /
           ("darvelle-cli-compute-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }
  // darvelle-cli compute of 2024 Apr 8 into dir_/out, with further arguments.
  std::string Cli(const std::string& args) const {
    return std::string(DARVELLE_CLI_PATH) + " compute --year 2024 --data " + data_.string() +
           " --out " + (dir_ / "out").string() + " " + args;
  }

  std::filesystem::path data_;
  std::filesystem::path dir_;
};

}  // namespace darvelle::testing
