#pragma once
// A dock's panel that scrolls up and down instead of setting the dock's
// least height. Under the globe in a small window a dock gets a share of
// the height, less than a panel such as the local circumstances asks for;
// beside the globe it has the window's height and looks as it always has.
// Across, the dock is as wide as the panel and its scroll bar.

#include <QScrollArea>

namespace darvelle::ui {

class DockScroller : public QScrollArea {
  Q_OBJECT

 public:
  // Takes `panel` over; the scroller carries the panel's object name with
  // a "Scroller" suffix.
  explicit DockScroller(QWidget* panel, QWidget* parent = nullptr);

  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;

 private:
  int BarWidth() const;
};

}  // namespace darvelle::ui
