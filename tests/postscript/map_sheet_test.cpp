#include "postscript/map_sheet.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <sstream>

#include "catalogue/data_files.h"
#include "sheet_test_support.h"

namespace darvelle {
namespace {

using sheet_testing::HandMadeTotal;
using sheet_testing::PageXText;
using sheet_testing::PageYText;
using sheet_testing::SheetLines;
using sheet_testing::TestPicture;

namespace fs = std::filesystem;

SheetOptions NoFont() { return {fs::path("/nonexistent/Ethnocentric.pfa")}; }

std::string TextLine(const std::string& text) {
  return "(" + text + ") dup stringwidth 0 add pop FontHeight 0 add";
}

long CountOf(const std::vector<std::string>& lines, const std::string& line) {
  return std::count(lines.begin(), lines.end(), line);
}

std::size_t IndexOf(const std::vector<std::string>& lines, const std::string& line,
                    std::size_t from = 0) {
  const auto it = std::find(lines.begin() + static_cast<long>(from), lines.end(), line);
  return static_cast<std::size_t>(it - lines.begin());
}

// The page y (as printed) of every text line equal to TextLine(text).
std::vector<std::string> PlacesOf(const std::vector<std::string>& lines, const std::string& text) {
  std::vector<std::string> places;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (lines[i] != TextLine(text)) continue;
    const std::string& move = lines[i - 1];
    const auto blank = move.find(' ');
    places.push_back(move.substr(blank + 1, move.size() - blank - 4));
  }
  return places;
}

TEST(MapSheetTest, FrameworkAndPagesInUtAndTt) {
  const TestPicture picture;
  SheetView view;
  view.picture = picture.view;
  for (const bool ut : {true, false}) {
    const auto lines = SheetLines(PostScriptSheetText(HandMadeTotal(ut ? TimeScale::kUniversal : TimeScale::kTerrestrial), view, NoFont()));
    const std::vector<std::string> header = {
        "%!PS-Adobe-2.0",      ut ? "%%Pages:4" : "%%Pages:3",
        "",                    "%%Creator: Velkoran",
        "%%CreationDate: today", "%%Title: Normale POST_Lib-Routine",
        "%%BoundingBox: 3 3 591 839", "%%IncludeFeature: resolution (1200)",
        "%%EndComments",       "/FontHeight 1 def"};
    ASSERT_GT(lines.size(), header.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 10), header);
    EXPECT_EQ(lines[10], "");
    EXPECT_EQ(lines[11], "% Ethnocentric Font laden");

    const std::size_t times = IndexOf(lines, "/Times-Roman-ISOLatin1 findfont 12 scalefont setfont");
    ASSERT_LT(times + 6, lines.size());
    EXPECT_EQ(lines[times - 1], "0 SG");  // the prolog's last line
    EXPECT_EQ(std::vector<std::string>(lines.begin() + static_cast<long>(times) + 2,
                                       lines.begin() + static_cast<long>(times) + 7),
              (std::vector<std::string>{"/page-begin", "{gsave", "}def",
                                        "/page-end {grestore showpage}def", "%%Page: 1 1"}));

    const int pages = ut ? 4 : 3;
    for (int p = 1; p <= pages; ++p) {
      EXPECT_EQ(CountOf(lines, "%%Page: " + std::to_string(p) + " " + std::to_string(p)), 1);
    }
    EXPECT_EQ(CountOf(lines, "%%Page: 4 4"), ut ? 1 : 0);
    EXPECT_EQ(CountOf(lines, "page-end"), pages);
    EXPECT_EQ(CountOf(lines, "841 3 translate 90 rotate"), pages - 1);
    EXPECT_EQ(CountOf(lines, "page-begin"), 1 + 2 * (pages - 1));
    EXPECT_EQ(lines.back(), "%%EOF");
    EXPECT_EQ(lines[lines.size() - 2], "page-end");
    EXPECT_EQ(CountOf(lines, TextLine("General circumstances of the eclipse (UT)")), ut ? 1 : 0);
    EXPECT_EQ(CountOf(lines, TextLine("General circumstances of the eclipse (TT)")), 1);
    EXPECT_EQ(
        CountOf(lines, TextLine("Ephemeris of Sun and Moon, and Besselian elements in polynomial form")),
        1);
    EXPECT_EQ(CountOf(lines, TextLine("Difference between Terrestrial Time and Universal Time ")),
              ut ? 1 : 0);
  }
}

