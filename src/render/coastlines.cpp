#include "render/coastlines.h"

#include <QPainter>

#include <algorithm>

#include "render/pen_path.h"

namespace darvelle {

namespace {

constexpr std::int64_t kArcsecondsPerDegree = 3600;

// Clamped and rounded graticule position; the clamp keeps the far side of
// the stereographic view from producing unbounded coordinates.
std::int64_t GraticuleCoordinate(double value) {
  return RoundHalfEven(std::clamp(value, kGraticuleClampMin, kGraticuleClampMax));
}

// One graticule line: the pen is first moved, without a visibility test, to
// `start`, then each sample is joined when visible and moved to otherwise.
template <typename Pen, typename Samples>
void DrawGraticuleLine(Pen& pen, const ProjectedPoint& start, Samples&& samples) {
  pen.MoveTo(GraticuleCoordinate(start.ScreenX), GraticuleCoordinate(start.ScreenY));
  samples([&](const ProjectedPoint& p) {
    const std::int64_t x = GraticuleCoordinate(p.ScreenX);
    const std::int64_t y = GraticuleCoordinate(p.ScreenY);
    if (p.IsVisible()) {
      pen.LineTo(x, y);
    } else {
      pen.MoveTo(x, y);
    }
  });
}

template <typename Pen>
void DrawGraticuleWith(Pen& pen, const GlobeProjection& view) {
  // Parallels +80 .. -80 deg, each from longitude 0 round to 360 deg.
  for (int latitude = 80; latitude >= -80; latitude -= 10) {
    const std::int64_t b = latitude * kArcsecondsPerDegree;
    DrawGraticuleLine(pen, view.ProjectPoint(0, b), [&](auto&& visit) {
      for (int longitude = 0; longitude <= 360; longitude += 2) {
        visit(view.ProjectPoint(longitude * kArcsecondsPerDegree, b));
      }
    });
  }
  // Meridians -180 .. +180 deg, each from +85 down to -85 deg: they stop short
  // of the poles, where they would crowd together.
  for (int longitude = -180; longitude <= 180; longitude += 10) {
    const std::int64_t l = longitude * kArcsecondsPerDegree;
    DrawGraticuleLine(pen, view.ProjectPoint(l, 85 * kArcsecondsPerDegree), [&](auto&& visit) {
      for (int latitude = 85; latitude >= -85; latitude -= 2) {
        visit(view.ProjectPoint(l, latitude * kArcsecondsPerDegree));
      }
    });
  }
}

}  // namespace

void DrawGraticule(QImage& image, const GlobeProjection& view, bool coloredEarth) {
  const int grey = coloredEarth ? kGraticuleGreyColored : kGraticuleGreyPlain;
  if (image.format() == QImage::Format_RGB888) {
    PixelPenPath pen(image);
    pen.SetColor(qRgb(grey, grey, grey));
    DrawGraticuleWith(pen, view);
    return;
  }
  QPainter painter(&image);
  PenPath pen(painter, 1);
  pen.SetColor(qRgb(grey, grey, grey));
  DrawGraticuleWith(pen, view);
}

CoastlineLayer::CoastlineLayer(std::span<const CoastlinePoint> points) {
  vectors_.reserve(points.size());
  for (const CoastlinePoint& p : points) {
    vectors_.push_back(UnitVectorFromArcseconds(RoundHalfEven(p.longitude * 3600.0),
                                                RoundHalfEven(p.latitude * 3600.0)));
  }
}

void DrawCoastlines(QImage& image, const GlobeProjection& view, const CoastlineLayer& coastlines) {
  std::uint8_t* bits = image.bits();
  const qsizetype bytesPerLine = image.bytesPerLine();
  const int bytesPerPixel = image.depth() / 8;
  const std::int64_t width = image.width();
  const std::int64_t height = image.height();
  const std::span<const UnitVector> vectors = coastlines.Vectors();
  for (std::size_t i = 0; i < vectors.size(); ++i) {
    const UnitVector& v = vectors[i];
    if (!view.UnitVectorVisible(v.x, v.y, v.z)) continue;  // about half the points
    const ProjectedPoint p = view.ProjectUnitVector(v.x, v.y, v.z);
    if (!p.IsVisible()) continue;
    const std::int64_t x = RoundHalfEven(p.ScreenX);
    const std::int64_t y = RoundHalfEven(p.ScreenY);
    if (x < 0 || y < 0 || x >= width || y >= height) continue;
    std::uint8_t* pixel = bits + y * bytesPerLine + x * bytesPerPixel;
    std::fill(pixel, pixel + bytesPerPixel, std::uint8_t{0});
  }
}

}  // namespace darvelle
