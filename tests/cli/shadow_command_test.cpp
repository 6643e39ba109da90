// darvelle-cli shadow run as a user runs it: the GeoJSON of one instant as
// GDAL reads it, an instant outside the eclipse, and instants written wrong.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "../support/run_process.h"
#include "compute_fixture.h"

namespace darvelle {
namespace {

using darvelle::testing::RunProcess;

class ShadowCommand : public testing::CliComputeTest {
 protected:
  std::string Shadow(const std::string& args) const {
    return std::string(DARVELLE_CLI_PATH) + " shadow --data " + data_.string() + " " + args;
  }
};

TEST_F(ShadowCommand, GdalReadsEveryLayerOfTheInstant) {
  ASSERT_EQ(RunProcess("ogrinfo --version").exitStatus, 0)
      << "GDAL's ogrinfo is missing: tools/setup.sh installs gdal-bin";
  const auto file = dir_ / "shadow.geojson";
  const auto run =
      RunProcess(Shadow("--date 2024-04-08 --at 2024-04-08T18:42:00.25Z --geojson " + file.string()));
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  const auto sql = RunProcess(
      "ogrinfo -q -dialect sqlite -sql \"SELECT shadow, ST_GeometryType(geometry) AS shape, "
      "MIN(time_ut) AS t, COUNT(*) AS n FROM shadow GROUP BY shadow, shape\" " + file.string());
  ASSERT_EQ(sql.exitStatus, 0) << sql.err;
  EXPECT_EQ(sql.err.find("ERROR"), std::string::npos) << sql.err;
  // "shadow (String) = umbra" ... "n (Integer) = 1" per group, in order.
  std::map<std::string, std::string> shapes;
  std::map<std::string, int> counts;
  std::istringstream lines(sql.out);
  std::string layer;
  for (std::string line; std::getline(lines, line);) {
    const auto value = line.substr(line.find("= ") == std::string::npos ? line.size()
                                                                          : line.find("= ") + 2);
    if (line.find("  shadow (") != std::string::npos) layer = value;
    if (line.find("  shape (") != std::string::npos) shapes[layer] = value;
    if (line.find("  n (") != std::string::npos) counts[layer] = std::stoi(value);
    if (line.find("  t (") != std::string::npos) {
      EXPECT_EQ(value, "2024-04-08T18:42:00.250Z");
    }
  }
  const std::map<std::string, std::pair<std::string, int>> expected = {
      {"umbra", {"POLYGON", 1}},         {"penumbra", {"POLYGON", 1}},
      {"magnitude", {"LINESTRING", 4}},  {"axis", {"POINT", 1}},
      {"subsolar", {"POINT", 1}},        {"terminator", {"MULTILINESTRING", 1}}};  // cut at 180
  for (const auto& [name, shape] : expected) {
    EXPECT_EQ(shapes[name], shape.first) << name << "\n" << sql.out;
    EXPECT_EQ(counts[name], shape.second) << name;
  }
}

TEST_F(ShadowCommand, SaysSoOutsideTheEclipseAndRefusesMalformedInstants) {
  const struct {
    const char* at;
    int status;
    const char* says;
  } cases[] = {
      {"2024-04-08T12:00:00Z", 0, "\"in_eclipse\":false"},
      {"2024-04-08T18:42:00Z", 0, "\"in_eclipse\":true"},
      {"2024-04-08 18:42", 2, "--at"},
      {"2024-04-08T25:00:00Z", 2, "--at"},
      {"2024-02-30T10:00:00Z", 2, "no day of the calendar"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.at);
    const auto run = RunProcess(Shadow("--year 2024 --json --at '" + std::string(c.at) + "'"));
    EXPECT_EQ(run.exitStatus, c.status) << run.err;
    EXPECT_NE((c.status == 0 ? run.out : run.err).find(c.says), std::string::npos)
        << run.out << run.err;
  }
}

}  // namespace
}  // namespace darvelle
