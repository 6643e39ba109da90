#pragma once
// The GIS files darvelle-cli can write besides the text files: --geojson
// FILE and --kml FILE, names in the --language chosen.

#include <vector>

#include "cli/compute_command.h"

namespace darvelle::cli {

std::vector<ComputeOutput> GisOutputs();

}  // namespace darvelle::cli
