// The eclipse in time: the slider, the Sun from the place and the film
// export live in TimeControls; the window hands it what it shows.

#include <QMenu>

#include "ui/main_window.h"
#include "ui/time_controls.h"
#include "ui/widgets.h"

namespace darvelle::ui {

void MainWindow::BuildTimeControls() {
  TimeControlsParts parts;
  parts.window = this;
  parts.session = session_.get();
  parts.observer = observer_;
  parts.mapPanel = Panel2;
  parts.placeDock = placeDock_;
  parts.globe = globeInput_;
  parts.optionMenu = findChild<QMenu*>(QStringLiteral("Option1"));
  parts.fileMenu = findChild<QMenu*>(QStringLiteral("File1"));
  // With the exports, above the separator that sets off the exit.
  if (parts.fileMenu != nullptr) {
    const QList<QAction*> items = parts.fileMenu->actions();
    const qsizetype exit = items.indexOf(Exit1);
    parts.fileMenuBefore = exit > 0 ? items[exit - 1] : Exit1;
  }
  parts.workers = &workers_;
  parts.settingsFolder = options_.settingsFolder;
  parts.texture = &texture_;
  parts.coastlines = &coastlines_;
  parts.showPlainMap = [this] { ShowCurrentMap(); };
  parts.report = [this](const QString& problem) {
    ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"), problem);
  };
  timeControls_ = std::make_unique<TimeControls>(std::move(parts));
}

}  // namespace darvelle::ui
