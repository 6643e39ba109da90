// The eclipse in time: the slider, the Sun from the place and the film
// export live in TimeControls; the window hands it what it shows.

#include <QMenu>

#include "ui/earth_loads.h"
#include "ui/globe_widget.h"
#include "ui/main_window.h"
#include "ui/place_docks.h"
#include "ui/time_controls.h"
#include "ui/widgets.h"

namespace darvelle::ui {

void MainWindow::BuildTimeControls() {
  TimeControlsWiring wiring;
  wiring.window = this;
  wiring.session = session_.get();
  wiring.observer = placeDocks_->Observer();
  wiring.mapPanel = Panel2;
  wiring.placeDock = placeDocks_->PlaceDock();
  wiring.globe = &Panel2->Input();
  wiring.controller = controller_.get();
  wiring.optionMenu = findChild<QMenu*>(QStringLiteral("Option1"));
  wiring.fileMenu = findChild<QMenu*>(QStringLiteral("File1"));
  // With the exports, above the separator that sets off the exit.
  if (wiring.fileMenu != nullptr) {
    const QList<QAction*> items = wiring.fileMenu->actions();
    const qsizetype exit = items.indexOf(Exit1);
    wiring.fileMenuBefore = exit > 0 ? items[exit - 1] : Exit1;
  }
  wiring.workers = &workers_;
  wiring.settingsFolder = options_.settingsFolder;
  wiring.texture = &earthLoads_->Texture();
  wiring.coastlines = &earthLoads_->Coastlines();
  wiring.showPlainMap = [this] { Panel2->ShowCurrentMap(); };
  wiring.report = [this](const QString& problem) {
    ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"), problem);
  };
  timeControls_ = std::make_unique<TimeControls>(std::move(wiring));
}

}  // namespace darvelle::ui
