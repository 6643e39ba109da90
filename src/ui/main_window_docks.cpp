// The docks at any width. Beside the control column a dock takes the width
// of its widest content (the local circumstances' table), which on a small
// screen would leave the globe a sliver. There the docks beside the globe
// close and, opened, move under it, in one stack of tabs: they open from the Options
// menu (the place dock also opens by itself when a place is chosen) and
// take at most a share of the window's height, so nothing covers the globe
// or leaves the screen. When the window is wide again they go back where
// they were, and it is that arrangement the next run restores. A dock the
// user moves in the narrow window stays where it was put, then and later.

#include <utility>

#include <QDockWidget>
#include <QTimer>

#include "ui/main_window.h"
#include "ui/widgets.h"

namespace darvelle::ui {

int MainWindow::LeastWidthWithDocks() const {
  int docks = 0;
  for (const QDockWidget* dock : {legendDock_, placeDock_, townsDock_}) {
    docks = std::max(docks, dock->minimumSizeHint().width());
  }
  return centralWidget()->minimumSizeHint().width() - Panel2->minimumSizeHint().width() + docks +
         kLeastMapWidth;
}

bool MainWindow::DocksAreCompact() const { return wideDockState_.has_value(); }

void MainWindow::PrepareDockArrangement() {
  // Moving a dock changes the window's layout: not from inside a resize,
  // but once the events of the moment are handled.
  dockArrangement_.setSingleShot(true);
  dockArrangement_.setInterval(0);
  connect(&dockArrangement_, &QTimer::timeout, this, &MainWindow::ArrangeDocks);
}

void MainWindow::ScheduleDockArrangement() { dockArrangement_.start(); }

void MainWindow::NoteDockMoved(Qt::DockWidgetArea area) {
  // In the narrow window we only ever put docks under the globe: a dock
  // that lands anywhere else there was put by the user.
  auto* dock = qobject_cast<QDockWidget*>(sender());
  if (dock == nullptr || arrangingDocks_ || !DocksAreCompact() || area == Qt::BottomDockWidgetArea) return;
  if (!dockedInNarrowWindow_.contains(dock)) dockedInNarrowWindow_.append(dock);
}

void MainWindow::NoteDockShown(bool visible) {
  auto* dock = qobject_cast<QDockWidget*>(sender());
  if (dock == nullptr || !visible || !DocksAreCompact()) return;
  // Not from inside the dock's own showing.
  QTimer::singleShot(0, dock, [this, dock] {
    if (DocksAreCompact() && dock->isVisible()) MoveUnderGlobe(dock);
  });
}

void MainWindow::RestoreWideDocks() {
  // Where the user docked docks meanwhile, read before the wide arrangement
  // moves them; one docked and floated again goes back to its wide place.
  QList<std::pair<QDockWidget*, Qt::DockWidgetArea>> userPlaces;
  for (QDockWidget* dock : std::exchange(dockedInNarrowWindow_, {})) {
    if (!dock->isFloating()) userPlaces.append({dock, dockWidgetArea(dock)});
  }
  docksUnderGlobe_.clear();
  restoreState(*std::exchange(wideDockState_, std::nullopt));
  for (const auto& [dock, area] : userPlaces) {
    addDockWidget(area, dock);
    dock->setFloating(false);
    dock->show();
  }
}

QList<QDockWidget*> MainWindow::DocksBesideGlobe() const {
  QList<QDockWidget*> docks;
  for (QDockWidget* dock : findChildren<QDockWidget*>(Qt::FindDirectChildrenOnly)) {
    const Qt::DockWidgetArea area = dockWidgetArea(dock);
    if (!dock->isFloating() && (area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea)) {
      docks.append(dock);
    }
  }
  return docks;
}

void MainWindow::ArrangeDocks() {
  const bool compact = width() < LeastWidthWithDocks();
  if (compact == DocksAreCompact()) return;
  if (!compact) {
    RestoreWideDocks();
    return;
  }
  wideDockState_ = saveState();
  // Closed where they are; each moves under the globe when it opens
  // (MoveUnderGlobe): Qt's dock layout is sure ground only for moves of
  // docks that are shown.
  docksUnderGlobe_ = DocksBesideGlobe();
  for (QDockWidget* dock : std::as_const(docksUnderGlobe_)) {
    connect(dock, &QDockWidget::dockLocationChanged, this, &MainWindow::NoteDockMoved, Qt::UniqueConnection);
    connect(dock, &QDockWidget::visibilityChanged, this, &MainWindow::NoteDockShown, Qt::UniqueConnection);
    dock->hide();
  }
}

void MainWindow::MoveUnderGlobe(QDockWidget* dock) {
  if (dockedInNarrowWindow_.contains(dock) || dock->isFloating()) return;
  arrangingDocks_ = true;
  if (dockWidgetArea(dock) != Qt::BottomDockWidgetArea) addDockWidget(Qt::BottomDockWidgetArea, dock, Qt::Vertical);
  arrangingDocks_ = false;
  const bool newTab = StackDocksUnderGlobe();
  FitDocksUnderGlobe();
  if (newTab) dock->raise();  // the dock just opened in front
}

bool MainWindow::StackDocksUnderGlobe() {
  // The shown docks under the globe in one stack of tabs.
  QDockWidget* front = nullptr;
  bool stacked = false;
  arrangingDocks_ = true;
  for (QDockWidget* dock : std::as_const(docksUnderGlobe_)) {
    if (!dock->isVisible() || dock->isFloating() || dockWidgetArea(dock) != Qt::BottomDockWidgetArea) continue;
    if (front == nullptr) {
      front = dock;
    } else if (!tabifiedDockWidgets(front).contains(dock)) {
      tabifyDockWidget(front, dock);
      stacked = true;
    }
  }
  arrangingDocks_ = false;
  return stacked;
}

void MainWindow::FitDocksUnderGlobe() {
  // An opened stack takes what its panel asks for, up to a share of the
  // window's height: the globe above keeps the rest.
  QList<QDockWidget*> shown;
  QList<int> heights;
  const int most = height() * 2 / 5;
  for (QDockWidget* dock : std::as_const(docksUnderGlobe_)) {
    if (dock->isFloating() || !dock->isVisible() || dockWidgetArea(dock) != Qt::BottomDockWidgetArea) continue;
    shown.append(dock);
    heights.append(std::min(dock->sizeHint().height(), most));
  }
  if (!shown.isEmpty()) resizeDocks(shown, heights, Qt::Vertical);
}

void MainWindow::ShowPlaceDock() {
  placeDock_->show();
  placeDock_->raise();
}

QByteArray MainWindow::DockStateToRemember() {
  // Closing: the arrangement of a wide window, with what the user docked
  // in the narrow one where it was put.
  if (DocksAreCompact()) RestoreWideDocks();
  return saveState();
}

}  // namespace darvelle::ui
