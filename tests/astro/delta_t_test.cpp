#include "astro/delta_t.h"

#include <gtest/gtest.h>

#include <cmath>

namespace darvelle {
namespace {

TEST(ComputeDeltaT, PublishedValuesAndTableQuirks) {
  struct Case {
    int year, month;
    double deltaT;
  };
  const Case cases[] = {
      {1962, 1, 34.0},  {1962, 12, 34.0}, {2000, 6, 64.0},  {2019, 3, 69.3},
      {2021, 12, 69.3},  // 69.35 is stored just below 69.35: rounds down
      {2020, 6, 69.4},  {2023, 4, 69.2},  {2029, 12, 69.2}, {1977, 1, 47.0},
      {1900, 1, -2.8},  {2030, 1, 70.2},  {1961, 1, 33.6},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(ComputeDeltaT(c.year, c.month), c.deltaT) << c.year << "/" << c.month;
  }
}

TEST(ComputeDeltaT, SegmentChosenOnTheIntegerYear) {
  // December 1599 still uses the 500..1600 polynomial (y = 1599.958),
  // January 1600 the 1600..1700 cubic; the two differ by a few seconds.
  const double y1599 = 1599 + 11.5 / 12.0;
  const double u = (y1599 - 1000.0) / 100.0;
  const double c1599 = -0.000012932 * (y1599 - 1955.0) * (y1599 - 1955.0);
  const double poly =
      1574.2 + u * (-556.01 + u * (71.23472 + u * (0.319781 + u * (-0.8503463 +
                                   u * (-0.005050998 + u * 0.0083572073)))));
  EXPECT_NEAR(ComputeDeltaT(1599, 12), std::round(10.0 * (poly + c1599)) / 10.0, 1e-9);
  const double t = 0.5 / 12.0;
  const double c1600 = -0.000012932 * (1600 + t - 1955.0) * (1600 + t - 1955.0);
  EXPECT_NEAR(ComputeDeltaT(1600, 1), std::round(10.0 * (120 - 0.9808 * t + c1600)) / 10.0, 1e-9);
}

TEST(ComputeDeltaT, FarPastAndFuture) {
  // Parabola with the lunar correction before -500, without it from 2030 on.
  for (int year : {-4999, -2000, -501}) {
    const double y = year + 5.5 / 12.0;
    const double u = (y - 1820.0) / 100.0;
    const double expected = -20.0 + 32.0 * u * u - 0.000012932 * (y - 1955.0) * (y - 1955.0);
    EXPECT_NEAR(ComputeDeltaT(year, 6), expected, 0.051) << year;
  }
  for (int year : {2030, 3000, 7000}) {
    const double u = (year + 5.5 / 12.0 - 1820.0) / 100.0;
    EXPECT_NEAR(ComputeDeltaT(year, 6), -71.0 + 32.0 * u * u, 0.051) << year;
  }
}

TEST(ComputeDeltaT, ResultIsAWholeNumberOfTenths) {
  for (int year = -4999; year <= 7000; year += 7) {
    for (int month : {1, 7, 12}) {
      const double v = ComputeDeltaT(year, month);
      ASSERT_TRUE(std::isfinite(v)) << year;
      EXPECT_NEAR(v * 10.0, std::round(v * 10.0), 1e-6) << year << "/" << month;
    }
  }
}

TEST(ComputeDeltaT, ContinuousAcrossSegmentBoundaries) {
  // The model's pieces join within a few seconds: a typo in a coefficient shows as a jump.
  for (int boundary : {-500, 500, 1600, 1700, 1800, 1860, 1900, 1920, 1941}) {
    const double before = ComputeDeltaT(boundary - 1, 12);
    const double after = ComputeDeltaT(boundary, 1);
    EXPECT_NEAR(before, after, 5.0) << boundary;
  }
}

}  // namespace
}  // namespace darvelle
