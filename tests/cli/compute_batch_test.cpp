// darvelle-cli compute and batch run as the user runs them, on a catalogue
// built from the published canon sample.

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <map>
#include <thread>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "../geometry/canon_sample.h"
#include "../support/file_faults.h"
#include "../support/run_process.h"
#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "geometry/eclipse_computation.h"
#include "io/atomic_file.h"
#include "reports/report_files.h"
#include "reports/report_text.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;
using darvelle::testing::ReadWholeFile;
using darvelle::testing::RunProcess;

const std::string kCli = DARVELLE_CLI_PATH;
constexpr int kRecords = 24;

// `count` records of the canon sample from its first of 1901 on, in
// chronological order as a catalogue must hold them (the sample's file
// order is chronological there; before year 0 it lists -1901 before -1902).
std::vector<EclipseRecord> SampleRecords(int count) {
  const auto sample = testing::LoadCanonSample(testing::CanonSamplePath());
  std::vector<EclipseRecord> records;
  for (const auto& eclipse : sample) {
    if (eclipse.record.Year < 1901) continue;
    if (records.size() == static_cast<std::size_t>(count)) break;
    records.push_back(eclipse.record);
  }
  std::sort(records.begin(), records.end(), [](const EclipseRecord& a, const EclipseRecord& b) {
    return std::tie(a.Year, a.Month, a.Day) < std::tie(b.Year, b.Month, b.Day);
  });
  return records;
}

class CliComputeBatch : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("darvelle-cli-compute-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "data");
    const std::vector<EclipseRecord> sample = SampleRecords(kRecords);
    ASSERT_EQ(sample.size(), static_cast<std::size_t>(kRecords));
    std::ofstream out(dir_ / "data" / std::string(kCatalogueFileName), std::ios::binary);
    for (int i = 0; i < kRecords; ++i) {
      EclipseRecord r = sample[static_cast<std::size_t>(i)];
      if (i == kRecords - 1 && poisonLast_) {
        r.XPoly.c[0] = std::numeric_limits<double>::quiet_NaN();
      }
      out.write(reinterpret_cast<const char*>(&r), sizeof r);
    }
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Cli(const std::string& args) const {
    return kCli + " " + args + " --data " + (dir_ / "data").string();
  }

  fs::path dir_;
  bool poisonLast_ = false;
};

TEST_F(CliComputeBatch, ComputeWritesTheFilesTheComputationProduces) {
  const fs::path out = dir_ / "out";
  const auto result = RunProcess(Cli("compute --index 2 --tt --out " + out.string()));
  ASSERT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_NE(result.out.find("Eclipse#2"), std::string::npos) << result.out;

  // The same eclipse computed in this process, without files.
  const Catalogue catalogue = LoadCatalogue(dir_ / "data" / std::string(kCatalogueFileName));
  EclipseResult c;
  c = ComputeEclipse(PrepareEclipse(catalogue, 2, TimeScale::kTerrestrial, 1));
  EXPECT_EQ(ReadWholeFile(out / "SunEclipse4_DE.TXT"), MakeReports(c).german);
  EXPECT_EQ(ReadWholeFile(out / "SunEclipse4_EN.TXT"), MakeReports(c).english);
  EXPECT_EQ(ReadWholeFile(out / "Eckpunkt.txt"),
            CornerPointsText(c.circumstances.events, c.elements, 0.0));
  ASSERT_TRUE(c.curves.centralLine.Ready());  // record 2 is a central eclipse
  EXPECT_EQ(ReadWholeFile(out / "CLinData.txt"),
            CentralLineFileText(c.curves.centralLine, c.elements, 0.0));
  // No temporary file is left behind.
  for (const auto& entry : fs::directory_iterator(out)) {
    EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
  }
}

TEST_F(CliComputeBatch, ComputeRemovesFilesOfAnEarlierEclipse) {
  const fs::path out = dir_ / "out";
  ASSERT_EQ(RunProcess(Cli("compute --index 2 --out " + out.string())).exitStatus, 0);
  ASSERT_TRUE(fs::exists(out / "CLinData.txt"));
  // A partial eclipse: no central line, and the old one must not survive.
  const std::vector<EclipseRecord> records = SampleRecords(kRecords);
  const auto partial = std::find_if(records.begin(), records.end(),
                                    [](const EclipseRecord& r) { return r.EclipseType == kPartial; });
  ASSERT_NE(partial, records.end());
  const std::string partialIndex = std::to_string(partial - records.begin() + 1);
  ASSERT_EQ(RunProcess(Cli("compute --index " + partialIndex + " --out " + out.string())).exitStatus, 0);
  EXPECT_FALSE(fs::exists(out / "CLinData.txt"));
  EXPECT_FALSE(fs::exists(out / "NorthUmb.txt"));
  EXPECT_TRUE(fs::exists(out / "SunEclipse4_EN.TXT"));
}

