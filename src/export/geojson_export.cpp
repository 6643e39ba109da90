#include "export/geojson_export.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <cmath>

#include "catalogue/eclipse_texts.h"
#include "export/gis_file.h"
#include "export/gis_layers.h"
#include "export/gis_texts.h"

namespace darvelle {
namespace {

QString Text(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString HexColor(QRgb color) {
  return QString::asprintf("#%02x%02x%02x", qRed(color), qGreen(color), qBlue(color));
}

QJsonArray Position(const GeoPoint& p) {
  return {RoundCoordinate(p.LongitudeDeg), RoundCoordinate(p.LatitudeDeg)};
}

QJsonArray Positions(const GeoLine& line) {
  QJsonArray positions;
  for (const GeoVertex& v : line) positions.append(Position(v));
  return positions;
}

QJsonArray RingPositions(const GeoRing& ring) {
  QJsonArray positions;
  for (const GeoPoint& p : ring) positions.append(Position(p));
  return positions;
}

QJsonObject LineGeometry(const std::vector<GeoLine>& parts) {
  if (parts.size() == 1) {
    return {{"type", "LineString"}, {"coordinates", Positions(parts.front())}};
  }
  QJsonArray lines;
  for (const GeoLine& part : parts) lines.append(Positions(part));
  return {{"type", "MultiLineString"}, {"coordinates", lines}};
}

QJsonObject AreaGeometry(const std::vector<GeoRing>& polygons) {
  if (polygons.size() == 1) {
    return {{"type", "Polygon"}, {"coordinates", QJsonArray{RingPositions(polygons.front())}}};
  }
  QJsonArray all;
  for (const GeoRing& ring : polygons) all.append(QJsonArray{RingPositions(ring)});
  return {{"type", "MultiPolygon"}, {"coordinates", all}};
}

// `value` to `decimals` places; the division by a power of ten gives the
// double nearest the decimal, where a multiplication by 0.1 would not.
double Rounded(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  return std::round(value * scale) / scale;
}

// Per-vertex values of the central line, in the order of all its parts' vertices.
void AddVertexValues(const std::vector<GeoLine>& parts, double deltaTSeconds,
                     QJsonObject& properties) {
  QJsonArray times, durations, widths, altitudes;
  for (const GeoLine& part : parts) {
    for (const GeoVertex& v : part) {
      times.append(Text(IsoInstant(v.JulianDayTT - deltaTSeconds / 86400.0)));
      durations.append(Rounded(v.DurationSeconds, 1));
      widths.append(Rounded(v.WidthKm, 1));
      altitudes.append(Rounded(v.SunAltitudeDeg, 2));
    }
  }
  properties["times_ut"] = times;
  properties["duration_s"] = durations;
  properties["width_km"] = widths;
  properties["sun_alt"] = altitudes;
}

QJsonObject Feature(const QJsonObject& geometry, const QJsonObject& properties) {
  return {{"type", "Feature"}, {"geometry", geometry}, {"properties", properties}};
}

QJsonObject LineFeature(const GisLine& line, const GisSource& source, int language) {
  QJsonObject properties{
      {"curve", Text(CurveId(line.curve))},
      {"name", Text(CurveName(line.curve, language))},
      {"stroke", HexColor(line.color)},
      {"stroke-width", line.curve == MapCurve::CentralLine ? 2 : 1},
  };
  if (line.curve == MapCurve::CentralLine) {
    properties["central_kind"] = Text(CentralKindId(line.centralKind));
    AddVertexValues(line.parts, source.modelDeltaTSeconds, properties);
  }
  return Feature(LineGeometry(line.parts), properties);
}

QJsonObject ZoneFeature(const Zone& zone, int language) {
  return Feature(AreaGeometry(zone.polygons),
                 {{"zone", Text(ZoneId(zone.kind))},
                  {"name", Text(ZoneName(zone.kind, language))},
                  {"stroke", HexColor(ZoneColor(zone.kind))},
                  {"fill", HexColor(ZoneColor(zone.kind))},
                  {"fill-opacity", zone.kind == ZoneKind::Partial ? 0.15 : 0.4}});
}

QJsonObject EventFeature(const GisEvent& event, const GisSource& source, int language) {
  const int kind = LocalCentralKind(source, event);
  return Feature({{"type", "Point"}, {"coordinates", Position(event.Where)}},
                 {{"event", Text(EventCode(event.Id))},
                  {"name", Text(EventName(event.Id, language))},
                  {"ut", Text(IsoInstant(event.JulianDayTT -
                                         source.modelDeltaTSeconds / 86400.0))},
                  {"tt", Text(IsoInstant(event.JulianDayTT))},
                  {"kind", Text(CentralKindId(kind))},
                  {"marker-color", HexColor(EventColor(event.Id, kind))}});
}

QJsonObject EclipseMember(const GisSource& source, int language) {
  QJsonObject member{
      {"catalogue_index", source.catalogueIndex},
      {"date", QString::asprintf("%d-%02d-%02d", source.year, source.month, source.day)},
      {"type", Text(EclipseTypeId(source.eclipseType))},
      {"type_name", Text(Latin1ToUtf8(EclipseTypeName(source.eclipseType, language)))},
      {"saros", source.sarosNumber},
      {"saros_member", source.sarosMember},
      {"saros_member_count", source.sarosMemberCount},
      {"delta_t_s", Rounded(source.modelDeltaTSeconds, 1)},
      {"time_scale", source.universalTime ? "UT" : "TT"},
  };
  if (source.greatestJulianDayTT) {
    member["greatest_eclipse_tt"] = Text(IsoInstant(*source.greatestJulianDayTT));
    member["greatest_eclipse_ut"] =
        Text(IsoInstant(*source.greatestJulianDayTT - source.modelDeltaTSeconds / 86400.0));
  }
  return member;
}

}  // namespace

QByteArray GeoJsonForEclipse(const GisSource& source, int language) {
  const GisLayers layers = BuildGisLayers(source);
  QJsonArray features;
  for (const Zone& zone : layers.zones) features.append(ZoneFeature(zone, language));
  for (const GisLine& line : layers.lines) features.append(LineFeature(line, source, language));
  for (const GisEvent& event : source.events) features.append(EventFeature(event, source, language));
  const QJsonObject collection{{"type", "FeatureCollection"},
                               {"darvelle", EclipseMember(source, language)},
                               {"features", features}};
  return QJsonDocument(collection).toJson(QJsonDocument::Compact);
}

QByteArray GeoJsonForEclipse(const EclipseComputation& computation, int language) {
  return GeoJsonForEclipse(GisSourceFrom(computation), language);
}

void WriteGeoJsonFile(const std::filesystem::path& file, const EclipseComputation& computation,
                      int language) {
  WriteGisFile(file, GeoJsonForEclipse(computation, language));
}

}  // namespace darvelle
