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
#include <stdexcept>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/language.h"
#include "render/coastline_file.h"
#include "render/coastlines.h"
#include "ui/data_loads.h"
#include "ui/startup_options.h"
#include "ui/eclipse_session.h"
#include "ui/qt_texts.h"
#include "ui/save_actions.h"
#include "ui/session_controller.h"
#include "ui/status_panels.h"
#include "ui/window_status_bar.h"

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

class EclipseControls;
class DockArranger;
class SaveController;
class SessionSettings;
class EarthLoads;
class AboutPanel;
class PlaceDocks;
class ViewMenus;
class GlobeWidget;
class ExitWriter;
class GlobeView;
class HelpBrowser;
class LocalCircumstancesPanel;
class TownsPanel;
class ObserverModel;
class VisibleEclipsesDialog;
struct ObserverPlace;
class LegendDock;
class TimeControls;
}  // namespace darvelle::ui
namespace darvelle::ui {

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
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
  void SetFileAsker(FileAsker asker);
  // True while a save or export of the File menu is writing.
  bool IsSaving() const;

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
  const EclipseResult& Computation() const {
    if (session_->Current() == nullptr) throw std::logic_error("no eclipse has been computed yet");
    return *session_->Current()->computation;
  }
  // The scaled map shown in Panel2 (null before the first map).
  QImage DisplayImage() const {
    return session_->Current() == nullptr ? QImage() : session_->Current()->renderer->DisplayImage();
  }
  // The size of the map panel, which a request makes its pictures for.
  QSize MapArea() const;
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

 private:
  void BuildControls();
  void BuildStatusBar();
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
  QString LegendTitle(const PreparedEclipse& eclipse) const;
  void ShowMessage(QMessageBox::Icon icon, const QString& title, const QString& text);
  // Says, once a run, that the settings are not read or cannot be saved.
  void ReportSettingsProblem(const QString& problem);

  void ShowInPanels(const SessionState& state);

  void BuildPlaceDocks();

  void BuildConventions();
  void ShowTooltips(Language language);

  void BuildTimeControls();

  void Exit(bool withSheet);
  void FinishExit(bool withSheet, const QString& failure);
  void GiveBackAfterSheet();
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
  QWidget* Panel1 = nullptr;
  GlobeWidget* Panel2 = nullptr;  // the map and the globe under the mouse
  EclipseControls* controls_ = nullptr;  // the left column, Panel0
  QAction* Exit1 = nullptr;
  WindowStatusBar* statusBar_ = nullptr;  // the panels, the cursor's place, the save note
  ViewMenus* viewMenus_ = nullptr;  // Resolution, Pen width, Option
  AboutPanel* aboutPanel_ = nullptr;  // Panel_About
  HelpBrowser* helpWindow_ = nullptr;
  // Around the map.
  LegendDock* legendDock_ = nullptr;
  PlaceDocks* placeDocks_ = nullptr;  // the observer: the place, what it sees, the towns
  // Closes the docks beside the globe in a narrow window, opens them under it.
  std::unique_ptr<DockArranger> dockArranger_;
  QAction* helpItem_ = nullptr;
  std::optional<Language> tooltipLanguage_;  // the language the tooltips are in; none yet
  QtStandardTexts qtTexts_;   // the dialogs' buttons in the window's language


  // The time slider, the Sun from the place, the film export. Goes first:
  // its jobs run in workers_.
  std::unique_ptr<TimeControls> timeControls_;
};

}  // namespace darvelle::ui
