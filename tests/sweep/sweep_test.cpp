// Every eclipse of the catalogue through the whole computation: nothing may
// crash, hang or produce a value that is not a number. Long: CTest label "sweep".
//
// All records run at resolution 1 on two threads (each with its own
// computation object), their file texts rendered in memory; a sample is also
// written to files and read back, and a smaller sample runs at resolution 32.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "catalogue/catalogue.h"
#include "geometry/eclipse_computation.h"
#include "reports/computation_files.h"
#include "reports/report_files.h"
#include "reports/report_text.h"
#include "../support/non_numbers.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;
using testing::HasNonNumber;

const fs::path kCataloguePath =
    fs::path(DARVELLE_TEST_DATA_DIR) / "BElm_Solar_-4999_to_+7000_20201116.bin";

// No single eclipse takes more than a second even at resolution 32; a
// record still running after this long is taken for a hang.
constexpr auto kHangLimit = std::chrono::seconds(60);

// What is wrong with the results of one computation ("" when nothing).
std::string CheckResults(const EclipseResult& c) {
  std::ostringstream problems;
  auto finite = [](double v) { return std::isfinite(v); };
  for (int k = 0; k < kEventCount; ++k) {
    const EclipseEvent& e = c.circumstances.events.entries[static_cast<std::size_t>(k)];
    if ((e.Time && !finite(*e.Time)) || !finite(e.EphemerisLongitude) || !finite(e.Longitude) ||
        !finite(e.Latitude)) {
      problems << " event " << kEventLabels[static_cast<std::size_t>(k)] << " not finite;";
    }
  }
  if (!finite(c.circumstances.timeGreatest)) problems << " TimeGreatest not finite;";
  auto checkPoint = [&](const CurvePoint& p, const char* name) {
    if (!finite(p.Longitude) || !finite(p.Latitude) || std::fabs(p.Longitude) > 3.1416 ||
        std::fabs(p.Latitude) > 1.5708) {
      problems << " " << name << " point (" << p.Longitude << ", " << p.Latitude << ");";
      return false;
    }
    return true;
  };
  auto checkCurve = [&](const PointCurve& curve, const char* name) {
    if (!curve.Ready() && curve.Count() != 0) problems << " " << name << " filled but not ready;";
    for (const CurvePoint& p : curve.Points()) {
      if (!checkPoint(p, name)) break;
    }
  };
  const CurveSet& k = c.curves;
  checkCurve(k.northPenumbra, "NorthPen");
  checkCurve(k.southPenumbra, "SouthPen");
  checkCurve(k.northUmbra, "NorthUmb");
  checkCurve(k.southUmbra, "SouthUmb");
  checkCurve(k.maxHorizonNorth, "MaxHoriN");
  checkCurve(k.maxHorizonSouth, "MaxHoriS");
  checkCurve(k.maxSunrise, "MaxSunrise");
  checkCurve(k.maxSunset, "MaxSunset");
  for (int n = 1; n <= 6; ++n) checkCurve(k.RiseSet(n), "Testfile");
  for (const CentralLinePoint& p : k.centralLine.Points()) {
    if (!checkPoint(p, "CLinData")) break;
    if (!finite(p.Time) || !finite(p.DurationMinutes) || !finite(p.WidthKm) ||
        !finite(p.SunAltitudeDeg) || (p.CentralKind != CentralKind::Annular && p.CentralKind != CentralKind::Total)) {
      problems << " CLinData values not finite;";
      break;
    }
  }
  // The catalogue's classification and the geometry agree on centrality,
  // grazing eclipses included: a central type has both ends of its central
  // line and the line, any other type has none of them.
  const int type = static_cast<int>(c.elements.kind);
  const bool central = type == kTotal || type == kAnnular || type == kHybrid;
  const bool tc1 = c.circumstances.events[EventId::TC1].exists(),
             tc2 = c.circumstances.events[EventId::TC2].exists();
  if (tc1 != central || tc2 != central || k.centralLine.Ready() != central) {
    problems << " type " << type << " but TC1 " << tc1 << ", TC2 " << tc2 << ", central line "
             << k.centralLine.Ready() << ";";
  }
  return problems.str();
}