TEST(MapSheetTest, PictureIsHexLinesOfSixteenPixels) {
  TestPicture picture;
  SheetView view;
  view.picture = picture.view;
  const auto lines = SheetLines(PostScriptSheetText(HandMadeTotal(TimeScale::kUniversal), view, NoFont()));
  const std::size_t start =
      IndexOf(lines, "{currentfile imgdata readhexstring pop} false 3 colorimage");
  ASSERT_LT(start, lines.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin() + static_cast<long>(start) - 5,
                                     lines.begin() + static_cast<long>(start)),
            (std::vector<std::string>{"gsave", "/imgdata 1600 1066 3 mul mul string def",
                                      "37 745 translate", "2.6 2.6 scale",
                                      "1600 1066 8 [8 0 0 -8 0 8]"}));
  const std::size_t first = start + 1;
  ASSERT_LT(first + 106600 + 1, lines.size());
  for (std::size_t i = first; i < first + 106600; ++i) {
    ASSERT_EQ(lines[i].size(), 96u) << "hex line " << i - first;
    ASSERT_EQ(lines[i].find_first_not_of("0123456789ABCDEF"), std::string::npos);
  }
  EXPECT_EQ(lines[first + 106600], "");
  EXPECT_EQ(lines[first + 106601], "grestore");
  // Pixel (0,0), then (1,0) = (01, 00, 07); row 1 starts 100 lines later.
  EXPECT_EQ(lines[first].substr(0, 12), "1234AB010007");
  EXPECT_EQ(lines[first + 100].substr(0, 12), "000107010107");
  // Pixel (1599, 1065) ends the data: x mod 256 = 63, y mod 256 = 41.
  EXPECT_EQ(lines[first + 106599].substr(90), "3F2907");

  // The same picture stored B, G, R gives the same digits.
  for (std::size_t i = 0; i < picture.rgb.size(); i += 3) std::swap(picture.rgb[i], picture.rgb[i + 2]);
  view.picture.bgr = true;
  const auto swapped = SheetLines(PostScriptSheetText(HandMadeTotal(TimeScale::kUniversal), view, NoFont()));
  EXPECT_EQ(swapped[first].substr(0, 12), "1234AB010007");
  EXPECT_EQ(swapped[first + 106599].substr(90), "3F2907");

  // Without a drawing the picture is white, and the document is as long.
  const auto blank = SheetLines(PostScriptSheetText(HandMadeTotal(TimeScale::kUniversal), SheetView{}, NoFont()));
  EXPECT_EQ(blank.size(), lines.size());
  EXPECT_EQ(blank[first], std::string(96, 'F'));
}

