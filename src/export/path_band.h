#pragma once
// The areas the map's band layer shades, from the same rings the GIS files
// write (EclipseZones), so that the picture and the files agree.

#include <optional>
#include <vector>

#include "geometry/eclipse_computation.h"
#include "render/map_layers.h"

namespace darvelle {

// The partial zone first (when asked for and when it could be built), then
// the path of the umbra, each with its band colour. Nothing for an eclipse
// without either.
std::vector<BandArea> PathBandAreas(const EclipseResult& computation, bool withPartialZone);

// The rings of the umbra's path alone (empty when there is none), to tell
// which towns lie in it.
std::vector<std::vector<CoastlinePoint>> PathRingsOf(const std::vector<BandArea>& areas);

// The band of the central line for DeltaT +- 2 sigma, from the same lines the
// GIS files write (CentralLineDeltaTBand); nothing where they have none.
std::optional<DeltaTBandLayer> DeltaTBandLayerOf(const EclipseResult& computation);

}  // namespace darvelle
