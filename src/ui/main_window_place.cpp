// The observer's docks in the window: their toggles in the Options menu, and
// a chosen place brought to the front where the window has room for it.

#include <QDockWidget>
#include <QMenu>

#include "ui/dock_arranger.h"
#include "ui/globe_widget.h"
#include "ui/main_window.h"
#include "ui/place_docks.h"

namespace darvelle::ui {

void MainWindow::BuildPlaceDocks() {
  placeDocks_ = new PlaceDocks({*this, workers_, catalogue_, *session_, *controller_, Panel2->Input(), options_.settingsFolder},
                               legendDock_);
  connect(placeDocks_, &PlaceDocks::settingsProblem, this, &MainWindow::ReportSettingsProblem);
  connect(placeDocks_, &PlaceDocks::placeChosen, this, [this](bool moved) {
    // What the user asked for comes to the front, unless only its name changed.
    if (moved) dockArranger_->ShowInFront(placeDocks_->PlaceDock());
    // The table may have grown: the docks may no longer fit beside the globe.
    dockArranger_->Schedule();
  });
}

}  // namespace darvelle::ui
