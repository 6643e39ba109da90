#include "postscript/exit_files.h"

#include <gtest/gtest.h>

#include <QImage>

#include <fstream>
#include <sstream>

#include "catalogue/data_files.h"
#include "sheet_test_support.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;

class ExitFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sheet_testing::EnsureGuiApplication();
    dir_ = sheet_testing::FreshTempDir(
        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    computation_ = sheet_testing::HandMadeTotal(TimeScale::kUniversal);
    renderer_.DrawMap(computation_, view_, EarthTexture{}, CoastlineLayer{});
  }
  void TearDown() override { fs::remove_all(dir_); }

  SheetOptions NoFont() const { return {dir_ / "no-font" / "Ethnocentric.pfa"}; }

  fs::path dir_;
  EclipseResult computation_;
  ViewParameters view_;
  MapRenderer renderer_;
};

TEST_F(ExitFilesTest, PlainExitSavesTheLegendAndRemovesAnOldSheet) {
  std::ofstream(dir_ / "Darvelle.ps") << "sheet of an earlier run";
  const ExitFiles files = WriteExitFiles(renderer_, computation_, QStringLiteral("Totale"),
                                         ViewEditTexts::FromParameters(view_), dir_);
  EXPECT_EQ(files.bitmap, dir_ / "Darvelle.bmp");
  EXPECT_FALSE(fs::exists(dir_ / "Darvelle.ps"));
  QImage saved;
  ASSERT_TRUE(saved.load(QString::fromStdString(files.bitmap.string()), "BMP"));
  EXPECT_EQ(saved.size(), QSize(1600, 1266));
  // The saved bitmap is the composed legend picture.
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB888),
            renderer_.DisplayImage().convertToFormat(QImage::Format_RGB888));

  // Again, with no old sheet: not an error; only the bitmap is left.
  WriteExitFiles(renderer_, computation_, QStringLiteral("Totale"),
                 ViewEditTexts::FromParameters(view_), dir_);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(ExitFilesTest, ExitWithSheetWritesTheSheetOfTheLastDrawing) {
  const ExitFiles files =
      WriteExitFilesWithSheet(renderer_, computation_, QStringLiteral("Total"),
                              ViewEditTexts::FromParameters(view_), dir_, NoFont());
  EXPECT_EQ(files.sheet, dir_ / "Darvelle.ps");
  ASSERT_TRUE(fs::exists(files.bitmap));
  std::stringstream text;
  text << std::ifstream(files.sheet, std::ios::binary).rdbuf();
  const auto lines = sheet_testing::SheetLines(text.str());
  // The picture is the drawing image (not the legend): its first pixel is
  // the white corner outside the orthographic globe; its centre row crosses
  // the globe's grey background.
  const auto data = std::find(lines.begin(), lines.end(),
                              "{currentfile imgdata readhexstring pop} false 3 colorimage");
  ASSERT_NE(data, lines.end());
  EXPECT_EQ(*(data + 1), std::string(96, 'F'));
  const QImage& drawing = renderer_.DrawingImage();
  const QRgb centre = drawing.pixel(800, 533);
  char expected[7];
  std::snprintf(expected, sizeof expected, "%02X%02X%02X", qRed(centre), qGreen(centre),
                qBlue(centre));
  // Pixel (800, 533) is the first pixel of line 533 * 100 + 50.
  EXPECT_EQ((data + 1 + 533 * 100 + 50)->substr(0, 6), expected);

  // The sheet's view lines come from the edits and the last drawing's angles.
  QImage pixels;
  const SheetView view = SheetViewOf(renderer_, ViewEditTexts::FromParameters(view_), pixels);
  EXPECT_EQ(view.psi, renderer_.LastView()->TotalPsi());
  EXPECT_EQ(view.phi, renderer_.LastView()->TotalPhi());
  EXPECT_TRUE(view.orthographic);
  EXPECT_EQ(view.editGlobeSize, "500");
  EXPECT_EQ(view.picture.width, 1600);
  EXPECT_EQ(view.picture.height, 1066);
}

TEST_F(ExitFilesTest, AFolderThatCannotBeWrittenIsReportedWithTheFileName) {
  const fs::path missing = dir_ / "gone";
  try {
    WriteExitFilesWithSheet(renderer_, computation_, QStringLiteral("Total"),
                            ViewEditTexts::FromParameters(view_), missing, NoFont());
    FAIL() << "wrote into a missing folder";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("gone/Darvelle.bmp"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(fs::exists(missing));
}

}  // namespace
}  // namespace darvelle
