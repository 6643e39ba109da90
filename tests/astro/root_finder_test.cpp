#include "astro/root_finder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace darvelle {
namespace {

RootSearchLimits Limits(int maxSteps, bool illinois) {
  RootSearchLimits limits;
  limits.valueTolerance = 1e-9;
  limits.maxSteps = maxSteps;
  limits.illinois = illinois;
  return limits;
}

// exp(10 t) - 1 is strongly convex: plain regula falsi keeps the right end
// for ever and creeps in from the left, which is how a grazing shadow axis
// once lost its contacts; the Illinois rule must not creep.
TEST(FindRoot, IllinoisRuleConvergesWherePlainRegulaFalsiHitsItsCap) {
  auto convex = [](double t) { return std::exp(10.0 * t) - 1.0; };
  EXPECT_FALSE(FindRoot(convex, -1.0, 1.0, Limits(60, false)).has_value());
  const auto root = FindRoot(convex, -1.0, 1.0, Limits(60, true));
  ASSERT_TRUE(root.has_value());
  EXPECT_NEAR(*root, 0.0, 1e-10);
}

TEST(FindRoot, CapCountsEveryEvaluationBeyondTheEnds) {
  int evaluations = 0;
  auto slow = [&](double t) {
    ++evaluations;
    return std::exp(10.0 * t) - 1.0;
  };
  const RootSearch search = SearchRoot(slow, -1.0, 1.0, Limits(7, false));
  EXPECT_FALSE(search.converged);
  EXPECT_TRUE(search.signChange);
  EXPECT_EQ(evaluations, 2 + 7);
  // The last estimate is still inside the bracket, for a caller that wants it.
  EXPECT_GT(search.last, -1.0);
  EXPECT_LT(search.last, 0.0);
}

TEST(FindRoot, NoSignChangeOrFlatOrNonFiniteGivesNoRoot) {
  // Two roots inside, none at the ends: the bracket does not say where.
  EXPECT_FALSE(FindRoot([](double t) { return t * t - 0.25; }, -1.0, 1.0, Limits(100, true)));
  // A constant has f(a) == f(b): the secant is undefined and must not loop.
  int evaluations = 0;
  auto flat = [&](double) {
    ++evaluations;
    return 3.0;
  };
  EXPECT_FALSE(FindRoot(flat, 0.0, 5.0, Limits(100, true)));
  EXPECT_EQ(evaluations, 2);
  // A value that is not finite ends the search.
  auto pole = [](double t) {
    return t > 0.2 && t < 0.8 ? std::numeric_limits<double>::quiet_NaN() : t - 0.5;
  };
  EXPECT_FALSE(FindRoot(pole, 0.0, 1.0, Limits(100, true)));
}

TEST(FindRoot, RootAtAnEndIsTakenAsItIs) {
  int evaluations = 0;
  auto line = [&](double t) {
    ++evaluations;
    return t - 1.0;
  };
  EXPECT_EQ(FindRoot(line, 1.0, 3.0, Limits(100, true)), 1.0);
  EXPECT_EQ(FindRoot(line, -2.0, 1.0, Limits(100, true)), 1.0);
  EXPECT_EQ(evaluations, 4);
}

TEST(FindRoot, SpanToleranceStopsABracketThatIsAlreadyNarrow) {
  RootSearchLimits limits = Limits(40, true);
  limits.valueTolerance = 0.0;  // only the span can end this search
  limits.spanTolerance = 1e-6;
  const auto root = FindRoot([](double t) { return std::sin(t); }, 3.0, 3.2, limits);
  ASSERT_TRUE(root.has_value());
  EXPECT_NEAR(*root, std::numbers::pi, 1e-6);
  // Narrower than the tolerance from the start: its midpoint, nothing evaluated inside.
  const auto narrow = FindRoot([](double t) { return t; }, -2e-7, 4e-7, limits);
  ASSERT_TRUE(narrow.has_value());
  EXPECT_DOUBLE_EQ(*narrow, 1e-7);
}

// A secant without a sign change may leave the span; the caller judges the
// point, so the search reports it rather than clamping it.
TEST(FindRoot, SecantStepsWithoutBracketMayLeaveTheSpan) {
  const RootSearch search =
      SearchRoot([](double t) { return t - 10.0; }, 0.0, 1.0, Limits(100, false));
  EXPECT_FALSE(search.signChange);
  EXPECT_TRUE(search.converged);
  EXPECT_NEAR(search.last, 10.0, 1e-9);
}

}  // namespace
}  // namespace darvelle
