#include "catalogue/catalogue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "astro/calendar.h"
#include "catalogue/data_files.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;

EclipseRecord MakeRecord(int year, int month, int day, int hour, int saros) {
  EclipseRecord r;
  std::memset(&r, 0, sizeof r);
  r.Year = year;
  r.Month = month;
  r.Day = day;
  r.EpochHour = hour;
  r.SarosNumber = saros;
  r.EclipseType = kTotal;
  r.JulianDay = 12345.0;  // deliberately wrong: the program recomputes it
  r.XPoly.c[1] = 0.5;
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
  EXPECT_DOUBLE_EQ(a.JulianDay, CalendarToJulianDay(2021, 12, 4, 8, 0, 0));
  EXPECT_DOUBLE_EQ(a.JulianDay, 2459552.8333333335);
  EXPECT_EQ(a.XPoly.c[1], 0.5);
  EXPECT_EQ(a.WorkArea[159], 159);
  // Julian calendar before the reform; hour 24 is the next midnight.
  const EclipseRecord b = MakeCurrentEclipse(catalogue, 2);
  EXPECT_DOUBLE_EQ(b.JulianDay, CalendarToJulianDay(1000, 3, 2, 0, 0, 0));
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

TEST(DataSearchFolders, WorkingFolderFirstThenInstalledThenSourceTree) {
  const auto folders = DataSearchFolders(std::nullopt);
  ASSERT_EQ(folders.size(), 3u);
  EXPECT_EQ(folders[0], fs::current_path());
  EXPECT_EQ(folders[2], fs::path(DARVELLE_TEST_DATA_DIR));
}

}  // namespace
}  // namespace darvelle
