#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "catalogue/selection.h"

namespace darvelle {
namespace {

Catalogue MakeCatalogue(const std::vector<int>& years) {
  std::vector<EclipseRecord> records;
  for (int year : years) {
    EclipseRecord r;
    std::memset(&r, 0, sizeof r);
    r.Year = year;
    records.push_back(r);
  }
  return Catalogue(std::move(records));
}

TEST(EclipsesOfYear, EveryRecordOfTheYearInOrder) {
  const Catalogue c = MakeCatalogue({-4999, -4999, 2023, 2024, 2024, 2024, 2026, 7000});
  struct Case {
    long long year;
    std::vector<int> indices;
  };
  const Case cases[] = {
      {2024, {4, 5, 6}},   {2023, {3}},         {-4999, {1, 2}}, {7000, {8}},
      {2025, {}},          // a year without an eclipse
      {9999, {}},          // beyond the catalogue: not clamped to its last year
      {-123456789, {}},
  };
  for (const Case& k : cases) EXPECT_EQ(EclipsesOfYear(c, k.year), k.indices) << k.year;
  EXPECT_TRUE(EclipsesOfYear(Catalogue{}, 2024).empty());
}

}  // namespace
}  // namespace darvelle
