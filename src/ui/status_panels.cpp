#include "ui/status_panels.h"

#include <stdexcept>

namespace darvelle::ui {
namespace {

// By MapCurve, in drawing order. The labels are the curves' counter names as
// users of the program have always read them in the bar.
constexpr std::array<CurveStatusPanel, kMapCurveCount> kCurvePanels = {{
    {8, "nNPen "},     // NorthPenumbraLimit
    {9, "nNUmb "},     // NorthUmbraLimit
    {11, "nSUmb "},    // SouthUmbraLimit
    {10, "nClin "},    // CentralLine
    {12, "nSPen "},    // SouthPenumbraLimit
    {2, "nTestF1 "},   // RiseSetCurve1
    {3, "nTestF2 "},   // RiseSetCurve2
    {4, "nTestF3 "},   // RiseSetCurve3
    {5, "nTestF4 "},   // RiseSetCurve4
    {6, "nTestF5 "},   // RiseSetCurve5
    {7, "nTestF6 "},   // RiseSetCurve6
    {14, "nMaxHS "},   // MaxAtHorizonSouth
    {13, "nMaxHN "},   // MaxAtHorizonNorth
    {15, "nMaxR "},    // MaxAtSunrise
    {16, "nMaxS "},    // MaxAtSunset
}};

}  // namespace

CurveStatusPanel StatusPanelOf(MapCurve curve) {
  const int i = static_cast<int>(curve);
  if (i < 0 || i >= kMapCurveCount) throw std::invalid_argument("unknown map curve");
  return kCurvePanels[static_cast<std::size_t>(i)];
}

StatusPanelTexts StatusPanelTextsOf(const DrawnCurves& drawn) {
  StatusPanelTexts texts;
  for (int i = 0; i < kMapCurveCount; ++i) {
    const auto curve = static_cast<MapCurve>(i);
    const std::optional<int> count = drawn.PointCount(curve);
    if (!count) continue;
    const CurveStatusPanel where = StatusPanelOf(curve);
    texts[static_cast<std::size_t>(where.panel)] =
        QString::fromLatin1(where.label.data(), static_cast<qsizetype>(where.label.size())) +
        QString::number(*count);
  }
  return texts;
}

}  // namespace darvelle::ui
