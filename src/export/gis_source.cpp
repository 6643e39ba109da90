#include "export/gis_source.h"

#include "geometry/delta_t_range.h"
#include "geometry/headline_numbers.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "astro/constants.h"
#include "astro/instant.h"
#include "geometry/elements.h"
#include "geometry/horizon_curves.h"
#include "geometry/shadow_at_instant.h"
#include "geometry/timed_outlines.h"
#include "reports/report_files.h"

namespace darvelle {
namespace {

// Map longitude in degrees, in [-180, 180]: the ephemeris longitude turned
// by the Earth's rotation during DeltaT.
double MapLongitudeDeg(double ephemerisLongitude, double deltaT) {
  double degrees = std::fmod(CorrectedLongitudeDeg(ephemerisLongitude, deltaT), 360.0);
  if (degrees > 180.0) degrees -= 360.0;
  if (degrees < -180.0) degrees += 360.0;
  return degrees;
}

GeoVertex VertexOf(const CurvePoint& p, double deltaT) {
  GeoVertex v;
  v.LongitudeDeg = MapLongitudeDeg(p.Longitude, deltaT);
  v.LatitudeDeg = p.Latitude * kRadToDeg;
  return v;
}

GeoLine LineOf(const PointCurve& curve, const CurveSet& curves, double deltaT) {
  GeoLine line;
  if (!curve.Ready()) return line;
  const std::vector<CurvePoint>& points = curves.DrawnPoints(curve);
  line.reserve(points.size());
  for (const CurvePoint& p : points) line.push_back(VertexOf(p, deltaT));
  return line;
}

const PointCurve& PointCurveFor(MapCurve curve, const CurveSet& curves) {
  switch (curve) {
    case MapCurve::NorthPenumbraLimit: return curves.northPenumbra;
    case MapCurve::NorthUmbraLimit: return curves.northUmbra;
    case MapCurve::SouthUmbraLimit: return curves.southUmbra;
    case MapCurve::SouthPenumbraLimit: return curves.southPenumbra;
    case MapCurve::RiseSetCurve1: return curves.RiseSet(1);
    case MapCurve::RiseSetCurve2: return curves.RiseSet(2);
    case MapCurve::RiseSetCurve3: return curves.RiseSet(3);
    case MapCurve::RiseSetCurve4: return curves.RiseSet(4);
    case MapCurve::RiseSetCurve5: return curves.RiseSet(5);
    case MapCurve::RiseSetCurve6: return curves.RiseSet(6);
    case MapCurve::MaxAtHorizonSouth: return curves.maxHorizonSouth;
    case MapCurve::MaxAtHorizonNorth: return curves.maxHorizonNorth;
    case MapCurve::MaxAtSunrise: return curves.maxSunrise;
    case MapCurve::MaxAtSunset: return curves.maxSunset;
    case MapCurve::CentralLine: break;
  }
  throw std::invalid_argument("the central line is not a point curve");
}

void AddCentralLine(const EclipseResult& c, GisSource& source) {
  if (!c.curves.centralLine.Ready()) return;
  GeoLine& line = source.curves[static_cast<std::size_t>(MapCurve::CentralLine)];
  for (const CentralLinePoint& p : c.curves.centralLine.Points()) {
    GeoVertex v = VertexOf(p, c.deltaT);
    v.JulianDayTT = c.elements.julianDay + p.Time / 24.0;
    v.DurationSeconds = p.DurationMinutes * 60.0;
    v.WidthKm = p.WidthKm;
    v.SunAltitudeDeg = p.SunAltitudeDeg;
    line.push_back(v);
    source.centralKinds.push_back(p.CentralKind);
  }
}

std::vector<GeoPoint> OutlineBranch(const EclipseResult& c, double from, double to, int branch) {
  std::vector<GeoPoint> points;
  for (const CurvePoint& p : UmbraOutlineOnLimb(c.elements, from, to, branch)) {
    points.push_back(VertexOf(p, c.deltaT));
  }
  return points;
}

// The outline between two contacts, in time order: where the umbra is
// annular, the inner contact (TU1, TU4) comes after the outer one.
LimbOutline UmbraOutline(const EclipseResult& c, EventId first, EventId second) {
  if (!c.circumstances.events[first].exists() || !c.circumstances.events[second].exists())
    return {};
  const double a = *c.circumstances.events.Time(first);
  const double b = *c.circumstances.events.Time(second);
  const double from = std::min(a, b);
  const double to = std::max(a, b);
  return {OutlineBranch(c, from, to, +1), OutlineBranch(c, from, to, -1)};
}

}  // namespace

const GisEvent* GisSource::Event(EventId id) const {
  for (const GisEvent& e : events) {
    if (e.Id == id) return &e;
  }
  return nullptr;
}

namespace {

// A point inside a small ring: the mean of its points' directions.
GeoPoint MiddleOf(const ShadowCurve& ring) {
  double x = 0, y = 0, z = 0;
  for (const ShadowPoint& p : ring.Points) {
    const double lat = p.LatitudeDeg * kDegToRad, lon = p.LongitudeDeg * kDegToRad;
    x += std::cos(lat) * std::cos(lon);
    y += std::cos(lat) * std::sin(lon);
    z += std::sin(lat);
  }
  return {std::atan2(y, x) * kRadToDeg, std::atan2(z, std::hypot(x, y)) * kRadToDeg};
}

void AddTimedOutlines(const EclipseResult& c, GisSource& source) {
  const EclipseEvents& events = c.circumstances.events;
  const BesselianElements& e = c.elements;
  auto hours = [&](double julianDayTT) {
    return Instant::FromJulianDayTT(julianDayTT).HoursAfter(e.julianDay);
  };
  if (const auto p1 = events.Time(EventId::TP1), p4 = events.Time(EventId::TP4); p1 && p4) {
    for (const double jd : WholeStepInstants(c, *p1, *p4, kOutlineStepMinutes)) {
      TimedLine line{jd, {}};
      for (const ShadowCurve& curve : PenumbraOutlineAt(e, c.deltaT, hours(jd))) {
        GeoLine points;
        for (const ShadowPoint& p : curve.Points) {
          GeoVertex v;
          v.LongitudeDeg = p.LongitudeDeg;
          v.LatitudeDeg = p.LatitudeDeg;
          points.push_back(v);
        }
        for (GeoLine& part : SplitAtAntimeridian(points)) line.parts.push_back(std::move(part));
      }
      if (!line.parts.empty()) source.penumbraOutlines.push_back(std::move(line));
    }
  }
  for (const TimedUmbraArea& timed : TimedUmbraAreas(c, kOutlineStepMinutes)) {
    TimedArea area{timed.julianDayTT, {}};
    for (const ShadowCurve& ring : timed.rings) {
      std::vector<GeoPoint> points;
      for (const ShadowPoint& p : ring.Points) points.push_back({p.LongitudeDeg, p.LatitudeDeg});
      for (GeoRing& polygon : PolygonsOnMap(points, MiddleOf(ring))) {
        area.polygons.push_back(std::move(polygon));
      }
    }
    if (!area.polygons.empty()) source.umbraOutlines.push_back(std::move(area));
  }
}

}  // namespace

std::optional<GisDeltaTBand> CentralLineDeltaTBand(const EclipseResult& c) {
  if (c.timeScale != TimeScale::kUniversal || !c.curves.centralLine.Ready()) return std::nullopt;
  const std::optional<DeltaTRange> range = DeltaTBandOf(c.elements, c.deltaT);
  if (!range) return std::nullopt;
  const auto& points = c.curves.centralLine.Points();
  if (points.size() < 2) return std::nullopt;
  GisDeltaTBand band{range->Low, range->High, range->Sigma, {}, {}, {}};
  GeoLine low, high;
  for (const CentralLinePoint& p : points) {
    low.push_back(VertexOf(p, range->Low));
    high.push_back(VertexOf(p, range->High));
  }
  band.low = SplitAtAntimeridian(low);
  band.high = SplitAtAntimeridian(high);
  std::vector<GeoPoint> ring;
  for (const GeoVertex& v : low) ring.push_back({v.LongitudeDeg, v.LatitudeDeg});
  for (auto v = high.rbegin(); v != high.rend(); ++v) ring.push_back({v->LongitudeDeg, v->LatitudeDeg});
  const GeoVertex middle = VertexOf(points[points.size() / 2], c.deltaT);
  band.polygons = PolygonsOnMap(ring, {middle.LongitudeDeg, middle.LatitudeDeg});
  return band;
}

GisSource GisSourceFrom(const EclipseResult& c) {
  GisSource source;
  const BesselianElements& e = c.elements;
  source.catalogueIndex = c.selectedIndex;
  source.eclipse = e;
  source.timeScale = c.timeScale;
  source.deltaTSeconds = c.deltaT;
  source.modelDeltaTSeconds = c.modelDeltaT;
  if (c.circumstances.events[EventId::TG0].exists())
    source.greatestJulianDayTT = c.circumstances.julianDayGreatest;

  for (int i = 0; i < kMapCurveCount; ++i) {
    const auto curve = static_cast<MapCurve>(i);
    if (curve == MapCurve::CentralLine) continue;
    source.curves[static_cast<std::size_t>(i)] =
        LineOf(PointCurveFor(curve, c.curves), c.curves, c.deltaT);
  }
  AddCentralLine(c, source);
  source.deltaTBand = CentralLineDeltaTBand(c);

  for (int k = 0; k < kEventCount; ++k) {
    const EclipseEvent& event = c.circumstances.events.entries[static_cast<std::size_t>(k)];
    if (!event.exists() || !std::isfinite(event.EphemerisLongitude) ||
        !std::isfinite(event.Latitude)) {
      continue;
    }
    source.events.push_back({static_cast<EventId>(k), e.julianDay + *event.Time / 24.0,
                             VertexOf({event.EphemerisLongitude, event.Latitude}, c.deltaT),
                             event.CentralKind});
  }

  if (const auto longest =
          ComputeHeadlineNumbers(e, c.deltaT, c.circumstances).greatestDuration) {
    source.greatestDuration = GisGreatestDuration{
        e.julianDay + longest->Time / 24.0, {longest->LongitudeDeg, longest->LatitudeDeg},
        longest->DurationS, longest->WidthKm, longest->SunAltitudeDeg};
  }

  source.umbraAtSunrise = UmbraOutline(c, EventId::TU1, EventId::TU2);
  source.umbraAtSunset = UmbraOutline(c, EventId::TU3, EventId::TU4);
  // The umbra never wholly on the Earth: only its outer contacts occur, TU1
  // and TU4 where it is total there, TU2 and TU3 where it is annular.
  const EclipseEvents& contacts = c.circumstances.events;
  if (!contacts[EventId::TU2].exists() && !contacts[EventId::TU3].exists()) {
    source.umbraWholePass = UmbraOutline(c, EventId::TU1, EventId::TU4);
  } else if (!contacts[EventId::TU1].exists() && !contacts[EventId::TU4].exists()) {
    source.umbraWholePass = UmbraOutline(c, EventId::TU2, EventId::TU3);
  }
  AddTimedOutlines(c, source);
  return source;
}

}  // namespace darvelle
