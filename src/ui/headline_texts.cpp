#include "ui/headline_texts.h"

#include <string>

#include "astro/iso_time.h"
#include "ui/globe_view.h"
#include "ui/languages.h"
#include "ui/local_texts.h"

namespace darvelle::ui {
namespace {

constexpr const char* kLongest[kLanguageCount] = {"Längste Dauer %1", "Longest duration %1",
                                                  "Durée maximale %1"};
constexpr const char* kWidth[kLanguageCount] = {"Breite des Pfades %1 km", "Path width %1 km",
                                                "Largeur de la bande %1 km"};
constexpr const char* kMagnitudeGamma[kLanguageCount] = {"Größe %1   Gamma %2", "Magnitude %1   Gamma %2",
                                                         "Grandeur %1   Gamma %2"};

}  // namespace

QString HeadlineSummaryText(const HeadlineNumbers& numbers, TimeScale timeScale, Language language) {
  QStringList lines;
  if (const auto& longest = numbers.greatestDuration) {
    const std::string iso = IsoDateTime(longest->JulianDayUt);
    const QString clock = QString::fromStdString(iso.substr(iso.find('T') + 1, 8)) +
                          (timeScale == TimeScale::kUniversal ? QStringLiteral(" UT") : QStringLiteral(" TT"));
    // The instant and the place on a line of their own, which the left column's width holds.
    lines << TextIn(kLongest, language).arg(DurationText(longest->DurationS))
          << clock + QStringLiteral("  ") + CursorCoordinateText(longest->LatitudeDeg, longest->LongitudeDeg, language);
  }
  if (numbers.widthKm) lines << TextIn(kWidth, language).arg(QString::number(*numbers.widthKm, 'f', 0));
  lines << TextIn(kMagnitudeGamma, language)
               .arg(QString::number(numbers.magnitude, 'f', 4), QString::number(numbers.gamma, 'f', 4));
  return lines.join(QLatin1Char('\n'));
}

}  // namespace darvelle::ui
