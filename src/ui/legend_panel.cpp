#include "ui/legend_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

#include "render/map.h"
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


LegendRow MakeRow(const RowSource& source, int penWidth, int language) {
  LegendRow row;
  row.text = TextIn(source.text, language);
  row.lineWidth = CurvePenWidth(source.curve, penWidth);
  switch (source.shows) {
    case Shows::Curve: row.lineColor = StyleOf(source.curve).color; break;
    case Shows::CentralTotal: row.lineColor = kCentralTotalColor; break;
    case Shows::CentralAnnular: row.lineColor = kCentralAnnularColor; break;
    case Shows::Marker: row.marker = MarkerLookOf(source.marker, source.centralKind); break;
  }
  return row;
}

}  // namespace

std::vector<LegendRow> LegendRows(int penWidth, int language) {
  const int width = std::clamp(penWidth, 1, 3);
  std::vector<LegendRow> rows;
  for (const RowSource& source : kRows) rows.push_back(MakeRow(source, width, language));
  return rows;
}

QImage LegendSwatch(const LegendRow& row, int height) {
  QImage image(2 * height, height, QImage::Format_RGB32);
  image.fill(QColor(kGlobeBackgroundGrey, kGlobeBackgroundGrey, kGlobeBackgroundGrey));
  QPainter painter(&image);
  const int cx = height, cy = height / 2;
  if (row.lineColor) {
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
  const int count = static_cast<int>(std::size(kRows));
  for (int i = 0; i < count; ++i) {
    auto* swatch = new QLabel(this);
    auto* text = new QLabel(this);
    text->setWordWrap(true);
    grid->addWidget(swatch, i, 0, Qt::AlignTop);
    grid->addWidget(text, i, 1);
    swatchLabels_.push_back(swatch);
    textLabels_.push_back(text);
  }
  grid->setRowStretch(count, 1);
  Rebuild();
}

QString LegendPanel::Title(int language) { return TextIn(kTitles, language); }

void LegendPanel::setLanguage(int language) {
  language_ = KnownLanguage(language);
  Rebuild();
}

void LegendPanel::setPenWidth(int penWidth) {
  penWidth_ = std::clamp(penWidth, 1, 3);
  Rebuild();
}

void LegendPanel::Rebuild() {
  rows_ = LegendRows(penWidth_, language_);
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    swatchLabels_[i]->setPixmap(QPixmap::fromImage(LegendSwatch(rows_[i], kSwatchHeight)));
    textLabels_[i]->setText(rows_[i].text);
  }
  setWindowTitle(Title(language_));
}

}  // namespace darvelle::ui
