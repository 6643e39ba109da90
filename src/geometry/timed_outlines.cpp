#include "geometry/timed_outlines.h"

#include <algorithm>
#include <cmath>

#include "astro/instant.h"

namespace darvelle {

std::vector<double> WholeStepInstants(const EclipseResult& c, double fromHours, double toHours,
                                      int stepMinutes) {
  std::vector<double> instants;
  if (stepMinutes <= 0) return instants;
  const double stepDays = stepMinutes / 1440.0;
  const double epoch = c.elements.julianDay;
  // The labels are UT by the model's DeltaT even when the map is drawn in TT.
  const double firstUt = Instant::FromEpochHours(epoch, fromHours).JulianDayUT(c.modelDeltaT);
  const double lastUt = Instant::FromEpochHours(epoch, toHours).JulianDayUT(c.modelDeltaT);
  // Whole steps counted from the civil day's start (JD .5); a pass lasts
  // hours, so the cap ends only absurdly small steps over a long span.
  const double origin = std::floor(firstUt - 0.5) + 0.5;
  for (double k = std::ceil((firstUt - origin) / stepDays); instants.size() < 1000; k += 1.0) {
    const double ut = origin + k * stepDays;
    if (ut > lastUt) break;
    instants.push_back(TerrestrialFromUniversal(ut, c.modelDeltaT));
  }
  return instants;
}

std::optional<HourSpan> UmbraOnEarth(const EclipseResult& c) {
  const EclipseEvents& events = c.circumstances.events;
  if (!events[EventId::TC1].exists()) return std::nullopt;
  // TU1 and TU4 where the umbra is total there, TU2 and TU3 where annular.
  std::optional<double> first, last;
  for (const EventId id : {EventId::TU1, EventId::TU2}) {
    if (const auto t = events.Time(id)) first = first ? std::min(*first, *t) : *t;
  }
  for (const EventId id : {EventId::TU3, EventId::TU4}) {
    if (const auto t = events.Time(id)) last = last ? std::max(*last, *t) : *t;
  }
  if (!first || !last) return std::nullopt;
  return HourSpan{*first, *last};
}

std::vector<TimedUmbraArea> TimedUmbraAreas(const EclipseResult& c, int stepMinutes) {
  std::vector<TimedUmbraArea> areas;
  const auto span = UmbraOnEarth(c);
  if (!span) return areas;
  for (const double jd : WholeStepInstants(c, span->from, span->to, stepMinutes)) {
    const double hours = Instant::FromJulianDayTT(jd).HoursAfter(c.elements.julianDay);
    std::vector<ShadowCurve> rings = UmbraAreaAt(c.elements, c.deltaT, hours);
    if (!rings.empty()) areas.push_back({jd, std::move(rings)});
  }
  return areas;
}

}  // namespace darvelle
