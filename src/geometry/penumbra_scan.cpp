#include "geometry/penumbra_scan.h"

#include <cmath>
#include <span>
#include <stdexcept>
#include <string>

#include "geometry/eclipse_computation.h"
#include "geometry/chain_order.h"

namespace darvelle {

namespace {

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
// without a call per element. The coefficients are copied once per scan into
// pairs of polynomials, evaluated two at a time with the same operations in
// the same order as Cubic::At and RateAt (so to the same values).
class PassElements {
 public:
  double X, Y, SinD, CosD, Mu, L1, L2, TanF1, TanF2;
  double XRate, YRate, DRate, MuRate, L1Rate, L2Rate, TanF1Rate, TanF2Rate;

  explicit PassElements(const BesselianElements& e) {
    const Cubic* polys[2 * kPairs] = {&e.x,  &e.y,  &e.d,     &e.mu,
                                           &e.l1, &e.l2, &e.tanF1, &e.tanF2};
    for (int k = 0; k < kPairs; ++k) {
      const Cubic& p = *polys[2 * k];
      const Cubic& q = *polys[2 * k + 1];
      c0_[k] = Pair{p.c[0], q.c[0]};
      c1_[k] = Pair{p.c[1], q.c[1]};
      c2_[k] = Pair{p.c[2], q.c[2]};
      c3_[k] = Pair{p.c[3], q.c[3]};
      twoC2_[k] = Pair{2.0 * p.c[2], 2.0 * q.c[2]};  // as RateAt forms it
    }
  }

  void Evaluate(double t) {
    const Pair tt = {t, t};
    const Pair t3 = tt * 3.0;  // RateAt's t * 3.0, before the product with c3
    Pair at[kPairs], rate[kPairs];
    for (int k = 0; k < kPairs; ++k) {
      at[k] = c0_[k] + tt * (c1_[k] + tt * (c2_[k] + tt * c3_[k]));
      rate[k] = c1_[k] + tt * (twoC2_[k] + t3 * c3_[k]);
    }
    X = at[0][0];
    Y = at[0][1];
    const double d = at[1][0] * kDegToRad;
    SinD = std::sin(d);
    CosD = std::cos(d);
    Mu = at[1][1] * kDegToRad;
    L1 = at[2][0];
    L2 = at[2][1];
    TanF1 = at[3][0];
    TanF2 = at[3][1];
    XRate = rate[0][0];
    YRate = rate[0][1];
    DRate = rate[1][0] * kDegToRad;
    MuRate = rate[1][1] * kDegToRad;
    if (MuRate > kPi || MuRate < -kPi) MuRate = ReduceToPi(MuRate);
    L1Rate = rate[2][0];
    L2Rate = rate[2][1];
    TanF1Rate = rate[3][0];
    TanF2Rate = rate[3][1];
  }

 private:
  // Two doubles operated on lane by lane (one SSE2 register).
  using Pair = double __attribute__((vector_size(16)));
  static constexpr int kPairs = 4;
  Pair c0_[kPairs], c1_[kPairs], c2_[kPairs], c3_[kPairs], twoC2_[kPairs];
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

// One scan's iteration at one longitude, advanced a pass at a time so that
// independent scans can run side by side: their passes do not depend on each
// other, and interleaved the processor overlaps their library calls.
class LongitudeIteration {
 public:
  LongitudeIteration(const BesselianElements& eclipse, const LimitScanSetup& setup, double t0,
                     double phi0)
      : s_(eclipse), setup_(setup), t0_(t0), t_(t0), phi0_(phi0) {
    start_.SetSineCosine(phi0);
    start_.SetGeocentric(phi0);
  }

  void Begin(int i) {
    lambda_ = i * (kPi / 180.0) / setup_.resolution;  // west longitude
    phi_ = phi0_;
    obs_ = start_;
    dtTotal_ = 0;
    dphi_ = 0;
    count_ = 0;
  }

  // Counted after the corrections; the 21st pass still moves the instant
  // that the next longitude starts from, but cannot yield a solution.
  bool Running() const {
    return count_ == 0 || (count_ <= kLimitScanMaxIterations &&
                           !(std::fabs(dtTotal_) < kLimitScanTimeTolerance &&
                             std::fabs(dphi_) < kLimitScanLatitudeTolerance));
  }

  void Pass() {
    // The terms of the latitude the last pass found (the first pass has
    // phi0's). Computed by the pass that uses them, so that a longitude
    // whose 21st pass ends without a solution spends nothing on its latitude.
    if (count_ > 0) {
      obs_.SetSineCosine(phi_);
      obs_.SetGeocentric(phi_);
    }
    const PassElements& s = s_;
    s_.Evaluate(t_);
    const double sinD = s.SinD;
    const double cosD = s.CosD;
    const double h = s.Mu - lambda_;
    const double sinH = std::sin(h);
    const double cosH = std::cos(h);
    const double rs = obs_.RhoSinPhi;
    const double rc = obs_.RhoCosPhi;
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
    dtTotal_ = dt + tau;
    t_ = t_ + dtTotal_;
    const double side = SignOf(setup_.side);
    dphi_ = (std::fabs(l1 - (l1 + l2) * setup_.level) * side + (v * a - u * b) / n) /
            ((b * sinH * rs + a * (rs * cosH * sinD + cosD * rc)) / kRadToDeg / n) *
            (kPi / 180.0);
    if (dphi_ > kPi || dphi_ < -kPi) dphi_ = ReduceToPi(dphi_);
    phi_ = ReduceLatitude(phi_ + dphi_);
    sinD_ = sinD;
    cosD_ = cosD;
    cosH_ = cosH;
    ++count_;
  }

