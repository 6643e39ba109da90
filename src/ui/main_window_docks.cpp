// The docks at any width. Beside the control column a dock takes the width
// of its widest content (the local circumstances' table), which on a small
// screen would leave the globe a sliver. There the docks leave the window:
// they float, closed, and open from the Options menu (the place dock also
// opens by itself when a place is chosen) over the globe, which keeps the
// window's width. When the window is wide again they go back where they
// were, and it is that arrangement the next run restores. A dock the user
// docks in the narrow window stays where it was put, then and later.

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
  // Floating a dock changes the window's layout: not from inside a resize,
  // but once the events of the moment are handled.
  dockArrangement_.setSingleShot(true);
  dockArrangement_.setInterval(0);
  connect(&dockArrangement_, &QTimer::timeout, this, &MainWindow::ArrangeDocks);
}

void MainWindow::ScheduleDockArrangement() { dockArrangement_.start(); }

void MainWindow::WatchDockedByUser(QDockWidget* dock) {
  connect(dock, &QDockWidget::topLevelChanged, this, [this, dock](bool floating) {
    // We only float docks in the compact state and restore them outside it:
    // a dock that stops floating in it was docked by the user.
    if (floating || !DocksAreCompact() || dockedInNarrowWindow_.contains(dock)) return;
    dockedInNarrowWindow_.append(dock);
  });
}

void MainWindow::RestoreWideDocks() {
  // Where the user docked docks meanwhile, read before the wide arrangement
  // moves them; one docked and floated again goes back to its wide place.
  QList<std::pair<QDockWidget*, Qt::DockWidgetArea>> userPlaces;
  for (QDockWidget* dock : std::exchange(dockedInNarrowWindow_, {})) {
    if (!dock->isFloating()) userPlaces.append({dock, dockWidgetArea(dock)});
  }
  restoreState(*std::exchange(wideDockState_, std::nullopt));
  for (const auto& [dock, area] : userPlaces) {
    addDockWidget(area, dock);
    dock->setFloating(false);
    dock->show();
  }
}

void MainWindow::ArrangeDocks() {
  const bool compact = width() < LeastWidthWithDocks();
  if (compact == DocksAreCompact()) return;
  if (!compact) {
    RestoreWideDocks();
    return;
  }
  wideDockState_ = saveState();
  for (QDockWidget* dock : {legendDock_, placeDock_, townsDock_}) {
    if (dock->isFloating()) continue;  // the user's own floating dock stays as it is
    dock->hide();
    dock->setFloating(true);
    // Over the right of the globe, when opened.
    const QSize size = dock->sizeHint().boundedTo(QSize(dock->sizeHint().width(), height() - 80));
    dock->resize(size);
    dock->move(mapToGlobal(QPoint(width() - size.width() - 16, 60)));
  }
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
