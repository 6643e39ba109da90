#include "cli/sheet_outputs.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

#include "catalogue/data_files.h"
#include "cli/map_outputs.h"
#include "postscript/exit_files.h"
#include "postscript/map_sheet.h"
#include "postscript/pdf_export.h"
#include "render/coastline_file.h"
#include "render/map.h"
#include "render/texture_file.h"

namespace darvelle::cli {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> OptionValue(const ComputeOptions& options, const char* name) {
  const auto it = options.outputValues.find(name);
  if (it == options.outputValues.end()) return std::nullopt;
  return it->second;
}

// The drawing uses QPainter; a QGuiApplication on the offscreen platform
// lives while the map is drawn unless the caller already has one.
class GuiSession {
 public:
  GuiSession() {
    if (QGuiApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }

 private:
  int argc_ = 1;
  char name_[16] = "darvelle-cli";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};

// The sheet of the map that --map would draw, written to `file`.
void WriteSheetFile(const EclipseComputation& c, const ComputeOptions& options,
                    const fs::path& file) {
  const GuiSession session;
  const ViewParameters view = MapViewFor(options);
  EarthTexture texture;
  if (view.ColoredEarth) {
    const TextureLoadResult loaded =
        LoadTexture(FindDataFile(kTextureFileName, options.dataFolder), texture);
    if (!loaded.decoded) throw FileError(loaded.message);
  }
  const CoastlineLayer coastlines(
      LoadCoastlines(FindDataFile(kCoastlineFileName, options.dataFolder)));
  MapRenderer renderer;
  renderer.DrawMap(c, view, texture, coastlines);

  // The view texts as typed, as the window's edits would hold them.
  ViewEditTexts edits = ViewEditTexts::FromParameters(view);
  if (auto v = OptionValue(options, "psi")) edits.psi = *v;
  if (auto v = OptionValue(options, "phi")) edits.phi = *v;
  if (auto v = OptionValue(options, "chi")) edits.chi = *v;
  if (auto v = OptionValue(options, "size")) edits.rk = *v;
  QImage pixels;
  WritePostScriptSheet(c, SheetViewOf(renderer, edits, pixels), file);
}

void WriteSheet(const EclipseComputation& c, const ComputeOptions& options,
                const std::string& file) {
  WriteSheetFile(c, options, file);
}

// Converts the sheet of --sheet, or a temporary one beside the PDF.
void WritePdf(const EclipseComputation& c, const ComputeOptions& options,
              const std::string& file) {
  if (const auto sheet = OptionValue(options, "sheet")) {
    ConvertSheetToPdf(*sheet, file);
    return;
  }
  fs::path temporary = file;
  temporary += ".ps.tmp" + std::to_string(::getpid());
  try {
    WriteSheetFile(c, options, temporary);
    ConvertSheetToPdf(temporary, file);
  } catch (...) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    throw;
  }
  std::error_code ignored;
  fs::remove(temporary, ignored);
}

}  // namespace

std::vector<ComputeOutput> SheetOutputs() {
  // --sheet first: --pdf converts the sheet it wrote.
  return {
      {"sheet", true, "FILE  the PostScript map sheet of that map (English, 4 pages, 3 with --tt)",
       WriteSheet},
      {"pdf", true, "FILE  the map sheet as PDF, converted by Ghostscript (gs on PATH)", WritePdf},
  };
}

void CheckSheetOptions(const ComputeOptions& options) {
  if (!options.outputValues.contains("pdf")) return;
  const char* path = std::getenv("PATH");
  if (!FindProgramOnPath("gs", path != nullptr ? path : "")) {
    throw std::runtime_error(
        "--pdf needs Ghostscript (gs), which was not found on PATH; install Ghostscript "
        "(Debian package ghostscript) or write the PostScript sheet with --sheet FILE.ps");
  }
}

}  // namespace darvelle::cli
