#include "render/map.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "astro/calendar.h"
#include "astro/format.h"
#include "astro/instant.h"
#include "render/globe_interaction.h"
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
// RK + 1 round the canvas centre ((800, 533) on the default canvas).
QRect GlobeBox(const GlobeProjection& projection) {
  const int rk = projection.RK();
  const MapCanvas& canvas = projection.Canvas();
  return QRect(canvas.CentreX() - 1 - rk, canvas.CentreY() - 1 - rk, 2 * rk + 2, 2 * rk + 2);
}

QImage NewMapImage(const MapCanvas& canvas) {
  QImage image(canvas.width, canvas.height, kMapImageFormat);
  image.fill(Qt::white);
  return image;
}

// A line centred over the picture (x = 800 on the default canvas).
void DrawText(QPainter& painter, int top, const QString& text) {
  const QFontMetrics metrics(painter.font());
  const int left = painter.device()->width() / 2 - metrics.horizontalAdvance(text) / 2;
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
                               .JulianDay(c.timeScale, c.deltaT);
  const CalendarInstant at = JulianDayToCalendar(julianDay);
  const double hours = at.hour + at.minute / 60.0 + at.second / 3600.0;
  const char* month = (at.month >= 1 && at.month <= 12)
                          ? kMonthNames[static_cast<std::size_t>(at.month - 1)]
                          : "";
  const std::string line = std::to_string(at.year) + " " + month + " " +
                           std::to_string(at.day) + "   " + Trimmed(FormatSexagesimal(hours, 0)) +
                           (c.timeScale == TimeScale::kUniversal ? " UT" : " TT");
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

int FitGlobeSize(const EclipseResult& c, const ViewParameters& view, const MapCanvas& canvas) {
  // Margin round the area, in logical pixels, so that the outermost curve
  // does not touch the panel's edge.
  constexpr double kMarginPixels = 16.0;
  // An area that needs less than this much more than the whole globe's
  // size is most of the globe: the whole globe is shown.
  constexpr double kMostOfTheGlobe = 1.25;
  // The extent is taken from at most this many points of a curve: the
  // finest curves hold thousands, a few hundred outline them as well.
  constexpr std::size_t kPointsPerCurve = 400;

  const GlobeProjection projection = ComputeViewAngles(view, ViewCentreOf(c), c.deltaT, canvas);
  const double rk = projection.RK();
  double reachX = 0.0, reachY = 0.0;  // the area's half extent round the centre, in radii
  bool seen = false;
  const auto take = [&](double longitude, double latitude) {
    if (!std::isfinite(longitude) || !std::isfinite(latitude)) return;
    const ProjectedPoint p = ProjectEphemerisPoint(projection, longitude, latitude, c.deltaT);
    if (!p.IsVisible()) return;
    seen = true;
    reachX = std::max(reachX, std::abs(p.ScreenX - projection.CentreX()) / rk);
    reachY = std::max(reachY, std::abs(p.ScreenY - projection.CentreY()) / rk);
  };
  const auto takeCurve = [&](const auto& points) {
    const std::size_t stride = std::max<std::size_t>(1, points.size() / kPointsPerCurve);
    for (std::size_t i = 0; i < points.size(); i += stride) take(points[i].Longitude, points[i].Latitude);
    if (!points.empty()) take(points.back().Longitude, points.back().Latitude);
  };
  const CurveSet& curves = c.curves;
  for (const PointCurve* curve : {&curves.northPenumbra, &curves.northUmbra, &curves.southUmbra,
                                  &curves.southPenumbra, &curves.maxHorizonNorth, &curves.maxHorizonSouth,
                                  &curves.maxSunrise, &curves.maxSunset}) {
    if (curve->Ready()) takeCurve(curves.DrawnPoints(*curve));
  }
  for (const PointCurve& curve : curves.riseSet) {
    if (curve.Ready()) takeCurve(curve.Points());
  }
  if (curves.centralLine.Ready()) takeCurve(curves.centralLine.Points());
  for (const EclipseEvent& e : c.circumstances.events.entries) {
    if (e.exists()) take(e.EphemerisLongitude, e.Latitude);
  }

  const double margin = kMarginPixels * canvas.pixelRatio;
  const double halfWidth = std::max(1.0, canvas.width / 2.0 - margin);
  const double halfHeight = std::max(1.0, canvas.height / 2.0 - margin);
  // The limb lies at RK (orthographic) or, for the near hemisphere, at 2 RK.
  const double limb = view.Stereographic ? 2.0 : 1.0;
  const double whole = std::min(halfWidth, halfHeight) / limb;
  double pixels = whole;
  if (seen) {
    pixels = std::min(reachX > 0.0 ? halfWidth / reachX : INFINITY,
                      reachY > 0.0 ? halfHeight / reachY : INFINITY);
    if (!std::isfinite(pixels)) pixels = whole;  // one point, at the centre
    if (pixels < kMostOfTheGlobe * whole) pixels = std::min(pixels, whole);
  }
  const double size = pixels / (canvas.pixelRatio > 0.0 ? canvas.pixelRatio : 1.0);
  return static_cast<int>(std::clamp(std::floor(size), static_cast<double>(kSmallestGlobeRadius),
                                     static_cast<double>(kLargestGlobeRadius)));
}

MapRenderer::MapRenderer(const MapCanvas& canvas)
    : images_{NewMapImage(canvas), NewMapImage(canvas), NewMapImage(canvas)}, canvas_(canvas) {}

void MapRenderer::SetCanvas(const MapCanvas& canvas) { canvas_ = canvas; }

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
  if (image.width() != canvas_.width || image.height() != canvas_.height) image = NewMapImage(canvas_);
  const int penWidth = std::clamp(view.PenWidth, 1, 3);
  const QColor background(kGlobeBackgroundGrey, kGlobeBackgroundGrey, kGlobeBackgroundGrey);
  const GlobeProjection projection = ComputeViewAngles(view, ViewCentreOf(c), c.deltaT, canvas_);
  lastView_ = projection;
  const QRect globe = GlobeBox(projection);

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
  if (displayWidth != kNoDisplayImage) ShowMap(displayWidth);
  return drawn;
}

void MapRenderer::ShowMap(int panelWidth) {
  // A screen's canvas is the panel itself: the drawing is shown as it is.
  if (!canvas_.IsDefault()) {
    images_[2] = DrawingImage();
    return;
  }
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
