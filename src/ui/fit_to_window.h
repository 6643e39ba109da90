#pragma once
// Option > Fit to window: the globe size that makes the
// eclipse shown fill the map panel (or the whole globe, when the eclipse
// covers most of it), typed into the size field as if the user had.
// Home, as in desktop globes, and Ctrl+0, as in viewers, ask for it.

#include <QSize>
#include <functional>
#include <optional>

#include "ui/eclipse_session.h"

class QAction;
class QMenu;

namespace darvelle::ui {

// The size for the panel of `area` logical pixels at `pixelRatio`, with the
// angles of `view` (the user's view now); none before a result is shown.
std::optional<int> FitToWindowSize(const SessionResult* shown, const ViewParameters& view, QSize area,
                                   qreal pixelRatio);

// The menu item with its keys; `fit` runs when it is chosen.
QAction* AddFitToWindowItem(QMenu* menu, std::function<void()> fit);

}  // namespace darvelle::ui
