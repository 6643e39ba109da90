#pragma once
// The eclipse as a GeoJSON FeatureCollection (RFC 7946): every curve as a
// LineString (MultiLineString where it crosses the antimeridian), every event
// as a Point, the path of the umbra and the partial zone as Polygons
// (MultiPolygons where cut), and a top-level member "darvelle" naming the
// eclipse. Names in the chosen language (kGerman, kEnglish, kFrench),
// colours as the map draws them, coordinates to 6 decimals, UTF-8.

#include <QByteArray>

#include <filesystem>

#include "export/gis_source.h"
#include "geometry/eclipse_computation.h"
#include "catalogue/language.h"

namespace darvelle {

QByteArray GeoJsonForEclipse(const GisSource& source, Language language);
QByteArray GeoJsonForEclipse(const EclipseResult& computation, Language language);

// Writes the file through a temporary file beside it; throws FileError naming
// the file and the cause, leaving an earlier file of that name as it was.
void WriteGeoJsonFile(const std::filesystem::path& file, const GisSource& source, Language language);
void WriteGeoJsonFile(const std::filesystem::path& file, const EclipseResult& computation,
                      Language language);

}  // namespace darvelle
