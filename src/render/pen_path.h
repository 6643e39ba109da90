#pragma once
// Pen movements on a QPainter in the old move-to / line-to manner: runs of
// connected segments are collected and drawn as one polyline, so wide pens
// get proper joins. Segments reaching absurdly far outside the image (the
// stereographic view near the far antipode) are cut at a wide frame first,
// so the rasteriser's fixed-point arithmetic never overflows; the part of a
// segment inside the image is unchanged by the cut.

#include <QPainter>
#include <QPoint>
#include <QPolygon>

#include <cstdint>

namespace darvelle {

class PenPath {
 public:
  explicit PenPath(QPainter& painter) : painter_(painter) {}
  ~PenPath() { Flush(); }
  PenPath(const PenPath&) = delete;
  PenPath& operator=(const PenPath&) = delete;

  void MoveTo(std::int64_t x, std::int64_t y) {
    Flush();
    x_ = x;
    y_ = y;
  }

  void LineTo(std::int64_t x, std::int64_t y) {
    if (Inside(x_, y_) && Inside(x, y)) {
      if (run_.isEmpty()) run_.append(QPoint(static_cast<int>(x_), static_cast<int>(y_)));
      // A repeated point would be a zero-length segment, which the
      // rasteriser treats as a segment end and so drops the pixel under it.
      const QPoint to(static_cast<int>(x), static_cast<int>(y));
      if (run_.last() != to) run_.append(to);
    } else {
      Flush();
      DrawCutSegment(x, y);
    }
    x_ = x;
    y_ = y;
  }

  // Draws the collected run; call before changing the painter's pen.
  void Flush() {
    if (run_.size() >= 2) painter_.drawPolyline(run_);
    run_.clear();
  }

 private:
  static constexpr double kFrame = 1048576.0;  // 2^20 pixels round the image

  static bool Inside(std::int64_t x, std::int64_t y) {
    return x > -kFrame && x < kFrame && y > -kFrame && y < kFrame;
  }

  // Liang-Barsky clipping of the segment from the pen position to (x, y)
  // against the frame; nothing is drawn when it misses the frame entirely.
  void DrawCutSegment(std::int64_t x, std::int64_t y) {
    const double x0 = static_cast<double>(x_), y0 = static_cast<double>(y_);
    const double dx = static_cast<double>(x) - x0, dy = static_cast<double>(y) - y0;
    double t0 = 0.0, t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 + kFrame, kFrame - x0, y0 + kFrame, kFrame - y0};
    for (int i = 0; i < 4; ++i) {
      if (p[i] == 0.0) {
        if (q[i] < 0.0) return;
        continue;
      }
      const double r = q[i] / p[i];
      if (p[i] < 0.0) {
        if (r > t1) return;
        if (r > t0) t0 = r;
      } else {
        if (r < t0) return;
        if (r < t1) t1 = r;
      }
    }
    painter_.drawLine(QPointF(x0 + t0 * dx, y0 + t0 * dy), QPointF(x0 + t1 * dx, y0 + t1 * dy));
  }

  QPainter& painter_;
  std::int64_t x_ = 0;
  std::int64_t y_ = 0;
  QPolygon run_;
};

}  // namespace darvelle
