// The globe under the mouse and the panels around it: drags, the wheel and
// double-clicks on the map ask the session for a new view, the cursor's place
// shows in the status bar, the legend sits in a dock, and the year's
// eclipses are listed under the year entry.

#include <QDockWidget>
#include <QLabel>
#include <QStatusBar>
#include <QGroupBox>
#include <QHeaderView>
#include <QVBoxLayout>

#include "catalogue/eclipse_texts.h"

#include "ui/control_factory.h"
#include "ui/drag_preview.h"
#include "ui/globe_view.h"
#include "ui/legend_panel.h"
#include "ui/delta_t_entry.h"
#include "ui/dock_scroller.h"
#include "ui/main_window.h"
#include "ui/widgets.h"
#include "ui/year_eclipse_list.h"

namespace darvelle::ui {

void MainWindow::BuildGlobeInput() {
  // The map panel keeps showing the map; the globe view lies over it and
  // only reads the mouse and the keys.
  globeInput_ = new GlobeView(Panel2);
  globeInput_->setObjectName(QStringLiteral("GlobeInput"));
  globeInput_->setOverlay(true);
  // A drag shows quick pictures of the turning globe as it goes.
  globeInput_->setInterimViews(true);
  auto* fill = new QVBoxLayout(Panel2);
  fill->setContentsMargins(0, 0, 0, 0);
  fill->addWidget(globeInput_);
  connect(globeInput_, &GlobeView::viewRequested, this, &MainWindow::TurnGlobe);
  connect(globeInput_, &GlobeView::cursorMoved, this, [this](double latitude, double longitude) {
    statusBar_->ShowCursor(latitude, longitude, UiLanguage());
  });
  // The bar is built after the globe: it is looked up when the cursor leaves.
  connect(globeInput_, &GlobeView::cursorLeftGlobe, this, [this] { statusBar_->ClearCursor(); });
}

void MainWindow::BuildLegendDock() {
  legend_ = new LegendPanel;
  legendDock_ = new QDockWidget(LegendPanel::Title(kEnglish), this);
  legendDock_->setObjectName(QStringLiteral("LegendDock"));
  legendDock_->setWidget(new DockScroller(legend_));
  legendDock_->setFont(PixelFont(QStringLiteral("Arial"), 14, false));
  addDockWidget(Qt::RightDockWidgetArea, legendDock_);
}

void MainWindow::TurnGlobe(const ViewParameters& view, bool interim) {
  if (interim) {
    ShowDragPreview(view);
    return;
  }
  if (!controller_->TurnTo(view)) ShowCurrentMap();  // in place of the last quick picture
}

void MainWindow::ShowDragPreview(const ViewParameters& view) {
  const auto& shown = session_->Current();
  // While the worker draws, its result is about to replace what is shown.
  if (shown == nullptr || session_->IsBusy()) return;
  // Made at the first drag: its images would cost the start-up time.
  if (dragPreview_ == nullptr) dragPreview_ = std::make_unique<DragPreview>();
  // The texture once it is decoded; the plain Earth until then.
  std::shared_ptr<const LoadedTexture> texture;
  if (texture_.isValid() && texture_.isFinished()) texture = texture_.result();
  const EarthTexture* image = texture != nullptr && texture->Usable() ? &texture->image : nullptr;
  const QImage preview =
      dragPreview_->Draw(*shown, view, image, ReadyCoastlines(coastlines_), MapArea(), Panel2->devicePixelRatioF());
  Panel2->SetImage(preview, preview);
}

void MainWindow::ShowCurrentMap() {
  const auto& shown = session_->Current();
  if (shown == nullptr) return;
  // Made for another size, it is stretched until the session's fit for this one comes.
  Panel2->SetImage(shown->ScreenImage(), shown->fitted);
}

void MainWindow::ShowOnGlobe(const SessionResult& result) {
  if (!result.renderer->LastView()) return;
  globeInput_->setMapPlacement(Qt::AlignLeft | Qt::AlignTop, result.renderer->DisplayImage().size());
  globeInput_->setMap(QImage(), result.drawnView, *result.renderer->LastView());
}

void MainWindow::ShowInPanels(const SessionState& state) {
  legend_->setLanguage(state.language);
  legend_->setPenWidth(state.view.PenWidth);
  legendDock_->setWindowTitle(LegendPanel::Title(state.language));
  qtTexts_.Use(state.language);
  ShowTooltips(state.language);
}

}  // namespace darvelle::ui
