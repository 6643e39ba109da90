#pragma once
// The observer's views: a click on the globe or a place from the search box
// sets the place (held and remembered by the ObserverModel), a marker shows
// it on the globe, the local-circumstances dock shows what it sees of the
// eclipse shown, the towns dock lists the towns that see it, and the list of
// eclipses visible from the place chooses another.

#include <QObject>
#include <filesystem>

#include "catalogue/language.h"

class QAction;
class QDockWidget;
class QMainWindow;
class QMenu;
class QThreadPool;

namespace darvelle {
class Catalogue;
struct PreparedEclipse;
}
namespace darvelle::ui {

class EclipseSession;
class GlobeView;
class LocalCircumstancesPanel;
class ObserverModel;
class SessionController;
class TownsPanel;
class VisibleEclipsesDialog;
struct ObserverPlace;
struct SessionState;

class PlaceDocks : public QObject {
  Q_OBJECT

 public:
  // What the views read and where they show; all outlive them.
  struct Context {
    QMainWindow& window;  // holds the docks
    QThreadPool& workers;
    const Catalogue& catalogue;
    EclipseSession& session;        // the eclipse shown, and the language
    SessionController& controller;  // an eclipse chosen from the list
    GlobeView& globe;
    std::filesystem::path settingsFolder;  // where the place is remembered
  };

  // The docks go in one tab stack with `legendDock`, the place in front;
  // the place is the one the last run left, if any.
  PlaceDocks(Context context, QDockWidget* legendDock);

  // The docks' toggles, "Visible from here" and "Previous place".
  void AddMenuItems(QMenu* options);

  // The place the last run left, named on the map by the first request
  // (later choices reach the session through the controller).
  void NamePlaceIn(SessionState& first) const;

  QDockWidget* PlaceDock() const { return placeDock_; }
  QDockWidget* TownsDock() const { return townsDock_; }
  ObserverModel* Observer() const { return observer_; }

 signals:
  // The user chose a place; `moved` unless only its name changed.
  void placeChosen(bool moved);
  void settingsProblem(const QString& problem);

 private:
  void BuildTownsDock();
  void ShowPlace(const ObserverPlace& place);
  void ShowLocalFor(const PreparedEclipse& eclipse);
  void OpenVisibleEclipses();
  Language UiLanguage() const;

  Context context_;
  LocalCircumstancesPanel* localPanel_ = nullptr;
  QDockWidget* placeDock_ = nullptr;
  TownsPanel* townsPanel_ = nullptr;
  QDockWidget* townsDock_ = nullptr;
  ObserverModel* observer_ = nullptr;  // the one place, and its memory
  VisibleEclipsesDialog* visibleDialog_ = nullptr;
  QAction* visibleFromHereItem_ = nullptr;
  QAction* previousPlaceItem_ = nullptr;
};

}  // namespace darvelle::ui
