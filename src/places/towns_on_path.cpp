#include "places/towns_on_path.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace darvelle::places {
namespace {

bool Central(const LocalCircumstances& l) {
  return (l.Kind == LocalKind::kTotal || l.Kind == LocalKind::kAnnular) && l.Maximum &&
         l.Maximum->SunUp() && l.DurationS;
}

void Scan(const BesselianElements& eclipse, double deltaT, const std::vector<Place>& towns,
          const TownsFilter& filter, std::size_t from, std::size_t to, std::vector<TownOnPath>& out) {
  for (std::size_t i = from; i < to; ++i) {
    const Place& town = towns[i];
    if (!filter.CountryCode.empty() && town.CountryCode != filter.CountryCode) continue;
    const Observer observer{town.LatitudeDeg, town.LongitudeDeg, 0.0};
    if (!MayBeSeen(eclipse, deltaT, observer)) continue;
    // Outside the umbra's or antumbra's reach no town sees the central phase.
    if (filter.CentralOnly && ShadowEdgeMargin(eclipse, deltaT, observer, true) > 0.0) continue;
    LocalCircumstances local = ComputeLocalCircumstances(eclipse, deltaT, observer);
    if (filter.CentralOnly ? !Central(local)
                           : local.Kind == LocalKind::kNone || local.VisibleMagnitude() <= 0.0 ||
                                 local.VisibleMagnitude() < filter.MinMagnitude) {
      continue;
    }
    out.push_back({i, std::move(local)});
  }
}

}  // namespace

std::vector<TownOnPath> FindTownsOnPath(const BesselianElements& eclipse, double deltaT,
                                        const std::vector<Place>& towns, const TownsFilter& filter,
                                        unsigned threads) {
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  threads = static_cast<unsigned>(std::min<std::size_t>(threads, std::max<std::size_t>(1, towns.size() / 1024)));
  std::vector<std::vector<TownOnPath>> parts(threads);
  std::vector<std::thread> workers;
  // Towns come most populous first and countries mixed: equal slices cost about the same.
  const std::size_t slice = (towns.size() + threads - 1) / threads;
  for (unsigned t = 1; t < threads; ++t) {
    const std::size_t from = std::min(towns.size(), t * slice);
    const std::size_t to = std::min(towns.size(), from + slice);
    workers.emplace_back([&, from, to, t] { Scan(eclipse, deltaT, towns, filter, from, to, parts[t]); });
  }
  Scan(eclipse, deltaT, towns, filter, 0, std::min(towns.size(), slice), parts[0]);
  for (std::thread& w : workers) w.join();
  std::vector<TownOnPath> found;
  for (auto& part : parts) {
    found.insert(found.end(), std::make_move_iterator(part.begin()), std::make_move_iterator(part.end()));
  }
  return found;
}

void SortTowns(std::vector<TownOnPath>& found, const std::vector<Place>& towns, TownOrder order) {
  auto population = [&](const TownOnPath& a, const TownOnPath& b) {
    return towns[a.Town].Population > towns[b.Town].Population;
  };
  switch (order) {
    case TownOrder::kDuration:
      std::stable_sort(found.begin(), found.end(), [](const TownOnPath& a, const TownOnPath& b) {
        const double da = a.Local.DurationS.value_or(-1.0);
        const double db = b.Local.DurationS.value_or(-1.0);
        if (da != db) return da > db;
        return a.Local.Magnitude > b.Local.Magnitude;
      });
      break;
    case TownOrder::kPopulation:
      std::stable_sort(found.begin(), found.end(), population);
      break;
    case TownOrder::kName:
      std::stable_sort(found.begin(), found.end(), [&](const TownOnPath& a, const TownOnPath& b) {
        if (towns[a.Town].Name != towns[b.Town].Name) return towns[a.Town].Name < towns[b.Town].Name;
        return population(a, b);
      });
      break;
  }
}

std::string MinutesSecondsText(double seconds) {
  const long long whole = std::llround(seconds);
  return std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s";
}

std::vector<TownDurationLabel> TownDurationLabels(const std::vector<TownOnPath>& found,
                                                  const std::vector<Place>& towns) {
  std::vector<TownOnPath> central;
  for (const TownOnPath& t : found) {
    if (Central(t.Local)) central.push_back(t);
  }
  SortTowns(central, towns, TownOrder::kPopulation);
  std::vector<TownDurationLabel> labels;
  labels.reserve(central.size());
  for (const TownOnPath& t : central) {
    const Place& town = towns[t.Town];
    labels.push_back({town.Name + " " + MinutesSecondsText(*t.Local.DurationS), town.LatitudeDeg,
                      town.LongitudeDeg});
  }
  return labels;
}

}  // namespace darvelle::places
