#pragma once
// Pen movements in the old move-to / line-to manner, two ways:
//
// PenPath draws with a QPainter: runs of connected segments are collected
// and drawn as one polyline, so wide pens get proper joins. Segments
// reaching absurdly far outside the image (the stereographic view near the
// far antipode) are cut at a wide frame first, so the rasteriser's
// fixed-point arithmetic never overflows; the part of a segment inside the
// image is unchanged by the cut.
//
// PixelPenPath draws one-pixel lines straight into a 24-bit image with
// Bresenham's algorithm, both end pixels included: the graticule and the
// thin curves are thousands of short segments, which the painter handles
// several times slower on 24-bit pixels.

#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QPolygon>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <stdexcept>

namespace darvelle {

struct ClipFrame {
  double left, top, right, bottom;
};
// The stretch [t0, t1] of the parameter t along the segment from (x0, y0) to
// (x0 + dx, y0 + dy) that lies inside `frame`, edges included; none when the
// segment misses it (Liang-Barsky).
struct SegmentSpan {
  double t0 = 0.0, t1 = 1.0;
};
inline std::optional<SegmentSpan> ClipSegment(double x0, double y0, double dx, double dy,
                                              const ClipFrame& frame) {
  SegmentSpan span;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - frame.left, frame.right - x0, y0 - frame.top, frame.bottom - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return std::nullopt;
      continue;
    }
    const double r = q[i] / p[i];
    if (p[i] < 0.0) {
      if (r > span.t1) return std::nullopt;
      span.t0 = std::max(span.t0, r);
    } else {
      if (r < span.t0) return std::nullopt;
      span.t1 = std::min(span.t1, r);
    }
  }
  return span;
}

class PenPath {
 public:
  PenPath(QPainter& painter, int width) : painter_(painter), width_(width) {}
  ~PenPath() { Flush(); }

  // The colour of the following segments.
  void SetColor(QRgb color) {
    if (colorSet_ && color == color_) return;
    Flush();
    painter_.setPen(QPen(QColor::fromRgb(color), width_, Qt::SolidLine, Qt::RoundCap,
                         Qt::RoundJoin));
    color_ = color;
    colorSet_ = true;
  }
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
    const auto span = ClipSegment(x0, y0, dx, dy, {-kFrame, -kFrame, kFrame, kFrame});
    if (!span) return;
    painter_.drawLine(QPointF(x0 + span->t0 * dx, y0 + span->t0 * dy),
                      QPointF(x0 + span->t1 * dx, y0 + span->t1 * dy));
  }

  QPainter& painter_;
  int width_;
  QRgb color_ = 0;
  bool colorSet_ = false;
  std::int64_t x_ = 0;
  std::int64_t y_ = 0;
  QPolygon run_;
};

class PixelPenPath {
 public:
  // `image` must be Format_RGB888 and stay alive while the path is used.
  explicit PixelPenPath(QImage& image)
      : bits_(image.bits()),
        bytesPerLine_(image.bytesPerLine()),
        width_(image.width()),
        height_(image.height()) {
    if (image.format() != QImage::Format_RGB888) {
      throw std::invalid_argument("PixelPenPath draws on RGB888 images only");
    }
  }

  void SetColor(QRgb color) {
    rgb_[0] = static_cast<std::uint8_t>(qRed(color));
    rgb_[1] = static_cast<std::uint8_t>(qGreen(color));
    rgb_[2] = static_cast<std::uint8_t>(qBlue(color));
  }

  void MoveTo(std::int64_t x, std::int64_t y) {
    x_ = x;
    y_ = y;
  }

  void LineTo(std::int64_t x, std::int64_t y) {
    Segment(static_cast<double>(x_), static_cast<double>(y_), static_cast<double>(x),
            static_cast<double>(y));
    x_ = x;
    y_ = y;
  }

  void Flush() {}

 private:
  void Plot(std::int64_t x, std::int64_t y) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    std::uint8_t* p = bits_ + y * bytesPerLine_ + x * 3;
    p[0] = rgb_[0];
    p[1] = rgb_[1];
    p[2] = rgb_[2];
  }

  // Cuts the segment to a frame one pixel round the image (Liang-Barsky), so
  // that the walk never runs far outside; a segment with both ends inside
  // the frame is walked exactly between its integer ends.
  void Segment(double x0, double y0, double x1, double y1) {
    const double left = -1.0, top = -1.0;
    const double right = static_cast<double>(width_), bottom = static_cast<double>(height_);
    const bool inside0 = x0 >= left && x0 <= right && y0 >= top && y0 <= bottom;
    const bool inside1 = x1 >= left && x1 <= right && y1 >= top && y1 <= bottom;
    if (!inside0 || !inside1) {
      const double dx = x1 - x0, dy = y1 - y0;
      const auto span = ClipSegment(x0, y0, dx, dy, {left, top, right, bottom});
      if (!span) return;
      const double cx0 = x0 + span->t0 * dx, cy0 = y0 + span->t0 * dy;
      const double cx1 = x0 + span->t1 * dx, cy1 = y0 + span->t1 * dy;
      x0 = cx0;
      y0 = cy0;
      x1 = cx1;
      y1 = cy1;
    }
    Walk(std::llround(x0), std::llround(y0), std::llround(x1), std::llround(y1));
  }

  // Bresenham's walk from (x0, y0) to (x1, y1), both ends plotted; at most
  // a few thousand steps, as both ends lie within one pixel of the image.
  void Walk(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
    const std::int64_t dx = std::llabs(x1 - x0), dy = -std::llabs(y1 - y0);
    const std::int64_t sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    std::int64_t error = dx + dy;
    for (;;) {
      Plot(x0, y0);
      if (x0 == x1 && y0 == y1) return;
      const std::int64_t e2 = 2 * error;
      if (e2 >= dy) {
        error += dy;
        x0 += sx;
      }
      if (e2 <= dx) {
        error += dx;
        y0 += sy;
      }
    }
  }

  std::uint8_t* bits_;
  qsizetype bytesPerLine_;
  std::int64_t width_;
  std::int64_t height_;
  std::uint8_t rgb_[3] = {0, 0, 0};
  std::int64_t x_ = 0;
  std::int64_t y_ = 0;
};

}  // namespace darvelle
