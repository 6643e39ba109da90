#include "shadow_geometry.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "besselian_elements.h"

namespace darvelle::catalogue_gen {
namespace {

constexpr double kDegToRad = 0.017453292519943295;

struct Outline {
  double m;   // distance of the axis from the centre
  double r;   // radius of the Earth's outline (ellipse of semi-axes 1, rho1) toward the axis
  double y1;  // y scaled to the unit sphere
};

Outline OutlineAt(const EclipseRecord& record, double t) {
  const double x = record.XPoly.At(t);
  const double y = record.YPoly.At(t);
  const double d = record.DPoly.At(t) * kDegToRad;
  const double cosD = std::cos(d);
  const double rho1 = std::sqrt(1.0 - kEarthEccentricitySquared * cosD * cosD);
  const double y1 = y / rho1;
  const double m = std::sqrt(x * x + y * y);
  const double m1 = std::sqrt(x * x + y1 * y1);
  // On the centre itself every direction is as good as another: take the equator's.
  const double r = m1 > 0.0 ? m / m1 : 1.0;
  return {m, r, y1};
}

}  // namespace

double AxisApproach(const EclipseRecord& record, double t) {
  return record.XPoly.At(t) * record.XPoly.RateAt(t) + record.YPoly.At(t) * record.YPoly.RateAt(t);
}

double PenumbraGap(const EclipseRecord& record, double t) {
  const Outline o = OutlineAt(record, t);
  return o.m - (o.r + record.L1Poly.At(t));
}

double UmbraGap(const EclipseRecord& record, double t) {
  const Outline o = OutlineAt(record, t);
  return o.m - (o.r + std::fabs(record.L2Poly.At(t)));
}

double AxisGap(const EclipseRecord& record, double t) {
  const Outline o = OutlineAt(record, t);
  const double x = record.XPoly.At(t);
  return x * x + o.y1 * o.y1 - 1.0;
}

double CentralUmbraRadius(const EclipseRecord& record, double t) {
  const double x = record.XPoly.At(t);
  const double y = record.YPoly.At(t);
  const double d = record.DPoly.At(t) * kDegToRad;
  const double sinD = std::sin(d);
  const double cosD = std::cos(d);
  const double rho1 = std::sqrt(1.0 - kEarthEccentricitySquared * cosD * cosD);
  const double rho2 = std::sqrt(1.0 - kEarthEccentricitySquared * sinD * sinD);
  const double sinD1MinusD2 = kEarthEccentricitySquared * sinD * cosD / (rho1 * rho2);
  const double cosD1MinusD2 = kPolarAxisRatio / (rho1 * rho2);
  const double eta1 = y / rho1;
  const double zeta1 = std::sqrt(std::max(0.0, 1.0 - x * x - eta1 * eta1));
  const double zeta = rho2 * (zeta1 * cosD1MinusD2 - eta1 * sinD1MinusD2);
  return record.L2Poly.At(t) - zeta * record.TanF2Poly.At(t);
}

Extremum MinimumOf(const std::function<double(double)>& f, double lo, double hi, double step) {
  // The sampling finds the valley; the functions here are smooth with a single
  // minimum per valley wider than `step`, so a golden-section search on the
  // two neighbouring intervals then converges to it.
  const int steps = std::max(1, static_cast<int>(std::ceil((hi - lo) / step)));
  Extremum best{lo, f(lo)};
  int bestIndex = 0;
  for (int i = 1; i <= steps; ++i) {
    const double t = i == steps ? hi : lo + (hi - lo) * i / steps;
    const double v = f(t);
    if (v < best.value) {
      best = {t, v};
      bestIndex = i;
    }
  }
  double a = lo + (hi - lo) * std::max(0, bestIndex - 1) / steps;
  double b = lo + (hi - lo) * std::min(steps, bestIndex + 1) / steps;
  constexpr double kInvPhi = 0.6180339887498949;
  double c = b - kInvPhi * (b - a);
  double d = a + kInvPhi * (b - a);
  double fc = f(c);
  double fd = f(d);
  // Each round shrinks the bracket by 0.618; 100 rounds take any bracket of
  // hours below 1e-20 h, far past double resolution, so the cap never cuts a
  // converging search short.
  for (int round = 0; round < 100 && b - a > 1e-9; ++round) {
    if (fc < fd) {
      b = d;
      d = c;
      fd = fc;
      c = b - kInvPhi * (b - a);
      fc = f(c);
    } else {
      a = c;
      c = d;
      fc = fd;
      d = a + kInvPhi * (b - a);
      fd = f(d);
    }
  }
  const double t = 0.5 * (a + b);
  const double v = f(t);
  if (v < best.value) best = {t, v};
  if (fc < best.value) best = {c, fc};
  if (fd < best.value) best = {d, fd};
  return best;
}

double RootBetween(const std::function<double(double)>& f, double a, double b) {
  double fa = f(a);
  const double fb = f(b);
  if ((fa < 0.0) == (fb < 0.0)) {
    throw std::runtime_error("no sign change between " + std::to_string(a) + " and " +
                             std::to_string(b) + " h");
  }
  // Halving an interval of at most a day 100 times reaches below 1e-28 h:
  // the loop always ends by the interval test first.
  for (int i = 0; i < 100 && std::fabs(b - a) > 1e-10; ++i) {
    const double mid = 0.5 * (a + b);
    const double fm = f(mid);
    if ((fm < 0.0) == (fa < 0.0)) {
      a = mid;
      fa = fm;
    } else {
      b = mid;
    }
  }
  return 0.5 * (a + b);
}

double GreatestEclipseTime(const EclipseRecord& record, double guess, double lo, double hi) {
  // Newton's method on x*x' + y*y'; its derivative x'^2 + y'^2 + x*x'' + y*y''
  // is dominated by the squared speed of the axis (about 0.3 per hour^2), so
  // from a guess within an hour it converges in a few steps. 50 steps is a
  // generous cap; a search that has not converged by then falls back to
  // bisection over the whole bracket.
  double t = guess;
  for (int i = 0; i < 50; ++i) {
    const double g = AxisApproach(record, t);
    const double x = record.XPoly.At(t), y = record.YPoly.At(t);
    const double xr = record.XPoly.RateAt(t), yr = record.YPoly.RateAt(t);
    const double xa = 2.0 * record.XPoly.c[2] + 6.0 * record.XPoly.c[3] * t;
    const double ya = 2.0 * record.YPoly.c[2] + 6.0 * record.YPoly.c[3] * t;
    const double slope = xr * xr + yr * yr + x * xa + y * ya;
    if (slope <= 0.0) break;
    const double next = t - g / slope;
    if (next < lo || next > hi) break;
    if (std::fabs(next - t) < 1e-12) return next;
    t = next;
  }
  const auto g = [&record](double s) { return AxisApproach(record, s); };
  if ((g(lo) < 0.0) == (g(hi) < 0.0)) {
    throw std::runtime_error("the shadow axis has no nearest approach between " +
                             std::to_string(lo) + " and " + std::to_string(hi) + " h");
  }
  return RootBetween(g, lo, hi);
}

Classification Classify(const EclipseRecord& record, double tg, double fitLo, double fitHi) {
  // Grazing contacts and the nearest approach of the axis happen within
  // minutes of greatest eclipse; two hours around it leave room to spare.
  const double lo = std::max(fitLo, tg - 1.0);
  const double hi = std::min(fitHi, tg + 1.0);
  constexpr double kScanStep = 1.0 / 60.0;  // one minute

  Classification c;
  c.penumbraGap = MinimumOf([&](double t) { return PenumbraGap(record, t); }, lo, hi, kScanStep).value;
  const Extremum axis = MinimumOf([&](double t) { return AxisGap(record, t); }, lo, hi, kScanStep);
  c.axisGap = axis.value;
  const Extremum umbra = MinimumOf([&](double t) { return UmbraGap(record, t); }, lo, hi, kScanStep);
  c.umbraGap = umbra.value;

  if (c.penumbraGap >= 0.0) {
    c.type = kPartial;
    return c;
  }
  if (c.axisGap < 0.0) {
    const auto axisGap = [&](double t) { return AxisGap(record, t); };
    if (axisGap(fitLo) <= 0.0 || axisGap(fitHi) <= 0.0) {
      throw std::runtime_error("the central line does not end inside the fitted interval");
    }
    const double c1 = RootBetween(axisGap, fitLo, axis.t);
    const double c2 = RootBetween(axisGap, axis.t, fitHi);
    // Along the central line the umbral radius is largest at the ends (zeta = 0)
    // and smallest near the middle: the ends and the minimum decide the signs.
    const auto radius = [&](double t) { return CentralUmbraRadius(record, t); };
    const double ends = std::max(radius(c1), radius(c2));
    const double least = std::min(
        {radius(c1), radius(c2), MinimumOf(radius, c1, c2, kScanStep).value});
    if (least < 0.0 && ends >= 0.0) {
      c.type = kHybrid;
    } else if (least < 0.0) {
      c.type = kTotal;
    } else {
      c.type = kAnnular;
    }
    return c;
  }
  if (c.umbraGap < 0.0) {
    c.type = record.L2Poly.At(umbra.t) < 0.0 ? kNonCentralTotal : kNonCentralAnnular;
    return c;
  }
  c.type = kPartial;
  return c;
}

}  // namespace darvelle::catalogue_gen
