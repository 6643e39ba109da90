#pragma once
// What both GIS files show, before names and file syntax: the curves as
// lines cut at the antimeridian, the central line in runs of one kind
// (total or annular, as the map colours it), the events and the areas.

#include <QRgb>

#include <vector>

#include "export/gis_source.h"
#include "export/zone_polygons.h"

namespace darvelle {

struct GisLine {
  MapCurve curve;
  std::vector<GeoLine> parts;  // one part, or several where the curve crosses the antimeridian
  QRgb color;                  // as the map draws it
  CentralKind centralKind = CentralKind::None;  // central-line runs only
};

struct GisLayers {
  std::vector<GisLine> lines;  // drawing order
  std::vector<Zone> zones;
};

GisLayers BuildGisLayers(const GisSource& source);

// An area's colour as the map's band draws it, with its opacity, so that
// the GIS files, the map and its legend show a path alike; ZoneColor is the
// same colour opaque, for outlines.
QRgb ZoneBandColor(ZoneKind kind);
QRgb ZoneColor(ZoneKind kind);

// The kind of eclipse at an event's place: its own central kind (TC1, TC2,
// TG0); for the TU events the umbra's, total or annular by the eclipse's
// type, on a hybrid by the central end nearer in time; none (partial) otherwise.
CentralKind LocalCentralKind(const GisSource& source, const GisEvent& event);

// The map's marker colours of the events.
QRgb EventColor(EventId id, CentralKind centralKind);

}  // namespace darvelle
