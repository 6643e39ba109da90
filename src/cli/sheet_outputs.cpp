#include "cli/sheet_outputs.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "catalogue/data_files.h"
#include "cli/map_outputs.h"
#include "io/atomic_file.h"
#include "io/output_folder.h"
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

// The sheet of the map that --map would draw, written into `out`, a path
// or an AtomicFile.
template <typename Out>
void WriteSheetOf(const EclipseResult& c, const ComputeOptions& options, Out& out) {
  const GuiSession session;
  MapRenderer renderer;
  DrawMapFor(renderer, c, options);
  const ViewEditTexts edits = EditTextsFor(options);
  QImage pixels;
  WritePostScriptSheet(c, SheetViewOf(renderer, edits, pixels), out);
}

void WriteSheet(const EclipseResult& c, const ComputeOptions& options, const std::string& file) {
  const fs::path target(file);
  WriteSheetOf(c, options, target);
}

// Converts the sheet of --sheet, or one written for the purpose into a
// temporary beside the PDF, which is dropped afterwards.
void WritePdf(const EclipseResult& c, const ComputeOptions& options, const std::string& file) {
  if (const auto sheet = OptionValue(options, "sheet")) {
    ConvertSheetToPdf(*sheet, file, std::nullopt, {SheetTitle(c)});
    return;
  }
  const fs::path pdf(file);
  // The sheet is only Ghostscript's input: it waits in the temporary folder,
  // never beside a PDF that may be a device or a pipe.
  AtomicFile sheet(fs::path(TempFolderFor(std::getenv("TMPDIR"))) / (pdf.filename().string() + ".ps"));
  WriteSheetOf(c, options, sheet);
  ConvertSheetToPdf(sheet.TemporaryPath(), pdf, std::nullopt, {SheetTitle(c)});
}

}  // namespace

std::vector<ComputeOutput> SheetOutputs() {
  // --sheet first: --pdf converts the sheet it wrote.
  return {
      {"sheet", "FILE", "the PostScript map sheet of that map (English, 4 pages, 3 with --tt)",
       WriteSheet, true},
      {"pdf", "FILE", "the map sheet as PDF, converted by Ghostscript (gs on PATH)", WritePdf, true},
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
