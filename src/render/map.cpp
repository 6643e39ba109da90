#include "render/map.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <stdexcept>

#include "astro/calendar.h"
#include "astro/format.h"
#include "astro/instant.h"
#include "render/shadow_layer.h"
#include "render/texture.h"

namespace darvelle {

namespace {

const QChar kDegree(0x00B0);

constexpr std::array<const char*, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

// Font sizes are given in points at the 96 dpi the map was designed for;
// the images have no resolution of their own, so sizes become pixels here.
int PointsToPixels(int points) { return (points * 96 + 36) / 72; }

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

// The globe's bounding box in the drawing's own coordinates: a disc of radius
// RK + 1 round the centre (800, 533).
QRect GlobeBox(int rk) {
  return QRect(kGlobeCentreX - 1 - rk, kGlobeCentreY - 1 - rk, 2 * rk + 2, 2 * rk + 2);
}

QImage NewMapImage() {
  QImage image(kMapWidth, kMapHeight, kMapImageFormat);
  image.fill(Qt::white);
  return image;
}

void DrawText(QPainter& painter, int top, const QString& text) {
  const QFontMetrics metrics(painter.font());
  const int left = kGlobeCentreX - metrics.horizontalAdvance(text) / 2;
  painter.drawText(left, top + metrics.ascent(), text);
}

}  // namespace

ViewEditTexts ViewEditTexts::FromParameters(const ViewParameters& view) {
  // A negative zero reads "0.0", as the buttons write it.
  const auto angle = [](double degrees) { return FixedText(degrees == 0.0 ? 0.0 : degrees, 1); };
  return {angle(view.Psi), angle(view.Phi), angle(view.Chi), std::to_string(view.RK)};
}

QString LegendDateLine(const EclipseResult& c) {
  const double julianDay = Instant::FromEpochHours(c.elements.julianDay, c.circumstances.timeGreatest)
                               .JulianDay(c.universalTime ? TimeScale::kUniversal : TimeScale::kTerrestrial, c.deltaT);
  const CalendarInstant at = JulianDayToCalendar(julianDay);
  const double hours = at.hour + at.minute / 60.0 + at.second / 3600.0;
  const char* month = (at.month >= 1 && at.month <= 12)
                          ? kMonthNames[static_cast<std::size_t>(at.month - 1)]
                          : "";
  const std::string line = std::to_string(at.year) + " " + month + " " +
                           std::to_string(at.day) + "   " + Trimmed(FormatSexagesimal(hours, 0)) +
                           (c.universalTime ? " UT" : " TT");
  return QString::fromStdString(line);
}

QString LegendViewLine(const GlobeProjection& view, const ViewEditTexts& edits) {
  QString line = edits.ViewTurned() ? QStringLiteral("View initially centered at longitude ")
                                    : QStringLiteral("View centered at longitude ");
  line += QString::fromStdString(FixedText(view.TotalPsi() * 180.0 / kPi, 2));
  line += kDegree + QStringLiteral(" / latitude ");
  line += QString::fromStdString(FixedText(view.TotalPhi() * 180.0 / kPi, 2));
  line += kDegree + QStringLiteral("   ");
  line += view.Stereographic() ? QStringLiteral("Stereographic representation")
                               : QStringLiteral("Orthographic representation");
  return line;
}

QString LegendStateLine(const ViewEditTexts& edits) {
  const auto text = [](const std::string& s) { return QString::fromStdString(s); };
  return QStringLiteral("Darvelle graphics state  Psi ") + text(edits.psi) + kDegree +
         QStringLiteral("  Phi ") + text(edits.phi) + kDegree + QStringLiteral("  Chi ") +
         text(edits.chi) + kDegree + QStringLiteral("  Globe size ") + text(edits.rk) +
         QStringLiteral(" pixels");
}

QString LegendFontFamily() {
  const QStringList families = QFontDatabase::families();
  for (const QString& wanted : {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}) {
    if (families.contains(wanted, Qt::CaseInsensitive)) return wanted;
  }
  // Neither is installed: fontconfig's substitute for Arial is the best left.
  return QStringLiteral("Arial");
}

ViewCentre ViewCentreOf(const EclipseResult& c) {
  const EclipseEvent& tg0 = c.circumstances.events[EventId::TG0];
  ViewCentre centre;
  centre.central = tg0.exists();
  centre.tg0EphemerisLongitude = tg0.EphemerisLongitude;
  centre.tg0Latitude = tg0.Latitude;
  centre.mu = c.atGreatest.Mu;
  centre.gamma = c.elements.gamma;
  return centre;
}

MapRenderer::MapRenderer() : images_{NewMapImage(), NewMapImage(), NewMapImage()} {}

DrawnCurves MapRenderer::DrawMap(const EclipseResult& c, const ViewParameters& view,
                                 const EarthTexture& texture, const CoastlineLayer& coastlines,
                                 int displayWidth) {
  return DrawMap(c, view, texture, coastlines, MapLayers{}, displayWidth);
}

DrawnCurves MapRenderer::DrawMap(const EclipseResult& c, const ViewParameters& view,
                                 const EarthTexture& texture, const CoastlineLayer& coastlines,
                                 const MapLayers& layers, int displayWidth) {
  drawIndex_ = 1 - drawIndex_;
  QImage& image = images_[static_cast<std::size_t>(drawIndex_)];
  const int penWidth = std::clamp(view.PenWidth, 1, 3);
  const QColor background(kGlobeBackgroundGrey, kGlobeBackgroundGrey, kGlobeBackgroundGrey);
  const GlobeProjection projection = ComputeViewAngles(view, ViewCentreOf(c), c.deltaT);
  lastView_ = projection;
  const QRect globe = GlobeBox(projection.RK());

  if (view.Stereographic) {
    image.fill(background);
  } else {
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QPen(background, 1));
    painter.setBrush(QBrush(background, Qt::SolidPattern));
    painter.drawEllipse(globe);
  }

