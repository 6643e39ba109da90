#pragma once
// The program's one window, Form_Main: the left panel that chooses the
// eclipse and the view, the map, the status bar, the menus and the About
// panel. The window holds no model of its own: each control turns the
// user's input into a new SessionState for the EclipseSession, and the
// window shows what the session emits (labels at once, the map when the
// worker is done). Its code is split by role:
//   main_window_build.cpp    the controls, status bar and About panel
//   main_window_menus.cpp    the menus and what they do
//   main_window_startup.cpp  start-up: data files, settings, first request
//   main_window_session.cpp  requests from the controls, state and results shown
//   main_window_globe.cpp    the globe under the mouse, the legend dock, the year list
//   main_window_place.cpp    the observer, its local circumstances and the eclipses it sees
//   main_window_exit.cpp     the two exits, the close and what it saves
//   main_window_conventions.cpp  shortcuts, tooltips, entries marked when not taken
//   main_window_files.cpp    the File menu's saves and exports

#include <QFutureWatcher>
#include <QImage>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/settings.h"
#include "render/coastline_file.h"
#include "render/coastlines.h"
#include "ui/data_loads.h"
#include "ui/drag_preview.h"
#include "ui/eclipse_session.h"
#include "ui/qt_texts.h"
#include "ui/save_actions.h"
#include "ui/session_controller.h"
#include "ui/status_panels.h"
#include "ui/version_info.h"
#include "ui/window_status_bar.h"
#include "catalogue/language.h"

class QAction;
class QCheckBox;
class QDockWidget;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTableWidget;
class QVBoxLayout;

namespace darvelle::ui {

class DeltaTEntry;
class EntryCheck;
class GlobeView;
class HelpBrowser;
class LocalCircumstancesPanel;
class TownsPanel;
class ObserverModel;
class VisibleEclipsesDialog;
struct ObserverPlace;
class LegendPanel;
class MapPanel;
class YearEclipseList;
class ShapeBar;
class TimeControls;
}  // namespace darvelle::ui
namespace darvelle {
class FolderLock;
}  // namespace darvelle
namespace darvelle::ui {

// Where one run of the window works. The program fills it from the
// environment; tests point it at folders of their own.
struct StartupOptions {
  std::optional<std::filesystem::path> dataFolder;  // only this folder, when set
  std::filesystem::path tempFolder;                 // output files
  // Why tempFolder must not be used (it failed the private-folder check);
  // empty when it may. With a problem the maps are drawn but no file is written.
  std::string tempFolderProblem;
  // Held for the window's life: no other window writes into tempFolder.
  std::shared_ptr<FolderLock> tempFolderLock;
  std::filesystem::path settingsFolder;             // "Darvelle.ini"
  bool keepFilesAtExit = false;  // --keep-files or DARVELLE_KEEP_FILES=1
  QString executable;         // for the file type in the About panel
  // How the coastline file is read (on a pool thread); tests wrap it.
  CoastlineReader readCoastlines = LoadCoastlines;

  static StartupOptions FromEnvironment(const QString& executable);
};

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // The globe keeps at least this width beside the docks (pixels); a window
  // narrower than the column, the docks and this moves its docks under the globe.
  static constexpr int kLeastMapWidth = 400;

  // How a message reaches the user; the window shows a message box unless
  // told otherwise (tests collect the messages instead).
  using MessageSink =
      std::function<void(QMessageBox::Icon icon, const QString& title, const QString& text)>;

  explicit MainWindow(StartupOptions options, QWidget* parent = nullptr);
  // Waits for the workers still writing files.
  ~MainWindow() override;

  // Start-up: folders, version, texture, catalogue, coastlines, settings and
  // the first request. Returns false when there is nothing to show (no
  // usable catalogue); the user has been told why.
  bool FormCreate();

  void SetMessageSink(MessageSink sink) { messageSink_ = std::move(sink); }
  // How the File menu asks for a path (a QFileDialog unless told otherwise).
  void SetFileAsker(FileAsker asker) { fileAsker_ = std::move(asker); }
  // True while a save or export of the File menu is writing.
  bool IsSaving() const;
  // How long the status bar says a file was saved.

