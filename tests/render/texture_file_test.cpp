#include "render/texture_file.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "catalogue/data_files.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;

class TextureFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("darvelle_texture_test_" + std::to_string(::testing::UnitTest::GetInstance()
                                                               ->random_seed()) +
               "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path Write(const std::string& name, const std::vector<unsigned char>& bytes) {
    const fs::path file = folder_ / name;
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return file;
  }

  fs::path folder_;
};

constexpr int kWidth = 32;
constexpr int kHeight = 16;
// Four quadrants of the picture: top-left, top-right, bottom-left, bottom-right.
constexpr std::array<std::array<std::uint8_t, 3>, 4> kQuadrantColours = {{
    {200, 30, 30}, {30, 200, 30}, {30, 30, 200}, {240, 240, 240}}};

int QuadrantOf(int column, int row) { return (row >= kHeight / 2 ? 2 : 0) + (column >= kWidth / 2 ? 1 : 0); }

std::vector<unsigned char> EncodeJpeg(const std::vector<unsigned char>& rgb, int width, int height) {
  tjhandle compressor = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const int rc = tjCompress2(compressor, rgb.data(), width, 0, height, TJPF_RGB, &jpeg, &size,
                             TJSAMP_444, 100, 0);
  std::vector<unsigned char> bytes;
  if (rc == 0) bytes.assign(jpeg, jpeg + size);
  tjFree(jpeg);
  tjDestroy(compressor);
  return bytes;
}

std::vector<unsigned char> QuadrantJpeg() {
  std::vector<unsigned char> rgb;
  for (int row = 0; row < kHeight; ++row) {
    for (int column = 0; column < kWidth; ++column) {
      const auto& colour = kQuadrantColours[static_cast<std::size_t>(QuadrantOf(column, row))];
      rgb.insert(rgb.end(), colour.begin(), colour.end());
    }
  }
  return EncodeJpeg(rgb, kWidth, kHeight);
}

// Busy enough that most of the file is scan data, not tables.
std::vector<unsigned char> PatternJpeg(int width, int height) {
  std::vector<unsigned char> rgb;
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      rgb.push_back(static_cast<unsigned char>((column * 7 + row * 3) % 256));
      rgb.push_back(static_cast<unsigned char>((column * row) % 251));
      rgb.push_back(static_cast<unsigned char>((row * 11) % 256));
    }
  }
  return EncodeJpeg(rgb, width, height);
}

TEST_F(TextureFileTest, DecodesPixelsTopRowFirstInRedGreenBlueOrder) {
  const std::vector<unsigned char> jpeg = QuadrantJpeg();
  ASSERT_FALSE(jpeg.empty());
  EarthTexture texture;
  const TextureLoadResult result = LoadTexture(Write("quadrants.jpg", jpeg), texture);
  EXPECT_TRUE(result.decoded) << result.message;
  ASSERT_EQ(texture.width, kWidth);
  ASSERT_EQ(texture.height, kHeight);
  ASSERT_EQ(texture.rgb.size(), static_cast<std::size_t>(kWidth * kHeight * 3));
  EXPECT_FALSE(texture.Empty());
  // Pixels away from the quadrant borders, where the lossy coding is exact
  // to within a few levels.
  const std::array<std::array<int, 2>, 4> probes = {{{3, 3}, {28, 2}, {4, 12}, {27, 13}}};
  for (const auto& [column, row] : probes) {
    const std::uint8_t* pixel = texture.Pixel(column, row);
    ASSERT_NE(pixel, nullptr);
    const auto& expected = kQuadrantColours[static_cast<std::size_t>(QuadrantOf(column, row))];
    for (int c = 0; c < 3; ++c) {
      EXPECT_NEAR(pixel[c], expected[static_cast<std::size_t>(c)], 8)
          << "column " << column << " row " << row << " channel " << c;
    }
  }
}

TEST_F(TextureFileTest, PixelOutsideThePictureIsAbsent) {
  EarthTexture texture;
  ASSERT_TRUE(LoadTexture(Write("quadrants.jpg", QuadrantJpeg()), texture).decoded);
  const std::array<std::array<int, 2>, 5> outside = {
      {{-1, 0}, {0, -1}, {kWidth, 0}, {0, kHeight}, {kWidth, kHeight}}};
  for (const auto& [column, row] : outside) {
    EXPECT_EQ(texture.Pixel(column, row), nullptr) << column << ", " << row;
  }
  EXPECT_EQ(texture.Pixel(kWidth - 1, kHeight - 1), texture.rgb.data() + texture.rgb.size() - 3);
  EXPECT_EQ(EarthTexture{}.Pixel(0, 0), nullptr);
}

