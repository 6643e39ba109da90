// The observer: a click on the globe or a place from the search box sets
// it, a marker shows it on the globe, the local-circumstances dock shows
// what it sees of the eclipse shown, the list of eclipses visible from it
// chooses another, and the place is remembered in the window's own settings
// file for the next run.

#include <QAction>
#include <QDockWidget>
#include <QMenu>

#include "catalogue/eclipse_texts.h"
#include "ui/control_factory.h"
#include "ui/dock_scroller.h"
#include "ui/globe_view.h"
#include "ui/local_panel.h"
#include "ui/main_window.h"
#include "ui/observer_model.h"
#include "ui/towns_panel.h"
#include "ui/visible_eclipses_dialog.h"

namespace darvelle::ui {

void MainWindow::BuildPlaceDock() {
  localPanel_ = new LocalCircumstancesPanel;
  localPanel_->setWorkers(&workers_);
  placeDock_ = new QDockWidget(LocalCaptionsIn(kEnglish).title, this);
  placeDock_->setObjectName(QStringLiteral("LocalCircumstancesDock"));
  placeDock_->setFont(PixelFont(QStringLiteral("Arial"), 14, false));
  placeDock_->setWidget(new DockScroller(localPanel_));
  // In one tab stack with the legend, the place in front: the panel needs
  // the dock's whole height, and two docks side by side would starve the map.
  addDockWidget(Qt::RightDockWidgetArea, placeDock_);
  if (legendDock_ != nullptr) {
    tabifyDockWidget(legendDock_, placeDock_);
    placeDock_->raise();
  }

  connect(globeInput_, &GlobeView::placeClicked, localPanel_, &LocalCircumstancesPanel::choosePoint);
  observer_ = new ObserverModel(options_.settingsFolder, this);
  connect(localPanel_, &LocalCircumstancesPanel::placeChosen, observer_, &ObserverModel::choose);
  connect(observer_, &ObserverModel::placeRestored, this, &MainWindow::ShowPlace);
  connect(observer_, &ObserverModel::placeChosen, this, &MainWindow::ChoosePlace);
  connect(observer_, &ObserverModel::settingsProblem, this, &MainWindow::ReportSettingsProblem);
  connect(globeInput_, &GlobeView::previousPlaceRequested, observer_, &ObserverModel::choosePrevious);
  connect(localPanel_, &LocalCircumstancesPanel::visibleFromHereRequested, this,
          &MainWindow::OpenVisibleEclipses);
  connect(session_.get(), &EclipseSession::prepared, this,
          [this](const PreparedEclipse& eclipse, bool) { ShowLocalFor(eclipse); });
  // The towns that see the eclipse, a tab behind the place.
  townsPanel_ = new TownsPanel;
  townsPanel_->setWorkers(&workers_);
  townsDock_ = new QDockWidget(TownsPanel::Title(kEnglish), this);
  townsDock_->setObjectName(QStringLiteral("TownsDock"));
  townsDock_->setFont(PixelFont(QStringLiteral("Arial"), 14, false));
  townsDock_->setWidget(new DockScroller(townsPanel_));
  tabifyDockWidget(placeDock_, townsDock_);
  placeDock_->raise();
  connect(townsPanel_, &TownsPanel::townChosen, observer_, &ObserverModel::choose);
  connect(session_.get(), &EclipseSession::prepared, townsPanel_, [this](const PreparedEclipse& e, bool) {
    townsDock_->setWindowTitle(TownsPanel::Title(UiLanguage()));
    townsPanel_->setLanguage(UiLanguage());
    townsPanel_->setEclipse({e.selectedIndex, e.elements, e.deltaT, e.timeScale});
  });
  observer_->restore();
}

void MainWindow::BuildPlaceMenuItems() {
  QMenu* options = findChild<QMenu*>(QStringLiteral("Option1"));
  if (options == nullptr) return;
  options->addAction(placeDock_->toggleViewAction());
  options->addAction(townsDock_->toggleViewAction());
  visibleFromHereItem_ = options->addAction(LocalCaptionsIn(kEnglish).visibleFromHere);
  visibleFromHereItem_->setObjectName(QStringLiteral("VisibleFromHere1"));
  visibleFromHereItem_->setEnabled(observer_->place().has_value());
  connect(visibleFromHereItem_, &QAction::triggered, this, &MainWindow::OpenVisibleEclipses);
  // Takes back a place chosen by a slip of the mouse (Escape on the globe does too).
  previousPlaceItem_ = options->addAction(LocalCaptionsIn(kEnglish).previousPlace);
  previousPlaceItem_->setObjectName(QStringLiteral("PreviousPlace"));
  previousPlaceItem_->setShortcut(QKeySequence::Undo);
  previousPlaceItem_->setEnabled(observer_->hasPrevious());
  connect(previousPlaceItem_, &QAction::triggered, observer_, &ObserverModel::choosePrevious);
  connect(observer_, &ObserverModel::previousAvailable, previousPlaceItem_, &QAction::setEnabled);
}

void MainWindow::ChoosePlace(const ObserverPlace& place, bool moved) {
  ShowPlace(place);
  // What the user asked for comes to the front, unless only its name changed.
  if (moved) ShowPlaceDock();
  // The table may have grown: the docks may no longer fit beside the globe.
  ScheduleDockArrangement();
}

void MainWindow::ShowPlace(const ObserverPlace& place) {
  localPanel_->setPlace(place);
  globeInput_->setMarker(GeoPosition{place.latitudeDeg, place.longitudeDeg});
  if (visibleFromHereItem_ != nullptr) visibleFromHereItem_->setEnabled(true);
  if (visibleDialog_ != nullptr) visibleDialog_->setPlace(place);
}

void MainWindow::ShowLocalFor(const PreparedEclipse& eclipse) {
  const Language language = UiLanguage();
  const LocalCaptions captions = LocalCaptionsIn(language);
  placeDock_->setWindowTitle(captions.title);
  if (visibleFromHereItem_ != nullptr) visibleFromHereItem_->setText(captions.visibleFromHere);
  if (previousPlaceItem_ != nullptr) previousPlaceItem_->setText(captions.previousPlace);
  globeInput_->setLanguage(language);
  if (visibleDialog_ != nullptr) visibleDialog_->setLanguage(language);
  localPanel_->setLanguage(language);
  localPanel_->setEclipse({eclipse.selectedIndex, eclipse.elements, eclipse.deltaT, eclipse.timeScale});
}

void MainWindow::OpenVisibleEclipses() {
  const std::optional<ObserverPlace>& place = observer_->place();
  if (!place) return;
  if (visibleDialog_ == nullptr) {
    visibleDialog_ = new VisibleEclipsesDialog(&catalogue_, this);
    visibleDialog_->setWorkers(&workers_);
    visibleDialog_->setLanguage(UiLanguage());
    connect(visibleDialog_, &VisibleEclipsesDialog::eclipseChosen, this,
            [this](int index) { controller_->ChooseEclipse(index); });
  }
  visibleDialog_->setPlace(*place);
  visibleDialog_->show();
  visibleDialog_->raise();
  visibleDialog_->activateWindow();
}

}  // namespace darvelle::ui
