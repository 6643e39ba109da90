// The GIS files of one computed eclipse. The record comes from the fuzzer's
// first 668 bytes as in fuzz_computation; the next byte picks the curves'
// resolution and the time scale, the one after the language. A record the
// check accepts must give a GeoJSON document that parses and a KML document
// that an XML reader reads to the end, every position on the globe.

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QXmlStreamReader>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "catalogue/catalogue.h"
#include "catalogue/eclipse_texts.h"
#include "export/geojson_export.h"
#include "export/kml_export.h"
#include "geometry/eclipse_computation.h"
#include "base_record.h"

using namespace darvelle;

namespace {

bool OnTheGlobe(double lon, double lat) {
  return std::fabs(lon) <= 180.0 && std::fabs(lat) <= 90.0;
}

// Every position (an array whose first element is a number) of a GeoJSON
// geometry's coordinates.
void CheckPositions(const QJsonArray& coordinates) {
  if (coordinates.isEmpty()) return;
  if (coordinates.first().isDouble()) {
    if (coordinates.size() < 2) std::abort();
    if (!OnTheGlobe(coordinates[0].toDouble(), coordinates[1].toDouble())) std::abort();
    return;
  }
  for (const QJsonValue& part : coordinates) {
    if (!part.isArray()) std::abort();
    CheckPositions(part.toArray());
  }
}

void CheckGeoJson(const QByteArray& text) {
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
  if (error.error != QJsonParseError::NoError || !doc.isObject()) std::abort();
  const QJsonObject collection = doc.object();
  if (collection["type"].toString() != QStringLiteral("FeatureCollection")) std::abort();
  if (!collection["features"].isArray()) std::abort();
  for (const QJsonValue& feature : collection["features"].toArray()) {
    CheckPositions(feature.toObject()["geometry"].toObject()["coordinates"].toArray());
  }
}

// "lon,lat[,alt]" tuples separated by blanks.
void CheckKmlCoordinates(const QString& text) {
  for (const QString& tuple : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    const QStringList parts = tuple.trimmed().split(QLatin1Char(','));
    bool lonOk = false, latOk = false;
    if (parts.size() < 2) std::abort();
    const double lon = parts[0].toDouble(&lonOk);
    const double lat = parts[1].toDouble(&latOk);
    if (!lonOk || !latOk || !OnTheGlobe(lon, lat)) std::abort();
  }
}

void CheckKml(const QByteArray& text) {
  QXmlStreamReader reader(text);
  bool root = false;
  while (!reader.atEnd()) {
    if (reader.readNext() != QXmlStreamReader::StartElement) continue;
    if (!root && reader.name() != QStringLiteral("kml")) std::abort();
    root = true;
    if (reader.name() == QStringLiteral("coordinates")) {
      CheckKmlCoordinates(reader.readElementText());
    }
  }
  if (reader.hasError() || !root) std::abort();
}

}  // namespace

// libFuzzer calls this by name; declared for -Wmissing-declarations.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  EclipseRecord record = fuzz::BaseRecord();
  std::memcpy(&record, data, size < sizeof record ? size : sizeof record);
  if (RecordProblem(record)) return 0;
  const std::uint8_t choice = size > sizeof record ? data[sizeof record] : 0;
  static constexpr int kResolutions[] = {1, 2, 4, 8, 16, 32};
  const int resolution = kResolutions[(choice >> 1) % 6];
  const TimeScale timeScale = (choice & 1) == 0 ? TimeScale::kUniversal : TimeScale::kTerrestrial;
  const Language language =
      size > sizeof record + 1 ? StoredLanguage(data[sizeof record + 1] % 3).value_or(kEnglish) : kEnglish;

  static EclipseScratch scratch;
  try {
    const Catalogue catalogue({record});
    const EclipseResult c =
        ComputeEclipse(PrepareEclipse(catalogue, 1, timeScale, resolution), scratch);
    CheckGeoJson(GeoJsonForEclipse(c, language));
    CheckKml(KmlForEclipse(c, language));
  } catch (const std::exception&) {
    std::abort();  // a record that passed its checks must compute and export
  }
  return 0;
}
