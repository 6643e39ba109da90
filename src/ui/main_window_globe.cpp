// The panels around the globe: the cursor's place in the status bar, the
// legend in its dock, and the panels' language.

#include <QDockWidget>
#include <QLabel>
#include <QStatusBar>
#include <QGroupBox>
#include <QHeaderView>
#include <QVBoxLayout>

#include "catalogue/eclipse_texts.h"

#include "ui/control_factory.h"
#include "ui/delta_t_entry.h"
#include "ui/dock_scroller.h"
#include "ui/earth_loads.h"
#include "ui/globe_view.h"
#include "ui/legend_panel.h"
#include "ui/globe_widget.h"
#include "ui/main_window.h"
#include "ui/widgets.h"
#include "ui/year_eclipse_list.h"

namespace darvelle::ui {

void MainWindow::BindGlobe() {
  GlobeView& globe = Panel2->Input();
  connect(&globe, &GlobeView::cursorMoved, this, [this](double latitude, double longitude) {
    statusBar_->ShowCursor(latitude, longitude, UiLanguage());
  });
  connect(&globe, &GlobeView::cursorLeftGlobe, this, [this] { statusBar_->ClearCursor(); });
}

void MainWindow::BuildLegendDock() {
  legend_ = new LegendPanel;
  legendDock_ = new QDockWidget(LegendPanel::Title(kEnglish), this);
  legendDock_->setObjectName(QStringLiteral("LegendDock"));
  legendDock_->setWidget(new DockScroller(legend_));
  legendDock_->setFont(PixelFont(QStringLiteral("Arial"), 14, false));
  addDockWidget(Qt::RightDockWidgetArea, legendDock_);
}

void MainWindow::ShowInPanels(const SessionState& state) {
  legend_->setLanguage(state.language);
  legend_->setPenWidth(state.view.PenWidth);
  legendDock_->setWindowTitle(LegendPanel::Title(state.language));
  qtTexts_.Use(state.language);
  ShowTooltips(state.language);
}

}  // namespace darvelle::ui
