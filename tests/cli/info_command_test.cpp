#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "../support/run_process.h"
#include "../support/synthetic_eclipse.h"
#include "catalogue/data_files.h"
#include "catalogue/eclipse_record.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;
using darvelle::testing::RunProcess;

const std::string kCli = DARVELLE_CLI_PATH;

class CliInfo : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("darvelle-cli-info-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    std::ofstream out(dir_ / std::string(kCatalogueFileName), std::ios::binary);
    for (int year : {2019, 2021, 2021}) {
      // Elements of a plausible eclipse: info refuses a record that fails its checks.
      EclipseRecord r = testing::SyntheticEclipse(-0.95);
      r.Year = year;
      r.JulianDay = 0.0;
      r.SarosNumber = 152;
      r.SarosMember = 13;
      r.SarosMemberCount = 70;
      r.Gamma = -0.9526;
      r.XPoly = {{-0.25, 0.5, 0.0, 0.0}};
      out.write(reinterpret_cast<const char*>(&r), sizeof r);
    }
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Data() const { return " --data '" + dir_.string() + "'"; }

  fs::path dir_;
};

TEST_F(CliInfo, PrintsTheSelectedRecord) {
  const auto r = RunProcess(kCli + " info --year 2020" + Data());
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_NE(r.out.find("Eclipse#       2 of 3"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Date (TT)      2021-12-04"), std::string::npos);
  EXPECT_NE(r.out.find("JulianDay      2459552.833333"), std::string::npos);
  EXPECT_NE(r.out.find("Saros          152, member 13 of 70"), std::string::npos);
  EXPECT_NE(r.out.find("DeltaT         69.3 s"), std::string::npos);
  EXPECT_NE(r.out.find("X              -2.500000000000000e-01"), std::string::npos);
  EXPECT_NE(r.out.find("TanF2"), std::string::npos);
}

TEST_F(CliInfo, UsageErrorsExitWithTwo) {
  const char* bad[] = {" info", " info --index 1 --year 2021", " info --index 4",
                       " info --index x", " info --bogus 1", " frobnicate", ""};
  for (const char* args : bad) {
    const auto r = RunProcess(kCli + args + (std::strlen(args) > 5 ? Data() : ""));
    EXPECT_EQ(r.exitStatus, 2) << args << ": " << r.err;
    EXPECT_FALSE(r.err.empty()) << args;
    EXPECT_TRUE(r.out.empty()) << args;
  }
}

TEST_F(CliInfo, MissingCatalogueNamesTheFileAndPlaces) {
  const auto r = RunProcess(kCli + " info --index 1 --data '" + (dir_ / "nowhere").string() + "'");
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_NE(r.err.find(std::string(kCatalogueFileName)), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("nowhere"), std::string::npos) << r.err;
}

TEST(Cli, HelpAndVersion) {
  const auto help = RunProcess(kCli + " --help");
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_NE(help.out.find("Usage: darvelle-cli"), std::string::npos);
  EXPECT_NE(help.out.find("info"), std::string::npos);
  const auto version = RunProcess(kCli + " --version");
  EXPECT_EQ(version.exitStatus, 0);
  EXPECT_NE(version.out.find("Darvelle"), std::string::npos);
}

}  // namespace
}  // namespace darvelle
