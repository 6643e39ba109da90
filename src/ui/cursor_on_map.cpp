#include "ui/cursor_on_map.h"

#include <QEvent>
#include <QLayout>
#include <QResizeEvent>
#include <QStatusBar>

namespace darvelle::ui {
namespace {

constexpr int kMargin = 4;  // pixels from the map's corner

}  // namespace

CursorOnMap::CursorOnMap(QWidget* map, QStatusBar* statusBar) : QLabel(map), statusBar_(statusBar) {
  setObjectName(QStringLiteral("CursorPlaceOnMap"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAutoFillBackground(false);
  setStyleSheet(QStringLiteral(
      "QLabel { background-color: rgba(255, 255, 255, 200); color: black; padding: 1px 4px; }"));
  setFont(statusBar->font());
  hide();
  map->installEventFilter(this);
  statusBar_->installEventFilter(this);
  Update(statusBar_->width());
}

void CursorOnMap::SetPlace(const QString& text) {
  setText(text);
  adjustSize();
  Place();
  setVisible(clipped_ && !text.isEmpty());
}

bool CursorOnMap::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize) {
    if (watched == statusBar_) {
      Update(static_cast<QResizeEvent*>(event)->size().width());
    } else if (watched == parent()) {
      Place();
    }
  }
  return QLabel::eventFilter(watched, event);
}

void CursorOnMap::Place() {
  const auto* map = parentWidget();
  move(kMargin, map->height() - height() - kMargin);
  raise();
}

void CursorOnMap::Update(int statusBarWidth) {
  // The bar's layout knows the width its fixed panels and the place need.
  const QLayout* layout = statusBar_->layout();
  clipped_ = layout != nullptr && layout->minimumSize().width() > statusBarWidth;
  setVisible(clipped_ && !text().isEmpty());
}

}  // namespace darvelle::ui
