// The magnitude at greatest eclipse against NASA's Five Millennium Canon of
// Solar Eclipses (Espenak & Meeus 2006, the catalogue's "Ecl. Mag." column):
// for a partial eclipse it is the covered part of the Sun's diameter at the
// point of the Earth's limb nearest the shadow's axis, for a central one the
// ratio of the diameters where the axis meets the Earth. The canon prints
// four decimals.

#include <gtest/gtest.h>

#include "astro/delta_t.h"
#include "catalogue/besselian_elements.h"
#include "geometry/circumstances.h"
#include "geometry/eclipse_scratch.h"
#include "geometry/headline_numbers.h"
#include "../support/shipped_catalogue.h"

namespace darvelle {
namespace {

class HeadlineMagnitude : public testing::ShippedCatalogueTest {};

TEST_F(HeadlineMagnitude, AgreesWithTheCanonForPartialAndCentralEclipses) {
  struct Case {
    int year, month, day;
    double canon;
  };
  const Case cases[] = {
      {2011, 1, 4, 0.8576},  {2011, 6, 1, 0.6010},  {2018, 8, 11, 0.7368},
      {2019, 1, 6, 0.7145},  {2022, 4, 30, 0.6396}, {2022, 10, 25, 0.8619},
      {2025, 3, 29, 0.9376}, {2025, 9, 21, 0.8550},  // partial
      {2024, 4, 8, 1.0566},  {2023, 10, 14, 0.9520},  // total, annular
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month) + "-" + std::to_string(c.day));
    const int index = IndexOf(c.year, c.month, c.day);
    ASSERT_NE(index, 0);
    const BesselianElements elements = CurrentElements(*catalogue_, index);
    const double deltaT = ComputeDeltaT(elements.year, elements.month);
    EclipseScratch scratch;
    const Circumstances circumstances = FindCircumstances(elements, deltaT, scratch);
    EXPECT_NEAR(ComputeHeadlineNumbers(elements, deltaT, circumstances).magnitude, c.canon, 0.0006);
  }
}

}  // namespace
}  // namespace darvelle
