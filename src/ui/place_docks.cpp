#include "ui/place_docks.h"

#include <QAction>
#include <QDockWidget>
#include <QMainWindow>
#include <QMenu>

#include "catalogue/eclipse_texts.h"
#include "ui/control_factory.h"
#include "ui/dock_scroller.h"
#include "ui/eclipse_session.h"
#include "ui/globe_view.h"
#include "ui/local_panel.h"
#include "ui/observer_model.h"
#include "ui/session_controller.h"
#include "ui/towns_panel.h"
#include "ui/visible_eclipses_dialog.h"

namespace darvelle::ui {

namespace {

// The place as the map names it: by the name the dock shows, and not at all
// for a point without one (its nearby town is named, if at all, as a town).
std::optional<TownLabelCandidate> MapNameOf(const ObserverPlace& place) {
  if (place.name.isEmpty()) return std::nullopt;
  return TownLabelCandidate{place.name, place.longitudeDeg, place.latitudeDeg};
}

}  // namespace

PlaceDocks::PlaceDocks(Context context, QDockWidget* legendDock)
    : QObject(&context.window), context_(std::move(context)) {
  QMainWindow& window = context_.window;
  localPanel_ = new LocalCircumstancesPanel;
  localPanel_->setWorkers(&context_.workers);
  placeDock_ = new QDockWidget(LocalCaptionsIn(kEnglish).title, &window);
  placeDock_->setObjectName(QStringLiteral("LocalCircumstancesDock"));
  placeDock_->setFont(PixelFont(QStringLiteral("Arial"), 14, false));
  placeDock_->setWidget(new DockScroller(localPanel_));
  // In one tab stack with the legend, the place in front: the panel needs
  // the dock's whole height, and two docks side by side would starve the map.
  window.addDockWidget(Qt::RightDockWidgetArea, placeDock_);
  if (legendDock != nullptr) {
    window.tabifyDockWidget(legendDock, placeDock_);
    placeDock_->raise();
  }

  connect(&context_.globe, &GlobeView::placeClicked, localPanel_, &LocalCircumstancesPanel::choosePoint);
  observer_ = new ObserverModel(context_.settingsFolder, this);
  connect(localPanel_, &LocalCircumstancesPanel::placeChosen, observer_, &ObserverModel::choose);
  connect(observer_, &ObserverModel::placeRestored, this, &PlaceDocks::ShowPlace);
  connect(observer_, &ObserverModel::placeChosen, this, [this](const ObserverPlace& place, bool moved) {
    ShowPlace(place);
    context_.controller.ChoosePlace(MapNameOf(place));
    emit placeChosen(moved);
  });
  connect(observer_, &ObserverModel::settingsProblem, this, &PlaceDocks::settingsProblem);
  connect(&context_.globe, &GlobeView::previousPlaceRequested, observer_, &ObserverModel::choosePrevious);
  connect(localPanel_, &LocalCircumstancesPanel::visibleFromHereRequested, this, &PlaceDocks::OpenVisibleEclipses);
  connect(&context_.session, &EclipseSession::prepared, this,
          [this](const PreparedEclipse& eclipse, bool) { ShowLocalFor(eclipse); });
  BuildTownsDock();
  observer_->restore();
}

void PlaceDocks::BuildTownsDock() {
  // The towns that see the eclipse, a tab behind the place.
  townsPanel_ = new TownsPanel;
  townsPanel_->setWorkers(&context_.workers);
  townsDock_ = new QDockWidget(TownsPanel::Title(kEnglish), &context_.window);
  townsDock_->setObjectName(QStringLiteral("TownsDock"));
  townsDock_->setFont(PixelFont(QStringLiteral("Arial"), 14, false));
  townsDock_->setWidget(new DockScroller(townsPanel_));
  context_.window.tabifyDockWidget(placeDock_, townsDock_);
  placeDock_->raise();
  connect(townsPanel_, &TownsPanel::townChosen, observer_, &ObserverModel::choose);
  connect(&context_.session, &EclipseSession::prepared, townsPanel_, [this](const PreparedEclipse& e, bool) {
    townsDock_->setWindowTitle(TownsPanel::Title(UiLanguage()));
    townsPanel_->setLanguage(UiLanguage());
    townsPanel_->setEclipse({e.selectedIndex, e.elements, e.deltaT, e.timeScale});
  });
}

void PlaceDocks::NamePlaceIn(SessionState& first) const {
  first.chosenPlace = observer_->place() ? MapNameOf(*observer_->place()) : std::nullopt;
}

Language PlaceDocks::UiLanguage() const { return context_.session.State().language; }

void PlaceDocks::AddMenuItems(QMenu* options) {
  options->addAction(placeDock_->toggleViewAction());
  options->addAction(townsDock_->toggleViewAction());
  visibleFromHereItem_ = options->addAction(LocalCaptionsIn(kEnglish).visibleFromHere);
  visibleFromHereItem_->setObjectName(QStringLiteral("VisibleFromHere1"));
  visibleFromHereItem_->setEnabled(observer_->place().has_value());
  connect(visibleFromHereItem_, &QAction::triggered, this, &PlaceDocks::OpenVisibleEclipses);
  // Takes back a place chosen by a slip of the mouse (Escape on the globe does too).
  previousPlaceItem_ = options->addAction(LocalCaptionsIn(kEnglish).previousPlace);
  previousPlaceItem_->setObjectName(QStringLiteral("PreviousPlace"));
  previousPlaceItem_->setShortcut(QKeySequence::Undo);
  previousPlaceItem_->setEnabled(observer_->hasPrevious());
  connect(previousPlaceItem_, &QAction::triggered, observer_, &ObserverModel::choosePrevious);
  connect(observer_, &ObserverModel::previousAvailable, previousPlaceItem_, &QAction::setEnabled);
}

void PlaceDocks::ShowPlace(const ObserverPlace& place) {
  localPanel_->setPlace(place);
  context_.globe.setMarker(GeoPosition{place.latitudeDeg, place.longitudeDeg});
  if (visibleFromHereItem_ != nullptr) visibleFromHereItem_->setEnabled(true);
  if (visibleDialog_ != nullptr) visibleDialog_->setPlace(place);
}

void PlaceDocks::ShowLocalFor(const PreparedEclipse& eclipse) {
  const Language language = UiLanguage();
  const LocalCaptions captions = LocalCaptionsIn(language);
  placeDock_->setWindowTitle(captions.title);
  if (visibleFromHereItem_ != nullptr) visibleFromHereItem_->setText(captions.visibleFromHere);
  if (previousPlaceItem_ != nullptr) previousPlaceItem_->setText(captions.previousPlace);
  context_.globe.setLanguage(language);
  if (visibleDialog_ != nullptr) visibleDialog_->setLanguage(language);
  localPanel_->setLanguage(language);
  localPanel_->setEclipse({eclipse.selectedIndex, eclipse.elements, eclipse.deltaT, eclipse.timeScale});
}

void PlaceDocks::OpenVisibleEclipses() {
  const std::optional<ObserverPlace>& place = observer_->place();
  if (!place) return;
  if (visibleDialog_ == nullptr) {
    visibleDialog_ = new VisibleEclipsesDialog(&context_.catalogue, &context_.window);
    visibleDialog_->setWorkers(&context_.workers);
    visibleDialog_->setLanguage(UiLanguage());
    connect(visibleDialog_, &VisibleEclipsesDialog::eclipseChosen, this,
            [this](int index) { context_.controller.ChooseEclipse(index); });
  }
  visibleDialog_->setPlace(*place);
  visibleDialog_->show();
  visibleDialog_->raise();
  visibleDialog_->activateWindow();
}

}  // namespace darvelle::ui
