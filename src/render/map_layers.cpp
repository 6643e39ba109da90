#include "render/map_layers.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

#include "render/map.h"
#include "render/pen_path.h"
#include "render/sphere_stroke.h"

namespace darvelle {
namespace {

ProjectedPoint ProjectDegrees(const GlobeProjection& view, double longitudeDeg,
                              double latitudeDeg) {
  return view.ProjectPoint(RoundHalfEven(longitudeDeg * 3600.0),
                           RoundHalfEven(latitudeDeg * 3600.0));
}

template <typename Pen>
void DrawBordersWith(Pen& pen, const GlobeProjection& view, const BorderLayer& borders) {
  pen.SetColor(kBorderColor);
  for (const std::vector<UnitVector>& line : borders.Lines()) {
    SphereStroke stroke(pen, view);
    for (const UnitVector& v : line) stroke.Add(v);
  }
  pen.Flush();
}

// The screen point of a ring vertex. In the orthographic view a point behind
// the globe is moved out along its direction from the centre onto the
// outline, so that a ring's hidden stretch runs along the rim and the fill
// covers the visible part only.
QPointF BandVertex(const GlobeProjection& view, double longitudeDeg, double latitudeDeg) {
  const ProjectedPoint p = ProjectDegrees(view, longitudeDeg, latitudeDeg);
  const double cx = view.CentreX(), cy = view.CentreY();
  const double dx = p.ScreenX - cx;
  const double dy = p.ScreenY - cy;
  if (view.Stereographic() || p.IsVisible()) {
    // Near the far antipode the stereographic view throws points very far.
    constexpr double kFar = 1.0e6;
    return {std::clamp(p.ScreenX, -kFar, kFar), std::clamp(p.ScreenY, -kFar, kFar)};
  }
  const double r = std::hypot(dx, dy);
  if (r == 0.0) return {cx + static_cast<double>(view.RK()), cy};
  const double scale = view.RK() / r;
  return {cx + dx * scale, cy + dy * scale};
}

constexpr double kMaxBandStepDeg = 0.5;

QPolygonF BandPolygon(const GlobeProjection& view, const std::vector<CoastlinePoint>& ring) {
  QPolygonF polygon;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const CoastlinePoint& a = ring[i];
    polygon.append(BandVertex(view, a.longitude, a.latitude));
    if (i + 1 == ring.size()) break;
    const CoastlinePoint& b = ring[i + 1];
    // The rings' edges are straight in longitude and latitude (the cut at
    // the antimeridian, the closure along a pole's parallel); long ones are
    // followed in steps so that they bend as they should on the globe.
    const double span = std::max(std::fabs(b.longitude - a.longitude),
                                 std::fabs(b.latitude - a.latitude));
    const int steps = static_cast<int>(std::ceil(span / kMaxBandStepDeg));
    for (int k = 1; k < steps; ++k) {
      const double t = static_cast<double>(k) / steps;
      polygon.append(BandVertex(view, a.longitude + t * (b.longitude - a.longitude),
                                a.latitude + t * (b.latitude - a.latitude)));
    }
  }
  return polygon;
}

// ---- town names ----

constexpr int kDotRadius = 2;
constexpr int kDotGap = 3;       // between the dot and its name
constexpr int kHaloWidth = 1;    // each side of the letters
constexpr int kGiveUpAfter = 4000;  // candidates in a row without room
constexpr int kCell = 64;        // occupancy grid, pixels

// The boxes placed so far, filed by the grid cells they touch, so that a
// try looks at its neighbours only.
class Occupancy {
 public:
  explicit Occupancy(QSize size)
      : columns_(size.width() / kCell + 1), rows_(size.height() / kCell + 1),
        cells_(static_cast<std::size_t>(columns_ * rows_)) {}

  bool Free(const QRect& box) const {
    const Span s = CellsOf(box);
    for (int r = s.r0; r <= s.r1; ++r) {
      for (int c = s.c0; c <= s.c1; ++c) {
        for (const QRect& other : cells_[Index(r, c)]) {
          if (other.intersects(box)) return false;
        }
      }
    }
    return true;
  }

  void Take(const QRect& box) {
    const Span s = CellsOf(box);
    for (int r = s.r0; r <= s.r1; ++r) {
      for (int c = s.c0; c <= s.c1; ++c) cells_[Index(r, c)].push_back(box);
    }
  }

