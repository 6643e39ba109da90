#include "postscript/pdf_export.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "catalogue/data_files.h"
#include "postscript/map_sheet.h"
#include "../support/run_process.h"
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
    WritePostScriptSheet(sheet_testing::HandMadeTotal(TimeScale::kUniversal), SheetView{}, sheet_,
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
  // Only the sheet and the stand-in's folder: no temporary is left.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

// A stand-in for Ghostscript as it behaves on a full disk: it prints an
// ioerror, writes the start of a PDF and ends with status 0.
constexpr const char* kFullDiskGhostscript =
    "for a in \"$@\"; do case $a in -sOutputFile=*) out=\"${a#-sOutputFile=}\";; esac; done\n"
    "{ printf '%%PDF-1.7\\n'; head -c 5000 /dev/zero; } > \"$out\"\n"
    "echo 'Error: /ioerror in --showpage--' >&2\n"
    "exit 0";

TEST_F(PdfExportTest, AnIoerrorWithStatusZeroIsAFailureAndKeepsTheOldPdf) {
  fs::create_directories(dir_ / "bin");
  WriteScript(dir_ / "bin" / "gs", kFullDiskGhostscript, true);
  const fs::path pdf = dir_ / "Darvelle.pdf";
  std::ofstream(pdf) << "old pdf";
  try {
    ConvertSheetToPdf(sheet_, pdf, (dir_ / "bin").string());
    FAIL() << "a converter that printed an ioerror was reported as success";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot write \"" + pdf.string() +
                                         "\": Ghostscript reported an error: Error: /ioerror in "
                                         "--showpage--");
  }
  std::stringstream old;
  old << std::ifstream(pdf).rdbuf();
  EXPECT_EQ(old.str(), "old pdf");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 3);
}

TEST_F(PdfExportTest, ASilentlyCutOffPdfIsAFailure) {
  fs::create_directories(dir_ / "bin");
  // Status 0 and not a word, but the file ends before its trailer.
  WriteScript(dir_ / "bin" / "gs",
              "for a in \"$@\"; do case $a in -sOutputFile=*) out=\"${a#-sOutputFile=}\";; "
              "esac; done\n{ printf '%%PDF-1.7\\n'; head -c 5000 /dev/zero; } > \"$out\"",
              true);
  const fs::path pdf = dir_ / "Darvelle.pdf";
  try {
    ConvertSheetToPdf(sheet_, pdf, (dir_ / "bin").string());
    FAIL() << "a cut-off PDF was reported as success";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("cut off"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(fs::exists(pdf));
}

TEST(IncompletePdf, HeaderTrailerAndSizeAreChecked) {
  const fs::path file = sheet_testing::FreshTempDir("incomplete_pdf") / "x.pdf";
  const std::string body(2000, 'x');
  const struct {
    std::string bytes;
    const char* problem;  // empty: whole
  } cases[] = {
      {"%PDF-1.7\n" + body + "\n%%EOF\n", ""},
      {"%PDF-1.7\n" + body + "\n%%EOF", ""},
      {"%PDF-1.7\r\n" + body + "\r\n%%EOF\r\n", ""},
      {"%PDF-1.7\n" + body, "cut off"},
      {"%PDF-1.7\n" + body + "\n%%EOF\n" + body, "cut off"},
      {"%!PS-Adobe\n" + body + "\n%%EOF\n", "does not begin as a PDF"},
      {"%PDF-1.7\n%%EOF\n", "only 15 bytes"},
      {"", "only 0 bytes"},
  };
  for (const auto& c : cases) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << c.bytes;
    const auto problem = IncompletePdfProblem(file);
    if (*c.problem == '\0') {
      EXPECT_EQ(problem, std::nullopt) << c.bytes.substr(0, 12);
    } else {
      ASSERT_TRUE(problem.has_value()) << c.bytes.substr(0, 12);
      EXPECT_NE(problem->find(c.problem), std::string::npos) << *problem;
    }
  }
  EXPECT_NE(IncompletePdfProblem(file.parent_path() / "missing.pdf"), std::nullopt);
  fs::remove_all(file.parent_path());
}

TEST_F(PdfExportTest, TwoConversionsToOneNameEachSucceedWithAWholeFile) {
  fs::create_directories(dir_ / "bin");
  // Writes the sheet's first line into the PDF, slowly, so the runs overlap.
  WriteScript(dir_ / "bin" / "gs",
              "for a in \"$@\"; do case $a in -sOutputFile=*) out=\"${a#-sOutputFile=}\";; "
              "esac; src=$a; done\n"
              "printf '%%PDF-1.7\\n' > \"$out\"; sleep 0.3\n"
              "{ head -n 1 \"$src\"; head -c 3000 /dev/zero; printf '\\n%%%%EOF\\n'; } >> \"$out\"",
              true);
  const fs::path other = dir_ / "Other.ps";
  std::ofstream(other) << "another sheet\n";
  const fs::path pdf = dir_ / "Darvelle.pdf";
  std::string errors[2];
  std::thread first([&] {
    try {
      ConvertSheetToPdf(sheet_, pdf, (dir_ / "bin").string());
    } catch (const FileError& e) {
      errors[0] = e.what();
    }
  });
  std::thread second([&] {
    try {
      ConvertSheetToPdf(other, pdf, (dir_ / "bin").string());
    } catch (const FileError& e) {
      errors[1] = e.what();
    }
  });
  first.join();
  second.join();
  EXPECT_EQ(errors[0], "");
  EXPECT_EQ(errors[1], "");
  std::stringstream text;
  text << std::ifstream(pdf, std::ios::binary).rdbuf();
  const std::string result = text.str();
  // One run's file, whole: one first line, one trailer.
  const bool fromSheet = result.find("%!PS-Adobe") != std::string::npos;
  const bool fromOther = result.find("another sheet") != std::string::npos;
  EXPECT_NE(fromSheet, fromOther);
  EXPECT_EQ(result.find("%%EOF"), result.rfind("%%EOF"));
  EXPECT_EQ(IncompletePdfProblem(pdf), std::nullopt);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 4);
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
  // Without a title the sheet's header names the document.
  EXPECT_NE(testing::ReadWholeFile(pdf).find("/Title(Normale POST_Lib-Routine)"), std::string::npos);
}

