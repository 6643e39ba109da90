// What users of a desktop program expect of any window: shortcuts (F1 help,
// Ctrl+Q quit, Page Up/Down through the catalogue; the globe takes the arrows
// and +/- itself when it has the focus), tooltips in the window's language on
// every control, entries not taken as typed marked and explained, and the
// window's place, size and docks as the user left them.

#include <QAction>
#include <QKeySequence>
#include <QLineEdit>
#include <QShortcut>
#include <QStatusBar>

#include "ui/dock_arranger.h"
#include "ui/eclipse_controls.h"
#include "ui/globe_view.h"
#include "ui/globe_widget.h"
#include "ui/main_window.h"
#include "ui/tooltips.h"
#include "ui/widgets.h"
#include "ui/window_settings.h"

namespace darvelle::ui {

void MainWindow::BuildConventions() {
  helpItem_->setShortcut(QKeySequence(Qt::Key_F1));
  Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  // The same steps as the < and > buttons beside the year.
  auto* previous = new QShortcut(QKeySequence(Qt::Key_PageUp), this);
  previous->setObjectName(QStringLiteral("PreviousEclipseKey"));
  connect(previous, &QShortcut::activated, this, [this] { controller_->StepCatalogue(-1); });
  auto* next = new QShortcut(QKeySequence(Qt::Key_PageDown), this);
  next->setObjectName(QStringLiteral("NextEclipseKey"));
  connect(next, &QShortcut::activated, this, [this] { controller_->StepCatalogue(1); });
}

void MainWindow::ShowTooltips(Language language) {
  if (tooltipLanguage_ == language) return;
  tooltipLanguage_ = language;
  ApplyTooltips(this, language);
  controls_->ExplainEntriesIn(language);
}

void MainWindow::RestoreWindowLayout() {
  const WindowSettings saved(options_.settingsFolder);
  ReportSettingsProblem(saved.Problem());
  // Nothing saved (a first start): the window stays maximized on the screen.
  if (const QByteArray geometry = saved.WindowGeometry(); !geometry.isEmpty()) restoreGeometry(geometry);
  if (const QByteArray layout = saved.DockState(); !layout.isEmpty()) restoreState(layout);
  dockArranger_->Schedule();
}

void MainWindow::SaveWindowLayout() {
  // The layout is a comfort: a folder that cannot be written costs the user
  // nothing else, and was reported when it first failed.
  WindowSettings saved(options_.settingsFolder);
  if (saved.SetWindowGeometry(saveGeometry())) saved.SetDockState(dockArranger_->StateToRemember());
}

}  // namespace darvelle::ui
