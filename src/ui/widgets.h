#pragma once
// Small widgets the window is made of: the map panel that shows the display
// image scaled and proportional, and the filled bar used as a busy sign.

#include <QColor>
#include <QImage>
#include <QWidget>

namespace darvelle::ui {

// Shows an image scaled to fit, keeping its aspect, at the top left corner.
// The scaled copy is kept between paints (a repaint of the window, say when
// it is disabled, then costs a copy, not a scaling).
class MapPanel : public QWidget {
  Q_OBJECT
 public:
  explicit MapPanel(QWidget* parent = nullptr);
  void SetImage(const QImage& image);
  // The same with the scaled copy already made (by Fit, for this panel's size).
  void SetImage(const QImage& image, const QImage& fitted);
  const QImage& Image() const { return image_; }
  // The picture on the screen: Image() fitted to the panel in device pixels,
  // tagged with the device pixel ratio (null before the first paint).
  const QImage& Shown() const { return fitted_; }

  // `image` scaled to fit `area` (logical pixels) at `pixelRatio` device
  // pixels per logical one, keeping its aspect, pixel for pixel as the panel
  // shows it. Safe on any thread.
  static QImage Fit(const QImage& image, QSize area, qreal pixelRatio = 1.0);
  // The size in device pixels Fit gives an image of `image` pixels.
  static QSize FittedSize(QSize image, QSize area, qreal pixelRatio);

 signals:
  // Emitted after the first paint that showed an image.
  void firstMapPainted();
  void resized(QSize size);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QImage image_;
  QImage fitted_;  // image_ fitted to the panel's size when it was last painted
  bool announced_ = false;
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

}  // namespace darvelle::ui
