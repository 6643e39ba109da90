// The settings file as the window reads and writes it, without a window: the
// file's bytes, read back by the catalogue's own reader, are the oracle.

#include "ui/session_settings.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <iterator>
#include <string>

#include "catalogue/settings.h"

namespace darvelle::ui {
namespace {

constexpr int kCatalogueCount = 16700;

class SessionSettingsTest : public ::testing::Test {
 protected:
  std::filesystem::path Folder() const { return folder_.path().toStdString(); }
  std::filesystem::path File() const { return Folder() / kSettingsFileName; }
  void Store(int index, int penWidth) {
    Settings s = NewSettings("1.0");
    s.EclipseIndex = index;
    s.PenWidth = penWidth;
    WriteSettingsFile(File(), s);
  }

  QTemporaryDir folder_;
};

TEST_F(SessionSettingsTest, AFirstStartWritesTheNewFileAndTheCloseFillsIt) {
  SessionSettings settings(Folder(), "1.0");
  const SessionSettings::Restored first = settings.Restore(kCatalogueCount);
  EXPECT_TRUE(first.warnings.isEmpty());
  EXPECT_EQ(first.state.language, kGerman);
  EXPECT_EQ(first.state.index, kStartEclipseIndex);
  ASSERT_EQ(ReadSettingsFile(File()), NewSettings("1.0"));  // the defaults until the close

  SessionState state = first.state;
  state.language = kFrench;
  state.timeScale = TimeScale::kTerrestrial;
  state.view.Stereographic = true;
  ViewParameters typed = state.view;
  typed.Psi = 12.5;
  const auto bytes = [this] {
    std::ifstream in(File(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  state.chosenPlace = TownLabelCandidate{QStringLiteral("Marfa, Texas"), -104.02, 30.31};
  ASSERT_TRUE(settings.Save(state, typed, 640).isEmpty());
  const std::string withPlace = bytes();
  state.chosenPlace.reset();
  ASSERT_TRUE(settings.Save(state, typed, 640).isEmpty());
  // The place is remembered by the window's own file, never by this one.
  EXPECT_EQ(bytes(), withPlace);
  const Settings saved = ReadSettingsFile(File());
  EXPECT_EQ(saved.Language, 2);
  EXPECT_EQ(saved.UseUT, 0);
  EXPECT_EQ(saved.Psi, 12.5);
  EXPECT_EQ(saved.GlobeSize, 640);
  EXPECT_EQ(saved.Orthographic, 0);
  EXPECT_EQ(saved.VersionText, "1.0");

  const SessionState again = SessionSettings(Folder(), "2.0").Restore(kCatalogueCount).state;
  EXPECT_EQ(again.language, kFrench);
  EXPECT_EQ(again.timeScale, TimeScale::kTerrestrial);
  EXPECT_EQ(again.view.Psi, 12.5);
}

TEST_F(SessionSettingsTest, StoredValuesOutOfRangeAreBroughtIntoIt) {
  struct Case {
    int storedIndex, index, storedPen, pen;
  };
  for (const Case c : {Case{0, 1, 7, 3}, Case{99999, kCatalogueCount, 0, 1}, Case{12, 12, 2, 2}}) {
    Store(c.storedIndex, c.storedPen);
    const SessionState state = SessionSettings(Folder(), "1.0").Restore(kCatalogueCount).state;
    EXPECT_EQ(state.index, c.index) << c.storedIndex;
    EXPECT_EQ(state.view.PenWidth, c.pen) << c.storedPen;
  }
}

TEST_F(SessionSettingsTest, ADamagedFileIsToldAndTheDefaultsAreUsed) {
  std::ofstream(File(), std::ios::binary) << "not a settings block";
  SessionSettings settings(Folder(), "1.0");
  const SessionSettings::Restored restored = settings.Restore(kCatalogueCount);
  ASSERT_EQ(restored.warnings.size(), 1);
  EXPECT_TRUE(restored.warnings.front().contains(QStringLiteral("default settings")));
  EXPECT_EQ(restored.state.index, kStartEclipseIndex);
  // The close rewrites it whole, from this run's choices.
  ASSERT_TRUE(settings.Save(restored.state, restored.state.view, 500).isEmpty());
  EXPECT_EQ(std::filesystem::file_size(File()), kSettingsFileSize);
}

}  // namespace
}  // namespace darvelle::ui
