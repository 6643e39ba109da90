// The window's side of the map: drawing into the renderer's images, the
// scaled copy in Panel2, the legend picture and the files written at exit.

#include <QResizeEvent>
#include <QStatusBar>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "catalogue/data_files.h"
#include "catalogue/eclipse_texts.h"
#include "catalogue/platform_folders.h"
#include "postscript/map_sheet.h"
#include "ui/main_window.h"
#include "ui/widgets.h"

namespace darvelle::ui {
namespace {

namespace fs = std::filesystem;

// Saves `image` as a BMP file: written beside the target under a temporary
// name and renamed, so a failure leaves no half-written bitmap.
void SaveBitmapFile(const QImage& image, const fs::path& file) {
  fs::path temporary = file;
  temporary += ".tmp" + std::to_string(::getpid());
  const QString name = QString::fromStdString(temporary.string());
  if (image.isNull() || !image.save(name, "BMP")) {
    const int cause = errno;
    std::error_code ignored;
    fs::remove(temporary, ignored);
    throw FileError("Cannot write the map bitmap \"" + file.string() + "\": " +
                    (image.isNull() ? std::string("there is no map to save") : std::strerror(cause)));
  }
  std::error_code ec;
  fs::rename(temporary, file, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    throw FileError("Cannot write the map bitmap \"" + file.string() + "\": " + ec.message());
  }
}

}  // namespace

ViewEditTexts TForm_Main::CurrentEditTexts() const {
  ViewEditTexts texts;
  texts.psi = Edit_Psi->text().toStdString();
  texts.phi = Edit_Phi->text().toStdString();
  texts.chi = Edit_Chi->text().toStdString();
  texts.rk = Edit_RK->text().toStdString();
  return texts;
}

void TForm_Main::ApplyStatusTexts(const StatusTexts& status) {
  for (int p = 0; p < kStatusPanelCount; ++p) {
    if (status.panels[static_cast<std::size_t>(p)]) {
      SetStatusPanel(p, QString::fromStdString(*status.panels[static_cast<std::size_t>(p)]));
    }
  }
  // The drawing's progress words ("Program running...", "Done.") would cover
  // the seventeen panels, which hold what the user reads; they are left out.
}

void TForm_Main::DrawMap() {
  if (CheckBox_Farbe->isChecked()) FinishTextureLoad();
  const ViewParameters view = ReadViewParameters();
  const StatusTexts status = renderer_->DrawMap(*computation_, view, view.ColoredEarth ? texture_ : noTexture_,
                                                coastlineLayer_,
                                                Panel2->width(), [this] { ProcessMessages(); });
  lastDrawnView_ = view;
  ApplyStatusTexts(status);
  Panel2->SetImage(renderer_->DisplayImage());
}

void TForm_Main::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  // The scaled copy follows the panel's width (between 1000 and 1440 pixels).
  // Not while a drawing is under way: its image is the one being drawn.
  if (computed_ && !busy_ && !closed_ && renderer_->LastView()) {
    renderer_->ShowMap(Panel2->width());
    Panel2->SetImage(renderer_->DisplayImage());
  }
}

void TForm_Main::ComposeLegendImage() {
  const std::string_view name = EclipseTypeName(computation_->eclipse.EclipseType, uiLanguage_);
  const QString title = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
  renderer_->ComposeLegendImage(*computation_, title, CurrentEditTexts());
  Panel2->SetImage(renderer_->DisplayImage());
}

bool TForm_Main::SaveBitmap() {
  try {
    SaveBitmapFile(renderer_->DisplayImage(), options_.tempFolder / kBitmapFileName);
  } catch (const std::exception& e) {
    ShowMessage(QMessageBox::Critical, QStringLiteral("Darvelle"), QString::fromUtf8(e.what()));
    return false;
  }
  return true;
}

void TForm_Main::WriteSheet(const fs::path& file) {
  SheetView view;
  if (const auto& last = renderer_->LastView()) {
    view.psi = last->TotalPsi();
    view.phi = last->TotalPhi();
  }
  const ViewEditTexts edits = CurrentEditTexts();
  view.editPsi = edits.psi;
  view.editPhi = edits.phi;
  view.editChi = edits.chi;
  view.editGlobeSize = edits.rk;
  view.orthographic = RadioButton_Ortho->isChecked();
  const QImage& picture = renderer_->DrawingImage();
  if (!picture.isNull()) {
    view.picture.pixels = picture.constBits();
    view.picture.width = picture.width();
    view.picture.height = picture.height();
    view.picture.bytesPerLine = picture.bytesPerLine();
    view.picture.bgr = picture.format() == QImage::Format_BGR888;
  }
  WritePostScriptSheet(*computation_, view, file);
}

}  // namespace darvelle::ui
