#pragma once
// The legend of the map: every curve and marker the map draws, with its
// colour and look taken from the drawing itself, named in the window's
// language. Shown in a dock beside the globe.

#include <QImage>
#include <QRgb>
#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

#include "render/curve_drawing.h"

class QLabel;

namespace darvelle::ui {

// One row of the legend: a line of a curve's colour and width, or a marker.
struct LegendRow {
  std::optional<QRgb> lineColor;  // a curve: its colour
  int lineWidth = 1;              // pixels, as the curve is drawn
  std::optional<MarkerLook> marker;
  QString text;
};

// The rows in the map's drawing order (curves, then markers), for the chosen
// pen width (1 .. 3) and language (0 German, 1 English, 2 French).
std::vector<LegendRow> LegendRows(int penWidth, int language);

// The swatch of a row as the legend shows it: the line or the marker on the
// plain globe's grey, `height` pixels high and twice as wide.
QImage LegendSwatch(const LegendRow& row, int height);

class LegendPanel : public QWidget {
  Q_OBJECT

 public:
  explicit LegendPanel(QWidget* parent = nullptr);

  void setLanguage(int language);
  void setPenWidth(int penWidth);
  int language() const { return language_; }

  // "Legende" / "Legend" / "Légende", for the dock's title.
  static QString Title(int language);

  int rowCount() const { return static_cast<int>(rows_.size()); }
  const LegendRow& row(int index) const { return rows_.at(static_cast<std::size_t>(index)); }

 private:
  void Rebuild();

  int language_ = 1;
  int penWidth_ = 1;
  std::vector<LegendRow> rows_;
  std::vector<QLabel*> swatchLabels_;
  std::vector<QLabel*> textLabels_;
};

}  // namespace darvelle::ui
