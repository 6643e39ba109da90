#pragma once
// What the GIS exporters read of a computed eclipse, in geographic terms:
// every curve, event and limb outline with longitudes east positive in
// degrees, corrected for the Earth's rotation during DeltaT as the map places
// them (none in TT), instants as Julian Days (TT). GisSourceFrom is the one
// place that knows the computation's fields.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "export/gis_geometry.h"
#include "geometry/eclipse_computation.h"
#include "geometry/events.h"
#include "geometry/timed_outlines.h"
#include "render/curve_drawing.h"

namespace darvelle {

struct GisEvent {
  EventId Id = EventId::TG0;
  double JulianDayTT = 0;
  GeoPoint Where;
  darvelle::CentralKind CentralKind = darvelle::CentralKind::None;  // TC1, TC2, TG0 only
};

// Where the central phase lasts longest (geometry/headline_numbers.h), at the
// place the map puts it.
struct GisGreatestDuration {
  double JulianDayTT = 0;
  GeoPoint Where;
  double DurationS = 0;
  std::optional<double> WidthKm;
  double SunAltitudeDeg = 0;
};

// Where the central line may lie for an unknown DeltaT (before 1600 and after
// 2100, UT only): the line at DeltaT minus and plus twice its standard error
// (geometry/delta_t_range.h) and the band between them.
struct GisDeltaTBand {
  double LowSeconds = 0, HighSeconds = 0, SigmaSeconds = 0;
  std::vector<GeoLine> low, high;  // cut at the antimeridian
  std::vector<GeoRing> polygons;
};

// The two branches of the shadow's crossing of the Earth's outline over one
// interval, both in time order (from the first instant to the last).
struct LimbOutline {
  std::vector<GeoPoint> plusBranch;
  std::vector<GeoPoint> minusBranch;
  bool Empty() const { return plusBranch.empty() && minusBranch.empty(); }
};

// The shadow at one instant of a film of the eclipse: the umbra's area
// (closed along the terminator where it is cut) or the penumbra's outline.
struct TimedArea {
  double JulianDayTT = 0;
  std::vector<GeoRing> polygons;  // cut at the antimeridian
};
struct TimedLine {
  double JulianDayTT = 0;
  std::vector<GeoLine> parts;  // cut at the antimeridian
};

// The step of the timed outlines, minutes of UT (outlines at whole multiples).
inline constexpr int kOutlineStepMinutes = kDefaultOutlineStepMinutes;

struct GisSource {
  int catalogueIndex = 0;
  EclipseDescription eclipse;        // date (TT, the catalogue's calendar), kind, Saros series
  TimeScale timeScale = TimeScale::kUniversal;
  double deltaTSeconds = 0;          // in force: the model's in UT, 0 in TT
  double modelDeltaTSeconds = 0;     // the model's, whatever the scale (for UT instants)
  std::optional<double> greatestJulianDayTT;

  // By MapCurve; a curve that was not built is empty. Central-line vertices
  // carry their instant, duration, width and solar altitude.
  std::array<GeoLine, kMapCurveCount> curves;
  std::vector<CentralKind> centralKinds;  // per central-line vertex
  std::vector<GisEvent> events;            // the events that occur, table order
  std::optional<GisGreatestDuration> greatestDuration;  // central eclipses only
  std::optional<GisDeltaTBand> deltaTBand;

  // Where the umbra meets the horizon: between TU1 and TU2, and between TU3
// and TU4, when both exist; each in time order.
  LimbOutline umbraAtSunrise, umbraAtSunset;
  // Between the umbra's first and last contact when it never lies wholly on
  // the Earth (only TU1 and TU4, or only TU2 and TU3): where a path with one
  // limit meets the horizon.
  LimbOutline umbraWholePass;

  // Every kOutlineStepMinutes while the umbra touches the Earth (central
  // eclipses only), and while the penumbra does.
  std::vector<TimedArea> umbraOutlines;
  std::vector<TimedLine> penumbraOutlines;

  const GisEvent* Event(EventId id) const;
  const GeoLine& Curve(MapCurve curve) const { return curves[static_cast<std::size_t>(curve)]; }
};

GisSource GisSourceFrom(const EclipseResult& computation);

// The band alone, as GisSourceFrom puts it into `deltaTBand`: nothing in TT,
// without a central line, or where DeltaT is known to seconds.
std::optional<GisDeltaTBand> CentralLineDeltaTBand(const EclipseResult& computation);

}  // namespace darvelle
