// The computation against the independent figures of a published canon:
// position of greatest eclipse, central duration and path width there, and
// which eclipses are central at all.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "astro/numeric.h"
#include "canon_sample.h"
#include "geometry/eclipse_computation.h"
#include "geometry/limit_curves.h"

namespace darvelle {
namespace {

// These check the computation the curve files come from; the curves as
// drawn and exported have tests of their own.
PreparedEclipse WithoutDrawnCurves(PreparedEclipse eclipse) {
  eclipse.drawnCurves = false;
  return eclipse;
}

using testing::CanonEclipse;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

double Quantile(std::vector<double> v, double q) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1))];
}

class CanonComparison : public ::testing::Test {
 protected:
  void SetUp() override {
    sample_ = testing::LoadCanonSample(testing::CanonSamplePath());
    ASSERT_GT(sample_.size(), 900u) << "canon sample not readable at " << testing::CanonSamplePath();
  }
  std::vector<CanonEclipse> sample_;
};

// Greatest eclipse computed in TT, so positions are ephemeris longitudes; the
// canon's longitude is turned into one with the canon's own DeltaT.
TEST_F(CanonComparison, GreatestEclipsePositionDurationAndWidth) {
  std::vector<double> positionErrors, durationErrors, widthErrors;
  int central = 0;
  for (const CanonEclipse& canon : sample_) {
    if (!canon.central()) continue;
    EclipseResult c;
    c = ComputeEclipse(WithoutDrawnCurves(PrepareEclipse(canon.record, TimeScale::kTerrestrial, 1)));
    const EclipseEvent& tg0 = c.circumstances.events[EventId::TG0];
    // Eclipses that graze the limb may be central in one model and not the other.
    if (!tg0.exists()) {
      ADD_FAILURE() << canon.date << " " << canon.typeCode << ": no central point";
      continue;
    }
    ++central;
    const double hourTT =
        std::fmod(c.elements.epochHour + c.circumstances.timeGreatest + 48.0, 24.0);
    EXPECT_NEAR(hourTT, canon.greatestHourTT, 2.0 / 3600.0) << canon.date;

    const double canonEphemerisLongitude =
        canon.longitudeDeg - 360.0 * kSiderealRate * canon.deltaT / 86400.0;
    // Distance on the sphere: near the poles a longitude difference means little.
    positionErrors.push_back(
        AngularSeparation(tg0.EphemerisLongitude, tg0.Latitude,
                          canonEphemerisLongitude * kDegToRad, canon.latitudeDeg * kDegToRad) *
        kRadToDeg);

    // Duration and width at greatest eclipse, as the central line computes them.
    EvaluateAllAt(c.elements, c.circumstances.timeGreatest, c.atGreatest);
    const ElementState& s = c.atGreatest;
    const double eta1 = s.Y / s.Rho1;
    const double zeta1 = std::sqrt(std::fabs(1.0 - s.X * s.X - eta1 * eta1));
    const double zeta = std::max(0.0, s.Rho2 * (zeta1 * s.CosD1MinusD2 - eta1 * s.SinD1MinusD2));
    const CentralLineValues values =
        CentralLineValuesAt(s, zeta, CurvePoint{tg0.EphemerisLongitude, tg0.Latitude});
    durationErrors.push_back(std::fabs(values.DurationMinutes * 60.0 - canon.durationSeconds));
    if (canon.widthKm > 0.0) {
      widthErrors.push_back(std::fabs(values.WidthKm - canon.widthKm) / canon.widthKm);
    }
  }
  ASSERT_GT(central, 550);
  std::printf("canon comparison over %d central eclipses\n", central);
  std::printf("  position (deg): median %.3f  95%% %.3f  max %.3f\n", Median(positionErrors),
              Quantile(positionErrors, 0.95), Quantile(positionErrors, 1.0));
  std::printf("  duration (s):   median %.2f  95%% %.2f  max %.2f\n", Median(durationErrors),
              Quantile(durationErrors, 0.95), Quantile(durationErrors, 1.0));
  std::printf("  width (rel):    median %.4f  95%% %.4f  max %.4f\n", Median(widthErrors),
              Quantile(widthErrors, 0.95), Quantile(widthErrors, 1.0));
  // The canon prints positions to 0.1 deg and durations to whole seconds.
  EXPECT_LT(Quantile(positionErrors, 1.0), 0.1);
  EXPECT_LT(Quantile(durationErrors, 1.0), 1.0);
  // The canon's widths are whole kilometres of a few hundred: a kilometre
  // taken for the wrong length (the Moon's radius over the Earth's in AU,
  // 6386 km, instead of 6378.137 km) shows as a median of 0.13 %.
  EXPECT_LT(Median(widthErrors), 0.0005);
}

// Partial and non-central eclipses have no central line and no TG0 point;
// central ones have both ends of the central line with their kinds.
TEST_F(CanonComparison, CentralEventsExistExactlyForCentralEclipses) {
  for (const CanonEclipse& canon : sample_) {
    EclipseResult c;
    c = ComputeEclipse(WithoutDrawnCurves(PrepareEclipse(canon.record, TimeScale::kTerrestrial, 1)));
    const bool central = canon.central();
    SCOPED_TRACE(canon.date + " " + canon.typeCode);
    EXPECT_EQ(c.circumstances.events[EventId::TG0].exists(), central);
    EXPECT_EQ(c.circumstances.events[EventId::TC1].exists(), central);
    EXPECT_EQ(c.circumstances.events[EventId::TC2].exists(), central);
    EXPECT_TRUE(c.circumstances.events[EventId::TP1].exists());
    EXPECT_TRUE(c.circumstances.events[EventId::TP4].exists());
    EXPECT_LT(c.circumstances.events.Time(EventId::TP1), c.circumstances.timeGreatest);
    EXPECT_GT(c.circumstances.events.Time(EventId::TP4), c.circumstances.timeGreatest);
    if (central) {
      const CentralKind kind = c.circumstances.events[EventId::TG0].CentralKind;
      if (canon.typeCode[0] == 'T') {
        EXPECT_EQ(kind, CentralKind::Total);
      } else if (canon.typeCode[0] == 'A') {
        EXPECT_EQ(kind, CentralKind::Annular);
      }
      EXPECT_TRUE(c.curves.centralLine.Ready());
    }
  }
}

}  // namespace
}  // namespace darvelle