  // After the last pass: the solution, if any, into this longitude's records.
  void Finish(double epochHour, LimitScanRecord& first, LimitScanRecord& second) {
    if (count_ > kLimitScanMaxIterations) {
      // A diverged iteration can leave the instant undefined; every later
      // longitude would inherit it and fail, so the scan restarts from t0.
      if (!std::isfinite(t_)) t_ = t0_;
      return;
    }
    // The Sun must be above the horizon there (elements of the last pass).
    obs_.SetSineCosine(phi_);
    const double sinAltitude = obs_.SinPhi * sinD_ + obs_.CosPhi * cosD_ * cosH_;
    if (!(sinAltitude >= 0.0)) return;
    double lambda = lambda_;
    while (lambda >= kPi) lambda -= 2.0 * kPi;  // i < 360 * R: one turn at most
    Store(t_ + epochHour, SignOf(setup_.side) * setup_.level, lambda, phi_, first, second);
  }

 private:
  PassElements s_;
  LimitScanSetup setup_;
  double t0_, t_;  // the instant is carried on from one longitude to the next
  double phi0_;
  ObserverLatitude start_;
  double lambda_ = 0, phi_ = 0;
  ObserverLatitude obs_;
  double sinD_ = 0, cosD_ = 0, cosH_ = 0;  // of the last pass
  double dtTotal_ = 0, dphi_ = 0;
  int count_ = 0;
};

// Scans from several start latitudes side by side, longitude by longitude.
// Each index's records receive the scans' solutions in the order of
// `scans`, as when the scans run one after the other.
void ScanSideBySide(std::span<LongitudeIteration> scans, int resolution, double epochHour,
                    std::vector<LimitScanRecord>& first, std::vector<LimitScanRecord>& second) {
  const int steps = 360 * resolution;
  if (static_cast<int>(first.size()) < steps || static_cast<int>(second.size()) < steps) return;
  for (int i = 0; i < steps; ++i) {
    for (LongitudeIteration& scan : scans) scan.Begin(i);
    // Each pass counts towards its iteration's cap of 21, so this ends.
    for (bool running = true; running;) {
      running = false;
      for (LongitudeIteration& scan : scans) {
        if (!scan.Running()) continue;
        scan.Pass();
        running = true;
      }
    }
    const auto index = static_cast<std::size_t>(i);
    for (LongitudeIteration& scan : scans) scan.Finish(epochHour, first[index], second[index]);
  }
}

}  // namespace

void ScanLimitLongitudes(const BesselianElements& eclipse, const LimitScanSetup& setup, double t0,
                         double phi0, std::vector<LimitScanRecord>& first,
                         std::vector<LimitScanRecord>& second) {
  LongitudeIteration scan[1] = {LongitudeIteration(eclipse, setup, t0, phi0)};
  ScanSideBySide(scan, setup.resolution, eclipse.epochHour, first, second);
}

void ComputePenumbraLimit(const CurveTracer& c, PenumbraSide side) {
  const bool north = side == PenumbraSide::North;
  PointCurve& curve = north ? c.curves.northPenumbra : c.curves.southPenumbra;
  curve.Clear();
  // The records are sized by the resolution: anything else would mis-size them.
  if (!IsValidResolution(c.resolution)) {
    throw std::invalid_argument("resolution " + std::to_string(c.resolution) +
                                " is not one of 1, 2, 4, 8, 16, 32");
  }
  const int steps = 360 * c.resolution;
  c.scratch.scanFirst.assign(static_cast<std::size_t>(steps), LimitScanRecord{});
  c.scratch.scanSecond.assign(static_cast<std::size_t>(steps), LimitScanRecord{});
  const EventId startId = north ? EventId::TPN1 : EventId::TPS1;
  const EventId endId = north ? EventId::TPN2 : EventId::TPS2;
  if (!c.events[startId].exists()) return;

  const LimitScanSetup setup{c.resolution, side, 0.0};
  LongitudeIteration scans[3] = {
      LongitudeIteration(c.elements, setup, 0.0, kStartLatitudes[0] * kDegToRad),
      LongitudeIteration(c.elements, setup, 0.0, kStartLatitudes[1] * kDegToRad),
      LongitudeIteration(c.elements, setup, 0.0, kStartLatitudes[2] * kDegToRad)};
  ScanSideBySide(scans, c.resolution, c.elements.epochHour, c.scratch.scanFirst,
                 c.scratch.scanSecond);

  std::vector<CurvePoint>& buffer = c.scratch.workBuffer;
  buffer.clear();
  buffer.push_back(CurvePoint{c.events[startId].EphemerisLongitude, c.events[startId].Latitude});
  for (const auto* records : {&c.scratch.scanFirst, &c.scratch.scanSecond}) {
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
