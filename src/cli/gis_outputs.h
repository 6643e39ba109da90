#pragma once
// The GIS files darvelle-cli can write besides the text files: --geojson
// FILE and --kml FILE, names in the --language chosen.

#include <vector>

#include "cli/compute_command.h"

namespace darvelle::cli {

std::vector<ComputeOutput> GisOutputs();

// The files batch writes beside the others with --geojson and --kml.
inline constexpr const char* kBatchGeoJsonName = "eclipse.geojson";
inline constexpr const char* kBatchKmlName = "eclipse.kml";

}  // namespace darvelle::cli