TEST_F(CliComputeBatch, BadUsageExitsWithStatusTwo) {
  const std::string out = " --out " + (dir_ / "out").string();
  for (const std::string& args : std::vector<std::string>{
           "compute --index 1", "compute --index 1 --resolution 3" + out,
        "compute --index 1 --language xx" + out, "compute --index 1 --year 2000" + out,
        "compute --index 99" + out, "compute --index 1 --frobnicate" + out,
        "batch --first 5 --last 2", "batch --last 999", "batch --resolution 64",
        "batch --first x"}) {
    const auto result = RunProcess(Cli(args));
    EXPECT_EQ(result.exitStatus, 2) << args << "\n" << result.err;
    EXPECT_FALSE(result.err.empty()) << args;
  }
}

TEST_F(CliComputeBatch, HelpExitsWithStatusZero) {
  for (const std::string& command : std::vector<std::string>{"compute", "batch"}) {
    const auto result = RunProcess(kCli + " " + command + " --help");
    EXPECT_EQ(result.exitStatus, 0) << command;
    EXPECT_NE(result.out.find("Usage: darvelle-cli " + command), std::string::npos);
  }
}

TEST_F(CliComputeBatch, ComputeIntoAFileInsteadOfAFolderFailsNamingIt) {
  const fs::path blocker = dir_ / "blocker";
  std::ofstream(blocker) << "x";
  const auto result = RunProcess(Cli("compute --index 1 --out " + blocker.string()));
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.err.find(blocker.string()), std::string::npos) << result.err;
}

TEST_F(CliComputeBatch, BatchComputesTheRangeAndSummarises) {
  const auto result = RunProcess(Cli("batch --first 3 --last 12 --jobs 2"));
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("Eclipses computed: 10 (3 .. 12"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("Failures: 0"), std::string::npos);
  EXPECT_NE(result.out.find("Eclipses per second: "), std::string::npos);
  // Not a terminal: no progress bar, but plain progress lines, the last at the end.
  EXPECT_EQ(result.err.find('#'), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find('\r'), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("batch: 10/10 eclipses done (100%)"), std::string::npos) << result.err;
}

TEST_F(CliComputeBatch, ComputeClearsStaleTemporariesButNotAFreshOne) {
  const fs::path out = dir_ / "out";
  fs::create_directories(out);
  const fs::path stale = out / ".SunEclipse4_EN.TXT.darvelle-StaleStale12";
  const fs::path fresh = out / ".CLinData.txt.darvelle-FreshFresh12";
  std::ofstream(stale) << "left by a killed run";
  std::ofstream(fresh) << "a run still writing";
  testing::AgeFile(stale, 3600);
  const auto result = RunProcess(Cli("compute --index 2 --out " + out.string()));
  ASSERT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(fresh));
}

// Files of the user's that look like temporaries of earlier versions stay,
// and a system link named as output is written through as the stream it is.
TEST_F(CliComputeBatch, ComputeKeepsLookalikesOfTheUsersAndWritesToStandardOutput) {
  const fs::path out = dir_ / "out";
  fs::create_directories(out);
  const std::vector<std::string> users = {"CLinData.txt.backup", "Darvelle.ps.backup",
                                          "SunEclipse4_EN.TXT.before", "NorthUmb.txt.tmp1",
                                          "Testfile.001.part", "eclipse.geojson.part"};
  for (const std::string& name : users) {
    std::ofstream(out / name) << "the user's";
    testing::AgeFile(out / name, 3600);
  }
  const auto result =
      RunProcess(Cli("compute --index 2 --out " + out.string() + " --geojson /dev/stdout"));
  ASSERT_EQ(result.exitStatus, 0) << result.err;
  // Standard output holds the GeoJSON alone; the summary went to stderr.
  EXPECT_EQ(result.out.front(), '{');
  EXPECT_NE(result.out.find("\"FeatureCollection\""), std::string::npos);
  EXPECT_EQ(result.out.find("Eclipse#"), std::string::npos);
  EXPECT_NE(result.err.find("Eclipse#2"), std::string::npos);
  EXPECT_TRUE(fs::is_symlink("/dev/stdout"));
  for (const std::string& name : users) EXPECT_TRUE(fs::exists(out / name)) << name;
}

