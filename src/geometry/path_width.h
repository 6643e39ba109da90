#pragma once
// The width of the umbral path measured between its two limits, for the
// central line and the headline numbers.

#include <optional>

#include "catalogue/besselian_elements.h"
#include "geometry/curves.h"
#include "geometry/events.h"

namespace darvelle {

// Width of the path (km) at a central-line point at instant t: the arc on the
// ellipsoid between the two umbral limits where they cross the section square
// to the path through the point. Nothing when a limit is missing or does not
// cross there (a one-limit path, the limb ends of the line).
std::optional<double> PathWidthFromLimits(const BesselianElements& elements,
                                          const EclipseEvents& events, double t,
                                          const CurvePoint& point);

}  // namespace darvelle
