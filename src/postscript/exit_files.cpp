#include "postscript/exit_files.h"

#include <system_error>

#include "catalogue/data_files.h"
#include "render/image_file.h"

namespace darvelle {

SheetView SheetViewOf(const MapRenderer& renderer, const ViewEditTexts& edits, QImage& pixels) {
  SheetView view;
  if (const auto& last = renderer.LastView()) {
    view.psi = last->TotalPsi();
    view.phi = last->TotalPhi();
    view.orthographic = !last->Stereographic();
  }
  view.editPsi = edits.psi;
  view.editPhi = edits.phi;
  view.editChi = edits.chi;
  view.editGlobeSize = edits.rk;

  const QImage& drawing = renderer.DrawingImage();
  if (drawing.isNull()) return view;  // nothing drawn yet: the sheet shows a white picture
  pixels = drawing.format() == QImage::Format_RGB888 ? drawing
                                                     : drawing.convertToFormat(QImage::Format_RGB888);
  view.picture.pixels = pixels.constBits();
  view.picture.width = pixels.width();
  view.picture.height = pixels.height();
  view.picture.bytesPerLine = pixels.bytesPerLine();
  view.picture.bgr = false;
  return view;
}

void SaveBitmap(const QImage& image, const std::filesystem::path& file) {
  SaveImageFile(image, file, "BMP");
}

std::filesystem::path SaveLegendBitmap(MapRenderer& renderer, const EclipseResult& c,
                                       const QString& title, const ViewEditTexts& edits,
                                       const std::filesystem::path& folder) {
  renderer.ComposeLegendImage(c, title, edits);
  const auto file = folder / kLegendBitmapFileName;
  SaveBitmap(renderer.DisplayImage(), file);
  return file;
}

ExitFiles WriteExitFiles(MapRenderer& renderer, const EclipseResult& c, const QString& title,
                         const ViewEditTexts& edits, const std::filesystem::path& folder) {
  ExitFiles files;
  files.bitmap = SaveLegendBitmap(renderer, c, title, edits, folder);
  files.sheet = folder / kSheetFileName;
  std::error_code ec;
  std::filesystem::remove(files.sheet, ec);  // false without error when it is missing
  if (ec) {
    throw FileError("Cannot delete \"" + files.sheet.string() + "\": " + ec.message());
  }
  return files;
}

ExitFiles WriteExitFilesWithSheet(MapRenderer& renderer, const EclipseResult& c,
                                  const QString& title, const ViewEditTexts& edits,
                                  const std::filesystem::path& folder,
                                  const SheetOptions& options) {
  ExitFiles files;
  files.bitmap = SaveLegendBitmap(renderer, c, title, edits, folder);
  files.sheet = folder / kSheetFileName;
  QImage pixels;
  const SheetView view = SheetViewOf(renderer, edits, pixels);
  WritePostScriptSheet(c, view, files.sheet, options);
  return files;
}

}  // namespace darvelle
