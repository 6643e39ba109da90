// The GIS files of darvelle-cli compute and batch, opened by GDAL's own
// tools as a GIS user opens them: layers, feature counts, geometry types,
// validity of the areas and a place inside the path by GDAL's SQL.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "../support/run_process.h"
#include "compute_fixture.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;
using darvelle::testing::RunProcess;

class GisFiles : public testing::CliComputeTest {
 protected:
  void SetUp() override {
    CliComputeTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_EQ(RunProcess("ogrinfo --version").exitStatus, 0)
        << "GDAL's ogrinfo is missing: tools/setup.sh installs gdal-bin";
  }

  // Runs ogrinfo and returns its standard output; fails the test on an error.
  std::string OgrInfo(const std::string& args) const {
    const auto result = RunProcess("ogrinfo " + args);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err.find("ERROR"), std::string::npos) << result.err;
    return result.out;
  }

  // "name (Type) = value" lines of ogrinfo's feature dump, in order.
  static std::vector<std::string> FieldValues(const std::string& dump, const std::string& field) {
    std::vector<std::string> values;
    std::istringstream lines(dump);
    for (std::string line; std::getline(lines, line);) {
      const auto at = line.find("  " + field + " (");
      if (at == std::string::npos) continue;
      values.push_back(line.substr(line.find("= ") + 2));
    }
    return values;
  }
};

TEST_F(GisFiles, GdalReadsTheGeoJsonAndKmlOfATotalEclipse) {
  const fs::path geojson = dir_ / "eclipse.geojson";
  const fs::path kml = dir_ / "eclipse.kml";
  const auto run = RunProcess(Cli("--geojson " + geojson.string() + " --kml " + kml.string()));
  ASSERT_EQ(run.exitStatus, 0) << run.err;

  // KML: one layer per folder. 2 areas, 4 limits, 1 central line, 4 rise/set
  // curves and 2 of maximum at sunrise/sunset, 19 events and the point of
  // greatest duration.
  const std::map<std::string, int> folders = {{"Zones", 2},          {"Limits", 4},
                                              {"Central line", 1},   {"Horizon curves", 6},
                                              {"Events", 20}};
  const std::string kmlSummary = OgrInfo("-al -so " + kml.string());
  for (const auto& [folder, count] : folders) {
    const auto at = kmlSummary.find("Layer name: " + folder + "\n");
    ASSERT_NE(at, std::string::npos) << folder << "\n" << kmlSummary;
    const auto countAt = kmlSummary.find("Feature Count: ", at);
    EXPECT_EQ(std::stoi(kmlSummary.substr(countAt + 15)), count) << folder;
  }

  // GeoJSON: one layer of every feature; geometry types by GDAL's SQL.
  const std::string types = OgrInfo(
      "-q -dialect sqlite -sql \"SELECT ST_GeometryType(geometry) AS shape, COUNT(*) AS n FROM "
      "eclipse WHERE curve IS NULL OR curve <> 'umbra_outline' GROUP BY shape ORDER BY shape\" " +
      geojson.string());
  std::map<std::string, int> byType;
  const auto kinds = FieldValues(types, "shape");
  const auto counts = FieldValues(types, "n");
  ASSERT_EQ(kinds.size(), counts.size());
  for (std::size_t i = 0; i < kinds.size(); ++i) byType[kinds[i]] = std::stoi(counts[i]);
  EXPECT_EQ(byType["POLYGON"], 2);
  EXPECT_EQ(byType["POINT"], 20);
  EXPECT_EQ(byType["LINESTRING"] + byType["MULTILINESTRING"], 11);
}

