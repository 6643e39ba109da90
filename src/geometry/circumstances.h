#pragma once
// General circumstances: conjunction, greatest eclipse, the contacts of
// penumbra and umbra, the limits on the limb and the ends of the central
// line, each with its place on the Earth. The reports that print them are
// made afterwards from the result (reports/report_text.h).

#include <optional>

#include "catalogue/besselian_elements.h"
#include "geometry/eclipse_scratch.h"
#include "geometry/elements.h"
#include "geometry/events.h"

namespace darvelle {

// Values at greatest eclipse that the report and the tables print (radians).
struct ReportEphemeris {
  double SunParallax = 0;  // equatorial horizontal parallax
  double MoonParallax = 0;
  double SunSemidiameter = 0;
  double MoonSemidiameter = 0;
};

struct Circumstances {
  // Hours from T0 and Julian Day (TT); empty when none lies within +-2 hours of T0.
  std::optional<double> timeConjunction;
  std::optional<double> julianDayConjunction;
  double timeGreatest = 0;          // TG0 instant, hours from T0 (kept even when TG0 is absent)
  double julianDayGreatest = 0;     // TT
  double timeBefore = 0;            // search limits, hours from T0
  double timeAfter = 0;
  EclipseEvents events;  // TG0 occurs where the shadow axis meets the Earth at greatest eclipse
  ReportEphemeris ephemeris;
  // Set by FindCircumstances; a result put together by hand without it
  // draws no event markers.
  bool complete = false;
};

// The circumstances of `eclipse` (julianDay set). deltaT (seconds, 0 in TT)
// turns the events' ephemeris longitudes into geographic ones. Only the
// scratch's element state is used.
Circumstances FindCircumstances(const BesselianElements& eclipse, double deltaT,
                                EclipseScratch& scratch);

// The branches of the limit-on-the-limb search.
enum class LimbBranch { PenumbraNorth, PenumbraSouth, UmbraNorth, UmbraSouth };

// Instant at which the limit of that branch reaches the Earth's limb, searched
// from `start` with the initial step `step` (hours), and the limb point; empty
// when the limit does not reach the limb.
std::optional<ContactResult> FindLimitOnLimb(const BesselianElements& eclipse, ElementState& s, double start,
                              double step, LimbBranch branch);

// The ephemeris values of the report from the elements, rates and ephemeris at greatest eclipse.
ReportEphemeris ReportEphemerisAt(const ElementState& atGreatest);

}  // namespace darvelle
