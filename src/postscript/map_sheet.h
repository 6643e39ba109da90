#pragma once
// The PostScript map sheet "Darvelle.ps": a portrait page with the globe
// picture and the eclipse's data, landscape pages of the general
// circumstances (UT only when the time scale is UT, then TT) and a page of the
// record's polynomials and Besselian elements. A snapshot of one computed
// eclipse; the sheet computes nothing of the eclipse itself.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "geometry/eclipse_computation.h"
#include "io/atomic_file.h"
#include "io/output_file_names.h"

namespace darvelle {

// Where the sheet takes the map from: the full-size drawing image (without
// the legend), 3 bytes per pixel, top row first.
struct SheetPicture {
  const std::uint8_t* pixels = nullptr;  // no picture: the sheet shows a white one
  int width = 1600;
  int height = 1066;
  std::ptrdiff_t bytesPerLine = 1600 * 3;
  bool bgr = false;  // byte order B, G, R instead of R, G, B
};

// What the window showed when the sheet was asked for.
struct SheetView {
  double psi = 0.0;  // total view longitude of the last drawing, radians
  double phi = 0.0;  // total view latitude, radians
  // The texts of the view edits, printed as they stand.
  std::string editPsi = "0.0";
  std::string editPhi = "0.0";
  std::string editChi = "0.0";
  std::string editGlobeSize = "500";
  bool orthographic = true;
  SheetPicture picture;
};

struct SheetOptions {
  // The Type 1 font embedded as Ethnocentric; DefaultFontFile() when unset.
  std::optional<std::filesystem::path> fontFile;
};

// Folder of "Ethnocentric.pfa": $DARVELLE_FONT_DIR when set and not empty,
// otherwise the first data folder (DataSearchFolders) that holds the file,
// otherwise the first data folder (where the file is then missing).
std::filesystem::path DefaultFontFile();

// The one-line notice of this program in the sheet's footers.
std::string SheetNotice();

// "Total solar eclipse 2024-04-08": the title of a PDF of the sheet, in the
// sheet's language, with the catalogue's date (astronomical year).
std::string SheetTitle(const EclipseResult& computation);

// Writes the whole sheet to `target` (normally the output folder's
// "Darvelle.ps") through an AtomicFile (io/atomic_file.h). Throws FileError naming the file and the cause; a failed sheet
// leaves the target as it was and no temporary file behind. The time scale is
// the computation's (UT: four pages, TT: three).
void WritePostScriptSheet(const EclipseResult& computation, const SheetView& view,
                          const std::filesystem::path& target, const SheetOptions& options = {});

// The same sheet written into `out`, which the caller commits or drops: for a
// sheet that is only the source of another file (the PDF).
void WritePostScriptSheet(const EclipseResult& computation, const SheetView& view, AtomicFile& out,
                          const SheetOptions& options = {});

// The same document as text, for callers that want it in memory.
std::string PostScriptSheetText(const EclipseResult& computation, const SheetView& view,
                                const SheetOptions& options = {});

}  // namespace darvelle