  // True while a recomputation, a redraw, the map's fitting to a new panel
  // size or the exit files are under way.
  bool IsBusy() const;
  EclipseSession& Session() { return *session_; }

  // State read by tests and the exit paths.
  int SelectedIndex() const { return session_->State().index; }
  int Resolution() const { return session_->State().view.Resolution; }
  int PenWidth() const { return session_->State().view.PenWidth; }
  Language UiLanguage() const { return session_->State().language; }
  const Catalogue& GetCatalogue() const { return catalogue_; }
  // The computation of the map shown; throws std::logic_error before the first.
  const EclipseResult& Computation() const;
  // The scaled map shown in Panel2 (null before the first map).
  QImage DisplayImage() const;
  // The size of the map panel, which a request makes its pictures for.
  QSize MapArea() const;
  const std::filesystem::path& SettingsPath() const { return settingsPath_; }
  const std::filesystem::path& TempFolder() const { return options_.tempFolder; }

 signals:
  void firstMapPainted();
  // Neither a recomputation, nor the exit files, nor a save is under way any more.
  void becameIdle();
  // The close has been carried out: settings saved, output files removed.
  void closed();
  // A save or export of the File menu has ended: the file or folder, and
  // whether it was written (a failure has been reported).
  void saveFinished(const QString& path, bool written);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // main_window_build.cpp
  void BuildControls();
  QVBoxLayout* BuildLeftPanel(QWidget* central);
  void BuildYearGroup(QVBoxLayout* column);
  void BuildSarosGroup(QVBoxLayout* column);
  void BuildTimeScaleGroup(QVBoxLayout* column);
  void BuildViewRows(QVBoxLayout* column);
  void BuildProjectionOptions(QVBoxLayout* column);
  void BuildExitButtons(QVBoxLayout* column);
  QPushButton* StepButton(const char* name, const char* caption, QWidget* parent,
                          std::function<void()> onClick);
  void BuildStatusBar();
  void BuildAboutPanel();

  // main_window_menus.cpp
  void BuildMenus();
  QMenu* AddMenu(const char* name, const char* caption);
  void BuildResolutionMenu();
  void BuildPenWidthMenu();
  void BuildLanguageMenu();
  void ChooseLanguage(Language language);
  void OpenHelp();

  // main_window_startup.cpp
  void FillVersionGrid();
  void StartTextureLoad();
  bool LoadCatalogueOrExplain();
  void StartCoastlineLoad();
  void ReportCoastlineOutcome();
  SessionState RestoreSettings();
  void WatchTextureAfterFirstMap();
  void ReportTextureOutcome();
  void ReportMissingTexture(const QString& text);

  // main_window_session.cpp: requests
  void Request(const SessionState& next);
  void EnterYear();
  void StepCatalogueBy(int step);
  void StepSarosBy(int members);
  void EnterSaros();
  void SwitchTimeScale();
  void StepAngle(QLineEdit* edit, double ViewParameters::*angle, double step);
  void EnterAngle(QLineEdit* edit, double ViewParameters::*angle);
  void StepGlobeSize(int step);
  void EnterGlobeSize();
  void ResetView();
  void ChooseProjection(bool stereographic);
  void ChooseColoredEarth();
  void ChooseResolution(int resolution);
  void ChoosePenWidth(int penWidth);
  // main_window_session.cpp: what the session emits
  void BindSession();
  void ShowPrepared(const PreparedEclipse& eclipse, bool recomputing);
  void ShowEclipseLabels(const PreparedEclipse& eclipse);
  void ShowViewState(const SessionState& state);
  void ShowResult(const std::shared_ptr<const SessionResult>& result);
  void ShowBusy(bool busy);
  void ReportOutputFailure(const std::string& cause);
  QString LegendTitle(const PreparedEclipse& eclipse) const;
  void ShowMessage(QMessageBox::Icon icon, const QString& title, const QString& text);
  // Says, once a run, that the settings are not read or cannot be saved.
  void ReportSettingsProblem(const QString& problem);

