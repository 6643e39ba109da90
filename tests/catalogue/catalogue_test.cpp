#include "catalogue/catalogue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "astro/calendar.h"
#include "catalogue/besselian_elements.h"
#include "catalogue/data_files.h"
#include "../support/synthetic_eclipse.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;

// The made-up eclipse's elements (plausible, so that the record passes its
// checks) under another date, epoch and Saros series.
EclipseRecord MakeRecord(int year, int month, int day, int hour, int saros) {
  EclipseRecord r = testing::SyntheticEclipse();
  r.Year = year;
  r.Month = month;
  r.Day = day;
  r.EpochHour = hour;
  r.SarosNumber = saros;
  r.JulianDay = 12345.0;  // deliberately wrong: the program recomputes it
  r.SarosMember = 1;
  r.SarosMemberCount = 70;
  for (int i = 0; i < 160; ++i) r.WorkArea[i] = static_cast<std::uint8_t>(i);
  return r;
}

class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("darvelle-catalogue-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path WriteFile(const std::string& name, const void* bytes, std::size_t size) {
    const fs::path path = dir_ / name;
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    return path;
  }

  fs::path dir_;
};

using LoadCatalogueTest = TempDir;

TEST_F(LoadCatalogueTest, CountComesFromTheFileSize) {
  const std::vector<EclipseRecord> records = {MakeRecord(-4999, 2, 3, 5, 10),
                                              MakeRecord(2021, 12, 4, 8, 152),
                                              MakeRecord(7000, 11, 30, 24, 200)};
  const fs::path file =
      WriteFile("three.bin", records.data(), records.size() * kEclipseRecordSize);
  const Catalogue catalogue = LoadCatalogue(file);
  ASSERT_EQ(catalogue.Count(), 3);
  EXPECT_EQ(catalogue.CatalogueYear(1), -4999);
  EXPECT_EQ(catalogue.CatalogueYear(3), 7000);
  EXPECT_EQ(catalogue.CatalogueSaros(2), 152);
  EXPECT_EQ(0, std::memcmp(&catalogue.Record(2), &records[1], kEclipseRecordSize));
  EXPECT_THROW(catalogue.Record(0), std::out_of_range);
  EXPECT_THROW(catalogue.Record(4), std::out_of_range);
}

TEST_F(LoadCatalogueTest, RejectsFilesThatAreNotWholeRecords) {
  const std::vector<char> misaligned(2 * kEclipseRecordSize + 17, 0);
  struct Case {
    fs::path file;
    std::string expectedInMessage;
  };
  const Case cases[] = {
      {WriteFile("misaligned.bin", misaligned.data(), misaligned.size()), "1353 bytes"},
      {WriteFile("empty.bin", misaligned.data(), 0), "0 bytes"},
      {dir_ / "missing.bin", "No such file"},
  };
  for (const auto& c : cases) {
    try {
      LoadCatalogue(c.file);
      ADD_FAILURE() << "accepted " << c.file;
    } catch (const FileError& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find(c.file.string()), std::string::npos) << message;
      EXPECT_NE(message.find(c.expectedInMessage), std::string::npos) << message;
    }
  }
}

TEST(MakeCurrentEclipse, RecomputesTheJulianDayAndCopiesEverythingElse) {
  const Catalogue catalogue({MakeRecord(2021, 12, 4, 8, 152), MakeRecord(1000, 3, 1, 24, 3)});
  const EclipseRecord a = MakeCurrentEclipse(catalogue, 1);
  // The packed record's doubles are read through aligned copies.
  const BesselianElements aElements = ElementsFromRecord(a);
  EXPECT_DOUBLE_EQ(aElements.julianDay, CalendarToJulianDay(2021, 12, 4, 8, 0, 0));
  EXPECT_DOUBLE_EQ(aElements.julianDay, 2459552.8333333335);
  EXPECT_EQ(aElements.x.c[1], 0.5);
  EXPECT_EQ(a.WorkArea[159], 159);
  // Julian calendar before the reform; hour 24 is the next midnight.
  const EclipseRecord b = MakeCurrentEclipse(catalogue, 2);
  EXPECT_DOUBLE_EQ(ElementsFromRecord(b).julianDay, CalendarToJulianDay(1000, 3, 2, 0, 0, 0));
  // The same record twice gives identical bytes.
  const EclipseRecord again = MakeCurrentEclipse(catalogue, 1);
  EXPECT_EQ(0, std::memcmp(&a, &again, kEclipseRecordSize));
}

