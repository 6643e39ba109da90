#include "export/gis_geometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <numeric>
#include <optional>
#include <utility>
#include <vector>

#include "export/gis_longitudes.h"

namespace darvelle {

using gis_detail::Lerp;
using gis_detail::SamePlace;
using gis_detail::ShortLongitudeStep;

namespace {

// A ring in the plane of unwrapped longitude (x, degrees, any value) and
// latitude (y): open, its last point joined to its first.
using PlaneRing = std::vector<GeoPoint>;

// One stretch of a ring between two consecutive crossings of a meridian,
// both crossing points included.
struct Chain {
  PlaneRing points;
  std::size_t startCrossing = 0;
  std::size_t endCrossing = 0;
  bool west = false;
  bool used = false;
};

// Cuts `ring` at x = cutX into the rings west and east of it. Along the cut
// the area lies between the 1st and 2nd crossing, the 3rd and 4th, ... in
// order of latitude (the ring is simple), so a chain ending at one crossing
// continues with the chain starting at its partner. False when the chains do
// not pair up that way (a ring that crosses itself).
bool CutRing(PlaneRing ring, double cutX, std::vector<PlaneRing>& west,
             std::vector<PlaneRing>& east) {
  // A vertex on the cut is moved a hair west, so every crossing lies inside
  // an edge; rounding to 6 decimals later puts it back on the cut.
  for (GeoPoint& p : ring) {
    if (p.LongitudeDeg == cutX) p.LongitudeDeg = cutX - 1e-9;
  }
  const std::size_t n = ring.size();
  auto crosses = [&](std::size_t i) {
    return (ring[i].LongitudeDeg < cutX) != (ring[(i + 1) % n].LongitudeDeg < cutX);
  };
  std::size_t firstEdge = n;
  for (std::size_t i = 0; i < n; ++i) {
    if (crosses(i)) {
      firstEdge = i;
      break;
    }
  }
  if (firstEdge == n) {
    (ring.front().LongitudeDeg < cutX ? west : east).push_back(ring);
    return true;
  }

  std::vector<double> crossingLatitude;
  std::vector<Chain> chains;
  auto crossingOf = [&](std::size_t i) {
    const GeoPoint& a = ring[i];
    const GeoPoint& b = ring[(i + 1) % n];
    const double f = (cutX - a.LongitudeDeg) / (b.LongitudeDeg - a.LongitudeDeg);
    crossingLatitude.push_back(Lerp(a.LatitudeDeg, b.LatitudeDeg, f));
    return GeoPoint{cutX, crossingLatitude.back()};
  };
  // Every edge is visited once, starting after the first crossing edge.
  Chain current;
  current.points.push_back(crossingOf(firstEdge));
  current.startCrossing = 0;
  for (std::size_t k = 1; k <= n; ++k) {
    const std::size_t i = (firstEdge + k) % n;
    current.points.push_back(ring[i]);
    if (crosses(i)) {
      current.points.push_back(crossingOf(i));
      current.endCrossing = crossingLatitude.size() - 1;
      current.west = current.points[1].LongitudeDeg < cutX;
      chains.push_back(std::move(current));
      current = Chain{};
      current.points.push_back(chains.back().points.back());
      current.startCrossing = crossingLatitude.size() - 1;
    }
  }
  // The last crossing visited is the first edge's again: it closes the ring.
  crossingLatitude.pop_back();
  chains.back().endCrossing = 0;
  const std::size_t crossingCount = crossingLatitude.size();
  if (crossingCount % 2 != 0) return false;

  std::vector<std::size_t> byLatitude(crossingCount);
  std::iota(byLatitude.begin(), byLatitude.end(), 0);
  std::sort(byLatitude.begin(), byLatitude.end(), [&](std::size_t a, std::size_t b) {
    return crossingLatitude[a] < crossingLatitude[b];
  });
  std::vector<std::size_t> partner(crossingCount);
  for (std::size_t k = 0; k + 1 < crossingCount; k += 2) {
    partner[byLatitude[k]] = byLatitude[k + 1];
    partner[byLatitude[k + 1]] = byLatitude[k];
  }
  std::vector<std::size_t> chainStartingAt(crossingCount);
  for (std::size_t c = 0; c < chains.size(); ++c) chainStartingAt[chains[c].startCrossing] = c;

  for (std::size_t first = 0; first < chains.size(); ++first) {
    if (chains[first].used) continue;
    PlaneRing piece;
    std::size_t c = first;
    // Each chain joins one piece, so a piece has at most chains.size() of them.
    for (std::size_t step = 0;; ++step) {
      if (step == chains.size() || chains[c].used) return false;
      chains[c].used = true;
      piece.insert(piece.end(), chains[c].points.begin(), chains[c].points.end());
      const std::size_t next = chainStartingAt[partner[chains[c].endCrossing]];
      if (chains[next].west != chains[first].west) return false;
      if (next == first) break;
      c = next;
    }
    (chains[first].west ? west : east).push_back(std::move(piece));
  }
  return true;
}

// Cuts a ring at every antimeridian (x = 180 + 360 k) it spans and moves each
// piece into [-180, 180]. A ring spans at most a few turns of the Earth, so
// the depth cap (eight cuts deep) is never reached by a real area.
bool CutIntoMapRings(const PlaneRing& ring, int depth, std::vector<PlaneRing>& out) {
  constexpr int kMaxCutDepth = 8;
  if (depth > kMaxCutDepth) return false;
  const auto [low, high] = std::minmax_element(
      ring.begin(), ring.end(),
      [](const GeoPoint& a, const GeoPoint& b) { return a.LongitudeDeg < b.LongitudeDeg; });
  const double cutX = 180.0 + 360.0 * std::floor((low->LongitudeDeg + 180.0) / 360.0);
  if (cutX > low->LongitudeDeg && cutX < high->LongitudeDeg) {
    std::vector<PlaneRing> west, east;
    if (!CutRing(ring, cutX, west, east)) return false;
    for (const PlaneRing& piece : west) {
      if (!CutIntoMapRings(piece, depth + 1, out)) return false;
    }
    for (const PlaneRing& piece : east) {
      if (!CutIntoMapRings(piece, depth + 1, out)) return false;
    }
    return true;
  }
  const double shift = 360.0 * std::round((low->LongitudeDeg + high->LongitudeDeg) / 720.0);
  PlaneRing moved = ring;
  for (GeoPoint& p : moved) p.LongitudeDeg -= shift;
  out.push_back(std::move(moved));
  return true;
}

// Whether the meridian arc from `inside` up to the north pole crosses the
// ring an even number of times, that is whether the north pole lies on the
// same side of the ring as `inside`.
bool NorthPoleOnSideOf(const std::vector<GeoPoint>& ring, const GeoPoint& inside) {
  int crossings = 0;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const GeoPoint& a = ring[i];
    const GeoPoint& b = ring[(i + 1) % ring.size()];
    const double step = ShortLongitudeStep(a.LongitudeDeg, b.LongitudeDeg);
    const double r = ShortLongitudeStep(a.LongitudeDeg, inside.LongitudeDeg);
    // Half-open spans, so a vertex on the meridian counts for one edge only.
    const bool spans = step > 0 ? (r > 0 && r <= step) : (step < 0 && r >= step && r < 0);
    if (spans && Lerp(a.LatitudeDeg, b.LatitudeDeg, r / step) > inside.LatitudeDeg) ++crossings;
  }
  return crossings % 2 == 0;
}

// The ring with its points that are not numbers, its closing point and its
// repeated points taken out.
std::vector<GeoPoint> CleanRing(const std::vector<GeoPoint>& ring) {
  std::vector<GeoPoint> clean;
  for (const GeoPoint& p : ring) {
    if (!std::isfinite(p.LongitudeDeg) || !std::isfinite(p.LatitudeDeg)) continue;
    // On the grid of the file's coordinates from the start, so the crossings
    // found are those the file will have.
    const GeoPoint rounded{RoundCoordinate(p.LongitudeDeg), RoundCoordinate(p.LatitudeDeg)};
    if (clean.empty() || !SamePlace(clean.back(), rounded)) clean.push_back(rounded);
  }
  while (clean.size() > 1 && SamePlace(clean.front(), clean.back())) clean.pop_back();
  return clean;
}

// Rotates a ring that winds round the Earth to start at its crossing of the
// antimeridian nearest the north (or south) pole, a point inserted there; its
// longitude is the side the ring goes on from there.
void StartAtAntimeridian(std::vector<GeoPoint>& ring, bool north) {
  std::optional<std::size_t> bestEdge;
  GeoPoint best;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const GeoPoint& a = ring[i];
    const GeoPoint& b = ring[(i + 1) % ring.size()];
    const double step = ShortLongitudeStep(a.LongitudeDeg, b.LongitudeDeg);
    const double end = a.LongitudeDeg + step;
    if (end <= 180.0 && end >= -180.0) continue;
    const double edge = end > 180.0 ? 180.0 : -180.0;
    const double f = (edge - a.LongitudeDeg) / step;
    const GeoPoint crossing{-edge, Lerp(a.LatitudeDeg, b.LatitudeDeg, f)};
    if (!bestEdge || (north ? crossing.LatitudeDeg > best.LatitudeDeg
                            : crossing.LatitudeDeg < best.LatitudeDeg)) {
      bestEdge = i;
      best = crossing;
    }
  }
  // A ring that winds round the Earth crosses every meridian; without a
  // crossing the ring stays as it is.
  if (!bestEdge) return;
  std::rotate(ring.begin(), ring.begin() + static_cast<std::ptrdiff_t>(*bestEdge + 1), ring.end());
  ring.insert(ring.begin(), best);
}

