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
#include "ui/main_window.h"
#include "ui/widgets.h"

namespace darvelle::ui {
namespace {

constexpr int kResolutions[6] = {1, 2, 4, 8, 16, 32};

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

void MainWindow::SwitchTimeScale(bool universalTime) { session_->SwitchTimeScale(universalTime, MapArea()); }

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
            ShowCurrentMap();
            ShowOnGlobe(*result);
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
  ShowMenuState(state);
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
  // The band exists where the model's DeltaT is uncertain, in UT.
  deltaTBandItem_->setEnabled(c.universalTime && DeltaTUncertainty(c.elements.year).has_value());
}

void MainWindow::ShowMenuState(const SessionState& state) {
  deltaTBandItem_->setChecked(state.deltaTBand);
  townDurationsItem_->setChecked(state.townDurations);
  for (const auto& [name, shown] : {std::pair{"Borders1", state.borders}, std::pair{"PathBand1", state.pathBand},
                                    std::pair{"TownNames1", state.townNames}}) {
    if (auto* item = findChild<QAction*>(QString::fromLatin1(name))) item->setChecked(shown);
  }
  for (int i = 0; i < 6; ++i) {
    if (kResolutions[i] == state.view.Resolution) resolutionItems_[i]->setChecked(true);
  }
  penWidthItems_[std::clamp(state.view.PenWidth, 1, 3) - 1]->setChecked(true);
  if (state.language >= kGerman && state.language <= kFrench) {
    languageItems_[state.language]->setChecked(true);
  }
}

void MainWindow::ShowResult(const std::shared_ptr<const SessionResult>& result) {
  statusBar_->ShowDrawnCurves(result->drawnCurves);
  controls_->ShowHeadline(
      HeadlineSummaryText(result->headline, result->computation->universalTime, result->state.language));
  // Should the panel have changed size since the worker last looked, the
  // session fits the picture again; the panel stretches it meanwhile.
  Panel2->SetImage(result->ScreenImage(), result->fitted);
  ShowOnGlobe(*result);
  legend_->setLayers(LegendLayersOf(*result));
}

void MainWindow::ShowBusy(bool busy) {
  if (busy) {
    focusBeforeBusy_ = QApplication::focusWidget();
    setEnabled(false);
    return;
  }
  if (exitWithSheet_) return;  // the exit's files are still being written
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
  return session_->IsBusy() || session_->IsFitting() || exitWithSheet_.has_value();
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
