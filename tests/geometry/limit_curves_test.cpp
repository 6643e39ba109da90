#include "geometry/limit_curves.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "astro/numeric.h"
#include "geometry/chain_order.h"
#include "geometry/circumstances.h"
#include "geometry/eclipse_computation.h"
#include "canon_fixtures.h"
#include "observer_plane.h"

namespace darvelle {
namespace {

using testing::CanonEclipse;
using testing::WithEvents;

double Median(std::vector<double> v) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}
double Quantile(std::vector<double> v, double q) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  return v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1))];
}

TEST(EasedInstant, DenseAtBothEndsAndSymmetric) {
  struct Case {
    int i;
    double expected;  // fraction of the way from start to end
  };
  const Case cases[] = {{0, 0.0}, {300, 1.0}, {150, 0.5}, {30, 0.028}, {270, 0.972}};
  for (const Case& c : cases) {
    EXPECT_NEAR(EasedInstant(-2.0, 3.0, c.i), -2.0 + 5.0 * c.expected, 1e-12) << c.i;
  }
  for (int i = 0; i <= 300; ++i) {
    // s(F) + s(1 - F) = 1, and the spacing grows towards the middle.
    EXPECT_NEAR(EasedInstant(0.0, 1.0, i) + EasedInstant(0.0, 1.0, 300 - i), 1.0, 1e-12);
    if (i > 0 && i <= 150) {
      EXPECT_GT(EasedInstant(0.0, 1.0, i) - EasedInstant(0.0, 1.0, i - 1),
                EasedInstant(0.0, 1.0, i - 1) - EasedInstant(0.0, 1.0, std::max(i - 2, 0)) - 1e-15);
    }
  }
}

// ---------------------------------------------------------------------------
// Chain ordering: the grid search must give exactly the plain search's order.

void PlainOrderAsChain(std::vector<CurvePoint>& b, int count) {
  for (int a = 0; a + 1 < count; ++a) {
    double best = 9999.0;
    int bestIndex = -1;
    for (int j = a + 1; j < count; ++j) {
      const double d = AngularSeparation(b[a].Longitude, b[a].Latitude, b[j].Longitude, b[j].Latitude);
      if (d < best) {
        best = d;
        bestIndex = j;
      }
    }
    if (bestIndex >= 0) std::swap(b[a + 1], b[bestIndex]);
  }
}

std::vector<CurvePoint> RandomSphere(std::mt19937& rng, int n) {
  std::uniform_real_distribution<double> z(-1.0, 1.0), lon(-kPi, kPi);
  std::vector<CurvePoint> p(n);
  for (auto& q : p) q = {lon(rng), std::asin(z(rng))};
  return p;
}

// A limit-like curve sampled twice (the two records of a scan) with small
// offsets, some exact duplicates, in longitude order as the scan stores it.
std::vector<CurvePoint> ScanLike(std::mt19937& rng, int n) {
  std::uniform_real_distribution<double> jitter(-1e-5, 1e-5);
  std::vector<CurvePoint> p;
  p.push_back({0.3, 0.7});  // the start event
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < n; ++i) {
      const double lon = -kPi + 2 * kPi * i / n;
      CurvePoint q{lon, 0.6 + 0.3 * std::sin(3 * lon) + (pass ? jitter(rng) : 0.0)};
      p.push_back(q);
      if (i % 17 == 0) p.push_back(q);
    }
  }
  p.push_back({0.31, 0.69});  // the end event
  return p;
}

// Points placed symmetrically about the start, so equal distances occur exactly.
std::vector<CurvePoint> Symmetric(int n) {
  std::vector<CurvePoint> p{{0.0, 0.0}};
  for (int k = 1; k <= n; ++k) {
    const double d = 0.001 * k;
    p.push_back({d, 0.0});
    p.push_back({-d, 0.0});
    p.push_back({0.0, d});
    p.push_back({0.0, -d});
  }
  return p;
}

