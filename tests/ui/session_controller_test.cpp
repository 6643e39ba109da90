// What each control asks of the session, on the shipped catalogue, without
// a window: the catalogue's own dates and Saros numbers are the oracle.

#include "ui/session_controller.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <vector>

#include "catalogue/data_files.h"
#include "catalogue/selection.h"
#include "catalogue/besselian_elements.h"
#include "catalogue/catalogue.h"

namespace darvelle::ui {
namespace {

class SessionControllerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    catalogue_ = new Catalogue(
        LoadCatalogue(std::filesystem::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName)));
  }
  static void TearDownTestSuite() { delete catalogue_; }

  SessionController Controller() {
    return SessionController(
        *catalogue_, [this]() -> const SessionState& { return state_; },
        [this](const SessionState& next) { sent_.push_back(next); });
  }
  int YearOf(int index) const { return DescriptionOf(*catalogue_, index).year; }
  int SarosOf(int index) const { return CurrentElements(*catalogue_, index).saros; }

  static Catalogue* catalogue_;
  SessionState state_;
  std::vector<SessionState> sent_;
};

Catalogue* SessionControllerTest::catalogue_ = nullptr;

TEST_F(SessionControllerTest, StepsMoveThroughTheCatalogueAndTheSeriesAndStopAtTheirEnds) {
  SessionController controller = Controller();
  state_.index = 16686;
  state_.view.Resolution = 8;
  controller.StepCatalogue(1);
  ASSERT_EQ(sent_.size(), 1u);
  EXPECT_EQ(sent_.back().index, 16687);
  EXPECT_EQ(sent_.back().view.Resolution, 1);  // a step starts afresh
  controller.StepSaros(1);
  ASSERT_EQ(sent_.size(), 2u);
  EXPECT_EQ(SarosOf(sent_.back().index), SarosOf(16686));
  EXPECT_NEAR(YearOf(sent_.back().index) - YearOf(16686), 18, 1);
  state_.index = catalogue_->Count();
  controller.StepCatalogue(1);
  state_.index = 1;
  controller.StepCatalogue(-1);
  EXPECT_EQ(sent_.size(), 2u);  // nothing beyond the ends
}

TEST_F(SessionControllerTest, TheUsersDeltaTStaysWithItsEclipseOnly) {
  SessionController controller = Controller();
  state_.index = 16686;
  controller.ChooseDeltaT(-1234.5);
  ASSERT_EQ(sent_.back().userDeltaT, -1234.5);
  state_ = sent_.back();
  // Whatever else changes for the same eclipse keeps it.
  controller.ChooseEclipse(16686);
  controller.ChooseProjection(true);
  controller.ShowDeltaTBand(true);
  for (std::size_t i = 1; i < sent_.size(); ++i) EXPECT_EQ(sent_[i].userDeltaT, -1234.5) << i;
  EXPECT_TRUE(sent_.back().deltaTBand);
  // Another eclipse, however chosen, starts from the model's estimate.
  controller.ChooseEclipse(16690);
  EXPECT_FALSE(sent_.back().userDeltaT);
  controller.StepCatalogue(1);
  EXPECT_FALSE(sent_.back().userDeltaT);
  controller.ChooseYear(-584);
  EXPECT_FALSE(sent_.back().userDeltaT);
  controller.ChooseDeltaT(std::nullopt);
  EXPECT_FALSE(sent_.back().userDeltaT);
}

TEST_F(SessionControllerTest, AYearOrASeriesChoosesItsFirstEclipse) {
  SessionController controller = Controller();
  EXPECT_EQ(controller.ChooseYear(2024), 2024);
  const int first2024 = sent_.back().index;
  EXPECT_EQ(YearOf(first2024), 2024);
  EXPECT_LT(YearOf(first2024 - 1), 2024);
  EXPECT_EQ(controller.ChooseYear(99999), YearOf(catalogue_->Count()));
  EXPECT_TRUE(controller.ChooseSaros(139));
  EXPECT_EQ(SarosOf(sent_.back().index), 139);
  // A series number the box accepts but no record carries asks for nothing.
  std::set<int> series;
  for (int index = 1; index <= catalogue_->Count(); ++index) series.insert(SarosOf(index));
  for (int saros = kFirstSelectableSaros; saros <= kLastSelectableSaros; ++saros) {
    if (series.contains(saros)) continue;
    const std::size_t asked = sent_.size();
    EXPECT_FALSE(controller.ChooseSaros(saros)) << saros;
    EXPECT_EQ(sent_.size(), asked);
  }
}

TEST_F(SessionControllerTest, SizesAndAnglesAreHeldAsTheEditsShowThem) {
  SessionController controller = Controller();
  const struct {
    int from, step, expected;
  } steps[] = {{9990, 100, 9999}, {150, -100, 100}, {50, 10, 60}, {500, -10, 490}};
  for (const auto& s : steps) {
    controller.StepGlobeSize(s.from, s.step);
    EXPECT_EQ(sent_.back().view.RK, s.expected) << s.from << " + " << s.step;
  }
  controller.SetGlobeSize(5);
  EXPECT_EQ(sent_.back().view.RK, 100);
  controller.SetAngle(&ViewParameters::Phi, 12.345);
  EXPECT_EQ(sent_.back().view.Phi, 12.3);
  controller.ChoosePenWidth(7);
  EXPECT_EQ(sent_.back().view.PenWidth, 3);
  // A turn of the mouse that the edits cannot show asks for nothing.
  const std::size_t asked = sent_.size();
  ViewParameters turned = state_.view;
  turned.Psi += 0.01;
  EXPECT_FALSE(controller.TurnTo(turned));
  turned.Psi += 1.0;
  EXPECT_TRUE(controller.TurnTo(turned));
  EXPECT_EQ(sent_.size(), asked + 1);
}

}  // namespace
}  // namespace darvelle::ui
