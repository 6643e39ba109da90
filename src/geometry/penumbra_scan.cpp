#include "geometry/penumbra_scan.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "geometry/limit_curves.h"

namespace darvelle {

namespace {

constexpr double kHalfPi = kPi / 2.0;
constexpr double kStartLatitudes[3] = {80.0, 0.0, -80.0};  // degrees, in scan order

// The observer's geocentric terms depend on the latitude alone; each is
// computed once per latitude value.
struct ObserverLatitude {
  double SinPhi = 0, CosPhi = 0;
  double RhoSinPhi = 0, RhoCosPhi = 0;  // rho sin phi', rho cos phi'

  // What the altitude test needs.
  void SetSineCosine(double phi) {
    SinPhi = std::sin(phi);
    CosPhi = std::cos(phi);
  }
  // What the next pass needs besides (after SetSineCosine for the same phi).
  void SetGeocentric(double phi) {
    const double u = std::atan(kEarthAxisRatio * std::tan(phi));
    RhoSinPhi = kEarthAxisRatio * std::sin(u) + kLimitScanObserverHeight * SinPhi;
    RhoCosPhi = std::cos(u) + kLimitScanObserverHeight * CosPhi;
  }
};

// phi into [-pi/2, pi/2) by half turns. With dphi in [-pi, pi] one round
// suffices; the cap only bounds the loop.
double ReduceLatitude(double phi) {
  for (int round = 0; round < 4 && phi >= kHalfPi; ++round) phi -= kPi;
  for (int round = 0; round < 4 && phi < -kHalfPi; ++round) phi += kPi;
  return phi;
}

// The elements and rates one pass uses, evaluated exactly as EvaluateElements
// and EvaluateElementRates do, without the values the scan does not need and
// without a call per element.
struct PassElements {
  double X, Y, SinD, CosD, Mu, L1, L2, TanF1, TanF2;
  double XRate, YRate, DRate, MuRate, L1Rate, L2Rate, TanF1Rate, TanF2Rate;