// Clusters far apart force long jumps between them.
std::vector<CurvePoint> Clusters(std::mt19937& rng, int perCluster) {
  std::normal_distribution<double> spread(0.0, 0.002);
  std::vector<CurvePoint> p;
  const CurvePoint centres[] = {{0.0, 1.2}, {2.5, -0.4}, {-2.0, 0.1}, {1.0, -1.4}};
  for (int k = 0; k < perCluster; ++k) {
    for (const auto& c : centres) p.push_back({c.Longitude + spread(rng), c.Latitude + spread(rng)});
  }
  return p;
}

bool SameValue(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

TEST(OrderAsChain, SameOrderAsThePlainNearestNeighbourSearch) {
  std::mt19937 rng(20240408);
  struct Case {
    std::string name;
    std::vector<CurvePoint> points;
  };
  std::vector<Case> cases = {
      {"empty", {}},
      {"one", {{1.0, 0.5}}},
      {"two", {{1.0, 0.5}, {-1.0, 0.2}}},
      {"random 10", RandomSphere(rng, 10)},
      {"random 97", RandomSphere(rng, 97)},
      {"random 600", RandomSphere(rng, 600)},
      {"random 1500", RandomSphere(rng, 1500)},
      {"scan-like 400", ScanLike(rng, 400)},
      {"scan-like 1200", ScanLike(rng, 1200)},
      {"symmetric ties", Symmetric(60)},
      {"clusters", Clusters(rng, 150)},
      {"poles and antipodes", {{0, 0}, {kPi, 0}, {0, kPi / 2}, {1, kPi / 2}, {0, -kPi / 2},
                               {-kPi, 0}, {kPi / 2, 0}, {-kPi / 2, 0}}},
  };
  // All points equal: every distance ties.
  cases.push_back({"all equal", std::vector<CurvePoint>(150, CurvePoint{0.2, 0.3})});
  // Points that are not numbers are never nearest; the rest is ordered as usual.
  std::vector<CurvePoint> withNaN = RandomSphere(rng, 200);
  for (std::size_t i = 5; i < withNaN.size(); i += 7) withNaN[i].Latitude = std::nan("");
  cases.push_back({"with NaN", withNaN});
  for (auto& c : cases) {
    std::vector<CurvePoint> got = c.points;
    std::vector<CurvePoint> want = c.points;
    OrderAsChain(got, static_cast<int>(got.size()));
    PlainOrderAsChain(want, static_cast<int>(want.size()));
    ASSERT_EQ(got.size(), want.size()) << c.name;
    int mismatches = 0;
    for (std::size_t i = 0; i < got.size(); ++i) {
      if (!SameValue(got[i].Longitude, want[i].Longitude) ||
          !SameValue(got[i].Latitude, want[i].Latitude)) {
        if (++mismatches <= 3) ADD_FAILURE() << c.name << ": position " << i << " differs";
      }
    }
    EXPECT_EQ(mismatches, 0) << c.name;
  }
}

TEST(OrderAsChain, OrdersOnlyTheFirstCountPoints) {
  std::mt19937 rng(7);
  std::vector<CurvePoint> got = RandomSphere(rng, 300);
  std::vector<CurvePoint> want = got;
  OrderAsChain(got, 200);
  PlainOrderAsChain(want, 200);
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i].Longitude, want[i].Longitude) << i;
    EXPECT_EQ(got[i].Latitude, want[i].Latitude) << i;
  }
  // A count beyond the buffer orders what is there.
  std::vector<CurvePoint> small = RandomSphere(rng, 5), smallWant = small;
  OrderAsChain(small, 50);
  PlainOrderAsChain(smallWant, 5);
  for (std::size_t i = 0; i < small.size(); ++i) EXPECT_EQ(small[i].Latitude, smallWant[i].Latitude);
}

// ---------------------------------------------------------------------------
// Central line.

bool IsCentral(const CanonEclipse& e) { return e.central(); }

