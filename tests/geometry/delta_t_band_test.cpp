// What an uncertain DeltaT leaves of a central eclipse: the standard error
// against the values Espenak and Meeus publish from Morrison and Stephenson
// (2004) in the Five Millennium Canon ("Uncertainty in Delta T", Table 1),
// and the verdict at places that see the central phase for every DeltaT of
// the range, for some of it and for none.

#include <gtest/gtest.h>

#include <string>

#include "astro/delta_t.h"
#include "catalogue/besselian_elements.h"
#include "geometry/delta_t_range.h"
#include "geometry/local_circumstances.h"
#include "../support/shipped_catalogue.h"

namespace darvelle {
namespace {

TEST(DeltaTUncertainty, PublishedStandardErrors) {
  struct Row {
    int year;
    double sigma;  // seconds, as the table rounds them
  };
  for (const Row row : {Row{-1000, 636}, Row{-500, 431}, Row{0, 265}, Row{500, 139},
                        Row{1000, 54}, Row{1200, 31}}) {
    const auto sigma = DeltaTUncertainty(row.year);
    ASSERT_TRUE(sigma.has_value()) << row.year;
    EXPECT_NEAR(*sigma, row.sigma, 1.0) << row.year;
  }
  // The telescopic era keeps DeltaT to seconds: no band.
  for (const int year : {1700, 1900, 2024}) EXPECT_FALSE(DeltaTUncertainty(year).has_value()) << year;
}

class DeltaTBand : public testing::ShippedCatalogueTest {};

TEST_F(DeltaTBand, CentralPhaseCertainPossibleOrExcluded) {
  struct Case {
    const char* what;
    int year, month, day;
    Observer place;
    CentralVerdict verdict;
  };
  const Case cases[] = {
      // The total eclipse recorded in Bohemia; DeltaT then known to some 20 s.
      {"Prague 1415", 1415, 6, 7, {50.08, 14.42, 0.0}, CentralVerdict::kCertain},
      // Thales' eclipse: Smyrna lies beside the path of the model's DeltaT.
      {"Smyrna -584", -584, 5, 28, {38.42, 27.14, 0.0}, CentralVerdict::kPossible},
      {"Sydney -584", -584, 5, 28, {-33.87, 151.21, 0.0}, CentralVerdict::kExcluded},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int index = IndexOf(c.year, c.month, c.day);
    ASSERT_NE(index, 0);
    const BesselianElements elements = CurrentElements(*catalogue_, index);
    const auto range = DeltaTBandOf(elements, ComputeDeltaT(elements.year, elements.month));
    ASSERT_TRUE(range.has_value());
    const CentralOverDeltaT over = CentralPhaseOverDeltaT(elements, c.place, *range);
    EXPECT_EQ(over.Verdict, c.verdict);
    // Each stretch is what the local circumstances give inside it and
    // beside it, wherever it does not end at the range's own end.
    const auto central = [&](double deltaT) {
      const LocalCircumstances l = ComputeLocalCircumstances(elements, deltaT, c.place);
      return l.DurationS.has_value() && l.Maximum && l.Maximum->SunUp();
    };
    for (const DeltaTRange& stretch : over.Central) {
      EXPECT_TRUE(central(0.5 * (stretch.Low + stretch.High)));
      if (stretch.Low > range->Low) {
        EXPECT_FALSE(central(stretch.Low - 2.0)) << stretch.Low;
      }
      if (stretch.High < range->High) {
        EXPECT_FALSE(central(stretch.High + 2.0)) << stretch.High;
      }
    }
  }
}

}  // namespace
}  // namespace darvelle
