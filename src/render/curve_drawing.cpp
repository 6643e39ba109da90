#include "render/curve_drawing.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "render/pen_path.h"

namespace darvelle {

namespace {

constexpr QRgb Rgb(int r, int g, int b) { return 0xff000000u | (r << 16) | (g << 8) | b; }

constexpr QRgb kBlack = Rgb(0, 0, 0);
constexpr QRgb kUmbraGrey = Rgb(64, 64, 64);
constexpr QRgb kRiseSetBlue = Rgb(0, 0, 255);
constexpr QRgb kHorizonRed = Rgb(128, 0, 0);

constexpr std::array<CurveStyle, kMapCurveCount> kStyles = {{
    {kBlack, false, std::nullopt, std::nullopt},              // NorthPenumbraLimit
    {kUmbraGrey, false, std::nullopt, std::nullopt},          // NorthUmbraLimit
    {kUmbraGrey, false, std::nullopt, std::nullopt},          // SouthUmbraLimit
    {kCentralTotalColor, true, std::nullopt, std::nullopt},   // CentralLine
    {kBlack, false, std::nullopt, std::nullopt},              // SouthPenumbraLimit
    {kRiseSetBlue, false, EventId::TP1, EventId::TP4},        // RiseSetCurve1
    {kRiseSetBlue, false, EventId::TP1, EventId::TP4},        // RiseSetCurve2
    {kRiseSetBlue, false, EventId::TP1, EventId::TP2},        // RiseSetCurve3
    {kRiseSetBlue, false, EventId::TP1, EventId::TP2},        // RiseSetCurve4
    {kRiseSetBlue, false, EventId::TP3, EventId::TP4},        // RiseSetCurve5
    {kRiseSetBlue, false, EventId::TP3, EventId::TP4},        // RiseSetCurve6
    {kHorizonRed, false, std::nullopt, std::nullopt},         // MaxAtHorizonSouth
    {kHorizonRed, false, std::nullopt, std::nullopt},         // MaxAtHorizonNorth
    {kHorizonRed, false, std::nullopt, std::nullopt},         // MaxAtSunrise
    {kHorizonRed, false, std::nullopt, std::nullopt},         // MaxAtSunset
}};

const PointCurve* PointCurveOf(MapCurve curve, const CurveSet& curves) {
  switch (curve) {
    case MapCurve::NorthPenumbraLimit: return &curves.northPenumbra;
    case MapCurve::NorthUmbraLimit: return &curves.northUmbra;
    case MapCurve::SouthUmbraLimit: return &curves.southUmbra;
    case MapCurve::CentralLine: return nullptr;
    case MapCurve::SouthPenumbraLimit: return &curves.southPenumbra;
    case MapCurve::RiseSetCurve1: return &curves.RiseSet(1);
    case MapCurve::RiseSetCurve2: return &curves.RiseSet(2);
    case MapCurve::RiseSetCurve3: return &curves.RiseSet(3);
    case MapCurve::RiseSetCurve4: return &curves.RiseSet(4);
    case MapCurve::RiseSetCurve5: return &curves.RiseSet(5);
    case MapCurve::RiseSetCurve6: return &curves.RiseSet(6);
    case MapCurve::MaxAtHorizonSouth: return &curves.maxHorizonSouth;
    case MapCurve::MaxAtHorizonNorth: return &curves.maxHorizonNorth;
    case MapCurve::MaxAtSunrise: return &curves.maxSunrise;
    case MapCurve::MaxAtSunset: return &curves.maxSunset;
  }
  throw std::invalid_argument("unknown map curve");
}

bool CurveReady(MapCurve curve, const CurveSet& curves) {
  if (curve == MapCurve::CentralLine) return curves.centralLine.Ready();
  return PointCurveOf(curve, curves)->Ready();
}

struct ScreenPoint {
  std::int64_t x, y;
  bool visible;
};

ScreenPoint ToScreen(const ProjectedPoint& p) {
  return {RoundHalfEven(p.ScreenX), RoundHalfEven(p.ScreenY), p.IsVisible()};
}

// The polyline of one curve: the pen starts at `start` whatever its
// visibility, and each point is joined when visible, else the pen only moves
// there; a segment takes the colour of its end point.
template <typename Pen, typename Point, typename ColorOf>
void DrawPolyline(Pen& pen, const std::vector<Point>& points, const ScreenPoint& start,
                  const GlobeProjection& view, double deltaT, ColorOf&& colorOf) {
  pen.MoveTo(start.x, start.y);
  for (const Point& point : points) {
    // A point that is not a number has no place on the globe: leave it out
    // rather than let it land on longitude 0 at the equator.
    if (!std::isfinite(point.Longitude) || !std::isfinite(point.Latitude)) continue;
    pen.SetColor(colorOf(point));
    const ScreenPoint s =
        ToScreen(ProjectEphemerisPoint(view, point.Longitude, point.Latitude, deltaT));
    if (s.visible) {
      pen.LineTo(s.x, s.y);
    } else {
      pen.MoveTo(s.x, s.y);
    }
  }
}

}  // namespace

const CurveStyle& StyleOf(MapCurve curve) {
  const int i = static_cast<int>(curve);
  if (i < 0 || i >= kMapCurveCount) throw std::invalid_argument("unknown map curve");
  return kStyles[static_cast<std::size_t>(i)];
}

int CurvePenWidth(MapCurve curve, int penWidth) {
  return StyleOf(curve).atLeastTwoPixels ? std::max(2, penWidth) : penWidth;
}

ProjectedPoint ProjectEphemerisPoint(const GlobeProjection& view, double ephemerisLongitude,
                                     double latitude, double deltaTSeconds) {
  return view.ProjectPoint(CurveLongitudeToArcseconds(ephemerisLongitude, deltaTSeconds),
                           RadiansToArcseconds(latitude));
}

// The drawing of one curve with either kind of pen: start point, polyline
// and, for the sunrise/sunset curves, the closing event point.
template <typename Pen>
void DrawCurveWith(Pen& pen, MapCurve curve, const CurveSet& curves, const EclipseEvents& events,
                   double deltaTSeconds, const GlobeProjection& view) {
  const CurveStyle& style = StyleOf(curve);

  // Events without a position (not found, or not a number) are left out.
  auto placedEvent = [&](std::optional<EventId> id) -> std::optional<ScreenPoint> {
    if (!id) return std::nullopt;
    const EclipseEvent& e = events[*id];
    if (!e.exists() || !std::isfinite(e.EphemerisLongitude) || !std::isfinite(e.Latitude)) {
      return std::nullopt;
    }
    return ToScreen(ProjectEphemerisPoint(view, e.EphemerisLongitude, e.Latitude, deltaTSeconds));
  };
  // The pen starts at the curve's first point that is a number.
  auto firstPoint = [&](const auto& points) -> std::optional<ScreenPoint> {
    for (const auto& p : points) {
      if (std::isfinite(p.Longitude) && std::isfinite(p.Latitude)) {
        return ToScreen(ProjectEphemerisPoint(view, p.Longitude, p.Latitude, deltaTSeconds));
      }
    }
    return std::nullopt;
  };

  if (curve == MapCurve::CentralLine) {
    const auto& points = curves.centralLine.Points();
    const std::optional<ScreenPoint> start = firstPoint(points);
    if (!start) return;
    DrawPolyline(pen, points, *start, view, deltaTSeconds, [](const CentralLinePoint& p) {
      return p.CentralKind == CentralKind::Annular ? kCentralAnnularColor : kCentralTotalColor;
    });
    return;
  }

  const auto& points = curves.DrawnPoints(*PointCurveOf(curve, curves));
  // A sunrise/sunset curve starts at its first event point, whether visible
  // or not. An event that was not found has no position (its table entry is
  // zero): the curve then starts at its own first point instead of at
  // longitude 0 on the equator.
  std::optional<ScreenPoint> start = placedEvent(style.startEvent);
  if (!start) start = firstPoint(points);
  if (!start) return;
  pen.SetColor(style.color);
  DrawPolyline(pen, points, *start, view, deltaTSeconds,
               [&](const CurvePoint&) { return style.color; });
  // ... and ends at its second event point when that exists and is visible.
  if (const std::optional<ScreenPoint> end = placedEvent(style.endEvent); end && end->visible) {
    pen.LineTo(end->x, end->y);
  }
}

std::optional<int> DrawCurve(QImage& image, MapCurve curve, const CurveSet& curves,
                             const EclipseEvents& events, double deltaTSeconds, int penWidth,
                             const GlobeProjection& view) {
  const int count = curve == MapCurve::CentralLine ? curves.centralLine.Count()
                                                   : PointCurveOf(curve, curves)->Count();
  if (count < 1) return std::nullopt;

  const int width = CurvePenWidth(curve, penWidth);
  // One-pixel curves go straight into the pixels, wider ones through the
  // painter for their round joins.
  if (width == 1 && image.format() == QImage::Format_RGB888) {
    PixelPenPath pen(image);
    DrawCurveWith(pen, curve, curves, events, deltaTSeconds, view);
  } else {
    QPainter painter(&image);
    PenPath pen(painter, width);
    DrawCurveWith(pen, curve, curves, events, deltaTSeconds, view);
  }
  return count;
}

namespace {

// Collects a curve's visible segments into one painter path, which is
// stroked once, so a translucent pen does not darken where segments meet.
// Segments reaching absurdly far outside the image (the stereographic view
// near the far antipode) are left out; the rasteriser cannot take them.
class HaloPath {
 public:
  void SetColor(QRgb) {}
  void MoveTo(std::int64_t x, std::int64_t y) {
    x_ = x;
    y_ = y;
    open_ = false;
  }
  void LineTo(std::int64_t x, std::int64_t y) {
    if (Near(x_, y_) && Near(x, y)) {
      if (!open_) path_.moveTo(static_cast<double>(x_), static_cast<double>(y_));
      path_.lineTo(static_cast<double>(x), static_cast<double>(y));
      open_ = true;
    } else {
      open_ = false;
    }
    x_ = x;
    y_ = y;
  }
  const QPainterPath& Path() const { return path_; }