 private:
  struct Span {
    int c0, c1, r0, r1;
  };
  Span CellsOf(const QRect& box) const {
    return {std::clamp(box.left() / kCell, 0, columns_ - 1),
            std::clamp(box.right() / kCell, 0, columns_ - 1),
            std::clamp(box.top() / kCell, 0, rows_ - 1),
            std::clamp(box.bottom() / kCell, 0, rows_ - 1)};
  }
  std::size_t Index(int r, int c) const { return static_cast<std::size_t>(r * columns_ + c); }

  int columns_, rows_;
  std::vector<std::vector<QRect>> cells_;
};

}  // namespace

// ---- borders ----

BorderLayer::BorderLayer(std::span<const BorderLine> lines) {
  lines_.reserve(lines.size());
  for (const BorderLine& line : lines) {
    std::vector<UnitVector> vectors;
    vectors.reserve(line.size());
    for (const CoastlinePoint& p : line) {
      vectors.push_back(UnitVectorFromArcseconds(RoundHalfEven(p.longitude * 3600.0),
                                                 RoundHalfEven(p.latitude * 3600.0)));
    }
    lines_.push_back(std::move(vectors));
  }
}

std::size_t BorderLayer::PointCount() const {
  std::size_t count = 0;
  for (const auto& line : lines_) count += line.size();
  return count;
}

void DrawBorders(QImage& image, const GlobeProjection& view, const BorderLayer& borders) {
  if (image.format() == QImage::Format_RGB888) {
    PixelPenPath pen(image);
    DrawBordersWith(pen, view, borders);
    return;
  }
  QPainter painter(&image);
  PenPath pen(painter, 1);
  DrawBordersWith(pen, view, borders);
}

// ---- band ----

void DrawBand(QImage& image, const GlobeProjection& view, std::span<const BandArea> areas) {
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(Qt::NoPen);
  if (!view.Stereographic()) {
    QPainterPath globe;
    const double r = view.RK();
    globe.addEllipse(QPointF(view.CentreX(), view.CentreY()), r, r);
    painter.setClipPath(globe);
  }
  for (const BandArea& area : areas) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);  // parts that touch are shaded once
    for (const auto& ring : area.rings) {
      if (ring.size() >= 3) path.addPolygon(BandPolygon(view, ring));
    }
    painter.fillPath(path, QColor::fromRgba(area.color));
  }
}

void DrawDeltaTBand(QImage& image, const GlobeProjection& view, const DeltaTBandLayer& band) {
  const BandArea area{band.rings, kDeltaTBandColor, false};
  DrawBand(image, view, std::span(&area, 1));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(QColor::fromRgba(kDeltaTEdgeColor), 1));
  for (const auto& edge : band.edges) {
    QPolygonF visible;
    const auto flush = [&] {
      if (visible.size() >= 2) painter.drawPolyline(visible);
      visible.clear();
    };
    for (const CoastlinePoint& p : edge) {
      const ProjectedPoint at = ProjectDegrees(view, p.longitude, p.latitude);
      if (!at.IsVisible()) {
        flush();
        continue;
      }
      visible.append(QPointF(at.ScreenX, at.ScreenY));
    }
    flush();
  }
}

bool InsideRings(const std::vector<std::vector<CoastlinePoint>>& rings, double longitudeDeg,
                 double latitudeDeg) {
  for (const auto& ring : rings) {
    bool inside = false;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
      const CoastlinePoint& a = ring[i];
      const CoastlinePoint& b = ring[j];
      if ((a.latitude > latitudeDeg) != (b.latitude > latitudeDeg)) {
        const double x = a.longitude + (latitudeDeg - a.latitude) * (b.longitude - a.longitude) /
                                           (b.latitude - a.latitude);
        if (longitudeDeg < x) inside = !inside;
      }
    }
    if (inside) return true;
  }
  return false;
}

// ---- town names ----

std::vector<TownLabelCandidate> RankTownLabels(
    std::span<const TownLabelCandidate> byPopulation, const std::optional<TownLabelCandidate>& chosen,
    const std::vector<std::vector<CoastlinePoint>>& pathRings) {
  // Most towns lie far from the path: a look at the rings' bounds spares
  // them the crossing count.
  double west = 999.0, east = -999.0, south = 999.0, north = -999.0;
  for (const auto& ring : pathRings) {
    for (const CoastlinePoint& p : ring) {
      west = std::min(west, p.longitude);
      east = std::max(east, p.longitude);
      south = std::min(south, p.latitude);
      north = std::max(north, p.latitude);
    }
  }
  std::vector<TownLabelCandidate> ranked;
  ranked.reserve(byPopulation.size() + 1);
  if (chosen) ranked.push_back(*chosen);
  std::vector<char> inPath(byPopulation.size(), 0);
  for (std::size_t i = 0; i < byPopulation.size(); ++i) {
    const TownLabelCandidate& t = byPopulation[i];
    if (t.longitudeDeg < west || t.longitudeDeg > east || t.latitudeDeg < south ||
        t.latitudeDeg > north) {
      continue;
    }
    if (InsideRings(pathRings, t.longitudeDeg, t.latitudeDeg)) {
      inPath[i] = 1;
      ranked.push_back(t);
    }
  }
  for (std::size_t i = 0; i < byPopulation.size(); ++i) {
    if (inPath[i] == 0) ranked.push_back(byPopulation[i]);
  }
  return ranked;
}

