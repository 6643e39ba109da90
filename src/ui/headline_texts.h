#pragma once
// The eclipse's headline numbers as the window's left column shows them
// under the eclipse's kind and date, in German, English and French: where
// and when the central phase lasts longest, the path's width, the magnitude
// and gamma at greatest eclipse. Pure, so tests read what the window shows.

#include <QString>

#include "astro/instant.h"
#include "geometry/headline_numbers.h"
#include "catalogue/language.h"

namespace darvelle::ui {

// Lines apart by '\n'; `timeScale` names the scale of the instant (its
// Julian Day in UT was taken with the DeltaT in force, 0 in TT).
QString HeadlineSummaryText(const HeadlineNumbers& numbers, TimeScale timeScale, Language language);

}  // namespace darvelle::ui
