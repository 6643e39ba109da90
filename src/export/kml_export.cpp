#include "export/kml_export.h"

#include <QString>
#include <QXmlStreamWriter>

#include <array>
#include <utility>
#include <string>

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

// KML colours are alpha, blue, green, red in hexadecimal.
QString KmlColor(QRgb color, int alpha) {
  return QString::asprintf("%02x%02x%02x%02x", alpha, qBlue(color), qGreen(color), qRed(color));
}

constexpr int kOpaque = 0xff;
// Over aerial imagery a one-pixel line vanishes: every curve is drawn wide
// with a contrasting rim (Google Earth's gx:outerColor, which other readers
// ignore, leaving the wide line).
const QString kGxNamespace = QStringLiteral("http://www.google.com/kml/ext/2.2");
constexpr int kCurveWidth = 4;
constexpr int kCentralLineWidth = 5;
constexpr double kRimFraction = 0.3;  // of the width, both rims together

// A white rim round dark lines, a black one round light lines (the yellow
// central line), so each stands out from whatever lies under it.
QRgb RimColor(QRgb color) { return qGray(color) < 128 ? 0xffffffffu : 0xff000000u; }

template <typename Points>
QString CoordinatesText(const Points& points) {
  std::string text;
  text.reserve(points.size() * 24);
  for (const GeoPoint& p : points) {
    if (!text.empty()) text += ' ';
    AppendCoordinateText(text, p.LongitudeDeg);
    text += ',';
    AppendCoordinateText(text, p.LatitudeDeg);
  }
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

class KmlDocument {
 public:
  KmlDocument(const GisSource& source, Language language)
      : source_(source), language_(language), layers_(BuildGisLayers(source)), xml_(&bytes_) {}

  QByteArray Write() {
    xml_.setAutoFormatting(true);
    xml_.setAutoFormattingIndent(1);
    xml_.writeStartDocument();
    xml_.writeStartElement("kml");
    xml_.writeDefaultNamespace("http://www.opengis.net/kml/2.2");
    xml_.writeNamespace(kGxNamespace, "gx");
    xml_.writeStartElement("Document");
    xml_.writeTextElement("name", Title());
    xml_.writeTextElement("open", "1");
    WriteStyles();
    // KML has no generator element; the document's own data says who wrote it.
    xml_.writeStartElement("ExtendedData");
    xml_.writeStartElement("Data");
    xml_.writeAttribute("name", "generator");
    xml_.writeTextElement("value", kGeneratorName);
    xml_.writeEndElement();  // Data
    xml_.writeEndElement();  // ExtendedData
    WriteZones();
    WriteLines(GisGroup::Limits);
    WriteLines(GisGroup::CentralLine);
    WriteDeltaTBand();
    WriteLines(GisGroup::HorizonCurves);
    WriteEvents();
    WriteTimedOutlines();
    xml_.writeEndElement();  // Document
    xml_.writeEndElement();  // kml
    xml_.writeEndDocument();
    return bytes_;
  }

 private:
  QString Title() const {
    return Text(Latin1ToUtf8(EclipseTypeName(source_.eclipse.kind, language_)) + " " +
                IsoDate(source_.eclipse));
  }

  void WriteLineStyle(const QString& id, QRgb color, int width) {
    xml_.writeStartElement("Style");
    xml_.writeAttribute("id", id);
    xml_.writeStartElement("LineStyle");
    xml_.writeTextElement("color", KmlColor(color, kOpaque));
    xml_.writeTextElement("width", QString::number(width));
    xml_.writeTextElement(kGxNamespace, "outerColor", KmlColor(RimColor(color), kOpaque));
    xml_.writeTextElement(kGxNamespace, "outerWidth", QString::number(kRimFraction));
    xml_.writeEndElement();
    xml_.writeEndElement();
  }

  void WriteStyles() {
    for (int i = 0; i < kMapCurveCount; ++i) {
      const auto curve = static_cast<MapCurve>(i);
      if (curve == MapCurve::CentralLine) continue;
      WriteLineStyle(Text(CurveId(curve)), StyleOf(curve).color, kCurveWidth);
    }
    WriteLineStyle("central_line_total", kCentralTotalColor, kCentralLineWidth);
    WriteLineStyle("central_line_annular", kCentralAnnularColor, kCentralLineWidth);
    for (ZoneKind kind : {ZoneKind::Totality, ZoneKind::Annularity, ZoneKind::Hybrid,
                          ZoneKind::Partial}) {
      xml_.writeStartElement("Style");
      xml_.writeAttribute("id", Text(ZoneId(kind)));
      xml_.writeStartElement("LineStyle");
      xml_.writeTextElement("color", KmlColor(ZoneColor(kind), kOpaque));
      xml_.writeTextElement("width", "2");
      xml_.writeEndElement();
      xml_.writeStartElement("PolyStyle");
      xml_.writeTextElement("color", KmlColor(ZoneColor(kind), qAlpha(ZoneBandColor(kind))));
      xml_.writeEndElement();
      xml_.writeEndElement();
    }
  }

  void BeginFolder(GisGroup group) {
    xml_.writeStartElement("Folder");
    xml_.writeTextElement("name", Text(GroupName(group, language_)));
  }

  void BeginPlacemark(const QString& name, const QString& style) {
    xml_.writeStartElement("Placemark");
    xml_.writeTextElement("name", name);
    xml_.writeTextElement("styleUrl", "#" + style);
  }

  // One ring as a Polygon on the ground.
  void WritePolygon(const GeoRing& ring) {
    xml_.writeStartElement("Polygon");
    WriteGroundElements();
    xml_.writeStartElement("outerBoundaryIs");
    xml_.writeStartElement("LinearRing");
    xml_.writeTextElement("coordinates", CoordinatesText(ring));
    xml_.writeEndElement();
    xml_.writeEndElement();
    xml_.writeEndElement();
  }

  void WriteGroundElements() {
    xml_.writeTextElement("tessellate", "1");
    xml_.writeTextElement("altitudeMode", "clampToGround");
  }

  // One geometry, or a MultiGeometry of several.
  template <typename Parts, typename WriteOne>
  void WriteParts(const Parts& parts, WriteOne&& writeOne) {
    if (parts.size() > 1) xml_.writeStartElement("MultiGeometry");
    for (const auto& part : parts) writeOne(part);
    if (parts.size() > 1) xml_.writeEndElement();
  }

  void WriteZones() {
    if (layers_.zones.empty()) return;
    BeginFolder(GisGroup::Zones);
    for (const Zone& zone : layers_.zones) {
      BeginPlacemark(Text(ZoneName(zone.kind, language_)), Text(ZoneId(zone.kind)));
      WriteParts(zone.polygons, [&](const GeoRing& ring) { WritePolygon(ring); });
      xml_.writeEndElement();  // Placemark
    }
    xml_.writeEndElement();  // Folder
  }

  // The band where the central line may lie for DeltaT within twice its
  // standard error, and the line at both ends; named by id, with inline
  // styles, so that the shared style list stays as it is.
  void WriteDeltaTBand() {
    if (!source_.deltaTBand) return;
    const GisDeltaTBand& band = *source_.deltaTBand;
    const QString range = "DeltaT " + QString::number(band.LowSeconds, 'f', 1) + " .. " +
                          QString::number(band.HighSeconds, 'f', 1) + " s (sigma " +
                          QString::number(band.SigmaSeconds, 'f', 1) + " s)";
    xml_.writeStartElement("Folder");
    xml_.writeTextElement("name", "delta_t_band");
    const auto begin = [&](const QString& name) {
      xml_.writeStartElement("Placemark");
      xml_.writeTextElement("name", name);
      xml_.writeTextElement("description", range);
      xml_.writeStartElement("Style");
      xml_.writeStartElement("LineStyle");
      xml_.writeTextElement("color", "ffff0080");
      xml_.writeEndElement();
      xml_.writeStartElement("PolyStyle");
      xml_.writeTextElement("color", "26ff0080");
      xml_.writeEndElement();
      xml_.writeEndElement();  // Style
    };
    if (!band.polygons.empty()) {
      begin("delta_t_band");
      WriteParts(band.polygons, [&](const GeoRing& ring) { WritePolygon(ring); });
      xml_.writeEndElement();  // Placemark
    }
    for (const auto& [name, parts] : {std::pair{"central_line_delta_t_low", &band.low},
                                      std::pair{"central_line_delta_t_high", &band.high}}) {
      if (parts->empty()) continue;
      begin(name);
      WriteParts(*parts, [&](const GeoLine& part) {
        xml_.writeStartElement("LineString");
        WriteGroundElements();
        xml_.writeTextElement("coordinates", CoordinatesText(part));
        xml_.writeEndElement();
      });
      xml_.writeEndElement();  // Placemark
    }
    xml_.writeEndElement();  // Folder
  }

  void WriteLines(GisGroup group) {
    bool open = false;
    for (const GisLine& line : layers_.lines) {
      if (GroupOf(line.curve) != group) continue;
      if (!open) BeginFolder(group);
      open = true;
      const QString style =
          line.curve != MapCurve::CentralLine ? Text(CurveId(line.curve))
          : line.centralKind == CentralKind::Annular ? QString("central_line_annular")
                                                : QString("central_line_total");
      BeginPlacemark(Text(CurveName(line.curve, language_)), style);
      WriteParts(line.parts, [&](const GeoLine& part) {
        xml_.writeStartElement("LineString");
        WriteGroundElements();
        xml_.writeTextElement("coordinates", CoordinatesText(part));
        xml_.writeEndElement();
      });
      xml_.writeEndElement();  // Placemark
    }
    if (open) xml_.writeEndElement();  // Folder
  }

  QString EventDescription(const GisEvent& event, const QString& ut, const QString& tt) const {
    const bool german = language_ == kGerman;
    const bool french = language_ == kFrench;
    const QString kindLabel = german ? "Art" : french ? "Type" : "Kind";
    return "<table><tr><td>UT</td><td>" + ut + "</td></tr><tr><td>TT</td><td>" + tt +
           "</td></tr><tr><td>" + kindLabel + "</td><td>" +
           Text(CentralKindId(LocalCentralKind(source_, event))) + "</td></tr></table>";
  }

  void WriteEvents() {
    if (source_.events.empty()) return;
    BeginFolder(GisGroup::Events);
    for (const GisEvent& event : source_.events) {
      const QString ut =
          Text(IsoInstant(UniversalFromTerrestrial(event.JulianDayTT, source_.modelDeltaTSeconds)));
      const QString tt = Text(IsoInstant(event.JulianDayTT));
      xml_.writeStartElement("Placemark");
      xml_.writeTextElement("name", Text(EventCode(event.Id)));
      xml_.writeStartElement("description");
      xml_.writeCDATA("<b>" + Text(EventName(event.Id, language_)) + "</b>" +
                      EventDescription(event, ut, tt));
      xml_.writeEndElement();
      xml_.writeStartElement("TimeStamp");
      xml_.writeTextElement("when", ut);
      xml_.writeEndElement();
      xml_.writeStartElement("Style");
      xml_.writeStartElement("IconStyle");
      xml_.writeTextElement("color", KmlColor(EventColor(event.Id, LocalCentralKind(source_, event)), kOpaque));
      xml_.writeEndElement();
      xml_.writeEndElement();
      xml_.writeStartElement("Point");
      xml_.writeTextElement("coordinates",
                            CoordinatesText(std::array<GeoPoint, 1>{event.Where}));
      xml_.writeEndElement();
      xml_.writeEndElement();  // Placemark
    }
    if (source_.greatestDuration) WriteGreatestDuration(*source_.greatestDuration);
    xml_.writeEndElement();  // Folder
  }

  // Among the events, named by its id as they are by their codes.
  void WriteGreatestDuration(const GisGreatestDuration& g) {
    const QString ut = UtOf(g.JulianDayTT);
    xml_.writeStartElement("Placemark");
    xml_.writeTextElement("name", "greatest_duration");
    xml_.writeStartElement("description");
    xml_.writeCDATA("<b>" + Text(GreatestDurationName(language_)) + "</b><table><tr><td>UT</td><td>" +
                    ut + "</td></tr><tr><td>TT</td><td>" + Text(IsoInstant(g.JulianDayTT)) +
                    "</td></tr><tr><td>duration_s</td><td>" + QString::number(g.DurationS, 'f', 1) +
                    "</td></tr><tr><td>width_km</td><td>" +
                    (g.WidthKm ? QString::number(*g.WidthKm, 'f', 1) : QString("-")) +
                    "</td></tr><tr><td>sun_alt</td><td>" + QString::number(g.SunAltitudeDeg, 'f', 1) +
                    "</td></tr></table>");
    xml_.writeEndElement();
    xml_.writeStartElement("ExtendedData");
    const auto data = [&](const char* name, const QString& value) {
      xml_.writeStartElement("Data");
      xml_.writeAttribute("name", name);
      xml_.writeTextElement("value", value);
      xml_.writeEndElement();
    };
    data("event", "greatest_duration");
    data("lat", QString::number(g.Where.LatitudeDeg, 'f', 4));
    data("lon", QString::number(g.Where.LongitudeDeg, 'f', 4));
    data("ut", ut);
    data("duration_s", QString::number(g.DurationS, 'f', 1));
    if (g.WidthKm) data("width_km", QString::number(*g.WidthKm, 'f', 1));
    data("sun_alt", QString::number(g.SunAltitudeDeg, 'f', 1));
    xml_.writeEndElement();  // ExtendedData
    xml_.writeStartElement("TimeStamp");
    xml_.writeTextElement("when", ut);
    xml_.writeEndElement();
    xml_.writeStartElement("Point");
    xml_.writeTextElement("coordinates", CoordinatesText(std::array<GeoPoint, 1>{g.Where}));
    xml_.writeEndElement();
    xml_.writeEndElement();  // Placemark
  }

  QString UtOf(double julianDayTT) const {
    return Text(IsoInstant(UniversalFromTerrestrial(julianDayTT, source_.modelDeltaTSeconds)));
  }

  // The shadow every few minutes for Google Earth's time slider: each
  // umbra's area at its instant, each penumbra's outline until the next.
  void WriteTimedOutlines() {
    if (source_.umbraOutlines.empty() && source_.penumbraOutlines.empty()) return;
    const bool german = language_ == kGerman, french = language_ == kFrench;
    xml_.writeStartElement("Folder");
    xml_.writeTextElement("name", german ? "Schatten im Lauf der Zeit"
                                  : french ? "L'ombre au fil du temps"
                                           : "The shadow in time");
    const QString umbra = german ? "Kernschatten" : french ? "Ombre" : "Umbra";
    for (const TimedArea& area : source_.umbraOutlines) {
      const QString ut = UtOf(area.JulianDayTT);
      xml_.writeStartElement("Placemark");
      xml_.writeTextElement("name", umbra + " " + ut);
      xml_.writeStartElement("TimeStamp");
      xml_.writeTextElement("when", ut);
      xml_.writeEndElement();
      WriteOutlineStyle(0xff000000u, 0x80000000u);
      WriteParts(area.polygons, [&](const GeoRing& ring) { WritePolygon(ring); });
      xml_.writeEndElement();  // Placemark
    }
    const QString penumbra = german ? "Halbschatten" : french ? "P\u00e9nombre" : "Penumbra";
    for (const TimedLine& line : source_.penumbraOutlines) {
      xml_.writeStartElement("Placemark");
      xml_.writeTextElement("name", penumbra + " " + UtOf(line.JulianDayTT));
      xml_.writeStartElement("TimeSpan");
      xml_.writeTextElement("begin", UtOf(line.JulianDayTT));
      xml_.writeTextElement("end", UtOf(line.JulianDayTT + kOutlineStepMinutes / 1440.0));
      xml_.writeEndElement();
      WriteOutlineStyle(0xffffc828u, 0);
      WriteParts(line.parts, [&](const GeoLine& part) {
        xml_.writeStartElement("LineString");
        WriteGroundElements();
        xml_.writeTextElement("coordinates", CoordinatesText(part));
        xml_.writeEndElement();
      });
      xml_.writeEndElement();  // Placemark
    }
    xml_.writeEndElement();  // Folder
  }

  // An inline style: the line's colour, and the fill's where there is one
  // (KML writes aabbggrr).
  void WriteOutlineStyle(QRgb line, QRgb fill) {
    xml_.writeStartElement("Style");
    xml_.writeStartElement("LineStyle");
    xml_.writeTextElement("color", KmlColor(line, qAlpha(line)));
    xml_.writeTextElement("width", "2");
    xml_.writeEndElement();
    if (fill != 0) {
      xml_.writeStartElement("PolyStyle");
      xml_.writeTextElement("color", KmlColor(fill, qAlpha(fill)));
      xml_.writeEndElement();
    }
    xml_.writeEndElement();
  }

  const GisSource& source_;
  const Language language_;
  const GisLayers layers_;
  QByteArray bytes_;
  QXmlStreamWriter xml_;
};

}  // namespace

QByteArray KmlForEclipse(const GisSource& source, Language language) {
  return KmlDocument(source, language).Write();
}

QByteArray KmlForEclipse(const EclipseResult& computation, Language language) {
  return KmlForEclipse(GisSourceFrom(computation), language);
}

void WriteKmlFile(const std::filesystem::path& file, const GisSource& source, Language language) {
  WriteGisFile(file, KmlForEclipse(source, language));
}

void WriteKmlFile(const std::filesystem::path& file, const EclipseResult& computation,
                  Language language) {
  WriteGisFile(file, KmlForEclipse(computation, language));
}

}  // namespace darvelle