double Cross(const GeoPoint& o, const GeoPoint& a, const GeoPoint& b) {
  return (a.LongitudeDeg - o.LongitudeDeg) * (b.LatitudeDeg - o.LatitudeDeg) -
         (a.LatitudeDeg - o.LatitudeDeg) * (b.LongitudeDeg - o.LongitudeDeg);
}

// Where segments ab and cd cross inside both (touching ends do not count).
std::optional<GeoPoint> ProperCrossing(const GeoPoint& a, const GeoPoint& b, const GeoPoint& c,
                                       const GeoPoint& d) {
  const double d1 = Cross(c, d, a);
  const double d2 = Cross(c, d, b);
  const double d3 = Cross(a, b, c);
  const double d4 = Cross(a, b, d);
  if (!(((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))) {
    return std::nullopt;
  }
  const double f = d1 / (d1 - d2);
  return GeoPoint{Lerp(a.LongitudeDeg, b.LongitudeDeg, f), Lerp(a.LatitudeDeg, b.LatitudeDeg, f)};
}

// The first pair of edges (i < j) of a ring that cross, with the crossing.
// Edges are visited in order of their western end, and an edge is only
// compared with those that start before it ends.
std::optional<std::pair<std::pair<std::size_t, std::size_t>, GeoPoint>> FirstSelfCrossing(
    const PlaneRing& ring) {
  const std::size_t n = ring.size();
  auto west = [&](std::size_t i) {
    return std::min(ring[i].LongitudeDeg, ring[(i + 1) % n].LongitudeDeg);
  };
  auto east = [&](std::size_t i) {
    return std::max(ring[i].LongitudeDeg, ring[(i + 1) % n].LongitudeDeg);
  };
  std::vector<std::size_t> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return west(a) < west(b); });
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t i = order[k];
    for (std::size_t m = k + 1; m < n && west(order[m]) <= east(i); ++m) {
      const std::size_t j = order[m];
      const std::size_t lo = std::min(i, j), hi = std::max(i, j);
      if (hi - lo < 2 || (lo == 0 && hi == n - 1)) continue;  // neighbours share a point
      if (auto x = ProperCrossing(ring[lo], ring[lo + 1], ring[hi], ring[(hi + 1) % n])) {
        return std::make_pair(std::make_pair(lo, hi), *x);
      }
    }
  }
  return std::nullopt;
}

