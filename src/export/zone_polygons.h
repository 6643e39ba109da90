#pragma once
// The areas an eclipse is seen in, as rings on the map: the path of the
// umbra (totality or annularity) between the northern and southern umbral
// limits, and the zone of the partial eclipse between the penumbral limits.
// At each end the path is closed by the shadow's outline on the horizon:
// of the loop the two limb crossings trace while the shadow comes onto the
// Earth (or leaves it), the half between the two limits that holds the
// instant of inner contact (TU2/TP2, TU3/TP3). Beyond it the shadow passes
// before sunrise or after sunset; the other half lies inside the area.

#include <optional>
#include <vector>

#include "export/gis_geometry.h"
#include "export/gis_source.h"

namespace darvelle {

// The ring from the northern limit's first point along it, over the end cap
// to the southern limit's last point, back along the southern limit and over
// the start cap. Each limit runs in time order; the outlines are those of
// the shadow coming on (atStart) and going off (atEnd), each in time order;
// an empty outline (no crossing found) joins the limits' ends straight.
// Nothing when a limit has fewer than two points.
std::optional<std::vector<GeoPoint>> ZoneRing(const GeoLine& north, const GeoLine& south,
                                              const LimbOutline& atStart,
                                              const LimbOutline& atEnd);

// The rings of a path between both limits: ZoneRing's one ring, or where the
// limits cross (a hybrid's path narrows to nothing between its annular and
// total parts) one ring per part between the crossings, so that each part
// is an area of its own and none is lost to a ring that crosses itself.
std::vector<std::vector<GeoPoint>> PathRings(const GeoLine& north, const GeoLine& south,
                                             const LimbOutline& atStart, const LimbOutline& atEnd);

// The ring of a path with a single limit: along the limit in time order,
// then round the umbra's crossings of the Earth's outline between its first
// and last contact (`pass`) back to its start. Nothing without the limit or a crossing.
std::optional<std::vector<GeoPoint>> OneLimitRing(const GeoLine& limit, const LimbOutline& pass);

enum class ZoneKind { Totality, Annularity, Hybrid, Partial };

struct Zone {
  ZoneKind kind;
  std::vector<GeoRing> polygons;  // on the map, cut at the antimeridian
};

// The path of the umbra (central eclipses with both umbral limits) and the
// zone of the partial eclipse (when both penumbral limits and both rise/set
// loops exist), each when its ring could be built.
std::vector<Zone> EclipseZones(const GisSource& source);

}  // namespace darvelle
