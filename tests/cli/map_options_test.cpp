// darvelle-cli compute --map / --legend with the view options, run as the
// user runs them, on the program's own catalogue and data files.

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "../support/run_process.h"
#include "compute_fixture.h"
#include "catalogue/data_files.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;
using darvelle::testing::RunProcess;

class CliMap : public testing::CliComputeTest {
 protected:
  static QImage Load(const fs::path& file) { return QImage(QString::fromStdString(file.string())); }
};

int GreyAt(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) ? qRed(p) : -1;
}

TEST_F(CliMap, MapAndLegendPicturesInBothFormats) {
  const fs::path map = dir_ / "map.png";
  const fs::path legend = dir_ / "legend.BMP";
  const auto result = RunProcess(
      Cli("--map " + map.string() + " --legend " + legend.string() + " --size 300"));
  ASSERT_EQ(result.exitStatus, 0) << result.err;
  const QImage m = Load(map);
  const QImage l = Load(legend);
  ASSERT_EQ(m.size(), QSize(1600, 1066));
  ASSERT_EQ(l.size(), QSize(1600, 1266));
  // A 24-bit bitmap: the bit count of the BMP header, bytes 28 and 29.
  const std::string bmp = darvelle::testing::ReadWholeFile(legend);
  ASSERT_GT(bmp.size(), 30u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(static_cast<unsigned char>(bmp[28]) | (static_cast<unsigned char>(bmp[29]) << 8), 24);
  // A plain orthographic globe of radius 300: white outside, outline at 301.
  EXPECT_EQ(GreyAt(m, 5, 5), 255);
  EXPECT_EQ(GreyAt(m, 800 + 305, 533), 255);
  int outline = -1;
  for (int x = 800 + 299; x <= 800 + 303; ++x) {
    if (GreyAt(m, x, 533) == 168) outline = x;
  }
  EXPECT_GE(outline, 800 + 300);
  // The greatest-eclipse marker at the centre; the legend holds the same map.
  EXPECT_EQ(GreyAt(m, 800, 533), 0);
  EXPECT_EQ(l.pixel(800, 533 + 130), m.pixel(800, 533));
  // Nothing but the two pictures (and the compute folder) is left beside them.
  for (const auto& entry : fs::directory_iterator(dir_)) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "map.png" || name == "legend.BMP" || name == "out") << name;
  }
}

TEST_F(CliMap, StereographicColouredView) {
  const fs::path plain = dir_ / "plain.png";
  const fs::path colored = dir_ / "colored.png";
  ASSERT_EQ(RunProcess(Cli("--stereographic --pen-width 3 --psi 10 --chi -20 --map " +
                           plain.string()))
                .exitStatus,
            0);
  ASSERT_EQ(RunProcess(Cli("--stereographic --colored --map " + colored.string())).exitStatus,
            0);
  const QImage p = Load(plain);
  const QImage c = Load(colored);
  EXPECT_EQ(GreyAt(p, 0, 0), 216);
  EXPECT_EQ(GreyAt(p, 1599, 1065), 216);
  // The texture covers the whole image: no light-grey background left.
  EXPECT_NE(GreyAt(c, 0, 0), 216);
  EXPECT_NE(GreyAt(c, 1599, 1065), 216);
  EXPECT_NE(GreyAt(c, 100, 900), 255);
}

TEST_F(CliMap, BordersNamesAndBandOnlyWhenAskedFor) {
  const struct {
    const char* flags;
    bool borders, band, names;
  } cases[] = {
      {"", false, false, false},
      {"--borders", true, false, false},
      {"--band", false, true, false},
      {"--labels", false, false, true},
      {"--town-durations", false, false, true},
      {"--borders --labels --band", true, true, true},
  };
  const fs::path plainFile = dir_ / "plain.png";
  ASSERT_EQ(RunProcess(Cli("--size 1500 --map " + plainFile.string())).exitStatus, 0);
  const QImage plain = Load(plainFile);
  for (const auto& c : cases) {
    const fs::path file = dir_ / "layers.png";
    const auto result =
        RunProcess(Cli(std::string("--size 1500 ") + c.flags + " --map " + file.string()));
    ASSERT_EQ(result.exitStatus, 0) << c.flags << result.err;
    const QImage m = Load(file);
    int magenta = 0, reddened = 0, dark = 0;
    for (int y = 0; y < m.height(); ++y) {
      for (int x = 0; x < m.width(); ++x) {
        const QRgb was = plain.pixel(x, y), now = m.pixel(x, y);
        if (now == was) continue;
        if (qRed(now) > 150 && qGreen(now) < 60 && qBlue(now) > 150) ++magenta;
        // The total path's tint over the plain globe's grey.
        if (qGray(was) == 216 && qRed(now) > qGreen(now) + 30) ++reddened;
        if (qGray(was) == 216 && qGray(now) < 60) ++dark;  // letters and dots
      }
    }
    EXPECT_EQ(magenta > 200, c.borders) << c.flags << ": " << magenta;
    EXPECT_EQ(reddened > 5000, c.band) << c.flags << ": " << reddened;
    EXPECT_EQ(dark > 500, c.names) << c.flags << ": " << dark;
  }
}