// The text of every file the computation writes, rendered in memory (the
// same functions produce the files): no "nan" or "inf" anywhere.
std::string CheckTexts(const EclipseResult& c) {
  std::string problems;
  auto check = [&](const std::string& text, std::string_view name) {
    if (HasNonNumber(text)) problems += " " + std::string(name) + " would hold nan or inf;";
  };
  check(MakeReports(c).german, kReportGermanFileName);
  check(MakeReports(c).english, kReportEnglishFileName);
  check(CornerPointsText(c.circumstances.events, c.elements, c.deltaT), kCornerPointsFileName);
  const CurveSet& k = c.curves;
  if (k.centralLine.Ready()) {
    check(CentralLineFileText(k.centralLine, c.elements, c.deltaT), kCentralLineFileName);
  }
  struct Named {
    const PointCurve* curve;
    std::string_view name;
    bool corrected;
  };
  for (const Named& n : {Named{&k.northPenumbra, kNorthPenumbraFileName, false},
                         Named{&k.southPenumbra, kSouthPenumbraFileName, false},
                         Named{&k.northUmbra, kNorthUmbraFileName, true},
                         Named{&k.southUmbra, kSouthUmbraFileName, true},
                         Named{&k.maxHorizonNorth, kMaxHorizonNorthFileName, true},
                         Named{&k.maxHorizonSouth, kMaxHorizonSouthFileName, true},
                         Named{&k.maxSunrise, kMaxSunriseFileName, true},
                         Named{&k.maxSunset, kMaxSunsetFileName, true}}) {
    if (n.curve->Ready()) check(PointFileText(*n.curve, c.deltaT, n.corrected), n.name);
  }
  for (int number = 1; number <= 6; ++number) {
    if (k.RiseSet(number).Ready()) {
      check(PointFileText(k.RiseSet(number), c.deltaT, true), RiseSetFileName(number));
    }
  }
  return problems;
}

// Reads back every file of the output folder: no non-number, no temporary
// file left, and the curve files exactly for the ready curves.
std::string CheckFiles(const EclipseResult& c, const fs::path& folder) {
  std::ostringstream problems;
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    names.push_back(name);
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (HasNonNumber(text)) problems << " " << name << " holds nan or inf;";
  }
  auto has = [&](std::string_view name) {
    return std::find(names.begin(), names.end(), std::string(name)) != names.end();
  };
  for (std::string_view name : {kReportGermanFileName, kReportEnglishFileName, kCornerPointsFileName}) {
    if (!has(name)) problems << " " << name << " missing;";
  }
  struct Expect {
    std::string_view name;
    bool ready;
  };
  const CurveSet& k = c.curves;
  for (const Expect& e : {Expect{kNorthPenumbraFileName, k.northPenumbra.Ready()},
                          Expect{kSouthPenumbraFileName, k.southPenumbra.Ready()},
                          Expect{kNorthUmbraFileName, k.northUmbra.Ready()},
                          Expect{kSouthUmbraFileName, k.southUmbra.Ready()},
                          Expect{kCentralLineFileName, k.centralLine.Ready()},
                          Expect{kMaxSunriseFileName, k.maxSunrise.Ready()},
                          Expect{kMaxSunsetFileName, k.maxSunset.Ready()}}) {
    if (has(e.name) != e.ready) {
      problems << " " << e.name << (e.ready ? " missing;" : " written for a missing curve;");
    }
  }
  const std::size_t expected = 3 + (k.northPenumbra.Ready() ? 1 : 0) +
                               (k.southPenumbra.Ready() ? 1 : 0) + (k.northUmbra.Ready() ? 1 : 0) +
                               (k.southUmbra.Ready() ? 1 : 0) + (k.centralLine.Ready() ? 1 : 0) +
                               (k.maxHorizonNorth.Ready() ? 1 : 0) +
                               (k.maxHorizonSouth.Ready() ? 1 : 0) + (k.maxSunrise.Ready() ? 1 : 0) +
                               (k.maxSunset.Ready() ? 1 : 0);
  std::size_t riseSet = 0;
  for (int n = 1; n <= 6; ++n) riseSet += k.RiseSet(n).Ready() ? 1 : 0;
  if (names.size() != expected + riseSet) {
    problems << " " << names.size() << " files for " << expected + riseSet << " results;";
  }
  return problems.str();
}

// The sweep is only as good as its detector.
TEST(SweepDetector, RecognisesNonNumbersAsWords) {
  struct Case {
    const char* text;
    bool expected;
  };
  const Case cases[] = {
      {"   12.50000\t-nan\r\n", true}, {"-inf", true},       {"  INF  ", true},
      {"1.0\tinfinity", true},          {"NaN", true},        {"E L E M E N T E", false},
      {"Finsternis  Information", false}, {"Conjunction", false}, {"12.34567\t-0.50000", false},
  };
  for (const Case& c : cases) EXPECT_EQ(HasNonNumber(c.text), c.expected) << c.text;
}