  void Evaluate(const EclipseRecord& e, double t) {
    X = e.XPoly.At(t);
    Y = e.YPoly.At(t);
    const double d = e.DPoly.At(t) * kDegToRad;
    SinD = std::sin(d);
    CosD = std::cos(d);
    Mu = e.MuPoly.At(t) * kDegToRad;
    L1 = e.L1Poly.At(t);
    L2 = e.L2Poly.At(t);
    TanF1 = e.TanF1Poly.At(t);
    TanF2 = e.TanF2Poly.At(t);
    XRate = e.XPoly.RateAt(t);
    YRate = e.YPoly.RateAt(t);
    DRate = e.DPoly.RateAt(t) * kDegToRad;
    MuRate = e.MuPoly.RateAt(t) * kDegToRad;
    if (MuRate > kPi || MuRate < -kPi) MuRate = ReduceToPi(MuRate);
    L1Rate = e.L1Poly.RateAt(t);
    L2Rate = e.L2Poly.RateAt(t);
    TanF1Rate = e.TanF1Poly.RateAt(t);
    TanF2Rate = e.TanF2Poly.RateAt(t);
  }
};

void Store(double hour, double level, double westLongitude, double latitude,
           LimitScanRecord& first, LimitScanRecord& second) {
  const double westDeg = westLongitude * kRadToDeg;
  const double latitudeDeg = latitude * kRadToDeg;
  LimitScanRecord* target = nullptr;
  if (!first.Used) {
    target = &first;
  } else if (!second.Used &&
             std::fabs(first.LatitudeDeg - latitudeDeg) > kLimitScanDistinctLatitudeDeg) {
    target = &second;
  }
  if (target == nullptr) return;  // a repeat of the first, or a third solution
  target->Used = true;
  target->Hour = hour;
  target->Level = level;
  target->WestLongitudeDeg = westDeg;
  target->LatitudeDeg = latitudeDeg;
}

}  // namespace

void ScanLimitLongitudes(const EclipseRecord& eclipse, const LimitScanSetup& setup, double t0,
                         double phi0, std::vector<LimitScanRecord>& first,
                         std::vector<LimitScanRecord>& second) {
  const int steps = 360 * setup.resolution;
  if (static_cast<int>(first.size()) < steps || static_cast<int>(second.size()) < steps) return;
  const double side = setup.side;
  const double level = setup.level;
  ObserverLatitude start;
  start.SetSineCosine(phi0);
  start.SetGeocentric(phi0);

  PassElements s;
  double t = t0;
  for (int i = 0; i < steps; ++i) {
    double lambda = i * (kPi / 180.0) / setup.resolution;  // west longitude
    double phi = phi0;
    ObserverLatitude obs = start;
    double sinD = 0, cosD = 0, sinH = 0, cosH = 0;
    double dtTotal = 0, dphi = 0;
    int count = 0;
    // Counted after the corrections; the 21st pass still moves the instant
    // that the next longitude starts from, but cannot yield a solution.
    do {
      // The geocentric terms of the new latitude, needed only if a pass follows.
      if (count > 0) obs.SetGeocentric(phi);
      s.Evaluate(eclipse, t);
      sinD = s.SinD;
      cosD = s.CosD;
      const double h = s.Mu - lambda;
      sinH = std::sin(h);
      cosH = std::cos(h);
      const double rs = obs.RhoSinPhi;
      const double rc = obs.RhoCosPhi;
      // Observer on the fundamental plane and the rates of its coordinates.
      const double xi = rc * sinH;
      const double eta = rs * cosD - rc * cosH * sinD;
      const double zeta = rs * sinD + rc * cosH * cosD;
      const double xiRate = s.MuRate * rc * cosH;
      const double etaRate = s.MuRate * xi * sinD - s.DRate * zeta;
      const double zetaRate = -s.MuRate * xi * cosD + s.DRate * eta;
      // Shadow radii at the observer and their rates.
      const double l1 = s.L1 - zeta * s.TanF1;
      const double l2 = s.L2 - zeta * s.TanF2;
      const double l1Rate = s.L1Rate - s.TanF1 * zetaRate - zeta * s.TanF1Rate;
      const double l2Rate = s.L2Rate - s.TanF2 * zetaRate - zeta * s.TanF2Rate;
      const double u = s.X - xi;
      const double v = s.Y - eta;
      const double a = s.XRate - xiRate;
      const double b = s.YRate - etaRate;
      const double n2 = a * a + b * b;
      const double tau = -(u * a + v * b) / n2;
      const double m = std::sqrt(u * u + v * v);
      const double n = std::sqrt(n2);
      const double dt = m / n2 / (l1 + l2) * ((l2 + m) * l1Rate - (l1 - m) * l2Rate);
      dtTotal = dt + tau;
      t = t + dtTotal;
      dphi = (std::fabs(l1 - (l1 + l2) * level) * side + (v * a - u * b) / n) /
             ((b * sinH * rs + a * (rs * cosH * sinD + cosD * rc)) / kRadToDeg / n) *
             (kPi / 180.0);
      if (dphi > kPi || dphi < -kPi) dphi = ReduceToPi(dphi);
      phi = ReduceLatitude(phi + dphi);
      obs.SetSineCosine(phi);
      ++count;
    } while (count <= kLimitScanMaxIterations &&
             !(std::fabs(dtTotal) < kLimitScanTimeTolerance &&
               std::fabs(dphi) < kLimitScanLatitudeTolerance));

    if (count > kLimitScanMaxIterations) {
      // A diverged iteration can leave the instant undefined; every later
      // longitude would inherit it and fail, so the scan restarts from t0.
      if (!std::isfinite(t)) t = t0;
      continue;
    }
    // The Sun must be above the horizon there (elements of the last pass).
    const double sinAltitude = obs.SinPhi * sinD + obs.CosPhi * cosD * cosH;
    if (!(sinAltitude >= 0.0)) continue;
    while (lambda >= kPi) lambda -= 2.0 * kPi;  // i < 360 * R: one turn at most
    Store(t + eclipse.EpochHour, side * level, lambda, phi, first[static_cast<std::size_t>(i)],
          second[static_cast<std::size_t>(i)]);
  }
}

void ComputePenumbraLimit(EclipseComputation& c, int side) {
  const bool north = side > 0;
  PointCurve& curve = north ? c.curves.northPenumbra : c.curves.southPenumbra;
  curve.Clear();
  // The records are sized by the resolution: anything else would mis-size them.
  if (!IsValidResolution(c.resolution)) {
    throw std::invalid_argument("resolution " + std::to_string(c.resolution) +
                                " is not one of 1, 2, 4, 8, 16, 32");
  }
  const int steps = 360 * c.resolution;
  c.scanFirst.assign(static_cast<std::size_t>(steps), LimitScanRecord{});
  c.scanSecond.assign(static_cast<std::size_t>(steps), LimitScanRecord{});
  const EventId startId = north ? EventId::TPN1 : EventId::TPS1;
  const EventId endId = north ? EventId::TPN2 : EventId::TPS2;
  if (!c.events[startId].exists()) return;

  const LimitScanSetup setup{c.resolution, north ? 1 : -1, 0.0};
  for (double startDeg : kStartLatitudes) {
    ScanLimitLongitudes(c.eclipse, setup, 0.0, startDeg * kDegToRad, c.scanFirst, c.scanSecond);
  }

  std::vector<CurvePoint>& buffer = c.workBuffer;
  buffer.clear();
  buffer.push_back(CurvePoint{c.events[startId].EphemerisLongitude, c.events[startId].Latitude});
  for (const auto* records : {&c.scanFirst, &c.scanSecond}) {
    for (const LimitScanRecord& r : *records) {
      if (r.Used) buffer.push_back(CurvePoint{-r.WestLongitudeDeg * kPi / 180.0,
                                              r.LatitudeDeg * kPi / 180.0});
    }
  }
  // A missing end event has no position; it adds no point rather than (0, 0).
  if (c.events[endId].exists()) {
    buffer.push_back(CurvePoint{c.events[endId].EphemerisLongitude, c.events[endId].Latitude});
  }
  OrderAsChain(buffer, static_cast<int>(buffer.size()));
  // Up to two solutions per longitude step and both ends: the capacity holds
  // them all, so no limit is cut short.
  for (const CurvePoint& p : buffer) curve.Append(p);
  curve.SetReady(true);
}

}  // namespace darvelle
