#include "ui/globe_view.h"

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <utility>

namespace darvelle::ui {

namespace {

constexpr double kRadiansPerDegree = 3.141592653589793 / 180.0;
// One notch of a wheel in QWheelEvent::angleDelta units.
constexpr double kAngleDeltaPerNotch = 120.0;

// Hemisphere letters: north, south, east, west.
constexpr const char* kHemispheres[3][4] = {
    {"N", "S", "O", "W"}, {"N", "S", "E", "W"}, {"N", "S", "E", "O"}};

// "52°31.2′": degrees and minutes to a tenth, of a magnitude.
QString DegreesMinutes(double magnitude) {
  const long long tenths = std::llround(magnitude * 600.0);
  return QStringLiteral("%1\u00B0%2\u2032")
      .arg(tenths / 600)
      .arg(static_cast<double>(tenths % 600) / 10.0, 4, 'f', 1, QLatin1Char('0'));
}

// The right-click menu: set the place here, centre here.
constexpr const char* kPlaceMenuTexts[3][2] = {{"Ort hier setzen", "Hier zentrieren"},
                                               {"Set place here", "Centre here"},
                                               {"Choisir ce lieu", "Centrer ici"}};

// Half the side of the square round the pointer that the help tip leaves
// clear: the spot being read and the cursor's own arrow.
constexpr int kTipClearance = 24;

bool SameView(const ViewParameters& a, const ViewParameters& b) {
  return a.Psi == b.Psi && a.Phi == b.Phi && a.Chi == b.Chi && a.RK == b.RK &&
         a.Stereographic == b.Stereographic && a.ColoredEarth == b.ColoredEarth &&
         a.PenWidth == b.PenWidth && a.Resolution == b.Resolution && a.CurveHalos == b.CurveHalos;
}

}  // namespace

QString CursorCoordinateText(double latitude, double longitude, Language language) {
  const auto& letters = kHemispheres[LanguageIndex(language)];
  const double lon = WrappedDegrees(longitude);
  return DegreesMinutes(std::abs(latitude)) + QLatin1Char(' ') +
         QLatin1String(latitude < 0.0 ? letters[1] : letters[0]) + QStringLiteral("  ") +
         DegreesMinutes(std::abs(lon)) + QLatin1Char(' ') +
         QLatin1String(lon < 0.0 ? letters[3] : letters[2]);
}

GlobeView::GlobeView(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setCursor(Qt::OpenHandCursor);
  setAttribute(Qt::WA_OpaquePaintEvent);
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMilliseconds);
  connect(&settle_, &QTimer::timeout, this, &GlobeView::RequestFinal);
  // A double-click centres its point and leaves the place alone: the first
  // click of one must not pick the place.
  clickWait_.setSingleShot(true);
  connect(&clickWait_, &QTimer::timeout, this,
          [this] { emit placeClicked(clickedPlace_.latitude, clickedPlace_.longitude); });
}

QSize GlobeView::sizeHint() const { return {kMapWidth / 2, kMapHeight / 2}; }
QSize GlobeView::minimumSizeHint() const { return {kMapWidth / 8, kMapHeight / 8}; }

void GlobeView::setMap(const QImage& drawing, const ViewParameters& view,
                       const GlobeProjection& projection) {
  drawing_ = drawing;
  drawnView_ = view;
  drawnProjection_ = projection;
  // A drawing that arrives while a gesture goes on is one of its interim
  // views: the gesture keeps the view it has asked for since.
  if (!pressed_ && !settle_.isActive()) {
    requested_ = view;
    lastFinal_ = view;
  }
  UpdateDisplay();
  update();
  // The place under a cursor that stood still has changed with the view.
  if (underMouse()) ReportCursor(mapFromGlobal(QCursor::pos()));
}

void GlobeView::setMapPlacement(Qt::Alignment alignment, QSize aspect) {
  alignment_ = alignment;
  if (!aspect.isEmpty()) aspect_ = aspect;
  UpdateDisplay();
  update();
}

void GlobeView::setOverlay(bool overlay) {
  overlay_ = overlay;
  setAttribute(Qt::WA_OpaquePaintEvent, !overlay);
  UpdateDisplay();
  update();
}

