#pragma once
// The program's one window, Form_Main, as the composition root: it builds
// its parts and binds them to the EclipseSession (which computes and draws
// on workers) and the SessionController (which turns the user's requests
// into the session's next state). The parts:
//   EclipseControls  the left column: the eclipse, the time scale, the view, the exits
//   GlobeWidget      the map panel with the globe under the mouse (Panel2)
//   PlaceDocks       the observer: the place, what it sees, the towns that see it
//   LegendDock, DockArranger  the legend, and the docks at any window width
//   ViewMenus, SaveController  the Resolution/Pen width/Option menus, File's saves
//   WindowStatusBar  the seventeen panels, the cursor's place, the save note
//   EarthLoads, SessionSettings, ExitWriter, TimeControls, AboutPanel
// The window shows what the session emits: the labels at once, the map when
// the worker is done; it never waits for a worker on its own thread.

#include <QPointer>
#include <QThreadPool>
#include <filesystem>
#include <memory>
#include <optional>

#include "catalogue/catalogue.h"
#include "catalogue/language.h"
#include "ui/darvelle_window.h"
#include "ui/eclipse_session.h"
#include "ui/qt_texts.h"
#include "ui/session_controller.h"
#include "ui/startup_options.h"

class QAction;
class QDockWidget;

namespace darvelle::ui {

class AboutPanel;
class DockArranger;
class EarthLoads;
class EclipseControls;
class ExitWriter;
class GlobeWidget;
class HelpBrowser;
class LegendDock;
class PlaceDocks;
class SaveController;
class SessionSettings;
class TimeControls;
class ViewMenus;
class WindowStatusBar;

class MainWindow final : public DarvelleWindow {
  Q_OBJECT

 public:
  explicit MainWindow(StartupOptions options, QWidget* parent = nullptr);
  // Waits for the workers still writing files.
  ~MainWindow() override;

  bool FormCreate() override;
  void SetMessageSink(MessageSink sink) override { messageSink_ = std::move(sink); }
  void SetFileAsker(FileAsker asker) override;
  bool IsSaving() const override;
  bool IsBusy() const override;
  EclipseSession& Session() const override { return *session_; }
  const Catalogue& GetCatalogue() const override { return catalogue_; }
  QSize MapArea() const override;
  const std::filesystem::path& TempFolder() const override { return options_.tempFolder; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildControls();
  void BindStatusBar();

  void BuildMenus();
  void BuildSaves(QMenu* file);
  void ChooseLanguage(Language language);
  void OpenHelp();

  SessionState RestoreSettings();

  void Request(const SessionState& next);
  void SwitchTimeScale(TimeScale scale);
  void BindSession();
  void ShowPrepared(const PreparedEclipse& eclipse, bool recomputing);
  void ShowEclipseLabels(const PreparedEclipse& eclipse);
  void ShowResult(const std::shared_ptr<const SessionResult>& result);
  void ShowBusy(bool busy);
  void ReportOutputFailure(const std::string& cause);
  QString EclipseTypeText(const PreparedEclipse& eclipse) const;
  void ShowMessage(QMessageBox::Icon icon, const QString& title, const QString& text);
  void Warn(const QString& text);
  void Fail(const QString& text);
  // No input while the window works on what it shows; the focus goes back after.
  void HoldInput();
  void GiveBackInput();
  // Says, once a run, that the settings are not read or cannot be saved.
  void ReportSettingsProblem(const QString& problem);

  void ShowInPanels(const SessionState& state);

  void BuildPlaceDocks();

  void ShowTooltips(Language language);

  void BuildTimeControls();

  void Exit(bool withSheet);
  void FinishExit(bool withSheet, const QString& failure);
  // Work a close waits for: a recomputation, the exit's files, a save.
  bool HoldsClose() const;
  void CloseWhenIdle();
  void SaveSettingsAndRemoveFiles();  // FormClose

  StartupOptions options_;
  MessageSink messageSink_;
  bool settingsProblemReported_ = false;
  QString captionPrefix_;
  std::unique_ptr<SessionSettings> sessionSettings_;  // Darvelle.ini, read at start, written at the close

  // Every job of the window runs here, none on Qt's global pool: Qt's own
  // picture scaling and conversion on the window's thread borrow that pool's
  // threads and wait for them. Declared before everything whose jobs it runs,
  // it goes last and waits for any job still running.
  QThreadPool workers_;
  // Read once at start-up; the session's jobs read them while they run, so
  // they are declared before the session, which waits for its job on the way out.
  Catalogue catalogue_;
  // The coastlines and the texture, read on pool threads from start-up on;
  // the first map waits for them on its worker.
  std::unique_ptr<EarthLoads> earthLoads_;
  std::unique_ptr<EclipseSession> session_;
  // Turns what the controls ask into the session's next state.
  std::unique_ptr<SessionController> controller_;
  std::unique_ptr<ExitWriter> exitWriter_;  // the exit's bitmap and sheet, on a worker
  QPointer<QWidget> focusBeforeBusy_;
  bool outputFailureReported_ = false;  // warned once that the files cannot be written
  std::unique_ptr<SaveController> saveController_;  // the File menu's saves and exports

  // The window's panels, named as their objectName.
  GlobeWidget* globe_ = nullptr;  // Panel2: the map and the globe under the mouse
  EclipseControls* controls_ = nullptr;  // the left column, Panel0
  QAction* exitItem_ = nullptr;
  WindowStatusBar* statusBar_ = nullptr;  // the panels, the cursor's place, the save note
  ViewMenus* viewMenus_ = nullptr;  // Resolution, Pen width, Option
  AboutPanel* aboutPanel_ = nullptr;  // Panel_About
  HelpBrowser* helpWindow_ = nullptr;
  // Around the map.
  LegendDock* legendDock_ = nullptr;
  PlaceDocks* placeDocks_ = nullptr;  // the observer: the place, what it sees, the towns
  // Closes the docks beside the globe in a narrow window, opens them under it.
  std::unique_ptr<DockArranger> dockArranger_;
  std::optional<Language> tooltipLanguage_;  // the language the tooltips are in; none yet
  QtStandardTexts qtTexts_;   // the dialogs' buttons in the window's language


  // The time slider, the Sun from the place, the film export. Goes first:
  // its jobs run in workers_.
  std::unique_ptr<TimeControls> timeControls_;
};

}  // namespace darvelle::ui
