#pragma once
// The eclipse as a KML 2.2 document for Google Earth and GIS programs: line
// and area styles in the map's colours, one folder per group (areas, limits,
// central line, horizon curves, events), curves as ground-clamped
// LineStrings, the path of the umbra as a semi-transparent polygon, the
// events as placemarks with a time stamp and a table of their instants and
// kind. Names in the chosen language (kGerman, kEnglish, kFrench), UTF-8.

#include <QByteArray>

#include <filesystem>

#include "export/gis_source.h"
#include "geometry/eclipse_computation.h"
#include "catalogue/language.h"

namespace darvelle {

QByteArray KmlForEclipse(const GisSource& source, Language language);
QByteArray KmlForEclipse(const EclipseResult& computation, Language language);

// Writes the file through a temporary file beside it; throws FileError naming
// the file and the cause, leaving an earlier file of that name as it was.
void WriteKmlFile(const std::filesystem::path& file, const GisSource& source, Language language);
void WriteKmlFile(const std::filesystem::path& file, const EclipseResult& computation,
                  Language language);

}  // namespace darvelle
