#pragma once
// The eclipse's curves on the Earth: growable point arrays with the counter
// (their size) and the ready flag the drawing tests before it draws a curve.

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

#include "geometry/events.h"

namespace darvelle {

// Ephemeris longitude (east positive, radians, [-pi, pi], no DeltaT term) and
// geodetic latitude (radians).
struct CurvePoint {
  double Longitude = 0;
  double Latitude = 0;
};

// A central-line point also carries what its file line prints.
struct CentralLinePoint : CurvePoint {
  darvelle::CentralKind CentralKind = darvelle::CentralKind::None;  // at that point
  double Time = 0;               // hours from T0 (TT)
  double DurationMinutes = 0;    // of the central phase
  double WidthKm = 0;            // path width
  double SunAltitudeDeg = 0;
};

// Points 1 .. Count(); appending beyond the capacity is refused (the caller
// decides whether that truncates the curve).
template <class Point>
class Curve {
 public:
  explicit Curve(std::size_t capacity) : capacity_(capacity) { points_.reserve(capacity); }

  int Count() const { return static_cast<int>(points_.size()); }
  std::size_t Capacity() const { return capacity_; }
  bool Ready() const { return ready_; }
  void SetReady(bool ready) { ready_ = ready; }

  // 1-based access, bounds-checked.
  const Point& At(int i) const {
    if (i < 1 || i > Count()) throw std::out_of_range("curve point index out of range");
    return points_[static_cast<std::size_t>(i - 1)];
  }
  // Returns false (and stores nothing) when the curve is full.
  bool Append(const Point& p) {
    if (points_.size() >= capacity_) return false;
    points_.push_back(p);
    return true;
  }
  // Empties the curve and clears its flag; keeps the memory.
  void Clear() {
    points_.clear();
    ready_ = false;
  }
  const std::vector<Point>& Points() const { return points_; }
  std::vector<Point>& MutablePoints() { return points_; }

 private:
  std::size_t capacity_;
  std::vector<Point> points_;
  bool ready_ = false;
};

using PointCurve = Curve<CurvePoint>;
using CentralLineCurve = Curve<CentralLinePoint>;

// 360 longitude steps per degree of resolution, resolution at most 32.
inline constexpr int kMaxLimitScanSteps = 11520;

// A penumbral limit holds up to two scan solutions per longitude step and
// both end events. A smaller limit would cut the finest curves short and
// lose the far end of the path.
inline constexpr std::size_t kPenumbraLimitCapacity = 2 * kMaxLimitScanSteps + 2;

// Every curve, named after its counter. Capacities as the files and the drawing expect.
struct CurveSet {
  PointCurve northPenumbra{kPenumbraLimitCapacity};  // nNPen, "NorthPen.txt"
  PointCurve northUmbra{400};            // nNUmb, "NorthUmb.txt"
  CentralLineCurve centralLine{400};     // nClin, "CLinData.txt"
  PointCurve southUmbra{400};            // nSUmb, "SouthUmb.txt"
  PointCurve southPenumbra{kPenumbraLimitCapacity};  // nSPen, "SouthPen.txt"
  std::array<PointCurve, 6> riseSet{PointCurve{1000}, PointCurve{1000}, PointCurve{1000},
                                    PointCurve{1000}, PointCurve{1000}, PointCurve{1000}};
                                         // nTestF1 .. nTestF6, "Testfile.001" .. "Testfile.006"
  PointCurve maxHorizonNorth{8000};      // nMaxHN, "MaxHoriN.txt"
  PointCurve maxHorizonSouth{8000};      // nMaxHS, "MaxHoriS.txt"
  PointCurve maxSunrise{8000};           // nMaxR, "MaxSunrise.txt"
  PointCurve maxSunset{8000};            // nMaxS, "MaxSunset.txt"
  // The limits and the curves of maximum on the horizon as the map draws
  // them and the GIS files export them: true points, refined until no
  // segment misses the curve (curve_refinement.h). The files keep the points
  // above; where one of these is empty, the drawing uses those too.
  std::vector<CurvePoint> northPenumbraExact, northUmbraExact, southUmbraExact,
      southPenumbraExact, maxHorizonNorthExact, maxHorizonSouthExact, maxSunriseExact,
      maxSunsetExact;

  template <class Set>
  static auto DrawnCurvesOf(Set& set) {
    return std::array{std::pair{&set.northPenumbra, &set.northPenumbraExact},
                      std::pair{&set.northUmbra, &set.northUmbraExact},
                      std::pair{&set.southUmbra, &set.southUmbraExact},
                      std::pair{&set.southPenumbra, &set.southPenumbraExact},
                      std::pair{&set.maxHorizonNorth, &set.maxHorizonNorthExact},
                      std::pair{&set.maxHorizonSouth, &set.maxHorizonSouthExact},
                      std::pair{&set.maxSunrise, &set.maxSunriseExact},
                      std::pair{&set.maxSunset, &set.maxSunsetExact}};
  }

  // Each file curve with its drawn one.
  auto DrawnCurves() { return DrawnCurvesOf(*this); }
  auto DrawnCurves() const { return DrawnCurvesOf(*this); }

  // The points of a curve as drawn and exported.
  const std::vector<CurvePoint>& DrawnPoints(const PointCurve& curve) const {
    for (const auto& [file, drawn] : DrawnCurves()) {
      if (&curve == file && !drawn->empty()) return *drawn;
    }
    return curve.Points();
  }

  // Rise/set curve 1 .. 6.
  PointCurve& RiseSet(int number) { return riseSet.at(static_cast<std::size_t>(number - 1)); }
  const PointCurve& RiseSet(int number) const {
    return riseSet.at(static_cast<std::size_t>(number - 1));
  }

  void ClearAll() {
    northPenumbra.Clear();
    northUmbra.Clear();
    centralLine.Clear();
    southUmbra.Clear();
    southPenumbra.Clear();
    for (auto& c : riseSet) c.Clear();
    maxHorizonNorth.Clear();
    maxHorizonSouth.Clear();
    maxSunrise.Clear();
    maxSunset.Clear();
    for (const auto& [file, drawn] : DrawnCurves()) drawn->clear();
  }
};

// Capacity of the work buffer in which horizon curves and penumbral limits are
// assembled: the largest of them, a penumbral limit at the finest resolution.
inline constexpr std::size_t kCurveWorkBufferCapacity = kPenumbraLimitCapacity;

}  // namespace darvelle
