#include "geometry/delta_t_range.h"

#include <algorithm>
#include <cmath>

#include "astro/delta_t.h"

namespace darvelle {
namespace {

bool CentralSeen(const BesselianElements& eclipse, double deltaT, const Observer& observer) {
  const LocalCircumstances local = ComputeLocalCircumstances(eclipse, deltaT, observer);
  return local.DurationS.has_value() && local.Maximum && local.Maximum->SunUp();
}

}  // namespace

std::optional<DeltaTRange> DeltaTBandOf(const BesselianElements& eclipse, double deltaT) {
  const std::optional<double> sigma = DeltaTUncertainty(eclipse.year);
  if (!sigma) return std::nullopt;
  return DeltaTRange{deltaT - 2.0 * *sigma, deltaT + 2.0 * *sigma, *sigma};
}

CentralOverDeltaT CentralPhaseOverDeltaT(const BesselianElements& eclipse,
                                         const Observer& observer, const DeltaTRange& range) {
  CentralOverDeltaT result;
  // A path some 100 km wide crosses a place in about 400 s of DeltaT at
  // mid-latitudes (the Earth turns 0.46 km/s at the equator): steps of at
  // most 20 s cannot step over it, and halving then finds each end.
  const double span = range.High - range.Low;
  const int steps = std::max(1, static_cast<int>(std::ceil(span / 20.0)));
  const auto at = [&](int i) { return range.Low + span * i / steps; };
  const auto edge = [&](double seen, double unseen) {
    while (std::abs(seen - unseen) > 0.5) {
      const double mid = 0.5 * (seen + unseen);
      (CentralSeen(eclipse, mid, observer) ? seen : unseen) = mid;
    }
    return seen;
  };
  bool previous = CentralSeen(eclipse, at(0), observer);
  std::optional<double> start;
  if (previous) start = range.Low;
  bool all = previous;
  for (int i = 1; i <= steps; ++i) {
    const bool now = CentralSeen(eclipse, at(i), observer);
    all = all && now;
    if (now && !previous) start = edge(at(i), at(i - 1));
    if (!now && previous) result.Central.push_back({*start, edge(at(i - 1), at(i)), range.Sigma});
    previous = now;
  }
  if (previous) result.Central.push_back({*start, range.High, range.Sigma});
  result.Verdict = all ? CentralVerdict::kCertain
                       : result.Central.empty() ? CentralVerdict::kExcluded : CentralVerdict::kPossible;
  return result;
}

}  // namespace darvelle
