#include "catalogue/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "catalogue/data_files.h"
#include "catalogue/platform_folders.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;

class TempDir {
 public:
  TempDir() {
    path_ = fs::temp_directory_path() /
            ("darvelle_settings_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::vector<std::uint8_t> FileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(SettingsTest, NewFileHoldsEnglishAndRecord16668) {
  const Settings s = NewSettings("1.0.0");
  const auto block = EncodeSettings(s);
  ASSERT_EQ(block.size(), 2108u);
  EXPECT_EQ(block[0], 5);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&block[1]), 5), "1.0.0");
  EXPECT_EQ(block[17], 1);                        // English
  EXPECT_EQ(block[18] | block[19] << 8, 16668);  // 0x411C, little-endian
  EXPECT_EQ(block[20], 0);
  EXPECT_EQ(block[22], 1);                        // UT
  for (std::size_t i = 23; i < 47; ++i) EXPECT_EQ(block[i], 0) << "angle byte " << i;
  EXPECT_EQ(block[47] | block[48] << 8, 500);
  EXPECT_EQ(block[51], 1);  // orthographic
  EXPECT_EQ(block[52], 1);  // resolution
  EXPECT_EQ(block[56], 1);  // pen width
  for (std::size_t i = 60; i < block.size(); ++i) ASSERT_EQ(block[i], 0) << "reserved byte " << i;
}

TEST(SettingsTest, VersionTextIsCutToSixteenCharacters) {
  const auto block = EncodeSettings(NewSettings("12345678901234567890"));
  EXPECT_EQ(block[0], 16);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&block[1]), 16), "1234567890123456");
  EXPECT_EQ(block[17], 1) << "the text must not run into the language byte";
}

TEST(SettingsTest, FieldsSitAtTheirPackedOffsets) {
  Settings s;
  s.Language = 2;
  s.EclipseIndex = 0x01020304;
  s.UseUT = 0;
  s.Psi = 1.5;
  s.Phi = -2.25;
  s.Chi = 370.0;
  s.GlobeSize = 9999;
  s.Orthographic = 0;
  s.Resolution = 32;
  s.PenWidth = 3;
  const auto block = EncodeSettings(s);
  auto asDouble = [&](std::size_t offset) {
    double d;
    std::memcpy(&d, &block[offset], 8);
    return d;
  };
  auto asInt = [&](std::size_t offset) {
    return static_cast<std::int32_t>(block[offset] | block[offset + 1] << 8 |
                                     block[offset + 2] << 16 | block[offset + 3] << 24);
  };
  EXPECT_EQ(block[17], 2);
  EXPECT_EQ(block[18], 0x04);
  EXPECT_EQ(block[21], 0x01);
  EXPECT_EQ(block[22], 0);
  EXPECT_EQ(asDouble(23), 1.5);
  EXPECT_EQ(asDouble(31), -2.25);
  EXPECT_EQ(asDouble(39), 370.0);
  EXPECT_EQ(asInt(47), 9999);
  EXPECT_EQ(block[51], 0);
  EXPECT_EQ(asInt(52), 32);
  EXPECT_EQ(asInt(56), 3);
  EXPECT_EQ(DecodeSettings(block), s);
}

TEST(SettingsTest, ShortBlockReadsMissingFieldsAsZero) {
  Settings s = NewSettings("1.0.0");
  s.EclipseIndex = 1234;
  s.Psi = 12.0;
  const auto full = EncodeSettings(s);
  struct Case {
    std::size_t length;
    int index;
    double psi;
    int globe;
    int pen;
  };
  const Case cases[] = {
      {0, 0, 0.0, 0, 0},
      {20, 1234 & 0xFFFF, 0.0, 0, 0},  // the index is cut after two of its bytes
      {31, 1234, 12.0, 0, 0},
      {56, 1234, 12.0, 500, 0},
      {60, 1234, 12.0, 500, 1},
  };
  for (const auto& c : cases) {
    const Settings read = DecodeSettings(std::span<const std::uint8_t>(full.data(), c.length));
    EXPECT_EQ(read.EclipseIndex, c.index) << "length " << c.length;
    EXPECT_EQ(read.Psi, c.psi) << "length " << c.length;
    EXPECT_EQ(read.GlobeSize, c.globe) << "length " << c.length;
    EXPECT_EQ(read.PenWidth, c.pen) << "length " << c.length;
    EXPECT_EQ(ClampPenWidth(read.PenWidth), c.pen == 0 ? 1 : c.pen);
  }
}

TEST(SettingsTest, OverlongVersionLengthByteIsLimited) {
  std::vector<std::uint8_t> bytes(kSettingsFileSize, 'x');
  bytes[0] = 200;
  EXPECT_EQ(DecodeSettings(bytes).VersionText, std::string(16, 'x'));
}