TEST(MapSheetTest, FirstPageLines) {
  SheetView view;
  view.psi = 0.5;
  view.phi = -0.1;
  EclipseResult c = HandMadeTotal(TimeScale::kUniversal);
  const auto lines = SheetLines(PostScriptSheetText(c, view, NoFont()));

  // Title, centred at (10.5, 1.47).
  const std::size_t title = IndexOf(lines, TextLine("Total Solar Eclipse"));
  ASSERT_LT(title, lines.size());
  EXPECT_EQ(lines[title - 1], "297.00 796.72 MT");
  EXPECT_EQ(lines[title - 2], "30.00 0.7 mul /FontHeight exch def");
  EXPECT_EQ(lines[title - 3], "/Arial-Bold-ISOLatin1 findfont 30.0 scalefont setfont");

  // Date line: all contacts on April 8 in UT, so fifteen bold characters.
  const std::size_t date = title + 4;
  EXPECT_EQ(lines[date], PageXText(10.5 - 0.166 * 15) + " " + PageYText(2.77) + " MT");
  const std::string dateText = "2024 April 8   ";
  for (std::size_t k = 0; k < dateText.size(); ++k) {
    EXPECT_EQ(lines[date + 1 + 3 * k], "/Arial-Narrow-Bold-ISOLatin1 findfont 24.0 scalefont setfont");
    EXPECT_EQ(lines[date + 3 + 3 * k], std::string("(") + dateText[k] + ") show");
  }

  // View lines: "0.0" in all three edits gives the unturned wording.
  const std::string viewLine =
      " View centered at longitude 28.65\xB0 / latitude -5.73\xB0    Orthographic representation";
  EXPECT_EQ(PlacesOf(lines, viewLine), std::vector<std::string>{PageYText(16.02)});
  const std::string state =
      "Darvelle graphics state  Psi 0.0\xB0  Phi 0.0\xB0  Chi 0.0\xB0  Globe size 500 pixels";
  EXPECT_EQ(PlacesOf(lines, state), std::vector<std::string>{PageYText(16.42)});

  view.editChi = "0";
  view.orthographic = false;
  const auto turned = SheetLines(PostScriptSheetText(c, view, NoFont()));
  EXPECT_EQ(CountOf(turned, TextLine("View initially centered at longitude 28.65\xB0 / latitude "
                                     "-5.73\xB0    Stereographic representation")),
            1);

  // Saros line with its raised suffix; DeltaT, Gamma and lunation rows.
  const std::size_t saros = IndexOf(lines, TextLine("30"));
  ASSERT_LT(saros + 9, lines.size());
  EXPECT_EQ(lines[saros - 1], PageXText(3.97) + " " + PageYText(17.22) + " MT");
  EXPECT_EQ(std::vector<std::string>(lines.begin() + static_cast<long>(saros) + 4,
                                     lines.begin() + static_cast<long>(saros) + 11),
            (std::vector<std::string>{
                "/Arial-ISOLatin1 findfont 10.0 scalefont setfont",
                "10.00 0.7 mul /FontHeight exch def", "0 5 rmoveto", "(th) show", "0 -5 rmoveto",
                "/Arial-ISOLatin1 findfont 14.0 scalefont setfont",
                "14.00 0.7 mul /FontHeight exch def"}));
  EXPECT_EQ(lines[saros + 11],
            "( eclipse of 71 eclipses belonging to Saros series 139) show");
  EXPECT_EQ(PlacesOf(lines, "Difference between Terrestrial Time and Universal Time "),
            std::vector<std::string>{PageYText(18.12)});
  EXPECT_EQ(PlacesOf(lines, "69.20"), std::vector<std::string>{PageYText(18.12)});
  EXPECT_EQ(PlacesOf(lines, "0.34306"), std::vector<std::string>{PageYText(18.72)});
  EXPECT_EQ(PlacesOf(lines, "Lunation number \\(according to Meeus"),
            std::vector<std::string>{PageYText(19.32)});
  EXPECT_EQ(CountOf(lines, "0 -5 rmoveto (\\)) show"), 1);

  // The geocentric block of the UT sheet.
  EXPECT_EQ(PlacesOf(lines, "Geocentric position, apparent motion and size of Sun and Moon"),
            std::vector<std::string>{PageYText(20.52)});
  const std::pair<const char*, double> rows[] = {
      {"Instant of greatest eclipse", 21.52}, {"Geocentric conjunction", 22.92},
      {"in Right Ascension", 23.52},          {"Right Ascension of Sun", 24.32},
      {"Right Ascension of Moon", 24.92},     {"Declination of Sun", 25.72},
      {"Declination of Moon", 26.32},
      {"Equatorial horizontal parallax of Sun", 27.12},
      {"Equatorial horizontal parallax of Moon", 27.72}};
  for (const auto& [label, y] : rows) {
    // The page of elements repeats the instant of greatest eclipse at its top.
    EXPECT_EQ(PlacesOf(lines, label).at(0), PageYText(y)) << label;
  }
  EXPECT_EQ(PlacesOf(lines, "Instant of greatest eclipse"),
            (std::vector<std::string>{PageYText(21.52), PageYText(2.77)}));
  EXPECT_EQ(PlacesOf(lines, "UT").size(), 2u);
  EXPECT_EQ(PlacesOf(lines, "TT"),
            (std::vector<std::string>{PageYText(22.12), PageYText(23.52), PageYText(2.77)}));

  // Footer.
  const std::size_t rule = IndexOf(lines, "0.500 setlinewidth");
  ASSERT_LT(rule + 4, lines.size());
  EXPECT_EQ(lines[rule + 1], "39.44 " + PageYText(28.37) + " MT");
  EXPECT_EQ(lines[rule + 2], PageXText(19.73) + " " + PageYText(28.37) + " LT");
  EXPECT_EQ(lines[rule + 3], "ST");
  EXPECT_EQ(lines[rule + 5], TextLine(SheetNotice()));
}

