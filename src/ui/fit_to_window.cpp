#include "ui/fit_to_window.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace darvelle::ui {

std::optional<int> FitToWindowSize(const SessionResult* shown, const ViewParameters& view, QSize area,
                                   qreal pixelRatio) {
  if (shown == nullptr || shown->computation == nullptr || area.isEmpty()) return std::nullopt;
  // A few hundred points of each curve projected once: far less than a
  // millisecond, no work for a job of its own.
  return FitGlobeSize(*shown->computation, view, ScreenCanvas(area.width(), area.height(), pixelRatio));
}

QAction* AddFitToWindowItem(QMenu* menu, std::function<void()> fit) {
  QAction* item = menu->addAction(QStringLiteral("Fit to window"));
  item->setObjectName(QStringLiteral("FitToWindow1"));
  item->setShortcuts({QKeySequence(Qt::Key_Home), QKeySequence(Qt::CTRL | Qt::Key_0)});
  // The keys work wherever the window has the focus, except where an edit
  // field takes Home for itself.
  item->setShortcutContext(Qt::WindowShortcut);
  QObject::connect(item, &QAction::triggered, menu, [fit = std::move(fit)] { fit(); });
  return item;
}

}  // namespace darvelle::ui
