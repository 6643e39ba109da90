#include "geometry/chain_order.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <utility>

#include "astro/numeric.h"

namespace darvelle {

// The plain search compares AngularSeparation from the last placed point to
// every point not yet placed: quadratic, and at the finest resolution a
// penumbral limit has over ten thousand points. Here the unit vectors are
// computed once, with the same expressions AngularSeparation uses, so the
// separation of two points is bit for bit the same value. The squared chord
// (the first sum inside AngularSeparation) grows with the separation, so a
// point whose squared chord exceeds the best one's by a relative 1e-9 cannot
// be nearer or equally near (rounding is below 1e-15): only the others need
// the exact separation. A uniform grid over the unit cube finds the near
// points; shells of cells are searched outwards until the next shell lies
// beyond the best distance, or until more cells would have been searched
// than points remain, when the remaining points are searched one by one.

namespace {

using UnitVector = std::array<double, 3>;

UnitVector UnitVectorOf(const CurvePoint& p) {
  return {std::cos(p.Longitude) * std::cos(p.Latitude),
          std::sin(p.Longitude) * std::cos(p.Latitude), std::sin(p.Latitude)};
}

// The first sum of AngularSeparation.
inline double SquaredChord(const UnitVector& p, const UnitVector& q) {
  double diff2 = 0.0;
  for (int i = 0; i < 3; ++i) diff2 += (q[i] - p[i]) * (q[i] - p[i]);
  return diff2;
}

constexpr double kChordSlack = 1.0 + 1e-9;

// The nearest unplaced point found so far in one step of the chain.
struct NearestPoint {
  int id;
  double distance;  // radians
  double chord;     // squared chord, the cheap test that goes first
};

class ChainGrid {
 public:
  explicit ChainGrid(const std::vector<UnitVector>& v) : v_(v) {
    const int n = static_cast<int>(v.size());
    // Curves arrive roughly in their own order (the scan stores them by
    // longitude), so the median step between consecutive points is the
    // spacing along the curve: a cell of two steps holds a few points and the
    // nearest point is mostly in the next shell. The bounds keep the cell
    // index within 64 bits and the shell test clear of rounding.
    std::vector<double> steps(static_cast<std::size_t>(n - 1));
    for (int i = 0; i + 1 < n; ++i) {
      const double step =
          std::sqrt(SquaredChord(v[static_cast<std::size_t>(i)], v[static_cast<std::size_t>(i) + 1]));
      // A point that is not a number must not reach the ordering of nth_element.
      steps[static_cast<std::size_t>(i)] = std::isnan(step) ? 0.0 : step;
    }
    auto middle = steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2);
    std::nth_element(steps.begin(), middle, steps.end());
    const double median = *middle;
    cell_ = std::clamp(2.0 * median, 1e-4, 0.5);
    side_ = static_cast<std::int64_t>(2.0 / cell_) + 1;
    cellOf_.resize(static_cast<std::size_t>(n));
    std::vector<std::pair<std::uint64_t, int>> order(static_cast<std::size_t>(n));
    for (int id = 0; id < n; ++id) {
      const auto c = CellCoordinates(v[static_cast<std::size_t>(id)]);
      cellOf_[static_cast<std::size_t>(id)] = c;
      order[static_cast<std::size_t>(id)] = {Key(c[0], c[1], c[2]), id};
    }
    std::sort(order.begin(), order.end());
    members_.resize(static_cast<std::size_t>(n));
    std::vector<std::uint64_t> keys;
    for (int i = 0; i < n; ++i) {
      const auto& [key, id] = order[static_cast<std::size_t>(i)];
      if (keys.empty() || keys.back() != key) {
        keys.push_back(key);
        start_.push_back(i);
      }
      members_[static_cast<std::size_t>(i)] = id;
    }
    start_.push_back(n);
    std::size_t size = 16;
    while (size < 2 * keys.size()) size *= 2;
    slotKey_.assign(size, kEmpty);
    slotCell_.assign(size, -1);
    for (std::size_t cell = 0; cell < keys.size(); ++cell) {
      std::size_t slot = Hash(keys[cell]) & (size - 1);
      while (slotKey_[slot] != kEmpty) slot = (slot + 1) & (size - 1);
      slotKey_[slot] = keys[cell];
      slotCell_[slot] = static_cast<int>(cell);
    }
  }

