// --delta-t, --date, --help and the headline numbers through the tool itself: a
// DeltaT of 0 gives the catalogue's own (TT) path, compute writes
// summary.json beside the report files, and info tells the same numbers.

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "../support/run_process.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;
using darvelle::testing::ReadWholeFile;
using darvelle::testing::RunProcess;

const std::string kCli = std::string(DARVELLE_CLI_PATH) + " ";
const std::string kData = " --data '" + std::string(DARVELLE_TEST_DATA_DIR) + "'";

QJsonObject JsonOf(const std::string& text) {
  return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

TEST(CliDeltaT, ZeroGivesTheTerrestrialTimePathAndASummary) {
  const fs::path root = fs::temp_directory_path() / ("darvelle-delta-t-" + std::to_string(::getpid()));
  const auto zero = RunProcess(kCli + "compute --date 2024-04-08 --delta-t 0 --out '" +
                               (root / "zero").string() + "'" + kData);
  const auto tt = RunProcess(kCli + "compute --date 2024-04-08 --tt --out '" +
                             (root / "tt").string() + "'" + kData);
  ASSERT_EQ(zero.exitStatus, 0) << zero.err;
  ASSERT_EQ(tt.exitStatus, 0) << tt.err;
  EXPECT_EQ(ReadWholeFile(root / "zero" / "CLinData.txt"), ReadWholeFile(root / "tt" / "CLinData.txt"));
  const QJsonObject summary = JsonOf(ReadWholeFile(root / "zero" / "summary.json"));
  EXPECT_EQ(summary["delta_t_s"].toDouble(), 0.0);

  // info tells what the summary holds.
  const auto info = RunProcess(kCli + "info --date 2024-04-08 --delta-t 0 --json" + kData);
  ASSERT_EQ(info.exitStatus, 0) << info.err;
  const QJsonObject told = JsonOf(info.out);
  for (const char* key : {"greatest_duration", "width_km", "magnitude", "gamma"}) {
    EXPECT_EQ(told[key], summary[key]) << key;
  }
  fs::remove_all(root);
}

TEST(CliDeltaT, HelpOfInfoAndUnreasonableValues) {
  const auto help = RunProcess(kCli + "info --help");
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_NE(help.out.find("Usage: darvelle-cli info"), std::string::npos) << help.out;
  for (const char* bad : {"--delta-t 1e7", "--delta-t x", "--delta-t"}) {
    const auto r = RunProcess(kCli + "info --date 2024-04-08 " + bad + kData);
    EXPECT_EQ(r.exitStatus, 2) << bad << ": " << r.err;
  }
}

// Bare coordinates take a zone of their own: the local times follow it, an
// unknown zone is a usage error, and a named place keeps its own.
TEST(CliTimeZone, BareCoordinatesTakeTheZoneGiven) {
  const std::string dallas = " --lat 32.7767 --lon -96.797";
  const auto csv = RunProcess(kCli + "visible" + dallas +
                              " --tz America/Chicago --from 2024 --to 2024 --csv" + kData);
  ASSERT_EQ(csv.exitStatus, 0) << csv.err;
  EXPECT_NE(csv.out.find("-05:00,"), std::string::npos) << csv.out;  // daylight time in April
  const auto json = RunProcess(kCli + "local --date 2024-04-08" + dallas + " --tz America/Chicago --json" + kData);
  EXPECT_EQ(JsonOf(json.out)["observer"].toObject()["time_zone"].toString(), "America/Chicago");
  for (const std::string& bad : {"local --date 2024-04-08" + dallas + " --tz Mars/Olympus",
                                std::string("local --date 2024-04-08 --place Dallas --tz America/Chicago")}) {
    EXPECT_EQ(RunProcess(kCli + bad + kData).exitStatus, 2) << bad;
  }
}

// Every command answers --help with its own usage, and the list names
// --delta-t on each command that computes.
TEST(CliHelp, EveryCommandHasItsHelp) {
  const auto list = RunProcess(kCli + "--help");
  ASSERT_EQ(list.exitStatus, 0);
  for (const std::string command :
       {"info", "compute", "batch", "local", "visible", "shadow", "animate", "places", "towns"}) {
    const auto r = RunProcess(kCli + command + " --help");
    EXPECT_EQ(r.exitStatus, 0) << command << ": " << r.err;
    EXPECT_NE(r.out.find("Usage: darvelle-cli " + command), std::string::npos) << r.out;
    const std::size_t line = list.out.find("  " + command + " ");
    ASSERT_NE(line, std::string::npos) << command;
    const std::string entry = list.out.substr(line, list.out.find('\n', line) - line);
    if (command != "places") {
      EXPECT_NE(entry.find("--delta-t"), std::string::npos) << entry;
    }
  }
}

}  // namespace
}  // namespace darvelle