TEST(ComputeCentralLine, PointsLieOnTheShadowAxis) {
  const auto sample = testing::RequireCanonSample();
  int lines = 0;
  for (std::size_t k = 0; k < sample.size(); k += 3) {
    if (!IsCentral(sample[k])) continue;
    auto c = WithEvents(sample[k].record);
    ComputeCentralLine(*c);
    const auto& line = c->curves.centralLine;
    ASSERT_TRUE(line.Ready()) << sample[k].date;
    ++lines;
    ASSERT_GE(line.Count(), 3) << sample[k].date;
    EXPECT_LE(line.Count(), 301);
    // Ends: the events' own positions and instants.
    EXPECT_EQ(line.At(1).Longitude, c->circumstances.events[EventId::TC1].EphemerisLongitude);
    EXPECT_EQ(line.At(1).Latitude, c->circumstances.events[EventId::TC1].Latitude);
    EXPECT_EQ(line.At(1).Time, c->circumstances.events.Time(EventId::TC1));
    EXPECT_EQ(line.At(line.Count()).Latitude, c->circumstances.events[EventId::TC2].Latitude);
    EXPECT_EQ(line.At(line.Count()).Time, c->circumstances.events.Time(EventId::TC2));
    for (int i = 2; i < line.Count(); ++i) {
      const CentralLinePoint& p = line.At(i);
      const auto o = testing::ObserverAt(c->elements, p.Time, p.Latitude, p.Longitude);
      ASSERT_LT(o.AxisDistance(), 1e-7) << sample[k].date << " point " << i;
      EXPECT_GT(p.Time, line.At(i - 1).Time);
      // Thinning: no stored point within 0.4001 km of the one before it.
      const double km = AngularSeparation(p.Longitude, p.Latitude, line.At(i - 1).Longitude,
                                          line.At(i - 1).Latitude) *
                        kRadToDeg * 40000.0 / 360.0;
      EXPECT_GT(km, kCentralLineMinSpacingKm);
      EXPECT_GE(p.SunAltitudeDeg, -0.5);
      EXPECT_LE(p.SunAltitudeDeg, 90.0);
      EXPECT_GT(p.WidthKm, 0.0);
      EXPECT_GT(p.DurationMinutes, 0.0);
    }
    // On the limb the Sun is on the horizon.
    EXPECT_NEAR(line.At(1).SunAltitudeDeg, 0.0, 0.5);
    EXPECT_NEAR(line.At(line.Count()).SunAltitudeDeg, 0.0, 0.5);
  }
  EXPECT_GT(lines, 100);
}

// A short stretch of line (a few km) traced with 300 instants: points closer
// than 0.4001 km to the last stored one are dropped, the end point is kept.
TEST(ComputeCentralLine, ThinsPointsCloserThanTheMinimumSpacing) {
  const auto sample = testing::RequireCanonSample();
  int thinned = 0;
  for (std::size_t k = 0; k < sample.size(); k += 50) {
    if (!IsCentral(sample[k])) continue;
    auto c = WithEvents(sample[k].record);
    const double tg = c->circumstances.timeGreatest;
    // The axis point at an instant, as the line computes it.
    auto axisPoint = [&](double t) {
      ElementState s;
      EvaluateAllAt(c->elements, t, s);
      const double eta1 = s.Y / s.Rho1;
      const double zeta1 = std::sqrt(std::fabs(1.0 - s.X * s.X - eta1 * eta1));
      return CurvePointFromPlane(s, PlaneToGeographic(s, PlanePoint{s.X, eta1, zeta1}).value());
    };
    const double t1 = tg - 0.001, t2 = tg + 0.001;  // 7 s: some 10 km of path
    for (auto [id, t] : {std::pair{EventId::TC1, t1}, std::pair{EventId::TC2, t2}}) {
      const CurveGeographic g = axisPoint(t);
      c->circumstances.events[id].Time = t;
      c->circumstances.events[id].EphemerisLongitude = g.Longitude;
      c->circumstances.events[id].Latitude = g.Latitude;
    }
    ComputeCentralLine(*c);
    const auto& line = c->curves.centralLine;
    const double pathKm = AngularSeparation(line.At(1).Longitude, line.At(1).Latitude,
                                            line.At(line.Count()).Longitude,
                                            line.At(line.Count()).Latitude) *
                          kRadToDeg * 40000.0 / 360.0;
    // Roughly one point per 0.4 km of path, never 301.
    EXPECT_LT(line.Count(), pathKm / kCentralLineMinSpacingKm + 3) << sample[k].date;
    EXPECT_GT(line.Count(), pathKm / kCentralLineMinSpacingKm / 3) << sample[k].date;
    for (int i = 2; i < line.Count(); ++i) {
      const double km = AngularSeparation(line.At(i).Longitude, line.At(i).Latitude,
                                          line.At(i - 1).Longitude, line.At(i - 1).Latitude) *
                        kRadToDeg * 40000.0 / 360.0;
      EXPECT_GT(km, kCentralLineMinSpacingKm) << sample[k].date << " point " << i;
      EXPECT_LT(km, 2 * kCentralLineMinSpacingKm) << sample[k].date << " point " << i;
    }
    EXPECT_EQ(line.At(line.Count()).Time, t2);
    ++thinned;
  }
  EXPECT_GT(thinned, 5);
}

