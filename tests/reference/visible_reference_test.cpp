// The visible-eclipse list at Munich against the Swiss Ephemeris for two
// eclipses that happen at sunset there: 2028 January 26 (partial, the
// maximum after sunset) and 2090 September 23 (total after sunset). The list
// gives the kind the place sees with the Sun up (partial, both) and the
// greatest magnitude with the Sun up, at our sunset: the library's magnitudes at our instants, its Sun's
// altitude at our sunset, and its own search for what is seen with the Sun
// up.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "astro/delta_t.h"
#include "catalogue/besselian_elements.h"
#include "geometry/visible_eclipses.h"
#include "../support/shipped_catalogue.h"
#include "../support/swiss_local.h"

namespace darvelle {
namespace {

class VisibleReference : public testing::ShippedCatalogueTest {
 protected:
  static void SetUpTestSuite() {
    ShippedCatalogueTest::SetUpTestSuite();
    swe_set_ephe_path(const_cast<char*>(DARVELLE_SWE_EPHE_DIR));
  }
  static void TearDownTestSuite() {
    ShippedCatalogueTest::TearDownTestSuite();
    swe_close();
  }
};

TEST_F(VisibleReference, MunichSeesWhatTheSunAboveTheHorizonShows) {
  const Observer munich{48.137, 11.575, 0.0};
  for (const int year : {2028, 2090}) {
    SCOPED_TRACE(year);
    VisibleEclipseFilter filter;
    filter.FromYear = filter.ToYear = year;
    const std::vector<VisibleEclipse> seen = FindVisibleEclipses(*catalogue_, munich, filter);
    ASSERT_EQ(seen.size(), 1u);
    const VisibleEclipse& ours = seen.front();
    const BesselianElements elements = CurrentElements(*catalogue_, ours.Index);
    const testing::SweLocal swe = testing::AskSwissEphemeris(
        munich.LatitudeDeg, munich.LongitudeDeg, 0.0, elements.julianDay - 1.0, ours.DeltaT, 0.0);
    ASSERT_GT(swe.flags, 0);
    ASSERT_TRUE(ours.Local.Maximum && ours.Local.Sunset);
    const auto ut = [&](double t) { return elements.julianDay + (t - ours.DeltaT / 3600.0) / 24.0; };
    // The library's view at our maximum (below the horizon) and at our sunset.
    double atMaximum[20] = {}, atSunset[20] = {};
    char serr[256] = {};
    double geopos[3] = {munich.LongitudeDeg, munich.LatitudeDeg, 0.0};
    const int maximumFlags =
        swe_sol_eclipse_how(ut(ours.Local.Maximum->Time), SEFLG_SWIEPH, geopos, atMaximum, serr);
    swe_sol_eclipse_how(ut(ours.Local.Sunset->Time), SEFLG_SWIEPH, geopos, atSunset, serr);
    // What the place sees, by the library's own search, which counts only
    // what happens with the Sun up.
    const LocalKind expected = (swe.flags & SE_ECL_TOTAL) ? LocalKind::kTotal
                               : (swe.flags & SE_ECL_ANNULAR) ? LocalKind::kAnnular
                                                             : LocalKind::kPartial;
    std::printf("%d  magnitude ours %.4f (library %.4f, Sun down)  seen ours %.4f library %.4f  "
                "Sun at our sunset %.3f deg\n",
                year, ours.Local.Magnitude, atMaximum[0], ours.Local.VisibleMagnitude(),
                atSunset[0], atSunset[5]);
    EXPECT_EQ(ours.Local.SeenKind(), expected);
    // The library gives nothing for a Sun below the horizon: our maximum is there too.
    EXPECT_EQ(maximumFlags, 0);
    EXPECT_FALSE(ours.Local.Maximum->SunUp());
    EXPECT_NEAR(ours.Local.VisibleMagnitude(), atSunset[0], 0.005);
    EXPECT_NEAR(atSunset[5], kSunUpAltitudeDeg, 0.05);
  }
}

}  // namespace
}  // namespace darvelle
