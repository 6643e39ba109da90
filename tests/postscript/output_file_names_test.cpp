// Every file the writers make carries a name of io/output_file_names.h, and
// the deleter clears exactly the computation's files. Real eclipses of the
// catalogue, written into a folder that also holds a file of the user's.

#include "io/output_file_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "../support/file_faults.h"
#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "postscript/exit_files.h"
#include "reports/computation_files.h"
#include "sheet_test_support.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;
using Names = std::set<std::string>;

class OutputFileNamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = sheet_testing::FreshTempDir(
        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::ofstream(dir_ / "notes.txt") << "the user's own";
  }
  void TearDown() override { fs::remove_all(dir_); }

  // What the writers added to the folder.
  Names Written() const {
    Names names;
    for (const std::string& name : testing::NamesIn(dir_)) {
      if (name != "notes.txt") names.insert(name);
    }
    return names;
  }
  static EclipseResult Computed(int index) {
    static const Catalogue catalogue =
        LoadCatalogue(fs::path(DARVELLE_TEST_DATA_DIR) / kCatalogueFileName);
    return ComputeEclipse(PrepareEclipse(catalogue, index, TimeScale::kUniversal, 1));
  }
  fs::path dir_;
};

bool Listed(const std::string& name) {
  return std::find(kComputationFileNames.begin(), kComputationFileNames.end(), name) !=
         kComputationFileNames.end();
}

TEST_F(OutputFileNamesTest, EveryComputationFileIsListedAndTheDeleterRemovesExactlyThose) {
  // Three neighbours of the catalogue that between them have every curve:
  // a northern and a southern horizon curve, central lines, both limits.
  Names everWritten;
  for (const int index : {16600, 16601, 16602}) {
    SCOPED_TRACE(index);
    WriteComputationFiles(Computed(index), dir_);
    const Names written = Written();
    for (const std::string& name : written) EXPECT_TRUE(Listed(name)) << name;
    everWritten.insert(written.begin(), written.end());
    DeleteComputationFiles(dir_);
    EXPECT_EQ(testing::NamesIn(dir_), std::vector<std::string>{"notes.txt"});
  }
  // Only the names kept for clearing old folders are never written.
  Names listed(kComputationFileNames.begin(), kComputationFileNames.end());
  for (const char* clearedOnly : {"UmbraCrc.txt", "PenumCrc.txt", "MaxHoriN.TXT", "MaxHoriS.TXT"}) {
    listed.erase(clearedOnly);
  }
  EXPECT_EQ(everWritten, listed);
}

TEST_F(OutputFileNamesTest, TheExitFilesAreListedAndOutliveTheComputationsDeleter) {
  sheet_testing::EnsureGuiApplication();
  const EclipseResult result = Computed(16602);
  MapRenderer renderer;
  const ViewParameters view;
  renderer.DrawMap(result, view, EarthTexture{}, CoastlineLayer{});
  WriteExitFilesWithSheet(renderer, result, QStringLiteral("Total"),
                          ViewEditTexts::FromParameters(view), dir_,
                          SheetOptions{dir_ / "no-font" / "Ethnocentric.pfa"});
  EXPECT_EQ(Written(), (Names{std::string(kLegendBitmapFileName), std::string(kSheetFileName)}));
  DeleteComputationFiles(dir_);
  EXPECT_EQ(Written(), (Names{std::string(kLegendBitmapFileName), std::string(kSheetFileName)}));
}

TEST_F(OutputFileNamesTest, TheDeleterPassesOverMissingFilesAndLeavesOthers) {
  for (const auto name : kComputationFileNames) std::ofstream(dir_ / name) << "x";
  for (const auto name : {kLegendBitmapFileName, kSheetFileName}) std::ofstream(dir_ / name) << "x";
  fs::remove(dir_ / "Testfile.003");
  DeleteComputationFiles(dir_);
  EXPECT_EQ(Written(), (Names{std::string(kLegendBitmapFileName), std::string(kSheetFileName)}));
}

}  // namespace
}  // namespace darvelle
