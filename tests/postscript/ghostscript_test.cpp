// The sheet through a real PostScript interpreter: Ghostscript renders every
// page without an error, and the document has the pages it announces.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "geometry/eclipse_computation.h"
#include "postscript/exit_files.h"
#include "postscript/map_sheet.h"
#include "render/map.h"
#include "sheet_test_support.h"
#include "type1_test_font.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;

std::optional<fs::path> FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return std::nullopt;
  std::stringstream folders(path);
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    if (folder.empty()) continue;
    const fs::path candidate = fs::path(folder) / program;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return std::nullopt;
}

std::string ReadAll(const fs::path& file) {
  std::stringstream text;
  text << std::ifstream(file, std::ios::binary).rdbuf();
  return text.str();
}

struct Rendering {
  int status = -1;
  std::string output;
  std::string errors;
  int pages = 0;
};

// Renders every page of `sheet` at 30 dpi into dir/page<N>.png.
Rendering RenderWithGhostscript(const fs::path& gs, const fs::path& sheet, const fs::path& dir) {
  const std::string command = "'" + gs.string() +
                              "' -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r30 '-sOutputFile=" +
                              (dir / "page%d.png").string() + "' '" + sheet.string() + "' >'" +
                              (dir / "gs.out").string() + "' 2>'" + (dir / "gs.err").string() +
                              "'";
  Rendering r;
  const int raw = std::system(command.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.output = ReadAll(dir / "gs.out");
  r.errors = ReadAll(dir / "gs.err");
  while (fs::exists(dir / ("page" + std::to_string(r.pages + 1) + ".png"))) ++r.pages;
  return r;
}

void ExpectCleanRendering(const Rendering& r, int pages, const std::string& what) {
  EXPECT_EQ(r.status, 0) << what << "\n" << r.output << r.errors;
  EXPECT_EQ(r.errors, "") << what;
  EXPECT_EQ(r.output.find("Error"), std::string::npos) << what << "\n" << r.output;
  EXPECT_EQ(r.output.find("error"), std::string::npos) << what << "\n" << r.output;
  EXPECT_EQ(r.pages, pages) << what;
}

class GhostscriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gs_ = FindOnPath("gs");
    if (!gs_) GTEST_SKIP() << "Ghostscript (gs) is not on PATH";
    dir_ = sheet_testing::FreshTempDir(
        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    font_ = dir_ / "Ethnocentric.pfa";
    std::ofstream(font_, std::ios::binary) << sheet_testing::MakeType1TestFont();
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  Rendering Render(const fs::path& sheet, const std::string& name) {
    const fs::path out = dir_ / name;
    fs::create_directories(out);
    return RenderWithGhostscript(*gs_, sheet, out);
  }

  std::optional<fs::path> gs_;
  fs::path dir_;
  fs::path font_;
};

TEST_F(GhostscriptTest, HandMadeSheetsWithAndWithoutTheFont) {
  const sheet_testing::TestPicture picture;
  SheetView view;
  view.picture = picture.view;
  const struct {
    bool ut;
    bool font;
    int pages;
  } cases[] = {{true, true, 4}, {false, true, 3}, {true, false, 4}};
  for (const auto& c : cases) {
    const std::string name = std::string(c.ut ? "ut" : "tt") + (c.font ? "_font" : "_nofont");
    const fs::path sheet = dir_ / (name + ".ps");
    SheetOptions options;
    options.fontFile = c.font ? font_ : dir_ / "missing" / "Ethnocentric.pfa";
    WritePostScriptSheet(sheet_testing::HandMadeTotal(c.ut ? TimeScale::kUniversal : TimeScale::kTerrestrial), view, sheet, options);
    ExpectCleanRendering(Render(sheet, name), c.pages, name);
  }
}

TEST_F(GhostscriptTest, PictureLandsUnderTheDateLine) {
  // One colour all over, so the rendered page shows where the picture lies.
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(1600) * 1066 * 3);
  for (std::size_t i = 0; i < rgb.size(); i += 3) {
    rgb[i] = 200;
    rgb[i + 1] = 30;
    rgb[i + 2] = 60;
  }
  SheetView view;
  view.picture.pixels = rgb.data();
  const fs::path sheet = dir_ / "solid.ps";
  WritePostScriptSheet(sheet_testing::HandMadeTotal(TimeScale::kTerrestrial), view, sheet, {font_});
  const Rendering r = Render(sheet, "solid");
  ExpectCleanRendering(r, 3, "solid");
  QImage page;
  ASSERT_TRUE(page.load(QString::fromStdString((dir_ / "solid" / "page1.png").string())));
  ASSERT_EQ(page.size(), QSize(248, 351));  // A4 at 30 dpi
  // Page points (x from the left, y from the bottom) to pixels of the 30 dpi page.
  auto at = [&page](double x, double y) {
    return page.pixelColor(static_cast<int>(x * 30.0 / 72.0),
                           static_cast<int>((842.0 - y) * 30.0 / 72.0));
  };
  // The picture spans x 37 .. 557 and y 401.15 .. 747.6.
  for (const auto& [x, y] : {std::pair{45.0, 410.0}, {297.0, 574.0}, {550.0, 740.0}}) {
    const QColor c = at(x, y);
    EXPECT_NEAR(c.red(), 200, 2) << x << " " << y;
    EXPECT_NEAR(c.green(), 30, 2) << x << " " << y;
    EXPECT_NEAR(c.blue(), 60, 2) << x << " " << y;
  }
  for (const auto& [x, y] : {std::pair{20.0, 574.0}, {575.0, 574.0}, {297.0, 396.0}}) {
    EXPECT_EQ(at(x, y), QColor(Qt::white)) << x << " " << y;
  }
}