QRectF GlobeView::mapRect() const {
  const double scale = std::min(width() / static_cast<double>(aspect_.width()),
                                height() / static_cast<double>(aspect_.height()));
  const double w = aspect_.width() * scale, h = aspect_.height() * scale;
  const double left = alignment_ & Qt::AlignLeft ? 0.0 : (width() - w) / 2.0;
  const double top = alignment_ & Qt::AlignTop ? 0.0 : (height() - h) / 2.0;
  return {left, top, w, h};
}

MapCanvas GlobeView::Canvas() const { return drawnProjection_ ? drawnProjection_->Canvas() : MapCanvas{}; }

ImagePosition GlobeView::imagePositionAt(QPointF widgetPoint) const {
  const QRectF r = mapRect();
  const MapCanvas canvas = Canvas();
  if (r.width() <= 0.0 || r.height() <= 0.0) {
    return {static_cast<double>(canvas.CentreX()), static_cast<double>(canvas.CentreY())};
  }
  return {(widgetPoint.x() - r.x()) * canvas.width / r.width(),
          (widgetPoint.y() - r.y()) * canvas.height / r.height()};
}

QPointF GlobeView::widgetPointAt(ImagePosition position) const {
  const QRectF r = mapRect();
  const MapCanvas canvas = Canvas();
  return {r.x() + position.x * r.width() / canvas.width, r.y() + position.y * r.height() / canvas.height};
}

GlobeProjection GlobeView::ProjectionFor(const ViewParameters& view) const {
  // The drawn projection's totals are the offsets plus the eclipse's view
  // centre; the same centre holds for any other offsets.
  const GlobeProjection& drawn = *drawnProjection_;
  const double psi = drawn.TotalPsi() + (view.Psi - drawnView_.Psi) * kRadiansPerDegree;
  const double phi = drawn.TotalPhi() + (view.Phi - drawnView_.Phi) * kRadiansPerDegree;
  const double chi = drawn.TotalChi() + (view.Chi - drawnView_.Chi) * kRadiansPerDegree;
  return GlobeProjection(psi, phi, chi, view.RK, view.Stereographic, drawn.Canvas());
}

void GlobeView::UpdateDisplay() {
  const QRectF r = mapRect();
  const qreal ratio = devicePixelRatioF();
  const QSize device(std::max(1, static_cast<int>(std::lround(r.width() * ratio))),
                     std::max(1, static_cast<int>(std::lround(r.height() * ratio))));
  if (drawing_.isNull() || overlay_) {
    display_ = QImage();
  } else {
    // While the globe is being dragged, speed counts more than smoothness.
    const Qt::TransformationMode mode =
        dragging_ ? Qt::FastTransformation : Qt::SmoothTransformation;
    display_ = drawing_.convertToFormat(QImage::Format_RGB32)
                   .scaled(device, Qt::IgnoreAspectRatio, mode);
    display_.setDevicePixelRatio(ratio);
  }
}

void GlobeView::paintEvent(QPaintEvent*) {
  if (overlay_) {
    if (marker_) {
      QPainter painter(this);
      PaintMarker(painter);
    }
    return;
  }
  // The screen (and so its pixel ratio) may have changed since the last picture.
  if (!drawing_.isNull() && display_.devicePixelRatio() != devicePixelRatioF()) UpdateDisplay();
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  if (!display_.isNull()) painter.drawImage(mapRect().topLeft(), display_);
  PaintMarker(painter);
}

void GlobeView::setMarker(std::optional<GeoPosition> place) {
  marker_ = place;
  update();
}

std::optional<QPointF> GlobeView::widgetPointOfPlace(GeoPosition place) const {
  if (!drawnProjection_) return std::nullopt;
  const GlobeProjection shown = ShownProjection();
  const double lat = place.latitude * kRadiansPerDegree;
  const double lon = place.longitude * kRadiansPerDegree;
  // The frame of UnitVectorFromArcseconds: y to the north pole, z to longitude 0.
  const ProjectedPoint p = shown.ProjectUnitVector(
      std::sin(lon) * std::cos(lat), std::sin(lat), std::cos(lon) * std::cos(lat));
  if (!p.IsVisible()) return std::nullopt;
  return widgetPointAt({p.ScreenX, p.ScreenY});
}

