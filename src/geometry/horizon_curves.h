#pragma once
// Curves on the Earth's limb (the terminator, zeta = 0), where the Sun is on
// the horizon: the rise/set curves along which the eclipse begins or ends at
// sunrise or sunset, and the curves of maximum eclipse on the horizon, at
// sunrise and at sunset.
//
// Each builder clears its curve, fills it when the curve exists for this
// eclipse and sets its ready flag; files are written by the computation.

#include <optional>
#include <vector>

#include "geometry/curves.h"
#include "geometry/eclipse_scratch.h"

namespace darvelle {

// Instants per rise/set curve (301 with both ends).
inline constexpr int kRiseSetIntervals = 300;

// Rise/set curve `number` (1 .. 6) between tFrom and tTo on limb branch +1 or
// -1: for each of 301 eased instants the point where the penumbral circle
// crosses the Earth's outline, when it does.
void ComputeRiseSetCurve(const CurveTracer& c, double tFrom, double tTo, int branch, int number);

// The same crossing for the umbra (or antumbra), on limb branch +1 or -1 at
// the 301 eased instants between tFrom and tTo (hours from T0): between TU1
// and TU2, or TU3 and TU4, the two branches outline the ends of the umbral
// path, where the umbra meets the horizon. Instants without a crossing give
// no point. Nothing is stored in the computation.
std::vector<CurvePoint> UmbraOutlineOnLimb(const BesselianElements& eclipse, double tFrom,
                                           double tTo, int branch);

// The rise/set curves of the eclipse: 003 .. 006 when TP2 exists (the
// penumbra lies wholly on the Earth for a while), else 001 and 002.
void ComputeRiseSetCurves(const CurveTracer& c);

// Point of maximum eclipse on the limb at instant t for penumbral-limit
// branch 1 or 2; nothing when there is none (no limit direction, the limb
// missed, or the point outside the penumbra).
std::optional<CurvePoint> MaxEclipseAtHorizon(const BesselianElements& eclipse, int branch,
                                              double t, ElementState& s);

// MaxHoriS, MaxHoriN, MaxSunrise and MaxSunset, in this order, each only when
// its events exist.
void ComputeHorizonCurves(const CurveTracer& c);

}  // namespace darvelle