// The date line as written: its characters and, per character, '1' when the
// bold font was chosen for it.
std::pair<std::string, std::string> WrittenDateLine(const std::vector<std::string>& lines) {
  std::size_t k = IndexOf(lines, TextLine("Total Solar Eclipse")) + 5;
  std::string text, mask;
  while (k + 2 < lines.size() && lines[k + 2].size() == 8 && lines[k + 2].ends_with(") show")) {
    mask += lines[k].find("Narrow-Bold") != std::string::npos ? '1' : '0';
    text += lines[k + 2][1];
    k += 3;
  }
  return {text, mask};
}

TEST(MapSheetTest, DateLineBoldsTheDayOfGreatestEclipse) {
  EclipseResult c = HandMadeTotal(TimeScale::kTerrestrial);
  c.circumstances.events[EventId::TP4].Time = 6.5;  // 00:30 TT on April 9
  // Greatest eclipse on April 8: the part before the slash is bold.
  auto [text, mask] = WrittenDateLine(SheetLines(PostScriptSheetText(c, SheetView{}, NoFont())));
  EXPECT_EQ(text, "2024 April 8 / 9 TT");
  EXPECT_EQ(mask, std::string(13, '1') + "000111");
  // No central line: TG0 is empty and TimeGreatest (April 9) decides.
  c.circumstances.events[EventId::TG0].Time.reset();
  c.circumstances.timeGreatest = 6.2;
  std::tie(text, mask) = WrittenDateLine(SheetLines(PostScriptSheetText(c, SheetView{}, NoFont())));
  EXPECT_EQ(text, "2024 April 8 / 9 TT");
  EXPECT_EQ(mask, std::string(11, '1') + "000" + "11" + "111");
}

TEST(MapSheetTest, TimeScaleTtLeavesOutTheUtRows) {
  const auto lines = SheetLines(PostScriptSheetText(HandMadeTotal(TimeScale::kTerrestrial), SheetView{}, NoFont()));
  // No DeltaT row; the only T shown alone are the two of the date line's bold " TT".
  EXPECT_EQ(CountOf(lines, "(D) show"), 0);
  const std::size_t firstT = IndexOf(lines, "(T) show");
  ASSERT_LT(firstT + 3, lines.size());
  EXPECT_EQ(lines[firstT - 2], "/Arial-Narrow-Bold-ISOLatin1 findfont 24.0 scalefont setfont");
  EXPECT_EQ(lines[firstT + 3], "(T) show");
  EXPECT_EQ(IndexOf(lines, "(T) show", firstT + 4), lines.size());
  EXPECT_EQ(PlacesOf(lines, "0.34306"), std::vector<std::string>{PageYText(18.22)});
  EXPECT_EQ(PlacesOf(lines, "Geocentric position, apparent motion and size of Sun and Moon"),
            std::vector<std::string>{PageYText(20.02)});
  EXPECT_EQ(PlacesOf(lines, "in Right Ascension"), std::vector<std::string>{PageYText(22.32)});
  EXPECT_EQ(PlacesOf(lines, "Right Ascension of Sun"), std::vector<std::string>{PageYText(23.12)});
  EXPECT_EQ(PlacesOf(lines, "Equatorial horizontal parallax of Moon"),
            std::vector<std::string>{PageYText(26.52)});
  // "in Right Ascension" stands alone: the next text is the Sun's right ascension.
  const std::size_t alone = IndexOf(lines, TextLine("in Right Ascension"));
  ASSERT_LT(alone + 7, lines.size());
  EXPECT_EQ(lines[alone + 4], "0 SG");
  EXPECT_EQ(lines[alone + 6], TextLine("Right Ascension of Sun"));
  EXPECT_EQ(PlacesOf(lines, "UT").size(), 0u);
}

