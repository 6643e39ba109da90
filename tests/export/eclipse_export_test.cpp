// GeoJSON and KML of real eclipses read back: the structure each kind of
// eclipse calls for, lines that never jump across the map, valid closed
// path polygons, and places known to lie inside or outside the paths.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>

#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "catalogue/eclipse_texts.h"
#include "export/geojson_export.h"
#include "export/gis_source.h"
#include "export/kml_export.h"
#include "plane_checks.h"

namespace darvelle {
namespace {

using darvelle::testing::CrossingEdgePairs;
using darvelle::testing::InsideAny;
using darvelle::testing::Ring;

constexpr int k2011Jun01Partial = 16661;
constexpr int k2012May20Annular = 16664;  // crosses the antimeridian
constexpr int k2013Nov03Hybrid = 16667;
constexpr int k2014Apr29NonCentralAnnular = 16668;
constexpr int k2024Apr08Total = 16690;
constexpr int kMinus584May28Total = 10507;  // Thales' eclipse

const Catalogue& TestCatalogue() {
  static const Catalogue catalogue = LoadCatalogue(
      std::filesystem::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName));
  return catalogue;
}

// Each eclipse is computed once for all tests.
const EclipseResult& Computed(int index) {
  static std::map<int, std::unique_ptr<EclipseResult>> cache;
  auto& slot = cache[index];
  if (!slot) {
    slot = std::make_unique<EclipseResult>();
    *slot = ComputeEclipse(PrepareEclipse(TestCatalogue(), index, TimeScale::kUniversal, 1));
  }
  return *slot;
}

QJsonObject GeoJson(int index, Language language = kEnglish) {
  QJsonParseError error;
  const QJsonDocument doc =
      QJsonDocument::fromJson(GeoJsonForEclipse(Computed(index), language), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
  return doc.object();
}

std::vector<QJsonObject> Features(const QJsonObject& collection, const char* key) {
  std::vector<QJsonObject> found;
  for (const QJsonValue& f : collection["features"].toArray()) {
    if (f.toObject()["properties"].toObject().contains(key)) found.push_back(f.toObject());
  }
  return found;
}

Ring RingOf(const QJsonArray& positions) {
  Ring ring;
  for (const QJsonValue& p : positions) {
    ring.emplace_back(p.toArray()[0].toDouble(), p.toArray()[1].toDouble());
  }
  return ring;
}

// The exterior rings of a Polygon or MultiPolygon.
std::vector<Ring> ExteriorRings(const QJsonObject& geometry) {
  std::vector<Ring> rings;
  const QJsonArray coordinates = geometry["coordinates"].toArray();
  if (geometry["type"].toString() == "Polygon") {
    rings.push_back(RingOf(coordinates[0].toArray()));
  } else {
    for (const QJsonValue& polygon : coordinates) rings.push_back(RingOf(polygon.toArray()[0].toArray()));
  }
  return rings;
}

std::vector<Ring> LineParts(const QJsonObject& geometry) {
  std::vector<Ring> parts;
  const QJsonArray coordinates = geometry["coordinates"].toArray();
  if (geometry["type"].toString() == "LineString") {
    parts.push_back(RingOf(coordinates));
  } else {
    for (const QJsonValue& part : coordinates) parts.push_back(RingOf(part.toArray()));
  }
  return parts;
}

std::vector<Ring> Zone(const QJsonObject& collection, const QString& zoneId) {
  for (const QJsonObject& f : Features(collection, "zone")) {
    if (f["properties"].toObject()["zone"].toString() == zoneId) {
      return ExteriorRings(f["geometry"].toObject());
    }
  }
  ADD_FAILURE() << "no zone " << zoneId.toStdString();
  return {};
}

struct Expected {
  int index;
  std::set<QString> zones;
  bool centralLine;
  std::size_t events;  // the event points the computation found, greatest duration included
};

const Expected kExpected[] = {
    {k2024Apr08Total, {"path_of_totality", "partial_zone"}, true, 20},
    {k2012May20Annular, {"path_of_annularity"}, true, 16},
    {k2013Nov03Hybrid, {"path_of_hybrid_eclipse", "partial_zone"}, true, 20},
    // Only the southern penumbral limit reaches the Earth: no partial zone.
    {k2011Jun01Partial, {}, false, 4},
    // One umbral limit, no central line: no path.
    {k2014Apr29NonCentralAnnular, {}, false, 8},
};

TEST(GeoJsonExport, EachKindOfEclipseHasItsAreasCurvesAndEvents) {
  for (const Expected& e : kExpected) {
    SCOPED_TRACE(e.index);
    const QJsonObject collection = GeoJson(e.index);
    EXPECT_EQ(collection["type"].toString(), "FeatureCollection");
    EXPECT_EQ(collection["darvelle"].toObject()["catalogue_index"].toInt(), e.index);
    std::set<QString> zones;
    for (const QJsonObject& f : Features(collection, "zone")) {
      zones.insert(f["properties"].toObject()["zone"].toString());
    }
    EXPECT_EQ(zones, e.zones);
    bool centralLine = false;
    for (const QJsonObject& f : Features(collection, "curve")) {
      centralLine |= f["properties"].toObject()["curve"].toString() == "central_line";
    }
    EXPECT_EQ(centralLine, e.centralLine);
    EXPECT_EQ(Features(collection, "event").size(), e.events);
  }
}

TEST(GeoJsonExport, NoLineJumpsAcrossTheMapAndEveryCoordinateIsOnIt) {
  for (const Expected& e : kExpected) {
    SCOPED_TRACE(e.index);
    for (const QJsonObject& f : Features(GeoJson(e.index), "curve")) {
      // The timed umbra outlines are areas, checked with the others below.
      if (f["properties"].toObject()["curve"].toString() == "umbra_outline") continue;
      for (const Ring& part : LineParts(f["geometry"].toObject())) {
        ASSERT_GE(part.size(), 2u);
        for (std::size_t i = 0; i < part.size(); ++i) {
          EXPECT_LE(std::fabs(part[i].first), 180.0);
          EXPECT_LE(std::fabs(part[i].second), 90.0);
          if (i > 0) {
            EXPECT_LE(std::fabs(part[i].first - part[i - 1].first), 180.0);
          }
        }
      }
    }
  }
}

TEST(GeoJsonExport, EveryAreaIsClosedAndValid) {
  for (const Expected& e : kExpected) {
    SCOPED_TRACE(e.index);
    const QJsonObject collection = GeoJson(e.index);
    std::vector<QJsonObject> areas = Features(collection, "zone");
    for (const QJsonObject& f : Features(collection, "curve")) {
      if (f["properties"].toObject()["curve"].toString() == "umbra_outline") areas.push_back(f);
    }
    for (const QJsonObject& f : areas) {
      const std::vector<Ring> rings = ExteriorRings(f["geometry"].toObject());
      ASSERT_FALSE(rings.empty());
      for (const Ring& ring : rings) {
        ASSERT_GE(ring.size(), 4u);
        EXPECT_EQ(ring.front(), ring.back());
        EXPECT_GT(darvelle::testing::TwiceSignedArea(ring), 0.0) << "counter-clockwise";
      }
      EXPECT_EQ(CrossingEdgePairs(rings), 0)
          << f["properties"].toObject()["zone"].toString().toStdString();
    }
  }
}

struct Place {
  const char* name;
  double latitude, longitude;
  bool inside;
};

struct PathCase {
  int index;
  const char* zone;
  std::vector<Place> places;
};

TEST(GeoJsonExport, KnownPlacesLieInsideOrOutsideThePaths) {
  // Greatest eclipse as published in NASA's eclipse bulletins and Five
  // Millennium Canon (F. Espenak); the towns as reported by observers.
  const PathCase cases[] = {
      {k2024Apr08Total,
       "path_of_totality",
       {{"Dallas", 32.78, -96.80, true},
        {"New York", 40.71, -74.01, false},
        {"greatest eclipse", 25.29, -104.14, true},
        {"Cleveland", 41.50, -81.69, true},
        {"Chicago", 41.88, -87.63, false}}},
      {k2024Apr08Total,
       "partial_zone",
       {{"New York", 40.71, -74.01, true},
        {"Reykjavik", 64.15, -21.94, true},
        {"Tokyo", 35.68, 139.69, false},
        {"Cape Town", -33.92, 18.42, false}}},
      {k2012May20Annular,
       "path_of_annularity",
       {{"Tokyo", 35.68, 139.69, true},
        {"Albuquerque", 35.08, -106.65, true},
        {"greatest eclipse (west of the antimeridian)", 49.08, 176.30, true},
        {"Los Angeles", 34.05, -118.24, false},
        {"Beijing", 39.90, 116.41, false}}},
      {k2013Nov03Hybrid,
       "path_of_hybrid_eclipse",
       {{"greatest eclipse", 3.48, -11.70, true}, {"Nairobi", -1.29, 36.82, false}}},
  };
  for (const PathCase& c : cases) {
    const std::vector<Ring> rings = Zone(GeoJson(c.index), c.zone);
    for (const Place& p : c.places) {
      EXPECT_EQ(InsideAny(rings, p.longitude, p.latitude), p.inside)
          << c.index << " " << c.zone << ": " << p.name;
    }
  }
}

// The central line lies inside the path wherever the Sun is half a degree up
// or more and the path is a kilometre wide: for central eclipses with only
// one umbral limit on the Earth (|gamma| 0.97 to 0.997, total and annular,
// north and south), closed along where the umbra meets the horizon, and for
// hybrids whose limits cross where the path narrows to nothing between the
// annular and the total parts (1804 February 11 and two others).
TEST(GeoJsonExport, TheCentralLineLiesInsideItsPath) {
  for (const int index : {5648, 715, 4222, 9283, 16178, 9935, 19538, k2013Nov03Hybrid}) {
    const QJsonObject collection = GeoJson(index);
    std::vector<Ring> path;
    for (const QJsonObject& f : Features(collection, "zone")) {
      const QString zone = f["properties"].toObject()["zone"].toString();
      if (zone == "partial_zone" || zone == "delta_t_band") continue;
      const std::vector<Ring> rings = ExteriorRings(f["geometry"].toObject());
      path.insert(path.end(), rings.begin(), rings.end());
    }
    ASSERT_FALSE(path.empty()) << index << ": no path";
    int checked = 0;
    for (const QJsonObject& f : Features(collection, "curve")) {
      const QJsonObject properties = f["properties"].toObject();
      if (properties["curve"].toString() != "central_line") continue;
      const QJsonArray vertices = f["geometry"].toObject()["coordinates"].toArray();
      const QJsonArray sun = properties["sun_alt"].toArray();
      const QJsonArray width = properties["width_km"].toArray();
      for (qsizetype k = 0; k < vertices.size(); ++k) {
        if (sun[k].toDouble() < 0.5 || width[k].toDouble() < 1.0) continue;
        ++checked;
        const QJsonArray p = vertices[k].toArray();
        EXPECT_TRUE(InsideAny(path, p[0].toDouble(), p[1].toDouble()))
            << index << ": central-line vertex " << k << " ("
            << properties["central_kind"].toString().toStdString() << ") outside the path";
      }
    }
    EXPECT_GT(checked, 200) << index;
  }
}

TEST(GeoJsonExport, APathOverTheAntimeridianIsCutIntoPolygonsOnBothSides) {
  const std::vector<Ring> rings = Zone(GeoJson(k2012May20Annular), "path_of_annularity");
  ASSERT_GE(rings.size(), 2u);
  bool east = false, west = false;
  for (const Ring& ring : rings) {
    for (const auto& [lon, lat] : ring) {
      east |= lon == 180.0;
      west |= lon == -180.0;
    }
  }
  EXPECT_TRUE(east && west);
}

TEST(GeoJsonExport, CentralLineCarriesItsValuesPerVertex) {
  for (const QJsonObject& f : Features(GeoJson(k2024Apr08Total), "curve")) {
    const QJsonObject properties = f["properties"].toObject();
    if (properties["curve"].toString() != "central_line") continue;
    const qsizetype vertices = f["geometry"].toObject()["coordinates"].toArray().size();
    for (const char* key : {"times_ut", "duration_s", "width_km", "sun_alt"}) {
      EXPECT_EQ(properties[key].toArray().size(), vertices) << key;
    }
    EXPECT_EQ(properties["stroke"].toString(), "#ff0000");
    EXPECT_EQ(properties["central_kind"].toString(), "total");
    // NASA: greatest duration 4m28s and path width 198 km near 25.3 N 104.1 W.
    double longest = 0, widest = 0;
    for (const QJsonValue& d : properties["duration_s"].toArray()) longest = std::max(longest, d.toDouble());
    for (const QJsonValue& w : properties["width_km"].toArray()) widest = std::max(widest, w.toDouble());
    EXPECT_NEAR(longest, 268.0, 3.0);
    EXPECT_NEAR(widest, 198.0, 8.0);
    EXPECT_TRUE(properties["times_ut"].toArray().first().toString().startsWith("2024-04-08T"));
  }
}

TEST(GeoJsonExport, EventsCarryTheirInstantsInBothScales) {
  const QJsonObject collection = GeoJson(k2024Apr08Total);
  for (const QJsonObject& f : Features(collection, "event")) {
    const QJsonObject p = f["properties"].toObject();
    if (p["event"].toString() != "TG0") continue;
    // NASA: greatest eclipse 18:17:20 UT (TD 18:18:29).
    EXPECT_EQ(p["ut"].toString().left(18), "2024-04-08T18:17:2");
    EXPECT_EQ(p["tt"].toString().left(18), "2024-04-08T18:18:2");
    EXPECT_EQ(p["kind"].toString(), "total");
  }
  const QJsonObject member = collection["darvelle"].toObject();
  EXPECT_EQ(member["type"].toString(), "total");
  EXPECT_EQ(member["saros"].toInt(), 139);
  EXPECT_EQ(member["time_scale"].toString(), "UT");
}

TEST(GeoJsonExport, NamesFollowTheLanguage) {
  struct Case {
    Language language;
    const char* umbraLimit;
  };
  const Case cases[] = {{kGerman, "Nördliche Grenze des Kernschattens"},
                        {kEnglish, "Northern limit of the umbra"},
                        {kFrench, "Limite nord de l'ombre"}};
  for (const Case& c : cases) {
    bool found = false;
    for (const QJsonObject& f : Features(GeoJson(k2024Apr08Total, c.language), "curve")) {
      const QJsonObject p = f["properties"].toObject();
      if (p["curve"].toString() == "northern_umbral_limit") {
        EXPECT_EQ(p["name"].toString(), QString::fromUtf8(c.umbraLimit));
        found = true;
      }
    }
    EXPECT_TRUE(found) << LanguageIndex(c.language);
  }
}

TEST(GeoJsonExport, LongitudesTurnWithTheEarthDuringDeltaTInUniversalTime) {
  EclipseResult tt;
  tt = ComputeEclipse(PrepareEclipse(TestCatalogue(), k2024Apr08Total, TimeScale::kTerrestrial, 1));
  auto greatestLongitude = [](const QJsonObject& collection) {
    for (const QJsonObject& f : Features(collection, "event")) {
      if (f["properties"].toObject()["event"].toString() == "TG0") {
        return f["geometry"].toObject()["coordinates"].toArray()[0].toDouble();
      }
    }
    return std::nan("");
  };
  const QJsonObject inTT = QJsonDocument::fromJson(GeoJsonForEclipse(tt, kEnglish)).object();
  const QJsonObject inUT = GeoJson(k2024Apr08Total);
  const double deltaT = inUT["darvelle"].toObject()["delta_t_s"].toDouble();
  // The Earth turns 360 degrees in a sidereal day of 86164.0905 s.
  EXPECT_NEAR(greatestLongitude(inUT) - greatestLongitude(inTT), deltaT * 360.0 / 86164.0905,
              2e-6 + 0.05 * 360.0 / 86164.0905);
  EXPECT_EQ(inTT["darvelle"].toObject()["time_scale"].toString(), "TT");
}

// Placemark counts by folder name, and the styles, of a KML document.
struct KmlSummary {
  std::map<QString, int> placemarksByFolder;
  std::set<QString> styleIds;
  int timeStamps = 0;
  int timeSpans = 0;
  bool wellFormed = false;
};

KmlSummary ReadKml(const QByteArray& bytes) {
  KmlSummary summary;
  QXmlStreamReader xml(bytes);
  QString folder;
  bool folderName = false;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement()) {
      const auto name = xml.name();
      if (name == QStringLiteral("Folder")) folderName = true;
      if (name == QStringLiteral("name") && folderName) {
        folder = xml.readElementText();
        folderName = false;
      }
      if (name == QStringLiteral("Placemark")) ++summary.placemarksByFolder[folder];
      if (name == QStringLiteral("Style") && xml.attributes().hasAttribute("id")) {
        summary.styleIds.insert(xml.attributes().value("id").toString());
      }
      if (name == QStringLiteral("TimeStamp")) ++summary.timeStamps;
      if (name == QStringLiteral("TimeSpan")) ++summary.timeSpans;
    }
  }
  summary.wellFormed = !xml.hasError();
  return summary;
}

