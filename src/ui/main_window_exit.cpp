// The ways out: "Exit" (and File > Exit) leaves the legend bitmap, "Exit
// (write ps)" the bitmap and the map sheet; both are written on a worker
// while the window waits without blocking. The close saves the settings and
// removes the output files, but never under a worker still writing them.

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtConcurrent/QtConcurrentRun>

#include "catalogue/eclipse_texts.h"
#include "geometry/report_files.h"
#include "postscript/exit_files.h"
#include "ui/control_factory.h"
#include "ui/help_browser.h"
#include "ui/languages.h"
#include "ui/main_window.h"
#include "ui/time_controls.h"
#include "ui/widgets.h"

namespace darvelle::ui {
namespace {

namespace fs = std::filesystem;

// The view edits as the legend prints them: the texts the window shows.
ViewEditTexts EditTextsOf(const ViewParameters& view) {
  return {OneDecimal(view.Psi).toStdString(), OneDecimal(view.Phi).toStdString(),
          OneDecimal(view.Chi).toStdString(), std::to_string(view.RK)};
}

// Writes the exit files of `shown` into `folder`, composing the legend in
// `renderer`, a copy of the one shown (the window may rescale its own on a
// resize meanwhile). The text is the failure, empty on success.
QString WriteExitFilesOf(const std::shared_ptr<const SessionResult>& shown, MapRenderer renderer,
                         const TextureFuture& texture, const CoastlineFuture& coastlines,
                         const QString& title, const fs::path& folder, bool withSheet) {
  try {
    // The exit bitmap and sheet stay the plain map, whatever layers are shown.
    RedrawForFiles(renderer, *shown, texture, AwaitCoastlines(coastlines), FileLayers::kNone);
    const ViewEditTexts edits = EditTextsOf(shown->drawnView);
    if (withSheet) {
      WriteExitFilesWithSheet(renderer, *shown->computation, title, edits, folder);
    } else {
      WriteExitFiles(renderer, *shown->computation, title, edits, folder);
    }
    return {};
  } catch (const std::exception& e) {
    return FromStd(e.what());
  }
}

}  // namespace

MainWindow::~MainWindow() {
  // The docks hide as the window's widgets go, after this body: by then the
  // window is no MainWindow to tell.
  for (QDockWidget* dock : findChildren<QDockWidget*>()) dock->disconnect(this);
  // The exit files must not be left half-written, and every job reads the
  // catalogue, the coastlines or the texture, which go with the window.
  // A film under way is cancelled and its files removed, not finished.
  timeControls_.reset();
  workers_.waitForDone();
  exitWriter_.waitForFinished();
  textureWatcher_.waitForFinished();
  texture_.waitForFinished();
  coastlineWatcher_.waitForFinished();
  coastlines_.waitForFinished();
}

void MainWindow::Exit(bool withSheet) {
  if (!options_.tempFolderProblem.empty()) {
    // The refused folder gets no bitmap and no sheet either.
    if (withSheet) {
      ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"),
                  FromStd(options_.tempFolderProblem));
      return;
    }
    close();
    return;
  }
  const std::shared_ptr<const SessionResult> shown = session_->Current();
  if (shown == nullptr) {
    if (withSheet) {
      ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"),
                  QStringLiteral("No eclipse has been computed, so there is no sheet to write."));
      return;
    }
    std::error_code ignored;
    fs::remove(options_.tempFolder / kSheetFileName, ignored);
    close();
    return;
  }
  if (withSheet) {
    Button_Exit_pdf->setEnabled(false);
    Shape1->SetBrushColor(kBusyRed);
  }
  // No input while the files are written: nothing may change what they show.
  focusBeforeBusy_ = QApplication::focusWidget();
  setEnabled(false);
  exitWithSheet_ = withSheet;
  // The coastlines and the texture outlive the writer: the destructor waits for it.
  exitWriter_.setFuture(QtConcurrent::run(&workers_, WriteExitFilesOf, shown, *shown->renderer, texture_,
                                          coastlines_, LegendTitle(*shown->computation),
                                          options_.tempFolder, withSheet));
}

