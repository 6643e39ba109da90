#pragma once
// Small widgets the window is made of: the map panel that shows the display
// image scaled and proportional, and the filled bar used as a busy sign.

#include <QColor>
#include <QImage>
#include <QMessageBox>
#include <QWidget>
#include <functional>

namespace darvelle::ui {

// Shows an image scaled to fit, keeping its aspect, at the top left corner.
// The panel never scales smoothly itself: smooth scaling costs the window's
// thread tens of milliseconds, so the scaled copy is made by whoever gives
// the image (on a worker, by Fit). While the copy given was made for
// another size (the panel has just been resized), it is stretched over the
// fitted rectangle without smoothing, which costs a few milliseconds, until
// the copy for the new size comes.
class MapPanel : public QWidget {
  Q_OBJECT
 public:
  explicit MapPanel(QWidget* parent = nullptr);
  // `image` and its scaled copy (by Fit, for this panel's size or for an
  // earlier one; or null, when `image` itself is stretched meanwhile).
  void SetImage(const QImage& image, const QImage& fitted);
  const QImage& Image() const { return image_; }
  // The scaled copy given last: Image() fitted to the panel in device
  // pixels, tagged with the device pixel ratio, unless ShowsStandIn().
  const QImage& Shown() const { return fitted_; }
  // True while the copy given was made for another size than the panel's
  // (or pixel ratio), and the panel shows it stretched.
  bool ShowsStandIn() const;

  // `image` scaled to fit `area` (logical pixels) at `pixelRatio` device
  // pixels per logical one, keeping its aspect, pixel for pixel as the panel
  // shows it. Safe on any thread.
  static QImage Fit(const QImage& image, QSize area, qreal pixelRatio = 1.0);
  // The size in device pixels Fit gives an image of `image` pixels.
  static QSize FittedSize(QSize image, QSize area, qreal pixelRatio);

 signals:
  // Emitted after the first paint that showed an image fitted to the panel.
  void firstMapPainted();
  void resized(QSize size);
  // The screen's device pixels per logical pixel differ from what the copy
  // given was made for (the window went to another screen).
  void pixelRatioChanged(qreal ratio);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QImage image_;
  QImage fitted_;  // image_ fitted to the panel's size, or to an earlier one
  bool announced_ = false;
  qreal ratioTold_ = 0.0;  // the ratio pixelRatioChanged() told last
};

// A rectangle filled with one colour.
class ShapeBar : public QWidget {
  Q_OBJECT
 public:
  explicit ShapeBar(QWidget* parent = nullptr);
  void SetBrushColor(const QColor& color);
  QColor BrushColor() const { return color_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor color_;
};

// The program's icon (a Sun partly covered by the Moon) at the given size.
QImage DarvelleIcon(int size);

// Tells the user in a message box over `parent`: before the window is up
// (start-up) the box waits for the user, afterwards it never blocks the window.
std::function<void(QMessageBox::Icon, const QString&, const QString&)> MessageBoxSink(QWidget* parent);

}  // namespace darvelle::ui