// The kind follows the sign of the umbral radius at the surface: all total
// along a total path, all annular along an annular one, both along a hybrid.
TEST(ComputeCentralLine, KindsFollowTheEclipseType) {
  const auto sample = testing::RequireCanonSample();
  int hybridsWithBoth = 0, hybrids = 0;
  for (const CanonEclipse& e : sample) {
    if (!IsCentral(e)) continue;
    auto c = WithEvents(e.record);
    ComputeCentralLine(*c);
    int total = 0, annular = 0;
    for (const auto& p : c->curves.centralLine.Points()) {
      if (p.CentralKind == CentralKind::Total) {
        ++total;
      } else {
        ++annular;
      }
      EXPECT_TRUE(p.CentralKind == CentralKind::Total || p.CentralKind == CentralKind::Annular);
    }
    const char type = e.typeCode[0];
    // Paths narrower than a few km are hybrids in all but name.
    const bool clearCut = e.widthKm > 5.0;
    if (type == 'T' && clearCut) {
      EXPECT_EQ(annular, 0) << e.date << " " << e.typeCode;
    }
    if (type == 'A' && clearCut) {
      EXPECT_EQ(total, 0) << e.date << " " << e.typeCode;
    }
    if (type == 'H') {
      ++hybrids;
      EXPECT_GT(total, 0) << e.date;
      if (annular > 0) ++hybridsWithBoth;
    }
    // On the limb the observer is on the fundamental plane: the kind of an
    // end is the sign of l2 there.
    for (int end : {1, c->curves.centralLine.Count()}) {
      const CentralLinePoint& p = c->curves.centralLine.At(end);
      ElementState s;
      EvaluateElements(c->elements, p.Time, s);
      if (std::fabs(s.L2) > 1e-5) {
        EXPECT_EQ(p.CentralKind, s.L2 >= 0.0 ? CentralKind::Annular : CentralKind::Total) << e.date;
      }
    }
  }
  EXPECT_GT(hybrids, 10);
  // Most hybrids are annular at the ends of the path (a few only at one end).
  EXPECT_GT(hybridsWithBoth, hybrids / 2);
}

