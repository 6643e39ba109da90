#include "catalogue/besselian_elements.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"

namespace darvelle {
namespace {

// A record whose every field holds a value found nowhere else, so that a
// field copied into the wrong place shows.
EclipseRecord DistinctRecord() {
  EclipseRecord r;
  std::memset(&r, 0, sizeof r);
  r.Year = -1234;
  r.Month = 7;
  r.Day = 19;
  r.EclipseType = kHybrid;
  r.Gamma = -0.4321;
  r.JulianDay = 12345.0;
  r.LunationNumber = -40123;
  r.SarosNumber = 77;
  r.EpochHour = 13;
  r.SarosMember = 41;
  r.SarosMemberCount = 72;
  Polynomial* polys[] = {&r.SunRAPoly, &r.SunDecPoly, &r.SunDistancePoly, &r.MoonRAPoly,
                         &r.MoonDecPoly, &r.MoonDistancePoly, &r.XPoly, &r.YPoly, &r.DPoly,
                         &r.MuPoly, &r.L1Poly, &r.L2Poly, &r.TanF1Poly, &r.TanF2Poly};
  for (int k = 0; k < 14; ++k) {
    for (int i = 0; i < 4; ++i) polys[k]->c[i] = 100.0 * (k + 1) + i + 0.25;
  }
  return r;
}

TEST(ElementsFromRecord, EveryFieldLandsInItsNamedPlace) {
  const BesselianElements e = ElementsFromRecord(DistinctRecord());
  const struct {
    int value, expected;
  } integers[] = {{e.year, -1234}, {e.month, 7}, {e.day, 19}, {e.epochHour, 13},
                  {e.lunation, -40123}, {e.saros, 77}, {e.sarosMember, 41},
                  {e.sarosMemberCount, 72}};
  for (const auto& c : integers) EXPECT_EQ(c.value, c.expected);
  EXPECT_EQ(e.kind, EclipseKind::Hybrid);
  EXPECT_EQ(e.gamma, -0.4321);
  EXPECT_EQ(e.julianDay, 12345.0);  // as stored; CurrentElements recomputes it

  // The fourteen cubics in the record's order.
  const Cubic* cubics[] = {&e.sunRightAscension, &e.sunDeclination, &e.sunDistance,
                           &e.moonRightAscension, &e.moonDeclination, &e.moonDistance,
                           &e.x, &e.y, &e.d, &e.mu, &e.l1, &e.l2, &e.tanF1, &e.tanF2};
  for (int k = 0; k < 14; ++k) {
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(cubics[k]->c[i], 100.0 * (k + 1) + i + 0.25) << "cubic " << k << " term " << i;
    }
  }
}

TEST(ElementsFromRecord, CubicsEvaluateAsTheRecordsPolynomials) {
  const EclipseRecord r = DistinctRecord();
  const BesselianElements e = ElementsFromRecord(r);
  for (double t : {-3.0, -0.5, 0.0, 1.25, 3.0}) {
    EXPECT_EQ(e.x.At(t), r.XPoly.At(t)) << t;
    EXPECT_EQ(e.mu.RateAt(t), r.MuPoly.RateAt(t)) << t;
  }
}

TEST(ElementsFromRecord, AKindOutsideTheCatalogueCodesIsKeptAsItStands) {
  EclipseRecord r = DistinctRecord();
  r.EclipseType = 9;
  EXPECT_EQ(static_cast<int>(ElementsFromRecord(r).kind), 9);
}

TEST(CurrentElements, RecomputesTheJulianDayFromTheDate) {
  const Catalogue catalogue =
      LoadCatalogue(std::filesystem::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName));
  // Record 16618: 1991 July 11, epoch 19 h TT; JD 2448449.2916666667 by
  // Meeus, Astronomical Algorithms, ch. 7.
  const BesselianElements e = CurrentElements(catalogue, 16618);
  EXPECT_EQ(e.year, 1991);
  EXPECT_NEAR(e.julianDay, 2448449.2916666667, 1e-9);
  EXPECT_THROW(CurrentElements(catalogue, catalogue.Count() + 1), std::out_of_range);
}

}  // namespace
}  // namespace darvelle