TEST_F(TextureFileTest, UndecodableFileLeavesTheTextureEmptyWithAReason) {
  const std::vector<unsigned char> jpeg = QuadrantJpeg();
  ASSERT_GT(jpeg.size(), 200u);
  const std::string png = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR";
  const std::string text = "land_shallow_topo\n";
  const struct {
    const char* name;
    std::vector<unsigned char> bytes;
  } cases[] = {
      {"empty.jpg", {}},
      {"text.jpg", {text.begin(), text.end()}},
      {"png.jpg", {png.begin(), png.end()}},
      {"header_only.jpg", {jpeg.begin(), jpeg.begin() + 20}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EarthTexture texture;
    ASSERT_TRUE(LoadTexture(Write("good.jpg", jpeg), texture).decoded);
    const fs::path file = Write(c.name, c.bytes);
    TextureLoadResult result;
    ASSERT_NO_THROW(result = LoadTexture(file, texture));
    EXPECT_FALSE(result.decoded);
    EXPECT_TRUE(texture.Empty());
    EXPECT_EQ(texture.width, 0);
    EXPECT_EQ(texture.height, 0);
    EXPECT_NE(result.message.find("Cannot decode the Earth texture"), std::string::npos)
        << result.message;
    EXPECT_NE(result.message.find(file.string()), std::string::npos) << result.message;
  }
}

TEST_F(TextureFileTest, TruncatedScanKeepsThePictureAndSaysSo) {
  std::vector<unsigned char> jpeg = PatternJpeg(256, 128);
  jpeg.resize(jpeg.size() * 3 / 4);
  EarthTexture texture;
  const TextureLoadResult result = LoadTexture(Write("truncated.jpg", jpeg), texture);
  EXPECT_TRUE(result.decoded) << result.message;
  EXPECT_EQ(texture.width, 256);
  EXPECT_EQ(texture.height, 128);
  EXPECT_NE(result.message.find("warning"), std::string::npos) << result.message;
  // The window and darvelle-cli tell the user from this flag; a whole file raises none.
  EXPECT_TRUE(result.warning);
  EXPECT_FALSE(LoadTexture(Write("whole.jpg", PatternJpeg(256, 128)), texture).warning);
}

// A tiny file whose header declares a huge picture is refused from its size
// alone, before the decoder claims memory for every declared pixel.
TEST_F(TextureFileTest, HeaderDeclaringMorePixelsThanTheFileHoldsIsRefused) {
  std::vector<unsigned char> jpeg = QuadrantJpeg();
  // Baseline frame header: FF C0, length (2), precision (1), height (2), width (2).
  std::size_t sof = 0;
  for (std::size_t i = 0; i + 8 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      sof = i;
      break;
    }
  }
  ASSERT_NE(sof, 0u);
  struct Case {
    int width, height;
    bool refused;
  };
  const Case cases[] = {{34560, 4320, true}, {8640, 4320, true}, {kWidth, kHeight, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    jpeg[sof + 5] = static_cast<unsigned char>(c.height >> 8);
    jpeg[sof + 6] = static_cast<unsigned char>(c.height & 0xFF);
    jpeg[sof + 7] = static_cast<unsigned char>(c.width >> 8);
    jpeg[sof + 8] = static_cast<unsigned char>(c.width & 0xFF);
    EarthTexture texture;
    const TextureLoadResult result = LoadTexture(Write("declared.jpg", jpeg), texture);
    EXPECT_EQ(result.decoded, !c.refused) << result.message;
    if (!c.refused) continue;
    EXPECT_TRUE(texture.Empty());
    EXPECT_EQ(texture.rgb.capacity(), 0u);
    EXPECT_NE(result.message.find("declares " + std::to_string(c.width) + " x " +
                                  std::to_string(c.height) + " pixels, more than a file of " +
                                  std::to_string(jpeg.size()) + " bytes"),
              std::string::npos)
        << result.message;
  }
}

TEST_F(TextureFileTest, MissingFileOrFolderThrowsFileErrorNamingIt) {
  const struct {
    fs::path file;
    const char* cause;
  } cases[] = {
      {folder_ / "no_such_texture.jpg", "No such file or directory"},
      {folder_, "not a regular file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file.string());
    EarthTexture texture;
    try {
      LoadTexture(c.file, texture);
      ADD_FAILURE() << "no exception";
    } catch (const FileError& e) {
      EXPECT_NE(std::string(e.what()).find("Cannot read the Earth texture \"" + c.file.string() +
                                           "\": " + c.cause),
                std::string::npos)
          << e.what();
    }
  }
}

}  // namespace
}  // namespace darvelle