TEST(SettingsTest, StoredValuesAreClamped) {
  struct Case {
    std::int32_t stored;
    int count;
    int index;
  };
  for (const Case& c : {Case{0, 28504, 1}, Case{-5, 28504, 1}, Case{99999, 28504, 28504},
                        Case{16686, 28504, 16686}, Case{28504, 28000, 28000}}) {
    EXPECT_EQ(ClampEclipseIndex(c.stored, c.count), c.index) << c.stored << " of " << c.count;
  }
  const std::pair<std::int32_t, int> pens[] = {{7, 3}, {0, 1}, {-1, 1}, {2, 2}, {3, 3}};
  for (const auto& [stored, pen] : pens) EXPECT_EQ(ClampPenWidth(stored), pen) << stored;
}

TEST(SettingsTest, FileRoundTripKeepsReservedBytes) {
  TempDir dir;
  const fs::path file = dir.path() / "Darvelle.ini";
  std::vector<std::uint8_t> bytes(kSettingsFileSize);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  bytes[0] = 3;
  WriteBytes(file, bytes);

  Settings s = ReadSettingsFile(file);
  s.Language = 0;
  s.EclipseIndex = 42;
  WriteSettingsFile(file, s);

  const auto written = FileBytes(file);
  ASSERT_EQ(written.size(), kSettingsFileSize);
  EXPECT_EQ(written[17], 0);
  EXPECT_EQ(written[18], 42);
  for (std::size_t i = 60; i < written.size(); ++i) ASSERT_EQ(written[i], bytes[i]) << "byte " << i;
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
      << "no temporary file may stay behind";
}

TEST(SettingsTest, FileErrorsNameTheFile) {
  TempDir dir;
  const fs::path missing = dir.path() / "absent" / "Darvelle.ini";
  try {
    ReadSettingsFile(missing);
    FAIL() << "reading a missing file must throw";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find(missing.string()), std::string::npos) << e.what();
  }
  try {
    WriteSettingsFile(missing, NewSettings("1"));
    FAIL() << "writing into a missing folder must throw";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find(missing.string()), std::string::npos) << e.what();
  }
}

// What is no settings block is said, never waited on, and never taken for
// one: an empty file read as German with a globe of size 0.
TEST(SettingsTest, WhatIsNoSettingsBlockIsToldApart) {
  TempDir dir;
  const fs::path file = dir.path() / "Darvelle.ini";
  ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
  EXPECT_THROW(ReadSettingsFileChecked(file), FileError);
  fs::remove(file);
  const struct {
    std::vector<std::uint8_t> bytes;
    bool damaged;
    std::string outOfRange;
  } cases[] = {
      {{}, true, ""},
      {std::vector<std::uint8_t>(100, 1), true, ""},
      {std::vector<std::uint8_t>(kSettingsFileSize + 1, 0), true, ""},
      {std::vector<std::uint8_t>(kSettingsFileSize, 'x'), false,
       "language, time scale, view angles, globe size, projection, pen width"},
  };
  for (const auto& c : cases) {
    WriteBytes(file, c.bytes);
    const SettingsRead read = ReadSettingsFileChecked(file);
    EXPECT_EQ(!read.damage.empty(), c.damaged) << c.bytes.size();
    EXPECT_EQ(read.outOfRange, c.outOfRange) << c.bytes.size();
  }
  const auto block = EncodeSettings(NewSettings("1"));
  const std::vector<std::uint8_t> whole(block.begin(), block.end());
  WriteBytes(file, whole);
  EXPECT_TRUE(ReadSettingsFileChecked(file).damage.empty());
  EXPECT_TRUE(ReadSettingsFileChecked(file).outOfRange.empty());
  WriteBytes(file, std::vector<std::uint8_t>(1 << 20, 0));
  EXPECT_THROW(ReadSettingsFileChecked(file), FileError);
}

TEST(PlatformFoldersTest, TempFolderEndsWithSeparator) {
  const std::pair<const char*, std::string> cases[] = {
      {nullptr, "/tmp/"}, {"", "/tmp/"}, {"/var/tmp", "/var/tmp/"}, {"/scratch/", "/scratch/"}};
  for (const auto& [env, expected] : cases) {
    EXPECT_EQ(TempFolderFor(env), expected) << (env ? env : "(unset)");
  }
}

TEST(PlatformFoldersTest, SettingsFolderFollowsXdgRules) {
  struct Case {
    const char* xdg;
    const char* home;
    std::string expected;
  };
  const Case cases[] = {
      {"/home/u/.cfg", "/home/u", "/home/u/.cfg/Darvelle/"},
      {nullptr, "/home/u", "/home/u/.config/Darvelle/"},
      {"", "/home/u", "/home/u/.config/Darvelle/"},
      {"relative/cfg", "/home/u", "/home/u/.config/Darvelle/"},
      {"  /home/u/cfg/  ", "/home/u", "/home/u/cfg/Darvelle/"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SettingsFolderFor(c.xdg, c.home), c.expected) << (c.xdg ? c.xdg : "(unset)");
  }
}

TEST(PlatformFoldersTest, CreateFolderMakesParents) {
  TempDir dir;
  const fs::path nested = dir.path() / "a" / "b" / "Darvelle";
  EXPECT_TRUE(CreateFolder(nested));
  EXPECT_TRUE(fs::is_directory(nested));
  WriteBytes(dir.path() / "file", {1});
  EXPECT_FALSE(CreateFolder(dir.path() / "file" / "sub"));
}

}  // namespace
}  // namespace darvelle
