#include "postscript/map_sheet.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <vector>

#include "astro/calendar.h"
#include "astro/format.h"
#include "astro/instant.h"
#include "astro/iso_time.h"
#include "catalogue/data_files.h"
#include "catalogue/eclipse_texts.h"
#include "darvelle/version.h"
#include "postscript/sheet_format.h"
#include "postscript/sheet_pages.h"
#include "reports/report_files.h"

namespace darvelle {
namespace {

// The sheet's user window: centimetres on A4 from the top-left corner.
constexpr double kSheetLeft = 0.0;
constexpr double kSheetBottom = 29.7;
constexpr double kSheetRight = 21.0;
constexpr double kSheetTop = 0.0;

// Pixels per line of the picture's hex data (16 pixels = 96 digits).
constexpr int kPixelsPerHexLine = 16;

SheetDate DateOf(double julianDay) {
  const CalendarInstant c = JulianDayToCalendar(julianDay);
  return {c.year, c.month, c.day};
}

void WriteDateLine(POST_lib& ps, const SheetInput& in) {
  const EclipseResult& c = in.computation;
  const double jd0 = c.elements.julianDay;
  auto universal = [&](double hours) { return Instant::FromEpochHours(jd0, hours).JulianDayUT(in.deltaT); };
  const EclipseEvents& events = c.circumstances.events;
  const double greatestTime = events.Time(EventId::TG0).value_or(c.circumstances.timeGreatest);
  const DateLine line =
      BuildDateLine(DateOf(universal(PrintedInstant(events[EventId::TP1]))),
                    DateOf(universal(PrintedInstant(events[EventId::TP4]))),
                    DateOf(universal(greatestTime)), in.timeScale);
  ps.PS_MoveTo(10.5 - 0.166 * static_cast<double>(line.text.size()), 2.77);
  for (std::size_t i = 0; i < line.text.size(); ++i) {
    if (line.mask[i] == '0') {
      ps.PS_FontArialNarrow(20);
    } else {
      ps.PS_FontArialNarrowBold(24);
    }
    ps.PS_WriteLine(std::string("(") + line.text[i] + ") show");
  }
}

// The map as an RGB image, two hex digits per byte, 16 pixels a line.
void WritePicture(POST_lib& ps, const SheetPicture& picture) {
  const int width = picture.width;
  const int height = picture.height;
  const std::string w = std::to_string(width);
  const std::string h = std::to_string(height);
  ps.PS_WriteBytes("gsave");
  ps.PS_WriteBytes("/imgdata " + w + " " + h + " 3 mul mul string def");
  ps.PS_WriteBytes("37 745 translate");
  ps.PS_WriteBytes("2.6 2.6 scale");
  ps.PS_WriteBytes(w + " " + h + " 8 [8 0 0 -8 0 8]");
  ps.PS_WriteBytes("{currentfile imgdata readhexstring pop} false 3 colorimage");

  std::array<char, 512> hexPairs{};
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (int b = 0; b < 256; ++b) {
    hexPairs[2 * b] = kDigits[b >> 4];
    hexPairs[2 * b + 1] = kDigits[b & 15];
  }
  const std::vector<std::uint8_t> white(static_cast<std::size_t>(width) * 3, 0xFF);
  char line[kPixelsPerHexLine * 6];
  int used = 0;  // characters in line
  int pixelsInLine = 0;
  const int red = picture.bgr ? 2 : 0;
  const int blue = picture.bgr ? 0 : 2;
  for (int row = 0; row < height; ++row) {
    const std::uint8_t* p = picture.pixels != nullptr
                                ? picture.pixels + static_cast<std::ptrdiff_t>(row) *
                                                       picture.bytesPerLine
                                : white.data();
    for (int col = 0; col < width; ++col, p += 3) {
      const char* r = &hexPairs[2 * p[red]];
      const char* g = &hexPairs[2 * p[1]];
      const char* b = &hexPairs[2 * p[blue]];
      line[used] = r[0];
      line[used + 1] = r[1];
      line[used + 2] = g[0];
      line[used + 3] = g[1];
      line[used + 4] = b[0];
      line[used + 5] = b[1];
      used += 6;
      if (++pixelsInLine == kPixelsPerHexLine) {
        ps.PS_WriteBytes(std::string_view(line, static_cast<std::size_t>(used)));
        used = 0;
        pixelsInLine = 0;
      }
    }
  }
  // What is left of the last line; empty when the pixel count is a multiple of 16.
  ps.PS_WriteBytes(std::string_view(line, static_cast<std::size_t>(used)));
  ps.PS_WriteBytes("grestore");
}

void WriteFirstPage(POST_lib& ps, const SheetInput& in, int& pageNumber) {
  const EclipseResult& c = in.computation;
  const BesselianElements& e = c.elements;
  ++pageNumber;
  ps.PS_WriteBytes("%%Page: " + std::to_string(pageNumber) + " " + std::to_string(pageNumber));
  ps.PS_WriteBytes("page-begin");

  double y = 0.2;
  ps.PS_FontArialBold(30);
  Put(ps, 10.5, 1.27 + y, SheetEclipseTypeName(e.kind, kEnglish), kTextCentred);
  y += 1.1;
  y += 0.2;

  WriteDateLine(ps, in);
  WritePicture(ps, in.view.picture);

  // View and graphics-state lines.
  y += 13.25;
  const SheetView& v = in.view;
  const bool viewUnturned = v.editPsi == "0.0" && v.editPhi == "0.0" && v.editChi == "0.0";
  std::string viewLine = viewUnturned ? " View centered at longitude "
                                      : "View initially centered at longitude ";
  viewLine += FixedText(v.psi * kRadToDeg, 2) + "\u00B0 / latitude " +
              FixedText(v.phi * kRadToDeg, 2) + "\u00B0    ";
  viewLine += v.orthographic ? "Orthographic representation" : "Stereographic representation";
  ps.PS_FontArial(10);
  ps.PS_WriteBytes("0.5 SG");
  Put(ps, 10.5, 1.27 + y, viewLine, kTextCentred);

  y += 0.4;
  const std::string stateLine = "Darvelle graphics state  Psi " + v.editPsi + "\u00B0  Phi " +
                                v.editPhi + "\u00B0  Chi " + v.editChi + "\u00B0  Globe size " +
                                v.editGlobeSize + " pixels";
  ps.PS_FontArial(10);
  ps.PS_WriteBytes("0.5 SG");
  Put(ps, 10.5, 1.27 + y, stateLine, kTextCentred);
  ps.PS_WriteBytes("0 SG");

  // Saros line, the member number with its ordinal suffix raised.
  ps.PS_FontArial(14);
  y += 0.8;
  Put(ps, 3.97, 1.27 + y, std::to_string(e.sarosMember), kTextLeft);
  ps.PS_FontArial(10);
  ps.PS_WriteBytes("0 5 rmoveto");
  ps.PS_WriteLine("(" + std::string(OrdinalSuffix(e.sarosMember)) + ") show");
  ps.PS_WriteBytes("0 -5 rmoveto");
  ps.PS_FontArial(14);
  ps.PS_WriteLine("( eclipse of " + std::to_string(e.sarosMemberCount) +
                  " eclipses belonging to Saros series " + std::to_string(e.saros) +
                  ") show");
  ps.PS_FontArial(11);
  ps.PS_WriteBytes("0 SG");

  if (in.timeScale == TimeScale::kUniversal) {
    ps.PS_FontArial(14);
    ps.PS_WriteBytes("0 SG");
    y += 0.9;
    const double row = 1.27 + y;
    Put(ps, 1.27, row, "Difference between Terrestrial Time and Universal Time ", kTextLeft);
    ps.PS_MoveTo(15.27, row + 0.15);
    ps.PS_FontSymbol(14);
    ps.PS_WriteBytes("(D) show");
    ps.PS_FontArial(14);
    ps.PS_MoveTo(15.67, row + 0.19);
    ps.PS_WriteBytes("(T) show");
    Put(ps, 18.47, row, FixedText(in.deltaT, 2), kTextRight);
    ps.PS_WriteBytes("( secs) show");
  } else {
    ps.PS_FontArial(14);
    ps.PS_WriteBytes("0 SG");
    y += 0.4;
  }

  y += 0.6;
  {
    const double row = 1.27 + y;
    Put(ps, 1.27, row, "Minimum distance of the shadow axis from the Earth center", kTextLeft);
    ps.PS_MoveTo(15.47, row + 0.15);
    ps.PS_FontSymbol(14);
    ps.PS_WriteBytes("(g) show");
    ps.PS_FontArial(14);
    Put(ps, 18.47, row, FixedText(e.gamma, 5), kTextRight);
    ps.PS_WriteBytes("( r) show");
    ps.PS_FontArial(10);
    ps.PS_WriteBytes("0 -5 rmoveto (E) show");
  }

  ps.PS_FontArial(14);
  y += 0.6;
  {
    const double row = 1.27 + y;
    // The catalogue numbers lunations as Meeus does (lunation 0 = 2000 January 6).
    Put(ps, 1.27, row, "Lunation number \\(according to Meeus", kTextLeft);
    ps.PS_FontArial(10);
    ps.PS_WriteBytes("0 5 rmoveto ( [a]) show");
    ps.PS_FontArial(14);
    ps.PS_WriteBytes("0 -5 rmoveto (\\)) show");
    Put(ps, 15.42, row, "k", kTextLeft);
    Put(ps, 18.47, row, std::to_string(e.lunation), kTextRight);
  }

  y += 1.2;
  WriteGeocentricBlock(ps, in, y);

  ps.PS_WriteBytes("0.5 SG");
  ps.PS_FontArial(10);
  ps.PS_SetLineWidth(0.5);
  ps.PS_MoveTo(1.27, 28.37);
  ps.PS_LineTo(19.73, 28.37);
  ps.PS_WriteBytes("ST");
  Put(ps, 1.27, 28.57, in.notice, kTextLeft);
  ps.PS_WriteBytes("page-end");
}

SheetInput GatherInput(const EclipseResult& c, const SheetView& view) {
  return SheetInput{
      c, view, c.atGreatest, c.timeScale, c.timeScale == TimeScale::kUniversal ? c.deltaT : 0.0, SheetNotice()};
}

void WriteSheet(POST_lib& ps, const EclipseResult& c, const SheetView& view,
                const SheetOptions& options) {
  const SheetInput in = GatherInput(c, view);
  const int pageCount = in.timeScale == TimeScale::kUniversal ? 4 : 3;
  int pageNumber = 0;

  ps.PS_WriteBytes("%!PS-Adobe-2.0");
  ps.PS_WriteBytes("%%Pages:" + std::to_string(pageCount));
  ps.PS_WriteBytes("");
  ps.PS_WriteBytes("%%Creator: Velkoran");
  ps.PS_WriteBytes("%%CreationDate: today");
  ps.PS_WriteBytes("%%Title: Normale POST_Lib-Routine");
  ps.PS_WriteBytes("%%BoundingBox: 3 3 591 839");
  ps.PS_WriteBytes("%%IncludeFeature: resolution (1200)");
  ps.PS_WriteBytes("%%EndComments");
  ps.PS_WriteBytes("/FontHeight 1 def");

  ps.PS_WriteProlog(options.fontFile ? *options.fontFile : DefaultFontFile());
  ps.PS_FontTimesRoman12();

  ps.PS_WriteBytes("/page-begin");
  ps.PS_WriteBytes("{gsave");
  ps.PS_WriteBytes("}def");
  ps.PS_WriteBytes("/page-end {grestore showpage}def");

  ps.PS_SetWindow(kSheetLeft, kSheetBottom, kSheetRight, kSheetTop);
  WriteFirstPage(ps, in, pageNumber);

  if (in.timeScale == TimeScale::kUniversal) {
    ps.PS_SetWindow(kSheetLeft, kSheetBottom, kSheetRight, kSheetTop);
    WriteCircumstancesPage(ps, in, TimeScale::kUniversal, pageNumber);
  }
  WriteCircumstancesPage(ps, in, TimeScale::kTerrestrial, pageNumber);
  WriteElementsPage(ps, in, pageNumber);

  ps.PS_WriteBytes("%%EOF");
}

}  // namespace

std::filesystem::path DefaultFontFile() {
  const char* env = std::getenv("DARVELLE_FONT_DIR");
  if (env != nullptr && *env != '\0') {
    return std::filesystem::path(env) / kEthnocentricFontFileName;
  }
  const auto folders = DataSearchFolders(std::nullopt);
  for (const auto& folder : folders) {
    std::error_code ec;
    const auto candidate = folder / kEthnocentricFontFileName;
    if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
  }
  return (folders.empty() ? std::filesystem::path(".") : folders.front()) /
         kEthnocentricFontFileName;
}

std::string SheetNotice() {
  return std::string(kProgramName) + " " + kProgramVersion +
         "  -  maps of solar eclipses computed from Besselian elements";
}

std::string SheetTitle(const EclipseResult& computation) {
  const BesselianElements& e = computation.elements;
  return std::string(EclipseTypeName(e.kind, kEnglish)) + " " + IsoDate(e.year, e.month, e.day);
}

std::string PostScriptSheetText(const EclipseResult& computation, const SheetView& view,
                                const SheetOptions& options) {
  POST_lib ps;
  WriteSheet(ps, computation, view, options);
  return ps.Contents();
}

void WritePostScriptSheet(const EclipseResult& computation, const SheetView& view,
                          const std::filesystem::path& target, const SheetOptions& options) {
  POST_lib ps(target);
  WriteSheet(ps, computation, view, options);
  ps.Close();
}

void WritePostScriptSheet(const EclipseResult& computation, const SheetView& view, AtomicFile& out,
                          const SheetOptions& options) {
  POST_lib ps(out);
  WriteSheet(ps, computation, view, options);
  ps.Close();
}

}  // namespace darvelle
