// The program's one window, Form_Main. It holds no model of its own: it
// builds its parts (the control column, the globe, the docks, the menus, the
// status bar, the saves and the exit), binds them to the EclipseSession and
// the SessionController, and shows what the session emits.

#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

#include "catalogue/eclipse_texts.h"
#include "catalogue/platform_folders.h"
#include "io/output_file_names.h"
#include "ui/about_panel.h"
#include "ui/control_column.h"
#include "ui/control_factory.h"
#include "ui/dock_arranger.h"
#include "ui/earth_loads.h"
#include "ui/eclipse_controls.h"
#include "ui/exit_writer.h"
#include "ui/fit_to_window.h"
#include "ui/globe_view.h"
#include "ui/globe_widget.h"
#include "ui/headline_texts.h"
#include "ui/help_browser.h"
#include "ui/languages.h"
#include "ui/legend_panel.h"
#include "ui/place_docks.h"
#include "ui/save_controller.h"
#include "ui/session_settings.h"
#include "ui/time_controls.h"
#include "ui/tooltips.h"
#include "ui/version_info.h"
#include "ui/view_menus.h"
#include "ui/widgets.h"
#include "ui/window_status_bar.h"

namespace darvelle::ui {
namespace {

constexpr int kSarosNotFoundMilliseconds = 5000;

}  // namespace

MainWindow::MainWindow(StartupOptions options, QWidget* parent)
    : DarvelleWindow(parent),
      options_(std::move(options)),
      session_(std::make_unique<EclipseSession>(
          SessionResources{&catalogue_, &workers_, options_.OutputFolder(), options_.dataFolder})),
      controller_(std::make_unique<SessionController>(
          catalogue_, [this]() -> const SessionState& { return session_->State(); },
          [this](const SessionState& next) { Request(next); })) {
  setObjectName(QStringLiteral("Form_Main"));
  setWindowTitle(QStringLiteral("Darvelle"));
  setWindowIcon(QIcon(QPixmap::fromImage(DarvelleIcon(64))));
  setFont(PixelFont(QStringLiteral("Arial"), 20, true));
  messageSink_ = MessageBoxSink(this);
  earthLoads_ = std::make_unique<EarthLoads>(workers_, *session_, options_.dataFolder, options_.readCoastlines);
  exitWriter_ = std::make_unique<ExitWriter>(workers_, *earthLoads_, options_.tempFolder, options_.tempFolderProblem);
  connect(exitWriter_.get(), &ExitWriter::finished, this, &MainWindow::FinishExit);
  connect(exitWriter_.get(), &ExitWriter::refused, this, &MainWindow::Warn);
  BuildControls();
  legendDock_ = new LegendDock(this);
  addDockWidget(Qt::RightDockWidgetArea, legendDock_);
  BuildPlaceDocks();
  dockArranger_ = std::make_unique<DockArranger>(*this, *globe_, QList<QDockWidget*>{legendDock_, placeDocks_->PlaceDock(), placeDocks_->TownsDock()});
  statusBar_ = new WindowStatusBar(statusBar());
  BindStatusBar();
  BuildMenus();
  placeDocks_->AddMenuItems(viewMenus_->OptionMenu());
  aboutPanel_ = new AboutPanel(centralWidget());
  // The docks do not set the window's least width: a narrower window moves
  // them under the globe (ArrangeDocks) instead of refusing to shrink.
  setMinimumWidth(centralWidget()->minimumSizeHint().width());
  BindSession();
  BuildTimeControls();
}

void MainWindow::BuildControls() {
  controls_ = new EclipseControls(*controller_, catalogue_);
  connect(controls_, &EclipseControls::timeScaleSwitched, this, &MainWindow::SwitchTimeScale);
  connect(controls_, &EclipseControls::exitRequested, this, &MainWindow::Exit);
  connect(controls_, &EclipseControls::message, this, &MainWindow::ShowMessage);
  connect(controls_, &EclipseControls::sarosNotFound, this, [this](int saros) {
    statusBar_->ShowMessage(SarosNotFoundText(saros, UiLanguage()), kSarosNotFoundMilliseconds);
  });
  globe_ = new GlobeWidget(*session_, *controller_, *earthLoads_);
  connect(globe_, &MapPanel::firstMapPainted, this, &MainWindow::firstMapPainted);
  setCentralWidget(MakeClientArea(new ControlColumn(controls_), globe_));
}

void MainWindow::BindStatusBar() {
  statusBar_->FollowCursor(globe_->Input(), [this] { return UiLanguage(); });
  statusBar_->FollowLoads(*earthLoads_);
  connect(earthLoads_.get(), &EarthLoads::message, this, &MainWindow::ShowMessage);
  connect(earthLoads_.get(), &EarthLoads::textureMissing, this, [this](const QString& why) {
    controls_->DisableColoredEarth();
    Warn(why);
  });
}

// ---------------------------------------------------------------- start-up

bool MainWindow::FormCreate() {
  // Number texts use "." whatever the locale: every conversion goes through
  // FixedText and QString's C-locale conversions; main() fixes the C
  // library's LC_NUMERIC for the core.
  CreateFolder(options_.settingsFolder);
  const TFileVersionInfo version = ReadVersionInfo(options_.executable);
  sessionSettings_ = std::make_unique<SessionSettings>(options_.settingsFolder, version.FileVersion.toStdString());
  aboutPanel_->ShowVersion(version);
  captionPrefix_ = QStringLiteral("Darvelle v.") + VersionGridRows(version)[3][1];
  earthLoads_->Start();
  try {
    catalogue_ = LoadCatalogueFor(options_);
  } catch (const std::exception& e) {
    Fail(FromStd(e.what()));
    return false;
  }

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    setGeometry(screen->availableGeometry());
  }
  setWindowState(windowState() | Qt::WindowMaximized);
  ReportSettingsProblem(dockArranger_->RestoreLayout(options_.settingsFolder));
  timeControls_->restore();
  statusBar_->ClearMessage();
  SessionState first = RestoreSettings();
  first.umbraOutlineMinutes = timeControls_->umbraOutlineMinutes();
  viewMenus_->RestoreLayers(first);
  placeDocks_->NamePlaceIn(first);
  if (!options_.tempFolderProblem.empty()) ReportOutputFailure(options_.tempFolderProblem);
  ApplyLanguageCaptions(this, first.language);
  // One request for everything the settings chose; the map follows when the
  // worker is done, while the window is already on the screen.
  Request(first);
  // The texture's fate is told once the first map is on the screen.
  connect(globe_, &MapPanel::firstMapPainted, earthLoads_.get(), &EarthLoads::WatchTexture, Qt::QueuedConnection);
  return true;
}

