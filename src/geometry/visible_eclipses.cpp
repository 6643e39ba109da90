#include "geometry/visible_eclipses.h"

#include "astro/delta_t.h"

namespace darvelle {
namespace {

bool KindMatches(LocalKind kind, LocalKindFilter filter) {
  switch (filter) {
    case LocalKindFilter::kAny: return true;
    case LocalKindFilter::kPartial: return kind == LocalKind::kPartial;
    case LocalKindFilter::kAnnular: return kind == LocalKind::kAnnular;
    case LocalKindFilter::kTotal: return kind == LocalKind::kTotal;
    case LocalKindFilter::kCentral:
      return kind == LocalKind::kTotal || kind == LocalKind::kAnnular;
  }
  return false;
}

bool Seen(Visibility visibility) {
  return visibility == Visibility::kFull || visibility == Visibility::kRise ||
         visibility == Visibility::kSet;
}

}  // namespace

bool PassesFilter(const LocalCircumstances& local, const VisibleEclipseFilter& filter) {
  return Seen(local.Seen) && KindMatches(local.SeenKind(), filter.Kind) &&
         local.VisibleMagnitude() >= filter.MinMagnitude;
}

std::vector<VisibleEclipse> FindVisibleEclipses(const Catalogue& catalogue,
                                                const Observer& observer,
                                                const VisibleEclipseFilter& filter) {
  std::vector<VisibleEclipse> seen;
  for (int index = 1; index <= catalogue.Count(); ++index) {
    const int year = catalogue.CatalogueYear(index);
    if (year < filter.FromYear) continue;
    if (year > filter.ToYear) break;  // the catalogue is in date order
    const BesselianElements elements = ElementsFromRecord(catalogue.Record(index));
    const double deltaT = filter.DeltaT.value_or(ComputeDeltaT(elements.year, elements.month));
    if (!MayBeSeen(elements, deltaT, observer)) continue;
    LocalCircumstances local = ComputeLocalCircumstances(elements, deltaT, observer);
    if (PassesFilter(local, filter)) seen.push_back({index, deltaT, std::move(local)});
  }
  return seen;
}

}  // namespace darvelle
