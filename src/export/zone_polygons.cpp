#include "export/zone_polygons.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>

#include "geometry/elements.h"

namespace darvelle {
namespace {

// How far from the limits' ends a crossing must lie to count as a hybrid's
// narrowing, and the length of a degree of a great circle.
constexpr double kEndClearanceKm = 10.0;
constexpr double kKmPerDegree = kEarthRadiusKm / kRadToDeg;

double ReduceTo180(double degrees) { return degrees - 360.0 * std::round(degrees / 360.0); }

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

// Longitudes of a line made continuous (no step of more than 180 degrees),
// so that crossings are found in the plane of longitude and latitude.
std::vector<GeoPoint> Unwrapped(const GeoLine& line) {
  std::vector<GeoPoint> out(line.begin(), line.end());
  for (std::size_t i = 1; i < out.size(); ++i) {
    const double step = out[i].LongitudeDeg - out[i - 1].LongitudeDeg;
    out[i].LongitudeDeg -= 360.0 * std::round(step / 360.0);
  }
  return out;
}

// Where the limits cross: after vertex `north` of the northern limit and
// vertex `south` of the southern one, at `at`.
struct LimitCrossing {
  std::size_t north, south;
  GeoPoint at;
};

// The crossings of the two limits in order along the northern one, where a
// hybrid's path narrows to nothing at the change between annular and total.
std::vector<LimitCrossing> LimitCrossings(const GeoLine& northLine, const GeoLine& southLine) {
  const std::vector<GeoPoint> north = Unwrapped(northLine), south = Unwrapped(southLine);
  std::vector<LimitCrossing> found;
  // Near their limb events both limits start from nearly one place and may
  // touch there by rounding: only crossings clear of all four ends count. A
  // count of vertices is no measure of that: a hybrid's annular stretch at
  // sunrise may be a few vertices of 150 km long.
  const std::array<GeoPoint, 4> ends = {north.front(), north.back(), south.front(), south.back()};
  auto clearOfTheEnds = [&](const GeoPoint& at) {
    constexpr double kClearDeg = kEndClearanceKm / kKmPerDegree;
    return std::all_of(ends.begin(), ends.end(), [&](const GeoPoint& end) {
      GeoPoint unwrapped = at;
      unwrapped.LongitudeDeg = end.LongitudeDeg + ReduceTo180(at.LongitudeDeg - end.LongitudeDeg);
      return SquaredDistance(unwrapped, end) > kClearDeg * kClearDeg;
    });
  };
  for (std::size_t i = 0; i + 1 < north.size(); ++i) {
    const GeoPoint& a = north[i];
    const GeoPoint& b = north[i + 1];
    for (std::size_t j = 0; j + 1 < south.size(); ++j) {
      for (const double turn : {-360.0, 0.0, 360.0}) {
        const GeoPoint c{south[j].LongitudeDeg + turn, south[j].LatitudeDeg};
        const GeoPoint d{south[j + 1].LongitudeDeg + turn, south[j + 1].LatitudeDeg};
        const double rx = b.LongitudeDeg - a.LongitudeDeg, ry = b.LatitudeDeg - a.LatitudeDeg;
        const double sx = d.LongitudeDeg - c.LongitudeDeg, sy = d.LatitudeDeg - c.LatitudeDeg;
        const double denominator = rx * sy - ry * sx;
        if (denominator == 0.0) continue;
        const double qx = c.LongitudeDeg - a.LongitudeDeg, qy = c.LatitudeDeg - a.LatitudeDeg;
        const double t = (qx * sy - qy * sx) / denominator;
        const double u = (qx * ry - qy * rx) / denominator;
        if (t > 0.0 && t <= 1.0 && u > 0.0 && u <= 1.0) {
          GeoPoint at{a.LongitudeDeg + t * rx, a.LatitudeDeg + t * ry};
          if (!clearOfTheEnds(at)) continue;
          at.LongitudeDeg -= 360.0 * std::round(at.LongitudeDeg / 360.0);
          found.push_back({i, j, at});
        }
      }
    }
  }
  return found;
}

}  // namespace

std::vector<std::vector<GeoPoint>> PathRings(const GeoLine& north, const GeoLine& south,
                                             const LimbOutline& atStart, const LimbOutline& atEnd) {
  const std::optional<std::vector<GeoPoint>> whole = ZoneRing(north, south, atStart, atEnd);
  if (!whole) return {};
  const std::vector<LimitCrossing> crossings = LimitCrossings(north, south);
  // Crossings out of order along the southern limit are no simple narrowing:
  // the ring stays one.
  for (std::size_t k = 1; k < crossings.size(); ++k) {
    if (crossings[k].south < crossings[k - 1].south) return {*whole};
  }
  if (crossings.empty()) return {*whole};
  // One ring per part between crossings: the first closed over the start
  // cap, the last over the end cap, each from the northern limit forward and
  // the southern one back.
  std::vector<std::vector<GeoPoint>> rings;
  for (std::size_t part = 0; part <= crossings.size(); ++part) {
    const bool first = part == 0, last = part == crossings.size();
    const std::size_t northFrom = first ? 0 : crossings[part - 1].north + 1;
    const std::size_t northTo = last ? north.size() - 1 : crossings[part].north;
    const std::size_t southFrom = first ? 0 : crossings[part - 1].south + 1;
    const std::size_t southTo = last ? south.size() - 1 : crossings[part].south;
    std::vector<GeoPoint> ring;
    if (!first) ring.push_back(crossings[part - 1].at);
    for (std::size_t i = northFrom; i <= northTo && i < north.size(); ++i) ring.push_back(north[i]);
    if (last) {
      const auto cap = CapBetween(LoopOf(atEnd), LastOf(north), LastOf(south), 0);
      ring.insert(ring.end(), cap.begin(), cap.end());
    } else {
      ring.push_back(crossings[part].at);
    }
    for (std::size_t j = southTo + 1; j-- > southFrom;) ring.push_back(south[j]);
    if (first) {
      const std::size_t inner = atStart.plusBranch.empty() ? 0 : atStart.plusBranch.size() - 1;
      const auto cap = CapBetween(LoopOf(atStart), FirstOf(south), FirstOf(north), inner);
      ring.insert(ring.end(), cap.begin(), cap.end());
    }
    if (ring.size() >= 3) rings.push_back(std::move(ring));
  }
  return rings;
}

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
    Zone path{PathKind(type), {}};
    for (const auto& ring : PathRings(source.Curve(MapCurve::NorthUmbraLimit),
                                      source.Curve(MapCurve::SouthUmbraLimit),
                                      source.umbraAtSunrise, source.umbraAtSunset)) {
      for (GeoRing& polygon : PolygonsOnMap(ring, *inside)) path.polygons.push_back(std::move(polygon));
    }
    if (!path.polygons.empty()) zones.push_back(std::move(path));
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
