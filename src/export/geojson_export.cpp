#include "export/geojson_export.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "astro/instant.h"
#include "catalogue/eclipse_texts.h"
#include "darvelle/version.h"
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

std::string JsonText(const QJsonObject& object) {
  return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

// `value` to `decimals` places; the division by a power of ten gives the
// double nearest the decimal, where a multiplication by 0.1 would not.
double Rounded(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  return std::round(value * scale) / scale;
}

void AppendNumber(std::string& out, double value, int decimals) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  std::array<char, 40> buffer;
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                    Rounded(value, decimals), std::chars_format::general);
  out.append(buffer.data(), result.ptr);
}

// Per-vertex values of the central line, in the order of all its parts'
// vertices, as members of the properties object (written as text, as the
// coordinates are).
std::string VertexValueMembers(const std::vector<GeoLine>& parts, double deltaTSeconds) {
  struct Column {
    const char* key;
    double GeoVertex::*value;
    int decimals;
  };
  const Column columns[] = {{"duration_s", &GeoVertex::DurationSeconds, 1},
                            {"width_km", &GeoVertex::WidthKm, 1},
                            {"sun_alt", &GeoVertex::SunAltitudeDeg, 2}};
  std::string out = R"("times_ut":[)";
  bool first = true;
  for (const GeoLine& part : parts) {
    for (const GeoVertex& v : part) {
      if (!first) out += ',';
      first = false;
      out += '"' + IsoInstant(UniversalFromTerrestrial(v.JulianDayTT, deltaTSeconds)) + '"';
    }
  }
  out += ']';
  for (const Column& column : columns) {
    out += std::string(",\"") + column.key + "\":[";
    first = true;
    for (const GeoLine& part : parts) {
      for (const GeoVertex& v : part) {
        if (!first) out += ',';
        first = false;
        AppendNumber(out, v.*column.value, column.decimals);
      }
    }
    out += ']';
  }
  return out;
}

// A feature; `moreProperties` are members written as text, added at the end.
std::string Feature(const std::string& geometry, const QJsonObject& properties,
                    const std::string& moreProperties = {}) {
  std::string propertiesText = JsonText(properties);
  if (!moreProperties.empty()) {
    propertiesText.pop_back();  // the closing brace
    propertiesText += ',' + moreProperties + '}';
  }
  return R"({"type":"Feature","geometry":)" + geometry + R"(,"properties":)" + propertiesText +
         '}';
}

std::string LineFeature(const GisLine& line, const GisSource& source, Language language) {
  QJsonObject properties{
      {"curve", Text(CurveId(line.curve))},
      {"name", Text(CurveName(line.curve, language))},
      {"stroke", HexColor(line.color)},
      {"stroke-width", line.curve == MapCurve::CentralLine ? 2 : 1},
  };
  if (line.curve != MapCurve::CentralLine) {
    return Feature(GeoJsonLineGeometry(line.parts), properties);
  }
  properties["central_kind"] = Text(CentralKindId(line.centralKind));
  return Feature(GeoJsonLineGeometry(line.parts), properties,
                 VertexValueMembers(line.parts, source.modelDeltaTSeconds));
}

std::string ZoneFeature(const Zone& zone, Language language) {
  return Feature(GeoJsonAreaGeometry(zone.polygons),
                 {{"zone", Text(ZoneId(zone.kind))},
                  {"name", Text(ZoneName(zone.kind, language))},
                  {"stroke", HexColor(ZoneColor(zone.kind))},
                  {"fill", HexColor(ZoneColor(zone.kind))},
                  {"fill-opacity", std::round(qAlpha(ZoneBandColor(zone.kind)) / 2.55) / 100.0}});
}

std::string EventFeature(const GisEvent& event, const GisSource& source, Language language) {
  const CentralKind kind = LocalCentralKind(source, event);
  return Feature(GeoJsonPointGeometry(event.Where),
                 {{"event", Text(EventCode(event.Id))},
                  {"name", Text(EventName(event.Id, language))},
                  {"ut", Text(IsoInstant(UniversalFromTerrestrial(event.JulianDayTT, source.modelDeltaTSeconds)))},
                  {"tt", Text(IsoInstant(event.JulianDayTT))},
                  {"kind", Text(CentralKindId(kind))},
                  {"marker-color", HexColor(EventColor(event.Id, kind))}});
}

// The point of greatest duration, as an event beside the nineteen.
std::string GreatestDurationFeature(const GisGreatestDuration& g, const GisSource& source,
                                    Language language) {
  std::string more = "\"duration_s\":";
  AppendNumber(more, g.DurationS, 1);
  more += ",\"width_km\":";
  if (g.WidthKm) AppendNumber(more, *g.WidthKm, 1); else more += "null";
  more += ",\"sun_alt\":";
  AppendNumber(more, g.SunAltitudeDeg, 1);
  more += ",\"lat\":";
  AppendNumber(more, g.Where.LatitudeDeg, 4);
  more += ",\"lon\":";
  AppendNumber(more, g.Where.LongitudeDeg, 4);
  return Feature(GeoJsonPointGeometry(g.Where),
                 {{"event", "greatest_duration"},
                  {"name", Text(GreatestDurationName(language))},
                  {"ut", Text(IsoInstant(UniversalFromTerrestrial(g.JulianDayTT, source.modelDeltaTSeconds)))},
                  {"tt", Text(IsoInstant(g.JulianDayTT))},
                  {"marker-color", "#ff00ff"}},
                 more);
}