// The band of an uncertain DeltaT is the central line turned with the Earth
// through 4 sigma of time: Espenak and Meeus' Table 1 of the Five Millennium
// Canon gives 1.79 degrees of longitude for sigma = 431 s; a recent eclipse
// has no band, and both carry the point of greatest duration.
TEST(GeoJsonExport, AnUncertainDeltaTWidensTheCentralLineIntoABand) {
  for (const int index : {kMinus584May28Total, k2024Apr08Total}) {
    SCOPED_TRACE(index);
    const QJsonObject doc = GeoJson(index);
    std::map<QString, QJsonObject> byId;
    for (const QJsonValue f : doc["features"].toArray()) {
      const QJsonObject p = f.toObject()["properties"].toObject();
      for (const char* key : {"curve", "zone", "event"}) {
        if (p.contains(key)) byId[p[key].toString()] = f.toObject();
      }
    }
    ASSERT_TRUE(byId.count("greatest_duration"));
    EXPECT_GT(byId["greatest_duration"]["properties"].toObject()["duration_s"].toDouble(), 0.0);
    if (index == k2024Apr08Total) {
      EXPECT_FALSE(byId.count("delta_t_band"));
      EXPECT_FALSE(byId.count("central_line_delta_t_low"));
      continue;
    }
    ASSERT_TRUE(byId.count("delta_t_band"));
    ASSERT_TRUE(byId.count("central_line_delta_t_low") && byId.count("central_line_delta_t_high"));
    const QJsonObject low = byId["central_line_delta_t_low"];
    const double sigma = low["properties"].toObject()["delta_t_sigma_s"].toDouble();
    const QJsonArray a = low["geometry"].toObject()["coordinates"].toArray();
    const QJsonArray b =
        byId["central_line_delta_t_high"]["geometry"].toObject()["coordinates"].toArray();
    ASSERT_EQ(a.size(), b.size());
    const double expected = 4.0 * sigma * 1.79 / 431.0;
    for (const qsizetype i : {qsizetype{0}, a.size() / 2, a.size() - 1}) {
      const double width = std::remainder(
          b[i].toArray()[0].toDouble() - a[i].toArray()[0].toDouble(), 360.0);
      EXPECT_NEAR(std::abs(width), expected, 0.01 * expected) << i;
      EXPECT_EQ(a[i].toArray()[1].toDouble(), b[i].toArray()[1].toDouble());
    }
  }
}

