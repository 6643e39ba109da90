#include "postscript/pdf_export.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "catalogue/data_files.h"
#include "postscript/map_sheet.h"
#include "sheet_test_support.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;

void WriteScript(const fs::path& file, const std::string& body, bool executable) {
  std::ofstream(file) << "#!/bin/sh\n" << body << "\n";
  ::chmod(file.c_str(), executable ? 0755 : 0644);
}

class PdfExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = sheet_testing::FreshTempDir(
        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    sheet_ = dir_ / "Darvelle.ps";
    WritePostScriptSheet(sheet_testing::HandMadeTotal(true), SheetView{}, sheet_,
                         {dir_ / "none" / "Ethnocentric.pfa"});
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
  fs::path sheet_;
};

TEST_F(PdfExportTest, FindsOnlyExecutableProgramsOnThePath) {
  fs::create_directories(dir_ / "a");
  fs::create_directories(dir_ / "b");
  WriteScript(dir_ / "a" / "gs", "exit 0", false);
  WriteScript(dir_ / "b" / "gs", "exit 0", true);
  const std::string path = (dir_ / "a").string() + "::" + (dir_ / "b").string();
  EXPECT_EQ(FindProgramOnPath("gs", path), dir_ / "b" / "gs");
  EXPECT_EQ(FindProgramOnPath("gs", (dir_ / "a").string()), std::nullopt);
  EXPECT_EQ(FindProgramOnPath("gs", ""), std::nullopt);
}

TEST_F(PdfExportTest, MissingGhostscriptIsSaidClearly) {
  const fs::path pdf = dir_ / "Darvelle.pdf";
  try {
    ConvertSheetToPdf(sheet_, pdf, (dir_ / "empty").string());
    FAIL() << "converted without Ghostscript";
  } catch (const FileError& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find("Ghostscript (gs) was not found on PATH"), std::string::npos);
    EXPECT_NE(message.find(pdf.string()), std::string::npos);
    EXPECT_NE(message.find(sheet_.string()), std::string::npos);
  }
  EXPECT_FALSE(fs::exists(pdf));
  EXPECT_TRUE(fs::exists(sheet_));
}

TEST_F(PdfExportTest, AFailingGhostscriptLeavesNoPdf) {
  fs::create_directories(dir_ / "bin");
  // A stand-in that writes part of its output, then fails.
  WriteScript(dir_ / "bin" / "gs",
              "for a in \"$@\"; do case $a in -sOutputFile=*) echo partial > \"${a#-sOutputFile=}\";; "
              "esac; done; exit 3",
              true);
  const fs::path pdf = dir_ / "Darvelle.pdf";
  try {
    ConvertSheetToPdf(sheet_, pdf, (dir_ / "bin").string());
    FAIL() << "a failing converter was reported as success";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("status 3"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(fs::exists(pdf));
  EXPECT_FALSE(fs::exists(dir_ / "Darvelle.pdf.part"));
}

TEST_F(PdfExportTest, RealGhostscriptWritesAPdf) {
  const char* path = std::getenv("PATH");
  if (path == nullptr || !FindProgramOnPath("gs", path)) GTEST_SKIP() << "gs not on PATH";
  const fs::path pdf = dir_ / "Darvelle.pdf";
  ConvertSheetToPdf(sheet_, pdf);
  std::ifstream in(pdf, std::ios::binary);
  std::string head(5, '\0');
  in.read(head.data(), 5);
  EXPECT_EQ(head, "%PDF-");
  EXPECT_GT(fs::file_size(pdf), 10000u);
}

}  // namespace
}  // namespace darvelle