using FindDataFileTest = TempDir;

TEST_F(FindDataFileTest, ExplicitFolderOnlyAndMessageListsPlaces) {
  const char bytes[] = "x";
  WriteFile("present.txt", bytes, 1);
  EXPECT_EQ(FindDataFile("present.txt", dir_), dir_ / "present.txt");
  try {
    FindDataFile("absent.txt", dir_);
    ADD_FAILURE() << "found a file that does not exist";
  } catch (const FileError& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find("absent.txt"), std::string::npos);
    EXPECT_NE(message.find(dir_.string()), std::string::npos);
  }
}

// A folder the user names is searched alone, the option before the
// variable; otherwise the executable's share/darvelle, then XDG_DATA_DIRS.
TEST(DataSearchFolders, NamedFolderAloneElseBesideTheProgramThenXdg) {
  using Folders = std::vector<fs::path>;
  struct Case {
    DataLocations in;
    Folders expected;
  };
  const fs::path exe = "/opt/x/bin";
  const Case cases[] = {
      {{"/o", "/v", exe, "/a"}, Folders{"/o"}},
      {{std::nullopt, "/v", exe, "/a"}, Folders{"/v"}},
      {{std::nullopt, std::nullopt, exe, "/a:relative::/b/"},
       Folders{"/opt/x/share/darvelle", "/a/darvelle", "/b/darvelle"}},
      {{std::nullopt, std::nullopt, std::nullopt, ""},
       Folders{"/usr/local/share/darvelle", "/usr/share/darvelle"}},
      {{std::nullopt, std::nullopt, std::nullopt, std::nullopt},
       Folders{"/usr/local/share/darvelle", "/usr/share/darvelle"}},
  };
  const auto normal = [](Folders folders) {
    for (auto& folder : folders) folder = folder.lexically_normal();
    return folders;
  };
  for (const Case& c : cases) EXPECT_EQ(normal(DataSearchFolders(c.in)), normal(c.expected));
}

// The build tree has share/darvelle beside the test programs' folders, as an
// installed tree has beside bin/: a program run from it finds the shipped data
// with nothing named, and DARVELLE_DATA takes over when set.
TEST_F(FindDataFileTest, BuildTreeDataAndTheVariable) {
  ::unsetenv("DARVELLE_DATA");
  const fs::path found = FindDataFile(kCatalogueFileName, std::nullopt);
  EXPECT_TRUE(fs::equivalent(found, fs::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName)));
  const char bytes[] = "x";
  WriteFile(std::string(kCatalogueFileName), bytes, 1);
  ::setenv("DARVELLE_DATA", dir_.c_str(), 1);
  EXPECT_EQ(FindDataFile(kCatalogueFileName, std::nullopt), dir_ / std::string(kCatalogueFileName));
  EXPECT_THROW(FindDataFile("absent.txt", std::nullopt), FileError);
  ::unsetenv("DARVELLE_DATA");
}

}  // namespace
}  // namespace darvelle