// The central line at both ends of DeltaT's range, and the band between.
void AddDeltaTBandFeatures(const GisDeltaTBand& band, std::vector<std::string>& features) {
  const auto seconds = [](double value) {
    std::string text;
    AppendNumber(text, value, 1);
    return text;
  };
  const std::string members = "\"delta_t_low_s\":" + seconds(band.LowSeconds) +
                              ",\"delta_t_high_s\":" + seconds(band.HighSeconds) +
                              ",\"delta_t_sigma_s\":" + seconds(band.SigmaSeconds);
  if (!band.polygons.empty()) {
    features.push_back(Feature(GeoJsonAreaGeometry(band.polygons),
                               {{"zone", "delta_t_band"},
                                {"stroke", "#8000ff"},
                                {"fill", "#8000ff"},
                                {"fill-opacity", 0.15}},
                               members));
  }
  for (const auto& [id, parts] : {std::pair{"central_line_delta_t_low", &band.low},
                                  std::pair{"central_line_delta_t_high", &band.high}}) {
    if (parts->empty()) continue;
    features.push_back(Feature(GeoJsonLineGeometry(*parts),
                               {{"curve", id}, {"stroke", "#8000ff"}, {"stroke-width", 1}},
                               members));
  }
}

// The umbra at one instant of the path, for a GIS program's time slider.
std::string UmbraOutlineFeature(const TimedArea& area, const GisSource& source, Language language) {
  const char* name = language == kGerman ? "Kernschatten" : language == kFrench ? "Ombre" : "Umbra";
  return Feature(GeoJsonAreaGeometry(area.polygons),
                 {{"curve", "umbra_outline"},
                  {"name", name},
                  {"time_ut", Text(IsoInstant(UniversalFromTerrestrial(area.JulianDayTT, source.modelDeltaTSeconds)))},
                  {"stroke", "#000000"},
                  {"fill", "#000000"},
                  {"fill-opacity", 0.5}});
}

QJsonObject EclipseMember(const GisSource& source, Language language) {
  QJsonObject member{
      {"catalogue_index", source.catalogueIndex},
      {"date", Text(IsoDate(source.eclipse))},
      {"type", Text(EclipseTypeId(source.eclipse.kind))},
      {"type_name", Text(Latin1ToUtf8(EclipseTypeName(source.eclipse.kind, language)))},
      {"saros", source.eclipse.saros},
      {"saros_member", source.eclipse.sarosMember},
      {"saros_member_count", source.eclipse.sarosMemberCount},
      {"delta_t_s", Rounded(source.modelDeltaTSeconds, 1)},
      {"time_scale", source.timeScale == TimeScale::kUniversal ? "UT" : "TT"},
  };
  if (source.greatestJulianDayTT) {
    member["greatest_eclipse_tt"] = Text(IsoInstant(*source.greatestJulianDayTT));
    member["greatest_eclipse_ut"] =
        Text(IsoInstant(UniversalFromTerrestrial(*source.greatestJulianDayTT, source.modelDeltaTSeconds)));
  }
  return member;
}

}  // namespace

QByteArray GeoJsonForEclipse(const GisSource& source, Language language) {
  const GisLayers layers = BuildGisLayers(source);
  std::vector<std::string> features;
  for (const Zone& zone : layers.zones) features.push_back(ZoneFeature(zone, language));
  for (const GisLine& line : layers.lines) features.push_back(LineFeature(line, source, language));
  if (source.deltaTBand) AddDeltaTBandFeatures(*source.deltaTBand, features);
  for (const GisEvent& event : source.events) {
    features.push_back(EventFeature(event, source, language));
  }
  if (source.greatestDuration) {
    features.push_back(GreatestDurationFeature(*source.greatestDuration, source, language));
  }
  for (const TimedArea& area : source.umbraOutlines) {
    features.push_back(UmbraOutlineFeature(area, source, language));
  }
  std::string text = R"({"type":"FeatureCollection","generator":")" + std::string(kGeneratorName) +
                     R"(","darvelle":)" +
                     JsonText(EclipseMember(source, language)) + R"(,"features":[)";
  for (std::size_t i = 0; i < features.size(); ++i) {
    if (i > 0) text += ',';
    text += features[i];
  }
  text += "]}\n";
  return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

QByteArray GeoJsonForEclipse(const EclipseResult& computation, Language language) {
  return GeoJsonForEclipse(GisSourceFrom(computation), language);
}

void WriteGeoJsonFile(const std::filesystem::path& file, const GisSource& source, Language language) {
  WriteGisFile(file, GeoJsonForEclipse(source, language));
}

void WriteGeoJsonFile(const std::filesystem::path& file, const EclipseResult& computation,
                      Language language) {
  WriteGisFile(file, GeoJsonForEclipse(computation, language));
}

}  // namespace darvelle
