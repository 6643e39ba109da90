#pragma once
// The limits as the map draws them and the GIS files export them. The curve
// files keep the points their format counts; drawn as straight segments,
// those can cut a bend by tens of kilometres where a penumbral limit turns
// back in longitude or a limit bends near the horizon. Here every segment
// that would miss the true limit by more than kExactCurveToleranceKm gets a
// true point of the limit between its ends, found where the local
// circumstances change from eclipse to none (or central to not central),
// until none does: dense where the limit bends, as sparse as the file
// elsewhere.

#include <vector>

#include "geometry/curves.h"
#include "geometry/eclipse_scratch.h"

namespace darvelle {

// No drawn or exported segment of a limit misses the program's own limit by
// more than this: half of the 0.5 km a drawn limit may miss the true one,
// the other half left to the elements themselves (their limits lie some
// 0.2 km from an ephemeris' in the median).
inline constexpr double kExactCurveToleranceKm = 0.25;

// The limit through `vertices` (ephemeris longitudes) made exact as above:
// the umbral limit (umbra) or the penumbral one. Each vertex but the two
// ends (events on the limb) moves across the curve onto the true limit, in
// its order; true points go in between wherever a segment needs them.
std::vector<CurvePoint> RefineLimit(const BesselianElements& eclipse,
                                    const std::vector<CurvePoint>& vertices, bool umbra);

// CurveSet::northPenumbraExact .. for every ready limit.
void ComputeExactLimits(const CurveTracer& c);

}  // namespace darvelle
