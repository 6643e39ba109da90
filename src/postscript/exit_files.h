#pragma once
// The files both exit commands leave in the temporary folder: the legend
// picture "Darvelle.bmp" always; then "Exit (write ps)" writes the map sheet
// "Darvelle.ps" and plain "Exit" deletes a sheet left by an earlier run. The
// window and darvelle-cli call these, so both write the same files.

#include <QImage>
#include <QString>

#include <filesystem>
#include <string>
#include <string_view>

#include "geometry/eclipse_computation.h"
#include "io/output_file_names.h"
#include "postscript/map_sheet.h"
#include "render/map.h"

namespace darvelle {

// The sheet's view of the renderer's last drawing. The picture points into
// `pixels`, which holds the drawing image (converted to RGB when the drawing
// image has another format) and must outlive the returned view.
SheetView SheetViewOf(const MapRenderer& renderer, const ViewEditTexts& edits, QImage& pixels);

// Saves an image as a BMP file (SaveImageFile of render/image_file.h); throws
// FileError naming the file and the cause.
void SaveBitmap(const QImage& image, const std::filesystem::path& file);

// Composes the legend picture (title in the user's language, as the window
// shows it) and saves it as folder/"Darvelle.bmp". Returns the file.
std::filesystem::path SaveLegendBitmap(MapRenderer& renderer, const EclipseResult& c,
                                       const QString& title, const ViewEditTexts& edits,
                                       const std::filesystem::path& folder);

struct ExitFiles {
  std::filesystem::path bitmap;
  std::filesystem::path sheet;  // written ("Exit (write ps)") or removed ("Exit")
};

// "Exit": the legend bitmap, then folder/"Darvelle.ps" removed (a missing
// sheet is no error; one that cannot be removed throws FileError).
ExitFiles WriteExitFiles(MapRenderer& renderer, const EclipseResult& c, const QString& title,
                         const ViewEditTexts& edits, const std::filesystem::path& folder);

// "Exit (write ps)": the legend bitmap, then the map sheet of the last
// drawing. The bitmap is written first, as the window has always done, so a
// failing sheet still leaves it.
ExitFiles WriteExitFilesWithSheet(MapRenderer& renderer, const EclipseResult& c,
                                  const QString& title, const ViewEditTexts& edits,
                                  const std::filesystem::path& folder,
                                  const SheetOptions& options = {});

}  // namespace darvelle
