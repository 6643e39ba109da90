#pragma once
// The two reports of an eclipse ("SunEclipse4_DE.TXT", "SunEclipse4_EN.TXT"),
// made from a finished computation: Windows-1252 text with CR LF line ends.

#include <string>

#include "geometry/eclipse_computation.h"

namespace darvelle {

struct EclipseReports {
  std::string german;
  std::string english;
};

// Title, conjunction and greatest eclipse, the ephemeris and elements at
// greatest eclipse, and one line per event that occurs (TP1 and TP4 always).
// When the shadow axis misses the Earth the report ends with the TG0 label
// and instants, without a line end.
EclipseReports MakeReports(const EclipseResult& result);

}  // namespace darvelle
