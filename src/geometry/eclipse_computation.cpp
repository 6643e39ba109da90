#include "geometry/eclipse_computation.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "astro/calendar.h"
#include "astro/delta_t.h"
#include "geometry/circumstances.h"
#include "geometry/horizon_curves.h"
#include "geometry/limit_curves.h"
#include "geometry/penumbra_scan.h"
#include "geometry/report_files.h"
#include "geometry/computation_files.h"

namespace darvelle {

bool IsValidResolution(int resolution) {
  switch (resolution) {
    case 1: case 2: case 4: case 8: case 16: case 32: return true;
    default: return false;
  }
}

EclipseComputation::EclipseComputation() {
  workBuffer.reserve(kCurveWorkBufferCapacity);
  scanFirst.reserve(kMaxLimitScanSteps);
  scanSecond.reserve(kMaxLimitScanSteps);
}

namespace {

void UpdateGreatestJulianDays(EclipseComputation& c) {
  const BesselianElements& e = c.elements;
  c.greatestJulianDayTT = CalendarToJulianDay(e.year, e.month, e.day, e.epochHour, 0,
                                              3600.0 * c.estimatedGreatest);
  c.greatestJulianDayUT = CalendarToJulianDay(e.year, e.month, e.day, e.epochHour, 0,
                                              3600.0 * c.estimatedGreatest - c.deltaT);
}

}  // namespace

void PrepareEclipse(EclipseComputation& c, const BesselianElements& current, bool universalTime,
                    int resolution) {
  if (!IsValidResolution(resolution)) {
    throw std::invalid_argument("resolution must be 1, 2, 4, 8, 16 or 32, not " +
                                std::to_string(resolution));
  }
  c.elements = current;
  c.selectedIndex = 0;
  c.resolution = resolution;
  c.estimatedGreatest = EstimateGreatestEclipse(c.elements, c.state);
  c.modelDeltaT = ComputeDeltaT(c.elements.year, c.elements.month);
  SetTimeScale(c, universalTime);
}

void PrepareEclipse(EclipseComputation& c, const EclipseRecord& current, bool universalTime,
                    int resolution) {
  PrepareEclipse(c, ElementsFromRecord(current), universalTime, resolution);
  c.eclipse = current;
}

void PrepareEclipse(EclipseComputation& c, const Catalogue& catalogue, int index,
                    bool universalTime, int resolution) {
  PrepareEclipse(c, MakeCurrentEclipse(catalogue, index), universalTime, resolution);
  c.selectedIndex = index;
}

void SetTimeScale(EclipseComputation& c, bool universalTime) {
  c.universalTime = universalTime;
  c.deltaT = universalTime ? c.modelDeltaT : 0.0;
  UpdateGreatestJulianDays(c);
  c.dateTimeText =
      DateTimeText(universalTime ? c.greatestJulianDayUT : c.greatestJulianDayTT, universalTime);
}

std::string DateTimeText(double julianDay, bool universalTime) {
  const CalendarInstant when = JulianDayToCalendar(julianDay);
  // The "00" pattern rounds the seconds half away from zero and does not
  // carry into the minute (59.5 s reads 60).
  const long seconds = std::lround(when.second);
  char text[64];
  std::snprintf(text, sizeof text, "%s%04d-%02d-%02d  %02d:%02d:%02ld %s",
                when.year < 0 ? "-" : "", std::abs(when.year), when.month, when.day,
                static_cast<int>(when.hour), static_cast<int>(when.minute), seconds,
                universalTime ? "UT" : "TT");
  return text;
}

void ComputeEclipse(EclipseComputation& c) {
  if (c.outputFolder) DeleteComputationFiles(*c.outputFolder);
  c.curves.ClearAll();

  ComputeGeneralCircumstances(c);
  if (c.outputFolder) WriteReportFiles(c, *c.outputFolder);

  ComputeRiseSetCurves(c);
  if (c.outputFolder) WriteRiseSetFiles(c, *c.outputFolder);

  ComputeNorthUmbraLimit(c);
  ComputeCentralLine(c);
  ComputeSouthUmbraLimit(c);
  if (c.outputFolder) WriteUmbraFiles(c, *c.outputFolder);

  ComputeHorizonCurves(c);
  if (c.outputFolder) WriteHorizonFiles(c, *c.outputFolder);

  ComputePenumbraLimit(c, +1);
  ComputePenumbraLimit(c, -1);
  if (c.outputFolder) WritePenumbraFiles(c, *c.outputFolder);

  // The drawing and the tables read the elements at greatest eclipse.
  EvaluateElements(c.elements, c.timeGreatest, c.state);
}

}  // namespace darvelle
