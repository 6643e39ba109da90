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

#include "catalogue/eclipse_texts.h"
#include "io/output_file_names.h"
#include "ui/control_factory.h"
#include "ui/dock_arranger.h"
#include "ui/earth_loads.h"
#include "ui/exit_writer.h"
#include "ui/eclipse_controls.h"
#include "ui/help_browser.h"
#include "ui/languages.h"
#include "ui/globe_widget.h"
#include "ui/main_window.h"
#include "ui/save_controller.h"
#include "ui/session_settings.h"
#include "ui/time_controls.h"
#include "ui/widgets.h"

namespace darvelle::ui {
namespace {

namespace fs = std::filesystem;

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
  exitWriter_.reset();
  earthLoads_.reset();
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
    controls_->ShowExitWriting(true);
  }
  // No input while the files are written: nothing may change what they show.
  focusBeforeBusy_ = QApplication::focusWidget();
  setEnabled(false);
  exitWriter_->Start(shown, LegendTitle(*shown->computation), withSheet);
}

void MainWindow::FinishExit(bool withSheet, const QString& failure) {
  setEnabled(true);
  controls_->ShowExitWriting(false);
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
  return session_->IsBusy() || exitWriter_->Writing().has_value() || IsSaving();
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
  // The angles as the edits read, when the user typed a number without
  // pressing Enter; text that is not a number never keeps the user from
  // leaving: the angle drawn last is saved instead.
  const SessionState& state = session_->State();
  const auto& shown = session_->Current();
  const QString failure = sessionSettings_->Save(state, controls_->TypedAngles(state.view),
                                                 shown != nullptr ? shown->drawnView.RK : state.view.RK);
  if (!failure.isEmpty()) ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"), failure);
  // The twenty names of the list, and the horizon curves under the names
  // they are written with (the list spells them in capitals).
  if (!options_.keepFilesAtExit && options_.tempFolderProblem.empty()) {
    DeleteComputationFiles(options_.tempFolder);
  }
}

}  // namespace darvelle::ui