TEST_F(CliComputeBatch, BatchWritesEachEclipseIntoItsOwnFolder) {
  const fs::path out = dir_ / "batch";
  const auto result = RunProcess(Cli("batch --first 1 --last 4 --out " + out.string()));
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  const Catalogue catalogue = LoadCatalogue(dir_ / "data" / std::string(kCatalogueFileName));
  for (int index = 1; index <= 4; ++index) {
    EclipseResult c;
    c = ComputeEclipse(PrepareEclipse(catalogue, index, TimeScale::kUniversal, 1));
    EXPECT_EQ(ReadWholeFile(out / std::to_string(index) / "SunEclipse4_EN.TXT"),
              MakeReports(c).english)
        << index;
  }
  EXPECT_FALSE(fs::exists(out / "5"));
}

// Every file of a folder below `root`, by its path there, with its bytes;
// temporaries a killed writer left are not files of the set.
std::map<std::string, std::string> FilesBelow(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file() || IsAtomicTemporaryName(entry.path().filename().string())) continue;
    files[fs::relative(entry.path(), root).string()] = ReadWholeFile(entry.path());
  }
  return files;
}

// A batch killed at any moment of a re-run leaves every earlier file whole:
// the earlier version or the complete new one, never a gap or a part.
TEST_F(CliComputeBatch, ABatchKilledWhileReplacingLosesNoEarlierFile) {
  const fs::path out = dir_ / "out";
  const fs::path fresh = dir_ / "fresh";
  ASSERT_EQ(RunProcess(Cli("batch --resolution 1 --geojson --out " + out.string())).exitStatus, 0);
  ASSERT_EQ(RunProcess(Cli("batch --resolution 8 --geojson --out " + fresh.string())).exitStatus, 0);
  const auto earlier = FilesBelow(out);
  const auto renewed = FilesBelow(fresh);
  for (const int delayMs : {5, 20, 60, 150, 400}) {
    SCOPED_TRACE(delayMs);
    const std::string data = (dir_ / "data").string();
    const std::string folder = out.string();
    std::vector<const char*> argv = {kCli.c_str(), "batch", "--resolution", "8", "--geojson",
                                     "--out", folder.c_str(), "--data", data.c_str(), nullptr};
    pid_t child = 0;
    ASSERT_EQ(::posix_spawn(&child, kCli.c_str(), nullptr, nullptr, const_cast<char**>(argv.data()),
                            environ),
              0);
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const auto now = FilesBelow(out);
    for (const auto& [name, bytes] : earlier) {
      const auto found = now.find(name);
      ASSERT_NE(found, now.end()) << name << " was lost";
      EXPECT_TRUE(found->second == bytes || found->second == renewed.at(name)) << name;
    }
  }
}

// The real catalogue, when it is in data/: the year entry's choice and the
// type name in the chosen language (printed as UTF-8).
TEST(CliComputeRealCatalogue, YearSelectsTheFirstEclipseOfTheYear) {
  const fs::path data(DARVELLE_TEST_DATA_DIR);
  if (!fs::exists(data / std::string(kCatalogueFileName))) {
    GTEST_SKIP() << "catalogue not yet in data/";
  }
  const fs::path out = fs::temp_directory_path() / ("darvelle-cli-year-" + std::to_string(::getpid()));
  const struct {
    const char* args;
    const char* expected;
    bool centralLine;
  } cases[] = {
      {"--year 2024", "2024-04-08  ", true},
      {"--year 2024 --tt", "TT  Total solar eclipse", true},
      {"--year 2023 --language de", "2023-04-20  ", true},
      {"--year 2023 --language de", "Ringf\xC3\xB6rmig-totale Sonnenfinsternis", true},
      {"--year 2022 --language fr", "Eclipse de soleil partielle", false},
  };
  for (const auto& c : cases) {
    const auto result = RunProcess(kCli + " compute " + c.args + " --data " + data.string() +
                                   " --out " + out.string());
    ASSERT_EQ(result.exitStatus, 0) << c.args << "\n" << result.err;
    EXPECT_NE(result.out.find(c.expected), std::string::npos) << c.args << "\n" << result.out;
    EXPECT_EQ(fs::exists(out / "CLinData.txt"), c.centralLine) << c.args;
    EXPECT_TRUE(fs::exists(out / "SunEclipse4_DE.TXT"));
  }
  fs::remove_all(out);
}

