// darvelle-cli compute --sheet / --pdf run as the user runs them, on the
// program's own catalogue.

#include <gtest/gtest.h>

#include <filesystem>
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

}  // namespace
}  // namespace darvelle
