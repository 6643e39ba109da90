// The report and curve files, byte for byte: layouts, Windows-1252 bytes,
// CR LF, which files exist, and what a failed write leaves behind.

#include "reports/report_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "astro/format.h"
#include "catalogue/data_files.h"
#include "catalogue/record_check.h"
#include "geometry/eclipse_computation.h"
#include "io/atomic_file.h"
#include "reports/computation_files.h"
#include "reports/report_text.h"
#include "../support/file_faults.h"
#include "../support/synthetic_eclipse.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end = text.find("\r\n"); end != std::string::npos;
       end = text.find("\r\n", start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  if (start < text.size()) lines.push_back(text.substr(start));  // last line without CR LF
  return lines;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

EclipseResult ComputeSynthetic(double axisY, TimeScale timeScale) {
  return ComputeEclipse(PrepareEclipse(testing::SyntheticEclipse(axisY), timeScale, 1));
}

TEST(ReportText, HeaderInstantEphemerisAndElementLinesAreExact) {
  const EclipseResult c = ComputeSynthetic(0.3, TimeScale::kTerrestrial);
  const auto de = SplitCrLf(MakeReports(c).german);
  const auto en = SplitCrLf(MakeReports(c).english);
  ASSERT_GT(de.size(), 30u);
  const std::string blanks(27, ' ');
  const std::string degreeUnits = blanks + "\xB0  '  \"" + blanks + "\xB0  '  \"";
  struct Expected {
    const std::vector<std::string>* lines;
    std::size_t at;
    std::string text;
  };
  const Expected expected[] = {
      {&de, 0, std::string(72, '-')},
      {&en, 0, std::string(73, '-')},
      {&de, 1, "            E L E M E N T E    D E R    F I N S T E R N I S"},
      {&en, 1, "            E L E M E N T S    O F    T H E    E C L I P S E"},
      {&de, 3, ""},
      // Conjunction at t = -0.5/0.51 h = 07:01:10.59 TT; small dates padded with blanks.
      {&de, 4, "Geozentrische Konjunk-: 2021-12- 4  07:01:10.59  J.D.: 2459552.792484 TT"},
      {&en, 5, "in Right Ascension     : 2021-12- 4  07:01:10.59  J.D.: 2459552.792484 UT"},
      {&de, 7, "Zeitpunkt der maxima- : 2021-12- 4  07:30:00.00  J.D.: 2459552.812500 TT"},
      {&en, 8, "Eclipse                : 2021-12- 4  07:30:00.00  J.D.: 2459552.812500 UT"},
      // Ephemeris at greatest eclipse (t = -0.5 h): Sun RA 249.98 deg = 16h39m55.2s.
      {&de, 10, "Scheinbare       Sonne:  16:39:55.200  st\xFCndl. Bewegung :  00:00:09.600"},
      {&de, 12, "sion"},
      {&de, 13, degreeUnits},
      {&en, 10, blanks + "h  m  s" + blanks + "h  m  s"},
      {&en, 11, "Right Ascension of Sun :  16:39:55.200  Hourly motion    :  00:00:09.600"},
      {&en, 13, degreeUnits},
      {&en, 14, "Declination of Sun     : -22:17:56.40   Hourly motion    : -00:00:07.20"},
      {&de, 20, "parallaxe"},
      {&de, 22, "tan(f1) :  0.00470000   \xB5' : 15.00000000 \xB0/h   DeltaT : 0.00 s"},
      {&en, 22, "tan(f2) :  0.00468000   d' : -0.00500000 \xB0/h"},
      {&de, 26, "         Ephem.-        Welt-       Geogr.     Ephem.-    Geogr. "},
      {&de, 27, "          zeit          zeit        Breite     L\xE4nge      L\xE4nge  "},
      {&en, 25, "        Dynamical     Universal              Ephemeris    True"},
      {&en, 26, "          time          time       Latitude  Longitude  Longitude"},
      {&en, 27, "---   -----------   -----------   ---------  ---------  ---------"},
  };
  for (const Expected& e : expected) {
    ASSERT_LT(e.at, e.lines->size());
    EXPECT_EQ((*e.lines)[e.at], e.text) << "line " << e.at + 1;
  }
  EXPECT_EQ(degreeUnits.size(), 68u);
  // Both reports carry the same event lines.
  const std::vector<std::string> deEvents(de.begin() + 29, de.end());
  const std::vector<std::string> enEvents(en.begin() + 28, en.end());
  EXPECT_EQ(deEvents, enEvents);
}

TEST(ReportText, EventLinesInReportOrderWithTheirTimesAndPlaces) {
  const EclipseResult c = ComputeSynthetic(0.3, TimeScale::kUniversal);
  const auto en = SplitCrLf(MakeReports(c).english);
  // Greatest eclipse at 07:30:00 TT; UT is DeltaT earlier, not reduced again.
  const EclipseEvent& tg0 = c.circumstances.events[EventId::TG0];
  ASSERT_TRUE(tg0.exists());
  const std::string expectedTg0 = "TG0   07:30:00.00 " + FormatSexagesimal(7.5 - c.deltaT / 3600.0, 2) +
                                  "  " + FormatDegreesMinutes(tg0.Latitude * 57.29577951308232, 1) +
                                  " " + FormatDegreesMinutes(tg0.EphemerisLongitude * 57.29577951308232, 1) +
                                  " " + FormatDegreesMinutes(tg0.Longitude * 57.29577951308232, 1);
  EXPECT_EQ(en.back(), expectedTg0);
  EXPECT_EQ(MakeReports(c).english.substr(MakeReports(c).english.size() - 2), "\r\n");
  EXPECT_GT(c.deltaT, 60.0);

  // Labels appear in report order: TP group, TPN1 TPS1 TPN2 TPS2, TU, TUN1 TUS1 TUN2 TUS2, TC, TG0.
  std::vector<std::string> labels;
  for (const auto& line : en) {
    if (line.size() > 4 && line[0] == 'T' && line[4] == ' ' && line[5] == ' ') {
      labels.push_back(line.substr(0, 4));
    }
  }
  const std::vector<std::string> order = {"TP1 ", "TP2 ", "TP3 ", "TP4 ", "TPN1", "TPS1",
                                          "TPN2", "TPS2", "TU1 ", "TU2 ", "TU3 ", "TU4 ",
                                          "TUN1", "TUS1", "TUN2", "TUS2", "TC1 ", "TC2 ", "TG0 "};
  std::size_t next = 0;
  for (const auto& label : labels) {
    while (next < order.size() && order[next] != label) ++next;
    EXPECT_LT(next, order.size()) << label << " out of order";
  }
  EXPECT_EQ(labels.front(), "TP1 ");
  EXPECT_EQ(labels.back(), "TG0 ");
  // Every event found has a line, every missing one (but TP1, TP4) none.
  for (int k = 0; k < kEventCount - 1; ++k) {
    const std::string label(kEventLabels[static_cast<std::size_t>(k)]);
    const bool listed = std::find(labels.begin(), labels.end(), label) != labels.end();
    EXPECT_EQ(listed, c.circumstances.events.entries[static_cast<std::size_t>(k)].exists())
        << label;
  }
}

TEST(ReportText, NonCentralEclipseEndsWithTheBareGreatestEclipseTimes) {
  const EclipseResult c = ComputeSynthetic(1.2, TimeScale::kTerrestrial);
  EXPECT_FALSE(c.circumstances.events[EventId::TG0].exists());
  EXPECT_FALSE(c.circumstances.events[EventId::TG0].exists());
  EXPECT_FALSE(c.circumstances.events[EventId::TC1].exists());
  EXPECT_DOUBLE_EQ(c.circumstances.timeGreatest, -0.5);  // kept for the drawing and the sheet
  const std::string tail = "TG0   07:30:00.00   07:30:00.00";
  const EclipseReports reports = MakeReports(c);
  for (const std::string* report : {&reports.german, &reports.english}) {
    ASSERT_GE(report->size(), tail.size());
    EXPECT_EQ(report->substr(report->size() - tail.size()), tail);
  }
  EXPECT_EQ(CornerPointsText(c.circumstances.events, c.elements, c.deltaT).find("(P19)"),
            std::string::npos);
}

// Greatest eclipse exactly at the record's epoch is an event like any other:
// its instant 0 does not make it absent.
TEST(ReportText, GreatestEclipseAtTheEpochIsAnEvent) {
  EclipseRecord r = testing::SyntheticEclipse();
  r.XPoly.c[0] = 0.0;  // the axis passes nearest the centre at t = 0 (08:00 TT)
  const EclipseResult c = ComputeEclipse(PrepareEclipse(r, TimeScale::kTerrestrial, 1));
  ASSERT_EQ(c.circumstances.timeGreatest, 0.0);
  const EclipseEvent& tg0 = c.circumstances.events[EventId::TG0];
  ASSERT_TRUE(tg0.exists());
  EXPECT_EQ(*tg0.Time, 0.0);
  EXPECT_NE(CornerPointsText(c.circumstances.events, c.elements, c.deltaT).find("(P19)"),
            std::string::npos);
  const auto en = SplitCrLf(MakeReports(c).english);
  ASSERT_FALSE(en.empty());
  EXPECT_EQ(en.back(), "TG0   08:00:00.00   08:00:00.00  " +
                           FormatDegreesMinutes(tg0.Latitude * kRadToDeg, 1) + " " +
                           FormatDegreesMinutes(tg0.EphemerisLongitude * kRadToDeg, 1) + " " +
                           FormatDegreesMinutes(tg0.Longitude * kRadToDeg, 1));
}

TEST(ReportText, NoConjunctionWithinTwoHoursPrintsTheSentinelInstant) {
  EclipseRecord r = testing::SyntheticEclipse();
  r.MoonRAPoly.c[0] = 262.0;  // the Moon stays east of the Sun from -2 h to +2 h
  const EclipseResult c = ComputeEclipse(PrepareEclipse(r, TimeScale::kTerrestrial, 1));
  EXPECT_FALSE(c.circumstances.timeConjunction.has_value());
  const auto de = SplitCrLf(MakeReports(c).german);
  ASSERT_GT(de.size(), 5u);
  // 100 hours after 08:00 TT on December 4.
  EXPECT_EQ(de[4], "Geozentrische Konjunk-: 2021-12- 8  12:00:00.00  J.D.: 2459557.000000 TT");
}

// Records no real eclipse has must still end: every search is capped.
TEST(ReportText, DegenerateRecordsEndWithoutEvents) {
  EclipseRecord zero;
  std::memset(&zero, 0, sizeof zero);
  EclipseRecord notANumber = testing::SyntheticEclipse();
  notANumber.YPoly.c[0] = std::nan("");
  EclipseRecord far = testing::SyntheticEclipse();
  far.YPoly.c[0] = 1e6;
  for (const EclipseRecord* r : {&zero, &notANumber, &far}) {
    // The catalogue refuses such records before anything computes with them.
    EXPECT_TRUE(RecordProblem(*r).has_value());
    // Computed anyway, the computation ends; a value that is not a number is
    // refused by the formatters rather than printed.
    EclipseResult c;
    std::string english;
    try {
      c = ComputeEclipse(PrepareEclipse(*r, TimeScale::kUniversal, 1));
      english = MakeReports(c).english;
    } catch (const std::domain_error&) {
      continue;
    }
    EXPECT_FALSE(c.circumstances.events[EventId::TC1].exists());
    EXPECT_TRUE(c.circumstances.complete);
    EXPECT_FALSE(c.curves.centralLine.Ready());
    EXPECT_EQ(english.find("nan"), std::string::npos);
  }
}

TEST(ReportText, OnlyWindows1252BytesAndCrLfLineEnds) {
  const EclipseResult c = ComputeSynthetic(0.3, TimeScale::kUniversal);
  const EclipseReports reports = MakeReports(c);
  for (const std::string* report : {&reports.german, &reports.english}) {
    for (std::size_t i = 0; i < report->size(); ++i) {
      const char ch = (*report)[i];
      if (ch == '\n') {
        EXPECT_TRUE(i > 0 && (*report)[i - 1] == '\r') << "bare LF at " << i;
      }
      if (ch == '\r') {
        EXPECT_TRUE(i + 1 < report->size() && (*report)[i + 1] == '\n') << "bare CR at " << i;
      }
      EXPECT_NE(static_cast<unsigned char>(ch), 0xC3) << "UTF-8 lead byte at " << i;
      EXPECT_NE(static_cast<unsigned char>(ch), 0xC2) << "UTF-8 lead byte at " << i;
    }
  }
  EXPECT_NE(MakeReports(c).german.find("\xC4quatoriale      Sonne:"), std::string::npos);
  EXPECT_EQ(MakeReports(c).german.find("h  m  s"), std::string::npos);
  EXPECT_EQ(MakeReports(c).english.find("sion\r\n"), std::string::npos);
  EXPECT_EQ(MakeReports(c).english.find("parallaxe"), std::string::npos);
}

TEST(FileLines, PointCentralLineAndCornerPointLayouts) {
  // A quarter of an hour of DeltaT turns the Earth by 1.0027379 * 3.75 degrees.
  const double deltaT = 900.0;
  const CurvePoint p{10.0 * kDegToRad, -5.5 * kDegToRad};
  EXPECT_EQ(PointLine(p, 0.0, true), "10.00000\t-5.50000");
  EXPECT_EQ(PointLine(p, deltaT, true), "13.76027\t-5.50000");
  EXPECT_EQ(PointLine(p, deltaT, false), "10.00000\t-5.50000");

  const BesselianElements eclipse = testing::SyntheticElements();
  CentralLinePoint point;
  point.Longitude = 10.25 * kDegToRad;
  point.Latitude = -20.5 * kDegToRad;
  point.Time = -0.5;  // 07:30 TT
  point.DurationMinutes = 2.5;
  point.WidthKm = 123.45;
  point.SunAltitudeDeg = 42.26;
  EXPECT_EQ(CentralLineLine(point, eclipse, 0.0),
            "2459552.81250000  2021 12  4   7.5000000   10.25000  -20.50000  -0.000 -179.9"
            " -0.000   07:30:00.000   10:15:00.000  -20:30:00.000    02:30.0  123.5 42.3");

  EclipseEvents events;
  events[EventId::TP1].Time = -0.5;
  events[EventId::TP1].Longitude = 10.25 * kDegToRad;
  events[EventId::TP1].EphemerisLongitude = 9.0 * kDegToRad;
  events[EventId::TP1].Latitude = -20.5 * kDegToRad;
  events[EventId::TG0].Time = 0.25;  // 08:15 TT, 08:00 UT with DeltaT 900 s
  events[EventId::TG0].Longitude = -100.5 * kDegToRad;
  events[EventId::TG0].Latitude = 5.0 * kDegToRad;
  const std::string corner = CornerPointsText(events, eclipse, deltaT);
  EXPECT_EQ(corner,
            "2459552.80208333  2021 12  4   7.2500000   10.25000  -20.50000  -0.000 -179.9"
            " -0.000   07:15:00.000   10:15:00.000  -20:30:00.000 (P01)\r\n"
            "2459552.83333333  2021 12  4   8.0000000 -100.50000    5.00000  -0.000 -179.9"
            " -0.000   08:00:00.000 -100:30:00.000   05:00:00.000 (P19)\r\n");
}

TEST(FileLines, EventAngleTextsUseTheDegreeByte) {
  EXPECT_EQ(EventAngleText(12.5), "12\xB0" "30.0'");
  EXPECT_EQ(EventAngleText(-5.25), "-05\xB0" "15.0'");
  EXPECT_EQ(EventAngleText(-123.25), "-123\xB0" "15.0'");
}

class OutputFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("darvelle-geometry-files-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  fs::path dir_;
};

TEST_F(OutputFolder, CentralEclipseWritesReportsCornerPointsAndItsCurves) {
  // Left over from an earlier eclipse: must be gone afterwards.
  for (const char* stale : {"NorthPen.txt", "MaxHoriN.TXT", "MaxHoriN.txt", "UmbraCrc.txt"}) {
    std::ofstream(dir_ / stale) << "old";
  }
  const EclipseResult c = ComputeEclipse(PrepareEclipse(testing::SyntheticEclipse(0.3), TimeScale::kUniversal, 1));
  DeleteComputationFiles(dir_);
  WriteComputationFiles(c, dir_);
  std::vector<std::string> expected = {"Eckpunkt.txt", "SunEclipse4_DE.TXT",
                                       "SunEclipse4_EN.TXT"};
  const std::pair<const PointCurve*, std::string> curves[] = {
      {&c.curves.northUmbra, "NorthUmb.txt"},      {&c.curves.southUmbra, "SouthUmb.txt"},
      {&c.curves.northPenumbra, "NorthPen.txt"},   {&c.curves.southPenumbra, "SouthPen.txt"},
      {&c.curves.maxHorizonNorth, "MaxHoriN.txt"}, {&c.curves.maxHorizonSouth, "MaxHoriS.txt"},
      {&c.curves.maxSunrise, "MaxSunrise.txt"},    {&c.curves.maxSunset, "MaxSunset.txt"}};
  for (const auto& [curve, name] : curves) {
    if (curve->Ready()) {
      expected.push_back(name);
      const bool ephemeris = name == "NorthPen.txt" || name == "SouthPen.txt";
      EXPECT_EQ(ReadFile(dir_ / name), PointFileText(*curve, c.deltaT, !ephemeris)) << name;
    }
  }
  for (int n = 1; n <= 6; ++n) {
    if (c.curves.RiseSet(n).Ready()) expected.push_back(RiseSetFileName(n));
  }
  ASSERT_TRUE(c.curves.centralLine.Ready());
  expected.push_back("CLinData.txt");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Names(), expected);
  EXPECT_EQ(ReadFile(dir_ / "SunEclipse4_DE.TXT"), MakeReports(c).german);
  EXPECT_EQ(ReadFile(dir_ / "Eckpunkt.txt"),
            CornerPointsText(c.circumstances.events, c.elements, c.deltaT));
}

