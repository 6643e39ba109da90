#pragma once
// The names of every file the program writes into an output folder, each
// spelled once. The writers, the deleters, darvelle-cli and the window take
// them from here, so a name cannot be written one way and deleted another.
// Other programs read these files by name: the names do not change.

#include <array>
#include <filesystem>
#include <string_view>

namespace darvelle {

// The files of one computation (report and curve files), single-byte text.
inline constexpr std::string_view kReportGermanFileName = "SunEclipse4_DE.TXT";
inline constexpr std::string_view kReportEnglishFileName = "SunEclipse4_EN.TXT";
inline constexpr std::string_view kCornerPointsFileName = "Eckpunkt.txt";
inline constexpr std::string_view kCentralLineFileName = "CLinData.txt";
inline constexpr std::string_view kNorthUmbraFileName = "NorthUmb.txt";
inline constexpr std::string_view kSouthUmbraFileName = "SouthUmb.txt";
inline constexpr std::string_view kNorthPenumbraFileName = "NorthPen.txt";
inline constexpr std::string_view kSouthPenumbraFileName = "SouthPen.txt";
inline constexpr std::string_view kMaxHorizonNorthFileName = "MaxHoriN.txt";
inline constexpr std::string_view kMaxHorizonSouthFileName = "MaxHoriS.txt";
inline constexpr std::string_view kMaxSunriseFileName = "MaxSunrise.txt";
inline constexpr std::string_view kMaxSunsetFileName = "MaxSunset.txt";
// The six sunrise/sunset curves, numbered 1 .. 6.
inline constexpr std::array<std::string_view, 6> kRiseSetFileNames = {
    "Testfile.001", "Testfile.002", "Testfile.003", "Testfile.004", "Testfile.005", "Testfile.006"};

// The headline numbers of one computation (JSON, UTF-8), written beside the
// report files when asked for; not one of the files above, which other
// programs read by name and layout.
inline constexpr std::string_view kSummaryFileName = "summary.json";

// The exit commands' files: the map with its legend, and the PostScript sheet.
inline constexpr std::string_view kLegendBitmapFileName = "Darvelle.bmp";
inline constexpr std::string_view kSheetFileName = "Darvelle.ps";

// The GIS files of each eclipse's folder of darvelle-cli batch.
inline constexpr std::string_view kBatchGeoJsonFileName = "eclipse.geojson";
inline constexpr std::string_view kBatchKmlFileName = "eclipse.kml";

// The names a computation's files are cleared by, before the next computation
// and at exit, in the order the program has always deleted them. Besides every
// name a computation writes, two circle files nothing writes any more, and the
// two horizon files as the program's deletion list has always spelled them, in
// capitals: where the file system ignores case those are the written files,
// so a writer that clears other eclipses' files must compare the files, not
// the names (reports/computation_files.cpp).
inline constexpr std::array<std::string_view, 22> kComputationFileNames = {
    kReportGermanFileName,    kReportEnglishFileName,   kRiseSetFileNames[0],
    kRiseSetFileNames[1],     kRiseSetFileNames[2],     kRiseSetFileNames[3],
    kRiseSetFileNames[4],     kRiseSetFileNames[5],     kMaxHorizonNorthFileName,
    kMaxHorizonSouthFileName, kNorthPenumbraFileName,   kNorthUmbraFileName,
    kCentralLineFileName,     kSouthUmbraFileName,      kSouthPenumbraFileName,
    "UmbraCrc.txt",           "PenumCrc.txt",           kCornerPointsFileName,
    kMaxSunriseFileName,      kMaxSunsetFileName,       "MaxHoriN.TXT",
    "MaxHoriS.TXT"};

// Every name above: what a folder of the program's own output may hold.
inline constexpr std::array<std::string_view, 26> kOutputFileNames = [] {
  std::array<std::string_view, 26> names{};
  std::size_t next = 0;
  for (const std::string_view name : kComputationFileNames) names[next++] = name;
  for (const std::string_view name :
       {kLegendBitmapFileName, kSheetFileName, kBatchGeoJsonFileName, kBatchKmlFileName}) {
    names[next++] = name;
  }
  return names;
}();

// Removes every file of kComputationFileNames from `folder`, in that order;
// missing files, and files that cannot be removed, are passed over. Nothing
// else in the folder is touched.
void DeleteComputationFiles(const std::filesystem::path& folder);

}  // namespace darvelle
