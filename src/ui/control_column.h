#pragma once
// The left column of controls in a scroll area: on a short screen the column
// keeps every control at its own size and scrolls, instead of squashing the
// year and Saros rows into slivers. The area is as wide as the column, plus
// the scroll bar only while the bar is shown, so that on a tall screen the
// window looks as it always has.

#include <QScrollArea>

namespace darvelle::ui {

class ControlColumn : public QScrollArea {
  Q_OBJECT

 public:
  // `column` keeps its fixed width; the area takes it over.
  ControlColumn(QWidget* column, QWidget* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FitWidth();
};

// The window's client area ("ClientArea"): the column on the left, the map
// beside it taking what width is left, and under both the one-pixel edge
// "Panel1".
QWidget* MakeClientArea(ControlColumn* column, QWidget* map);

}  // namespace darvelle::ui
