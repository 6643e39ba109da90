#pragma once
// A last look at one computation before its results are trusted in bulk:
// every instant, angle and point must be a finite number.

#include <optional>
#include <string>

#include "geometry/eclipse_computation.h"

namespace darvelle {

// Empty when every event, curve point and report text is finite; otherwise
// what is not ("curve nClin point 12: latitude is nan").
std::optional<std::string> FindNonFiniteResult(const EclipseResult& c);

}  // namespace darvelle
