#include "render/coastline_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "catalogue/data_files.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;

class CoastlineFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("darvelle_coastline_test_" +
               std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path Write(const std::string& text, const std::string& name = "World_Points.txt") {
    const fs::path file = folder_ / name;
    std::ofstream out(file, std::ios::binary);
    out << text;
    return file;
  }

  fs::path folder_;
};

using Points = std::vector<std::pair<double, double>>;

Points AsPairs(const std::vector<CoastlinePoint>& points) {
  Points pairs;
  for (const CoastlinePoint& p : points) pairs.emplace_back(p.longitude, p.latitude);
  return pairs;
}

TEST_F(CoastlineFileTest, ReadsPairsAndSkipsWhatThePointFormatLeavesOut) {
  const struct {
    const char* what;
    std::string text;
    Points expected;
  } cases[] = {
      {"one pair", "10.5 20.25\n", {{10.5, 20.25}}},
      {"negative and signed", "-71.1 -33.45\n+2.5 +48.5\n", {{-71.1, -33.45}, {2.5, 48.5}}},
      {"exponents", "1e1 -2.5E1\n", {{10.0, -25.0}}},
      {"bare decimal points", ".5 1.\n", {{0.5, 1.0}}},
      {"on the prime meridian or the equator: skipped",
       "0 45\n12.5 0\n0.0 0.0\n-0 10\n3 4\n", {{3.0, 4.0}}},
      {"extra numbers and text ignored", "10 20 30 40\n11 21 some text\n", {{10, 20}, {11, 21}}},
      {"empty last line adds nothing", "10 20\n\n", {{10, 20}}},
      {"no line end after the last pair", "10 20\n11 21", {{10, 20}, {11, 21}}},
      {"blank lines and blanks around", "\n  10\t20  \n   \n\t11 21\n", {{10, 20}, {11, 21}}},
      {"CRLF line ends", "10 20\r\n11 21\r\n\r\n", {{10, 20}, {11, 21}}},
      {"empty file", "", {}},
      {"limits of the coordinates", "360 90\n-360 -90\n", {{360, 90}, {-360, -90}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(AsPairs(LoadCoastlines(Write(c.text))), c.expected);
  }
}

TEST_F(CoastlineFileTest, BadLinesAreReportedWithFileAndLineNumber) {
  const struct {
    const char* what;
    std::string text;
    std::string expectedCause;
  } cases[] = {
      {"first item not a number", "10 20\n\nabc 20\n", "line 3: \"abc\" is not a number"},
      {"header line", "> Shore Bin # 74, Level 1\n10 20\n", "line 1: \">\" is not a number"},
      {"second item not a number", "10 20\n10 x\n", "line 2: \"x\" is not a number"},
      {"decimal comma", "10,5 20\n", "line 1: \"10,5\" is not a number"},
      {"number glued to text", "10 20abc\n", "line 1: \"20abc\" is not a number"},
      {"not finite", "nan 20\n", "line 1: \"nan\" is not a number"},
      {"a single number", "10 20\n15\n30 40\n", "line 2: only one number"},
      {"longitude out of range", "400 10\n", "line 1: longitude 400 outside -360 .. 360 degrees"},
      {"latitude out of range", "10 -95\n", "line 1: latitude -95 outside -90 .. 90 degrees"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path file = Write(c.text);
    try {
      LoadCoastlines(file);
      ADD_FAILURE() << "no exception";
    } catch (const FileError& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find("\"" + file.string() + "\""), std::string::npos) << message;
      EXPECT_NE(message.find(c.expectedCause), std::string::npos) << message;
    }
  }
}

TEST_F(CoastlineFileTest, MissingFileOrFolderThrowsFileErrorNamingIt) {
  const struct {
    fs::path file;
    const char* cause;
  } cases[] = {
      {folder_ / "no_such_points.txt", "No such file or directory"},
      {folder_, "not a regular file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file.string());
    try {
      LoadCoastlines(c.file);
      ADD_FAILURE() << "no exception";
    } catch (const FileError& e) {
      EXPECT_NE(std::string(e.what()).find("\"" + c.file.string() + "\": " + c.cause),
                std::string::npos)
          << e.what();
    }
  }
}

std::string UsableLines(std::size_t count) {
  std::string text;
  for (std::size_t i = 1; i <= count; ++i) {
    text += std::to_string(-179.5 + static_cast<double>(i % 358)) + " " +
            std::to_string(1.0 + static_cast<double>(i % 80)) + "\n";
  }
  return text;
}

TEST_F(CoastlineFileTest, ThousandUsableLinesGiveThousandRecs) {
  const std::vector<CoastlinePoint> points = LoadCoastlines(Write("0 0\n" + UsableLines(1000)));
  EXPECT_EQ(points.size(), 1000u);
  EXPECT_EQ(CoastlineStatusText(points.size()), "1000 recs");
}

TEST_F(CoastlineFileTest, KeepsAtMostTheArrayCapacity) {
  // Zero-product lines do not count towards the limit.
  const std::string full = UsableLines(kMaxCoastlinePoints) + "0 5\n";
  EXPECT_EQ(LoadCoastlines(Write(full)).size(), kMaxCoastlinePoints);

  const fs::path tooMany = Write(full + "10 20\n", "too_many.txt");
  try {
    LoadCoastlines(tooMany);
    FAIL() << "no exception";
  } catch (const FileError& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find("line " + std::to_string(kMaxCoastlinePoints + 2) + ": more than " +
                           std::to_string(kMaxCoastlinePoints) + " points"),
              std::string::npos)
        << message;
  }
}

}  // namespace
}  // namespace darvelle
