#include "render/shadow_layer.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <vector>

#include "astro/constants.h"
#include "astro/instant.h"

namespace darvelle {
namespace {

// The map's unit vector of a place (as UnitVectorFromArcseconds, without the
// rounding to whole arcseconds, which a frame drawn 60 times a second needs
// as little as the shadow's points need it).
UnitVector UnitOf(const ShadowPoint& p) {
  const double lambda = p.LongitudeDeg * kDegToRad, phi = p.LatitudeDeg * kDegToRad;
  return {std::sin(lambda) * std::cos(phi), std::sin(phi), std::cos(lambda) * std::cos(phi)};
}

// The turned frame's vector of a projected point: orthographic x and y are
// the screen offsets over the radius; stereographic ones are scaled by
// (1 + z) / 2.
void TurnedVector(const GlobeProjection& projection, const ProjectedPoint& p, int rk, bool stereographic,
                  double v[3]) {
  const double scale = (stereographic ? 0.5 * (p.Depth + 1.0) : 1.0) / rk;
  v[0] = (p.ScreenX - projection.CentreX()) * scale;
  v[1] = (projection.CentreY() - p.ScreenY) * scale;
  v[2] = p.Depth;
}

void Darken(QRgb* row, int from, int to, int keep) {
  for (int x = from; x <= to; ++x) {
    const QRgb c = row[x];
    row[x] = qRgba(qRed(c) * keep >> 8, qGreen(c) * keep >> 8, qBlue(c) * keep >> 8, qAlpha(c));
  }
}

// The night part of one row of the orthographic globe as intervals of px
// (the screen offset over the radius). With px = h cos θ and the depth
// h sin θ (θ from 0 to π, h the row's half chord), the Sun's height is
// h R cos(θ − α) + py s_y: night is one arc of θ, found with one acos, so
// the row needs no root per pixel. At most two intervals.
int NightOfRow(double py, const double sun[3], double out[2][2]) {
  const double h2 = 1.0 - py * py;
  if (h2 <= 0.0) return 0;
  const double h = std::sqrt(h2);
  const double k = py * sun[1];
  const double r = std::hypot(sun[0], sun[2]) * h;
  auto whole = [&] {
    out[0][0] = -h;
    out[0][1] = h;
    return 1;
  };
  if (r < 1e-12) return k < 0.0 ? whole() : 0;
  const double c = -k / r;
  if (c <= -1.0) return 0;
  if (c >= 1.0) return whole();
  const double alpha = std::atan2(sun[2], sun[0]);
  const double beta = std::acos(c);
  int count = 0;
  for (const double shift : {-2.0 * M_PI, 0.0, 2.0 * M_PI}) {
    const double a = std::max(alpha + beta + shift, 0.0);
    const double b = std::min(alpha + 2.0 * M_PI - beta + shift, M_PI);
    if (a >= b || count == 2) continue;
    out[count][0] = h * std::cos(b);  // cos falls over [0, π]
    out[count][1] = h * std::cos(a);
    ++count;
  }
  return count;
}

// Darkens every pixel of the globe whose place has the Sun below the horizon:
// the place's vector (from the pixel by the inverse projection) against the
// Sun's in the turned frame. The orthographic globe takes the night of each
// row whole (NightOfRow); the stereographic picture asks pixel by pixel.
void ShadeNight(QImage& image, const GlobeProjection& projection, const ShadowPoint& subSolar,
                double darkening) {
  const UnitVector s = UnitOf(subSolar);
  double sun[3];
  const int rk = std::max(projection.RK(), 1);
  const bool stereo = projection.Stereographic();
  TurnedVector(projection, projection.ProjectUnitVector(s.x, s.y, s.z), rk, stereo, sun);
  const double centreX = projection.CentreX(), centreY = projection.CentreY();
  // The stereographic picture of the Earth spans the whole image (all but a
  // small cap round the far antipode); the orthographic one the globe's disc.
  const double reach = stereo ? 1e6 : rk;
  const int top = std::max(0, static_cast<int>(centreY - reach));
  const int bottom = std::min(image.height() - 1, static_cast<int>(centreY + reach));
  const int left = std::max(0, static_cast<int>(centreX - reach));
  const int right = std::min(image.width() - 1, static_cast<int>(centreX + reach));
  const int keep = static_cast<int>(std::lround((1.0 - darkening) * 256.0));
  const double perPixel = 1.0 / rk;
  for (int y = top; y <= bottom; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    const double py = (centreY - y) * perPixel;
    if (!stereo) {
      double night[2][2];
      const int parts = NightOfRow(py, sun, night);
      for (int i = 0; i < parts; ++i) {
        // The pixels whose px lies in the interval.
        const int from = std::max(left, static_cast<int>(std::ceil(centreX + night[i][0] * rk)));
        const int to = std::min(right, static_cast<int>(std::floor(centreX + night[i][1] * rk)));
        Darken(row, from, to, keep);
      }
      continue;
    }
    for (int x = left; x <= right; ++x) {
      const double a = 0.5 * (x - centreX) * perPixel, b = 0.5 * py, r2 = a * a + b * b;
      const double vz = (1.0 - r2) / (1.0 + r2);
      if (a * (1.0 + vz) * sun[0] + b * (1.0 + vz) * sun[1] + vz * sun[2] < 0.0) Darken(row, x, x, keep);
    }
  }
}

// The visible stretches of a curve as screen polylines, cut where it goes
// behind the globe.
std::vector<QPolygonF> VisibleParts(const GlobeProjection& projection, const ShadowCurve& curve) {
  std::vector<QPolygonF> parts(1);
  for (const ShadowPoint& p : curve.Points) {
    const UnitVector u = UnitOf(p);
    const ProjectedPoint q = projection.ProjectUnitVector(u.x, u.y, u.z);
    if (q.IsVisible()) {
      parts.back().append(QPointF(q.ScreenX, q.ScreenY));
    } else if (!parts.back().isEmpty()) {
      parts.emplace_back();
    }
  }
  std::erase_if(parts, [](const QPolygonF& part) { return part.size() < 2; });
  return parts;
}

void Mark(QPainter& painter, const GlobeProjection& projection, const ShadowPoint& p,
          const QColor& color, double radius) {
  const UnitVector u = UnitOf(p);
  const ProjectedPoint q = projection.ProjectUnitVector(u.x, u.y, u.z);
  if (!q.IsVisible()) return;
  painter.setPen(QPen(Qt::black, 1.0));
  painter.setBrush(color);
  painter.drawEllipse(QPointF(q.ScreenX, q.ScreenY), radius, radius);
}

// Hours and minutes of UT of an instant (whole minutes, rounded).
QString UtClockText(double julianDayTT, double deltaT) {
  const double ut = Instant::FromJulianDayTT(julianDayTT).JulianDayUT(deltaT);
  const long long minutes = std::llround((ut - 0.5 - std::floor(ut - 0.5)) * 1440.0) % 1440;
  return QStringLiteral("%1:%2")
      .arg(minutes / 60, 2, 10, QLatin1Char('0'))
      .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

void DrawShadowLayer(QImage& image, const GlobeProjection& projection,
                     const ShadowAtInstant& shadow, const ShadowLayerStyle& style) {
  if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32 &&
      image.format() != QImage::Format_ARGB32_Premultiplied) {
    image = image.convertToFormat(QImage::Format_RGB32);
  }
  if (shadow.SubSolar) ShadeNight(image, projection, *shadow.SubSolar, style.NightDarkening);

  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  // The umbra: a ring whole on the globe's front is filled; an outline cut by
  // the terminator or the globe's edge is filled as far as it is seen.
  painter.setPen(QPen(style.UmbraEdge, 1.0));
  painter.setBrush(style.Umbra);
  for (const ShadowCurve& c : shadow.Umbra) {
    for (const QPolygonF& part : VisibleParts(projection, c)) painter.drawPolygon(part);
  }
  painter.setBrush(Qt::NoBrush);
  // The thinner lines one pixel wide: Qt draws those along its quick
  // cosmetic path, dashes included, where wider ones are stroked as areas
  // (half the layer's time at 60 pictures a second).
  painter.setPen(QPen(style.Terminator, 1.0));
  for (const QPolygonF& part : VisibleParts(projection, shadow.Terminator)) {
    painter.drawPolyline(part);
  }
  painter.setPen(QPen(style.MagnitudeLine, 1.0, Qt::DashLine));
  for (const MagnitudeLine& line : shadow.MagnitudeLines) {
    for (const ShadowCurve& c : line.Curves) {
      for (const QPolygonF& part : VisibleParts(projection, c)) painter.drawPolyline(part);
    }
  }
  painter.setPen(QPen(style.Penumbra, style.LineWidth));
  for (const ShadowCurve& c : shadow.Penumbra) {
    for (const QPolygonF& part : VisibleParts(projection, c)) painter.drawPolyline(part);
  }
  if (shadow.Axis) Mark(painter, projection, *shadow.Axis, style.Axis, 2.5);
  if (shadow.SubSolar) Mark(painter, projection, *shadow.SubSolar, style.SubSolar, 5.0);
}

void DrawUmbraOutlines(QImage& image, const GlobeProjection& projection,
                       std::span<const TimedUmbraArea> areas, double deltaTForLabels,
                       const ShadowLayerStyle& style) {
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QColor fill = style.Umbra;
  fill.setAlpha(kUmbraOutlineFillAlpha);
  QFont font = painter.font();
  font.setPixelSize(kOutlineLabelPixels);
  painter.setFont(font);
  const QFontMetrics metrics(font);
  std::vector<QRect> labels;
  for (const TimedUmbraArea& area : areas) {
    QRectF extent;
    painter.setPen(QPen(style.UmbraEdge, 1.0));
    painter.setBrush(fill);
    for (const ShadowCurve& ring : area.rings) {
      for (const QPolygonF& part : VisibleParts(projection, ring)) {
        painter.drawPolygon(part);
        extent = extent.united(part.boundingRect());
      }
    }
    if (extent.isEmpty()) continue;
    // "18:40" beside the outline, as NASA's maps mark the shadow's march;
    // a time whose place another one took is left out.
    const QString text = UtClockText(area.julianDayTT, deltaTForLabels);
    QRect box = metrics.boundingRect(text).adjusted(-2, -1, 2, 1);
    box.moveCenter(QPoint(static_cast<int>(extent.right()) + box.width() / 2 + 3,
                          static_cast<int>(extent.center().y())));
    if (!image.rect().contains(box)) continue;
    if (std::any_of(labels.begin(), labels.end(), [&](const QRect& r) { return r.intersects(box); })) {
      continue;
    }
    labels.push_back(box);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 190));
    painter.drawRect(box);
    painter.setPen(style.UmbraEdge);
    painter.drawText(box, Qt::AlignCenter, text);
  }
}

}  // namespace darvelle