  // main_window_globe.cpp
  void BuildGlobeInput();
  void BuildLegendDock();
  void BuildYearList(QVBoxLayout* yearLayout);
  void TurnGlobe(const ViewParameters& view, bool interim);
  void ShowDragPreview(const ViewParameters& view);
  void ShowCurrentMap();
  void ShowOnGlobe(const SessionResult& result);
  void ShowInPanels(const SessionState& state);
  void ShowYearOf(const PreparedEclipse& eclipse);

  // main_window_place.cpp
  void BuildPlaceDock();
  void BuildPlaceMenuItems();
  void ChoosePlace(const ObserverPlace& place, bool moved);
  void ShowPlace(const ObserverPlace& place);
  void ShowLocalFor(const PreparedEclipse& eclipse);
  void OpenVisibleEclipses();

  // main_window_conventions.cpp
  void BuildConventions();
  void ShowTooltips(Language language);
  void RestoreWindowLayout();
  void SaveWindowLayout();

  // main_window_docks.cpp
  int LeastWidthWithDocks() const;
  bool DocksAreCompact() const;
  void PrepareDockArrangement();
  void ScheduleDockArrangement();
  void ArrangeDocks();
  QList<QDockWidget*> DocksBesideGlobe() const;
  void NoteDockMoved(Qt::DockWidgetArea area);
  void NoteDockShown(bool visible);
  void MoveUnderGlobe(QDockWidget* dock);
  bool StackDocksUnderGlobe();  // true when it made a new tab
  void FitDocksUnderGlobe();
  void RestoreWideDocks();
  void ShowPlaceDock();
  QByteArray DockStateToRemember();

  // main_window_time.cpp
  void BuildTimeControls();

  // main_window_files.cpp
  void BuildFileItems(QMenu* file);
  void SaveAs(SaveKind kind);
  void FinishSave(const SaveJob& job, const QString& failure);

  // main_window_exit.cpp
  void Exit(bool withSheet);
  void FinishExit();
  void GiveBackAfterSheet();
  // Work a close waits for: a recomputation, the exit's files, a save.
  bool HoldsClose() const;
  void CloseWhenIdle();
  void SaveSettingsAndRemoveFiles();  // FormClose

  StartupOptions options_;
  MessageSink messageSink_;
  bool settingsProblemReported_ = false;
  std::filesystem::path settingsPath_;
  TFileVersionInfo versionInfo_;
  QString captionPrefix_;
  Settings settings_;

  // Every job of the window runs here, none on Qt's global pool: Qt's own
  // picture scaling and conversion on the window's thread borrow that pool's
  // threads and wait for them. Declared before everything whose jobs it runs,
  // it goes last and waits for any job still running.
  QThreadPool workers_;
  // Read once at start-up; the session's jobs read them while they run, so
  // they are declared before the session, which waits for its job on the way out.
  Catalogue catalogue_;
  // Read on a pool thread from start-up on; the first map waits for them on its worker.
  CoastlineFuture coastlines_;
  QFutureWatcher<std::shared_ptr<const LoadedCoastlines>> coastlineWatcher_;
  TextureFuture texture_;
  bool textureFound_ = false;  // the texture file was found; it is decoded after the first map
  QFutureWatcher<std::shared_ptr<const LoadedTexture>> textureWatcher_;
  std::unique_ptr<EclipseSession> session_;
  // Turns what the controls ask into the session's next state.
  std::unique_ptr<SessionController> controller_;
  // The exit files are written on a worker; the text is the failure, empty on success.
  QFutureWatcher<QString> exitWriter_;
  // Which exit is writing its files (true: with the sheet); empty when none is.
  std::optional<bool> exitWithSheet_;
  QPointer<QWidget> focusBeforeBusy_;
  bool outputFailureReported_ = false;  // warned once that the files cannot be written
  FileAsker fileAsker_ = AskWithFileDialog;
  SavesInFlight saves_;  // the File menu's jobs; waited for on the way out

