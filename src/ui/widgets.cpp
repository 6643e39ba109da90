#include "ui/widgets.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace darvelle::ui {

MapPanel::MapPanel(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void MapPanel::SetImage(const QImage& image, const QImage& fitted) {
  image_ = image;
  fitted_ = fitted;
  update();
}

QSize MapPanel::FittedSize(QSize image, QSize area, qreal pixelRatio) {
  return image.scaled((QSizeF(area) * pixelRatio).toSize(), Qt::KeepAspectRatio);
}

QImage MapPanel::Fit(const QImage& image, QSize area, qreal pixelRatio) {
  if (image.isNull() || area.isEmpty()) return {};
  QImage fitted(FittedSize(image.size(), area, pixelRatio), QImage::Format_RGB32);
  {
    QPainter painter(&fitted);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(fitted.rect(), image);
  }
  fitted.setDevicePixelRatio(pixelRatio);
  return fitted;
}

bool MapPanel::ShowsStandIn() const {
  const qreal ratio = devicePixelRatioF();
  return fitted_.size() != FittedSize(image_.size(), size(), ratio) || fitted_.devicePixelRatio() != ratio;
}

void MapPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  if (image_.isNull()) return;
  const qreal ratio = devicePixelRatioF();
  if (!ShowsStandIn()) {
    painter.drawImage(QPoint(0, 0), fitted_);
    if (!announced_) {
      announced_ = true;
      emit firstMapPainted();
    }
    return;
  }
  // Nearest pixels, not smoothing: a stand-in for the moment until the
  // fitted copy for this size comes.
  const QImage& source = fitted_.isNull() ? image_ : fitted_;
  painter.drawImage(QRectF(QPointF(0, 0), QSizeF(FittedSize(image_.size(), size(), ratio)) / ratio), source);
  if (!fitted_.isNull() && fitted_.devicePixelRatio() != ratio && ratioTold_ != ratio) {
    ratioTold_ = ratio;
    emit pixelRatioChanged(ratio);
  }
}

void MapPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  emit resized(size());
}

ShapeBar::ShapeBar(QWidget* parent) : QWidget(parent) {}

void ShapeBar::SetBrushColor(const QColor& color) {
  color_ = color;
  update();
}

void ShapeBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), color_);
}

QImage DarvelleIcon(int size) {
  QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
  icon.fill(Qt::transparent);
  QPainter painter(&icon);
  painter.setRenderHint(QPainter::Antialiasing);
  const double s = size;
  // Corona, then the Sun's disc, then the Moon's disc cutting into it.
  QRadialGradient corona(QPointF(s * 0.5, s * 0.5), s * 0.5);
  corona.setColorAt(0.6, QColor(255, 200, 60, 220));
  corona.setColorAt(1.0, QColor(255, 160, 0, 0));
  painter.setPen(Qt::NoPen);
  painter.setBrush(corona);
  painter.drawEllipse(QRectF(0, 0, s, s));
  painter.setBrush(QColor(255, 214, 64));
  painter.drawEllipse(QRectF(s * 0.18, s * 0.18, s * 0.64, s * 0.64));
  painter.setBrush(QColor(30, 40, 70));
  painter.drawEllipse(QRectF(s * 0.30, s * 0.14, s * 0.62, s * 0.62));
  return icon;
}

std::function<void(QMessageBox::Icon, const QString&, const QString&)> MessageBoxSink(QWidget* parent) {
  return [parent](QMessageBox::Icon icon, const QString& title, const QString& text) {
    auto* box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (parent->isVisible()) {
      box->open();
    } else {
      box->exec();
    }
  };
}

}  // namespace darvelle::ui
