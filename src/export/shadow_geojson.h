#pragma once
// The shadow at one instant as a GeoJSON FeatureCollection (RFC 7946): each
// feature names its layer in the property "shadow" ("umbra", "penumbra",
// "magnitude" with "magnitude", "axis", "subsolar", "terminator") and
// carries the instant as "time_ut" (ISO 8601, milliseconds). Outlines that
// lie wholly on the day side are Polygons, the others (ending on the
// terminator) LineStrings, the magnitude lines and the terminator
// LineStrings; each cut at the antimeridian as the eclipse's own export cuts
// it.

#include <filesystem>
#include <string>

#include "geometry/shadow_at_instant.h"

namespace darvelle {

std::string ShadowGeoJson(const ShadowAtInstant& shadow, double julianDayUt);

// Writes the file through the program's atomic writer; throws FileError
// naming the file and the cause, leaving an earlier file of that name as it was.
void WriteShadowGeoJsonFile(const std::filesystem::path& file, const ShadowAtInstant& shadow,
                            double julianDayUt);

}  // namespace darvelle