// The PDF's title is the eclipse's, and its creator this program, in place
// of the sheet's header comments; the PostScript keeps them.
TEST_F(PdfExportTest, RealGhostscriptTakesTheTitle) {
  const char* path = std::getenv("PATH");
  if (path == nullptr || !FindProgramOnPath("gs", path)) GTEST_SKIP() << "gs not on PATH";
  const fs::path pdf = dir_ / "Darvelle.pdf";
  const EclipseResult eclipse = sheet_testing::HandMadeTotal(TimeScale::kUniversal);
  ConvertSheetToPdf(sheet_, pdf, std::nullopt, {SheetTitle(eclipse)});
  const std::string text = testing::ReadWholeFile(pdf);
  EXPECT_NE(text.find("/Title(Total solar eclipse 2024-04-08)"), std::string::npos);
  EXPECT_EQ(text.find("POST_Lib"), std::string::npos);
  EXPECT_NE(text.find("/Creator(Darvelle "), std::string::npos);
  EXPECT_NE(testing::ReadWholeFile(sheet_).find("%%Title: Normale POST_Lib-Routine"), std::string::npos);
}

TEST(DocumentInfoMark, EscapesTheTitleAsAPostScriptString) {
  EXPECT_EQ(DocumentInfoMark({}), "");
  const std::string plain = DocumentInfoMark({"Total solar eclipse 2024-04-08"});
  EXPECT_EQ(plain.rfind("[ /Title (Total solar eclipse 2024-04-08) /Creator (Darvelle ", 0), 0u) << plain;
  EXPECT_NE(plain.find(") /DOCINFO pdfmark"), std::string::npos);
  // Delimiters and backslashes escaped; what is not printable ASCII replaced.
  const std::string odd = DocumentInfoMark({"a (b) \\ c\n\xC3\xA9 d"});
  EXPECT_EQ(odd.rfind("[ /Title (a \\(b\\) \\\\ c??? d) ", 0), 0u) << odd;
}

TEST(SheetTitle, NamesTheKindAndTheCatalogueDate) {
  EclipseResult eclipse = sheet_testing::HandMadeTotal(TimeScale::kUniversal);
  EXPECT_EQ(SheetTitle(eclipse), "Total solar eclipse 2024-04-08");
  eclipse.elements.year = -584;
  eclipse.elements.month = 5;
  eclipse.elements.day = 28;
  eclipse.elements.kind = EclipseKind::Annular;
  EXPECT_EQ(SheetTitle(eclipse), "Annular solar eclipse -0584-05-28");
}

}  // namespace
}  // namespace darvelle
