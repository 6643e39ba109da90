#pragma once
// The eclipse computation as stages that take values and return values:
//
//   PrepareEclipse     record or elements      -> PreparedEclipse (elements, time scale,
//                                                  first estimate of greatest eclipse)
//   FindCircumstances  elements, DeltaT         -> Circumstances   (circumstances.h)
//   TraceCurves        elements, circumstances  -> CurveSet
//   ComputeEclipse     PreparedEclipse          -> EclipseResult   (all three, in this order)
//
// The result is read, never changed, by the report and curve-file writers
// (reports/report_text.h, reports/report_files.h), the map, the sheet and the GIS export.
// Work memory lives in an EclipseScratch that the caller owns and may reuse;
// nothing else is shared, so two computations run side by side on two threads.

#include <string>

#include "astro/instant.h"
#include "catalogue/besselian_elements.h"
#include "catalogue/catalogue.h"
#include "catalogue/eclipse_record.h"
#include "geometry/circumstances.h"
#include "geometry/curves.h"
#include "geometry/eclipse_scratch.h"
#include "geometry/elements.h"

namespace darvelle {

// Resolutions the view offers (longitude steps per degree of the penumbral scan).
bool IsValidResolution(int resolution);

// An eclipse chosen for computing, in the chosen time scale.
struct PreparedEclipse {
  int selectedIndex = 0;          // catalogue index, 0 for elements made by other means
  BesselianElements elements;     // the current eclipse (julianDay set)
  TimeScale timeScale = TimeScale::kUniversal;      // time scale: UT with the DeltaT model, or TT
  double modelDeltaT = 0;         // ComputeDeltaT(year, month), seconds, whatever the scale
  double deltaT = 0;              // DeltaT in force: modelDeltaT in UT, 0 in TT
  int resolution = 1;             // 1, 2, 4, 8, 16 or 32
  // The limits and horizon curves as the map draws them and the GIS files
  // export them (curve_refinement.h); a batch that writes only the curve
  // files goes without them.
  bool drawnCurves = true;
  // First estimate of greatest eclipse, as the window shows it before computing.
  double estimatedGreatest = 0;   // hours from T0
  double greatestJulianDayTT = 0;
  double greatestJulianDayUT = 0;
};

// Everything computed for a prepared eclipse.
struct EclipseResult : PreparedEclipse {
  Circumstances circumstances;
  CurveSet curves;
  // Elements, rates, Earth-shape terms and ephemeris at circumstances.timeGreatest:
  // the map's centre, the report's and the sheet's values at greatest eclipse.
  ElementState atGreatest;
};

// Makes record `index` of the catalogue the current eclipse, estimates
// greatest eclipse and sets the time scale. Throws std::out_of_range for a
// bad index, std::invalid_argument for a bad resolution.
PreparedEclipse PrepareEclipse(const Catalogue& catalogue, int index, TimeScale timeScale,
                               int resolution);
// The same for elements that are already the current eclipse (julianDay set).
PreparedEclipse PrepareEclipse(const BesselianElements& current, TimeScale timeScale,
                               int resolution);
PreparedEclipse PrepareEclipse(const EclipseRecord& current, TimeScale timeScale, int resolution);

// Switches `eclipse` between TT and UT: DeltaT and the Julian Days of the
// estimate. A result's events and curves stay as computed.
void SetTimeScale(PreparedEclipse& eclipse, TimeScale timeScale);

// Puts a DeltaT of the user's own (seconds, say one a historian derives from
// a record of the eclipse) in place of the model's: it becomes the
// eclipse's modelDeltaT, in force in UT, and every UT instant follows it.
void SetUserDeltaT(PreparedEclipse& eclipse, double deltaTSeconds);
// The model reaches about 1.7 days at -4999; a DeltaT of six times that is
// no longer a DeltaT but a mistake, which the entries refuse.
inline constexpr double kLargestUserDeltaT = 1.0e6;  // seconds, either sign

// The estimate of greatest eclipse in the eclipse's time scale, as
// "2021-12-04  07:33:27 UT".
std::string EstimateText(const PreparedEclipse& eclipse);
// "2021-12-04  07:33:27 UT": the Julian Day in the named scale.
std::string DateTimeText(double julianDay, TimeScale timeScale);

// General circumstances, rise/set curves, umbral limits and central line,
// horizon curves and penumbral limits. Writes no file.
EclipseResult ComputeEclipse(const PreparedEclipse& eclipse, EclipseScratch& scratch);
// The same with work areas of its own, for a single computation.
EclipseResult ComputeEclipse(const PreparedEclipse& eclipse);

// Every curve of the eclipse whose events exist, at `resolution` (penumbral
// limits). Throws std::invalid_argument for a resolution the view does not offer.
CurveSet TraceCurves(const BesselianElements& eclipse, const Circumstances& circumstances,
                     int resolution, EclipseScratch& scratch);

}  // namespace darvelle
