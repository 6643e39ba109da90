#pragma once
// The legend of the map: every curve and marker the map draws, with its
// colour and look taken from the drawing itself, named in the window's
// language. Shown in a dock beside the globe.

#include <QImage>
#include <QRgb>
#include <QString>
#include <QDockWidget>
#include <QWidget>

#include <optional>
#include <vector>

#include "render/curve_drawing.h"
#include "catalogue/language.h"

class QLabel;

namespace darvelle::ui {

// What a drawing shows beyond the curves and markers every map has, so that
// the legend names exactly that.
struct LegendLayers {
  bool coloredEarth = false;  // the curves over the coloured Earth, on light halos
  bool borders = false;
  std::vector<QRgb> bands;  // the band colours drawn (path, partial zone), in drawing order
  int umbraOutlineMinutes = 0;  // 0: none drawn
  bool deltaTBand = false;
  bool towns = false;      // towns in the path with their durations
  bool townNames = false;  // towns by name only
};

// One row of the legend: a line of a curve's colour and width, a marker, an
// area's fill (with its edge) or a town's mark.
struct LegendRow {
  std::optional<QRgb> lineColor;  // a curve: its colour
  int lineWidth = 1;              // pixels, as the curve is drawn
  std::optional<MarkerLook> marker;
  std::optional<QRgb> areaFill;   // with its opacity
  std::optional<QRgb> areaEdge;
  std::optional<QRgb> areaBelow;  // an area the map draws under this one (the partial zone under the path)
  bool townMark = false;
  bool halo = false;         // the line on its light halo
  bool coloredEarth = false;  // shown over sea, land and ice rather than the grey globe
  QString text;
};

// The rows in the map's drawing order (curves, then markers, then the
// layers drawn), for the chosen pen width (1 .. 3) and language (0 German,
// 1 English, 2 French).
std::vector<LegendRow> LegendRows(int penWidth, Language language, const LegendLayers& layers = {});

// The swatch of a row as the legend shows it: the line, marker or area on
// the plain globe's grey (or on stripes of the coloured Earth's sea, land and
// ice), `height` pixels high and twice as wide.
QImage LegendSwatch(const LegendRow& row, int height);

struct SessionResult;
// What a drawing of the window's session shows, for its legend.
LegendLayers LegendLayersOf(const SessionResult& result);

class LegendPanel : public QWidget {
  Q_OBJECT

 public:
  explicit LegendPanel(QWidget* parent = nullptr);

  void setLanguage(Language language);
  void setPenWidth(int penWidth);
  void setLayers(const LegendLayers& layers);
  Language language() const { return language_; }

  // "Legende" / "Legend" / "Légende", for the dock's title.
  static QString Title(Language language);

  int rowCount() const { return static_cast<int>(rows_.size()); }
  const LegendRow& row(int index) const { return rows_.at(static_cast<std::size_t>(index)); }

 private:
  void Rebuild();

  Language language_ = kEnglish;
  int penWidth_ = 1;
  LegendLayers layers_;
  std::vector<LegendRow> rows_;
  std::vector<QLabel*> swatchLabels_;
  std::vector<QLabel*> textLabels_;
};

// The legend's dock, LegendDock, titled in the window's language.
class LegendDock : public QDockWidget {
  Q_OBJECT

 public:
  explicit LegendDock(QWidget* parent);
  LegendPanel& Panel() const { return *panel_; }
  void ShowLanguage(Language language, int penWidth);

 private:
  LegendPanel* panel_;
};

}  // namespace darvelle::ui
