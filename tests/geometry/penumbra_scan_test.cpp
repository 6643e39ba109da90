#include "geometry/penumbra_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "geometry/circumstances.h"
#include "geometry/eclipse_computation.h"
#include "geometry/elements.h"
#include "canon_fixtures.h"
#include "observer_plane.h"

namespace darvelle {
namespace {

using testing::CanonEclipse;
using testing::WithEvents;

// The plain scan below and the checks work with the side's sign.
PenumbraSide SideOf(int sign) { return sign > 0 ? PenumbraSide::North : PenumbraSide::South; }

// The scan written out plainly: every value recomputed where it is used.
// The optimised scan must give the very same records.
void PlainScan(const BesselianElements& e, int resolution, int side, double t0, double phi0,
               std::vector<LimitScanRecord>& first, std::vector<LimitScanRecord>& second) {
  ElementState s;
  double t = t0;
  for (int i = 0; i < 360 * resolution; ++i) {
    double lambda = i * (kPi / 180.0) / resolution;
    double phi = phi0;
    int count = 0;
    double step = 0, dphi = 0, h = 0;
    do {
      EvaluateElements(e, t, s);
      EvaluateElementRates(e, t, s);
      h = s.Mu - lambda;
      const double uu = std::atan(0.9966471893352525 * std::tan(phi));
      const double rs = 0.9966471893352525 * std::sin(uu) + 1.5678552054360676e-07 * std::sin(phi);
      const double rc = std::cos(uu) + 1.5678552054360676e-07 * std::cos(phi);
      const double xi = rc * std::sin(h);
      const double eta = rs * std::cos(s.D) - rc * std::cos(h) * std::sin(s.D);
      const double zeta = rs * std::sin(s.D) + rc * std::cos(h) * std::cos(s.D);
      const double xi1 = s.MuRate * rc * std::cos(h);
      const double eta1 = s.MuRate * xi * std::sin(s.D) - s.DRate * zeta;
      const double zeta1 = -s.MuRate * xi * std::cos(s.D) + s.DRate * eta;
      const double L1 = s.L1 - zeta * s.TanF1;
      const double L2 = s.L2 - zeta * s.TanF2;
      const double L1r = s.L1Rate - s.TanF1 * zeta1 - zeta * s.TanF1Rate;
      const double L2r = s.L2Rate - s.TanF2 * zeta1 - zeta * s.TanF2Rate;
      const double u = s.X - xi, v = s.Y - eta, a = s.XRate - xi1, b = s.YRate - eta1;
      const double n2 = a * a + b * b;
      const double tau = -(u * a + v * b) / n2;
      const double m = std::sqrt(u * u + v * v);
      const double n = std::sqrt(n2);
      const double dt = m / n2 / (L1 + L2) * ((L2 + m) * L1r - (L1 - m) * L2r);
      step = dt + tau;
      t = t + step;
      dphi = (std::fabs(L1 - (L1 + L2) * 0.0) * side + (v * a - u * b) / n) /
             ((b * std::sin(h) * rs + a * (rs * std::cos(h) * std::sin(s.D) + std::cos(s.D) * rc)) /
              57.29577951308232 / n) *
             (kPi / 180.0);
      dphi = ReduceToPi(dphi);
      phi = phi + dphi;
      while (phi >= kPi / 2) phi -= kPi;
      while (phi < -kPi / 2) phi += kPi;
      ++count;
    } while (count <= 20 && !(std::fabs(step) < 0.0005555555555555556 &&
                              std::fabs(dphi) < (kPi / 180.0) / 360.0));
    if (count > 20) continue;
    const double altitude =
        std::asin(std::sin(phi) * std::sin(s.D) + std::cos(phi) * std::cos(s.D) * std::cos(h));
    if (!(altitude >= 0.0)) continue;
    while (lambda >= kPi) lambda -= 2 * kPi;
    LimitScanRecord r;
    r.Used = true;
    r.Hour = t + e.epochHour;
    r.Level = side * 0.0;
    r.WestLongitudeDeg = lambda * 57.29577951308232;
    r.LatitudeDeg = phi * 57.29577951308232;
    if (!first[i].Used) {
      first[i] = r;
    } else if (!second[i].Used && std::fabs(first[i].LatitudeDeg - r.LatitudeDeg) > 0.0001) {
      second[i] = r;
    }
  }
}

void ExpectSameRecords(const std::vector<LimitScanRecord>& got,
                       const std::vector<LimitScanRecord>& want, const std::string& what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  int differences = 0;
  for (std::size_t i = 0; i < got.size() && differences < 5; ++i) {
    const bool same = got[i].Used == want[i].Used && got[i].Hour == want[i].Hour &&
                      got[i].WestLongitudeDeg == want[i].WestLongitudeDeg &&
                      got[i].LatitudeDeg == want[i].LatitudeDeg;
    if (!same) {
      ++differences;
      ADD_FAILURE() << what << " record " << i << ": used " << got[i].Used << "/" << want[i].Used
                    << " lat " << got[i].LatitudeDeg << "/" << want[i].LatitudeDeg << " hour "
                    << got[i].Hour << "/" << want[i].Hour;
    }
  }
}

TEST(ScanLimitLongitudes, SameRecordsAsThePlainAlgorithm) {
  const auto sample = testing::RequireCanonSample();
  int compared = 0;
  for (std::size_t k = 0; k < sample.size(); k += 23) {
    const BesselianElements e = ElementsFromRecord(sample[k].record);
    for (int resolution : {1, 4}) {
      for (int side : {1, -1}) {
        const int steps = 360 * resolution;
        std::vector<LimitScanRecord> first(steps), second(steps), wantFirst(steps),
            wantSecond(steps);
        const LimitScanSetup setup{resolution, SideOf(side), 0.0};
        for (double startDeg : {80.0, 0.0, -80.0}) {
          ScanLimitLongitudes(e, setup, 0.0, startDeg * kDegToRad, first, second);
          PlainScan(e, resolution, side, 0.0, startDeg * kDegToRad, wantFirst, wantSecond);
        }
        const std::string what = sample[k].date + " R" + std::to_string(resolution) +
                                 (side > 0 ? " north" : " south");
        ExpectSameRecords(first, wantFirst, what + " first");
        ExpectSameRecords(second, wantSecond, what + " second");
        ++compared;
      }
    }
  }
  EXPECT_GE(compared, 100);
}

// Every solution is a point of the limit: the observer's distance from the
// penumbra's edge (axis distance minus penumbral radius) reaches its minimum,
// zero, at the solution's instant; the axis passes on the requested side;
// the Sun is above the horizon.
TEST(ScanLimitLongitudes, SolutionsLieOnThePenumbralLimit) {
  const auto sample = testing::RequireCanonSample();
  int checked = 0;
  for (std::size_t k = 0; k < sample.size(); k += 7) {
    const BesselianElements e = ElementsFromRecord(sample[k].record);
    for (int side : {1, -1}) {
      std::vector<LimitScanRecord> first(360), second(360);
      ScanLimitLongitudes(e, LimitScanSetup{1, SideOf(side), 0.0}, 0.0, 0.0, first, second);
      for (const auto* records : {&first, &second}) {
        for (const LimitScanRecord& r : *records) {
          if (!r.Used) continue;
          const double t = r.Hour - e.epochHour;
          const double lat = r.LatitudeDeg * kDegToRad;
          const double lon = -r.WestLongitudeDeg * kDegToRad;
          const auto o = testing::ObserverAt(e, t, lat, lon, kLimitScanObserverHeight);
          const std::string where = sample[k].date + " lat " + std::to_string(r.LatitudeDeg) +
                                    " west " + std::to_string(r.WestLongitudeDeg);
          // 10 arc-seconds of latitude are 5e-5 Earth radii; the residual is far smaller.
          EXPECT_NEAR(o.Across(), -side * o.l1, 2e-5) << where;
          EXPECT_NEAR(o.AxisDistance(), o.l1, 2e-5) << where;
          double closest = 1e9;
          for (int j = -30; j <= 30; ++j) {  // ten-second steps over ten minutes
            const auto oj = testing::ObserverAt(e, t + j / 360.0, lat, lon, kLimitScanObserverHeight);
            closest = std::min(closest, oj.AxisDistance() - oj.l1);
          }
          EXPECT_NEAR(closest, 0.0, 2e-5) << where;
          ElementState at;
          EvaluateElements(e, t, at);
          const double sinAltitude = std::sin(lat) * at.SinD +
                                     std::cos(lat) * at.CosD * std::cos(at.Mu + lon);
          EXPECT_GT(sinAltitude, -1e-3) << where;
          EXPECT_GE(r.LatitudeDeg, -90.0);
          EXPECT_LT(r.LatitudeDeg, 90.0);
          ++checked;
        }
      }
    }
  }
  EXPECT_GT(checked, 1000);
}

TEST(ScanLimitLongitudes, VisitsEveryLongitudeStepOfTheResolution) {
  const auto sample = testing::RequireCanonSample();
  const BesselianElements e = ElementsFromRecord(sample[0].record);
  for (int resolution : {1, 2, 8, 32}) {
    const int steps = 360 * resolution;
    std::vector<LimitScanRecord> first(steps), second(steps);
    for (double startDeg : {80.0, 0.0, -80.0}) {
      ScanLimitLongitudes(e, LimitScanSetup{resolution, PenumbraSide::North, 0.0}, 0.0, startDeg * kDegToRad,
                          first, second);
    }
    int used = 0;
    for (int i = 0; i < steps; ++i) {
      for (const LimitScanRecord* r : {&first[i], &second[i]}) {
        if (!r->Used) continue;
        ++used;
        double west = static_cast<double>(i) / resolution;
        if (west >= 180.0) west -= 360.0;
        EXPECT_NEAR(r->WestLongitudeDeg, west, 1e-9) << "R" << resolution << " step " << i;
        EXPECT_GE(r->WestLongitudeDeg, -180.0);
        EXPECT_LT(r->WestLongitudeDeg, 180.0);
      }
      // A second solution is one the first does not already hold.
      if (second[i].Used) {
        EXPECT_TRUE(first[i].Used);
        EXPECT_GT(std::fabs(first[i].LatitudeDeg - second[i].LatitudeDeg), 0.0001);
      }
    }
    // The limit spans a good part of the globe: solutions scale with the steps.
    EXPECT_GT(used, steps / 8) << "R" << resolution;
  }
}

TEST(ScanLimitLongitudes, RefusesRecordArraysShorterThanTheScan) {
  const auto sample = testing::RequireCanonSample();
  std::vector<LimitScanRecord> first(359), second(360);
  ScanLimitLongitudes(ElementsFromRecord(sample[0].record), LimitScanSetup{1, PenumbraSide::North, 0.0},
                      0.0, 0.0, first, second);
  for (const auto& r : first) EXPECT_FALSE(r.Used);
  for (const auto& r : second) EXPECT_FALSE(r.Used);
}

// Existence follows the start event; the chain starts there and holds every
// solution of the scans plus the end event.
TEST(ComputePenumbraLimit, BuiltFromItsStartEventAndEverySolution) {
  const auto sample = testing::RequireCanonSample();
  int withLimit = 0, withoutLimit = 0;
  for (std::size_t k = 0; k < sample.size(); k += 11) {
    auto c = WithEvents(sample[k].record, 1);
    for (int side : {1, -1}) {
      const EventId startId = side > 0 ? EventId::TPN1 : EventId::TPS1;
      const EventId endId = side > 0 ? EventId::TPN2 : EventId::TPS2;
      ComputePenumbraLimit(*c, SideOf(side));
      const PointCurve& curve = side > 0 ? c->curves.northPenumbra : c->curves.southPenumbra;
      const std::string what = sample[k].date + (side > 0 ? " north" : " south");
      if (!c->circumstances.events[startId].exists()) {
        EXPECT_FALSE(curve.Ready()) << what;
        EXPECT_EQ(curve.Count(), 0) << what;
        ++withoutLimit;
        continue;
      }
      ++withLimit;
      ASSERT_TRUE(curve.Ready()) << what;
      int used = 0;
      for (const auto* records : {&c->scratch.scanFirst, &c->scratch.scanSecond}) {
        ASSERT_EQ(records->size(), 360u);
        for (const auto& r : *records) used += r.Used ? 1 : 0;
      }
      const int ends = 1 + (c->circumstances.events[endId].exists() ? 1 : 0);
      EXPECT_EQ(curve.Count(), used + ends) << what;
      EXPECT_EQ(curve.At(1).Longitude, c->circumstances.events[startId].EphemerisLongitude) << what;
      EXPECT_EQ(curve.At(1).Latitude, c->circumstances.events[startId].Latitude) << what;
      for (const CurvePoint& p : curve.Points()) {
        EXPECT_TRUE(std::isfinite(p.Longitude) && std::isfinite(p.Latitude)) << what;
        EXPECT_LE(std::fabs(p.Longitude), kPi + 1e-12) << what;
      }
    }
  }
  EXPECT_GT(withLimit, 20);
  EXPECT_GT(withoutLimit, 5);
}

TEST(ComputePenumbraLimit, RejectsAResolutionTheViewDoesNotOffer) {
  const auto sample = testing::RequireCanonSample();
  auto c = WithEvents(sample[0].record, 1);
  for (int resolution : {0, 3, -1, 64}) {
    c->resolution = resolution;
    EXPECT_THROW(ComputePenumbraLimit(*c, PenumbraSide::North), std::invalid_argument) << resolution;
  }
}

// Both limits of the same eclipse run on opposite sides of the shadow path:
// a northern-limit point has no southern-limit point further north at the
// same longitude.
TEST(ComputePenumbraLimit, NorthernLimitLiesNorthOfTheSouthernOne) {
  const auto sample = testing::RequireCanonSample();
  int compared = 0;
  for (std::size_t k = 0; k < sample.size(); k += 5) {
    auto c = WithEvents(sample[k].record, 1);
    if (!c->circumstances.events[EventId::TPN1].exists() ||
        !c->circumstances.events[EventId::TPS1].exists())
      continue;
    ComputePenumbraLimit(*c, PenumbraSide::North);
    const std::vector<LimitScanRecord> north = c->scratch.scanFirst;
    ComputePenumbraLimit(*c, PenumbraSide::South);
    const std::vector<LimitScanRecord>& south = c->scratch.scanFirst;
    for (std::size_t i = 0; i < 360; ++i) {
      if (!north[i].Used || !south[i].Used) continue;
      if (c->scratch.scanSecond[i].Used) continue;  // a folded southern limit
      EXPECT_GT(north[i].LatitudeDeg, south[i].LatitudeDeg) << sample[k].date << " step " << i;
      ++compared;
    }
  }
  EXPECT_GT(compared, 100);
}

}  // namespace
}  // namespace darvelle
