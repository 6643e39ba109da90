#include "cli/gis_outputs.h"

#include "cli/args.h"
#include "export/geojson_export.h"
#include "export/kml_export.h"

namespace darvelle::cli {
namespace {

void RequireFileName(const char* option, const std::string& file) {
  if (file.empty()) throw UsageError(std::string("--") + option + " needs a file name");
}

void WriteGeoJson(const EclipseResult& c, const ComputeOptions& options, const std::string& file) {
  RequireFileName("geojson", file);
  WriteGeoJsonFile(file, c, options.language);
}

void WriteKml(const EclipseResult& c, const ComputeOptions& options, const std::string& file) {
  RequireFileName("kml", file);
  WriteKmlFile(file, c, options.language);
}

}  // namespace

std::vector<ComputeOutput> GisOutputs() {
  return {
      {"geojson", "FILE", "every curve, event and the eclipse's paths as GeoJSON (RFC 7946)",
       WriteGeoJson, true},
      {"kml", "FILE", "the same as a KML 2.2 document for Google Earth", WriteKml,
       true},
  };
}

}  // namespace darvelle::cli