namespace darvelle {
namespace {

const fs::path kShippedCatalogue = fs::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName);

// The ranges of the record check leave every eclipse of the shipped
// catalogue alone.
TEST(RecordProblem, AcceptsEveryRecordOfTheShippedCatalogue) {
  if (!fs::exists(kShippedCatalogue)) GTEST_SKIP() << "no catalogue at " << kShippedCatalogue;
  const Catalogue catalogue = LoadCatalogue(kShippedCatalogue);
  ASSERT_GT(catalogue.Count(), 28000);
  int refused = 0;
  for (int i = 1; i <= catalogue.Count(); ++i) {
    if (const auto problem = RecordProblem(catalogue.Record(i))) {
      if (++refused <= 10) ADD_FAILURE() << "record " << i << ": " << *problem;
    }
  }
  EXPECT_EQ(refused, 0);
}

// One damaged field at a time, as a flipped bit or a hostile file makes it:
// the record is refused, naming the field, before anything computes with it
// (a tiny rate or an infinite x used to make the computation spin for ever).
TEST(RecordProblem, RefusesDamagedFieldsNamingThem) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  constexpr int kMin = std::numeric_limits<int>::min();
  constexpr int kMax = std::numeric_limits<int>::max();
  struct Case {
    const char* field;  // expected at the start of the message
    void (*damage)(EclipseRecord&, double, double);
  };
  const Case cases[] = {
      {"XPoly c0", [](EclipseRecord& r, double i, double) { r.XPoly.c[0] = i; }},
      {"XPoly c1", [](EclipseRecord& r, double i, double) { r.XPoly.c[1] = -i; }},
      {"YPoly |c2|", [](EclipseRecord& r, double, double) { r.YPoly.c[2] = 1e300; }},
      {"YPoly c0", [](EclipseRecord& r, double, double) { r.YPoly.c[0] = 1e300; }},
      {"TanF1Poly c0", [](EclipseRecord& r, double, double n) { r.TanF1Poly.c[0] = n; }},
      {"L2Poly c3", [](EclipseRecord& r, double, double n) { r.L2Poly.c[3] = n; }},
      {"the speed", [](EclipseRecord& r, double, double) {
         r.XPoly.c[1] = 1e-12;
         r.YPoly.c[1] = 0.0;
       }},
      {"L1Poly c0", [](EclipseRecord& r, double, double) { r.L1Poly.c[0] = 0.0; }},
      {"MuPoly |c1|", [](EclipseRecord& r, double, double) { r.MuPoly.c[1] = 1e-9; }},
      {"DPoly c0", [](EclipseRecord& r, double, double) { r.DPoly.c[0] = 95.0; }},
      {"SunDistancePoly c0", [](EclipseRecord& r, double, double) { r.SunDistancePoly.c[0] = 0.0; }},
      {"MoonDistancePoly c0", [](EclipseRecord& r, double, double) { r.MoonDistancePoly.c[0] = -1.0; }},
      {"Gamma", [](EclipseRecord& r, double, double n) { r.Gamma = n; }},
      {"Year", [](EclipseRecord& r, double, double) { r.Year = kMin; }},
      {"Year", [](EclipseRecord& r, double, double) { r.Year = kMax; }},
      {"Month", [](EclipseRecord& r, double, double) { r.Month = kMax; }},
      {"Day", [](EclipseRecord& r, double, double) { r.Day = kMin; }},
      {"EpochHour", [](EclipseRecord& r, double, double) { r.EpochHour = kMax; }},
      {"EclipseType", [](EclipseRecord& r, double, double) { r.EclipseType = 0; }},
      {"SarosNumber", [](EclipseRecord& r, double, double) { r.SarosNumber = kMin; }},
      {"SarosMemberCount", [](EclipseRecord& r, double, double) { r.SarosMemberCount = kMax; }},
      {"SarosMember", [](EclipseRecord& r, double, double) { r.SarosMember = kMin; }},
      {"SarosMember", [](EclipseRecord& r, double, double) { r.SarosMember = 71; }},
      {"LunationNumber", [](EclipseRecord& r, double, double) { r.LunationNumber = kMax; }},
  };
  const EclipseRecord good = MakeRecord(2021, 12, 4, 8, 152);
  ASSERT_FALSE(RecordProblem(good).has_value()) << *RecordProblem(good);
  for (const Case& c : cases) {
    EclipseRecord damaged = good;
    c.damage(damaged, inf, nan);
    const auto problem = RecordProblem(damaged);
    ASSERT_TRUE(problem.has_value()) << c.field;
    EXPECT_EQ(problem->rfind(c.field, 0), 0u) << *problem;

    // Through the catalogue: the message names the record, its file and the field.
    const Catalogue catalogue({good, damaged, good}, "/data/BElm.bin");
    try {
      MakeCurrentEclipse(catalogue, 2);
      ADD_FAILURE() << "record with damaged " << c.field << " accepted";
    } catch (const RecordError& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find("record 2 of \"/data/BElm.bin\""), std::string::npos) << message;
      EXPECT_NE(message.find(c.field), std::string::npos) << message;
    }
    EXPECT_NO_THROW(MakeCurrentEclipse(catalogue, 3));
  }
}

