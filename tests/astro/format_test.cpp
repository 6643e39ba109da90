#include "astro/format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace darvelle {
namespace {

TEST(FormatSexagesimal, FixedLayout) {
  struct Case {
    double value;
    int p;
    const char* text;
  };
  const Case cases[] = {
      {5.0844, 0, "  05:05:04"},     {-5.0844, 0, " -05:05:04"},   {123.5, 0, " 123:30:00"},
      {-123.5, 0, "-123:30:00"},     {5.0844, 1, "  05:05:03.8"},  {23.999999, 0, "  24:00:00"},
      {0.0, 2, "  00:00:00.00"},     {0.0, 0, "  00:00:00"},       {1.0, 4, "  01:00:00.0000"},
      {-1000.25, 0, "1000:15:00"},   // the minus sign no longer fits
      {12.0 + 59.9996 / 3600.0, 3, "  12:01:00.000"},  // rounding once, on the total
      {0.5 / 3600.0, 0, "  00:00:01"},                 // half rounds up
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatSexagesimal(c.value, c.p), c.text) << c.value << " p=" << c.p;
  }
}

TEST(FormatSexagesimal, RejectsUnknownDigitSelector) {
  EXPECT_THROW(FormatSexagesimal(1.0, 5), std::out_of_range);
  EXPECT_THROW(FormatSexagesimal(1.0, -1), std::out_of_range);
}

// A value that is not a number never becomes digits (its conversion to an
// integer had no defined result).
TEST(FormatSexagesimal, RefusesValuesThatAreNoAngleOrTime) {
  const double inf = std::numeric_limits<double>::infinity();
  for (const double value : {std::nan(""), inf, -inf, 1e19, -1e300}) {
    EXPECT_THROW(FormatSexagesimal(value, 2), std::domain_error) << value;
    EXPECT_THROW(FormatDegreesMinutes(value, 1), std::domain_error) << value;
  }
  EXPECT_NO_THROW(FormatSexagesimal(-1e9, 0));
  EXPECT_NO_THROW(FormatDegreesMinutes(1e9, 1));
}

TEST(FormatDegreesMinutes, FixedLayout) {
  struct Case {
    double value;
    int p;
    const char* text;
  };
  const Case cases[] = {
      {12.5, 1, "   12:30.0"},   {5.25, 1, "   05:15.0"},  {-5.25, 1, " - 05:15.0"},
      {-123.25, 1, " -123:15.0"}, {0.0, 0, "   00:00"},     {179.999, 2, "  179:59.94"},
      {0.9999, 1, "   00:60.0"},  // 59.994' is written 60.0 without a carry
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatDegreesMinutes(c.value, c.p), c.text) << c.value << " p=" << c.p;
  }
}

TEST(HexDigits, LastDigitsOfEight) {
  EXPECT_EQ(HexDigits(255, 1), "FF");
  EXPECT_EQ(HexDigits(255, 2), "00FF");
  EXPECT_EQ(HexDigits(255, 4), "000000FF");
  EXPECT_EQ(HexDigits(0xDEADBEEF, 4), "DEADBEEF");
  EXPECT_EQ(HexDigits(0xDEADBEEF, 1), "EF");
  EXPECT_EQ(HexDigits(255, 3), "");
  EXPECT_EQ(HexDigits(255, 0), "");
}

TEST(Formatting, DecimalPointWhateverTheLocale) {
  // A window program takes its locale from the environment; our texts must not follow it.
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = old ? old : "C";
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8")) {
    GTEST_SKIP() << "no locale with a decimal comma installed";
  }
  EXPECT_EQ(FormatSexagesimal(5.0844, 1), "  05:05:03.8");
  EXPECT_EQ(FixedText(69.25, 1), "69.2");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(FixedText, RoundsToTheGivenDecimals) {
  EXPECT_EQ(FixedText(69.2, 1), "69.2");
  EXPECT_EQ(FixedText(-2.8, 1), "-2.8");
  EXPECT_EQ(FixedText(1234.5678, 0), "1235");
  EXPECT_EQ(FixedText(0.0, 3), "0.000");
}

TEST(FixedAngleText, StaysWithinAFullTurnAfterRounding) {
  struct Case {
    double degrees;
    int decimals;
    const char* text;
  };
  const Case cases[] = {
      {359.96, 1, "0.0"},    {359.94, 1, "359.9"}, {359.996, 2, "0.00"}, {359.7, 0, "0"},
      {360.0, 1, "0.0"},     {-0.04, 1, "0.0"},    {-0.0, 1, "0.0"},      {-90.0, 1, "270.0"},
      {725.25, 2, "5.25"},   {180.0, 0, "180"},    {0.04, 1, "0.0"},      {-359.96, 1, "0.0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FixedAngleText(c.degrees, c.decimals), c.text) << c.degrees << " " << c.decimals;
  }
}

}  // namespace
}  // namespace darvelle