// Against the canon's figures at greatest eclipse: path width within 1 %
// (median) and central duration within 1 s.
TEST(CentralLineValuesAt, WidthAndDurationAgreeWithThePublishedCanon) {
  const auto sample = testing::RequireCanonSample();
  std::vector<double> widthError, durationError;
  for (const CanonEclipse& e : sample) {
    if (!IsCentral(e) || e.widthKm <= 0.0) continue;
    auto c = WithEvents(e.record);
    const EclipseEvent& tg0 = c->circumstances.events[EventId::TG0];
    if (tg0.Latitude == 0.0 && tg0.EphemerisLongitude == 0.0) continue;
    ElementState& s = c->scratch.state;
    EvaluateAllAt(c->elements, c->circumstances.timeGreatest, s);
    const double eta1 = s.Y / s.Rho1;
    const double zeta1 = std::sqrt(std::fabs(1.0 - s.X * s.X - eta1 * eta1));
    const double zeta = std::max(0.0, s.Rho2 * (zeta1 * s.CosD1MinusD2 - eta1 * s.SinD1MinusD2));
    const CentralLineValues v =
        CentralLineValuesAt(s, zeta, CurvePoint{tg0.EphemerisLongitude, tg0.Latitude});
    widthError.push_back(std::fabs(v.WidthKm - e.widthKm) / e.widthKm);
    durationError.push_back(std::fabs(v.DurationMinutes * 60.0 - e.durationSeconds));
    // The Sun's altitude on the axis is that of the fundamental plane's normal.
    EXPECT_NEAR(v.SunAltitudeDeg, std::asin(zeta1) * kRadToDeg, 0.25) << e.date;
  }
  ASSERT_GT(widthError.size(), 300u);
  std::printf("path width vs canon (%zu eclipses): median %.3f%%, 90%% %.3f%%, max %.3f%%\n",
              widthError.size(), 100 * Median(widthError), 100 * Quantile(widthError, 0.9),
              100 * Quantile(widthError, 1.0));
  std::printf("duration vs canon: median %.2f s, 95%% %.2f s, max %.2f s\n", Median(durationError),
              Quantile(durationError, 0.95), Quantile(durationError, 1.0));
  EXPECT_LT(Median(widthError), 0.01);
  EXPECT_LE(Quantile(durationError, 0.95), 1.0);
}

// ---------------------------------------------------------------------------
// Umbral limits.

// Minimum over [t1, t2] of the observer's distance from the umbra's edge
// (axis distance minus |umbral radius|), with the Sun above the horizon.
double ClosestToUmbralEdge(const BesselianElements& e, double t1, double t2, double lat, double lon,
                           double* when) {
  auto f = [&](double t) {
    const auto o = testing::ObserverAt(e, t, lat, lon);
    return o.AxisDistance() - std::fabs(o.l2);
  };
  const int n = 600;
  int best = 0;
  double bestValue = 1e9;
  for (int i = 0; i <= n; ++i) {
    const double v = f(t1 + (t2 - t1) * i / n);
    if (v < bestValue) {  // first of equal values
      bestValue = v;
      best = i;
    }
  }
  double a = t1 + (t2 - t1) * std::max(best - 1, 0) / n;
  double b = t1 + (t2 - t1) * std::min(best + 1, n) / n;
  for (int i = 0; i < 100; ++i) {  // golden section
    const double m1 = b - (b - a) * 0.6180339887498949;
    const double m2 = a + (b - a) * 0.6180339887498949;
    if (f(m1) < f(m2)) {
      b = m2;
    } else {
      a = m1;
    }
  }
  *when = (a + b) / 2;
  return f(*when);
}