 private:
  static constexpr std::int64_t kFrame = 1 << 20;  // pixels round the image
  static bool Near(std::int64_t x, std::int64_t y) {
    return x > -kFrame && x < kFrame && y > -kFrame && y < kFrame;
  }
  QPainterPath path_;
  std::int64_t x_ = 0;
  std::int64_t y_ = 0;
  bool open_ = false;
};

}  // namespace

void DrawCurveHalos(QImage& image, const CurveSet& curves, const EclipseEvents& events,
                    double deltaTSeconds, int penWidth, const GlobeProjection& view) {
  QPainter painter(&image);
  painter.setBrush(Qt::NoBrush);
  for (int i = 0; i < kMapCurveCount; ++i) {
    const auto curve = static_cast<MapCurve>(i);
    if (!CurveReady(curve, curves)) continue;
    HaloPath halo;
    DrawCurveWith(halo, curve, curves, events, deltaTSeconds, view);
    painter.setPen(QPen(QColor::fromRgba(kCurveHaloColor),
                        CurvePenWidth(curve, penWidth) + 2 * kCurveHaloMargin, Qt::SolidLine,
                        Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(halo.Path());
  }
}

DrawnCurves DrawCurves(QImage& image, const CurveSet& curves, const EclipseEvents& events,
                       double deltaTSeconds, int penWidth, const GlobeProjection& view) {
  DrawnCurves drawn;
  for (int i = 0; i < kMapCurveCount; ++i) {
    const auto curve = static_cast<MapCurve>(i);
    if (CurveReady(curve, curves)) {
      drawn.pointCounts[static_cast<std::size_t>(i)] =
          DrawCurve(image, curve, curves, events, deltaTSeconds, penWidth, view);
    }
  }
  return drawn;
}

MarkerKind MarkerKindOf(EventId event) {
  switch (event) {
    case EventId::TP1:
    case EventId::TP4: return MarkerKind::Contact;
    case EventId::TP2:
    case EventId::TP3: return MarkerKind::InnerContact;
    case EventId::TPN1:
    case EventId::TPN2:
    case EventId::TPS1:
    case EventId::TPS2: return MarkerKind::LimitOnLimb;
    case EventId::TC1:
    case EventId::TC2: return MarkerKind::CentralEnd;
    case EventId::TG0: return MarkerKind::Greatest;
    default: return MarkerKind::None;
  }
}

std::optional<MarkerLook> MarkerLookOf(MarkerKind kind, CentralKind centralKind) {
  switch (kind) {
    case MarkerKind::Contact: return MarkerLook{kSmallMarkerRadius, Rgb(0, 128, 0), kBlack, 1};
    case MarkerKind::InnerContact:
      return MarkerLook{kSmallMarkerRadius, Rgb(255, 0, 0), kBlack, 1};
    case MarkerKind::LimitOnLimb: return MarkerLook{kSmallMarkerRadius, Rgb(0, 0, 255), kBlack, 1};
    case MarkerKind::CentralEnd:
    case MarkerKind::Greatest:
      return MarkerLook{kLargeMarkerRadius, kBlack,
                        centralKind == CentralKind::Total ? Rgb(255, 255, 255) : Rgb(255, 255, 0), 3};
    case MarkerKind::None: break;
  }
  return std::nullopt;
}

void DrawEventMarkers(QImage& image, const EclipseEvents& events, double deltaTSeconds,
                      const GlobeProjection& view) {
  QPainter painter(&image);
  for (int k = 0; k < kEventCount; ++k) {
    const auto id = static_cast<EventId>(k);
    const EclipseEvent& e = events[id];
    if (!e.exists()) continue;
    if (!std::isfinite(e.EphemerisLongitude) || !std::isfinite(e.Latitude)) continue;
    const MarkerKind kind = MarkerKindOf(id);
    if (kind == MarkerKind::None) continue;
    const ProjectedPoint p =
        ProjectEphemerisPoint(view, e.EphemerisLongitude, e.Latitude, deltaTSeconds);
    if (!p.IsVisible()) continue;

    const std::optional<MarkerLook> look = MarkerLookOf(kind, e.CentralKind);
    if (!look) continue;
    const int radius = look->radius;
    const std::int64_t left = RoundHalfEven(p.ScreenX - radius);
    const std::int64_t top = RoundHalfEven(p.ScreenY - radius);
    const std::int64_t right = RoundHalfEven(p.ScreenX + radius);
    const std::int64_t bottom = RoundHalfEven(p.ScreenY + radius);
    // Visible points lie within a few globe radii of the image; anything
    // beyond the int range cannot be on the image at all.
    constexpr std::int64_t kFar = 1 << 24;
    if (std::max({std::abs(left), std::abs(top), std::abs(right), std::abs(bottom)}) > kFar) {
      continue;
    }
    painter.setPen(QPen(QColor::fromRgb(look->outline), look->outlineWidth, Qt::SolidLine));
    painter.setBrush(QBrush(QColor::fromRgb(look->fill), Qt::SolidPattern));
    painter.drawEllipse(QRect(static_cast<int>(left), static_cast<int>(top),
                              static_cast<int>(right - left), static_cast<int>(bottom - top)));
  }
}

}  // namespace darvelle