// With interim views the picture shows the view asked for last (a quick
// picture while a gesture goes on), which the drawing then catches up with.
GlobeProjection GlobeView::ShownProjection() const {
  return interimViews_ ? ProjectionFor(requested_) : *drawnProjection_;
}

void GlobeView::PaintMarker(QPainter& painter) const {
  if (!marker_) return;
  const std::optional<QPointF> at = widgetPointOfPlace(*marker_);
  if (!at || !mapRect().contains(*at)) return;
  // A pin that stands out on the white globe and on the coloured Earth
  // alike: a dark-edged ring round a bright dot, the point at its centre.
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(255, 255, 255), 4.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(*at, 7.0, 7.0);
  painter.setPen(QPen(QColor(200, 0, 160), 2.0));
  painter.drawEllipse(*at, 7.0, 7.0);
  painter.setPen(QPen(QColor(255, 255, 255), 1.0));
  painter.setBrush(QColor(200, 0, 160));
  painter.drawEllipse(*at, 2.5, 2.5);
  painter.restore();
}

void GlobeView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  UpdateDisplay();
  update();
}

void GlobeView::Request(const ViewParameters& view, bool interim) {
  requested_ = view;
  if (marker_ && interimViews_) update();  // the marker goes with the picture
  if (interim) {
    if (interimViews_) emit viewRequested(view, true);
    return;
  }
  settle_.stop();
  if (lastFinal_ && SameView(*lastFinal_, view)) return;
  lastFinal_ = view;
  emit viewRequested(view, false);
}

void GlobeView::RequestFinal() { Request(requested_, false); }

void GlobeView::mousePressEvent(QMouseEvent* event) {
  pressFocused_ = std::exchange(focusedByMouse_, false);
  if (!hasMap() || (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)) {
    QWidget::mousePressEvent(event);
    return;
  }
  pressed_ = true;
  dragging_ = false;
  dragKind_ = (event->button() == Qt::RightButton || (event->modifiers() & Qt::ShiftModifier))
                  ? DragKind::Tilt
                  : DragKind::Turn;
  pressPoint_ = event->position();
  pressView_ = requested_;
  setCursor(Qt::ClosedHandCursor);
}

void GlobeView::mouseMoveEvent(QMouseEvent* event) {
  ReportCursor(event->position());
  if (!pressed_) return;
  if (!dragging_) {
    const QPointF moved = event->position() - pressPoint_;
    if (moved.manhattanLength() < QApplication::startDragDistance()) return;
    dragging_ = true;
  }
  const GlobeProjection start = ProjectionFor(pressView_);
  const ImagePosition from = imagePositionAt(pressPoint_);
  const ImagePosition to = imagePositionAt(event->position());
  const ViewChange change =
      dragKind_ == DragKind::Tilt ? TiltTurn(start, from, to) : DragTurn(start, from, to);
  Request(Applied(pressView_, change), true);
  settle_.start();
}

void GlobeView::mouseReleaseEvent(QMouseEvent* event) {
  if (!pressed_) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  pressed_ = false;
  setCursor(Qt::OpenHandCursor);
  if (dragging_) {
    dragging_ = false;
    RequestFinal();
    return;
  }
  if (event->button() == Qt::RightButton) {
    ShowPlaceMenu(event->position());
    return;
  }
  if (event->button() != Qt::LeftButton || pressFocused_) return;
  if (const auto place = PlaceAt(event->position())) {
    clickedPlace_ = *place;
    clickWait_.start(QApplication::doubleClickInterval());
  }
}

void GlobeView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!hasMap() || event->button() != Qt::LeftButton) return;
  // The press of the second click: neither click picks the place.
  pressed_ = false;
  dragging_ = false;
  clickWait_.stop();
  if (!mapRect().contains(event->position())) return;
  const std::optional<ViewChange> change =
      CentreOn(ProjectionFor(requested_), imagePositionAt(event->position()));
  if (change) Request(Applied(requested_, *change), false);
}

void GlobeView::wheelEvent(QWheelEvent* event) {
  if (!hasMap() || pressed_) return;
  const double notches = event->angleDelta().y() / kAngleDeltaPerNotch;
  if (notches == 0.0) return;
  const ViewChange change =
      ZoomAbout(ProjectionFor(requested_), imagePositionAt(event->position()), notches);
  Request(Applied(requested_, change), true);
  settle_.start();
  ReportCursor(event->position());
  event->accept();
}