  // Controls, named as their objectName.
  QWidget* Panel0 = nullptr;
  QWidget* Panel1 = nullptr;
  MapPanel* Panel2 = nullptr;
  QGroupBox* GroupBox_Finsternis = nullptr;
  QLineEdit* Edit_Jahr = nullptr;
  QGroupBox* GroupBox_Saros = nullptr;
  QLineEdit* Saros_Edit = nullptr;
  QGroupBox* GroupBox_ET_UT = nullptr;
  QCheckBox* CheckBox_ET_UT = nullptr;
  DeltaTEntry* deltaTEntry_ = nullptr;
  QLabel* headlineLabel_ = nullptr;  // the eclipse's headline numbers under its date
  ShapeBar* Shape1 = nullptr;
  QLabel* Label_SoFiTyp = nullptr;
  QLabel* Label_DatumZeit = nullptr;
  QLineEdit* Edit_Psi = nullptr;
  QLineEdit* Edit_Phi = nullptr;
  QLineEdit* Edit_Chi = nullptr;
  QLineEdit* Edit_RK = nullptr;
  QRadioButton* RadioButton_Ortho = nullptr;
  QRadioButton* RadioButton_Stereo = nullptr;
  QCheckBox* CheckBox_Farbe = nullptr;
  QPushButton* Button_Exit = nullptr;
  QPushButton* Button_Exit_pdf = nullptr;
  QAction* Exit1 = nullptr;
  WindowStatusBar* statusBar_ = nullptr;  // the panels, the cursor's place, the save note
  QAction* resolutionItems_[6] = {};
  QAction* penWidthItems_[3] = {};
  QAction* languageItems_[3] = {};
  QAction* deltaTBandItem_ = nullptr;
  QAction* townDurationsItem_ = nullptr;
  QWidget* Panel_About = nullptr;
  QTableWidget* StringGrid_VersionsInfo = nullptr;
  HelpBrowser* helpWindow_ = nullptr;
  // Around the map: the globe's mouse, the cursor's place, the legend, the year's eclipses.
  GlobeView* globeInput_ = nullptr;
  QDockWidget* legendDock_ = nullptr;
  LegendPanel* legend_ = nullptr;
  YearEclipseList* yearList_ = nullptr;
  // The observer: the local-circumstances dock and the list of eclipses seen from the place.
  QDockWidget* placeDock_ = nullptr;
  LocalCircumstancesPanel* localPanel_ = nullptr;
  QDockWidget* townsDock_ = nullptr;
  TownsPanel* townsPanel_ = nullptr;
  ObserverModel* observer_ = nullptr;  // the one place, and its memory
  VisibleEclipsesDialog* visibleDialog_ = nullptr;
  QAction* visibleFromHereItem_ = nullptr;
  QAction* previousPlaceItem_ = nullptr;
  // The docks' arrangement in a wide window while a narrow one stacks them under the globe.
  std::optional<QByteArray> wideDockState_;
  QList<QDockWidget*> docksUnderGlobe_;  // the docks a narrow window moved under the globe
  bool arrangingDocks_ = false;          // moves of ours, not the user's
  QTimer dockArrangement_;  // one arrangement after a burst of resizes
  // Docks the user docked while the window was narrow: they keep that place.
  QList<QDockWidget*> dockedInNarrowWindow_;
  // Shortcuts, tooltips and the entry checks.
  QAction* helpItem_ = nullptr;
  std::vector<EntryCheck*> entryChecks_;
  std::optional<Language> tooltipLanguage_;  // the language the tooltips are in; none yet
  QtStandardTexts qtTexts_;   // the dialogs' buttons in the window's language
  std::unique_ptr<DragPreview> dragPreview_;  // the quick pictures of a drag under way

  // The File menu's "saving ..." in the status bar, made at the first save.

  // The time slider, the Sun from the place, the film export. Goes first:
  // its jobs run in workers_.
  std::unique_ptr<TimeControls> timeControls_;
};

}  // namespace darvelle::ui
