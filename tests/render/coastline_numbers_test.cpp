// The coastline file's numbers come back as the C library's strtod reads
// them, bit for bit, whatever their spelling: the points' pixels depend on
// the last bit through the rounding to arcseconds.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "render/coastline_file.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;

TEST(CoastlineNumbers, AreReadAsStrtodReadsThem) {
  std::vector<std::string> texts = {"-0.5",   "+5.25", "007.125", "1e1",  "-89.99999999",
                                    "12",     "-3",    "0.0001",  "5.",   ".5",
                                    "-89.9999", "89.99995", "45.123456789012"};
  std::mt19937_64 random(20240408);
  for (int i = 0; i < 20000; ++i) {
    const int decimals = 1 + static_cast<int>(random() % 8);
    std::ostringstream text;
    text.precision(decimals);
    text << std::fixed
         << (static_cast<double>(random() % 1800000000) / 1e7 - 90.0);  // -90 .. 90
    texts.push_back(text.str());
  }
  const fs::path file = fs::temp_directory_path() /
                        ("darvelle-coastline-numbers-" +
                         std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".txt");
  {
    std::ofstream out(file);
    // Each text as the longitude and, where it is a latitude, as the latitude.
    for (const std::string& text : texts) out << text << " 45.5\n" << "10.5 " << text << "\n";
  }
  std::vector<CoastlinePoint> points;
  ASSERT_NO_THROW(points = LoadCoastlines(file));
  fs::remove(file);
  std::size_t next = 0;
  for (const std::string& text : texts) {
    const double expected = std::strtod(text.c_str(), nullptr);
    if (expected == 0.0) continue;
    ASSERT_LT(next + 1, points.size());
    EXPECT_EQ(points[next].longitude, expected) << text;
    EXPECT_EQ(points[next + 1].latitude, expected) << text;
    next += 2;
  }
  EXPECT_EQ(next, points.size());
}

}  // namespace
}  // namespace darvelle