// Twice the signed area of an open plane ring.
double OpenRingAreaTwice(const PlaneRing& ring) {
  double sum = 0.0;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const GeoPoint& a = ring[i];
    const GeoPoint& b = ring[(i + 1) % ring.size()];
    sum += a.LongitudeDeg * b.LatitudeDeg - b.LongitudeDeg * a.LatitudeDeg;
  }
  return sum;
}

// A loop smaller than this share of the rest of its ring is a twist in the
// points (a limit's jitter near a pole, a cap meeting a limit at a sharp
// angle, a coordinate rounded across an edge), not an area of its own.
constexpr double kTwistAreaShare = 1e-3;

// Splits a ring that crosses itself into simple rings meeting at the
// crossings: where the limits of a hybrid's path cross (the path's width
// goes through zero) each side becomes its own ring; a twist is cut out.
// Each round takes at least one point off the ring, so a ring of n points
// needs at most n rounds.
void SplitAtSelfCrossings(PlaneRing ring, std::vector<PlaneRing>& out) {
  for (std::size_t round = 0; round <= ring.size() + 1; ++round) {
    const auto crossing = FirstSelfCrossing(ring);
    if (!crossing) break;
    const auto [i, j] = crossing->first;
    PlaneRing loop{crossing->second};
    loop.insert(loop.end(), ring.begin() + static_cast<std::ptrdiff_t>(i + 1),
                ring.begin() + static_cast<std::ptrdiff_t>(j + 1));
    PlaneRing rest(ring.begin(), ring.begin() + static_cast<std::ptrdiff_t>(i + 1));
    rest.push_back(crossing->second);
    rest.insert(rest.end(), ring.begin() + static_cast<std::ptrdiff_t>(j + 1), ring.end());
    const double loopArea = std::fabs(OpenRingAreaTwice(loop));
    const double restArea = std::fabs(OpenRingAreaTwice(rest));
    if (loopArea < kTwistAreaShare * restArea) {
      ring = std::move(rest);
    } else if (restArea < kTwistAreaShare * loopArea) {
      ring = std::move(loop);
    } else {
      SplitAtSelfCrossings(std::move(loop), out);
      ring = std::move(rest);
    }
  }
  out.push_back(std::move(ring));
}

