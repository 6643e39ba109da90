// Every file the program writes, through each of its writers: none follows a
// link it did not make, none leaves a part of a file or a temporary behind,
// each keeps the earlier file when the disk fills up half-way, and each gives
// its files the mode the umask asks for.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "../postscript/sheet_test_support.h"
#include "../support/file_faults.h"
#include "../support/run_process.h"
#include "catalogue/settings.h"
#include "io/atomic_file.h"
#include "postscript/exit_files.h"
#include "postscript/map_sheet.h"
#include "postscript/pdf_export.h"
#include "render/image_file.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;
using testing::NamesIn;
using testing::ReadWholeFile;

// Pixels that do not compress, so that every picture is larger than the
// file size limit of the tests.
QImage NoisyImage() {
  QImage image(100, 100, QImage::Format_RGB32);
  std::mt19937 random(7);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, random() | 0xFF000000u);
  }
  return image;
}

struct Writer {
  const char* what;
  const char* fileName;  // the name the program gives that file
  const char* causeWhenFull;
  std::function<void(const fs::path& file)> write;
};

class WritersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = sheet_testing::FreshTempDir(
        std::string("writers_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_ / "out");
    fs::create_directories(dir_ / "source");
    WritePostScriptSheet(sheet_testing::HandMadeTotal(TimeScale::kUniversal), SheetView{}, SourceSheet(), NoFont());
    // A stand-in for Ghostscript that writes a small but whole PDF.
    fs::create_directories(dir_ / "bin");
    std::ofstream(dir_ / "bin" / "gs")
        << "#!/bin/sh\n"
           "for a in \"$@\"; do case $a in -sOutputFile=*) out=\"${a#-sOutputFile=}\";; esac; done\n"
           "{ printf '%%PDF-1.4\\n'; head -c 20000 /dev/zero | tr '\\0' x; printf '\\n%%%%EOF\\n'; }"
           " > \"$out\"\n";
    ::chmod((dir_ / "bin" / "gs").c_str(), 0755);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Out() const { return dir_ / "out"; }
  fs::path SourceSheet() const { return dir_ / "source" / "sheet.ps"; }
  SheetOptions NoFont() const { return {dir_ / "no-font" / "Ethnocentric.pfa"}; }

  std::vector<Writer> Writers() const {
    return {
        {"text file", "SunEclipse4_EN.TXT", "File too large",
         [](const fs::path& file) { WriteFileAtomically(file, std::string(20'000, 't')); }},
        {"settings", "Darvelle.ini", "File too large",
         [](const fs::path& file) { WriteSettingsFile(file, NewSettings("9.9")); }},
        {"exit bitmap", "Darvelle.bmp", "File too large",
         [](const fs::path& file) { SaveBitmap(NoisyImage(), file); }},
        {"map picture", "map.png", "File too large",
         [](const fs::path& file) { SaveImageFile(NoisyImage(), file, "PNG"); }},
        {"sheet", "Darvelle.ps", "File too large",
         [this](const fs::path& file) {
           WritePostScriptSheet(sheet_testing::HandMadeTotal(TimeScale::kUniversal), SheetView{}, file, NoFont());
         }},
        {"pdf", "Darvelle.pdf", "Ghostscript",
         [this](const fs::path& file) {
           ConvertSheetToPdf(SourceSheet(), file, (dir_ / "bin").string());
         }},
    };
  }

  fs::path dir_;
};

TEST_F(WritersTest, ALinkOfTheUsersOwnIsWrittenThroughAndKept) {
  for (const Writer& writer : Writers()) {
    const fs::path file = Out() / writer.fileName;
    std::ofstream(dir_ / "victim") << "earlier";
    fs::create_symlink(dir_ / "victim", file);
    writer.write(file);
    EXPECT_TRUE(fs::is_symlink(file)) << writer.what;
    EXPECT_GT(fs::file_size(dir_ / "victim"), 1000u) << writer.what;
    EXPECT_EQ(NamesIn(Out()), std::vector<std::string>{writer.fileName}) << writer.what;
    fs::remove(file);
  }
}

TEST_F(WritersTest, LinksPlantedAtPredictableTemporaryNamesAreNeverFollowed) {
  std::ofstream(dir_ / "victim") << "precious";
  for (const Writer& writer : Writers()) {
    const std::string name = writer.fileName;
    const std::string pid = std::to_string(::getpid());
    // Names another user could guess: the target with a suffix, with this
    // process's number, with this thread's hash.
    const std::vector<std::string> planted = {
        name + ".tmp" + pid, name + ".part", name + ".tmp", name + ".ps.tmp" + pid,
        "." + name + ".part-" +
            std::to_string(std::hash<std::thread::id>{}(std::this_thread::get_id())),
        "." + name + ".darvelle-XXXXXXXXXXXX"};
    for (const std::string& trap : planted) fs::create_symlink(dir_ / "victim", Out() / trap);
    writer.write(Out() / name);
    EXPECT_EQ(ReadWholeFile(dir_ / "victim"), "precious") << writer.what;
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(Out() / name))) << writer.what;
    for (const std::string& trap : planted) {
      EXPECT_TRUE(fs::is_symlink(Out() / trap)) << writer.what << ": " << trap;
    }
    fs::remove_all(Out());
    fs::create_directories(Out());
  }
}

TEST_F(WritersTest, AWriteFailingHalfWayKeepsTheOldFileAndNamesItAndTheCause) {
  for (const Writer& writer : Writers()) {
    const fs::path file = Out() / writer.fileName;
    std::ofstream(file) << "old";
    std::string message;
    {
      const testing::FileSizeLimit limit(1000);
      try {
        writer.write(file);
      } catch (const FileError& e) {
        message = e.what();
      }
    }
    EXPECT_NE(message.find("\"" + file.string() + "\""), std::string::npos)
        << writer.what << ": " << message;
    EXPECT_NE(message.find(writer.causeWhenFull), std::string::npos) << writer.what << ": " << message;
    EXPECT_EQ(message.find(".darvelle-"), std::string::npos) << writer.what << ": " << message;
    EXPECT_EQ(ReadWholeFile(file), "old") << writer.what;
    EXPECT_EQ(NamesIn(Out()), std::vector<std::string>{writer.fileName}) << writer.what;
    fs::remove(file);
  }
}

TEST_F(WritersTest, NewFilesHaveTheModeTheUmaskAllows) {
  for (const mode_t umask : {mode_t{077}, mode_t{022}}) {
    const testing::ScopedUmask mask(umask);
    for (const Writer& writer : Writers()) {
      const fs::path file = Out() / writer.fileName;
      writer.write(file);
      EXPECT_EQ(testing::PermissionsOf(file), 0666u & ~umask) << writer.what << std::oct << umask;
      fs::remove(file);
    }
  }
}

}  // namespace
}  // namespace darvelle