TEST_F(GisFiles, GdalFindsTheAreasValidAndDallasInsideThePath) {
  const fs::path geojson = dir_ / "eclipse.geojson";
  ASSERT_EQ(RunProcess(Cli("--geojson " + geojson.string())).exitStatus, 0);
  const std::string dump = OgrInfo(
      "-q -dialect sqlite -sql \"SELECT zone, ST_IsValid(geometry) AS valid, "
      "ST_Within(MakePoint(-96.80, 32.78, 4326), geometry) AS dallas, "
      "ST_Within(MakePoint(-74.01, 40.71, 4326), geometry) AS new_york "
      "FROM eclipse WHERE zone IS NOT NULL ORDER BY zone\" " + geojson.string());
  EXPECT_EQ(FieldValues(dump, "zone"),
            (std::vector<std::string>{"partial_zone", "path_of_totality"}));
  EXPECT_EQ(FieldValues(dump, "valid"), (std::vector<std::string>{"1", "1"}));
  EXPECT_EQ(FieldValues(dump, "dallas"), (std::vector<std::string>{"1", "1"}));
  // New York saw a partial eclipse only.
  EXPECT_EQ(FieldValues(dump, "new_york"), (std::vector<std::string>{"1", "0"}));
  // The umbra every 10 minutes: valid areas, each inside the path of totality.
  const std::string outlines = OgrInfo(
      "-q -dialect sqlite -sql \"SELECT o.time_ut AS t, ST_IsValid(o.geometry) AS valid, "
      "COALESCE(ST_Area(ST_Difference(o.geometry, p.geometry)), 0) / ST_Area(o.geometry) AS outside "
      "FROM eclipse o, eclipse p WHERE o.curve = 'umbra_outline' AND "
      "p.zone = 'path_of_totality'\" " + geojson.string());
  const auto times = FieldValues(outlines, "t");
  EXPECT_GE(times.size(), 20u);
  EXPECT_EQ(std::set<std::string>(times.begin(), times.end()).size(), times.size());
  for (const std::string& valid : FieldValues(outlines, "valid")) EXPECT_EQ(valid, "1");
  // The path's polygon is drawn straight between its limits' points: the
  // outlines may stray beyond it by a sliver.
  for (const std::string& outside : FieldValues(outlines, "outside")) {
    EXPECT_LT(std::stod(outside), 0.01);
  }
}

TEST_F(GisFiles, BatchWritesBothFilesBesideTheOthers) {
  const fs::path out = dir_ / "batch";
  // 2012 May 20 (annular over the antimeridian) and its neighbours.
  const auto run = RunProcess(std::string(DARVELLE_CLI_PATH) + " batch --data " + data_.string() +
                              " --first 16663 --last 16665 --jobs 2 --out " + out.string() +
                              " --geojson --kml");
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  for (int index = 16663; index <= 16665; ++index) {
    SCOPED_TRACE(index);
    const fs::path folder = out / std::to_string(index);
    EXPECT_TRUE(fs::exists(folder / "CLinData.txt") || index != 16664);
    const std::string dump = OgrInfo(
        "-q -dialect sqlite -sql \"SELECT COUNT(*) AS n, TOTAL(ST_IsValid(geometry)) AS valid "
        "FROM eclipse WHERE ST_GeometryType(geometry) LIKE '%POLYGON'\" " +
        (folder / "eclipse.geojson").string());
    ASSERT_EQ(FieldValues(dump, "n").size(), 1u) << dump;
    EXPECT_EQ(std::stod(FieldValues(dump, "n")[0]), std::stod(FieldValues(dump, "valid")[0]));
    if (index == 16664) {
      const std::string zones = OgrInfo(
          "-q -dialect sqlite -sql \"SELECT COUNT(*) AS n FROM eclipse WHERE zone IS NOT NULL AND "
          "ST_GeometryType(geometry) LIKE '%POLYGON'\" " + (folder / "eclipse.geojson").string());
      EXPECT_EQ(FieldValues(zones, "n"), std::vector<std::string>{"1"}) << "the annular path";
    }
    EXPECT_NE(OgrInfo("-so " + (folder / "eclipse.kml").string()).find("Events"),
              std::string::npos);
  }
}

TEST_F(GisFiles, AFileThatCannotBeWrittenIsNamedAndNothingIsLeftBehind) {
  const fs::path missing = dir_ / "no such folder" / "eclipse.geojson";
  const auto run = RunProcess(Cli("--geojson '" + missing.string() + "'"));
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_NE(run.err.find("eclipse.geojson"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(missing.parent_path()));

  const auto usage = RunProcess(std::string(DARVELLE_CLI_PATH) + " batch --data " +
                                data_.string() + " --first 1 --last 1 --kml");
  EXPECT_EQ(usage.exitStatus, 2);
  EXPECT_NE(usage.err.find("--out"), std::string::npos) << usage.err;
}

}  // namespace
}  // namespace darvelle
