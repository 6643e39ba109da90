#include "ui/control_column.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QVBoxLayout>

namespace darvelle::ui {

ControlColumn::ControlColumn(QWidget* column, QWidget* parent) : QScrollArea(parent) {
  setObjectName(QStringLiteral("ControlColumn"));
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setWidgetResizable(true);
  // The column's grey shows behind it when the area is taller than the column.
  viewport()->setAutoFillBackground(true);
  viewport()->setPalette(column->palette());
  setWidget(column);
  // The bar appears and goes as the window's height changes; the width
  // follows it (a change of width never changes whether the bar is needed,
  // the column's width being fixed, so this cannot oscillate).
  verticalScrollBar()->installEventFilter(this);
  FitWidth();
}

bool ControlColumn::eventFilter(QObject* watched, QEvent* event) {
  if (watched == verticalScrollBar() &&
      (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
    FitWidth();
  }
  return QScrollArea::eventFilter(watched, event);
}

void ControlColumn::FitWidth() {
  const int bar = verticalScrollBar()->isVisibleTo(this) ? verticalScrollBar()->sizeHint().width() : 0;
  setFixedWidth(widget()->minimumWidth() + bar);
}

QWidget* MakeClientArea(ControlColumn* column, QWidget* map) {
  auto* area = new QWidget;
  area->setObjectName(QStringLiteral("ClientArea"));
  auto* outer = new QVBoxLayout(area);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  auto* body = new QHBoxLayout;
  body->setSpacing(0);
  outer->addLayout(body, 1);
  body->addWidget(column);
  body->addWidget(map, 1);
  auto* bottomEdge = new QWidget(area);
  bottomEdge->setObjectName(QStringLiteral("Panel1"));
  bottomEdge->setFixedHeight(1);
  outer->addWidget(bottomEdge);
  return area;
}

}  // namespace darvelle::ui