// The state the last run left in the settings file, or that of a first start.
SessionState MainWindow::RestoreSettings() {
  SessionSettings::Restored restored = sessionSettings_->Restore(catalogue_.Count());
  // Without the file no choice of this run can be remembered, which the user must know.
  ReportSettingsProblem(restored.problem);
  for (const QString& warning : restored.warnings) Warn(warning);
  return restored.state;
}

// ---------------------------------------------------------------- the session

void MainWindow::Request(const SessionState& next) {
  SessionState shown = next;
  // On the screen the curves stand out from the deep ocean over light
  // halos; the files (exit bitmap and sheet) are drawn without them.
  shown.view.CurveHalos = true;
  session_->SetPixelRatio(globe_->devicePixelRatioF());
  session_->Recompute(shown, MapArea());
}

QSize MainWindow::MapArea() const { return globe_->size(); }

void MainWindow::SwitchTimeScale(TimeScale scale) { session_->SwitchTimeScale(scale, MapArea()); }

void MainWindow::BindSession() {
  connect(session_.get(), &EclipseSession::prepared, this, &MainWindow::ShowPrepared);
  connect(session_.get(), &EclipseSession::resultReady, this, &MainWindow::ShowResult);
  connect(session_.get(), &EclipseSession::busyChanged, this, &MainWindow::ShowBusy);
  // A picture under way follows the panel's size (the window's first showing
  // changes it while the first map is drawn), and the one shown is fitted
  // to it again on a worker: the panel stretches the last one meanwhile.
  connect(globe_, &MapPanel::resized, session_.get(), &EclipseSession::ResizeMapArea);
  connect(globe_, &MapPanel::pixelRatioChanged, this, [this](qreal ratio) {
    session_->SetPixelRatio(ratio);
    session_->ResizeMapArea(MapArea());
  });
  connect(session_.get(), &EclipseSession::refitted, this,
          [this](const std::shared_ptr<const SessionResult>& result) {
            globe_->ShowCurrentMap();
            globe_->ShowOnGlobe(*result);
          });
  connect(session_.get(), &EclipseSession::fittingEnded, this, [this] {
    if (!IsBusy() && !IsSaving()) emit becameIdle();
  });
  connect(session_.get(), &EclipseSession::filesFailed, this,
          [this](const QString& cause) { ReportOutputFailure(cause.toStdString()); });
  connect(session_.get(), &EclipseSession::failed, this, [this](const QString& message) {
    Fail(message);
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
  setWindowTitle(captionPrefix_ + nine + FromStd(EstimateText(c)) + nine + EclipseTypeText(c));
  viewMenus_->ShowEclipse(c);
}

void MainWindow::ShowResult(const std::shared_ptr<const SessionResult>& result) {
  statusBar_->ShowDrawnCurves(result->drawnCurves);
  controls_->ShowHeadline(
      HeadlineSummaryText(result->headline, result->computation->timeScale, result->state.language));
  globe_->ShowResult(*result);
  legendDock_->Panel().setLayers(LegendLayersOf(*result));
}

void MainWindow::ShowBusy(bool busy) {
  if (busy) {
    HoldInput();
    return;
  }
  if (exitWriter_->Writing()) return;  // the exit's files are still being written
  GiveBackInput();
  // Else fittingEnded() says it.
  if (!session_->IsFitting()) emit becameIdle();
}

void MainWindow::ReportOutputFailure(const std::string& cause) {
  // Once a run: the folder does not mend itself between two recomputations,
  // and a box at every step would keep the user from the map.
  if (outputFailureReported_) return;
  outputFailureReported_ = true;
  ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"),
              OutputFailureText(FromStd(options_.tempFolder.string()), FromStd(cause)));
}

void MainWindow::ShowMessage(QMessageBox::Icon icon, const QString& title, const QString& text) {
  if (messageSink_) messageSink_(icon, title, text);
}

void MainWindow::Warn(const QString& text) { ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"), text); }

void MainWindow::Fail(const QString& text) { ShowMessage(QMessageBox::Critical, QStringLiteral("Darvelle"), text); }

QString MainWindow::EclipseTypeText(const PreparedEclipse& eclipse) const {
  return FromWindows1252(EclipseTypeName(eclipse.elements.kind, UiLanguage()));
}

void MainWindow::ReportSettingsProblem(const QString& problem) {
  if (problem.isEmpty() || settingsProblemReported_) return;
  settingsProblemReported_ = true;
  ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"),
              problem + QStringLiteral("\n\nUntil this is mended, the program does not remember the choices of this run."));
}

void MainWindow::HoldInput() {
  focusBeforeBusy_ = QApplication::focusWidget();
  setEnabled(false);
}

void MainWindow::GiveBackInput() {
  setEnabled(true);
  if (focusBeforeBusy_ != nullptr && focusBeforeBusy_->isVisible()) {
    focusBeforeBusy_->setFocus();
  } else if (focusWidget() == nullptr) {
    // A window shown while busy got no focus: the first control takes it,
    // as in a window shown idle.
    focusNextChild();
  }
}

bool MainWindow::IsBusy() const {
  return session_->IsBusy() || session_->IsFitting() || exitWriter_->Writing().has_value();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  dockArranger_->Schedule();
}

// ---------------------------------------------------------------- panels and menus

void MainWindow::ShowInPanels(const SessionState& state) {
  legendDock_->ShowLanguage(state.language, state.view.PenWidth);
  qtTexts_.Use(state.language);
  ShowTooltips(state.language);
}

void MainWindow::BuildSaves(QMenu* file) {
  saveController_ = std::make_unique<SaveController>(SaveController::Context{
      *session_, workers_, earthLoads_->Texture(), earthLoads_->Coastlines(), options_.settingsFolder, *statusBar_, *this});
  connect(saveController_.get(), &SaveController::message, this, &MainWindow::ShowMessage);
  connect(saveController_.get(), &SaveController::settingsProblem, this, &MainWindow::ReportSettingsProblem);
  connect(saveController_.get(), &SaveController::finished, this, [this](const QString& path, bool written) {
    emit saveFinished(path, written);
    // A close asked for during the save waits for this.
    if (!IsSaving() && !IsBusy()) emit becameIdle();
  });
  saveController_->AddMenuItems(file);
}

void MainWindow::SetFileAsker(FileAsker asker) { saveController_->SetFileAsker(std::move(asker)); }

bool MainWindow::IsSaving() const { return saveController_ != nullptr && saveController_->IsSaving(); }

void MainWindow::BuildMenus() {
  menuBar()->setObjectName(QStringLiteral("MainMenu1"));
  menuBar()->setFont(PixelFont(QStringLiteral("Arial"), 15, false));

  QMenu* file = AddMenu(*menuBar(), "File1", "&File");
  BuildSaves(file);
  exitItem_ = AddItem(file, "Exit1", "E&xit");
  exitItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(exitItem_, &QAction::triggered, this, [this] { Exit(false); });
  viewMenus_ = new ViewMenus(*menuBar(), *controller_, options_.settingsFolder, *legendDock_, [this] {
    if (const auto size = FitToWindowSize(session_->Current().get(), session_->State().view, MapArea(),
                                          globe_->devicePixelRatioF())) {
      controller_->SetGlobeSize(*size);
    }
  });
  connect(viewMenus_, &ViewMenus::languageChosen, this, &MainWindow::ChooseLanguage);

  QMenu* help = AddMenu(*menuBar(), "Help1", "&Help");
  QAction* helpItem = AddItem(help, "DVLHelp1", "DVL Help");
  helpItem->setShortcut(QKeySequence(Qt::Key_F1));
  connect(helpItem, &QAction::triggered, this, &MainWindow::OpenHelp);
  connect(AddItem(help, "About1", "&About"), &QAction::triggered, this, [this] {
    aboutPanel_->Open();
  });
}

void MainWindow::ChooseLanguage(Language language) {
  ApplyLanguageCaptions(this, language);
  controller_->ChooseLanguage(language);
}

void MainWindow::OpenHelp() {
  const QString problem = HelpBrowser::ShowContents(helpWindow_, this, options_.dataFolder, UiLanguage());
  if (!problem.isEmpty()) Warn(problem);
}

void MainWindow::BuildPlaceDocks() {
  placeDocks_ = new PlaceDocks({*this, workers_, catalogue_, *session_, *controller_, globe_->Input(), options_.settingsFolder},
                               legendDock_);
  connect(placeDocks_, &PlaceDocks::settingsProblem, this, &MainWindow::ReportSettingsProblem);
  connect(placeDocks_, &PlaceDocks::placeChosen, this, [this](bool moved) {
    // What the user asked for comes to the front, unless only its name changed.
    if (moved) dockArranger_->ShowInFront(placeDocks_->PlaceDock());
    // The table may have grown: the docks may no longer fit beside the globe.
    dockArranger_->Schedule();
  });
}

// Tooltips in the window's language, as users expect of any window.
void MainWindow::ShowTooltips(Language language) {
  if (tooltipLanguage_ == language) return;
  tooltipLanguage_ = language;
  ApplyTooltips(this, language);
  controls_->ExplainEntriesIn(language);
}

void MainWindow::BuildTimeControls() {
  QMenu* file = findChild<QMenu*>(QStringLiteral("File1"));
  // The film's item goes with the exports, above the separator that sets off the exit.
  const QList<QAction*> fileItems = file->actions();
  const qsizetype exit = fileItems.indexOf(exitItem_);
  timeControls_ = std::make_unique<TimeControls>(TimeControlsWiring{
      .window = this, .session = session_.get(), .observer = placeDocks_->Observer(), .mapPanel = globe_,
      .placeDock = placeDocks_->PlaceDock(), .globe = &globe_->Input(), .controller = controller_.get(),
      .optionMenu = viewMenus_->OptionMenu(), .fileMenu = file, .fileMenuBefore = exit > 0 ? fileItems[exit - 1] : exitItem_,
      .workers = &workers_, .settingsFolder = options_.settingsFolder, .texture = &earthLoads_->Texture(),
      .coastlines = &earthLoads_->Coastlines(), .showPlainMap = [this] { globe_->ShowCurrentMap(); },
      .report = [this](const QString& problem) { Warn(problem); }});
}

// ---------------------------------------------------------------- the ways out
// "Exit" leaves the legend bitmap, "Exit (write ps)" the bitmap and the map
// sheet, written on a worker. The close saves the settings and removes the
// output files, but never under a worker still writing them.

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
  const std::shared_ptr<const SessionResult> shown = session_->Current();
  const ExitWriter::Start start =
      exitWriter_->Begin(shown, shown != nullptr ? EclipseTypeText(*shown->computation) : QString(), withSheet);
  if (start == ExitWriter::Start::kCloseNow) close();
  if (start != ExitWriter::Start::kWriting) return;
  if (withSheet) controls_->ShowExitWriting(true);
  // No input while the files are written: nothing may change what they show.
  HoldInput();
}

void MainWindow::FinishExit(bool withSheet, const QString& failure) {
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
    if (!failure.isEmpty()) Fail(failure);
    close();
    return;
  }
  // Bitmap and sheet are written under temporary names and renamed when
  // complete, so nothing half-written is left; the user may retry or leave.
  GiveBackInput();
  Fail(failure);
  emit becameIdle();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Once, while the window is still on the screen where the user left it.
  // The layout is a comfort: a folder that cannot be written costs the user
  // nothing else, and was reported when it first failed.
  if (isVisible()) dockArranger_->SaveLayout(options_.settingsFolder);
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
  if (!failure.isEmpty()) Warn(failure);
  // The twenty names of the list, and the horizon curves under the names
  // they are written with (the list spells them in capitals).
  if (!options_.keepFilesAtExit && options_.tempFolderProblem.empty()) {
    DeleteComputationFiles(options_.tempFolder);
  }
}

std::unique_ptr<DarvelleWindow> MakeMainWindow(StartupOptions options, QWidget* parent) {
  return std::make_unique<MainWindow>(std::move(options), parent);
}

}  // namespace darvelle::ui
