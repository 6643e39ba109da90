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
#include "ui/headline_texts.h"
#include "ui/languages.h"
#include "ui/legend_panel.h"
#include "ui/main_window.h"
#include "ui/widgets.h"
#include "ui/year_eclipse_list.h"

namespace darvelle::ui {
namespace {

constexpr int kGlobeSizeOnBadEntry = 300;
constexpr int kResolutions[6] = {1, 2, 4, 8, 16, 32};
constexpr int kSarosNotFoundMilliseconds = 5000;

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

void MainWindow::EnterYear() {
  const auto year = ParseInteger(Edit_Jahr->text());
  if (!year) return;  // not a whole number: left as typed
  Edit_Jahr->setText(QString::number(controller_->ChooseYear(*year)));
}

void MainWindow::StepCatalogueBy(int step) { controller_->StepCatalogue(step); }

void MainWindow::StepSarosBy(int members) { controller_->StepSaros(members); }

void MainWindow::EnterSaros() {
  const int saros = ClampSaros(ParseInteger(Saros_Edit->text()).value_or(kDefaultSarosEntry));
  Saros_Edit->setText(QString::number(saros));
  if (!controller_->ChooseSaros(saros)) {
    statusBar_->ShowMessage(SarosNotFoundText(saros, UiLanguage()), kSarosNotFoundMilliseconds);
  }
}

void MainWindow::SwitchTimeScale() {
  session_->SwitchTimeScale(CheckBox_ET_UT->isChecked() ? TimeScale::kUniversal : TimeScale::kTerrestrial,
                           MapArea());
}

void MainWindow::StepAngle(QLineEdit* edit, double ViewParameters::*angle, double step) {
  const auto value = ParseReal(edit->text());
  if (!value) {
    ShowMessage(QMessageBox::Critical, QStringLiteral("Darvelle"),
                QStringLiteral("\"%1\" is not a valid floating point value.").arg(edit->text()));
    return;
  }
  controller_->SetAngle(angle, *value + step);
}

void MainWindow::EnterAngle(QLineEdit* edit, double ViewParameters::*angle) {
  controller_->SetAngle(angle, ParseReal(edit->text()).value_or(0.0));
}

void MainWindow::StepGlobeSize(int step) {
  const auto size = ParseInteger(Edit_RK->text());
  if (!size) {
    ShowMessage(QMessageBox::Critical, QStringLiteral("Darvelle"),
                QStringLiteral("\"%1\" is not a valid integer value.").arg(Edit_RK->text()));
    return;
  }
  controller_->StepGlobeSize(*size, step);
}

void MainWindow::EnterGlobeSize() {
  controller_->SetGlobeSize(ParseInteger(Edit_RK->text()).value_or(kGlobeSizeOnBadEntry));
}

void MainWindow::ResetView() { controller_->ResetView(); }

void MainWindow::ChooseProjection(bool stereographic) { controller_->ChooseProjection(stereographic); }

void MainWindow::ChooseColoredEarth() { controller_->ChooseColoredEarth(CheckBox_Farbe->isChecked()); }

void MainWindow::ChooseResolution(int resolution) { controller_->ChooseResolution(resolution); }

void MainWindow::ChoosePenWidth(int penWidth) { controller_->ChoosePenWidth(penWidth); }

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
  ShowViewState(session_->State());
  if (recomputing) {
    statusBar_->ClearCurveCounts();
    statusBar_->ShowEclipseNumber(eclipse.selectedIndex);
    const BesselianElements& e = eclipse.elements;
    GroupBox_Saros->setTitle(
        FromWindows1252(SarosCaption(e.sarosMember, e.sarosMemberCount, UiLanguage())));
    Edit_Jahr->setText(QString::number(e.year));
    Saros_Edit->setText(QString::number(e.saros));
    ShowYearOf(eclipse);
    headlineLabel_->clear();  // until the worker brings the new eclipse's
  }
  ShowEclipseLabels(eclipse);
  yearList_->setTimeScale(eclipse.timeScale);
}

void MainWindow::ShowEclipseLabels(const PreparedEclipse& c) {
  const Language language = UiLanguage();
  CheckBox_ET_UT->setText(
      FromWindows1252(TimeScaleCaption(c.timeScale, c.modelDeltaT, c.elements.year, language)));
  const QString dateTime = FromStd(EstimateText(c));
  const QString nine(9, QLatin1Char(' '));
  setWindowTitle(captionPrefix_ + nine + dateTime + nine +
                 FromWindows1252(EclipseTypeName(c.elements.kind, language)));
  Label_SoFiTyp->setText(
      FromWindows1252(EclipseTypeShortName(static_cast<int>(c.elements.kind), language)));
  Label_DatumZeit->setText(dateTime);
  // The band exists where the model's DeltaT is uncertain, in UT.
  deltaTBandItem_->setEnabled(c.timeScale == TimeScale::kUniversal && DeltaTUncertainty(c.elements.year).has_value());
}

void MainWindow::ShowViewState(const SessionState& state) {
  const ViewParameters& view = state.view;
  Edit_Psi->setText(OneDecimal(view.Psi));
  Edit_Phi->setText(OneDecimal(view.Phi));
  Edit_Chi->setText(OneDecimal(view.Chi));
  Edit_RK->setText(QString::number(view.RK));
  (view.Stereographic ? RadioButton_Stereo : RadioButton_Ortho)->setChecked(true);
  // A box disabled for want of a texture stays unticked.
  CheckBox_Farbe->setChecked(view.ColoredEarth && CheckBox_Farbe->isEnabled());
  CheckBox_ET_UT->setChecked(state.timeScale == TimeScale::kUniversal);
  deltaTBandItem_->setChecked(state.deltaTBand);
  townDurationsItem_->setChecked(state.townDurations);
  for (const auto& [name, shown] : {std::pair{"Borders1", state.borders}, std::pair{"PathBand1", state.pathBand},
                                    std::pair{"TownNames1", state.townNames}}) {
    if (auto* item = findChild<QAction*>(QString::fromLatin1(name))) item->setChecked(shown);
  }
  for (int i = 0; i < 6; ++i) {
    if (kResolutions[i] == view.Resolution) resolutionItems_[i]->setChecked(true);
  }
  penWidthItems_[std::clamp(view.PenWidth, 1, 3) - 1]->setChecked(true);
  languageItems_[LanguageIndex(state.language)]->setChecked(true);
  ShowInPanels(state);
}

void MainWindow::ShowResult(const std::shared_ptr<const SessionResult>& result) {
  statusBar_->ShowDrawnCurves(result->drawnCurves);
  headlineLabel_->setText(HeadlineSummaryText(result->headline, result->computation->timeScale,
                                              result->state.language));
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
  ScheduleDockArrangement();
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