class CliBatchWithBadRecord : public CliComputeBatch {
 protected:
  void SetUp() override {
    poisonLast_ = true;
    CliComputeBatch::SetUp();
  }
};

TEST_F(CliBatchWithBadRecord, AFailedEclipseIsListedAndTheStatusIsOne) {
  const auto result = RunProcess(Cli("batch"));
  EXPECT_EQ(result.exitStatus, 1) << result.out;
  EXPECT_NE(result.out.find("Eclipses computed: " + std::to_string(kRecords)), std::string::npos);
  EXPECT_NE(result.out.find("Failures: 1"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("Eclipse#" + std::to_string(kRecords) + ": "), std::string::npos)
      << result.out;
}

// A damaged record (a flipped bit, a hostile file) is refused with its index
// and field by every command: compute and info fail, batch counts it and goes
// on. Such records used to make the computation spin for ever, or write
// reports with "J.D.: nan" and exit 0; `timeout` turns a hang into a failure.
TEST_F(CliComputeBatch, DamagedRecordIsRefusedByEveryCommand) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* field;
    void (*damage)(EclipseRecord&, double);
  };
  const Case cases[] = {
      {"XPoly c1", [](EclipseRecord& r, double i) { r.XPoly.c[1] = i; }},
      {"YPoly c0", [](EclipseRecord& r, double i) { r.YPoly.c[0] = -i; }},
      {"XPoly c0", [](EclipseRecord& r, double) { r.XPoly.c[0] = 1e300; }},
      {"the speed", [](EclipseRecord& r, double) {
         r.XPoly.c[1] = 1e-9;
         r.YPoly.c[1] = 1e-9;
       }},
      {"DPoly c0", [](EclipseRecord& r, double) { r.DPoly.c[0] = std::nan(""); }},
      {"Year", [](EclipseRecord& r, double) { r.Year = std::numeric_limits<int>::max(); }},
      {"EpochHour", [](EclipseRecord& r, double) { r.EpochHour = std::numeric_limits<int>::min(); }},
  };
  const std::vector<EclipseRecord> sample = SampleRecords(3);
  const fs::path data = dir_ / "damaged";
  fs::create_directories(data);
  const std::string dataOption = " --data " + data.string();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    {
      std::ofstream out(data / std::string(kCatalogueFileName), std::ios::binary);
      for (int i = 0; i < 3; ++i) {
        EclipseRecord r = sample[static_cast<std::size_t>(i)];
        if (i == 2) c.damage(r, inf);  // the last, so the order holds whatever the year
        out.write(reinterpret_cast<const char*>(&r), sizeof r);
      }
    }
    const std::string cli = "timeout 60 " + kCli;
    for (const std::string& command : {"compute --index 3 --out " + (dir_ / "out").string(),
                                      std::string("info --index 3")}) {
      const auto result = RunProcess(cli + " " + command + dataOption);
      EXPECT_EQ(result.exitStatus, 1) << command << "\n" << result.out << result.err;
      EXPECT_NE(result.err.find("Eclipse record 3 of"), std::string::npos) << result.err;
      EXPECT_NE(result.err.find(c.field), std::string::npos) << result.err;
      EXPECT_EQ(result.out.find("J.D."), std::string::npos) << result.out;
    }
    const auto batch = RunProcess(cli + " batch" + dataOption);
    EXPECT_EQ(batch.exitStatus, 1) << batch.out << batch.err;
    EXPECT_NE(batch.out.find("Eclipses computed: 3"), std::string::npos) << batch.out;
    EXPECT_NE(batch.out.find("Failures: 1"), std::string::npos) << batch.out;
    EXPECT_NE(batch.out.find(c.field), std::string::npos) << batch.out;
  }
}

}  // namespace
}  // namespace darvelle