  std::int64_t Side() const { return side_; }
  double CellSize() const { return cell_; }
  const std::array<std::int64_t, 3>& CellOfPoint(int id) const {
    return cellOf_[static_cast<std::size_t>(id)];
  }

  // Calls f(id) for every point of cell (cx, cy, cz); nothing outside the grid.
  template <class F>
  void ForEachInCell(std::int64_t cx, std::int64_t cy, std::int64_t cz, F&& f) const {
    if (cx < 0 || cy < 0 || cz < 0 || cx >= side_ || cy >= side_ || cz >= side_) return;
    const std::uint64_t key = Key(cx, cy, cz);
    const std::size_t mask = slotKey_.size() - 1;
    // The table is at most half full, so a probe meets an empty slot soon.
    for (std::size_t slot = Hash(key) & mask;; slot = (slot + 1) & mask) {
      if (slotKey_[slot] == kEmpty) return;
      if (slotKey_[slot] == key) {
        const int cell = slotCell_[slot];
        for (int i = start_[static_cast<std::size_t>(cell)];
             i < start_[static_cast<std::size_t>(cell) + 1]; ++i) {
          f(members_[static_cast<std::size_t>(i)]);
        }
        return;
      }
    }
  }

 private:
  static constexpr std::uint64_t kEmpty = std::numeric_limits<std::uint64_t>::max();

  std::array<std::int64_t, 3> CellCoordinates(const UnitVector& u) const {
    std::array<std::int64_t, 3> c{};
    for (int i = 0; i < 3; ++i) {
      const double scaled = (u[static_cast<std::size_t>(i)] + 1.0) / cell_;
      // NaN and values off the cube land in a border cell; the exact
      // comparison decides anyway.
      std::int64_t k = scaled >= 0.0 ? static_cast<std::int64_t>(std::min(scaled, 1e9)) : 0;
      c[static_cast<std::size_t>(i)] = std::min<std::int64_t>(k, side_ - 1);
    }
    return c;
  }
  std::uint64_t Key(std::int64_t cx, std::int64_t cy, std::int64_t cz) const {
    return (static_cast<std::uint64_t>(cx) * static_cast<std::uint64_t>(side_) +
            static_cast<std::uint64_t>(cy)) *
               static_cast<std::uint64_t>(side_) +
           static_cast<std::uint64_t>(cz);
  }
  static std::size_t Hash(std::uint64_t key) {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> 20);
  }

  const std::vector<UnitVector>& v_;
  double cell_ = 1.0;
  std::int64_t side_ = 1;
  std::vector<std::array<std::int64_t, 3>> cellOf_;
  std::vector<int> members_;  // point ids sorted by cell
  std::vector<int> start_;    // first member of each cell, plus the end
  std::vector<std::uint64_t> slotKey_;
  std::vector<int> slotCell_;
};

// Below this many points the plain search is quicker than building a grid.
constexpr int kGridThreshold = 96;

}  // namespace