void MainWindow::FinishExit() {
  const bool withSheet = exitWithSheet_.value_or(false);
  exitWithSheet_.reset();
  const QString failure = exitWriter_.result();
  setEnabled(true);
  Shape1->SetBrushColor(kPanelGrey);
  Button_Exit_pdf->setEnabled(true);
  if (failure.isEmpty() || !withSheet) {
    if (withSheet) {
      // The sheet is English, and the settings remember it.
      SessionState english = session_->State();
      english.language = kEnglish;
      session_->AdoptWithoutRecomputing(english);
    }
    // A bitmap that could not be written is reported, and the window
    // closes all the same: the user asked to leave, and the picture is
    // only a by-product of leaving.
    if (!failure.isEmpty()) ShowMessage(QMessageBox::Critical, QStringLiteral("Darvelle"), failure);
    close();
    return;
  }
  // Bitmap and sheet are written under temporary names and renamed when
  // complete, so nothing half-written is left; the user may retry or leave.
  if (focusBeforeBusy_ != nullptr && focusBeforeBusy_->isVisible()) focusBeforeBusy_->setFocus();
  ShowMessage(QMessageBox::Critical, QStringLiteral("Darvelle"), failure);
  emit becameIdle();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Once, while the window is still on the screen where the user left it.
  if (isVisible()) SaveWindowLayout();
  if (HoldsClose()) {
    CloseWhenIdle();
    event->ignore();
    return;
  }
  SaveSettingsAndRemoveFiles();
  // The help window would otherwise stay open on its own.
  if (helpWindow_ != nullptr) helpWindow_->close();
  event->accept();
  emit closed();
}

bool MainWindow::HoldsClose() const {
  // A picture being fitted to a new panel size is not waited for: it is the
  // worker's own copy, no reason to keep a leaving user waiting.
  return session_->IsBusy() || exitWithSheet_.has_value() || IsSaving();
}

// A close during a recomputation, an exit or a save is answered at once: the window
// goes from the screen, no further request is started, and the close is
// carried out when the worker has finished writing its files.
void MainWindow::CloseWhenIdle() {
  hide();
  if (helpWindow_ != nullptr) helpWindow_->hide();
  session_->DropPending();
  connect(this, &MainWindow::becameIdle, this, &QWidget::close,
          static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::UniqueConnection |
                                          Qt::SingleShotConnection));
}

void MainWindow::SaveSettingsAndRemoveFiles() {
  std::error_code ec;
  if (fs::exists(settingsPath_, ec)) {
    const SessionState& state = session_->State();
    Settings s = settings_;
    s.Language = static_cast<std::uint8_t>(StoredNumber(state.language));
    s.EclipseIndex = state.index;
    s.UseUT = state.timeScale == TimeScale::kUniversal ? 1 : 0;
    // The angles as the edits read, when the user typed a number without
    // pressing Enter; text that is not a number never keeps the user from
    // leaving: the angle drawn last is saved instead.
    s.Psi = ParseReal(Edit_Psi->text()).value_or(state.view.Psi);
    s.Phi = ParseReal(Edit_Phi->text()).value_or(state.view.Phi);
    s.Chi = ParseReal(Edit_Chi->text()).value_or(state.view.Chi);
    const auto& shown = session_->Current();
    s.GlobeSize = shown != nullptr ? shown->drawnView.RK : state.view.RK;
    s.Orthographic = state.view.Stereographic ? 0 : 1;
    s.Resolution = 1;
    s.PenWidth = state.view.PenWidth;
    try {
      WriteSettingsFile(settingsPath_, s);
    } catch (const std::exception& e) {
      ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"), FromStd(e.what()));
    }
  }
  // The twenty names of the list, and the horizon curves under the names
  // they are written with (the list spells them in capitals).
  if (!options_.keepFilesAtExit && options_.tempFolderProblem.empty()) {
    DeleteComputationFiles(options_.tempFolder);
  }
}

}  // namespace darvelle::ui
