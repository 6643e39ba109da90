#include "ui/time_layer.h"

#include <QtConcurrent/QtConcurrentRun>

#include "geometry/shadow_at_instant.h"
#include "render/shadow_layer.h"
#include "ui/widgets.h"

namespace darvelle::ui {

TimeLayer::TimeLayer(MapPanel* panel, QThreadPool* workers, std::function<void()> showPlainMap,
                     QObject* parent)
    : QObject(parent), panel_(panel), workers_(workers), showPlainMap_(std::move(showPlainMap)) {
  connect(&watcher_, &QFutureWatcherBase::finished, this, &TimeLayer::Finished);
}

TimeLayer::~TimeLayer() { watcher_.waitForFinished(); }

void TimeLayer::setActive(bool active) {
  if (active == active_) return;
  active_ = active;
  if (active_) {
    Request();
  } else {
    waiting_ = false;
    shownPicture_ = {};
    showPlainMap_();
  }
}

void TimeLayer::setShown(std::shared_ptr<const SessionResult> shown) {
  shown_ = std::move(shown);
  Request();
}

void TimeLayer::setInstant(double t) {
  instant_ = t;
  Request();
}

void TimeLayer::showAgain() {
  if (!active_) return;
  if (shownPicture_.source != nullptr && shownPicture_.source == shown_) {
    panel_->SetImage(shownPicture_.drawing, shownPicture_.fitted);
  } else {
    Request();
  }
}

TimeLayer::Picture TimeLayer::Compose(std::shared_ptr<const SessionResult> shown, double t,
                                      QSize area, qreal pixelRatio) {
  Picture picture;
  picture.source = shown;
  const auto& projection = shown->renderer->LastView();
  if (!projection) return picture;
  const EclipseResult& c = *shown->computation;
  const ShadowAtInstant shadow = ComputeShadowAt(c.elements, c.deltaT, t);
  picture.drawing = shown->renderer->DrawingImage().convertToFormat(QImage::Format_RGB32);
  DrawShadowLayer(picture.drawing, *projection, shadow);
  picture.fitted = MapPanel::Fit(picture.drawing, area, pixelRatio);
  return picture;
}

void TimeLayer::Request() {
  if (!active_ || shown_ == nullptr || !instant_) return;
  if (running_) {
    waiting_ = true;  // the newest instant, once the picture under way is done
    return;
  }
  Start();
}

void TimeLayer::Start() {
  running_ = true;
  waiting_ = false;
  watcher_.setFuture(QtConcurrent::run(workers_, &TimeLayer::Compose, shown_, *instant_,
                                       panel_->size(), panel_->devicePixelRatioF()));
}

void TimeLayer::Finished() {
  running_ = false;
  const Picture picture = watcher_.result();
  // A picture of a map no longer shown, or made after the layer was closed, is dropped.
  if (active_ && picture.source == shown_ && !picture.drawing.isNull()) {
    shownPicture_ = picture;
    panel_->SetImage(picture.drawing, picture.fitted);
    emit pictureShown();
  }
  if (waiting_ && active_ && shown_ != nullptr && instant_) Start();
}

}  // namespace darvelle::ui
