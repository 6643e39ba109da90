// The catalogue read record by record against the whole file read at once:
// the same records, the same year search, and the same refusals of a bad file.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "catalogue/selection.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;

const fs::path kShipped = fs::path(DARVELLE_TEST_DATA_DIR) / kCatalogueFileName;

TEST(CatalogueFile, RecordsAndYearSearchAreTheWholeLoads) {
  const Catalogue whole = LoadCatalogue(kShipped);
  const CatalogueFile file(kShipped);
  ASSERT_EQ(file.Count(), whole.Count());
  for (const int index : {1, whole.Count() / 2, whole.Count() - 1, whole.Count()}) {
    const EclipseRecord record = file.Record(index);
    EXPECT_EQ(std::memcmp(&record, &whole.Record(index), sizeof record), 0) << index;
  }
  for (const long long year : {-6000LL, -4999LL, 0LL, 1582LL, 2024LL, 7000LL, 9999LL}) {
    EXPECT_EQ(FindFirstOfYear(file, year), FindFirstOfYear(whole, year)) << year;
  }
  EXPECT_THROW(file.Record(0), std::out_of_range);
  EXPECT_THROW(file.Record(whole.Count() + 1), std::out_of_range);
}

class BadCatalogue : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("darvelle-catalogue-file-test-" +
               std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  // The first `records` records of the shipped file, then `extra` bytes of
  // the next; with `swap`, the first and the last of them exchanged.
  fs::path Write(std::size_t records, std::size_t extra, bool swap = false) {
    std::ifstream in(kShipped, std::ios::binary);
    std::string bytes(records * kEclipseRecordSize + extra, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (swap) {
      std::swap_ranges(bytes.begin(), bytes.begin() + kEclipseRecordSize,
                       bytes.begin() + static_cast<long>((records - 1) * kEclipseRecordSize));
    }
    const fs::path file = folder_ / ("catalogue-" + std::to_string(++written_) + ".bin");
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
  }

  fs::path folder_;
  int written_ = 0;
};

std::string Refusal(auto&& load) {
  try {
    load();
  } catch (const FileError& e) {
    return e.what();
  }
  return "";
}

TEST_F(BadCatalogue, IsRefusedWithTheWholeLoadsMessage) {
  const fs::path files[] = {Write(3, 100), Write(0, 0), Write(2000, 0, true),
                            folder_ / "missing.bin"};
  for (const fs::path& file : files) {
    const std::string expected = Refusal([&] { LoadCatalogue(file); });
    ASSERT_FALSE(expected.empty()) << file;
    EXPECT_NE(expected.find(file.string()), std::string::npos) << expected;
    EXPECT_EQ(Refusal([&] { CatalogueFile read(file); }), expected);
  }
}

TEST_F(BadCatalogue, ARecordGoneSinceOpeningIsAnErrorNamingTheFile) {
  const fs::path file = Write(5, 0);
  const CatalogueFile catalogue(file);
  fs::resize_file(file, 2 * kEclipseRecordSize);
  EXPECT_NO_THROW(catalogue.Record(2));
  const std::string message = Refusal([&] { catalogue.Record(4); });
  EXPECT_NE(message.find(file.string()), std::string::npos) << message;
}

}  // namespace
}  // namespace darvelle
