// The umbral limits against the program's own local circumstances: a place
// 1 km inside a limit sees a central eclipse, a place 1 km outside only a
// partial one (or as far as half the way to the central line where the
// path is narrower than 2 km), wherever the Sun stands at least half a degree up. A limit
// that a low Sun pulls off the true boundary fails here first.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "astro/delta_t.h"
#include "astro/earth_rotation.h"
#include "geometry/eclipse_computation.h"
#include "geometry/local_circumstances.h"
#include "../support/shipped_catalogue.h"
#include "../support/sphere_vectors.h"

namespace darvelle {
namespace {

using testing::Along;
using testing::Cross;
using testing::Dot;
using testing::Normalized;
using testing::Step;
using testing::UnitOf;
using testing::Vec;

// Angle from p to the nearest point of the polyline (unit sphere).
double DistanceToLine(const Vec& p, const std::vector<CentralLinePoint>& line) {
  double best = kPi;
  for (std::size_t i = 0; i + 1 < line.size(); ++i) {
    const Vec a = UnitOf(line[i].Longitude, line[i].Latitude);
    const Vec b = UnitOf(line[i + 1].Longitude, line[i + 1].Latitude);
    best = std::min({best, std::acos(std::min(1.0, Dot(p, a))), std::acos(std::min(1.0, Dot(p, b)))});
    const Vec n = Normalized(Cross(a, b));
    const Vec foot = Normalized({p[0] - n[0] * Dot(p, n), p[1] - n[1] * Dot(p, n), p[2] - n[2] * Dot(p, n)});
    if (Dot(Cross(a, foot), n) > 0.0 && Dot(Cross(foot, b), n) > 0.0) {
      best = std::min(best, std::abs(std::asin(Dot(p, n))));
    }
  }
  return best;
}

class UmbraLimitLocal : public testing::ShippedCatalogueTest {};

TEST_F(UmbraLimitLocal, OneKilometreInsideIsCentralOutsideIsNot) {
  // Low Sun at the ends of long paths, a wide path at a low Sun (2033), polar
  // paths, a hybrid and annular paths.
  const int dates[][3] = {{2021, 12, 4}, {2033, 3, 30},  {2024, 4, 8},  {2017, 8, 21},
                          {2023, 4, 20}, {2023, 10, 14}, {2026, 8, 12}, {2027, 8, 2},
                          {2024, 10, 2}, {2015, 3, 20},  {2021, 6, 10}, {2030, 6, 1},
                          {2019, 7, 2}};
  constexpr double kKmRad = 1.0 / 6371.0;
  int checked = 0, wrong = 0;
  double lowestSun = 90.0;
  for (const auto& d : dates) {
    const int index = IndexOf(d[0], d[1], d[2]);
    ASSERT_NE(index, 0) << d[0] << "-" << d[1] << "-" << d[2];
    const EclipseResult r = ComputeEclipse(PrepareEclipse(*catalogue_, index, TimeScale::kUniversal, 1));
    const BesselianElements& elements = r.elements;
    const double rotation = EarthRotationDuring(r.modelDeltaT);
    const auto& centre = r.curves.centralLine.Points();
    for (const PointCurve* limit : {&r.curves.northUmbra, &r.curves.southUmbra}) {
      const auto& p = limit->Points();
      ASSERT_TRUE(limit->Ready() && p.size() > 10 && centre.size() > 10);
      for (std::size_t i = 1; i + 1 < p.size(); ++i) {
        const Vec here = UnitOf(p[i].Longitude, p[i].Latitude);
        const Vec along = Along(UnitOf(p[i - 1].Longitude, p[i - 1].Latitude),
                                UnitOf(p[i + 1].Longitude, p[i + 1].Latitude));
        // 1 km, or less where the path is narrower than 2 km (a hybrid's
        // ends): a place inside must not cross the central line. Where it is
        // narrower than 0.2 km the local contacts' 0.01 s decide alone.
        const double offset = std::min(kKmRad, 0.5 * DistanceToLine(here, centre));
        if (offset < 0.1 * kKmRad) continue;
        Vec across = Normalized(Cross(here, along));
        // Inwards: towards the nearest point of the central line.
        const auto nearest = std::min_element(centre.begin(), centre.end(), [&](auto& a, auto& b) {
          return Dot(UnitOf(a.Longitude, a.Latitude), here) >
                 Dot(UnitOf(b.Longitude, b.Latitude), here);
        });
        if (Dot(UnitOf(nearest->Longitude, nearest->Latitude), across) < Dot(here, across)) {
          across = {-across[0], -across[1], -across[2]};
        }
        auto localAt = [&](double sign) {
          const Vec q = Step(here, across, sign * offset);
          const Observer o{std::asin(q[2]) * kRadToDeg,
                           std::remainder(std::atan2(q[1], q[0]) + rotation, kTwoPi) * kRadToDeg,
                           0.0};
          return ComputeLocalCircumstances(elements, r.modelDeltaT, o);
        };
        const LocalCircumstances inside = localAt(+1.0), outside = localAt(-1.0);
        if (!inside.Maximum || inside.Maximum->SunAltitudeDeg < 0.5) continue;
        ++checked;
        lowestSun = std::min(lowestSun, inside.Maximum->SunAltitudeDeg);
        const bool right = inside.DurationS.has_value() && !outside.DurationS.has_value();
        if (!right && ++wrong <= 10) {
          ADD_FAILURE() << d[0] << "-" << d[1] << "-" << d[2]
                        << (limit == &r.curves.northUmbra ? " northern" : " southern")
                        << " limit, vertex " << i << ", Sun "
                        << inside.Maximum->SunAltitudeDeg << " deg: inside "
                        << (inside.DurationS ? "central" : "not central") << ", outside "
                        << (outside.DurationS ? "central" : "not central");
        }
      }
    }
  }
  std::printf("umbral limit vertices checked %d, wrong side %d, lowest Sun %.2f deg\n", checked,
              wrong, lowestSun);
  EXPECT_GT(checked, 5000);
  EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace darvelle
