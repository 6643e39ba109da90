#pragma once
// General circumstances: conjunction, greatest eclipse, the contacts of
// penumbra and umbra, the limits on the limb and the ends of the central
// line, each with its place on the Earth; and the two reports that print them.

#include "geometry/eclipse_computation.h"

namespace darvelle {

// The branches of the limit-on-the-limb search.
enum class LimbBranch { PenumbraNorth, PenumbraSouth, UmbraNorth, UmbraSouth };

// Instant at which the limit of that branch reaches the Earth's limb, searched
// from `start` with the initial step `step` (hours), and the limb point; Time 0
// when the limit does not reach the limb.
ContactResult FindLimitOnLimb(const BesselianElements& eclipse, ElementState& s, double start,
                              double step, LimbBranch branch);

// Fills the event table, the instants and the report texts (c.reportGerman,
// c.reportEnglish) of c; writes no file.
void ComputeGeneralCircumstances(EclipseComputation& c);

}  // namespace darvelle
