#include "ui/legend_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

#include "export/gis_layers.h"
#include "export/gis_texts.h"
#include "render/map.h"
#include "render/map_layers.h"
#include "render/shadow_layer.h"
#include "ui/control_factory.h"
#include "ui/dock_scroller.h"
#include "ui/eclipse_session.h"
#include "ui/languages.h"

namespace darvelle::ui {

namespace {

constexpr int kSwatchHeight = 22;

// What each row shows; its look comes from the drawing's own tables.
enum class Shows { Curve, CentralTotal, CentralAnnular, Marker };

struct RowSource {
  Shows shows;
  MapCurve curve;  // for Curve (the first curve of a group that shares one look)
  MarkerKind marker;
  CentralKind centralKind;
  const char* text[3];  // German, English, French (UTF-8)
};

constexpr RowSource kRows[] = {
    {Shows::Curve, MapCurve::NorthPenumbraLimit, MarkerKind::None, CentralKind::None,
     {"Nord- und Südgrenze der partiellen Finsternis",
      "Northern and southern limits of the partial eclipse",
      "Limites nord et sud de l'éclipse partielle"}},
    {Shows::Curve, MapCurve::NorthUmbraLimit, MarkerKind::None, CentralKind::None,
     {"Grenzen der Zone der Totalität oder Ringförmigkeit",
      "Limits of the path of totality or annularity",
      "Limites de la bande de totalité ou d'annularité"}},
    {Shows::CentralTotal, MapCurve::CentralLine, MarkerKind::None, CentralKind::None,
     {"Zentrallinie, wo die Finsternis total ist", "Central line where the eclipse is total",
      "Ligne centrale là où l'éclipse est totale"}},
    {Shows::CentralAnnular, MapCurve::CentralLine, MarkerKind::None, CentralKind::None,
     {"Zentrallinie, wo die Finsternis ringförmig ist",
      "Central line where the eclipse is annular",
      "Ligne centrale là où l'éclipse est annulaire"}},
    {Shows::Curve, MapCurve::RiseSetCurve1, MarkerKind::None, CentralKind::None,
     {"Beginn oder Ende bei Sonnenaufgang oder Sonnenuntergang",
      "Eclipse begins or ends at sunrise or sunset",
      "L'éclipse commence ou finit au lever ou au coucher du Soleil"}},
    {Shows::Curve, MapCurve::MaxAtSunrise, MarkerKind::None, CentralKind::None,
     {"Maximum bei Sonnenaufgang oder Sonnenuntergang (Sonne am Horizont)",
      "Greatest eclipse at sunrise or sunset (Sun on the horizon)",
      "Maximum au lever ou au coucher du Soleil (Soleil à l'horizon)"}},
    {Shows::Marker, MapCurve::NorthPenumbraLimit, MarkerKind::Contact, CentralKind::None,
     {"Erste und letzte Berührung des Halbschattens mit der Erde (P1, P4)",
      "First and last contact of the penumbra with the Earth (P1, P4)",
      "Premier et dernier contact de la pénombre avec la Terre (P1, P4)"}},
    {Shows::Marker, MapCurve::NorthPenumbraLimit, MarkerKind::InnerContact, CentralKind::None,
     {"Halbschatten ganz auf der Erde ab / bis (P2, P3)",
      "Penumbra wholly on the Earth from / until (P2, P3)",
      "Pénombre entièrement sur la Terre de / jusqu'à (P2, P3)"}},
    {Shows::Marker, MapCurve::NorthPenumbraLimit, MarkerKind::LimitOnLimb, CentralKind::None,
     {"Eine Grenze der partiellen Finsternis beginnt oder endet am Erdrand",
      "A limit of the partial eclipse begins or ends on the Earth's limb",
      "Une limite de l'éclipse partielle commence ou finit au bord de la Terre"}},
    {Shows::Marker, MapCurve::NorthPenumbraLimit, MarkerKind::Greatest, CentralKind::Total,
     {"Anfang und Ende der Zentrallinie, größte Finsternis: total",
      "Start and end of the central line, greatest eclipse: total",
      "Début et fin de la ligne centrale, maximum de l'éclipse : totale"}},
    {Shows::Marker, MapCurve::NorthPenumbraLimit, MarkerKind::Greatest, CentralKind::Annular,
     {"Anfang und Ende der Zentrallinie, größte Finsternis: ringförmig",
      "Start and end of the central line, greatest eclipse: annular",
      "Début et fin de la ligne centrale, maximum de l'éclipse : annulaire"}},
};

constexpr const char* kTitles[3] = {"Legende", "Legend", "Légende"};

// The rows of the optional layers.
constexpr const char* kBordersText[3] = {"Landesgrenzen", "National borders", "Frontières"};
constexpr const char* kOutlinesText[3] = {"Kernschatten alle %1 min, mit Uhrzeit (UT)",
                                          "Umbra every %1 min, with its time (UT)",
                                          "Ombre toutes les %1 min, avec l'heure (UT)"};
constexpr const char* kDeltaTBandText[3] = {
    "Zentrallinie für DeltaT ± 2σ", "Central line for DeltaT ± 2σ", "Ligne centrale pour DeltaT ± 2σ"};
constexpr const char* kTownsText[3] = {"Orte im Pfad mit Dauer", "Towns in the path with durations",
                                       "Villes dans la bande avec durée"};
constexpr const char* kTownNamesText[3] = {"Orte", "Towns", "Villes"};

// Stripes of the coloured Earth under a swatch: sea, land and ice, the
// grounds a curve must read over.
constexpr QRgb kEarthStripes[3] = {qRgb(14, 32, 80), qRgb(88, 112, 58), qRgb(236, 238, 242)};

QString ZoneNameOfBand(QRgb color, Language language) {
  for (ZoneKind kind : {ZoneKind::Totality, ZoneKind::Annularity, ZoneKind::Hybrid, ZoneKind::Partial}) {
    if (ZoneBandColor(kind) == color) return QString::fromUtf8(ZoneName(kind, language));
  }
  return {};
}

LegendRow AreaRow(QRgb fill, std::optional<QRgb> edge = std::nullopt) {
  LegendRow row;
  row.areaFill = fill;
  row.areaEdge = edge;
  return row;
}

std::vector<LegendRow> LayerRows(const LegendLayers& layers, Language language) {
  std::vector<LegendRow> rows;
  const auto add = [&](LegendRow row, QString text) {
    row.text = std::move(text);
    row.coloredEarth = layers.coloredEarth;
    rows.push_back(std::move(row));
  };
  // The path lies on the partial zone where both are drawn: so does its swatch.
  std::optional<QRgb> below;
  for (QRgb color : layers.bands) {
    LegendRow row = AreaRow(color);
    row.areaBelow = below;
    add(row, ZoneNameOfBand(color, language));
    if (color == kPartialZoneColor) below = color;
  }
  if (layers.deltaTBand) {
    add(AreaRow(kDeltaTBandColor, kDeltaTEdgeColor),
        TextIn(kDeltaTBandText, language));
  }
  if (layers.umbraOutlineMinutes > 0) {
    const ShadowLayerStyle style;
    QColor fill = style.Umbra;
    fill.setAlpha(kUmbraOutlineFillAlpha);
    add(AreaRow(fill.rgba(), style.UmbraEdge.rgba()),
        TextIn(kOutlinesText, language).arg(layers.umbraOutlineMinutes));
  }
  if (layers.borders) {
    LegendRow line;
    line.lineColor = kBorderColor;
    add(line, TextIn(kBordersText, language));
  }
  if (layers.towns || layers.townNames) {
    LegendRow town;
    town.townMark = true;
    add(town, TextIn(layers.towns ? kTownsText : kTownNamesText, language));
  }
  return rows;
}

void PaintBackground(QImage& image, bool coloredEarth) {
  if (!coloredEarth) {
    image.fill(QColor(kGlobeBackgroundGrey, kGlobeBackgroundGrey, kGlobeBackgroundGrey));
    return;
  }
  QPainter painter(&image);
  const int w = image.width();
  for (int i = 0; i < 3; ++i) {
    painter.fillRect(QRect(i * w / 3, 0, (i + 1) * w / 3 - i * w / 3, image.height()),
                     QColor::fromRgb(kEarthStripes[i]));
  }
}


LegendRow MakeRow(const RowSource& source, int penWidth, Language language) {
  LegendRow row;
  row.text = TextIn(source.text, language);
  row.lineWidth = CurvePenWidth(source.curve, penWidth);
  row.halo = source.shows != Shows::Marker;
  switch (source.shows) {
    case Shows::Curve: row.lineColor = StyleOf(source.curve).color; break;
    case Shows::CentralTotal: row.lineColor = kCentralTotalColor; break;
    case Shows::CentralAnnular: row.lineColor = kCentralAnnularColor; break;
    case Shows::Marker: row.marker = MarkerLookOf(source.marker, source.centralKind); break;
  }
  return row;
}

}  // namespace

std::vector<LegendRow> LegendRows(int penWidth, Language language, const LegendLayers& layers) {
  const int width = std::clamp(penWidth, 1, 3);
  std::vector<LegendRow> rows;
  for (const RowSource& source : kRows) {
    LegendRow row = MakeRow(source, width, language);
    // The window's coloured globe draws its curves on light halos.
    row.coloredEarth = layers.coloredEarth;
    row.halo = row.halo && layers.coloredEarth;
    rows.push_back(std::move(row));
  }
  for (LegendRow& row : LayerRows(layers, language)) rows.push_back(std::move(row));
  return rows;
}

LegendLayers LegendLayersOf(const SessionResult& result) {
  LegendLayers layers;
  layers.coloredEarth = result.drawnView.ColoredEarth && result.drawnView.CurveHalos;
  if (result.layers == nullptr) return layers;
  const DrawnLayers& drawn = *result.layers;
  layers.borders = drawn.borders != nullptr;
  for (const BandArea& area : drawn.band) {
    if (std::find(layers.bands.begin(), layers.bands.end(), area.color) == layers.bands.end()) {
      layers.bands.push_back(area.color);
    }
  }
  if (!drawn.outlines.empty()) layers.umbraOutlineMinutes = result.state.umbraOutlineMinutes;
  layers.deltaTBand = drawn.deltaTBand.has_value();
  const bool towns = drawn.towns != nullptr && !drawn.towns->empty();
  layers.towns = towns && result.state.townDurations;
  layers.townNames = towns && !result.state.townDurations;
  return layers;
}

QImage LegendSwatch(const LegendRow& row, int height) {
  QImage image(2 * height, height, QImage::Format_RGB32);
  PaintBackground(image, row.coloredEarth);
  QPainter painter(&image);
  const int cx = height, cy = height / 2;
  if (row.areaFill) {
    if (row.areaBelow) painter.fillRect(QRect(2, 3, 2 * height - 4, height - 6), QColor::fromRgba(*row.areaBelow));
    painter.setPen(row.areaEdge ? QPen(QColor::fromRgba(*row.areaEdge), 1) : QPen(Qt::NoPen));
    painter.setBrush(QColor::fromRgba(*row.areaFill));
    painter.drawRect(QRect(2, 3, 2 * height - 5, height - 7));
  } else if (row.townMark) {
    // A dot as the map marks a town, its name beside it.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(QColor(20, 20, 20));
    painter.drawEllipse(QPointF(6.5, cy + 0.5), 3.0, 3.0);
    QFont font = painter.font();
    font.setPixelSize(std::max(8, height / 2));
    painter.setFont(font);
    painter.setPen(QColor(20, 20, 20));
    painter.drawText(QRect(12, 0, 2 * height - 12, height), Qt::AlignVCenter, QStringLiteral("Aa"));
  } else if (row.lineColor) {
    if (row.halo) {
      painter.setPen(QPen(QColor::fromRgba(kCurveHaloColor), row.lineWidth + 2 * kCurveHaloMargin,
                          Qt::SolidLine, Qt::FlatCap));
      painter.drawLine(2, cy, 2 * height - 3, cy);
    }
    painter.setPen(QPen(QColor::fromRgb(*row.lineColor), row.lineWidth, Qt::SolidLine,
                        Qt::FlatCap));
    painter.drawLine(2, cy, 2 * height - 3, cy);
  } else if (row.marker) {
    // The disc as the map draws an event marker.
    const MarkerLook& m = *row.marker;
    painter.setPen(QPen(QColor::fromRgb(m.outline), m.outlineWidth, Qt::SolidLine));
    painter.setBrush(QBrush(QColor::fromRgb(m.fill), Qt::SolidPattern));
    painter.drawEllipse(QRect(cx - m.radius, cy - m.radius, 2 * m.radius, 2 * m.radius));
  }
  return image;
}

LegendPanel::LegendPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("LegendPanel"));
  auto* grid = new QGridLayout(this);
  grid->setColumnStretch(1, 1);
  Rebuild();
}