// The real catalogue: a total, a partial and a TT-only run, computed and drawn
// as the program does, then written through the exit path.
class CatalogueSheetTest : public GhostscriptTest {
 protected:
  void SetUp() override {
    GhostscriptTest::SetUp();
    if (IsSkipped()) return;
    const fs::path file = fs::path(DARVELLE_TEST_DATA_DIR) / kCatalogueFileName;
    if (!fs::exists(file)) GTEST_SKIP() << "catalogue not yet in data/: " << file;
    catalogue_ = LoadCatalogue(file);
    sheet_testing::EnsureGuiApplication();
  }

  int FindEclipse(int year, int month, int type) const {
    for (int i = 1; i <= catalogue_.Count(); ++i) {
      const EclipseRecord& r = catalogue_.Record(i);
      if (r.Year == year && r.Month == month && (type == 0 || r.EclipseType == type)) return i;
    }
    return 0;
  }

  Catalogue catalogue_;
};

TEST_F(CatalogueSheetTest, TotalPartialAndTtOnlySheetsRender) {
  const struct {
    const char* name;
    int year, month, type;
    bool ut;
    int pages;
  } runs[] = {{"total_2024_04", 2024, 4, kTotal, true, 4},
              {"partial_2025_03", 2025, 3, kPartial, true, 4},
              {"tt_total_2024_04", 2024, 4, kTotal, false, 3}};
  for (const auto& run : runs) {
    const int index = FindEclipse(run.year, run.month, run.type);
    ASSERT_GT(index, 0) << run.name;
    EclipseResult c;
    c = ComputeEclipse(PrepareEclipse(catalogue_, index, run.ut ? TimeScale::kUniversal : TimeScale::kTerrestrial, 1));
    MapRenderer renderer;
    const ViewParameters view;
    renderer.DrawMap(c, view, EarthTexture{}, CoastlineLayer{});
    const fs::path folder = dir_ / run.name;
    fs::create_directories(folder);
    SheetOptions options;
    options.fontFile = font_;
    const ExitFiles files = WriteExitFilesWithSheet(renderer, c, QStringLiteral("Eclipse"),
                                                    ViewEditTexts::FromParameters(view), folder,
                                                    options);
    ASSERT_TRUE(fs::exists(files.sheet)) << run.name;
    const std::string text = ReadAll(files.sheet);
    EXPECT_NE(text.find(run.ut ? "%%Pages:4\r\n" : "%%Pages:3\r\n"), std::string::npos);
    if (run.type == kPartial) {
      EXPECT_EQ(text.find("(TU1) dup"), std::string::npos);
      EXPECT_EQ(text.find("(TC1) dup"), std::string::npos);
    } else {
      EXPECT_NE(text.find("(TC1) dup"), std::string::npos);
    }
    ExpectCleanRendering(Render(files.sheet, std::string(run.name) + "_png"), run.pages, run.name);
  }
}

}  // namespace
}  // namespace darvelle
