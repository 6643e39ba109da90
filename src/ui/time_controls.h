#pragma once
// The eclipse in time, in the window: the time slider in a dock under the
// globe, the view of the Sun from the place in a dock beside the local
// circumstances, the shadow of the slider's instant over the map, and
// File > Export animation…. All of it is closed until the user opens the
// slider from the Option menu (the map is the session's own picture until
// then); whether it was open is remembered in the window's settings file.
// The window only makes one of these and hands it what it shows.

#include <QObject>
#include <functional>
#include <optional>
#include <filesystem>
#include <memory>
#include <vector>

#include "ui/data_loads.h"
#include "ui/eclipse_session.h"
#include "ui/local_texts.h"

class QAction;
class QDockWidget;
class QMainWindow;
class QMenu;
class QThreadPool;

namespace darvelle::ui {

class AnimationExport;
class GlobeView;
class MapPanel;
class ObserverModel;
class SessionController;
class WindowSettings;
class SunView;
class TimeLayer;
class TimeSlider;

struct TimeControlsWiring {
  QMainWindow* window = nullptr;
  EclipseSession* session = nullptr;
  ObserverModel* observer = nullptr;
  MapPanel* mapPanel = nullptr;
  QDockWidget* placeDock = nullptr;  // the Sun's view goes under it
  GlobeView* globe = nullptr;        // its final views end the drag's quick pictures
  SessionController* controller = nullptr;  // asks for the map with timed outlines
  QMenu* optionMenu = nullptr;
  QMenu* fileMenu = nullptr;
  QAction* fileMenuBefore = nullptr;  // the film's item goes above this one
  QThreadPool* workers = nullptr;
  std::filesystem::path settingsFolder;  // of DarvelleWindow.ini
  // The window's loads, read when a film starts (they begin after the window is made).
  const TextureFuture* texture = nullptr;
  const CoastlineFuture* coastlines = nullptr;
  std::function<void()> showPlainMap;  // the session's picture back on the map panel
  std::function<void(const QString&)> report;  // a failed export, for the user
};

class TimeControls : public QObject {
  Q_OBJECT

 public:
  static constexpr const char* kOpenKey = "TimeSlider/open";
  static constexpr const char* kOutlineKey = "Map/umbraOutlineMinutes";

  explicit TimeControls(TimeControlsWiring wiring, QObject* parent = nullptr);

  // Opens the slider when the last run left it open, and checks the step of
  // the timed outlines the last run chose (the first request asks for it).
  void restore();
  // The step of the umbra's timed outlines checked in the Option menu; 0: none.
  int umbraOutlineMinutes() const;
  void setOpen(bool open);
  bool isOpen() const;

  TimeSlider* slider() const { return slider_; }
  SunView* sunView() const { return sunView_; }
  TimeLayer* layer() const { return layer_; }
  AnimationExport* animationExport() const { return export_; }
  QAction* openAction() const;
  QAction* exportAction() const { return exportItem_; }

 private:
  void Show(const std::shared_ptr<const SessionResult>& result);
  void ShowPlace(const ObserverPlace& place);
  void FollowInstant(double t);
  void OpenChanged(bool open);
  void AskForFilm();
  void BuildOutlineMenu(QMenu* options);
  void ChooseOutlines(int minutes);
  void RestoreOutlines(const WindowSettings& settings);

  TimeControlsWiring wiring_;
  QDockWidget* sliderDock_ = nullptr;
  QDockWidget* sunDock_ = nullptr;
  TimeSlider* slider_ = nullptr;
  SunView* sunView_ = nullptr;
  TimeLayer* layer_ = nullptr;
  AnimationExport* export_ = nullptr;
  QAction* exportItem_ = nullptr;
  QMenu* outlineMenu_ = nullptr;
  std::vector<QAction*> outlineItems_;  // "off" first
  std::shared_ptr<const SessionResult> shown_;
  std::optional<ObserverPlace> place_;
  bool restoring_ = false;
};

}  // namespace darvelle::ui