void OrderAsChain(std::vector<CurvePoint>& buffer, int count) {
  count = std::min<int>(count, static_cast<int>(buffer.size()));
  if (count < 3) return;  // the second point is the only candidate
  const auto n = static_cast<std::size_t>(count);
  std::vector<UnitVector> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = UnitVectorOf(buffer[i]);

  // Positions and ids: ids are the original buffer positions; the swaps of
  // the plain algorithm are replayed on pos/at so ties resolve alike.
  std::vector<int> pos(n), at(n);
  for (int i = 0; i < count; ++i) {
    pos[static_cast<std::size_t>(i)] = i;
    at[static_cast<std::size_t>(i)] = i;
  }
  std::vector<char> placed(n, 0);
  // Compact list of unplaced ids for the one-by-one search.
  std::vector<int> remaining(n), remainingIndex(n);
  for (int i = 0; i < count; ++i) {
    remaining[static_cast<std::size_t>(i)] = i;
    remainingIndex[static_cast<std::size_t>(i)] = i;
  }
  int remainingCount = count;
  auto place = [&](int id) {
    placed[static_cast<std::size_t>(id)] = 1;
    const int idx = remainingIndex[static_cast<std::size_t>(id)];
    const int lastId = remaining[static_cast<std::size_t>(remainingCount - 1)];
    remaining[static_cast<std::size_t>(idx)] = lastId;
    remainingIndex[static_cast<std::size_t>(lastId)] = idx;
    --remainingCount;
  };

  const bool useGrid = count > kGridThreshold;
  std::unique_ptr<ChainGrid> grid;
  if (useGrid) grid = std::make_unique<ChainGrid>(v);

  for (int a = 0; a + 1 < count; ++a) {
    const int current = at[static_cast<std::size_t>(a)];
    place(current);
    const UnitVector& p = v[static_cast<std::size_t>(current)];
    std::optional<NearestPoint> best;
    auto consider = [&](int id) {
      if (placed[static_cast<std::size_t>(id)]) return;
      const UnitVector& q = v[static_cast<std::size_t>(id)];
      const double chord = SquaredChord(p, q);
      if (best && chord > best->chord * kChordSlack) return;
      const double distance = AngularSeparationOfUnitVectors(p, q);
      // A point that is not a number is nobody's neighbour.
      if (std::isnan(distance)) return;
      if (!best || distance < best->distance ||
          (distance == best->distance &&
           pos[static_cast<std::size_t>(id)] < pos[static_cast<std::size_t>(best->id)])) {
        best = NearestPoint{id, distance, chord};
      }
    };
    auto searchAll = [&] {
      for (int i = 0; i < remainingCount; ++i) consider(remaining[static_cast<std::size_t>(i)]);
    };

    if (!useGrid) {
      searchAll();
    } else {
      const auto& c = grid->CellOfPoint(current);
      const double h = grid->CellSize();
      // Once more cells have been looked at than points remain, the one-by-one
      // search is the cheaper way to finish; shells never exceed the grid
      // either, so the loop ends.
      std::int64_t cellsSearched = 0;
      for (std::int64_t k = 0; k <= grid->Side(); ++k) {
        if (k >= 2 && best) {
          // Points of shell k or beyond are more than (k-1) cells away in one
          // coordinate; the margin covers the rounding of the cell index.
          const double gap = static_cast<double>(k - 1) * h;
          if (gap * gap * (1.0 - 1e-6) > best->chord * kChordSlack) break;
        }
        const std::int64_t width = 2 * k + 1;
        const std::int64_t inner = width - 2;
        const std::int64_t shellCells =
            k == 0 ? 1 : width * width * width - inner * inner * inner;
        cellsSearched += shellCells;
        if (cellsSearched > 2 * static_cast<std::int64_t>(remainingCount) + 27) {
          searchAll();
          break;
        }
        for (std::int64_t dx = -k; dx <= k; ++dx) {
          for (std::int64_t dy = -k; dy <= k; ++dy) {
            const bool onFace = dx == -k || dx == k || dy == -k || dy == k;
            // Inside the shell's faces only its two caps in z belong to it.
            const std::int64_t dzStep = onFace ? 1 : 2 * k;
            for (std::int64_t dz = -k; dz <= k; dz += dzStep) {
              grid->ForEachInCell(c[0] + dx, c[1] + dy, c[2] + dz, consider);
            }
          }
        }
      }
    }

    // No comparable point (all distances NaN): the point stays where it is.
    if (!best) continue;
    // Swap the nearest point into position a+1.
    const int next = a + 1;
    const int displaced = at[static_cast<std::size_t>(next)];
    const int bestPos = pos[static_cast<std::size_t>(best->id)];
    at[static_cast<std::size_t>(next)] = best->id;
    at[static_cast<std::size_t>(bestPos)] = displaced;
    pos[static_cast<std::size_t>(best->id)] = next;
    pos[static_cast<std::size_t>(displaced)] = bestPos;
  }

  std::vector<CurvePoint> ordered(n);
  for (std::size_t i = 0; i < n; ++i) ordered[i] = buffer[static_cast<std::size_t>(at[i])];
  std::copy(ordered.begin(), ordered.end(), buffer.begin());
}

}  // namespace darvelle
