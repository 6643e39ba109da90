#include "ui/globe_widget.h"

#include <QVBoxLayout>

#include "ui/drag_preview.h"
#include "ui/earth_loads.h"
#include "ui/eclipse_session.h"
#include "ui/globe_view.h"
#include "ui/session_controller.h"

namespace darvelle::ui {

GlobeWidget::GlobeWidget(EclipseSession& session, SessionController& controller, const EarthLoads& earth,
                         QWidget* parent)
    : MapPanel(parent), session_(session), controller_(controller), earth_(earth) {
  setObjectName(QStringLiteral("Panel2"));
  // The panel keeps showing the map; the globe view lies over it and only
  // reads the mouse and the keys.
  input_ = new GlobeView(this);
  input_->setObjectName(QStringLiteral("GlobeInput"));
  input_->setOverlay(true);
  // A drag shows quick pictures of the turning globe as it goes.
  input_->setInterimViews(true);
  auto* fill = new QVBoxLayout(this);
  fill->setContentsMargins(0, 0, 0, 0);
  fill->addWidget(input_);
  connect(input_, &GlobeView::viewRequested, this, &GlobeWidget::Turn);
}

GlobeWidget::~GlobeWidget() = default;

void GlobeWidget::Turn(const ViewParameters& view, bool interim) {
  if (interim) {
    ShowDragPreview(view);
    return;
  }
  if (!controller_.TurnTo(view)) ShowCurrentMap();  // in place of the last quick picture
}

void GlobeWidget::ShowDragPreview(const ViewParameters& view) {
  const auto& shown = session_.Current();
  // While the worker draws, its result is about to replace what is shown.
  if (shown == nullptr || session_.IsBusy()) return;
  // Made at the first drag: its images would cost the start-up time.
  if (dragPreview_ == nullptr) dragPreview_ = std::make_unique<DragPreview>();
  // The texture once it is decoded; the plain Earth until then.
  std::shared_ptr<const LoadedTexture> texture;
  if (const TextureFuture& loading = earth_.Texture(); loading.isValid() && loading.isFinished()) {
    texture = loading.result();
  }
  const EarthTexture* image = texture != nullptr && texture->Usable() ? &texture->image : nullptr;
  const QImage preview = dragPreview_->Draw(*shown, view, image, ReadyCoastlines(earth_.Coastlines()), size(),
                                            devicePixelRatioF());
  SetImage(preview, preview);
}

void GlobeWidget::ShowCurrentMap() {
  const auto& shown = session_.Current();
  if (shown == nullptr) return;
  SetImage(shown->ScreenImage(), shown->fitted);
}

void GlobeWidget::ShowResult(const SessionResult& result) {
  // Should the panel have changed size since the worker last looked, the
  // session fits the picture again; the panel stretches it meanwhile.
  SetImage(result.ScreenImage(), result.fitted);
  ShowOnGlobe(result);
}

void GlobeWidget::ShowOnGlobe(const SessionResult& result) {
  if (!result.renderer->LastView()) return;
  input_->setMapPlacement(Qt::AlignLeft | Qt::AlignTop, result.renderer->DisplayImage().size());
  input_->setMap(QImage(), result.drawnView, *result.renderer->LastView());
}

}  // namespace darvelle::ui
