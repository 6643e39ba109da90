#pragma once
// The limits and the curves of maximum on the horizon as the map draws them
// and the GIS files export them. The curve
// files keep the points their format counts; drawn as straight segments,
// those can cut a bend by tens of kilometres where a penumbral limit turns
// back in longitude or a limit bends near the horizon. Here every segment
// that would miss the true limit by more than kExactCurveToleranceKm gets a
// true point of the limit between its ends, found where the local
// circumstances change from eclipse to none (or central to not central),
// until none does: dense where the limit bends, as sparse as the file
// elsewhere.

#include <functional>
#include <vector>

#include "catalogue/besselian_elements.h"
#include "geometry/curves.h"

namespace darvelle {

// No drawn or exported segment of a limit misses the program's own limit by
// more than this: half of the 0.5 km a drawn limit may miss the true one,
// the other half left to the elements themselves (their limits lie some
// 0.2 km from an ephemeris' in the median).
inline constexpr double kExactCurveToleranceKm = 0.25;

// Which side of a curve a place lies on: a value that changes its sign
// across the curve and is zero on it (ephemeris longitude).
using CurveSide = std::function<double(const CurvePoint&)>;

// The curve through `vertices` made exact as above: each vertex but the two
// ends (events on the limb) moves across the curve onto the zero of `side`,
// in its order; true points go in between wherever a segment needs them.
std::vector<CurvePoint> RefineCurve(const CurveSide& side, const std::vector<CurvePoint>& vertices);

// CurveSet::northPenumbraExact .. maxSunsetExact for every ready curve: the
// limits where the local circumstances change from eclipse to none (or
// central to not central), the curves of maximum on the horizon where their
// maximum comes with the Sun on the horizon.
void ComputeDrawnCurves(const BesselianElements& eclipse, CurveSet& curves);

}  // namespace darvelle
