#include "postscript/sheet_format.h"

#include <gtest/gtest.h>

#include <string>

#include "astro/calendar.h"

namespace darvelle {
namespace {

TEST(SheetFormatTest, OrdinalSuffixes) {
  const char* expected[] = {"st", "nd", "rd", "th", "th", "th", "th", "th", "th", "th", "th", "th",
                            "th", "th", "th", "th", "th", "th", "th", "th", "st", "nd", "rd"};
  for (int n = 1; n <= 23; ++n) EXPECT_EQ(OrdinalSuffix(n), expected[n - 1]) << n;
  EXPECT_EQ(OrdinalSuffix(101), "st");
  EXPECT_EQ(OrdinalSuffix(111), "th");
  EXPECT_EQ(OrdinalSuffix(112), "th");
  EXPECT_EQ(OrdinalSuffix(122), "nd");
}

TEST(SheetFormatTest, DateLineMasks) {
  struct Case {
    SheetDate first, last, greatest;
    bool ut;
    std::string text, mask;
  } cases[] = {
      // all on one day: everything bold
      {{2024, 4, 8}, {2024, 4, 8}, {2024, 4, 8}, true, "2024 April 8   ",
       "111111111111111"},
      // day changes, greatest on the second day (the example of the sheet's description)
      {{2024, 4, 1}, {2024, 4, 2}, {2024, 4, 2}, false, "2024 April 1 / 2 TT",
       "1111111111100011111"},
      // day changes, greatest on the first day
      {{2024, 4, 1}, {2024, 4, 2}, {2024, 4, 1}, true, "2024 April 1 / 2   ",
       "1111111111111000111"},
      // month changes: year always bold, then the side of greatest eclipse
      {{2024, 4, 30}, {2024, 5, 1}, {2024, 4, 30}, true, "2024 April 30 / May 1   ",
       "111111111111110000000111"},
      {{2024, 4, 30}, {2024, 5, 1}, {2024, 5, 1}, true, "2024 April 30 / May 1   ",
       "111110000000000111111111"},
      // year changes
      {{-44, 12, 31}, {-43, 1, 1}, {-44, 12, 31}, false, "-44 December 31 / -43 January 1 TT",
       "1111111111111111000000000000000111"},
      {{2024, 12, 31}, {2025, 1, 1}, {2025, 1, 1}, true, "2024 December 31 / 2025 January 1   ",
       "000000000000000000111111111111111111"},
  };
  for (const Case& c : cases) {
    const DateLine line = BuildDateLine(c.first, c.last, c.greatest, c.ut ? TimeScale::kUniversal : TimeScale::kTerrestrial);
    EXPECT_EQ(line.text, c.text);
    EXPECT_EQ(line.mask, c.mask) << c.text;
    EXPECT_EQ(line.text.size(), line.mask.size());
  }
}

TEST(SheetFormatTest, CoefficientsHaveNineSignificantDigits) {
  const std::pair<double, std::string> cases[] = {
      {2.463053119, "2.46305312E+00"}, {-1.25001e-4, "-1.25001000E-04"},
      {0.0, "0.00000000E+00"},         {15.00406, "1.50040600E+01"},
      {-3.1e-120, "-3.10000000E-120"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(CoefficientText(value), text);
}

TEST(SheetFormatTest, DatesTimesAndAngles) {
  const double jd = CalendarToJulianDay(2024, 4, 8, 18, 17, 21.5);
  EXPECT_EQ(SheetDateText(jd), "2024-04-08");
  EXPECT_EQ(SheetTimeOfDayText(jd, 2), "  18:17:21.50");
  EXPECT_EQ(SheetDateText(CalendarToJulianDay(-44, 3, 15, 12, 0, 0)), "-44-03-15");

  // 0.04 s before midnight rounds to the next day; 0.06 s before does not.
  const double late = CalendarToJulianDay(2024, 4, 8, 23, 59, 59.96);
  EXPECT_EQ(SheetDateText(RoundToTenthSecond(late)), "2024-04-09");
  EXPECT_EQ(SheetTimeOfDayText(RoundToTenthSecond(late), 1), "  00:00:00.0");
  const double earlier = CalendarToJulianDay(2024, 4, 8, 23, 59, 59.94);
  EXPECT_EQ(SheetDateText(RoundToTenthSecond(earlier)), "2024-04-08");
  EXPECT_EQ(SheetTimeOfDayText(RoundToTenthSecond(earlier), 1), "  23:59:59.9");

  EXPECT_EQ(HoursColumnText(18.3082), "18  18  29.52");
  EXPECT_EQ(HoursColumnText(-0.0025), "-00  00  09.00");
  EXPECT_EQ(DegreesColumnText(7.5887), "07\u00B0 35' 19.3\"");
  EXPECT_EQ(DegreesColumnText(-7.5887), "-07\u00B0 35' 19.3\"");
  EXPECT_EQ(DegreesColumnText(0.002442), "00\u00B0 00' 08.8\"");
}

TEST(SheetFormatTest, Windows1252ToUtf8) {
  EXPECT_EQ(FromWindows1252("12\xB0" "30.0'"), "12\u00B030.0'");
  EXPECT_EQ(FromWindows1252("\x80\xB5\xE4"), "\u20AC\u00B5\u00E4");
  EXPECT_EQ(FromWindows1252("\x81"), "?");
}

}  // namespace
}  // namespace darvelle
