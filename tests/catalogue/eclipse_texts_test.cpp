// Eclipse-type names and the captions around them, as Windows-1252 bytes.

#include <gtest/gtest.h>

#include "catalogue/eclipse_texts.h"
#include "geometry/eclipse_computation.h"
#include "astro/calendar.h"

namespace darvelle {
namespace {

TEST(EclipseTexts, NamesByTypeAndLanguage) {
  const struct {
    int code;
    Language language;
    std::string_view longName, shortName;
  } cases[] = {
      {1, kGerman, "Partielle Sonnenfinsternis", "Partielle Sonnenfinsternis"},
      {3, kGerman, "Ringf\xF6rmige Sonnenfinsternis", "Ringf\xF6rmige Finsternis"},
      {4, kEnglish, "Annular-total solar eclipse", "Ann-total solar eclipse"},
      {5, kFrench, "Eclipse de soleil totale non centrale", "Ecl. totale non centrale"},
      {6, kFrench, "Eclipse de soleil annulaire non centrale",
       "Eclipse de soleil annulaire non centrale"},
      {6, kGerman, "Nichtzentrale ringf\xF6rmige Sonnenfinsternis", "Nichtzentrale ringf. SoFi"},
      {0, kEnglish, "", ""},
      {7, kGerman, "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EclipseTypeName(c.code, c.language), c.longName) << c.code << "/" << LanguageIndex(c.language);
    EXPECT_EQ(EclipseTypeShortName(c.code, c.language), c.shortName) << c.code;
  }
  EXPECT_EQ(SheetEclipseTypeName(3, kGerman), "Ringf\xF6rmige Sonnenfinstenis");
  EXPECT_EQ(SheetEclipseTypeName(4, kEnglish), "Hybrid (annular-total) Solar Eclipse");
  EXPECT_EQ(SheetEclipseTypeName(4, kFrench), "");
  EXPECT_EQ(SheetEclipseTypeName(0, kEnglish), "");
}

TEST(EclipseTexts, CaptionsOfSarosAndTimeScale) {
  EXPECT_EQ(SarosCaption(12, 71, kEnglish), "Ecl. in Saros: 12. of 71");
  EXPECT_EQ(SarosCaption(3, 70, kGerman), "Finster. im Saros: 3. von 70");
  EXPECT_EQ(TimeScaleCaption(TimeScale::kUniversal, 69.2, 2020, kEnglish), "UT DeltaT= 69.2 secs");
  EXPECT_EQ(TimeScaleCaption(TimeScale::kUniversal, 69.2, 2020, kGerman), "UT DeltaT= 69.2 Sek. ");
  EXPECT_EQ(TimeScaleCaption(TimeScale::kUniversal, -2.7, 1899, kFrench), "UT DeltaT= -3 sec.");
  EXPECT_EQ(TimeScaleCaption(TimeScale::kUniversal, 3000.4, 2051, kEnglish), "UT DeltaT= 3000 secs");
  EXPECT_EQ(TimeScaleCaption(TimeScale::kTerrestrial, 69.2, 2020, kEnglish), "TT");
  EXPECT_EQ(Latin1ToUtf8("Ringf\xF6rmige \xB0"), "Ringf\xC3\xB6rmige \xC2\xB0");
}

TEST(DateTimeText, LayoutRoundingAndNegativeYears) {
  const struct {
    int year, month, day;
    double hour, minute, second;
    bool ut;
    const char* expected;
  } cases[] = {
      {2021, 12, 4, 7, 33, 27.2, true, "2021-12-04  07:33:27 UT"},
      {2021, 12, 4, 7, 33, 27.2, false, "2021-12-04  07:33:27 TT"},
      {2021, 12, 4, 7, 33, 59.6, true, "2021-12-04  07:33:60 UT"},  // no carry into the minute
      {-500, 3, 1, 12, 0, 0.0, false, "-0500-03-01  12:00:00 TT"},
      {33, 1, 9, 0, 5, 1.4, true, "0033-01-09  00:05:01 UT"},
  };
  for (const auto& c : cases) {
    const double jd = CalendarToJulianDay(c.year, c.month, c.day, c.hour, c.minute, c.second);
    EXPECT_EQ(DateTimeText(jd, c.ut ? TimeScale::kUniversal : TimeScale::kTerrestrial), c.expected);
  }
}

}  // namespace
}  // namespace darvelle
