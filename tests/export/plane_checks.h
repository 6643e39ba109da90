#pragma once
// Plane geometry for checking GIS output, written apart from the exporter:
// even-odd point-in-polygon by ray casting, and a brute-force search for
// edges that cross.

#include <cstddef>
#include <utility>
#include <vector>

namespace darvelle::testing {

using XY = std::pair<double, double>;  // longitude, latitude in degrees
using Ring = std::vector<XY>;          // closed: last == first

// Even-odd rule over every ring given (the exterior rings of a MultiPolygon).
inline bool InsideAny(const std::vector<Ring>& rings, double x, double y) {
  bool inside = false;
  for (const Ring& ring : rings) {
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
      const auto [xi, yi] = ring[i];
      const auto [xj, yj] = ring[j];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
  }
  return inside;
}

inline double Orientation(const XY& o, const XY& a, const XY& b) {
  return (a.first - o.first) * (b.second - o.second) - (a.second - o.second) * (b.first - o.first);
}

inline bool SegmentsCross(const XY& a, const XY& b, const XY& c, const XY& d) {
  const double d1 = Orientation(c, d, a), d2 = Orientation(c, d, b);
  const double d3 = Orientation(a, b, c), d4 = Orientation(a, b, d);
  return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

// Pairs of non-neighbouring edges that cross, within and between the rings.
inline int CrossingEdgePairs(const std::vector<Ring>& rings) {
  struct Edge {
    XY a, b;
    std::size_t ring, index;
  };
  std::vector<Edge> edges;
  for (std::size_t r = 0; r < rings.size(); ++r) {
    for (std::size_t i = 0; i + 1 < rings[r].size(); ++i) {
      edges.push_back({rings[r][i], rings[r][i + 1], r, i});
    }
  }
  int crossings = 0;
  for (std::size_t p = 0; p < edges.size(); ++p) {
    for (std::size_t q = p + 1; q < edges.size(); ++q) {
      if (SegmentsCross(edges[p].a, edges[p].b, edges[q].a, edges[q].b)) ++crossings;
    }
  }
  return crossings;
}

inline double TwiceSignedArea(const Ring& ring) {
  double sum = 0;
  for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
    sum += ring[i].first * ring[i + 1].second - ring[i + 1].first * ring[i].second;
  }
  return sum;
}

}  // namespace darvelle::testing
