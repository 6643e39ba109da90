#pragma once
// The docks at any width. Beside the control column a dock takes the width
// of its widest content (the local circumstances' table), which on a small
// screen would leave the globe a sliver. There the docks beside the globe
// close and, opened, move under it, in one stack of tabs: they open from the
// Options menu (the place dock also opens by itself when a place is chosen)
// and take at most a share of the window's height, so nothing covers the
// globe or leaves the screen. When the window is wide again they go back
// where they were, and it is that arrangement the next run restores. A dock
// the user moves in the narrow window stays where it was put, then and later.

#include <filesystem>
#include <optional>

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class QDockWidget;
class QMainWindow;
class QWidget;

namespace darvelle::ui {

class DockArranger : public QObject {
 public:
  // The globe keeps at least this width beside the docks (pixels); a window
  // narrower than the column, the docks and this moves its docks under the globe.
  static constexpr int kLeastMapWidth = 400;

  // Arranges the docks of `window`, whose central widget holds `map`; `docks`
  // are those whose width the window must have room for beside the globe.
  DockArranger(QMainWindow& window, QWidget& map, QList<QDockWidget*> docks);

  // Once the events of the moment are handled: after a resize, a restored
  // layout or a panel that grew.
  void Schedule() { arrangement_.start(); }
  // Opens `dock` in front (under the globe in a narrow window).
  void ShowInFront(QDockWidget* dock);
  // The arrangement of a wide window, with what the user docked in a narrow
  // one where it was put: what the next start restores.
  QByteArray StateToRemember();
  // The window's place, size and docks as the last run left them in the
  // window's settings in `folder`; returns why they cannot be read, if so.
  QString RestoreLayout(const std::filesystem::path& folder);
  void SaveLayout(const std::filesystem::path& folder);

 private:
  bool IsCompact() const { return wideState_.has_value(); }
  int LeastWidthWithDocks() const;
  void Arrange();
  QList<QDockWidget*> DocksBesideGlobe() const;
  void Watch(QDockWidget* dock);
  void NoteMoved(QDockWidget* dock, Qt::DockWidgetArea area);
  void NoteShown(QDockWidget* dock, bool visible);
  void MoveUnderGlobe(QDockWidget* dock);
  bool StackUnderGlobe();  // true when it made a new tab
  void FitUnderGlobe();
  void RestoreWide();

  QMainWindow& window_;
  QWidget& map_;
  const QList<QDockWidget*> docks_;
  // The docks' arrangement in a wide window while a narrow one stacks them under the globe.
  std::optional<QByteArray> wideState_;
  QList<QDockWidget*> underGlobe_;  // the docks a narrow window moved under the globe
  bool arranging_ = false;          // moves of ours, not the user's
  QTimer arrangement_;              // one arrangement after a burst of resizes
  // Docks the user docked while the window was narrow: they keep that place.
  QList<QDockWidget*> dockedInNarrowWindow_;
  QList<QDockWidget*> watched_;  // whose moves and showing are followed
};

}  // namespace darvelle::ui
