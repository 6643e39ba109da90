#include "reports/result_check.h"

#include <cmath>
#include <string_view>

#include "reports/report_text.h"

namespace darvelle {
namespace {

template <class Point>
std::optional<std::string> CheckCurve(const Curve<Point>& curve, std::string_view counter) {
  if (!curve.Ready()) return std::nullopt;
  for (int i = 1; i <= curve.Count(); ++i) {
    const Point& p = curve.At(i);
    if (!std::isfinite(p.Longitude) || !std::isfinite(p.Latitude)) {
      return "curve " + std::string(counter) + " point " + std::to_string(i) +
             " is not a finite position";
    }
  }
  return std::nullopt;
}

bool IsLetter(char ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'); }

// "nan" or "inf" standing alone, as std::to_chars prints them (never inside a word).
bool HasNonFiniteText(const std::string& text) {
  for (std::string_view word : {std::string_view("nan"), std::string_view("inf")}) {
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
      const bool before = at > 0 && IsLetter(text[at - 1]);
      const bool after = at + word.size() < text.size() && IsLetter(text[at + word.size()]);
      if (!before && !after) return true;
    }
  }
  return false;
}

}  // namespace

std::optional<std::string> FindNonFiniteResult(const EclipseResult& c) {
  // An instant that is absent is no fault; one that is there must be a number.
  auto notFinite = [](const std::optional<double>& t) { return t && !std::isfinite(*t); };
  if (!std::isfinite(c.circumstances.timeGreatest) || notFinite(c.circumstances.timeConjunction)) {
    return "greatest eclipse or conjunction instant is not finite";
  }
  for (int k = 0; k < kEventCount; ++k) {
    const EclipseEvent& e = c.circumstances.events.entries[static_cast<std::size_t>(k)];
    if (notFinite(e.Time) || !std::isfinite(e.Latitude) ||
        !std::isfinite(e.EphemerisLongitude) || !std::isfinite(e.Longitude)) {
      return "event " + std::string(kEventLabels[static_cast<std::size_t>(k)]) +
             " is not finite";
    }
  }
  const CurveSet& curves = c.curves;
  const std::pair<const PointCurve*, std::string_view> pointCurves[] = {
      {&curves.northPenumbra, "nNPen"},   {&curves.northUmbra, "nNUmb"},
      {&curves.southUmbra, "nSUmb"},      {&curves.southPenumbra, "nSPen"},
      {&curves.riseSet[0], "nTestF1"},    {&curves.riseSet[1], "nTestF2"},
      {&curves.riseSet[2], "nTestF3"},    {&curves.riseSet[3], "nTestF4"},
      {&curves.riseSet[4], "nTestF5"},    {&curves.riseSet[5], "nTestF6"},
      {&curves.maxHorizonNorth, "nMaxHN"}, {&curves.maxHorizonSouth, "nMaxHS"},
      {&curves.maxSunrise, "nMaxR"},      {&curves.maxSunset, "nMaxS"}};
  for (const auto& [curve, counter] : pointCurves) {
    if (auto problem = CheckCurve(*curve, counter)) return problem;
  }
  if (auto problem = CheckCurve(curves.centralLine, "nClin")) return problem;
  for (int i = 1; i <= curves.centralLine.Count(); ++i) {
    const CentralLinePoint& p = curves.centralLine.At(i);
    if (!std::isfinite(p.DurationMinutes) || !std::isfinite(p.WidthKm) ||
        !std::isfinite(p.SunAltitudeDeg)) {
      return "central line point " + std::to_string(i) + ": duration, width or altitude not finite";
    }
  }
  const EclipseReports reports = MakeReports(c);
  if (HasNonFiniteText(reports.german) || HasNonFiniteText(reports.english)) {
    return "report contains a value that is not finite";
  }
  return std::nullopt;
}

}  // namespace darvelle
