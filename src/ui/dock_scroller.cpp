#include "ui/dock_scroller.h"

#include <algorithm>

#include <QScrollBar>

namespace darvelle::ui {

namespace {

// The least height a scrolling panel keeps: a few lines of a table.
constexpr int kLeastHeight = 120;

}  // namespace

DockScroller::DockScroller(QWidget* panel, QWidget* parent) : QScrollArea(parent) {
  setObjectName(panel->objectName() + QStringLiteral("Scroller"));
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setWidgetResizable(true);
  setWidget(panel);
}

int DockScroller::BarWidth() const {
  // Kept whether the bar shows or not: a width that followed the bar would
  // let a panel of wrapped lines (shorter when wider) switch the bar on and
  // off for ever.
  return verticalScrollBar()->sizeHint().width();
}

QSize DockScroller::minimumSizeHint() const {
  const QSize panel = widget()->minimumSizeHint().expandedTo(widget()->minimumSize());
  return {panel.width() + BarWidth(), std::min(panel.height(), kLeastHeight)};
}

QSize DockScroller::sizeHint() const {
  const QSize panel = widget()->sizeHint().expandedTo(widget()->minimumSizeHint());
  return {panel.width() + BarWidth(), panel.height()};
}

}  // namespace darvelle::ui