TEST(MapSheetTest, CircumstanceRowsCloseUpWhenEventsAreMissing) {
  const std::pair<const char*, double> all[] = {
      {"TP1", 4.17},   {"TP2", 4.77},   {"TP3", 5.37},   {"TP4", 5.97},  {"TPN1", 7.17},
      {"TPS1", 7.77},  {"TPN2", 8.37},  {"TPS2", 8.97},  {"TU1", 10.17}, {"TU2", 10.77},
      {"TU3", 11.37},  {"TU4", 11.97},  {"TUN1", 13.17}, {"TUS1", 13.77}, {"TUN2", 14.37},
      {"TUS2", 14.97}, {"TC1", 16.17},  {"TC2", 16.77},  {"TG0", 17.97}};
  const auto lines = SheetLines(PostScriptSheetText(HandMadeTotal(TimeScale::kUniversal), SheetView{}, NoFont()));
  for (const auto& [code, y] : all) {
    // Once on the UT page, once on the TT page.
    EXPECT_EQ(PlacesOf(lines, code), (std::vector<std::string>{PageYText(y), PageYText(y)}))
        << code;
  }
  EXPECT_EQ(CountOf(lines, TextLine("Greatest eclipse (total)")), 2);
  EXPECT_EQ(CountOf(lines, TextLine("Begin of central eclipse (total)")), 2);
  // UT page: corrected longitudes; TT page: ephemeris longitudes (UTF-8 degree sign re-encoded).
  EXPECT_EQ(PlacesOf(lines, "-100\xB0" "10.5'"), std::vector<std::string>{PageYText(4.17)});
  EXPECT_EQ(PlacesOf(lines, "-99\xB0" "53.2'"), std::vector<std::string>{PageYText(4.17)});

  // A partial eclipse: TP1, TP4 and one northern limit point; TP1 and TP4 stay
  // even when absent, and the footer keeps its place.
  EclipseResult partial = HandMadeTotal(TimeScale::kTerrestrial);
  for (auto& event : partial.circumstances.events.entries) event.Time.reset();
  partial.circumstances.events[EventId::TP4].Time = 2.0;
  partial.circumstances.events[EventId::TPN1].Time = -1.0;
  partial.circumstances.events[EventId::TC1].CentralKind = CentralKind::Annular;
  const auto partialLines = SheetLines(PostScriptSheetText(partial, SheetView{}, NoFont()));
  EXPECT_EQ(PlacesOf(partialLines, "TP1"), std::vector<std::string>{PageYText(4.17)});
  EXPECT_EQ(PlacesOf(partialLines, "TP4"), std::vector<std::string>{PageYText(4.77)});
  EXPECT_EQ(PlacesOf(partialLines, "TPN1"), std::vector<std::string>{PageYText(5.97)});
  for (const char* absent : {"TP2", "TPS1", "TU1", "TUN1", "TC1", "TC2", "TG0"}) {
    EXPECT_TRUE(PlacesOf(partialLines, absent).empty()) << absent;
  }
  EXPECT_EQ(PlacesOf(partialLines, "Latitudes are measured positively in the northern hemisphere"),
            std::vector<std::string>{PageYText(19.67)});
  EXPECT_EQ(CountOf(partialLines, TextLine("(Partial)")), 2);
  EXPECT_EQ(CountOf(partialLines, TextLine("eclipse begins")), 1);

  // An annular central line names its kind.
  EclipseResult annular = HandMadeTotal(TimeScale::kTerrestrial);
  for (EventId id : {EventId::TC1, EventId::TC2, EventId::TG0})
    annular.circumstances.events[id].CentralKind = CentralKind::Annular;
  const auto annularLines = SheetLines(PostScriptSheetText(annular, SheetView{}, NoFont()));
  EXPECT_EQ(CountOf(annularLines, TextLine("End of central eclipse (annular)")), 1);
  EXPECT_EQ(CountOf(annularLines, TextLine("Greatest eclipse (annular)")), 1);
}

