#pragma once
// One lunation at a time: the New Moon of Meeus lunation number k, and when
// the Moon passes near enough to the Sun, the Besselian elements fitted around
// greatest eclipse, the decision whether the penumbra touches the Earth, and
// the record of the eclipse.

#include <optional>

#include "catalogue/eclipse_record.h"
#include "swiss_ephemeris.h"

namespace darvelle::catalogue_gen {

// Julian Day (TT) of the mean New Moon of lunation k (Meeus numbering:
// lunation 0 is the New Moon of 2000 January 6).
double MeanNewMoon(int lunation);

// True New Moon (apparent conjunction in ecliptic longitude) of lunation k:
// the one nearest its mean New Moon. Julian Day TT.
double TrueNewMoon(int lunation, const SwissEphemeris& ephemeris);

struct LunationResult {
  int lunation = 0;
  // True when the elements were fitted (the Moon came near enough to matter).
  bool fitted = false;
  // A solar eclipse: the penumbra touches the ellipsoid (penumbraGap < 0).
  bool eclipse = false;
  // Minimum of m - (r + l1) in Earth radii from the fitted elements; for
  // lunations that were not fitted, a lower bound (at least 0.01).
  double penumbraGap = 0.0;
  double greatestJulianDay = 0.0;  // TT
  double residualXY = 0.0;         // worst |fit - ephemeris| of x and y, Earth radii
  double residualOther = 0.0;      // worst residual of d, mu (degrees), l1, l2 (Earth radii)
  EclipseRecord record{};          // complete except the Saros fields (when fitted)
};

LunationResult ExamineLunation(int lunation, const SwissEphemeris& ephemeris);

}  // namespace darvelle::catalogue_gen