class Sweep : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kCataloguePath)) GTEST_SKIP() << "catalogue not present: " << kCataloguePath;
    catalogue_ = LoadCatalogue(kCataloguePath);
    folder_ = fs::temp_directory_path() /
              ("darvelle-sweep-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code ignored;
    if (!folder_.empty()) fs::remove_all(folder_, ignored);
  }

  // Computes the given records on `threads` threads; files go to a folder of
  // each thread when withFiles. Returns the failures as "index: reason" lines.
  std::vector<std::string> Run(const std::vector<int>& indices, int resolution, bool withFiles,
                               int threads) {
    std::vector<std::string> failures;
    std::mutex failuresMutex;
    std::atomic<std::size_t> next{0};
    struct Progress {
      std::atomic<int> index{0};
      std::atomic<long long> since{0};  // steady-clock ticks when `index` started
    };
    std::vector<Progress> progress(static_cast<std::size_t>(threads));
    std::atomic<int> running{threads};
    auto work = [&](int worker) {
      auto c = std::make_unique<EclipseResult>();
      EclipseScratch scratch;
      const fs::path folder = folder_ / ("worker" + std::to_string(worker));
      fs::create_directories(folder);
      Progress& mine = progress[static_cast<std::size_t>(worker)];
      for (std::size_t k = next++; k < indices.size(); k = next++) {
        const int index = indices[k];
        mine.since = std::chrono::steady_clock::now().time_since_epoch().count();
        mine.index = index;
        std::string problem;
        try {
          PreparedEclipse prepared = PrepareEclipse(catalogue_, index, TimeScale::kUniversal, resolution);
          // The computation the files come from; the curves as drawn and
          // exported are swept by GisSweep.
          prepared.drawnCurves = false;
          *c = ComputeEclipse(prepared, scratch);
          if (withFiles) {
            DeleteComputationFiles(folder);
            WriteComputationFiles(*c, folder);
          }
          problem = CheckResults(*c);
          problem += withFiles ? CheckFiles(*c, folder) : CheckTexts(*c);
        } catch (const std::exception& e) {
          problem = std::string(" threw: ") + e.what();
        }
        if (!problem.empty()) {
          std::lock_guard<std::mutex> lock(failuresMutex);
          failures.push_back(std::to_string(index) + ":" + problem);
        }
      }
      mine.index = 0;
      --running;
    };
    std::vector<std::thread> pool;
    for (int w = 0; w < threads; ++w) pool.emplace_back(work, w);
    // Watchdog: a record that never finishes would otherwise hang the suite
    // until CTest's timeout, without saying which record it was.
    while (running > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
      for (const Progress& p : progress) {
        const int index = p.index;
        const auto elapsed = std::chrono::steady_clock::duration(now - p.since);
        if (index != 0 && elapsed > kHangLimit) {
          std::fprintf(stderr, "eclipse %d at resolution %d did not finish within %lld s\n", index,
                       resolution,
                       static_cast<long long>(std::chrono::duration_cast<std::chrono::seconds>(kHangLimit).count()));
          std::fflush(stderr);
          std::_Exit(1);  // the stuck thread cannot be stopped any other way
        }
      }
    }
    for (auto& t : pool) t.join();
    return failures;
  }

  std::vector<int> Every(int step, int offset = 0) const {
    std::vector<int> indices;
    for (int i = 1 + offset; i <= catalogue_.Count(); i += step) indices.push_back(i);
    return indices;
  }

  static void Expect(const std::vector<std::string>& failures, const std::string& what) {
    for (std::size_t i = 0; i < failures.size() && i < 20; ++i) ADD_FAILURE() << what << " " << failures[i];
    EXPECT_TRUE(failures.empty()) << failures.size() << " eclipses failed (" << what << ")";
  }

  Catalogue catalogue_;
  fs::path folder_;
};

TEST_F(Sweep, EveryEclipseAtResolution1) {
  const auto start = std::chrono::steady_clock::now();
  const std::vector<int> all = Every(1);
  Expect(Run(all, 1, false, 2), "resolution 1");
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%zu eclipses at resolution 1 on 2 threads: %.1f s, %.0f eclipses/s\n", all.size(),
              seconds, static_cast<double>(all.size()) / seconds);
}

TEST_F(Sweep, FilesOfASampleAtResolution1) {
  Expect(Run(Every(97, 13), 1, true, 2), "files at resolution 1");
}

TEST_F(Sweep, SampleAtResolution32WithFiles) {
  Expect(Run(Every(1427, 700), 32, true, 2), "resolution 32");
}

}  // namespace
}  // namespace darvelle
