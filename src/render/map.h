#pragma once
// The map: three off-screen images (two full-size drawing images used in
// turn, and the display image the window shows), the drawing of all layers
// in their fixed order, the scaled copy for the window, and the legend
// picture saved at exit.
//
// Needs a QGuiApplication for the legend's text (fonts); the rest works
// headless on the offscreen platform as well.

#include <QImage>
#include <QString>

#include <array>
#include <optional>
#include <span>
#include <vector>
#include <string>

#include "geometry/eclipse_computation.h"
#include "geometry/timed_outlines.h"
#include "render/coastlines.h"
#include "render/curve_drawing.h"
#include "render/map_layers.h"
#include "render/projection.h"
#include "render/texture_file.h"
#include "render/zoom_coastlines.h"

namespace darvelle {

inline constexpr QImage::Format kMapImageFormat = QImage::Format_RGB888;
inline constexpr int kMinDisplayWidth = 1000;
inline constexpr int kMaxDisplayWidth = 1440;
// A display width that asks DrawMap for no display copy: for a caller that
// saves the drawing or composes the legend itself, which spares the scaling.
inline constexpr int kNoDisplayImage = 0;
inline constexpr int kLegendExtraHeight = 200;  // title and date above, two lines below
inline constexpr int kLegendMapTop = 130;

// Background and outline greys of the globe.
inline constexpr int kGlobeBackgroundGrey = 216;
inline constexpr int kGlobeOutlineGrey = 168;

// The view controls' texts as the user sees them; the legend prints them as
// they stand and tells from them whether the view was turned.
struct ViewEditTexts {
  std::string psi = "0.0";
  std::string phi = "0.0";
  std::string chi = "0.0";
  std::string rk = "500";

  // The texts the angle and size buttons would write for these values (one
  // decimal for the angles, the radius as an integer).
  static ViewEditTexts FromParameters(const ViewParameters& view);
  bool ViewTurned() const { return psi != "0.0" || phi != "0.0" || chi != "0.0"; }
};

// The three text lines of the legend besides the title, for tests and the
// PostScript sheet; ComposeLegendImage draws exactly these.
struct LegendLines {
  QString title;
  QString date;
  QString view;
  QString state;
};

// "2024 April 8   18:17:21 UT": the instant of greatest eclipse.
QString LegendDateLine(const EclipseResult& c);
// "View centered at longitude ...° / latitude ...°   Orthographic representation".
QString LegendViewLine(const GlobeProjection& view, const ViewEditTexts& edits);
// "Darvelle graphics state  Psi 0.0°  Phi 0.0°  Chi 0.0°  Globe size 500 pixels".
QString LegendStateLine(const ViewEditTexts& edits);

// Arial, or its metric twin Liberation Sans where Arial is not installed.
QString LegendFontFamily();

// The view centre an eclipse computation gives the projection.
ViewCentre ViewCentreOf(const EclipseResult& c);

// The globe size (the view's RK) at which the eclipse's drawn area, its
// curves and event points as `view` turns the globe, fills `canvas` short
// of a margin, the globe zoomed about its centre so that the area stays in
// sight. When that area spans most of the globe, or none of it is on the
// near side, the size at which the whole globe fills the canvas instead.
// Within kSmallestGlobeRadius .. kLargestGlobeRadius.
int FitGlobeSize(const EclipseResult& c, const ViewParameters& view, const MapCanvas& canvas);

// The optional layers of a drawing; none by default, as the exit bitmap, the
// sheet and the files are drawn.
struct MapLayers {
  const BorderLayer* borders = nullptr;
  std::span<const BandArea> band;
  const DeltaTBandLayer* deltaTBand = nullptr;
  // Names are placed in this order (PlaceTownLabels); none when empty.
  std::span<const TownLabelCandidate> towns;
  // The umbra every few minutes of UT, over the curves and under the names.
  std::span<const TimedUmbraArea> umbraOutlines;
  // Shores (and, with the borders on, borders) as lines in place of the
  // coastline points once the globe is zoomed past kZoomCoastRadius.
  const ZoomCoastLayer* zoomCoast = nullptr;
};

class MapRenderer {
 public:
  explicit MapRenderer(const MapCanvas& canvas = {});

  // The canvas the next drawings are made on (the default one unless set):
  // the drawing images take its size, the globe its centre and pixel ratio.
  void SetCanvas(const MapCanvas& canvas);
  const MapCanvas& Canvas() const { return canvas_; }

  // Draws the map of `c` with `view` into the next drawing image: background,
  // texture (coloured view), graticule, coastlines, the ready curves (over
  // light halos when view.CurveHalos is set on the coloured Earth), the
  // event markers (when the general circumstances are complete), the globe
  // outline (orthographic view); then ShowMap(displayWidth). Curves and view
  // centre take the DeltaT in force (c.deltaT, 0 in TT), so switching the
  // time scale only needs SetTimeScale and another DrawMap. Returns the
  // curves drawn and their point counts.
  DrawnCurves DrawMap(const EclipseResult& c, const ViewParameters& view,
                      const EarthTexture& texture, const CoastlineLayer& coastlines,
                      int displayWidth = kMaxDisplayWidth);
  // The same with optional layers: the band and the DeltaT band over the
  // coastlines, the borders over them, the curves and markers over all of
  // these, the umbra's timed outlines over them, the town names last.
  DrawnCurves DrawMap(const EclipseResult& c, const ViewParameters& view,
                      const EarthTexture& texture, const CoastlineLayer& coastlines,
                      const MapLayers& layers, int displayWidth = kMaxDisplayWidth);

  // The scaled copy of the last drawing into the display image: width
  // max(1000, min(1440, panelWidth)), height width * 4 / 6, smooth scaling.
  // On any other canvas than the default the display image is the drawing.
  void ShowMap(int panelWidth);

  // The legend picture (1600 x 1266 for the default canvas) in the display image: the last drawing
  // 130 pixels below the top, the title and date above it, the view and
  // state lines below it. Throws std::logic_error before the first DrawMap.
  void ComposeLegendImage(const EclipseResult& c, const QString& title, const ViewEditTexts& edits);

  // The lines ComposeLegendImage writes, for the last drawing.
  LegendLines LegendTexts(const EclipseResult& c, const QString& title,
                          const ViewEditTexts& edits) const;

  // Pictures of a globe on the move: the coloured Earth in blocks of `step`
  // pixels (RenderTextureInBlocks), a quarter of the lookups at 2. The
  // default, 1, is the exact texture every drawing that is kept has.
  void SetTextureStep(int step) { textureStep_ = step; }

  int DrawIndex() const { return drawIndex_; }
  // The full-size image of the last drawing (image DrawIndex()).
  const QImage& DrawingImage() const { return images_[static_cast<std::size_t>(drawIndex_)]; }
  const QImage& Image(int index) const { return images_.at(static_cast<std::size_t>(index)); }
  const QImage& DisplayImage() const { return images_[2]; }
  // The view state of the last drawing.
  const std::optional<GlobeProjection>& LastView() const { return lastView_; }
  // The town names the last drawing placed.
  const std::vector<PlacedLabel>& LastLabels() const { return lastLabels_; }

 private:
  std::array<QImage, 3> images_;
  int drawIndex_ = 0;
  std::optional<GlobeProjection> lastView_;
  std::vector<PlacedLabel> lastLabels_;
  int textureStep_ = 1;
  MapCanvas canvas_;
};

}  // namespace darvelle
