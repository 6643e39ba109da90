#pragma once
// Drawing the computed eclipse on the globe: the fifteen point curves as
// polylines broken where they pass behind the globe, each reporting its
// point count, and the event points as small discs.

#include <QColor>
#include <QImage>

#include <array>
#include <optional>

#include "geometry/curves.h"
#include "geometry/events.h"
#include "render/projection.h"

namespace darvelle {

// The curves in drawing order.
enum class MapCurve : int {
  NorthPenumbraLimit,
  NorthUmbraLimit,
  SouthUmbraLimit,
  CentralLine,
  SouthPenumbraLimit,
  RiseSetCurve1,
  RiseSetCurve2,
  RiseSetCurve3,
  RiseSetCurve4,
  RiseSetCurve5,
  RiseSetCurve6,
  MaxAtHorizonSouth,
  MaxAtHorizonNorth,
  MaxAtSunrise,
  MaxAtSunset,
};
inline constexpr int kMapCurveCount = 15;

// The curves a drawing drew and how many points each has; nothing for a curve
// it left out (not ready, or without points).
struct DrawnCurves {
  std::array<std::optional<int>, kMapCurveCount> pointCounts;

  std::optional<int> PointCount(MapCurve curve) const {
    return pointCounts.at(static_cast<std::size_t>(curve));
  }
};

struct CurveStyle {
  QRgb color;              // the central line's colour is chosen per point instead
  bool atLeastTwoPixels;   // the central line is never thinner than 2 pixels
  // Sunrise/sunset curves start at one event point and end at another.
  std::optional<EventId> startEvent;
  std::optional<EventId> endEvent;
};

const CurveStyle& StyleOf(MapCurve curve);

// Central-line colours: yellow where the eclipse is annular, red where total.
inline constexpr QRgb kCentralAnnularColor = 0xffffff00;
inline constexpr QRgb kCentralTotalColor = 0xffff0000;

// The pen width a curve is drawn with for the chosen pen width (1 .. 3).
int CurvePenWidth(MapCurve curve, int penWidth);

// Draws one curve on `image` when it has at least one point and returns its
// point count; a curve without points leaves the image untouched and gives
// nothing. Curve and event longitudes are shifted by the Earth's rotation
// during deltaT (0 in TT) before projection.
std::optional<int> DrawCurve(QImage& image, MapCurve curve, const CurveSet& curves,
                             const EclipseEvents& events, double deltaTSeconds, int penWidth,
                             const GlobeProjection& view);

// Every curve whose ready flag is set, in drawing order.
DrawnCurves DrawCurves(QImage& image, const CurveSet& curves, const EclipseEvents& events,
                       double deltaTSeconds, int penWidth, const GlobeProjection& view);

// Light halos under the curves, for the coloured Earth on screen, where the
// thin dark curves nearly vanish over the deep ocean: every ready curve's
// polyline in translucent white, kCurveHaloMargin pixels wider on each side
// than the curve, all drawn before any curve so that no halo covers one.
// The curves keep their own colours; the plain map, the files and the sheet
// never get halos.
inline constexpr QRgb kCurveHaloColor = 0xa0ffffff;  // white, alpha 160 of 255
inline constexpr int kCurveHaloMargin = 1;
void DrawCurveHalos(QImage& image, const CurveSet& curves, const EclipseEvents& events,
                    double deltaTSeconds, int penWidth, const GlobeProjection& view);

// Marker kinds by event, and their look.
enum class MarkerKind : int { None = 0, Contact = 1, InnerContact = 2, LimitOnLimb = 3,
                              CentralEnd = 4, Greatest = 5 };
MarkerKind MarkerKindOf(EventId event);
inline constexpr int kSmallMarkerRadius = 4;
inline constexpr int kLargeMarkerRadius = 8;

// A marker's disc: radius in pixels, fill, and outline colour and width.
struct MarkerLook {
  int radius;
  QRgb fill;
  QRgb outline;
  int outlineWidth;
};
// The look of a marker kind; `centralKind` is the event's CentralKind, which
// decides the outline of the central-line markers (white where total, else
// yellow). Nothing for MarkerKind::None.
std::optional<MarkerLook> MarkerLookOf(MarkerKind kind, CentralKind centralKind);

// The markers of every existing, visible event in table order (TG0 last, on top).
void DrawEventMarkers(QImage& image, const EclipseEvents& events, double deltaTSeconds,
                      const GlobeProjection& view);

// The projection of a curve or event point (radians, ephemeris longitude).
ProjectedPoint ProjectEphemerisPoint(const GlobeProjection& view, double ephemerisLongitude,
                                     double latitude, double deltaTSeconds);

}  // namespace darvelle
