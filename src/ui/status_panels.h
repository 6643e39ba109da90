#pragma once
// The window's status bar: seventeen panels, and which of them shows what.
// The drawing only reports which curves it drew and their point counts; the
// panel and the label of each count are the window's choice.

#include <QString>

#include <array>
#include <optional>
#include <string_view>

#include "render/curve_drawing.h"

namespace darvelle::ui {

inline constexpr int kStatusPanelCount = 17;
inline constexpr int kEclipseNumberPanel = 0;  // "Eclipse#16686"
inline constexpr int kCoastlinePanel = 1;      // the number of coastline points read

// Where a curve's point count is shown, and the label before it ("nClin 21").
struct CurveStatusPanel {
  int panel;
  std::string_view label;
};
CurveStatusPanel StatusPanelOf(MapCurve curve);

// The panel texts a drawing sets, by panel. A panel left empty is one the
// drawing did not touch: its old text stays.
using StatusPanelTexts = std::array<std::optional<QString>, kStatusPanelCount>;
StatusPanelTexts StatusPanelTextsOf(const DrawnCurves& drawn);

}  // namespace darvelle::ui
