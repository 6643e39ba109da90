// darvelle-cli compute --sheet / --pdf run as the user runs them, on the
// program's own catalogue.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <string>
#include <unistd.h>

#include "../support/run_process.h"
#include "compute_fixture.h"
#include "catalogue/data_files.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;
using darvelle::testing::ReadWholeFile;
using darvelle::testing::RunProcess;

using CliSheet = testing::CliComputeTest;

TEST_F(CliSheet, SheetAndPdfOfTheChosenTimeScale) {
  const struct {
    const char* args;
    const char* pages;
  } runs[] = {{"", "%%Pages:4\r\n"}, {"--tt", "%%Pages:3\r\n"}};
  for (const auto& run : runs) {
    const fs::path sheet = dir_ / "Darvelle.ps";
    const fs::path pdf = dir_ / "Darvelle.pdf";
    const auto result =
        RunProcess(Cli(std::string(run.args) + " --sheet " + sheet.string() + " --pdf " +
                       pdf.string()));
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::string text = ReadWholeFile(sheet);
    EXPECT_EQ(text.rfind("%!PS-Adobe-2.0\r\n%%Pages:", 0), 0u);
    EXPECT_NE(text.find(run.pages), std::string::npos) << run.args;
    EXPECT_NE(text.find("(Total Solar Eclipse) dup"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 7), "%%EOF\r\n");
    EXPECT_EQ(ReadWholeFile(pdf).rfind("%PDF-", 0), 0u);
  }
  // --pdf alone leaves only the PDF beside it, no sheet.
  fs::remove_all(dir_ / "alone");
  fs::create_directories(dir_ / "alone");
  const auto alone = RunProcess(Cli("--pdf " + (dir_ / "alone" / "x.pdf").string()));
  ASSERT_EQ(alone.exitStatus, 0) << alone.err;
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "alone"), fs::directory_iterator()), 1);
}

TEST_F(CliSheet, PdfWithoutGhostscriptSaysSoBeforeComputing) {
  const fs::path pdf = dir_ / "Darvelle.pdf";
  const auto result =
      RunProcess("PATH=" + (dir_ / "no-bin").string() + " " + Cli("--pdf " + pdf.string()));
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.err.find("--pdf needs Ghostscript (gs), which was not found on PATH"),
            std::string::npos)
      << result.err;
  EXPECT_FALSE(fs::exists(pdf));
  EXPECT_FALSE(fs::exists(dir_ / "out"));
}

TEST_F(CliSheet, APdfThatGhostscriptCouldNotFinishExitsOneAndKeepsTheOldPdf) {
  // Ghostscript on a full disk: an ioerror, a cut-off file, status 0.
  fs::create_directories(dir_ / "bin");
  std::ofstream(dir_ / "bin" / "gs")
      << "#!/bin/sh\n"
         "for a in \"$@\"; do case $a in -sOutputFile=*) out=\"${a#-sOutputFile=}\";; esac; done\n"
         "{ printf '%%PDF-1.7\\n'; head -c 5000 /dev/zero; } > \"$out\"\n"
         "echo 'Error: /ioerror in --showpage--' >&2\n"
         "exit 0\n";
  ::chmod((dir_ / "bin" / "gs").c_str(), 0755);
  const fs::path pdf = dir_ / "Darvelle.pdf";
  std::ofstream(pdf) << "old pdf";
  const auto result = RunProcess("PATH=" + (dir_ / "bin").string() + ":$PATH " +
                                 Cli("--pdf " + pdf.string()));
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.err.find("Cannot write \"" + pdf.string() + "\""), std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find("ioerror"), std::string::npos) << result.err;
  EXPECT_EQ(ReadWholeFile(pdf), "old pdf");
  // Neither the PDF's temporary nor the sheet written for it is left.
  for (const auto& entry : fs::directory_iterator(dir_)) {
    EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
  }
}

}  // namespace
}  // namespace darvelle