TEST(ComputeUmbraLimits, PointsJustTouchTheUmbraOnOppositeSidesOfTheAxis) {
  const auto sample = testing::RequireCanonSample();
  int limits = 0, points = 0;
  std::vector<double> residual;
  for (std::size_t k = 0; k < sample.size(); k += 4) {
    auto c = WithEvents(sample[k].record);
    ComputeNorthUmbraLimit(*c);
    ComputeSouthUmbraLimit(*c);
    struct Side {
      const PointCurve* curve;
      EventId start, end;
      double sign = 0;  // side of the axis, settled by the first point
    };
    Side sides[] = {{&c->curves.northUmbra, EventId::TUN1, EventId::TUN2},
                    {&c->curves.southUmbra, EventId::TUS1, EventId::TUS2}};
    for (Side& side : sides) {
      const bool exists = c->circumstances.events[side.start].exists() &&
                          c->circumstances.events[side.end].exists();
      ASSERT_EQ(side.curve->Ready(), exists) << sample[k].date;
      if (!exists) continue;
      ++limits;
      EXPECT_EQ(side.curve->At(1).Latitude, c->circumstances.events[side.start].Latitude);
      EXPECT_EQ(side.curve->At(side.curve->Count()).Latitude,
                c->circumstances.events[side.end].Latitude);
      const double t1 = c->circumstances.events.Time(side.start).value(),
                   t2 = c->circumstances.events.Time(side.end).value();
      // Interior points away from the ends, where the limb makes the minimum ill-defined.
      for (int i = 30; i <= side.curve->Count() - 30; i += 20) {
        const CurvePoint& p = side.curve->At(i);
        double when = 0;
        const double gap = ClosestToUmbralEdge(c->elements, t1, t2, p.Latitude, p.Longitude, &when);
        residual.push_back(std::fabs(gap));
        EXPECT_NEAR(gap, 0.0, 1e-4) << sample[k].date << " point " << i;
        const auto o = testing::ObserverAt(c->elements, when, p.Latitude, p.Longitude);
        // The limit point lies at x - L sin Q: where a hybrid's umbral radius
        // changes sign the limit passes to the other side of the axis.
        if (std::fabs(o.l2) > 1e-4) {
          const double sign = (o.Across() > 0) == (o.l2 > 0) ? 1.0 : -1.0;
          if (side.sign == 0) side.sign = sign;
          EXPECT_EQ(sign, side.sign) << sample[k].date << " point " << i;
        }
        ++points;
      }
    }
    if (sides[0].sign != 0 && sides[1].sign != 0) {
      EXPECT_NE(sides[0].sign, sides[1].sign) << sample[k].date;
    }
  }
  std::printf("umbral limit points: %d, |distance from the umbra's edge| median %.2e, max %.2e "
              "Earth radii\n", points, Median(residual), Quantile(residual, 1.0));
  EXPECT_GT(limits, 50);
  EXPECT_GT(points, 500);
}

// Which traced curves exist: the central line needs TC1 and TC2, each umbral
// limit both of its events; a partial eclipse has none of them.
TEST(TracedCurves, ExistOnlyWithTheirEvents) {
  const auto sample = testing::RequireCanonSample();
  int partials = 0, nonCentral = 0, central = 0;
  for (const CanonEclipse& e : sample) {
    auto c = WithEvents(e.record);
    ComputeNorthUmbraLimit(*c);
    ComputeCentralLine(*c);
    ComputeSouthUmbraLimit(*c);
    const auto& ev = c->circumstances.events;
    const auto& k = c->curves;
    EXPECT_EQ(k.centralLine.Ready(), ev[EventId::TC1].exists() && ev[EventId::TC2].exists())
        << e.date;
    EXPECT_EQ(k.northUmbra.Ready(), ev[EventId::TUN1].exists() && ev[EventId::TUN2].exists());
    EXPECT_EQ(k.southUmbra.Ready(), ev[EventId::TUS1].exists() && ev[EventId::TUS2].exists());
    for (const auto* curve : {&k.northUmbra, &k.southUmbra}) {
      if (!curve->Ready()) {
        EXPECT_EQ(curve->Count(), 0);
      }
      EXPECT_LE(curve->Count(), 301);
    }
    if (e.typeCode[0] == 'P') {
      ++partials;
      EXPECT_FALSE(k.centralLine.Ready()) << e.date;
      EXPECT_FALSE(k.northUmbra.Ready()) << e.date;
      EXPECT_FALSE(k.southUmbra.Ready()) << e.date;
    } else if (!e.central()) {
      ++nonCentral;
      EXPECT_FALSE(k.centralLine.Ready()) << e.date << " " << e.typeCode;
    } else {
      ++central;
      EXPECT_TRUE(k.centralLine.Ready()) << e.date << " " << e.typeCode;
    }
  }
  EXPECT_GT(partials, 100);
  EXPECT_GT(nonCentral, 3);
  EXPECT_GT(central, 300);
}

}  // namespace
}  // namespace darvelle