// Whether any two edges of the rings (open, each joined back to its start)
// cross, within a ring or between two.
bool AnyEdgesCross(const std::vector<GeoRing>& rings) {
  std::vector<std::pair<std::size_t, std::size_t>> edges;  // ring, start point
  for (std::size_t r = 0; r < rings.size(); ++r) {
    for (std::size_t i = 0; i + 1 < rings[r].size(); ++i) edges.emplace_back(r, i);
  }
  auto a = [&](std::size_t e) { return rings[edges[e].first][edges[e].second]; };
  auto b = [&](std::size_t e) { return rings[edges[e].first][edges[e].second + 1]; };
  auto west = [&](std::size_t e) { return std::min(a(e).LongitudeDeg, b(e).LongitudeDeg); };
  auto east = [&](std::size_t e) { return std::max(a(e).LongitudeDeg, b(e).LongitudeDeg); };
  std::vector<std::size_t> order(edges.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return west(x) < west(y); });
  for (std::size_t k = 0; k < order.size(); ++k) {
    for (std::size_t m = k + 1; m < order.size() && west(order[m]) <= east(order[k]); ++m) {
      if (ProperCrossing(a(order[k]), b(order[k]), a(order[m]), b(order[m]))) return true;
    }
  }
  return false;
}

// The ring's longitudes made continuous: each step taken the short way round.
PlaneRing Unwrapped(const std::vector<GeoPoint>& ring) {
  PlaneRing plane;
  plane.reserve(ring.size() + 3);
  plane.push_back(ring.front());
  for (std::size_t i = 1; i < ring.size(); ++i) {
    plane.push_back({plane.back().LongitudeDeg +
                         ShortLongitudeStep(ring[i - 1].LongitudeDeg, ring[i].LongitudeDeg),
                     ring[i].LatitudeDeg});
  }
  return plane;
}

