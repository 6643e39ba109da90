#include "catalogue/selection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace darvelle {
namespace {

// A small catalogue: index i has the given year and Saros number.
Catalogue MakeCatalogue(const std::vector<std::pair<int, int>>& yearAndSaros) {
  std::vector<EclipseRecord> records;
  for (auto [year, saros] : yearAndSaros) {
    EclipseRecord r;
    std::memset(&r, 0, sizeof r);
    r.Year = year;
    r.Month = 1;
    r.Day = 1;
    r.SarosNumber = saros;
    records.push_back(r);
  }
  return Catalogue(std::move(records));
}

Catalogue Sequential(int count) {
  std::vector<std::pair<int, int>> rows;
  for (int i = 1; i <= count; ++i) rows.emplace_back(2000 + i, 100);
  return MakeCatalogue(rows);
}

TEST(FindFirstOfYear, ClampsAndFindsTheFirstRecordOfTheYear) {
  const Catalogue c = MakeCatalogue({{-4999, 1}, {2020, 1}, {2021, 1}, {2021, 2}, {7000, 3}});
  EXPECT_EQ(FindFirstOfYear(c, 2021), 3);
  EXPECT_EQ(FindFirstOfYear(c, 2020), 2);
  EXPECT_EQ(FindFirstOfYear(c, 2022), 5);   // no 2022: the first later one
  EXPECT_EQ(FindFirstOfYear(c, 9999), 5);   // clamped to 7000
  EXPECT_EQ(FindFirstOfYear(c, -9999), 1);  // clamped to -4999
  EXPECT_EQ(ClampYear(9999), 7000);
  EXPECT_EQ(ClampYear(-123456789012LL), -4999);
}

TEST(StepCatalogue, StopsAtBothEnds) {
  const Catalogue c = Sequential(40);  // N = 40
  struct Case {
    int from, step, to;
  };
  const Case cases[] = {
      {40, 1, 40}, {39, 1, 40}, {1, -1, 1},   {2, -1, 1},
      {29, 10, 39},  // N - 11 steps to N - 1
      {30, 10, 30},  // from N - 10 on, ">>" does nothing and never lands on N
      {11, -10, 1}, {10, -10, 10}, {5, 3, 5},
  };
  for (const auto& k : cases) EXPECT_EQ(StepCatalogue(c, k.from, k.step), k.to) << k.from << " " << k.step;
}

TEST(StepSaros, OneAndThreeMembers) {
  // Series 7 at indices 2, 4, 5, 7, 9, 10 (10 is the last record); others are 8.
  const Catalogue c = MakeCatalogue({{1, 8}, {2, 7}, {3, 8}, {4, 7}, {5, 7}, {6, 8}, {7, 7},
                                     {8, 8}, {9, 7}, {10, 7}});
  struct Case {
    int from, members, to;
  };
  const Case cases[] = {
      {2, 1, 4},   {4, -1, 2},  {2, -1, 2},  {10, 1, 10}, {9, 1, 10},
      {5, 3, 10},  // fourth-last member reaches the last, which is the end record
      {7, 3, 7},   // third-last member: nothing happens
      {7, -3, 2},  // fourth member back to the first
      {5, -3, 5},  // third member: nothing happens
      {1, 1, 3},   // series 8 from index 1
  };
  for (const auto& k : cases) {
    EXPECT_EQ(StepSaros(c, k.from, k.members), k.to) << k.from << " " << k.members;
  }
}

TEST(StepSaros, ThreeStepsNeedTheEndNotReachedEarly) {
  // Series 5 members at 3 and 6; index 6 is the end. From 3, +3S reaches the
  // end on its first search and must leave the selection as it was.
  const Catalogue c = MakeCatalogue({{1, 1}, {2, 1}, {3, 5}, {4, 1}, {5, 1}, {6, 5}});
  EXPECT_EQ(StepSaros(c, 3, 3), 3);
  EXPECT_EQ(StepSaros(c, 6, -3), 6);
}

TEST(FindFirstOfSaros, ClampsAndReportsAbsence) {
  const Catalogue c = MakeCatalogue({{1, 139}, {2, 282}, {3, -61}, {4, 139}});
  EXPECT_EQ(FindFirstOfSaros(c, 139), 1);
  EXPECT_EQ(FindFirstOfSaros(c, 500), 2);   // clamped to 282
  EXPECT_EQ(FindFirstOfSaros(c, -100), 3);  // clamped to -61
  EXPECT_FALSE(FindFirstOfSaros(c, 140).has_value());
}

}  // namespace
}  // namespace darvelle