TEST(MapSheetTest, AnEventAtTheEpochHasItsRow) {
  EclipseResult c = HandMadeTotal(TimeScale::kUniversal);
  c.circumstances.events[EventId::TG0].Time = 0.0;
  const auto lines = SheetLines(PostScriptSheetText(c, SheetView{}, NoFont()));
  EXPECT_EQ(CountOf(lines, TextLine("Greatest eclipse (total)")), 2);
  c.circumstances.events[EventId::TG0].Time.reset();
  const auto without = SheetLines(PostScriptSheetText(c, SheetView{}, NoFont()));
  EXPECT_EQ(CountOf(without, TextLine("Greatest eclipse (total)")), 0);
}

TEST(MapSheetTest, EventDatesAreRoundedToATenthOfASecond) {
  EclipseResult c = HandMadeTotal(TimeScale::kTerrestrial);
  // 0.04 s before midnight TT (the epoch is 18:00).
  c.circumstances.events[EventId::TP4].Time = 6.0 - 0.04 / 3600.0;
  const auto lines = SheetLines(PostScriptSheetText(c, SheetView{}, NoFont()));
  EXPECT_EQ(PlacesOf(lines, "2024-04-09"), std::vector<std::string>{PageYText(5.97)});
  EXPECT_EQ(PlacesOf(lines, "  00:00:00.0"), std::vector<std::string>{PageYText(5.97)});
}

TEST(MapSheetTest, ElementsPage) {
  const EclipseResult c = HandMadeTotal(TimeScale::kUniversal);
  const auto lines = SheetLines(PostScriptSheetText(c, SheetView{}, NoFont()));
  // Coefficients right-aligned in four columns, on y - 0.15 of their label.
  EXPECT_EQ(PlacesOf(lines, "-3.18244000E-01"), std::vector<std::string>{PageYText(8.52)});
  EXPECT_EQ(PlacesOf(lines, "8.95912200E+01"), std::vector<std::string>{PageYText(10.32)});
  EXPECT_EQ(PlacesOf(lines, "4.64500000E-03"), std::vector<std::string>{PageYText(13.02)});
  const std::size_t x = IndexOf(lines, TextLine("-3.18244000E-01"));
  EXPECT_EQ(lines[x - 1].substr(0, lines[x - 1].find(' ')), PageXText(15.47));
  EXPECT_EQ(CountOf(lines, TextLine("0.00000000E+00")), 19);

  // Labels and units with their sub- and superscripts.
  EXPECT_EQ(CountOf(lines, "(\xB5') show"), 1);
  EXPECT_EQ(CountOf(lines, "(\xB0/h) show"), 2);
  // Right ascensions and declinations of Sun and Moon are all stored in
  // degrees (the right ascensions once appeared under "hrs").
  EXPECT_EQ(CountOf(lines, "(  \xB0) show"), 4);
  EXPECT_EQ(CountOf(lines, "(hrs) show"), 0);
  const std::size_t sunRA = IndexOf(lines, "(Apparent right ascension of Sun) show");
  const std::size_t moonRA = IndexOf(lines, "(Apparent right ascension of Moon) show");
  ASSERT_LT(moonRA, lines.size());
  EXPECT_EQ(lines[sunRA - 2], "(  \xB0) show");
  EXPECT_EQ(lines[moonRA - 2], "(  \xB0) show");
  EXPECT_EQ(CountOf(lines, "(tan\\(f) show"), 2);
  EXPECT_EQ(CountOf(lines, "() show"), 2);  // the TanF2 unit and the second cone row
  EXPECT_EQ(CountOf(lines, "0 -5 rmoveto (E) show 0 5 rmoveto"), 5);
  EXPECT_EQ(CountOf(lines, "/Arial-ISOLatin1 findfont 11.0 scalefont setfont"), 4 + 1);
  const std::size_t epoch = IndexOf(lines, "(Nearest integer hour \\(H) show");
  ASSERT_LT(epoch + 6, lines.size());
  EXPECT_EQ(lines[epoch - 1], "39.44 " + PageYText(3.52) + " MT");
  EXPECT_EQ(lines[epoch + 3], "0 -5 rmoveto (0) show 0 5 rmoveto");
  EXPECT_EQ(lines[epoch + 6], "(\\)) show");
  EXPECT_EQ(PlacesOf(lines, "18"), std::vector<std::string>{PageYText(3.37)});

  // Tangents and rates at greatest eclipse.
  EXPECT_EQ(PlacesOf(lines, "0.00466830"), std::vector<std::string>{PageYText(14.87)});
  EXPECT_EQ(PlacesOf(lines, "0.2722810"), std::vector<std::string>{PageYText(15.47)});
  EXPECT_EQ(PlacesOf(lines, "15.00408400"), std::vector<std::string>{PageYText(16.07)});
  EXPECT_EQ(PlacesOf(lines, "(Umbra)"), std::vector<std::string>{PageYText(15.47)});
}