QFont TownLabelFont() {
  QFont font(LegendFontFamily());
  font.setPixelSize(12);
  return font;
}

std::vector<PlacedLabel> PlaceTownLabels(std::span<const TownLabelCandidate> candidates,
                                         const GlobeProjection& view, QSize imageSize) {
  std::vector<PlacedLabel> placed;
  const QFontMetrics metrics(TownLabelFont());
  const QRect frame(QPoint(0, 0), imageSize);
  Occupancy taken(imageSize);
  int misses = 0;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    if (static_cast<int>(placed.size()) >= kMaxTownLabels || misses >= kGiveUpAfter) break;
    const TownLabelCandidate& town = candidates[i];
    const ProjectedPoint p = ProjectDegrees(view, town.longitudeDeg, town.latitudeDeg);
    if (!p.IsVisible()) continue;
    const QPointF anchor(p.ScreenX, p.ScreenY);
    const int ax = static_cast<int>(std::lround(p.ScreenX));
    const int ay = static_cast<int>(std::lround(p.ScreenY));
    const QRect dot(ax - kDotRadius, ay - kDotRadius, 2 * kDotRadius + 1, 2 * kDotRadius + 1);
    if (!frame.contains(dot)) continue;
    bool done = false;
    // Most misses are towns whose dot falls on a name already placed: they
    // are turned away before their text is measured.
    if (taken.Free(dot)) {
      const int w = metrics.horizontalAdvance(town.name) + 2 * kHaloWidth;
      const int h = metrics.height() + 2 * kHaloWidth;
      const QRect tries[] = {
          QRect(ax + kDotRadius + kDotGap, ay - h / 2, w, h),
          QRect(ax - kDotRadius - kDotGap - w, ay - h / 2, w, h),
          QRect(ax - w / 2, ay - kDotRadius - kDotGap - h, w, h),
          QRect(ax - w / 2, ay + kDotRadius + kDotGap, w, h),
      };
      for (const QRect& box : tries) {
        if (!frame.contains(box) || !taken.Free(box) || box.intersects(dot)) continue;
        taken.Take(dot);
        taken.Take(box);
        placed.push_back({town.name, anchor, box, i});
        done = true;
        break;
      }
    }
    misses = done ? 0 : misses + 1;
  }
  return placed;
}

void DrawTownLabels(QImage& image, std::span<const PlacedLabel> labels) {
  QPainter painter(&image);
  const QFont font = TownLabelFont();
  painter.setFont(font);
  const QFontMetrics metrics(font);
  const QColor ink(20, 20, 20);
  const QColor halo(255, 255, 255);
  // The halo is the text itself in white, moved a pixel each way: glyphs
  // come from the painter's cache, where outlining the letters as paths
  // would cost several times the whole drawing.
  for (const PlacedLabel& label : labels) {
    const QPoint base(label.box.left() + kHaloWidth, label.box.top() + kHaloWidth + metrics.ascent());
    painter.setPen(halo);
    for (int dy = -kHaloWidth; dy <= kHaloWidth; ++dy) {
      for (int dx = -kHaloWidth; dx <= kHaloWidth; ++dx) {
        if (dx != 0 || dy != 0) painter.drawText(base + QPoint(dx, dy), label.name);
      }
    }
    painter.setPen(ink);
    painter.drawText(base, label.name);
  }
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(Qt::white, 1));
  painter.setBrush(ink);
  for (const PlacedLabel& label : labels) {
    // Centred on the middle of the town's pixel, so that pixel is solid.
    const QPointF pixelMiddle(std::lround(label.anchor.x()) + 0.5,
                              std::lround(label.anchor.y()) + 0.5);
    painter.drawEllipse(pixelMiddle, kDotRadius, kDotRadius);
  }
}

}  // namespace darvelle
