#pragma once
// The northern and southern limits of the penumbra, found longitude by
// longitude: for each west longitude a two-variable iteration solves for the
// latitude and instant at which an observer (Sun above the horizon) stands
// exactly on the limit. The solutions, joined to the limit's start and end
// events and ordered as a chain, form the curve.

#include <vector>

#include "geometry/eclipse_scratch.h"

namespace darvelle {

// A longitude whose iteration has not converged after this many passes has no solution.
inline constexpr int kLimitScanMaxIterations = 20;
// Observer's height above the ellipsoid, Earth radii.
inline constexpr double kLimitScanObserverHeight = 1.5678552054360676e-07;
// Convergence: 2 seconds of time and 10 arc-seconds of latitude.
inline constexpr double kLimitScanTimeTolerance = 0.0005555555555555556;   // hours
inline constexpr double kLimitScanLatitudeTolerance = (kPi / 180.0) / 360.0;  // radians
// Two solutions at one longitude are distinct when their latitudes differ by more than this.
inline constexpr double kLimitScanDistinctLatitudeDeg = 0.0001;

// Which limit of the penumbra: the one north or south of the shadow's path.
enum class PenumbraSide { North, South };

// The sign the limit's equations give each side: +1 north, -1 south.
inline double SignOf(PenumbraSide side) { return side == PenumbraSide::North ? 1.0 : -1.0; }

// What one scan solves for: the side of the shadow and the magnitude level
// (0 for the limits themselves).
struct LimitScanSetup {
  int resolution = 1;  // longitude steps per degree, 1 .. 32
  PenumbraSide side = PenumbraSide::North;
  double level = 0.0;
};

// One scan over the 360 * resolution west longitudes i / resolution degrees,
// i = 0 upwards, starting at instant t0 (hours from T0) and latitude phi0
// (radians) at every longitude, the instant carried on from one longitude to
// the next. Solutions go into the first record of their index, or the second
// when the first holds a different latitude; both vectors must hold
// 360 * resolution records (nothing is scanned otherwise).
void ScanLimitLongitudes(const BesselianElements& eclipse, const LimitScanSetup& setup, double t0,
                         double phi0, std::vector<LimitScanRecord>& first,
                         std::vector<LimitScanRecord>& second);

// Builds the northern (from TPN1 to TPN2) or southern (from TPS1 to TPS2)
// penumbral limit when its start event exists: three scans from
// +80, 0 and -80 degrees, the events and every solution chained from the start
// event. Sets the curve's ready flag when built; writes no file.
void ComputePenumbraLimit(const CurveTracer& c, PenumbraSide side);

}  // namespace darvelle