TEST(MapSheetTest, WrittenBesideTheTargetAndRenamedWhenComplete) {
  const fs::path dir = sheet_testing::FreshTempDir("write");
  const fs::path target = dir / "Darvelle.ps";
  std::ofstream(target) << "old sheet";
  const EclipseResult c = HandMadeTotal(TimeScale::kUniversal);
  WritePostScriptSheet(c, SheetView{}, target, NoFont());
  std::stringstream text;
  text << std::ifstream(target, std::ios::binary).rdbuf();
  EXPECT_EQ(text.str(), PostScriptSheetText(c, SheetView{}, NoFont()));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

  // A missing folder: the error names the sheet.
  try {
    WritePostScriptSheet(c, SheetView{}, dir / "missing" / "Darvelle.ps", NoFont());
    FAIL() << "wrote into a missing folder";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("missing/Darvelle.ps"), std::string::npos) << e.what();
  }

  // A write that fails half-way (file size limit): the old sheet stays, no
  // temporary file is left, the error names the sheet and the cause.
  std::ofstream(target, std::ios::trunc) << "old sheet";
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 3u << 20;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string message;
  try {
    WritePostScriptSheet(c, SheetView{}, target, NoFont());
  } catch (const FileError& e) {
    message = e.what();
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_NE(message.find(target.string()), std::string::npos) << message;
  EXPECT_NE(message.find("too large"), std::string::npos) << message;
  std::stringstream old;
  old << std::ifstream(target).rdbuf();
  EXPECT_EQ(old.str(), "old sheet");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  fs::remove_all(dir);
}

TEST(MapSheetTest, FontFolderFromTheEnvironment) {
  const char* saved = std::getenv("DARVELLE_FONT_DIR");
  const std::string keep = saved != nullptr ? saved : "";
  ::setenv("DARVELLE_FONT_DIR", "/opt/fonts", 1);
  EXPECT_EQ(DefaultFontFile(), fs::path("/opt/fonts/Ethnocentric.pfa"));
  ::setenv("DARVELLE_FONT_DIR", "", 1);
  EXPECT_EQ(DefaultFontFile().filename(), "Ethnocentric.pfa");
  EXPECT_NE(DefaultFontFile().parent_path(), fs::path("/opt/fonts"));
  if (saved != nullptr) {
    ::setenv("DARVELLE_FONT_DIR", keep.c_str(), 1);
  } else {
    ::unsetenv("DARVELLE_FONT_DIR");
  }
}

}  // namespace
}  // namespace darvelle
