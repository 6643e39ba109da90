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

// The sheet of the map that --map would draw, written to `file`.
void WriteSheetFile(const EclipseComputation& c, const ComputeOptions& options,
                    const fs::path& file) {
  const GuiSession session;
  MapRenderer renderer;
  DrawMapFor(renderer, c, options);
  const ViewEditTexts edits = EditTextsFor(options);
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
      {"sheet", true, "the PostScript map sheet of that map (English, 4 pages, 3 with --tt)",
       WriteSheet},
      {"pdf", true, "the map sheet as PDF, converted by Ghostscript (gs on PATH)", WritePdf},
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
