// The window's side of the map: drawing into the renderer's images, the
// scaled copy in Panel2, the legend picture and the files written at exit.

#include <QResizeEvent>
#include <QStatusBar>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "catalogue/data_files.h"
#include "catalogue/eclipse_texts.h"
#include "catalogue/platform_folders.h"
#include "postscript/exit_files.h"
#include "ui/main_window.h"
#include "ui/widgets.h"

namespace darvelle::ui {
namespace {

namespace fs = std::filesystem;

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

QString TForm_Main::LegendTitle() const {
  const std::string_view name = EclipseTypeName(computation_->eclipse.EclipseType, uiLanguage_);
  return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace darvelle::ui
