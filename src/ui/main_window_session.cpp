// The window bound to its session: what each control asks of the session,
// and how the window shows what the session answers (the labels at once,
// the map and the status panels when the worker is done).

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <algorithm>
#include <stdexcept>

#include "astro/delta_t.h"
#include "catalogue/eclipse_texts.h"
#include "catalogue/selection.h"
#include "ui/control_factory.h"
#include "ui/dock_arranger.h"
#include "ui/eclipse_controls.h"
#include "ui/headline_texts.h"
#include "ui/languages.h"
#include "ui/legend_panel.h"
#include "ui/exit_writer.h"
#include "ui/globe_widget.h"
#include "ui/main_window.h"
#include "ui/view_menus.h"
#include "ui/widgets.h"

namespace darvelle::ui {
namespace {


}  // namespace

// ---------------------------------------------------------------- requests

void MainWindow::Request(const SessionState& next) {
  SessionState shown = next;
  // On the screen the curves stand out from the deep ocean over light
  // halos; the files (exit bitmap and sheet) are drawn without them.
  shown.view.CurveHalos = true;
  session_->SetPixelRatio(Panel2->devicePixelRatioF());
  session_->Recompute(shown, MapArea());
}

QSize MainWindow::MapArea() const { return Panel2->size(); }

void MainWindow::SwitchTimeScale(TimeScale scale) { session_->SwitchTimeScale(scale, MapArea()); }

// ---------------------------------------------------------------- what the session emits

void MainWindow::BindSession() {
  connect(session_.get(), &EclipseSession::prepared, this, &MainWindow::ShowPrepared);
  connect(session_.get(), &EclipseSession::resultReady, this, &MainWindow::ShowResult);
  connect(session_.get(), &EclipseSession::busyChanged, this, &MainWindow::ShowBusy);
  // A picture under way follows the panel's size (the window's first showing
  // changes it while the first map is drawn), and the one shown is fitted
  // to it again on a worker: the panel stretches the last one meanwhile.
  connect(Panel2, &MapPanel::resized, session_.get(), &EclipseSession::ResizeMapArea);
  connect(Panel2, &MapPanel::pixelRatioChanged, this, [this](qreal ratio) {
    session_->SetPixelRatio(ratio);
    session_->ResizeMapArea(MapArea());
  });
  connect(session_.get(), &EclipseSession::refitted, this,
          [this](const std::shared_ptr<const SessionResult>& result) {
            Panel2->ShowCurrentMap();
            Panel2->ShowOnGlobe(*result);
          });
  connect(session_.get(), &EclipseSession::fittingEnded, this, [this] {
    if (!IsBusy() && !IsSaving()) emit becameIdle();
  });
  connect(session_.get(), &EclipseSession::filesFailed, this,
          [this](const QString& cause) { ReportOutputFailure(cause.toStdString()); });
  connect(session_.get(), &EclipseSession::failed, this, [this](const QString& message) {
    ShowMessage(QMessageBox::Critical, QStringLiteral("Darvelle"), message);
  });
}

void MainWindow::ShowPrepared(const PreparedEclipse& eclipse, bool recomputing) {
  const SessionState& state = session_->State();
  controls_->ShowState(state);
  viewMenus_->ShowState(state);
  ShowInPanels(state);
  if (recomputing) {
    statusBar_->ClearCurveCounts();
    statusBar_->ShowEclipseNumber(eclipse.selectedIndex);
  }
  controls_->ShowEclipse(eclipse, recomputing, UiLanguage());
  ShowEclipseLabels(eclipse);
}

void MainWindow::ShowEclipseLabels(const PreparedEclipse& c) {
  const QString nine(9, QLatin1Char(' '));
  setWindowTitle(captionPrefix_ + nine + FromStd(EstimateText(c)) + nine +
                 FromWindows1252(EclipseTypeName(c.elements.kind, UiLanguage())));
  viewMenus_->ShowEclipse(c);
}

void MainWindow::ShowResult(const std::shared_ptr<const SessionResult>& result) {
  statusBar_->ShowDrawnCurves(result->drawnCurves);
  controls_->ShowHeadline(
      HeadlineSummaryText(result->headline, result->computation->timeScale, result->state.language));
  Panel2->ShowResult(*result);
  legend_->setLayers(LegendLayersOf(*result));
}

void MainWindow::ShowBusy(bool busy) {
  if (busy) {
    focusBeforeBusy_ = QApplication::focusWidget();
    setEnabled(false);
    return;
  }
  if (exitWriter_->Writing()) return;  // the exit's files are still being written
  setEnabled(true);
  if (focusBeforeBusy_ != nullptr && focusBeforeBusy_->isVisible()) {
    focusBeforeBusy_->setFocus();
  } else if (focusWidget() == nullptr) {
    // A window shown while busy got no focus: the first control takes it,
    // as in a window shown idle.
    focusNextChild();
  }
  // Else fittingEnded() says it.
  if (!session_->IsFitting()) emit becameIdle();
}

void MainWindow::ReportOutputFailure(const std::string& cause) {
  // Once a run: the folder does not mend itself between two recomputations,
  // and a box at every step would keep the user from the map.
  if (outputFailureReported_) return;
  outputFailureReported_ = true;
  ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"),
              QStringLiteral("The report and curve files could not be written to the folder\n%1\n\n%2\n\n"
                             "The map is drawn all the same; the files are left out for as long as "
                             "the folder cannot be written, and this message is not repeated.")
                  .arg(FromStd(options_.tempFolder.string()), FromStd(cause)));
}

QString MainWindow::LegendTitle(const PreparedEclipse& eclipse) const {
  return FromWindows1252(EclipseTypeName(eclipse.elements.kind, UiLanguage()));
}

void MainWindow::ShowMessage(QMessageBox::Icon icon, const QString& title, const QString& text) {
  if (messageSink_) messageSink_(icon, title, text);
}

void MainWindow::ReportSettingsProblem(const QString& problem) {
  if (problem.isEmpty() || settingsProblemReported_) return;
  settingsProblemReported_ = true;
  ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"),
              problem + QStringLiteral("\n\nUntil this is mended, the program does not remember the choices of this run."));
}

bool MainWindow::IsBusy() const {
  return session_->IsBusy() || session_->IsFitting() || exitWriter_->Writing().has_value();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  dockArranger_->Schedule();
}

const EclipseResult& MainWindow::Computation() const {
  const auto& current = session_->Current();
  if (current == nullptr) throw std::logic_error("no eclipse has been computed yet");
  return *current->computation;
}

QImage MainWindow::DisplayImage() const {
  const auto& current = session_->Current();
  return current == nullptr ? QImage() : current->renderer->DisplayImage();
}

}  // namespace darvelle::ui
