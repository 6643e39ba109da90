#pragma once
// Curves traced in time between two events: the central line and the
// northern and southern limits of the umbra (or antumbra). The path's width
// between the limits is in path_width.h, the chain ordering that the horizon
// curves and the penumbral limits share in chain_order.h.
//
// Each builder clears its curve, fills it when the curve exists for this
// eclipse and then sets its ready flag; it writes no file (the computation
// writes the file of every ready curve).

#include <optional>
#include <vector>

#include "geometry/curves.h"
#include "geometry/eclipse_scratch.h"

namespace darvelle {

// Intervals between the two events of a traced curve.
inline constexpr int kTracedCurveIntervals = 300;
// Consecutive central-line points closer than this (km on a 40000 km great
// circle) are not stored.
inline constexpr double kCentralLineMinSpacingKm = 0.4001;

// Instant i of n between tStart and tEnd with the eased spacing
// s = 3F^2(1 - F) + F^3, F = i/n: dense near both ends, where the curves meet
// the limb.
double EasedInstant(double tStart, double tEnd, int i, int n = kTracedCurveIntervals);

// Central-line values at one instant: the elements must be evaluated there
// (EvaluateAllAt). zeta is the observer's height above the fundamental plane
// (0 on the limb); the point is the stored point (ephemeris longitude, radians).
struct CentralLineValues {
  double DurationMinutes = 0;  // central phase
  double WidthKm = 0;          // path width
  double SunAltitudeDeg = 0;
};
CentralLineValues CentralLineValuesAt(const ElementState& s, double zeta,
                                      const CurvePoint& point);

// Annular when the umbral radius on the surface below the axis is >= 0,
// total otherwise; elements evaluated at the instant.
CentralKind CentralKindAt(const ElementState& s);
// Height above the fundamental plane of the Earth's surface on the shadow
// axis (eta scaled to the flattened Earth), the zeta of that kind test.
double CentralZetaAt(const ElementState& s);

// Between TC1 and TC2 (both must exist): up to 301 points thinned to
// kCentralLineMinSpacingKm, each with its instant, kind, duration, width and
// solar altitude.
void ComputeCentralLine(const CurveTracer& c);
// The point of the northern (or southern) umbral limit whose closest approach
// to the shadow's axis falls at the instant the elements are evaluated at
// (EvaluateAllAt): the place on the ellipsoid at the umbra's radius there
// from the axis, as the local circumstances reckon both. Where that place
// falls just off the Earth (near the limit's limb events), the limb point in
// its direction; nothing for elements that are not numbers.
std::optional<CurvePoint> UmbraLimitPointAt(const ElementState& s, bool north);

// Between TUN1 and TUN2 / TUS1 and TUS2 (both must exist): 301 points at most.
void ComputeNorthUmbraLimit(const CurveTracer& c);
void ComputeSouthUmbraLimit(const CurveTracer& c);

}  // namespace darvelle
