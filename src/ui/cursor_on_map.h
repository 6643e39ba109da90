#pragma once
// The cursor's latitude and longitude at the map's lower left corner, for
// windows too narrow for the status bar to show them: the status bar's
// seventeen panels have fixed widths, and the place beside them (the
// "CursorPlace" label) is pushed off its right end below about 1550 pixels.
// The label shows only while that happens; it never takes the mouse.

#include <QLabel>

class QStatusBar;

namespace darvelle::ui {

class CursorOnMap : public QLabel {
  Q_OBJECT

 public:
  // Lies over `map`; watches `statusBar` to know whether its text fits there.
  CursorOnMap(QWidget* map, QStatusBar* statusBar);

  // Whether the status bar is too narrow for the text (the label is then shown).
  bool StatusBarClipsIt() const { return clipped_; }
  void SetPlace(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Place();
  void Update(int statusBarWidth);

  QStatusBar* statusBar_;
  bool clipped_ = false;
};

}  // namespace darvelle::ui