// The band of the central line for DeltaT +- 2 sigma: lavender over the plain
// globe where DeltaT is uncertain, nothing at all where it is known.
TEST_F(CliMap, DeltaTBandOnlyWhereDeltaTIsUncertain) {
  const struct {
    const char* date;
    bool band;
  } cases[] = {{"-584-05-28", true}, {"2024-04-08", false}};
  for (const auto& c : cases) {
    const std::string select = std::string(DARVELLE_CLI_PATH) + " compute --date " + c.date +
                               " --data " + data_.string() + " --out " + (dir_ / "out").string();
    const fs::path plainFile = dir_ / "plain.png", bandFile = dir_ / "band.png";
    ASSERT_EQ(RunProcess(select + " --map " + plainFile.string()).exitStatus, 0);
    const auto result = RunProcess(select + " --delta-t-band --map " + bandFile.string());
    ASSERT_EQ(result.exitStatus, 0) << c.date << result.err;
    const QImage plain = Load(plainFile), banded = Load(bandFile);
    int changed = 0, tinted = 0;
    for (int y = 0; y < plain.height(); ++y) {
      for (int x = 0; x < plain.width(); ++x) {
        const QRgb was = plain.pixel(x, y), now = banded.pixel(x, y);
        if (now == was) continue;
        ++changed;
        if (qGray(was) == 216 && qBlue(now) > qGreen(now) + 20) ++tinted;
      }
    }
    EXPECT_EQ(changed > 0, c.band) << c.date;
    EXPECT_EQ(tinted > 2000, c.band) << c.date << ": " << tinted;
  }
}

TEST_F(CliMap, BadViewOptionsAreUsageErrorsBeforeAnyComputation) {
  const char* bad[] = {"--pen-width 4 --map a.png", "--map a.jpg", "--legend a",
                       "--psi abc --map a.png",     "--size 0 --map a.png", "--chi 1e400 --map a.png",
                       "--size 12x --map a.png",    "--psi ' 10' --map a.png",
                       "--size '+500 ' --map a.png", "--chi 0x1p3 --map a.png"};
  for (const char* args : bad) {
    const auto result = RunProcess(Cli(args));
    EXPECT_EQ(result.exitStatus, 2) << args;
    EXPECT_FALSE(result.err.empty()) << args;
    EXPECT_FALSE(fs::exists(dir_ / "out")) << args;  // nothing computed
  }
}

TEST_F(CliMap, WithoutAFolderOnlyTheAskedFilesAreWritten) {
  // As a script that wants the picture alone runs it: no report files, and
  // the same picture as with them. Neither a folder nor a file is no run.
  const std::string base = std::string(DARVELLE_CLI_PATH) + " compute --year 2024 --data " + data_.string();
  const fs::path alone = dir_ / "alone" / "map.png";
  fs::create_directories(alone.parent_path());
  const auto result = RunProcess(base + " --map " + alone.string());
  ASSERT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(std::distance(fs::directory_iterator(alone.parent_path()), fs::directory_iterator()), 1);
  ASSERT_EQ(RunProcess(Cli("--map " + (dir_ / "with.png").string())).exitStatus, 0);
  EXPECT_EQ(darvelle::testing::ReadWholeFile(alone), darvelle::testing::ReadWholeFile(dir_ / "with.png"));
  const auto nothing = RunProcess(base);
  EXPECT_EQ(nothing.exitStatus, 2);
  EXPECT_NE(nothing.err.find("--out"), std::string::npos) << nothing.err;
}

TEST_F(CliMap, UnwritablePictureFailsWithTheFileName) {
  const fs::path map = dir_ / "missing-folder" / "map.png";
  const auto result = RunProcess(Cli("--map " + map.string()));
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.err.find(map.string()), std::string::npos) << result.err;
}

}  // namespace
}  // namespace darvelle
