#include "export/zone_polygons.h"

#include <cmath>
#include <initializer_list>

#include "geometry/elements.h"

namespace darvelle {
namespace {

double SquaredDistance(const GeoPoint& a, const GeoPoint& b) {
  // Longitude steps the short way round; close points are all this compares.
  double dx = std::fabs(a.LongitudeDeg - b.LongitudeDeg);
  if (dx > 180.0) dx = 360.0 - dx;
  dx *= std::cos((a.LatitudeDeg + b.LatitudeDeg) * 0.5 / kRadToDeg);
  const double dy = a.LatitudeDeg - b.LatitudeDeg;
  return dx * dx + dy * dy;
}

std::size_t NearestIndex(const std::vector<GeoPoint>& loop, const GeoPoint& p) {
  std::size_t best = 0;
  for (std::size_t i = 1; i < loop.size(); ++i) {
    if (SquaredDistance(loop[i], p) < SquaredDistance(loop[best], p)) best = i;
  }
  return best;
}

// The points of the closed loop strictly between the points nearest `from`
// and `to`, going the way round that passes index `through`.
std::vector<GeoPoint> CapBetween(const std::vector<GeoPoint>& loop, const GeoPoint& from,
                                 const GeoPoint& to, std::size_t through) {
  const std::size_t n = loop.size();
  // Where the shadow is a mere point on the limb (a hybrid's ends) neither
  // branch has a crossing: the limits meet there and join straight.
  if (n == 0) return {};
  const std::size_t i = NearestIndex(loop, from);
  const std::size_t j = NearestIndex(loop, to);
  const bool forward = (through + n - i) % n <= (j + n - i) % n;
  std::vector<GeoPoint> cap;
  for (std::size_t k = 1; k < n; ++k) {
    const std::size_t index = forward ? (i + k) % n : (i + n - k) % n;
    if (index == j) break;
    cap.push_back(loop[index]);
  }
  return cap;
}

// Both branches as one loop: the plus branch forwards, the minus branch back.
std::vector<GeoPoint> LoopOf(const LimbOutline& outline) {
  std::vector<GeoPoint> loop = outline.plusBranch;
  loop.insert(loop.end(), outline.minusBranch.rbegin(), outline.minusBranch.rend());
  return loop;
}

GeoPoint FirstOf(const GeoLine& line) { return line.front(); }
GeoPoint LastOf(const GeoLine& line) { return line.back(); }

std::optional<GeoPoint> InsidePoint(const GisSource& source) {
  if (const GisEvent* greatest = source.Event(EventId::TG0)) return greatest->Where;
  return std::nullopt;
}

ZoneKind PathKind(EclipseKind kind) {
  switch (kind) {
    case EclipseKind::Total: return ZoneKind::Totality;
    case EclipseKind::Annular: return ZoneKind::Annularity;
    default: return ZoneKind::Hybrid;
  }
}

}  // namespace

std::optional<std::vector<GeoPoint>> ZoneRing(const GeoLine& north, const GeoLine& south,
                                              const LimbOutline& atStart,
                                              const LimbOutline& atEnd) {
  if (north.size() < 2 || south.size() < 2) return std::nullopt;
  const std::vector<GeoPoint> startLoop = LoopOf(atStart);
  const std::vector<GeoPoint> endLoop = LoopOf(atEnd);
  // The inner contact is the last instant of the start outline and the first
  // of the end outline.
  const std::size_t startInnerContact =
      atStart.plusBranch.empty() ? 0 : atStart.plusBranch.size() - 1;
  const std::size_t endInnerContact = 0;

  std::vector<GeoPoint> ring(north.begin(), north.end());
  const auto endCap = CapBetween(endLoop, LastOf(north), LastOf(south), endInnerContact);
  ring.insert(ring.end(), endCap.begin(), endCap.end());
  ring.insert(ring.end(), south.rbegin(), south.rend());
  const auto startCap = CapBetween(startLoop, FirstOf(south), FirstOf(north), startInnerContact);
  ring.insert(ring.end(), startCap.begin(), startCap.end());
  return ring;
}

std::optional<std::vector<GeoPoint>> OneLimitRing(const GeoLine& limit, const LimbOutline& pass) {
  if (limit.size() < 2 || pass.plusBranch.empty() || pass.minusBranch.empty()) return std::nullopt;
  // The loop of both branches runs out to TU4 on one and back to TU1 on the
  // other; from the limit's end the cap goes round through TU4 to its start.
  const std::vector<GeoPoint> loop = LoopOf(pass);
  std::vector<GeoPoint> ring(limit.begin(), limit.end());
  const auto cap = CapBetween(loop, LastOf(limit), FirstOf(limit), pass.plusBranch.size() - 1);
  ring.insert(ring.end(), cap.begin(), cap.end());
  return ring;
}

std::vector<Zone> EclipseZones(const GisSource& source) {
  std::vector<Zone> zones;
  const std::optional<GeoPoint> inside = InsidePoint(source);
  if (!inside) return zones;
  auto add = [&](ZoneKind kind, const std::optional<std::vector<GeoPoint>>& ring) {
    if (!ring) return;
    std::vector<GeoRing> polygons = PolygonsOnMap(*ring, *inside);
    if (!polygons.empty()) zones.push_back({kind, std::move(polygons)});
  };
  auto allOf = [&](std::initializer_list<EventId> ids) {
    for (EventId id : ids) {
      if (source.Event(id) == nullptr) return false;
    }
    return true;
  };
  const EclipseKind type = source.eclipse.kind;
  // The caps need the shadow's coming on and going off the Earth as a whole.
  const bool central = type == EclipseKind::Total || type == EclipseKind::Annular ||
                       type == EclipseKind::Hybrid;
  if (central &&
      allOf({EventId::TU1, EventId::TU2, EventId::TU3, EventId::TU4})) {
    add(PathKind(type),
        ZoneRing(source.Curve(MapCurve::NorthUmbraLimit), source.Curve(MapCurve::SouthUmbraLimit),
                 source.umbraAtSunrise, source.umbraAtSunset));
  }
  // Only one limit on the Earth (|gamma| near 1): the path is closed along
  // where the umbra meets the horizon during the whole passage.
  const GeoLine& north = source.Curve(MapCurve::NorthUmbraLimit);
  const GeoLine& south = source.Curve(MapCurve::SouthUmbraLimit);
  if (central && !source.umbraWholePass.Empty() && (north.size() < 2) != (south.size() < 2)) {
    add(PathKind(type), OneLimitRing(north.size() < 2 ? south : north, source.umbraWholePass));
  }
  auto branch = [&](MapCurve curve) {
    const GeoLine& line = source.Curve(curve);
    return std::vector<GeoPoint>(line.begin(), line.end());
  };
  if (!allOf({EventId::TP1, EventId::TP2, EventId::TP3, EventId::TP4})) return zones;
  add(ZoneKind::Partial,
      ZoneRing(source.Curve(MapCurve::NorthPenumbraLimit),
               source.Curve(MapCurve::SouthPenumbraLimit),
               {branch(MapCurve::RiseSetCurve3), branch(MapCurve::RiseSetCurve4)},
               {branch(MapCurve::RiseSetCurve5), branch(MapCurve::RiseSetCurve6)}));
  return zones;
}

}  // namespace darvelle