QString LegendPanel::Title(Language language) { return TextIn(kTitles, language); }

void LegendPanel::setLanguage(Language language) {
  language_ = language;
  Rebuild();
}

void LegendPanel::setPenWidth(int penWidth) {
  penWidth_ = std::clamp(penWidth, 1, 3);
  Rebuild();
}

void LegendPanel::setLayers(const LegendLayers& layers) {
  layers_ = layers;
  Rebuild();
}

void LegendPanel::Rebuild() {
  rows_ = LegendRows(penWidth_, language_, layers_);
  auto* grid = static_cast<QGridLayout*>(layout());
  // Rows are made as the layers first need them and hidden when not drawn.
  while (swatchLabels_.size() < rows_.size()) {
    const int i = static_cast<int>(swatchLabels_.size());
    auto* swatch = new QLabel(this);
    auto* text = new QLabel(this);
    text->setWordWrap(true);
    grid->setRowStretch(i, 0);
    grid->addWidget(swatch, i, 0, Qt::AlignTop);
    grid->addWidget(text, i, 1);
    grid->setRowStretch(i + 1, 1);
    swatchLabels_.push_back(swatch);
    textLabels_.push_back(text);
  }
  for (std::size_t i = 0; i < swatchLabels_.size(); ++i) {
    const bool used = i < rows_.size();
    swatchLabels_[i]->setVisible(used);
    textLabels_[i]->setVisible(used);
    if (!used) continue;
    swatchLabels_[i]->setPixmap(QPixmap::fromImage(LegendSwatch(rows_[i], kSwatchHeight)));
    textLabels_[i]->setText(rows_[i].text);
  }
  setWindowTitle(Title(language_));
}

LegendDock::LegendDock(QWidget* parent) : QDockWidget(LegendPanel::Title(kEnglish), parent), panel_(new LegendPanel) {
  setObjectName(QStringLiteral("LegendDock"));
  setWidget(new DockScroller(panel_));
  setFont(PixelFont(QStringLiteral("Arial"), 14, false));
}

void LegendDock::ShowLanguage(Language language, int penWidth) {
  panel_->setLanguage(language);
  panel_->setPenWidth(penWidth);
  setWindowTitle(LegendPanel::Title(language));
}

}  // namespace darvelle::ui
