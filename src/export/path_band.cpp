#include "export/path_band.h"

#include "export/gis_layers.h"
#include "export/gis_source.h"
#include "export/zone_polygons.h"

namespace darvelle {
namespace {

std::vector<CoastlinePoint> PointsOf(const std::vector<GeoPoint>& points) {
  std::vector<CoastlinePoint> out;
  out.reserve(points.size());
  for (const GeoPoint& p : points) out.push_back({p.LongitudeDeg, p.LatitudeDeg});
  return out;
}

BandArea AreaOf(const Zone& zone) {
  BandArea area;
  area.color = ZoneBandColor(zone.kind);
  area.partialZone = zone.kind == ZoneKind::Partial;
  for (const GeoRing& ring : zone.polygons) area.rings.push_back(PointsOf(ring));
  return area;
}

}  // namespace

std::optional<DeltaTBandLayer> DeltaTBandLayerOf(const EclipseResult& computation) {
  const std::optional<GisDeltaTBand> band = CentralLineDeltaTBand(computation);
  if (!band) return std::nullopt;
  DeltaTBandLayer layer;
  for (const GeoRing& ring : band->polygons) layer.rings.push_back(PointsOf(ring));
  for (const auto* lines : {&band->low, &band->high}) {
    for (const GeoLine& line : *lines) {
      std::vector<CoastlinePoint>& edge = layer.edges.emplace_back();
      for (const GeoVertex& v : line) edge.push_back({v.LongitudeDeg, v.LatitudeDeg});
    }
  }
  return layer;
}

std::vector<BandArea> PathBandAreas(const EclipseResult& computation, bool withPartialZone) {
  const std::vector<Zone> zones = EclipseZones(GisSourceFrom(computation));
  std::vector<BandArea> areas;
  // The faint partial zone goes under the path.
  if (withPartialZone) {
    for (const Zone& zone : zones) {
      if (zone.kind == ZoneKind::Partial) areas.push_back(AreaOf(zone));
    }
  }
  for (const Zone& zone : zones) {
    if (zone.kind != ZoneKind::Partial) areas.push_back(AreaOf(zone));
  }
  return areas;
}

std::vector<std::vector<CoastlinePoint>> PathRingsOf(const std::vector<BandArea>& areas) {
  std::vector<std::vector<CoastlinePoint>> rings;
  for (const BandArea& area : areas) {
    if (area.partialZone) continue;
    rings.insert(rings.end(), area.rings.begin(), area.rings.end());
  }
  return rings;
}

}  // namespace darvelle
