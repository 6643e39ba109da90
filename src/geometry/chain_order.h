#pragma once
// The chain ordering that the horizon curves and the penumbral limits share:
// their points are found in scan order and drawn as one line.

#include <vector>

#include "geometry/curves.h"

namespace darvelle {

// Reorders buffer[0 .. count-1] into a chain that starts at buffer[0]: each
// next point is the nearest (AngularSeparation) of those not yet placed, the
// first of equal distances winning. The result is exactly that of the plain
// quadratic search; a spatial grid only spares the distances that cannot win.
void OrderAsChain(std::vector<CurvePoint>& buffer, int count);

}  // namespace darvelle