void GlobeView::keyPressEvent(QKeyEvent* event) {
  if (!hasMap()) {
    QWidget::keyPressEvent(event);
    return;
  }
  const GlobeProjection view = ProjectionFor(requested_);
  const ImagePosition centre{view.CentreX(), view.CentreY()};
  std::optional<ViewChange> change;
  switch (event->key()) {
    case Qt::Key_Left: change = ArrowPan(view, -1, 0); break;
    case Qt::Key_Right: change = ArrowPan(view, 1, 0); break;
    case Qt::Key_Up: change = ArrowPan(view, 0, -1); break;
    case Qt::Key_Down: change = ArrowPan(view, 0, 1); break;
    case Qt::Key_Plus:
    case Qt::Key_Equal: change = ZoomAbout(view, centre, 1); break;
    case Qt::Key_Minus: change = ZoomAbout(view, centre, -1); break;
    case Qt::Key_Escape: emit previousPlaceRequested(); return;
    default: QWidget::keyPressEvent(event); return;
  }
  Request(Applied(requested_, *change), false);
}

void GlobeView::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  emit cursorLeftGlobe();
}

void GlobeView::focusInEvent(QFocusEvent* event) {
  focusedByMouse_ = event->reason() == Qt::MouseFocusReason;
  QWidget::focusInEvent(event);
}

bool GlobeView::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip && !toolTip().isEmpty()) {
    ShowHelpTip(static_cast<QHelpEvent*>(event)->pos());
    return true;
  }
  return QWidget::event(event);
}

// Qt puts a tip just below the pointer, and above it where the screen ends,
// so that it covers the coordinates being read: it goes clear of a square
// round the pointer instead, below it or else above it.
void GlobeView::ShowHelpTip(QPoint widgetPoint) {
  const QPoint pointer = mapToGlobal(widgetPoint);
  const QRect clear(pointer - QPoint(kTipClearance, kTipClearance),
                    QSize(2 * kTipClearance, 2 * kTipClearance));
  QToolTip::showText(QPoint(pointer.x(), clear.bottom()), toolTip(), this);
  for (QWidget* tip : QApplication::topLevelWidgets()) {
    if (!tip->inherits("QTipLabel") || !tip->isVisible()) continue;
    if (tip->geometry().intersects(clear)) tip->move(tip->x(), clear.top() - tip->height());
  }
}

void GlobeView::ShowPlaceMenu(QPointF widgetPoint) {
  const std::optional<GeoPosition> place = PlaceAt(widgetPoint);
  if (!place) return;
  const auto& texts = kPlaceMenuTexts[LanguageIndex(language_)];
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("GlobePlaceMenu"));
  menu->setAttribute(Qt::WA_DeleteOnClose);
  QAction* setPlace = menu->addAction(QString::fromUtf8(texts[0]));
  setPlace->setObjectName(QStringLiteral("SetPlaceHere"));
  connect(setPlace, &QAction::triggered, this,
          [this, place] { emit placeClicked(place->latitude, place->longitude); });
  QAction* centre = menu->addAction(QString::fromUtf8(texts[1]));
  centre->setObjectName(QStringLiteral("CentreHere"));
  const ImagePosition at = imagePositionAt(widgetPoint);
  connect(centre, &QAction::triggered, this, [this, at] {
    if (const auto change = CentreOn(ProjectionFor(requested_), at)) {
      Request(Applied(requested_, *change), false);
    }
  });
  menu->popup(mapToGlobal(widgetPoint.toPoint()));
}

// Off the picture there is no place, though the projection may go on there
// (a large globe runs past the drawing's edges).
std::optional<GeoPosition> GlobeView::PlaceAt(QPointF widgetPoint) const {
  if (!mapRect().contains(widgetPoint)) return std::nullopt;
  return UnprojectPixel(ShownProjection(), imagePositionAt(widgetPoint));
}

void GlobeView::ReportCursor(QPointF widgetPoint) {
  if (!hasMap()) return;
  if (const auto place = PlaceAt(widgetPoint)) {
    emit cursorMoved(place->latitude, place->longitude);
  } else {
    emit cursorLeftGlobe();
  }
}

}  // namespace darvelle::ui
