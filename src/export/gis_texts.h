#pragma once
// The names and ids the GIS files carry: a stable English id per curve,
// event and area for scripts, and a name in the chosen language (kGerman,
// kEnglish, kFrench) for people; all UTF-8. Instants as ISO 8601 text.

#include <string>
#include <string_view>

#include "catalogue/besselian_elements.h"
#include "export/zone_polygons.h"
#include "geometry/events.h"
#include "render/curve_drawing.h"
#include "catalogue/language.h"

namespace darvelle {

std::string_view CurveId(MapCurve curve);              // "northern_umbral_limit"
std::string CurveName(MapCurve curve, Language language);   // "Northern limit of the umbra"

std::string_view EventCode(EventId id);                // "TP1"
std::string_view EventName(EventId id, Language language);  // "First contact of the penumbra ..."

// The point of greatest duration on the central line.
std::string_view GreatestDurationName(Language language);

std::string_view ZoneId(ZoneKind kind);                // "path_of_totality"
std::string_view ZoneName(ZoneKind kind, Language language);

// The folders of the KML file, in the order they are written.
enum class GisGroup { Zones, Limits, CentralLine, HorizonCurves, Events };
inline constexpr int kGisGroupCount = 5;
GisGroup GroupOf(MapCurve curve);
std::string_view GroupName(GisGroup group, Language language);

// "total", "annular" for a central kind, "partial" for none.
std::string_view CentralKindId(CentralKind centralKind);

// The catalogue's classification as an id: "partial", "total", "annular",
// "hybrid", "non_central_total", "non_central_annular"; "unknown" for a code
// outside them.
std::string_view EclipseTypeId(EclipseKind kind);

// "2024-04-08": the date of greatest eclipse (TT) as the catalogue gives it.
std::string IsoDate(const EclipseDescription& eclipse);

// "2024-04-08T18:17:16.800Z": the instant of a Julian Day in the proleptic
// Gregorian calendar that ISO 8601 and XML Schema use (also before 1582),
// to the nearest millisecond; years before 1 and after 9999 with their sign and
// at least four digits ("-0584-05-22T..." is 585 BC).
std::string IsoInstant(double julianDay);

}  // namespace darvelle
