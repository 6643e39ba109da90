// The user's place in front of the town names, its own town left out below
// it: which towns stay is decided by hand for each row.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "ui/path_town_labels.h"

namespace darvelle::ui {
namespace {

constexpr double kLon = -104.0213, kLat = 30.3097;

// Marfa, another Marfa far away, a town whose name merely begins like it at
// the same point, and a neighbour.
const PathTownLabels::Labels kTowns = {
    {QStringLiteral("Marfa"), kLon, kLat},
    {QStringLiteral("Marfa"), 10.5, 45.2},
    {QStringLiteral("Marfan"), kLon, kLat},
    {QStringLiteral("Alpine"), -103.661, 30.3585},
};

struct Row {
  const char* what;
  TownLabelCandidate chosen;
  std::vector<int> kept;  // indices into kTowns, in order
};

TEST(ChosenFirst, ThePlaceLeadsAndItsOwnTownIsLeftOut) {
  const auto towns = std::make_shared<const PathTownLabels::Labels>(kTowns);
  const Row rows[] = {
      {"found by the search", {QStringLiteral("Marfa, Texas, United States of America"), kLon, kLat}, {1, 2, 3}},
      {"its bare name", {QStringLiteral("Marfa"), kLon, kLat}, {1, 2, 3}},
      {"restored with fewer digits", {QStringLiteral("Marfa, Texas"), -104.021301, 30.309699}, {1, 2, 3}},
      {"a kilometre away", {QStringLiteral("Marfa, Texas"), kLon + 0.01, kLat}, {0, 1, 2, 3}},
      {"another name at the point", {QStringLiteral("Presidio County"), kLon, kLat}, {0, 1, 2, 3}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const auto labels = WithChosenFirst(towns, row.chosen);
    ASSERT_EQ(labels->size(), row.kept.size() + 1);
    EXPECT_EQ(labels->front(), row.chosen);
    for (std::size_t i = 0; i < row.kept.size(); ++i) {
      EXPECT_EQ((*labels)[i + 1], kTowns[static_cast<std::size_t>(row.kept[i])]);
    }
  }
  // Nothing to name: the cached list itself, not a copy.
  EXPECT_EQ(WithChosenFirst(towns, std::nullopt), towns);
  EXPECT_EQ(WithChosenFirst(towns, TownLabelCandidate{QString(), kLon, kLat}), towns);
}

}  // namespace
}  // namespace darvelle::ui
