#include "geometry/eclipse_computation.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "astro/calendar.h"
#include "astro/delta_t.h"
#include "astro/instant.h"
#include "geometry/curve_refinement.h"
#include "geometry/horizon_curves.h"
#include "geometry/limit_curves.h"
#include "geometry/penumbra_scan.h"

namespace darvelle {

bool IsValidResolution(int resolution) {
  switch (resolution) {
    case 1: case 2: case 4: case 8: case 16: case 32: return true;
    default: return false;
  }
}

EclipseScratch::EclipseScratch() {
  workBuffer.reserve(kCurveWorkBufferCapacity);
  scanFirst.reserve(kMaxLimitScanSteps);
  scanSecond.reserve(kMaxLimitScanSteps);
}

PreparedEclipse PrepareEclipse(const BesselianElements& current, TimeScale timeScale,
                               int resolution) {
  if (!IsValidResolution(resolution)) {
    throw std::invalid_argument("resolution must be 1, 2, 4, 8, 16 or 32, not " +
                                std::to_string(resolution));
  }
  PreparedEclipse p;
  p.elements = current;
  p.resolution = resolution;
  ElementState s;
  p.estimatedGreatest = EstimateGreatestEclipse(p.elements, s);
  p.modelDeltaT = ComputeDeltaT(p.elements.year, p.elements.month);
  SetTimeScale(p, timeScale);
  return p;
}

PreparedEclipse PrepareEclipse(const EclipseRecord& current, TimeScale timeScale, int resolution) {
  return PrepareEclipse(ElementsFromRecord(current), timeScale, resolution);
}

PreparedEclipse PrepareEclipse(const Catalogue& catalogue, int index, TimeScale timeScale,
                               int resolution) {
  PreparedEclipse p =
      PrepareEclipse(MakeCurrentEclipse(catalogue, index), timeScale, resolution);
  p.selectedIndex = index;
  return p;
}

void SetTimeScale(PreparedEclipse& p, TimeScale timeScale) {
  p.timeScale = timeScale;
  p.deltaT = timeScale == TimeScale::kUniversal ? p.modelDeltaT : 0.0;
  const BesselianElements& e = p.elements;
  // The calendar's seconds after the epoch hour, not a Julian Day: the
  // rounding of the shown second depends on it.
  const double secondsTT = kSecondsPerHour * p.estimatedGreatest;
  p.greatestJulianDayTT = CalendarToJulianDay(e.year, e.month, e.day, e.epochHour, 0, secondsTT);
  p.greatestJulianDayUT = CalendarToJulianDay(e.year, e.month, e.day, e.epochHour, 0,
                                              UniversalSecondsFromTerrestrial(secondsTT, p.deltaT));
}

void SetUserDeltaT(PreparedEclipse& p, double deltaTSeconds) {
  p.modelDeltaT = deltaTSeconds;
  SetTimeScale(p, p.timeScale);
}

std::string EstimateText(const PreparedEclipse& p) {
  return DateTimeText(p.timeScale == TimeScale::kUniversal ? p.greatestJulianDayUT : p.greatestJulianDayTT,
                      p.timeScale);
}

std::string DateTimeText(double julianDay, TimeScale timeScale) {
  const CalendarInstant when = JulianDayToCalendar(julianDay);
  // The "00" pattern rounds the seconds half away from zero and does not
  // carry into the minute (59.5 s reads 60).
  const long seconds = std::lround(when.second);
  char text[64];
  std::snprintf(text, sizeof text, "%s%04d-%02d-%02d  %02d:%02d:%02ld %s",
                when.year < 0 ? "-" : "", std::abs(when.year), when.month, when.day,
                static_cast<int>(when.hour), static_cast<int>(when.minute), seconds,
                timeScale == TimeScale::kUniversal ? "UT" : "TT");
  return text;
}

CurveSet TraceCurves(const BesselianElements& eclipse, const Circumstances& circumstances,
                     int resolution, EclipseScratch& scratch) {
  CurveSet curves;
  const CurveTracer tracer{eclipse, circumstances.events, resolution, scratch, curves};
  ComputeRiseSetCurves(tracer);
  ComputeNorthUmbraLimit(tracer);
  ComputeCentralLine(tracer);
  ComputeSouthUmbraLimit(tracer);
  ComputeHorizonCurves(tracer);
  ComputePenumbraLimit(tracer, PenumbraSide::North);
  ComputePenumbraLimit(tracer, PenumbraSide::South);
  return curves;
}

EclipseResult ComputeEclipse(const PreparedEclipse& eclipse, EclipseScratch& scratch) {
  Circumstances found = FindCircumstances(eclipse.elements, eclipse.deltaT, scratch);
  CurveSet curves = TraceCurves(eclipse.elements, found, eclipse.resolution, scratch);
  if (eclipse.drawnCurves) ComputeDrawnCurves(eclipse.elements, curves);
  EclipseResult result{eclipse, std::move(found), std::move(curves), {}};
  const double tg = result.circumstances.timeGreatest;
  EvaluateAllAt(eclipse.elements, tg, result.atGreatest);
  EvaluateEphemeris(eclipse.elements, tg, result.atGreatest);
  EvaluateEphemerisRates(eclipse.elements, tg, result.atGreatest);
  return result;
}

EclipseResult ComputeEclipse(const PreparedEclipse& eclipse) {
  EclipseScratch scratch;
  return ComputeEclipse(eclipse, scratch);
}

}  // namespace darvelle
