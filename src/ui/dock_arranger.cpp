#include "ui/dock_arranger.h"

#include <algorithm>
#include <utility>

#include <QDockWidget>
#include <QMainWindow>

#include "ui/window_settings.h"

namespace darvelle::ui {

DockArranger::DockArranger(QMainWindow& window, QWidget& map, QList<QDockWidget*> docks)
    : window_(window), map_(map), docks_(std::move(docks)) {
  // Moving a dock changes the window's layout: not from inside a resize,
  // but once the events of the moment are handled.
  arrangement_.setSingleShot(true);
  arrangement_.setInterval(0);
  connect(&arrangement_, &QTimer::timeout, this, &DockArranger::Arrange);
}

void DockArranger::Watch(QDockWidget* dock) {
  if (watched_.contains(dock)) return;
  watched_.append(dock);
  connect(dock, &QDockWidget::dockLocationChanged, this,
          [this, dock](Qt::DockWidgetArea area) { NoteMoved(dock, area); });
  connect(dock, &QDockWidget::visibilityChanged, this, [this, dock](bool visible) { NoteShown(dock, visible); });
}

int DockArranger::LeastWidthWithDocks() const {
  int docks = 0;
  for (const QDockWidget* dock : docks_) docks = std::max(docks, dock->minimumSizeHint().width());
  return window_.centralWidget()->minimumSizeHint().width() - map_.minimumSizeHint().width() + docks +
         kLeastMapWidth;
}

void DockArranger::NoteMoved(QDockWidget* dock, Qt::DockWidgetArea area) {
  // In the narrow window we only ever put docks under the globe: a dock
  // that lands anywhere else there was put by the user.
  if (arranging_ || !IsCompact() || area == Qt::BottomDockWidgetArea) return;
  if (!dockedInNarrowWindow_.contains(dock)) dockedInNarrowWindow_.append(dock);
}

void DockArranger::NoteShown(QDockWidget* dock, bool visible) {
  if (!visible || !IsCompact()) return;
  // Not from inside the dock's own showing.
  QTimer::singleShot(0, dock, [this, dock] {
    if (IsCompact() && dock->isVisible()) MoveUnderGlobe(dock);
  });
}

void DockArranger::RestoreWide() {
  // Where the user docked docks meanwhile, read before the wide arrangement
  // moves them; one docked and floated again goes back to its wide place.
  QList<std::pair<QDockWidget*, Qt::DockWidgetArea>> userPlaces;
  for (QDockWidget* dock : std::exchange(dockedInNarrowWindow_, {})) {
    if (!dock->isFloating()) userPlaces.append({dock, window_.dockWidgetArea(dock)});
  }
  underGlobe_.clear();
  window_.restoreState(*std::exchange(wideState_, std::nullopt));
  for (const auto& [dock, area] : userPlaces) {
    window_.addDockWidget(area, dock);
    dock->setFloating(false);
    dock->show();
  }
}

QList<QDockWidget*> DockArranger::DocksBesideGlobe() const {
  QList<QDockWidget*> docks;
  for (QDockWidget* dock : window_.findChildren<QDockWidget*>(Qt::FindDirectChildrenOnly)) {
    const Qt::DockWidgetArea area = window_.dockWidgetArea(dock);
    if (!dock->isFloating() && (area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea)) {
      docks.append(dock);
    }
  }
  return docks;
}

void DockArranger::Arrange() {
  const bool compact = window_.width() < LeastWidthWithDocks();
  if (compact == IsCompact()) return;
  if (!compact) {
    RestoreWide();
    return;
  }
  wideState_ = window_.saveState();
  // Closed where they are; each moves under the globe when it opens
  // (MoveUnderGlobe): Qt's dock layout is sure ground only for moves of
  // docks that are shown.
  underGlobe_ = DocksBesideGlobe();
  for (QDockWidget* dock : std::as_const(underGlobe_)) {
    Watch(dock);
    dock->hide();
  }
}

void DockArranger::MoveUnderGlobe(QDockWidget* dock) {
  if (dockedInNarrowWindow_.contains(dock) || dock->isFloating()) return;
  arranging_ = true;
  if (window_.dockWidgetArea(dock) != Qt::BottomDockWidgetArea) {
    window_.addDockWidget(Qt::BottomDockWidgetArea, dock, Qt::Vertical);
  }
  arranging_ = false;
  const bool newTab = StackUnderGlobe();
  FitUnderGlobe();
  if (newTab) dock->raise();  // the dock just opened in front
}

bool DockArranger::StackUnderGlobe() {
  // The shown docks under the globe in one stack of tabs.
  QDockWidget* front = nullptr;
  bool stacked = false;
  arranging_ = true;
  for (QDockWidget* dock : std::as_const(underGlobe_)) {
    if (!dock->isVisible() || dock->isFloating() || window_.dockWidgetArea(dock) != Qt::BottomDockWidgetArea) {
      continue;
    }
    if (front == nullptr) {
      front = dock;
    } else if (!window_.tabifiedDockWidgets(front).contains(dock)) {
      window_.tabifyDockWidget(front, dock);
      stacked = true;
    }
  }
  arranging_ = false;
  return stacked;
}

void DockArranger::FitUnderGlobe() {
  // An opened stack takes what its panel asks for, up to a share of the
  // window's height: the globe above keeps the rest.
  QList<QDockWidget*> shown;
  QList<int> heights;
  const int most = window_.height() * 2 / 5;
  for (QDockWidget* dock : std::as_const(underGlobe_)) {
    if (dock->isFloating() || !dock->isVisible() || window_.dockWidgetArea(dock) != Qt::BottomDockWidgetArea) {
      continue;
    }
    shown.append(dock);
    heights.append(std::min(dock->sizeHint().height(), most));
  }
  if (!shown.isEmpty()) window_.resizeDocks(shown, heights, Qt::Vertical);
}

void DockArranger::ShowInFront(QDockWidget* dock) {
  dock->show();
  dock->raise();
}

QString DockArranger::RestoreLayout(const std::filesystem::path& folder) {
  const WindowSettings saved(folder);
  // Nothing saved (a first start): the window stays maximized on the screen.
  if (const QByteArray geometry = saved.WindowGeometry(); !geometry.isEmpty()) window_.restoreGeometry(geometry);
  if (const QByteArray layout = saved.DockState(); !layout.isEmpty()) window_.restoreState(layout);
  Schedule();
  return saved.Problem();
}

void DockArranger::SaveLayout(const std::filesystem::path& folder) {
  WindowSettings saved(folder);
  if (saved.SetWindowGeometry(window_.saveGeometry())) saved.SetDockState(StateToRemember());
}

QByteArray DockArranger::StateToRemember() {
  if (IsCompact()) RestoreWide();
  return window_.saveState();
}

}  // namespace darvelle::ui