// A failure anywhere in the new set (here a disk that fills up half-way)
// leaves the earlier eclipse's files exactly as they were.
TEST_F(OutputFolder, AFailedWriteLeavesTheEarlierSetWhole) {
  WriteComputationFiles(ComputeEclipse(PrepareEclipse(testing::SyntheticEclipse(0.3), TimeScale::kUniversal, 1)), dir_);
  const std::vector<std::string> earlierNames = Names();
  std::map<std::string, std::string> earlier;
  for (const std::string& name : earlierNames) earlier[name] = ReadFile(dir_ / name);
  const EclipseResult next = ComputeEclipse(PrepareEclipse(testing::SyntheticEclipse(1.2), TimeScale::kUniversal, 1));
  try {
    testing::FileSizeLimit full(2000);
    WriteComputationFiles(next, dir_);
    ADD_FAILURE() << "no error";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("File too large"), std::string::npos) << e.what();
  }
  EXPECT_EQ(Names(), earlierNames);
  for (const std::string& name : earlierNames) EXPECT_EQ(ReadFile(dir_ / name), earlier[name]) << name;
}

TEST_F(OutputFolder, AFinishedComputationWritesTheSameFilesIntoAnotherFolder) {
  const fs::path other = dir_ / "chosen";
  fs::create_directories(other);
  std::ofstream(other / "notes.txt") << "the user's own";
  std::ofstream(other / "MaxHoriN.TXT") << "the old spelling";
  // A central eclipse, then a partial one into the same folder: the second
  // leaves no umbral limit of the first behind.
  for (const double axisY : {0.3, 1.2}) {
    SCOPED_TRACE(axisY);
    const EclipseResult c =
        ComputeEclipse(PrepareEclipse(testing::SyntheticEclipse(axisY), TimeScale::kUniversal, 1));
    DeleteComputationFiles(dir_);
    WriteComputationFiles(c, dir_);
    std::vector<std::string> expected = Names();
    expected.erase(std::remove(expected.begin(), expected.end(), "chosen"), expected.end());
    EXPECT_EQ(axisY == 0.3, std::count(expected.begin(), expected.end(), "NorthUmb.txt") == 1);
    WriteComputationFiles(c, other);
    for (const std::string& name : expected) {
      EXPECT_EQ(ReadFile(other / name), ReadFile(dir_ / name)) << name;
    }
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(other)) names.push_back(entry.path().filename());
    expected.push_back("notes.txt");
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    EXPECT_EQ(ReadFile(other / "notes.txt"), "the user's own");
  }
  EXPECT_THROW(WriteComputationFiles(EclipseResult{}, dir_ / "missing"), FileError);
}

TEST_F(OutputFolder, MissingFolderIsAFileErrorWithTheName) {
  EXPECT_THROW(WriteFileAtomically(dir_ / "missing" / "x.txt", "abc"), FileError);
  try {
    WriteFileAtomically(dir_ / "missing" / "x.txt", "abc");
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("x.txt"), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("No such file"), std::string::npos) << e.what();
  }
  WriteFileAtomically(dir_ / "x.txt", std::string("a\0b", 3));
  EXPECT_EQ(ReadFile(dir_ / "x.txt"), std::string("a\0b", 3));
}

}  // namespace
}  // namespace darvelle