TEST(KmlExport, FoldersHoldTheCurvesAreasAndEventsWithTheirStyles) {
  const KmlSummary kml = ReadKml(KmlForEclipse(Computed(k2024Apr08Total), kEnglish));
  ASSERT_TRUE(kml.wellFormed);
  // The umbra every 10 minutes from about 16:40 to 20:20 UT, the penumbra
  // from about 15:50 to 20:50.
  const GisSource source = GisSourceFrom(Computed(k2024Apr08Total));
  const int umbras = static_cast<int>(source.umbraOutlines.size());
  const int penumbras = static_cast<int>(source.penumbraOutlines.size());
  EXPECT_GE(umbras, 20);
  EXPECT_GE(penumbras, 30);
  const std::map<QString, int> expected = {{"Zones", 2},           {"Limits", 4},
                                           {"Central line", 1},    {"Horizon curves", 6},
                                           {"Events", 20}, {"The shadow in time", umbras + penumbras}};
  EXPECT_EQ(kml.placemarksByFolder, expected);
  EXPECT_EQ(kml.timeStamps, 20 + umbras);  // the events and the point of greatest duration
  EXPECT_EQ(kml.timeSpans, penumbras);
  for (const char* style : {"path_of_totality", "partial_zone", "central_line_total",
                            "northern_umbral_limit", "max_at_sunrise"}) {
    EXPECT_TRUE(kml.styleIds.contains(style)) << style;
  }
}

TEST(KmlExport, FolderNamesFollowTheLanguage) {
  const KmlSummary kml = ReadKml(KmlForEclipse(Computed(k2011Jun01Partial), kFrench));
  ASSERT_TRUE(kml.wellFormed);
  EXPECT_EQ(kml.placemarksByFolder.count("Zones"), 0u);
  EXPECT_EQ(kml.placemarksByFolder.at("Limites"), 1);
  EXPECT_EQ(kml.placemarksByFolder.at(QString::fromUtf8("Événements")), 4);
}

TEST(GisExport, AComputationWithNothingComputedGivesEmptyButValidFiles) {
  const EclipseResult nothing;
  const QJsonDocument doc = QJsonDocument::fromJson(GeoJsonForEclipse(nothing, kEnglish));
  ASSERT_TRUE(doc.isObject());
  EXPECT_EQ(doc.object()["type"].toString(), "FeatureCollection");
  EXPECT_TRUE(doc.object()["features"].toArray().isEmpty());
  const KmlSummary kml = ReadKml(KmlForEclipse(nothing, kGerman));
  EXPECT_TRUE(kml.wellFormed);
  EXPECT_TRUE(kml.placemarksByFolder.empty());
}

}  // namespace
}  // namespace darvelle