TEST_F(LoadCatalogueTest, RefusesAFileLargerThanAnyCatalogueBeforeReadingIt) {
  // Sparse: 5.3 GB that occupy no disk and would take many seconds to read.
  const fs::path file = dir_ / "huge.bin";
  { std::ofstream create(file, std::ios::binary); }
  fs::resize_file(file, 5'300'000'000ULL - 5'300'000'000ULL % kEclipseRecordSize);
  const auto start = std::chrono::steady_clock::now();
  try {
    LoadCatalogue(file);
    ADD_FAILURE() << "accepted a 5.3 GB catalogue";
  } catch (const FileError& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find(file.string()), std::string::npos) << message;
    EXPECT_NE(message.find("records that any catalogue can hold"), std::string::npos) << message;
  }
  // Refused from its size alone, not after reading it.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  fs::remove(file);
}

TEST_F(LoadCatalogueTest, RefusesRecordsOutOfChronologicalOrderNamingTheFirst) {
  struct Case {
    std::vector<EclipseRecord> records;
    std::string expected;  // "" : accepted
  };
  const Case cases[] = {
      {{MakeRecord(2024, 4, 8, 18, 139), MakeRecord(7000, 1, 1, 0, 1), MakeRecord(2024, 10, 2, 19, 144)},
       "record 3 (2024-10-2) comes after record 2 (7000-1-1)"},
      {{MakeRecord(2024, 4, 8, 18, 139), MakeRecord(2024, 3, 25, 7, 1)},
       "record 2 (2024-3-25) comes after record 1 (2024-4-8)"},
      {{MakeRecord(2024, 4, 8, 18, 139), MakeRecord(2024, 4, 7, 7, 1)},
       "record 2 (2024-4-7) comes after record 1 (2024-4-8)"},
      // Two eclipses of one date are in order.
      {{MakeRecord(2024, 4, 8, 18, 139), MakeRecord(2024, 4, 8, 7, 1), MakeRecord(2025, 1, 1, 7, 1)},
       ""},
  };
  for (const Case& c : cases) {
    const fs::path file =
        WriteFile("order.bin", c.records.data(), c.records.size() * kEclipseRecordSize);
    if (c.expected.empty()) {
      EXPECT_NO_THROW(LoadCatalogue(file));
      continue;
    }
    try {
      LoadCatalogue(file);
      ADD_FAILURE() << "accepted: " << c.expected;
    } catch (const FileError& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find(file.string()), std::string::npos) << message;
      EXPECT_NE(message.find(c.expected), std::string::npos) << message;
    }
  }
}

TEST(FileError, EscapesControlBytesOfTheMessage) {
  struct Case {
    std::string text, expected;
  };
  const Case cases[] = {
      {"plain text, umlaut \xC3\xBC", "plain text, umlaut \xC3\xBC"},
      {"bell\a escape\x1b[2J end", "bell\\x07 escape\\x1B[2J end"},
      {std::string("nul\0byte", 8), "nul\\x00byte"},
      {"del\x7f cr\r tab\t", "del\\x7F cr\\x0D tab\\x09"},
      {"two\nlines", "two\nlines"},
      {"C1 csi \xC2\x9B" "2J, nbsp \xC2\xA0", "C1 csi \\xC2\\x9B2J, nbsp \xC2\xA0"},
      {"8-bit csi \x9B" "2J", "8-bit csi \\x9B2J"},
      {"euro \xE2\x82\xAC, clef \xF0\x9D\x84\x9E", "euro \xE2\x82\xAC, clef \xF0\x9D\x84\x9E"},
      {"overlong \xC0\xAF, surrogate \xED\xA0\x80, cut \xE2\x82",
       "overlong \\xC0\\xAF, surrogate \\xED\\xA0\\x80, cut \\xE2\\x82"},
      {"latin-1 caf\xE9", "latin-1 caf\\xE9"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EscapeControlBytes(c.text), c.expected);
    EXPECT_EQ(std::string(FileError(c.text).what()), c.expected);
  }
}

}  // namespace
}  // namespace darvelle