  if (view.ColoredEarth) RenderTextureInBlocks(image, texture, projection, textureStep_);
  DrawGraticule(image, projection, view.ColoredEarth);
  const bool zoomed = layers.zoomCoast != nullptr && CoastTierForRadius(projection.RK());
  if (zoomed) {
    DrawZoomLines(image, projection, layers.zoomCoast->Shores(), qRgb(0, 0, 0));
  } else {
    DrawCoastlines(image, projection, coastlines);
  }
  if (!layers.band.empty()) DrawBand(image, projection, layers.band);
  if (layers.deltaTBand != nullptr) DrawDeltaTBand(image, projection, *layers.deltaTBand);
  if (layers.borders != nullptr && zoomed) {
    DrawZoomLines(image, projection, layers.zoomCoast->Borders(), kBorderColor);
  } else if (layers.borders != nullptr) {
    DrawBorders(image, projection, *layers.borders);
  }
  if (view.ColoredEarth && view.CurveHalos) {
    DrawCurveHalos(image, c.curves, c.circumstances.events, c.deltaT, penWidth, projection);
  }
  const DrawnCurves drawn =
      DrawCurves(image, c.curves, c.circumstances.events, c.deltaT, penWidth, projection);
  if (c.circumstances.complete) {
    DrawEventMarkers(image, c.circumstances.events, c.deltaT, projection);
  }
  if (!layers.umbraOutlines.empty()) {
    DrawUmbraOutlines(image, projection, layers.umbraOutlines, c.modelDeltaT);
  }
  lastLabels_.clear();
  if (!layers.towns.empty()) {
    lastLabels_ = PlaceTownLabels(layers.towns, projection, image.size());
    DrawTownLabels(image, lastLabels_);
  }

  if (!view.Stereographic) {
    QPainter painter(&image);
    painter.setPen(QPen(QColor(kGlobeOutlineGrey, kGlobeOutlineGrey, kGlobeOutlineGrey), 1,
                        Qt::SolidLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(globe);
  }
  ShowMap(displayWidth);
  return drawn;
}

void MapRenderer::ShowMap(int panelWidth) {
  const int width = std::max(kMinDisplayWidth, std::min(kMaxDisplayWidth, panelWidth));
  const int height = width * 4 / 6;
  // Qt's area-averaging scaler has a fast path for 32-bit pixels only; the
  // detour through that format halves the time of this step.
  images_[2] = DrawingImage()
                   .convertToFormat(QImage::Format_RGB32)
                   .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                   .convertToFormat(kMapImageFormat);
}

LegendLines MapRenderer::LegendTexts(const EclipseResult& c, const QString& title,
                                     const ViewEditTexts& edits) const {
  if (!lastView_) throw std::logic_error("the legend needs a drawn map");
  return {title, LegendDateLine(c), LegendViewLine(*lastView_, edits), LegendStateLine(edits)};
}

void MapRenderer::ComposeLegendImage(const EclipseResult& c, const QString& title,
                                     const ViewEditTexts& edits) {
  const LegendLines lines = LegendTexts(c, title, edits);
  const QImage& map = DrawingImage();
  QImage legend(map.width(), map.height() + kLegendExtraHeight, kMapImageFormat);
  legend.fill(Qt::white);
  const int height = legend.height();
  {
    QPainter painter(&legend);
    painter.drawImage(QPoint(0, kLegendMapTop), map);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Qt::black);
    QFont font(LegendFontFamily());
    font.setBold(true);
    font.setPixelSize(PointsToPixels(40));
    painter.setFont(font);
    DrawText(painter, 0, lines.title);
    font.setPixelSize(PointsToPixels(28));
    painter.setFont(font);
    DrawText(painter, 70, lines.date);
    font.setBold(false);
    font.setPixelSize(PointsToPixels(12));
    painter.setFont(font);
    painter.setPen(QColor(128, 128, 128));
    DrawText(painter, height - 65, lines.view);
    DrawText(painter, height - 42, lines.state);
  }
  images_[2] = std::move(legend);
}

}  // namespace darvelle