// Rounded points without repeats, open.
PlaneRing RoundedRing(const PlaneRing& piece) {
  PlaneRing ring;
  for (const GeoPoint& p : piece) {
    const GeoPoint rounded{RoundCoordinate(p.LongitudeDeg), RoundCoordinate(p.LatitudeDeg)};
    if (ring.empty() || !SamePlace(ring.back(), rounded)) ring.push_back(rounded);
  }
  while (ring.size() > 1 && SamePlace(ring.front(), ring.back())) ring.pop_back();
  return ring;
}

// The piece's rings as written: rounded, split again where the rounding made
// an edge cross another, closed and counter-clockwise; rings without area
// are left out.
void FinishRings(const PlaneRing& piece, std::vector<GeoRing>& out) {
  std::vector<PlaneRing> simple;
  SplitAtSelfCrossings(RoundedRing(piece), simple);
  for (const PlaneRing& part : simple) {
    GeoRing ring = RoundedRing(part);
    if (ring.size() < 3) continue;
    ring.push_back(ring.front());
    const double area = SignedAreaTwice(ring);
    if (std::fabs(area) < kCoordinateStep * kCoordinateStep) continue;
    if (area < 0) std::reverse(ring.begin(), ring.end());
    out.push_back(std::move(ring));
  }
}

}  // namespace

double SignedAreaTwice(const GeoRing& ring) {
  double sum = 0.0;
  for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
    sum += ring[i].LongitudeDeg * ring[i + 1].LatitudeDeg -
           ring[i + 1].LongitudeDeg * ring[i].LatitudeDeg;
  }
  return sum;
}

std::vector<GeoRing> PolygonsOnMap(const std::vector<GeoPoint>& ring, const GeoPoint& inside) {
  std::vector<GeoPoint> clean = CleanRing(ring);
  if (clean.size() < 3) return {};
  PlaneRing plane = Unwrapped(clean);
  const double turn = plane.back().LongitudeDeg +
                      ShortLongitudeStep(clean.back().LongitudeDeg, clean.front().LongitudeDeg) -
                      plane.front().LongitudeDeg;
  if (std::fabs(turn) > 180.0) {
    // Once round the Earth: the area holds a pole. It is reached along the
    // antimeridian from the ring's crossing of it nearest that pole, which no
    // edge of the ring can cross on the way; the cut at the antimeridian then
    // leaves the two closing edges on the map's two edges.
    const bool north = NorthPoleOnSideOf(clean, inside);
    StartAtAntimeridian(clean, north);
    plane = Unwrapped(clean);
    const double x0 = plane.front().LongitudeDeg;
    const double pole = north ? 90.0 : -90.0;
    plane.push_back({x0 + turn, plane.front().LatitudeDeg});
    plane.push_back({x0 + turn, pole});
    plane.push_back({x0, pole});
  }
  std::vector<PlaneRing> simple;
  SplitAtSelfCrossings(std::move(plane), simple);
  std::vector<PlaneRing> pieces;
  for (const PlaneRing& part : simple) {
    if (part.size() >= 3 && !CutIntoMapRings(part, 0, pieces)) return {};
  }
  std::vector<GeoRing> polygons;
  for (const PlaneRing& piece : pieces) FinishRings(piece, polygons);
  // Better no area than one a GIS rejects: rings that still cross (twists
  // that interleave) are not written.
  if (AnyEdgesCross(polygons)) return {};
  return polygons;
}

}  // namespace darvelle
